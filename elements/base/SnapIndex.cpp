#include "elements/base/SnapIndex.h"

#include <algorithm>
#include <cmath>
#include <typeinfo>
#include <utility>

#include "elements/base/zelvproElement.h"
#include "foundation/ppMatrix4.h"
#include "framework/ppView.h"

namespace {

// The side of a cell (millimetres).
constexpr double kCell = 500.0;
// Anchors and queries farther out than this along x or z (millimetres) are not filed in cells: there
// a float's steps grow beyond the slack below.
constexpr float kFarthest = 1.0e7f;
// What float rounding may take off a distance measured across cells (millimetres), and the part
// relative to the distance kept on top of every comparison of a filed point with the nearest so far.
constexpr double kSlack = 4.0, kRelativeSlack = 1.0e-6;
// The margin (millimetres) on top of the plan distance of a filed point before it is measured.
constexpr double kMeasureSlack = 0.01;

int32_t CellOf(float v) { return int32_t(std::floor(double(v) / kCell)); }
uint64_t CellWord(int64_t x, int64_t z) {
  return uint64_t(uint32_t(int32_t(x))) << 32 | uint32_t(int32_t(z));
}

bool Fileable(const ppVector3& p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z) && std::fabs(p.x) <= kFarthest &&
         std::fabs(p.z) <= kFarthest;
}

zelvproElement* ElementOf(ppView* view) {
  return view != nullptr && view->GetTypeCode() == zelvproElement::kTypeCode
             ? static_cast<zelvproElement*>(view)
             : nullptr;
}

// Whether the element's class answers snap searches its own way (overrides NearestSnap). With GCC the
// element's search is compared with the base class's; elsewhere every element but a plain one counts
// as searching its own way, which keeps the answers and only loses the speed.
bool SearchesOwnWay(zelvproElement* element) {
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpmf-conversions"
  using Search = zelvproElement* (*)(zelvproElement*, const SnapAnchor&, SnapAnchor&, float&, int32_t&,
                                     zelvproElement*, uint32_t);
  static const Search base = (Search)(&zelvproElement::NearestSnap);
  return (Search)(element->*(&zelvproElement::NearestSnap)) != base;
#pragma GCC diagnostic pop
#else
  return typeid(*element) != typeid(zelvproElement);
#endif
}

bool TreeSearchesOwnWay(zelvproElement* element) {
  if (SearchesOwnWay(element)) return true;
  const ppViewList& children = element->Subviews();
  for (int32_t c = 0; c < children.Count(); ++c)
    if (zelvproElement* child = ElementOf(children.At(c)); child != nullptr && TreeSearchesOwnWay(child))
      return true;
  return false;
}

// How far apart the filed point and the query lie in the floor plane: never more than NearestSnap's
// distance, in any of its ways of measuring (the height and the larger-of only add to it).
float PlanDistance(const ppVector3& point, const SnapAnchor& query) {
  const float dx = point.x - query.point.x, dz = point.z - query.point.z;
  return std::sqrt(dx * dx + dz * dz);
}

}  // namespace

struct SnapIndex::Unit {
  ppView* view;
  uint64_t order = 0;
  bool stale = false;
  bool apart = false;
  std::vector<Filed> filed;
};

SnapIndex::SnapIndex(ppView& canvas) : canvas_(canvas) {
  const ppViewList& children = canvas.Subviews();
  for (int32_t i = 0; i < children.Count(); ++i) ViewAppended(children.At(i));
}

SnapIndex::~SnapIndex() = default;

// ---- Notices.

SnapIndex::Unit& SnapIndex::Record(ppView* view) {
  std::unique_ptr<Unit>& slot = units_[view];
  if (slot == nullptr) {
    slot = std::make_unique<Unit>();
    slot->view = view;
    slot->order = nextOrder_++;
    MarkStale(*slot);  // a new child is filed at the next search
  }
  return *slot;
}

void SnapIndex::MarkStale(Unit& unit) {
  if (unit.stale) return;
  unit.stale = true;
  stale_.push_back(&unit);
}

void SnapIndex::ViewAppended(ppView* view) {
  // The view may still be under construction: it is only looked at when filed.
  MarkStale(Record(view));
}

void SnapIndex::ViewInserted(ppView* view) {
  MarkStale(Record(view));
  orderStale_ = true;
}

void SnapIndex::ViewRemoved(ppView* view) {
  auto found = units_.find(view);
  if (found == units_.end()) return;
  Unit* unit = found->second.get();
  Unfile(*unit);
  stale_.erase(std::remove(stale_.begin(), stale_.end(), unit), stale_.end());
  apart_.erase(std::remove(apart_.begin(), apart_.end(), unit), apart_.end());
  units_.erase(found);  // the others keep their relative order
}

void SnapIndex::UnitChanged(zelvproElement* element) {
  auto found = units_.find(element);
  if (found != units_.end()) return MarkStale(*found->second);
  // A child that reached the list without a notice: its place is found by renumbering.
  if (element->GetSupervisor() != &canvas_) return;
  MarkStale(Record(element));
  orderStale_ = true;
}

// ---- Filing.

void SnapIndex::Renumber() {
  const ppViewList& children = canvas_.Subviews();
  for (int32_t i = 0; i < children.Count(); ++i) {
    Record(children.At(i)).order = uint64_t(i);  // entries read their child's order when searched
  }
  nextOrder_ = uint64_t(children.Count());
  orderStale_ = false;
}

void SnapIndex::Flush() {
  if (orderStale_) Renumber();
  // Filing reads the trees only: no notice can arrive meanwhile.
  for (Unit* unit : stale_) {
    unit->stale = false;
    File(*unit);
  }
  stale_.clear();
}

void SnapIndex::Unfile(Unit& unit) {
  for (const Filed& f : unit.filed) {
    auto drop = [&](std::vector<Entry>& list) {
      list.erase(std::remove_if(list.begin(), list.end(), [&](const Entry& e) { return e.unit == &unit; }),
                 list.end());
    };
    auto code = codes_.find(f.key.code);
    if (code == codes_.end()) continue;
    if (f.wide) {
      drop(code->second.wide);
      continue;
    }
    auto cell = code->second.cells.find(CellWord(f.key.x, f.key.z));
    if (cell == code->second.cells.end()) continue;
    drop(cell->second);
    if (cell->second.empty()) code->second.cells.erase(cell);
  }
  unit.filed.clear();
}

void SnapIndex::FileTree(Unit& unit, zelvproElement* element, uint32_t& place, std::vector<Filed>& out) {
  const SnapAnchorList& anchors = std::as_const(element->snapPoints);
  // LocalToWorld's matrix, built once for all the element's anchors.
  ppMatrix4 placement;
  if (!anchors.empty()) element->BuildPlacementMatrix(placement);
  for (int32_t i = 0; i < int32_t(anchors.size()); ++i, ++place) {
    // A linked anchor answers no search; making or breaking a link goes through the anchor list, so
    // the element is filed again then.
    if (anchors[size_t(i)].partner != nullptr) continue;
    ppVector3 point;
    placement.TransformPoint(point, anchors[size_t(i)].point);
    Filed f;
    f.wide = !Fileable(point);
    f.key = CellKey{anchors[size_t(i)].code, f.wide ? 0 : CellOf(point.x), f.wide ? 0 : CellOf(point.z)};
    f.entry = Entry{&unit, element, i, place, point};
    out.push_back(f);
  }
  const ppViewList& children = element->Subviews();
  for (int32_t c = 0; c < children.Count(); ++c)
    if (zelvproElement* child = ElementOf(children.At(c))) FileTree(unit, child, place, out);
}

void SnapIndex::File(Unit& unit) {
  zelvproElement* element = unit.view->GetSupervisor() == &canvas_ ? ElementOf(unit.view) : nullptr;
  const bool apart = element != nullptr && TreeSearchesOwnWay(element);
  if (apart != unit.apart) {
    if (apart)
      apart_.push_back(&unit);
    else
      apart_.erase(std::remove(apart_.begin(), apart_.end(), &unit), apart_.end());
    unit.apart = apart;
  }
  scratch_.clear();
  uint32_t place = 0;
  if (element != nullptr && !apart) FileTree(unit, element, place, scratch_);
  // Most notices (a link made or broken, a child touched) leave every anchor where it was.
  const bool same = std::equal(scratch_.begin(), scratch_.end(), unit.filed.begin(), unit.filed.end(),
                               [](const Filed& a, const Filed& b) {
                                 return a.key == b.key && a.wide == b.wide &&
                                        a.entry.owner == b.entry.owner && a.entry.index == b.entry.index &&
                                        a.entry.place == b.entry.place && a.entry.point == b.entry.point;
                               });
  if (same) return;
  Unfile(unit);
  for (const Filed& f : scratch_) {
    Code& code = codes_[f.key.code];
    if (f.wide) {
      code.wide.push_back(f.entry);
      continue;
    }
    code.cells[CellWord(f.key.x, f.key.z)].push_back(f.entry);
    if (!code.any) {
      code.any = true;
      code.x0 = code.x1 = f.key.x;
      code.z0 = code.z1 = f.key.z;
    } else {
      code.x0 = std::min(code.x0, f.key.x), code.x1 = std::max(code.x1, f.key.x);
      code.z0 = std::min(code.z0, f.key.z), code.z1 = std::max(code.z1, f.key.z);
    }
  }
  unit.filed.swap(scratch_);
}

// ---- Searching.

bool SnapIndex::Collect(const SnapAnchor& query, uint32_t flags, zelvproElement* asker, float best,
                        const std::function<bool(zelvproElement*)>& skip, std::vector<Step>& steps) {
  steps.clear();
  if (!Fileable(query.point)) return false;
  Flush();
  candidates_.clear();
  // A linked anchor is looked for by no plain search; the children asked themselves still are.
  const int64_t wanted = -int64_t(query.code);
  auto code = codes_.end();
  if (query.partner == nullptr && wanted >= INT32_MIN && wanted <= INT32_MAX)
    code = codes_.find(int32_t(wanted));
  if (code != codes_.end()) {
    // Nothing at `best` or beyond replaces; `nearest` shrinks to the nearest anchor that may answer.
    float nearest = best;
    // Anchors are measured as NearestSnap measures them only once their plan distance leaves them a
    // chance: the filed heights are never trusted.
    auto consider = [&](const Entry& e) {
      if (double(PlanDistance(e.point, query)) > double(nearest) * (1.0 + kRelativeSlack) + kMeasureSlack)
        return;
      if (!e.owner->OffersAnchor(e.index, query, flags) || skip(static_cast<zelvproElement*>(e.unit->view)))
        return;
      const float d = e.owner->AnchorDistance(e.index, query, asker, flags);
      if (!(d <= nearest)) return;
      candidates_.push_back(Candidate{e, d});
      nearest = d;
    };
    for (const Entry& e : code->second.wide) consider(e);
    const Code& c = code->second;
    if (c.any) {
      const int64_t qx = CellOf(query.point.x), qz = CellOf(query.point.z);
      // Rings of cells around the query's cell, from the first that meets the code's box to the one
      // that holds it all; ring k lies at least (k - 1) cells away. Once the rings have asked for more
      // cells than the code fills (the nearest lies far out, across empty cells), every filled cell is
      // read instead.
      const int64_t first = std::max({int64_t(0), c.x0 - qx, qx - c.x1, c.z0 - qz, qz - c.z1});
      const int64_t last =
          std::max({std::abs(qx - c.x0), std::abs(qx - c.x1), std::abs(qz - c.z0), std::abs(qz - c.z1)});
      const int64_t budget = int64_t(c.cells.size()) + 16;
      int64_t asked = 0;
      auto visit = [&](int64_t x, int64_t z) {
        if (x < c.x0 || x > c.x1 || z < c.z0 || z > c.z1) return;
        ++asked;
        auto cell = c.cells.find(CellWord(x, z));
        if (cell == c.cells.end()) return;
        for (const Entry& e : cell->second) consider(e);
      };
      for (int64_t k = first; k <= last && asked <= budget; ++k) {
        if (k >= 1 && double(k - 1) * kCell - kSlack > double(nearest) * (1.0 + kRelativeSlack)) break;
        if (k == 0) {
          visit(qx, qz);
          continue;
        }
        const int64_t xa = std::max(qx - k, int64_t(c.x0)), xb = std::min(qx + k, int64_t(c.x1));
        for (int64_t x = xa; x <= xb; ++x) visit(x, qz - k), visit(x, qz + k);
        const int64_t za = std::max(qz - k + 1, int64_t(c.z0)), zb = std::min(qz + k - 1, int64_t(c.z1));
        for (int64_t z = za; z <= zb; ++z) visit(qx - k, z), visit(qx + k, z);
      }
      if (asked > budget) {
        candidates_.clear();
        nearest = best;
        for (const Entry& e : c.wide) consider(e);
        for (const auto& cell : c.cells)
          for (const Entry& e : cell.second) consider(e);
      }
    }
    for (const Candidate& k : candidates_) {
      if (!(k.distance <= nearest)) continue;
      const Entry& e = k.entry;
      steps.push_back(Step{static_cast<zelvproElement*>(e.unit->view), e.owner, e.index, k.distance,
                           e.unit->order, e.place});
    }
  }
  for (Unit* unit : apart_) {
    auto* element = static_cast<zelvproElement*>(unit->view);
    if (!skip(element)) steps.push_back(Step{element, nullptr, 0, 0.0f, unit->order, 0});
  }
  std::sort(steps.begin(), steps.end(), [](const Step& a, const Step& b) {
    return a.order != b.order ? a.order < b.order : a.place < b.place;
  });
  return true;
}
