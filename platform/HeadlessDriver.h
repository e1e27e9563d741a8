#pragma once
// Drives the desktop without a display, for tests: runs the queue until it is idle, answers loops
// that would wait through an idle script (or fails the test with a message after a timeout instead of
// hanging), and writes windows' pixels to PNG files. Every test of the program runs on it; it is also
// the default when no display is present. User-interface thread only.

#include <chrono>
#include <functional>
#include <string>

#include "platform/WindowTypes.h"

namespace plat {

class HeadlessDriver {
 public:
  // Desktop::Reset, then the driver waits for the loops that find nothing to do (its idle script
  // cleared, the timeout back to 5 seconds).
  static void Reset();

  // Dispatches every queued message, paints included, until nothing is left; answers how many. A
  // WM_QUIT stays queued for the loop that owns it. Fails the test when the queue never drains.
  static int32_t RunUntilIdle();

  // ---- Loops that would wait. When a loop finds nothing, the idle script runs; it answers true when
  // it did something (queued input, ended a dialog). Without a script, or when it answers false, the
  // loop waits for a post from another thread; after the timeout the test fails with a message that
  // names the waiting loop.
  static void SetIdleScript(std::function<bool()> script);
  static void SetIdleTimeout(std::chrono::milliseconds timeout);

  // Writes the pixels of a window, its children included, as a PNG file; false on failure.
  static bool DumpPng(HWND window, const std::string& path);
};

}  // namespace plat
