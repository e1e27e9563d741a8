// The round-wall task: the arc it fits through the mouse within the height limits, and the commit,
// undo and redo, each of which rebuilds the room around the arc it leaves.
#include <gtest/gtest.h>

#include <cmath>

#include "foundation/Geometry3D.h"
#include "platform/HeadlessDriver.h"
#include "platform/LayerClock.h"
#include "room/RoomTestSupport.h"
#include "room/qxRoundWallTask.h"

namespace {

using roomtest::RoomTest;
using V = ppVector3;

// The walls lie along x at z = 1000 from x = 1000; one pixel is one millimetre.
class RoundWallTaskTest : public RoomTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    RoomTest::SetUp();
    host_.palette->SetScale(1.0);
  }
  qxRoomSegment* ArchedWall(float length) {
    qxRoomSegment* wall = MakeSegment(V(1000, 0, 1000), V(1000 + length, 0, 1000));
    wall->SetValue(wall->IndexOf(Vcon::String("RoundWall")), ppParameter(true));
    canvas_->commands.clear();
    return wall;
  }
  // The arc's height over the chord (4000 long, middle at x = 3000) on the side `side` (+1: +z): the
  // point that far out on the chord's bisector lies on the circle.
  static bool HasHeight(const qxRoomSegment& wall, float height, int side) {
    const V apex(3000, 0, 1000 + side * height);
    return std::fabs(Distance3(apex, wall.GetCenter()) - wall.GetRadius()) < 0.05f;
  }
};

TEST_F(RoundWallTaskTest, TheArcFollowsTheMouseWithinAFortiethAndJustUnderHalfTheChord) {
  const struct {
    const char* name;
    int32_t x, y;
    float height;
    int side;
  } kCases[] = {
      {"just off the chord", 3000, 1010, 100.0f, +1},
      {"just off, other side", 3000, 990, 100.0f, -1},
      {"on the chord", 3000, 1000, 100.0f, -1},
      {"on the chord's line beyond its end", 9000, 1000, 100.0f, -1},
      {"within the limits", 3000, 1500, 500.0f, +1},
      {"far away", 3000, 60000, 4000.0f / 1.99f, +1},
      {"far away, other side, off centre", 100, -40000, 4000.0f / 1.99f, -1},
  };
  for (const auto& c : kCases) {
    qxRoomSegment* wall = ArchedWall(4000);
    qxRoundWallTask task(wall, canvas_.get());
    task.DrawFeedback(c.x, c.y);
    EXPECT_TRUE(HasHeight(*wall, c.height, c.side))
        << c.name << ": radius " << wall->GetRadius() << " centre z " << wall->GetCenter().z;
    EXPECT_EQ(wall->IsClockwise(), c.side > 0) << c.name;
  }

  // A wall of no length has no circle through a third point: its arc stays.
  qxRoomSegment* point = MakeSegment(V(1000, 0, 1000), V(1000, 0, 1000));
  point->SetRadius(70.0f), point->SetCenter(V(1, 2, 3));
  qxRoundWallTask task(point, canvas_.get());
  task.DrawFeedback(3000, 1500);
  EXPECT_EQ(point->GetRadius(), 70.0f);
  EXPECT_EQ(point->GetCenter(), V(1, 2, 3));
}

TEST_F(RoundWallTaskTest, CommitUndoAndRedoEachRebuildTheRoomAroundTheirArc) {
  qxRoomSegment* wall = ArchedWall(4000);
  const float oldRadius = wall->GetRadius();
  const V oldCentre = wall->GetCenter();
  const bool oldClockwise = wall->IsClockwise();
  // Dragged across to the other side of the chord: the arc's sense changes too.
  const int side = oldCentre.z > 1000 ? +1 : -1;
  plat::POINT to{3000, 1000 + side * 1000};

  auto* task = new qxRoundWallTask(wall, canvas_.get());
  task->Start(3000, 1000 - side * 100);
  canvas_->Post(task);
  plat::LayerClock::Advance(1000);
  task->Move(&to);
  const float newRadius = wall->GetRadius();
  const V newCentre = wall->GetCenter();
  ASSERT_TRUE(HasHeight(*wall, 1000.0f, side));
  ASSERT_NE(wall->IsClockwise(), oldClockwise);
  canvas_->commands.clear();

  const std::vector<std::pair<int32_t, intptr_t>> rebuild{{4033, reinterpret_cast<intptr_t>(wall)},
                                                          {4034, 0}};
  enum Step { kDo, kUndo, kRedo };
  for (const Step step : {kDo, kUndo, kRedo}) {
    if (step == kDo) task->MouseUp(&to);
    if (step == kUndo) canvas_->Undo();
    if (step == kRedo) canvas_->Redo();
    const bool old = step == kUndo;
    EXPECT_EQ(canvas_->commands, rebuild) << step;
    EXPECT_FLOAT_EQ(wall->GetRadius(), old ? oldRadius : newRadius) << step;
    EXPECT_EQ(wall->GetCenter(), old ? oldCentre : newCentre) << step;
    EXPECT_EQ(wall->IsClockwise(), old ? oldClockwise : !oldClockwise) << step;
    EXPECT_EQ(task->IsUndone(), old) << step;
    canvas_->commands.clear();
  }
}

TEST_F(RoundWallTaskTest, APressReleasedInPlaceLeavesTheArcAndTheHistory) {
  qxRoomSegment* wall = ArchedWall(4000);
  const float radius = wall->GetRadius();
  const V centre = wall->GetCenter();
  auto* task = new qxRoundWallTask(wall, canvas_.get());
  task->Start(3000, 1400);
  canvas_->Post(task);
  plat::POINT at{3000, 1400};
  task->MouseUp(&at);
  EXPECT_EQ(wall->GetRadius(), radius);
  EXPECT_EQ(wall->GetCenter(), centre);
  EXPECT_EQ(canvas_->DoneTop(), nullptr);
  EXPECT_TRUE(canvas_->commands.empty());
}

TEST_F(RoundWallTaskTest, AWallThatGoesTakesItsTaskOffTheHistory) {
  qxRoomSegment* wall = ArchedWall(4000);
  auto* task = new qxRoundWallTask(wall, canvas_.get());
  task->Start(3000, 1400);
  canvas_->Post(task);
  plat::LayerClock::Advance(1000);
  plat::POINT to{3000, 1600};
  task->MouseUp(&to);
  ASSERT_EQ(canvas_->DoneTop(), task);
  delete wall;
  EXPECT_EQ(canvas_->DoneTop(), nullptr);
  canvas_->Undo();  // nothing left to reach the wall
}

}  // namespace
