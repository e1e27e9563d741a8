// Corners and outline cycles of the room canvas: segment ends joining corners, corners at crossings,
// side faces chained into cycles with their depth and orientation, and the turning of a cycle.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "elements/base/ElementChildren.h"
#include "foundation/OwnedHandle.h"
#include "room/RoomTestSupport.h"
#include "room/qxLineCycle.h"
#include "room/qxNewRoomCanvas.h"

namespace {

using V = ppVector3;

// A room canvas whose walls are 100 mm thick whatever its own properties say; it runs the corner
// steps of a room rebuild (corners at the ends and crossings, side faces, cycles) without floors.
class CornerCanvas : public roomtest::CornerRoom {
 public:
  explicit CornerCanvas(zelvDatabase* db) : CornerRoom(db) {}
  int32_t IndexOf(const Vcon::String& name) override {
    if (name == "WallThickness") return 0;
    return name == "WallHeight" ? 1 : -1;
  }
  ppParameter GetValue(int32_t index) override { return ppParameter(index == 0 ? u"100" : u"2350"); }
  void DoCommand(int32_t /*command*/, intptr_t /*parameter*/) override {}
};

class RoomCyclesTest : public roomtest::RoomTest {
 protected:
  void SetUp() override {
    RoomTest::SetUp();
    room_ = std::make_unique<CornerCanvas>(db_);
  }
  void TearDown() override {
    room_.reset();
    RoomTest::TearDown();
  }

  qxRoomSegment* Wall(const V& start, const V& end) { return MakeSegment(start, end, room_.get()); }

  int32_t CountJunctions() const {
    int32_t n = 0;
    for (qxJunction* j = room_->Junctions(); j != nullptr; j = j->GetNext()) ++n;
    return n;
  }

  std::unique_ptr<CornerCanvas> room_;
};

// Distinct corner identities; the faces only hand them on and never look inside.
qxJunction* Tag(int i) {
  static char tags[8];
  return reinterpret_cast<qxJunction*>(&tags[i]);
}

// A cycle of straight faces through the points, closed back to the first.
std::unique_ptr<qxLineCycle> Polygon(const std::vector<V>& points) {
  auto cycle = std::make_unique<qxLineCycle>(nullptr, 1);
  for (size_t i = 0; i < points.size(); ++i) {
    WallEdge e;
    e.start = points[i];
    e.end = points[(i + 1) % points.size()];
    e.clockwise = i % 2 == 0;
    cycle->AppendEdge(e);
  }
  return cycle;
}

TEST_F(RoomCyclesTest, PlansGiveInnerCyclesTurningPositiveAndOuterOnesNot) {
  // Rooms 3 m deep with a corner at the origin; a line from an inner corner out to the far point
  // then runs through an outer corner, where two outer faces meet.
  struct Plan {
    const char* name;
    float width;
    uint32_t flipped;  // bit i: wall i is drawn from its end to its start (its faces join reversed)
    bool middleWall;   // a wall across the middle, ending on both long walls (T-joints)
    bool round;        // the first wall is round
    int32_t inner, outer, junctions;
  };
  const Plan plans[] = {
      {"rectangle", 4000, 0, false, false, 1, 1, 4},
      {"walls both ways", 4000, 0b1010, false, false, 1, 1, 4},
      {"two rooms", 6000, 0, true, false, 2, 1, 6},
      {"round wall", 4000, 0, false, true, 1, 1, 4},
  };
  for (const Plan& plan : plans) {
    SCOPED_TRACE(plan.name);
    room_ = std::make_unique<CornerCanvas>(db_);
    const V corners[] = {V(0, 0, 0), V(plan.width, 0, 0), V(plan.width, 0, 3000), V(0, 0, 3000)};
    std::vector<qxRoomSegment*> walls;
    for (uint32_t i = 0; i < 4; ++i) {
      const V &a = corners[i], &b = corners[(i + 1) % 4];
      walls.push_back((plan.flipped >> i & 1) != 0 ? Wall(b, a) : Wall(a, b));
    }
    if (plan.middleWall) Wall(V(plan.width / 2, 0, 0), V(plan.width / 2, 0, 3000));
    if (plan.round) walls[0]->SetValue(walls[0]->IndexOf(Vcon::String("RoundWall")), ppParameter(true));
    room_->RebuildCorners();
    EXPECT_EQ(CountJunctions(), plan.junctions);
    int32_t inner = 0, outer = 0, lastId = INT32_MAX;
    for (qxLineCycle* c = room_->Cycles(); c != nullptr; c = c->next) {
      ASSERT_TRUE(c->IsClosed());
      // The newest cycle stands first, each with a fresh id.
      EXPECT_LT(c->id, lastId);
      lastId = c->id;
      EXPECT_EQ(qxNewRoomCanvas::IsTurningPositive(*c), c->IsInside());
      (c->IsInside() ? inner : outer)++;
      for (int32_t i = 0; i < c->EdgeCount(); ++i) {
        const WallEdge& e = *c->EdgeAt(i);
        EXPECT_TRUE(NearlyEqualVec3(e.end, c->EdgeAt((i + 1) % c->EdgeCount())->start, 0.5));
        // Inner faces lie inside the room's centre lines, outer faces outside them.
        const bool within = e.start.x > 0 && e.start.x < plan.width && e.start.z > 0 && e.start.z < 3000;
        EXPECT_EQ(within, c->IsInside()) << e.start.x << ", " << e.start.z;
      }
    }
    EXPECT_EQ(inner, plan.inner);
    EXPECT_EQ(outer, plan.outer);
  }
}

TEST_F(RoomCyclesTest, EndsNearerThanOneMillimetreShareACorner) {
  struct Case {
    float gap;
    int32_t junctions;
  };
  for (const Case& c : {Case{0.0f, 3}, Case{0.9f, 3}, Case{1.0f, 4}}) {
    SCOPED_TRACE(c.gap);
    room_ = std::make_unique<CornerCanvas>(db_);
    qxRoomSegment* a = Wall(V(0, 0, 0), V(1000, 0, 0));
    qxRoomSegment* b = Wall(V(1000 + c.gap, 0, 0), V(1000 + c.gap, 0, 1000));
    for (qxRoomSegment* s : {a, b})
      room_->AttachSegmentEnd(s, s->Start()), room_->AttachSegmentEnd(s, s->End());
    EXPECT_EQ(CountJunctions(), c.junctions);
    // The shared corner stays where the first end put it.
    qxJunction* corner = room_->FindJunctionAt(V(1000, 0, 0));
    ASSERT_NE(corner, nullptr);
    EXPECT_EQ(corner->Position().x, 1000.0f);
    EXPECT_EQ(corner->GetLinkCount(), c.junctions == 3 ? 2 : 1);
  }
}

TEST_F(RoomCyclesTest, CrossingWallsGetAFlaggedCornerAndAWallEndingOnAnotherJoinsItsCorner) {
  struct Case {
    const char* name;
    V start, end;  // of the wall across (1000, 0)-(3000, 0)
    int32_t junctions;
    bool intersection;
  };
  const Case cases[] = {
      {"crossing", V(2000, 0, -1000), V(2000, 0, 1000), 5, true},
      {"ending on it", V(2000, 0, 0), V(2000, 0, 1000), 4, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    room_ = std::make_unique<CornerCanvas>(db_);
    qxRoomSegment* a = Wall(V(1000, 0, 0), V(3000, 0, 0));
    qxRoomSegment* b = Wall(c.start, c.end);
    for (qxRoomSegment* s : {a, b})
      room_->AttachSegmentEnd(s, s->Start()), room_->AttachSegmentEnd(s, s->End());
    room_->AddCrossingJunctions(a);
    room_->AddCrossingJunctions(b);  // finds the same crossing again: nothing new
    EXPECT_EQ(CountJunctions(), c.junctions);
    qxJunction* corner = room_->FindJunctionAt(V(2000, 0, 0));
    ASSERT_NE(corner, nullptr);
    EXPECT_EQ(corner->IsIntersection(), c.intersection);
    EXPECT_EQ(corner->GetLinkCount(), 2);
    EXPECT_EQ(JunctionsOf(*a).size(), 3u);  // both ends and the crossing, in order along the wall
    EXPECT_EQ(JunctionsOf(*a)[1], corner);
  }
}

TEST_F(RoomCyclesTest, AFaceMetOnlyByItsEndJoinsTheChainReversed) {
  // Faces in this order: 0 runs (0,0)->(1000,0); at its end, 1 ends and 2 starts. The scan takes the
  // first face in order that meets the chain's end, 1, reversed with its sense inverted; 3 then meets
  // that with its end too. 2 is left for an open cycle of its own.
  std::vector<WallEdge> faces(4);
  const std::pair<V, V> ends[] = {{V(0, 0, 0), V(1000, 0, 0)},
                                  {V(1000, 0, 1000), V(1000, 0, 0)},
                                  {V(1000, 0, 0), V(2000, 0, 0)},
                                  {V(0, 0, 1000), V(1000, 0, 1000)}};
  for (size_t i = 0; i < faces.size(); ++i) {
    faces[i].start = ends[i].first, faces[i].end = ends[i].second;
    faces[i].clockwise = i == 1;
    faces[i].id = int32_t(i);
    faces[i].startJunction = Tag(int(2 * i)), faces[i].endJunction = Tag(int(2 * i + 1));
  }
  OwnedHandle handle;
  MemInsertBytes(faces.data(), uint32_t(faces.size() * sizeof(WallEdge)), handle.Get(), kMemAppend);
  std::unique_ptr<qxLineCycle> cycles(room_->BuildCycles(handle.Get()));

  // The newest cycle first: face 2 alone, then the chain.
  ASSERT_NE(cycles, nullptr);
  ASSERT_EQ(cycles->EdgeCount(), 1);
  EXPECT_EQ(cycles->EdgeAt(0)->id, 2);
  ASSERT_NE(cycles->next, nullptr);
  EXPECT_EQ(cycles->next->next, nullptr);
  const qxLineCycle& chain = *cycles->next;
  EXPECT_FALSE(chain.IsClosed());
  EXPECT_EQ(chain.depth, 0u);
  ASSERT_EQ(chain.EdgeCount(), 3);
  const struct {
    int32_t id;
    V start, end;
    bool clockwise;
    int from, to;  // corner tags, which travel with the ends
  } want[] = {{0, V(0, 0, 0), V(1000, 0, 0), false, 0, 1},
              {1, V(1000, 0, 0), V(1000, 0, 1000), false, 3, 2},
              {3, V(1000, 0, 1000), V(0, 0, 1000), true, 7, 6}};
  for (int32_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const WallEdge& e = *chain.EdgeAt(i);
    EXPECT_EQ(e.id, want[i].id);
    EXPECT_TRUE(e.start == want[i].start);
    EXPECT_TRUE(e.end == want[i].end);
    EXPECT_EQ(e.clockwise, want[i].clockwise);
    EXPECT_EQ(e.startJunction, Tag(want[i].from));
    EXPECT_EQ(e.endJunction, Tag(want[i].to));
  }
}

TEST(RoomCycleTurning, ZeroLengthFacesTurnNothingAndReversingFlipsTheSense) {
  struct Case {
    const char* name;
    std::vector<V> points;
    bool positive, reversedPositive;
  };
  const Case cases[] = {
      {"square", {V(0, 0, 0), V(1000, 0, 0), V(1000, 0, 1000), V(0, 0, 1000)}, true, false},
      {"square with a zero-length face",
       {V(0, 0, 0), V(1000, 0, 0), V(1000, 0, 0), V(1000, 0, 1000), V(0, 0, 1000)},
       true,
       false},
      {"triangle the other way", {V(0, 0, 0), V(0, 0, 1000), V(1000, 0, 0)}, false, true},
      {"one point", {V(5, 0, 5), V(5, 0, 5), V(5, 0, 5)}, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto cycle = Polygon(c.points);
    EXPECT_EQ(qxNewRoomCanvas::IsTurningPositive(*cycle), c.positive);
    const int32_t n = cycle->EdgeCount();
    const WallEdge middle = *cycle->EdgeAt(n / 2);
    qxNewRoomCanvas::ReverseCycle(*cycle);
    EXPECT_EQ(qxNewRoomCanvas::IsTurningPositive(*cycle), c.reversedPositive);
    // The face opposite in the order, run the other way with its sense inverted.
    const WallEdge& moved = *cycle->EdgeAt(n - 1 - n / 2);
    EXPECT_TRUE(moved.start == middle.end);
    EXPECT_TRUE(moved.end == middle.start);
    EXPECT_NE(moved.clockwise, middle.clockwise);
  }
}

}  // namespace
