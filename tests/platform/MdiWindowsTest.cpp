#include <gtest/gtest.h>

#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/MdiWindows.h"
#include "platform/WindowApi.h"

namespace plat {
namespace {

HWND gClient = nullptr;
int gChildCloses = 0;

LRESULT FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefFrameProcA(window, gClient, message, wParam, lParam);
}

LRESULT ChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) ++gChildCloses;
  return DefMDIChildProcA(window, message, wParam, lParam);
}

class MdiWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    gChildCloses = 0;
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

}  // namespace
}  // namespace plat
