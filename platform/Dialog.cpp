#include "platform/Dialog.h"

#include <cctype>
#include <climits>
#include <cstring>
#include <memory>

#include "platform/AnsiCodePage.h"
#include "platform/Button.h"
#include "platform/Controls.h"
#include "platform/ControlsDrawing.h"
#include "platform/Cursors.h"
#include "platform/MessageBox.h"
#include "platform/ScreenMetrics.h"
#include "platform/WindowApi.h"
#include "platform/WindowManager.h"

namespace plat {

namespace {
constexpr const char* kStateProperty = "dialog.state";
constexpr int32_t kScreenDpi = 96;

// What the manager keeps for one dialog. A modal dialog's state belongs to its loop (it outlives the
// window so the result can be read); a modeless dialog's state goes with its window once the dialog
// is made (until then its maker frees it, whatever happened to the window).
struct DialogState {
  DLGPROC proc = nullptr;
  bool modal = false;
  bool windowOwns = false;
  bool ready = false;  // the procedure sees messages from WM_INITDIALOG on
  bool ended = false;
  INT_PTR result = 0;
  HFONT font = nullptr;  // owned
  SIZE baseUnits{6, 13};
  HWND lastFocus = nullptr;
  HWND window = nullptr;  // from WM_NCCREATE on, so unwinding can find a window still being made
  ~DialogState() {
    if (font) DeleteObject(font);
  }
};

DialogState* StateOf(HWND dialog) {
  return dialog ? static_cast<DialogState*>(GetPropA(dialog, kStateProperty)) : nullptr;
}

// value x numerator / denominator rounded to the nearest, halves away from zero (the platform's MulDiv).
int32_t Scale(int32_t value, int32_t numerator, int32_t denominator) {
  int64_t product = int64_t(value) * numerator;
  int64_t half = denominator / 2;
  return static_cast<int32_t>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

HFONT MakeDialogFont(const DialogTemplate& t) {
  // Points to pixels at the screen's 96 dots per inch, rounded; negative: the character height.
  int32_t height = -((t.pointSize * kScreenDpi + 36) / 72);
  return CreateFontA(height, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, t.fontFace.c_str());
}

// Base units of a font: the average width of the 52 letters, rounded, and the character height.
SIZE BaseUnitsOf(HFONT font) {
  static const char16_t kLetters[] = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  HDC dc = CreateCompatibleDC(nullptr);
  SIZE size{0, 0};
  {
    ScopedSelection select(dc, font);
    GetTextExtentPoint32W(dc, kLetters, 52, &size);
  }
  DeleteDC(dc);
  return {(size.cx / 26 + 1) / 2, size.cy > 0 ? size.cy : 13};
}

// Each edge is mapped on its own, as MapDialogRect does.
RECT UnitsToPixels(SIZE base, int32_t x, int32_t y, int32_t cx, int32_t cy) {
  return {Scale(x, base.cx, 4), Scale(y, base.cy, 8), Scale(x + cx, base.cx, 4), Scale(y + cy, base.cy, 8)};
}

LRESULT CALLBACK_DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

void EnsureDialogClass() {
  WindowManager& manager = WindowManager::Instance();
  if (manager.FindClass(kDialogClassName)) return;
  WNDCLASSA info;
  info.lpfnWndProc = &CALLBACK_DialogProc;
  info.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(IDC_ARROW));
  info.lpszClassName = kDialogClassName;
  manager.RegisterClass(info);
}

// An item that may take the focus: its own style says visible and enabled (the dialog itself may
// still be hidden while it is being made).
bool IsUsable(HWND item) {
  auto style = static_cast<DWORD>(GetWindowLongPtrA(item, GWL_STYLE));
  return (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

bool IsTabStop(HWND item) { return (GetWindowLongPtrA(item, GWL_STYLE) & WS_TABSTOP) && IsUsable(item); }

// The item that is or holds `window`: the window itself or its ancestor just below the dialog, or
// below a page of the dialog.
HWND ItemOf(HWND dialog, HWND window) {
  while (window && GetParent(window) != dialog && !HasClass(GetParent(window), kDialogClassName)) {
    window = GetParent(window);
  }
  return window;
}

void FocusItem(HWND item) {
  if (!item) return;
  SetFocus(item);
  if (SendMessageW(item, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(item, EM_SETSEL, 0, -1);
}

HWND DefaultButton(HWND dialog) {
  LRESULT id = SendMessageW(dialog, DM_GETDEFID, 0, 0);
  return GetDlgItem(
      dialog, HIWORD(static_cast<uintptr_t>(id)) == DC_HASDEFID ? LOWORD(static_cast<uintptr_t>(id)) : IDOK);
}

// Enter: the focused push button, else the default button, else IDOK.
void PressDefault(HWND dialog, HWND focus) {
  HWND button = nullptr;
  if (focus && (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)))
    button = focus;
  if (!button) button = DefaultButton(dialog);
  if (button && !IsWindowEnabled(button)) return;
  int32_t id = button ? GetDlgCtrlID(button) : IDOK;
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void PressCancel(HWND dialog) {
  HWND cancel = GetDlgItem(dialog, IDCANCEL);
  if (cancel && !IsWindowEnabled(cancel)) return;
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
}

// Arrows move within the group; an automatic radio button that gets the focus is checked.
void MoveInGroup(HWND dialog, HWND focus, bool previous) {
  HWND next = GetNextDlgGroupItem(dialog, focus, previous);
  if (!next || next == focus) return;
  FocusItem(next);
  if (ButtonKind(next) == BS_AUTORADIOBUTTON && HasClass(next, "BUTTON")) SendMessageW(next, BM_CLICK, 0, 0);
}

bool HandleDialogKey(HWND dialog, const MSG& msg) {
  HWND focus = GetFocus();
  LRESULT code = focus ? SendMessageW(focus, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)) : 0;
  if (code & DLGC_WANTALLKEYS) return false;
  switch (static_cast<int32_t>(msg.wParam)) {
    case VK_TAB:
      if (code & DLGC_WANTTAB) return false;
      FocusItem(GetNextDlgTabItem(dialog, ItemOf(dialog, focus), (GetKeyState(VK_SHIFT) & 0x8000) != 0));
      return true;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
      if (code & DLGC_WANTARROWS) return false;
      MoveInGroup(dialog, ItemOf(dialog, focus), msg.wParam == VK_LEFT || msg.wParam == VK_UP);
      return true;
    case VK_RETURN:
      PressDefault(dialog, focus);
      return true;
    case VK_ESCAPE:
      PressCancel(dialog);
      return true;
    default:
      return false;
  }
}

// The frame and caption bar of a top-level dialog, drawn straight into its window's pixels (the
// layer keeps no painter of its own for them).
void PaintFrame(HWND dialog) {
  Surface* surface = GetWindowSurface(dialog);
  if (!surface) return;
  RECT outer, client;
  GetWindowRect(dialog, &outer);
  GetClientRect(dialog, &client);
  POINT origin{0, 0};
  ClientToScreen(dialog, &origin);
  int32_t width = outer.right - outer.left, height = outer.bottom - outer.top;
  int32_t border = origin.x - outer.left, top = origin.y - outer.top;
  if (border <= 0 && top <= 0) return;
  RECT all = {0, 0, width, height};
  HDC dc = CreateSurfaceDC(*surface, {0, 0}, all);
  FillSolid(dc, {0, 0, width, top}, kFaceColor);
  FillSolid(dc, {0, 0, border, height}, kFaceColor);
  FillSolid(dc, {width - border, 0, width, height}, kFaceColor);
  FillSolid(dc, {0, height - border, width, height}, kFaceColor);
  if (border >= 2) DrawBevel(dc, all, false);
  if (top - border > 2) {
    RECT bar = {border, border, width - border, top - 1};
    FillSolid(dc, bar, kSelectionColor);
    HFONT font = CreateFontA(-11, 0, 0, 0, 700, 0, 0, 0, 0, 0, 0, 0, 0, "MS Sans Serif");
    {
      ScopedSelection select(dc, font);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, kSelectionTextColor);
      std::u16string caption = WindowText(dialog);
      RECT text = {bar.left + 4, bar.top, bar.right - 20, bar.bottom};
      DrawTextW(dc, caption.c_str(), static_cast<int32_t>(caption.size()), &text,
                DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    DeleteObject(font);
    if (GetWindowLongPtrA(dialog, GWL_STYLE) & WS_SYSMENU) {
      // The close box.
      RECT box = {bar.right - 18, bar.top + 2, bar.right - 2, bar.bottom - 2};
      FillSolid(dc, box, kFaceColor);
      DrawBevel(dc, box, false);
      for (int32_t i = 0; i < 7; ++i) {
        int32_t x = box.left + 4 + i, y = box.top + 3 + i;
        FillSolid(dc, {x, y, x + 2, y + 1}, kTextColor);
        FillSolid(dc, {x, box.top + 9 - i, x + 2, box.top + 10 - i}, kTextColor);
      }
    }
  }
  ReleaseSurfaceDC(dc);
}

// The letter an item's text marks with '&' ("&&" is a plain ampersand), upper-cased; 0 when none.
char16_t MnemonicOf(HWND item) {
  std::u16string text = WindowText(item);
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != u'&') continue;
    if (text[i + 1] == u'&') {
      ++i;
      continue;
    }
    char16_t c = text[i + 1];
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c;
  }
  return 0;
}

// Alt+letter, or a letter where the focused item takes no characters: the item that marks the
// letter is pressed (a button) or focused (a static label hands the focus to the next tab stop).
bool HandleMnemonic(HWND dialog, char16_t c) {
  if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
  if (c <= u' ') return false;
  for (HWND item : ChildWindows(dialog)) {
    if (!IsUsable(item) || MnemonicOf(item) != c) continue;
    if (HasClass(item, "STATIC")) {
      FocusItem(GetNextDlgTabItem(dialog, item, 0));
    } else if (HasClass(item, "BUTTON") && ButtonKind(item) != BS_GROUPBOX) {
      if (ButtonKind(item) != BS_PUSHBUTTON && ButtonKind(item) != BS_DEFPUSHBUTTON) SetFocus(item);
      SendMessageW(item, BM_CLICK, 0, 0);
    } else {
      FocusItem(item);
    }
    return true;
  }
  return false;
}

// The defaults of the dialog class.
LRESULT DefaultDialogMessage(HWND dialog, DialogState* state, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(dialog, &client);
      FillSolid(reinterpret_cast<HDC>(wParam), client, kFaceColor);
      return 1;
    }
    case WM_PAINT: {
      if (!(GetWindowLongPtrA(dialog, GWL_STYLE) & WS_CHILD)) PaintFrame(dialog);
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(dialog, &ps);
      if (ps.fErase) {
        RECT client;
        GetClientRect(dialog, &client);
        FillSolid(dc, client, kFaceColor);
      }
      EndPaint(dialog, &ps);
      return 0;
    }
    case WM_CLOSE:
      PressCancel(dialog);
      return 0;
    case WM_NEXTDLGCTL:
      if (LOWORD(static_cast<uintptr_t>(lParam)))
        FocusItem(reinterpret_cast<HWND>(wParam));
      else
        FocusItem(GetNextDlgTabItem(dialog, ItemOf(dialog, GetFocus()), wParam != 0));
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(state ? state->font : nullptr);
    case DM_GETDEFID: {
      for (HWND item : ChildWindows(dialog)) {
        if (HasClass(item, "BUTTON") && ButtonKind(item) == BS_DEFPUSHBUTTON)
          return MAKELPARAM(GetDlgCtrlID(item), DC_HASDEFID);
      }
      return 0;
    }
    case DM_SETDEFID:
      for (HWND item : ChildWindows(dialog)) {
        if (!HasClass(item, "BUTTON")) continue;
        DWORD kind = ButtonKind(item);
        if (GetDlgCtrlID(item) == static_cast<int32_t>(wParam) && kind == BS_PUSHBUTTON)
          SendMessageW(item, BM_SETSTYLE, BS_DEFPUSHBUTTON, 1);
        else if (GetDlgCtrlID(item) != static_cast<int32_t>(wParam) && kind == BS_DEFPUSHBUTTON)
          SendMessageW(item, BM_SETSTYLE, BS_PUSHBUTTON, 1);
      }
      return 1;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        if (state && IsChild(dialog, GetFocus())) state->lastFocus = GetFocus();
      } else if (state && IsWindow(state->lastFocus) && IsChild(dialog, state->lastFocus)) {
        SetFocus(state->lastFocus);
      } else if (GetFocus() != dialog && !IsChild(dialog, GetFocus())) {
        // Activated with the keys elsewhere (in a box that opened beside it): they come here.
        SetFocus(dialog);
      }
      return 0;
    case WM_SETFOCUS:
      FocusItem(state && IsWindow(state->lastFocus) ? state->lastFocus
                                                    : GetNextDlgTabItem(dialog, nullptr, 0));
      return 0;
    default:
      return DefWindowProcW(dialog, message, wParam, lParam);
  }
}

LRESULT CALLBACK_DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetPropA(dialog, kStateProperty, cs->lpCreateParams);
    if (cs->lpCreateParams) static_cast<DialogState*>(cs->lpCreateParams)->window = dialog;
  }
  DialogState* state = StateOf(dialog);
  if (message == WM_NCDESTROY) {
    RemovePropA(dialog, kStateProperty);
    if (state && state->windowOwns) delete state;
    return 0;
  }
  if (state && state->ready && state->proc) {
    INT_PTR answer = state->proc(dialog, message, wParam, lParam);
    if (answer) return answer;
  }
  return DefaultDialogMessage(dialog, state, message, wParam, lParam);
}

// Makes the dialog and its items and sends WM_INITDIALOG; null on failure (the state is then freed
// with the window, or by the caller for a modal dialog).
HWND MakeDialog(const DialogTemplate& t, HWND owner, DLGPROC proc, LPARAM param, DialogState* state) {
  EnsureDialogClass();
  state->proc = proc;
  state->font = MakeDialogFont(t);
  state->baseUnits = BaseUnitsOf(state->font);
  DWORD style = (t.style & ~WS_VISIBLE) | WS_CLIPCHILDREN;
  if (style & DS_MODALFRAME) style |= WS_DLGFRAME;
  bool child = (style & WS_CHILD) != 0;  // a page inside another window: `owner` is its parent
  if (child && !owner) return nullptr;
  if (owner && !child) owner = WindowManager::Instance().TopLevelOf(owner);
  // Made at a provisional size that leaves room for the frame, so the frame's size can be measured.
  HWND dialog = CreateWindowExW(t.exStyle, kDialogClassName, t.caption.c_str(), style, 0, 0, 400, 400, owner,
                                nullptr, nullptr, state);
  if (!dialog) return nullptr;
  // The template gives the client area's size; the frame comes on top.
  RECT client = UnitsToPixels(state->baseUnits, t.x, t.y, t.cx, t.cy);
  RECT outer, inner;
  GetWindowRect(dialog, &outer);
  GetClientRect(dialog, &inner);
  int32_t width = client.right - client.left + (outer.right - outer.left) - inner.right;
  int32_t height = client.bottom - client.top + (outer.bottom - outer.top) - inner.bottom;
  POINT origin{client.left, client.top};
  if (child) {
    // A child stands at its place in the parent's client area.
  } else if (owner && !(t.style & DS_CENTER)) {
    ClientToScreen(owner, &origin);
  } else {
    RECT ref = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (owner) GetWindowRect(owner, &ref);
    origin = {ref.left + (ref.right - ref.left - width) / 2, ref.top + (ref.bottom - ref.top - height) / 2};
  }
  MoveWindow(dialog, origin.x, origin.y, width, height, 0);
  for (const DialogItemTemplate& item : t.items) {
    RECT r = UnitsToPixels(state->baseUnits, item.x, item.y, item.cx, item.cy);
    HWND control =
        CreateWindowExW(item.exStyle, item.className.c_str(), item.text.c_str(), item.style | WS_CHILD,
                        r.left, r.top, r.right - r.left, r.bottom - r.top, dialog,
                        reinterpret_cast<HMENU>(static_cast<uintptr_t>(item.id)), nullptr, nullptr);
    if (!control) {
      DestroyWindow(dialog);
      return nullptr;
    }
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(state->font), 0);
  }
  state->ready = true;
  HWND first = GetNextDlgTabItem(dialog, nullptr, 0);
  if (SendMessageW(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param) && IsWindow(dialog))
    FocusItem(first);
  return IsWindow(dialog) ? dialog : nullptr;
}

std::optional<DialogTemplate> LoadNamed(const char16_t* name) {
  if (IS_INTRESOURCE(name)) return DialogTemplate::Load(reinterpret_cast<const char*>(name));
  std::string narrow = NarrowToAnsi(name);
  return DialogTemplate::Load(narrow.c_str());
}

// A box about to open over the active dialog takes the keys while it is made, before the dialog
// learns that it is no longer active: the dialog notes where its keys were now, to give them back
// when it is active again.
void NoteFocusOfActiveDialog() {
  HWND active = GetActiveWindow();
  DialogState* state = StateOf(active);
  if (state && IsChild(active, GetFocus())) state->lastFocus = GetFocus();
}

// Ends a dialog's making or its modal loop however it is left (an exception from the dialog's
// procedure included): the disabled owner, when there is one, is enabled and activated again, and
// the window, unless kept, is destroyed while the state it points at still lives.
class DialogScope {
 public:
  DialogScope(DialogState& state, HWND disabledOwner) : state_(state), owner_(disabledOwner) {}
  DialogScope(const DialogScope&) = delete;
  DialogScope& operator=(const DialogScope&) = delete;
  ~DialogScope() {
    if (owner_ && IsWindow(owner_)) {
      EnableWindow(owner_, 1);
      SetActiveWindow(owner_);
    }
    if (!kept_ && state_.window && IsWindow(state_.window)) DestroyWindow(state_.window);
  }
  // A modeless dialog that was made: its window takes the state and lives on.
  void Keep() { kept_ = true; }

 private:
  DialogState& state_;
  HWND owner_;
  bool kept_ = false;
};
}  // namespace

// ---- Running.

INT_PTR DialogBoxIndirectParamW(HINSTANCE, const DialogTemplate* t, HWND owner, DLGPROC proc, LPARAM param) {
  if (!t) return -1;
  auto state = std::make_unique<DialogState>();
  state->modal = true;
  if (owner) owner = WindowManager::Instance().TopLevelOf(owner);
  bool ownerWasEnabled = owner && IsWindowEnabled(owner);
  if (ownerWasEnabled) EnableWindow(owner, 0);
  // Made after the state, so it ends first: an exception from the dialog's procedure leaves with the
  // owner usable and the window gone before its state is freed.
  DialogScope scope(*state, ownerWasEnabled ? owner : nullptr);
  NoteFocusOfActiveDialog();
  HWND dialog = MakeDialog(*t, owner, proc, param, state.get());
  if (dialog && !state->ended) {
    ShowWindow(dialog, SW_SHOWNORMAL);
    UpdateWindow(dialog);
  }
  while (dialog && IsWindow(dialog) && !state->ended) {
    MSG msg;
    if (!GetMessageW(&msg, nullptr, 0, 0)) {
      // The program is quitting: the loop that owns the quit message must still see it.
      PostQuitMessage(static_cast<int32_t>(msg.wParam));
      state->result = IDCANCEL;
      break;
    }
    if (!IsDialogMessageW(dialog, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return dialog ? state->result : -1;
}

INT_PTR DialogBoxParamW(HINSTANCE instance, const char16_t* name, HWND owner, DLGPROC proc, LPARAM param) {
  std::optional<DialogTemplate> t = LoadNamed(name);
  return t ? DialogBoxIndirectParamW(instance, &*t, owner, proc, param) : -1;
}

INT_PTR DialogBoxParamA(HINSTANCE instance, const char* name, HWND owner, DLGPROC proc, LPARAM param) {
  std::optional<DialogTemplate> t = DialogTemplate::Load(name);
  return t ? DialogBoxIndirectParamW(instance, &*t, owner, proc, param) : -1;
}

HWND CreateDialogIndirectParamW(HINSTANCE, const DialogTemplate* t, HWND owner, DLGPROC proc, LPARAM param) {
  if (!t) return nullptr;
  auto state = std::make_unique<DialogState>();
  DialogScope scope(*state, nullptr);  // ends first, as in the modal case
  HWND dialog = MakeDialog(*t, owner, proc, param, state.get());
  if (!dialog) return nullptr;
  scope.Keep();
  state.release()->windowOwns = true;
  if (t->style & WS_VISIBLE) ShowWindow(dialog, SW_SHOWNORMAL);
  return dialog;
}

HWND CreateDialogParamW(HINSTANCE instance, const char16_t* name, HWND owner, DLGPROC proc, LPARAM param) {
  std::optional<DialogTemplate> t = LoadNamed(name);
  return t ? CreateDialogIndirectParamW(instance, &*t, owner, proc, param) : nullptr;
}

HWND CreateDialogParamA(HINSTANCE instance, const char* name, HWND owner, DLGPROC proc, LPARAM param) {
  std::optional<DialogTemplate> t = DialogTemplate::Load(name);
  return t ? CreateDialogIndirectParamW(instance, &*t, owner, proc, param) : nullptr;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
  DialogState* state = StateOf(dialog);
  if (!state) return 0;
  state->result = result;
  state->ended = true;
  if (state->modal) {
    ShowWindow(dialog, SW_HIDE);
    PostMessageW(dialog, WM_NULL, 0, 0);  // wakes the loop so it sees the end
  }
  return 1;
}

BOOL IsDialogMessageW(HWND dialog, MSG* msg) {
  if (!msg || !dialog || !IsWindow(dialog)) return 0;
  if (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd)) return 0;
  if (msg->message == WM_KEYDOWN && HandleDialogKey(dialog, *msg)) return 1;
  if (msg->message == WM_SYSCHAR && HandleMnemonic(dialog, static_cast<char16_t>(msg->wParam))) return 1;
  if (msg->message == WM_CHAR) {
    HWND focus = GetFocus();
    LRESULT code = focus ? SendMessageW(focus, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg)) : 0;
    if (!(code & (DLGC_WANTCHARS | DLGC_WANTALLKEYS)) &&
        HandleMnemonic(dialog, static_cast<char16_t>(msg->wParam)))
      return 1;
  }
  if (msg->message == WM_CHAR && (msg->wParam == u'\t' || msg->wParam == u'\r' || msg->wParam == 0x1B)) {
    HWND focus = GetFocus();
    LRESULT code = focus ? SendMessageW(focus, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg)) : 0;
    if (!(code & DLGC_WANTALLKEYS) && !(msg->wParam == u'\t' && (code & DLGC_WANTTAB))) return 1;
  }
  TranslateMessage(msg);
  DispatchMessageW(msg);
  return 1;
}

BOOL IsDialogMessageA(HWND dialog, MSG* msg) { return IsDialogMessageW(dialog, msg); }

LRESULT DefDlgProcW(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefaultDialogMessage(dialog, StateOf(dialog), message, wParam, lParam);
}

// ---- Units.

BOOL MapDialogRect(HWND dialog, RECT* rect) {
  DialogState* state = StateOf(dialog);
  if (!state || !rect) return 0;
  *rect = {Scale(rect->left, state->baseUnits.cx, 4), Scale(rect->top, state->baseUnits.cy, 8),
           Scale(rect->right, state->baseUnits.cx, 4), Scale(rect->bottom, state->baseUnits.cy, 8)};
  return 1;
}

int32_t GetDialogBaseUnits() {
  DialogTemplate t;
  HFONT font = MakeDialogFont(t);
  SIZE base = BaseUnitsOf(font);
  DeleteObject(font);
  return static_cast<int32_t>(MAKELPARAM(base.cx, base.cy));
}

// ---- Items.

HWND GetDlgItem(HWND dialog, int32_t id) {
  for (HWND item : ChildWindows(dialog)) {
    if (GetDlgCtrlID(item) == id) return item;
  }
  return nullptr;
}

namespace {
// The dialog's items in tab order; the items of a page (a child dialog, shown) stand in its place.
void CollectTabOrder(HWND parent, std::vector<HWND>& out) {
  for (HWND item : ChildWindows(parent)) {
    if (HasClass(item, kDialogClassName) && IsUsable(item))
      CollectTabOrder(item, out);
    else
      out.push_back(item);
  }
}
}  // namespace

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
  std::vector<HWND> items;
  CollectTabOrder(dialog, items);
  auto count = static_cast<int32_t>(items.size());
  int32_t at = -1;
  for (int32_t i = 0; i < count; ++i) {
    if (items[static_cast<size_t>(i)] == control) at = i;
  }
  if (at < 0) at = previous ? 0 : count - 1;  // no item: start from the first (or the last backwards)
  for (int32_t n = 1; n <= count; ++n) {
    int32_t i = ((at + (previous ? -n : n)) % count + count) % count;
    if (IsTabStop(items[static_cast<size_t>(i)])) return items[static_cast<size_t>(i)];
  }
  return nullptr;
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
  std::vector<HWND> items = ChildWindows(dialog);
  auto count = static_cast<int32_t>(items.size());
  int32_t at = -1;
  for (int32_t i = 0; i < count; ++i) {
    if (items[static_cast<size_t>(i)] == control) at = i;
  }
  if (at < 0) return nullptr;
  auto starts = [&](int32_t i) {
    return (GetWindowLongPtrA(items[static_cast<size_t>(i)], GWL_STYLE) & WS_GROUP) != 0;
  };
  int32_t first = at;
  while (first > 0 && !starts(first)) --first;
  int32_t last = at;
  while (last + 1 < count && !starts(last + 1)) ++last;
  int32_t span = last - first + 1;
  for (int32_t n = 1; n < span; ++n) {
    int32_t i = first + ((at - first + (previous ? -n : n)) % span + span) % span;
    HWND item = items[static_cast<size_t>(i)];
    if (IsUsable(item)) return item;
  }
  return control;
}

BOOL SetDlgItemTextW(HWND dialog, int32_t id, const char16_t* text) {
  HWND item = GetDlgItem(dialog, id);
  return item ? SetWindowTextW(item, text) : 0;
}

BOOL SetDlgItemTextA(HWND dialog, int32_t id, const char* text) {
  HWND item = GetDlgItem(dialog, id);
  return item ? SetWindowTextA(item, text) : 0;
}

UINT GetDlgItemTextW(HWND dialog, int32_t id, char16_t* buffer, int32_t size) {
  HWND item = GetDlgItem(dialog, id);
  if (!item) {
    if (buffer && size > 0) buffer[0] = 0;
    return 0;
  }
  return static_cast<UINT>(GetWindowTextW(item, buffer, size));
}

UINT GetDlgItemTextA(HWND dialog, int32_t id, char* buffer, int32_t size) {
  HWND item = GetDlgItem(dialog, id);
  if (!item) {
    if (buffer && size > 0) buffer[0] = 0;
    return 0;
  }
  return static_cast<UINT>(GetWindowTextA(item, buffer, size));
}

BOOL SetDlgItemInt(HWND dialog, int32_t id, UINT value, BOOL isSigned) {
  std::string text = isSigned ? std::to_string(static_cast<int32_t>(value)) : std::to_string(value);
  return SetDlgItemTextA(dialog, id, text.c_str());
}

UINT GetDlgItemInt(HWND dialog, int32_t id, BOOL* translated, BOOL isSigned) {
  if (translated) *translated = 0;
  HWND item = GetDlgItem(dialog, id);
  if (!item) return 0;
  std::u16string text = WindowText(item);
  size_t i = 0;
  while (i < text.size() && text[i] == u' ') ++i;
  bool negative = false;
  if (isSigned && i < text.size() && text[i] == u'-') {
    negative = true;
    ++i;
  }
  size_t digits = i;
  int64_t value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = value * 10 + (text[i] - u'0');
    if (value > (isSigned ? int64_t(INT32_MAX) + (negative ? 1 : 0) : int64_t(UINT32_MAX))) return 0;
  }
  if (i == digits) return 0;
  while (i < text.size() && text[i] == u' ') ++i;
  if (i != text.size()) return 0;
  if (translated) *translated = 1;
  return static_cast<UINT>(negative ? -value : value);
}

BOOL CheckDlgButton(HWND dialog, int32_t id, UINT check) {
  HWND item = GetDlgItem(dialog, id);
  if (!item) return 0;
  SendMessageW(item, BM_SETCHECK, check, 0);
  return 1;
}

UINT IsDlgButtonChecked(HWND dialog, int32_t id) {
  HWND item = GetDlgItem(dialog, id);
  return item ? static_cast<UINT>(SendMessageW(item, BM_GETCHECK, 0, 0)) : 0;
}

BOOL CheckRadioButton(HWND dialog, int32_t first, int32_t last, int32_t check) {
  for (int32_t id = first; id <= last; ++id)
    CheckDlgButton(dialog, id, id == check ? BST_CHECKED : BST_UNCHECKED);
  return 1;
}

LRESULT SendDlgItemMessageW(HWND dialog, int32_t id, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND item = GetDlgItem(dialog, id);
  return item ? SendMessageW(item, message, wParam, lParam) : 0;
}

LRESULT SendDlgItemMessageA(HWND dialog, int32_t id, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND item = GetDlgItem(dialog, id);
  if (!item) return 0;
  switch (message) {
    case CB_ADDSTRING:
    case CB_INSERTSTRING:
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT:
    case CB_SELECTSTRING:
    case EM_REPLACESEL: {
      std::u16string wide = lParam ? WidenAnsi(reinterpret_cast<const char*>(lParam)) : std::u16string();
      return SendMessageW(item, message, wParam, lParam ? reinterpret_cast<LPARAM>(wide.c_str()) : 0);
    }
    case CB_GETLBTEXT: {
      LRESULT length = SendMessageW(item, CB_GETLBTEXTLEN, wParam, 0);
      if (length < 0 || !lParam) return CB_ERR;
      std::u16string wide(static_cast<size_t>(length) + 1, u'\0');
      SendMessageW(item, CB_GETLBTEXT, wParam, reinterpret_cast<LPARAM>(wide.data()));
      wide.resize(static_cast<size_t>(length));
      std::string narrow = NarrowToAnsi(wide);
      std::memcpy(reinterpret_cast<char*>(lParam), narrow.c_str(), narrow.size() + 1);
      return static_cast<LRESULT>(narrow.size());
    }
    default:
      return SendMessageA(item, message, wParam, lParam);
  }
}

}  // namespace plat
