// The order request's two templates and the document put into them: the first two bytes give the
// head template's and the body template's lengths, then come the two templates, and the rest is the
// packed document. A template without its mark ("$LENGTH$", "$FILE$") stays as it was, a filled body
// never shrinks below its template less the marks it held, and the whole input read as the
// application record's web site gives a host without scheme, path, user or surrounding blanks.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "exchange/OrderRequest.h"

namespace {

fuzz::OwnedHandle HandleOf(const uint8_t* bytes, size_t n) {
  Handle h = nullptr;
  Vcon_HandleManager::MemNew(&h, uint32_t(n));
  if (n != 0) std::memcpy(*h, bytes, n);
  return fuzz::OwnedHandle(h);
}

std::string_view TextOf(Handle h) { return std::string_view(*h, size_t(MemGetSize(h))); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnsureZone();
  if (size < 2) return 0;
  const size_t headSize = std::min<size_t>(data[0], size - 2);
  const size_t bodySize = std::min<size_t>(data[1], size - 2 - headSize);
  const uint8_t* at = data + 2;
  const std::string head(reinterpret_cast<const char*>(at), headSize);
  const std::string body(reinterpret_cast<const char*>(at + headSize), bodySize);
  fuzz::OwnedHandle filledHead = HandleOf(at, headSize);
  fuzz::OwnedHandle filledBody = HandleOf(at + headSize, bodySize);
  fuzz::OwnedHandle document = HandleOf(at + headSize + bodySize, size - 2 - headSize - bodySize);
  OrderRequest::Fill(filledHead.get(), filledBody.get(), document.get());
  if (head.find("$LENGTH$") == std::string::npos && TextOf(filledHead.get()) != head) __builtin_trap();
  if (body.find("$FILE$") == std::string::npos && TextOf(filledBody.get()) != body) __builtin_trap();
  size_t marks = 0;
  for (size_t from = body.find("$FILE$"); from != std::string::npos; from = body.find("$FILE$", from + 6))
    ++marks;
  if (MemGetSize(filledBody.get()) + 6 * marks < body.size()) __builtin_trap();

  const std::string host =
      OrderRequest::HostOfWebSite(std::string_view(reinterpret_cast<const char*>(data), size));
  if (host.find_first_of("/?#@") != std::string::npos) __builtin_trap();
  if (host.find("://") != std::string::npos) __builtin_trap();
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  if (!host.empty() && (blank(host.front()) || blank(host.back()))) __builtin_trap();
  return 0;
}
