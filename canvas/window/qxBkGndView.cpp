#include "canvas/window/qxBkGndView.h"

#include "framework/ppRegion.h"

namespace {

bool ShownWithSupervisors(ppView* view) {
  for (ppView* v = view; v != nullptr; v = v->GetSupervisor())
    if (!v->IsShown()) return false;
  return true;
}

}  // namespace

qxBkGndView::qxBkGndView(ppView* supervisor) : ppView(supervisor) {}

std::unique_ptr<ppRegion> qxBkGndView::GetFrameRegion() {
  plat::RECT frame;
  GetWindowFrame(&frame);
  auto region = std::make_unique<ppRegion>(frame);
  for (ppView* view : excluded_) {
    if (!ShownWithSupervisors(view)) continue;
    plat::RECT r;
    view->GetWindowFrame(&r);
    region->SubtractRect(r);
  }
  if (showThrough_.empty()) return region;
  ppRegion through;
  for (ppView* view : showThrough_) {
    if (!ShownWithSupervisors(view)) continue;
    plat::RECT r;
    view->GetWindowFrame(&r);
    through.Union(ppRegion(r));
  }
  through.Intersect(ppRegion(frame));
  region->Union(through);
  return region;
}
