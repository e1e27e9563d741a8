#include "exchange/Save2ServerSession.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "exchange/Base64Codec.h"
#include "exchange/Save2ServerFailure.h"
#include "exchange/UrlField.h"
#include "foundation/PosixPath.h"
#include "platform/CertificateQuestion.h"
#include "platform/HttpsClient.h"
#include "foundation/HandleRoom.h"

namespace {

constexpr char kHex[] = "0123456789ABCDEF";
constexpr char kDownloadAccepted[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<accept type=\"download\"/>";

// A credential or application value as a form value: the characters that would end or change the
// field escaped, everything else as it is.
std::string FormValue(const Vcon::WString& value) {
  Vcon::WString escaped;
  escaped.reserve(value.size());
  for (char16_t c : value) {
    if (c == u'%' || c == u'&' || c == u'+' || c == u'=' || c < 0x20 || c == 0x7F) {
      escaped += u'%';
      escaped += char16_t(kHex[c >> 4]);
      escaped += char16_t(kHex[c & 15]);
    } else {
      escaped += c;
    }
  }
  return Vcon::Utf8FromUtf16(escaped);
}

std::string FileNameValue(const Vcon::WString& name) { return Vcon::Utf8FromUtf16(UrlEncodeField(name)); }

}  // namespace

Save2ServerSession::Save2ServerSession(const Vcon::String& agent, const Vcon::String& host,
                                       const Vcon::String& path)
    : client_(std::make_unique<plat::HttpsClient>(agent, host, path)) {
  if (client_->OpenError() != 0) throw Save2ServerFailure(client_->OpenError());
}

Save2ServerSession::~Save2ServerSession() = default;

void Save2ServerSession::SetCredentials(const Vcon::WString& uid, const Vcon::WString& pw,
                                        const Vcon::WString& country) {
  uid_ = uid;
  pw_ = pw;
  country_ = country;
}

void Save2ServerSession::SetSignatureVersion(const Vcon::WString& signature, const Vcon::WString& version) {
  signature_ = signature;
  version_ = version;
}

std::string Save2ServerSession::CommonFields(const char* action) const {
  std::string body = "action=";
  body += action;
  body += "&uid=" + FormValue(uid_) + "&pw=" + FormValue(pw_) + "&country=" + FormValue(country_);
  body += "&signature=" + FormValue(signature_) + "&version=" + FormValue(version_);
  return body;
}

void Save2ServerSession::RequireConnection() const {
  if (!connected_) throw Save2ServerFailure(8);
}

Vcon::String Save2ServerSession::Login() {
  // The connection itself is made by the first request; from here on the session counts as connected,
  // whatever the login's answer, as the server flows expect.
  connected_ = true;
  const std::string body =
      "action=login&uid=" + FormValue(uid_) + "&pw=" + FormValue(pw_) + "&country=" + FormValue(country_);
  return CleanReply(Post(body));
}

Vcon::String Save2ServerSession::ListFiles() {
  RequireConnection();
  return CleanReply(Post(CommonFields("list-files")));
}

Vcon::String Save2ServerSession::Upload(Handle document, const Vcon::WString& name) {
  RequireConnection();
  return CleanReply(Post(MakeUploadBody(document, name)));
}

Vcon::String Save2ServerSession::Delete(const Vcon::WString& name) {
  RequireConnection();
  return CleanReply(Post(CommonFields("delete") + "&qxf-filename=" + FileNameValue(name)));
}

Vcon::String Save2ServerSession::Download(Handle document, const Vcon::WString& name) {
  RequireConnection();
  const Vcon::String reply =
      CleanReply(Post(CommonFields("download") + "&qxf-filename=" + FileNameValue(name)));
  return ReadDownloadReply(reply, document);
}

Vcon::String Save2ServerSession::SendRequest(const Vcon::WString& body) {
  return Post(Vcon::Utf8FromUtf16(body));
}

Vcon::String Save2ServerSession::Post(const std::string& utf8Body) {
  plat::HttpsReply reply = client_->Post(utf8Body);
  if (reply.outcome == plat::HttpsReply::Outcome::UntrustedIssuer) {
    if (!plat::AskAcceptUntrustedIssuer(client_->Host(), reply.detail)) throw Save2ServerFailure(10);
    reply = client_->Post(utf8Body, false);
  }
  switch (reply.outcome) {
    case plat::HttpsReply::Outcome::Replied:
      break;
    case plat::HttpsReply::Outcome::ReadFailed:
      throw Save2ServerFailure(7);
    default:
      throw Save2ServerFailure(5);
  }
  // A NUL byte would end the reply's text wherever the network happened to cut it: none is kept.
  std::erase(reply.body, '\0');
  return Vcon::String(std::move(reply.body));
}

std::string Save2ServerSession::MakeUploadBody(Handle document, const Vcon::WString& name) const {
  const int32_t size = MemGetSize(document);
  const std::string data = UploadData(size > 0 ? *document : nullptr, size);
  std::string body = CommonFields("upload");
  body += "&qxf-filename=" + FileNameValue(name);
  body += "&qxf-filesize=" + std::to_string(data.size());
  body.reserve(body.size() + 14 + data.size());
  body += "&qxf-filedata=";
  body += data;
  return body;
}

std::string Save2ServerSession::UploadData(const char* bytes, int32_t count) {
  const Vcon::String text = Base64Codec().Encode(bytes, count);
  std::string escaped;
  escaped.reserve(text.size() + text.size() / 8);
  for (char c : text) {
    switch (c) {
      case '+':
        escaped += "%2B";
        break;
      case '/':
        escaped += "%2F";
        break;
      case '=':
        escaped += "%3D";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

Vcon::String Save2ServerSession::CleanReply(const Vcon::String& raw) {
  Vcon::String clean;
  clean.reserve(raw.size());
  bool leading = true;
  for (char c : raw) {
    if (c == '\t') continue;
    if (leading && c == ' ') continue;
    leading = false;
    clean += c;
  }
  return clean;
}

Vcon::String Save2ServerSession::ReadDownloadReply(const Vcon::String& reply, Handle document) {
  if (reply.find("<error>") != std::string::npos) return reply;
  const size_t open = reply.find("<data>");
  const size_t close = reply.find("</data>");
  if (open == std::string::npos || close == std::string::npos || close < open) throw Save2ServerFailure(9);

  // The escapes the upload writes are undone first, then line breaks and blanks go; one pass, as an
  // escape is matched on the text as it came.
  Vcon::String text;
  text.reserve(close - open - 6);
  for (size_t i = open + 6; i < close; ++i) {
    const char c = reply[i];
    if (c == '%' && i + 2 < close && reply[i + 1] == '2' && reply[i + 2] == 'B') {
      text += '+';
      i += 2;
    } else if (c == '%' && i + 2 < close && reply[i + 1] == '2' && reply[i + 2] == 'F') {
      text += '/';
      i += 2;
    } else if (c == '%' && i + 2 < close && reply[i + 1] == '3' && reply[i + 2] == 'D') {
      text += '=';
      i += 2;
    } else if (c != ' ' && c != '\r' && c != '\n' && c != '\t') {
      text += c;
    }
  }
  std::vector<char> bytes(text.size(), 0);
  const int32_t count = Base64Codec().Decode(text, bytes.data());
  // A document the zone cannot hold is refused as undecodable data is, not as the program's own failure.
  if (count < 0 || !MemTrySetSize(document, uint32_t(count))) throw Save2ServerFailure(11);
  if (count > 0) std::memcpy(*document, bytes.data(), size_t(count));
  return Vcon::String(kDownloadAccepted);
}
