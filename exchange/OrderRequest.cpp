#include "exchange/OrderRequest.h"

#include <cstring>

#include "foundation/FileOperations.h"

void OrderRequest::Fill(Handle head, Handle body, Handle document) {
  // The body's bytes after an insertion may hold NULs (a packed document does), so it must be filled
  // before its length is known, and the length is the handle's size, never a text length.
  ReplaceTextWithHandle(body, "$FILE$", document);
  const uint32_t length = body == nullptr ? 0 : uint32_t(MemGetSize(body));
  ReplaceTextInHandle(head, "$LENGTH$", Vcon::String(std::to_string(length)));
}

std::string OrderRequest::CutToMarkup(std::string_view answer) {
  const size_t first = answer.find('<');
  const size_t last = answer.rfind('>');
  if (first == std::string_view::npos || last == std::string_view::npos || last < first) return {};
  return std::string(answer.substr(first, last - first + 1));
}

void OrderRequest::CutToMarkup(Handle answer) {
  if (answer == nullptr) return;
  const std::string cut = CutToMarkup(std::string_view(*answer, size_t(MemGetSize(answer))));
  MemSetSize(answer, uint32_t(cut.size()));
  if (!cut.empty()) std::memcpy(*answer, cut.data(), cut.size());
}

std::string OrderRequest::HostOfWebSite(std::string_view webSite) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!webSite.empty() && blank(webSite.front())) webSite.remove_prefix(1);
  while (!webSite.empty() && blank(webSite.back())) webSite.remove_suffix(1);
  if (const size_t scheme = webSite.find("://"); scheme != std::string_view::npos)
    webSite.remove_prefix(scheme + 3);
  if (const size_t end = webSite.find_first_of("/?#"); end != std::string_view::npos)
    webSite = webSite.substr(0, end);
  if (const size_t user = webSite.rfind('@'); user != std::string_view::npos) webSite.remove_prefix(user + 1);
  if (!webSite.empty() && webSite.front() == '[') {
    // A bracketed IPv6 literal keeps its colons; the order connects over IPv4, so it will not resolve,
    // but it must not be cut at its first colon either.
    const size_t close = webSite.find(']');
    webSite = close == std::string_view::npos ? webSite : webSite.substr(1, close - 1);
  } else if (const size_t port = webSite.find(':'); port != std::string_view::npos) {
    webSite = webSite.substr(0, port);
  }
  // Blanks the cuts left at either end ("https:// shop.example /x") are not part of the host.
  while (!webSite.empty() && blank(webSite.front())) webSite.remove_prefix(1);
  while (!webSite.empty() && blank(webSite.back())) webSite.remove_suffix(1);
  return std::string(webSite);
}
