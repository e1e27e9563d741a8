// A memory context over a 32-bit bitmap for drawing tests, with pixel queries.
#pragma once

#include <utility>
#include <vector>

#include "platform/Gdi.h"

namespace picture_tests {

// White unless told otherwise.
class Canvas {
 public:
  Canvas(int32_t w, int32_t h, plat::COLORREF fill = plat::RGB(255, 255, 255))
      : dc_(plat::CreateCompatibleDC(nullptr)), bitmap_(plat::CreateBitmap(w, h, 1, 32, nullptr)) {
    previous_ = plat::SelectObject(dc_.get(), bitmap_.get());
    plat::OwnedBrush brush(plat::CreateSolidBrush(fill));
    plat::RECT all{0, 0, w, h};
    plat::FillRect(dc_.get(), &all, brush.get());
  }
  ~Canvas() { plat::SelectObject(dc_.get(), previous_); }
  plat::HDC dc() const { return dc_.get(); }
  plat::COLORREF At(int32_t x, int32_t y) const { return plat::GetPixel(dc_.get(), x, y); }
  // Pixels that are not white, as "x,y" pairs in row order.
  std::vector<std::pair<int, int>> Marked(int32_t w, int32_t h) const {
    std::vector<std::pair<int, int>> out;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (At(x, y) != plat::RGB(255, 255, 255)) out.emplace_back(x, y);
    return out;
  }
  bool SamePixels(const Canvas& other, int32_t w, int32_t h) const {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (At(x, y) != other.At(x, y)) return false;
    return true;
  }

 private:
  plat::OwnedDc dc_;
  plat::OwnedBitmap bitmap_;
  plat::HGDIOBJ previous_ = nullptr;
};

}  // namespace picture_tests
