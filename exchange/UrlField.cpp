#include "exchange/UrlField.h"

namespace {

constexpr char16_t kEscaped[] = u"\"\\^`{}|][<>#+/&?";
constexpr char16_t kHex[] = u"0123456789ABCDEF";

bool IsEscaped(char16_t c) {
  for (const char16_t* p = kEscaped; *p; ++p) {
    if (*p == c) return true;
  }
  return false;
}

int32_t UpperHexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

}  // namespace

Vcon::WString UrlEncodeField(const Vcon::WString& text) {
  Vcon::WString out;
  out.reserve(text.size());
  for (char16_t c : text) {
    if (c == u'%') {
      out += u"%25";
    } else if (IsEscaped(c)) {
      out += u"%25";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += c;
    }
  }
  return out;
}

Vcon::WString UrlDecodeField(const Vcon::WString& text) {
  Vcon::WString out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'%' && i + 2 < text.size()) {
      const int32_t high = UpperHexValue(text[i + 1]);
      const int32_t low = UpperHexValue(text[i + 2]);
      if (high >= 0 && low >= 0) {
        const auto c = char16_t(high * 16 + low);
        // A decoded character is never "%" or a hexadecimal digit, so no escape can form across it:
        // one pass gives what replacing each escape in turn over the whole text gives.
        if (c == u'%' || IsEscaped(c)) {
          out += c;
          i += 2;
          continue;
        }
      }
    }
    out += text[i];
  }
  return out;
}
