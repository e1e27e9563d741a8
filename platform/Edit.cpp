#include "platform/Edit.h"

#include <algorithm>

#include "platform/Clipboard.h"
#include "platform/Controls.h"
#include "platform/ControlsDrawing.h"

namespace plat {

namespace {
constexpr const char* kStateProperty = "edit.state";
constexpr int32_t kMargin = 4;  // pixels between the field's edge and its text

int32_t Length(const std::u16string& text) { return static_cast<int32_t>(text.size()); }

bool ShiftDown() { return (GetKeyState(VK_SHIFT) & 0x8000) != 0; }
bool ControlDown() { return (GetKeyState(VK_CONTROL) & 0x8000) != 0; }

// Width in pixels of the first `count` units of `text` in the control's font.
int32_t PrefixWidth(HWND window, const std::u16string& text, int32_t count) {
  if (count <= 0) return 0;
  return MeasureControlText(window, text.substr(0, static_cast<size_t>(count))).cx;
}

// The caret place in `row` nearest to `x` pixels from the row's start.
int32_t NearestColumn(HWND window, const std::u16string& row, int32_t x) {
  int32_t column = 0;
  while (column < Length(row)) {
    int32_t left = PrefixWidth(window, row, column), right = PrefixWidth(window, row, column + 1);
    if (x < (left + right) / 2) break;
    ++column;
  }
  return column;
}

bool IsWordChar(char16_t c) { return c != u' ' && c != u'\t' && c != u'\r' && c != u'\n'; }

// The start of the word before `at` (Ctrl+Left), skipping blanks first.
int32_t WordStart(const std::u16string& text, int32_t at) {
  while (at > 0 && !IsWordChar(text[static_cast<size_t>(at - 1)])) --at;
  while (at > 0 && IsWordChar(text[static_cast<size_t>(at - 1)])) --at;
  return at;
}

// The end of the word at or after `at` (Ctrl+Right), skipping blanks first.
int32_t WordEnd(const std::u16string& text, int32_t at) {
  while (at < Length(text) && !IsWordChar(text[static_cast<size_t>(at)])) ++at;
  while (at < Length(text) && IsWordChar(text[static_cast<size_t>(at)])) ++at;
  return at;
}

bool HasFrame(HWND window) {
  auto style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
  auto ex = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE));
  return (style & WS_BORDER) || (ex & WS_EX_CLIENTEDGE);
}
}  // namespace

EditState* Edit::StateOf(HWND window) { return ControlState<EditState>(window, kStateProperty); }

std::u16string Edit::Text(HWND window) { return WindowText(window); }

void Edit::StoreText(HWND window, const std::u16string& text) {
  DefWindowProcW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool Edit::IsMultiLine(HWND window) { return (GetWindowLongPtrA(window, GWL_STYLE) & ES_MULTILINE) != 0; }
bool Edit::IsReadOnly(HWND window) { return (GetWindowLongPtrA(window, GWL_STYLE) & ES_READONLY) != 0; }

int32_t Edit::LineHeight(HWND window) { return std::max<int32_t>(1, MeasureControlText(window, u"Ag").cy); }

std::u16string Edit::Shown(const EditState& state, const std::u16string& text) {
  if (!state.passwordChar) return text;
  return std::u16string(text.size(), state.passwordChar);
}

int32_t Edit::LineStart(const std::u16string& text, int32_t at) {
  while (at > 0 && text[static_cast<size_t>(at - 1)] != u'\n') --at;
  return at;
}

int32_t Edit::LineEnd(const std::u16string& text, int32_t at) {
  while (at < Length(text) && text[static_cast<size_t>(at)] != u'\r' &&
         text[static_cast<size_t>(at)] != u'\n')
    ++at;
  return at;
}

void Edit::SetSelection(HWND window, EditState& state, int32_t anchor, int32_t caret) {
  int32_t length = Length(Text(window));
  // -1 as the end selects to the end; an anchor of -1 removes the selection (caret kept).
  if (anchor == -1) {
    state.anchor = state.caret;
  } else {
    if (caret < 0 || caret > length) caret = length;
    state.anchor = std::clamp(anchor, 0, length);
    state.caret = caret;
  }
  KeepCaretVisible(window, state);
  InvalidateRect(window, nullptr, 0);
}

void Edit::ReplaceSelection(HWND window, EditState& state, std::u16string insert, bool byUser) {
  std::u16string text = Text(window);
  int32_t from = std::min(state.anchor, state.caret);
  int32_t to = std::max(state.anchor, state.caret);
  from = std::clamp(from, 0, Length(text));
  to = std::clamp(to, from, Length(text));
  if (!IsMultiLine(window)) {
    // A single line holds no line breaks: what is pasted stops at the first one.
    size_t cut = insert.find_first_of(u"\r\n");
    if (cut != std::u16string::npos) insert.resize(cut);
  }
  if (byUser) {
    int32_t room = state.limit - (Length(text) - (to - from));
    if (room < Length(insert)) {
      insert.resize(static_cast<size_t>(std::max(0, room)));
      MessageBeep(0);
    }
  }
  if (insert.empty() && from == to) return;
  text.replace(static_cast<size_t>(from), static_cast<size_t>(to - from), insert);
  StoreText(window, text);
  state.anchor = state.caret = from + Length(insert);
  state.modified = true;
  KeepCaretVisible(window, state);
  InvalidateRect(window, nullptr, 0);
  NotifyChange(window, state);
}

// EN_CHANGE to the parent; a rich edit sends it only when its event mask asks for it.
void Edit::NotifyChange(HWND window, const EditState& state) {
  if (state.rich && !(state.eventMask & ENM_CHANGE)) return;
  NotifyParent(window, EN_CHANGE);
}

void Edit::MoveCaret(HWND window, EditState& state, int32_t to, bool extend) {
  state.caret = std::clamp(to, 0, Length(Text(window)));
  if (!extend) state.anchor = state.caret;
  KeepCaretVisible(window, state);
  InvalidateRect(window, nullptr, 0);
}

int32_t Edit::VerticalMove(HWND window, const std::u16string& text, int32_t at, int32_t lines) {
  int32_t start = LineStart(text, at);
  int32_t x = PrefixWidth(window, text.substr(static_cast<size_t>(start)), at - start);
  int32_t line = start;
  for (; lines < 0 && line > 0; ++lines) line = LineStart(text, line - 1);
  for (; lines > 0; --lines) {
    int32_t end = LineEnd(text, line);
    if (end >= Length(text)) break;
    line = end + ((text[static_cast<size_t>(end)] == u'\r' && end + 1 < Length(text)) ? 2 : 1);
  }
  int32_t end = LineEnd(text, line);
  std::u16string row = text.substr(static_cast<size_t>(line), static_cast<size_t>(end - line));
  return line + NearestColumn(window, row, x);
}

void Edit::Copy(HWND window, const EditState& state) {
  if (state.passwordChar) return;  // a password is never handed out
  int32_t from = std::min(state.anchor, state.caret), to = std::max(state.anchor, state.caret);
  if (from == to) return;
  Clipboard::SetText(Text(window).substr(static_cast<size_t>(from), static_cast<size_t>(to - from)));
}

LRESULT Edit::KeyDown(HWND window, EditState& state, WPARAM key) {
  std::u16string text = Text(window);
  bool shift = ShiftDown();
  bool multi = IsMultiLine(window);
  int32_t caret = state.caret;
  switch (static_cast<int32_t>(key)) {
    case VK_LEFT:
      if (ControlDown()) return MoveCaret(window, state, WordStart(text, caret), shift), 0;
      if (state.anchor != caret && !shift)
        return MoveCaret(window, state, std::min(state.anchor, caret), false), 0;
      if (caret >= 2 && text[static_cast<size_t>(caret - 1)] == u'\n' &&
          text[static_cast<size_t>(caret - 2)] == u'\r')
        --caret;
      MoveCaret(window, state, caret - 1, shift);
      return 0;
    case VK_RIGHT:
      if (ControlDown()) return MoveCaret(window, state, WordEnd(text, caret), shift), 0;
      if (state.anchor != caret && !shift)
        return MoveCaret(window, state, std::max(state.anchor, caret), false), 0;
      if (caret + 1 < Length(text) && text[static_cast<size_t>(caret)] == u'\r') ++caret;
      MoveCaret(window, state, caret + 1, shift);
      return 0;
    case VK_HOME:
      MoveCaret(window, state, ControlDown() || !multi ? 0 : LineStart(text, caret), shift);
      return 0;
    case VK_END:
      MoveCaret(window, state, ControlDown() || !multi ? Length(text) : LineEnd(text, caret), shift);
      return 0;
    case VK_UP:
    case VK_DOWN:
      if (multi) MoveCaret(window, state, VerticalMove(window, text, caret, key == VK_UP ? -1 : 1), shift);
      return 0;
    case VK_DELETE:
      if (IsReadOnly(window)) return 0;
      if (shift) return SendMessageW(window, WM_CUT, 0, 0);
      if (state.anchor == caret) {
        int32_t next =
            caret + ((caret + 1 < Length(text) && text[static_cast<size_t>(caret)] == u'\r') ? 2 : 1);
        state.caret = std::min(next, Length(text));
      }
      ReplaceSelection(window, state, u"", true);
      return 0;
    case VK_INSERT:
      if (shift) return SendMessageW(window, WM_PASTE, 0, 0);
      if (ControlDown()) return SendMessageW(window, WM_COPY, 0, 0);
      return 0;
    default:
      return 0;
  }
}

LRESULT Edit::Character(HWND window, EditState& state, char16_t c) {
  switch (c) {
    case 0x01:  // Ctrl+A
      SetSelection(window, state, 0, -1);
      return 0;
    case 0x03:  // Ctrl+C
      Copy(window, state);
      return 0;
    case 0x18:  // Ctrl+X
      return SendMessageW(window, WM_CUT, 0, 0);
    case 0x16:  // Ctrl+V
      return SendMessageW(window, WM_PASTE, 0, 0);
    default:
      break;
  }
  if (IsReadOnly(window)) return 0;
  if (c == u'\b') {
    if (state.anchor == state.caret && state.caret > 0) {
      std::u16string text = Text(window);
      int32_t back = (state.caret >= 2 && text[static_cast<size_t>(state.caret - 1)] == u'\n' &&
                      text[static_cast<size_t>(state.caret - 2)] == u'\r')
                         ? 2
                         : 1;
      state.anchor = state.caret - back;
    }
    ReplaceSelection(window, state, u"", true);
    return 0;
  }
  if (c == u'\r' || c == u'\n') {
    if (IsMultiLine(window)) ReplaceSelection(window, state, u"\r\n", true);
    return 0;
  }
  if (c < 0x20 || c == 0x7F) return 0;
  auto style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
  if ((style & ES_NUMBER) && (c < u'0' || c > u'9')) {
    MessageBeep(0);
    return 0;
  }
  if ((style & ES_UPPERCASE) && c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  ReplaceSelection(window, state, std::u16string(1, c), true);
  return 0;
}

void Edit::KeepCaretVisible(HWND window, EditState& state) {
  RECT client;
  GetClientRect(window, &client);
  std::u16string text = Shown(state, Text(window));
  if (IsMultiLine(window)) {
    int32_t line = 0;
    for (int32_t i = 0; i < state.caret && i < Length(text); ++i)
      line += text[static_cast<size_t>(i)] == u'\n';
    int32_t rows = std::max(1, (client.bottom - 2 * 2) / LineHeight(window));
    if (line < state.firstLine) state.firstLine = line;
    if (line >= state.firstLine + rows) state.firstLine = line - rows + 1;
    return;
  }
  int32_t width = client.right - 2 * kMargin;
  if (state.caret < state.firstColumn) state.firstColumn = state.caret;
  auto fits = [&](int32_t first) {
    return PrefixWidth(window, text.substr(static_cast<size_t>(first)), state.caret - first) <= width;
  };
  if (fits(state.firstColumn)) return;
  // The first column that shows the caret, found by halving (the text may be long).
  int32_t low = state.firstColumn, high = state.caret;  // low does not fit, high does
  while (high - low > 1) {
    int32_t middle = low + (high - low) / 2;
    (fits(middle) ? high : low) = middle;
  }
  state.firstColumn = high;
}

int32_t Edit::PositionAt(HWND window, EditState& state, POINT point) {
  std::u16string text = Shown(state, Text(window));
  int32_t start = 0;
  int32_t x = point.x - kMargin;
  if (IsMultiLine(window)) {
    int32_t row = std::max(0, (point.y - 2) / LineHeight(window)) + state.firstLine;
    for (int32_t r = 0; r < row; ++r) {
      int32_t end = LineEnd(text, start);
      if (end >= Length(text)) break;
      start = end + ((text[static_cast<size_t>(end)] == u'\r' && end + 1 < Length(text)) ? 2 : 1);
    }
  } else {
    start = state.firstColumn;
  }
  int32_t end = IsMultiLine(window) ? LineEnd(text, start) : Length(text);
  std::u16string row = text.substr(static_cast<size_t>(start), static_cast<size_t>(end - start));
  return start + NearestColumn(window, row, x);
}

void Edit::Paint(HWND window, HDC dc, EditState& state) {
  RECT client;
  GetClientRect(window, &client);
  bool enabled = IsWindowEnabled(window);
  COLORREF back = (!enabled || IsReadOnly(window)) && !state.rich ? kFaceColor : state.background;
  FillSolid(dc, client, back);
  if (HasFrame(window)) DrawBevel(dc, client, true);
  std::u16string text = Shown(state, Text(window));
  bool focused = GetFocus() == window;
  int32_t from = std::min(state.anchor, state.caret), to = std::max(state.anchor, state.caret);
  int32_t height = LineHeight(window);
  COLORREF ink = enabled ? state.textColor : kGrayTextColor;
  int32_t start = IsMultiLine(window) ? 0 : state.firstColumn;
  int32_t y = IsMultiLine(window) ? 3 : (client.bottom - height) / 2;
  for (int32_t line = 0; start <= Length(text); ++line) {
    int32_t end = IsMultiLine(window) ? LineEnd(text, start) : Length(text);
    std::u16string row = text.substr(static_cast<size_t>(start), static_cast<size_t>(end - start));
    if (line >= state.firstLine || !IsMultiLine(window)) {
      DrawControlText(dc, window, row, {kMargin, y, client.right - 2, y + height},
                      DT_LEFT | DT_SINGLELINE | DT_NOPREFIX, ink);
      int32_t a = std::clamp(from, start, end), b = std::clamp(to, start, end);
      if (focused && a < b) {
        int32_t x0 = kMargin + PrefixWidth(window, row, a - start),
                x1 = kMargin + PrefixWidth(window, row, b - start);
        FillSolid(dc, {x0, y, x1, y + height}, kSelectionColor);
        DrawControlText(dc, window, row.substr(static_cast<size_t>(a - start), static_cast<size_t>(b - a)),
                        {x0, y, x1 + 8, y + height}, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX,
                        kSelectionTextColor);
      }
      if (focused && state.caret >= start && state.caret <= end) {
        int32_t x = kMargin + PrefixWidth(window, row, state.caret - start);
        FillSolid(dc, {x, y, x + 1, y + height}, kTextColor);
      }
      y += height;
    }
    if (end >= Length(text) || y >= client.bottom) break;  // the rest is out of sight
    start = end + ((text[static_cast<size_t>(end)] == u'\r' && end + 1 < Length(text)) ? 2 : 1);
  }
}

LRESULT Edit::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (HandleFontMessage(window, message, wParam, lParam, result)) return result;
  if (message == WM_NCCREATE) CreateControlState<EditState>(window, kStateProperty);
  EditState* state = StateOf(window);
  if (!state) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_NCDESTROY:
      DeleteControlState<EditState>(window, kStateProperty);
      return 0;
    case WM_GETDLGCODE: {
      LRESULT code = DLGC_HASSETSEL | DLGC_WANTCHARS | DLGC_WANTARROWS;
      if (IsMultiLine(window) && (GetWindowLongPtrA(window, GWL_STYLE) & ES_WANTRETURN))
        code |= DLGC_WANTALLKEYS;
      return code;
    }
    case WM_PAINT:
      return PaintControl(window, [&](HDC dc) { Paint(window, dc, *state); });
    case WM_ERASEBKGND:
      return 1;
    case WM_SETTEXT:
      // A new text replaces everything; the caret goes to the start, nothing is selected. As on the
      // platform, a multi-line field does not report a text set this way.
      DefWindowProcW(window, message, wParam, lParam);
      state->anchor = state->caret = state->firstColumn = state->firstLine = 0;
      state->modified = false;
      InvalidateRect(window, nullptr, 0);
      if (!IsMultiLine(window)) NotifyChange(window, *state);
      return 1;
    case WM_SETFOCUS:
      InvalidateRect(window, nullptr, 0);
      NotifyParent(window, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      InvalidateRect(window, nullptr, 0);
      NotifyParent(window, EN_KILLFOCUS);
      return 0;
    case WM_ENABLE:
      InvalidateRect(window, nullptr, 0);
      return 0;
    case WM_KEYDOWN:
      return KeyDown(window, *state, wParam);
    case WM_CHAR:
      return Character(window, *state, static_cast<char16_t>(wParam));
    case WM_LBUTTONDBLCLK: {
      // A double click selects the word under the pointer.
      std::u16string text = Text(window);
      int32_t at = PositionAt(window, *state, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      int32_t end = at < Length(text) && IsWordChar(text[static_cast<size_t>(at)]) ? WordEnd(text, at) : at;
      int32_t start = at > 0 && IsWordChar(text[static_cast<size_t>(at - 1)]) ? WordStart(text, at) : at;
      SetSelection(window, *state, start, end);
      return 0;
    }
    case WM_LBUTTONDOWN:
      if (GetFocus() != window) SetFocus(window);
      MoveCaret(window, *state, PositionAt(window, *state, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}),
                ShiftDown());
      state->tracking = true;
      SetCapture(window);
      return 0;
    case WM_MOUSEMOVE:
      if (state->tracking)
        MoveCaret(window, *state, PositionAt(window, *state, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}),
                  true);
      return 0;
    case WM_LBUTTONUP:
      if (state->tracking) {
        state->tracking = false;
        ReleaseCapture();
      }
      return 0;
    case WM_CUT:
      if (IsReadOnly(window) || state->passwordChar) return 0;
      Copy(window, *state);
      ReplaceSelection(window, *state, u"", true);
      return 0;
    case WM_COPY:
      Copy(window, *state);
      return 0;
    case WM_PASTE:
      if (!IsReadOnly(window)) ReplaceSelection(window, *state, Clipboard::Text(), true);
      return 0;
    case WM_CLEAR:
      if (!IsReadOnly(window)) ReplaceSelection(window, *state, u"", true);
      return 0;
    case EM_GETSEL: {
      auto from = static_cast<DWORD>(std::min(state->anchor, state->caret));
      auto to = static_cast<DWORD>(std::max(state->anchor, state->caret));
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = from;
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = to;
      return static_cast<LRESULT>(MAKELPARAM(static_cast<int32_t>(from), static_cast<int32_t>(to)) &
                                  0xFFFFFFFF);
    }
    case EM_SETSEL:
      SetSelection(window, *state, static_cast<int32_t>(wParam), static_cast<int32_t>(lParam));
      return 0;
    case EM_REPLACESEL:
      ReplaceSelection(window, *state, lParam ? reinterpret_cast<const char16_t*>(lParam) : u"", false);
      return 0;
    case EM_LIMITTEXT:
      state->limit = wParam ? static_cast<int32_t>(std::min<WPARAM>(wParam, 0x7FFFFFFE)) : 0x7FFFFFFE;
      return 0;
    case EM_GETLIMITTEXT:
      return state->limit;
    case EM_GETMODIFY:
      return state->modified ? 1 : 0;
    case EM_SETMODIFY:
      state->modified = wParam != 0;
      return 0;
    case EM_SETPASSWORDCHAR:
      state->passwordChar = static_cast<char16_t>(wParam);
      InvalidateRect(window, nullptr, 0);
      return 0;
    case EM_SETREADONLY: {
      auto style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
      SetWindowLongPtrA(window, GWL_STYLE, wParam ? (style | ES_READONLY) : (style & ~ES_READONLY));
      InvalidateRect(window, nullptr, 0);
      return 1;
    }
    case EM_GETLINECOUNT: {
      std::u16string text = Text(window);
      return 1 + std::count(text.begin(), text.end(), u'\n');
    }
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace plat
