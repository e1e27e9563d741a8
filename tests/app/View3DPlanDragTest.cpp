// Drags in the 3D view of the started program (headless, the demo's start plan). Alt: an Alt press
// copies the selection only for a drag that starts on a unit and goes somewhere. A press that picks nothing,
// a press released where it was and a refused drop leave the plan, its price list, the undo history and the
// selection as they were; the next plain press moves the unit pressed. An Alt drag of two selected units
// drops two copies, each carried as its original would have been, and leaves the originals. The room: from an
// eye raised above the walls, a unit standing outside the room carries no unit out of it, and the floor seen
// past a wall's top is no place (shown so, and the release refused).
//
// Plan millimetres; pixels of the 3D pane's client area unless a name says otherwise.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "PlanUnits.h"
#include "StartedProgram.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/tasks/PlanFrames.h"
#include "canvas/view3d/zelvpro3DCanvas.h"
#include "canvas/view3d/zelvpro3DDraggerTask.h"
#include "canvas/view3d/zelvpro3DMoverTask.h"
#include "canvas/window/zelvproWindow.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproDocFil.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/topview/iCalculationList.h"
#include "database/ppSubfile.h"
#include "framework/ppWindow.h"
#include "platform/Desktop.h"
#include "platform/LayerClock.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxWallElement.h"
#include "scene3d/gl/qxCamera.h"
#include "scene3d/panes/qx3DPicking.h"
#include "scene3d/panes/qxCameraRecords.h"
#include "scene3d/panes/zelvpro3DPane.h"

namespace {

class View3DPlanDragTest : public apptest::StartedProgramTest {
 protected:
  void SetUp() override {
    StartedProgramTest::SetUp();
    StartOnThePlan();
    Send(zelvproViewBar::k3DCommand);
    plat::HeadlessDriver::RunUntilIdle();
    auto* canvas = dynamic_cast<zelvpro3DCanvas*>(app_->DocumentWindow()->Canvas3DView());
    ASSERT_NE(canvas, nullptr);
    pane_ = canvas->Pane();
    ASSERT_NE(pane_, nullptr);
    d60_ = apptest::OnlyUnitNamed(Plan(), "D60");
    b40_ = apptest::OnlyUnitNamed(Plan(), "B40");
    ASSERT_NE(d60_, nullptr);
    ASSERT_NE(b40_, nullptr);
  }
  void TearDown() override {
    Key(plat::VK_MENU, false);
    Key(plat::VK_SHIFT, false);
    StartedProgramTest::TearDown();
  }

  zelvproTopCanvas& Plan() const {
    return *dynamic_cast<zelvproTopCanvas*>(app_->DocumentWindow()->TopCanvas());
  }
  std::vector<zelvproElement*> Units() const {
    std::vector<zelvproElement*> out;
    ForEachChildElement(Plan(), [&](zelvproElement* unit) { out.push_back(unit); });
    return out;
  }
  // The pieces the price list's lines count, all lines together (an equal unit adds to its line), as
  // the price list shows them: made again from the plan.
  double PricedPieces() {
    iCalculationList::Current().RebuildLines(Plan());
    return CountedPieces();
  }
  static double CountedPieces() {
    auto* lines = dynamic_cast<ppSubfile*>(iCalculationList::Current().LineFile());
    if (lines == nullptr) return -1.0;
    const RecordField pieces(*lines, "pcs");
    double sum = 0.0;
    lines->BeginAccess();
    for (int32_t i = 0; i < lines->GetRecordCount(); ++i) {
      lines->ReadRecordAt(i, nullptr);
      sum += pieces.Quantity(lines->GetRecordBuffer()).ToDouble();
    }
    return sum;
  }
  const ppTask* DoneTop() const { return Plan().DoneTop(); }
  zelvpro3DTask* Task() const {
    auto* window = dynamic_cast<ppWindow*>(pane_->GetRootView());
    return window != nullptr ? dynamic_cast<zelvpro3DTask*>(window->MouseTask()) : nullptr;
  }

  // The screen point of a pane point, and of where the pane shows the middle of a unit's front.
  plat::POINT Screen(plat::POINT p) const {
    plat::ClientToScreen(pane_->GetHWND(), &p);
    return p;
  }
  plat::POINT FrontOf(zelvproElement* unit) const {
    const ppBounds3 box = ppBounds3::Transformed(PlanMatrix(unit), unit->GetBounds(0, 0x240));
    return qx3DPicking::ProjectToWindow(*pane_, box.centre + ppVector3(0.0f, 0.0f, box.half.z));
  }
  static void Key(int32_t key, bool down) {
    plat::Desktop::Key(key, down);
    plat::HeadlessDriver::RunUntilIdle();
  }
  void Button(plat::POINT at, bool down) {
    plat::Desktop::MouseButton(plat::VK_LBUTTON, down, Screen(at));
    plat::HeadlessDriver::RunUntilIdle();
  }
  // A press and release where it was, well past the click time.
  void Click(plat::POINT at) {
    plat::LayerClock::Advance(2000);
    plat::Desktop::MouseMove(Screen(at));
    Button(at, true);
    Button(at, false);
  }
  // Pressed at `from`, moved in ten steps to `to` and released there after the click time.
  void Drag(plat::POINT from, plat::POINT to) {
    plat::LayerClock::Advance(2000);
    plat::Desktop::MouseMove(Screen(from));
    Button(from, true);
    for (int i = 1; i <= 10; ++i) {
      plat::LayerClock::Advance(30);
      plat::Desktop::MouseMove(
          Screen({from.x + (to.x - from.x) * i / 10, from.y + (to.y - from.y) * i / 10}));
      plat::HeadlessDriver::RunUntilIdle();
    }
    plat::LayerClock::Advance(1000);
    Button(to, false);
  }

  zelvpro3DPane* pane_ = nullptr;
  zelvproElement* d60_ = nullptr;
  zelvproElement* b40_ = nullptr;
};

// What an Alt press left behind: units, price lines, the history, the selection; and the next
// plain press moves the unit pressed, not a copy of it.
TEST_F(View3DPlanDragTest, AnAltPressThatDragsNothingLeavesThePlanItsPricesAndItsHistoryAsTheyWere) {
  Click(FrontOf(d60_));
  ASSERT_TRUE(d60_->IsSelected());
  const std::vector<zelvproElement*> units = Units();
  const double pieces = PricedPieces();
  ASSERT_GT(pieces, 0.0);
  const ppTask* history = DoneTop();
  const bool modified = DocumentRecordFile->IsModified();
  const ppVector3 at = d60_->GetPosition();
  struct Case {
    const char* what;
    plat::POINT press, release;
  };
  const plat::POINT front = FrontOf(d60_);
  // The white above the room's walls, where no unit is.
  const plat::POINT sky{pane_->FrameWidth() / 2, 8};
  const Case cases[] = {
      {"on nothing", sky, sky},
      {"on the unit, released where it was", front, front},
      {"on the unit, dropped over the sky (refused)", front, sky},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Key(plat::VK_MENU, true);
    if (c.press.x == c.release.x && c.press.y == c.release.y)
      Click(c.press);
    else
      Drag(c.press, c.release);
    Key(plat::VK_MENU, false);
    EXPECT_EQ(Units(), units) << "a copy stayed in the plan";
    EXPECT_EQ(PricedPieces(), pieces) << "a copy stayed on the price list";
    EXPECT_EQ(DoneTop(), history);
    EXPECT_EQ(DocumentRecordFile->IsModified(), modified);
    EXPECT_TRUE(d60_->IsSelected());
    EXPECT_EQ(d60_->GetPosition(), at);
  }
  Plan().DoCommand(zelvproCanvas::kUndo, 0);
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(Units(), units);
  EXPECT_EQ(PricedPieces(), pieces);
  // The next plain press on the unit moves the unit itself.
  plat::LayerClock::Advance(2000);
  plat::Desktop::MouseMove(Screen(front));
  Button(front, true);
  zelvpro3DTask* task = Task();
  ASSERT_NE(dynamic_cast<zelvpro3DMoverTask*>(task), nullptr);
  EXPECT_EQ(task->Reference(), d60_);
  Button(front, false);
}

// Two selected units, the drawer unit pressed with Alt and carried along the back wall: two copies,
// each as far from its own original as the other, the originals where they stood; Undo takes both
// copies out of the plan and the price list, Redo puts them back.
TEST_F(View3DPlanDragTest, AnAltDragOfTwoUnitsDropsTwoCopiesEachWhereItsOriginalWasCarried) {
  Click(FrontOf(d60_));
  Key(plat::VK_SHIFT, true);
  Click(FrontOf(b40_));
  Key(plat::VK_SHIFT, false);
  ASSERT_TRUE(d60_->IsSelected());
  ASSERT_TRUE(b40_->IsSelected());
  const std::vector<zelvproElement*> units = Units();
  const double pieces = PricedPieces();
  const ppVector3 d60 = PlanPoint(d60_, ppVector3()), b40 = PlanPoint(b40_, ppVector3());
  const plat::POINT front = FrontOf(d60_);
  Key(plat::VK_MENU, true);
  Drag(front, {front.x + 250, front.y});
  Key(plat::VK_MENU, false);
  const auto* task = dynamic_cast<const zelvpro3DDraggerTask*>(DoneTop());
  ASSERT_NE(task, nullptr) << "no drop on the history";
  ASSERT_EQ(Units().size(), units.size() + 2);
  EXPECT_EQ(PricedPieces(), pieces + 2.0);
  EXPECT_EQ(PlanPoint(d60_, ppVector3()), d60) << "the pressed original moved";
  EXPECT_EQ(PlanPoint(b40_, ppVector3()), b40) << "the other original moved";
  std::vector<zelvproElement*> copies;
  for (zelvproElement* unit : Units())
    if (std::find(units.begin(), units.end(), unit) == units.end()) copies.push_back(unit);
  ASSERT_EQ(copies.size(), 2u);
  zelvproElement* d60Copy = apptest::TopViewName(*copies[0]) == "D60" ? copies[0] : copies[1];
  zelvproElement* b40Copy = d60Copy == copies[0] ? copies[1] : copies[0];
  EXPECT_EQ(apptest::TopViewName(*d60Copy), "D60");
  EXPECT_EQ(apptest::TopViewName(*b40Copy), "B40");
  EXPECT_EQ(task->Reference(), d60Copy) << "the pressed unit's copy does not lead";
  const ppVector3 d60Step = PlanPoint(d60Copy, ppVector3()) - d60;
  const ppVector3 b40Step = PlanPoint(b40Copy, ppVector3()) - b40;
  std::printf("Alt drag of two: D60 copy carried (%.1f, %.1f, %.1f), B40 copy (%.1f, %.1f, %.1f) mm\n",
              d60Step.x, d60Step.y, d60Step.z, b40Step.x, b40Step.y, b40Step.z);
  EXPECT_GT(d60Step.x, 1000.0f) << "the copies did not go right, clear of the originals";
  EXPECT_NEAR(b40Step.x, d60Step.x, 0.01f);
  EXPECT_NEAR(b40Step.y, d60Step.y, 0.01f);
  EXPECT_NEAR(b40Step.z, d60Step.z, 0.01f);
  Plan().DoCommand(zelvproCanvas::kUndo, 0);
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(Units(), units);
  EXPECT_EQ(PricedPieces(), pieces);
  Plan().DoCommand(zelvproCanvas::kRedo, 0);
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(Units().size(), units.size() + 2);
  EXPECT_EQ(PricedPieces(), pieces + 2.0);
}

// ---- The room from a raised eye: above its walls, looking down.

class View3DRaisedEyeTest : public View3DPlanDragTest {
 protected:
  void SetUp() override {
    View3DPlanDragTest::SetUp();
    if (HasFatalFailure()) return;
    qxCamera& camera = *qxCameraRecords::Current();
    camera.pitch = -45.0f;
    camera.position = ppVector3(3900.0f, 6000.0f, 9000.0f);
    // The room's inner faces: left, right (x), back, front (z).
    left_ = back_ = 1e9f, right_ = front_ = -1e9f;
    for (qxWallElement* wall : apptest::WallsUnder(*app_->DocumentWindow()->NewRoomCanvas())) {
      const WallEdge& e = wall->Edge();
      left_ = std::min({left_, e.start.x, e.end.x}), right_ = std::max({right_, e.start.x, e.end.x});
      back_ = std::min({back_, e.start.z, e.end.z}), front_ = std::max({front_, e.start.z, e.end.z});
    }
    ASSERT_LT(left_, right_);
  }
  static ppBounds3 Box(zelvproElement* unit) {
    return ppBounds3::Transformed(PlanMatrix(unit), unit->GetBounds(0, 0x240));
  }
  plat::POINT At(const ppVector3& plan) const { return qx3DPicking::ProjectToWindow(*pane_, plan); }
  float left_ = 0, right_ = 0, back_ = 0, front_ = 0;
};

// The base unit put out of the room in front of it (the plan lets a unit out); the drawer unit
// dragged over that unit's top lands inside the room, against its front wall.
TEST_F(View3DRaisedEyeTest, AUnitOutsideTheRoomCarriesNoUnitOutOfIt) {
  b40_->SetPosition(ppVector3(3000.0f, 100.0f, front_ + 600.0f));
  b40_->Invalidate();
  plat::HeadlessDriver::RunUntilIdle();
  const ppBounds3 outside = Box(b40_);
  ASSERT_GT(outside.centre.z - outside.half.z, front_) << "the base unit is not outside the room";
  const ppBounds3 box = Box(d60_);
  const plat::POINT press = At(box.centre + ppVector3(0.0f, box.half.y, 0.0f));
  const plat::POINT over = At(outside.centre + ppVector3(0.0f, outside.half.y, 0.0f));
  Drag(press, over);
  const ppBounds3 now = Box(d60_);
  const ppVector3 lo = now.centre - now.half, hi = now.centre + now.half;
  std::printf("dragged over a unit outside the room: x %.1f to %.1f, y %.1f, z %.1f to %.1f mm\n", lo.x, hi.x,
              lo.y, lo.z, hi.z);
  EXPECT_TRUE(lo.x >= left_ && hi.x <= right_ && lo.z >= back_ && hi.z <= front_)
      << "the drawer unit stands outside the room's faces";
  EXPECT_LT(lo.y, outside.centre.y) << "it stands on the unit outside the room";
}

// From above the room, over the floor past the back wall's top there is no place: shown as refused while the
// mouse is there, and the release leaves the unit and the history as they were.
TEST_F(View3DRaisedEyeTest, ADragOverAWallsTopIsShownRefusedAndRefused) {
  // Over the room, looking down past the back wall's top onto the floor behind it.
  qxCamera& camera = *qxCameraRecords::Current();
  camera.pitch = -80.0f;
  camera.position = ppVector3(3900.0f, 9000.0f, 3500.0f);
  const ppBounds3 box = Box(d60_);
  const ppVector3 before = d60_->GetPosition();
  const ppTask* history = DoneTop();
  const plat::POINT press = At(box.centre + ppVector3(0.0f, box.half.y, 0.0f));
  // The unit's first anchor keeps to its pixel's offset from the mouse: the mouse goes where that
  // anchor shows 1 m behind the back wall, at its own height.
  SnapAnchor first;
  ASSERT_TRUE(d60_->GetPointEntry(0, first));
  const ppVector3 anchor = PlanPoint(d60_, first.point);
  const plat::POINT shown = At(anchor);
  const plat::POINT behind = At(ppVector3(4000.0f, anchor.y, back_ - 1000.0f));
  const plat::POINT beyond{behind.x + press.x - shown.x, behind.y + press.y - shown.y};
  ASSERT_GT(beyond.y, 0) << "the floor behind the back wall is not in the pane";
  plat::LayerClock::Advance(2000);
  plat::Desktop::MouseMove(Screen(press));
  Button(press, true);
  zelvpro3DTask* task = Task();
  ASSERT_NE(task, nullptr);
  for (int i = 1; i <= 10; ++i) {
    plat::LayerClock::Advance(30);
    plat::Desktop::MouseMove(
        Screen({press.x + (beyond.x - press.x) * i / 10, press.y + (beyond.y - press.y) * i / 10}));
    plat::HeadlessDriver::RunUntilIdle();
  }
  EXPECT_FALSE(task->PlacementOk());
  EXPECT_EQ(task->TrackCursor(), zelvpro3DTask::kBlockedCursor);
  plat::LayerClock::Advance(1000);
  Button(beyond, false);
  EXPECT_EQ(d60_->GetPosition(), before);
  EXPECT_EQ(DoneTop(), history);
}

}  // namespace
