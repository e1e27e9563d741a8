// An off-screen drawing surface: a memory device context with a 24-bit bottom-up DIB section selected
// into it, whose pixel format also lets OpenGL draw. Everything it made is undone in its destructor,
// so every way out of an off-screen render (a failed section, a thrown file error) cleans up.
// Used by one thread at a time: the one that made it.
#pragma once

#include <cstdint>

#include "platform/GdiTypes.h"

class qxDibSurface {
 public:
  // Pixel-format flags: draw to bitmap, GDI and OpenGL support, with or without the software bit.
  static constexpr plat::DWORD kSoftwareFormat = 0x78;
  static constexpr plat::DWORD kBitmapFormat = 0x38;

  // A `width` x `height` surface; OK() is false when the section could not be made.
  qxDibSurface(int32_t width, int32_t height);
  ~qxDibSurface();
  qxDibSurface(const qxDibSurface&) = delete;
  qxDibSurface& operator=(const qxDibSurface&) = delete;

  // Bytes of one row: 3 per pixel rounded up to 4.
  static int32_t Stride(int32_t width) { return (width * 3 + 3) & ~3; }
  // The 40-byte header of a 24-bit bottom-up bitmap of that size.
  static plat::BITMAPINFOHEADER Header(int32_t width, int32_t height);

  bool OK() const { return bits_ != nullptr; }
  plat::HDC DC() const { return dc_; }
  const plat::BITMAPINFOHEADER& Header() const { return header_; }
  // The pixels, rows bottom-up; valid while the surface lives (read after GdiFlush).
  const uint8_t* Bits() const { return static_cast<const uint8_t*>(bits_); }
  // Chooses and sets a 24-bit colour, 32-bit depth RGBA format with `flags`; false when none was set.
  bool SetPixelFormat(plat::DWORD flags);

 private:
  plat::BITMAPINFOHEADER header_{};
  plat::HDC dc_ = nullptr;
  plat::HBITMAP section_ = nullptr;
  plat::HGDIOBJ previous_ = nullptr;
  void* bits_ = nullptr;
};
