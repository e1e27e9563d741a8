#include "framework/ppScrollPane.h"

#include "framework/ppDC.h"
#include "framework/ppRegion.h"
#include "framework/ppScrollBar.h"
#include "framework/ppScroller.h"

namespace {

// A rectangle in the supervisor's coordinates moved into the pane's own.
plat::RECT ToLocal(plat::RECT r, const plat::RECT& frame) {
  return {r.left - frame.left, r.top - frame.top, r.right - frame.left, r.bottom - frame.top};
}

}  // namespace

ppScrollPane::ppScrollPane(ppView* supervisor, const plat::RECT& frame, int8_t horizontal, int8_t vertical,
                           int32_t step, int32_t barMode)
    : ppPane(supervisor, frame, horizontal, vertical), step_(step) {
  const plat::RECT& f = GetFrame();
  const bool both = barMode == kBothBars;
  if (barMode & kHorizontalBar) {
    plat::RECT r = both ? plat::RECT{f.left, f.bottom - 18, f.right - 16, f.bottom + 1}
                        : plat::RECT{f.left - 1, f.bottom - 18, f.right + 1, f.bottom + 1};
    horizontalBar_ = new ppScrollBar(this, ToLocal(r, f), false, 0, step, horizontal, kMove);
  }
  if (barMode & kVerticalBar) {
    plat::RECT r = both ? plat::RECT{f.right - 17, f.top - 1, f.right + 1, f.bottom - 16}
                        : plat::RECT{f.right - 18, f.top - 1, f.right + 1, f.bottom + 1};
    verticalBar_ = new ppScrollBar(this, ToLocal(r, f), true, 0, step, kMove, vertical);
  }
  Layout();
}

void ppScrollPane::ComputeContentRect() {
  content_ = {0, 0, Width(), Height()};
  if (verticalBar_) content_.right -= kBarSize;
  if (horizontalBar_) content_.bottom -= kBarSize;
}

void ppScrollPane::MakeScroller() {
  ComputeContentRect();
  SetScroller(new ppScroller(this, content_, kStretch, kStretch, 1, 1, 0, 0));
}

void ppScrollPane::SetScroller(ppScroller* scroller) {
  if (scroller_ && scroller_ != scroller) delete scroller_;
  scroller_ = scroller;
  Layout();
}

void ppScrollPane::Layout() {
  ComputeContentRect();
  if (!scroller_) return;
  scroller_->UpdateVisible();
  SetExtent(extentX_, extentY_);
}

void ppScrollPane::DoCommand(int32_t command, intptr_t amount) {
  if (scroller_) scroller_->DoCommand(command, amount);
}

void ppScrollPane::SetBarPositions(int32_t x, int32_t y) {
  lastX_ = x;
  lastY_ = y;
  if (horizontalBar_) horizontalBar_->SetPosition(x);
  if (verticalBar_) verticalBar_->SetPosition(y);
}

void ppScrollPane::SetExtent(int32_t x, int32_t y) {
  extentX_ = x;
  extentY_ = y;
  if (!scroller_) return;
  if (horizontalBar_) horizontalBar_->SetRange(x - 1);
  if (verticalBar_) verticalBar_->SetRange(y - 1);
}

void ppScrollPane::UpdatePageSizes() {
  if (!scroller_) return;
  if (horizontalBar_) horizontalBar_->SetPageSize(scroller_->VisibleX());
  if (verticalBar_) verticalBar_->SetPageSize(scroller_->VisibleY());
}

void ppScrollPane::FrameChanged() {
  ppPane::FrameChanged();
  Layout();
}

void ppScrollPane::ClipToFrame(ppDC& dc) {
  plat::RECT r = content_;
  LocalToWindowRect(&r);
  ppRegion region(r);
  dc.SetClipRegion(&region);
}

bool ppScrollPane::IsDoubleClick(int32_t, int32_t) { return false; }
