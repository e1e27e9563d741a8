#pragma once
// Certificates for the loopback HTTPS server of the tests, made with OpenSSL when first asked for and
// kept for the rest of the test process (valid from a minute ago for one day): a trusted authority,
// whose certificate the tests give the client as its authority file, and a second authority the client
// does not know. Each signs a server certificate for 127.0.0.1 and "localhost"; the trusted one also
// signs one for another host name only. Keys are P-256.

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <string>

namespace testsupport {

struct ServerIdentity {
  X509* certificate = nullptr;  // owned by TestCertificates
  EVP_PKEY* key = nullptr;
};

class TestCertificates {
 public:
  static const TestCertificates& Get();

  // A PEM file holding the trusted authority's certificate (in the process's temporary folder).
  const std::string& TrustedAuthorityFile() const { return trustedFile_; }
  ServerIdentity TrustedServer() const { return trustedServer_; }
  ServerIdentity UntrustedServer() const { return untrustedServer_; }
  // Signed by the trusted authority for "other.invalid" only: a name mismatch at 127.0.0.1.
  ServerIdentity OtherHostServer() const { return otherHostServer_; }

 private:
  TestCertificates();

  ServerIdentity trustedAuthority_;
  ServerIdentity untrustedAuthority_;
  ServerIdentity trustedServer_;
  ServerIdentity untrustedServer_;
  ServerIdentity otherHostServer_;
  std::string trustedFile_;
};

}  // namespace testsupport
