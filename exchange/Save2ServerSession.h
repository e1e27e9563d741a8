#pragma once
// The client of the document server: one session per login, holding the HTTPS client (one kept-alive
// connection), the credentials, and the application's signature and version. Each call posts one
// form and answers the server's reply as text, cleaned of TABs and of leading blanks; a refusal by the
// server is reply text too (the callers look for "<accept"). Every failure throws Save2ServerFailure
// (codes in Save2ServerFailure.h) and leaves the session usable.
//
// Form values: uid, pw, country, signature and version go out with "%", "&", "+", "=" and control
// characters escaped as %XX (upper case), so that no value can split the form; anything else goes as
// it is. File names pass through UrlEncodeField. The body is sent as UTF-8 (an unpaired surrogate as
// U+FFFD).
//
// A server certificate from an unknown authority asks the user (plat::AskAcceptUntrustedIssuer):
// accepted, the same body is sent once more without checking the issuer; cancelled, code 10.
//
// User-interface thread; the calls block it while a request runs (see HttpsClient.h for the timeouts).

#include <cstdint>
#include <memory>
#include <string>

#include "foundation/Vcon_HandleManager.h"
#include "foundation/VconString.h"

namespace plat {
class HttpsClient;
}

class Save2ServerSession {
 public:
  // Opens the client for `host` and the script `path`; throws 1 or 2.
  Save2ServerSession(const Vcon::String& agent, const Vcon::String& host, const Vcon::String& path);
  ~Save2ServerSession();
  Save2ServerSession(const Save2ServerSession&) = delete;
  Save2ServerSession& operator=(const Save2ServerSession&) = delete;

  void SetCredentials(const Vcon::WString& uid, const Vcon::WString& pw, const Vcon::WString& country);
  void SetSignatureVersion(const Vcon::WString& signature, const Vcon::WString& version);

  // Marks the session connected and sends the login form.
  Vcon::String Login();
  // The other calls throw 8 before Login, without sending anything.
  Vcon::String ListFiles();
  // Sends the whole content of `document` (a handle of the zone) under `name`.
  Vcon::String Upload(Handle document, const Vcon::WString& name);
  Vcon::String Delete(const Vcon::WString& name);
  // Fills `document` with the stored bytes and answers the fixed acceptance text; a reply holding
  // "<error>" is answered as it is, `document` untouched.
  Vcon::String Download(Handle document, const Vcon::WString& name);

  // Posts `body` (sent as UTF-8) and answers the raw reply with its NUL bytes dropped.
  Vcon::String SendRequest(const Vcon::WString& body);

  bool IsConnected() const { return connected_; }

  // ---- The pieces of the calls above, public for the fuzz targets and benchmarks.
  // The upload form of `document` under `name`, as UTF-8 bytes.
  std::string MakeUploadBody(Handle document, const Vcon::WString& name) const;
  // Base64 of the bytes (CR LF every 76 characters) with "+", "/" and "=" escaped as %2B, %2F, %3D.
  static std::string UploadData(const char* bytes, int32_t count);
  // Every TAB removed, then the leading run of spaces.
  static Vcon::String CleanReply(const Vcon::String& raw);
  // Download's work on a cleaned reply (see Download); throws 9 when "<data>" or "</data>" is missing
  // or "</data>" comes first, 11 when the data does not decode.
  static Vcon::String ReadDownloadReply(const Vcon::String& reply, Handle document);

 private:
  std::string CommonFields(const char* action) const;
  Vcon::String Post(const std::string& utf8Body);
  void RequireConnection() const;

  std::unique_ptr<plat::HttpsClient> client_;
  Vcon::WString uid_;
  Vcon::WString pw_;
  Vcon::WString country_;
  Vcon::WString signature_;
  Vcon::WString version_;
  bool connected_ = false;
};
