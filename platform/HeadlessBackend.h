#pragma once
// The headless backend: a virtual screen with no display, a clock that tests set, injected mouse and
// keyboard input, "run until idle", scripted answers for loops that would wait, and logs of beeps and
// cursors. Every test of the program runs on it; it is also the default when no display is present.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "platform/WindowTypes.h"

namespace plat {

class HeadlessBackend {
 public:
  // A fresh desktop: every window destroyed, classes forgotten, the queue emptied, keys released,
  // the clock manual at 0, logs and scripts cleared, no task bar.
  static void Reset();

  // ---- Input, in screen pixels. Each call queues what the platform would queue.
  static void MouseMove(POINT screen);
  // `button` is VK_LBUTTON, VK_RBUTTON or VK_MBUTTON.
  static void MouseButton(int32_t button, bool down, POINT screen);
  static void Click(POINT screen);  // left press and release
  // A key going down or up; `extended` marks the navigation block (lParam bit 24).
  static void Key(int32_t virtualKey, bool down, bool extended = false);
  static void Char(char16_t character);
  // The user clicks a top-level window's close box (WM_SYSCOMMAND SC_CLOSE).
  static void RequestClose(HWND window);
  // The user drags an edge (WMSZ_ value) of a top-level window to `proposed` (screen pixels): the
  // window gets WM_SIZING to adjust it, then is moved and sized to what it answered.
  static void RequestResize(HWND window, WPARAM edge, RECT proposed);

  // Dispatches every queued message, paints included, until nothing is left; answers how many. A
  // WM_QUIT stays queued for the loop that owns it. Fails the test when the queue never drains.
  static int32_t RunUntilIdle();

  // ---- Loops that would wait. When GetMessage finds nothing, the idle script runs; it answers true
  // when it did something (queued input, ended a dialog). Without a script, or when it answers false,
  // the loop waits for a post from another thread; after the timeout the test fails with a message
  // that names the waiting loop, instead of hanging.
  static void SetIdleScript(std::function<bool()> script);
  static void SetIdleTimeout(std::chrono::milliseconds timeout);
  static void WaitForWork();  // called by GetMessage
  // An interactive backend waits for its own events instead: while a hook is set, WaitForWork calls
  // it in place of the idle script and the timeout (null restores the headless wait).
  static void SetWaitHook(std::function<void()> hook);

  // ---- Logs and state.
  static void RecordBeep(UINT type);
  static const std::vector<UINT>& Beeps();
  static void SetCurrentCursor(HCURSOR cursor);
  static HCURSOR CurrentCursor();
  // The task bar's rectangle on the virtual screen; none until a test sets one.
  static void SetTaskBar(const RECT* rect);
  static bool TaskBar(RECT* rect);

  // Writes the pixels of a window, its children included, as a PNG file; false on failure.
  static bool DumpPng(HWND window, const std::string& path);
};

}  // namespace plat
