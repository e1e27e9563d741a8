#include "X11Windows.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

namespace x11test {

Window WalkBelow(Display* display, Window window, const std::function<bool(Window)>& visit) {
  std::vector<Window> level{window};
  while (!level.empty()) {
    std::vector<Window> next;
    for (Window w : level) {
      Window root = 0, parent = 0, *children = nullptr;
      unsigned int count = 0;
      if (XQueryTree(display, w, &root, &parent, &children, &count) == 0) continue;
      Window found = 0;
      for (unsigned int i = 0; i < count && found == 0; ++i) {
        if (visit(children[i])) found = children[i];
        next.push_back(children[i]);
      }
      if (children != nullptr) XFree(children);
      if (found != 0) return found;
    }
    level = std::move(next);
  }
  return 0;
}

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

namespace {

bool HasWmState(Display* display, Window window) {
  const Atom state = XInternAtom(display, "WM_STATE", False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  const bool found = XGetWindowProperty(display, window, state, 0, 0, False, AnyPropertyType, &type, &format,
                                        &count, &after, &data) == Success &&
                     type != None;
  if (data != nullptr) XFree(data);
  return found;
}

// The first window under `window` (breadth first) that carries WM_STATE; 0 when none.
Window ManagedBelow(Display* display, Window window) {
  return WalkBelow(display, window, [display](Window w) { return HasWmState(display, w); });
}

// The window a property of type WINDOW names; 0 when it is not set.
Window WindowProperty(Display* display, Window window, const char* name) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  Window found = 0;
  if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1, False, XA_WINDOW, &type,
                         &format, &count, &after, &data) == Success &&
      data != nullptr) {
    if (count == 1 && format == 32) found = Window(*reinterpret_cast<const unsigned long*>(data));
    XFree(data);
  }
  return found;
}

}  // namespace

Window ClientOf(Display* display, Window top) {
  if (HasWmState(display, top)) return top;
  const Window below = ManagedBelow(display, top);
  return below != 0 ? below : top;
}

std::vector<Shown> ShownWindows(Display* display) {
  Window root = 0, parent = 0, *children = nullptr;
  unsigned int count = 0;
  std::vector<Shown> shown;
  if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0) return shown;
  for (unsigned int i = 0; i < count; ++i) {  // bottom to top
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, children[i], &attributes) == 0 || attributes.map_state != IsViewable)
      continue;
    const Window client = ClientOf(display, children[i]);
    if (client != children[i] &&
        (XGetWindowAttributes(display, client, &attributes) == 0 || attributes.map_state != IsViewable))
      continue;
    shown.push_back(Shown{children[i], client});
  }
  if (children != nullptr) XFree(children);
  return shown;
}

Window FindShown(Display* display, const std::string& wanted) {
  for (const Shown& s : ShownWindows(display))
    if (TitleOf(display, s.client) == wanted) return s.client;
  return 0;
}

bool WindowManagerRuns(Display* display) {
  const Window check = WindowProperty(display, DefaultRootWindow(display), "_NET_SUPPORTING_WM_CHECK");
  return check != 0 && WindowProperty(display, check, "_NET_SUPPORTING_WM_CHECK") == check;
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
