#pragma once
// Form posts over HTTPS, over libcurl: the stand-in for the internet calls the document server client
// makes.
//
// A client is made with a user-agent name, a host and a script path. Host and path are made canonical
// first (spaces and unsafe characters escaped as %XX, "/./" and "/../" removed). The client keeps one
// transfer handle for its life, so consecutive requests share one kept-alive connection. Each request
// is a POST of the given bytes with exactly one extra header, "Content-Type:
// application/x-www-form-urlencoded": no "Expect:", no cookies, no authentication, no redirect followed;
// the proxy is the environment's. The server's certificate is verified against the system's
// authorities (or the file a test set); a certificate from an unknown authority is reported apart from
// every other failure, so the caller can ask the user and send again without verification.
//
// Requests block the calling thread, never longer than the timeouts: a connection that cannot be made
// within 20 seconds, or a transfer that moves no byte for 30 seconds, fails the request.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace plat {

struct HttpsReply {
  enum class Outcome {
    Replied,          // the server answered; `body` holds its bytes, whatever the status
    UntrustedIssuer,  // the certificate's issuer is not trusted; nothing was sent
    SendFailed,       // no connection, a refused handshake or certificate, or the request failed
    ReadFailed,       // the server began to answer and the reply broke off
  };
  Outcome outcome = Outcome::SendFailed;
  int32_t status = 0;  // the HTTP status code, 0 when none arrived
  std::string body;    // the reply's bytes as received (NUL bytes included)
  std::string detail;  // the transfer library's words on a failure, for messages and logs
};

class HttpsClient {
 public:
  // Why a client cannot be used; 0 when it can.
  static constexpr int32_t kNoHandle = 1;      // the transfer library gave no handle
  static constexpr int32_t kNotCanonical = 2;  // host or path cannot be made canonical

  HttpsClient(std::string_view agent, std::string_view host, std::string_view path);
  ~HttpsClient();
  HttpsClient(const HttpsClient&) = delete;
  HttpsClient& operator=(const HttpsClient&) = delete;

  int32_t OpenError() const { return openError_; }
  const std::string& Host() const { return host_; }
  const std::string& Path() const { return path_; }

  // Posts `body` to the path. With `verifyIssuer` false the certificate's chain is not checked for this
  // request only (the host name still is); the next request verifies again.
  HttpsReply Post(std::string_view body, bool verifyIssuer = true);

  // The canonical form of a host or a path: bytes below 0x21 and from 0x7F up, and " < > \ ^ ` { | }
  // escaped as %XX (upper case); "/./" becomes "/" and "/x/../" becomes "/". Empty text, or a NUL in
  // it, has none.
  static std::optional<std::string> Canonical(std::string_view text);

 private:
  void* curl_ = nullptr;  // the transfer handle (CURL*), owned
  int32_t openError_ = 0;
  std::string agent_;
  std::string host_;
  std::string path_;
};

// ---- Overrides for tests; each is on the reset list and belongs to the thread that sends requests.
// The port requests go to; 0 gives the HTTPS port 443.
void SetHttpsPortForTests(int32_t port);
// A PEM file of the authorities to trust instead of the system's; empty gives the system's.
void SetHttpsAuthorityFileForTests(std::string path);

}  // namespace plat
