// The room rebuild of command 4033: corners, cycles, one floor per room with its wall bodies, the
// hand-over of the old floor's and walls' settings, the deferred deletion of the old floor with the
// selection moving to its successor, and the undo histories left without tasks on deleted floors.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <tuple>
#include <vector>

#include "elements/base/ElementChildren.h"
#include "framework/ppPropertyDataUnitTask.h"
#include "framework/ppSweeper.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"
#include "room/RoomTestSupport.h"
#include "room/qxFloorElement.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxWallElement.h"

namespace {

using V = ppVector3;

class FloorRebuildTest : public roomtest::RoomTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    RoomTest::SetUp();
    room_ = std::make_unique<qxNewRoomCanvas>(nullptr, plat::RECT{0, 0, 800, 600}, db_);
    host_.newRoomCanvas = room_.get();
  }
  void TearDown() override {
    plat::HeadlessDriver::RunUntilIdle();
    host_.newRoomCanvas = nullptr;
    room_.reset();
    host_.documentWindow = nullptr;
    RoomTest::TearDown();
    plat::HeadlessDriver::Reset();
    EXPECT_EQ(ppSweeper::PendingCount(), 0);
  }

  // Sweepers wait for the message loop from here on, as in the program.
  void OpenDocumentWindow() {
    host_.documentWindow = eltest::OpenSweeperWindow("RoomDocumentWindow");
    plat::HeadlessDriver::RunUntilIdle();
  }

  qxRoomSegment* Wall(const V& start, const V& end) { return MakeSegment(start, end, room_.get()); }

  // A 4000 x 3000 room of four walls joined end to start.
  void Rectangle() {
    const V corners[4] = {V(1000, 0, 1000), V(5000, 0, 1000), V(5000, 0, 4000), V(1000, 0, 4000)};
    for (int i = 0; i < 4; ++i) Wall(corners[i], corners[(i + 1) % 4]);
  }

  std::vector<qxFloorElement*> Floors() const {
    std::vector<qxFloorElement*> out;
    ForEachChildElement(*room_, [&](zelvproElement* e) {
      if (auto* f = dynamic_cast<qxFloorElement*>(e)) out.push_back(f);
    });
    return out;
  }
  static std::vector<qxWallElement*> WallsOf(const qxFloorElement& floor) {
    std::vector<qxWallElement*> out;
    ForEachChildElement(floor, [&](zelvproElement* e) {
      if (auto* w = dynamic_cast<qxWallElement*>(e)) out.push_back(w);
    });
    return out;
  }

  std::unique_ptr<qxNewRoomCanvas> room_;
};

TEST_F(FloorRebuildTest, ARebuiltRoomKeepsOneFloorAndEveryWallsColourAndHeight) {
  Rectangle();
  room_->DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
  std::vector<qxFloorElement*> floors = Floors();
  ASSERT_EQ(floors.size(), 1u);
  std::vector<qxWallElement*> walls = WallsOf(*floors[0]);
  ASSERT_EQ(walls.size(), 4u);
  EXPECT_NE(floors[0]->Cycle(), nullptr);

  // Each wall gets its own height and colour, keyed by where its face starts.
  std::map<std::tuple<float, float>, std::pair<float, int32_t>> settings;
  for (size_t i = 0; i < walls.size(); ++i) {
    const float height = 2000.0f + 100.0f * float(i);
    const int32_t red = 10 + int32_t(i) * 20;
    walls[i]->SetHeight(height);
    walls[i]->SetValue(walls[i]->IndexOf("Color"), ppParameter(int32_t(uint32_t(red) << 24)));
    ASSERT_EQ(walls[i]->Red(), red);
    settings[{walls[i]->Edge().start.x, walls[i]->Edge().start.z}] = {height, red};
  }

  room_->DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
  floors = Floors();
  ASSERT_EQ(floors.size(), 1u);  // without a message loop the old floor goes at once
  walls = WallsOf(*floors[0]);
  ASSERT_EQ(walls.size(), 4u);
  for (qxWallElement* w : walls) {
    auto found = settings.find({w->Edge().start.x, w->Edge().start.z});
    ASSERT_NE(found, settings.end());
    EXPECT_EQ(w->GetHeight(), found->second.first);
    EXPECT_EQ(w->Red(), found->second.second);
  }
}

TEST_F(FloorRebuildTest, TheSuccessorOfASelectedFloorIsSelectedOnceTheOldOneIsGone) {
  OpenDocumentWindow();
  Rectangle();
  room_->DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
  plat::HeadlessDriver::RunUntilIdle();
  ASSERT_EQ(Floors().size(), 1u);
  qxFloorElement* old = Floors()[0];
  old->Select(false);

  room_->DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
  // Until the sweeper runs the old floor stands beside its successor.
  ASSERT_EQ(Floors().size(), 2u);
  plat::HeadlessDriver::RunUntilIdle();
  const std::vector<qxFloorElement*> floors = Floors();
  ASSERT_EQ(floors.size(), 1u);
  EXPECT_NE(floors[0], old);
  EXPECT_TRUE(floors[0]->IsSelected());
  EXPECT_EQ(room_->FindFloor(), floors[0]);
}

TEST_F(FloorRebuildTest, UndoingAFloorColourChangeAfterARebuildNeverReachesTheDeletedFloor) {
  OpenDocumentWindow();
  Rectangle();
  room_->DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
  plat::HeadlessDriver::RunUntilIdle();
  qxFloorElement* floor = Floors()[0];
  qxWallElement* wall = WallsOf(*floor)[0];
  // One change on the floor and one on a wall body, both through their property interfaces.
  for (iProperty* target : {static_cast<iProperty*>(floor), static_cast<iProperty*>(wall)}) {
    auto* task =
        new ppPropertyDataUnitTask(target, target->IndexOf("Color"), ppParameter(0x20202000), false, false);
    room_->Post(task);
    task->Do();
  }
  ASSERT_NE(room_->DoneTop(), nullptr);

  room_->DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(room_->DoneTop(), nullptr);
  room_->Undo();  // nothing left to undo: the sanitizer would see a task reaching freed memory
  ASSERT_EQ(Floors().size(), 1u);
}

TEST_F(FloorRebuildTest, AWallOfNoLengthGetsNoCornerAndNoFloor) {
  Wall(V(2000, 0, 2000), V(2000, 0, 2000));
  room_->DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
  EXPECT_EQ(room_->Junctions(), nullptr);
  EXPECT_EQ(room_->CountFloors(), 0);
}

TEST_F(FloorRebuildTest, AFloorIsHitOnItsOwnWallsButNotOnAnotherRoomsWalls) {
  host_.palette->SetScale(10.0);  // 10 mm a pixel
  Rectangle();                    // x 1000 to 5000: pixels 100 to 500, z 1000 to 4000: 100 to 400
  const V far[4] = {V(7000, 0, 1000), V(11000, 0, 1000), V(11000, 0, 4000), V(7000, 0, 4000)};
  for (int i = 0; i < 4; ++i) Wall(far[i], far[(i + 1) % 4]);
  room_->DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
  ASSERT_EQ(Floors().size(), 2u);
  for (qxFloorElement* floor : Floors()) {
    // Just outside each room's outline on its left wall (the hit outline reaches 10 pixels out).
    const bool first = floor->GetFrameRegion()->Contains(300, 250);
    const int32_t own = first ? 95 : 695, other = first ? 695 : 95;
    SCOPED_TRACE(first ? "left room" : "right room");
    ASSERT_FALSE(floor->GetFrameRegion()->Contains(own, 250));
    EXPECT_TRUE(floor->ContainsPoint(own, 250));
    EXPECT_FALSE(floor->ContainsPoint(other, 250));
    EXPECT_TRUE(floor->ContainsPoint(first ? 300 : 900, 250));  // inside the outline
    EXPECT_FALSE(floor->ContainsPoint(first ? 900 : 300, 250));
  }
}

}  // namespace
