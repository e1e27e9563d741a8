#include "foundation/TextReference.h"

#include <charconv>
#include <optional>
#include <string>

#include "foundation/TextsById.h"

namespace {

// The text number after the ";", read as a typed value reads a decimal integer: leading blanks, an
// optional sign, then digits up to the first other character. Nothing when no number can be read or
// it does not fit 32 bits.
std::optional<int32_t> TextNumber(const std::u16string& text) {
  std::string narrow;
  size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r'))) ++i;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
    if (text[i] == u'-') narrow += '-';
    ++i;
  }
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    narrow += static_cast<char>(text[i]);
  }
  int32_t number = 0;
  auto [end, error] = std::from_chars(narrow.data(), narrow.data() + narrow.size(), number);
  if (error != std::errc() || end != narrow.data() + narrow.size()) return std::nullopt;
  return number;
}

}  // namespace

const Vcon::WString& ResolveTextRef(const Vcon::WString& text) {
  static Vcon::WString resolved;
  size_t semicolon = text.rfind(u';');
  if (semicolon == Vcon::WString::npos || semicolon + 1 == text.size()) {
    resolved = text;
    return resolved;
  }
  // Both parts are taken before the static changes: `text` may be the previous result.
  std::optional<int32_t> number = TextNumber(text.substr(semicolon + 1));
  resolved = Vcon::WString(text.substr(0, semicolon));
  if (number) GetTextById(*number, resolved);
  return resolved;
}
