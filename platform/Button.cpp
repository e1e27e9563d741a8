#include "platform/Button.h"

#include "platform/Controls.h"
#include "platform/ControlsDrawing.h"

namespace plat {

namespace {
constexpr const char* kStateProperty = "button.state";
constexpr int32_t kBoxSize = 13;  // pixels of a check box square and a radio circle
}  // namespace

struct Button::State {
  WPARAM check = BST_UNCHECKED;
  bool pushed = false;    // drawn pressed (mouse held inside, or BM_SETSTATE)
  bool tracking = false;  // the left button went down on it and the capture is ours
  bool spaceDown = false;
};

DWORD ButtonKind(HWND window) {
  return static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)) & BS_TYPEMASK;
}

namespace {
bool IsRadio(DWORD kind) { return kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON; }
bool IsCheck(DWORD kind) {
  return kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_3STATE || kind == BS_AUTO3STATE;
}
bool IsPush(DWORD kind) { return kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON; }
}  // namespace

LRESULT Button::DialogCode(HWND window) {
  DWORD kind = ButtonKind(window);
  if (kind == BS_DEFPUSHBUTTON) return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
  if (kind == BS_PUSHBUTTON || kind == BS_OWNERDRAW) return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
  if (IsRadio(kind)) return DLGC_BUTTON | DLGC_RADIOBUTTON;
  if (kind == BS_GROUPBOX) return DLGC_STATIC;
  return DLGC_BUTTON;
}

// Checks an automatic radio button and clears the others of its group: the siblings from the nearest
// WS_GROUP item at or before it up to the next WS_GROUP item.
void Button::CheckRadioInGroup(HWND window) {
  std::vector<HWND> items = ChildWindows(GetParent(window));
  size_t self = 0;
  while (self < items.size() && items[self] != window) ++self;
  if (self == items.size()) return;
  size_t first = self;
  while (first > 0 && !(GetWindowLongPtrA(items[first], GWL_STYLE) & WS_GROUP)) --first;
  for (size_t i = first; i < items.size(); ++i) {
    if (i > first && (GetWindowLongPtrA(items[i], GWL_STYLE) & WS_GROUP)) break;
    if (!HasClass(items[i], "BUTTON")) continue;
    if (!IsRadio(ButtonKind(items[i]))) continue;
    SendMessageW(items[i], BM_SETCHECK, items[i] == window ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

void Button::Click(HWND window) {
  State* state = ControlState<State>(window, kStateProperty);
  DWORD kind = ButtonKind(window);
  if (state && kind == BS_AUTOCHECKBOX) {
    SendMessageW(window, BM_SETCHECK, state->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
  } else if (state && kind == BS_AUTO3STATE) {
    SendMessageW(window, BM_SETCHECK, (state->check + 1) % 3, 0);
  } else if (kind == BS_AUTORADIOBUTTON) {
    CheckRadioInGroup(window);
  }
  NotifyParent(window, BN_CLICKED);
}

void Button::TrackMouse(HWND window, State& state, UINT message, LPARAM lParam) {
  RECT client;
  GetClientRect(window, &client);
  bool inside = RectContains(client, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
  if (message == WM_LBUTTONDOWN) {
    state.tracking = true;
    SetCapture(window);
    if (GetFocus() != window) SetFocus(window);
  }
  if (!state.tracking) return;
  bool wasPushed = state.pushed;
  state.pushed = inside && message != WM_LBUTTONUP;
  if (state.pushed != wasPushed) InvalidateRect(window, nullptr, 0);
  if (message == WM_LBUTTONUP) {
    state.tracking = false;
    ReleaseCapture();
    if (inside) Click(window);
  }
}

LRESULT Button::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (HandleFontMessage(window, message, wParam, lParam, result)) return result;
  if (message == WM_NCCREATE) CreateControlState<State>(window, kStateProperty);
  State* state = ControlState<State>(window, kStateProperty);
  if (!state) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_NCDESTROY:
      DeleteControlState<State>(window, kStateProperty);
      return 0;
    case WM_GETDLGCODE:
      return DialogCode(window);
    case WM_PAINT:
      return PaintControl(window, [&](HDC dc) { Paint(window, dc, *state); });
    case WM_ERASEBKGND:
      return 1;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (ButtonKind(window) == BS_GROUPBOX) return 0;  // a frame with a title: nothing to press
      TrackMouse(window, *state, WM_LBUTTONDOWN, lParam);
      return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
      TrackMouse(window, *state, message, lParam);
      return 0;
    case WM_CAPTURECHANGED:
      if (state->tracking) {
        state->tracking = state->pushed = false;
        InvalidateRect(window, nullptr, 0);
      }
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE && !state->spaceDown) {
        state->spaceDown = state->pushed = true;
        InvalidateRect(window, nullptr, 0);
      }
      return 0;
    case WM_KEYUP:
      if (wParam == VK_SPACE && state->spaceDown && ButtonKind(window) != BS_GROUPBOX) {
        state->spaceDown = state->pushed = false;
        InvalidateRect(window, nullptr, 0);
        Click(window);
      }
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
      if (message == WM_KILLFOCUS) state->spaceDown = state->pushed = false;
      InvalidateRect(window, nullptr, 0);
      return 0;
    case WM_SETTEXT:
      result = DefWindowProcW(window, message, wParam, lParam);
      InvalidateRect(window, nullptr, 0);
      return result;
    case BM_GETCHECK:
      return static_cast<LRESULT>(state->check);
    case BM_SETCHECK:
      if (state->check != wParam) {
        state->check = wParam > BST_INDETERMINATE ? BST_CHECKED : wParam;
        InvalidateRect(window, nullptr, 0);
      }
      return 0;
    case BM_GETSTATE:
      return static_cast<LRESULT>(state->check) | (state->pushed ? BST_PUSHED : 0) |
             (GetFocus() == window ? BST_FOCUS : 0);
    case BM_SETSTATE:
      state->pushed = wParam != 0;
      InvalidateRect(window, nullptr, 0);
      return 0;
    case BM_SETSTYLE: {
      DWORD style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
      SetWindowLongPtrA(window, GWL_STYLE,
                        (style & ~BS_TYPEMASK) | (static_cast<DWORD>(wParam) & BS_TYPEMASK));
      if (lParam) InvalidateRect(window, nullptr, 0);
      return 0;
    }
    case BM_CLICK:
      Click(window);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

void Button::Paint(HWND window, HDC dc, const State& state) {
  RECT client;
  GetClientRect(window, &client);
  DWORD kind = ButtonKind(window);
  if (kind == BS_OWNERDRAW) {
    PaintOwnerDrawn(window, dc, state, client);
  } else if (kind == BS_GROUPBOX) {
    PaintGroup(window, dc, client);
  } else if (IsCheck(kind) || IsRadio(kind)) {
    PaintCheck(window, dc, state, client, IsRadio(kind));
  } else {
    PaintPush(window, dc, state, client);
  }
}

void Button::PaintPush(HWND window, HDC dc, const State& state, const RECT& client) {
  FillSolid(dc, client, kFaceColor);
  RECT bevel = client;
  bool isDefault = ButtonKind(window) == BS_DEFPUSHBUTTON;
  if (isDefault) {
    FrameSolid(dc, client, kTextColor);
    bevel = {client.left + 1, client.top + 1, client.right - 1, client.bottom - 1};
  }
  if (state.pushed) {
    FrameSolid(dc, bevel, kShadowColor);
  } else {
    DrawBevel(dc, bevel, false);
  }
  RECT text = client;
  if (state.pushed) text = MovedRect(text, 1, 1);
  bool enabled = IsWindowEnabled(window);
  DrawControlText(dc, window, WindowText(window), text, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                  enabled ? kTextColor : kGrayTextColor);
  if (GetFocus() == window)
    DrawFocusDots(dc, {bevel.left + 3, bevel.top + 3, bevel.right - 3, bevel.bottom - 3});
}

void Button::PaintCheck(HWND window, HDC dc, const State& state, const RECT& client, bool radio) {
  FillSolid(dc, client, kFaceColor);
  int32_t top = client.top + (client.bottom - client.top - kBoxSize) / 2;
  RECT box = {client.left, top, client.left + kBoxSize, top + kBoxSize};
  bool enabled = IsWindowEnabled(window);
  COLORREF mark = enabled ? kTextColor : kGrayTextColor;
  if (radio) {
    HBRUSH fill = CreateSolidBrush(state.pushed ? kFaceColor : kWindowColor);
    HPEN edge = CreatePen(PS_SOLID, 1, kShadowColor);
    {
      ScopedSelection b(dc, fill), p(dc, edge);
      Ellipse(dc, box.left, box.top, box.right, box.bottom);
    }
    DeleteObject(fill);
    DeleteObject(edge);
    if (state.check == BST_CHECKED) {
      HBRUSH dot = CreateSolidBrush(mark);
      HPEN none = static_cast<HPEN>(GetStockObject(NULL_PEN));
      {
        ScopedSelection b(dc, dot), p(dc, none);
        Ellipse(dc, box.left + 4, box.top + 4, box.right - 3, box.bottom - 3);
      }
      DeleteObject(dot);
    }
  } else {
    FillSolid(dc, box, state.pushed || state.check == BST_INDETERMINATE ? kFaceColor : kWindowColor);
    DrawBevel(dc, box, true);
    if (state.check != BST_UNCHECKED) {
      COLORREF tick = state.check == BST_INDETERMINATE ? kShadowColor : mark;
      // A tick: down from (3,5) to (5,7), then up to (9,3), three pixels thick.
      for (int32_t i = 0; i < 7; ++i) {
        int32_t x = box.left + 3 + i;
        int32_t y = box.top + (i < 3 ? 5 + i : 9 - i);
        FillSolid(dc, {x, y, x + 1, y + 3}, tick);
      }
    }
  }
  RECT text = {box.right + 4, client.top, client.right, client.bottom};
  DrawControlText(dc, window, WindowText(window), text, DT_LEFT | DT_VCENTER | DT_SINGLELINE, mark);
  if (GetFocus() == window) {
    SIZE size = MeasureControlText(window, WindowText(window));
    int32_t y = client.top + (client.bottom - client.top - size.cy) / 2;
    DrawFocusDots(dc, {text.left - 1, y - 1, text.left + size.cx + 1, y + size.cy + 1});
  }
}

void Button::PaintGroup(HWND window, HDC dc, const RECT& client) {
  FillSolid(dc, client, kFaceColor);
  std::u16string caption = WindowText(window);
  SIZE size = MeasureControlText(window, caption);
  int32_t lineY = client.top + size.cy / 2;
  RECT frame = {client.left, lineY, client.right, client.bottom};
  FrameSolid(dc, frame, kShadowColor);
  FrameSolid(dc,
             {frame.left + 1, frame.top + 1, frame.right + 1 > client.right ? client.right : frame.right + 1,
              frame.bottom},
             kLightColor);
  FrameSolid(dc, {frame.left, frame.top, frame.right - 1, frame.bottom - 1}, kShadowColor);
  if (caption.empty()) return;
  RECT label = {client.left + 8, client.top, client.left + 8 + size.cx + 4, client.top + size.cy};
  FillSolid(dc, label, kFaceColor);
  DrawControlText(dc, window, caption, {label.left + 2, label.top, label.right, label.bottom},
                  DT_LEFT | DT_SINGLELINE, kTextColor);
}

void Button::PaintOwnerDrawn(HWND window, HDC dc, const State& state, const RECT& client) {
  DRAWITEMSTRUCT item;
  item.CtlType = ODT_BUTTON;
  item.CtlID = static_cast<UINT>(GetDlgCtrlID(window));
  item.itemAction = ODA_DRAWENTIRE;
  item.itemState = (state.pushed ? ODS_SELECTED : 0) | (IsWindowEnabled(window) ? 0 : ODS_DISABLED) |
                   (GetFocus() == window ? ODS_FOCUS : 0);
  item.hwndItem = window;
  item.hDC = dc;
  item.rcItem = client;
  if (HWND parent = GetParent(window)) {
    SendMessageW(parent, WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
  }
}

}  // namespace plat
