#pragma once
// The interactive backend on SDL2: the layer's top-level windows shown as desktop windows
// (SdlWindows), and the desktop's mouse, wheel, keys, text, close boxes, resizing, cursors, clipboard
// and dropped text (delivered to the window's drop target) turned into the layer's input, queued through
// the Desktop as the headless driver's input is. User-interface thread only.

#include <chrono>

namespace plat {

class SdlBackend {
 public:
  // Initialises SDL's video and takes over the clipboard and the screen size; false (with nothing
  // changed) when there is no display to open.
  static bool Start();
  // Closes every desktop window and gives the clipboard back to the process; the layer's windows stay.
  static void Stop();
  static bool Running();

  // Shows what changed, then turns waiting desktop events into queued input; waits up to `wait` for
  // the first event when none is waiting.
  static void Pump(std::chrono::milliseconds wait);
};

}  // namespace plat
