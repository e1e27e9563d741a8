#pragma once
// The choice of backend for people at a display: when one is present (DISPLAY or WAYLAND_DISPLAY set)
// and SDL opens it, the program's windows become desktop windows and message loops wait for the
// desktop's input; otherwise the waiter already installed (the headless driver's) stays in charge.

namespace plat {

class InteractiveBackend {
 public:
  // True when the interactive backend now runs.
  static bool StartIfDisplay();
  static void Stop();
};

}  // namespace plat
