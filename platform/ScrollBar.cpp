#include "platform/ScrollBar.h"

#include <algorithm>

#include "platform/ControlsDrawing.h"

namespace plat {

namespace {
constexpr const char* kStateProperty = "scrollbar.state";
constexpr int32_t kMinimumThumb = 8;  // pixels

// The longest position a bar reaches: the maximum less the page, plus one (at least the minimum).
int32_t TopPosition(int32_t minimum, int32_t maximum, UINT page) {
  if (page == 0) return maximum;
  return std::max(minimum, maximum - static_cast<int32_t>(page) + 1);
}
}  // namespace

ScrollBar::State* ScrollBar::StateOf(HWND window) { return ControlState<State>(window, kStateProperty); }

bool ScrollBar::Vertical(HWND window) { return (GetWindowLongPtrA(window, GWL_STYLE) & SBS_VERT) != 0; }

ScrollBar::Layout ScrollBar::Measure(HWND window, const State& state) {
  RECT client;
  GetClientRect(window, &client);
  bool vertical = Vertical(window);
  Layout layout;
  layout.length = vertical ? client.bottom : client.right;
  int32_t thickness = vertical ? client.right : client.bottom;
  layout.arrow = std::min(thickness, layout.length / 2);
  int32_t track = layout.length - 2 * layout.arrow;
  int32_t range = state.maximum - state.minimum + 1;
  if (track < kMinimumThumb || range <= 0 || state.page >= static_cast<UINT>(range)) {
    layout.thumbLength = 0;  // no room, or everything fits: no thumb
    return layout;
  }
  layout.thumbLength = state.page ? static_cast<int32_t>(int64_t(track) * state.page / range) : thickness;
  layout.thumbLength = std::clamp(layout.thumbLength, kMinimumThumb, track);
  int32_t span = TopPosition(state.minimum, state.maximum, state.page) - state.minimum;
  int32_t position = std::clamp(state.pressed == Part::Thumb ? state.trackPosition : state.position,
                                state.minimum, state.minimum + span);
  int32_t free = track - layout.thumbLength;
  layout.thumbStart =
      layout.arrow + (span > 0 ? static_cast<int32_t>(int64_t(free) * (position - state.minimum) / span) : 0);
  return layout;
}

ScrollBar::Part ScrollBar::HitTest(HWND window, const State& state, POINT point) {
  Layout layout = Measure(window, state);
  int32_t along = Vertical(window) ? point.y : point.x;
  if (along < 0 || along >= layout.length) return Part::None;
  if (along < layout.arrow) return Part::LowArrow;
  if (along >= layout.length - layout.arrow) return Part::HighArrow;
  if (layout.thumbLength == 0) return Part::None;
  if (along < layout.thumbStart) return Part::LowPage;
  if (along < layout.thumbStart + layout.thumbLength) return Part::Thumb;
  return Part::HighPage;
}

int32_t ScrollBar::PositionAt(HWND window, const State& state, int32_t thumbStart) {
  Layout layout = Measure(window, state);
  int32_t free = layout.length - 2 * layout.arrow - layout.thumbLength;
  int32_t span = TopPosition(state.minimum, state.maximum, state.page) - state.minimum;
  if (free <= 0) return state.minimum;
  int32_t offset = std::clamp(thumbStart - layout.arrow, 0, free);
  return state.minimum + static_cast<int32_t>((int64_t(offset) * span + free / 2) / free);
}

void ScrollBar::Notify(HWND window, WORD code, int32_t position) {
  HWND parent = GetParent(window);
  if (!parent) return;
  SendMessageW(parent, Vertical(window) ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, position),
               reinterpret_cast<LPARAM>(window));
}

LRESULT ScrollBar::SetInfo(HWND window, State& state, const SCROLLINFO& info, bool redraw) {
  if (info.fMask & SIF_RANGE) {
    state.minimum = info.nMin;
    state.maximum = std::max(info.nMin, info.nMax);
  }
  if (info.fMask & SIF_PAGE)
    state.page = std::min<UINT>(info.nPage, static_cast<UINT>(state.maximum - state.minimum + 1));
  if (info.fMask & SIF_POS) state.position = info.nPos;
  state.position =
      std::clamp(state.position, state.minimum, TopPosition(state.minimum, state.maximum, state.page));
  if (redraw) InvalidateRect(window, nullptr, 0);
  return state.position;
}

void ScrollBar::Press(HWND window, State& state, POINT point) {
  if (state.disabled || !IsWindowEnabled(window)) return;
  state.pressed = HitTest(window, state, point);
  if (state.pressed == Part::None) return;
  SetCapture(window);
  switch (state.pressed) {
    case Part::LowArrow:
      Notify(window, SB_LINEUP, 0);
      break;
    case Part::HighArrow:
      Notify(window, SB_LINEDOWN, 0);
      break;
    case Part::LowPage:
      Notify(window, SB_PAGEUP, 0);
      break;
    case Part::HighPage:
      Notify(window, SB_PAGEDOWN, 0);
      break;
    case Part::Thumb:
      state.trackPosition = state.position;
      state.grabOffset = (Vertical(window) ? point.y : point.x) - Measure(window, state).thumbStart;
      break;
    default:
      break;
  }
  InvalidateRect(window, nullptr, 0);
}

void ScrollBar::Drag(HWND window, State& state, POINT point) {
  if (state.pressed != Part::Thumb) return;
  int32_t along = Vertical(window) ? point.y : point.x;
  int32_t position = PositionAt(window, state, along - state.grabOffset);
  if (position == state.trackPosition) return;
  state.trackPosition = position;
  InvalidateRect(window, nullptr, 0);
  Notify(window, SB_THUMBTRACK, position);
}

void ScrollBar::Release(HWND window, State& state) {
  Part pressed = state.pressed;
  if (pressed == Part::None) return;
  state.pressed = Part::None;
  if (GetCapture() == window) ReleaseCapture();
  if (pressed == Part::Thumb) Notify(window, SB_THUMBPOSITION, state.trackPosition);
  Notify(window, SB_ENDSCROLL, 0);
  InvalidateRect(window, nullptr, 0);
}

void ScrollBar::PaintArrow(HDC dc, const RECT& box, bool vertical, bool low, bool pressed, bool enabled) {
  FillSolid(dc, box, kFaceColor);
  if (pressed)
    FrameSolid(dc, box, kShadowColor);
  else
    DrawBevel(dc, box, false);
  int32_t cx = (box.left + box.right) / 2 + (pressed ? 1 : 0),
          cy = (box.top + box.bottom) / 2 + (pressed ? 1 : 0);
  COLORREF ink = enabled ? kTextColor : kGrayTextColor;
  for (int32_t i = 0; i < 4; ++i) {
    int32_t step = low ? i : 3 - i;  // the tip is one pixel, the base seven
    if (vertical)
      FillSolid(dc, {cx - step, cy - 2 + i, cx + step + 1, cy - 1 + i}, ink);
    else
      FillSolid(dc, {cx - 2 + i, cy - step, cx - 1 + i, cy + step + 1}, ink);
  }
}

void ScrollBar::Paint(HWND window, HDC dc, const State& state) {
  RECT client;
  GetClientRect(window, &client);
  bool vertical = Vertical(window);
  bool enabled = !state.disabled && IsWindowEnabled(window);
  Layout layout = Measure(window, state);
  // The track: a light checked grey.
  FillSolid(dc, client, RGB(236, 233, 216));
  auto span = [&](int32_t from, int32_t to) {
    return vertical ? RECT{client.left, from, client.right, to} : RECT{from, client.top, to, client.bottom};
  };
  if (state.pressed == Part::LowPage) FillSolid(dc, span(layout.arrow, layout.thumbStart), kDarkShadowColor);
  if (state.pressed == Part::HighPage)
    FillSolid(dc, span(layout.thumbStart + layout.thumbLength, layout.length - layout.arrow),
              kDarkShadowColor);
  PaintArrow(dc, span(0, layout.arrow), vertical, true, state.pressed == Part::LowArrow, enabled);
  PaintArrow(dc, span(layout.length - layout.arrow, layout.length), vertical, false,
             state.pressed == Part::HighArrow, enabled);
  if (enabled && layout.thumbLength > 0) {
    RECT thumb = span(layout.thumbStart, layout.thumbStart + layout.thumbLength);
    FillSolid(dc, thumb, kFaceColor);
    DrawBevel(dc, thumb, false);
  }
}

LRESULT ScrollBar::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) CreateControlState<State>(window, kStateProperty);
  State* state = StateOf(window);
  if (!state) return DefWindowProcW(window, message, wParam, lParam);
  POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  switch (message) {
    case WM_NCDESTROY:
      DeleteControlState<State>(window, kStateProperty);
      return 0;
    case WM_PAINT:
      return PaintControl(window, [&](HDC dc) { Paint(window, dc, *state); });
    case WM_ERASEBKGND:
      return 1;
    case WM_ENABLE:
      InvalidateRect(window, nullptr, 0);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      Press(window, *state, point);
      return 0;
    case WM_MOUSEMOVE:
      Drag(window, *state, point);
      return 0;
    case WM_LBUTTONUP:
      Release(window, *state);
      return 0;
    case WM_CAPTURECHANGED:
      if (state->pressed != Part::None && GetCapture() != window) Release(window, *state);
      return 0;
    case WM_KEYDOWN: {
      bool vertical = Vertical(window);
      auto key = static_cast<int32_t>(wParam);
      if (key == (vertical ? VK_UP : VK_LEFT))
        Notify(window, SB_LINEUP, 0);
      else if (key == (vertical ? VK_DOWN : VK_RIGHT))
        Notify(window, SB_LINEDOWN, 0);
      else if (key == VK_PRIOR)
        Notify(window, SB_PAGEUP, 0);
      else if (key == VK_NEXT)
        Notify(window, SB_PAGEDOWN, 0);
      else if (key == VK_HOME)
        Notify(window, SB_TOP, 0);
      else if (key == VK_END)
        Notify(window, SB_BOTTOM, 0);
      return 0;
    }
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case SBM_SETPOS: {
      int32_t old = state->position;
      SCROLLINFO info;
      info.fMask = SIF_POS;
      info.nPos = static_cast<int32_t>(wParam);
      SetInfo(window, *state, info, lParam != 0);
      return old;
    }
    case SBM_GETPOS:
      return state->position;
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW: {
      SCROLLINFO info;
      info.fMask = SIF_RANGE;
      info.nMin = static_cast<int32_t>(wParam);
      info.nMax = static_cast<int32_t>(lParam);
      SetInfo(window, *state, info, message == SBM_SETRANGEREDRAW);
      return state->position;
    }
    case SBM_GETRANGE:
      if (wParam) *reinterpret_cast<int32_t*>(wParam) = state->minimum;
      if (lParam) *reinterpret_cast<int32_t*>(lParam) = state->maximum;
      return 1;
    case SBM_ENABLE_ARROWS:
      state->disabled = wParam == ESB_DISABLE_BOTH;
      InvalidateRect(window, nullptr, 0);
      return 1;
    case SBM_SETSCROLLINFO:
      return lParam ? SetInfo(window, *state, *reinterpret_cast<const SCROLLINFO*>(lParam), wParam != 0) : 0;
    case SBM_GETSCROLLINFO: {
      auto* info = reinterpret_cast<SCROLLINFO*>(lParam);
      if (!info) return 0;
      if (info->fMask & SIF_RANGE) info->nMin = state->minimum, info->nMax = state->maximum;
      if (info->fMask & SIF_PAGE) info->nPage = state->page;
      if (info->fMask & SIF_POS) info->nPos = state->position;
      if (info->fMask & SIF_TRACKPOS)
        info->nTrackPos = state->pressed == Part::Thumb ? state->trackPosition : state->position;
      return 1;
    }
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

SCROLLINFO ScrollBar::RowsInfo(int32_t count, int32_t shown, int32_t first) {
  SCROLLINFO info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = 0;
  info.nMax = std::max(0, count - 1);
  info.nPage = static_cast<UINT>(shown);
  info.nPos = first;
  return info;
}

bool ScrollBar::RowForCode(WORD code, int32_t first, int32_t shown, int32_t rowCount, int32_t position,
                           int32_t& row) {
  switch (code) {
    case SB_LINEUP:
      row = first - 1;
      return true;
    case SB_LINEDOWN:
      row = first + 1;
      return true;
    case SB_PAGEUP:
      row = first - shown;
      return true;
    case SB_PAGEDOWN:
      row = first + shown;
      return true;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      row = position;
      return true;
    case SB_TOP:
      row = 0;
      return true;
    case SB_BOTTOM:
      row = rowCount;
      return true;
    default:
      return false;
  }
}

}  // namespace plat
