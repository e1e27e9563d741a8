#include "platform/AnsiCodePage.h"

#include <array>

namespace plat {
namespace {

// Bytes 0x80 to 0x9F; the other bytes equal their Latin-1 code points.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

}  // namespace

char16_t AnsiToWide(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
  return byte;
}

int32_t WideToAnsi(char16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return unit;
  for (size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == unit) return static_cast<int32_t>(0x80 + i);
  }
  return -1;
}

std::u16string WidenAnsi(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char c : text) out.push_back(AnsiToWide(static_cast<unsigned char>(c)));
  return out;
}

std::string NarrowToAnsi(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t u : text) {
    int32_t b = WideToAnsi(u);
    out.push_back(b < 0 ? '?' : static_cast<char>(b));
  }
  return out;
}

}  // namespace plat
