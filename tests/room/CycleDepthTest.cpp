// The depth and orientation the cycle chaining gives each closed cycle are those of the plainest
// depth test: a line from the cycle's first point to the far point (-1000, -1000) tested against
// every face of the plan in turn. Checked on random plans of faces on a grid (shared corners, faces
// along the test line, corners on it), faces a hair off the grid, long faces spanning the plan's
// cells, faces of no length and plans far from the origin.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "foundation/Geometry3D.h"
#include "foundation/OwnedHandle.h"
#include "room/RoomTestSupport.h"
#include "room/qxLineCycle.h"
#include "room/qxNewRoomCanvas.h"

namespace {

using V = ppVector3;

bool Same(const V& a, const V& b) { return NearlyEqualVec3(a, b, 0.5); }

// The plain depth of `chain` among `faces`: every face whose ends lie on different sides of the line
// from the chain's first point to the far point (a point on it counting with the right), that the
// line meets within its tolerance, and that shares no start and no end with the chain.
uint32_t PlainDepth(const std::vector<WallEdge>& chain, const std::vector<WallEdge>& faces) {
  const V far(-1000.0f, 0.0f, -1000.0f), from = chain.front().start;
  const double lx = double{far.x} - from.x, lz = double{far.z} - from.z;
  const auto left = [&](const V& p) {
    return lx * (double{p.z} - from.z) - lz * (double{p.x} - from.x) > 0.0;
  };
  uint32_t depth = 0;
  for (const WallEdge& face : faces) {
    if (left(face.start) == left(face.end)) continue;
    V hit;
    bool parallel = false;
    if (!IntersectXZ(hit, from, far, face.start, face.end, parallel, 2)) continue;
    bool touches = false;
    for (const WallEdge& own : chain)
      touches = touches || Same(own.start, face.start) || Same(own.end, face.end);
    if (!touches) depth ^= 1u;
  }
  return depth;
}

// A cycle's faces, or the faces it was chained as before it was turned round.
std::vector<WallEdge> FacesOf(const qxLineCycle& cycle, bool turned) {
  std::vector<WallEdge> out;
  for (int32_t i = 0; i < cycle.EdgeCount(); ++i) out.push_back(*cycle.EdgeAt(i));
  if (!turned) return out;
  std::vector<WallEdge> back(out.rbegin(), out.rend());
  for (WallEdge& f : back) std::swap(f.start, f.end);
  return back;
}

bool TurnsPositively(const std::vector<WallEdge>& faces) {
  qxLineCycle cycle(nullptr, 0);
  Vcon_HandleManager::MemNew(&cycle.edges, 0);
  MemInsertBytes(faces.data(), uint32_t(faces.size() * sizeof(WallEdge)), cycle.edges, kMemAppend);
  return qxNewRoomCanvas::IsTurningPositive(cycle);
}

class CycleDepthTest : public roomtest::RoomTest {
 protected:
  // Random faces: closed rooms of grid points (some overlapping, some sharing corners), loose
  // faces, long faces across the plan and faces of no length.
  static std::vector<WallEdge> RandomFaces(std::mt19937& random) {
    std::uniform_int_distribution<int> rooms(1, 12), corners(3, 6), grid(-4, 12), kind(0, 19);
    std::uniform_real_distribution<float> hair(-0.7f, 0.7f), far(-3.0e5f, 3.0e5f);
    const float offset = kind(random) < 3 ? 1.0e6f : 0.0f;
    const auto gridPoint = [&] {
      return V(offset + 500.0f * grid(random), 0, offset + 500.0f * grid(random));
    };
    std::vector<WallEdge> faces;
    const auto add = [&](const V& a, const V& b) {
      WallEdge f;
      f.start = a, f.end = b, f.id = int32_t(faces.size());
      faces.push_back(f);
    };
    for (int r = rooms(random); r > 0; --r) {
      std::vector<V> p;
      for (int n = corners(random); n > 0; --n) p.push_back(gridPoint());
      if (kind(random) == 0) p.front().x += hair(random);  // a corner a hair off its neighbours' end
      for (size_t i = 0; i < p.size(); ++i) add(p[i], p[(i + 1) % p.size()]);
      switch (kind(random)) {
        case 0:
          add(gridPoint(), V(far(random), 0, far(random)));  // a long loose face
          break;
        case 1: {
          const V a = gridPoint();
          add(a, a);  // no length
          break;
        }
        case 2:
          add(gridPoint(), gridPoint());  // a loose face
          break;
        default:
          break;
      }
    }
    std::shuffle(faces.begin(), faces.end(), random);
    return faces;
  }
};

TEST_F(CycleDepthTest, DepthsAndTurningsMatchThePlainTestOnRandomPlans) {
  roomtest::CornerRoom room(db_);
  std::mt19937 random(58);
  int closed = 0, inner = 0, turned = 0;
  for (int plan = 0; plan < 400; ++plan) {
    SCOPED_TRACE(testing::Message() << "plan " << plan);
    const std::vector<WallEdge> faces = RandomFaces(random);
    OwnedHandle handle;
    MemInsertBytes(faces.data(), uint32_t(faces.size() * sizeof(WallEdge)), handle.Get(), kMemAppend);
    std::unique_ptr<qxLineCycle> cycles(room.BuildCycles(handle.Get()));
    for (const qxLineCycle* c = cycles.get(); c != nullptr; c = c->next) {
      if (!c->IsClosed()) continue;
      ++closed;
      // The chaining turns a cycle round when its turning disagrees with its depth. Read either way
      // round, the cycle must be one the plain test explains: its depth that of the faces as
      // chained, and turned round exactly when the faces as chained disagreed. (A cycle crossing
      // itself may turn the same way both ways round, so its turning alone says nothing.)
      const std::vector<WallEdge> straight = FacesOf(*c, false), back = FacesOf(*c, true);
      const uint32_t straightDepth = PlainDepth(straight, faces), backDepth = PlainDepth(back, faces);
      const bool straightFits =
          c->depth == straightDepth && TurnsPositively(straight) == (straightDepth == 1);
      const bool backFits = c->depth == backDepth && TurnsPositively(back) != (backDepth == 1);
      EXPECT_TRUE(straightFits || backFits) << "cycle " << c->id << ": depth " << c->depth << ", plain "
                                            << straightDepth << " or " << backDepth;
      turned += straightDepth != backDepth;
      inner += c->depth == 1;
    }
  }
  // The plans made inner and outer cycles, and the two readings of a cycle seldom differ.
  EXPECT_GT(closed, 1000);
  EXPECT_GT(inner, 300);
  EXPECT_GT(closed - inner, 300);
  EXPECT_LT(turned, closed / 20);
}

}  // namespace
