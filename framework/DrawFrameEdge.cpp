#include "framework/DrawFrameEdge.h"

#include <cmath>
#include <cstdlib>

#include "framework/ppDC.h"
#include "framework/ppPicture.h"
#include "platform/Gdi.h"

FramePictureCopy::FramePictureCopy(const ppPicture* picture) {
  if (!picture || picture->IsEmpty()) return;
  int32_t w = picture->GetWidth();
  int32_t h = picture->GetHeight();
  cx_ = w / 2;
  cy_ = h / 2;
  dc_ = plat::CreateCompatibleDC(nullptr);
  bitmap_ = plat::CreateBitmap(w + 1, h + 1, 1, 32, nullptr);
  previous_ = plat::SelectObject(dc_, bitmap_);
  ppDC memory(dc_);
  picture->Draw(memory, plat::RECT{0, 0, w, h});
}

FramePictureCopy::~FramePictureCopy() {
  if (!dc_) return;
  plat::SelectObject(dc_, previous_);
  plat::DeleteObject(bitmap_);
  plat::DeleteDC(dc_);
}

void FramePictureCopy::Copy(plat::HDC dest, int32_t x, int32_t y, int32_t width, int32_t height, int32_t sx,
                            int32_t sy) const {
  plat::BitBlt(dest, x, y, width, height, dc_, sx, sy, plat::SRCCOPY);
}

void FramePictureCopy::Stretch(plat::HDC dest, int32_t x, int32_t y, int32_t width, int32_t height,
                               int32_t sx, int32_t sy, int32_t sw, int32_t sh) const {
  plat::StretchBlt(dest, x, y, width, height, dc_, sx, sy, sw, sh, plat::SRCCOPY);
}

namespace {

int32_t Nearest(float value) { return static_cast<int32_t>(std::lround(value)); }

// A slanted edge: the shorter axis moves one pixel per step, each step stamped with a slice.
void DrawSlantedEdge(const FramePictureCopy& copy, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                     plat::HDC dest) {
  int32_t cx = copy.Cx();
  int32_t cy = copy.Cy();
  int32_t dx = x2 - x1;
  int32_t dy = y2 - y1;
  int32_t stepX, stepY;
  if (std::abs(dy) < std::abs(dx)) {
    stepX = dx / std::abs(dy);
    stepY = dy / std::abs(dy);
  } else {
    stepX = dx / std::abs(dx);
    stepY = dy / std::abs(dx);
  }
  int32_t w = std::abs(stepX) == 1 ? cx : std::abs(stepX);
  int32_t h = std::abs(stepY) == 1 ? cy : std::abs(stepY);
  float fx = static_cast<float>(x1);
  float fy = static_cast<float>(y1);
  int32_t ix = x1;
  int32_t iy = y1;
  while (iy != y2 && ix != x2) {
    fx += static_cast<float>(stepX);
    fy += static_cast<float>(stepY);
    int32_t left = stepX < 0 ? Nearest(fx) : ix;
    int32_t top = stepY <= 0 ? Nearest(fy) : iy;
    if (stepX < 0) {
      copy.Stretch(dest, left, top, w, h, cx, 0, 1, cy);
    } else {
      copy.Stretch(dest, left, top, w, h, cx, cy + 1, 1, cy);
    }
    ix = Nearest(fx);
    iy = Nearest(fy);
  }
}

}  // namespace

void DrawFrameEdge(ppPicture* picture, int32_t x1, int32_t y1, int32_t x2, int32_t y2, ppDC* dc) {
  FramePictureCopy copy(picture);
  if (copy.IsEmpty() || !dc) return;
  int32_t cx = copy.Cx();
  int32_t cy = copy.Cy();
  plat::HDC dest = dc->GetHDC();
  if (x1 == x2) {
    if (y2 < y1) {
      copy.Stretch(dest, x1 - cx, y2, cx, y1 - y2, 0, cy, cx, 1);
      copy.Copy(dest, x1 - cx, y2, cx, cy, 0, 0);
    } else {
      copy.Stretch(dest, x1, y1, cx, y2 - y1, cx + 1, cy, cx, 1);
    }
  } else if (y1 == y2) {
    if (x2 < x1) {
      copy.Stretch(dest, x1, y1, x2 - x1, cy, cx, 0, 1, cy);
    } else {
      copy.Stretch(dest, x1, y1 - cy, x2 - x1, cy, cx, cy + 1, 1, cy);
      copy.Copy(dest, x2 - cx, y2 - cy, cx, cy, cx + 1, cy + 1);
    }
  } else {
    DrawSlantedEdge(copy, x1, y1, x2, y2, dest);
  }
}
