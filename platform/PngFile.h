#pragma once
// PNG files of surfaces: dumps for looking at drawings, and expected images that tests compare with.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Surface.h"

namespace plat {

// Writes the surface as an 8-bit RGB PNG; false when the file cannot be written.
bool WritePng(const Surface& surface, const std::string& path);
// Reads any PNG into a new owned surface (transparency dropped); null when the file is missing or
// not a valid PNG.
std::unique_ptr<Surface> ReadPng(const std::string& path);

struct PixelDifference {
  bool sameSize = true;
  int64_t pixels = 0;   // pixels with a channel differing by more than the tolerance
  int32_t largest = 0;  // largest channel difference seen
  int32_t firstX = -1;  // the first such pixel, in row order
  int32_t firstY = -1;
  bool Matches() const { return sameSize && pixels == 0; }
};
// Compares two surfaces channel by channel; `tolerance` is the largest difference still equal.
PixelDifference ComparePixels(const Surface& a, const Surface& b, int32_t tolerance);

}  // namespace plat
