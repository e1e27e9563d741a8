#include "canvas/editor/zelvproRulerTask.h"

#include "canvas/editor/zelvproRuler.h"
#include "framework/ppDC.h"
#include "framework/ppView.h"

zelvproRulerTask::zelvproRulerTask(ppView* view, ppView* target, ppView* plan)
    : ppMouseTask(view, target), target_(target), plan_(plan) {}

void zelvproRulerTask::DrawFeedback(int32_t x, int32_t y) {
  if (plan_ == nullptr) return;
  ppDC dc(plan_->GetHWND());
  plat::RECT f{};
  plan_->GetWindowFrame(&f);
  dc.ClipToRect(f);
  dc.SetNormalPen();
  dc.SetXorMode();
  dc.MoveTo(f.left, y);
  dc.LineTo(f.right, y);
  dc.MoveTo(x, f.top);
  dc.LineTo(x, f.bottom);
  dc.SetCopyMode();
}

void zelvproRulerTask::EraseFeedback(int32_t x, int32_t y) { DrawFeedback(x, y); }

void zelvproRulerTask::Do() {
  plat::POINT at = Current();
  if (target_ != nullptr) target_->DoCommand(zelvproRuler::kSetZeroPoint, reinterpret_cast<intptr_t>(&at));
}
