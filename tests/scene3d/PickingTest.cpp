// Picking in the 3D pane through qx3DPicking on a scene of named boxes seen from a known camera: the
// box under a point (the nearer of two that overlap there, whatever order the scene lists them), none
// beside them, the pane's outermost pixels, points outside the pane; and the round trip of a scene
// point to the window and back through the pick, the depth buffer and the surface ray.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ColorApplication.h"
#include "PaneTestDoubles.h"
#include "platform/HeadlessDriver.h"
#include "platform/LayerClock.h"
#include "platform/WindowApi.h"
#include "scene3d/panes/Shared3DContext.h"
#include "scene3d/panes/qx3DNavigation.h"
#include "scene3d/panes/qx3DPicking.h"
#include "scene3d/panes/qxCameraRecords.h"
#include "scene3d/panes/zelvpro3DPane.h"
#include "tests/framework/TestWindow.h"

namespace {

using pane_tests::BoxElement;
using pane_tests::TestHost;

constexpr int32_t kWidth = 400;
constexpr int32_t kHeight = 300;
// The camera record of the central projection (the first view).
constexpr int32_t kCentralCamera = 0;

class PickingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    plat::LayerClock::SetManual(100000);
    app_ = std::make_unique<ColorApplication>();
    frame_ = picture_tests::MakeTestWindow(kWidth, kHeight, 0x336699, &surface_);
    zelvpro3DPane::RegisterClass();
    qxCameraRecords::CopyPresets();
    qxCameraRecords::SetCurrent(kCentralCamera);
    // Millimetres. From the eye at z = 6000 the near box hides the middle of the far one behind
    // it; the left, right and top boxes reach past the pane's edges.
    near_ = std::make_unique<BoxElement>(1, ppVector3(0, 0, 1000), 300);
    far_ = std::make_unique<BoxElement>(2, ppVector3(0, 0, -1000), 600);
    left_ = std::make_unique<BoxElement>(3, ppVector3(-2900, 0, 0), 300);
    right_ = std::make_unique<BoxElement>(4, ppVector3(2900, 0, 0), 300);
    top_ = std::make_unique<BoxElement>(5, ppVector3(0, 2100, 0), 300);
    pane_ = zelvpro3DPane::Create(frame_, plat::RECT{0, 0, kWidth, kHeight}, &host_);
    ASSERT_NE(pane_, nullptr);
    pane_->Show();
    plat::HeadlessDriver::RunUntilIdle();
  }
  void TearDown() override {
    if (pane_) plat::DestroyWindow(pane_->GetHWND());
    Shared3DContext::Delete();
    qxCameraRecords::CopyPresets();
    qxCameraRecords::SetCurrent(kCentralCamera);
    app_.reset();
    plat::HeadlessDriver::Reset();
  }

  // The eye of the central projection at (0, 0, 6000) looking along -z, level; the scene lists the
  // far box first or the near one; drawn.
  void LookStraight(bool farFirst) {
    host_.elements = farFirst ? std::vector<BoxElement*>{far_.get(), near_.get()}
                              : std::vector<BoxElement*>{near_.get(), far_.get()};
    for (BoxElement* edge : {left_.get(), right_.get(), top_.get()}) host_.elements.push_back(edge);
    qxCamera& camera = *qxCameraRecords::Current();
    camera.position = ppVector3(0, 0, 6000);
    camera.pitch = camera.yaw = 0;
    Redraw();
  }
  void Redraw() {
    pane_->Invalidate();
    plat::HeadlessDriver::RunUntilIdle();
  }
  // The pick name of the box under window point `p`; 0 for none.
  uint32_t NameAt(plat::POINT p) {
    auto* box = dynamic_cast<BoxElement*>(qx3DPicking::Pick3DAt(*pane_, p.x, p.y));
    return box != nullptr ? box->name() : 0;
  }

  std::unique_ptr<ColorApplication> app_;
  plat::HWND frame_ = nullptr;
  plat::Surface* surface_ = nullptr;
  std::unique_ptr<BoxElement> near_, far_, left_, right_, top_;
  TestHost host_;
  zelvpro3DPane* pane_ = nullptr;
};

TEST_F(PickingTest, ThePickAnswersTheBoxSeenThroughThePointAndNothingOutsideThePane) {
  struct Case {
    const char* name;
    plat::POINT point;  // window pixels, y from the top; negative coordinates lie outside
    uint32_t expected;  // pick name; 0 for none
  };
  const int32_t midX = kWidth / 2, midY = kHeight / 2;
  const Case cases[] = {
      {"the near box before the far one", {midX, midY}, 1},
      {"the far box beside the near one", {midX + 32, midY}, 2},
      {"nothing between the boxes", {midX + 100, midY + 60}, 0},
      {"the leftmost column", {0, midY}, 3},
      {"left of the pane", {-2, midY}, 0},
      {"the rightmost column", {kWidth - 1, midY}, 4},
      {"right of the pane", {kWidth + 1, midY}, 0},
      {"the top row", {midX, 0}, 5},
      {"above the pane", {midX, -2}, 0},
      // Nothing stands at the bottom: a pick that turned y the wrong way would find the top box.
      {"the bottom row", {midX, kHeight - 1}, 0},
      {"below the pane", {midX, kHeight + 1}, 0},
  };
  for (bool farFirst : {false, true}) {
    LookStraight(farFirst);
    for (const Case& c : cases)
      EXPECT_EQ(NameAt(c.point), c.expected) << c.name << ", far first " << farFirst;
  }
}

TEST_F(PickingTest, AScenePointShownInTheWindowLeadsBackToItsBoxAndItsSurface) {
  struct Target {
    const char* name;
    ppVector3 point;  // on a face the eye sees, millimetres
    uint32_t box;
  } targets[] = {
      {"front of the near box", ppVector3(120, -80, 1300), 1},
      {"front of the far box beside the near one", ppVector3(-450, 200, -400), 2},
      {"front of the left box", ppVector3(-2700, 0, 300), 3},
  };
  LookStraight(false);
  for (const Target& t : targets) {
    SCOPED_TRACE(t.name);
    const plat::POINT window = qx3DPicking::ProjectToWindow(*pane_, t.point);
    ASSERT_TRUE(window.x >= 0 && window.x < kWidth && window.y >= 0 && window.y < kHeight);
    EXPECT_EQ(NameAt(window), t.box);
    // From the depth buffer the drawing left, and along the ray through the pixel: the same point
    // within a pixel's width across the face (under 15 mm here) and on the face's plane.
    qx3DPicking::Surface fromDepth, fromRay;
    ASSERT_TRUE(qx3DPicking::SurfacePointAt(*pane_, window.x, window.y, 0, &fromDepth, 0));
    ASSERT_TRUE(
        qx3DPicking::SurfacePointAt(*pane_, window.x, window.y, qx3DPicking::kKeepHeight, &fromRay, 1));
    for (const qx3DPicking::Surface* s : {&fromDepth, &fromRay}) {
      EXPECT_NEAR(s->point.x, t.point.x, 15);
      EXPECT_NEAR(s->point.y, t.point.y, 15);
      EXPECT_NEAR(s->point.z, t.point.z, s == &fromRay ? 0.5 : 5);
    }
    EXPECT_EQ(fromRay.flags, qx3DPicking::kOnElement | qx3DPicking::kVerticalFace);
    // And the found point shows at the same pixel again.
    const plat::POINT again = qx3DPicking::ProjectToWindow(*pane_, fromRay.point);
    EXPECT_NEAR(again.x, window.x, 1);
    EXPECT_NEAR(again.y, window.y, 1);
  }
}

TEST_F(PickingTest, EachBoxIsPickedAtItsProjectedCentreInEveryView) {
  host_.elements = {near_.get(), left_.get(), right_.get()};
  for (int32_t command : {3074, 3076, 3075}) {
    pane_->DoCommand(command, 0);
    qxCameraRecords::Current()->pitch = -20;
    qx3DNavigation::FitCurrent(*pane_, host_.CanvasBounds(1.05f));
    Redraw();
    for (BoxElement* box : host_.elements) {
      const ppVector3 c = box->centre();
      // The top face's middle: seen from above in every view.
      const plat::POINT p = qx3DPicking::ProjectToWindow(*pane_, ppVector3(c.x, c.y + box->half(), c.z));
      EXPECT_EQ(NameAt(p), box->name()) << "view " << command;
    }
  }
}

}  // namespace
