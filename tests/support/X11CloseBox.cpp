// x11_close_box TITLE [SECONDS]: waits until a top-level window titled TITLE shows on the X display
// of $DISPLAY, then asks it to close exactly as a window manager does when the user clicks its close
// box (a WM_PROTOCOLS client message carrying WM_DELETE_WINDOW). The app tests run it beside the
// program under Xvfb, where no window manager draws close boxes. The request is made again every 2 s
// while the window stays and SECONDS last: a press the program takes first (the start-up's splash
// holds the mouse and goes on the first one) leaves the window standing. Exit status: 0 the request
// was sent, 1 no such window within SECONDS (30 unless given), 2 no display or bad arguments.
#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "X11Windows.h"

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
  XSetErrorHandler(x11test::IgnoreVanishedWindows);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  Window window = 0;
  while ((window = x11test::FindShown(display, title)) == 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  if (window == 0) {
    std::fprintf(stderr, "x11_close_box: no window \"%s\" within %d s\n", title.c_str(), seconds);
    XCloseDisplay(display);
    return 1;
  }
  x11test::AskToClose(display, window);
  auto again = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (std::chrono::steady_clock::now() < deadline && x11test::FindShown(display, title) == window) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (std::chrono::steady_clock::now() < again) continue;
    x11test::AskToClose(display, window);
    again += std::chrono::seconds(2);
  }
  XCloseDisplay(display);
  return 0;
}
