#pragma once
// Frames of any size drawn from one small bitmap. The picture (w x h pixels) is four corner quadrants
// of cx x cy pixels (cx = w / 2, cy = h / 2) around a one-pixel centre column and row; corners are
// copied, edges stretched from one-pixel slices. All coordinates are device pixels.

#include <cstdint>

#include "platform/GdiTypes.h"

class ppDC;
class ppPicture;

// The picture drawn once into a memory context of (w + 1) x (h + 1) pixels, the source of the
// corner and slice copies; released at the end of the scope. Empty when the picture is missing or
// empty (nothing is then drawn).
class FramePictureCopy {
 public:
  explicit FramePictureCopy(const ppPicture* picture);
  ~FramePictureCopy();
  FramePictureCopy(const FramePictureCopy&) = delete;
  FramePictureCopy& operator=(const FramePictureCopy&) = delete;

  bool IsEmpty() const { return dc_ == nullptr; }
  int32_t Cx() const { return cx_; }
  int32_t Cy() const { return cy_; }
  // Copies (sx, sy, width, height) of the picture unscaled to (x, y) of `dest`.
  void Copy(plat::HDC dest, int32_t x, int32_t y, int32_t width, int32_t height, int32_t sx,
            int32_t sy) const;
  // Stretches (sx, sy, sw, sh) of the picture over (x, y, width, height) of `dest`.
  void Stretch(plat::HDC dest, int32_t x, int32_t y, int32_t width, int32_t height, int32_t sx, int32_t sy,
               int32_t sw, int32_t sh) const;

 private:
  plat::HDC dc_ = nullptr;
  plat::HBITMAP bitmap_ = nullptr;
  plat::HGDIOBJ previous_ = nullptr;
  int32_t cx_ = 0;
  int32_t cy_ = 0;
};

// Draws one edge of an outline from (x1, y1) to (x2, y2) with the frame picture: vertical and
// horizontal edges stretch the half of the centre row or column that faces outward (going up and
// going right also stamp a corner), slanted edges are stamped step by step.
void DrawFrameEdge(ppPicture* picture, int32_t x1, int32_t y1, int32_t x2, int32_t y2, ppDC* dc);
