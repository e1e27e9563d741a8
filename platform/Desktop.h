#pragma once
// The desktop the layer's windows live on: a virtual screen, the input the user gives (mouse, keys,
// close boxes, resizing), the current cursor, beeps, the task bar, and how a message loop waits when
// its queue is empty. Headless tests drive it through HeadlessDriver; the SDL backend feeds it the
// real display's input. User-interface thread only.

#include <functional>
#include <vector>

#include "platform/WindowTypes.h"

namespace plat {

class Desktop {
 public:
  // A fresh desktop, as at the start of the process: every window destroyed, the queue emptied,
  // every module on the reset list (ResetList.h) back in its starting state, and then the layer's
  // built-in window classes and the menu bar registered once. The waiter stays: it belongs to the
  // backend that runs, not to the desktop's state.
  static void Reset();

  // ---- Input, in screen pixels. Each call queues what the platform would queue.
  // The mouse goes to the window that holds the capture, else to the window under the pointer:
  // `shown` names the top-level window a real display shows there (its window manager stacks the
  // windows, not the layer); without it the layer's own order decides.
  static void MouseMove(POINT screen, HWND shown = nullptr);
  // `button` is VK_LBUTTON, VK_RBUTTON or VK_MBUTTON.
  static void MouseButton(int32_t button, bool down, POINT screen, HWND shown = nullptr);
  static void Click(POINT screen);  // left press and release
  // A key going down or up; `extended` marks the navigation block (lParam bit 24).
  static void Key(int32_t virtualKey, bool down, bool extended = false);
  static void Char(char16_t character);
  // The user clicks a top-level window's close box (WM_SYSCOMMAND SC_CLOSE); while a window holds the
  // mouse capture the click is a left press and release where the pointer is, which go to that window.
  static void RequestClose(HWND window);
  // The user drags an edge (WMSZ_ value) of a top-level window to `proposed` (screen pixels): the
  // window gets WM_SIZING to adjust it, then is moved and sized to what it answered.
  static void RequestResize(HWND window, WPARAM edge, RECT proposed);

  // ---- Waiting. A message loop whose queue is empty calls WaitForWork (through WaitMessage or
  // GetMessage); it runs the waiter the backend installed, which returns once there may be work.
  // Without a waiter it waits for a post from another thread.
  using Waiter = std::function<void()>;
  static Waiter SetWaiter(Waiter waiter);  // answers the waiter it replaces
  static void WaitForWork();

  // ---- Beeps, the cursor and the task bar.
  static void RecordBeep(UINT type);
  static const std::vector<UINT>& Beeps();
  static void SetCurrentCursor(HCURSOR cursor);
  static HCURSOR CurrentCursor();
  // The task bar's rectangle on the virtual screen; none until someone sets one.
  static void SetTaskBar(const RECT* rect);
  static bool TaskBar(RECT* rect);
  // The work area, the part of the screen windows are placed in (a maximised one fills it): the one
  // the display's desktop gives (a window manager's, without its panels) when the backend set one,
  // else the screen less the task bar's strip.
  static void SetWorkArea(const RECT* rect);
  static RECT WorkArea();
};

}  // namespace plat
