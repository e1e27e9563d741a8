// Corners at segment ends and crossings, and the chaining of side faces into cycles.
//
// The walks keep the order in which the corners and cycles are made, which decides their ids and
// the order of the lists. Where a plain walk would compare everything with everything, a cheap test
// skips what cannot match, corners are looked up in an index of the chain while one is kept
// (BeginCornerIndex), and the cycle chaining looks face ends up by plan cell.
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <queue>
#include <utility>
#include <vector>

#include "elements/base/iElementHost.h"
#include "elements/base/zelvproLayerPalette.h"
#include "foundation/Geometry3D.h"
#include "room/OutlineFaceGrid.h"
#include "room/JunctionChainIndex.h"
#include "room/OutlinePointIndex.h"
#include "room/qxJunction.h"
#include "room/qxJunctionLink.h"
#include "room/qxLineCycle.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"

namespace {

// Two outline points are one when every coordinate differs by less than this (millimetres).
constexpr double kSamePoint = 0.5;
// A segment end joins a corner nearer than this (millimetres).
constexpr float kJoinDistance = 1.0f;
// The depth test's line runs from a cycle to this plan point, outside the room.
const ppVector3 kFarPoint(-1000.0f, 0.0f, -1000.0f);

// The x test first, inline: most points asked about are not the same.
bool SamePoint(const ppVector3& a, const ppVector3& b) {
  return std::fabs(double{a.x} - b.x) < kSamePoint && NearlyEqualVec3(a, b, kSamePoint);
}

int32_t NextElementId() {
  zelvproLayerPalette* palette = iElementHost::Current().LayerPalette();
  return palette != nullptr ? palette->NextId() : 0;
}

// The face run the other way: ends and corners exchanged, the arc's sense inverted.
void Reverse(WallEdge& edge) {
  std::swap(edge.start, edge.end);
  std::swap(edge.startJunction, edge.endJunction);
  edge.clockwise = !edge.clockwise;
}

// The segment's plan box, widened so that every crossing the junction's test can report (line
// parameters up to a ten-thousandth outside the ends) and every shared end lies inside it.
struct PlanBox {
  float x0, z0, x1, z1;
};

PlanBox ReachOf(const qxRoomSegment& segment) {
  const ppVector3& a = segment.Start();
  const ppVector3& b = segment.End();
  // A thousandth of the length along x plus that along z: at least ten times the tolerance.
  const float grow = 1.0f + 0.001f * (std::fabs(b.x - a.x) + std::fabs(b.z - a.z));
  return {std::fmin(a.x, b.x) - grow, std::fmin(a.z, b.z) - grow, std::fmax(a.x, b.x) + grow,
          std::fmax(a.z, b.z) + grow};
}

PlanBox Widened(const PlanBox& b, float by) { return {b.x0 - by, b.z0 - by, b.x1 + by, b.z1 + by}; }

bool Inside(const PlanBox& b, const ppVector3& p) {
  return b.x0 <= p.x && p.x <= b.x1 && b.z0 <= p.z && p.z <= b.z1;
}

bool Finite(const PlanBox& b) {
  return std::isfinite(b.x0) && std::isfinite(b.z0) && std::isfinite(b.x1) && std::isfinite(b.z1);
}

// Whether segment t, widened as ReachOf widens, overlaps `reach`. Written out without calls, as it
// runs for every link of every corner; a segment that is not finite is left to the junction's test.
bool MayReach(const qxRoomSegment& t, const PlanBox& reach) {
  const ppVector3& a = t.Start();
  const ppVector3& b = t.End();
  const float grow = 1.0f + 0.001f * (std::fabs(b.x - a.x) + std::fabs(b.z - a.z));
  if (!(grow < FLT_MAX)) return true;
  const bool xUp = a.x < b.x, zUp = a.z < b.z;
  return (xUp ? a.x : b.x) - grow <= reach.x1 && reach.x0 <= (xUp ? b.x : a.x) + grow &&
         (zUp ? a.z : b.z) - grow <= reach.z1 && reach.z0 <= (zUp ? b.z : a.z) + grow;
}

// Whether any segment linked at the corner may cross a segment of plan box `reach`.
bool MayCross(const qxJunction& junction, const PlanBox& reach) {
  for (qxJunctionLink* link = junction.GetFirstLink(); link != nullptr; link = link->GetNext())
    if (MayReach(*link->GetSegment(), reach)) return true;
  return false;
}

}  // namespace

void qxNewRoomCanvas::BeginCornerIndex() { cornerIndex = std::make_unique<JunctionChainIndex>(junctions); }

void qxNewRoomCanvas::EndCornerIndex() { cornerIndex.reset(); }

void qxNewRoomCanvas::AttachSegmentEnd(qxRoomSegment* segment, const ppVector3& point) {
  if (segment == nullptr) return;
  qxJunction* nearest = nullptr;
  float best = FLT_MAX;
  // The nearest corner; of equally near ones the first in the chain.
  const auto consider = [&](qxJunction* j, int64_t rank, int64_t& bestRank) {
    const ppVector3& at = j->Position();
    // A corner a whole join distance off in one coordinate is at least that far: it can neither join
    // the end nor keep a nearer corner from doing so.
    if (!(std::fabs(point.x - at.x) < kJoinDistance && std::fabs(point.y - at.y) < kJoinDistance &&
          std::fabs(point.z - at.z) < kJoinDistance))
      return;
    const float distance = Distance3(at, point);
    if (distance < best || (distance == best && nearest != nullptr && rank < bestRank))
      best = distance, nearest = j, bestRank = rank;
  };
  int64_t bestRank = 0;
  if (cornerIndex != nullptr) {
    cornerIndex->ForNear(
        point, [&](const JunctionChainIndex::Corner& c) { consider(c.junction, c.rank, bestRank); });
  } else {
    int64_t rank = 0;
    for (qxJunction* j = junctions; j != nullptr; j = j->GetNext()) consider(j, rank++, bestRank);
  }
  if (nearest == nullptr || !(best < kJoinDistance)) {
    nearest = junctions = new qxJunction(junctions);
    nearest->SetPosition(point);
    if (cornerIndex != nullptr) cornerIndex->AddAtHead(nearest);
  }
  nearest->AddSegment(segment, true);
  if (cornerIndex != nullptr) cornerIndex->Linked(nearest, segment);
}

qxJunction* qxNewRoomCanvas::FindJunctionAt(const ppVector3& point) const {
  if (cornerIndex != nullptr) {
    const JunctionChainIndex::Corner* first = nullptr;
    cornerIndex->ForNear(point, [&](const JunctionChainIndex::Corner& c) {
      if ((first == nullptr || c.rank < first->rank) && SamePoint(c.junction->Position(), point)) first = &c;
    });
    return first != nullptr ? first->junction : nullptr;
  }
  for (qxJunction* j = junctions; j != nullptr; j = j->GetNext())
    if (SamePoint(j->Position(), point)) return j;
  return nullptr;
}

void qxNewRoomCanvas::AddCrossingJunctions(qxRoomSegment* segment) {
  if (segment == nullptr) return;
  const PlanBox reach = ReachOf(*segment);
  const bool narrow = Finite(reach);
  JunctionChainIndex* index = cornerIndex.get();
  // The corner at a crossing is the first of the chain within 0.5 of it. Every crossing lies in the
  // segment's reach, so without an index only the corners near it are asked, in chain order, after
  // the corners made here, which stand at the head of the chain, newest first.
  std::vector<qxJunction*> nearby, made;
  if (narrow && index == nullptr) {
    const PlanBox zone = Widened(reach, 1.0f);
    for (qxJunction* j = junctions; j != nullptr; j = j->GetNext())
      if (Inside(zone, j->Position())) nearby.push_back(j);
  }
  const auto cornerAt = [&](const ppVector3& point) -> qxJunction* {
    if (index != nullptr || !narrow || !Inside(reach, point)) return FindJunctionAt(point);
    for (auto j = made.rbegin(); j != made.rend(); ++j)
      if (SamePoint((*j)->Position(), point)) return *j;
    for (qxJunction* j : nearby)
      if (SamePoint(j->Position(), point)) return j;
    return nullptr;
  };
  // The indexed walk visits the corners offered and those behind the one being visited that gain a
  // link on the way (the plain walk reaches them later and sees the link), lowest rank first.
  const auto later = [](const JunctionChainIndex::Corner& x, const JunctionChainIndex::Corner& y) {
    return x.rank > y.rank;
  };
  std::priority_queue<JunctionChainIndex::Corner, std::vector<JunctionChainIndex::Corner>, decltype(later)>
      queue(later);
  const bool indexed = index != nullptr && narrow;
  int64_t visiting = std::numeric_limits<int64_t>::min();
  const auto link = [&](qxJunction* corner, qxRoomSegment* s) {
    corner->AddSegment(s, true);
    if (index == nullptr) return;
    index->Linked(corner, s);
    if (const int64_t rank = index->RankOf(corner); indexed && rank > visiting) queue.push({rank, corner});
  };
  const auto visit = [&](qxJunction* j) {
    if (narrow && !MayCross(*j, reach)) return;
    ppVector3 at;
    for (qxJunctionLink* l = j->FindCrossing(segment, at, nullptr); l != nullptr;
         l = j->FindCrossing(segment, at, l)) {
      qxRoomSegment* other = l->GetSegment();
      qxJunction* corner = cornerAt(at);
      if (corner == nullptr) {
        corner = junctions = new qxJunction(junctions);
        corner->SetPosition(at);
        corner->SetIntersection(true);
        made.push_back(corner);
        if (index != nullptr) index->AddAtHead(corner);
      }
      link(corner, segment);
      link(corner, other);
    }
  };
  if (!indexed) {
    // The walk does not visit the corners made during it.
    for (qxJunction* j = junctions; j != nullptr; j = j->GetNext()) visit(j);
    return;
  }
  // Corners made here stand ahead of every corner offered and are not visited.
  std::vector<JunctionChainIndex::Corner> offered;
  index->CornersNear(JunctionChainIndex::Box{reach.x0, reach.z0, reach.x1, reach.z1}, offered);
  for (const JunctionChainIndex::Corner& c : offered) queue.push(c);
  while (!queue.empty()) {
    const JunctionChainIndex::Corner c = queue.top();
    queue.pop();
    if (c.rank <= visiting) continue;  // offered twice
    visiting = c.rank;
    visit(c.junction);
  }
}

namespace {

// The faces to chain, taken one by one into chains in the order a scan of the remaining faces would
// take them.
class CycleChainer {
 public:
  explicit CycleChainer(Handle edges) {
    const int32_t n = WallEdge::CountIn(edges);
    faces_.resize(size_t(n));
    if (n > 0) std::memcpy(faces_.data(), *edges, size_t(n) * sizeof(WallEdge));
    taken_.assign(size_t(n), false);
    for (int32_t i = 0; i < n; ++i) {
      ends_.Add(faces_[size_t(i)].start, i);
      ends_.Add(faces_[size_t(i)].end, i);
    }
    ends_.Seal();
  }

  const std::vector<WallEdge>& Faces() const { return faces_; }

  // The chain that starts with the first face not yet taken; false when every face is taken.
  bool NextChain(std::vector<WallEdge>& chain) {
    chain.clear();
    while (first_ < faces_.size() && taken_[first_]) ++first_;
    if (first_ == faces_.size()) return false;
    taken_[first_] = true;
    chain.push_back(faces_[first_]);
    for (int32_t next = Follower(chain.back().end); next >= 0; next = Follower(chain.back().end)) {
      taken_[size_t(next)] = true;
      WallEdge face = faces_[size_t(next)];
      if (!SamePoint(face.start, chain.back().end)) Reverse(face);
      chain.push_back(face);
    }
    return true;
  }

 private:
  // The first face not yet taken, in the faces' order, that starts or ends at `point`; -1 when none.
  int32_t Follower(const ppVector3& point) const {
    int32_t found = -1;
    ends_.ForNear(point, [&](int32_t i) {
      if (taken_[size_t(i)] || (found >= 0 && i >= found)) return;
      if (SamePoint(faces_[size_t(i)].start, point) || SamePoint(faces_[size_t(i)].end, point)) found = i;
    });
    return found;
  }

  std::vector<WallEdge> faces_;
  std::vector<bool> taken_;
  OutlinePointIndex ends_;  // every face under its start and under its end
  size_t first_ = 0;
};

// Whether some face of the chain starts where `face` starts or ends where it ends. A face with both
// ends off the chain's plan box (widened by the same-point distance) touches none; a long chain
// looks the points up by plan cell, indexed at the first question.
class ChainEnds {
 public:
  explicit ChainEnds(const std::vector<WallEdge>& chain) : chain_(chain) {
    for (const WallEdge& own : chain) {
      for (const ppVector3* p : {&own.start, &own.end}) {
        x0_ = std::fmin(x0_, p->x), x1_ = std::fmax(x1_, p->x);
        z0_ = std::fmin(z0_, p->z), z1_ = std::fmax(z1_, p->z);
      }
    }
  }
  bool Touches(const WallEdge& face) {
    if (Off(face.start) && Off(face.end)) return false;
    if (chain_.size() <= kShortChain) {
      for (const WallEdge& own : chain_)
        if (SamePoint(own.start, face.start) || SamePoint(own.end, face.end)) return true;
      return false;
    }
    if (!indexed_) Index();
    bool found = false;
    starts_.ForNear(face.start,
                    [&](int32_t k) { found = found || SamePoint(chain_[size_t(k)].start, face.start); });
    if (!found)
      ends_.ForNear(face.end,
                    [&](int32_t k) { found = found || SamePoint(chain_[size_t(k)].end, face.end); });
    return found;
  }

 private:
  static constexpr size_t kShortChain = 16;
  // Whether no chain point can be the same as p: its x or z differs from every chain point's by at
  // least the same-point distance. The differences are those SamePoint takes, and rounding keeps
  // their order, so a box edge decides as every point beyond it would. A coordinate that is not a
  // number is never off; chain points that are not numbers match nothing and widen no box.
  bool Off(const ppVector3& p) const {
    return double{x0_} - p.x >= kSamePoint || double{x1_} - p.x <= -kSamePoint ||
           double{z0_} - p.z >= kSamePoint || double{z1_} - p.z <= -kSamePoint;
  }
  void Index() {
    for (int32_t k = 0; k < int32_t(chain_.size()); ++k) {
      starts_.Add(chain_[size_t(k)].start, k);
      ends_.Add(chain_[size_t(k)].end, k);
    }
    starts_.Seal();
    ends_.Seal();
    indexed_ = true;
  }

  const std::vector<WallEdge>& chain_;
  float x0_ = HUGE_VALF, z0_ = HUGE_VALF, x1_ = -HUGE_VALF, z1_ = -HUGE_VALF;
  bool indexed_ = false;
  OutlinePointIndex starts_, ends_;
};

// The plan ends of a face side by side, kept by the face grid's cells, so that the depth test's side
// test, which turns most faces away, reads no whole face.
using PlanEnds = OutlineFaceGrid::Chord;

// Whether IntersectXZ in mode 2 surely finds the line a1-a2 meeting the face b1-b2 within its range
// of the line parameter; false leaves the question to it. Sure when the lines meet at a good angle
// (sine above a two-thousandth: the parameter's rounding stays below a millionth) well inside the
// line (parameter between a thousandth and one less a thousandth, against a tolerance of a
// ten-thousandth outside it).
bool SurelyMeets(const ppVector3& a1, const ppVector3& a2, const PlanEnds& b) {
  const double adx = double{a2.x} - a1.x, adz = double{a2.z} - a1.z;
  const double bdx = double{b.ex} - b.sx, bdz = double{b.ez} - b.sz;
  const double ox = double{a1.x} - b.sx, oz = double{a1.z} - b.sz;
  const double aSize = std::fabs(adx) + std::fabs(adz);
  const double den = bdz * adx - bdx * adz, size = std::fabs(den);
  if (!(size >= 1e-3 && size >= 1e-3 * aSize * (std::fabs(bdx) + std::fabs(bdz)) &&
        std::fabs(ox) + std::fabs(oz) <= 1e6 * aSize))
    return false;
  const double num = (bdx * oz - bdz * ox) * (den < 0 ? -1.0 : 1.0);
  return num >= 1e-3 * size && num <= (1 - 1e-3) * size;
}

// 1 when a line from the chain's first point out to the far point crosses the other faces an odd
// number of times (faces sharing a start or an end with the chain do not count), else 0. A face
// counts only when its ends lie on different sides of the line, a point on the line counting with
// the right: a line through the corner where two faces meet then crosses one of them, not both
// (counting both put the inner face of a room drawn at the origin outside).
uint32_t DepthOf(const std::vector<WallEdge>& chain, const std::vector<WallEdge>& faces,
                 OutlineFaceGrid& grid) {
  ChainEnds own(chain);
  const ppVector3 from = chain.front().start;
  // Whether (px, pz) lies left of the line from -> far point (a positive cross product); a point on
  // the line counts with the right.
  const double lx = double{kFarPoint.x} - from.x, lz = double{kFarPoint.z} - from.z;
  const auto left = [&](float px, float pz) {
    return lx * (double{pz} - from.z) - lz * (double{px} - from.x) > 0.0;
  };
  uint32_t depth = 0;
  // The side test runs in the grid's walk, on the ends its cells keep.
  grid.ForFacesNear(
      from, kFarPoint, [&](const PlanEnds& e) { return left(e.sx, e.sz) != left(e.ex, e.ez); },
      [&](int32_t i, const PlanEnds& e) {
        const WallEdge& face = faces[size_t(i)];
        ppVector3 hit;
        bool parallel = false;
        // Within the line's own tolerance along its length (the crossing lies on the face by the
        // sides).
        if (!SurelyMeets(from, kFarPoint, e) &&
            !IntersectXZ(hit, from, kFarPoint, face.start, face.end, parallel, 2))
          return;
        if (own.Touches(face)) return;
        depth ^= 1u;
      });
  return depth;
}

void SetFaces(qxLineCycle& cycle, const std::vector<WallEdge>& chain) {
  const uint32_t bytes = uint32_t(chain.size() * sizeof(WallEdge));
  Vcon_HandleManager::MemNew(&cycle.edges, bytes);
  std::memcpy(*cycle.edges, chain.data(), bytes);
}

// The signed turn (radians) at b between the directions a->b and b->c in the plan; none where
// either step has no length.
float TurnAt(const ppVector3& a, const ppVector3& b, const ppVector3& c) {
  float dx = b.x - a.x, dz = b.z - a.z;
  const float length = std::sqrt(dx * dx + dz * dz);
  if (!(length > 0.0f)) return 0.0f;
  dx /= length, dz /= length;
  const float ex = c.x - b.x, ez = c.z - b.z;
  float cosine = dx * ex + dz * ez, sine = dx * ez - dz * ex;
  const float r = std::sqrt(cosine * cosine + sine * sine);
  if (!(r > 0.0f)) return 0.0f;
  cosine = std::fmax(-1.0f, std::fmin(1.0f, cosine / r));
  sine = std::fmax(-1.0f, std::fmin(1.0f, sine / r));
  if (sine >= 0.0f) return std::acos(cosine);
  if (cosine < 0.0f) return -std::acos(cosine);
  return std::asin(sine);
}

}  // namespace

qxLineCycle* qxNewRoomCanvas::BuildCycles(Handle edges) {
  CycleChainer chainer(edges);
  OutlineFaceGrid grid(chainer.Faces());
  std::vector<WallEdge> chain;
  qxLineCycle* result = nullptr;
  while (chainer.NextChain(chain)) {
    result = new qxLineCycle(result, NextElementId());
    SetFaces(*result, chain);
    if (!SamePoint(chain.back().end, chain.front().start)) continue;
    result->flags |= qxLineCycle::kClosed;
    result->depth = DepthOf(chain, chainer.Faces(), grid);
    // Inner faces turn positively, outer ones the other way.
    if (IsTurningPositive(*result) != (result->depth == 1)) ReverseCycle(*result);
  }
  return result;
}

bool qxNewRoomCanvas::IsTurningPositive(const qxLineCycle& cycle) {
  const int32_t n = cycle.EdgeCount();
  float sum = 0.0f;
  for (int32_t i = 0; i < n; ++i)
    sum += TurnAt(cycle.EdgeAt(i)->start, cycle.EdgeAt((i + 1) % n)->start, cycle.EdgeAt((i + 2) % n)->start);
  return sum > 0.0f;
}

void qxNewRoomCanvas::ReverseCycle(qxLineCycle& cycle) {
  for (int32_t i = 0, j = cycle.EdgeCount() - 1; i <= j; ++i, --j) {
    WallEdge first = *cycle.EdgeAt(i), last = *cycle.EdgeAt(j);
    Reverse(first);
    Reverse(last);
    *cycle.EdgeAt(i) = last;
    *cycle.EdgeAt(j) = first;
  }
}
