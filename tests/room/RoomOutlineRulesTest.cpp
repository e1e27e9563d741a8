// Rules of the room outline at their edges: how near two wall ends must be to share a corner in
// every direction, which way an outline turns when its turns differ widely, and which old floor
// hands its settings on when an edit merges or keeps rooms.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "elements/base/ElementChildren.h"
#include "platform/HeadlessDriver.h"
#include "room/RoomRecordFields.h"
#include "room/RoomTestSupport.h"
#include "room/qxFloorElement.h"
#include "room/qxLineCycle.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxWallElement.h"

namespace {

using V = ppVector3;

class RoomOutlineRulesTest : public roomtest::RoomTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    RoomTest::SetUp();
    room_ = std::make_unique<roomtest::CornerRoom>(db_);
    host_.newRoomCanvas = room_.get();
  }
  void TearDown() override {
    plat::HeadlessDriver::RunUntilIdle();
    host_.newRoomCanvas = nullptr;
    room_.reset();
    RoomTest::TearDown();
    plat::HeadlessDriver::Reset();
  }

  qxRoomSegment* Wall(const V& start, const V& end) { return MakeSegment(start, end, room_.get()); }

  int32_t CountJunctions() const {
    int32_t n = 0;
    for (qxJunction* j = room_->Junctions(); j != nullptr; j = j->GetNext()) ++n;
    return n;
  }

  std::vector<qxFloorElement*> Floors() const {
    std::vector<qxFloorElement*> out;
    ForEachChildElement(*room_, [&](zelvproElement* e) {
      if (auto* f = dynamic_cast<qxFloorElement*>(e)) out.push_back(f);
    });
    return out;
  }

  // The floor whose outline holds the plan point (x, z) inside its faces' box.
  qxFloorElement* FloorAt(float x, float z) const {
    for (qxFloorElement* f : Floors()) {
      const qxLineCycle* c = f->Cycle();
      if (c == nullptr) continue;
      float x0 = 1e9f, z0 = 1e9f, x1 = -1e9f, z1 = -1e9f;
      for (int32_t i = 0; i < c->EdgeCount(); ++i) {
        const V& p = c->EdgeAt(i)->start;
        x0 = std::min(x0, p.x), z0 = std::min(z0, p.z), x1 = std::max(x1, p.x), z1 = std::max(z1, p.z);
      }
      if (x0 < x && x < x1 && z0 < z && z < z1) return f;
    }
    return nullptr;
  }

  static std::vector<qxWallElement*> WallsOf(const qxFloorElement& floor) {
    std::vector<qxWallElement*> out;
    ForEachChildElement(floor, [&](zelvproElement* e) {
      if (auto* w = dynamic_cast<qxWallElement*>(e)) out.push_back(w);
    });
    return out;
  }

  static void Paint(qxFloorElement* floor, int32_t red) {
    floor->SetValue(floor->IndexOf("Color"), ppParameter(int32_t(uint32_t(red) << 24)));
    ASSERT_EQ(floor->Red(), red);
  }

  std::unique_ptr<roomtest::CornerRoom> room_;
};

// A corner takes a wall end nearer than 1 mm by distance, not by each coordinate alone: ends within
// 1 mm along every axis but farther apart diagonally stay two corners.
TEST_F(RoomOutlineRulesTest, EndsWithinTheJoinDistanceInEachAxisButNotDiagonallyStayTwoCorners) {
  struct Case {
    V gap;
    bool joined;
  };
  const Case cases[] = {
      {V(0.6f, 0, 0.6f), true},     // 0.85 mm
      {V(0.7f, 0, -0.7f), true},    // 0.99 mm
      {V(0.72f, 0, 0.72f), false},  // 1.02 mm
      {V(-0.8f, 0, 0.8f), false},   // 1.13 mm
      {V(0.9f, 0, -0.9f), false},  {V(0.8f, 0.8f, 0), false},
      {V(0, 0.75f, 0.75f), false}, {V(0.3f, 0.5f, 0.6f), true},  // 0.84 mm
      {V(0.99f, 0, 0.1f), true},   {V(0.1f, 0, -0.99f), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.gap.x << ", " << c.gap.y << ", " << c.gap.z);
    room_ = std::make_unique<roomtest::CornerRoom>(db_);
    qxRoomSegment* a = Wall(V(0, 0, 0), V(1000, 0, 0));
    qxRoomSegment* b = Wall(V(1000, 0, 0) + c.gap, V(1000, 0, 1000));
    for (qxRoomSegment* s : {a, b})
      room_->AttachSegmentEnd(s, s->Start()), room_->AttachSegmentEnd(s, s->End());
    EXPECT_EQ(CountJunctions(), c.joined ? 3 : 4);
    qxJunction* corner = room_->FindJunctionAt(V(1000, 0, 0));
    ASSERT_NE(corner, nullptr);
    EXPECT_EQ(corner->GetLinkCount(), c.joined ? 2 : 1);
  }
}

// A later end between two corners joins the nearer one, even when the farther one came first.
TEST_F(RoomOutlineRulesTest, AnEndBetweenTwoCornersJoinsTheNearerOne) {
  for (const float x : {0.45f, 0.55f}) {
    SCOPED_TRACE(x);
    room_ = std::make_unique<roomtest::CornerRoom>(db_);
    qxRoomSegment* left = Wall(V(-1000, 0, 0), V(0, 0, 0));
    qxRoomSegment* right = Wall(V(1.0f, 0, 0), V(1.0f, 0, 1000));
    qxRoomSegment* middle = Wall(V(x, 0, 0), V(x, 0, -1000));
    for (qxRoomSegment* s : {left, right, middle})
      room_->AttachSegmentEnd(s, s->Start()), room_->AttachSegmentEnd(s, s->End());
    EXPECT_EQ(CountJunctions(), 5);
    qxJunction* nearer = room_->FindJunctionAt(x < 0.5f ? V(0, 0, 0) : V(1.0f, 0, 0));
    ASSERT_NE(nearer, nullptr);
    EXPECT_EQ(nearer->GetLinkCount(), 2);
  }
}

// A cycle of straight faces through the points, closed back to the first.
std::unique_ptr<qxLineCycle> Polygon(const std::vector<V>& points) {
  auto cycle = std::make_unique<qxLineCycle>(nullptr, 1);
  for (size_t i = 0; i < points.size(); ++i) {
    WallEdge e;
    e.start = points[i];
    e.end = points[(i + 1) % points.size()];
    cycle->AppendEdge(e);
  }
  return cycle;
}

// Twice the signed plan area (x, z): positive for the sense the inner faces of a room run.
double SignedArea(const std::vector<V>& points) {
  double sum = 0;
  for (size_t i = 0; i < points.size(); ++i) {
    const V& a = points[i];
    const V& b = points[(i + 1) % points.size()];
    sum += double{a.x} * b.z - double{b.x} * a.z;
  }
  return sum;
}

// The turning of a simple outline is its sense, whatever the size of its single turns: a few wide
// turns against many sharp ones, turns past a right angle both ways, and many random star outlines.
TEST(RoomOutlineTurning, AnOutlineTurnsTheWayItsAreaRuns) {
  struct Case {
    const char* name;
    std::vector<V> points;
  };
  std::vector<Case> cases = {
      // Sharp turns at three tips, one wide turn the other way in the notch.
      {"arrow head", {V(0, 0, 0), V(1000, 0, 3000), V(2000, 0, 0), V(1000, 0, 2500)}},
      {"notch past a right angle",
       {V(0, 0, 0), V(4000, 0, 0), V(4000, 0, 3000), V(2000, 0, 200), V(0, 0, 3000)}},
      {"thin sliver", {V(0, 0, 0), V(5000, 0, 10), V(0, 0, 20)}},
      {"comb",
       {V(0, 0, 0), V(3000, 0, 0), V(3000, 0, 2000), V(2600, 0, 2000), V(2500, 0, 200), V(2400, 0, 2000),
        V(1600, 0, 2000), V(1500, 0, 200), V(1400, 0, 2000), V(0, 0, 2000)}},
  };
  // Star outlines around the origin: random radii at increasing angles, no gap between two angles
  // reaching half a turn, make simple polygons with sharp and wide turns both ways.
  uint32_t seed = 12345;
  const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  for (int k = 0; k < 200; ++k) {
    Case star{"star", {}};
    const int corners = 4 + int(next() % 13);
    std::vector<double> gaps;
    double total = 0;
    for (int i = 0; i < corners; ++i) total += gaps.emplace_back(0.5 + double(next() % 1000) / 2000.0);
    double angle = 0;
    for (int i = 0; i < corners; ++i) {
      angle += gaps[size_t(i)] / total * 6.283185307179586;
      const double radius = 100.0 + double(next() % 5000);
      star.points.push_back(V(float(radius * std::cos(angle)), 0, float(radius * std::sin(angle))));
    }
    cases.push_back(star);
  }
  for (size_t k = 0; k < cases.size(); ++k) {
    const Case& c = cases[k];
    SCOPED_TRACE(testing::Message() << c.name << " " << k);
    for (const bool reversed : {false, true}) {
      std::vector<V> points = c.points;
      if (reversed) points.assign(c.points.rbegin(), c.points.rend());
      const double area = SignedArea(points);
      ASSERT_NE(area, 0.0);
      EXPECT_EQ(qxNewRoomCanvas::IsTurningPositive(*Polygon(points)), area > 0) << "reversed " << reversed;
    }
  }
}

// Three rooms side by side, each with a floor of its own colour. Removing the wall between the first
// two merges them: the merged floor takes the settings of the first of them, the third room's floor
// keeps its own, and so do its wall bodies.
TEST_F(RoomOutlineRulesTest, MergedRoomsTakeTheSettingsOfTheirFirstOldFloorAndOthersKeepTheirOwn) {
  struct Case {
    const char* name;
    bool editedWall;  // the rebuild names an edited straight wall (else none)
  };
  for (const Case& c : {Case{"no element", false}, Case{"a straight wall", true}}) {
    SCOPED_TRACE(c.name);
    room_ = std::make_unique<roomtest::CornerRoom>(db_);
    host_.newRoomCanvas = room_.get();
    const float xs[] = {0, 3000, 6000, 9000};
    qxRoomSegment* outer = Wall(V(0, 0, 0), V(9000, 0, 0));
    Wall(V(9000, 0, 0), V(9000, 0, 3000));
    Wall(V(9000, 0, 3000), V(0, 0, 3000));
    Wall(V(0, 0, 3000), V(0, 0, 0));
    qxRoomSegment* between = Wall(V(xs[1], 0, 0), V(xs[1], 0, 3000));
    Wall(V(xs[2], 0, 0), V(xs[2], 0, 3000));
    room_->DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
    ASSERT_EQ(Floors().size(), 3u);
    const int32_t reds[] = {40, 80, 120};
    for (int i = 0; i < 3; ++i) {
      qxFloorElement* floor = FloorAt((xs[i] + xs[i + 1]) / 2, 1500);
      ASSERT_NE(floor, nullptr) << i;
      Paint(floor, reds[i]);
    }
    // The third room's wall bodies, by where their faces start.
    std::set<std::pair<float, float>> thirdWalls;
    for (qxWallElement* wall : WallsOf(*FloorAt(7500, 1500))) {
      wall->SetHeight(2111.0f);
      thirdWalls.insert({wall->Edge().start.x, wall->Edge().start.z});
    }
    ASSERT_EQ(thirdWalls.size(), 4u);

    delete between;
    room_->DoCommand(qxNewRoomCanvas::kRebuildRoom,
                     reinterpret_cast<intptr_t>(c.editedWall ? outer : nullptr));
    plat::HeadlessDriver::RunUntilIdle();
    ASSERT_EQ(Floors().size(), 2u);
    qxFloorElement* merged = FloorAt(3000, 1500);
    qxFloorElement* third = FloorAt(7500, 1500);
    ASSERT_NE(merged, nullptr);
    ASSERT_NE(third, nullptr);
    ASSERT_NE(merged, third);
    // The first inner old cycle in list order that shares a face end: the first room's here.
    EXPECT_EQ(merged->Red(), reds[0]);
    EXPECT_EQ(third->Red(), reds[2]);
    int32_t kept = 0;
    for (qxWallElement* wall : WallsOf(*third)) {
      EXPECT_EQ(thirdWalls.count({wall->Edge().start.x, wall->Edge().start.z}), 1u);
      EXPECT_EQ(wall->GetHeight(), 2111.0f);
      ++kept;
    }
    EXPECT_EQ(kept, 4);
  }
}

// Thicknesses and heights go into documents as whole millimetres: truncated, and 0 for what a 32-bit
// word cannot hold, on either side of zero.
TEST(RoomRecordValues, WholeMillimetresTruncateAndRefuseWhatAWordCannotHold) {
  struct Case {
    float value;
    int32_t stored;
  };
  const Case cases[] = {
      {150.9f, 150},          {-150.9f, -150}, {0.4f, 0},    {1.5e9f, 1500000000},
      {-1.5e9f, -1500000000}, {3.0e9f, 0},     {-3.0e9f, 0}, {-1.0e30f, 0},
      {FLT_MAX, 0},           {-INFINITY, 0},  {NAN, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(roomrecord::WholeMillimetres(c.value), c.stored) << c.value;
}

// Distinct floor identities; the match only hands them on and never looks inside.
qxFloorElement* FloorTag(int i) {
  static char tags[4];
  return reinterpret_cast<qxFloorElement*>(&tags[i]);
}

// The n-th old floor is counted over the inner old cycles in list order, each floor once however
// many of its faces share an end with the new cycle; outer cycles never count. A shared start
// matches on the start, else a shared end on the end.
TEST_F(RoomOutlineRulesTest, TheNthOldFloorCountsEachInnerOldFloorOnceInListOrder) {
  const V square[] = {V(0, 0, 0), V(1000, 0, 0), V(1000, 0, 1000), V(0, 0, 1000)};
  // Old cycles, the head first: an outer one through every corner, an inner one sharing only the end
  // of the new cycle's last face, one sharing no end, and one sharing every start.
  std::unique_ptr<qxLineCycle> outer = Polygon({square[0], square[1], square[2], square[3]});
  std::unique_ptr<qxLineCycle> endOnly = Polygon({V(0, 0, 0), V(-500, 0, 500), V(-500, 0, -500)});
  std::unique_ptr<qxLineCycle> apart = Polygon({V(5000, 0, 0), V(6000, 0, 0), V(6000, 0, 1000)});
  std::unique_ptr<qxLineCycle> same = Polygon({square[0], square[1], square[2], square[3]});
  // endOnly's faces: (0,0)->(-500,500), (-500,500)->(-500,-500), (-500,-500)->(0,0): its last face
  // ends where the new cycle's last face ends, and no start is shared.
  endOnly->EdgeAt(0)->start = V(-1, 0, -1);
  outer->floor = FloorTag(0), endOnly->floor = FloorTag(1), apart->floor = FloorTag(2),
  same->floor = FloorTag(3);
  outer->depth = 0, endOnly->depth = apart->depth = same->depth = qxLineCycle::kInside;
  // Chain them without handing ownership to the list: unlinked before they go.
  outer->next = endOnly.get(), endOnly->next = apart.get(), apart->next = same.get();
  std::unique_ptr<qxLineCycle> cycle = Polygon({square[0], square[1], square[2], square[3]});

  struct Case {
    int32_t n;
    qxFloorElement* floor;
    V point;
    int atStart;  // -1: not looked at (an earlier end match leaves it false, as the walk goes)
  };
  const Case cases[] = {
      {0, FloorTag(1), V(0, 0, 0), 0},
      {1, FloorTag(3), V(0, 0, 0), -1},
      {2, nullptr, V(), -1},
      {-1, nullptr, V(), -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.n);
    OldFloorMatch match;
    match.floor = FloorTag(2);
    match.atStart = false;
    room_->FindOldFloor(match, *cycle, outer.get(), c.n);
    EXPECT_EQ(match.floor, c.floor);
    if (c.floor == nullptr) continue;
    EXPECT_TRUE(match.point == c.point);
    if (c.atStart >= 0) {
      EXPECT_EQ(match.atStart, c.atStart == 1);
    }
  }
  outer->next = endOnly->next = apart->next = nullptr;
}

}  // namespace
