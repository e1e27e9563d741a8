// Top-level windows of an X display as the display tests meet them: found by title, and asked to
// close as a window manager's close box does. Shared by the x11_close_box and x11_drive helpers.
#pragma once

#include <X11/Xlib.h>

#include <string>

namespace x11test {

// The window's title: _NET_WM_NAME (UTF-8) when set, else WM_NAME.
std::string TitleOf(Display* display, Window window);

// The first mapped child of the root window titled `wanted`; 0 when none.
Window FindShown(Display* display, const std::string& wanted);

// An error handler for windows that vanish while asked about (see the source); install it with
// XSetErrorHandler before looking for windows.
int IgnoreVanishedWindows(Display*, XErrorEvent*);

// Sends `window` the WM_PROTOCOLS client message carrying WM_DELETE_WINDOW, and waits until the
// server has it.
void AskToClose(Display* display, Window window);

}  // namespace x11test
