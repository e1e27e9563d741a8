// The plan's mover and rotate tasks on the headless desktop: a window with the top canvas and a room
// canvas, units with box bodies (so the collision test meets real faces), the mouse and the keys
// injected through the desktop, and the task's answers read back. Plan millimetres, scale 15 mm per
// pixel, pixel origin (0, 0).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "CanvasTestSupport.h"
#include "canvas/tasks/CanvasTaskFactory.h"
#include "canvas/tasks/zelvproBasicMoverTask.h"
#include "canvas/tasks/zelvproMoverTask.h"
#include "canvas/tasks/zelvproRotateTask.h"
#include "elements/PlanCanvasTestSupport.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/ElementKinds.h"
#include "elements/base/RotationStep.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/topview/TopViewTestSupport.h"
#include "foundation/ppMatrix4.h"
#include "framework/AdornerTestPictures.h"
#include "framework/ppPane.h"
#include "framework/ppWindow.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/LayerClock.h"
#include "room/qxNewRoomCanvas.h"
#include "elements/ElementTestSupport.h"
#include "canvas/tasks/PlanFrames.h"
#include "room/qxRoomSegment.h"
#include "scene3d/context/ppShape3D.h"

namespace {

using eltest::Rect;

// A closed box of six quads from the origin to `size`.
ppShape3D Box(const ppVector3& size) {
  ppShape3D shape;
  const float x = size.x, y = size.y, z = size.z;
  const float faces[6][4][3] = {
      {{0, 0, 0}, {x, 0, 0}, {x, y, 0}, {0, y, 0}}, {{0, 0, z}, {0, y, z}, {x, y, z}, {x, 0, z}},
      {{0, 0, 0}, {0, y, 0}, {0, y, z}, {0, 0, z}}, {{x, 0, 0}, {x, 0, z}, {x, y, z}, {x, y, 0}},
      {{0, 0, 0}, {0, 0, z}, {x, 0, z}, {x, 0, 0}}, {{0, y, 0}, {x, y, 0}, {x, y, z}, {0, y, z}}};
  for (const auto& face : faces) {
    shape.Begin(9);
    for (const auto& p : face) shape.Vertex(p[0], p[1], p[2]);
    shape.End();
  }
  return shape;
}

// A unit whose body is a box from its position to its size, with an "XDim" property; kind and flag
// word as a catalogue unit's.
class BoxUnit : public zelvproElement {
 public:
  BoxUnit(ppView* parent, const ppVector3& at, const ppVector3& size, int32_t unitKind = 0,
          uint32_t flagWord = 0)
      : zelvproElement(0, parent, Rect(0, 0, 4, 4), nullptr, 0, 0) {
    position = at;
    dimensions = size;
    kind = unitKind;
    flags = flagWord;
    UnitLayer().faces = Box(size);
  }
  ppBounds3 GetBounds(intptr_t /*a*/, int32_t /*flags*/) override {
    ppBounds3 box;
    box.centre = ppVector3(dimensions.x / 2, dimensions.y / 2, dimensions.z / 2);
    box.half = box.centre;
    return box;
  }
  int32_t IndexOf(const Vcon::String& name) override { return name == "XDim" ? 0 : -1; }
  ppParameter GetValue(int32_t index) override {
    return index == 0 ? ppParameter(dimensions.x) : ppParameter();
  }
  void SetValue(int32_t index, const ppParameter& value) override {
    if (index != 0) return;
    dimensions.x = value.ToFloat();
    UnitLayer().faces = Box(dimensions);
  }
  void AddAnchor(int32_t code, const ppVector3& at, float direction = 0.0f) {
    SnapAnchor a;
    a.code = code, a.point = at, a.direction = direction;
    snapPoints.push_back(a);
  }
};

uint32_t Bits(float f) {
  uint32_t b;
  std::memcpy(&b, &f, 4);
  return b;
}

// A pane over the window whose press starts the task the test hands it, as an element's press does.
class Starter : public ppPane {
 public:
  explicit Starter(ppView* supervisor) : ppPane(supervisor, Rect(0, 0, 400, 300), kStay, kStay) {}
  bool MouseDown(int32_t x, int32_t y) override {
    if (next == nullptr) return false;
    iElementTaskFactory::Current().StartWithElement(next, x, y, nullptr);
    next = nullptr;
    return true;
  }
  ppTask* next = nullptr;
};

class MoverTasksTest : public tvtest::TopViewTest, protected canvastest::DesktopInput {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    TopViewTest::SetUp();
    plat::LayerClock::SetManual(100'000);
    canvasHost_.palette = std::make_unique<zelvproLayerPalette>();
    iElementHost::Install(&canvasHost_);
    CanvasTaskFactory::InstallDefault();
    app_ = std::make_unique<adorner_tests::TestApplication>();
    window_ = new ppWindow();
    adorner_tests::MakeObjectWindow(window_, 400, 300);
    canvas_ = new zelvproTopCanvas(window_, Rect(0, 0, 400, 300), nullptr);
    room_ = std::make_unique<qxNewRoomCanvas>(nullptr, Rect(0, 0, 400, 300), nullptr);
    canvasHost_.topCanvas = canvas_;
    canvasHost_.newRoomCanvas = room_.get();
    starter_ = new Starter(window_);
    plat::HeadlessDriver::RunUntilIdle();
  }
  void TearDown() override {
    plat::Desktop::Key(plat::VK_SHIFT, false);
    plat::Desktop::Key(plat::VK_CONTROL, false);
    canvas_->Clear();
    delete window_;
    room_.reset();
    app_.reset();
    TopViewTest::TearDown();
    plat::HeadlessDriver::Reset();
  }

  static void Up(plat::POINT p) { UpAfterClickTime(p); }  // never a click

  // A mover over `units` (in this order) pressed at `at`.
  zelvproMoverTask* PressMover(std::vector<zelvproElement*> units, plat::POINT at) {
    qxViewHolder* chain = nullptr;
    for (auto it = units.rbegin(); it != units.rend(); ++it) chain = new qxViewHolder(*it, chain, true);
    auto* task =
        dynamic_cast<zelvproMoverTask*>(iElementTaskFactory::Current().NewMoverTask(chain, canvas_, nullptr));
    starter_->next = task;
    Down(at);
    return task;
  }
  zelvproRotateTask* PressRotate(std::vector<zelvproElement*> units, plat::POINT at) {
    qxViewHolder* chain = nullptr;
    for (auto it = units.rbegin(); it != units.rend(); ++it) chain = new qxViewHolder(*it, chain, true);
    auto* task = dynamic_cast<zelvproRotateTask*>(iElementTaskFactory::Current().NewRotateTask(
        reinterpret_cast<intptr_t>(chain), reinterpret_cast<intptr_t>(canvas_)));
    starter_->next = task;
    Down(at);
    return task;
  }

  pctest::CanvasHost canvasHost_;
  std::unique_ptr<adorner_tests::TestApplication> app_;
  ppWindow* window_ = nullptr;
  zelvproTopCanvas* canvas_ = nullptr;  // owned by the window
  std::unique_ptr<qxNewRoomCanvas> room_;
  Starter* starter_ = nullptr;  // owned by the window
};

// ---- Tracking: reference, Shift, Ctrl.

TEST_F(MoverTasksTest, ThePressFixesTheDrawingOffsetAndShiftLocksTheFirstUndiagonalAxis) {
  auto* unit = new BoxUnit(canvas_, ppVector3(1500, 0, 900), ppVector3(600, 720, 600));
  zelvproMoverTask* task = PressMover({unit}, {120, 80});
  ASSERT_NE(task, nullptr);
  EXPECT_EQ(task->DrawingOffset().x, 20);
  EXPECT_EQ(task->DrawingOffset().y, 20);
  Up({120, 80});

  task = PressMover({unit}, {100, 100});
  Key(plat::VK_SHIFT, true);
  MoveTo({110, 110});
  EXPECT_FALSE(task->AxisLocked());
  EXPECT_EQ(task->Current().x, 110);
  MoveTo({130, 105});
  EXPECT_TRUE(task->AxisLocked());
  EXPECT_EQ(task->Current().x, 130);
  EXPECT_EQ(task->Current().y, 100);
  Key(plat::VK_SHIFT, false);
  MoveTo({131, 106});
  EXPECT_FALSE(task->AxisLocked());
  EXPECT_EQ(task->Current().y, 106);
  Up({131, 106});
}

// The moved unit M (kind 0xc, stretchable) snaps with its origin anchor on the anchor of T, 1 mm right
// of T; the wall body W stands 400 mm further right, so M (600 wide) at the snap reaches into it.
class StretchTest : public MoverTasksTest {
 protected:
  void SetUp() override {
    MoverTasksTest::SetUp();
    target_ = new BoxUnit(canvas_, ppVector3(1500, 0, 900), ppVector3(600, 720, 600));
    target_->AddAnchor(-5, ppVector3(601, 0, 0));
    wall_ =
        new BoxUnit(room_.get(), ppVector3(2501, 0, 0), ppVector3(10, 2000, 3000), ElementKinds::kWallBody);
    wall_->pointA = ppVector3(2501, 0, 0);
    wall_->pointB = ppVector3(2501, 0, 3000);
    moved_ = new BoxUnit(canvas_, ppVector3(3000, 0, 2400), ppVector3(600, 720, 600),
                         ElementKinds::kParametric, 0x20000000);
    moved_->AddAnchor(5, ppVector3(0, 0, 0));
  }
  // Press on M, then a drag that brings M's origin to (2100, 900): 1 mm from T's anchor.
  static constexpr plat::POINT kPress{205, 165};
  static constexpr plat::POINT kAtSnap{145, 65};
  static constexpr plat::POINT kAway{205, 200};
  BoxUnit *target_, *wall_, *moved_;
};

TEST_F(StretchTest, AUnitReachingIntoAWallIsNarrowedToFitAndTheAnswerIsKeptPerSnapPoint) {
  zelvproMoverTask* task = PressMover({moved_}, kPress);
  MoveTo(kAtSnap);
  EXPECT_EQ(task->SnapTarget(), target_);
  EXPECT_EQ(task->CollisionRuns(), 2);  // the placement collided, the narrowed one did not
  EXPECT_EQ(moved_->dimensions.x, 396.0f);
  EXPECT_TRUE(task->PlaceFree());
  EXPECT_EQ(task->TrackCursor(), zelvproBasicMoverTask::kFreeCursor);
  // Tracking leaves the unit where it was (only the width stays while the snap point is held).
  EXPECT_EQ(moved_->GetPosition().x, 3000.0f);
  MoveTo(kAway);
  EXPECT_EQ(task->SnapTarget(), nullptr);
  EXPECT_EQ(moved_->dimensions.x, 600.0f);
  const int32_t runsAway = task->CollisionRuns();  // the plain place away from the snap is tested too
  MoveTo(kAtSnap);
  EXPECT_EQ(task->CollisionRuns(), runsAway);
  EXPECT_EQ(moved_->dimensions.x, 396.0f);
  Up(kAtSnap);
  // Committed at the snap with the width tracking showed.
  EXPECT_EQ(canvas_->DoneTop(), task);
  EXPECT_EQ(moved_->GetPosition().x, 2101.0f);
  EXPECT_EQ(moved_->GetPosition().z, 900.0f);
  EXPECT_EQ(moved_->dimensions.x, 396.0f);
  canvas_->DoCommand(zelvproCanvas::kUndo, 0);
  EXPECT_EQ(moved_->dimensions.x, 600.0f);
  EXPECT_EQ(moved_->GetPosition().x, 3000.0f);
  canvas_->DoCommand(zelvproCanvas::kRedo, 0);
  EXPECT_EQ(moved_->dimensions.x, 396.0f);
  EXPECT_EQ(moved_->GetPosition().x, 2101.0f);
}

TEST_F(StretchTest, AUnitThatStillCollidesKeepsItsWidthAndShowsTheBlockedCursor) {
  new BoxUnit(canvas_, ppVector3(2300, 0, 1000), ppVector3(50, 720, 50));  // inside the narrowed M too
  zelvproMoverTask* task = PressMover({moved_}, kPress);
  MoveTo(kAtSnap);
  EXPECT_FALSE(task->PlaceFree());
  EXPECT_EQ(moved_->dimensions.x, 600.0f);
  EXPECT_EQ(moved_->GetPosition().x, 3000.0f);
  EXPECT_EQ(task->TrackCursor(), zelvproBasicMoverTask::kBlockedCursor);
  // Released there, the commit refuses: nothing moved, nothing in the history.
  Up(kAtSnap);
  EXPECT_EQ(canvas_->DoneTop(), nullptr);
  EXPECT_EQ(moved_->GetPosition().x, 3000.0f);
  EXPECT_EQ(moved_->dimensions.x, 600.0f);
}

TEST_F(StretchTest, TheCommitAppliesTheShiftTrackingTestedWithTheNarrowing) {
  // M's anchor lies 100 mm left of its origin, so M reaches 700 mm past the snap point; T's anchor
  // 301 mm right of T, and the wall 400 mm beyond the snap point. Narrowed to 396 mm M only fits when
  // it also moves 204 mm towards the snap point.
  target_->snapPoints[0].point = ppVector3(901, 0, 0);
  wall_->SetPosition(ppVector3(2801, 0, 0));
  wall_->pointA = ppVector3(2801, 0, 0);
  wall_->pointB = ppVector3(2801, 0, 3000);
  moved_->snapPoints[0].point = ppVector3(-100, 0, 0);
  zelvproMoverTask* task = PressMover({moved_}, kPress);
  MoveTo({kAtSnap.x + 20 + 7, kAtSnap.y});
  ASSERT_EQ(task->SnapTarget(), target_);
  EXPECT_TRUE(task->PlaceFree());
  EXPECT_EQ(task->PendingStretch().width, 396.0f);
  Up(task->Current());
  ASSERT_EQ(canvas_->DoneTop(), task);
  EXPECT_NEAR(moved_->GetPosition().x, 2401.0f + 100.0f - 204.0f, 0.01);
  EXPECT_EQ(moved_->dimensions.x, 396.0f);
}

TEST_F(StretchTest, AShortDragCountsAsAClickAndGivesTheWidthBack) {
  PressMover({moved_}, kPress);
  MoveTo(kAtSnap);
  EXPECT_EQ(moved_->dimensions.x, 396.0f);
  plat::Desktop::MouseButton(plat::VK_LBUTTON, false, kAtSnap);  // within the click time
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(moved_->dimensions.x, 600.0f);
  EXPECT_EQ(moved_->GetPosition().x, 3000.0f);
  EXPECT_EQ(canvas_->DoneTop(), nullptr);
}

TEST_F(StretchTest, CtrlShowsNoSnapAndLeavesTheCursor) {
  zelvproMoverTask* task = PressMover({moved_}, kPress);
  MoveTo(kAway);
  const int32_t cursor = task->TrackCursor();
  const int32_t runs = task->CollisionRuns();
  Key(plat::VK_CONTROL, true);
  MoveTo(kAtSnap);
  EXPECT_EQ(task->SnapTarget(), nullptr);
  EXPECT_EQ(task->CollisionRuns(), runs);
  EXPECT_EQ(task->TrackCursor(), cursor);
  Key(plat::VK_CONTROL, false);
  Up(kAtSnap);
}

TEST_F(StretchTest, WhenThePerpendicularMissesTheWallNoStretchIsMade) {
  // The wall's edge ends before the snap point's perpendicular meets it.
  wall_->pointA = ppVector3(2501, 0, 1000);
  wall_->pointB = ppVector3(2501, 0, 3000);
  zelvproMoverTask* task = PressMover({moved_}, kPress);
  MoveTo(kAtSnap);
  EXPECT_FALSE(task->PlaceFree());
  EXPECT_EQ(task->CollisionRuns(), 1);  // no narrowed placement was tried
  EXPECT_EQ(moved_->dimensions.x, 600.0f);
  Up(kAtSnap);
}

// ---- Commit, Undo and Redo.

TEST_F(MoverTasksTest, AReleaseOutsideTheWindowWithoutASnapLeavesEverythingAsItWas) {
  auto* unit = new BoxUnit(canvas_, ppVector3(1500, 0, 900), ppVector3(600, 720, 600));
  PressMover({unit}, {120, 80});
  MoveTo({500, 80});
  Up({500, 80});
  EXPECT_EQ(unit->GetPosition().x, 1500.0f);
  EXPECT_EQ(canvas_->DoneTop(), nullptr);
}

TEST_F(MoverTasksTest, AReleaseOutsideTheWindowWithASnapCommits) {
  auto* target = new BoxUnit(canvas_, ppVector3(3500, 0, 900), ppVector3(600, 720, 600));
  target->AddAnchor(-5, ppVector3(601, 0, 0));
  auto* unit = new BoxUnit(canvas_, ppVector3(3000, 0, 2400), ppVector3(600, 720, 600));
  unit->AddAnchor(5, ppVector3(0, 0, 0));
  // Pressed 190 pixels right of the unit's origin: the origin reaches the anchor (4101, 900) with the
  // mouse beyond the window's right edge.
  zelvproMoverTask* task = PressMover({unit}, {390, 165});
  MoveTo({463, 65});
  ASSERT_EQ(task->SnapTarget(), target);
  Up({463, 65});
  EXPECT_EQ(canvas_->DoneTop(), task);
  EXPECT_EQ(unit->GetPosition().x, 4101.0f);
  EXPECT_EQ(unit->GetPosition().z, 900.0f);
}

// A room frame offers an anchor on each of its four walls, each pointing into the room. A unit whose
// anchor comes within the snap reach of one lands on it and turns to that anchor's direction; a little
// beyond the reach it lands where the mouse put it, unturned.
TEST_F(MoverTasksTest, AUnitDroppedNearEachWallSnapsToItsAnchorAndTurnsToIt) {
  constexpr float kPi = 3.14159265f;
  struct Wall {
    const char* name;
    ppVector3 anchor;
    float direction;
    ppVector3 inward;  // unit vector into the room
  };
  const Wall walls[] = {
      {"right", ppVector3(5400, 0, 2000), 0.0f, ppVector3(-1, 0, 0)},
      {"top", ppVector3(3000, 0, 600), kPi / 2, ppVector3(0, 0, 1)},
      {"left", ppVector3(600, 0, 2000), kPi, ppVector3(1, 0, 0)},
      {"bottom", ppVector3(3000, 0, 3900), -kPi / 2, ppVector3(0, 0, -1)},
  };
  auto* room = new BoxUnit(canvas_, ppVector3(0, 0, 0), ppVector3(10, 720, 10));
  for (const Wall& w : walls) room->AddAnchor(-5, w.anchor, w.direction);
  constexpr float kUnitDirection = 0.3f;  // the moved unit's own anchor direction
  for (const Wall& w : walls) {
    for (const float gap : {300.0f, 510.0f}) {
      SCOPED_TRACE(std::string(w.name) + (gap < 500.0f ? " within reach" : " beyond reach"));
      // The drag (-40, -40) pixels, 15 mm each, brings the unit's origin `gap` inside the wall's anchor.
      const ppVector3 dropped(w.anchor.x + w.inward.x * gap, 0, w.anchor.z + w.inward.z * gap);
      auto* unit =
          new BoxUnit(canvas_, ppVector3(dropped.x + 600, 0, dropped.z + 600), ppVector3(100, 720, 100));
      unit->AddAnchor(5, ppVector3(0, 0, 0), kUnitDirection);
      zelvproMoverTask* task = PressMover({unit}, {200, 150});
      MoveTo({180, 130});
      MoveTo({160, 110});
      const bool snaps = gap < 500.0f;
      EXPECT_EQ(task->SnapTarget(), snaps ? room : nullptr);
      EXPECT_EQ(task->TrackCursor(), zelvproBasicMoverTask::kFreeCursor);
      Up({160, 110});
      ASSERT_EQ(canvas_->DoneTop(), task);
      const ppVector3 at = unit->GetPosition();
      const ppVector3 want = snaps ? w.anchor : dropped;
      EXPECT_NEAR(at.x, want.x, 0.05);
      EXPECT_NEAR(at.z, want.z, 0.05);
      const float turned = snaps ? w.direction - kUnitDirection : 0.0f;
      EXPECT_NEAR(std::remainder(unit->GetAngle() - turned, 2 * kPi), 0.0, 1e-4);
    }
  }
}

// Without a snap the collision test still decides the cursor, so a place the commit refuses shows the
// blocked cursor before the release; a free place shows the free one and commits.
TEST_F(MoverTasksTest, AnOccupiedPlaceShowsTheBlockedCursorBeforeTheRefusedRelease) {
  auto* standing = new BoxUnit(canvas_, ppVector3(2000, 0, 1500), ppVector3(600, 720, 600));
  new BoxUnit(room_.get(), ppVector3(5000, 0, 0), ppVector3(10, 2000, 4500), ElementKinds::kWallBody);
  auto* unit = new BoxUnit(canvas_, ppVector3(4000, 0, 1500), ppVector3(600, 720, 600));
  struct Drop {
    const char* name;
    int32_t dx;  // pixels, 15 mm each
    bool stands;
  };
  const Drop drops[] = {
      {"onto the standing unit", -120, false},
      {"across the wall", 40, false},
      {"free beside the unit", -60, true},
  };
  for (const Drop& d : drops) {
    SCOPED_TRACE(d.name);
    const ppVector3 before = unit->GetPosition();
    ppTask* top = canvas_->DoneTop();
    zelvproMoverTask* task = PressMover({unit}, {200, 150});
    MoveTo({200 + d.dx / 2, 150});
    MoveTo({200 + d.dx, 150});
    EXPECT_EQ(task->SnapTarget(), nullptr);
    EXPECT_EQ(task->PlaceFree(), d.stands);
    EXPECT_EQ(task->TrackCursor(),
              d.stands ? zelvproBasicMoverTask::kFreeCursor : zelvproBasicMoverTask::kBlockedCursor);
    // Tracking left the unit where it was.
    EXPECT_EQ(unit->GetPosition().x, before.x);
    Up({200 + d.dx, 150});
    if (d.stands) {
      EXPECT_EQ(canvas_->DoneTop(), task);
      EXPECT_NEAR(unit->GetPosition().x, before.x + float(d.dx) * 15.0f, 0.01);
    } else {
      EXPECT_EQ(canvas_->DoneTop(), top);
      EXPECT_EQ(unit->GetPosition().x, before.x);
    }
  }
  EXPECT_EQ(standing->GetPosition().x, 2000.0f);
}

// A room built by the room canvas's rebuild: inner faces from x 600 to 5400 and z 600 to 3900 (150 mm
// walls about the corners' lines), pixels (40, 40) to (360, 260). The units are 600 wide, 560 deep,
// with side anchors at their back corners, the right one 1 mm out (units that touch count as meeting),
// and an anchor of kind 0 at their back's middle, flagged to stay out of the plan's snap search: the
// room's walls are no snap target, whatever anchor a unit has at its back.
class WallFaceTest : public MoverTasksTest {
 protected:
  void SetUp() override {
    MoverTasksTest::SetUp();
    db_ = &MakeDatabase();
    const int32_t segmentView = eltest::AddRecordWith(db_->TopViewFile(), {{"ID", 900}}, {});
    room_ = std::make_unique<qxNewRoomCanvas>(nullptr, Rect(0, 0, 400, 300), db_);
    canvasHost_.newRoomCanvas = room_.get();
    const ppVector3 corners[] = {ppVector3(525, 0, 525), ppVector3(5475, 0, 525), ppVector3(5475, 0, 3975),
                                 ppVector3(525, 0, 3975)};
    for (size_t i = 0; i < 4; ++i) {
      db_->TopViewFile().ReadRecord(segmentView, nullptr);
      auto* segment = new qxRoomSegment(segmentView, room_.get(), Rect(0, 0, 10, 10),
                                        db_->TopViewFile().GetRecordBuffer(), db_->ShapeFile());
      segment->SetEnds(corners[i], corners[(i + 1) % 4]);
    }
    room_->DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
    plat::HeadlessDriver::RunUntilIdle();
  }
  void TearDown() override {
    room_.reset();  // the walls go before their catalogue
    MoverTasksTest::TearDown();
  }
  BoxUnit* Unit(const ppVector3& at, float angle = 0.0f) {
    auto* unit = new BoxUnit(canvas_, at, kSize);
    unit->StoreAngle(angle);
    unit->AddAnchor(0, ppVector3(kSize.x / 2, 0, 0));
    unit->snapPoints.back().flags = SnapAnchor::kSkippable | SnapAnchor::kNoAccessRequest;
    unit->AddAnchor(1, ppVector3(0, 0, 0));
    unit->AddAnchor(-1, ppVector3(kSize.x + 1, 0, 0));
    return unit;
  }
  // Drags `unit` by (-40, -40) pixels (600 mm up and left) and releases it; the task.
  zelvproMoverTask* DragUpLeft(BoxUnit* unit) {
    zelvproMoverTask* task = PressMover({unit}, {200, 150});
    MoveTo({180, 130});
    MoveTo({160, 110});
    return task;
  }

  static constexpr ppVector3 kSize{600, 720, 560};
  zelvDatabase* db_ = nullptr;
};

// With no unit's anchor within reach the move is free by a wall face too: a unit dragged near a face
// lands exactly where the mouse put it, unturned; one dropped so that it reaches through a face (or
// two, in a corner) is pushed back inside the room, 0.1 mm off each face it crossed, still unturned.
// The cursor tells beforehand that every one of these drops stands, and Undo puts the unit back.
TEST_F(WallFaceTest, AUnitNearAFaceMovesFreelyAndOneDroppedAcrossItIsPushedBackInside) {
  struct Drop {
    const char* name;
    ppVector3 dropped;  // the unit's origin (back left corner) where the mouse puts it
    ppVector3 stands;   // where it stands after the commit
  };
  const Drop drops[] = {
      {"100 mm below the top face", ppVector3(3000, 0, 700), ppVector3(3000, 0, 700)},
      {"450 mm below the top face", ppVector3(3000, 0, 1050), ppVector3(3000, 0, 1050)},
      {"100 mm left of the right face", ppVector3(4700, 0, 2000), ppVector3(4700, 0, 2000)},
      {"100 mm above the bottom face", ppVector3(3000, 0, 3240), ppVector3(3000, 0, 3240)},
      {"100 mm right of the left face", ppVector3(700, 0, 2000), ppVector3(700, 0, 2000)},
      {"200 mm through the top face", ppVector3(3000, 0, 400), ppVector3(3000, 0, 600.1f)},
      {"200 mm through the right face", ppVector3(5000, 0, 2000), ppVector3(4799.9f, 0, 2000)},
      {"200 mm through the bottom face", ppVector3(3000, 0, 3540), ppVector3(3000, 0, 3339.9f)},
      {"200 mm through the left face", ppVector3(400, 0, 2000), ppVector3(600.1f, 0, 2000)},
      {"through the top right corner", ppVector3(5000, 0, 400), ppVector3(4799.9f, 0, 600.1f)},
  };
  for (const Drop& d : drops) {
    SCOPED_TRACE(d.name);
    BoxUnit* unit = Unit(d.dropped + ppVector3(600, 0, 600));
    const ppVector3 start = unit->GetPosition();
    zelvproMoverTask* task = DragUpLeft(unit);
    EXPECT_EQ(task->SnapTarget(), nullptr) << "no wall is a snap target";
    EXPECT_EQ(task->TrackCursor(), zelvproBasicMoverTask::kFreeCursor);
    EXPECT_EQ(unit->GetPosition().x, start.x) << "tracking leaves the unit where it was";
    Up({160, 110});
    ASSERT_EQ(canvas_->DoneTop(), task) << "the drop stands";
    EXPECT_EQ(unit->GetSupervisor(), canvas_);
    EXPECT_EQ(unit->GetAngle(), 0.0f);
    EXPECT_NEAR(unit->GetPosition().x, d.stands.x, 0.02);
    EXPECT_NEAR(unit->GetPosition().z, d.stands.z, 0.02);
    canvas_->DoCommand(zelvproCanvas::kUndo, 0);
    EXPECT_EQ(unit->GetPosition().x, start.x);
    EXPECT_EQ(unit->GetPosition().z, start.z);
    canvas_->DoCommand(zelvproCanvas::kRedo, 0);
    EXPECT_NEAR(unit->GetPosition().z, d.stands.z, 0.02);
    canvas_->Clear();
    delete unit;
  }
}

// A hanging unit (a wall unit at its catalogue height) dropped through a face is pushed back where it
// hangs.
TEST_F(WallFaceTest, AHangingUnitDroppedThroughAFaceIsPushedBackAtItsOwnHeight) {
  // Dragged (-40, -40) pixels, its right side comes 100 mm through the right face.
  BoxUnit* unit = Unit(ppVector3(5500, 1400, 2850));
  zelvproMoverTask* task = DragUpLeft(unit);
  EXPECT_EQ(task->SnapTarget(), nullptr);
  Up({160, 110});
  ASSERT_EQ(canvas_->DoneTop(), task);
  EXPECT_NEAR(unit->GetPosition().x + kSize.x, 5399.9f, 0.02);
  EXPECT_NEAR(unit->GetPosition().z, 2250.0f, 0.02);
  EXPECT_FLOAT_EQ(unit->GetPosition().y, 1400.0f);
  EXPECT_EQ(unit->GetAngle(), 0.0f);
  canvas_->Clear();
  delete unit;
}

// A unit joins a neighbour whose anchor lies within reach, even next to a face; beyond that reach it
// lands where the mouse put it, however near the face. Ctrl turns the snap off.
TEST_F(WallFaceTest, AUnitJoinsANeighbourWithinReachAndOtherwiseMovesFreelyByTheFace) {
  // Standing against the top face (0.1 mm off it, as a unit pushed there stands) from x 1200 to
  // 1800; its right side anchor is at (1801, 600.1).
  BoxUnit* standing = Unit(ppVector3(1200, 0, 600.1f));
  struct Drop {
    const char* name;
    ppVector3 origin;  // of the moved unit where the mouse puts it
    bool joins;
    ppVector3 stands;  // its origin after the drop
  };
  const Drop drops[] = {
      // Its left back corner 141 mm from the standing unit's anchor, 100 mm below the face.
      {"by the unit", ppVector3(1900, 0, 700), true, ppVector3(1801, 0, 600.1f)},
      // Its left back corner 608 mm from that anchor.
      {"by the face only", ppVector3(2400, 0, 700), false, ppVector3(2400, 0, 700)},
  };
  for (const Drop& d : drops) {
    SCOPED_TRACE(d.name);
    BoxUnit* unit = Unit(d.origin + ppVector3(600, 0, 600));
    zelvproMoverTask* task = PressMover({unit}, {200, 150});
    MoveTo({160, 110});
    EXPECT_EQ(task->SnapTarget(), d.joins ? standing : nullptr);
    Key(plat::VK_CONTROL, true);
    MoveTo({161, 110});
    EXPECT_EQ(task->SnapTarget(), nullptr);
    Key(plat::VK_CONTROL, false);
    MoveTo({160, 110});
    Up({160, 110});
    ASSERT_EQ(canvas_->DoneTop(), task);
    EXPECT_NEAR(PlanPoint(unit, ppVector3()).x, d.stands.x, 0.05);
    EXPECT_NEAR(PlanPoint(unit, ppVector3()).z, d.stands.z, 0.01);
    EXPECT_NEAR(unit->GetAngle(), 0.0f, 1e-6);
    canvas_->DoCommand(zelvproCanvas::kUndo, 0);
    delete unit;
  }
}

TEST_F(MoverTasksTest, ACommittedMoveUndoesAndRedoesBitForBit) {
  auto* a = new BoxUnit(canvas_, ppVector3(1500, 0, 900), ppVector3(600, 720, 600));
  auto* b = new BoxUnit(canvas_, ppVector3(3000, 0, 900), ppVector3(600, 720, 600));
  a->StoreAngle(0.3f);
  zelvproMoverTask* task = PressMover({a, b}, {120, 80});
  MoveTo({125, 150});
  Up({125, 150});
  ASSERT_EQ(canvas_->DoneTop(), task);
  EXPECT_EQ(canvasHost_.modified, 1);
  const ppVector3 pa = a->GetPosition(), pb = b->GetPosition();
  EXPECT_EQ(pa.x, 1575.0f);
  EXPECT_EQ(pa.z, 1950.0f);
  EXPECT_EQ(pa.y, zelvproBasicMoverTask::kLowestUnit);
  canvas_->DoCommand(zelvproCanvas::kUndo, 0);
  EXPECT_EQ(a->GetPosition().x, 1500.0f);
  EXPECT_EQ(b->GetPosition().z, 900.0f);
  canvas_->DoCommand(zelvproCanvas::kRedo, 0);
  EXPECT_EQ(Bits(a->GetPosition().x), Bits(pa.x));
  EXPECT_EQ(Bits(a->GetPosition().y), Bits(pa.y));
  EXPECT_EQ(Bits(a->GetPosition().z), Bits(pa.z));
  EXPECT_EQ(Bits(b->GetPosition().x), Bits(pb.x));
  EXPECT_EQ(Bits(a->GetAngle()), Bits(0.3f));
}

TEST_F(MoverTasksTest, WithTheOptionOffTheTestAnswersFreeButStillLiftsUnitsToTheLowestHeight) {
  auto* unit = new BoxUnit(canvas_, ppVector3(1500, 0, 900), ppVector3(600, 720, 600));
  new BoxUnit(canvas_, ppVector3(1600, 0, 1000), ppVector3(600, 720, 600));  // overlapping it
  zelvproBasicMoverTask::SetCollisionTestOn(false);
  auto task =
      std::make_unique<zelvproMoverTask>(new qxViewHolder(unit, nullptr, true), canvas_, nullptr, false);
  EXPECT_TRUE(task->CheckCollisions());
  EXPECT_EQ(Bits(unit->GetPosition().y), 0x3F8CCCCDu);
  EXPECT_EQ(task->CollisionRuns(), 0);
  zelvproBasicMoverTask::SetCollisionTestOn(true);
  EXPECT_FALSE(task->CheckCollisions());
}

// A snapped move into a group: Undo takes the unit out again, to its old container and place.
TEST_F(MoverTasksTest, UndoOfASnapIntoAnotherContainerPutsTheUnitBackInItsOwn) {
  // A group at the plan's origin turned by 0.5; the search compares a member's anchor one level up.
  auto* group = new BoxUnit(canvas_, ppVector3(0, 0, 0), ppVector3(10, 10, 10));
  auto* inner = new BoxUnit(group, ppVector3(1500, 0, 900), ppVector3(600, 720, 600));
  inner->AddAnchor(-5, ppVector3(601, 0, 0));
  group->StoreAngle(0.5f);
  auto* unit = new BoxUnit(canvas_, ppVector3(3000, 0, 2400), ppVector3(600, 720, 600));
  unit->AddAnchor(5, ppVector3(0, 0, 0));
  new BoxUnit(canvas_, ppVector3(100, 0, 100), ppVector3(10, 10, 10));
  const int32_t index = canvas_->IndexOfSubview(unit);
  ppVector3 searched(601, 0, 0), anchor;
  inner->LocalToWorld(searched);
  anchor = searched;
  group->LocalToWorld(anchor);
  zelvproMoverTask* task = PressMover({unit}, {205, 165});
  // Bring the unit's origin next to the inner unit's anchor.
  MoveTo({205 + int32_t((searched.x - 3000) / 15), 165 + int32_t((searched.z - 2400) / 15)});
  ASSERT_EQ(task->SnapTarget(), inner);
  // Tracking put the unit back into its own container at its own index.
  EXPECT_EQ(unit->GetSupervisor(), canvas_);
  EXPECT_EQ(canvas_->IndexOfSubview(unit), index);
  Up(task->Current());
  ASSERT_EQ(canvas_->DoneTop(), task);
  EXPECT_EQ(unit->GetSupervisor(), group);
  // Turned with the target: its absolute angle is the target's, not the group's twice.
  EXPECT_NEAR(unit->GetAbsoluteAngle(), inner->GetAbsoluteAngle(), 1e-6);
  // Where the unit's origin is drawn (its placements applied in turn).
  ppVector3 at;
  unit->LocalToWorld(at);
  group->LocalToWorld(at);
  EXPECT_NEAR(at.x, anchor.x, 0.01);
  EXPECT_NEAR(at.z, anchor.z, 0.01);
  canvas_->DoCommand(zelvproCanvas::kUndo, 0);
  EXPECT_EQ(unit->GetSupervisor(), canvas_);
  EXPECT_EQ(canvas_->IndexOfSubview(unit), index);
  EXPECT_EQ(unit->GetPosition().x, 3000.0f);
  EXPECT_EQ(unit->GetAngle(), 0.0f);
  canvas_->DoCommand(zelvproCanvas::kRedo, 0);
  EXPECT_EQ(unit->GetSupervisor(), group);
}

TEST_F(MoverTasksTest, AnUnsnappedMoveKeepsEveryContainerAndAUnitBelowTheFloorIsRefused) {
  auto* group = new BoxUnit(canvas_, ppVector3(1500, 0, 900), ppVector3(10, 10, 10));
  auto* child = new BoxUnit(group, ppVector3(0, 0, 0), ppVector3(300, 300, 300));
  auto* other = new BoxUnit(canvas_, ppVector3(4500, 0, 3000), ppVector3(600, 720, 600));
  PressMover({child, other}, {100, 60});
  MoveTo({110, 70});
  Up({110, 70});
  EXPECT_EQ(child->GetSupervisor(), group);
  EXPECT_EQ(other->GetSupervisor(), canvas_);

  group->SetPosition(ppVector3(1500, -2000, 900));
  const ppTask* top = canvas_->DoneTop();
  auto* low = new BoxUnit(canvas_, ppVector3(200, 0, 200), ppVector3(10, 10, 10));
  (void)low;
  PressMover({child}, {110, 70});
  MoveTo({115, 70});
  Up({115, 70});
  EXPECT_EQ(canvas_->DoneTop(), top);
}

// ---- The near-unit scene gives the whole plan's answers.

TEST_F(MoverTasksTest, TheNearUnitSceneAnswersAsTheWholePlanOnRandomPlans) {
  std::mt19937 random(63);
  std::uniform_real_distribution<float> place(0.0f, 12000.0f), size(100.0f, 900.0f), turn(0.0f, 6.2831853f);
  std::vector<BoxUnit*> units;
  for (int32_t i = 0; i < 120; ++i) {
    auto* u = new BoxUnit(canvas_, ppVector3(place(random), 0, place(random)),
                          ppVector3(size(random), 700, size(random)));
    u->StoreAngle(turn(random));
    units.push_back(u);
  }
  int32_t collisions = 0;
  for (int32_t round = 0; round < 60; ++round) {
    BoxUnit* a = units[random() % units.size()];
    BoxUnit* b = units[random() % units.size()];
    const ppVector3 p = a->GetPosition();
    a->SetPosition(ppVector3(place(random), 0, place(random)));
    struct Answer {
      bool free;
      zelvproElement *first, *second;
    } answers[2];
    for (int32_t whole = 0; whole < 2; ++whole) {
      zelvproBasicMoverTask::SetWholePlanScope(whole == 1);
      qxViewHolder* chain = new qxViewHolder(a, a == b ? nullptr : new qxViewHolder(b, nullptr, true), true);
      zelvproMoverTask task(chain, canvas_, nullptr, false);
      const bool free = task.CheckCollisions();
      answers[whole] = Answer{free, task.CollidingA(), task.CollidingB()};
      if (whole == 0) EXPECT_LE(task.LastSceneUnits(), 30) << round;
    }
    zelvproBasicMoverTask::SetWholePlanScope(false);
    EXPECT_EQ(answers[0].free, answers[1].free) << round;
    EXPECT_EQ(answers[0].first, answers[1].first) << round;
    EXPECT_EQ(answers[0].second, answers[1].second) << round;
    if (!answers[0].free) ++collisions;
    if (round % 2 == 0) a->SetPosition(p);
  }
  EXPECT_GT(collisions, 3);
  for (BoxUnit* u : units) EXPECT_EQ(u->GetStateBits() & 0x100u, 0u);
}

// ---- Rotation with the mouse.

TEST_F(MoverTasksTest, ShiftTurnsInStepsOf45DegreesAboutThePressPoint) {
  const struct {
    plat::POINT to;
    float turn;
  } cases[] = {
      {{100 + 87, 100 + 50}, 0.7853982f}, {{100 + 94, 100 + 34}, 0.0f}, {{100 + 87, 100 - 50}, -0.7853982f}};
  auto* unit = new BoxUnit(canvas_, ppVector3(1200, 0, 1200), ppVector3(600, 720, 600));
  for (const auto& c : cases) {
    zelvproRotateTask* task = PressRotate({unit}, {100, 100});
    Key(plat::VK_SHIFT, true);
    MoveTo(c.to);
    EXPECT_EQ(task->Angle(), c.turn) << c.to.x << "," << c.to.y;
    EXPECT_EQ(unit->GetAngle(), c.turn);
    // About the press point (1500, 1500): the unit's origin keeps its distance.
    const ppVector3 p = unit->GetPosition();
    EXPECT_NEAR(std::hypot(p.x - 1500, p.z - 1500), std::hypot(300.0, 300.0), 0.01);
    Key(plat::VK_SHIFT, false);
    Up(c.to);
    canvas_->DoCommand(zelvproCanvas::kUndo, 0);
    EXPECT_EQ(unit->GetAngle(), 0.0f);
    EXPECT_EQ(unit->GetPosition().x, 1200.0f);
  }
}

TEST_F(MoverTasksTest, ATurnThatCollidesIsDroppedAndAUnitInATurnedGroupTurnsByTheDragOnly) {
  auto* unit = new BoxUnit(canvas_, ppVector3(1200, 0, 1200), ppVector3(600, 720, 600));
  // Another unit exactly where the turned one would stand, at the same angle: the canvas calls that a
  // collision.
  auto* twin = new BoxUnit(canvas_, ppVector3(0, 0, 0), ppVector3(600, 720, 600));
  Key(plat::VK_SHIFT, true);
  zelvproRotateTask* task = PressRotate({unit}, {100, 100});
  MoveTo({150, 150});
  twin->SetPosition(unit->GetPosition());
  twin->StoreAngle(unit->GetAngle());
  Up({150, 150});
  EXPECT_EQ(canvas_->DoneTop(), nullptr);
  EXPECT_EQ(unit->GetAngle(), 0.0f);
  EXPECT_EQ(unit->GetPosition().x, 1200.0f);
  (void)task;

  auto* group = new BoxUnit(canvas_, ppVector3(3000, 0, 3000), ppVector3(10, 10, 10));
  group->StoreAngle(0.5f);
  auto* child = new BoxUnit(group, ppVector3(100, 0, 0), ppVector3(300, 300, 300));
  child->StoreAngle(0.25f);
  PressRotate({child}, {200, 200});
  MoveTo({250, 250});
  Up({250, 250});
  Key(plat::VK_SHIFT, false);
  EXPECT_NEAR(child->GetAngle(), 0.25f + 0.7853982f, 1e-6);
  canvas_->DoCommand(zelvproCanvas::kUndo, 0);
  EXPECT_EQ(child->GetAngle(), 0.25f);
}

TEST_F(MoverTasksTest, AUnitDestroyedAfterItsTurnTakesTheTurnOffTheHistory) {
  // Destroyed as a replaced plan destroys its units; Undo then has nothing of it to turn back.
  auto* kept = new BoxUnit(canvas_, ppVector3(3000, 0, 3000), ppVector3(600, 720, 600));
  auto* turned = new BoxUnit(canvas_, ppVector3(1200, 0, 1200), ppVector3(600, 720, 600));
  PressRotate({turned}, {100, 100});
  MoveTo({150, 150});
  Up({150, 150});
  ppTask* mouseTurn = canvas_->DoneTop();
  ASSERT_NE(mouseTurn, nullptr);
  turned->Select(false);
  canvas_->DoCommand(zelvproCanvas::kTurnCounterclockwise, 0);
  ppTask* commandTurn = canvas_->DoneTop();
  ASSERT_NE(commandTurn, mouseTurn);
  turned->DetachFromSupervisor();
  delete turned;
  EXPECT_FALSE(canvas_->Holds(mouseTurn));
  EXPECT_FALSE(canvas_->Holds(commandTurn));
  canvas_->DoCommand(zelvproCanvas::kUndo, 0);  // ASan reports a turn that reached the freed unit
  canvas_->DoCommand(zelvproCanvas::kRedo, 0);
  EXPECT_EQ(kept->GetAngle(), 0.0f);
}

// ---- The command rotation.

TEST_F(MoverTasksTest, EightCommandTurnsBringEveryAngleBackAndDoorsStay) {
  auto* a = new BoxUnit(canvas_, ppVector3(1000, 0, 1000), ppVector3(600, 720, 600));
  auto* b = new BoxUnit(canvas_, ppVector3(2500, 0, 1400), ppVector3(600, 720, 600));
  auto* door = new BoxUnit(canvas_, ppVector3(4000, 0, 900), ppVector3(900, 2000, 100), ElementKinds::kDoor);
  b->StoreAngle(1.0f);
  for (zelvproElement* e :
       {static_cast<zelvproElement*>(a), static_cast<zelvproElement*>(b), static_cast<zelvproElement*>(door)})
    e->Select(false);
  const ppVector3 doorAt = door->GetPosition();
  for (int32_t i = 0; i < 8; ++i) canvas_->DoCommand(zelvproCanvas::kTurnClockwise, 0);
  auto within = [](float got, float want) {
    const double d = std::fmod(std::fabs(double(got) - want), 6.283185307179586);
    return std::min(d, 6.283185307179586 - d) < 1e-5;
  };
  EXPECT_TRUE(within(a->GetAngle(), 0.0f)) << a->GetAngle();
  EXPECT_TRUE(within(b->GetAngle(), 1.0f)) << b->GetAngle();
  EXPECT_EQ(door->GetAngle(), 0.0f);
  EXPECT_EQ(door->GetPosition().x, doorAt.x);
  EXPECT_NEAR(a->GetPosition().x, 1000.0f, 0.05);
  // One turn undone gives the angles before it.
  canvas_->DoCommand(zelvproCanvas::kUndo, 0);
  EXPECT_TRUE(within(a->GetAngle(), -0.7853982f)) << a->GetAngle();
}

TEST_F(MoverTasksTest, ACommandTurnOfAUnitInATurnedGroupKeepsItsOwnAngle) {
  auto* group = new BoxUnit(canvas_, ppVector3(3000, 0, 3000), ppVector3(10, 10, 10));
  group->StoreAngle(0.5f);
  auto* child = new BoxUnit(group, ppVector3(100, 0, 0), ppVector3(300, 300, 300));
  child->StoreAngle(0.25f);
  child->Select(false);
  canvas_->DoCommand(zelvproCanvas::kTurnClockwise, 0);
  EXPECT_NEAR(child->GetAngle(), 0.25f + RotationStep(), 1e-6);
  canvas_->DoCommand(zelvproCanvas::kUndo, 0);
  EXPECT_EQ(child->GetAngle(), 0.25f);
}

TEST_F(MoverTasksTest, ACommandTurnWithNothingSelectedLeavesNoHistory) {
  new BoxUnit(canvas_, ppVector3(1000, 0, 1000), ppVector3(600, 720, 600));
  canvas_->DoCommand(zelvproCanvas::kTurnClockwise, 0);
  EXPECT_EQ(canvas_->DoneTop(), nullptr);
}

}  // namespace

namespace {

TEST(MoverOptionTest, TheDesktopResetSwitchesTheCollisionTestOnAgain) {
  zelvproBasicMoverTask::SetCollisionTestOn(false);
  plat::HeadlessDriver::Reset();
  EXPECT_TRUE(zelvproBasicMoverTask::CollisionTestOn());
}

}  // namespace
