#pragma once
// The ANSI code page of the program: Windows-1252, by our own fixed tables so that text converts the
// same on every machine whatever the process locale says.

#include <cstdint>

// The UTF-16 unit of one Windows-1252 byte. Bytes the code page leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) map to the C1 control of the same number, so every byte round-trips.
char16_t AnsiToWide(unsigned char byte);

// The Windows-1252 byte of a UTF-16 unit, or -1 when the code page has no such character.
int32_t WideToAnsi(char16_t unit);

// The byte narrowing writes for a character the code page lacks.
inline constexpr char kAnsiReplacement = '?';
