// What the queue hands out: filters of one message, the quit message once, and paint messages only
// for windows that can be seen.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"

namespace plat {
namespace {

// Each window fills what it is asked to paint with its colour (its user data) and counts its paints.
std::map<HWND, int> gPaints;

LRESULT PaintingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT) return DefWindowProcA(window, message, wParam, lParam);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrA(window, GWLP_USERDATA)));
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, brush);
  DeleteObject(brush);
  EndPaint(window, &ps);
  ++gPaints[window];
  return 0;
}

class MessageFilter : public ::testing::Test {
 protected:
  void SetUp() override { Fresh(); }
  // A fresh desktop with the painting class (cases of one test start afresh).
  static void Fresh() {
    HeadlessDriver::Reset();
    gPaints.clear();
    WNDCLASSA wc;
    wc.lpfnWndProc = PaintingProc;
    wc.lpszClassName = "Painting";
    ASSERT_NE(RegisterClassA(&wc), 0);
  }
  void TearDown() override { HeadlessDriver::Reset(); }

  // A top-level window at (0, 0) or a child at `r`, in `colour`; hidden unless `visible`.
  HWND Make(HWND parent, RECT r, COLORREF colour, bool visible) {
    DWORD style = (parent ? WS_CHILD : WS_POPUP | WS_CLIPCHILDREN) | (visible ? WS_VISIBLE : 0);
    HWND w = CreateWindowExA(0, "Painting", "", style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                             parent, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(w, GWLP_USERDATA, static_cast<LONG_PTR>(colour));
    return w;
  }
  // The pixel at client point (x, y) of `window`, read from its top-level window's pixels.
  static uint32_t PixelAt(HWND top, HWND window, int32_t x, int32_t y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    RECT r;
    GetWindowRect(top, &r);
    return GetWindowSurface(top)->Pixel(p.x - r.left, p.y - r.top);
  }
  static bool PaintWaiting(HWND window) {
    MSG msg;
    return PeekMessageW(&msg, window, WM_PAINT, WM_PAINT, PM_NOREMOVE) != 0;
  }
};

TEST_F(MessageFilter, AFilterOfOneMessageTakesExactlyThatMessage) {
  // Queued: three posted messages, a quit request and a window waiting to be painted. A filter whose
  // first and last message are the same takes that message and nothing next to it.
  struct Case {
    UINT only;
    UINT expected;  // 0: nothing matches
  } cases[] = {{WM_USER + 2, WM_USER + 2}, {WM_USER + 1, WM_USER + 1}, {WM_USER + 3, WM_USER + 3},
               {WM_QUIT, WM_QUIT},         {WM_PAINT, WM_PAINT},       {WM_USER + 4, 0}};
  for (const Case& c : cases) {
    Fresh();
    HWND w = Make(nullptr, {0, 0, 50, 50}, RGB(0, 0, 255), true);
    for (UINT m : {WM_USER + 1, WM_USER + 2, WM_USER + 3}) PostMessageW(w, m, m - WM_USER, 0);
    PostQuitMessage(9);
    MSG msg;
    BOOL found = PeekMessageW(&msg, nullptr, c.only, c.only, PM_REMOVE);
    if (c.expected == 0) {
      EXPECT_FALSE(found) << c.only;
      continue;
    }
    ASSERT_TRUE(found) << c.only;
    EXPECT_EQ(msg.message, c.expected);
    WPARAM wParam = c.expected == WM_QUIT ? 9 : c.expected > WM_USER ? c.expected - WM_USER : 0;
    EXPECT_EQ(msg.wParam, wParam);
    EXPECT_EQ(msg.hwnd, c.expected == WM_QUIT ? nullptr : w);
    // The posted messages the filter left are still there, in their order.
    std::vector<UINT> left;
    while (PeekMessageW(&msg, nullptr, WM_USER, WM_USER + 10, PM_REMOVE)) left.push_back(msg.message);
    std::vector<UINT> all = {WM_USER + 1, WM_USER + 2, WM_USER + 3};
    std::erase(all, c.expected);
    EXPECT_EQ(left, all) << c.only;
  }
}

TEST_F(MessageFilter, AQuitMessageTakenOnceIsNotDeliveredAgain) {
  HWND w = Make(nullptr, {0, 0, 50, 50}, RGB(0, 0, 255), true);
  HeadlessDriver::RunUntilIdle();
  PostMessageW(w, WM_USER, 0, 0);
  PostQuitMessage(5);
  MSG msg;
  // Looking without taking leaves it; the posted message comes first.
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
  EXPECT_EQ(msg.message, WM_QUIT);
  ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, WM_USER);
  EXPECT_FALSE(GetMessageW(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.wParam, 5u);
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) << "the quit message came a second time";
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  // A new request is a new message, taken once as well.
  PostQuitMessage(6);
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 6u);
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageFilter, HiddenWindowsAreNotPaintedUntilShown) {
  // Which window is hidden while both are invalid, and which one is then shown.
  struct Case {
    const char* what;
    bool frameVisible, childVisible;
  } cases[] = {{"hidden frame, shown child", false, true},
               {"shown frame, hidden child", true, false},
               {"both hidden", false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Fresh();
    HWND frame = Make(nullptr, {0, 0, 200, 100}, RGB(0, 0, 255), c.frameVisible);
    HWND child = Make(frame, {20, 20, 80, 60}, RGB(255, 0, 0), c.childVisible);
    InvalidateRect(frame, nullptr, 1);
    InvalidateRect(child, nullptr, 1);
    UpdateWindow(child);
    HeadlessDriver::RunUntilIdle();
    EXPECT_EQ(gPaints[child], 0);
    EXPECT_FALSE(PaintWaiting(child));
    EXPECT_EQ(gPaints[frame], c.frameVisible ? 1 : 0);
    EXPECT_FALSE(PaintWaiting(frame));

    for (HWND w : {frame, child}) ShowWindow(w, SW_SHOWNOACTIVATE);
    HeadlessDriver::RunUntilIdle();
    EXPECT_EQ(gPaints[child], 1);
    EXPECT_GE(gPaints[frame], 1);
    EXPECT_EQ(PixelAt(frame, child, 30, 20), 0xFF0000u);
    EXPECT_EQ(PixelAt(frame, frame, 150, 50), 0x0000FFu);
  }
}

TEST_F(MessageFilter, AFrameShownAgainPaintsChildrenThatMovedWhileItWasHidden) {
  HWND frame = Make(nullptr, {0, 0, 200, 100}, RGB(0, 0, 255), true);
  HWND child = Make(frame, {20, 20, 80, 60}, RGB(255, 0, 0), true);
  HeadlessDriver::RunUntilIdle();
  ShowWindow(frame, SW_HIDE);
  MoveWindow(child, 120, 20, 60, 40, 1);
  HeadlessDriver::RunUntilIdle();
  EXPECT_FALSE(PaintWaiting(child)) << "painted while its frame was hidden";
  ShowWindow(frame, SW_SHOWNOACTIVATE);
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(PixelAt(frame, child, 10, 10), 0xFF0000u);
  EXPECT_EQ(PixelAt(frame, frame, 40, 40), 0x0000FFu) << "the child's old place";
}

}  // namespace
}  // namespace plat
