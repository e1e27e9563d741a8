#pragma once
// A white surface with a context over it, and pixel queries, for the drawing tests.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/Gdi.h"

namespace plat::testing {

struct Canvas {
  Surface surface;
  HDC dc;

  Canvas(int32_t width, int32_t height, uint32_t fill = 0xFFFFFF) : surface(width, height) {
    surface.Fill(fill);
    dc = CreateSurfaceDC(surface, POINT{0, 0}, RECT{0, 0, width, height});
  }
  ~Canvas() { DeleteDC(dc); }

  uint32_t At(int32_t x, int32_t y) const { return surface.Pixel(x, y); }

  std::vector<uint32_t> Snapshot() const {
    std::vector<uint32_t> pixels;
    for (int32_t y = 0; y < surface.Height(); ++y)
      for (int32_t x = 0; x < surface.Width(); ++x) pixels.push_back(surface.Pixel(x, y));
    return pixels;
  }

  // Fills with a pattern no drawing produces by chance, so that undo checks see every bit.
  void FillPattern() {
    for (int32_t y = 0; y < surface.Height(); ++y)
      for (int32_t x = 0; x < surface.Width(); ++x)
        surface.SetPixel(x, y, uint32_t(x * 37 + y * 101) * 2654435761u & 0xFFFFFF);
  }

  // The box of pixels that differ from `background`; empty when none does.
  RECT InkBox(uint32_t background = 0xFFFFFF) const {
    RECT box{surface.Width(), surface.Height(), 0, 0};
    for (int32_t y = 0; y < surface.Height(); ++y)
      for (int32_t x = 0; x < surface.Width(); ++x)
        if (surface.Pixel(x, y) != background) {
          box.left = std::min(box.left, x);
          box.top = std::min(box.top, y);
          box.right = std::max(box.right, x + 1);
          box.bottom = std::max(box.bottom, y + 1);
        }
    return box.right > box.left ? box : RECT{};
  }

  int32_t Count(uint32_t rgb) const {
    int32_t n = 0;
    for (uint32_t p : Snapshot()) n += p == rgb;
    return n;
  }
};

}  // namespace plat::testing
