// The interactive backend on a real X server: an Xvfb started and stopped by the test, a window with a
// button shown through SDL, a click and a key sent through the X server's test extension, and the
// screen read back. Skipped with a message when Xvfb or the X test library is not installed.
//
// Also the backend's pure parts: keys and text from SDL, and the clipboard without a display.

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>

#include "platform/Clipboard.h"
#include "platform/HeadlessDriver.h"
#include "platform/InteractiveBackend.h"
#include "platform/LayerClock.h"
#include "platform/SdlBackend.h"
#include "platform/ScreenMetrics.h"
#include "platform/SdlInput.h"
#include "platform/WindowApi.h"
// Last: it brings Xlib, whose macros (None, Bool, Status) other headers use as names.
#include "tests/platform/XDisplayForTests.h"

#include <X11/Xatom.h>
#include <X11/keysym.h>

namespace plat {
namespace {

using namespace testdisplay;

TEST(SdlInput, KeysMapToVirtualKeysWithTheExtendedBlockMarked) {
  auto map = [](SDL_Keycode sym) {
    SDL_Keysym key{};
    key.sym = sym;
    return VirtualKeyFromSdl(key);
  };
  EXPECT_EQ(map(SDLK_q).code, 'Q');
  EXPECT_EQ(map(SDLK_7).code, '7');
  EXPECT_EQ(map(SDLK_F1).code, VK_F1);
  EXPECT_EQ(map(SDLK_KP_7).code, 0x67);
  EXPECT_FALSE(map(SDLK_KP_7).extended);
  for (SDL_Keycode nav : {SDLK_DELETE, SDLK_INSERT, SDLK_HOME, SDLK_END, SDLK_PAGEUP, SDLK_PAGEDOWN,
                          SDLK_LEFT, SDLK_RIGHT, SDLK_UP, SDLK_DOWN, SDLK_RCTRL, SDLK_RALT, SDLK_KP_ENTER}) {
    EXPECT_TRUE(map(nav).extended) << SDL_GetKeyName(nav);
  }
  EXPECT_EQ(map(SDLK_DELETE).code, VK_DELETE);
  EXPECT_EQ(map(SDLK_KP_ENTER).code, VK_RETURN);
  EXPECT_FALSE(map(SDLK_LCTRL).extended);
  EXPECT_FALSE(map(SDLK_RETURN).extended);
  EXPECT_EQ(map(SDLK_VOLUMEUP).code, 0);
}

TEST(SdlInput, TextDecodesUtf8AndRefusesMalformedBytes) {
  EXPECT_EQ(Utf16FromUtf8("a\xC3\xA6\xE2\x82\xAC"), u"a\u00E6\u20AC");
  EXPECT_EQ(Utf16FromUtf8("\xF0\x9F\x98\x80"), u"\U0001F600");
  EXPECT_EQ(Utf16FromUtf8("\xC3"), u"\uFFFD");                        // cut short
  EXPECT_EQ(Utf16FromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");              // overlong
  EXPECT_EQ(Utf16FromUtf8("\xED\xA0\x80x"), u"\uFFFD\uFFFD\uFFFDx");  // a surrogate
  // Letters come from the key's own translation; punctuation and other scripts only from text.
  EXPECT_TRUE(CharacterComesFromKey(u'k'));
  EXPECT_FALSE(CharacterComesFromKey(u'!'));
  EXPECT_FALSE(CharacterComesFromKey(u'\u00E6'));
}

TEST(SdlClipboard, WithoutADisplayTheTextStaysInTheProcess) {
  Clipboard::SetText(u"plan \u00E6");
  EXPECT_EQ(Clipboard::Text(), u"plan \u00E6");
  std::u16string system;
  Clipboard::UseSystem([&](const std::u16string& t) { system = t; }, [&] { return system + u"!"; });
  Clipboard::SetText(u"x");
  EXPECT_EQ(Clipboard::Text(), u"x!");
  Clipboard::UseSystem(nullptr, nullptr);
  EXPECT_EQ(Clipboard::Text(), u"plan \u00E6");
}

// ---- The smoke test.

constexpr COLORREF kIdle = RGB(192, 192, 192);
constexpr COLORREF kPressed = RGB(0, 160, 0);
bool gClicked = false;
int gPresses = 0;       // the presses the button was given
LPARAM gDeleteKey = 0;  // lParam of the frame's WM_KEYDOWN for the Delete key

void Paint(HWND window, COLORREF colour) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  RECT client;
  GetClientRect(window, &client);
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &client, brush);
  DeleteObject(brush);
  EndPaint(window, &ps);
}

LRESULT ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint(window, gClicked ? kPressed : kIdle);
      return 0;
    case WM_LBUTTONDOWN:
      ++gPresses;
      return 0;
    case WM_LBUTTONUP:
      gClicked = true;
      InvalidateRect(window, nullptr, 1);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

LRESULT FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    Paint(window, RGB(255, 255, 255));
    return 0;
  }
  if (message == WM_KEYDOWN && wParam == WPARAM(VK_DELETE)) gDeleteKey = lParam;
  return DefWindowProcA(window, message, wParam, lParam);
}

// The interactive backend on the test's X server, with the smoke frame's and button's window classes.
class SmokeDesktop : public BackendOnDisplay {
 public:
  explicit SmokeDesktop(const XServer& server) : BackendOnDisplay(server) {
    Register("SmokeFrame", FrameProc);
    Register("SmokeButton", ButtonProc);
  }
  static void Register(const char* name, WNDPROC proc) {
    WNDCLASSA windowClass;
    windowClass.lpfnWndProc = proc;
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);
  }
  // The frame, 320 by 240 pixels at (40, 30) of the screen, and its button, 120 by 40 at (30, 40).
  static HWND MakeFrame() {
    return CreateWindowExA(0, "SmokeFrame", "Smoke", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 30, 320, 240,
                           nullptr, nullptr, nullptr, nullptr);
  }
  static HWND MakeButton(HWND frame) {
    return CreateWindowExA(0, "SmokeButton", "", WS_CHILD | WS_VISIBLE, 30, 40, 120, 40, frame, nullptr,
                           nullptr, nullptr);
  }
};

TEST(SdlSmoke, ADesktopWindowTakesClicksAndKeysFromTheXServer) {
  XCalls x;
  std::string why;
  const XServer* server = OurServer(x, &why);
  if (server == nullptr && !why.empty()) GTEST_SKIP() << why;
  ASSERT_NE(server, nullptr) << "Xvfb did not start";
  const XServer& ours = *server;
  const SmokeDesktop desktop(ours);
  ASSERT_TRUE(desktop.Started());
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);  // the screen is the X server's
  EXPECT_FALSE(LayerClock::IsManual());
  gClicked = false;
  gDeleteKey = 0;
  HWND frame = SmokeDesktop::MakeFrame();
  HWND button = SmokeDesktop::MakeButton(frame);
  POINT centre{60, 20};
  ClientToScreen(button, &centre);

  Display* display = x.openDisplay(ours.Display().c_str());
  ASSERT_NE(display, nullptr);
  auto screenPixel = [&](int32_t px, int32_t py) { return ScreenPixel(x, display, px, py); };
  EXPECT_TRUE(PumpUntil([&] { return screenPixel(centre.x, centre.y) == 0xC0C0C0; }))
      << "the button never showed on the screen";

  x.fakeMotion(display, -1, centre.x, centre.y, 0);
  x.fakeButton(display, 1, True, 0);
  x.fakeButton(display, 1, False, 0);
  x.sync(display, False);
  EXPECT_TRUE(PumpUntil([&] { return gClicked && screenPixel(centre.x, centre.y) == 0x00A000; }))
      << "the click did not reach the button, or its new look did not reach the screen";

  // The Delete key of the navigation block reaches the window the click activated, marked extended.
  unsigned int deleteKey = x.keycode(display, XK_Delete);
  x.fakeKey(display, deleteKey, True, 0);
  x.fakeKey(display, deleteKey, False, 0);
  x.sync(display, False);
  EXPECT_TRUE(PumpUntil([&] { return gDeleteKey != 0; })) << "the key did not arrive";
  EXPECT_TRUE(gDeleteKey & KF_EXTENDED_BIT);

  // The whole screen read back is not blank: the frame's white shows around the button.
  XImage* shot = x.getImage(display, x.rootWindow(display), 0, 0, 640, 480, AllPlanes, ZPixmap);
  ASSERT_NE(shot, nullptr);
  int32_t white = 0;
  for (int32_t yy = 0; yy < 480; ++yy)
    for (int32_t xx = 0; xx < 640; ++xx) white += (XGetPixel(shot, xx, yy) & 0xFFFFFF) == 0xFFFFFF;
  XDestroyImage(shot);
  EXPECT_GT(white, 320 * 100);

  // A request that names no window makes the server report an error; the program reports it and goes
  // on (the handler serves every connection of the process, this test's too).
  XMapWindow(display, 0x3FFFFF1);
  x.sync(display, False);
  EXPECT_TRUE(IsWindow(frame));

  // The close box comes as SC_CLOSE, which closes the frame; its desktop window goes with it.
  DestroyWindow(frame);
  SdlBackend::Pump(std::chrono::milliseconds(0));
  x.closeDisplay(display);
}

// A drop-down list that closes on the press that picks in it (as the room panel's selector lists
// do), while the user's button is still down: the release comes after the list's desktop window had
// to go. The desktop must still let the mouse go, so that the next press on the frame is taken.
const XCalls* gListX = nullptr;
Display* gListDisplay = nullptr;

LRESULT ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    Paint(window, RGB(0, 0, 255));
    return 0;
  }
  if (message == WM_LBUTTONDOWN) {
    // The pick: the user lets go while the program still handles the press, then the list goes.
    gListX->fakeButton(gListDisplay, 1, False, 0);
    gListX->sync(gListDisplay, False);
    if (GetCapture() == window) ReleaseCapture();
    DestroyWindow(window);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST(SdlSmoke, AListClosedByThePressThatPicksLetsTheMouseGo) {
  XCalls x;
  std::string why;
  const XServer* server = OurServer(x, &why);
  if (server == nullptr && !why.empty()) GTEST_SKIP() << why;
  ASSERT_NE(server, nullptr) << "Xvfb did not start";
  const SmokeDesktop desktop(*server);
  ASSERT_TRUE(desktop.Started());
  gClicked = false;
  gPresses = 0;
  SmokeDesktop::Register("SmokeList", ListProc);
  HWND frame = SmokeDesktop::MakeFrame();
  HWND button = SmokeDesktop::MakeButton(frame);
  HWND list = CreateWindowExA(0, "SmokeList", "", WS_POPUP | WS_BORDER | WS_VISIBLE, 200, 120, 100, 100,
                              frame, nullptr, nullptr, nullptr);
  SetCapture(list);
  POINT centre{60, 20};
  ClientToScreen(button, &centre);
  POINT pick{50, 50};
  ClientToScreen(list, &pick);

  Display* display = x.openDisplay(server->Display().c_str());
  ASSERT_NE(display, nullptr);
  gListX = &x;
  gListDisplay = display;
  auto screenPixel = [&](int32_t px, int32_t py) { return ScreenPixel(x, display, px, py); };
  EXPECT_TRUE(PumpUntil([&] { return screenPixel(pick.x, pick.y) == 0x0000FF; }))
      << "the list never showed on the screen";
  x.fakeMotion(display, -1, pick.x, pick.y, 0);
  x.fakeButton(display, 1, True, 0);
  x.sync(display, False);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(list) && screenPixel(pick.x, pick.y) != 0x0000FF; }))
      << "the press did not close the list";
  // The frame's button, pressed once.
  x.fakeMotion(display, -1, centre.x, centre.y, 0);
  x.fakeButton(display, 1, True, 0);
  x.fakeButton(display, 1, False, 0);
  x.sync(display, False);
  EXPECT_TRUE(PumpUntil([&] { return gClicked; })) << "the release did not reach the button";
  EXPECT_EQ(gPresses, 1) << "the first press after the list closed was lost";

  gListX = nullptr;
  gListDisplay = nullptr;
  DestroyWindow(frame);
  SdlBackend::Pump(std::chrono::milliseconds(0));
  x.closeDisplay(display);
}

// The window manager's state asked of a top-level X window titled `title`: whether its
// _NET_WM_STATE names both maximised states; nullopt when no such window shows.
std::optional<bool> AskedMaximised(const XCalls& x, Display* display, const char* title) {
  Window root = 0, parent = 0, *children = nullptr;
  unsigned int count = 0;
  if (!x.queryTree(display, x.rootWindow(display), &root, &parent, &children, &count)) return std::nullopt;
  std::optional<bool> asked;
  const Atom state = x.internAtom(display, "_NET_WM_STATE", False);
  const Atom vertical = x.internAtom(display, "_NET_WM_STATE_MAXIMIZED_VERT", False);
  const Atom horizontal = x.internAtom(display, "_NET_WM_STATE_MAXIMIZED_HORZ", False);
  for (unsigned int i = 0; i < count && !asked; ++i) {
    char* name = nullptr;
    if (!x.fetchName(display, children[i], &name) || name == nullptr) continue;
    const bool ours = std::string(name) == title;
    x.free(name);
    if (!ours) continue;
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, left = 0;
    unsigned char* data = nullptr;
    int found = 0;
    if (x.getProperty(display, children[i], state, 0, 64, False, XA_ATOM, &type, &format, &items, &left,
                      &data) == Success &&
        data != nullptr) {
      for (unsigned long k = 0; k < items; ++k) {
        const Atom a = reinterpret_cast<const Atom*>(data)[k];
        found += a == vertical || a == horizontal;
      }
      x.free(data);
    }
    asked = found == 2;
  }
  if (children != nullptr) x.free(children);
  return asked;
}

// A frame the program shows maximised (a maximised start) asks the desktop to maximise its window,
// through the state a window manager reads when it maps it; a frame shown as it is does not.
TEST(SdlSmoke, AFrameShownMaximisedAsksTheDesktopToMaximiseIt) {
  XCalls x;
  std::string why;
  const XServer* server = OurServer(x, &why);
  if (server == nullptr && !why.empty()) GTEST_SKIP() << why;
  ASSERT_NE(server, nullptr) << "Xvfb did not start";
  const SmokeDesktop desktop(*server);
  ASSERT_TRUE(desktop.Started());
  Display* display = x.openDisplay(server->Display().c_str());
  ASSERT_NE(display, nullptr);
  const struct {
    const char* title;
    int32_t show;
    bool maximised;
  } frames[] = {{"Maximised", SW_SHOWMAXIMIZED, true}, {"Restored", SW_SHOW, false}};
  for (const auto& f : frames) {
    SCOPED_TRACE(f.title);
    HWND frame = CreateWindowExA(0, "SmokeFrame", f.title, WS_OVERLAPPEDWINDOW, 40, 30, 320, 240, nullptr,
                                 nullptr, nullptr, nullptr);
    ShowWindow(frame, f.show);
    std::optional<bool> asked;
    EXPECT_TRUE(PumpUntil([&] { return (asked = AskedMaximised(x, display, f.title)).has_value(); }))
        << "the frame's window never showed";
    EXPECT_EQ(asked.value_or(!f.maximised), f.maximised);
    DestroyWindow(frame);
    SdlBackend::Pump(std::chrono::milliseconds(0));
  }
  x.closeDisplay(display);
}

}  // namespace
}  // namespace plat
