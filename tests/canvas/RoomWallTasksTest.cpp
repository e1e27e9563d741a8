// Moving the room's walls and corners and dragging a wall piece's end, on the headless desktop: rooms
// built from segments by the canvas's rebuild (4033), the press, the drags (Ctrl and Shift held by
// the injected keyboard) and the release injected through the desktop, then the wall ends, the
// recorded rubber band, the window's pixels and the undo history.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "CanvasTestSupport.h"
#include "canvas/tasks/CanvasTaskFactory.h"
#include "canvas/tasks/PlanFrames.h"
#include "canvas/tasks/qxMoveObjectTask.h"
#include "canvas/tasks/qxMoveStretchObjectTask.h"
#include "canvas/tasks/zelvproWallSideDragger.h"
#include "canvas/tasks/zelvproWallTask.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/qxSceneFil.h"
#include "catalogue/records/zelvproDocFil.h"
#include "catalogue/records/zelvproDocModuleFil.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/PlanPixels.h"
#include "elements/base/zelvproTopCanvas.h"
#include "foundation/Geometry2D.h"
#include "foundation/Geometry3D.h"
#include "foundation/UserPreferences.h"
#include "framework/AdornerTestPictures.h"
#include "framework/ppWindow.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/InputState.h"
#include "platform/LayerClock.h"
#include "platform/WindowApi.h"
#include "room/RoomTestSupport.h"
#include "room/qxFloorElement.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoundWallTask.h"
#include "room/zelvproWall.h"
#include "support/DemoSettings.h"

namespace {

using V = ppVector3;
using eltest::Rect;

// The room canvas, with the commands it was sent in order.
class RecordingRoom : public qxNewRoomCanvas {
 public:
  RecordingRoom(ppView* parent, zelvDatabase* db) : qxNewRoomCanvas(parent, Rect(0, 0, 800, 600), db) {}
  void DoCommand(int32_t command, intptr_t parameter) override {
    if (command == kRebuildRoom || command == kRefresh3D) commands.push_back(command);
    qxNewRoomCanvas::DoCommand(command, parameter);
  }
  std::vector<int32_t> commands;
};

// A unit of the plan: its footprint from its position over `size` (x, z), millimetres.
class Cabinet : public zelvproElement {
 public:
  Cabinet(ppView* parent, const V& at, float sx, float sz)
      : zelvproElement(0, parent, Rect(0, 0, 10, 10), nullptr, 0, 0), sx_(sx), sz_(sz) {
    position = at;
  }
  void ExtendBounds2D(ppVector2& min, ppVector2& max) override {
    min = ppVector2(std::min(min.x, position.x), std::min(min.y, position.z));
    max = ppVector2(std::max(max.x, position.x + sx_), std::max(max.y, position.z + sz_));
  }

 private:
  float sx_, sz_;
};

// Stands for a door or window: any element held by a wall.
class Opening : public zelvproElement {
 public:
  explicit Opening(ppView* wall) : zelvproElement(0, wall, Rect(0, 0, 10, 10), nullptr, 0, 0) {}
};

struct WallEnds {
  V start, end;
};

class RoomWallTasksTest : public roomtest::RoomTest, protected canvastest::DesktopInput {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    RoomTest::SetUp();
    plat::LayerClock::SetManual(100'000);
    Preferences().unitSystem = kUnitMillimetres;
    ReleaseKeys();
    CanvasTaskFactory::InstallDefault();
    app_ = std::make_unique<adorner_tests::TestApplication>();
    window_ = new ppWindow();
    hwnd_ = adorner_tests::MakeObjectWindow(window_, 800, 600);
    top_ = std::make_unique<zelvproTopCanvas>(window_, Rect(0, 0, 800, 600), nullptr);
    room_ = std::make_unique<RecordingRoom>(window_, db_);
    host_.topCanvas = top_.get();
    host_.newRoomCanvas = room_.get();
    plat::HeadlessDriver::RunUntilIdle();
  }
  void TearDown() override {
    ReleaseKeys();
    plat::HeadlessDriver::RunUntilIdle();
    host_.topCanvas = nullptr;
    host_.newRoomCanvas = nullptr;
    room_.reset();
    top_.reset();
    doc_.reset();  // before its catalogue
    delete window_;
    app_.reset();
    RoomTest::TearDown();
    plat::HeadlessDriver::Reset();
  }
  static void ReleaseKeys() {
    for (int32_t key : {plat::VK_CONTROL, plat::VK_SHIFT}) plat::InputState::SetDown(key, false);
  }

  qxRoomSegment* Wall(const V& a, const V& b) { return MakeSegment(a, b, room_.get()); }
  // Walls joined end to start around `corners`.
  std::vector<qxRoomSegment*> Loop(const std::vector<V>& corners) {
    std::vector<qxRoomSegment*> walls;
    for (size_t i = 0; i < corners.size(); ++i)
      walls.push_back(Wall(corners[i], corners[(i + 1) % corners.size()]));
    return walls;
  }
  void Rebuild() {
    room_->DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
    plat::HeadlessDriver::RunUntilIdle();
    room_->commands.clear();
  }
  std::vector<qxRoomSegment*> Segments() const {
    std::vector<qxRoomSegment*> out;
    ForEachChildElement(*room_, [&](zelvproElement* e) {
      if (auto* s = dynamic_cast<qxRoomSegment*>(e)) out.push_back(s);
    });
    return out;
  }
  std::vector<WallEnds> Ends() const {
    std::vector<WallEnds> out;
    for (qxRoomSegment* s : Segments()) out.push_back({s->Start(), s->End()});
    return out;
  }
  static void ExpectEnds(const std::vector<WallEnds>& got, const std::vector<WallEnds>& want,
                         const char* what) {
    ASSERT_EQ(got.size(), want.size()) << what;
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(std::memcmp(&got[i].start, &want[i].start, sizeof(V)), 0)
          << what << " wall " << i << " start " << got[i].start.x << "," << got[i].start.z << " want "
          << want[i].start.x << "," << want[i].start.z;
      EXPECT_EQ(std::memcmp(&got[i].end, &want[i].end, sizeof(V)), 0)
          << what << " wall " << i << " end " << got[i].end.x << "," << got[i].end.z << " want "
          << want[i].end.x << "," << want[i].end.z;
    }
  }
  std::vector<uint32_t> Pixels() const { return canvastest::WindowPixels(hwnd_); }
  static plat::POINT Pixel(const V& p) {
    plat::POINT out{};
    PlanPointToScreen(p, out);
    return out;
  }
  static void Up(plat::POINT p) { UpAfterClickTime(p); }  // never a click
  // Presses the wall's body at `p` and answers the wall move task the press posted.
  qxMoveObjectTask* PressWall(plat::POINT p) {
    const ppTask* before = room_->DoneTop();
    Down(p);
    auto* task = dynamic_cast<qxMoveObjectTask*>(room_->DoneTop());
    return task != before ? task : nullptr;
  }
  // Drags the wall pressed at `from` to `to` and releases there.
  void DragWall(plat::POINT from, plat::POINT to) {
    ASSERT_NE(PressWall(from), nullptr);
    MoveTo(to);
    Up(to);
  }
  // Starts the corner task of `wall` at the corner at `corner`, posted on the canvas's history.
  qxMoveStretchObjectTask* PressCorner(qxRoomSegment* wall, const V& corner) {
    qxJunction* junction = room_->FindJunctionAt(corner);
    if (junction == nullptr) return nullptr;
    auto* task = dynamic_cast<qxMoveStretchObjectTask*>(
        iElementTaskFactory::Current().NewMoveStretchObjectTask(wall, junction, room_.get()));
    if (task == nullptr) return nullptr;
    plat::Desktop::MouseMove(Pixel(corner));
    task->Start(Pixel(corner).x, Pixel(corner).y);
    room_->Post(task);
    plat::HeadlessDriver::RunUntilIdle();
    return task;
  }

  std::unique_ptr<adorner_tests::TestApplication> app_;
  ppWindow* window_ = nullptr;
  plat::HWND hwnd_ = nullptr;
  std::unique_ptr<zelvproTopCanvas> top_;
  std::unique_ptr<RecordingRoom> room_;
  std::unique_ptr<zelvproDocFil> doc_;  // the wall pieces' module table
};

// Scale 15: the rectangle's corners lie on whole pixels, (100, 100) to (300, 250).
const std::vector<V> kRectangle = {V(1500, 0, 1500), V(4500, 0, 1500), V(4500, 0, 3750), V(1500, 0, 3750)};

void ExpectNear(const V& got, const V& want, const char* what) {
  EXPECT_NEAR(got.x, want.x, 0.01f) << what;
  EXPECT_NEAR(got.z, want.z, 0.01f) << what;
}

TEST_F(RoomWallTasksTest, AWallMovesFromFivePixelsOnAlongItsNormalSnappedDownToTheGrid) {
  host_.palette->SetScale(15.0);
  const std::vector<qxRoomSegment*> walls = Loop(kRectangle);
  Rebuild();
  const std::vector<WallEnds> before = Ends();

  // Four pixels: nothing drawn beyond the press, nothing moved, nothing kept.
  qxMoveObjectTask* task = PressWall({200, 100});
  ASSERT_NE(task, nullptr);
  const std::vector<uint32_t> pressed = Pixels();
  MoveTo({200, 104});
  EXPECT_TRUE(task->Refused());
  EXPECT_EQ(Pixels(), pressed);
  Up({200, 104});
  ExpectEnds(Ends(), before, "four pixels");
  EXPECT_EQ(room_->DoneTop(), nullptr);
  EXPECT_TRUE(room_->commands.empty());

  // Five pixels are 75 mm, cut to 50; a diagonal drag only counts along the normal.
  const struct {
    plat::POINT to;
    bool ctrl;
    plat::POINT tracked;
    float z;
  } kCases[] = {
      {{200, 105}, false, {200, 105}, 1550},
      {{230, 110}, false, {200, 110}, 1650},
      {{230, 110}, true, {230, 110}, 1650},  // free point; the corners still take the walls' lines
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.to.x * 1000 + c.to.y + (c.ctrl ? 1000000 : 0));
    if (c.ctrl) Key(plat::VK_CONTROL, true);
    task = PressWall({200, 100});
    ASSERT_NE(task, nullptr);
    MoveTo(c.to);
    EXPECT_FALSE(task->Refused());
    EXPECT_EQ(task->Current().x, c.tracked.x);
    EXPECT_EQ(task->Current().y, c.tracked.y);
    EXPECT_NE(Pixels(), pressed);
    Up(c.to);
    if (c.ctrl) Key(plat::VK_CONTROL, false);
    ExpectNear(walls[0]->Start(), V(1500, 0, c.z), "moved start");
    ExpectNear(walls[0]->End(), V(4500, 0, c.z), "moved end");
    ExpectNear(walls[1]->Start(), V(4500, 0, c.z), "right wall follows");
    ExpectNear(walls[3]->End(), V(1500, 0, c.z), "left wall follows");
    EXPECT_EQ(room_->commands, (std::vector<int32_t>{4033, 4034}));
    EXPECT_EQ(room_->DoneTop(), task);
    room_->Undo();
    ExpectEnds(Ends(), before, "undone");
    room_->commands.clear();
  }
}

TEST_F(RoomWallTasksTest, ADragAppliesTheLengthGridOfTheUnits) {
  host_.palette->SetScale(3.0);
  const std::vector<qxRoomSegment*> walls =
      Loop({V(600, 0, 600), V(2100, 0, 600), V(2100, 0, 1500), V(600, 0, 1500)});
  Rebuild();
  for (const auto& [units, moved] : {std::pair(kUnitMillimetres, 200.0f), std::pair(kUnitImperial, 203.2f)}) {
    Preferences().unitSystem = units;
    DragWall({450, 500}, {450, 579});  // 237 mm
    ExpectNear(walls[2]->Start(), V(2100, 0, 1500 + moved), "bottom wall");
    ExpectNear(walls[1]->End(), V(2100, 0, 1500 + moved), "right wall's end");
    ExpectNear(walls[3]->Start(), V(600, 0, 1500 + moved), "left wall's start");
    room_->Undo();
  }
}

// The length, corner, neighbour and link rules; a refused or unacceptable move changes nothing and
// leaves no undo entry.
TEST_F(RoomWallTasksTest, MovesThatBreakTheOutlineAreRefusedAndLeaveNothing) {
  host_.palette->SetScale(15.0);
  const struct {
    const char* name;
    std::vector<V> loop;
    std::vector<std::pair<V, V>> extra;
    plat::POINT press, to;
    bool invalid;  // drawn at the old place (else refused: nothing drawn)
  } kCases[] = {
      // The top wall of a trapezoid shrinks by 4/3 of the move up: 48 px leave 40 mm.
      {"new length of 50 or less",
       {V(2500, 0, 1500), V(3500, 0, 1500), V(4500, 0, 3000), V(1500, 0, 3000)},
       {},
       {200, 100},
       {200, 52},
       true},
      {"a corner of three walls",
       kRectangle,
       {{V(4500, 0, 1500), V(5400, 0, 900)}},
       {200, 100},
       {200, 110},
       true},
      {"within 50 of another corner",
       kRectangle,
       {{V(1520, 0, 2250), V(2500, 0, 2250)}},
       {200, 100},
       {200, 150},
       false},
      {"the joined walls would reverse", kRectangle, {}, {200, 100}, {200, 260}, false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    for (qxRoomSegment* s : Segments()) delete s;
    Loop(c.loop);
    for (const auto& [a, b] : c.extra) Wall(a, b);
    Rebuild();
    const std::vector<WallEnds> before = Ends();
    qxMoveObjectTask* task = PressWall(c.press);
    ASSERT_NE(task, nullptr);
    MoveTo(c.to);
    EXPECT_EQ(task->Refused(), !c.invalid);
    if (c.invalid) {
      // The rubber band is the wall at its old place, as the wall draws itself there now.
      EXPECT_TRUE(task->Invalid());
      ppShape oldPlace;
      oldPlace.Reset();
      Segments()[0]->DrawOutlineWithDimension(before[0].start, before[0].end, oldPlace);
      oldPlace.End();
      ASSERT_NE(task->Feedback().Records(), nullptr);
      ASSERT_EQ(MemGetSize(task->Feedback().Records()), MemGetSize(oldPlace.Records()));
      EXPECT_EQ(std::memcmp(*task->Feedback().Records(), *oldPlace.Records(), MemGetSize(oldPlace.Records())),
                0);
    }
    Up(c.to);
    ExpectEnds(Ends(), before, c.name);
    EXPECT_EQ(room_->DoneTop(), nullptr);
    EXPECT_TRUE(room_->commands.empty());
  }
}

TEST_F(RoomWallTasksTest, AFreeEndFollowsSoThatTheWallKeepsItsLength) {
  host_.palette->SetScale(15.0);
  qxRoomSegment* moved = Wall(V(1500, 0, 1500), V(4500, 0, 1500));
  Wall(V(4500, 0, 1500), V(4500, 0, 3750));
  Rebuild();
  DragWall({200, 100}, {200, 110});
  ExpectNear(moved->Start(), V(1500, 0, 1650), "free start");
  ExpectNear(moved->End(), V(4500, 0, 1650), "joined end");
}

// The right wall runs along +z: its inner face is tested against the units at smaller x.
TEST_F(RoomWallTasksTest, AUnitBesideAnAxisParallelWallStopsItsFace) {
  host_.palette->SetScale(15.0);
  const struct {
    const char* name;
    std::vector<V> loop;
    V at;
    float sx, sz;
    bool stopped;
  } kCases[] = {
      {"corner within the span", kRectangle, V(3525, 0, 2000), 600, 600, true},
      {"wider than the wall at both ends", kRectangle, V(3600, 0, 1000), 600, 3000, false},
      {"slanted wall",
       {V(1500, 0, 1500), V(4500, 0, 1500), V(4650, 0, 3750), V(1500, 0, 3750)},
       V(3600, 0, 2000),
       600,
       600,
       false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    for (qxRoomSegment* s : Segments()) delete s;
    const std::vector<qxRoomSegment*> walls = Loop(c.loop);
    Rebuild();
    auto cabinet = std::make_unique<Cabinet>(top_.get(), c.at, c.sx, c.sz);
    const plat::POINT press = Pixel((walls[1]->Start() + walls[1]->End()) / 2.0f);
    DragWall(press, {press.x - 60, press.y});  // 900 mm inwards
    const float x = std::max(walls[1]->Start().x, walls[1]->End().x);
    if (c.stopped) {
      EXPECT_NEAR(x, 4125 + 75, 0.01f);  // the face (half of 150 out) at the unit's side
    } else {
      EXPECT_LT(x, 4125.0f);
    }
    room_->commands.clear();
  }
}

TEST_F(RoomWallTasksTest, UndoAndRedoGiveEveryRecordedEndItsExactPoint) {
  host_.palette->SetScale(15.0);
  Loop(kRectangle);
  qxRoomSegment* tee = Wall(V(3000, 0, 1500), V(3000, 0, 2700));  // ends against the top wall's middle
  Rebuild();
  const std::vector<WallEnds> before = Ends();
  DragWall({150, 100}, {150, 110});
  ExpectNear(tee->Start(), V(3000, 0, 1650), "the joined wall's end slides");
  ExpectNear(tee->End(), V(3000, 0, 2700), "its far end stays");
  const std::vector<WallEnds> after = Ends();
  const std::vector<int32_t> rebuild = {4033, 4034};
  EXPECT_EQ(room_->commands, rebuild);
  for (int32_t round = 0; round < 2; ++round) {
    room_->commands.clear();
    room_->Undo();
    ExpectEnds(Ends(), before, "undone");
    EXPECT_EQ(room_->commands, rebuild);
    room_->commands.clear();
    room_->Redo();
    ExpectEnds(Ends(), after, "redone");
    EXPECT_EQ(room_->commands, rebuild);
  }
}

// A move keeps the walls it moved for its undo, the neighbours with it: one of them freed outside the
// history takes the move off the history, so no undo or redo reaches the freed wall.
TEST_F(RoomWallTasksTest, AWallFreedAfterAMoveItJoinedTakesTheMoveOffTheHistory) {
  host_.palette->SetScale(15.0);
  const std::vector<qxRoomSegment*> walls = Loop(kRectangle);
  qxRoomSegment* tee = Wall(V(3000, 0, 1500), V(3000, 0, 2700));  // ends against the top wall's middle
  Rebuild();
  DragWall({150, 100}, {150, 110});
  ppTask* move = room_->DoneTop();
  ASSERT_NE(move, nullptr);
  for (qxRoomSegment* joined : {walls[0], walls[1], walls[3], tee})
    EXPECT_TRUE(move->Refers(static_cast<zelvproElement*>(joined)));
  EXPECT_FALSE(move->Refers(static_cast<zelvproElement*>(walls[2]))) << "the far wall did not move";

  tee->DetachFromSupervisor();
  delete tee;
  EXPECT_FALSE(room_->Holds(move));
  Rebuild();
  room_->Undo();  // nothing of the move is left to undo (ASan watches the freed wall)
  ExpectNear(walls[0]->Start(), V(1500, 0, 1650), "the move stays");
}

// The wall's programmatic move is a press and a release of the same task: it undoes like a drag,
// and a step inside the dead zone leaves nothing.
TEST_F(RoomWallTasksTest, TheWallsOwnMoveUndoesLikeADrag) {
  host_.palette->SetScale(15.0);
  const std::vector<qxRoomSegment*> walls = Loop(kRectangle);
  Rebuild();
  const std::vector<WallEnds> before = Ends();
  walls[0]->MoveBy(0, 3);
  ExpectEnds(Ends(), before, "within the dead zone");
  EXPECT_EQ(room_->DoneTop(), nullptr);
  walls[0]->MoveBy(0, 10);
  ExpectNear(walls[0]->Start(), V(1500, 0, 1650), "moved");
  ExpectNear(walls[3]->End(), V(1500, 0, 1650), "joined end");
  ASSERT_NE(room_->DoneTop(), nullptr);
  room_->Undo();
  ExpectEnds(Ends(), before, "undone");
}

TEST_F(RoomWallTasksTest, AMoveThatShiftsTheRoomByTheMarginUndoesToTheOldShapePlusTheShift) {
  host_.documentWindow = eltest::OpenSweeperWindow("RoomTasksDocumentWindow");
  host_.palette->SetScale(3.0);
  Loop({V(600, 0, 600), V(2100, 0, 600), V(2100, 0, 1500), V(600, 0, 1500)});
  Rebuild();
  const std::vector<WallEnds> before = Ends();
  DragWall({450, 200}, {450, 133});  // 201 mm up: the top wall would lie at z = 400
  const V shift(0, 0, 100);
  std::vector<WallEnds> after = Ends();
  EXPECT_FLOAT_EQ(after[0].start.z, 500.0f);
  std::vector<WallEnds> shifted = before;
  for (WallEnds& w : shifted) w.start += shift, w.end += shift;
  room_->Undo();
  ExpectEnds(Ends(), shifted, "undone: the old shape, shifted");
  room_->Redo();
  ExpectEnds(Ends(), after, "redone");
  plat::HeadlessDriver::RunUntilIdle();
}

// The margin shift of a later move is no task of its own: the older move still finds its walls'
// ends, displaced by the shift, and undoes and redoes them exactly.
TEST_F(RoomWallTasksTest, AnOlderMoveUndoesAfterALaterMoveShiftedTheRoom) {
  host_.documentWindow = eltest::OpenSweeperWindow("RoomTasksDocumentWindow");
  host_.palette->SetScale(3.0);
  Loop({V(600, 0, 600), V(2100, 0, 600), V(2100, 0, 1500), V(600, 0, 1500)});
  Rebuild();
  const std::vector<WallEnds> before = Ends();
  DragWall({700, 350}, {730, 350});  // the right wall 90 mm out: no shift
  const std::vector<WallEnds> moved = Ends();
  ASSERT_GT(moved[1].start.x, 2100.0f);
  DragWall({450, 200}, {450, 133});  // the top wall up: the room is shifted 100 mm down
  const V shift(0, 0, 100);
  const auto shifted = [&](std::vector<WallEnds> ends) {
    for (WallEnds& w : ends) w.start += shift, w.end += shift;
    return ends;
  };
  room_->Undo();
  ExpectEnds(Ends(), shifted(moved), "the later move undone");
  room_->Undo();
  ExpectEnds(Ends(), shifted(before), "the older move undone too");
  room_->Redo();
  ExpectEnds(Ends(), shifted(moved), "the older move redone");
  plat::HeadlessDriver::RunUntilIdle();
}

TEST_F(RoomWallTasksTest, ADimensionSetOnATurnedRoomReadsBackAsSet) {
  host_.palette->SetScale(15.0);
  const float turn = 30.0f * 3.14159265f / 180.0f;
  std::vector<V> corners;
  for (const V& p : {V(0, 0, 0), V(4000, 0, 0), V(4000, 0, 3000), V(0, 0, 3000)}) {
    const float x = p.x * std::cos(turn) - p.z * std::sin(turn),
                z = p.x * std::sin(turn) + p.z * std::cos(turn);
    corners.push_back(V(std::round(x) + 3000, 0, std::round(z) + 1000));
  }
  Loop(corners);
  Rebuild();
  auto* floor = dynamic_cast<qxFloorElement*>(room_->FindFloor());
  ASSERT_NE(floor, nullptr);
  floor->ComputeMeasurements();
  ASSERT_GT(floor->GetMeasurementCount(), 0);
  const std::vector<WallEnds> before = Ends();
  for (int32_t m = 0; m < 2; ++m) {
    SCOPED_TRACE(m);
    floor = dynamic_cast<qxFloorElement*>(room_->FindFloor());
    floor->ComputeMeasurements();
    const float was = floor->Measurement(m);
    ASSERT_GT(was, 1000.0f);
    floor->SetMeasurement(m, was + 500.0f, false);
    plat::HeadlessDriver::RunUntilIdle();
    floor = dynamic_cast<qxFloorElement*>(room_->FindFloor());
    ASSERT_NE(floor, nullptr);
    floor->ComputeMeasurements();
    EXPECT_NEAR(floor->Measurement(m), was + 500.0f, 0.5f);
  }
  room_->Undo();
  room_->Undo();
  plat::HeadlessDriver::RunUntilIdle();
  ExpectEnds(Ends(), before, "both undone");
}

TEST_F(RoomWallTasksTest, EveryEraseLeavesThePixelsOfBeforeTheMatchingDraw) {
  host_.palette->SetScale(15.0);
  const std::vector<qxRoomSegment*> walls = Loop(kRectangle);
  Wall(V(3000, 0, 1500), V(3000, 0, 2700));
  Rebuild();
  const plat::POINT path[] = {{150, 103}, {150, 110}, {165, 125}, {150, 90}, {150, 98}, {150, 130}};

  // Every erase, the task's own while moving and one more after each move, leaves the picture
  // without the band. (A band drawn again may differ: its length label shows only while the length
  // differs from the one last drawn.)
  const auto follow = [&](ppMouseTask* task) {
    std::vector<uint32_t> clean;
    int32_t shown = 0;
    for (plat::POINT p : path) {
      MoveTo(p);
      const std::vector<uint32_t> during = Pixels();
      task->EraseFeedback(0, 0);
      if (clean.empty()) clean = Pixels();
      EXPECT_EQ(Pixels(), clean) << p.x << "," << p.y;
      shown += during != clean;
      task->DrawFeedback(task->Current().x, task->Current().y);
    }
    EXPECT_GE(shown, 4);
    Up(path[std::size(path) - 1]);
  };
  qxMoveObjectTask* move = PressWall({150, 100});
  ASSERT_NE(move, nullptr);
  follow(move);
  room_->Undo();

  qxMoveStretchObjectTask* corner = PressCorner(walls[0], kRectangle[0]);
  ASSERT_NE(corner, nullptr);
  follow(corner);
}

// ---- Corners.

TEST_F(RoomWallTasksTest, ACornerFollowsItsGuideOrRefusesToMove) {
  host_.palette->SetScale(15.0);
  const struct {
    const char* name;
    int32_t openingsOn;  // bit 0: the top wall holds an opening, bit 1: the left wall
    plat::POINT by;
    V corner;  // where the top-left corner lands; (0, 0, 0): nowhere, nothing sent
  } kCases[] = {
      {"under five pixels", 0, {3, 3}, V()},
      {"closest to the top wall", 0, {20, 3}, V(1800, 0, 1500)},
      {"closest to the left wall", 0, {3, 20}, V(1500, 0, 1800)},
      {"the left wall holds a door", 2, {20, 10}, V(1500, 0, 1650)},
      {"both walls hold doors", 3, {20, 10}, V()},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    for (qxRoomSegment* s : Segments()) delete s;
    const std::vector<qxRoomSegment*> walls = Loop(kRectangle);
    if (c.openingsOn & 1) new Opening(walls[0]);
    if (c.openingsOn & 2) new Opening(walls[3]);
    Rebuild();
    const std::vector<WallEnds> before = Ends();
    qxMoveStretchObjectTask* task = PressCorner(walls[0], kRectangle[0]);
    ASSERT_NE(task, nullptr);
    const plat::POINT to{100 + c.by.x, 100 + c.by.y};
    MoveTo(to);
    Up(to);
    if (c.corner == V()) {
      ExpectEnds(Ends(), before, "unmoved");
      EXPECT_TRUE(room_->commands.empty());
      EXPECT_EQ(room_->DoneTop(), nullptr);
      continue;
    }
    ExpectNear(walls[0]->Start(), c.corner, "top wall's start");
    ExpectNear(walls[3]->End(), c.corner, "left wall's end");
    EXPECT_EQ(room_->commands, (std::vector<int32_t>{4033, 4034}));
    room_->commands.clear();
    room_->Undo();
    ExpectEnds(Ends(), before, "undone");
    EXPECT_EQ(room_->commands, (std::vector<int32_t>{4033, 4034}));
    room_->commands.clear();
  }
}

TEST_F(RoomWallTasksTest, AFreeEndSlidesAlongItsWallOrFreelyWithCtrl) {
  host_.palette->SetScale(15.0);
  qxRoomSegment* wall = Wall(V(1500, 0, 1500), V(4500, 0, 1500));
  Wall(V(4500, 0, 1500), V(4500, 0, 3750));
  Rebuild();
  for (const bool ctrl : {false, true}) {
    SCOPED_TRACE(ctrl);
    if (ctrl) Key(plat::VK_CONTROL, true);
    ASSERT_NE(PressCorner(wall, V(1500, 0, 1500)), nullptr);
    MoveTo({90, 120});
    Up({90, 120});
    if (ctrl) Key(plat::VK_CONTROL, false);
    ExpectNear(wall->Start(), ctrl ? V(1350, 0, 1800) : V(1350, 0, 1500), "free end");
    ExpectNear(wall->End(), V(4500, 0, 1500), "joined end");
    room_->Undo();
  }
}

// A corner dragged onto another corner would leave a wall of no length (which the next rebuild gives
// no corner) or two corners on one point.
TEST_F(RoomWallTasksTest, ACornerDraggedOntoAnotherJunctionIsRefused) {
  host_.palette->SetScale(15.0);
  const struct {
    const char* name;
    bool tee;
    plat::POINT to;
  } kCases[] = {
      {"onto its wall's other end", false, {300, 100}},
      {"within 50 of its wall's other end", false, {297, 100}},
      {"onto a junction along its guide", true, {200, 100}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    for (qxRoomSegment* s : Segments()) delete s;
    const std::vector<qxRoomSegment*> walls = Loop(kRectangle);
    if (c.tee) Wall(V(3000, 0, 1500), V(3000, 0, 2700));
    Rebuild();
    const std::vector<WallEnds> before = Ends();
    qxMoveStretchObjectTask* task = PressCorner(walls[0], kRectangle[0]);
    ASSERT_NE(task, nullptr);
    MoveTo(c.to);
    EXPECT_TRUE(task->Refused());
    Up(c.to);
    ExpectEnds(Ends(), before, "unmoved");
    EXPECT_TRUE(room_->commands.empty());
    EXPECT_EQ(room_->DoneTop(), nullptr);
  }
}

// ---- The wall piece's end.

struct PieceEntry {
  int32_t code;
  float x, z;
};

class WallPieceEndTest : public RoomWallTasksTest {
 protected:
  void SetUp() override {
    RoomWallTasksTest::SetUp();
    host_.palette->SetScale(10.0);
    doc_ = std::make_unique<zelvproDocFil>(*db_);
  }
  // A 2000 by 200 piece at (1000, 1000) with end handles at the middle of its ends: pixels (100, 110)
  // and (300, 110).
  zelvproWall* MakePiece() {
    ppDatafile& module = doc_->RoomTable();
    char* r = module.GetRecordBuffer();
    module.ClearRecordBuffer(r);
    RecordField(module, "type").SetLong(r, 9);
    RecordField(module, "database").SetLong(r, db_->Identifier());
    RecordField(module, "xposition").SetDouble(r, 1000.0);
    RecordField(module, "zposition").SetDouble(r, 1000.0);
    RecordField(module, "wallThickness").SetDouble(r, 200.0);
    RecordField(module, "height").SetDouble(r, 2400.0);
    const std::vector<float> points = {0, 0, 2000, 0, 2000, 200, 0, 200};
    Put(RecordField(module, "points").Data(r), points.data(), points.size() * 4);
    std::vector<int32_t> words;
    for (const PieceEntry& e :
         {PieceEntry{999999, 0, 100}, PieceEntry{999999, 2000, 100}, PieceEntry{5, 1000, 0}}) {
      const float zero = 0.0f;
      int32_t w[9] = {e.code, 0, 0, 0, 0, 0, 0, 0, 0};
      std::memcpy(&w[1], &e.x, 4), std::memcpy(&w[2], &zero, 4), std::memcpy(&w[3], &e.z, 4);
      words.insert(words.end(), w, w + 9);
    }
    Put(RecordField(module, "snappoints").Data(r), words.data(), words.size() * 4);
    auto* piece = new zelvproWall(room_.get(), module, false);
    plat::HeadlessDriver::RunUntilIdle();
    return piece;
  }
  static void Put(Handle blob, const void* data, size_t size) {
    MemSetSize(blob, uint32_t(size));
    std::memcpy(*blob, data, size);
  }
  static V Placed(const zelvproWall& piece, int32_t i) {
    V p = piece.snapPoints[size_t(i)].point;
    piece.LocalToWorld(p);
    return p;
  }
  zelvproWallSideDragger* Grab(zelvproWall* piece, int32_t end) {
    iElementTaskFactory& factory = iElementTaskFactory::Current();
    auto* task = dynamic_cast<zelvproWallSideDragger*>(factory.NewWallEndTask(piece, end));
    if (task == nullptr) return nullptr;
    const plat::POINT at = Pixel(Placed(*piece, end));
    plat::Desktop::MouseMove(at);
    // Pressed a pixel off the end: the press point becomes the end's pixel.
    factory.StartWithElement(task, at.x + 1, at.y + 1, piece->NewFrameRegion());
    plat::HeadlessDriver::RunUntilIdle();
    return task;
  }
  static bool SameBits(const zelvproWall::Snapshot& a, const zelvproWall::Snapshot& b) {
    if (a.outline.size() != b.outline.size() || a.entries.size() != b.entries.size()) return false;
    if (std::memcmp(a.outline.data(), b.outline.data(), a.outline.size() * sizeof(ppVector2)) != 0)
      return false;
    for (size_t i = 0; i < a.entries.size(); ++i) {
      const SnapAnchor &x = a.entries[i], &y = b.entries[i];
      if (x.code != y.code || std::memcmp(&x.point, &y.point, sizeof(V)) != 0 ||
          std::memcmp(&x.direction, &y.direction, 4) != 0 || x.flags != y.flags || x.level != y.level)
        return false;
    }
    return std::memcmp(&a.position, &b.position, sizeof(V)) == 0 && std::memcmp(&a.angle, &b.angle, 4) == 0;
  }
};

TEST_F(WallPieceEndTest, ShiftTurnsTheDraggedEndToTheNearestEighthTurn) {
  const struct { float degrees, snapped; } kCases[] = {{30, 45}, {20, 0}, {-30, -45}, {100, 90}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.degrees);
    zelvproWall* piece = MakePiece();
    const V fixed = Placed(*piece, 0);
    zelvproWallSideDragger* task = Grab(piece, 1);
    ASSERT_NE(task, nullptr);
    Key(plat::VK_SHIFT, true);
    const float a = c.degrees * 3.14159265f / 180.0f;
    const plat::POINT to{100 + int32_t(std::lround(200 * std::cos(a))),
                         110 + int32_t(std::lround(200 * std::sin(a)))};
    MoveTo(to);
    Up(to);
    Key(plat::VK_SHIFT, false);
    const V end = Placed(*piece, 1);
    EXPECT_NEAR(std::atan2(end.z - fixed.z, end.x - fixed.x) * 180.0f / 3.14159265f, c.snapped, 0.5f);
    const V stays = Placed(*piece, 0);
    EXPECT_EQ(std::memcmp(&fixed, &stays, sizeof(V)), 0);
    delete piece;
  }
}

TEST_F(WallPieceEndTest, StepsUnderTenPixelsAreIgnoredUnlessCtrlIsHeld) {
  zelvproWall* piece = MakePiece();
  for (const bool ctrl : {false, true}) {
    SCOPED_TRACE(ctrl);
    zelvproWallSideDragger* task = Grab(piece, 1);
    ASSERT_NE(task, nullptr);
    EXPECT_EQ(task->StartPoint().x, 300);
    EXPECT_EQ(task->StartPoint().y, 110);
    if (ctrl) Key(plat::VK_CONTROL, true);
    MoveTo({309, 119});
    EXPECT_EQ(task->Current().x, ctrl ? 309 : 300);
    MoveTo({310, 112});
    EXPECT_EQ(task->Current().x, 310);
    Up({310, 112});
    if (ctrl) Key(plat::VK_CONTROL, false);
    room_->Undo();
  }
}

TEST_F(WallPieceEndTest, OneUndoEntryGivesBackThePieceBitForBitForEitherEnd) {
  for (const int32_t end : {0, 1}) {
    SCOPED_TRACE(end);
    zelvproWall* piece = MakePiece();
    const V fixed = Placed(*piece, 1 - end);
    const zelvproWall::Snapshot before = piece->TakeSnapshot();
    zelvproWallSideDragger* task = Grab(piece, end);
    ASSERT_NE(task, nullptr);
    const plat::POINT to{end == 0 ? 140 : 260, 170};
    MoveTo(to);
    Up(to);
    ASSERT_EQ(room_->DoneTop(), task);
    const zelvproWall::Snapshot after = piece->TakeSnapshot();
    // The far end is placed through the new angle: within rounding when the start was dragged.
    ExpectNear(Placed(*piece, 1 - end), fixed, "fixed end");
    V pointer;
    ScreenToPlanPoint(to.x, to.y, pointer);
    EXPECT_NEAR(Distance3(Placed(*piece, 0), Placed(*piece, 1)), Distance3(fixed, pointer), 0.05f);
    ExpectNear(Placed(*piece, end), pointer, "dragged end");
    EXPECT_FALSE(SameBits(before, after));
    for (int32_t round = 0; round < 2; ++round) {
      room_->Undo();
      EXPECT_TRUE(SameBits(piece->TakeSnapshot(), before));
      EXPECT_EQ(room_->DoneTop(), nullptr);
      room_->Redo();
      EXPECT_TRUE(SameBits(piece->TakeSnapshot(), after));
    }
    delete piece;
    EXPECT_EQ(room_->DoneTop(), nullptr);  // the piece took its task along
  }
}

// ---- The demo's room shape with a wall piece, as a user meets it.

class DemoRoomShapeTest : public WallPieceEndTest {
 protected:
  void SetUp() override {
    WallPieceEndTest::SetUp();
    ppFileSpec file{Vcon::WString(demo_.File("catalogs/kitchen.cdb").string().c_str())};
    demoDb_ = std::make_unique<zelvDatabase>(file);
    host_.databases[demoDb_->Identifier()] = demoDb_.get();
    // The room canvas of the demo's catalogue, as the program has it.
    host_.newRoomCanvas = nullptr;
    room_ = std::make_unique<RecordingRoom>(window_, demoDb_.get());
    host_.newRoomCanvas = room_.get();
    plat::HeadlessDriver::RunUntilIdle();
  }
  void TearDown() override {
    host_.newRoomCanvas = nullptr;
    room_.reset();
    plat::HeadlessDriver::RunUntilIdle();
    host_.databases.erase(demoDb_->Identifier());
    demoDb_.reset();
    WallPieceEndTest::TearDown();
  }
  // Loads the room shape `id` of the demo's catalogue onto the room canvas, as the document loader
  // does when the shape is chosen; false when there is no such shape.
  bool LoadShape(int32_t id) {
    qxSceneFil scenes(*demoDb_);
    scenes.SelectAll();
    for (int32_t i = 0; i < scenes.GetSelectedCount(); ++i) {
      scenes.ReadRecordAt(i, nullptr);
      if (RecordField(scenes, "id").Long(scenes.GetRecordBuffer()) != id) continue;
      Handle scene = nullptr;
      MemDuplicate(RecordField(scenes, "scene").Data(scenes.GetRecordBuffer()), &scene);
      zelvproDocFil document(*demoDb_);
      const bool read = document.Unpack(scene, Vcon::String()) == zelvproDocFil::UnpackResult::kAccepted;
      MemDispose(scene);
      if (!read) return false;
      document.RoomTable().LoadFromBlob();
      room_->LoadPlanModules(document.RoomTable());
      room_->ResnapTree();
      plat::HeadlessDriver::RunUntilIdle();
      return true;
    }
    return false;
  }
  std::vector<zelvproWall*> Pieces() const {
    std::vector<zelvproWall*> out;
    std::function<void(const ppView&)> walk = [&](const ppView& view) {
      ForEachChildElement(view, [&](zelvproElement* e) {
        if (auto* piece = dynamic_cast<zelvproWall*>(e)) out.push_back(piece);
        walk(*e);
      });
    };
    walk(*room_);
    return out;
  }
  // Entry `i`'s point on the plan, through every frame above the piece.
  static V OnPlan(const zelvproWall& piece, int32_t i) {
    return PlanPoint(&piece, piece.snapPoints[size_t(i)].point);
  }

  DemoSettings demo_;
  std::unique_ptr<zelvDatabase> demoDb_;
};

// Choosing "Room with a wall piece" puts a piece on the plan; the user drags it by its body to a new
// place (one undo step), the room is rebuilt (a wall of it moved) and the piece stays; then the user
// drags its far end, which follows the pointer while the start stays.
TEST_F(DemoRoomShapeTest, TheShapesPieceMovesAndStretchesByItsEnd) {
  ASSERT_TRUE(LoadShape(16));
  std::vector<zelvproWall*> pieces = Pieces();
  ASSERT_EQ(pieces.size(), 1u);
  zelvproWall* piece = pieces[0];
  ASSERT_EQ(piece->snapPoints.size(), 2u);
  ExpectNear(OnPlan(*piece, 0), V(3175, 0, 4175), "start as loaded");
  ExpectNear(OnPlan(*piece, 1), V(5175, 0, 4175), "far end as loaded");

  // The move: pressed on its body, held past the drag delay, released 300 mm right and 200 mm down.
  const plat::POINT body = Pixel(V(4175, 0, 4175));
  plat::LayerClock::Advance(1000);  // not a double click after the load
  Down(body);
  const plat::POINT to{body.x + 30, body.y + 20};
  MoveTo(to);
  Up(to);
  ASSERT_EQ(Pieces().size(), 1u);
  EXPECT_NE(dynamic_cast<zelvproWallTask*>(room_->DoneTop()), nullptr) << "no wall piece move was kept";
  ExpectNear(OnPlan(*piece, 0), V(3475, 0, 4375), "start moved");
  ExpectNear(OnPlan(*piece, 1), V(5475, 0, 4375), "far end moved");

  // A rebuild of the room (any wall edit ends in one) keeps the piece where it was put.
  room_->DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
  plat::HeadlessDriver::RunUntilIdle();
  ASSERT_EQ(Pieces(), std::vector<zelvproWall*>{piece});
  ExpectNear(OnPlan(*piece, 0), V(3475, 0, 4375), "start after the rebuild");

  // The far end dragged up and right: the piece turns and stretches to the pointer.
  const V start = OnPlan(*piece, 0);
  const plat::POINT end = Pixel(OnPlan(*piece, 1));
  plat::LayerClock::Advance(1000);
  Down(end);
  const plat::POINT pulled{end.x + 20, end.y - 50};
  MoveTo(pulled);
  Up(pulled);
  EXPECT_NE(dynamic_cast<zelvproWallSideDragger*>(room_->DoneTop()), nullptr) << "no end drag was kept";
  V pointer;
  ScreenToPlanPoint(pulled.x, pulled.y, pointer);
  ExpectNear(OnPlan(*piece, 0), start, "the start stays");
  ExpectNear(OnPlan(*piece, 1), pointer, "the far end follows the pointer");

  // Undo takes the stretch back, then the move.
  room_->Undo();
  ExpectNear(OnPlan(*piece, 1), V(5475, 0, 4375), "stretch undone");
  room_->Undo();
  ExpectNear(OnPlan(*piece, 0), V(3175, 0, 4175), "move undone");
}

// "Room with an arched wall": the right wall bulges 600 mm out from the middle of its chord, where its
// arc handle sits. Dragging that handle outwards bends the arc through the pointer (one undo step) and
// leaves the wall's ends where they were; it does not move the wall.
TEST_F(DemoRoomShapeTest, TheArchedShapesArcHandleBendsTheWallAndKeepsItsEnds) {
  ASSERT_TRUE(LoadShape(15));
  room_->DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);  // as the loaded document's room is
  plat::HeadlessDriver::RunUntilIdle();
  room_->commands.clear();
  qxRoomSegment* arched = nullptr;
  for (qxRoomSegment* s : Segments())
    if (s->IsArched()) arched = s;
  ASSERT_NE(arched, nullptr);
  const std::vector<WallEnds> before = Ends();
  const V chordMiddle = (arched->Start() + arched->End()) * 0.5f;
  // The bulge: how far the circle reaches out along the chord's normal through its middle (+x here).
  auto bulge = [&] {
    const float dx = chordMiddle.x - arched->GetCenter().x;
    return arched->GetRadius() - dx;
  };
  ASSERT_NEAR(bulge(), 600.0f, 1.0f);
  const plat::POINT handle = Pixel(chordMiddle + V(600, 0, 0));
  plat::LayerClock::Advance(1000);
  Down(handle);
  auto* bend = dynamic_cast<qxRoundWallTask*>(room_->DoneTop());
  ASSERT_NE(bend, nullptr) << "the press on the arc's handle started no arc drag";
  const plat::POINT out{handle.x + 40, handle.y};
  MoveTo(out);
  Up(out);
  EXPECT_EQ(room_->DoneTop(), bend);
  V pointer;
  ScreenToPlanPoint(out.x, out.y, pointer);
  EXPECT_NEAR(bulge(), pointer.x - chordMiddle.x, 1.0f);
  ExpectEnds(Ends(), before, "the arc drag");
  room_->Undo();
  EXPECT_NEAR(bulge(), 600.0f, 1.0f);
}

}  // namespace
