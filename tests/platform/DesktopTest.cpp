#include <gtest/gtest.h>

#include <vector>

#include "platform/Cursors.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/LayerClock.h"
#include "platform/ScreenMetrics.h"
#include "platform/WindowApi.h"

namespace plat {
namespace {

LRESULT PlainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }

class DesktopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    WNDCLASSA wc;
    wc.lpfnWndProc = PlainProc;
    wc.lpszClassName = "Plain";
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(IDC_CROSS));
    RegisterClassA(&wc);
  }
  void TearDown() override { HeadlessDriver::Reset(); }
};

TEST_F(DesktopTest, ClockIsSetByTheTest) {
  LayerClock::SetManual(10'000);
  EXPECT_EQ(GetTickCount(), 10'000u);
  LayerClock::Advance(199);
  EXPECT_EQ(GetTickCount(), 10'199u);
  HWND w = CreateWindowExA(0, "Plain", "", WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  PostMessageA(w, WM_USER, 0, 0);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_REMOVE));
  EXPECT_EQ(msg.time, 10'199u);
}

TEST_F(DesktopTest, WaitingAdvancesTheManualClockAndSleepsOnTheRealOne) {
  LayerClock::SetManual(500);
  LayerClock::Wait(84);
  EXPECT_EQ(GetTickCount(), 584u);
  LayerClock::SetReal();
  const uint32_t before = GetTickCount();
  LayerClock::Wait(20);
  EXPECT_GE(GetTickCount() - before, 20u);
  LayerClock::SetManual(0);
}

TEST_F(DesktopTest, SystemCursorsAreSharedAndTheCurrentOneIsReadable) {
  HCURSOR arrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(IDC_ARROW));
  ASSERT_NE(arrow, nullptr);
  EXPECT_EQ(arrow, LoadCursorA(nullptr, MAKEINTRESOURCEA(IDC_ARROW)));
  EXPECT_EQ(arrow->systemId, IDC_ARROW);
  EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(1)), nullptr);
  EXPECT_EQ(LoadCursorA(reinterpret_cast<HINSTANCE>(1), "NoSuchCursor"), nullptr);
  SetCursor(arrow);
  EXPECT_EQ(GetCursor(), arrow);
  // A window's class cursor becomes current through the default procedure.
  HWND w = CreateWindowExA(0, "Plain", "", WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  SendMessageA(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w), HTCLIENT);
  EXPECT_EQ(GetCursor()->systemId, IDC_CROSS);
}

TEST_F(DesktopTest, BeepsAreLogged) {
  MessageBeep(0x30);
  MessageBeep(0);
  EXPECT_EQ(Desktop::Beeps(), (std::vector<UINT>{0x30, 0}));
}

TEST_F(DesktopTest, IdleScriptAnswersAWaitingLoop) {
  int calls = 0;
  HeadlessDriver::SetIdleScript([&] {
    ++calls;
    if (calls == 3) PostQuitMessage(4);
    return true;
  });
  MSG msg;
  EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), 0);
  EXPECT_EQ(msg.wParam, 4u);
  EXPECT_EQ(calls, 3);
}

// WaitMessage waits through the installed waiter (which a backend replaces and gives back) until a
// message the loop has not looked at arrives: a pending paint, or a message already passed over, would
// make a loop that waits for a button's release spin without ever reading input.
TEST_F(DesktopTest, WaitMessageWaitsForAMessageTheLoopHasNotSeen) {
  HWND w = CreateWindowExA(0, "Plain", "", WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  int waits = 0;
  Desktop::Waiter headless = Desktop::SetWaiter([&] {
    ++waits;
    PostMessageA(w, WM_USER, 0, 0);
  });
  EXPECT_TRUE(WaitMessage());
  EXPECT_EQ(waits, 1);  // the new window's paint is pending, yet the loop waits
  PostMessageA(w, WM_USER, 0, 0);
  EXPECT_TRUE(WaitMessage());
  EXPECT_EQ(waits, 1);  // posted since the last look: no wait
  EXPECT_TRUE(WaitMessage());
  EXPECT_EQ(waits, 2);  // looked at once, the queued messages no longer end a wait
  EXPECT_NE(GetQueueStatus(QS_POSTMESSAGE), 0u);
  EXPECT_TRUE(WaitMessage());
  EXPECT_EQ(waits, 3);
  Desktop::SetWaiter(std::move(headless));
}

TEST_F(DesktopTest, ALoopThatNothingAnswersFailsInsteadOfHanging) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        HeadlessDriver::SetIdleTimeout(std::chrono::milliseconds(20));
        MSG msg;
        GetMessageA(&msg, nullptr, 0, 0);
      },
      "waits for input that nothing will send");
}

TEST_F(DesktopTest, TaskBarAndMaximisedWorkArea) {
  RECT bar{0, 984, 1280, 1024};
  EXPECT_FALSE(GetTaskBarRect(nullptr));
  Desktop::SetTaskBar(&bar);
  RECT got;
  ASSERT_TRUE(GetTaskBarRect(&got));
  EXPECT_EQ(got, bar);
  HWND w = CreateWindowExA(0, "Plain", "", WS_OVERLAPPEDWINDOW, 10, 10, 300, 200, nullptr, nullptr, nullptr,
                           nullptr);
  ShowWindow(w, SW_SHOWMAXIMIZED);
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r, (RECT{0, 0, 1280, 984}));
  EXPECT_TRUE(IsZoomed(w));
}

// A frame made with the default place and size lies inside the work area (the desktop's own when the
// backend gave one, else the screen less the task bar) with room round it for a window manager's
// frame, and maximised it fills that area; a popup or a child gets no default. The desktop's area
// may start away from the screen's corner (panels along its left and top edges).
TEST_F(DesktopTest, AWindowMadeWithDefaultsLiesInsideTheWorkArea) {
  const RECT bar{0, 984, 1280, 1024}, desktops{0, 30, 1600, 1000}, besidePanels{240, 90, 1600, 1000};
  Desktop::SetTaskBar(&bar);
  for (const RECT* given : {static_cast<const RECT*>(nullptr), &desktops, &besidePanels}) {
    if (given) {
      SetVirtualScreenSize(1600, 1000);
      Desktop::SetWorkArea(given);
    }
    const RECT work = given ? *given : RECT{0, 0, 1280, 984};
    HWND w = CreateWindowExA(0, "Plain", "", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, nullptr,
                             nullptr, nullptr, nullptr);
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r.right - r.left, (work.right - work.left) * 3 / 4);
    EXPECT_EQ(r.bottom - r.top, (work.bottom - work.top) * 3 / 4);
    EXPECT_GE(r.top - work.top, 40) << "no room for a title bar above it";
    EXPECT_NEAR(r.left - work.left, work.right - r.right, 1);
    EXPECT_NEAR(r.top - work.top, work.bottom - r.bottom, 1);
    ShowWindow(w, SW_SHOWMAXIMIZED);
    GetWindowRect(w, &r);
    EXPECT_EQ(r, work);
    DestroyWindow(w);
  }
  HWND popup = CreateWindowExA(0, "Plain", "", WS_POPUP, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, nullptr, nullptr,
                               nullptr, nullptr);
  RECT r;
  GetWindowRect(popup, &r);
  EXPECT_EQ(r, (RECT{0, 0, 0, 0}));
}

TEST_F(DesktopTest, ResizeRequestsGoThroughSizing) {
  // The procedure sees the dragged edge and keeps the window at most 600 pixels wide by moving that
  // edge back; the window takes the rectangle it answered, not the one proposed.
  WNDCLASSA wc;
  wc.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == WM_SIZING && wp == WMSZ_TOPLEFT) {
      auto* r = reinterpret_cast<RECT*>(lp);
      if (r->right - r->left > 600) r->left = r->right - 600;
      return 1;
    }
    return DefWindowProcA(w, m, wp, lp);
  };
  wc.lpszClassName = "AtMost600Wide";
  RegisterClassA(&wc);
  HWND w = CreateWindowExA(0, "AtMost600Wide", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 300, 500, 500,
                           nullptr, nullptr, nullptr, nullptr);
  Desktop::RequestResize(w, WMSZ_TOPLEFT, {350, 320, 1000, 800});
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r, (RECT{400, 320, 1000, 800}));
}

TEST_F(DesktopTest, DisabledWindowsTakeNoClicks) {
  HWND top = CreateWindowExA(0, "Plain", "", WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
  HWND child =
      CreateWindowExA(0, "Plain", "", WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, top, nullptr, nullptr, nullptr);
  EXPECT_EQ(WindowFromPoint({20, 20}), child);
  EnableWindow(child, 0);
  EXPECT_EQ(WindowFromPoint({20, 20}), top);
  EnableWindow(top, 0);
  EXPECT_EQ(WindowFromPoint({20, 20}), nullptr);
}

std::vector<std::pair<HWND, UINT>> gCloseSeen;
LRESULT CloseRecordingProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_LBUTTONDOWN || m == WM_LBUTTONUP || m == WM_CANCELMODE ||
      (m == WM_SYSCOMMAND && wp == SC_CLOSE)) {
    gCloseSeen.emplace_back(w, m);
    if (m == WM_LBUTTONDOWN) {
      const POINT at{static_cast<int16_t>(LOWORD(lp)), static_cast<int16_t>(HIWORD(lp))};
      RECT client{};
      GetClientRect(w, &client);
      if (at.x >= 0 && at.y >= 0 && at.x < client.right && at.y < client.bottom)
        gCloseSeen.emplace_back(w, WM_USER);
    }
    return 0;
  }
  return DefWindowProcA(w, m, wp, lp);
}

void PumpAll() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// The close box under a capture: a caption-less list gets a press outside itself (no row is taken);
// a child's mouse task is cancelled without a release and the frame is asked to close.
TEST_F(DesktopTest, CloseRequestUnderACaptureDismissesAListOrCancelsADrag) {
  WNDCLASSA wc;
  wc.lpfnWndProc = CloseRecordingProc;
  wc.lpszClassName = "CloseRecording";
  RegisterClassA(&wc);
  HWND frame = CreateWindowExA(0, "CloseRecording", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300,
                               nullptr, nullptr, nullptr, nullptr);
  HWND list = CreateWindowExA(0, "CloseRecording", "", WS_POPUP | WS_BORDER | WS_VISIBLE, 150, 150, 100, 80,
                              frame, nullptr, nullptr, nullptr);
  PumpAll();
  Desktop::MouseMove({170, 170});  // over a row of the list
  SetCapture(list);
  gCloseSeen.clear();
  Desktop::RequestClose(frame);
  PumpAll();
  ASSERT_FALSE(gCloseSeen.empty());
  for (const auto& [w, m] : gCloseSeen) {
    EXPECT_EQ(w, list);
    EXPECT_NE(m, WM_USER) << "the press landed inside the list";
    EXPECT_NE(m, WM_SYSCOMMAND);
  }
  ReleaseCapture();
  DestroyWindow(list);

  HWND canvas = CreateWindowExA(0, "CloseRecording", "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 200, frame,
                                nullptr, nullptr, nullptr);
  SetCapture(canvas);
  gCloseSeen.clear();
  Desktop::RequestClose(frame);
  PumpAll();
  EXPECT_EQ(GetCapture(), nullptr);
  const std::vector<std::pair<HWND, UINT>> expected{{canvas, WM_CANCELMODE}, {frame, WM_SYSCOMMAND}};
  EXPECT_EQ(gCloseSeen, expected);
  DestroyWindow(frame);
}

}  // namespace
}  // namespace plat
