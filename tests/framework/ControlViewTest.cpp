#include <gtest/gtest.h>

#include "framework/ppControlView.h"
#include "framework/ppDC.h"
#include "framework/ppPane.h"
#include "platform/Controls.h"
#include "platform/HeadlessDriver.h"
#include "platform/Surface.h"
#include "platform/WindowApi.h"

namespace {

using namespace plat;

int32_t gPanesAlive = 0;

// A green block that counts its instances, so the test sees the control view delete its tree.
class GreenPane : public ppPane {
 public:
  GreenPane(ppView* supervisor, RECT frame) : ppPane(supervisor, frame, kStay, kStay) { ++gPanesAlive; }
  ~GreenPane() override { --gPanesAlive; }
  void DrawContent(ppDC& dc) override {
    RECT r;
    GetWindowFrame(&r);
    dc.SetColorRGB(0, 100, 0);
    dc.FillRect(r);
  }
};

class ControlViews : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    gPanesAlive = 0;
    RegisterControlViewClass();
    WNDCLASSA wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "PlainHost";
    RegisterClassA(&wc);
    host_ = CreateWindowExA(0, "PlainHost", "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr,
                            nullptr, nullptr);
    control_ = CreateWindowExA(0, ppControlView::kClassName, "", WS_CHILD | WS_VISIBLE, 50, 40, 200, 100,
                               host_, nullptr, nullptr, nullptr);
  }
  void TearDown() override { HeadlessDriver::Reset(); }
  HWND host_ = nullptr;
  HWND control_ = nullptr;
};

TEST_F(ControlViews, EachWindowOfTheClassGetsAViewOfItsSize) {
  ppControlView* view = GetControlView(control_);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->GetHWND(), control_);
  EXPECT_EQ(view->GetFrame(), (RECT{0, 0, 200, 100}));
  EXPECT_TRUE(view->IsShown());
  EXPECT_TRUE(view->RedrawsOnChange());
  EXPECT_EQ(GetControlView(host_), nullptr);
}

TEST_F(ControlViews, TheViewWantsEveryKeyAndKeepsTheFocusToItself) {
  EXPECT_EQ(SendMessageA(control_, WM_GETDLGCODE, 0, 0), DLGC_WANTALLKEYS);
  EXPECT_EQ(SendMessageA(control_, WM_SETFOCUS, 0, 0), 1);
}

TEST_F(ControlViews, TheViewTreePaintsInsideTheChildWindow) {
  new GreenPane(GetControlView(control_), {10, 10, 30, 30});
  HeadlessDriver::RunUntilIdle();
  Surface* pixels = GetWindowSurface(host_);
  ASSERT_NE(pixels, nullptr);
  // The pane's window frame is in the control's coordinates, the control at (50, 40) of its host.
  EXPECT_EQ(pixels->Pixel(50 + 15, 40 + 15) & 0xFFFFFF, 0x00FF00u);
  EXPECT_NE(pixels->Pixel(50 + 5, 40 + 5) & 0xFFFFFF, 0x00FF00u);
}

TEST_F(ControlViews, DestroyingTheWindowDeletesItsViewTree) {
  new GreenPane(GetControlView(control_), {0, 0, 10, 10});
  ASSERT_EQ(gPanesAlive, 1);
  DestroyWindow(control_);
  EXPECT_EQ(gPanesAlive, 0);
  EXPECT_EQ(GetControlView(control_), nullptr);
}

}  // namespace
