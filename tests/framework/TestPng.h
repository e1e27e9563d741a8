// Encodes small PNG images in memory for the picture tests, with libpng's writer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct TestPngImage {
  uint32_t width = 1;
  uint32_t height = 1;
  int colorType = 0;  // PNG colour type
  int bitDepth = 8;
  bool interlaced = false;
  std::vector<std::vector<uint8_t>> rows;  // packed PNG rows, top first
  std::vector<uint8_t> paletteRGB;         // r, g, b per entry
  std::vector<uint8_t> paletteAlpha;       // tRNS of a palette image
  int transparentGrey = -1;                // tRNS of a grey image
  uint32_t pixelsPerMeter = 0;             // pHYs in metres when not 0
  int filters = -1;      // PNG_FILTER_* flags the writer may choose from; -1: its own choice
  size_t idatBytes = 0;  // the largest IDAT chunk's data when not 0 (the writer's buffer)
};

std::vector<uint8_t> EncodeTestPng(const TestPngImage& image);
