#pragma once
// The "EDIT" class: single-line (scrolling sideways to keep the caret in view) and multi-line text
// fields, read-only, password characters, a length limit, a selection from an anchor to the caret,
// the caret, keyboard and mouse editing, cut, copy and paste through the clipboard (Clipboard.h), and
// EN_CHANGE to the parent after every change made by the user or by a message. The rich-edit class
// (RichEdit.h) is the same control with its extra messages.

#include <string>

#include "platform/WindowTypes.h"

namespace plat {

struct EditState {
  int32_t anchor = 0;  // selection: from the anchor to the caret, in UTF-16 units
  int32_t caret = 0;
  int32_t limit = 30000;    // most characters the user may type or paste
  int32_t firstColumn = 0;  // single-line: first unit shown
  int32_t firstLine = 0;    // multi-line: first line shown
  char16_t passwordChar = 0;
  bool modified = false;
  bool tracking = false;  // selecting with the mouse
  bool rich = false;
  LPARAM eventMask = 0;  // rich edit: ENM_ flags (EN_CHANGE only with ENM_CHANGE)
  COLORREF background = RGB(255, 255, 255);
  COLORREF textColor = RGB(0, 0, 0);
};

class Edit {
 public:
  static LRESULT Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static EditState* StateOf(HWND window);

  // Replaces the selection with `text` (cut to the limit when `byUser`), puts the caret after it and
  // sends EN_CHANGE.
  static void ReplaceSelection(HWND window, EditState& state, std::u16string text, bool byUser);
  static void SetSelection(HWND window, EditState& state, int32_t anchor, int32_t caret);

 private:
  static std::u16string Text(HWND window);
  static void StoreText(HWND window, const std::u16string& text);
  static bool IsMultiLine(HWND window);
  static bool IsReadOnly(HWND window);
  static LRESULT KeyDown(HWND window, EditState& state, WPARAM key);
  static LRESULT Character(HWND window, EditState& state, char16_t c);
  static void MoveCaret(HWND window, EditState& state, int32_t to, bool extend);
  static int32_t LineStart(const std::u16string& text, int32_t at);
  static int32_t LineEnd(const std::u16string& text, int32_t at);
  static int32_t VerticalMove(HWND window, const std::u16string& text, int32_t at, int32_t lines);
  static int32_t PositionAt(HWND window, EditState& state, POINT point);
  static int32_t LineHeight(HWND window);
  static void KeepCaretVisible(HWND window, EditState& state);
  static void Paint(HWND window, HDC dc, EditState& state);
  static std::u16string Shown(const EditState& state, const std::u16string& text);
  static void Copy(HWND window, const EditState& state);
  static void NotifyChange(HWND window, const EditState& state);
};

}  // namespace plat
