#include "canvas/tasks/AnchorMarker.h"

#include "framework/ppDC.h"
#include "framework/ppView.h"

namespace {

void Frame(ppView& canvas, plat::POINT at) {
  ppDC dc(canvas.GetHWND());
  canvas.ClipToVisible(dc);
  dc.SetColor(ppRGBColor{AnchorMarker::kRed, 0, 0});
  dc.SetXorMode();
  dc.FrameRect(plat::RECT{at.x - AnchorMarker::kHalf, at.y - AnchorMarker::kHalf, at.x + AnchorMarker::kHalf,
                          at.y + AnchorMarker::kHalf});
  dc.SetNormalPen();
}

}  // namespace

void AnchorMarker::Show(ppView& canvas, bool shown, plat::POINT at) {
  shown_ = shown;
  at_ = at;
  if (shown_) Frame(canvas, at_);
}

void AnchorMarker::Erase(ppView* canvas) {
  if (shown_ && canvas != nullptr) Frame(*canvas, at_);
  shown_ = false;
}
