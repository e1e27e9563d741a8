// The corner steps looking corners up in the chain's index make the same corners, in the same chain
// order, with the same links in the same order, as plain walks over the whole chain: checked on
// random plans with shared ends, ends a hair apart, T-joints, crossings, overlapping walls, walls of
// no length and walls long enough to span the index's cells, in the orders the callers use.
#include <gtest/gtest.h>

#include <cfloat>
#include <map>
#include <memory>
#include <random>
#include <vector>

#include "foundation/Geometry3D.h"
#include "room/RoomTestSupport.h"
#include "room/qxJunction.h"
#include "room/qxNewRoomCanvas.h"

namespace {

using V = ppVector3;

// A room canvas that can also join corners by the plainest walks: every corner of the chain asked,
// in chain order, for every end and every crossing.
class WalkCanvas : public qxNewRoomCanvas {
 public:
  explicit WalkCanvas(zelvDatabase* db) : qxNewRoomCanvas(nullptr, plat::RECT{0, 0, 800, 600}, db) {}
  void DoCommand(int32_t /*command*/, intptr_t /*parameter*/) override {}

  void PlainAttach(qxRoomSegment* s, const V& point) {
    qxJunction* nearest = nullptr;
    float best = FLT_MAX;
    for (qxJunction* j = junctions; j != nullptr; j = j->GetNext()) {
      const float d = Distance3(j->Position(), point);
      if (d < best) best = d, nearest = j;
    }
    if (nearest == nullptr || !(best < 1.0f)) {
      nearest = junctions = new qxJunction(junctions);
      nearest->SetPosition(point);
    }
    nearest->AddSegment(s, true);
  }

  void PlainCrossings(qxRoomSegment* s) {
    const auto firstAt = [&](const V& p) -> qxJunction* {
      for (qxJunction* j = junctions; j != nullptr; j = j->GetNext())
        if (NearlyEqualVec3(j->Position(), p, 0.5)) return j;
      return nullptr;
    };
    for (qxJunction* j = junctions; j != nullptr; j = j->GetNext()) {
      V at;
      for (qxJunctionLink* l = j->FindCrossing(s, at, nullptr); l != nullptr; l = j->FindCrossing(s, at, l)) {
        qxJunction* corner = firstAt(at);
        if (corner == nullptr) {
          corner = junctions = new qxJunction(junctions);
          corner->SetPosition(at);
          corner->SetIntersection(true);
        }
        corner->AddSegment(s, true);
        corner->AddSegment(l->GetSegment(), true);
      }
    }
  }
};

// How the corner steps are called: every end first and then every crossing (the benches), end,
// end, crossings wall by wall (the rebuild command), or the index taken over a chain half made by
// walks (re-attaching after an edit).
enum class Order { kEndsThenCrossings, kWallByWall, kIndexLate };

class CornerIndexTest : public roomtest::RoomTest {
 protected:
  // Walls of one random plan: ends mostly on a 500 mm grid, so that they meet, cross and overlap.
  std::vector<std::pair<V, V>> RandomPlan(std::mt19937& random) {
    std::uniform_int_distribution<int> count(2, 30), grid(0, 8), kind(0, 19);
    std::uniform_real_distribution<float> hair(-1.2f, 1.2f), far(-2.0e6f, 2.0e6f);
    const float offset = kind(random) < 3 ? 1.0e6f : 0.0f;  // far from the origin now and then
    const auto gridPoint = [&] {
      return V(offset + 500.0f * grid(random), 0, offset + 500.0f * grid(random));
    };
    std::vector<std::pair<V, V>> walls;
    for (int n = count(random); n > 0; --n) {
      V a = gridPoint(), b = gridPoint();
      switch (kind(random)) {
        case 0:
          b = a;
          break;  // no length
        case 1:
        case 2:
          a.x += hair(random), a.z += hair(random);
          break;  // an end near a corner
        case 3:
          b = V(far(random), 0, far(random));
          break;  // spans many cells
        case 4:
          a.y = hair(random);
          break;  // a little higher
        case 5:
          if (!walls.empty()) a = walls[size_t(grid(random)) % walls.size()].second;  // the same end
          break;
        default:
          break;
      }
      walls.emplace_back(a, b);
    }
    return walls;
  }

  // The walls made on `canvas` from `plan` and joined in `order`, walking or through the index.
  std::vector<qxRoomSegment*> Join(WalkCanvas& canvas, const std::vector<std::pair<V, V>>& plan, Order order,
                                   bool indexed) {
    std::vector<qxRoomSegment*> walls;
    for (const auto& [a, b] : plan) walls.push_back(MakeSegment(a, b, &canvas));
    const auto attach = [&](qxRoomSegment* s, const V& p) {
      indexed ? canvas.AttachSegmentEnd(s, p) : canvas.PlainAttach(s, p);
    };
    const auto cross = [&](qxRoomSegment* s) {
      indexed ? canvas.AddCrossingJunctions(s) : canvas.PlainCrossings(s);
    };
    const size_t half = walls.size() / 2;
    switch (order) {
      case Order::kEndsThenCrossings:
        if (indexed) canvas.BeginCornerIndex();
        for (qxRoomSegment* s : walls) attach(s, s->Start()), attach(s, s->End());
        for (qxRoomSegment* s : walls) cross(s);
        break;
      case Order::kWallByWall:
        if (indexed) canvas.BeginCornerIndex();
        for (qxRoomSegment* s : walls) attach(s, s->Start()), attach(s, s->End()), cross(s);
        break;
      case Order::kIndexLate:
        for (size_t i = 0; i < half; ++i) canvas.PlainAttach(walls[i], walls[i]->Start());
        for (size_t i = 0; i < half; ++i) canvas.PlainCrossings(walls[i]);
        if (indexed) canvas.BeginCornerIndex();
        for (size_t i = half; i < walls.size(); ++i)
          attach(walls[i], walls[i]->Start()), attach(walls[i], walls[i]->End());
        for (size_t i = 0; i < walls.size(); ++i) cross(walls[i]);
        break;
    }
    canvas.EndCornerIndex();
    return walls;
  }

  // The chain as positions, flags, and the walls linked at each corner by their number; then each
  // wall's corners by their place in the chain.
  struct Joined {
    std::vector<std::vector<float>> corners;
    std::vector<std::vector<int>> links, wallCorners;
    bool operator==(const Joined&) const = default;
  };
  static Joined Describe(const WalkCanvas& canvas, const std::vector<qxRoomSegment*>& walls) {
    std::map<const qxRoomSegment*, int> wallNumber;
    for (size_t i = 0; i < walls.size(); ++i) wallNumber[walls[i]] = int(i);
    std::map<const qxJunction*, int> place;
    Joined out;
    for (qxJunction* j = canvas.Junctions(); j != nullptr; j = j->GetNext()) {
      place[j] = int(out.corners.size());
      const V& p = j->Position();
      out.corners.push_back({p.x, p.y, p.z, j->IsIntersection() ? 1.0f : 0.0f});
      out.links.emplace_back();
      for (qxJunctionLink* l = j->GetFirstLink(); l != nullptr; l = l->GetNext())
        out.links.back().push_back(wallNumber.at(l->GetSegment()));
    }
    for (qxRoomSegment* s : walls) {
      out.wallCorners.emplace_back();
      for (qxJunction* j : JunctionsOf(*s)) out.wallCorners.back().push_back(place.at(j));
    }
    return out;
  }
};

TEST_F(CornerIndexTest, IndexedCornerStepsMatchThePlainWalksOnRandomPlans) {
  std::mt19937 random(58);
  int crossings = 0, shared = 0;
  for (int plan = 0; plan < 300; ++plan) {
    const std::vector<std::pair<V, V>> walls = RandomPlan(random);
    for (Order order : {Order::kEndsThenCrossings, Order::kWallByWall, Order::kIndexLate}) {
      SCOPED_TRACE(testing::Message() << "plan " << plan << ", order " << int(order));
      WalkCanvas walked(db_), indexed(db_);
      const Joined expected = Describe(walked, Join(walked, walls, order, false));
      const Joined got = Describe(indexed, Join(indexed, walls, order, true));
      ASSERT_EQ(got.corners, expected.corners);
      ASSERT_EQ(got.links, expected.links);
      ASSERT_EQ(got.wallCorners, expected.wallCorners);
      for (size_t c = 0; c < expected.corners.size(); ++c) {
        crossings += expected.corners[c][3] != 0.0f;
        shared += expected.links[c].size() > 2;
      }
    }
  }
  // The plans did exercise crossings and corners where more than two walls meet.
  EXPECT_GT(crossings, 300);
  EXPECT_GT(shared, 300);
}

TEST_F(CornerIndexTest, TheRebuildCommandMakesTheCornersOfThePlainWalks) {
  // An L room with a wall across it: the command's own loop, indexed, against the walks.
  const std::vector<std::pair<V, V>> walls = {
      {V(0, 0, 0), V(6000, 0, 0)},          {V(6000, 0, 0), V(6000, 0, 3000)},
      {V(6000, 0, 3000), V(3000, 0, 3000)}, {V(3000, 0, 3000), V(3000, 0, 5000)},
      {V(3000, 0, 5000), V(0, 0, 5000)},    {V(0, 0, 5000), V(0, 0, 0)},
      {V(-500, 0, 2000), V(6500, 0, 2000)}};
  WalkCanvas walked(db_), commanded(db_);
  const Joined expected = Describe(walked, Join(walked, walls, Order::kWallByWall, false));
  std::vector<qxRoomSegment*> made;
  for (const auto& [a, b] : walls) made.push_back(MakeSegment(a, b, &commanded));
  commanded.qxNewRoomCanvas::DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
  // The rebuild sorts each wall's corners along it afterwards: the chain and its links are compared.
  const Joined got = Describe(commanded, made);
  EXPECT_EQ(got.corners, expected.corners);
  EXPECT_EQ(got.links, expected.links);
  EXPECT_EQ(expected.corners.size(), 10u);  // six corners, the crossing wall's two ends, two crossings
}

}  // namespace
