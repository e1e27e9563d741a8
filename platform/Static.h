#pragma once
// The "STATIC" class: left, centred or right text (wrapped at words), a stock icon (SS_ICON, set by
// STM_SETICON or named by the window text "#<id>"), a black frame and an etched line.

#include "platform/WindowTypes.h"

namespace plat {

class Static {
 public:
  static LRESULT Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Draws a stock icon (IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION, IDI_ASTERISK) 32 by 32 at (x, y).
  static void DrawStockIcon(HDC dc, HICON icon, int32_t x, int32_t y);

 private:
  static void Paint(HWND window, HDC dc);
};

}  // namespace plat
