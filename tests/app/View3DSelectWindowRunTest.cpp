// Selecting and moving units in the 3D view of the built program in a window (Xvfb, no window manager),
// driven through XTEST as a user does it, on the demo's start plan from its home view:
// - the base unit in the corner is clicked, then the drawer unit beside it is pressed and dragged 40
//   pixels to the right: the drawer unit alone moves, by what 40 pixels make at the back wall, and
//   the base unit stays where it stood;
// - Zoom to Object is pressed with nothing selected, then the home button: the press and drag that
//   follow on the drawer unit move it as before, the camera is not zoomed onto it.
// The plan is saved and read back here for the exact places. Where the units show in the 3D view is
// learnt from the same start-up in this process, headless, on a screen of the display's size. Plan
// millimetres; pixels of the frame's client area.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "View3DWindowRunFixture.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/tasks/PlanFrames.h"
#include "canvas/view3d/zelvpro3DCanvas.h"
#include "canvas/view3d/zelvproViewPointButton.h"
#include "framework/ppButton.h"
#include "scene3d/panes/zelvpro3DPane.h"

namespace {

namespace fs = std::filesystem;

// The base units' boxes from their origins (the plinth stands below), and the back wall's inner face.
constexpr float kHeight = 720.0f, kDepth = 585.0f;
constexpr float kBaseWidth = 400.0f, kDrawerWidth = 600.0f;
constexpr float kBackFace = 2000.0f;
constexpr int32_t kStep = 40;  // pixels to the right

class View3DSelectWindowRunTest : public apptest::View3DWindowRunFixture {
 protected:
  ppVector3 Origin(const std::string& name) const {
    zelvproElement* unit = Named(name);
    return unit != nullptr ? PlanPoint(unit, ppVector3()) : ppVector3(-1.0f, -1.0f, -1.0f);
  }
  // The middle of the front of a unit `width` wide standing at `origin`.
  static ppVector3 Front(const ppVector3& origin, float width) {
    return origin + ppVector3(width / 2, kHeight / 2, kDepth);
  }

  // The program started on the demo plan, its 3D view shown at home as the display will show it:
  // the drawer unit's front (pressed) and the millimetres 40 pixels make at the back wall.
  void Learn() {
    plan_ = DemoPlan();
    Begin(plan_.string());
    base_ = Origin("B40");
    drawers_ = Origin("D60");
    ASSERT_NEAR(base_.z, kBackFace + 0.1f, 0.01f) << "the base unit stands against the back wall";
    ASSERT_NEAR(drawers_.z, kBackFace + 0.1f, 0.01f) << "the drawer unit stands against the back wall";
    Send(zelvproViewBar::k3DCommand);
    canvas_ = dynamic_cast<zelvpro3DCanvas*>(Window().Canvas3DView());
    ASSERT_NE(canvas_, nullptr);
    pane_ = canvas_->Pane();
    ASSERT_NE(pane_, nullptr);
    canvas_->DoCommand(ppButton::kPressedCommand, reinterpret_cast<intptr_t>(canvas_->ViewPointButton()));
    press_ = Shown(Front(drawers_, kDrawerWidth));
    const float pixelsPerMillimetre =
        (InPane(drawers_ + ppVector3(1000.0f, 0.0f, 0.0f)).x - InPane(drawers_).x) / 1000.0f;
    ASSERT_GT(pixelsPerMillimetre, 0.05f);
    step_ = float(kStep) / pixelsPerMillimetre;
  }
  // The driver's steps of the drawer unit's drag, then the save and the close.
  std::vector<std::string> DragAndSave() const {
    const plat::POINT release{press_.x + kStep, press_.y};
    return {"down:" + Place(press_), "move:" + Place(release), "up", "chord:Control_L+s", "close"};
  }
  windowrun::Outcome RunSteps(std::vector<std::string> steps) {
    Stop();
    const std::string environment = "XDG_DOCUMENTS_DIR='" + (demo_.Root() / "documents").string() + "'";
    fs::create_directories(demo_.Root() / "documents");
    const std::vector<std::string> drag = DragAndSave();
    steps.insert(steps.end(), drag.begin(), drag.end());
    return Run(steps, 60, Quoted(plan_), environment);
  }
  // The saved plan read back: the drawer unit moved right by the step, against the back wall, and
  // the base unit where it stood.
  void ExpectOnlyTheDrawerUnitMoved() {
    Begin(plan_.string());
    const ppVector3 drawers = Origin("D60"), base = Origin("B40");
    EXPECT_NEAR(drawers.x, drawers_.x + step_, 2.0f) << "the drawer unit did not follow the mouse";
    EXPECT_NEAR(drawers.z, drawers_.z, 0.5f);
    EXPECT_EQ(drawers.y, drawers_.y);
    EXPECT_EQ(base, base_) << "the base unit, not pressed, moved too";
  }

  fs::path plan_;
  ppVector3 base_, drawers_;
  plat::POINT press_{};
  float step_ = 0.0f;
  zelvpro3DCanvas* canvas_ = nullptr;
};

TEST_F(View3DSelectWindowRunTest, APressOnAUnitAfterAClickOnAnotherMovesThePressedUnitAlone) {
  Learn();
  const plat::POINT home = Middle(Frame(*canvas_->ViewPointButton()));
  const plat::POINT base = Shown(Front(base_, kBaseWidth));
  // The click on the base unit is held past the double-click time, so the press after it is a press.
  const windowrun::Outcome outcome =
      RunSteps({"key:F7", "click:" + Place(home), "alive", "press:" + Place(base) + ",600", "alive"});
  ASSERT_TRUE(outcome.Passed()) << outcome.log;
  ExpectOnlyTheDrawerUnitMoved();
}

TEST_F(View3DSelectWindowRunTest, AfterZoomToObjectAndHomeAPressMovesTheUnit) {
  Learn();
  const plat::POINT zoom = Middle(Frame(*canvas_->ZoomModeButton()));
  const plat::POINT home = Middle(Frame(*canvas_->ViewPointButton()));
  const windowrun::Outcome outcome =
      RunSteps({"key:F7", "click:" + Place(zoom), "alive", "click:" + Place(home), "alive"});
  ASSERT_TRUE(outcome.Passed()) << outcome.log;
  ExpectOnlyTheDrawerUnitMoved();
}

}  // namespace
