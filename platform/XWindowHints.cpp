#include "platform/XWindowHints.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace plat {

void XWindowHints::MarkDialog(SDL_Window* window, bool modal, bool shown) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
  Display* display = info.info.x11.display;
  const ::Window x = info.info.x11.window;
  // A window not mapped yet: both properties are read when it is.
  const Atom type = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
  XChangeProperty(display, x, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(&type), 1);
  if (modal) {
    const Atom state = XInternAtom(display, "_NET_WM_STATE_MODAL", False);
    XChangeProperty(display, x, XInternAtom(display, "_NET_WM_STATE", False), XA_ATOM, 32, PropModeAppend,
                    reinterpret_cast<const unsigned char*>(&state), 1);
    if (shown) {
      // A mapped window's state belongs to the window manager: it is asked to add the state.
      XEvent ask{};
      ask.xclient.type = ClientMessage;
      ask.xclient.window = x;
      ask.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
      ask.xclient.format = 32;
      ask.xclient.data.l[0] = 1;  // add
      ask.xclient.data.l[1] = long(state);
      ask.xclient.data.l[3] = 1;  // asked by an application
      XSendEvent(display, DefaultRootWindow(display), False,
                 SubstructureRedirectMask | SubstructureNotifyMask, &ask);
    }
  }
  XFlush(display);
}

namespace {

// The window a window names in _NET_SUPPORTING_WM_CHECK, or 0.
::Window CheckWindowOf(Display* display, ::Window window, Atom check) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, left = 0;
  unsigned char* data = nullptr;
  ::Window named = 0;
  if (XGetWindowProperty(display, window, check, 0, 1, False, XA_WINDOW, &type, &format, &count, &left,
                         &data) == Success &&
      data != nullptr && type == XA_WINDOW && format == 32 && count == 1)
    named = *reinterpret_cast<::Window*>(data);
  if (data != nullptr) XFree(data);
  return named;
}

}  // namespace

bool XWindowHints::WindowManagerRuns(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
  Display* display = info.info.x11.display;
  const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
  const ::Window named = CheckWindowOf(display, DefaultRootWindow(display), check);
  // A window manager that died leaves the root's property naming a window that is gone (the error
  // handler lets the failed read go) or that no longer names itself.
  return named != 0 && CheckWindowOf(display, named, check) == named;
}

}  // namespace plat
