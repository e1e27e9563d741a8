#include "controls/ppDataList.h"

#include <algorithm>

#include "controls/ControlsDrawing.h"
#include "framework/ppClipSaver.h"
#include "framework/ppDC.h"
#include "framework/ppMouseTask.h"
#include "framework/ppRegion.h"
#include "framework/ppScrollBar.h"
#include "framework/ppScroller.h"
#include "platform/Gdi.h"
#include "platform/WindowApi.h"

namespace {

bool IsEmptyRect(const plat::RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

}  // namespace

ppDataList::ppDataList(ppView* supervisor, const plat::RECT& frame, int32_t lineHeight, int32_t scrollMode,
                       int8_t horizontal, int8_t vertical)
    : ppPane(supervisor, frame, horizontal, vertical),
      lineHeight_(lineHeight),
      columnStep_(2 * lineHeight),
      headerHeight_(lineHeight + 3) {
  hasHorizontalBar_ = scrollMode == kHorizontalBar || scrollMode == kBothBars;
  hasVerticalBar_ = scrollMode == kVerticalBar || scrollMode == kBothBars;
  ComputeVisibleCounts();
  plat::RECT list, window;
  GetListRect(&list);
  GetWindowFrame(&window);
  if (hasVerticalBar_) {
    const plat::RECT r{list.right - window.left, list.top - window.top - 1,
                       list.right - window.left + kBarThickness, list.bottom - window.top + 1};
    verticalBar_ = new ppScrollBar(this, r, true, 0, lineHeight_, kMove, kStretch);
    verticalBar_->SetPageSize(visibleLines_);
  }
  if (hasHorizontalBar_) {
    const plat::RECT r{list.left - window.left - 1, list.bottom - window.top, list.right - window.left + 1,
                       list.bottom - window.top + kBarThickness};
    horizontalBar_ = new ppScrollBar(this, r, false, 0, columnStep_, kStretch, kMove);
    horizontalBar_->SetPageSize(visibleColumnSteps_);
  }
  font_.size = 10;
  font_.headerFlag = 0;
}

ppDataList::~ppDataList() {
  delete verticalBar_;
  verticalBar_ = nullptr;
  delete horizontalBar_;
  horizontalBar_ = nullptr;
}

void ppDataList::SetHeaderHeight(int32_t height) {
  headerHeight_ = height;
  PlaceVerticalBar();
}

void ppDataList::SetFooterHeight(int32_t height) {
  footerHeight_ = height;
  PlaceVerticalBar();
}

void ppDataList::PlaceVerticalBar() {
  if (verticalBar_ == nullptr) return;
  plat::RECT r = verticalBar_->GetFrame();
  r.top = headerHeight_ - 1;
  r.bottom = Height() - footerHeight_;
  verticalBar_->SetFrame(r);
  verticalBar_->FrameChanged();
}

// ---- Overrides.

void ppDataList::DoCommand(int32_t command, intptr_t parameter) {
  if (command == ppScroller::kScrollVertically) {
    ScrollBy(0, int32_t(parameter));
  } else if (command == ppScroller::kScrollHorizontally) {
    ScrollBy(int32_t(parameter), 0);
  }
}

void ppDataList::DrawContent(ppDC& dc) {
  if (IsShown()) DrawList(dc);
}

bool ppDataList::IsDoubleClick(int32_t x, int32_t y) {
  plat::RECT list;
  GetListRect(&list);
  if (x >= list.left && x < list.right && y >= list.top && y < list.bottom) {
    ClickInList(x, y, 0);
  } else if (y < list.top) {
    ClickInHeader(x, y, 0);
  }
  return true;
}

void ppDataList::KeyDown(signed char, int32_t) {}

void ppDataList::Activate() {
  // The subviews first: a bar's own activation would enable a bar that has nothing to scroll.
  ppPane::Activate();
  if (verticalBar_ != nullptr) {
    verticalBar_->Show();
    if (lineCount_ > visibleLines_)
      verticalBar_->Enable();
    else
      verticalBar_->Disable();
  }
  if (horizontalBar_ != nullptr) {
    horizontalBar_->Show();
    if (columnStepCount_ > visibleColumnSteps_)
      horizontalBar_->Enable();
    else
      horizontalBar_->Disable();
  }
  active_ = true;
}

void ppDataList::Deactivate() {
  active_ = false;
  ppPane::Deactivate();
}

void ppDataList::SetLineHeight(int32_t pixels) {
  lineHeight_ = pixels;
  ComputeVisibleCounts();
  if (verticalBar_ != nullptr) verticalBar_->SetPageSize(visibleLines_);
  UpdateScrollBars();
}

void ppDataList::FrameChanged() {
  ComputeVisibleCounts();
  if (verticalBar_ != nullptr) {
    verticalBar_->SetPageSize(visibleLines_);
    verticalBar_->SetRange(lineCount_);
  }
  if (horizontalBar_ != nullptr) {
    horizontalBar_->SetPageSize(visibleColumnSteps_);
    horizontalBar_->SetRange(columnStepCount_);
  }
  ppPane::FrameChanged();
}

// ---- Drawing hooks (empty here).

void ppDataList::PrepareCell(int32_t, int32_t, ppDC&) {}
void ppDataList::DrawHeader(ppDC&) {}
void ppDataList::DrawFooter(ppDC&) {}
void ppDataList::DrawFrame(ppDC&) {}
void ppDataList::DrawLine(int32_t, ppDC&) {}
void ppDataList::SpareDrawHook(ppDC&) {}
void ppDataList::InvalidateSelection(ppDC&) {}
void ppDataList::ClickInHeader(int32_t, int32_t, int32_t) {}
void ppDataList::DoubleClickLine() {}
void ppDataList::LineClicked(int32_t, int32_t) {}
void ppDataList::SpareHook() {}
bool ppDataList::SpareQuery() { return true; }
void ppDataList::SelectionChanged() {}
void ppDataList::SpareRectHook(plat::RECT*) {}
void ppDataList::StoreLayoutFrame() {}

void ppDataList::ClipWithin(ppDC& dc, const ppRegion& base, const plat::RECT& rect) {
  ppRegion clip(base);
  clip.Intersect(ppRegion(rect));
  dc.SetClipRegion(&clip);
}

void ppDataList::DrawList(ppDC& dc) {
  ppClipSaver saved(dc);
  std::unique_ptr<ppRegion> base = dc.GetClipRegion();
  dc.SetGray(0);
  plat::RECT frame, list;
  GetWindowFrame(&frame);
  GetListRect(&list);
  ClipWithin(dc, *base, frame);
  dc.EraseRect(frame);
  // The decoration may reach a pixel outside the frame (its outline), as far as the caller's clip lets it.
  dc.SetClipRegion(base.get());
  DrawFrame(dc);
  DrawHeader(dc);
  DrawFooter(dc);
  ClipWithin(dc, *base, list);
  if (lineCount_ == 0) return;
  currentLineRect_ = {frame.left + firstColumnStep_ * columnStep_, list.top,
                      frame.left + (firstColumnStep_ + visibleColumnSteps_) * columnStep_,
                      list.top + lineHeight_};
  for (int32_t line = firstLine_; line <= firstLine_ + visibleLines_ && line < lineCount_; ++line) {
    DrawLine(line, dc);
    currentLineRect_.top += lineHeight_;
    currentLineRect_.bottom += lineHeight_;
  }
}

void ppDataList::DrawListText(ppDC& dc, const Vcon::WString& text, const plat::RECT& rect, int32_t format) {
  if (dc.GetHDC() == nullptr) return;
  // The context's font hook takes the descriptor and keeps its font; the text uses the default font.
  dc.EmptyHook(&font_);
  controls::SelectDefaultFont(dc);
  const plat::COLORREF old = plat::SetTextColor(dc.GetHDC(), plat::RGB(0, 0, 0));
  dc.DrawText(text, rect, uint32_t(format));
  plat::SetTextColor(dc.GetHDC(), old);
  dc.RestoreFont();
}

// ---- Invalidation.

void ppDataList::InvalidateInList(const plat::RECT& rect, ppDC& dc) {
  plat::RECT list;
  GetListRect(&list);
  ppClipSaver saved(dc);
  dc.ClipToRect(list);
  const plat::RECT inside{std::max(rect.left, list.left), std::max(rect.top, list.top),
                          std::min(rect.right, list.right), std::min(rect.bottom, list.bottom)};
  if (!IsEmptyRect(inside)) InvalidateArea(inside, dc);
}

void ppDataList::AddToClip(const plat::RECT& rect, ppDC& dc) {
  std::unique_ptr<ppRegion> clip = dc.GetClipRegion();
  clip->Union(ppRegion(rect));
  dc.SetClipRegion(clip.get());
}

void ppDataList::InvalidateArea(const plat::RECT& rect, ppDC&) {
  ppRegion region(rect);
  InvalidateRegion(&region);
}

// ---- Clicks.

void ppDataList::ClickInList(int32_t x, int32_t y, int32_t flags) {
  const int32_t row = RowAtPoint(x, y);
  if (row >= 0 && firstLine_ + row < lineCount_) LineClicked(row, flags);
  NoteClick(ppMouseTask::GetTicks(), row);
}

int32_t ppDataList::RowAtPoint(int32_t, int32_t y) {
  plat::RECT list;
  GetListRect(&list);
  if (lineHeight_ <= 0 || y < list.top) return 0;
  return (y - list.top) / lineHeight_;
}

// ---- Scrolling.

void ppDataList::ScrollBy(int32_t dx, int32_t dy) {
  if (columnStepCount_ + 1 < dx + firstColumnStep_ + visibleColumnSteps_)
    dx = columnStepCount_ - visibleColumnSteps_ - firstColumnStep_;
  if (dx + firstColumnStep_ < 0) dx = -firstColumnStep_;
  if (lineCount_ + 1 < dy + firstLine_ + visibleLines_) dy = lineCount_ - visibleLines_ - firstLine_ + 1;
  if (dy + firstLine_ < 0) dy = -firstLine_;
  firstColumnStep_ += dx;
  firstLine_ += dy;
  plat::HWND window = GetHWND();
  if (window == nullptr || (dx == 0 && dy == 0)) return;
  plat::RECT list, frame;
  GetListRect(&list);
  GetWindowFrame(&frame);
  plat::HDC dc = plat::GetDC(window);
  if (dc == nullptr) return;
  if (dx != 0) {
    // The header band moves with the columns.
    const plat::RECT r{list.left, frame.top, list.right, list.bottom};
    ppRegion uncovered;
    plat::ScrollDC(dc, -dx * columnStep_, 0, &r, &r, uncovered.Handle(), nullptr);
    InvalidateRegion(&uncovered);
  }
  if (dy != 0) {
    ppRegion uncovered;
    plat::ScrollDC(dc, 0, -dy * lineHeight_, &list, &list, uncovered.Handle(), nullptr);
    InvalidateRegion(&uncovered);
  }
  plat::ReleaseDC(window, dc);
}

void ppDataList::UpdateScrollBars() {
  if (verticalBar_ != nullptr) {
    verticalBar_->SetRange(lineCount_);
    if (lineCount_ > visibleLines_)
      verticalBar_->Enable();
    else
      verticalBar_->Disable();
    verticalBar_->SetPosition(firstLine_);
  }
  if (horizontalBar_ != nullptr) {
    horizontalBar_->SetRange(columnStepCount_);
    if (columnStepCount_ > visibleColumnSteps_)
      horizontalBar_->Enable();
    else
      horizontalBar_->Disable();
    horizontalBar_->SetPosition(firstColumnStep_);
  }
}

void ppDataList::RefreshNow() {
  if (plat::HWND window = GetHWND()) plat::UpdateWindow(window);
}

// ---- Geometry.

void ppDataList::ComputeVisibleCounts() {
  plat::RECT list;
  GetListRect(&list);
  const int32_t height = std::max(0, list.bottom - list.top), width = std::max(0, list.right - list.left);
  visibleLines_ = lineHeight_ > 0 ? height / lineHeight_ + (height % lineHeight_ != 0 ? 1 : 0) : 0;
  visibleColumnSteps_ = columnStep_ > 0 ? width / columnStep_ + 1 : 0;
}

void ppDataList::GetListRect(plat::RECT* rect) {
  GetWindowFrame(rect);
  rect->top += headerHeight_;
  rect->bottom -= footerHeight_;
  if (hasVerticalBar_) rect->right -= kBarThickness;
  if (hasHorizontalBar_) rect->bottom -= kBarThickness;
}

void ppDataList::GetHeaderRect(plat::RECT* rect) {
  GetWindowFrame(rect);
  rect->bottom = rect->top + headerHeight_;
  if (hasVerticalBar_) rect->right -= kBarThickness;
}

void ppDataList::SetLineCount(int32_t count) {
  lineCount_ = count;
  if (verticalBar_ != nullptr) {
    if (count - visibleLines_ < 0)
      verticalBar_->Disable();
    else
      verticalBar_->Enable();
  }
  if (count < firstLine_ + visibleLines_) {
    firstLine_ = std::max(0, count - visibleLines_ - 1);
    if (verticalBar_ != nullptr) {
      verticalBar_->SetPosition(firstLine_);
      verticalBar_->SetPageSize(visibleLines_);
    }
  }
  if (verticalBar_ != nullptr) verticalBar_->SetRange(count);
  UpdateScrollBars();
}

int32_t ppDataList::GetLineCount() { return lineCount_; }
