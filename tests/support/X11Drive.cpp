// x11_drive TITLE SECONDS STEP...: drives a program's top-level window on the X display of $DISPLAY
// as a user would, through the XTEST extension (real key and button events, not sent ones), and
// grabs its pixels. The app tests run it beside the program under Xvfb, most often with no window
// manager; under one that puts windows into frames (openbox) the steps find the program's windows
// inside the frames and take the stacking order from the frames.
// x11_drive --window-manager SECONDS: waits until a window manager runs on the display; exit status
// 0 when one does, 1 when none did within SECONDS.
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
//   grabpopup:FILE  writes the newest other window's pixels (a menu, a box) to FILE, 300 ms after it
//                shows
//   close        asks the window to close as a window manager's close box does (WM_DELETE_WINDOW)
//   closebox     clicks the close button that the window manager draws on the window's frame (it
//                raises and focuses the frame on the press, then asks the window to close); then
//                `alive`; fails where no window manager frames the window
//   titlebar     clicks the middle of the title bar that the window manager draws over the window
//                (it raises and focuses the frame; the program sees no click); then `alive`
//   popups:N     waits until N other top-level windows show (a box over a dialog: 2); then `alive`
//   ontop        waits until the newest other top-level window (the open box) stands above the
//                program's window in the stacking order and the screen where it stands shows the
//                box's own pixels as they were when this step first found it on top (up to 2 % may
//                differ: a caret, a focus ring); use it once when the box opens, then after each
//                click that might have hidden it
//   closed       asks as `close` does, again every 2 s while the window stays (one held by a box or
//                a print job ignores its close box), and waits until it is gone
//   alive        the program answers a ping (_NET_WM_PING, which SDL answers whenever it reads its
//                input) within 10 s; a program that hangs, spins or died fails here
//   tap:KEYS     presses KEYS ("F4", "Control_L+z", "Alt_L+f": keysyms joined by "+", released in
//                reverse order) where the display's input focus is, without giving the window the
//                focus first and without waiting for a change; then `alive`
//   press:X,Y,MS presses the first button at window pixel X,Y, holds it MS milliseconds, releases it;
//                then `alive`
//   drag:X,Y,U,V presses at X,Y, moves in ten steps to U,V and releases there; then `alive`
//   down:X,Y     moves the pointer to X,Y and presses the first button, holding it; then `alive`
//   move:X,Y     moves the pointer in ten steps from where it is to X,Y (a held button stays held);
//                then `alive`
//   up           releases the first button where the pointer is; then `alive`
//   hold:KEY     presses the key of X keysym KEY ("Alt_L") where the input focus is and keeps it
//                down over the next steps; then `alive`
//   let:KEY      releases a key `hold` pressed; then `alive`
//   cursor:FILE  waits until the pointer's cursor image stays the same for 300 ms and writes it to
//                FILE as a PAM (P7, RGB_ALPHA, alpha not premultiplied) with a comment line
//                "# hot X Y" naming its hot spot (needs the XFIXES extension)
//   popup        waits until another top-level window of the display shows (a menu, a box)
//   nopopup      waits until none but the window shows any more; then `alive`
//   popclick:X,Y clicks pixel X,Y of the newest other top-level window (negative X or Y count from
//                its right or bottom edge) and waits until that window closes; then `alive`
//   poppress:X,Y clicks pixel X,Y of the newest other top-level window (as popclick) and leaves it
//                open (a check box or a radio button of a dialog); then `alive`
//   boxpress:N,X,Y  as poppress, on the other window N places under the newest (1: the box under the
//                open one)
//   tied:N>M     waits until the other window N places under the newest tells the window manager
//                that it is a dialog (_NET_WM_WINDOW_TYPE), modal (_NET_WM_STATE) and transient for
//                the other window M places under the newest (WM_TRANSIENT_FOR); "tied:N>main": for
//                the program's window
//   transient:N>M  as tied, the transient-for tie alone (a drop-down list)
//   untied       the program's window is transient for no window and no dialog
//   quit:X,Y     clicks pixel X,Y of the newest other top-level window (as popclick), an answer that
//                ends the program (Don't Save in the question a close asks), and waits until the
//                program's window is gone
//   dismiss      closes whatever other window is open with Escape (and Enter for a box that
//                Escape leaves open), as a user would; then `nopopup`
//   title:TEXT   waits until the newest other top-level window is titled TEXT
//   focused      the display's input focus is on one of the program's windows (not on none)
//   popfocused   the display's input focus is on the newest popup or inside it (waits up to 10 s)
//   soak:N,SEED  N random steps a user could make (keys, clicks, drags, menus opened and closed)
//                with `alive` after each; prints what it did on standard output
//   resize:W,H   sets the window's size to W by H pixels as a window manager does for a drag of its
//                edge, and waits until the program took it and the pixels stay still (the program
//                may keep a size of its own: its smallest)
//   restore      un-maximises the program's window as the window manager's maximise button does on
//                a maximised window, and waits until the window manager says it is no longer
//                maximised and its frame and pixels stay still; fails where no window manager frames
//                the window
//   frame        prints the window manager's frame round the program's window, the window's own
//                size and the screen's, as "frame X,Y WxH client WxH screen WxH" (frame pixels on the
//                screen, border included); fails where no window manager frames the window
//   spawn:CMD    runs the shell command CMD in the background (another start of the program, say),
//                its output discarded, without waiting for it
// "Still" means unchanged over 300 ms. Every wait ends 20 s after its step began, and all of them at
// one deadline, SECONDS after the start; the checks that read the program's answer (alive, popup,
// nopopup) end 10 s after they began.
// Exit status: 0 every step ran, 1 a wait ran out (the step is named on standard error), 2 no
// display, no XTEST extension or bad arguments.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#if defined(PLANNER_DRIVE_XFIXES)
#include <X11/extensions/Xfixes.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "X11Windows.h"

namespace {

using Clock = std::chrono::steady_clock;

// How long a program may take to answer a ping, or to show or close a window, before it counts as hung.
constexpr auto kAnswerTime = std::chrono::seconds(10);
// How long any one step may take, a first 3D frame or a slow start of a sanitizer build included.
constexpr auto kStepTime = std::chrono::seconds(20);

// The window's pixels as 8-bit red, green, blue triples, row by row.
struct Picture {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
  bool operator==(const Picture&) const = default;
};

bool WritePpm(const std::string& path, const Picture& picture);

class Driver {
 public:
  Driver(Display* display, Window window, Clock::time_point deadline)
      : display_(display), window_(window), deadline_(deadline), end_(deadline) {
    // The ping's answer is sent to the root window for its substructure listeners.
    XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
    shownAtStart_ = OtherWindows();
  }

  bool WindowExists() const {
    XWindowAttributes attributes;
    return XGetWindowAttributes(display_, window_, &attributes) != 0;
  }

  // Pings the window as a window manager does and waits for SDL's answer.
  bool Alive() {
    if (!WindowExists()) return Fail("the program's window is gone (did it crash?)");
    const Atom protocols = XInternAtom(display_, "WM_PROTOCOLS", False);
    const Atom ping = XInternAtom(display_, "_NET_WM_PING", False);
    const long stamp = ++pings_;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window_;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(ping);
    event.xclient.data.l[1] = stamp;
    event.xclient.data.l[2] = long(window_);
    XSendEvent(display_, window_, False, NoEventMask, &event);
    XSync(display_, False);
    const Clock::time_point end = std::min(deadline_, Clock::now() + kAnswerTime);
    while (Clock::now() < end) {
      while (XPending(display_) > 0) {
        XEvent answer;
        XNextEvent(display_, &answer);
        if (answer.type == ClientMessage && answer.xclient.message_type == protocols &&
            answer.xclient.data.l[0] == long(ping) && answer.xclient.data.l[1] == stamp)
          return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return Fail(WindowExists() ? "the program did not answer a ping within 10 s (hung)"
                               : "the program's window is gone (did it crash?)");
  }

  // Presses the keys of `chord` ("Control_L+z") in order and releases them in reverse order.
  bool PressChord(const std::string& chord) {
    std::vector<KeyCode> codes;
    std::stringstream parts(chord);
    for (std::string name; std::getline(parts, name, '+');) {
      const KeySym symbol = XStringToKeysym(name.c_str());
      const KeyCode code = symbol == NoSymbol ? 0 : XKeysymToKeycode(display_, symbol);
      if (code == 0) return Fail("no key " + name);
      codes.push_back(code);
    }
    for (KeyCode code : codes) XTestFakeKeyEvent(display_, code, True, CurrentTime);
    for (auto it = codes.rbegin(); it != codes.rend(); ++it)
      XTestFakeKeyEvent(display_, *it, False, CurrentTime);
    XSync(display_, False);
    return true;
  }

  bool Tap(const std::string& chord) { return PressChord(chord) && Alive(); }

  bool Resize(int width, int height) {
    if (width <= 0 || height <= 0) return Fail("no such size");
    XResizeWindow(display_, window_, unsigned(width), unsigned(height));
    XSync(display_, False);
    return Settle(nullptr);
  }

  // Presses (or with `down` false releases) the key of keysym `name` alone, for a key held over
  // other steps (Alt held through a drag).
  bool HoldKey(const std::string& name, bool down) {
    const KeySym symbol = XStringToKeysym(name.c_str());
    const KeyCode code = symbol == NoSymbol ? 0 : XKeysymToKeycode(display_, symbol);
    if (code == 0) return Fail("no key " + name);
    XTestFakeKeyEvent(display_, code, down ? True : False, CurrentTime);
    XSync(display_, False);
    return Alive();
  }

  bool Press(int x, int y, int milliseconds) {
    if (!MoveTo(window_, x, y)) return Fail("no such place in the window");
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XSync(display_, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XSync(display_, False);
    return Alive();
  }

  bool Drag(int x, int y, int u, int v) {
    if (!MoveTo(window_, x, y)) return Fail("no such place in the window");
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XSync(display_, False);
    if (!Taken()) return false;
    for (int step = 1; step <= 10; ++step) {
      std::this_thread::sleep_for(std::chrono::milliseconds(30));
      MoveTo(window_, x + (u - x) * step / 10, y + (v - y) * step / 10);
    }
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XSync(display_, False);
    return Alive();
  }

  bool Down(int x, int y) {
    if (!MoveTo(window_, x, y)) return Fail("no such place in the window");
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XSync(display_, False);
    return Taken();
  }

  // Waits until the program has handled what was sent so far, not only read it: the program answers
  // a ping while it reads input, before it handles what it read, so a second ping is answered only
  // once it looks for input again. A press handled late would see the drag's release close behind it
  // and count the drag as a click (a release within 200 ms of the press is one).
  bool Taken() { return Alive() && Alive(); }

  bool MoveAlong(int u, int v) {
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned int buttons = 0;
    if (!XQueryPointer(display_, window_, &root, &child, &rootX, &rootY, &x, &y, &buttons))
      return Fail("the pointer is on another screen");
    XWindowAttributes attributes{};
    if ((u < 0 || v < 0) && XGetWindowAttributes(display_, window_, &attributes) == 0)
      return Fail("the program's window is gone");
    if (u < 0) u += attributes.width;
    if (v < 0) v += attributes.height;
    for (int step = 1; step <= 10; ++step) {
      std::this_thread::sleep_for(std::chrono::milliseconds(30));
      MoveTo(window_, x + (u - x) * step / 10, y + (v - y) * step / 10);
    }
    return Alive();
  }

  bool Up() {
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XSync(display_, False);
    return Alive();
  }

  // Clicks pixel x,y of the newest other window and leaves it open.
  bool PopupPress(int x, int y) {
    if (!WaitPopup(true)) return false;
    const std::optional<Window> popup = Newest();
    if (!popup || !MoveTo(*popup, x, y)) return Fail("the popup vanished");
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XSync(display_, False);
    return Alive();
  }

  // Presses pixel x,y of the other window `fromTop` places under the newest (1: the box under the
  // open one) and leaves it open; then `alive`.
  bool BoxPress(size_t fromTop, int x, int y) {
    const std::optional<Window> box = Other(fromTop);
    if (!box) return Fail("fewer than " + std::to_string(fromTop + 1) + " other windows show");
    if (!MoveTo(*box, x, y)) return Fail("the box vanished");
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XSync(display_, False);
    return Alive();
  }

  // Waits until the other window `box` places under the newest tells the window manager that it is
  // transient for the other window `owner` places under the newest (or, with `owner` negative, for
  // the program's window), and with `dialog` that it is a dialog and modal.
  bool Tied(size_t box, int owner, bool dialog) {
    const Clock::time_point end = std::min(deadline_, Clock::now() + kAnswerTime);
    std::string why;
    while (Clock::now() < end) {
      why = NotTied(box, owner, dialog);
      if (why.empty()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return Fail(why);
  }

  // Whether the program's window stands on its own: transient for no window, and no dialog.
  bool Untied() {
    Window owner = 0;
    if (XGetTransientForHint(display_, window_, &owner) != 0 && owner != 0)
      return Fail("the program's window is transient for \"" + x11test::TitleOf(display_, owner) + "\"");
    if (Has(window_, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DIALOG"))
      return Fail("the program's window says it is a dialog");
    return true;
  }

  // The cursor image shown once the program has handled the input sent so far and it then stayed
  // the same for 300 ms, written as a PAM.
  bool WriteCursor(const std::string& path) {
#if defined(PLANNER_DRIVE_XFIXES)
    if (!Taken()) return false;
    int event = 0, error = 0;
    if (!XFixesQueryExtension(display_, &event, &error)) return Fail("the display has no XFIXES extension");
    std::string previous;
    Clock::time_point sameSince = Clock::now();
    while (Clock::now() < deadline_) {
      XFixesCursorImage* image = XFixesGetCursorImage(display_);
      if (image == nullptr) return Fail("the display gave no cursor image");
      // The header, then straight (not premultiplied) red, green, blue and alpha a pixel.
      std::ostringstream out;
      out << "P7\n# hot " << image->xhot << " " << image->yhot << "\nWIDTH " << image->width << "\nHEIGHT "
          << image->height << "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
      for (size_t i = 0; i < size_t(image->width) * size_t(image->height); ++i) {
        // 32 bits of premultiplied ARGB in each unsigned long.
        const unsigned long pixel = image->pixels[i];
        const unsigned alpha = (pixel >> 24) & 0xFF;
        auto straight = [&](unsigned channel) {
          return char(alpha == 0 ? 0 : std::min(255u, (channel * 255 + alpha / 2) / alpha));
        };
        out << straight((pixel >> 16) & 0xFF) << straight((pixel >> 8) & 0xFF) << straight(pixel & 0xFF)
            << char(alpha);
      }
      XFree(image);
      if (out.str() != previous) {
        previous = out.str();
        sameSince = Clock::now();
      } else if (Clock::now() - sameSince >= std::chrono::milliseconds(300)) {
        std::ofstream file(path, std::ios::binary);
        file << previous;
        return bool(file) || Fail("cannot write " + path);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
#else
    (void)path;
    return Fail("the driver was built without the XFIXES extension");
#endif
  }

  // Waits until a top-level window other than the program's frame (and those shown at the start)
  // shows, or with `shown` false until none does.
  bool WaitPopup(bool shown) {
    const Clock::time_point end = std::min(deadline_, Clock::now() + kAnswerTime);
    while (Clock::now() < end) {
      if (Newest().has_value() == shown) return shown || Alive();
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return Fail(shown ? "no menu or box showed within 10 s" : "a menu or box stayed open for 10 s");
  }

  // Presses pixel x,y of the newest other window as a hand does: the pointer rests on the item, which
  // lights up, before the button goes down. The window pressed, or none when none showed.
  std::optional<Window> PressOnPopup(int x, int y) {
    if (!WaitPopup(true)) return std::nullopt;
    const Window popup = *Newest();
    if (!MoveTo(popup, x, y)) {
      Fail("the popup vanished");
      return std::nullopt;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XSync(display_, False);
    return popup;
  }

  bool PopupClick(int x, int y) {
    const std::optional<Window> popup = PressOnPopup(x, y);
    if (!popup) return false;
    // That window closes; what it opens (a dialog) is the next step's.
    if (Shows(*popup, std::chrono::duration_cast<std::chrono::milliseconds>(kAnswerTime)))
      return Fail("the clicked menu or box stayed open for 10 s");
    return Alive();
  }

  // Clicks pixel x,y of the newest other window, an answer after which the program ends.
  bool Quit(int x, int y) {
    if (!PressOnPopup(x, y)) return false;
    while (Clock::now() < deadline_) {
      if (!WindowExists()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return Fail("the program's window stayed open after the answer that ends it");
  }

  // Closes what opened (a menu, a box, a dialog) as a user would: Escape, and Enter for a box that
  // has no Cancel.
  bool Dismiss() {
    for (int tries = 0; tries < 8; ++tries) {
      const std::optional<Window> open = Newest();
      if (!open) break;
      if (!Tap("Escape")) return false;
      // A box without Cancel ignores Escape: Enter takes its default answer, once the window had
      // two seconds to go.
      if (Shows(*open, std::chrono::seconds(2)) && !Tap("Return")) return false;
      Shows(*open, std::chrono::seconds(2));
    }
    return WaitPopup(false);
  }

  // Whether `window` still shows after `patience`; false as soon as it has gone.
  bool Shows(Window window, std::chrono::milliseconds patience) const {
    const Clock::time_point end = Clock::now() + patience;
    for (;;) {
      const std::vector<Window> shown = OtherWindows();
      if (std::find(shown.begin(), shown.end(), window) == shown.end()) return false;
      if (Clock::now() >= end) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }

  bool Titled(const std::string& title) {
    const Clock::time_point end = std::min(deadline_, Clock::now() + kAnswerTime);
    std::string seen;
    while (Clock::now() < end) {
      // A box of the start-up may have shown before the frame did: every window counts here, and the
      // one found is the next steps' popup.
      for (Window window : OtherWindows()) {
        seen = x11test::TitleOf(display_, window);
        if (seen != title) continue;
        shownAtStart_.erase(std::remove(shownAtStart_.begin(), shownAtStart_.end(), window),
                            shownAtStart_.end());
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return Fail("no window titled \"" + title + "\" showed (last seen: \"" + seen + "\")");
  }

  // Waits until the display's input focus is on the newest popup or a window inside it: a click on a
  // box under a window manager gives it the keys a moment later, and a key sent before goes elsewhere.
  bool PopupFocused() {
    const Clock::time_point end = std::min(deadline_, Clock::now() + kAnswerTime);
    while (Clock::now() < end) {
      const std::optional<Window> popup = Newest();
      Window focus = 0;
      int revert = 0;
      XGetInputFocus(display_, &focus, &revert);
      for (Window w = focus; popup && w != 0 && w != PointerRoot;) {
        if (w == *popup) return true;
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (XQueryTree(display_, w, &root, &parent, &children, &count) == 0) break;
        if (children != nullptr) XFree(children);
        if (parent == root) break;
        w = parent;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return Fail("the newest popup did not get the keys");
  }

  bool Focused() {
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display_, &focus, &revert);
    if (focus == None || focus == PointerRoot) return Fail("the display's input focus is on no window");
    return true;
  }

  bool Soak(int count, unsigned seed);

  const std::string& Failure() const { return failure_; }

  std::optional<Picture> Grab() const { return GrabOf(window_); }

  // The newest other window's pixels (a menu, a box, a dialog), once it shows.
  std::optional<Picture> GrabPopup() {
    if (!WaitPopup(true) || !Taken()) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    std::optional<Window> popup = Newest();
    return popup ? GrabOf(*popup) : std::nullopt;
  }

  // The window's pixels; of a window a window manager placed partly off the screen, the part on it
  // (the display has no pixels for the rest).
  std::optional<Picture> GrabOf(Window window) const {
    XWindowAttributes attributes;
    int x = 0, y = 0;
    Window child = 0;
    if (XGetWindowAttributes(display_, window, &attributes) == 0 ||
        !XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &x, &y, &child))
      return std::nullopt;
    const int left = std::max(0, -x), top = std::max(0, -y);
    const int right = std::min(attributes.width, DisplayWidth(display_, DefaultScreen(display_)) - x);
    const int bottom = std::min(attributes.height, DisplayHeight(display_, DefaultScreen(display_)) - y);
    if (right <= left || bottom <= top) return std::nullopt;
    return GrabArea(window, left, top, unsigned(right - left), unsigned(bottom - top));
  }

  // The pixels of a rectangle of `window` (the root's: of the screen as it shows).
  std::optional<Picture> GrabArea(Window window, int x, int y, unsigned width, unsigned height) const {
    XImage* image = XGetImage(display_, window, x, y, width, height, AllPlanes, ZPixmap);
    if (image == nullptr) return std::nullopt;
    Picture picture;
    picture.width = int(width);
    picture.height = int(height);
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

  // Waits until the program has handled the input sent so far and the pixels then stay the same for
  // 300 ms (and, with `unlike`, differ from it first). Stillness alone is no proof on a loaded
  // machine: a program may take longer than that over one step of a drag.
  bool Settle(const Picture* unlike) {
    if (!Taken()) return false;
    constexpr auto kStill = std::chrono::milliseconds(300), kPoll = std::chrono::milliseconds(50);
    std::optional<Picture> previous;
    Clock::time_point sameSince = Clock::now(), pinged = Clock::now();
    while (Clock::now() < deadline_) {
      // A change that is slow to come may be a program that hangs: it must still answer.
      if (unlike != nullptr && Clock::now() - pinged > std::chrono::seconds(3)) {
        if (!Alive()) return false;
        pinged = Clock::now();
      }
      std::optional<Picture> now = Grab();
      if (!now && !WindowExists()) return Fail("the program's window is gone (did it crash?)");
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
    XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
    return PressChord(names) && Settle(nullptr);
  }

  bool Click(int x, int y) {
    if (!MoveTo(window_, x, y)) return false;
    // The move first, as a hand makes it: the program sees the pointer over the button before it goes down.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XSync(display_, False);
    return true;
  }

  void Close() { x11test::AskToClose(display_, window_); }

  // Asks the window to close, again every 2 s while it stays, until it is gone: a window held by a
  // box or a print job's Printing box ignores its close box until that has gone.
  bool CloseUntilGone() {
    while (Clock::now() < deadline_) {
      if (!WindowExists()) return true;
      Close();
      const Clock::time_point next = std::min(deadline_, Clock::now() + std::chrono::seconds(2));
      while (Clock::now() < next && WindowExists())
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return WindowExists() ? Fail("the program's window stayed open though asked to close") : true;
  }

  // Waits until the newest other window (the open box) stands above the program's window in the
  // display's stacking order and the screen where it stands shows the box's own pixels, as the box
  // showed them when this step first found it on top (a caret or a focus ring may differ: up to 2 %
  // of them).
  bool OnTop() {
    if (!Taken()) return false;
    const Clock::time_point end = std::min(deadline_, Clock::now() + kAnswerTime);
    std::string why = "no box is open";
    while (Clock::now() < end) {
      if (const std::optional<Window> box = Newest()) {
        why = NotOnTop(*box);
        if (why.empty()) return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return Fail(why);
  }

  // The window manager's frame around the program's window, and where the window lies in it; false
  // (with the reason) when no window manager frames it.
  bool FrameOf(Window* frame, int* clientX, int* clientY) {
    *frame = 0;
    for (const x11test::Shown& shown : x11test::ShownWindows(display_))
      if (shown.client == window_) *frame = shown.top;
    if (*frame == 0 || *frame == window_) return Fail("no window manager frames the program's window");
    Window child = 0;
    if (!XTranslateCoordinates(display_, window_, *frame, 0, 0, clientX, clientY, &child))
      return Fail("the program's window is gone");
    return true;
  }

  // Clicks the middle of the title bar a window manager draws over the program's window (the window
  // manager raises and focuses the frame; the program sees no click); then `alive`.
  bool TitleBar() {
    Window frame = 0;
    int clientX = 0, clientY = 0;
    XWindowAttributes attributes;
    if (!FrameOf(&frame, &clientX, &clientY)) return false;
    if (clientY < 4 || XGetWindowAttributes(display_, frame, &attributes) == 0)
      return Fail("the program's window has no title bar");
    MoveTo(frame, attributes.width / 2, clientY / 2);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XSync(display_, False);
    return Alive();
  }

  // Waits until `count` other top-level windows show (a box over a dialog: 2); then `alive`.
  bool WaitPopups(size_t count) {
    const Clock::time_point end = std::min(deadline_, Clock::now() + kAnswerTime);
    while (Clock::now() < end) {
      size_t shown = 0;
      for (Window w : OtherWindows())
        shown += std::find(shownAtStart_.begin(), shownAtStart_.end(), w) == shownAtStart_.end();
      if (shown == count) return Alive();
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return Fail("not " + std::to_string(count) + " menus or boxes showed within 10 s");
  }

  // Clicks the close button a window manager draws on the program's window's frame, as a user does
  // (the window manager sends the close request); then `alive`.
  bool CloseBox() {
    Window frame = 0, child = 0;
    int clientX = 0, clientY = 0;
    if (!FrameOf(&frame, &clientX, &clientY)) return false;
    // The close box: the rightmost button of the frame's title bar, above the client.
    std::optional<XRectangle> button;
    x11test::WalkBelow(display_, frame, [&](Window w) {
      XWindowAttributes a;
      int x = 0, y = 0;
      if (w == window_ || XGetWindowAttributes(display_, w, &a) == 0 || a.map_state != IsViewable ||
          !XTranslateCoordinates(display_, w, frame, 0, 0, &x, &y, &child))
        return false;
      // A button is a small square; the frame's resize grips beside it are thin strips.
      const bool small = a.width >= 8 && a.height >= 8 && a.width <= 40 && a.height <= 40 &&
                         std::abs(a.width - a.height) <= 4;
      if (small && y + a.height <= clientY && (!button || x > button->x))
        button = XRectangle{short(x), short(y), (unsigned short)(a.width), (unsigned short)(a.height)};
      return false;
    });
    if (!button) return Fail("the program's window has no close box in its frame");
    if (!MoveTo(frame, button->x + button->width / 2, button->y + button->height / 2))
      return Fail("the frame vanished");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XSync(display_, False);
    return Alive();
  }

  // Un-maximises the program's window (a _NET_WM_STATE request to the root, as a window manager's
  // maximise button or a pager makes it) and waits until it is back and still.
  bool Restore() {
    Window frame = 0;
    int clientX = 0, clientY = 0;
    if (!FrameOf(&frame, &clientX, &clientY)) return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window_;
    event.xclient.message_type = XInternAtom(display_, "_NET_WM_STATE", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 0;  // remove
    event.xclient.data.l[1] = long(XInternAtom(display_, "_NET_WM_STATE_MAXIMIZED_VERT", False));
    event.xclient.data.l[2] = long(XInternAtom(display_, "_NET_WM_STATE_MAXIMIZED_HORZ", False));
    event.xclient.data.l[3] = 1;  // asked by an application
    XSendEvent(display_, DefaultRootWindow(display_), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XSync(display_, False);
    std::string last;
    Clock::time_point sameSince = Clock::now();
    while (Clock::now() < deadline_) {
      const std::string now = FrameText();
      if (now.empty()) return Fail("the program's window is gone");
      if (now != last || Maximized()) {
        last = now;
        sameSince = Clock::now();
      } else if (Clock::now() - sameSince >= std::chrono::milliseconds(300)) {
        return Settle(nullptr);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return Fail(Maximized() ? "the window stayed maximised" : "the window's frame did not come to rest");
  }

  bool PrintFrame() {
    const std::string text = FrameText();
    if (text.empty()) return Fail("no window manager frames the program's window");
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
    return true;
  }

  const Picture& Last() const { return last_; }
  void SetDeadline(Clock::time_point deadline) { deadline_ = deadline; }

 private:
  // Whether the window manager says the program's window is maximised (either way).
  bool Maximized() const {
    const Atom vert = XInternAtom(display_, "_NET_WM_STATE_MAXIMIZED_VERT", False),
               horz = XInternAtom(display_, "_NET_WM_STATE_MAXIMIZED_HORZ", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    bool maximized = false;
    if (XGetWindowProperty(display_, window_, XInternAtom(display_, "_NET_WM_STATE", False), 0, 64, False,
                           XA_ATOM, &type, &format, &count, &left, &data) == Success &&
        data != nullptr && format == 32)
      for (unsigned long i = 0; i < count; ++i) {
        const Atom state = reinterpret_cast<const Atom*>(data)[i];
        maximized = maximized || state == vert || state == horz;
      }
    if (data != nullptr) XFree(data);
    return maximized;
  }

  // "frame X,Y WxH client WxH screen WxH", or empty when no window manager frames the window.
  std::string FrameText() {
    Window frame = 0;
    int clientX = 0, clientY = 0;
    XWindowAttributes outer{}, client{};
    if (!FrameOf(&frame, &clientX, &clientY) || XGetWindowAttributes(display_, frame, &outer) == 0 ||
        XGetWindowAttributes(display_, window_, &client) == 0)
      return "";
    const int border = outer.border_width, screen = DefaultScreen(display_);
    std::ostringstream text;
    text << "frame " << outer.x << "," << outer.y << " " << outer.width + 2 * border << "x"
         << outer.height + 2 * border << " client " << client.width << "x" << client.height << " screen "
         << DisplayWidth(display_, screen) << "x" << DisplayHeight(display_, screen);
    return text.str();
  }

  bool Fail(const std::string& why) {
    failure_ = why;
    return false;
  }

  // Moves the pointer to pixel x,y of `window`; negative x or y count from its right or bottom edge.
  bool MoveTo(Window window, int x, int y) {
    XWindowAttributes attributes;
    if ((x < 0 || y < 0) && XGetWindowAttributes(display_, window, &attributes) == 0) return false;
    if (x < 0) x += attributes.width;
    if (y < 0) y += attributes.height;
    int rootX = 0, rootY = 0;
    Window child = 0;
    if (!XTranslateCoordinates(display_, window, DefaultRootWindow(display_), x, y, &rootX, &rootY, &child))
      return false;
    XTestFakeMotionEvent(display_, DefaultScreen(display_), rootX, rootY, CurrentTime);
    XSync(display_, False);
    return true;
  }

  // Why `box` is not drawn above the program's window; empty when it is.
  std::string NotOnTop(Window box) {
    const std::vector<x11test::Shown> shown = x11test::ShownWindows(display_);
    auto place = [&](Window w) {
      for (size_t i = 0; i < shown.size(); ++i)
        if (shown[i].client == w) return int(i);
      return -1;
    };
    const int boxAt = place(box), windowAt = place(window_);
    if (boxAt < 0) return "the box is not shown";
    if (windowAt > boxAt)
      return "the program's window stands above its box \"" + x11test::TitleOf(display_, box) + "\"";
    auto kept = seenOnTop_.find(box);
    if (kept == seenOnTop_.end()) {
      // First found on top: its pixels once they stay still are what the screen must show later.
      std::optional<Picture> first = GrabOf(box);
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      std::optional<Picture> again = GrabOf(box);
      if (!first || !again || !(*first == *again)) return "the box's pixels did not stay still";
      seenOnTop_.emplace(box, std::move(*again));
      return "";
    }
    int x = 0, y = 0;
    Window child = 0;
    if (!XTranslateCoordinates(display_, box, DefaultRootWindow(display_), 0, 0, &x, &y, &child))
      return "the box vanished";
    const Picture& own = kept->second;
    const int left = std::max(x, 0), top = std::max(y, 0);
    const int right = std::min(x + own.width, DisplayWidth(display_, DefaultScreen(display_)));
    const int bottom = std::min(y + own.height, DisplayHeight(display_, DefaultScreen(display_)));
    if (right <= left || bottom <= top) return "the box is off the screen";
    const std::optional<Picture> screen =
        GrabArea(DefaultRootWindow(display_), left, top, unsigned(right - left), unsigned(bottom - top));
    if (!screen) return "the screen cannot be grabbed";
    int64_t differing = 0;
    for (int row = top; row < bottom; ++row)
      for (int column = left; column < right; ++column) {
        const size_t s = (size_t(row - top) * size_t(screen->width) + size_t(column - left)) * 3;
        const size_t o = (size_t(row - y) * size_t(own.width) + size_t(column - x)) * 3;
        differing += !std::equal(screen->rgb.begin() + long(s), screen->rgb.begin() + long(s) + 3,
                                 own.rgb.begin() + long(o));
      }
    const int64_t total = int64_t(right - left) * (bottom - top);
    if (differing * 50 > total)
      return "the screen where the box stands shows other pixels (" + std::to_string(differing) + " of " +
             std::to_string(total) + " differ)";
    return "";
  }

  // Why the other window `box` places under the newest is not tied as `Tied` wants; empty when it is.
  std::string NotTied(size_t box, int owner, bool dialog) const {
    const std::optional<Window> shown = Other(box);
    if (!shown) return "no box " + std::to_string(box) + " shows";
    const std::string name = "the box \"" + x11test::TitleOf(display_, *shown) + "\"";
    const std::optional<Window> wanted = owner < 0 ? std::optional<Window>(window_) : Other(size_t(owner));
    if (!wanted) return "no window " + std::to_string(owner) + " shows";
    Window tie = 0;
    if (XGetTransientForHint(display_, *shown, &tie) == 0 || tie == 0)
      return name + " is transient for no window";
    if (tie != *wanted)
      return name + " is transient for \"" + x11test::TitleOf(display_, tie) + "\", not for \"" +
             x11test::TitleOf(display_, *wanted) + "\"";
    if (!dialog) return "";
    if (!Has(*shown, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DIALOG")) return name + " is no dialog";
    if (!Has(*shown, "_NET_WM_STATE", "_NET_WM_STATE_MODAL")) return name + " is not modal";
    return "";
  }

  // The other windows shown since the start, counted from the top: 0 the newest.
  std::optional<Window> Other(size_t fromTop) const {
    const std::vector<Window> others = OtherWindows();
    for (auto it = others.rbegin(); it != others.rend(); ++it) {
      if (std::find(shownAtStart_.begin(), shownAtStart_.end(), *it) != shownAtStart_.end()) continue;
      if (fromTop-- == 0) return *it;
    }
    return std::nullopt;
  }

  // Whether the atom list `property` of `window` holds the atom `value`.
  bool Has(Window window, const char* property, const char* value) const {
    const Atom wanted = XInternAtom(display_, value, False);
    Atom actual = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool found = false;
    if (XGetWindowProperty(display_, window, XInternAtom(display_, property, False), 0, 32, False, XA_ATOM,
                           &actual, &format, &count, &after, &data) == Success &&
        data != nullptr) {
      const Atom* atoms = reinterpret_cast<const Atom*>(data);
      for (unsigned long i = 0; i < count; ++i) found = found || atoms[i] == wanted;
      XFree(data);
    }
    return found;
  }

  // Whether the window says it is a tool tip: tips come and go with the pointer, they are neither
  // menus nor boxes.
  bool IsTip(Window window) const {
    const Atom type = XInternAtom(display_, "_NET_WM_WINDOW_TYPE", False);
    const Atom tip = XInternAtom(display_, "_NET_WM_WINDOW_TYPE_TOOLTIP", False);
    Atom actual = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool found = false;
    if (XGetWindowProperty(display_, window, type, 0, 8, False, XA_ATOM, &actual, &format, &count, &after,
                           &data) == Success &&
        data != nullptr) {
      const Atom* atoms = reinterpret_cast<const Atom*>(data);
      for (unsigned long i = 0; i < count; ++i) found = found || atoms[i] == tip;
      XFree(data);
    }
    return found;
  }

  // The viewable top-level windows other than the program's frame, tips left out, bottom to top (the
  // programs' windows, inside a window manager's frames when one runs).
  std::vector<Window> OtherWindows() const {
    std::vector<Window> found;
    for (const x11test::Shown& shown : x11test::ShownWindows(display_))
      if (shown.client != window_ && !IsTip(shown.client)) found.push_back(shown.client);
    return found;
  }

  // The topmost window shown since the start besides the frame: the open menu or box.
  std::optional<Window> Newest() const {
    const std::vector<Window> others = OtherWindows();
    for (auto it = others.rbegin(); it != others.rend(); ++it)
      if (std::find(shownAtStart_.begin(), shownAtStart_.end(), *it) == shownAtStart_.end()) return *it;
    return std::nullopt;
  }

  static int Shift(unsigned long mask) {
    int shift = 0;
    while (mask != 0 && (mask & 1) == 0) mask >>= 1, ++shift;
    return shift;
  }

  Display* display_;
  Window window_;
  Clock::time_point deadline_;
  const Clock::time_point end_;  // the deadline of the whole run
  Picture last_;
  std::vector<Window> shownAtStart_;     // windows of other programs (and a splash) left out of popups
  std::map<Window, Picture> seenOnTop_;  // each box's pixels when `ontop` first found it on top
  long pings_ = 0;
  std::string failure_;
};

// A user's random session: keys of every view and of editing, clicks and drags anywhere in the
// window, and menus opened from the bar by Alt and a letter, then left by Escape, by a click outside
// or by a click on one of their items. Boxes and dialogs that open are closed with Escape.
bool Driver::Soak(int count, unsigned seed) {
  std::mt19937 random(seed);
  XWindowAttributes attributes;
  if (XGetWindowAttributes(display_, window_, &attributes) == 0) return Fail("the program's window is gone");
  auto pick = [&](int below) { return int(random() % unsigned(below)); };
  const std::vector<std::string> keys = {"F2",
                                         "F3",
                                         "F4",
                                         "F5",
                                         "F6",
                                         "F7",
                                         "F8",
                                         "Escape",
                                         "Return",
                                         "Delete",
                                         "Left",
                                         "Right",
                                         "Up",
                                         "Down",
                                         "Prior",
                                         "Next",
                                         "Tab",
                                         "Control_L+z",
                                         "Control_L+y",
                                         "Control_L+a",
                                         "Control_L+c",
                                         "Control_L+v",
                                         "Control_L+equal",
                                         "Control_L+minus",
                                         "a"};
  const std::string menus = "fevh";  // mnemonics of the bar's titles
  for (int i = 0; i < count; ++i) {
    deadline_ = std::min(end_, Clock::now() + kStepTime);
    const int x = 5 + pick(attributes.width - 10), y = 25 + pick(attributes.height - 30);
    std::string what;
    bool done = true;
    switch (pick(6)) {
      case 0:
      case 1:
        what = "tap:" + keys[size_t(pick(int(keys.size())))];
        done = Tap(what.substr(4));
        break;
      case 2:
        what = "click:" + std::to_string(x) + "," + std::to_string(y);
        done = Press(x, y, 40);
        break;
      case 3: {
        const int u = 5 + pick(attributes.width - 10), v = 25 + pick(attributes.height - 30);
        what = "drag:" + std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(u) + "," +
               std::to_string(v);
        done = Drag(x, y, u, v);
        break;
      }
      case 4: {
        const char menu = menus[size_t(pick(int(menus.size())))];
        what = std::string("menu:") + menu;
        done = Tap(std::string("Alt_L+") + menu);
        const int how = pick(3);
        if (done && how == 0) done = Tap("Escape") && Tap("Escape");
        if (done && how == 1) done = Press(x, y, 40);
        if (done && how == 2) done = Tap("Down") && Tap("Return");
        break;
      }
      default:
        what = "press:" + std::to_string(x) + "," + std::to_string(y) + ",600";
        done = Press(x, y, 600);
        break;
    }
    // Whatever opened (a box, a dialog, a menu) is closed as a user would, so the next step starts
    // on the plan again.
    if (done) done = Dismiss();
    std::printf("soak %d: %s%s\n", i, what.c_str(), done ? "" : " FAILED");
    std::fflush(stdout);
    if (!done) {
      // What stayed open, for whoever looks into it.
      if (std::optional<Window> open = Newest())
        if (std::optional<Picture> picture = GrabOf(*open)) WritePpm("soak-failure.ppm", *picture);
      return false;
    }
    if (!WindowExists()) return Fail("the program's window is gone after " + what);
  }
  return true;
}

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
  for (size_t index = 0; index < steps.size(); ++index) {
    const std::string& step = steps[index];
    driver.SetDeadline(std::min(deadline, Clock::now() + kStepTime));
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
    } else if (verb == "grabpopup") {
      const std::optional<Picture> popup = driver.GrabPopup();
      done = popup && WritePpm(argument, *popup);
    } else if (verb == "close") {
      driver.Close();
      done = true;
    } else if (verb == "closebox") {
      done = driver.CloseBox();
    } else if (verb == "titlebar") {
      done = driver.TitleBar();
    } else if (verb == "popups") {
      done = driver.WaitPopups(size_t(std::max(0, std::atoi(argument.c_str()))));
    } else if (verb == "ontop") {
      done = driver.OnTop();
    } else if (verb == "closed") {
      done = driver.CloseUntilGone();
    } else if (verb == "alive") {
      done = driver.Alive();
    } else if (verb == "tap") {
      done = driver.Tap(argument);
    } else if (verb == "press") {
      int x = 0, y = 0, ms = 0;
      done = std::sscanf(argument.c_str(), "%d,%d,%d", &x, &y, &ms) == 3 && driver.Press(x, y, ms);
    } else if (verb == "drag") {
      int x = 0, y = 0, u = 0, v = 0;
      done = std::sscanf(argument.c_str(), "%d,%d,%d,%d", &x, &y, &u, &v) == 4 && driver.Drag(x, y, u, v);
    } else if (verb == "down") {
      int x = 0, y = 0;
      done = std::sscanf(argument.c_str(), "%d,%d", &x, &y) == 2 && driver.Down(x, y);
    } else if (verb == "move") {
      int x = 0, y = 0;
      done = std::sscanf(argument.c_str(), "%d,%d", &x, &y) == 2 && driver.MoveAlong(x, y);
    } else if (verb == "up") {
      done = driver.Up();
    } else if (verb == "hold" || verb == "let") {
      done = driver.HoldKey(argument, verb == "hold");
    } else if (verb == "cursor") {
      done = driver.WriteCursor(argument);
    } else if (verb == "poppress") {
      int x = 0, y = 0;
      done = std::sscanf(argument.c_str(), "%d,%d", &x, &y) == 2 && driver.PopupPress(x, y);
    } else if (verb == "boxpress") {
      int n = 0, x = 0, y = 0;
      done = std::sscanf(argument.c_str(), "%d,%d,%d", &n, &x, &y) == 3 && n >= 0 &&
             driver.BoxPress(size_t(n), x, y);
    } else if (verb == "tied" || verb == "transient") {
      int box = 0, owner = -1;
      done = (std::sscanf(argument.c_str(), "%d>%d", &box, &owner) == 2 ||
              (std::sscanf(argument.c_str(), "%d>main", &box) == 1 && argument.ends_with(">main"))) &&
             box >= 0 && driver.Tied(size_t(box), owner, verb == "tied");
    } else if (verb == "untied") {
      done = driver.Untied();
    } else if (verb == "popup" || verb == "nopopup") {
      done = driver.WaitPopup(verb == "popup");
    } else if (verb == "popclick") {
      int x = 0, y = 0;
      done = std::sscanf(argument.c_str(), "%d,%d", &x, &y) == 2 && driver.PopupClick(x, y);
    } else if (verb == "quit") {
      int x = 0, y = 0;
      done = std::sscanf(argument.c_str(), "%d,%d", &x, &y) == 2 && driver.Quit(x, y);
    } else if (verb == "dismiss") {
      done = driver.Dismiss();
    } else if (verb == "title") {
      done = driver.Titled(argument);
    } else if (verb == "focused") {
      done = driver.Focused();
    } else if (verb == "popfocused") {
      done = driver.PopupFocused();
    } else if (verb == "resize") {
      int w = 0, h = 0;
      done = std::sscanf(argument.c_str(), "%d,%d", &w, &h) == 2 && driver.Resize(w, h);
    } else if (verb == "restore") {
      done = driver.Restore();
    } else if (verb == "frame") {
      done = driver.PrintFrame();
    } else if (verb == "spawn") {
      done = std::system(("(" + argument + ") >/dev/null 2>&1 &").c_str()) == 0;
    } else if (verb == "soak") {
      int count = 0;
      unsigned seed = 0;
      done = std::sscanf(argument.c_str(), "%d,%u", &count, &seed) == 2 && driver.Soak(count, seed);
    } else {
      std::fprintf(stderr, "x11_drive: unknown step \"%s\"\n", step.c_str());
      return 2;
    }
    if (!done) {
      if (!driver.Failure().empty())
        std::fprintf(stderr, "x11_drive: step %zu \"%s\": %s\n", index, step.c_str(),
                     driver.Failure().c_str());
      else
        std::fprintf(stderr, "x11_drive: step %zu \"%s\" did not finish in time (%d s a step, %d s in all)\n",
                     index, step.c_str(), int(kStepTime.count()), seconds);
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
  if (std::string(argv[1]) == "--window-manager") {
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(seconds);
    while (!x11test::WindowManagerRuns(display) && Clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const bool runs = x11test::WindowManagerRuns(display);
    if (!runs) std::fprintf(stderr, "x11_drive: no window manager took the display within %d s\n", seconds);
    XCloseDisplay(display);
    return runs ? 0 : 1;
  }
  const int status = Run(display, argv[1], seconds, std::vector<std::string>(argv + 3, argv + argc));
  XCloseDisplay(display);
  return status;
}
