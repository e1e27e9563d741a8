#pragma once
// The interactive backend on SDL2: the layer's top-level windows shown as desktop windows
// (SdlWindows), and the desktop's mouse, wheel, keys, text, close boxes, resizing, cursors, clipboard
// and dropped text turned into the layer's input, queued the way the headless backend queues it.
// User-interface thread only.

#include <chrono>
#include <functional>
#include <string>

#include "platform/WindowTypes.h"

namespace plat {

class SdlBackend {
 public:
  // Initialises SDL's video and takes over the clipboard and the screen size; false (with nothing
  // changed) when there is no display to open.
  static bool Start();
  // Closes every desktop window and SDL; the layer's windows stay.
  static void Stop();
  static bool Running();

  // Shows what changed, then turns waiting desktop events into queued input; waits up to `wait` for
  // the first event when none is waiting.
  static void Pump(std::chrono::milliseconds wait);

  // Text (or a file's path) dropped on a window at a screen point. Nothing is done with drops while
  // no handler is set.
  using DropHandler = std::function<void(HWND window, POINT screen, const std::u16string& text)>;
  static void SetDropHandler(DropHandler handler);
};

}  // namespace plat
