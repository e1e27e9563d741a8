#pragma once
// A bitmap behind an HBITMAP: a device bitmap (1 or 32 bits per pixel) or a DIB section whose pixels
// the caller reaches directly (1, 2, 4, 8, 24 or 32 bits, rows padded to 4 bytes, bottom-up for a
// positive header height).
//
// Drawing always happens on a 32-bit Surface. A 32-bit DIB section's surface lies over its own bits
// (a negative stride for bottom-up rows), so nothing is copied. Other DIB sections keep a 32-bit mirror:
// GdiFlush (or selecting the bitmap out of its context) writes the mirror back into the bits, and the
// first drawing after that reads the bits again, so the caller's own writes made between are seen.
// A monochrome device bitmap holds only black (0) and white (0xFFFFFF) pixels.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/GdiObject.h"
#include "platform/Surface.h"

namespace plat {

class BitmapObject : public GdiObject {
 public:
  // A device bitmap of 1 or 32 bits per pixel, all black unless the caller is to write every pixel.
  BitmapObject(int32_t width, int32_t height, int32_t bitsPixel,
               PixelMemory::Start start = PixelMemory::Start::kZeroed);
  // A DIB section in the format of `header` with `colors` as its colour table; the pixels zero-filled.
  BitmapObject(const BITMAPINFOHEADER& header, std::vector<RGBQUAD> colors);
  ~BitmapObject() override;

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  int32_t BitsPixel() const { return bitsPixel_; }
  // One bit per pixel in black and white: drawing maps colours to the nearer of the two and blits
  // convert through the contexts' colours. A 1-bit DIB section with other table colours is not.
  bool IsMonochrome() const;
  bool IsDibSection() const { return isDib_; }

  // The pixels to draw on or read; reads the DIB bits first when the caller may have written them.
  Surface& Pixels();
  // Records that the surface was drawn on; from then on it is newer than the bits until the next flush.
  void Changed();
  // Writes a DIB section's mirror back into its bits (nothing for device and 32-bit bitmaps).
  void Flush();
  // Flushes every DIB section that has a mirror.
  static void FlushAll();

  // DIB sections only: the caller's pixel memory, the header and the colour table.
  void* Bits() { return dibBits_.data(); }
  const BITMAPINFOHEADER& Header() const { return header_; }
  const std::vector<RGBQUAD>& Colors() const { return colors_; }
  int32_t RowBytes() const { return rowBytes_; }

  // The context the bitmap is selected into (a bitmap can be in one at a time), or null.
  DeviceContext* owner = nullptr;

 private:
  void Pull();

  int32_t width_;
  int32_t height_;
  int32_t bitsPixel_;
  bool isDib_ = false;
  bool pullPending_ = false;
  bool dirty_ = false;
  int32_t rowBytes_ = 0;
  BITMAPINFOHEADER header_;
  std::vector<RGBQUAD> colors_;
  std::vector<uint8_t> dibBits_;
  std::unique_ptr<Surface> surface_;
};

}  // namespace plat
