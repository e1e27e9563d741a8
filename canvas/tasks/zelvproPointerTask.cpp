#include "canvas/tasks/zelvproPointerTask.h"

#include <algorithm>

#include "elements/base/zelvproElement.h"
#include "framework/ppDC.h"
#include "framework/ppView.h"

zelvproPointerTask::zelvproPointerTask(ppView* view, zelvproElement* canvas)
    : zelvproMouseTask(view, canvas), canvas_(canvas) {}

plat::RECT zelvproPointerTask::Band() const {
  // Move and Release set the previous point to the one drawn last before they draw or erase.
  const plat::POINT a = StartPoint(), b = Previous();
  return plat::RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

void zelvproPointerTask::DrawFeedback(int32_t /*x*/, int32_t /*y*/) {
  if (View() == nullptr) return;
  ppDC dc(View()->GetHWND());
  dc.SetXorMode();
  dc.FrameRect(Band());
  dc.SetNormalPen();
}

void zelvproPointerTask::Do() {
  if (canvas_ != nullptr) canvas_->SelectChildrenInRect(Band());
}
