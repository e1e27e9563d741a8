#include "foundation/AnsiCodePage.h"

#include "platform/AnsiCodePage.h"

// The tables live in the platform layer, whose narrow calls widen through the same code page.

char16_t AnsiToWide(unsigned char byte) { return plat::AnsiToWide(byte); }

int32_t WideToAnsi(char16_t unit) { return plat::WideToAnsi(unit); }
