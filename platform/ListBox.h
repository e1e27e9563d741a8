#pragma once
// The "LISTBOX" class with one selection: a sunken white box of text rows, and a vertical scroll bar
// along its right edge whenever the rows outgrow the box. A click selects a row (LBN_SELCHANGE), a
// double click also sends LBN_DBLCLK; the arrow keys, Page Up / Down, Home, End and the wheel move
// through the rows. The LB_ messages of Controls.h fill and query it.

#include <string>
#include <vector>

#include "platform/WindowTypes.h"

namespace plat {

class ListBox {
 public:
  static LRESULT Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  struct State {
    std::vector<std::u16string> entries;
    int32_t selected = -1;
    int32_t top = 0;     // first row shown
    HWND bar = nullptr;  // the scroll bar, a child made with the box; hidden while every row shows
  };
  static State* StateOf(HWND window);
  static int32_t RowHeight(HWND window);
  static int32_t RowsShown(HWND window);
  static RECT RowsArea(HWND window, const State& state);
  static void Layout(HWND window, State& state);
  static void ScrollTo(HWND window, State& state, int32_t top);
  static void Select(HWND window, State& state, int32_t index, bool notify);
  static void Paint(HWND window, HDC dc, const State& state);
  static void OnScroll(HWND window, State& state, WORD code, int32_t position);
  static LRESULT ListMessage(HWND window, State& state, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace plat
