// x11_close_box TITLE [SECONDS]: waits until a top-level window titled TITLE shows on the X display
// of $DISPLAY, then asks it to close exactly as a window manager does when the user clicks its close
// box (a WM_PROTOCOLS client message carrying WM_DELETE_WINDOW). The app tests run it beside the
// program under Xvfb, where no window manager draws close boxes. Exit status: 0 the request was
// sent, 1 no such window within SECONDS (30 unless given), 2 no display or bad arguments.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

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

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: x11_close_box TITLE [SECONDS]\n");
    return 2;
  }
  const std::string title = argv[1];
  const int seconds = argc == 3 ? std::atoi(argv[2]) : 30;
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "x11_close_box: no X display\n");
    return 2;
  }
  XSetErrorHandler(IgnoreVanishedWindows);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  Window window = 0;
  while ((window = FindShown(display, title)) == 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  if (window == 0) {
    std::fprintf(stderr, "x11_close_box: no window \"%s\" within %d s\n", title.c_str(), seconds);
    XCloseDisplay(display);
    return 1;
  }
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XSync(display, False);
  XCloseDisplay(display);
  return 0;
}
