#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/LayerClock.h"
#include "platform/MessageQueue.h"
#include "platform/WindowApi.h"
#include "platform/WindowManager.h"

namespace plat {
namespace {

// Each test window logs what it receives; a test may install a handler for one message.
struct Received {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<Received> gLog;
std::function<bool(HWND, UINT, WPARAM, LPARAM)> gHandler;

LRESULT LoggingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  gLog.push_back({window, message, wParam, lParam});
  if (gHandler && gHandler(window, message, wParam, lParam)) return 0;
  return DefWindowProcW(window, message, wParam, lParam);
}

class WindowMessages : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    gLog.clear();
    gHandler = nullptr;
    WNDCLASSA wc;
    wc.lpfnWndProc = LoggingProc;
    wc.lpszClassName = "TestWindow";
    ASSERT_NE(RegisterClassA(&wc), 0);
  }
  void TearDown() override { HeadlessDriver::Reset(); }

  HWND Frame(RECT r = {100, 100, 500, 400}) {
    return CreateWindowExA(0, "TestWindow", "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, r.left, r.top,
                           r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
  }
  HWND Child(HWND parent, RECT r) {
    return CreateWindowExA(0, "TestWindow", "", WS_CHILD | WS_VISIBLE, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, parent, nullptr, nullptr, nullptr);
  }
  std::vector<UINT> MessagesFor(HWND window, std::initializer_list<UINT> kinds) {
    std::vector<UINT> out;
    for (const Received& r : gLog) {
      for (UINT k : kinds) {
        if (r.window == window && r.message == k) out.push_back(r.message);
      }
    }
    return out;
  }
};

TEST_F(WindowMessages, PostedMessageRunsAfterEverythingQueuedBeforeItInputIncluded) {
  HWND frame = Frame();
  HeadlessDriver::RunUntilIdle();
  constexpr UINT kSweep = WM_APP + 0x100;
  std::vector<UINT> order;
  gHandler = [&](HWND w, UINT m, WPARAM, LPARAM) {
    if (m == WM_USER + 1) {
      PostMessageA(w, kSweep, 0, 0);  // posted from a handler: must wait for the input queued earlier
      order.push_back(m);
      return true;
    }
    if (m == kSweep || m == WM_LBUTTONDOWN || m == WM_USER + 2) order.push_back(m);
    return false;
  };
  PostMessageA(frame, WM_USER + 1, 0, 0);
  Desktop::MouseButton(VK_LBUTTON, true, {200, 200});
  PostMessageA(frame, WM_USER + 2, 0, 0);
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(order, (std::vector<UINT>{WM_USER + 1, WM_LBUTTONDOWN, WM_USER + 2, kSweep}));
}

TEST_F(WindowMessages, QuitEndsTheLoopWithItsCodeAfterPendingPosts) {
  HWND frame = Frame();
  PostMessageA(frame, WM_USER, 0, 0);
  PostQuitMessage(7);
  MSG msg;
  ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, WM_USER);
  EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), 0);
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(WindowMessages, PostsFromAnotherThreadAreHandledOnTheInterfaceThreadInOrder) {
  HWND frame = Frame();
  HeadlessDriver::RunUntilIdle();
  std::thread::id ui = std::this_thread::get_id();
  std::vector<WPARAM> seen;
  bool allOnUi = true;
  gHandler = [&](HWND, UINT m, WPARAM w, LPARAM) {
    if (m != WM_USER) return false;
    seen.push_back(w);
    allOnUi = allOnUi && std::this_thread::get_id() == ui;
    if (w == 99) PostQuitMessage(0);
    return true;
  };
  std::thread worker([frame] {
    for (WPARAM i = 0; i < 100; ++i) PostMessageA(frame, WM_USER, i, 0);
  });
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0)) DispatchMessageA(&msg);
  worker.join();
  ASSERT_EQ(seen.size(), 100u);
  for (WPARAM i = 0; i < 100; ++i) EXPECT_EQ(seen[i], i);
  EXPECT_TRUE(allOnUi);
}

TEST_F(WindowMessages, DestroyedWindowIsGoneGetsNothingAndRefusesPosts) {
  HWND frame = Frame();
  HWND child = Child(frame, {10, 10, 50, 50});
  std::vector<MSG> dropped;
  WindowManager::Instance().SetDroppedMessageHandler([&](const MSG& m) { dropped.push_back(m); });
  PostMessageA(child, WM_USER, 1, 0);
  gLog.clear();
  ASSERT_TRUE(DestroyWindow(frame));
  // Destruction order: WM_DESTROY parent first, WM_NCDESTROY children first.
  std::vector<std::pair<HWND, UINT>> order;
  for (const Received& r : gLog) {
    if (r.message == WM_DESTROY || r.message == WM_NCDESTROY) order.emplace_back(r.window, r.message);
  }
  EXPECT_EQ(order,
            (std::vector<std::pair<HWND, UINT>>{
                {frame, WM_DESTROY}, {child, WM_DESTROY}, {child, WM_NCDESTROY}, {frame, WM_NCDESTROY}}));
  EXPECT_FALSE(IsWindow(frame));
  EXPECT_FALSE(IsWindow(child));
  EXPECT_FALSE(PostMessageA(frame, WM_USER, 0, 0));
  gLog.clear();
  EXPECT_EQ(SendMessageA(child, WM_USER, 0, 0), 0);
  HeadlessDriver::RunUntilIdle();
  EXPECT_TRUE(gLog.empty());
  ASSERT_EQ(dropped.size(), 1u);  // the post queued before the end is reported, not lost silently
  EXPECT_EQ(dropped[0].wParam, 1u);
  WindowManager::Instance().SetDroppedMessageHandler(nullptr);
}

TEST_F(WindowMessages, UnhandledRightReleaseInAChildBecomesContextMenuAtItsParent) {
  HWND frame = Frame();
  HWND child = Child(frame, {10, 20, 110, 120});
  HeadlessDriver::RunUntilIdle();
  POINT origin{0, 0};
  ClientToScreen(child, &origin);
  Desktop::MouseButton(VK_RBUTTON, true, {origin.x + 5, origin.y + 6});
  Desktop::MouseButton(VK_RBUTTON, false, {origin.x + 5, origin.y + 6});
  gLog.clear();
  HeadlessDriver::RunUntilIdle();
  const Received* atParent = nullptr;
  for (const Received& r : gLog) {
    if (r.window == frame && r.message == WM_CONTEXTMENU) atParent = &r;
  }
  ASSERT_NE(atParent, nullptr);
  EXPECT_EQ(atParent->wParam, reinterpret_cast<WPARAM>(child));
  EXPECT_EQ(GET_X_LPARAM(atParent->lParam), origin.x + 5);
  EXPECT_EQ(GET_Y_LPARAM(atParent->lParam), origin.y + 6);
}

TEST_F(WindowMessages, CapturedMovesOutsideArriveWithNegativeCoordinates) {
  HWND frame = Frame();
  HWND child = Child(frame, {50, 50, 150, 150});
  HeadlessDriver::RunUntilIdle();
  SetCapture(child);
  POINT origin{0, 0};
  ClientToScreen(child, &origin);
  Desktop::MouseMove({origin.x - 30, origin.y - 40});
  gLog.clear();
  HeadlessDriver::RunUntilIdle();
  ASSERT_FALSE(gLog.empty());
  EXPECT_EQ(gLog[0].window, child);
  EXPECT_EQ(gLog[0].message, WM_MOUSEMOVE);
  EXPECT_EQ(GET_X_LPARAM(gLog[0].lParam), -30);
  EXPECT_EQ(GET_Y_LPARAM(gLog[0].lParam), -40);
  ReleaseCapture();
  // Without capture the same point falls outside the child: the frame gets it.
  Desktop::MouseMove({origin.x - 30, origin.y - 40});
  gLog.clear();
  HeadlessDriver::RunUntilIdle();
  ASSERT_FALSE(gLog.empty());
  EXPECT_EQ(gLog[0].window, frame);
}

TEST_F(WindowMessages, QueueStatusSeesButtonsWithoutRemovingThem) {
  HWND frame = Frame();
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(GetQueueStatus(QS_MOUSEBUTTON) & 0xFFFF, 0u);
  Desktop::MouseButton(VK_LBUTTON, true, {200, 200});
  EXPECT_NE(GetQueueStatus(QS_MOUSEBUTTON) & 0xFFFF, 0u);
  EXPECT_NE(GetQueueStatus(QS_MOUSEBUTTON) & 0xFFFF, 0u);
  gLog.clear();
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(MessagesFor(frame, {WM_LBUTTONDOWN}).size(), 1u);
}

TEST_F(WindowMessages, KeysReachTheFocusWithTheExtendedBitAndTranslateToCharacters) {
  HWND frame = Frame();
  HWND child = Child(frame, {0, 0, 10, 10});
  SetFocus(child);
  HeadlessDriver::RunUntilIdle();
  gLog.clear();
  Desktop::Key(VK_DELETE, true, true);
  Desktop::Key(VK_DELETE, false, true);
  Desktop::Key('A', true);
  HeadlessDriver::RunUntilIdle();
  std::vector<Received> keys;
  for (const Received& r : gLog) {
    if (r.window == child && (r.message == WM_KEYDOWN || r.message == WM_KEYUP || r.message == WM_CHAR))
      keys.push_back(r);
  }
  ASSERT_EQ(keys.size(), 4u);
  EXPECT_EQ(keys[0].message, WM_KEYDOWN);
  EXPECT_NE(keys[0].lParam & KF_EXTENDED_BIT, 0);
  EXPECT_EQ(keys[1].message, WM_KEYUP);
  EXPECT_EQ(keys[3].message, WM_CHAR);
  EXPECT_EQ(keys[3].wParam, static_cast<WPARAM>('a'));
  EXPECT_LT(GetKeyState('A'), 0);
}

TEST_F(WindowMessages, CloseBoxDestroysThroughTheDefaultProcedures) {
  HWND frame = Frame();
  Desktop::RequestClose(frame);
  HeadlessDriver::RunUntilIdle();
  EXPECT_FALSE(IsWindow(frame));
}

TEST_F(WindowMessages, PropertiesAndFindWindow) {
  HWND frame = Frame();
  int object = 0;
  SetPropA(frame, "obj", &object);
  EXPECT_EQ(GetPropA(frame, "obj"), &object);
  EXPECT_EQ(FindWindowA("testwindow", "frame"), frame);
  EXPECT_EQ(FindWindowA("TestWindow", "other"), nullptr);
  EXPECT_EQ(RemovePropA(frame, "obj"), &object);
  EXPECT_EQ(GetPropA(frame, "obj"), nullptr);
}

// A loop that peeks while it works (a print job's abort box) reads the display's input when nothing is
// queued: a removing peek takes the press the reader brought in, and the same peek again finds the
// queue empty although it asks the reader once more. With a message queued, the reader waits.
TEST_F(WindowMessages, PeekingWithNothingQueuedReadsTheDisplaysInputAndTakesItOnce) {
  HWND frame = Frame();
  HeadlessDriver::RunUntilIdle();
  int32_t reads = 0;
  std::vector<uint32_t> waits;
  LayerClock::SetInputReader([&](uint32_t most) {
    waits.push_back(most);
    if (++reads == 1) Desktop::MouseButton(VK_LBUTTON, true, {200, 200});
  });
  struct Uninstall {
    ~Uninstall() { LayerClock::SetInputReader(nullptr); }  // the reader outlives a reset otherwise
  } uninstall;

  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_LBUTTONDOWN);
  EXPECT_EQ(msg.hwnd, frame);
  EXPECT_EQ(reads, 1);
  EXPECT_EQ(waits, std::vector<uint32_t>{0});  // a peek never waits for input

  MSG again{};
  EXPECT_FALSE(PeekMessageA(&again, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(reads, 2);
  gLog.clear();
  HeadlessDriver::RunUntilIdle();
  EXPECT_TRUE(MessagesFor(frame, {WM_LBUTTONDOWN}).empty());  // taken by the peek, not handled twice

  const int32_t readsBefore = reads;  // the idle run above peeked too
  PostMessageA(frame, WM_USER, 0, 0);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, WM_USER);
  ASSERT_TRUE(PeekMessageA(&msg, frame, WM_USER, WM_USER, PM_REMOVE));
  EXPECT_EQ(reads, readsBefore);
}

}  // namespace
}  // namespace plat
