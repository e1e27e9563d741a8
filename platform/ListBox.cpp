#include "platform/ListBox.h"

#include <algorithm>

#include "platform/Controls.h"
#include "platform/ControlsDrawing.h"
#include "platform/ScrollBar.h"

namespace plat {

namespace {
constexpr const char* kStateProperty = "listbox.state";
constexpr int32_t kBarWidth = 16;  // pixels
constexpr int32_t kBevel = 2;      // pixels of the sunken edge
}  // namespace

ListBox::State* ListBox::StateOf(HWND window) { return ControlState<State>(window, kStateProperty); }

int32_t ListBox::RowHeight(HWND window) { return MeasureControlText(window, u"Ag").cy + 2; }

RECT ListBox::RowsArea(HWND window, const State& state) {
  RECT client;
  GetClientRect(window, &client);
  RECT rows = {client.left + kBevel, client.top + kBevel, client.right - kBevel, client.bottom - kBevel};
  if (state.bar && (GetWindowLongPtrA(state.bar, GWL_STYLE) & WS_VISIBLE)) rows.right -= kBarWidth;
  return rows;
}

int32_t ListBox::RowsShown(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  return std::max(1, (client.bottom - client.top - 2 * kBevel) / RowHeight(window));
}

// Shows the bar only when needed and gives it the rows' range, the page and the first row shown.
void ListBox::Layout(HWND window, State& state) {
  auto count = static_cast<int32_t>(state.entries.size());
  int32_t shown = RowsShown(window);
  state.top = std::clamp(state.top, 0, std::max(0, count - shown));
  if (!state.bar) return;
  RECT client;
  GetClientRect(window, &client);
  MoveWindow(state.bar, client.right - kBevel - kBarWidth, client.top + kBevel, kBarWidth,
             client.bottom - client.top - 2 * kBevel, 0);
  const SCROLLINFO info = ScrollBar::RowsInfo(count, shown, state.top);
  SetScrollInfo(state.bar, SB_CTL, &info, 1);
  ShowWindow(state.bar, count > shown ? SW_SHOWNOACTIVATE : SW_HIDE);
  InvalidateRect(window, nullptr, 0);
}

void ListBox::ScrollTo(HWND window, State& state, int32_t top) {
  int32_t before = state.top;
  state.top = top;
  Layout(window, state);
  if (state.top != before) InvalidateRect(window, nullptr, 0);
}

void ListBox::Select(HWND window, State& state, int32_t index, bool notify) {
  auto count = static_cast<int32_t>(state.entries.size());
  if (count == 0) return;
  index = std::clamp(index, 0, count - 1);
  // Keep the selection in view.
  int32_t shown = RowsShown(window);
  if (index < state.top) ScrollTo(window, state, index);
  if (index >= state.top + shown) ScrollTo(window, state, index - shown + 1);
  if (index == state.selected) return;
  state.selected = index;
  InvalidateRect(window, nullptr, 0);
  if (notify) NotifyParent(window, LBN_SELCHANGE);
}

void ListBox::Paint(HWND window, HDC dc, const State& state) {
  RECT client;
  GetClientRect(window, &client);
  bool enabled = IsWindowEnabled(window);
  FillSolid(dc, client, enabled ? kWindowColor : kFaceColor);
  DrawBevel(dc, client, true);
  RECT rows = RowsArea(window, state);
  int32_t height = RowHeight(window);
  bool focused = GetFocus() == window;
  for (int32_t i = state.top; i < static_cast<int32_t>(state.entries.size()); ++i) {
    RECT row = {rows.left, rows.top + (i - state.top) * height, rows.right,
                rows.top + (i - state.top + 1) * height};
    if (row.bottom > rows.bottom) break;
    bool chosen = i == state.selected;
    if (chosen) FillSolid(dc, row, kSelectionColor);
    DrawControlText(dc, window, state.entries[static_cast<size_t>(i)],
                    {row.left + 2, row.top, row.right, row.bottom},
                    DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX,
                    chosen ? kSelectionTextColor : (enabled ? kTextColor : kGrayTextColor));
    if (chosen && focused) DrawFocusDots(dc, row);
  }
}

void ListBox::OnScroll(HWND window, State& state, WORD code, int32_t position) {
  int32_t row = 0;
  if (ScrollBar::RowForCode(code, state.top, RowsShown(window), static_cast<int32_t>(state.entries.size()),
                            position, row))
    ScrollTo(window, state, row);
}

LRESULT ListBox::ListMessage(HWND window, State& state, UINT message, WPARAM wParam, LPARAM lParam) {
  auto count = static_cast<int32_t>(state.entries.size());
  auto index = static_cast<int32_t>(wParam);
  switch (message) {
    case LB_ADDSTRING: {
      auto text = reinterpret_cast<const char16_t*>(lParam);
      state.entries.emplace_back(text ? text : u"");
      Layout(window, state);
      return count;
    }
    case LB_RESETCONTENT:
      state.entries.clear();
      state.selected = -1;
      state.top = 0;
      Layout(window, state);
      return 0;
    case LB_GETCOUNT:
      return count;
    case LB_GETCURSEL:
      return state.selected;
    case LB_SETCURSEL:
      // From the program: no notification; -1 (or any index out of range) clears the selection.
      if (index < 0 || index >= count) {
        state.selected = -1;
        InvalidateRect(window, nullptr, 0);
        return index == -1 ? 0 : LB_ERR;
      }
      Select(window, state, index, false);
      return index;
    case LB_GETTEXTLEN:
      return index >= 0 && index < count
                 ? static_cast<LRESULT>(state.entries[static_cast<size_t>(index)].size())
                 : LB_ERR;
    case LB_GETTEXT: {
      if (index < 0 || index >= count || !lParam) return LB_ERR;
      const std::u16string& entry = state.entries[static_cast<size_t>(index)];
      std::copy(entry.begin(), entry.end(), reinterpret_cast<char16_t*>(lParam));
      reinterpret_cast<char16_t*>(lParam)[entry.size()] = 0;
      return static_cast<LRESULT>(entry.size());
    }
    case LB_GETTOPINDEX:
      return state.top;
    case LB_SETTOPINDEX:
      ScrollTo(window, state, index);
      return 0;
    case LB_GETITEMRECT: {
      if (index < 0 || index >= count || !lParam) return LB_ERR;
      RECT rows = RowsArea(window, state);
      int32_t height = RowHeight(window);
      *reinterpret_cast<RECT*>(lParam) = {rows.left, rows.top + (index - state.top) * height, rows.right,
                                          rows.top + (index - state.top + 1) * height};
      return 0;
    }
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

LRESULT ListBox::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (HandleFontMessage(window, message, wParam, lParam, result)) {
    if (message == WM_SETFONT) {
      if (State* state = StateOf(window)) Layout(window, *state);
    }
    return result;
  }
  if (message == WM_NCCREATE) CreateControlState<State>(window, kStateProperty);
  State* state = StateOf(window);
  if (!state) return DefWindowProcW(window, message, wParam, lParam);
  if (message >= LB_ADDSTRING && message <= LB_GETITEMRECT)
    return ListMessage(window, *state, message, wParam, lParam);
  switch (message) {
    case WM_CREATE:
      state->bar = CreateWindowExW(0, "SCROLLBAR", u"", WS_CHILD | SBS_VERT, 0, 0, kBarWidth, 0, window,
                                   nullptr, nullptr, nullptr);
      Layout(window, *state);
      return 0;
    case WM_SIZE:
      Layout(window, *state);
      return 0;
    case WM_NCDESTROY:
      DeleteControlState<State>(window, kStateProperty);
      return 0;
    case WM_VSCROLL:
      OnScroll(window, *state, LOWORD(wParam), static_cast<int16_t>(HIWORD(wParam)));
      return 0;
    case WM_MOUSEWHEEL: {
      // Three rows a notch (120 units), as the tree view scrolls.
      int32_t notches = static_cast<int16_t>(HIWORD(wParam)) / 120;
      ScrollTo(window, *state, state->top - 3 * notches);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (GetFocus() != window) SetFocus(window);
      RECT rows = RowsArea(window, *state);
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (!RectContains(rows, p)) return 0;
      int32_t index = state->top + (p.y - rows.top) / RowHeight(window);
      if (index >= static_cast<int32_t>(state->entries.size())) return 0;
      Select(window, *state, index, true);
      if (message == WM_LBUTTONDBLCLK) NotifyParent(window, LBN_DBLCLK);
      return 0;
    }
    case WM_KEYDOWN: {
      int32_t shown = RowsShown(window);
      int32_t last = static_cast<int32_t>(state->entries.size()) - 1;
      switch (static_cast<int32_t>(wParam)) {
        case VK_UP:
          Select(window, *state, state->selected - 1, true);
          break;
        case VK_DOWN:
          Select(window, *state, state->selected + 1, true);
          break;
        case VK_PRIOR:
          Select(window, *state, state->selected - shown + 1, true);
          break;
        case VK_NEXT:
          Select(window, *state, std::max(0, state->selected) + shown - 1, true);
          break;
        case VK_HOME:
          Select(window, *state, 0, true);
          break;
        case VK_END:
          Select(window, *state, last, true);
          break;
        default:
          break;
      }
      return 0;
    }
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_PAINT:
      return PaintControl(window, [&](HDC dc) { Paint(window, dc, *state); });
    case WM_ERASEBKGND:
      return 1;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
      InvalidateRect(window, nullptr, 0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace plat
