#include "canvas/window/qxBkGndView.h"

#include "framework/ppRegion.h"

qxBkGndView::qxBkGndView(ppView* supervisor) : ppView(supervisor) {}

std::unique_ptr<ppRegion> qxBkGndView::GetFrameRegion() {
  plat::RECT frame;
  GetWindowFrame(&frame);
  auto region = std::make_unique<ppRegion>(frame);
  for (ppView* view : excluded_) {
    plat::RECT r;
    view->GetWindowFrame(&r);
    region->SubtractRect(r);
  }
  return region;
}
