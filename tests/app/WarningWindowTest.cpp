// The placement-warning window on the headless desktop: loading, placing and blinking the picture,
// the 5-second close on the layer's clock, hiding by keys and clicks in the document window, the 3D
// pane and the window itself, a missing picture, and the demo plan's warning beside the panel.
#include <chrono>
#include <filesystem>
#include <thread>

#include "WarningTestSupport.h"
#include "app/warnings/qxFadeSweeper.h"
#include "app/warnings/qxWaitThread.h"
#include "app/warnings/qxWarningWindow.h"
#include "canvas/CanvasTestSupport.h"
#include "framework/AdornerTestPictures.h"
#include "framework/iElementServices.h"
#include "framework/ppPicture.h"
#include "framework/ppSweeper.h"
#include "framework/qxWarningSweeper.h"
#include "framework/ppWindow.h"
#include "platform/Desktop.h"
#include "platform/LayerClock.h"
#include "platform/WindowApi.h"
#include "scene3d/panes/i3DPaneHost.h"
#include "scene3d/panes/zelvpro3DPane.h"

namespace {

namespace fs = std::filesystem;
using namespace plat;

class PaneHost : public i3DPaneHost {};

class WarningWindowTest : public warntest::DemoPlanTest {
 protected:
  void SetUp() override {
    DemoPlanTest::SetUp();
    LayerClock::SetManual(100'000);
    app_ = std::make_unique<adorner_tests::TestApplication>();
    document_ = new ppWindow();
    adorner_tests::MakeObjectWindow(document_, 640, 480);
    host_.document = document_->GetHWND();
    // The demo's picture 1, also as picture 12.
    fs::copy_file(demo_.File("warnings/1.png"), demo_.File("warnings/12.png"));
  }
  void TearDown() override {
    DestroyWarningWindow();
    delete document_;
    app_.reset();
    DemoPlanTest::TearDown();
  }

  qxWarningWindow* Show(int32_t number, RECT anchor = {100, 100, 124, 124}) {
    ShowWarning(document_, anchor, number, 1);
    HeadlessDriver::RunUntilIdle();
    return WarningWindow();
  }
  static bool Visible(qxWarningWindow* w) { return w != nullptr && IsWindowVisible(w->GetHWND()) != 0; }
  // Lets the wait thread see the clock and post its sweeper, then runs the queue.
  static void Settle(qxWarningWindow* w) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!w->WaitThread()->Idle() && std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    HeadlessDriver::RunUntilIdle();
  }
  static RECT Outer(qxWarningWindow* w) {
    RECT r{};
    GetWindowRect(w->GetHWND(), &r);
    return r;
  }

  std::unique_ptr<adorner_tests::TestApplication> app_;
  ppWindow* document_ = nullptr;
};

TEST_F(WarningWindowTest, AShowLoadsThePictureOfItsNumberAndPlacesTheWindowBesideTheAnchor) {
  qxWarningWindow* w = Show(12);
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(Visible(w));
  EXPECT_EQ(w->WarningNumber(), 12);
  ASSERT_NE(w->Picture(), nullptr);
  const int32_t width = w->Picture()->GetWidth(), height = w->Picture()->GetHeight();
  EXPECT_EQ(width, 160);
  EXPECT_EQ(height, 60);
  const RECT r = Outer(w);
  EXPECT_EQ(r.left, 124 + width - 40);
  EXPECT_EQ(r.top, 124 + 10);
  EXPECT_EQ(r.right - r.left, width);
  EXPECT_EQ(r.bottom - r.top, height + 2);
  EXPECT_EQ(GetPropA(w->GetHWND(), qxWarningWindow::kProperty), w);
  char name[64] = {};
  GetClassNameA(w->GetHWND(), name, sizeof name);
  EXPECT_STREQ(name, "qxWarningWindow");
  EXPECT_EQ(DWORD(GetWindowLongPtrA(w->GetHWND(), GWL_STYLE)) & 0x80880000u, 0x80880000u);
  EXPECT_FALSE(w->BlinkPending());  // the paint blinked
  EXPECT_EQ(w->PicturesLoaded(), 1u);

  // The same number again loads nothing and blinks again; the blink leaves the picture's pixels.
  const uint32_t before = LayerClock::Now();
  Show(12, {200, 50, 224, 74});
  EXPECT_EQ(w->PicturesLoaded(), 1u);
  EXPECT_EQ(LayerClock::Now() - before, 5u * qxWarningWindow::kBlinkStepMs);
  EXPECT_EQ(Outer(w).left, 224 + width - 40);
  const std::vector<uint32_t> blinked = canvastest::WindowPixels(w->GetHWND());
  InvalidateRect(w->GetHWND(), nullptr, 0);
  HeadlessDriver::RunUntilIdle();  // a paint without a blink
  EXPECT_EQ(canvastest::WindowPixels(w->GetHWND()), blinked);
  EXPECT_EQ(LayerClock::Now() - before, 5u * qxWarningWindow::kBlinkStepMs);
}

TEST_F(WarningWindowTest, TheWindowClosesFiveSecondsAfterTheFirstOfTwoShows) {
  // Each show's paint blinks for 250 ms of the layer's clock after the wait has started.
  const uint32_t start = LayerClock::Now();
  qxWarningWindow* w = Show(1);
  LayerClock::Advance(3000);
  Show(1);
  LayerClock::Advance(1400);
  ASSERT_EQ(LayerClock::Now() - start, 4900u);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  HeadlessDriver::RunUntilIdle();
  EXPECT_TRUE(Visible(w));
  LayerClock::Advance(200);
  Settle(w);
  EXPECT_FALSE(Visible(w));
  EXPECT_EQ(w->WaitThread()->WaitsBegun(), 1u);
  EXPECT_EQ(ppSweeper::PendingCount(), 0);
  // A later show waits afresh.
  Show(1);
  EXPECT_TRUE(Visible(w));
  LayerClock::Advance(5000);
  Settle(w);
  EXPECT_FALSE(Visible(w));
  EXPECT_EQ(w->WaitThread()->WaitsBegun(), 2u);
  EXPECT_EQ(ppSweeper::PendingCount(), 0);
}

TEST_F(WarningWindowTest, KeysAndClicksHideTheWindowAtOnce) {
  PaneHost paneHost;
  zelvpro3DPane::RegisterClass();
  zelvpro3DPane* pane = zelvpro3DPane::Create(document_->GetHWND(), RECT{0, 0, 320, 240}, &paneHost);
  ASSERT_NE(pane, nullptr);
  ShowWindow(pane->GetHWND(), SW_SHOW);
  qxWarningWindow* w = Show(1);
  EXPECT_EQ(WarningDocumentWindow(), document_);
  EXPECT_EQ(WarningScenePaneWindow(), pane);

  SetFocus(document_->GetHWND());
  canvastest::DesktopInput::Key('A', true);
  canvastest::DesktopInput::Key('A', false);
  EXPECT_FALSE(Visible(w));

  Show(1);
  canvastest::DesktopInput::Down({50, 50});  // in the 3D pane
  canvastest::DesktopInput::UpAfterClickTime({50, 50});
  EXPECT_FALSE(Visible(w));

  // In the window itself: a key, a left click, a right click.
  Show(1);
  SetFocus(w->GetHWND());
  canvastest::DesktopInput::Key('B', true);
  EXPECT_FALSE(Visible(w));
  Show(1);
  const RECT r = Outer(w);
  canvastest::DesktopInput::Down({r.left + 5, r.top + 5});
  canvastest::DesktopInput::UpAfterClickTime({r.left + 5, r.top + 5});
  EXPECT_FALSE(Visible(w));
  Show(1);
  Desktop::MouseButton(VK_RBUTTON, true, {r.left + 5, r.top + 5});
  HeadlessDriver::RunUntilIdle();
  EXPECT_FALSE(Visible(w));

  // The pane goes; the window stays and a later show finds the pane's alerter gone.
  DestroyWindow(pane->GetHWND());
  EXPECT_EQ(WarningScenePaneWindow(), nullptr);
  Show(1);
  EXPECT_TRUE(Visible(w));
  // The closing sweeper never counts among the pending sweepers.
  LayerClock::Advance(5000);
  Settle(w);
  EXPECT_FALSE(Visible(w));
  EXPECT_EQ(ppSweeper::PendingCount(), 0);
}

TEST_F(WarningWindowTest, AMissingPictureRaisesNothingAndTheNextShowTriesAgain) {
  qxWarningWindow* w = Show(7);
  ASSERT_NE(w, nullptr);
  EXPECT_FALSE(Visible(w));
  EXPECT_EQ(w->WarningNumber(), 0);
  EXPECT_EQ(w->Picture(), nullptr);
  fs::copy_file(demo_.File("warnings/1.png"), demo_.File("warnings/7.png"));
  Show(7);
  EXPECT_TRUE(Visible(w));
  EXPECT_EQ(w->WarningNumber(), 7);
  // A file that is no picture is as good as none.
  std::ofstream(demo_.File("warnings/8.png"), std::ios::binary) << "not a picture";
  Show(8);
  EXPECT_FALSE(Visible(w));
  EXPECT_EQ(w->WarningNumber(), 0);
}

TEST_F(WarningWindowTest, TheInformationPanelsSweeperShowsTheDemoPlansWarning) {
  StartPlacementWarnings();
  zelvproTopViewElement* base = Place(top_.get(), "B60S", 0.0f);
  Place(top_.get(), "ADW60C", 600.0f);
  Check();
  ASSERT_EQ(base->warningNumber, 1);
  // The panel's sweeper shows the number beside the pane: a 24 by 24 corner at its top right
  // moved by (-146, 34).
  SetConfiguratorHost(document_);
  new qxWarningSweeper(base->warningNumber);  // posted; the queue owns it
  HeadlessDriver::RunUntilIdle();
  qxWarningWindow* w = WarningWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(Visible(w));
  EXPECT_EQ(w->WarningNumber(), 1);
  const RECT r = Outer(w);
  EXPECT_EQ(r.left, 640 - 146 + 160 - 40);
  EXPECT_EQ(r.top, 24 + 34 + 10);
  SetConfiguratorHost(nullptr);
  SetPlacementWarningPresenter(nullptr);
}

}  // namespace
