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

// The far end of an empty extent.
constexpr float kFar = 8999999488.0f;

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
  if (overlapIndex_ != nullptr && Subviews().Count() > before) overlapIndex_->ViewAdded(view);
}

void zelvproTopCanvas::InsertSubview(ppView* view, int32_t index) {
  const int32_t before = Subviews().Count();
  zelvproCanvas::InsertSubview(view, index);
  if (snapIndex_ != nullptr && Subviews().Count() > before) snapIndex_->ViewInserted(view);
  if (overlapIndex_ != nullptr && Subviews().Count() > before) overlapIndex_->ViewAdded(view);
}

void zelvproTopCanvas::RemoveSubview(ppView* view) {
  // Only the pointer is used: the view may be half destroyed.
  if (snapIndex_ != nullptr) snapIndex_->ViewRemoved(view);
  if (overlapIndex_ != nullptr) overlapIndex_->ViewRemoved(view);
  zelvproCanvas::RemoveSubview(view);
}

void zelvproTopCanvas::TreeWatch::UnitChanged(zelvproElement* unit) {
  if (canvas_.snapIndex_ != nullptr) canvas_.snapIndex_->UnitChanged(unit);
  if (canvas_.overlapIndex_ != nullptr) canvas_.overlapIndex_->UnitChanged(unit);
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
  std::fprintf(stderr, "plan index: %s answered other than the plain walk\n", search);
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

bool zelvproTopCanvas::Overlaps(const qxViewHolder* moved) {
  const bool found = overlapIndex_->Overlaps(moved);
  if (kCheckIndex && found != OverlapIndex::PlainOverlaps(*this, moved)) IndexAnswerDiffers("Overlaps");
  return found;
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
