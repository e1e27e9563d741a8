// Colours of the drawing code. Throughout the program colours are given in percent (0 to 100 per
// channel); the drawing context converts them to bytes (0 to 255) for the device.
#pragma once

#include <cstdint>

struct ppRGBColor {
  int32_t red = 0;
  int32_t green = 0;
  int32_t blue = 0;
  friend bool operator==(const ppRGBColor&, const ppRGBColor&) = default;
};

// (p * 256) / 100 truncated, capped at 255, low 8 bits: 100 gives 255, 50 gives 128.
int32_t PercentToByte(int32_t percent);
// b * 100 / 256 truncated: 255 gives 99, 128 gives 50.
int32_t ByteToPercent(int32_t byte);
// Converts every channel of a byte colour to percent, in place.
void ColorToPercent(ppRGBColor& color);
