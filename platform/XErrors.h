#pragma once
// The X display's error reports. Xlib's own handler ends the process at the first error the server
// reports, losing the user's work for what is most often a request naming a window destroyed
// meanwhile (SDL sends its wake-up event to the newest window over a second connection, and a popup
// that closes at that moment is gone before the server reads it). Kept apart from the rest of the
// layer: Xlib's header defines macros (Status, None, Bool) that clash with the layer's names.

namespace plat {

class XErrors {
 public:
  // Installs a handler that writes each error to standard error and lets the program go on. Call it
  // after the display backend started: SDL's own handler passes every error on to Xlib's.
  static void ReportAndGoOn();
};

}  // namespace plat
