// The side faces of walls: free ends, a mitred corner, a wall meeting another from the side, walls
// continued in line, round walls, the corner neighbour choice and the continuity test of two faces.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "elements/base/iElementHost.h"
#include "elements/base/zelvproLayerPalette.h"
#include "foundation/Geometry3D.h"
#include "foundation/OwnedHandle.h"
#include "platform/HeadlessDriver.h"
#include "room/WallEdge.h"
#include "room/WallSideEdges.h"

namespace {

constexpr float kPi = 3.14159265f;

class PaletteHost : public iElementHost {
 public:
  zelvproLayerPalette* LayerPalette() override { return &palette; }
  zelvproLayerPalette palette;
};

// Distinct corner identities; the faces only hand them through and never look inside.
qxJunction* Tag(int i) {
  static char tags[8];
  return reinterpret_cast<qxJunction*>(&tags[i]);
}

SideEdgeWall Wall(ppVector3 start, ppVector3 end) {
  SideEdgeWall w;
  w.start = start;
  w.end = end;
  w.thickness = 100.0f;
  return w;
}

SideEdgeCorner Corner(int tag, ppVector3 position, std::vector<SideEdgeWall> others = {}) {
  SideEdgeCorner c;
  c.junction = Tag(tag);
  c.position = position;
  c.others = std::move(others);
  return c;
}

struct Face {
  ppVector3 start, end;
  int from, to;  // corner tags
};

std::vector<WallEdge> Build(const SideEdgeSegment& input) {
  OwnedHandle edges(BuildSideEdges(input));
  std::vector<WallEdge> out;
  for (int32_t i = 0; i < WallEdge::CountIn(edges.Get()); ++i) out.push_back(*WallEdge::At(edges.Get(), i));
  return out;
}

void ExpectFaces(const std::vector<WallEdge>& got, const std::vector<Face>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(got[i].start.x, want[i].start.x, 1e-3);
    EXPECT_NEAR(got[i].start.z, want[i].start.z, 1e-3);
    EXPECT_NEAR(got[i].end.x, want[i].end.x, 1e-3);
    EXPECT_NEAR(got[i].end.z, want[i].end.z, 1e-3);
    EXPECT_EQ(got[i].startJunction, Tag(want[i].from));
    EXPECT_EQ(got[i].endJunction, Tag(want[i].to));
    EXPECT_FALSE(got[i].arched);
  }
}

class WallEdgeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    iElementHost::Install(&host_);
  }
  void TearDown() override { iElementHost::Install(nullptr); }

  PaletteHost host_;
};

TEST_F(WallEdgeTest, LoneWallHasEndFacesAndSidesReachingHalfTheThicknessBeyond) {
  SideEdgeSegment in;
  in.wall = Wall({0, 0, 0}, {1000, 0, 0});
  in.segment = reinterpret_cast<qxRoomSegment*>(Tag(7));
  // A corner inside the length that no other wall meets any more changes nothing.
  in.corners = {Corner(0, {0, 0, 0}), Corner(5, {500, 0, 0}), Corner(1, {1000, 0, 0})};
  const std::vector<WallEdge> edges = Build(in);
  ExpectFaces(edges, {{{-50, 0, 50}, {-50, 0, -50}, 0, 0},
                      {{1050, 0, 50}, {1050, 0, -50}, 1, 1},
                      {{-50, 0, 50}, {1050, 0, 50}, 0, 1},
                      {{-50, 0, -50}, {1050, 0, -50}, 0, 1}});
  for (size_t i = 0; i < edges.size(); ++i) {
    EXPECT_EQ(edges[i].segment, in.segment);
    EXPECT_EQ(edges[i].wall, nullptr);
    EXPECT_EQ(edges[i].savedSegmentId, 0);
    EXPECT_EQ(edges[i].id, static_cast<int32_t>(i) + 1);  // fresh numbers in the order made
  }

  // A wall of no length has no direction to extend its ends in: the faces stay finite.
  in.wall = Wall({500, 0, 0}, {500, 0, 0});
  in.corners = {Corner(0, {500, 0, 0})};
  for (const WallEdge& e : Build(in)) {
    EXPECT_TRUE(std::isfinite(e.start.x) && std::isfinite(e.start.z));
    EXPECT_TRUE(std::isfinite(e.end.x) && std::isfinite(e.end.z));
  }
}

TEST_F(WallEdgeTest, RightAngleCornerIsMitred) {
  const SideEdgeWall first = Wall({0, 0, 0}, {1000, 0, 0});
  const SideEdgeWall second = Wall({1000, 0, 0}, {1000, 0, 1000});
  SideEdgeSegment a;
  a.wall = first;
  a.corners = {Corner(0, {0, 0, 0}), Corner(1, {1000, 0, 0}, {second})};
  SideEdgeSegment b;
  b.wall = second;
  b.corners = {Corner(1, {1000, 0, 0}, {first}), Corner(2, {1000, 0, 1000})};
  // Inner faces end at the inner mitre point (950, 50), outer ones at (1050, -50): 100 longer.
  ExpectFaces(Build(a), {{{-50, 0, 50}, {-50, 0, -50}, 0, 0},
                         {{-50, 0, 50}, {950, 0, 50}, 0, 1},
                         {{-50, 0, -50}, {1050, 0, -50}, 0, 1}});
  ExpectFaces(Build(b), {{{950, 0, 1050}, {1050, 0, 1050}, 2, 2},
                         {{950, 0, 50}, {950, 0, 1050}, 1, 2},
                         {{1050, 0, -50}, {1050, 0, 1050}, 1, 2}});
}

TEST_F(WallEdgeTest, WallEndingOnTheSideSplitsOnlyThatSide) {
  const SideEdgeWall through = Wall({0, 0, 0}, {2000, 0, 0});
  const SideEdgeWall side = Wall({1000, 0, 0}, {1000, 0, 1000});  // leaves towards side A
  SideEdgeSegment t;
  t.wall = through;
  t.corners = {Corner(0, {0, 0, 0}), Corner(1, {1000, 0, 0}, {side}), Corner(2, {2000, 0, 0})};
  ExpectFaces(Build(t), {{{-50, 0, 50}, {-50, 0, -50}, 0, 0},
                         {{-50, 0, 50}, {950, 0, 50}, 0, 1},
                         {{2050, 0, 50}, {2050, 0, -50}, 2, 2},
                         {{1050, 0, 50}, {2050, 0, 50}, 1, 2},
                         {{-50, 0, -50}, {2050, 0, -50}, 0, 2}});
  // The side wall's faces start on the near face of the through wall, where its cut lies.
  SideEdgeSegment s;
  s.wall = side;
  s.corners = {Corner(1, {1000, 0, 0}, {through}), Corner(3, {1000, 0, 1000})};
  const std::vector<WallEdge> edges = Build(s);
  ASSERT_EQ(edges.size(), 3u);
  ExpectFaces({edges[1], edges[2]},
              {{{950, 0, 50}, {950, 0, 1050}, 1, 3}, {{1050, 0, 50}, {1050, 0, 1050}, 1, 3}});
}

TEST_F(WallEdgeTest, WallContinuedInLineKeepsItsFaceUnlessAnotherWallTurnsThatWay) {
  const SideEdgeWall own = Wall({0, 0, 0}, {1000, 0, 0});
  const SideEdgeWall inLine = Wall({1000, 0, 0}, {2000, 0, 0});
  const SideEdgeWall left = Wall({1000, 0, 0}, {1000, 0, 1000});    // towards side A
  const SideEdgeWall right = Wall({1000, 0, 0}, {1000, 0, -1000});  // towards side B
  const struct {
    std::vector<SideEdgeWall> others;
    bool trimmed;
    float x;
  } kCases[] = {
      {{inLine}, false, 1000},
      {{inLine, right}, false, 1000},
      {{inLine, left}, true, 950},
      {{left, inLine}, true, 950},
  };
  for (const auto& c : kCases) {
    ppVector3 p(1000, 0, 50);  // the end of side A
    const bool trimmed = TrimAtJunction(Corner(1, {1000, 0, 0}, c.others), p, {0, 0, 50}, false, false, own);
    EXPECT_EQ(trimmed, c.trimmed);
    EXPECT_NEAR(p.x, c.x, 1e-3);
    EXPECT_NEAR(p.z, 50, 1e-3);
  }
}

TEST_F(WallEdgeTest, RoundWallSidesLieOnConcentricArcs) {
  for (const bool clockwise : {true, false}) {
    SCOPED_TRACE(clockwise);
    SideEdgeSegment in;
    in.wall = Wall({-1000, 0, 0}, {1000, 0, 0});
    in.wall.arched = true;
    in.wall.radius = 1000;
    in.wall.clockwise = clockwise;
    const std::vector<WallEdge> edges = Build(in);
    ASSERT_EQ(edges.size(), 2u);
    // A clockwise arc bulges towards +z; side A is its outer side then.
    EXPECT_NEAR(edges[0].radius, clockwise ? 1050 : 950, 1e-3);
    EXPECT_NEAR(edges[1].radius, clockwise ? 950 : 1050, 1e-3);
    for (const WallEdge& e : edges) {
      EXPECT_TRUE(e.arched);
      EXPECT_EQ(e.clockwise, clockwise);
      EXPECT_NEAR(Distance3(e.start, e.centre), e.radius, 1e-2);
      EXPECT_NEAR(Distance3(e.end, e.centre), e.radius, 1e-2);
    }
  }
}

TEST(WallEdgeNeighbourTest, StrictlyBetterTurnWinsAndEqualTurnKeepsTheEarlier) {
  // The own wall arrives at the corner (0, 0, 0) along +x; +z is a turn of -pi/2, -z one of +pi/2.
  const ppVector3 corner(0, 0, 0), ownFar(-1000, 0, 0), towardsA(0, 0, 1000), towardsB(0, 0, -1000);
  const struct {
    bool side;
    float best;
    ppVector3 far;
    bool wins;
    float bestAfter;
  } kCases[] = {
      {false, kPi, towardsA, true, -kPi / 2},
      {false, -kPi / 2, towardsA, false, -kPi / 2},
      {false, 0, towardsB, false, 0},
      {true, -kPi, towardsB, true, kPi / 2},
      {true, kPi / 2, towardsB, false, kPi / 2},
      {true, -kPi, towardsA, true, -kPi / 2},
      {false, kPi, {1000, 0, 0}, true, 0},
  };
  const SideEdgeWall neighbour;
  for (const auto& c : kCases) {
    float best = c.best;
    ppVector3 kept(7, 7, 7);
    const SideEdgeWall* got = PickCornerNeighbour(&neighbour, best, kept, corner, ownFar, c.far, c.side);
    EXPECT_EQ(got, c.wins ? &neighbour : nullptr);
    EXPECT_NEAR(best, c.bestAfter, 1e-5);
    EXPECT_EQ(kept, c.wins ? c.far : ppVector3(7, 7, 7));
  }
}

TEST(WallEdgeContinuityTest, SharedEndAndSlope) {
  const struct {
    ppVector3 p0, p1, q0, q1;
    bool strict, expected;
  } kCases[] = {
      {{0, 0, 0}, {100, 0, 200}, {0, 0, 0}, {300, 0, 100}, false, true},    // shared start is enough
      {{0, 0, 0}, {100, 0, 200}, {0, 0, 0}, {300, 0, 100}, true, false},    // slopes differ
      {{0, 0, 0}, {100, 0, 200}, {0, 0, 0}, {-50, 0, 100}, true, true},     // same slope magnitude
      {{0, 0, 0}, {100, 0, 200}, {50, 0, 100}, {100, 0, 200}, true, true},  // shared end, same slope
      {{0, 0, 0}, {100, 0, 200}, {100, 0, 200}, {0, 0, 0}, false, false},   // crossed pair
      {{0, 0, 0}, {100, 0, 200}, {1, 0, 0}, {100, 0, 201}, false, false},   // nothing shared
      {{0, 0, 0}, {100, 0, 0}, {0, 0, 0}, {-300, 0, 0.0005f}, true, true},  // both along x
      {{0, 0, 0}, {100, 0, 0}, {50, 0, -100}, {100, 0, 0}, true, false},    // only one along x
  };
  for (const auto& c : kCases) {
    WallEdge p, q;
    p.start = c.p0;
    p.end = c.p1;
    q.start = c.q0;
    q.end = c.q1;
    EXPECT_EQ(p.SharesEndAndSlope(q, c.strict), c.expected) << c.q1.x << " " << c.strict;
  }
}

}  // namespace
