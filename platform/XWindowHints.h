#pragma once
// What a window manager is told about a desktop window beyond what SDL says: that it is a dialog,
// and that it holds its owner (modal). SDL ties a window to its owner (WM_TRANSIENT_FOR) but types it
// a normal window; a window manager then neither keeps the focus on the box nor gives it a dialog's
// place. Kept apart from the rest of the layer: Xlib's header defines macros (Status, None, Bool)
// that clash with the layer's names. Does nothing for a window that no X display shows.

struct SDL_Window;

namespace plat {

class XWindowHints {
 public:
  // Marks a window as a dialog, and as modal when `modal`: a window manager keeps the focus on a
  // modal dialog rather than on the owner it holds. A window already shown (`shown`: tied once the
  // window it stands over showed) asks the window manager for the modal state as well.
  static void MarkDialog(SDL_Window* window, bool modal, bool shown = false);
  // Whether a window manager runs on the display that shows `window`: the root names, in
  // _NET_SUPPORTING_WM_CHECK, a window that names itself there.
  static bool WindowManagerRuns(SDL_Window* window);
};

}  // namespace plat
