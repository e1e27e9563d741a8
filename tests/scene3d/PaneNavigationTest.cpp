// The 3D view's cameras without a window: the presets, the camera steps, the eye placed from a wall
// or a corner, and the pixel-format choice over made-up format lists.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <vector>

#include "platform/HeadlessDriver.h"
#include "scene3d/panes/PixelFormatSelection.h"
#include "scene3d/panes/qxCameraNavigation.h"
#include "scene3d/panes/qxCameraRecords.h"
#include "scene3d/panes/qxEyePlacement.h"

namespace {

class PaneNavigationTest : public ::testing::Test {
 protected:
  void SetUp() override { plat::HeadlessDriver::Reset(); }
};

TEST_F(PaneNavigationTest, PresetsKeepTheirScalesBitForBitAndLiveRecordsReset) {
  EXPECT_EQ(std::bit_cast<uint32_t>(qxCameraRecords::Preset(1).lens), 0x3e0369ceu);
  EXPECT_EQ(std::bit_cast<uint32_t>(qxCameraRecords::Preset(2).lens), 0x3db4b53cu);
  EXPECT_EQ(qxCameraRecords::Current(), &qxCameraRecords::Live(0));
  qxCameraRecords::Live(1).lens = 5;
  qxCameraRecords::SetCurrent(2);
  plat::HeadlessDriver::Reset();
  EXPECT_EQ(qxCameraRecords::Current(), &qxCameraRecords::Live(0));
  EXPECT_EQ(qxCameraRecords::Live(1).lens, qxCameraRecords::Preset(1).lens);
}

TEST_F(PaneNavigationTest, OrthographicStepsZoomAndTurnByQuarters) {
  struct Case {
    float v;
    float lens;
  } cases[] = {{-1000, 0.1375f}, {1000, 0.1125f}, {-100, 0.12625f}, {100, 0.12375f}};
  for (const Case& c : cases) {
    qxCamera camera = qxCameraRecords::Preset(3);
    const ppVector3 before = camera.position;
    qxCameraNavigation::Move(camera, c.v, false, false);
    EXPECT_NEAR(camera.lens, c.lens, 1e-6) << c.v;
    EXPECT_EQ(camera.position.z, before.z);
  }
  // A scale of zero or less only grows back by zooming out.
  qxCamera flat = qxCameraRecords::Preset(1);
  flat.lens = 0;
  qxCameraNavigation::Move(flat, -1000, false, false);
  EXPECT_EQ(flat.lens, 0);
  // Axonometric vertical moves zoom: up is a forward (zoom-in) step.
  qxCamera axonometric = qxCameraRecords::Preset(2);
  qxCameraNavigation::Move(axonometric, 1000, false, true);
  EXPECT_NEAR(axonometric.lens, qxCameraRecords::Preset(2).lens * 1.1f, 1e-6);

  for (float angle : {15.0f, 1.5f}) {
    qxCamera camera = qxCameraRecords::Preset(1);
    qxCameraNavigation::Turn(camera, angle);
    EXPECT_EQ(camera.yaw, -90);
    qxCameraNavigation::Turn(camera, -angle);
    qxCameraNavigation::Turn(camera, -angle);
    EXPECT_EQ(camera.yaw, 90);
    qxCameraNavigation::Tilt(camera, angle);
    EXPECT_EQ(camera.pitch, 0);
  }
}

TEST_F(PaneNavigationTest, PerspectiveStepsMoveAlongTheYawAndReduceWholeTurns) {
  qxCamera camera = qxCameraRecords::Preset(0);
  camera.pitch = 350;
  qxCameraNavigation::Tilt(camera, 15);
  EXPECT_FLOAT_EQ(camera.pitch, 5);
  camera.pitch = -355;
  qxCameraNavigation::Tilt(camera, -15);
  EXPECT_FLOAT_EQ(camera.pitch, -10);

  camera.yaw = 90;
  const ppVector3 before = camera.position;
  qxCameraNavigation::Move(camera, -1000, false, false);
  EXPECT_NEAR(camera.position.y, before.y, 1e-3);
  EXPECT_NEAR(std::hypot(camera.position.x - before.x, camera.position.z - before.z), 1000, 1e-2);
  qxCameraNavigation::Move(camera, 100, false, true);
  EXPECT_NEAR(camera.position.y, before.y + 100, 1e-3);
}

TEST_F(PaneNavigationTest, EyeFromWallsAndCorners) {
  const qxEyePlacement::Corners room{{{0, 0}, {4000, 0}, {4000, 3000}, {0, 3000}}};
  struct Case {
    int32_t view, side;
    float x, y, z, heading;
  } cases[] = {
      {0, 1, -2446.7f, -1600, -5000, 90},
      {0, 2, -446.7f, -1600, -5000, 143.13f},
      {1, 1, -1857.8f, -1600, -1500, 90},
  };
  for (const Case& c : cases) {
    qx3DEyeRecord eye;
    ASSERT_TRUE(qxEyePlacement::PlaceFromSide(eye, c.side, c.view, room));
    EXPECT_NEAR(eye.eyeX, c.x, 0.1) << c.view << " " << c.side;
    EXPECT_EQ(eye.eyeY, c.y);
    EXPECT_NEAR(eye.eyeZ, c.z, 0.1) << c.view << " " << c.side;
    EXPECT_NEAR(eye.heading, c.heading, 0.01) << c.view << " " << c.side;
  }
  qx3DEyeRecord untouched;
  EXPECT_FALSE(qxEyePlacement::PlaceFromSide(untouched, 9, 0, room));
  EXPECT_EQ(untouched.eyeY, 0);
}

plat::PIXELFORMATDESCRIPTOR Format(plat::DWORD flags, uint8_t depth) {
  plat::PIXELFORMATDESCRIPTOR d;
  d.dwFlags = flags;
  d.iPixelType = plat::PFD_TYPE_RGBA;
  d.cColorBits = 32;
  d.cDepthBits = depth;
  return d;
}

TEST_F(PaneNavigationTest, PixelFormatPrefersThirtyTwoDepthBitsThenTheFirstDeeper) {
  const plat::DWORD hw = plat::PFD_DOUBLEBUFFER | plat::PFD_DRAW_TO_WINDOW | plat::PFD_SUPPORT_OPENGL;
  const plat::DWORD sw = hw | plat::PFD_GENERIC_FORMAT;
  const plat::PIXELFORMATDESCRIPTOR request = PixelFormatSelection::Request(32, false);
  struct Case {
    std::vector<plat::PIXELFORMATDESCRIPTOR> offered;
    bool accelerated;
    int32_t chosen;
  } cases[] = {
      {{Format(hw, 24), Format(hw, 32)}, true, 2},
      {{Format(hw, 16), Format(hw, 24), Format(hw, 32)}, true, 2},
      {{Format(hw, 24), Format(hw, 16)}, true, 1},
      // Software formats wait for the second pass, unless acceleration is not preferred.
      {{Format(sw, 32), Format(hw, 24)}, true, 2},
      {{Format(sw, 32), Format(hw, 24)}, false, 1},
      // The platform's own list: all generic, 24 depth bits; the double-buffered window format wins.
      {{Format(sw & ~plat::PFD_DOUBLEBUFFER, 24), Format(sw, 24)}, true, 2},
      {{Format(plat::PFD_DRAW_TO_WINDOW, 32)}, true, 0},
  };
  for (size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(PixelFormatSelection::Choose(cases[i].offered, request, false, cases[i].accelerated),
              cases[i].chosen)
        << i;
  // Drawing beside GDI asks for a single-buffered GDI format and skips the accelerated pass.
  const plat::PIXELFORMATDESCRIPTOR gdi = PixelFormatSelection::Request(32, true);
  const plat::DWORD gdiFlags = plat::PFD_DRAW_TO_WINDOW | plat::PFD_SUPPORT_GDI | plat::PFD_SUPPORT_OPENGL;
  EXPECT_EQ(PixelFormatSelection::Choose(
                {Format(gdiFlags, 32), Format(gdiFlags | plat::PFD_GENERIC_FORMAT, 24)}, gdi, true, true),
            1);
}

}  // namespace
