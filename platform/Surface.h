#pragma once
// A 32-bit pixel buffer that everything draws into: the drawing calls, cairo and OpenGL.
// Each pixel is four bytes in memory order blue, green, red, unused (a little-endian uint32_t
// 0xXXRRGGBB). Rows are `Stride()` bytes apart; the stride is negative for a buffer whose rows are
// stored bottom-up (a device-independent bitmap), so `Row(y)` always gives the row y pixels from the top.
// A surface either owns its pixels (top-down, zero-filled, i.e. black) or borrows memory that outlives it.

#include <cstddef>
#include <cstdint>

#include "platform/PixelMemory.h"

typedef struct _cairo_surface cairo_surface_t;

namespace plat {

class Surface {
 public:
  // An owned, top-down buffer; every pixel 0 (black) unless the caller is to write every pixel first.
  Surface(int32_t width, int32_t height, PixelMemory::Start start = PixelMemory::Start::kZeroed);
  // Borrowed memory: `top` is the first byte of the top row; `stride` may be negative.
  Surface(uint8_t* top, int32_t width, int32_t height, int32_t stride);
  ~Surface();
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  int32_t Stride() const { return stride_; }
  bool OwnsPixels() const { return owns_; }

  // Writable rows for any writer: from here on the unused bytes are no longer known to be 0.
  uint8_t* Row(int32_t y) {
    unusedZero_ = false;
    return top_ + std::ptrdiff_t(y) * stride_;
  }
  const uint8_t* Row(int32_t y) const { return top_ + std::ptrdiff_t(y) * stride_; }
  uint32_t* Row32(int32_t y) { return reinterpret_cast<uint32_t*>(Row(y)); }
  const uint32_t* Row32(int32_t y) const { return reinterpret_cast<const uint32_t*>(Row(y)); }
  // A writable row for a writer that leaves each pixel's unused byte as it was, or sets it to 0.
  uint32_t* ColorRow32(int32_t y) { return reinterpret_cast<uint32_t*>(top_ + std::ptrdiff_t(y) * stride_); }
  // True while every pixel's unused byte is known to be 0: an owned surface from its start (or from
  // a Fill), until a writer other than the colour-only ones (cairo, OpenGL, raw Row/Row32 users) is
  // given the pixels. Borrowed memory holds whatever its owner wrote. Where it is true, writing a
  // whole pixel 0x00RRGGBB gives the same pixel as replacing only its colour bits.
  bool UnusedBytesZero() const { return unusedZero_; }

  bool Contains(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  // The pixel as 0x00RRGGBB (the unused byte masked off); 0 outside the surface.
  uint32_t Pixel(int32_t x, int32_t y) const;
  // Sets the pixel (0x00RRGGBB); ignored outside the surface.
  void SetPixel(int32_t x, int32_t y, uint32_t rgb);
  // Fills every pixel with 0x00RRGGBB.
  void Fill(uint32_t rgb);

  // Changes the size of an owned surface; the pixels that stay inside keep their value, new ones are
  // black. Throws -50 for a borrowed surface.
  void Resize(int32_t width, int32_t height);

  // A cairo image surface (format RGB24) over these pixels, made on first use and kept while the size
  // stays; null for a bottom-up buffer, which cairo cannot address. Call cairo_surface_flush after
  // drawing with cairo before the pixels are read by other code.
  cairo_surface_t* Cairo();

  // Bumped by every drawing call that changes pixels, so that holders of mirrors (bitmaps of fewer
  // bits per pixel) know when to copy.
  uint64_t Generation() const { return generation_; }
  void Touch() { ++generation_; }

 private:
  void DropCairo();

  PixelMemory owned_;
  uint8_t* top_ = nullptr;
  int32_t width_ = 0;
  int32_t height_ = 0;
  int32_t stride_ = 0;
  cairo_surface_t* cairo_ = nullptr;
  uint64_t generation_ = 0;
  bool owns_ = false;
  bool unusedZero_ = false;
};

// Surface pixel (0x00RRGGBB) to and from a colour reference (0x00BBGGRR).
constexpr uint32_t ColorRefToPixel(uint32_t colorRef) {
  return ((colorRef & 0xFF) << 16) | (colorRef & 0xFF00) | ((colorRef >> 16) & 0xFF);
}
constexpr uint32_t PixelToColorRef(uint32_t pixel) {
  return ((pixel & 0xFF) << 16) | (pixel & 0xFF00) | ((pixel >> 16) & 0xFF);
}

}  // namespace plat
