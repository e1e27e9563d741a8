#include "elements/base/OverlapIndex.h"

#include <algorithm>
#include <cmath>

#include "elements/base/ElementChildren.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproElement.h"
#include "foundation/Geometry3D.h"
#include "foundation/ppMatrix4.h"

namespace {

// The element's own box, as the overlap test asks for it.
constexpr int32_t kOwnBoxFlags = 0x240;
// Footprints keep this far inside the box (millimetres), so that units that only touch do not overlap.
constexpr float kFootprintInset = 0.02f;
// The far end of the crossing test's rays.
constexpr float kFar = 8999999488.0f;
// A pair whose footprints lie this far apart along x (millimetres) cannot meet in any of the tests.
constexpr float kPruneMargin = 1.0f;
// Plan cells (millimetres). A pair whose extents lie farther apart than kNear on either axis can meet
// only through a corner's ray (see the header); kNear leaves the float rounding of the corner test
// far behind for footprints within kRegular of the origin. Footprints beyond kRegular, or covering
// more than kMostCells cells, are tested by every test.
constexpr float kCell = 1024.0f, kNear = 100.0f, kRegular = 1.0e6f;
constexpr int64_t kMostCells = 256;
// Corner x values are filed in bands this wide (millimetres); a ray is looked for in its own band and
// both neighbours.
constexpr float kBand = 0.01f;

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

// Whether a corner of `b` lies inside `a`: strictly on the inner side of all four edges.
bool CornerInside(const ppVector3 (&a)[4], const ppVector3 (&b)[4]) {
  for (const ppVector3& c : b) {
    bool inside = true;
    for (int32_t e = 0; e < 4 && inside; ++e) inside = OrientationXZ(a[e], a[(e + 1) % 4], c) < 0;
    if (inside) return true;
  }
  return false;
}

// Whether the ray from a corner of `b` toward -z crosses the edges of `a` an odd number of times.
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

// The extents of four corners; false when one is not finite or lies beyond kRegular.
bool Extents(const ppVector3 (&c)[4], float& minX, float& maxX, float& minZ, float& maxZ) {
  minX = std::min({c[0].x, c[1].x, c[2].x, c[3].x});
  maxX = std::max({c[0].x, c[1].x, c[2].x, c[3].x});
  minZ = std::min({c[0].z, c[1].z, c[2].z, c[3].z});
  maxZ = std::max({c[0].z, c[1].z, c[2].z, c[3].z});
  bool regular = true;
  for (const ppVector3& p : c) regular = regular && std::fabs(p.x) <= kRegular && std::fabs(p.z) <= kRegular;
  return regular;  // false for a NaN too
}

int32_t CellOf(float v) { return int32_t(std::floor(v / kCell)); }
uint64_t CellKey(int32_t x, int32_t z) { return (uint64_t(uint32_t(x)) << 32) | uint32_t(z); }
int64_t BandOf(float x) { return int64_t(std::floor(double(x) / double(kBand))); }

void Drop(std::vector<int32_t>& list, int32_t id) {
  const auto at = std::find(list.begin(), list.end(), id);
  if (at != list.end()) {
    *at = list.back();
    list.pop_back();
  }
}

// The plain walk: every element of the tree below `element` that is neither moved nor excluded.
bool WalkMeets(zelvproElement* element, zelvproElement* canvas, const qxViewHolder* moved,
               const ppVector3 (&a)[4], float aMinX, float aMaxX, float rY, float rHalf) {
  if (element != canvas && !(moved != nullptr && moved->Holds(element)) &&
      !qxViewHolder::IsExcluded(element)) {
    const ppBounds3 oBox = element->GetBounds(0, kOwnBoxFlags);
    ppVector3 o[4];
    FootprintCorners(element, oBox, o);
    const float oMinX = std::min({o[0].x, o[1].x, o[2].x, o[3].x});
    const float oMaxX = std::max({o[0].x, o[1].x, o[2].x, o[3].x});
    if (!(oMinX > aMaxX + kPruneMargin || oMaxX < aMinX - kPruneMargin)) {
      ppVector3 oAt;
      element->GetAbsolutePosition(oAt);
      if (std::fabs(rY - oAt.y) < rHalf + oBox.half.y && FootprintsOverlap(a, o)) return true;
    }
  }
  bool met = false;
  ForEachChildElement(*element, [&](zelvproElement* child) {
    met = met || WalkMeets(child, canvas, moved, a, aMinX, aMaxX, rY, rHalf);
  });
  return met;
}

}  // namespace

OverlapIndex::OverlapIndex(zelvproElement& canvas) : canvas_(canvas) {}

OverlapIndex::~OverlapIndex() = default;

// ---- Notices.

OverlapIndex::Unit& OverlapIndex::Record(ppView* view) {
  std::unique_ptr<Unit>& unit = units_[view];
  if (unit == nullptr) unit = std::make_unique<Unit>();
  return *unit;
}

void OverlapIndex::MarkStale(ppView* view) {
  Unit& record = Record(view);
  if (record.stale) return;
  record.stale = true;
  stale_.push_back(view);
}

void OverlapIndex::ViewAdded(ppView* view) { MarkStale(view); }

void OverlapIndex::UnitChanged(zelvproElement* unit) {
  if (unit != nullptr) MarkStale(unit);
}

void OverlapIndex::ViewRemoved(ppView* view) {
  const auto found = units_.find(view);
  if (found == units_.end()) return;
  Unfile(*found->second);
  units_.erase(found);
  stale_.erase(std::remove(stale_.begin(), stale_.end(), view), stale_.end());
}

// ---- Filing.

int32_t OverlapIndex::NewPrint() {
  if (!freePrints_.empty()) {
    const int32_t id = freePrints_.back();
    freePrints_.pop_back();
    return id;
  }
  prints_.emplace_back();
  return int32_t(prints_.size()) - 1;
}

void OverlapIndex::Unfile(Unit& unit) {
  for (const int32_t id : unit.prints) {
    Print& p = prints_[size_t(id)];
    if (p.loose) {
      Drop(loose_, id);
    } else {
      for (int32_t x = CellOf(p.minX); x <= CellOf(p.maxX); ++x)
        for (int32_t z = CellOf(p.minZ); z <= CellOf(p.maxZ); ++z) {
          const auto cell = cells_.find(CellKey(x, z));
          if (cell != cells_.end()) Drop(cell->second, id);
        }
      for (int32_t i = 0; i < 4; ++i) {
        const auto band = columns_.find(BandOf(p.corners[i].x));
        if (band != columns_.end()) Drop(band->second, id);
      }
    }
    p.element = nullptr;
    freePrints_.push_back(id);
  }
  unit.prints.clear();
}

void OverlapIndex::FileTree(Unit& unit, zelvproElement* element) {
  const int32_t id = NewPrint();
  unit.prints.push_back(id);
  const ppBounds3 box = element->GetBounds(0, kOwnBoxFlags);
  Print& p = prints_[size_t(id)];
  p.element = element;
  FootprintCorners(element, box, p.corners);
  p.seen = test_;
  const bool regular = Extents(p.corners, p.minX, p.maxX, p.minZ, p.maxZ);
  p.loose = !regular ||
            (int64_t(CellOf(p.maxX)) - CellOf(p.minX) + 1) * (int64_t(CellOf(p.maxZ)) - CellOf(p.minZ) + 1) >
                kMostCells;
  if (p.loose) {
    loose_.push_back(id);
  } else {
    for (int32_t x = CellOf(p.minX); x <= CellOf(p.maxX); ++x)
      for (int32_t z = CellOf(p.minZ); z <= CellOf(p.maxZ); ++z) cells_[CellKey(x, z)].push_back(id);
    for (int32_t i = 0; i < 4; ++i) {
      std::vector<int32_t>& band = columns_[BandOf(p.corners[i].x)];
      if (band.empty() || band.back() != id) band.push_back(id);
    }
  }
  ForEachChildElement(*element, [&](zelvproElement* child) { FileTree(unit, child); });
}

void OverlapIndex::File(ppView* view, Unit& unit) {
  Unfile(unit);
  if (view->GetSupervisor() != &canvas_) return;
  if (auto* element = dynamic_cast<zelvproElement*>(view)) FileTree(unit, element);
}

void OverlapIndex::Flush() {
  // Reading a tree may rebuild its geometry and so note it again: the notice is kept for the next test.
  flushing_.swap(stale_);
  for (ppView* view : flushing_) {
    const auto found = units_.find(view);
    if (found == units_.end() || !found->second->stale) continue;
    found->second->stale = false;
    File(view, *found->second);
  }
  flushing_.clear();
}

// ---- The test.

bool OverlapIndex::Meets(int32_t id, const qxViewHolder* moved, const Moved& r) {
  Print& o = prints_[size_t(id)];
  if (o.element == nullptr || o.seen == test_) return false;
  o.seen = test_;
  if (o.minX > r.maxX + kPruneMargin || o.maxX < r.minX - kPruneMargin) return false;
  if ((moved != nullptr && moved->Holds(o.element)) || qxViewHolder::IsExcluded(o.element)) return false;
  // Heights are read afresh: some steps write them without a notice, and they do not move footprints.
  const ppBounds3 oBox = o.element->GetBounds(0, kOwnBoxFlags);
  ppVector3 oAt;
  o.element->GetAbsolutePosition(oAt);
  if (!(std::fabs(r.y - oAt.y) < r.halfHeight + oBox.half.y)) return false;
  return FootprintsOverlap(r.corners, o.corners);
}

bool OverlapIndex::Overlaps(const qxViewHolder* moved) {
  Flush();
  for (const qxViewHolder* h = moved; h != nullptr; h = h->Next()) {
    zelvproElement* element = h->Element();
    if (element == nullptr) continue;
    ++test_;
    Moved r;
    const ppBounds3 box = element->GetBounds(0, kOwnBoxFlags);
    ppVector3 at;
    element->GetAbsolutePosition(at);
    r.y = at.y, r.halfHeight = box.half.y;
    FootprintCorners(element, box, r.corners);
    const bool regular = Extents(r.corners, r.minX, r.maxX, r.minZ, r.maxZ);
    const int32_t x0 = CellOf(r.minX - kNear), x1 = CellOf(r.maxX + kNear);
    const int32_t z0 = CellOf(r.minZ - kNear), z1 = CellOf(r.maxZ + kNear);
    if (!regular || (int64_t(x1) - x0 + 1) * (int64_t(z1) - z0 + 1) > kMostCells) {
      // Out of the cells' reach: every print is tested.
      for (int32_t id = 0; id < int32_t(prints_.size()); ++id)
        if (Meets(id, moved, r)) return true;
      continue;
    }
    for (const int32_t id : loose_)
      if (Meets(id, moved, r)) return true;
    for (int32_t x = x0; x <= x1; ++x)
      for (int32_t z = z0; z <= z1; ++z) {
        const auto cell = cells_.find(CellKey(x, z));
        if (cell == cells_.end()) continue;
        for (const int32_t id : cell->second)
          if (Meets(id, moved, r)) return true;
      }
    // Farther off, only a ray through a corner's x can cross a footprint oddly.
    for (const ppVector3& c : r.corners) {
      const int64_t band = BandOf(c.x);
      for (int64_t b = band - 1; b <= band + 1; ++b) {
        const auto column = columns_.find(b);
        if (column == columns_.end()) continue;
        for (const int32_t id : column->second)
          if (Meets(id, moved, r)) return true;
      }
    }
  }
  return false;
}

bool OverlapIndex::PlainOverlaps(zelvproElement& canvas, const qxViewHolder* moved) {
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
    if (WalkMeets(&canvas, &canvas, moved, a, aMinX, aMaxX, rAt.y, rBox.half.y)) return true;
  }
  return false;
}
