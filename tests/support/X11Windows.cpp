#include "X11Windows.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

namespace x11test {

// The window's title: _NET_WM_NAME (UTF-8) when set, else WM_NAME.
std::string TitleOf(Display* display, Window window) {
  const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count, &after,
                         &data) == Success &&
      data != nullptr) {
    title.assign(reinterpret_cast<const char*>(data), count);
    XFree(data);
  }
  if (title.empty()) {
    char* name = nullptr;
    if (XFetchName(display, window, &name) != 0 && name != nullptr) {
      title = name;
      XFree(name);
    }
  }
  return title;
}

// The first mapped child of the root window titled `wanted`; 0 when none.
Window FindShown(Display* display, const std::string& wanted) {
  Window root = 0, parent = 0, *children = nullptr;
  unsigned int count = 0;
  if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0) return 0;
  Window found = 0;
  for (unsigned int i = 0; i < count && found == 0; ++i) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, children[i], &attributes) == 0) continue;
    if (attributes.map_state == IsViewable && TitleOf(display, children[i]) == wanted) found = children[i];
  }
  if (children != nullptr) XFree(children);
  return found;
}

// A window listed by the query may be gone before it is asked about (the splash closes while the
// frame opens): Xlib's own handler would end this program for that, so such errors are only skipped.
int IgnoreVanishedWindows(Display*, XErrorEvent*) { return 0; }

void AskToClose(Display* display, Window window) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XSync(display, False);
}

}  // namespace x11test
