#pragma once
// The "SCROLLBAR" class (SBS_HORZ or SBS_VERT): two arrows, the page areas between them and the thumb.
// Pressing an arrow, a page area or dragging the thumb sends WM_HSCROLL or WM_VSCROLL to the parent
// with the SB_ code in the low word of wParam (the thumb's position in the high word for
// SB_THUMBTRACK and SB_THUMBPOSITION) and the control in lParam; the parent sets the new position.

#include "platform/Controls.h"

namespace plat {

class ScrollBar {
 public:
  static LRESULT Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // The first row a control whose bar scrolls by rows shows after the bar's `code`: a row, a page of
  // the `shown` rows, the dragged thumb's `position`, the top or `rowCount` (the caller clamps).
  // False for a code that asks for no move.
  // The range, page and position of a bar over `count` rows, `shown` of them from row `first`.
  static SCROLLINFO RowsInfo(int32_t count, int32_t shown, int32_t first);
  static bool RowForCode(WORD code, int32_t first, int32_t shown, int32_t rowCount, int32_t position,
                         int32_t& row);

 private:
  enum class Part { None, LowArrow, LowPage, Thumb, HighPage, HighArrow };
  struct State {
    int32_t minimum = 0;
    int32_t maximum = 100;
    UINT page = 0;
    int32_t position = 0;
    int32_t trackPosition = 0;
    bool disabled = false;  // EnableScrollBar(ESB_DISABLE_BOTH)
    Part pressed = Part::None;
    int32_t grabOffset = 0;  // thumb drag: pixels from the thumb's start to the press
  };
  struct Layout {
    int32_t length = 0;      // along the bar, pixels
    int32_t arrow = 0;       // each arrow's length
    int32_t thumbStart = 0;  // from the bar's start
    int32_t thumbLength = 0;
  };
  static State* StateOf(HWND window);
  static bool Vertical(HWND window);
  static Layout Measure(HWND window, const State& state);
  static Part HitTest(HWND window, const State& state, POINT point);
  static int32_t PositionAt(HWND window, const State& state, int32_t thumbStart);
  static void Notify(HWND window, WORD code, int32_t position);
  static LRESULT SetInfo(HWND window, State& state, const SCROLLINFO& info, bool redraw);
  static void Press(HWND window, State& state, POINT point);
  static void Drag(HWND window, State& state, POINT point);
  static void Release(HWND window, State& state);
  static void Paint(HWND window, HDC dc, const State& state);
  static void PaintArrow(HDC dc, const RECT& box, bool vertical, bool low, bool pressed, bool enabled);
};

}  // namespace plat
