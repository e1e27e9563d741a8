#include "framework/ColorConversion.h"

int32_t PercentToByte(int32_t percent) {
  int32_t b = (percent * 256) / 100;
  if (b > 255) b = 255;
  return b & 0xFF;
}

int32_t ByteToPercent(int32_t byte) { return (byte * 12800) / 32768; }

void ColorToPercent(ppRGBColor& color) {
  color.red = ByteToPercent(color.red);
  color.green = ByteToPercent(color.green);
  color.blue = ByteToPercent(color.blue);
}
