#include "tools/rescomp/AnsiText.h"

#include <cstdint>

namespace rescomp {
namespace {

// Code points of the bytes 0x80 to 0x9F; 0 marks the five bytes the code page leaves undefined.
constexpr char32_t kHighControls[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                        0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::optional<char32_t> NextCodePoint(std::string_view text, size_t& i) {
  unsigned char c = static_cast<unsigned char>(text[i++]);
  if (c < 0x80) return c;
  int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
  if (extra < 0 || i + extra > text.size()) return std::nullopt;
  char32_t cp = c & (0x3F >> extra);
  for (int k = 0; k < extra; ++k) {
    unsigned char d = static_cast<unsigned char>(text[i++]);
    if ((d & 0xC0) != 0x80) return std::nullopt;
    cp = (cp << 6) | (d & 0x3F);
  }
  return cp;
}

std::optional<char> ToAnsi(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (int k = 0; k < 32; ++k) {
    if (kHighControls[k] != 0 && kHighControls[k] == cp) return static_cast<char>(0x80 + k);
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> Utf8ToAnsi(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    auto cp = NextCodePoint(utf8, i);
    if (!cp) return std::nullopt;
    auto c = ToAnsi(*cp);
    if (!c) return std::nullopt;
    out.push_back(*c);
  }
  return out;
}

}  // namespace rescomp
