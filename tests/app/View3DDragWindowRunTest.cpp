// Dragging a unit in the 3D view of the built program in a window (Xvfb, no window manager), driven
// through XTEST as a user does it: on the demo's start plan, from the start view, the drawer unit that
// stands against the back wall is pressed on its front and dragged 40 pixels to the right. While it
// moves its outline is drawn where the mouse takes it, at its own size and depth; released, it stands
// against the back wall as before, on its plinth, moved right by what 40 pixels make at the wall, and
// inside the room. The plan is saved and read back here for the exact place.
//
// Where the unit shows in the 3D view is learnt from the same start-up in this process, headless, on a
// screen of the display's size. Plan millimetres; pixels of the frame's client area.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "WindowRunFixture.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/tasks/PlanFrames.h"
#include "canvas/view3d/zelvpro3DCanvas.h"
#include "catalogue/databases/CatalogDatabaseList.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "database/ScopedRecordBuffer.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/zelvproTopCanvas.h"
#include "scene3d/panes/qx3DPicking.h"
#include "scene3d/panes/zelvpro3DPane.h"

namespace {

namespace fs = std::filesystem;
using windowrun::Grab;

// The drawer unit's box from its origin (its plinth stands below it), and the back wall's inner face.
constexpr float kWidth = 600.0f, kHeight = 720.0f, kDepth = 585.0f;
constexpr float kBackFace = 2000.0f;
constexpr int32_t kStep = 40;  // pixels to the right

class View3DDragWindowRunTest : public apptest::WindowRunFixture {
 protected:
  zelvproWindow& Window() const { return *app_->DocumentWindow(); }
  zelvproTopCanvas& Plan() const { return *dynamic_cast<zelvproTopCanvas*>(Window().TopCanvas()); }

  // The plan's one unit whose top view is named `name`, or null.
  zelvproElement* Named(const std::string& name) const {
    zelvproTopViewFil& views = MainCatalogDatabase->TopViewFile();
    const RecordField viewName(views, "Name");
    std::vector<zelvproElement*> found;
    ForEachChildElement(Plan(), [&](zelvproElement* unit) {
      ScopedRecordBuffer<ppDatafile> buffer(views);
      views.ReadRecord(unit->recordId, buffer.Get());
      if (std::string(viewName.Text(buffer.Get()).c_str()) == name) found.push_back(unit);
    });
    return found.size() == 1 ? found.front() : nullptr;
  }
  // The 3D pane's unrounded window point of a plan point, and the frame's client pixel it lies in.
  ppVector3 InPane(const ppVector3& plan) const { return qx3DPicking::WindowPosition(*pane_, plan); }
  plat::POINT Shown(const ppVector3& plan) const {
    const ppVector3 w = InPane(plan);
    return InFrame(pane_->GetHWND(), {int32_t(std::lround(w.x)), int32_t(std::lround(w.y))});
  }
  // Whether the grab has a dark pixel (an outline) within two pixels of `p`.
  bool Outlined(const Grab& g, plat::POINT p) const {
    for (int dy = -2; dy <= 2; ++dy)
      for (int dx = -2; dx <= 2; ++dx) {
        const uint32_t c = At(g, {p.x + dx, p.y + dy});
        if (((c >> 16) & 0xFF) < 90 && ((c >> 8) & 0xFF) < 90 && (c & 0xFF) < 90) return true;
      }
    return false;
  }

  zelvpro3DPane* pane_ = nullptr;
};

TEST_F(View3DDragWindowRunTest, AUnitDraggedAlongTheBackWallFollowsTheMouseAndStaysInTheRoom) {
  const fs::path plan = DemoPlan();
  Begin(plan.string());
  zelvproElement* drawers = Named("D60");
  ASSERT_NE(drawers, nullptr) << "the start plan has one drawer unit";
  const ppVector3 before = PlanPoint(drawers, ppVector3());
  ASSERT_NEAR(before.z, kBackFace + 0.1f, 0.01f) << "the drawer unit stands against the back wall";
  ASSERT_EQ(before.y, 100.0f) << "the drawer unit stands on its plinth";
  float rightFace = 0.0f;
  for (qxWallElement* wall : Walls(*Window().NewRoomCanvas())) {
    const WallEdge& e = wall->Edge();
    if (e.start.x == e.end.x && e.end.z > e.start.z) rightFace = e.start.x;
  }
  ASSERT_GT(rightFace, before.x + kWidth);

  Send(zelvproViewBar::k3DCommand);
  auto* canvas = dynamic_cast<zelvpro3DCanvas*>(Window().Canvas3DView());
  ASSERT_NE(canvas, nullptr);
  pane_ = canvas->Pane();
  ASSERT_NE(pane_, nullptr);
  // The front's middle is pressed. At the back wall 40 pixels make `step` millimetres to the right.
  const ppVector3 front(before.x + kWidth / 2, before.y + kHeight / 2, before.z + kDepth);
  const plat::POINT press = Shown(front);
  const plat::POINT release{press.x + kStep, press.y};
  const float pixelsPerMillimetre =
      (InPane(before + ppVector3(1000.0f, 0.0f, 0.0f)).x - InPane(before).x) / 1000.0f;
  ASSERT_GT(pixelsPerMillimetre, 0.05f);
  const float step = float(kStep) / pixelsPerMillimetre;
  const ppVector3 after = before + ppVector3(step, 0.0f, 0.0f);
  // Where the moved unit's corners show: its front top right and its back top right (seen over it).
  const plat::POINT frontCorner = Shown(after + ppVector3(kWidth, kHeight, kDepth));
  const plat::POINT backCorner = Shown(after + ppVector3(kWidth, kHeight, 0.0f));
  // The middle of the moved unit's front, right of where the unit stood: the back wall before.
  const plat::POINT newFront = Shown(after + ppVector3(kWidth - 60.0f, kHeight / 2, kDepth));
  const plat::POINT oldFront = Shown(before + ppVector3(kWidth - 60.0f, kHeight / 2, kDepth));
  ASSERT_GT(newFront.x - oldFront.x, kStep - 2);
  Stop();

  const std::string environment = "XDG_DOCUMENTS_DIR='" + (demo_.Root() / "documents").string() + "'";
  fs::create_directories(demo_.Root() / "documents");
  const windowrun::Outcome outcome =
      Run({"key:F7", GrabStep("before.ppm"), "down:" + Place(press), "move:" + Place(release),
           GrabStep("moving.ppm"), "up", GrabStep("after.ppm"), "chord:Control_L+s", "close"},
          60, Quoted(plan), environment);
  ASSERT_TRUE(outcome.Passed()) << outcome.log;

  // While it moves, its outline stands at its own size and depth where the mouse took it.
  const Grab shown = Grabbed("before.ppm"), moving = Grabbed("moving.ppm"), dropped = Grabbed("after.ppm");
  ASSERT_GT(moving.width, 0);
  EXPECT_FALSE(Outlined(shown, frontCorner)) << "the wall behind the moved unit's corner is plain";
  EXPECT_TRUE(Outlined(moving, frontCorner))
      << "the outline's front top right corner is not under the mouse's step";
  EXPECT_TRUE(Outlined(moving, backCorner)) << "the outline's back top right corner is not at the back wall";
  // Dropped, the unit is drawn there.
  EXPECT_GT(Differing(shown, dropped, Grown({newFront.x, newFront.y, newFront.x + 1, newFront.y + 1}, 3)), 0)
      << "the moved unit is not drawn right of where it stood";

  // The saved plan: the unit moved right by the step, against the back wall, on its plinth, in the room.
  Begin(plan.string());
  drawers = Named("D60");
  ASSERT_NE(drawers, nullptr);
  const ppVector3 saved = PlanPoint(drawers, ppVector3());
  EXPECT_NEAR(saved.x, after.x, 2.0f);
  EXPECT_EQ(saved.y, 100.0f);
  EXPECT_NEAR(saved.z, kBackFace + 0.1f, 0.5f);
  EXPECT_GE(saved.z, kBackFace);
  EXPECT_LE(saved.x + kWidth, rightFace);
  EXPECT_EQ(drawers->GetAbsoluteAngle(), 0.0f);
}

}  // namespace
