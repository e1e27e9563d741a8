#include "support/TestCertificates.h"

#include <openssl/pem.h>
#include <openssl/x509v3.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace testsupport {
namespace {

void Check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string("test certificates: ") + what);
}

void AddExtension(X509* certificate, X509* issuer, int nid, const char* value) {
  X509V3_CTX context;
  X509V3_set_ctx_nodb(&context);
  X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
  X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
  Check(extension != nullptr, "extension");
  X509_add_ext(certificate, extension, -1);
  X509_EXTENSION_free(extension);
}

// A certificate for `commonName` with a new key; self-signed when `issuer` is empty. `altNames` set
// makes a server certificate, else an authority's.
ServerIdentity Make(const char* commonName, const ServerIdentity* issuer, const char* altNames, long serial) {
  ServerIdentity made;
  made.key = EVP_EC_gen("P-256");
  Check(made.key != nullptr, "key");
  X509* certificate = X509_new();
  made.certificate = certificate;
  X509_set_version(certificate, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(certificate), serial);
  X509_gmtime_adj(X509_getm_notBefore(certificate), -60);
  X509_gmtime_adj(X509_getm_notAfter(certificate), 24 * 60 * 60);
  X509_set_pubkey(certificate, made.key);
  X509_NAME* name = X509_get_subject_name(certificate);
  X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("Planner tests"),
                             -1, -1, 0);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(commonName), -1,
                             -1, 0);
  X509* issuerCertificate = issuer != nullptr ? issuer->certificate : certificate;
  X509_set_issuer_name(certificate, X509_get_subject_name(issuerCertificate));
  AddExtension(certificate, issuerCertificate, NID_subject_key_identifier, "hash");
  if (altNames == nullptr) {
    AddExtension(certificate, issuerCertificate, NID_basic_constraints, "critical,CA:TRUE");
    AddExtension(certificate, issuerCertificate, NID_key_usage, "critical,keyCertSign,cRLSign");
  } else {
    AddExtension(certificate, issuerCertificate, NID_basic_constraints, "critical,CA:FALSE");
    AddExtension(certificate, issuerCertificate, NID_key_usage, "critical,digitalSignature");
    AddExtension(certificate, issuerCertificate, NID_ext_key_usage, "serverAuth");
    AddExtension(certificate, issuerCertificate, NID_subject_alt_name, altNames);
    AddExtension(certificate, issuerCertificate, NID_authority_key_identifier, "keyid:always");
  }
  Check(X509_sign(certificate, issuer != nullptr ? issuer->key : made.key, EVP_sha256()) > 0, "signature");
  return made;
}

std::string WriteAuthorityFile(X509* certificate) {
  const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("planner-test-authority-" + std::to_string(getpid()) + ".pem");
  FILE* file = std::fopen(path.c_str(), "w");
  Check(file != nullptr, "authority file");
  const bool written = PEM_write_X509(file, certificate) == 1;
  std::fclose(file);
  Check(written, "authority file");
  // The file goes with the process.
  static const std::string kRemove = path.string();
  std::atexit([] { std::remove(kRemove.c_str()); });
  return path.string();
}

}  // namespace

TestCertificates::TestCertificates() {
  trustedAuthority_ = Make("Planner Test Authority", nullptr, nullptr, 1);
  untrustedAuthority_ = Make("Unknown Test Authority", nullptr, nullptr, 2);
  const char* loopback = "IP:127.0.0.1,DNS:localhost";
  trustedServer_ = Make("127.0.0.1", &trustedAuthority_, loopback, 3);
  untrustedServer_ = Make("127.0.0.1", &untrustedAuthority_, loopback, 4);
  otherHostServer_ = Make("other.invalid", &trustedAuthority_, "DNS:other.invalid", 5);
  trustedFile_ = WriteAuthorityFile(trustedAuthority_.certificate);
}

const TestCertificates& TestCertificates::Get() {
  // Made once for the process; OpenSSL's objects stay until it ends.
  static const TestCertificates* certificates = new TestCertificates();
  return *certificates;
}

}  // namespace testsupport
