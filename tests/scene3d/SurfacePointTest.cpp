// The surface point under the mouse in the 3D pane, found by a ray through the pressed pixel: in the
// perspective, parallel and axonometric views it lies on the face the user sees there (a box's top,
// its front, the floor in front of it), never on a face hidden behind it.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "ColorApplication.h"
#include "PaneTestDoubles.h"
#include "foundation/ppBounds3.h"
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

class SurfacePointTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    plat::LayerClock::SetManual(100000);
    app_ = std::make_unique<ColorApplication>();
    frame_ = picture_tests::MakeTestWindow(kWidth, kHeight, 0x336699, &surface_);
    zelvpro3DPane::RegisterClass();
    qxCameraRecords::CopyPresets();
    // A 1000 mm cube at the origin beside a second one, standing on a floor slab whose top lies at
    // y = -500. Seen from 45 degrees the cube's top is crossed by its diagonals through the corners.
    cube_ = std::make_unique<BoxElement>(7, ppVector3(0, 0, 0), 500);
    other_ = std::make_unique<BoxElement>(8, ppVector3(1400, 0, 0), 500);
    floor_ = std::make_unique<BoxElement>(9, ppVector3(0, -5500, 0), 5000);
    floor_->kind = i3DPaneElement::kFloorKind;
    host_.elements = {cube_.get(), other_.get(), floor_.get()};
    pane_ = zelvpro3DPane::Create(frame_, plat::RECT{0, 0, kWidth, kHeight}, &host_);
    ASSERT_NE(pane_, nullptr);
    pane_->Show();
    plat::HeadlessDriver::RunUntilIdle();
  }
  void TearDown() override {
    if (pane_) plat::DestroyWindow(pane_->GetHWND());
    Shared3DContext::Delete();
    qxCameraRecords::CopyPresets();
    qxCameraRecords::SetCurrent(qxCameraRecords::kPerspective);
    app_.reset();
    plat::HeadlessDriver::Reset();
  }

  // Switches to the view of `command`, looking down by `pitch` degrees, fitted to the cube at the
  // origin (so that the screen's vertical centre line runs along a diagonal of its top at 45 degrees).
  void Look(int32_t command, float pitch) {
    pane_->DoCommand(command, 0);
    qxCameraRecords::Current()->pitch = pitch;
    qx3DNavigation::FitCurrent(*pane_, cube_->GetBounds(0x240, 1.02f));
    pane_->Invalidate();
    plat::HeadlessDriver::RunUntilIdle();
  }

  std::unique_ptr<ColorApplication> app_;
  plat::HWND frame_ = nullptr;
  plat::Surface* surface_ = nullptr;
  std::unique_ptr<BoxElement> cube_, other_, floor_;
  TestHost host_;
  zelvpro3DPane* pane_ = nullptr;
};

TEST_F(SurfacePointTest, ThePointLiesOnTheFaceSeenThroughThePixelInEveryView) {
  struct View {
    const char* name;
    int32_t command;
    float pitch;  // degrees, down
  } views[] = {
      {"perspective", 3074, -30},
      {"parallel", 3076, -30},
      {"axonometric", 3075, -30},  // turned 45 degrees about the vertical as well
  };
  struct Target {
    const char* name;
    ppVector3 point;  // millimetres
    int axis;         // the face's normal axis: 0 x, 1 y, 2 z
    uint32_t flags;   // the surface flags expected besides the face's orientation
    bool horizontal;
  } targets[] = {
      {"top of the cube", ppVector3(0, 500, 0), 1, qx3DPicking::kOnElement, true},
      {"top of the cube off its centre", ppVector3(-200, 500, 150), 1, qx3DPicking::kOnElement, true},
      {"front of the cube", ppVector3(0, 0, 500), 2, qx3DPicking::kOnElement, false},
      {"floor in front of the cube", ppVector3(0, -500, 700), 1, qx3DPicking::kOnFloor, true},
  };
  for (const View& view : views) {
    Look(view.command, view.pitch);
    for (const Target& target : targets) {
      SCOPED_TRACE(std::string(view.name) + ", " + target.name);
      const plat::POINT pixel = qx3DPicking::ProjectToWindow(*pane_, target.point);
      // Off the pane nothing is picked: every target must show.
      ASSERT_TRUE(pixel.x >= 0 && pixel.x < kWidth && pixel.y >= 0 && pixel.y < kHeight);
      qx3DPicking::Surface hit;
      ASSERT_TRUE(qx3DPicking::SurfacePointAt(*pane_, pixel.x, pixel.y, qx3DPicking::kKeepHeight, &hit, 1));
      const float got[3] = {hit.point.x, hit.point.y, hit.point.z};
      const float want[3] = {target.point.x, target.point.y, target.point.z};
      // On the face's plane; within a few pixels of the target across it (a pixel is under 10 mm).
      for (int axis = 0; axis < 3; ++axis)
        EXPECT_NEAR(got[axis], want[axis], axis == target.axis ? 0.5 : 25) << axis;
      EXPECT_EQ(hit.flags, target.flags | (target.horizontal ? qx3DPicking::kHorizontalFace
                                                             : qx3DPicking::kVerticalFace));
      if (!target.horizontal) EXPECT_NEAR(hit.angle, 0.0f, 1e-4);  // a face towards +z
    }
  }
}

TEST_F(SurfacePointTest, TheBottomIsTakenUnlessTheHeightIsKeptAndATopIsRaisedOnRequest) {
  Look(3075, -30);
  const plat::POINT top = qx3DPicking::ProjectToWindow(*pane_, ppVector3(0, 500, 0));
  struct Case {
    uint32_t options;
    float y;
  } cases[] = {
      {0, -499.9f},
      {qx3DPicking::kKeepHeight, 500.0f},
      {qx3DPicking::kRaiseOnTop, 525.0f},
  };
  for (const Case& c : cases) {
    qx3DPicking::Surface hit;
    ASSERT_TRUE(qx3DPicking::SurfacePointAt(*pane_, top.x, top.y, c.options, &hit, 1)) << c.options;
    EXPECT_NEAR(hit.point.y, c.y, 0.05) << c.options;
    EXPECT_NEAR(hit.point.x, 0, 25) << c.options;
    EXPECT_NEAR(hit.point.z, 0, 25) << c.options;
  }
}

}  // namespace
