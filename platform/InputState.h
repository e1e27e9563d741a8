#pragma once
// What the layer knows of the keyboard and the mouse: the cursor position in screen pixels and which
// keys and buttons are down, as of the newest input the backend read (GetAsyncKeyState). GetKeyState
// answers as of the input the program has taken off the queue, from this and the input still queued.
// The cursor position may be read from any thread (messages posted by workers carry it).

#include <cstdint>

#include "platform/WindowTypes.h"

namespace plat {

class InputState {
 public:
  static POINT CursorPos();
  static void SetCursorPos(POINT screen);

  static bool IsDown(int32_t virtualKey);
  static void SetDown(int32_t virtualKey, bool down);  // a key going down flips its toggle state
  static bool IsToggled(int32_t virtualKey);
  // MK_ flags of the buttons and of Shift and Ctrl, as mouse messages carry them in wParam.
  static WPARAM MouseKeyFlags();
  static void Reset();
};

}  // namespace plat
