#include "framework/ppScrollBar.h"

#include <algorithm>

#include "framework/ppDC.h"
#include "framework/ppScroller.h"
#include "platform/Controls.h"
#include "platform/ResetList.h"
#include "platform/WindowApi.h"

namespace {

// The scroll-bar class's own procedure, kept when the first control is subclassed: a message that
// arrives after the object let go of its control (the last ones of its destruction) still goes
// there, so the control frees what it holds.
plat::WNDPROC gClassProc = nullptr;  // user-interface thread
[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("scroll bars: class procedure", [] { gClassProc = nullptr; });

}  // namespace

ppScrollBar::ppScrollBar(ppView* supervisor, const plat::RECT& frame, bool vertical, int32_t extent,
                         int32_t step, int8_t horizontal, int8_t verticalBinding)
    : ppPane(supervisor, frame, horizontal, verticalBinding), vertical_(vertical), step_(step) {
  const int32_t length = vertical ? Height() : Width();
  page_ = step > 0 ? length / step : 0;
  plat::RECT r = ControlRect();
  control_ = plat::CreateWindowExA(
      0, "SCROLLBAR", "", plat::WS_CHILD | (vertical ? plat::SBS_VERT : plat::SBS_HORZ), r.left, r.top,
      r.right - r.left, r.bottom - r.top, GetHWND(), nullptr, nullptr, nullptr);
  if (!control_) return;
  plat::SetPropA(control_, kProperty, static_cast<iScrollHandler*>(this));
  previousProc_ = reinterpret_cast<plat::WNDPROC>(
      plat::SetWindowLongPtrA(control_, plat::GWLP_WNDPROC, reinterpret_cast<plat::LONG_PTR>(&ControlProc)));
  if (!gClassProc) gClassProc = previousProc_;
  plat::ShowWindow(control_, plat::SW_SHOW);
  plat::SCROLLINFO info;
  info.fMask = plat::SIF_RANGE | plat::SIF_PAGE | plat::SIF_POS | plat::SIF_DISABLENOSCROLL;
  info.nMin = 0;
  info.nMax = extent;
  info.nPage = static_cast<plat::UINT>(std::max(page_, 0));
  info.nPos = 0;
  plat::SetScrollInfo(control_, plat::SB_CTL, &info, 1);
  SetRange(extent);
}

ppScrollBar::~ppScrollBar() {
  if (control_ && plat::IsWindow(control_)) plat::DestroyWindow(control_);
}

ppScrollBar* ppScrollBar::GetScrollBarOf(plat::HWND control) {
  auto* handler = static_cast<iScrollHandler*>(plat::GetPropA(control, kProperty));
  return handler ? static_cast<ppScrollBar*>(handler) : nullptr;
}

plat::LRESULT ppScrollBar::ControlProc(plat::HWND window, plat::UINT message, plat::WPARAM wParam,
                                       plat::LPARAM lParam) {
  ppScrollBar* bar = GetScrollBarOf(window);
  if (!bar) {
    return gClassProc ? plat::CallWindowProcA(gClassProc, window, message, wParam, lParam)
                      : plat::DefWindowProcA(window, message, wParam, lParam);
  }
  plat::WNDPROC previous = bar->previousProc_;
  if (message == plat::WM_DESTROY) {
    plat::RemovePropA(window, kProperty);
    bar->control_ = nullptr;
  }
  return plat::CallWindowProcA(previous, window, message, wParam, lParam);
}

plat::RECT ppScrollBar::ControlRect() {
  plat::RECT r;
  GetWindowFrame(&r);
  return {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
}

void ppScrollBar::SetInfo(plat::UINT mask) {
  if (!control_) return;
  plat::SCROLLINFO info;
  info.fMask = mask;
  info.nMin = 0;
  info.nMax = max_;
  info.nPage = static_cast<plat::UINT>(std::max(page_, 0));
  info.nPos = position_;
  plat::SetScrollInfo(control_, plat::SB_CTL, &info, 1);
}

void ppScrollBar::SetRange(int32_t max) {
  if (max < 1) {
    max_ = 0;
    if (control_) plat::SetScrollRange(control_, plat::SB_CTL, 0, 0, 1);
    Disable();
  } else {
    max_ = max;
    if (control_) plat::SetScrollRange(control_, plat::SB_CTL, 0, max, 1);
    Enable();
  }
}

int32_t ppScrollBar::GetRange() const {
  int32_t minimum = 0, maximum = 0;
  if (control_) plat::GetScrollRange(control_, plat::SB_CTL, &minimum, &maximum);
  return maximum - minimum;
}

int32_t ppScrollBar::GetPosition() const { return control_ ? plat::GetScrollPos(control_, plat::SB_CTL) : 0; }

void ppScrollBar::SetPosition(int32_t position) {
  position_ = position;
  if (control_) plat::SetScrollPos(control_, plat::SB_CTL, position, 1);
}

void ppScrollBar::SetPageSize(int32_t steps) {
  page_ = steps;
  SetInfo(plat::SIF_PAGE | plat::SIF_RANGE | plat::SIF_POS);
}

void ppScrollBar::Enable() {
  if (control_) plat::EnableScrollBar(control_, plat::SB_CTL, plat::ESB_ENABLE_BOTH);
  enabled_ = true;
}

void ppScrollBar::Disable() {
  if (control_) plat::EnableScrollBar(control_, plat::SB_CTL, plat::ESB_DISABLE_BOTH);
  enabled_ = false;
}

void ppScrollBar::Show() {
  if (control_) plat::ShowScrollBar(control_, plat::SB_CTL, 1);
  ppPane::Show();
}

void ppScrollBar::Hide() {
  if (control_) plat::ShowScrollBar(control_, plat::SB_CTL, 0);
  ppPane::Hide();
}

void ppScrollBar::Activate() {
  ppPane::Activate();
  // A bar with nothing to scroll stays disabled.
  if (max_ >= 1) Enable();
}

void ppScrollBar::Deactivate() {
  ppPane::Deactivate();
  Disable();
}

void ppScrollBar::FrameChanged() {
  ppPane::FrameChanged();
  if (!control_) return;
  plat::RECT r = ControlRect();
  const bool visible = plat::IsWindowVisible(control_) != 0;
  if (visible) plat::ShowWindow(control_, plat::SW_HIDE);
  plat::MoveWindow(control_, r.left, r.top, r.right - r.left, r.bottom - r.top, 0);
  if (visible) plat::ShowWindow(control_, plat::SW_SHOW);
}

void ppScrollBar::DrawContent(ppDC& dc) {
  if (!control_) return;
  if (IsShown()) {
    plat::ShowScrollBar(control_, plat::SB_CTL, 1);
    return;
  }
  plat::ShowScrollBar(control_, plat::SB_CTL, 0);
  plat::RECT frame;
  GetWindowFrame(&frame);
  dc.ClipToRect(frame);
  dc.SetGray(30);
  dc.FillRect(frame);
}

bool ppScrollBar::MouseDown(int32_t x, int32_t y) { return ContainsPoint(x, y); }

void ppScrollBar::HandleScroll(int32_t code, int32_t thumb) {
  int32_t amount = 0;
  switch (code) {
    case plat::SB_LINEUP:
      amount = -1;
      break;
    case plat::SB_LINEDOWN:
      amount = 1;
      break;
    case plat::SB_PAGEUP:
      amount = 1 - page_;
      break;  // a page keeps one step of overlap
    case plat::SB_PAGEDOWN:
      amount = page_ - 1;
      break;
    case plat::SB_THUMBPOSITION:
    case plat::SB_THUMBTRACK:
      amount = thumb - position_;
      break;
    default:
      break;
  }
  if (ppView* supervisor = GetSupervisor()) {
    supervisor->DoCommand(vertical_ ? ppScroller::kScrollVertically : ppScroller::kScrollHorizontally,
                          amount);
  }
  // The thumb is kept within the positions the range and page allow, as the scroller keeps its content.
  const int32_t last = std::max(0, max_ - page_ + 1);
  position_ = std::clamp(position_ + amount, 0, last);
  if (control_) plat::SetScrollPos(control_, plat::SB_CTL, position_, 1);
}
