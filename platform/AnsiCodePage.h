#pragma once
// The ANSI code page of the program, Windows-1252, by fixed tables of our own, so that text converts
// the same on every machine whatever the process locale says. The layer's narrow ("A") calls widen
// through it; the foundation's string classes use it too.

#include <cstdint>
#include <string>
#include <string_view>

namespace plat {

// The UTF-16 unit of one Windows-1252 byte. The five bytes the code page leaves undefined (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the same number, so every byte round-trips.
char16_t AnsiToWide(unsigned char byte);
// The Windows-1252 byte of a UTF-16 unit, or -1 when the code page has no such character.
int32_t WideToAnsi(char16_t unit);

std::u16string WidenAnsi(std::string_view text);
// Characters the code page lacks become '?'.
std::string NarrowToAnsi(std::u16string_view text);

}  // namespace plat
