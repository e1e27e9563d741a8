#pragma once
// A frame of any size drawn after the view from the application's frame picture (see
// DrawFrameEdge.h for how the picture is cut). Mode 0 draws inside the view's frame; mode 1 around
// it (grown by the corner size on every side), mode 2 half outside (grown by half the corner size).

#include "framework/ppAdorner.h"

class ppFrameAdorner : public ppAdorner {
 public:
  static constexpr char kInside = 0;
  static constexpr char kOutside = 1;
  static constexpr char kHalfOutside = 2;

  ppFrameAdorner(ppView* view, int32_t pictureId, char mode);
  void Draw(const plat::RECT* frame, char pass, ppDC* dc) override;
  std::unique_ptr<ppRegion> GetRegion(const plat::RECT* frame) override;

 private:
  // The rectangle the frame covers; `cx`, `cy` are the picture's corner size.
  plat::RECT TargetRect(const plat::RECT& frame, int32_t cx, int32_t cy) const;

  int32_t pictureId_;
  char mode_;
};
