#include "controls/ColorCode.h"

void SplitColorCode(uint32_t word, int32_t* red, int32_t* green, int32_t* blue) {
  *red = static_cast<int32_t>(word >> 24);
  *green = static_cast<int32_t>((word >> 16) & 0xFF);
  *blue = static_cast<int32_t>((word >> 8) & 0xFF);
}

uint32_t PackColorCode(int32_t red, int32_t green, int32_t blue) {
  return (static_cast<uint32_t>(red) << 24) | ((static_cast<uint32_t>(green) & 0xFF) << 16) |
         ((static_cast<uint32_t>(blue) & 0xFF) << 8);
}
