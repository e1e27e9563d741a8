// The colour word of records and properties: red, green and blue in percent (0 to 100) in bits 31 to
// 24, 23 to 16 and 15 to 8; bits 7 to 0 are ignored when read and 0 when written.
#pragma once

#include <cstdint>

void SplitColorCode(uint32_t word, int32_t* red, int32_t* green, int32_t* blue);
uint32_t PackColorCode(int32_t red, int32_t green, int32_t blue);
