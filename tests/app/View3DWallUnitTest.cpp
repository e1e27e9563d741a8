// The wall unit of the demo's start plan dragged in the 3D view with the eye lowered below it: the ray
// through the unit's corner rises and never comes down to the unit's height (1400 mm), so the place is
// where the ray meets the back wall's inner face; the unit follows the mouse along the back wall. The
// mouse taken over the wall's top finds no surface of the room: the unit stays where it was last put
// and the release is refused, leaving the plan as it was.
//
// Headless, in this process: the program started on a copy of the start plan, the 3D view shown at
// Home, the mouse pressed and moved through the desktop. Plan millimetres; pixels of the frame's
// client area.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "PlanUnits.h"
#include "StartedProgram.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/tasks/PlanFrames.h"
#include "canvas/view3d/zelvpro3DCanvas.h"
#include "canvas/view3d/zelvpro3DTask.h"
#include "elements/base/zelvproTopCanvas.h"
#include "framework/ppWindow.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/LayerClock.h"
#include "scene3d/gl/qxCamera.h"
#include "scene3d/panes/qx3DPicking.h"
#include "scene3d/panes/qxCameraRecords.h"
#include "scene3d/panes/zelvpro3DPane.h"

namespace {

constexpr float kBackFace = 2000.0f;  // the start plan's back wall, inner face
constexpr float kEyeHeight = 1000.0f;

class View3DWallUnitTest : public apptest::StartedProgramTest {
 protected:
  zelvproWindow& Window() const { return *app_->DocumentWindow(); }
  zelvproElement* WallUnit() const { return apptest::OnlyUnitNamed(*Window().TopCanvas(), "W60"); }
  // A pane point on the desktop.
  plat::POINT OnDesktop(const ppVector3& window) const {
    plat::POINT p{int32_t(std::lround(window.x)), int32_t(std::lround(window.y))};
    plat::ClientToScreen(pane_->GetHWND(), &p);
    return p;
  }
  void Move(plat::POINT p) {
    plat::LayerClock::Advance(20);
    plat::Desktop::MouseMove(p);
    plat::HeadlessDriver::RunUntilIdle();
  }
  zelvpro3DTask* Task() const {
    auto* window = dynamic_cast<ppWindow*>(pane_->GetRootView());
    return window != nullptr ? dynamic_cast<zelvpro3DTask*>(window->MouseTask()) : nullptr;
  }

  zelvpro3DPane* pane_ = nullptr;
};

TEST_F(View3DWallUnitTest, AWallUnitAboveTheEyeFollowsTheMouseAlongItsWallAndOverTheWallTopStays) {
  plat::SetVirtualScreenSize(1280, 1024);
  StartOnThePlan();
  zelvproElement* unit = WallUnit();
  ASSERT_NE(unit, nullptr);
  const ppVector3 before = PlanPoint(unit, ppVector3());
  ASSERT_EQ(before.y, 1400.0f);
  Send(zelvproViewBar::k3DCommand);
  auto* canvas = dynamic_cast<zelvpro3DCanvas*>(Window().Canvas3DView());
  ASSERT_NE(canvas, nullptr);
  pane_ = canvas->Pane();
  // The eye lowered below the unit's bottom: every ray to the unit rises.
  qxCamera& camera = *qxCameraRecords::Current();
  camera.position.y = kEyeHeight;
  ASSERT_EQ(camera.pitch, 0.0f);

  // Pressed on its front's middle, moved 60 pixels right in two steps.
  const ppVector3 front = before + ppVector3(300.0f, 350.0f, 350.0f);
  const ppVector3 corner = qx3DPicking::WindowPosition(*pane_, before);
  const plat::POINT press = OnDesktop(qx3DPicking::WindowPosition(*pane_, front));
  plat::LayerClock::Advance(2000);
  plat::Desktop::MouseMove(press);
  plat::Desktop::MouseButton(plat::VK_LBUTTON, true, press);
  plat::HeadlessDriver::RunUntilIdle();
  zelvpro3DTask* task = Task();
  ASSERT_NE(task, nullptr) << "the press started no drag";
  EXPECT_EQ(task->Reference(), unit);
  Move({press.x + 30, press.y});
  Move({press.x + 60, press.y});
  EXPECT_TRUE(task->PlacementOk());
  const ppVector3 target = task->Target();
  plat::LayerClock::Advance(300);
  plat::Desktop::MouseButton(plat::VK_LBUTTON, false, {press.x + 60, press.y});
  plat::HeadlessDriver::RunUntilIdle();
  const ppVector3 moved = PlanPoint(unit, ppVector3());
  std::printf("the wall unit moved from (%.1f, %.1f, %.1f) to (%.1f, %.1f, %.1f) mm\n", before.x, before.y,
              before.z, moved.x, moved.y, moved.z);
  EXPECT_EQ(moved.x, target.x) << "it landed elsewhere than it was drawn";
  EXPECT_GT(moved.x, before.x + 200.0f) << "it did not follow the mouse";
  EXPECT_EQ(moved.y, 1400.0f);
  EXPECT_GE(moved.z, kBackFace);
  EXPECT_NEAR(moved.z, before.z, 0.5f) << "it left the back wall";
  // Its corner is drawn 60 pixels right of where it was, on the same row.
  const ppVector3 drawn = qx3DPicking::WindowPosition(*pane_, moved);
  EXPECT_NEAR(drawn.x - corner.x, 60.0f, 1.0f);
  EXPECT_NEAR(drawn.y, corner.y, 1.0f);

  // Over the wall's top there is no surface of the room: the unit stays at its last place while the
  // mouse is there, the cursor forbids the drop, and the release leaves it where it stood.
  const plat::POINT again = OnDesktop(qx3DPicking::WindowPosition(*pane_, moved + ppVector3(300, 350, 350)));
  const plat::POINT sky = OnDesktop(qx3DPicking::WindowPosition(
      *pane_, moved + ppVector3(300.0f, 0.0f, 0.0f) + ppVector3(0.0f, 3400.0f - 1400.0f, 0.0f)));
  plat::RECT paneRect{};
  plat::GetWindowRect(pane_->GetHWND(), &paneRect);
  ASSERT_GT(sky.y, paneRect.top + 10) << "the point over the wall's top lies outside the view";
  plat::LayerClock::Advance(2000);
  plat::Desktop::MouseMove(again);
  plat::Desktop::MouseButton(plat::VK_LBUTTON, true, again);
  plat::HeadlessDriver::RunUntilIdle();
  task = Task();
  ASSERT_NE(task, nullptr);
  Move({again.x + 20, again.y});
  const ppVector3 last = task->Target();
  Move({again.x + 20, sky.y});
  EXPECT_FALSE(task->PlacementOk());
  EXPECT_EQ(task->Target().x, last.x);
  EXPECT_EQ(task->Target().z, last.z);
  plat::LayerClock::Advance(300);
  plat::Desktop::MouseButton(plat::VK_LBUTTON, false, {again.x + 20, sky.y});
  plat::HeadlessDriver::RunUntilIdle();
  const ppVector3 stayed = PlanPoint(unit, ppVector3());
  EXPECT_EQ(stayed.x, moved.x);
  EXPECT_EQ(stayed.y, moved.y);
  EXPECT_EQ(stayed.z, moved.z);
}

}  // namespace
