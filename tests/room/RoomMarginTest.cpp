// The shift that keeps a room 500 mm from the plan's origin, on outlines with damaged wall ends: an end
// that is not finite or lies far beyond any plan must not decide the shift of the sound walls.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "foundation/Geometry3D.h"
#include "framework/ppSweeper.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"
#include "room/RoomTestSupport.h"
#include "room/qxNewRoomCanvas.h"

namespace {

using V = ppVector3;

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// A room canvas that swallows its commands: the rebuild is not under test here.
class MarginCanvas : public qxNewRoomCanvas {
 public:
  explicit MarginCanvas(zelvDatabase* db) : qxNewRoomCanvas(nullptr, plat::RECT{0, 0, 800, 600}, db) {}
  void DoCommand(int32_t /*command*/, intptr_t /*parameter*/) override {}
};

// A plan element standing at a fixed place, to see the posted relocators move it.
class Marker : public zelvproElement {
 public:
  Marker(ppView* parent, const V& position)
      : zelvproElement(0, parent, plat::RECT{0, 0, 10, 10}, nullptr, 0, 0) {
    SetPosition(position);
  }
};

class RoomMarginTest : public roomtest::RoomTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    RoomTest::SetUp();
    host_.documentWindow = eltest::OpenSweeperWindow("MarginDocumentWindow");
    host_.topCanvas = &top_;
    room_ = std::make_unique<MarginCanvas>(db_);
  }
  void TearDown() override {
    plat::HeadlessDriver::RunUntilIdle();
    room_.reset();
    host_.topCanvas = nullptr;
    host_.documentWindow = nullptr;
    RoomTest::TearDown();
  }

  qxRoomSegment* Wall(const V& start, const V& end) {
    db_->TopViewFile().ReadRecord(topView_, nullptr);
    auto* wall = new qxRoomSegment(topView_, room_.get(), plat::RECT{0, 0, 10, 10},
                                   db_->TopViewFile().GetRecordBuffer(), db_->ShapeFile());
    wall->SetEnds(start, end);
    return wall;
  }

  eltest::RecordingCanvas top_{plat::RECT{0, 0, 800, 600}};
  std::unique_ptr<MarginCanvas> room_;
};

void ExpectSame(const V& got, const V& want, const char* what) {
  EXPECT_FLOAT_EQ(got.x, want.x) << what;
  EXPECT_FLOAT_EQ(got.y, want.y) << what;
  EXPECT_FLOAT_EQ(got.z, want.z) << what;
}

// An ordinary room moves by exactly what its lowest ends call for, walls, children and plan alike.
TEST_F(RoomMarginTest, OrdinaryRoomShiftsByItsLowestEnds) {
  qxRoomSegment* a = Wall(V(200, 0, 1000), V(3200, 0, 1000));
  qxRoomSegment* b = Wall(V(3200, 0, 1000), V(2000, 0, -100));
  auto* marker = new Marker(room_.get(), V(1000, 0, 1000));
  auto* unit = new Marker(&top_, V(2000, 0, 2000));
  const int32_t pending = ppSweeper::PendingCount();

  room_->KeepRoomInsideMargin();
  EXPECT_EQ(ppSweeper::PendingCount() - pending, 2);
  const V shift(300, 0, 600);
  ExpectSame(a->Start(), V(200, 0, 1000) + shift, "first wall start");
  ExpectSame(a->End(), V(3200, 0, 1000) + shift, "first wall end");
  ExpectSame(b->End(), V(2000, 0, -100) + shift, "second wall end");
  plat::HeadlessDriver::RunUntilIdle();
  ExpectSame(marker->GetPosition(), V(1000, 0, 1000) + shift, "room child");
  ExpectSame(unit->GetPosition(), V(2000, 0, 2000) + shift, "plan element");
  delete unit;
}

// Ends at -1e30 mm, at minus infinity and NaN leave the shift to the sound ends; every sound end
// moves by it, so the sound walls keep their lengths and no coordinate turns infinite or NaN.
TEST_F(RoomMarginTest, DamagedEndsDoNotDecideTheShift) {
  const struct {
    V start, end;
    bool startSound, endSound;
  } walls[] = {
      {V(1000, 0, 200), V(4000, 0, 200), true, true},
      {V(4000, 0, 200), V(4000, 0, 3000), true, true},
      {V(300, 0, 3000), V(4000, 0, 3000), true, true},
      {V(-1e30f, 0, 1000), V(1000, 0, 1000), false, true},
      {V(2000, 0, 1500), V(2000, 0, -kInf), true, false},
      {V(kNaN, 0, 2500), V(2500, 0, 2500), false, true},
      {V(3000, -kInf, 2000), V(3500, 0, 2000), false, true},
  };
  std::vector<qxRoomSegment*> made;
  for (const auto& w : walls) made.push_back(Wall(w.start, w.end));
  auto* marker = new Marker(room_.get(), V(1000, 0, 1000));
  const int32_t pending = ppSweeper::PendingCount();

  room_->KeepRoomInsideMargin();
  EXPECT_EQ(ppSweeper::PendingCount() - pending, 2);
  // The lowest sound ends: x 300 and z 200, 200 mm and 300 mm short of the margin.
  const V shift(200, 0, 300);
  for (size_t i = 0; i < made.size(); ++i) {
    SCOPED_TRACE(i);
    if (walls[i].startSound) ExpectSame(made[i]->Start(), walls[i].start + shift, "sound start");
    if (walls[i].endSound) ExpectSame(made[i]->End(), walls[i].end + shift, "sound end");
    if (walls[i].startSound && walls[i].endSound)
      EXPECT_FLOAT_EQ(Distance3(made[i]->Start(), made[i]->End()), Distance3(walls[i].start, walls[i].end));
  }
  plat::HeadlessDriver::RunUntilIdle();
  ExpectSame(marker->GetPosition(), V(1000, 0, 1000) + shift, "room child");
}

// A room whose only low ends are damaged stays where it is.
TEST_F(RoomMarginTest, OnlyDamagedEndsBelowTheMarginMoveNothing) {
  qxRoomSegment* sound = Wall(V(1000, 0, 1000), V(4000, 0, 1000));
  Wall(V(-kInf, 0, 1000), V(1000, 0, 1000));
  Wall(V(1000, 0, -2e7f), V(1000, 0, 1000));
  const int32_t pending = ppSweeper::PendingCount();

  room_->KeepRoomInsideMargin();
  EXPECT_EQ(ppSweeper::PendingCount() - pending, 0);
  ExpectSame(sound->Start(), V(1000, 0, 1000), "sound start");
  ExpectSame(sound->End(), V(4000, 0, 1000), "sound end");
}

}  // namespace
