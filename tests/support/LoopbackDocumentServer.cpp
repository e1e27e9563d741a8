#include "support/LoopbackDocumentServer.h"

#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <openssl/evp.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

#include "support/TestCertificates.h"

namespace testsupport {
namespace {

constexpr char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// One form value decoded once, as a web server's form reader does ("+" is a space).
std::string FormDecode(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '+') {
      out += ' ';
    } else if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
               HexValue(text[i + 2]) >= 0) {
      out += char(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::map<std::string, std::string> FormFields(const std::string& body) {
  std::map<std::string, std::string> fields;
  size_t start = 0;
  while (start <= body.size()) {
    size_t end = body.find('&', start);
    if (end == std::string::npos) end = body.size();
    const std::string pair = body.substr(start, end - start);
    const size_t equals = pair.find('=');
    if (equals != std::string::npos) {
      fields.emplace(FormDecode(pair.substr(0, equals)), FormDecode(pair.substr(equals + 1)));
    }
    start = end + 1;
  }
  return fields;
}

// Base64 through OpenSSL (not the program's codec): line breaks are ignored; false when the text is
// not Base64.
bool Base64Decode(const std::string& text, std::string& bytes) {
  std::string plain;
  for (char c : text) {
    if (c != '\r' && c != '\n') plain += c;
  }
  if (plain.size() % 4 != 0) return false;
  bytes.assign(plain.size() / 4 * 3, '\0');
  const int n = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(bytes.data()),
                                reinterpret_cast<const unsigned char*>(plain.data()), int(plain.size()));
  if (n < 0) return false;
  size_t padding = 0;
  while (padding < 2 && padding < plain.size() && plain[plain.size() - 1 - padding] == '=') ++padding;
  bytes.resize(size_t(n) - padding);
  return true;
}

// The download's data: Base64 in lines of 76, with "+", "/" and "=" escaped as the upload form has them.
std::string DownloadData(const std::string& bytes) {
  std::string text(4 * ((bytes.size() + 2) / 3) + 1, '\0');
  const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()),
                                reinterpret_cast<const unsigned char*>(bytes.data()), int(bytes.size()));
  text.resize(size_t(n));
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (i > 0 && i % 76 == 0) out += "\r\n";
    const char c = text[i];
    out += c == '+' ? "%2B" : c == '/' ? "%2F" : c == '=' ? "%3D" : std::string(1, c);
  }
  return out;
}

std::string Refusal(int32_t id) {
  return std::string(kDeclaration) + "<error><refused id=\"" + std::to_string(id) + "\"/></error>";
}

bool IsPseudoHeader(const std::string& name) {
  return name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" || name == "LOCAL_PORT";
}

}  // namespace

int32_t LoggedRequest::CountHeader(const std::string& name) const {
  int32_t count = 0;
  for (const auto& [key, value] : headers) {
    if (strcasecmp(key.c_str(), name.c_str()) == 0) ++count;
  }
  return count;
}

std::string LoggedRequest::Header(const std::string& name) const {
  for (const auto& [key, value] : headers) {
    if (strcasecmp(key.c_str(), name.c_str()) == 0) return value;
  }
  return "";
}

LoopbackDocumentServer::LoopbackDocumentServer(Identity identity) {
  const TestCertificates& certificates = TestCertificates::Get();
  const ServerIdentity chosen = identity == Identity::Trusted     ? certificates.TrustedServer()
                                : identity == Identity::Untrusted ? certificates.UntrustedServer()
                                                                  : certificates.OtherHostServer();
  server_ = std::make_unique<httplib::SSLServer>(chosen.certificate, chosen.key);
  if (!server_->is_valid()) throw std::runtime_error("loopback server: TLS set-up failed");
  accounts_["u"] = "p";
  server_->set_keep_alive_max_count(1000);
  server_->set_keep_alive_timeout(5);
  server_->set_read_timeout(5, 0);
  server_->set_write_timeout(5, 0);
  server_->Post(".*", [this](const httplib::Request& req, httplib::Response& res) {
    LoggedRequest logged;
    for (const auto& [name, value] : req.headers) {
      if (!IsPseudoHeader(name)) logged.headers.emplace_back(name, value);
    }
    logged.body = req.body;
    logged.connection = req.remote_addr + ":" + std::to_string(req.remote_port);
    logged.fields = FormFields(req.body);
    logged.path = req.path;
    Fault fault;
    std::string reply;
    {
      std::lock_guard lock(mutex_);
      if (probe_) logged.probe = probe_();
      requests_.push_back(logged);
      auto found = logged.fields.find("action");
      const std::string action = found == logged.fields.end() ? std::string() : found->second;
      fault = faultAction_.empty() || faultAction_ == action ? fault_ : Fault::None;
      const bool canned = canned_ && (cannedAction_.empty() || cannedAction_ == action);
      reply = canned ? cannedBody_ : Answer(logged, fault);
    }
    switch (fault) {
      case Fault::Status500Html:
        res.status = 500;
        res.set_content(
            "<html><head><title>500 Internal Server Error</title></head><body>"
            "<h1>Internal Server Error</h1></body></html>",
            "text/html");
        return;
      case Fault::LeadingBlanks:
        reply = " \t  \t\t " + reply;
        break;
      case Fault::NulInBody: {
        const size_t at = reply.find('>');
        reply.insert(at == std::string::npos ? 0 : at + 1, std::string("\0\0", 2));
        reply += '\0';
        break;
      }
      case Fault::DropMidBody: {
        auto shared = std::make_shared<std::string>(reply);
        res.set_content_provider(shared->size(), "text/xml",
                                 [shared](size_t, size_t, httplib::DataSink& sink) {
                                   sink.write(shared->data(), shared->size() / 2);
                                   return false;  // the connection is closed mid-body
                                 });
        return;
      }
      default:
        break;
    }
    res.set_content(reply, "text/xml");
  });
  port_ = server_->bind_to_any_port("127.0.0.1");
  if (port_ <= 0) throw std::runtime_error("loopback server: no port");
  thread_ = std::thread([this] { server_->listen_after_bind(); });
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!server_->is_running()) {
    if (std::chrono::steady_clock::now() > deadline) throw std::runtime_error("loopback server: not started");
    std::this_thread::yield();
  }
}

LoopbackDocumentServer::~LoopbackDocumentServer() {
  server_->stop();
  if (thread_.joinable()) thread_.join();
}

const std::string& LoopbackDocumentServer::AuthorityFile() {
  return TestCertificates::Get().TrustedAuthorityFile();
}

int32_t LoopbackDocumentServer::PortWithoutListener() {
  const int probe = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  int32_t port = 0;
  if (bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  close(probe);  // bound but never listening: a connection is refused at once
  return port;
}

void LoopbackDocumentServer::AddAccount(const std::string& uid, const std::string& pw) {
  std::lock_guard lock(mutex_);
  accounts_[uid] = pw;
}

void LoopbackDocumentServer::SetFault(Fault fault, int32_t errorId, std::string action) {
  std::lock_guard lock(mutex_);
  fault_ = fault;
  errorId_ = errorId;
  faultAction_ = std::move(action);
}

void LoopbackDocumentServer::ReplyWith(std::string body, std::string action) {
  std::lock_guard lock(mutex_);
  canned_ = true;
  cannedBody_ = std::move(body);
  cannedAction_ = std::move(action);
}

void LoopbackDocumentServer::SetProbe(std::function<std::string()> probe) {
  std::lock_guard lock(mutex_);
  probe_ = std::move(probe);
}

void LoopbackDocumentServer::Store(const std::string& name, std::string bytes, std::string date) {
  std::lock_guard lock(mutex_);
  documents_[name] = {std::move(bytes), std::move(date)};
}

std::vector<LoggedRequest> LoopbackDocumentServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::map<std::string, std::string> LoopbackDocumentServer::Documents() const {
  std::lock_guard lock(mutex_);
  std::map<std::string, std::string> out;
  for (const auto& [name, document] : documents_) out[name] = document.bytes;
  return out;
}

std::string LoopbackDocumentServer::FileListXml() const {
  std::string xml = "<files>\n";
  for (const auto& [name, document] : documents_) {
    xml += "<file name=\"" + name + "\" date=\"" + document.date + "\"/>\n";
  }
  return xml + "</files>";
}

// Called with the mutex held.
std::string LoopbackDocumentServer::Answer(const LoggedRequest& request, Fault fault) {
  if (fault == Fault::Refuse) return Refusal(errorId_);
  auto field = [&](const char* name) {
    auto it = request.fields.find(name);
    return it == request.fields.end() ? std::string() : it->second;
  };
  const std::string action = field("action");
  auto account = accounts_.find(field("uid"));
  if (account == accounts_.end() || account->second != field("pw")) return Refusal(2);
  const std::string accept = std::string(kDeclaration) + "<accept type=\"" + action + "\"";
  if (action == "login") return accept + "/>";
  if (action == "list-files") return accept + ">" + FileListXml() + "</accept>";
  const std::string name = field("qxf-filename");
  if (action == "upload") {
    // The size counts the data as the form carried it, escapes and line breaks included.
    const size_t at = request.body.rfind("&qxf-filedata=");
    const size_t sentLength = at == std::string::npos ? 0 : request.body.size() - at - 14;
    std::string bytes;
    if (field("qxf-filesize") != std::to_string(sentLength) || !Base64Decode(field("qxf-filedata"), bytes)) {
      return Refusal(4);
    }
    documents_[name] = {std::move(bytes), "2024-05-01 10:00"};
    return accept + "/>";
  }
  auto document = documents_.find(name);
  if (action == "delete") {
    if (document == documents_.end()) return Refusal(3);
    documents_.erase(document);
    return accept + ">" + FileListXml() + "</accept>";
  }
  if (action == "download") {
    if (document == documents_.end()) return Refusal(3);
    return accept + "><data>" + DownloadData(document->second.bytes) + "</data></accept>";
  }
  return Refusal(1);
}

}  // namespace testsupport
