#pragma once
// The plain values of the source notation: numbers, money and packed colours. Each parser takes the
// whole text or nothing (no trailing characters, no empty text).

#include <cstdint>
#include <optional>
#include <string>

namespace mkcatalog {

// A 32-bit word: decimal (optionally negative) or 0x hexadecimal; hexadecimal and large decimal
// values up to 0xFFFFFFFF are taken as their bit pattern.
std::optional<int32_t> ParseWord(const std::string& text);
std::optional<double> ParseReal(const std::string& text);
// An amount with up to four decimals, as its raw value in ten-thousandths.
std::optional<int64_t> ParseMoney(const std::string& text);
// "rgb:R,G,B" or "rgba:R,G,B,A" with each part a percentage 0 to 100: red in bits 24-31, green
// 16-23, blue 8-15, alpha 0-7. "rgb:" is opaque (alpha 100).
std::optional<int32_t> ParsePercentColour(const std::string& text);
// "ABCD": the four characters as one number, the first in the most significant byte.
std::optional<uint32_t> ParseFourCharCode(const std::string& text);

}  // namespace mkcatalog
