// x11_drive TITLE SECONDS STEP...: drives a program's top-level window on the X display of $DISPLAY
// as a user would, through the XTEST extension (real key and button events, not sent ones), and
// grabs its pixels. The app tests run it beside the program under Xvfb, where no window manager runs.
//
// It first waits until a viewable top-level window titled TITLE shows and its pixels stay still,
// then runs the steps in order:
//   key:NAME     gives the window the input focus (as a window manager does on a click), presses
//                and releases the key of X keysym NAME ("F8") and waits until the pixels change and
//                stay still; while they do not, the focus and the key are given again every 2 s (a
//                program still opening its windows may move the focus away from the first press),
//                so use it only for keys that do the same when pressed twice
//   chord:A+B    gives the window the input focus, presses the keys of X keysyms A, B, ... in that
//                order, releases them in the reverse order, once, and waits until the pixels stay
//                still (for shortcuts such as "Control_L+s", which need not change the window)
//   click:X,Y    moves the pointer to window pixel X,Y and presses and releases the first button; a
//                negative Y counts up from the window's bottom edge (-1 is the last pixel row)
//   changed      waits until the window's pixels differ from the last grab, then stay still
//   grab:FILE    waits until the pixels stay still and writes them to FILE as a binary PPM (P6)
//   close        asks the window to close as a window manager's close box does (WM_DELETE_WINDOW)
// "Still" means unchanged over 300 ms. Every wait ends at one deadline, SECONDS after the start.
// Exit status: 0 every step ran, 1 a wait ran out (the step is named on standard error), 2 no
// display, no XTEST extension or bad arguments.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "X11Windows.h"

namespace {

using Clock = std::chrono::steady_clock;

// The window's pixels as 8-bit red, green, blue triples, row by row.
struct Picture {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
  bool operator==(const Picture&) const = default;
};

class Driver {
 public:
  Driver(Display* display, Window window, Clock::time_point deadline)
      : display_(display), window_(window), deadline_(deadline) {}

  std::optional<Picture> Grab() const {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display_, window_, &attributes) == 0) return std::nullopt;
    XImage* image = XGetImage(display_, window_, 0, 0, unsigned(attributes.width),
                              unsigned(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr) return std::nullopt;
    Picture picture;
    picture.width = attributes.width;
    picture.height = attributes.height;
    picture.rgb.reserve(size_t(picture.width) * size_t(picture.height) * 3);
    for (int y = 0; y < picture.height; ++y)
      for (int x = 0; x < picture.width; ++x) {
        const unsigned long pixel = XGetPixel(image, x, y);
        picture.rgb.push_back((unsigned char)((pixel & image->red_mask) >> Shift(image->red_mask)));
        picture.rgb.push_back((unsigned char)((pixel & image->green_mask) >> Shift(image->green_mask)));
        picture.rgb.push_back((unsigned char)((pixel & image->blue_mask) >> Shift(image->blue_mask)));
      }
    XDestroyImage(image);
    return picture;
  }

  // Waits until the pixels stay the same for 300 ms (and, with `unlike`, differ from it first).
  bool Settle(const Picture* unlike) {
    constexpr auto kStill = std::chrono::milliseconds(300), kPoll = std::chrono::milliseconds(50);
    std::optional<Picture> previous;
    Clock::time_point sameSince = Clock::now();
    while (Clock::now() < deadline_) {
      std::optional<Picture> now = Grab();
      if (now && (unlike == nullptr || !(*now == *unlike))) {
        if (previous && *now == *previous) {
          if (Clock::now() - sameSince >= kStill) {
            last_ = std::move(*now);
            return true;
          }
        } else {
          previous = std::move(now);
          sameSince = Clock::now();
        }
      } else {
        previous.reset();
      }
      std::this_thread::sleep_for(kPoll);
    }
    return false;
  }

  bool Key(const std::string& name) {
    const KeySym symbol = XStringToKeysym(name.c_str());
    const KeyCode code = symbol == NoSymbol ? 0 : XKeysymToKeycode(display_, symbol);
    if (code == 0) return false;
    const Picture before = last_;
    const Clock::time_point end = deadline_;
    bool changed = false;
    while (!changed && Clock::now() < end) {
      XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
      XTestFakeKeyEvent(display_, code, True, CurrentTime);
      XTestFakeKeyEvent(display_, code, False, CurrentTime);
      XSync(display_, False);
      deadline_ = std::min(end, Clock::now() + std::chrono::seconds(2));
      changed = Settle(&before);
    }
    deadline_ = end;
    return changed;
  }

  bool Chord(const std::string& names) {
    std::vector<KeyCode> codes;
    for (size_t from = 0; from <= names.size();) {
      const size_t plus = std::min(names.find('+', from), names.size());
      const KeySym symbol = XStringToKeysym(names.substr(from, plus - from).c_str());
      const KeyCode code = symbol == NoSymbol ? 0 : XKeysymToKeycode(display_, symbol);
      if (code == 0) return false;
      codes.push_back(code);
      from = plus + 1;
    }
    XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
    for (KeyCode code : codes) XTestFakeKeyEvent(display_, code, True, CurrentTime);
    for (auto it = codes.rbegin(); it != codes.rend(); ++it)
      XTestFakeKeyEvent(display_, *it, False, CurrentTime);
    XSync(display_, False);
    return Settle(nullptr);
  }

  bool Click(int x, int y) {
    if (y < 0) {
      XWindowAttributes attributes;
      if (XGetWindowAttributes(display_, window_, &attributes) == 0) return false;
      y += attributes.height;
    }
    int rootX = 0, rootY = 0;
    Window child = 0;
    if (!XTranslateCoordinates(display_, window_, DefaultRootWindow(display_), x, y, &rootX, &rootY, &child))
      return false;
    XTestFakeMotionEvent(display_, DefaultScreen(display_), rootX, rootY, CurrentTime);
    XSync(display_, False);
    // The move first, as a hand makes it: the program sees the pointer over the button before it goes down.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XSync(display_, False);
    return true;
  }

  void Close() { x11test::AskToClose(display_, window_); }

  const Picture& Last() const { return last_; }

 private:
  static int Shift(unsigned long mask) {
    int shift = 0;
    while (mask != 0 && (mask & 1) == 0) mask >>= 1, ++shift;
    return shift;
  }

  Display* display_;
  Window window_;
  Clock::time_point deadline_;
  Picture last_;
};

bool WritePpm(const std::string& path, const Picture& picture) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << picture.width << " " << picture.height << "\n255\n";
  out.write(reinterpret_cast<const char*>(picture.rgb.data()), std::streamsize(picture.rgb.size()));
  return bool(out);
}

int Run(Display* display, const std::string& title, int seconds, const std::vector<std::string>& steps) {
  const Clock::time_point deadline = Clock::now() + std::chrono::seconds(seconds);
  Window window = 0;
  while ((window = x11test::FindShown(display, title)) == 0 && Clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  if (window == 0) {
    std::fprintf(stderr, "x11_drive: no window \"%s\" within %d s\n", title.c_str(), seconds);
    return 1;
  }
  Driver driver(display, window, deadline);
  if (!driver.Settle(nullptr)) {
    std::fprintf(stderr, "x11_drive: the window's pixels did not settle within %d s\n", seconds);
    return 1;
  }
  for (const std::string& step : steps) {
    const size_t colon = step.find(':');
    const std::string verb = step.substr(0, colon),
                      argument = colon == std::string::npos ? "" : step.substr(colon + 1);
    bool done = false;
    if (verb == "key") {
      done = driver.Key(argument);
    } else if (verb == "chord") {
      done = driver.Chord(argument);
    } else if (verb == "click") {
      int x = 0, y = 0;
      done = std::sscanf(argument.c_str(), "%d,%d", &x, &y) == 2 && driver.Click(x, y);
    } else if (verb == "changed") {
      const Picture before = driver.Last();
      done = driver.Settle(&before);
    } else if (verb == "grab") {
      done = driver.Settle(nullptr) && WritePpm(argument, driver.Last());
    } else if (verb == "close") {
      driver.Close();
      done = true;
    } else {
      std::fprintf(stderr, "x11_drive: unknown step \"%s\"\n", step.c_str());
      return 2;
    }
    if (!done) {
      std::fprintf(stderr, "x11_drive: the step \"%s\" did not finish within %d s\n", step.c_str(), seconds);
      return 1;
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: x11_drive TITLE SECONDS STEP...\n");
    return 2;
  }
  const int seconds = std::atoi(argv[2]);
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "x11_drive: no X display\n");
    return 2;
  }
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(display, &event, &error, &major, &minor)) {
    std::fprintf(stderr, "x11_drive: the display has no XTEST extension\n");
    XCloseDisplay(display);
    return 2;
  }
  XSetErrorHandler(x11test::IgnoreVanishedWindows);
  const int status = Run(display, argv[1], seconds, std::vector<std::string>(argv + 3, argv + argc));
  XCloseDisplay(display);
  return status;
}
