#pragma once
// Device-independent bitmaps in memory: reading their headers safely and converting their pixels to
// and from 32-bit surfaces. A DIB is a 40-byte (or 108/124-byte) header, a colour table for 1, 2, 4
// and 8 bits per pixel (or three colour masks after a 40-byte header with BI_BITFIELDS), then rows
// padded to 4 bytes, bottom-up when the header's height is positive.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/GdiTypes.h"
#include "platform/Surface.h"

namespace plat {

struct DibFormat {
  int32_t width = 0;
  int32_t height = 0;  // always positive
  bool bottomUp = true;
  int32_t bitCount = 0;
  int32_t rowBytes = 0;
  std::vector<RGBQUAD> colors;    // the colour table (bit counts up to 8)
  uint32_t masks[3] = {0, 0, 0};  // red, green, blue masks (16 and 32 bits)
  size_t headerBytes = 0;         // header, masks and colour table
  size_t ImageBytes() const { return size_t(rowBytes) * size_t(height); }
};

// Bytes in one row of `width` pixels at `bitCount` bits, padded to 4 bytes.
int32_t DibRowBytes(int32_t width, int32_t bitCount);

// The layout a header describes, with the given colour table and the default masks (5-5-5 for 16
// bits, 8-8-8 for 32); the header is not checked.
DibFormat DibLayout(const BITMAPINFOHEADER& header, std::vector<RGBQUAD> colors);

// Reads the header (and the colour table that follows it in memory). Refuses unknown sizes,
// compressions and bit counts, and sizes beyond 32767 pixels a side.
std::optional<DibFormat> ParseDibHeader(const BITMAPINFOHEADER* header);
// The same for a packed DIB of known length; also checks that the pixels fit in `bytes`.
std::optional<DibFormat> ParsePackedDib(std::span<const uint8_t> bytes);

// The pixel (x, y counted from the top) as 0x00RRGGBB.
uint32_t DibPixel(const DibFormat& format, const uint8_t* bits, int32_t x, int32_t y);
// Whole-image conversions; the surface has the DIB's size.
void DibToSurface(const DibFormat& format, const uint8_t* bits, Surface& surface);
void SurfaceToDib(const Surface& surface, const DibFormat& format, uint8_t* bits);

}  // namespace plat
