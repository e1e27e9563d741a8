// The top canvas's queries for the moving tasks: the snap search, the overlap test and the edge
// search. Distances and points are plan millimetres (x and z span the floor, y is height).
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "elements/base/ElementChildren.h"
#include "elements/base/PlanPixels.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproTopCanvas.h"
#include "foundation/Geometry3D.h"
#include "foundation/ppMatrix4.h"

namespace {

// The element's own box, without its children.
constexpr int32_t kOwnBoxFlags = 0x240;
// Footprints keep this far inside the box (millimetres), so that units that only touch do not overlap.
constexpr float kFootprintInset = 0.02f;
// The far end of the crossing test's segments and the start of an empty extent.
constexpr float kFar = 8999999488.0f;
// A pair whose footprints lie this far apart along x (millimetres) cannot meet in any of the tests.
constexpr float kPruneMargin = 1.0f;

// The corners of `element`'s footprint in its container's frame, in edge order.
void FootprintCorners(zelvproElement* element, const ppBounds3& box, ppVector3 (&out)[4]) {
  const float w = 2.0f * box.half.x - kFootprintInset, d = 2.0f * box.half.z - kFootprintInset;
  const ppVector3 local[4] = {ppVector3(kFootprintInset, 0, kFootprintInset),
                              ppVector3(w, 0, kFootprintInset), ppVector3(w, 0, d),
                              ppVector3(kFootprintInset, 0, d)};
  ppMatrix4 placement;
  element->BuildPlacementMatrix(placement);
  for (int32_t i = 0; i < 4; ++i) placement.TransformPoint(out[i], local[i]);
}

// Whether a corner of `b` lies inside `a`: strictly on the inner side of all four edges, or an odd
// number of edges of `a` crossed on the way to the far point.
bool CornerInside(const ppVector3 (&a)[4], const ppVector3 (&b)[4]) {
  for (const ppVector3& c : b) {
    bool inside = true;
    for (int32_t e = 0; e < 4 && inside; ++e) inside = OrientationXZ(a[e], a[(e + 1) % 4], c) < 0;
    if (inside) return true;
  }
  return false;
}

bool CornerCrossesOddly(const ppVector3 (&a)[4], const ppVector3 (&b)[4]) {
  for (const ppVector3& c : b) {
    const ppVector3 far(c.x, -kFar, -kFar);
    int32_t crossings = 0;
    for (int32_t e = 0; e < 4; ++e) {
      ppVector3 at;
      if (IntersectSegmentsXZExact(at, c, far, a[e], a[(e + 1) % 4])) ++crossings;
    }
    if (crossings % 2 == 1) return true;
  }
  return false;
}

bool FootprintsOverlap(const ppVector3 (&a)[4], const ppVector3 (&b)[4]) {
  if (CornerInside(a, b) || CornerInside(b, a)) return true;
  if (CornerCrossesOddly(a, b) || CornerCrossesOddly(b, a)) return true;
  for (int32_t i = 0; i < 4; ++i)
    for (int32_t j = 0; j < 4; ++j) {
      ppVector3 at;
      if (IntersectSegmentsXZExact(at, a[i], a[(i + 1) % 4], b[j], b[(j + 1) % 4])) return true;
    }
  return false;
}

// Whether an extent lies wholly on the asked side of `line` and where its corners would stop a move.
template <typename T>
void EdgeCandidates(T& best, T line, T spanStart, T spanEnd, bool positiveSide, T min0, T min1, T max0,
                    T max1) {
  if (spanStart > spanEnd) std::swap(spanStart, spanEnd);
  const bool onSide = positiveSide ? (min0 > line && max0 > line) : (min0 < line && max0 < line);
  if (!onSide) return;
  const T corners[2][2] = {{min0, min1}, {max0, max1}};
  for (const auto& c : corners) {
    if (!(c[1] > spanStart && c[1] < spanEnd)) continue;
    if (positiveSide ? c[0] < best : !(c[0] < best)) best = c[0];
  }
}

}  // namespace

// ---- The snap index and the snap search.

void zelvproTopCanvas::AddSubview(ppView* view) {
  const int32_t before = Subviews().Count();
  zelvproCanvas::AddSubview(view);
  if (snapIndex_ != nullptr && Subviews().Count() > before) snapIndex_->ViewAppended(view);
}

void zelvproTopCanvas::InsertSubview(ppView* view, int32_t index) {
  const int32_t before = Subviews().Count();
  zelvproCanvas::InsertSubview(view, index);
  if (snapIndex_ != nullptr && Subviews().Count() > before) snapIndex_->ViewInserted(view);
}

void zelvproTopCanvas::RemoveSubview(ppView* view) {
  // Only the pointer is used: the view may be half destroyed.
  if (snapIndex_ != nullptr) snapIndex_->ViewRemoved(view);
  zelvproCanvas::RemoveSubview(view);
}

namespace {

bool SameAnchor(const SnapAnchor& a, const SnapAnchor& b) {
  return a.code == b.code && a.point == b.point && a.direction == b.direction && a.level == b.level &&
         a.flags == b.flags && a.word7 == b.word7 && a.partner == b.partner;
}

// Debug builds (the tests among them) walk the plain way beside every indexed search and stop at the
// first answer that differs.
#ifndef NDEBUG
constexpr bool kCheckIndex = true;
#else
constexpr bool kCheckIndex = false;
#endif

[[noreturn]] void IndexAnswerDiffers(const char* search) {
  std::fprintf(stderr, "snap index: %s answered other than the plain walk\n", search);
  std::abort();
}

}  // namespace

zelvproElement* zelvproTopCanvas::NearestSnap(const SnapAnchor& query, SnapAnchor& out, float& best,
                                              int32_t& index, zelvproElement* asker, uint32_t flags) {
  SnapAnchor walkOut = out;
  float walkBest = best;
  int32_t walkIndex = index;
  zelvproElement* walked = nullptr;
  if (kCheckIndex) walked = SearchNearest(query, walkOut, walkBest, walkIndex, asker, flags, false);
  zelvproElement* found = SearchNearest(query, out, best, index, asker, flags, true);
  if (kCheckIndex && (found != walked || !(best == walkBest || (best != best && walkBest != walkBest)) ||
                      index != walkIndex || !SameAnchor(out, walkOut)))
    IndexAnswerDiffers("NearestSnap");
  return found;
}

zelvproElement* zelvproTopCanvas::FindSnap(zelvproElement* element, int32_t& anchorIndex, int32_t& otherIndex,
                                           float limit, const ppVector3& offset, SnapAnchor& entry,
                                           const qxViewHolder* exclusion, bool threeD) {
  int32_t walkAnchor = anchorIndex, walkOther = otherIndex;
  SnapAnchor walkEntry = entry;
  zelvproElement* walked = nullptr;
  if (kCheckIndex)
    walked = SearchSnap(element, walkAnchor, walkOther, limit, offset, walkEntry, exclusion, threeD, false);
  zelvproElement* found =
      SearchSnap(element, anchorIndex, otherIndex, limit, offset, entry, exclusion, threeD, true);
  if (kCheckIndex && (found != walked || anchorIndex != walkAnchor || otherIndex != walkOther ||
                      !SameAnchor(entry, walkEntry)))
    IndexAnswerDiffers("FindSnap");
  return found;
}

// The steps of one search: the kept storage, or a fresh one when a child asked during a search
// searches this canvas again.
std::vector<SnapIndex::Step>& zelvproTopCanvas::StepsFor(std::vector<SnapIndex::Step>& spare) {
  return searching_ ? spare : snapSteps_;
}

zelvproElement* zelvproTopCanvas::SearchNearest(const SnapAnchor& query, SnapAnchor& out, float& best,
                                                int32_t& index, zelvproElement* asker, uint32_t flags,
                                                bool indexed) {
  if (query.partner != nullptr) return nullptr;  // a linked anchor is not looked for
  zelvproElement* found = NearestOwnSnap(query, out, best, index, asker, flags);
  std::vector<SnapIndex::Step> spare;
  std::vector<SnapIndex::Step>& steps = StepsFor(spare);
  if (!indexed || !snapIndex_->Collect(
                      query, flags, asker, best, [](zelvproElement*) { return false; }, steps)) {
    ForEachChildElement(*this, [&](zelvproElement* child) {
      if (zelvproElement* nearer = child->NearestSnap(query, out, best, index, asker, flags)) found = nearer;
    });
    return found;
  }
  const bool outer = !searching_;
  searching_ = true;
  for (const SnapIndex::Step& step : steps) {
    if (step.owner == nullptr) {
      if (zelvproElement* nearer = step.unit->NearestSnap(query, out, best, index, asker, flags))
        found = nearer;
    } else if (step.distance < best) {
      best = step.distance;
      index = step.index;
      out = std::as_const(step.owner->snapPoints)[size_t(step.index)];
      found = step.owner;
    }
  }
  if (outer) searching_ = false;
  return found;
}

zelvproElement* zelvproTopCanvas::SearchSnap(zelvproElement* element, int32_t& anchorIndex,
                                             int32_t& otherIndex, float limit, const ppVector3& offset,
                                             SnapAnchor& entry, const qxViewHolder* exclusion, bool threeD,
                                             bool indexed) {
  anchorIndex = -1;
  float best = FLT_MAX;
  zelvproElement* result = nullptr;
  if (element == nullptr) return nullptr;
  const uint32_t flags = kSnapSkipFlagged | kSnapPassOn | (threeD ? kSnap3D : 0u);
  ppMatrix4 turn;
  turn.SetIdentity();
  ppVector3 up(0.0f, 1.0f, 0.0f);
  turn.RotateAxis(-double(element->GetAngle()), up);
  auto leftOut = [&](zelvproElement* child) {
    return child == element || (exclusion != nullptr && exclusion->Holds(child));
  };
  // A child asked itself, as the plain walk asks every child.
  auto ask = [&](zelvproElement* child, const SnapAnchor& placed, int32_t i) {
    SnapAnchor answer;
    float distance = best;
    int32_t index = 0;
    zelvproElement* found = child->NearestSnap(placed, answer, distance, index, nullptr, flags);
    if (distance < best) {
      best = distance;
      otherIndex = index;
      anchorIndex = i;
      result = found;
      entry = answer;
    }
  };
  std::vector<SnapIndex::Step> spare;
  std::vector<SnapIndex::Step>& steps = StepsFor(spare);
  const bool outer = !searching_;
  for (int32_t i = 0; i < element->GetPointCount(); ++i) {
    SnapAnchor placed;
    element->GetPointEntry(i, placed);
    const ppVector3 local = placed.point;
    turn.TransformPoint(placed.point, local);
    placed.point = placed.point + offset;
    if (!indexed || !snapIndex_->Collect(placed, flags, nullptr, best, leftOut, steps)) {
      ForEachChildElement(*this, [&](zelvproElement* child) {
        if (!leftOut(child)) ask(child, placed, i);
      });
      continue;
    }
    searching_ = true;
    for (const SnapIndex::Step& step : steps) {
      if (step.owner == nullptr) {
        ask(step.unit, placed, i);
      } else if (step.distance < best) {
        best = step.distance;
        otherIndex = step.index;
        anchorIndex = i;
        result = step.owner;
        entry = std::as_const(step.owner->snapPoints)[size_t(step.index)];
      }
    }
    if (outer) searching_ = false;
  }
  return best <= limit ? result : nullptr;
}

// ---- The overlap test.

void zelvproTopCanvas::CollectOverlapCandidates(zelvproElement* element, const qxViewHolder* moved) {
  const bool listed = moved != nullptr && moved->Holds(element);
  if (!listed && !qxViewHolder::IsExcluded(element) && element != this) {
    OverlapFootprint f;
    f.element = element;
    FootprintCorners(element, element->GetBounds(0, kOwnBoxFlags), f.corners);
    f.minX = std::min({f.corners[0].x, f.corners[1].x, f.corners[2].x, f.corners[3].x});
    f.maxX = std::max({f.corners[0].x, f.corners[1].x, f.corners[2].x, f.corners[3].x});
    overlapCandidates_.push_back(f);
  }
  ForEachChildElement(*element, [&](zelvproElement* child) { CollectOverlapCandidates(child, moved); });
}

bool zelvproTopCanvas::Overlaps(const qxViewHolder* moved) {
  overlapCandidates_.clear();  // keeps its storage
  CollectOverlapCandidates(this, moved);
  for (const qxViewHolder* h = moved; h != nullptr; h = h->Next()) {
    zelvproElement* r = h->Element();
    if (r == nullptr) continue;
    const ppBounds3 rBox = r->GetBounds(0, kOwnBoxFlags);
    ppVector3 rAt;
    r->GetAbsolutePosition(rAt);
    ppVector3 a[4];
    FootprintCorners(r, rBox, a);
    const float aMinX = std::min({a[0].x, a[1].x, a[2].x, a[3].x});
    const float aMaxX = std::max({a[0].x, a[1].x, a[2].x, a[3].x});
    for (const OverlapFootprint& o : overlapCandidates_) {
      // Apart along x, no corner test, crossing segment (vertical in x) or edge pair can meet.
      if (o.minX > aMaxX + kPruneMargin || o.maxX < aMinX - kPruneMargin) continue;
      const ppBounds3 oBox = o.element->GetBounds(0, kOwnBoxFlags);
      ppVector3 oAt;
      o.element->GetAbsolutePosition(oAt);
      if (!(std::fabs(rAt.y - oAt.y) < rBox.half.y + oBox.half.y)) continue;
      if (FootprintsOverlap(a, o.corners)) return true;
    }
  }
  return false;
}

// ---- The edge search.

void zelvproTopCanvas::NearestEdgeX(float& best, float line, float spanStart, float spanEnd,
                                    bool positiveSide) {
  ForEachChildElement(*this, [&](zelvproElement* child) {
    ppVector2 min(kFar, kFar), max(-kFar, -kFar);
    child->ExtendBounds2D(min, max);
    EdgeCandidates(best, line, spanStart, spanEnd, positiveSide, min.x, min.y, max.x, max.y);
  });
}

void zelvproTopCanvas::NearestEdgeY(float& best, float line, float spanStart, float spanEnd,
                                    bool positiveSide) {
  ForEachChildElement(*this, [&](zelvproElement* child) {
    ppVector2 min(kFar, kFar), max(-kFar, -kFar);
    child->ExtendBounds2D(min, max);
    EdgeCandidates(best, line, spanStart, spanEnd, positiveSide, min.y, min.x, max.y, max.x);
  });
}

namespace {

void ExtentInPixels(zelvproElement* child, plat::POINT& min, plat::POINT& max) {
  ppVector2 lo(kFar, kFar), hi(-kFar, -kFar);
  child->ExtendBounds2D(lo, hi);
  PlanPointToScreen(ppVector3(lo.x, 0.0f, lo.y), min);
  PlanPointToScreen(ppVector3(hi.x, 0.0f, hi.y), max);
}

}  // namespace

void zelvproTopCanvas::NearestEdgeXPixels(int32_t& best, int32_t line, int32_t spanStart, int32_t spanEnd,
                                          bool positiveSide) {
  ForEachChildElement(*this, [&](zelvproElement* child) {
    plat::POINT min{}, max{};
    ExtentInPixels(child, min, max);
    EdgeCandidates(best, line, spanStart, spanEnd, positiveSide, min.x, min.y, max.x, max.y);
  });
}

void zelvproTopCanvas::NearestEdgeYPixels(int32_t& best, int32_t line, int32_t spanStart, int32_t spanEnd,
                                          bool positiveSide) {
  ForEachChildElement(*this, [&](zelvproElement* child) {
    plat::POINT min{}, max{};
    ExtentInPixels(child, min, max);
    EdgeCandidates(best, line, spanStart, spanEnd, positiveSide, min.y, min.x, max.y, max.x);
  });
}
