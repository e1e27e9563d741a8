// The document 3D pane in a frame window on the headless desktop: keys and clicks injected with
// modifiers, the layer clock for double clicks, pixels of the drawn room, picking and surface points
// through the shared context, renderer slots, sliders and commands.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ColorApplication.h"
#include "PaneTestDoubles.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/LayerClock.h"
#include "platform/WindowApi.h"
#include "scene3d/gl/glContext.h"
#include "scene3d/panes/Shared3DContext.h"
#include "scene3d/panes/qx3DNavigation.h"
#include "scene3d/panes/qx3DPicking.h"
#include "scene3d/panes/qxCameraRecords.h"
#include "scene3d/panes/zelvpro3DPane.h"
#include "scene3d/renderers/RenderSettings.h"
#include "tests/framework/TestWindow.h"

namespace {

using pane_tests::BoxElement;
using pane_tests::TestHost;

constexpr int32_t kWidth = 400;
constexpr int32_t kHeight = 300;
constexpr uint32_t kBackground = 0xCCCCCC;

// Logs the commands it is given before handling them.
class LoggingPane : public zelvpro3DPane {
 public:
  using zelvpro3DPane::zelvpro3DPane;
  void DoCommand(int32_t command, intptr_t argument) override {
    commands.emplace_back(command, int32_t(argument));
    zelvpro3DPane::DoCommand(command, argument);
  }
  std::vector<std::pair<int32_t, int32_t>> commands;
};

class PaneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    plat::LayerClock::SetManual(100000);
    app_ = std::make_unique<ColorApplication>();
    app_->colors[1022] = {0.8f, 0.8f, 0.8f, 1};
    frame_ = picture_tests::MakeTestWindow(kWidth, kHeight, 0x336699, &surface_);
    zelvpro3DPane::RegisterClass();
    left_ = std::make_unique<BoxElement>(7, ppVector3(-700, 0, 0), 500);
    right_ = std::make_unique<BoxElement>(8, ppVector3(700, 0, 0), 500);
    host_.elements = {left_.get(), right_.get()};
  }
  void TearDown() override {
    if (pane_) plat::DestroyWindow(pane_->GetHWND());
    Shared3DContext::Delete();
    app_.reset();
    plat::HeadlessDriver::Reset();
  }

  // The document pane over the whole frame, shown and drawn, the camera fitted to the boxes.
  void MakePane() {
    pane_ = zelvpro3DPane::Create(frame_, plat::RECT{0, 0, kWidth, kHeight}, &host_);
    ASSERT_NE(pane_, nullptr);
    pane_->Show();
    Fit();
  }
  // A logging pane bound to a "ViewerTD" window by hand.
  LoggingPane* MakeLoggingPane() {
    plat::HWND window =
        plat::CreateWindowExA(0, zelvpro3DPane::kClassName, nullptr, zelvpro3DPane::kWindowStyle, 0, 0,
                              kWidth, kHeight, frame_, nullptr, nullptr, nullptr);
    auto* pane = new LoggingPane(window, plat::RECT{0, 0, kWidth, kHeight}, &host_);
    plat::SetPropA(window, zelvpro3DPane::kProperty, pane);
    pane_ = pane;
    pane->Show();
    plat::SetFocus(window);
    plat::HeadlessDriver::RunUntilIdle();
    return pane;
  }
  void Fit() {
    qx3DNavigation::FitCurrent(*pane_, host_.CanvasBounds(1.02f));
    Redraw();
  }
  void Redraw() {
    pane_->Invalidate();
    plat::HeadlessDriver::RunUntilIdle();
  }
  uint32_t Pixel(plat::POINT p) { return surface_->Pixel(p.x, p.y) & 0xFFFFFF; }
  plat::POINT Centre(const BoxElement& box) {
    const ppVector3 c = box.centre();
    return qx3DPicking::ProjectToWindow(*pane_, ppVector3(c.x, c.y, c.z + box.half()));
  }
  void Click(plat::POINT p, std::initializer_list<int32_t> modifiers = {}) {
    for (int32_t key : modifiers) plat::Desktop::Key(key, true);
    plat::Desktop::Click(p);
    plat::HeadlessDriver::RunUntilIdle();
    for (int32_t key : modifiers) plat::Desktop::Key(key, false);
    plat::HeadlessDriver::RunUntilIdle();
  }
  void Press(int32_t key, std::initializer_list<int32_t> modifiers = {}, bool extended = false) {
    for (int32_t m : modifiers) plat::Desktop::Key(m, true);
    plat::Desktop::Key(key, true, extended);
    plat::Desktop::Key(key, false, extended);
    plat::HeadlessDriver::RunUntilIdle();
    for (int32_t m : modifiers) plat::Desktop::Key(m, false);
    plat::HeadlessDriver::RunUntilIdle();
  }

  std::unique_ptr<ColorApplication> app_;
  plat::HWND frame_ = nullptr;
  plat::Surface* surface_ = nullptr;
  std::unique_ptr<BoxElement> left_, right_;
  TestHost host_;
  zelvpro3DPane* pane_ = nullptr;
};

TEST_F(PaneTest, WindowClassStyleAndMessagesBeforeCreate) {
  plat::WNDCLASSA info;
  ASSERT_TRUE(plat::GetClassInfoA(nullptr, zelvpro3DPane::kClassName, &info));
  EXPECT_EQ(info.style, 0x40u);
  pane_ = zelvpro3DPane::Create(frame_, plat::RECT{10, 20, 110, 70}, &host_);
  ASSERT_NE(pane_, nullptr);
  EXPECT_EQ(uint32_t(plat::GetWindowLongPtrA(pane_->GetHWND(), plat::GWL_STYLE)) & 0x46000000u, 0x46000000u);
  EXPECT_FALSE(plat::IsWindowVisible(pane_->GetHWND()));
  EXPECT_EQ(zelvpro3DPane::Current(), pane_);
  EXPECT_EQ(pane_->FrameWidth(), 100);
  // A window of the class without a pane (no host was under construction) is left to the default.
  plat::HWND bare = plat::CreateWindowExA(0, zelvpro3DPane::kClassName, nullptr, zelvpro3DPane::kWindowStyle,
                                          0, 0, 50, 50, frame_, nullptr, nullptr, nullptr);
  ASSERT_NE(bare, nullptr);
  EXPECT_EQ(plat::GetPropA(bare, zelvpro3DPane::kProperty), nullptr);
  EXPECT_EQ(zelvpro3DPane::WindowProc(bare, plat::WM_SETTEXT, 0, plat::LPARAM(u"x")),
            plat::DefWindowProcA(bare, plat::WM_SETTEXT, 0, plat::LPARAM(u"x")));
  plat::DestroyWindow(bare);
}

TEST_F(PaneTest, KeysGiveNavigationCodes) {
  LoggingPane* pane = MakeLoggingPane();
  const int32_t ctrl = plat::VK_CONTROL, alt = plat::VK_MENU;
  struct Case {
    int32_t key;
    std::initializer_list<int32_t> modifiers;
    int32_t code;
  } cases[] = {
      {plat::VK_LEFT, {}, 2209},  {plat::VK_LEFT, {ctrl}, 2229},  {plat::VK_LEFT, {ctrl, alt}, 2209},
      {plat::VK_RIGHT, {}, 2213}, {plat::VK_RIGHT, {ctrl}, 2225}, {plat::VK_UP, {}, 2201},
      {plat::VK_UP, {alt}, 2201}, {plat::VK_UP, {ctrl}, 2233},    {plat::VK_UP, {ctrl, alt}, 2217},
      {plat::VK_DOWN, {}, 2205},  {plat::VK_DOWN, {ctrl}, 2237},  {plat::VK_DOWN, {ctrl, alt}, 2221},
  };
  for (const Case& c : cases) {
    pane->commands.clear();
    Press(c.key, c.modifiers);
    ASSERT_EQ(pane->commands.size(), 1u) << c.key << " " << c.code;
    EXPECT_EQ(pane->commands[0], std::make_pair(3080, c.code)) << c.key;
  }
  for (bool extended : {false, true}) {
    for (int32_t key : {plat::VK_BACK, plat::VK_DELETE}) {
      if (extended && key == plat::VK_BACK) continue;
      pane->commands.clear();
      Press(key, {}, extended);
      ASSERT_EQ(pane->commands.size(), 1u) << key;
      EXPECT_EQ(pane->commands[0], std::make_pair(36, 0)) << key;
    }
  }
  // Arrows move the camera while commands 3080 move the selection.
  left_->selected = true;
  pane->DoCommand(3079, 0);
  const ppVector3 before = qxCameraRecords::Current()->position;
  Press(plat::VK_UP);
  EXPECT_NEAR(qxCameraRecords::Current()->position.z, before.z - 1000, 1e-2);
  EXPECT_EQ(left_->log.find("nudge"), std::string::npos);
  pane->DoCommand(3080, 2201);
  EXPECT_NE(left_->log.find("nudge 38;"), std::string::npos);
  EXPECT_TRUE(pane->NavigationTarget());
}

TEST_F(PaneTest, DrawsTheRoomAndPicksAndSelectsByClicks) {
  MakePane();
  const plat::POINT a = Centre(*left_), b = Centre(*right_);
  EXPECT_NE(Pixel(a), kBackground);
  for (plat::POINT corner : {plat::POINT{1, 1}, plat::POINT{kWidth - 2, kHeight - 2}})
    EXPECT_EQ(Pixel(corner), kBackground);

  Click(a);
  EXPECT_EQ(host_.hit, left_.get());
  EXPECT_TRUE(left_->selected);
  EXPECT_FALSE(right_->selected);
  EXPECT_NE(host_.log.find("mover 1;"), std::string::npos);
  // 30 ticks later the second click is a double click; 31 ticks after that, a single one.
  host_.log.clear();
  plat::LayerClock::Advance(500);
  Click(a);
  EXPECT_NE(host_.log.find("configurator;"), std::string::npos);
  host_.log.clear();
  plat::LayerClock::Advance(517);
  Click(a);
  EXPECT_EQ(host_.log.find("configurator;"), std::string::npos);

  // Shift adds the right box; a Shift-click on the selected left box deselects only it.
  plat::LayerClock::Advance(1000);
  Click(b, {plat::VK_SHIFT});
  EXPECT_TRUE(left_->selected && right_->selected);
  plat::LayerClock::Advance(1000);
  Click(a, {plat::VK_SHIFT});
  EXPECT_FALSE(left_->selected);
  EXPECT_TRUE(right_->selected);

  // Ctrl in the perspective view aims the camera at the box instead of selecting it.
  plat::LayerClock::Advance(1000);
  host_.log.clear();
  Click(b, {plat::VK_CONTROL});
  EXPECT_EQ(qxCameraRecords::Current()->pitch, -30);
  EXPECT_TRUE(right_->selected);
  EXPECT_EQ(host_.log.find("mover"), std::string::npos);
  Fit();

  // Beside the boxes: nothing hit, the rulers refreshed, no task.
  const int32_t refreshes = host_.rulerRefreshes;
  host_.log.clear();
  host_.hit = nullptr;
  plat::LayerClock::Advance(1000);
  Click(plat::POINT{2, 2});
  EXPECT_EQ(host_.hit, nullptr);
  EXPECT_EQ(host_.rulerRefreshes, refreshes + 1);
  EXPECT_EQ(host_.log, "default configurator;");

  pane_->DoCommand(3070, 0);
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(Pixel(a), kBackground);
}

TEST_F(PaneTest, ClickWithoutSelectionStartsNoTask) {
  MakePane();
  host_.log.clear();
  pane_->ClickedNothing(Centre(*left_).x, Centre(*left_).y);
  pane_->ClickedNothing(2, 2);
  left_->selected = true;
  pane_->ClickedNothing(2, 2);
  EXPECT_EQ(host_.log, "");
  // A picked element lacking the selection's common flags gives way to a selected one that has them.
  right_->flags = 0x01;
  pane_->ClickedNothing(Centre(*right_).x, Centre(*right_).y);
  EXPECT_EQ(host_.log, "mover 1;");
  EXPECT_EQ(host_.moved, left_.get());
  EXPECT_EQ(left_->log, "release;");
}

TEST_F(PaneTest, SurfacePointsInAllThreeViews) {
  // Asked before anything drew: the shared context is made first.
  pane_ = zelvpro3DPane::Create(frame_, plat::RECT{0, 0, kWidth, kHeight}, &host_);
  ASSERT_EQ(Shared3DContext::Get(), nullptr);
  qx3DPicking::Surface surface;
  qx3DPicking::SurfacePointAt(*pane_, 10, 10, 0, &surface, 0);
  EXPECT_NE(Shared3DContext::Get(), nullptr);
  pane_->Show();
  Fit();

  qx3DPicking::Surface front;
  ASSERT_TRUE(qx3DPicking::SurfacePointAt(*pane_, Centre(*left_).x, Centre(*left_).y, 0, &front, 0));
  EXPECT_NEAR(front.point.z, 500, 5);
  EXPECT_NEAR(front.point.x, -700, 20);

  for (int32_t command : {3074, 3076, 3075}) {
    pane_->DoCommand(command, 0);
    Fit();
    const plat::POINT p = Centre(*left_);
    qx3DPicking::Surface hit;
    ASSERT_TRUE(qx3DPicking::SurfacePointAt(*pane_, p.x, p.y, qx3DPicking::kKeepHeight, &hit, 1)) << command;
    // On the left box's surface: inside it, and on one of its faces.
    const ppVector3 d(hit.point.x + 700, hit.point.y, hit.point.z);
    const float most = std::max({std::fabs(d.x), std::fabs(d.y), std::fabs(d.z)});
    EXPECT_NEAR(most, 500, 5) << command;
    EXPECT_EQ(hit.flags & 0x40u, 0x40u);
  }
  // Nothing under the point: no surface.
  EXPECT_FALSE(qx3DPicking::SurfacePointAt(*pane_, 2, 2, 0, &surface, 1));
}

TEST_F(PaneTest, TheSharedContextIsRemadeAfterItsPaneGoes) {
  MakePane();
  EXPECT_NE(Shared3DContext::Get(), nullptr);
  plat::DestroyWindow(pane_->GetHWND());
  pane_ = nullptr;
  EXPECT_EQ(Shared3DContext::Get(), nullptr);
  MakePane();
  EXPECT_NE(Pixel(Centre(*left_)), kBackground);
}

TEST_F(PaneTest, RendererSlotsFollowTheSettings) {
  MakePane();
  struct Case {
    const char* settings;
    const char* slots[3];
  } cases[] = {
      {"rWireframe;;rStandard", {"rWireframe", "rGoodHiddenLines", "rStandard"}},
      {"", {"rGoodStandard", "rGoodHiddenLines", "rGoodWireframe"}},
      {"rNoSuch;rHiddenLines", {"rGoodStandard", "rHiddenLines", "rGoodWireframe"}},
  };
  for (const Case& c : cases) {
    zelvpro3DPane::SetRenderSettings(c.settings, "");
    pane_->LoadRenderers();
    for (int32_t slot = 0; slot < 3; ++slot)
      EXPECT_EQ(pane_->RendererName(slot), c.slots[slot]) << c.settings;
    EXPECT_EQ(pane_->RendererName(zelvpro3DPane::kDepthSlot), "rZBuffer");
  }
  zelvpro3DPane::SetRenderSettings("", "2.5");
  pane_->LoadRenderers();
  EXPECT_EQ(gPolygonOffset, 2.5f);
  zelvpro3DPane::SetRenderSettings("", "soft");
  pane_->LoadRenderers();
  EXPECT_EQ(gPolygonOffset, 1.0f);

  const int32_t slotOfStyle[4] = {zelvpro3DPane::kWireframeSlot, zelvpro3DPane::kHiddenLinesSlot,
                                  zelvpro3DPane::kStandardSlot, zelvpro3DPane::kStandardSlot};
  for (int32_t style = 0; style < 4; ++style) {
    pane_->DoCommand(3070 + style, 0);
    EXPECT_EQ(pane_->StyleRenderer(), pane_->RendererAt(slotOfStyle[style])) << style;
  }
}

TEST_F(PaneTest, ViewCommandsSlidersAndOptions) {
  MakePane();
  const struct { int32_t command, live, view; } views[] = {{3074, 0, 0}, {3075, 2, 1}, {3076, 1, 2}};
  for (const auto& v : views) {
    pane_->DoCommand(v.command, 0);
    EXPECT_EQ(qxCameraRecords::Current(), &qxCameraRecords::Live(v.live)) << v.command;
    EXPECT_EQ(pane_->ViewIndex(), v.view);
  }
  pane_->DoCommand(3074, 0);
  qxCamera& camera = *qxCameraRecords::Current();
  pane_->SliderMoved(90, zelvpro3DPane::kPitchSlider);
  EXPECT_EQ(camera.pitch, 0);
  pane_->SliderMoved(120, zelvpro3DPane::kPitchSlider);
  EXPECT_EQ(camera.pitch, 30);
  const qxCamera before = camera;
  pane_->SliderMoved(0, zelvpro3DPane::kYawSlider);
  pane_->SliderMoved(45, 9);
  EXPECT_EQ(camera.yaw, before.yaw);
  EXPECT_EQ(camera.position.z, before.position.z);

  // Navigation codes through the pane: the parallel view zooms, finer with Shift; a side code places
  // the eye of the current view.
  pane_->DoCommand(3076, 0);
  pane_->DoCommand(3078, 0);
  qxCameraRecords::Current()->lens = 0.125f;
  pane_->DoCommand(3080, qx3DNavigation::kForward);
  EXPECT_NEAR(qxCameraRecords::Current()->lens, 0.1375f, 1e-6);
  qxCameraRecords::Current()->lens = 0.125f;
  plat::Desktop::Key(plat::VK_SHIFT, true);
  pane_->DoCommand(3080, qx3DNavigation::kBack);
  plat::Desktop::Key(plat::VK_SHIFT, false);
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_NEAR(qxCameraRecords::Current()->lens, 0.12375f, 1e-6);
  pane_->Eye().pitch = 12;
  pane_->DoCommand(3080, qx3DNavigation::kFirstSide + 4);
  EXPECT_EQ(pane_->Eye().pitch, 0);
  EXPECT_NEAR(pane_->Eye().heading, 143.13f, 0.01);

  host_.log.clear();
  pane_->DoCommand(3001, 0);
  EXPECT_EQ(host_.log, "");
  host_.optionOn = true;
  pane_->DoCommand(3001, 0);
  EXPECT_EQ(host_.log, "app 3001;");
}

TEST_F(PaneTest, ResetsOverAnEmptyRoomKeepThePresets) {
  host_.elements.clear();
  MakePane();
  qxCameraRecords::Current()->lens = 3;
  pane_->KeyDown(static_cast<signed char>(plat::VK_HOME), 0);
  const qxCamera& live = *qxCameraRecords::Current();
  const qxCamera& preset = qxCameraRecords::Preset(0);
  EXPECT_EQ(live.lens, preset.lens);
  EXPECT_EQ(live.position.z, preset.position.z);
  pane_->DoCommand(3076, 0);
  pane_->DoCommand(3078, 0);
  pane_->DoCommand(3080, qx3DNavigation::kReset);
  EXPECT_EQ(qxCameraRecords::Current()->lens, qxCameraRecords::Preset(1).lens);
}

}  // namespace
