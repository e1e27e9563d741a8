// Top-level windows of an X display as the display tests meet them: found by title, in stacking
// order, and asked to close as a window manager's close box does, with or without a window manager
// (one that reparents puts each program window into a frame of its own: the root's child is then the
// frame, and the program's window, the client, lies inside it). Shared by the x11_close_box and
// x11_drive helpers.
#pragma once

#include <X11/Xlib.h>

#include <functional>
#include <string>
#include <vector>

namespace x11test {

// Visits the windows under `window`, breadth first, until `visit` answers true for one; answers that
// window, or 0 when the walk ends.
Window WalkBelow(Display* display, Window window, const std::function<bool(Window)>& visit);

// The window's title: _NET_WM_NAME (UTF-8) when set, else WM_NAME.
std::string TitleOf(Display* display, Window window);

// The program's window a child of the root shows: the root's child itself when it carries WM_STATE
// (a window manager marks the windows it manages so) or nothing under it does (no window manager, or
// a menu or tip, which no window manager takes), else the first window under it that carries it.
Window ClientOf(Display* display, Window top);

// A viewable window of the display: the root's child (a window manager's frame, or the window itself
// without one) and the program's window it shows.
struct Shown {
  Window top = 0;
  Window client = 0;
};
// The viewable windows, bottom to top as the display stacks them.
std::vector<Shown> ShownWindows(Display* display);

// The first viewable top-level window titled `wanted` (the client, inside a window manager's frame);
// 0 when none.
Window FindShown(Display* display, const std::string& wanted);

// Whether a window manager runs on the display: the root names, in _NET_SUPPORTING_WM_CHECK, a window
// that names itself there.
bool WindowManagerRuns(Display* display);

// An error handler for windows that vanish while asked about (see the source); install it with
// XSetErrorHandler before looking for windows.
int IgnoreVanishedWindows(Display*, XErrorEvent*);

// Sends `window` the WM_PROTOCOLS client message carrying WM_DELETE_WINDOW, and waits until the
// server has it.
void AskToClose(Display* display, Window window);

}  // namespace x11test
