#pragma once
// A document server for the tests: cpp-httplib's TLS server on 127.0.0.1 and a free port, with the
// certificates of TestCertificates. It answers the five form actions of the document server (login,
// list-files, upload, delete, download) for its accounts, stores uploads decoded, and logs every
// request: its headers, its raw body and the connection it came on. Fault modes change how it answers
// every following request.
//
// Replies: accepted actions answer `<accept type="ACTION"/>` (a list and a download inside the accept
// element); refusals answer `<error><refused id="N"/></error>` (ids: 1 unknown action, 2 wrong user
// or password, 3 no such file, 4 upload size or data wrong). Names are stored and listed as the form
// carried them, decoded once.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace httplib {
class SSLServer;
}

namespace testsupport {

struct LoggedRequest {
  std::vector<std::pair<std::string, std::string>> headers;  // as sent, in order
  std::string body;                                          // the raw form bytes
  std::string connection;                                    // the peer's address and port
  std::string path;                                          // the request path
  std::string probe;  // what the probe (SetProbe) answered while the request was being answered
  std::map<std::string, std::string> fields;  // the form decoded once

  // How many headers are named `name` (case ignored).
  int32_t CountHeader(const std::string& name) const;
  // The value of the first header named `name` (case ignored), or "".
  std::string Header(const std::string& name) const;
};

class LoopbackDocumentServer {
 public:
  enum class Identity { Trusted, Untrusted, OtherHost };
  enum class Fault {
    None,
    Status500Html,  // HTTP 500 with an HTML page
    LeadingBlanks,  // blanks and TABs before the reply
    NulInBody,      // NUL bytes inside the reply
    DropMidBody,    // half the declared body, then the connection is closed
    Refuse,         // every action refused with the error id given
  };

  // Starts listening; the account "u" with password "p" exists.
  explicit LoopbackDocumentServer(Identity identity = Identity::Trusted);
  ~LoopbackDocumentServer();
  LoopbackDocumentServer(const LoopbackDocumentServer&) = delete;
  LoopbackDocumentServer& operator=(const LoopbackDocumentServer&) = delete;

  int32_t Port() const { return port_; }
  // The authority file that makes a client trust this server's certificate (Identity::Trusted).
  static const std::string& AuthorityFile();
  // A loopback port nobody listens on.
  static int32_t PortWithoutListener();

  void AddAccount(const std::string& uid, const std::string& pw);
  // `action` not empty: only requests of that action get the fault, the others are answered as usual.
  void SetFault(Fault fault, int32_t errorId = 0, std::string action = "");
  // Every following request (of `action` only, when it is not empty) is answered with exactly these
  // bytes (status 200), whatever it asked.
  void ReplyWith(std::string body, std::string action = "");
  // Runs on the server's thread for every request while the client waits for the answer, so it may
  // read state the client's thread holds still; its answer is logged with the request.
  void SetProbe(std::function<std::string()> probe);
  // Puts a document on the server under its stored name (the once-decoded form).
  void Store(const std::string& name, std::string bytes, std::string date = "2024-05-01 10:00");

  std::vector<LoggedRequest> Requests() const;
  // The stored documents by name.
  std::map<std::string, std::string> Documents() const;

 private:
  struct Document {
    std::string bytes;
    std::string date;
  };
  // `fault`: the fault that applies to this request.
  std::string Answer(const LoggedRequest& request, Fault fault);
  std::string FileListXml() const;

  std::unique_ptr<httplib::SSLServer> server_;
  std::thread thread_;
  int32_t port_ = 0;
  mutable std::mutex mutex_;  // guards everything below: the server's threads answer requests
  std::map<std::string, std::string> accounts_;
  std::map<std::string, Document> documents_;
  std::vector<LoggedRequest> requests_;
  Fault fault_ = Fault::None;
  int32_t errorId_ = 0;
  std::string faultAction_;
  bool canned_ = false;
  std::string cannedBody_;
  std::string cannedAction_;
  std::function<std::string()> probe_;
};

}  // namespace testsupport
