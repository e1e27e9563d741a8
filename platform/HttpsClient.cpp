#include "platform/HttpsClient.h"

#include <curl/curl.h>

#include <mutex>
#include <vector>

#include "platform/ResetList.h"

namespace plat {
namespace {

// Test overrides; owned by the thread that sends requests (the user-interface thread).
int32_t gPortOverride = 0;
std::string gAuthorityFile;

[[maybe_unused]] const bool kReset = ResetList::Add("https: port and authority file overrides", [] {
  gPortOverride = 0;
  gAuthorityFile.clear();
});

constexpr long kConnectTimeoutMs = 20'000;
constexpr long kStallSeconds = 30;  // a transfer that moves less than one byte a second this long fails

// The transfer library's process-wide set-up, made once and kept for the life of the process (it
// holds the TLS library's tables); not on the reset list.
void InitialiseOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool Unsafe(unsigned char c) {
  if (c < 0x21 || c >= 0x7F) return true;
  switch (c) {
    case '"':
    case '<':
    case '>':
    case '\\':
    case '^':
    case '`':
    case '{':
    case '|':
    case '}':
      return true;
    default:
      return false;
  }
}

// Drops "." segments and ".." with the segment before it.
std::string WithoutDotSegments(const std::string& text) {
  std::vector<std::string> kept;
  bool trailingSlash = false;
  size_t start = 0;
  while (true) {
    const size_t slash = text.find('/', start);
    const std::string segment =
        text.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    const bool last = slash == std::string::npos;
    const bool first = start == 0;
    if (!first && segment == ".") {
      trailingSlash = last;
    } else if (!first && segment == "..") {
      if (kept.size() > 1) kept.pop_back();
      trailingSlash = last;
    } else {
      kept.push_back(segment);
      trailingSlash = false;
    }
    if (last) break;
    start = slash + 1;
  }
  std::string out;
  for (size_t i = 0; i < kept.size(); ++i) {
    if (i > 0) out += '/';
    out += kept[i];
  }
  if (trailingSlash) out += '/';
  return out;
}

size_t Collect(char* data, size_t size, size_t count, void* reply) {
  static_cast<std::string*>(reply)->append(data, size * count);
  return size * count;
}

// Verification results of the TLS library that mean "the issuer is not known": self-signed leaf,
// self-signed root in the chain, issuer missing locally or at all, leaf signature unverifiable.
bool UnknownIssuer(long verifyResult) {
  return verifyResult == 2 || verifyResult == 18 || verifyResult == 19 || verifyResult == 20 ||
         verifyResult == 21;
}

}  // namespace

std::optional<std::string> HttpsClient::Canonical(std::string_view text) {
  if (text.empty() || text.find('\0') != std::string_view::npos) return std::nullopt;
  static const char kHex[] = "0123456789ABCDEF";
  std::string escaped;
  escaped.reserve(text.size());
  for (unsigned char c : text) {
    if (Unsafe(c)) {
      escaped += '%';
      escaped += kHex[c >> 4];
      escaped += kHex[c & 15];
    } else {
      escaped += char(c);
    }
  }
  return WithoutDotSegments(escaped);
}

HttpsClient::HttpsClient(std::string_view agent, std::string_view host, std::string_view path)
    : agent_(agent) {
  InitialiseOnce();
  curl_ = curl_easy_init();
  if (curl_ == nullptr) {
    openError_ = kNoHandle;
    return;
  }
  std::optional<std::string> canonicalHost = Canonical(host);
  std::optional<std::string> canonicalPath = Canonical(path);
  if (!canonicalHost || !canonicalPath) {
    openError_ = kNotCanonical;
    return;
  }
  host_ = std::move(*canonicalHost);
  path_ = std::move(*canonicalPath);
  if (path_[0] != '/') path_.insert(path_.begin(), '/');
}

HttpsClient::~HttpsClient() {
  if (curl_ != nullptr) curl_easy_cleanup(static_cast<CURL*>(curl_));
}

HttpsReply HttpsClient::Post(std::string_view body, bool verifyIssuer) {
  HttpsReply reply;
  if (openError_ != 0) {
    reply.detail = "the client could not be opened";
    return reply;
  }
  CURL* curl = static_cast<CURL*>(curl_);
  const int32_t port = gPortOverride != 0 ? gPortOverride : 443;
  const std::string url = "https://" + host_ + ":" + std::to_string(port) + path_;

  // Content-Type is the one header added; the empty "Accept:" and "Expect:" take out the two that the
  // library would add by itself.
  curl_slist* headers = nullptr;
  headers = curl_slist_append(headers, "Content-Type: application/x-www-form-urlencoded");
  headers = curl_slist_append(headers, "Accept:");
  headers = curl_slist_append(headers, "Expect:");

  char error[CURL_ERROR_SIZE] = {};
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_USERAGENT, agent_.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(curl, CURLOPT_POST, 1L);
  curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.data());
  curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMs);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, verifyIssuer ? 1L : 0L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
  if (!gAuthorityFile.empty()) curl_easy_setopt(curl, CURLOPT_CAINFO, gAuthorityFile.c_str());
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply.body);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);

  const CURLcode result = curl_easy_perform(curl);
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  long verifyResult = 0;
  curl_easy_getinfo(curl, CURLINFO_SSL_VERIFYRESULT, &verifyResult);
  // Nothing of this call may outlive it in the handle: the header list and the buffers are ours.
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
  curl_easy_setopt(curl, CURLOPT_POSTFIELDS, nullptr);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, nullptr);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
  curl_slist_free_all(headers);

  reply.status = static_cast<int32_t>(status);
  if (result == CURLE_OK) {
    reply.outcome = HttpsReply::Outcome::Replied;
    return reply;
  }
  reply.detail = error[0] != '\0' ? error : curl_easy_strerror(result);
  if (result == CURLE_PEER_FAILED_VERIFICATION && verifyIssuer && UnknownIssuer(verifyResult)) {
    reply.outcome = HttpsReply::Outcome::UntrustedIssuer;
  } else if (status != 0) {
    reply.outcome = HttpsReply::Outcome::ReadFailed;
  } else {
    reply.outcome = HttpsReply::Outcome::SendFailed;
  }
  return reply;
}

void SetHttpsPortForTests(int32_t port) { gPortOverride = port; }
void SetHttpsAuthorityFileForTests(std::string path) { gAuthorityFile = std::move(path); }

}  // namespace plat
