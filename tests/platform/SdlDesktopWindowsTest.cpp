// The program's windows on a real X server, stacked and focused by others as on a user's desktop: a
// press where two windows overlap after another client raised the lower one, the keys held by another
// program's window when the program activates its box, and under a window manager (openbox, started
// by the test) the work area a panel leaves, a click on a title bar and a box tied once its owner
// shows. Skipped with a message when Xvfb, the X test library or openbox is not installed.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/Desktop.h"
#include "platform/WindowApi.h"
// Last: it brings Xlib, whose macros (None, Bool, Status) other headers use as names.
#include "tests/platform/XDisplayForTests.h"

#include <X11/Xatom.h>
#include <X11/keysym.h>

namespace plat {
namespace {

using namespace testdisplay;

// The presses and keys the test's windows were given, in order.
std::vector<std::pair<HWND, UINT>> gSeen;
std::map<HWND, COLORREF> gColours;

LRESULT ColouredProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      RECT client;
      GetClientRect(window, &client);
      HBRUSH brush = CreateSolidBrush(gColours[window]);
      FillRect(dc, &client, brush);
      DeleteObject(brush);
      EndPaint(window, &ps);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_KEYDOWN:
      gSeen.emplace_back(window, message);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

// The test's window class, on a desktop just started; nothing seen yet.
void RegisterColoured() {
  WNDCLASSA windowClass;
  windowClass.lpfnWndProc = ColouredProc;
  windowClass.lpszClassName = "Coloured";
  RegisterClassA(&windowClass);
  gSeen.clear();
  gColours.clear();
}

HWND Make(const char* title, DWORD style, RECT at, HWND owner, COLORREF colour) {
  HWND window = CreateWindowExA(0, "Coloured", title, style, at.left, at.top, at.right - at.left,
                                at.bottom - at.top, owner, nullptr, nullptr, nullptr);
  gColours[window] = colour;
  return window;
}

// The centre of a window's client area on the screen.
POINT ClientCentre(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  POINT centre{client.right / 2, client.bottom / 2};
  ClientToScreen(window, &centre);
  return centre;
}

// The X window titled `title` at or under `under`, or 0.
::Window Titled(Display* display, ::Window under, const std::string& title) {
  char* name = nullptr;
  if (XFetchName(display, under, &name) && name != nullptr) {
    const bool match = title == name;
    XFree(name);
    if (match) return under;
  }
  ::Window root = 0, parent = 0, *children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display, under, &root, &parent, &children, &count)) return 0;
  ::Window found = 0;
  for (unsigned int i = 0; i < count && !found; ++i) found = Titled(display, children[i], title);
  if (children != nullptr) XFree(children);
  return found;
}

::Window Shown(Display* display, const std::string& title) {
  ::Window window = Titled(display, DefaultRootWindow(display), title);
  XWindowAttributes attributes;
  if (!window || !XGetWindowAttributes(display, window, &attributes)) return 0;
  return attributes.map_state == IsViewable ? window : 0;
}

// A property of 32-bit items (atoms, cardinals, windows) as longs; empty when it is not set.
std::vector<long> Items(Display* display, ::Window window, const char* property) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, left = 0;
  unsigned char* data = nullptr;
  std::vector<long> items;
  if (XGetWindowProperty(display, window, XInternAtom(display, property, False), 0, 64, False,
                         AnyPropertyType, &type, &format, &count, &left, &data) == Success &&
      data != nullptr && format == 32)
    items.assign(reinterpret_cast<const long*>(data), reinterpret_cast<const long*>(data) + count);
  if (data != nullptr) XFree(data);
  return items;
}

bool Names(Display* display, ::Window window, const char* property, const char* atom) {
  const long wanted = long(XInternAtom(display, atom, False));
  for (long item : Items(display, window, property))
    if (item == wanted) return true;
  return false;
}

::Window KeysAt(Display* display) {
  ::Window focus = 0;
  int revert = 0;
  XGetInputFocus(display, &focus, &revert);
  return focus;
}

void Tap(const XCalls& x, Display* display, KeySym key) {
  const unsigned int code = x.keycode(display, key);
  x.fakeKey(display, code, True, 0);
  x.fakeKey(display, code, False, 0);
  x.sync(display, False);
}

void Click(const XCalls& x, Display* display, POINT at) {
  x.fakeMotion(display, -1, at.x, at.y, 0);
  x.fakeButton(display, 1, True, 0);
  x.fakeButton(display, 1, False, 0);
  x.sync(display, False);
}

HWND FirstSeen(UINT message) {
  for (const auto& [window, m] : gSeen)
    if (m == message) return window;
  return nullptr;
}

TEST(SdlDesktopWindows, APressGoesToTheWindowShownOnTopAndAnActivatedBoxTakesTheKeys) {
  XCalls x;
  std::string why;
  const XServer* server = OurServer(x, &why);
  if (server == nullptr && !why.empty()) GTEST_SKIP() << why;
  ASSERT_NE(server, nullptr) << "Xvfb did not start";
  const BackendOnDisplay desktop(*server);
  ASSERT_TRUE(desktop.Started());
  RegisterColoured();
  HWND lower = Make("Lower", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {20, 20, 320, 220}, nullptr, RGB(200, 0, 0));
  HWND upper = Make("Upper", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {160, 100, 460, 300}, nullptr, RGB(0, 0, 200));
  HWND box = Make("Box", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, {380, 320, 580, 440}, lower,
                  RGB(0, 200, 0));
  SetActiveWindow(upper);
  Display* display = XOpenDisplay(server->Display().c_str());
  ASSERT_NE(display, nullptr);
  auto pixel = [&](POINT p) { return ScreenPixel(x, display, p.x, p.y); };
  const POINT overlap{240, 180};  // in both frames' client areas
  ASSERT_TRUE(PumpUntil([&] { return pixel(overlap) == 0x0000C8 && pixel(ClientCentre(box)) == 0x00C800; }))
      << "the windows never showed";

  // Another client raises the lower frame: the display shows it over the upper one, which the layer
  // still keeps on top as its active window. The press goes where the user sees it.
  const ::Window lowerX = Shown(display, "Lower");
  ASSERT_NE(lowerX, 0u);
  XRaiseWindow(display, lowerX);
  XSync(display, False);
  ASSERT_TRUE(PumpUntil([&] { return pixel(overlap) == 0xC80000; }));
  Click(x, display, overlap);
  EXPECT_TRUE(PumpUntil([&] { return FirstSeen(WM_LBUTTONDOWN) != nullptr; }));
  EXPECT_EQ(FirstSeen(WM_LBUTTONDOWN), lower) << "the press went to the window the layer keeps on top";
  EXPECT_EQ(GetActiveWindow(), lower);
  EXPECT_TRUE(PumpUntil([&] { return KeysAt(display) == lowerX; })) << "the pressed window has no keys";

  // Another program's window takes the keys; then the program activates its box, which takes them.
  const ::Window other = XCreateSimpleWindow(display, DefaultRootWindow(display), 600, 0, 30, 30, 0, 0, 0);
  XMapWindow(display, other);
  XSync(display, False);
  XSetInputFocus(display, other, RevertToPointerRoot, CurrentTime);
  XSync(display, False);
  SetActiveWindow(box);
  const ::Window boxX = Shown(display, "Box");
  EXPECT_TRUE(PumpUntil([&] { return KeysAt(display) == boxX; })) << "the box was not given the keys";
  Tap(x, display, XK_k);
  EXPECT_TRUE(PumpUntil([&] { return FirstSeen(WM_KEYDOWN) != nullptr; })) << "the key did not arrive";
  EXPECT_EQ(FirstSeen(WM_KEYDOWN), box);

  XDestroyWindow(display, other);
  DestroyWindow(box);
  DestroyWindow(upper);
  DestroyWindow(lower);
  SdlBackend::Pump(std::chrono::milliseconds(0));
  XCloseDisplay(display);
}

// openbox on the test's X server for one test; the root's properties it leaves are taken away when it
// goes, so that later tests meet a display without a window manager.
class WindowManagerRun {
 public:
  WindowManagerRun(const XServer& server, Display* display) : display_(display) {
    const std::string program = FindOnPath("openbox");
    if (program.empty()) return;
    // Its environment is made before the fork: the child only calls what is safe after one.
    std::vector<std::string> environment{"DISPLAY=" + server.Display()};
    for (char** e = environ; *e != nullptr; ++e)
      if (std::string(*e).rfind("DISPLAY=", 0) != 0) environment.emplace_back(*e);
    std::vector<char*> pointers;
    for (std::string& e : environment) pointers.push_back(e.data());
    pointers.push_back(nullptr);
    char* const arguments[] = {const_cast<char*>(program.c_str()), const_cast<char*>("--sm-disable"),
                               nullptr};
    pid_ = fork();
    if (pid_ == 0) {
      const int null = open("/dev/null", O_WRONLY);
      dup2(null, 1);
      dup2(null, 2);
      execve(program.c_str(), arguments, pointers.data());
      _exit(127);
    }
  }
  ~WindowManagerRun() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    const ::Window root = DefaultRootWindow(display_);
    for (const char* property : {"_NET_WORKAREA", "_NET_SUPPORTING_WM_CHECK", "_NET_ACTIVE_WINDOW"})
      XDeleteProperty(display_, root, XInternAtom(display_, property, False));
    XSync(display_, False);
  }
  WindowManagerRun(const WindowManagerRun&) = delete;
  WindowManagerRun& operator=(const WindowManagerRun&) = delete;

  // Whether it manages the display within 10 s: the root names its check window, which names itself.
  bool Manages() const {
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(10);
    const ::Window root = DefaultRootWindow(display_);
    while (Clock::now() < deadline && pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0) {
      const std::vector<long> named = Items(display_, root, "_NET_SUPPORTING_WM_CHECK");
      if (named.size() == 1 && Items(display_, ::Window(named[0]), "_NET_SUPPORTING_WM_CHECK") == named)
        return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }

 private:
  Display* display_;
  pid_t pid_ = -1;
};

// A panel at `at` that reserves a strip along an edge of the screen: `strut` is what it says in
// `property` (_NET_WM_STRUT: left, right, top, bottom; _NET_WM_STRUT_PARTIAL adds each strip's first
// and last pixel along its edge).
::Window Panel(Display* display, RECT at, const char* property, const std::vector<long>& strut) {
  const ::Window panel =
      XCreateSimpleWindow(display, DefaultRootWindow(display), at.left, at.top, unsigned(at.right - at.left),
                          unsigned(at.bottom - at.top), 0, 0, 0);
  const Atom dock = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DOCK", False);
  XChangeProperty(display, panel, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(&dock), 1);
  XChangeProperty(display, panel, XInternAtom(display, property, False), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(strut.data()), int(strut.size()));
  XMapWindow(display, panel);
  XSync(display, False);
  return panel;
}

// Asks the window manager to add a state to a window, as a program does once the window shows.
void AskState(Display* display, ::Window window, const char* state) {
  XEvent ask{};
  ask.xclient.type = ClientMessage;
  ask.xclient.window = window;
  ask.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
  ask.xclient.format = 32;
  ask.xclient.data.l[0] = 1;
  ask.xclient.data.l[1] = long(XInternAtom(display, state, False));
  ask.xclient.data.l[3] = 1;
  XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask,
             &ask);
  XSync(display, False);
}

TEST(SdlDesktopWindows, UnderAWindowManagerThePanelsWorkAreaTitleBarClicksAndTiedBoxesHold) {
  XCalls x;
  std::string why;
  const XServer* server = OurServer(x, &why);
  if (server == nullptr && !why.empty()) GTEST_SKIP() << why;
  ASSERT_NE(server, nullptr) << "Xvfb did not start";
  if (FindOnPath("openbox").empty()) GTEST_SKIP() << "openbox is not installed (scripts/deps installs it)";
  Display* display = XOpenDisplay(server->Display().c_str());
  ASSERT_NE(display, nullptr);
  {
    // A bar along the top and a dock along the left edge, as a desktop's panels reserve them; the
    // window manager takes them over as it starts.
    const ::Window bar =
        Panel(display, {0, 0, 640, 24}, "_NET_WM_STRUT_PARTIAL", {0, 0, 24, 0, 0, 0, 0, 0, 0, 639, 0, 0});
    const ::Window dock = Panel(display, {0, 24, 40, 480}, "_NET_WM_STRUT", {40, 0, 0, 0});
    const WindowManagerRun manager(*server, display);
    ASSERT_TRUE(manager.Manages()) << "openbox did not start";
    const std::vector<long> work{40, 24, 600, 456};
    std::vector<long> area;
    ASSERT_TRUE(PumpUntil([&] {
      area = Items(display, DefaultRootWindow(display), "_NET_WORKAREA");
      area.resize(std::min<size_t>(area.size(), 4));
      return area == work;
    })) << "the window manager gave no work area beside the panel: "
        << ::testing::PrintToString(area);

    // The backend reads the work area the panel leaves; a window at the default place lies in it.
    const BackendOnDisplay desktop(*server);
    ASSERT_TRUE(desktop.Started());
    EXPECT_EQ(Desktop::WorkArea(), (RECT{40, 24, 640, 480}));
    RegisterColoured();
    HWND placed = CreateWindowExA(0, "Coloured", "Placed", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                                  CW_USEDEFAULT, 0, nullptr, nullptr, nullptr, nullptr);
    RECT r;
    GetWindowRect(placed, &r);
    EXPECT_EQ(r, (RECT{115, 81, 565, 423}));
    DestroyWindow(placed);

    // A click on the title bar of the window that is not active, then a key: the key reaches it.
    HWND first = Make("First", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {60, 80, 300, 240}, nullptr, RGB(200, 0, 0));
    HWND second =
        Make("Second", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {360, 80, 600, 240}, nullptr, RGB(0, 0, 200));
    SetActiveWindow(second);
    ::Window firstX = 0, secondX = 0;
    ASSERT_TRUE(PumpUntil([&] {
      firstX = Shown(display, "First");
      secondX = Shown(display, "Second");
      return firstX && secondX && KeysAt(display) == secondX;
    })) << "the frames never showed, or the active one has no keys";
    int clientX = 0, clientY = 0;
    ::Window child = 0;
    XTranslateCoordinates(display, firstX, DefaultRootWindow(display), 0, 0, &clientX, &clientY, &child);
    const std::vector<long> frame = Items(display, firstX, "_NET_FRAME_EXTENTS");
    ASSERT_EQ(frame.size(), 4u);
    ASSERT_GT(frame[2], 4) << "the window manager drew no title bar";
    Click(x, display, POINT{clientX + 40, clientY - int32_t(frame[2]) / 2});
    EXPECT_TRUE(PumpUntil([&] { return GetActiveWindow() == first; })) << "the title bar's click went unseen";
    Tap(x, display, XK_k);
    EXPECT_TRUE(PumpUntil([&] { return FirstSeen(WM_KEYDOWN) != nullptr; })) << "the key did not arrive";
    EXPECT_EQ(FirstSeen(WM_KEYDOWN), first);
    EXPECT_EQ(FirstSeen(WM_LBUTTONDOWN), nullptr) << "the title bar's click reached a client area";
    DestroyWindow(second);
    DestroyWindow(first);

    // A box shown before the window it holds: tied once that window shows, it is a modal dialog for
    // the window manager, which keeps the state when it next writes the box's states itself.
    HWND owner = Make("Owner", WS_OVERLAPPEDWINDOW, {60, 80, 400, 400}, nullptr, RGB(200, 200, 200));
    HWND held = Make("Held", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, {120, 160, 320, 300}, owner,
                     RGB(0, 200, 0));
    EnableWindow(owner, 0);
    ::Window heldX = 0;
    ASSERT_TRUE(PumpUntil([&] { return (heldX = Shown(display, "Held")) != 0; })) << "the box never showed";
    ShowWindow(owner, SW_SHOW);
    EXPECT_TRUE(PumpUntil([&] {
      return Names(display, heldX, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DIALOG") &&
             Names(display, heldX, "_NET_WM_STATE", "_NET_WM_STATE_MODAL");
    })) << "the box was not marked a modal dialog";
    AskState(display, heldX, "_NET_WM_STATE_SKIP_PAGER");
    EXPECT_TRUE(
        PumpUntil([&] { return Names(display, heldX, "_NET_WM_STATE", "_NET_WM_STATE_SKIP_PAGER"); }));
    EXPECT_TRUE(Names(display, heldX, "_NET_WM_STATE", "_NET_WM_STATE_MODAL"))
        << "the window manager never took the box as modal";
    DestroyWindow(held);
    DestroyWindow(owner);
    SdlBackend::Pump(std::chrono::milliseconds(0));
    XDestroyWindow(display, dock);
    XDestroyWindow(display, bar);
  }
  XCloseDisplay(display);
}

}  // namespace
}  // namespace plat
