// Drawing walls in the Draw Walls mode: a press on the room canvas starts a wall, the drag sets its
// end (joined to a corner or a wall line within reach, else on the length grid), the release puts it
// on the plan and rebuilds the room; undo and redo take it off and put it back.
#include <gtest/gtest.h>

#include <vector>

#include "elements/base/ElementChildren.h"
#include "elements/base/PlanPressPass.h"
#include "framework/ppSweeper.h"
#include "framework/ppUndoer.h"
#include "platform/HeadlessDriver.h"
#include "platform/InputState.h"
#include "platform/LayerClock.h"
#include "room/RoomTestSupport.h"
#include "room/qxDrawWallTask.h"
#include "room/qxFloorElement.h"
#include "room/qxLineCycle.h"
#include "room/zelvproRoomButtons.h"

namespace {

using V = ppVector3;

// One pixel is one millimetre; a 4000 x 3000 room from (1000, 1000).
class DrawWallTaskTest : public roomtest::RoomTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    RoomTest::SetUp();
    host_.palette->SetScale(1.0);
    room_ = std::make_unique<qxNewRoomCanvas>(nullptr, plat::RECT{0, 0, 8000, 8000}, db_);
    host_.newRoomCanvas = room_.get();
    const V corners[4] = {V(1000, 0, 1000), V(5000, 0, 1000), V(5000, 0, 4000), V(1000, 0, 4000)};
    for (int i = 0; i < 4; ++i) MakeSegment(corners[i], corners[(i + 1) % 4], room_.get());
    room_->DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
    DrawWallsMode = true;
  }
  void TearDown() override {
    DrawWallsMode = false;
    plat::InputState::SetDown(plat::VK_CONTROL, false);
    plat::HeadlessDriver::RunUntilIdle();
    host_.newRoomCanvas = nullptr;
    room_.reset();
    RoomTest::TearDown();
    plat::HeadlessDriver::Reset();
  }

  // A press at `from` offered as the plan offers it (first and second pass), a drag to `to` and the
  // release there; the task the press posted, or null.
  qxDrawWallTask* Draw(plat::POINT from, plat::POINT to) {
    SetFirstPressPass(true);
    EXPECT_FALSE(room_->IsDoubleClick(from.x, from.y)) << "the first offer drew";
    SetFirstPressPass(false);
    if (!room_->IsDoubleClick(from.x, from.y)) return nullptr;
    auto* task = dynamic_cast<qxDrawWallTask*>(room_->GetUndoer()->DoneTop());
    if (task == nullptr) return nullptr;
    plat::LayerClock::Advance(1000);
    plat::POINT p = to;
    task->Move(&p);
    task->MouseUp(&p);
    return room_->GetUndoer()->Holds(task) ? task : nullptr;
  }
  std::vector<qxRoomSegment*> Walls() const {
    std::vector<qxRoomSegment*> out;
    ForEachChildElement(*room_, [&](zelvproElement* e) {
      if (auto* s = dynamic_cast<qxRoomSegment*>(e)) out.push_back(s);
    });
    return out;
  }
  int32_t Floors() const { return room_->CountFloors(); }
  // The faces of the outline that belong to `wall`.
  int32_t FacesOf(const qxRoomSegment* wall) const {
    int32_t n = 0;
    for (qxLineCycle* c = room_->Cycles(); c != nullptr; c = c->next)
      for (int32_t i = 0; i < c->EdgeCount(); ++i) n += c->EdgeAt(i)->segment == wall;
    return n;
  }
  int32_t LinksAt(const V& p) const {
    qxJunction* j = room_->FindJunctionAt(p);
    return j != nullptr ? j->GetLinkCount() : 0;
  }

  std::unique_ptr<qxNewRoomCanvas> room_;
};

TEST_F(DrawWallTaskTest, AWallIsDrawnJoinedOrOnTheGridAndUndoAndRedoTakeItOffAndPutItBack) {
  // Pressed beside the top wall's centre line, released near the bottom one: both ends join the
  // walls they touch (a corner linking the new wall and the crossed one), and the room splits in two.
  qxDrawWallTask* task = Draw({3000, 1030}, {3020, 3960});
  ASSERT_NE(task, nullptr);
  qxRoomSegment* wall = task->Wall();
  EXPECT_EQ(wall->Start(), V(3000, 0, 1000));
  EXPECT_EQ(wall->End(), V(3020, 0, 4000));
  EXPECT_EQ(wall->GetThickness(), room_->WallThickness());
  EXPECT_EQ(wall->GetRadius(), 0.0f) << "the drag's feedback left an arc on a straight wall";
  EXPECT_EQ(LinksAt(V(3020, 0, 4000)), 2);
  EXPECT_EQ(Floors(), 2);
  room_->GetUndoer()->Undo();
  EXPECT_EQ(Walls().size(), 4u);
  EXPECT_EQ(wall->GetFirstJunctionLink(), nullptr) << "the wall off the plan still lies on corners";
  EXPECT_EQ(Floors(), 1);
  room_->GetUndoer()->Redo();
  EXPECT_EQ(wall->GetSupervisor(), room_.get());
  EXPECT_EQ(LinksAt(V(3020, 0, 4000)), 2);
  EXPECT_EQ(Floors(), 2);
  // Undone, then dropped by a new step: the wall goes with its task (ASan watches the frees).
  room_->GetUndoer()->Undo();

  // A free end: 237 mm cut down to 200; with Ctrl held the length stays. A press a few pixels off a
  // corner starts on it.
  ASSERT_NE(task = Draw({6000, 5000}, {6237, 5000}), nullptr);
  EXPECT_EQ(task->Wall()->End(), V(6200, 0, 5000));
  plat::InputState::SetDown(plat::VK_CONTROL, true);
  ASSERT_NE(task = Draw({6000, 6000}, {6000, 6237}), nullptr);
  EXPECT_EQ(task->Wall()->End(), V(6000, 0, 6237));
  plat::InputState::SetDown(plat::VK_CONTROL, false);
  ASSERT_NE(task = Draw({5005, 3996}, {5700, 4700}), nullptr);
  EXPECT_EQ(task->WallStart(), V(5000, 0, 4000));
  EXPECT_EQ(LinksAt(V(5000, 0, 4000)), 3);

  // A click, a drag shorter than the shortest wall, and a press outside the mode draw nothing and
  // leave no step.
  const size_t walls = Walls().size();
  ppTask* top = room_->GetUndoer()->DoneTop();
  EXPECT_EQ(Draw({7000, 7000}, {7000, 7000}), nullptr);
  EXPECT_EQ(Draw({7000, 7000}, {7040, 7000}), nullptr);
  DrawWallsMode = false;
  room_->IsDoubleClick(7000, 7000);
  EXPECT_EQ(Walls().size(), walls);
  EXPECT_EQ(room_->GetUndoer()->DoneTop(), top);
}

TEST_F(DrawWallTaskTest, AWallDrawnFromFaceToFaceJoinsBothWallsAndCutsTheirInnerFaces) {
  // From the left wall's inner face to the right wall's: the ends join the centre lines and the inner
  // face of each is cut in two where the new wall meets it; undo leaves it whole again.
  const auto half = int32_t(room_->WallThickness() / 2);
  qxRoomSegment* left = Walls()[3];
  qxDrawWallTask* task = Draw({1000 + half, 2500}, {5000 - half, 2500});
  ASSERT_NE(task, nullptr);
  EXPECT_EQ(task->Wall()->Start(), V(1000, 0, 2500));
  EXPECT_EQ(task->Wall()->End(), V(5000, 0, 2500));
  EXPECT_EQ(LinksAt(V(5000, 0, 2500)), 2);
  EXPECT_EQ(FacesOf(left), 3) << "the left wall's inner face runs on through the new wall";
  EXPECT_EQ(Floors(), 2);
  room_->GetUndoer()->Undo();
  EXPECT_EQ(FacesOf(left), 2);
  // In a corner's body but out of the corner's own reach: the end lands on the corner, not on the top
  // wall's line before its start.
  ASSERT_NE(task = Draw({945, 955}, {3000, 2500}), nullptr);
  EXPECT_EQ(task->WallStart(), V(1000, 0, 1000));
}

TEST_F(DrawWallTaskTest, NearACornerAnEndJoinsTheNearerOfTheTwoWallsInReach) {
  // Pressed inside the top-left corner, out of the corner's own reach but within reach of both the
  // left and the top wall's bodies: the start lies on the wall whose centre line is nearer, and the
  // mirrored press starts on the other. The same holds for the far end released near the bottom-right
  // corner. Each drawn wall meets the wall it joined in a corner of two.
  struct Case {
    plat::POINT from, to;
    V start, end;
  } cases[] = {
      {{1020, 1060}, {4940, 3970}, V(1000, 0, 1060), V(4940, 0, 4000)},  // nearer the left, the bottom
      {{1060, 1020}, {4970, 3940}, V(1060, 0, 1000), V(5000, 0, 3940)},  // nearer the top, the right
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from.x);
    qxDrawWallTask* task = Draw(c.from, c.to);
    ASSERT_NE(task, nullptr);
    EXPECT_EQ(task->WallStart(), c.start);
    EXPECT_EQ(task->Wall()->End(), c.end);
    EXPECT_EQ(LinksAt(c.start), 2);
    EXPECT_EQ(LinksAt(c.end), 2);
    room_->GetUndoer()->Undo();
  }
}

}  // namespace

TEST_F(DrawWallTaskTest, WallsDestroyedWhenTheRoomIsReplacedAreFreedOnceAndUndoRedoLeaveTheNewRoom) {
  // Two walls drawn across the room, each from one wall to the other: two steps on the history.
  qxDrawWallTask* first = Draw({2000, 1030}, {2000, 3970});
  ASSERT_NE(first, nullptr);
  ASSERT_NE(Draw({1030, 2500}, {4970, 2500}), nullptr);
  ASSERT_EQ(Walls().size(), 6u);
  // The room replaced by another shape, as a room template's load does it: every element of the room
  // is taken off the plan and deleted, then the new walls are made and the room rebuilt.
  while (room_->Subviews().Count() > 0) {
    ppView* last = room_->Subviews().At(room_->Subviews().Count() - 1);
    last->DetachFromSupervisor();
    delete last;
  }
  room_->ClearRoom();
  EXPECT_EQ(room_->GetUndoer()->DoneTop(), nullptr) << "a step still names a destroyed wall";
  const V corners[4] = {V(1000, 0, 1000), V(3000, 0, 1000), V(3000, 0, 3000), V(1000, 0, 3000)};
  for (int i = 0; i < 4; ++i) MakeSegment(corners[i], corners[(i + 1) % 4], room_.get());
  room_->DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
  const std::vector<qxRoomSegment*> now = Walls();
  ASSERT_EQ(now.size(), 4u);
  // Undo and Redo neither bring a destroyed wall back nor touch the new room.
  room_->GetUndoer()->Undo();
  room_->GetUndoer()->Redo();
  room_->GetUndoer()->Undo();
  EXPECT_EQ(Walls(), now);
  EXPECT_EQ(Floors(), 1);
  // Drawing goes on as before on the new room.
  ASSERT_NE(Draw({2000, 1030}, {2000, 2970}), nullptr);
  EXPECT_EQ(Floors(), 2);
  room_->GetUndoer()->Undo();
  EXPECT_EQ(Walls(), now);
}
