#include <gtest/gtest.h>

#include <vector>

#include "platform/Desktop.h"
#include "platform/DialogMessageBox.h"
#include "platform/HeadlessDriver.h"
#include "platform/MdiWindows.h"
#include "platform/WindowApi.h"

namespace plat {
namespace {

HWND gClient = nullptr;
int gChildCloses = 0;
int gFrameCloses = 0;
std::vector<WPARAM> gChildKeys;  // the keys the document windows were given

LRESULT FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) ++gFrameCloses;
  return DefFrameProcA(window, gClient, message, wParam, lParam);
}

LRESULT ChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) ++gChildCloses;
  if (message == WM_KEYDOWN) gChildKeys.push_back(wParam);
  return DefMDIChildProcA(window, message, wParam, lParam);
}

class MdiWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    gChildCloses = 0;
    gFrameCloses = 0;
    gChildKeys.clear();
    WNDCLASSA frame;
    frame.lpfnWndProc = FrameProc;
    frame.lpszClassName = "Frame";
    RegisterClassA(&frame);
    WNDCLASSA child;
    child.lpfnWndProc = ChildProc;
    child.lpszClassName = "Doc";
    RegisterClassA(&child);
    frame_ = CreateWindowExA(0, "Frame", "app", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600, nullptr,
                             nullptr, nullptr, nullptr);
    RECT r;
    GetClientRect(frame_, &r);
    CLIENTCREATESTRUCT ccs;
    gClient = CreateWindowExA(0, "MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, r.right,
                              r.bottom, frame_, nullptr, nullptr, &ccs);
  }
  void TearDown() override { HeadlessDriver::Reset(); }
  HWND frame_ = nullptr;
};

TEST_F(MdiWindows, MaximisedDocumentFillsTheClientAndFollowsTheFrame) {
  ASSERT_NE(gClient, nullptr);
  RECT client;
  GetClientRect(gClient, &client);
  HWND doc =
      CreateMDIWindowA("Doc", nullptr, WS_MAXIMIZE, 0, 0, client.right, client.bottom, gClient, nullptr, 0);
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(gClient, WM_MDIGETACTIVE, 0, 0)), doc);
  RECT docClient;
  GetClientRect(doc, &docClient);
  EXPECT_EQ(docClient, client);
  MoveWindow(frame_, 0, 0, 900, 700, 1);
  GetClientRect(gClient, &client);
  GetClientRect(doc, &docClient);
  EXPECT_EQ(docClient, client);
  EXPECT_GT(client.right, 800 - 20);
}

TEST_F(MdiWindows, ControlF4ClosesTheActiveDocument) {
  HWND doc = CreateMDIWindowA("Doc", nullptr, 0, 0, 0, 200, 200, gClient, nullptr, 0);
  SetFocus(doc);
  HeadlessDriver::RunUntilIdle();
  Desktop::Key(VK_CONTROL, true);
  Desktop::Key(0x73, true);
  MSG msg;
  bool translated = false;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (TranslateMDISysAccel(gClient, &msg)) {
      translated = true;
      continue;
    }
    DispatchMessageA(&msg);
  }
  EXPECT_TRUE(translated);
  EXPECT_EQ(gChildCloses, 1);
  EXPECT_FALSE(IsWindow(doc));
  EXPECT_EQ(SendMessageA(gClient, WM_MDIGETACTIVE, 0, 0), 0);
}

// A box over the frame takes the keys while it is open; when it closes, the frame is activated again
// and hands its focus to the client, which passes it on to the active document window: Del pressed
// then reaches the document at once.
TEST_F(MdiWindows, ABoxThatClosesGivesTheKeysBackToTheActiveDocument) {
  HWND doc = CreateMDIWindowA("Doc", nullptr, WS_MAXIMIZE, 0, 0, 200, 200, gClient, nullptr, 0);
  SetActiveWindow(frame_);
  SetFocus(doc);
  HeadlessDriver::RunUntilIdle();
  HWND focusInBox = nullptr;
  HeadlessDriver::SetIdleScript([&] {
    focusInBox = GetFocus();
    Desktop::Key(VK_ESCAPE, true);
    return true;
  });
  RunMessageBoxDialog(frame_, u"Save the changes to the plan?", u"Planner", MB_YESNOCANCEL);
  HeadlessDriver::SetIdleScript(nullptr);
  ASSERT_NE(focusInBox, nullptr);
  EXPECT_NE(focusInBox, doc) << "the box did not take the keys";
  EXPECT_EQ(GetActiveWindow(), frame_);
  EXPECT_EQ(GetFocus(), doc) << "the keys did not go back to the document window";
  Desktop::Key(VK_DELETE, true, true);
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(gChildKeys, std::vector<WPARAM>{WPARAM(VK_DELETE)});
}

// While a box's modal loop holds the frame (disabled), the frame's close box does nothing but beep:
// the box goes on and the frame stays. Once the box is gone the close box closes the frame.
TEST_F(MdiWindows, TheCloseBoxOfAFrameHeldByABoxDoesNothing) {
  int waits = 0;
  HeadlessDriver::SetIdleScript([&] {
    if (++waits == 1) {
      EXPECT_FALSE(IsWindowEnabled(frame_));
      Desktop::RequestClose(frame_);
    } else {
      Desktop::Key(VK_ESCAPE, true);
    }
    return true;
  });
  const size_t beeps = Desktop::Beeps().size();
  EXPECT_EQ(RunMessageBoxDialog(frame_, u"Save the changes to the plan?", u"Planner", MB_YESNOCANCEL),
            IDCANCEL);
  HeadlessDriver::SetIdleScript(nullptr);
  EXPECT_GE(waits, 2) << "the box's loop ended with the close box";
  EXPECT_EQ(gFrameCloses, 0);
  EXPECT_TRUE(IsWindow(frame_));
  EXPECT_EQ(Desktop::Beeps().size(), beeps + 1);
  Desktop::RequestClose(frame_);
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(gFrameCloses, 1);
  EXPECT_FALSE(IsWindow(frame_));
}

}  // namespace
}  // namespace plat
