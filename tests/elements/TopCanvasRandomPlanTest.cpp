// The top canvas's snap search and overlap test on random plans of 500 units (positions, angles,
// anchors, links, groups), before and after random moves, links, unlinks and deletions: every answer
// must equal that of a plain walk over the whole tree written here. The canvas's own snap search (the
// one re-snapping asks) must answer as the plain walk of the element base class, also after anchor
// edits, turns, moves into and out of groups, reordering and units with a search of their own.
// Plan millimetres throughout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "elements/ElementTestSupport.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproTopCanvas.h"
#include "foundation/Geometry3D.h"
#include "foundation/ppMatrix4.h"
#include "platform/HeadlessDriver.h"

namespace {

using eltest::Rect;

constexpr int32_t kUnits = 500;
constexpr float kPlanSize = 20000.0f;  // units stand within this square

// A unit with a box of `size` whose corner is its position.
class RandomUnit : public zelvproElement {
 public:
  RandomUnit(ppView* parent, const ppVector3& at, const ppVector3& size)
      : zelvproElement(0, parent, Rect(0, 0, 10, 10), nullptr, 0, 0), size_(size) {
    position = at;
  }
  ppBounds3 GetBounds(intptr_t /*a*/, int32_t /*flags*/) override {
    ppBounds3 box;
    box.centre = ppVector3(size_.x / 2, size_.y / 2, size_.z / 2);
    box.half = box.centre;
    return box;
  }
  std::vector<SnapAnchor>& Anchors() { return snapPoints; }
  const ppVector3& Size() const { return size_; }
  // A new size, noted as the catalogue's elements note one: the tree's geometry is to be rebuilt.
  void Resize(const ppVector3& size) {
    size_ = size;
    MarkTreePendingUpdate();
  }

 private:
  ppVector3 size_;
};

// A unit whose class has a search of its own (it answers as the base, and counts the questions):
// the index must leave it to be asked in its turn.
class OwnSearchUnit : public RandomUnit {
 public:
  using RandomUnit::RandomUnit;
  zelvproElement* NearestSnap(const SnapAnchor& query, SnapAnchor& out, float& best, int32_t& index,
                              zelvproElement* asker, uint32_t flags) override {
    ++asked;
    return RandomUnit::NearestSnap(query, out, best, index, asker, flags);
  }
  static inline int64_t asked = 0;
};

// ---- The plain walks the answers are checked against.

struct SnapAnswer {
  zelvproElement* found = nullptr;
  int32_t anchor = 7, other = 7;
  SnapAnchor entry;
  bool operator==(const SnapAnswer& o) const {
    return found == o.found && anchor == o.anchor && other == o.other && entry.code == o.entry.code &&
           entry.point.x == o.entry.point.x && entry.point.y == o.entry.point.y &&
           entry.point.z == o.entry.point.z && entry.word7 == o.entry.word7;
  }
};

// The plan's free anchors that a search may find, in the order a walk meets them: children in
// subview order, each child's subtree in pre-order, each element's anchors in order; each point taken
// one level up, into its owner's container frame. The plan must not change while it is in use.
struct FreeAnchor {
  zelvproElement* child;  // the canvas's child whose subtree holds it
  zelvproElement* owner;
  int32_t index;
  SnapAnchor anchor;
  ppVector3 point;
};

void CollectFree(zelvproElement* child, zelvproElement* element, std::vector<FreeAnchor>& out) {
  for (int32_t j = 0; j < element->GetPointCount(); ++j) {
    SnapAnchor a;
    element->GetPointEntry(j, a);
    if (a.partner != nullptr || (a.flags & SnapAnchor::kSkippable) != 0) continue;
    ppVector3 p = a.point;
    element->LocalToWorld(p);
    out.push_back(FreeAnchor{child, element, j, a, p});
  }
  for (int32_t c = 0; c < element->Subviews().Count(); ++c)
    if (auto* inner = dynamic_cast<zelvproElement*>(element->Subviews().At(c)))
      CollectFree(child, inner, out);
}

std::vector<FreeAnchor> FreeAnchors(zelvproTopCanvas& canvas) {
  std::vector<FreeAnchor> out;
  for (int32_t c = 0; c < canvas.Subviews().Count(); ++c)
    if (auto* child = dynamic_cast<zelvproElement*>(canvas.Subviews().At(c))) CollectFree(child, child, out);
  return out;
}

// For each anchor of `moved` placed at `offset`, every free anchor of the other children; strictly
// nearer replaces.
SnapAnswer WalkFindSnap(const std::vector<FreeAnchor>& plan, zelvproElement* moved, float limit,
                        const ppVector3& offset, const qxViewHolder* exclusion, bool threeD) {
  SnapAnswer answer;
  answer.anchor = -1;
  float best = FLT_MAX;
  ppMatrix4 turn;
  turn.SetIdentity();
  ppVector3 up(0.0f, 1.0f, 0.0f);
  turn.RotateAxis(-double(moved->GetAngle()), up);
  for (int32_t i = 0; i < moved->GetPointCount(); ++i) {
    SnapAnchor query;
    moved->GetPointEntry(i, query);
    const ppVector3 local = query.point;
    turn.TransformPoint(query.point, local);
    query.point = query.point + offset;
    if (query.partner != nullptr) continue;  // a linked anchor looks for nothing
    for (const FreeAnchor& f : plan) {
      if (!query.Matches(f.anchor.code) || f.child == moved) continue;
      if (exclusion != nullptr && exclusion->Holds(f.child)) continue;
      const float dx = f.point.x - query.point.x, dz = f.point.z - query.point.z;
      const float dy = threeD ? f.point.y - query.point.y : 0.0f;
      const float d = std::sqrt(dx * dx + dy * dy + dz * dz);
      if (d < best)
        best = d, answer.found = f.owner, answer.anchor = i, answer.other = f.index, answer.entry = f.anchor;
    }
  }
  if (!(best <= limit)) answer.found = nullptr;
  return answer;
}

void Footprint(zelvproElement* e, ppVector3 (&out)[4]) {
  const ppBounds3 box = e->GetBounds(0, 0x240);
  const float w = 2.0f * box.half.x - 0.02f, d = 2.0f * box.half.z - 0.02f;
  const ppVector3 local[4] = {ppVector3(0.02f, 0, 0.02f), ppVector3(w, 0, 0.02f), ppVector3(w, 0, d),
                              ppVector3(0.02f, 0, d)};
  ppMatrix4 m;
  e->BuildPlacementMatrix(m);
  for (int32_t i = 0; i < 4; ++i) m.TransformPoint(out[i], local[i]);
}

bool PlainFootprintsMeet(const ppVector3 (&a)[4], const ppVector3 (&b)[4]) {
  auto cornerIn = [](const ppVector3(&p)[4], const ppVector3(&q)[4]) {
    for (const ppVector3& c : q) {
      bool in = true;
      for (int32_t e = 0; e < 4; ++e) in = in && OrientationXZ(p[e], p[(e + 1) % 4], c) < 0;
      if (in) return true;
      int32_t crossings = 0;
      for (int32_t e = 0; e < 4; ++e) {
        ppVector3 at;
        crossings += IntersectSegmentsXZExact(at, c, ppVector3(c.x, -8999999488.0f, -8999999488.0f), p[e],
                                              p[(e + 1) % 4]);
      }
      if (crossings % 2 == 1) return true;
    }
    return false;
  };
  if (cornerIn(a, b) || cornerIn(b, a)) return true;
  for (int32_t i = 0; i < 4; ++i)
    for (int32_t j = 0; j < 4; ++j) {
      ppVector3 at;
      if (IntersectSegmentsXZExact(at, a[i], a[(i + 1) % 4], b[j], b[(j + 1) % 4])) return true;
    }
  return false;
}

void Gather(zelvproElement* e, std::vector<zelvproElement*>& out) {
  out.push_back(e);
  for (int32_t c = 0; c < e->Subviews().Count(); ++c)
    if (auto* child = dynamic_cast<zelvproElement*>(e->Subviews().At(c))) Gather(child, out);
}

// Every element of the plan's tree with its footprint and height; the plan must not change while it
// is in use.
struct Footprinted {
  zelvproElement* element;
  ppVector3 corners[4];
  float y, halfHeight;
};

std::vector<Footprinted> Footprints(zelvproTopCanvas& canvas) {
  std::vector<zelvproElement*> all;
  for (int32_t c = 0; c < canvas.Subviews().Count(); ++c)
    if (auto* child = dynamic_cast<zelvproElement*>(canvas.Subviews().At(c))) Gather(child, all);
  std::vector<Footprinted> out(all.size());
  for (size_t i = 0; i < all.size(); ++i) {
    out[i].element = all[i];
    Footprint(all[i], out[i].corners);
    ppVector3 at;
    all[i]->GetAbsolutePosition(at);
    out[i].y = at.y;
    out[i].halfHeight = all[i]->GetBounds(0, 0x240).half.y;
  }
  return out;
}

// Each moved element against every other element of the tree; a moved element outside the tree
// (a probe) is measured as it stands.
bool WalkOverlaps(const std::vector<Footprinted>& plan, const qxViewHolder* moved) {
  for (const qxViewHolder* h = moved; h != nullptr; h = h->Next()) {
    auto r = std::find_if(plan.begin(), plan.end(),
                          [&](const Footprinted& f) { return f.element == h->Element(); });
    Footprinted loose;
    if (r == plan.end()) {
      loose.element = h->Element();
      Footprint(loose.element, loose.corners);
      ppVector3 at;
      loose.element->GetAbsolutePosition(at);
      loose.y = at.y;
      loose.halfHeight = loose.element->GetBounds(0, 0x240).half.y;
    }
    const Footprinted* m = r == plan.end() ? &loose : &*r;
    for (const Footprinted& o : plan) {
      if (moved->Holds(o.element) || qxViewHolder::IsExcluded(o.element)) continue;
      if (std::fabs(m->y - o.y) < m->halfHeight + o.halfHeight && PlainFootprintsMeet(m->corners, o.corners))
        return true;
    }
  }
  return false;
}

// ---- The random plans.

class TopCanvasRandomPlanTest : public eltest::ElementTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    ElementTest::SetUp();
    canvas_ = std::make_unique<zelvproTopCanvas>(nullptr, Rect(0, 0, 800, 600), nullptr);
  }
  void TearDown() override {
    canvas_.reset();
    ElementTest::TearDown();
  }

  float Uniform(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng_); }
  int32_t Pick(int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng_); }
  // Often on a 100 mm grid, so that equal distances and touching boxes come up.
  float Coordinate(float lo, float hi) {
    const float v = Uniform(lo, hi);
    return Pick(0, 2) == 0 ? v : std::round(v / 100.0f) * 100.0f;
  }
  float Angle() {
    const float right[] = {0.0f, 1.5707964f, 3.1415927f, 4.712389f};
    return Pick(0, 2) == 0 ? Uniform(-3.2f, 3.2f) : right[Pick(0, 3)];
  }
  void AddAnchors(RandomUnit* u, int32_t most) {
    for (int32_t n = Pick(0, most); n > 0; --n) {
      SnapAnchor a;
      a.code = Pick(1, 3) * (Pick(0, 1) == 0 ? 1 : -1);
      a.point = ppVector3(Coordinate(0, 600), Pick(0, 1) * 300.0f, Coordinate(0, 600));
      a.flags = Pick(0, 9) == 0 ? SnapAnchor::kSkippable : 0u;
      a.word7 = Pick(0, 1000000);
      u->Anchors().push_back(a);
    }
  }
  RandomUnit* AddUnit(ppView* parent, bool nested) {
    const ppVector3 at = nested ? ppVector3(Coordinate(-300, 600), Pick(0, 1) * 700.0f, Coordinate(-300, 600))
                                : ppVector3(Coordinate(0, kPlanSize), Pick(0, 3) == 0 ? 600.0f : 0.0f,
                                            Coordinate(0, kPlanSize));
    const ppVector3 size(Coordinate(200, 1200), 600, Coordinate(200, 1200));
    auto* u = Pick(0, 30) == 0 ? new OwnSearchUnit(parent, at, size) : new RandomUnit(parent, at, size);
    // Now and then a unit far out of the plan, beyond the index's cells.
    if (!nested && Pick(0, 100) == 0) u->SetPosition(ppVector3(at.x + 5.0e7f, at.y, at.z));
    u->StoreAngle(Angle());
    AddAnchors(u, 4);
    units_.push_back(u);
    return u;
  }
  void BuildPlan() {
    for (int32_t i = 0; i < kUnits; ++i) {
      RandomUnit* u = AddUnit(canvas_.get(), false);
      // Groups: a unit holding one or two others, one of which may hold another in turn.
      if (Pick(0, 5) == 0)
        for (int32_t k = Pick(1, 2); k > 0; --k) {
          RandomUnit* inner = AddUnit(u, true);
          if (Pick(0, 3) == 0) AddUnit(inner, true);
        }
    }
    for (int32_t n = 0; n < kUnits; ++n) LinkRandomPair();
  }
  // Links two free anchors of matching codes on both sides, as a link leaves them.
  void LinkRandomPair() {
    RandomUnit* a = units_[size_t(Pick(0, int32_t(units_.size()) - 1))];
    RandomUnit* b = units_[size_t(Pick(0, int32_t(units_.size()) - 1))];
    if (a == b) return;
    for (SnapAnchor& x : a->Anchors())
      for (SnapAnchor& y : b->Anchors())
        if (x.partner == nullptr && y.partner == nullptr && x.Matches(y.code)) {
          x.partner = b, y.partner = a;
          return;
        }
  }
  void UnlinkRandom() {
    RandomUnit* a = units_[size_t(Pick(0, int32_t(units_.size()) - 1))];
    for (SnapAnchor& x : a->Anchors()) {
      if (x.partner == nullptr) continue;
      for (SnapAnchor& y : static_cast<RandomUnit*>(x.partner)->Anchors())
        if (y.partner == a) y.partner = nullptr;
      x.partner = nullptr;
      return;
    }
  }
  void MoveRandom() {
    RandomUnit* u = units_[size_t(Pick(0, int32_t(units_.size()) - 1))];
    const bool top = u->GetSupervisor() == canvas_.get();
    u->SetPosition(top ? ppVector3(Coordinate(0, kPlanSize), u->GetPosition().y, Coordinate(0, kPlanSize))
                       : ppVector3(Coordinate(-300, 600), u->GetPosition().y, Coordinate(-300, 600)));
    if (Pick(0, 1) == 0) u->StoreAngle(Angle());
  }
  void DeleteRandomTopUnit() {
    const int32_t count = canvas_->Subviews().Count();
    auto* victim = static_cast<RandomUnit*>(canvas_->Subviews().At(Pick(0, count - 1)));
    std::vector<zelvproElement*> gone;
    Gather(victim, gone);
    victim->WillBeDeleted();
    delete victim;
    units_.erase(
        std::remove_if(units_.begin(), units_.end(),
                       [&](RandomUnit* u) { return std::find(gone.begin(), gone.end(), u) != gone.end(); }),
        units_.end());
  }
  RandomUnit* AnyUnit() { return units_[size_t(Pick(0, int32_t(units_.size()) - 1))]; }
  // An anchor moved, recoded, added or taken away; through the anchor list, as the catalogue code does.
  void EditAnchors() {
    RandomUnit* u = AnyUnit();
    const int32_t count = u->GetPointCount();
    switch (Pick(0, 3)) {
      case 0:
        if (count > 0)
          u->snapPoints[size_t(Pick(0, count - 1))].point =
              ppVector3(Coordinate(-900, 1500), 0, Coordinate(-900, 1500));
        break;
      case 1:
        if (count > 0) u->snapPoints[size_t(Pick(0, count - 1))].code = Pick(-3, 3);
        break;
      case 2:
        AddAnchors(u, 2);
        break;
      default:
        // Only a free anchor goes, so that no partner names a missing one.
        if (count > 0 && u->Anchors().back().partner == nullptr) u->Anchors().pop_back();
        break;
    }
  }
  void Turn() { AnyUnit()->StoreAngle(Angle()); }
  // The height written directly, as the 3D view's up and down steps do: no notice.
  void Lift() { AnyUnit()->position.y = Pick(0, 2) * 300.0f; }
  // A unit moves into another unit's group, or out of its group onto the plan.
  void Regroup(RandomUnit* u = nullptr) {
    if (u == nullptr) u = AnyUnit();
    RandomUnit* host = AnyUnit();
    for (ppView* v = host; v != nullptr; v = v->GetSupervisor())
      if (v == u) return;  // never into its own tree
    u->DetachFromSupervisor();
    if (Pick(0, 1) == 0) {
      host->AddSubview(u);
      u->SetPosition(ppVector3(Coordinate(-300, 600), u->GetPosition().y, Coordinate(-300, 600)));
    } else {
      canvas_->InsertSubview(u, Pick(0, canvas_->Subviews().Count()));
      u->SetPosition(ppVector3(Coordinate(0, kPlanSize), u->GetPosition().y, Coordinate(0, kPlanSize)));
    }
  }
  // A child of the plan taken out and put back elsewhere in the drawing order.
  void Reorder() {
    ppView* child = canvas_->Subviews().At(Pick(0, canvas_->Subviews().Count() - 1));
    canvas_->RemoveSubview(child);
    canvas_->InsertSubview(child, Pick(0, canvas_->Subviews().Count()));
  }
  void DeleteRandomUnit() {
    RandomUnit* victim = AnyUnit();
    std::vector<zelvproElement*> gone;
    Gather(victim, gone);
    victim->WillBeDeleted();
    delete victim;
    units_.erase(
        std::remove_if(units_.begin(), units_.end(),
                       [&](RandomUnit* u) { return std::find(gone.begin(), gone.end(), u) != gone.end(); }),
        units_.end());
  }
  // The edits the index must follow beyond moves and links.
  void Rearrange() {
    for (int32_t n = 0; n < 100; ++n) EditAnchors();
    for (int32_t n = 0; n < 60; ++n) Turn();
    for (int32_t n = 0; n < 60; ++n) Lift();
    for (int32_t n = 0; n < 40; ++n) Regroup();
    for (int32_t n = 0; n < 30; ++n) Reorder();
    for (int32_t n = 0; n < 20; ++n) DeleteRandomUnit();
    for (int32_t n = 0; n < 20; ++n) AddUnit(canvas_.get(), false);
    for (int32_t n = 0; n < 60; ++n) MoveRandom();
  }

  // The canvas's own search against the base class's plain walk over the same tree: random queries,
  // flags, askers and bests; the out values must agree as well.
  void CheckNearestQueries(int32_t queries) {
    int32_t found = 0;
    for (int32_t q = 0; q < queries; ++q) {
      SnapAnchor query;
      query.code = Pick(-3, 3);
      query.point = Pick(0, 3) == 0 ? ppVector3(Coordinate(-500, kPlanSize + 500), Pick(0, 1) * 300.0f,
                                                Coordinate(-500, kPlanSize + 500))
                                    : ppVector3();
      if (query.point == ppVector3()) {
        // Right on an anchor of the plan: equal distances and zero ones.
        RandomUnit* u = AnyUnit();
        SnapAnchor a;
        if (u->GetPointEntry(0, a)) {
          query.point = a.point;
          u->LocalToWorld(query.point);
          query.code = -a.code;
        }
      }
      if (Pick(0, 20) == 0) query.partner = AnyUnit();
      // Now and then far beyond the index's cells: the plain walk answers.
      if (Pick(0, 30) == 0) query.point.x += 2.0e7f;
      const uint32_t flagChoices[] = {0u, zelvproElement::kSnap3D | zelvproElement::kSnapPassOn,
                                      zelvproElement::kSnapSkipFlagged | zelvproElement::kSnapPassOn,
                                      zelvproElement::kSnapSkipFlagged};
      const uint32_t flags = flagChoices[Pick(0, 3)];
      zelvproElement* asker = Pick(0, 1) == 0 ? nullptr : AnyUnit();
      const float bests[] = {FLT_MAX, FLT_MAX, 1.0f, 400.0f, 0.0f};
      const float best = bests[Pick(0, 4)];
      struct Result {
        zelvproElement* found;
        SnapAnchor out;
        float best;
        int32_t index;
      } want{nullptr, {}, best, -5}, got{nullptr, {}, best, -5};
      want.out.word7 = got.out.word7 = -9;
      want.found = canvas_->zelvproElement::NearestSnap(query, want.out, want.best, want.index, asker, flags);
      got.found = canvas_->NearestSnap(query, got.out, got.best, got.index, asker, flags);
      ASSERT_TRUE(got.found == want.found && got.best == want.best && got.index == want.index &&
                  got.out.code == want.out.code && got.out.point == want.out.point &&
                  got.out.word7 == want.out.word7)
          << "query " << q << ": found " << got.found << " / " << want.found << ", best " << got.best << " / "
          << want.best << ", index " << got.index << " / " << want.index;
      found += want.found != nullptr;
    }
    EXPECT_GT(found, queries / 10);
  }

  void Shake() {
    for (int32_t n = 0; n < 150; ++n) MoveRandom();
    for (int32_t n = 0; n < 100; ++n) LinkRandomPair();
    for (int32_t n = 0; n < 100; ++n) UnlinkRandom();
    for (int32_t n = 0; n < 40; ++n) DeleteRandomTopUnit();
    for (int32_t n = 0; n < 40; ++n) AddUnit(canvas_.get(), false);
  }

  // A random exclusion chain of up to three units; may be empty (null).
  std::unique_ptr<qxViewHolder> RandomChain(int32_t most) {
    std::unique_ptr<qxViewHolder> chain;
    for (int32_t n = Pick(0, most); n > 0; --n)
      chain.reset(
          new qxViewHolder(units_[size_t(Pick(0, int32_t(units_.size()) - 1))], chain.release(), false));
    return chain;
  }

  void CheckSnapQueries(int32_t queries) {
    const std::vector<FreeAnchor> plan = FreeAnchors(*canvas_);
    int32_t found = 0, beyond = 0;
    for (int32_t q = 0; q < queries; ++q) {
      // The moved element: a free one being placed, or a unit of the plan being dragged.
      std::unique_ptr<RandomUnit> loose;
      zelvproElement* moved;
      if (Pick(0, 1) == 0) {
        loose = std::make_unique<RandomUnit>(nullptr, ppVector3(), ppVector3(600, 600, 600));
        loose->StoreAngle(Angle());
        AddAnchors(loose.get(), 4);
        moved = loose.get();
      } else {
        moved = units_[size_t(Pick(0, int32_t(units_.size()) - 1))];
      }
      const ppVector3 offset(Coordinate(-500, kPlanSize + 500), Pick(0, 1) * 300.0f,
                             Coordinate(-500, kPlanSize + 500));
      const float limits[] = {0.0f, 10.0f, 500.0f, 3000.0f, FLT_MAX};
      const float limit = limits[Pick(0, 4)];
      const bool threeD = Pick(0, 1) == 0;
      const std::unique_ptr<qxViewHolder> chain = RandomChain(3);
      SnapAnswer want = WalkFindSnap(plan, moved, limit, offset, chain.get(), threeD);
      SnapAnswer got;
      got.found =
          canvas_->FindSnap(moved, got.anchor, got.other, limit, offset, got.entry, chain.get(), threeD);
      ASSERT_TRUE(got == want) << "query " << q << ": found " << got.found << " / " << want.found
                               << ", anchor " << got.anchor << " / " << want.anchor << ", other " << got.other
                               << " / " << want.other;
      found += want.found != nullptr;
      beyond += want.found == nullptr && want.anchor >= 0;
    }
    // The plans must exercise both sides of the limit.
    EXPECT_GT(found, queries / 10);
    EXPECT_GT(beyond, queries / 20);
  }

  void CheckOverlapQueries(int32_t queries) {
    const std::vector<Footprinted> plan = Footprints(*canvas_);
    int32_t overlapping = 0;
    for (int32_t q = 0; q < queries; ++q) {
      const std::unique_ptr<qxViewHolder> chain = RandomChain(3);
      if (chain == nullptr) continue;
      const bool want = WalkOverlaps(plan, chain.get());
      ASSERT_EQ(canvas_->Overlaps(chain.get()), want) << "query " << q;
      overlapping += want;
    }
    EXPECT_GT(overlapping, queries / 10);
    EXPECT_LT(overlapping, queries * 9 / 10);
  }

  // A loose 10 mm unit at the middle of `u`'s footprint (its container's frame, its absolute height):
  // it overlaps `u` as long as the canvas's footprint of `u` is current, and little else.
  std::unique_ptr<RandomUnit> ProbeAt(RandomUnit* u) {
    ppVector3 at, middle;
    u->GetAbsolutePosition(at);
    ppMatrix4 m;
    u->BuildPlacementMatrix(m);
    m.TransformPoint(middle, ppVector3(u->Size().x / 2, 0, u->Size().z / 2));
    return std::make_unique<RandomUnit>(nullptr, ppVector3(middle.x - 5.0f, at.y, middle.z - 5.0f),
                                        ppVector3(10, u->Size().y, 10));
  }
  // The canvas's answer and the plain walk's for each probe alone; counts the overlapping answers.
  // False at the first answer that differs.
  bool CheckProbes(const std::vector<RandomUnit*>& probes, int32_t& overlapping) {
    const std::vector<Footprinted> plan = Footprints(*canvas_);
    for (RandomUnit* probe : probes) {
      const qxViewHolder chain(probe, nullptr, false);
      const bool want = WalkOverlaps(plan, &chain);
      if (canvas_->Overlaps(&chain) != want) return false;
      overlapping += want;
    }
    return true;
  }

  std::mt19937 rng_{20261207};
  std::vector<RandomUnit*> units_;  // owned by the canvas's tree
  std::unique_ptr<zelvproTopCanvas> canvas_;
};

TEST_F(TopCanvasRandomPlanTest, FindSnapAnswersAsThePlainWalkBeforeAndAfterEdits) {
  BuildPlan();
  CheckSnapQueries(5000);
  Shake();
  CheckSnapQueries(5000);
}

TEST_F(TopCanvasRandomPlanTest, FindSnapFollowsAnchorEditsTurnsRegroupingAndReordering) {
  BuildPlan();
  CheckSnapQueries(1000);
  const int64_t askedBefore = OwnSearchUnit::asked;
  for (int32_t round = 0; round < 4; ++round) {
    Rearrange();
    CheckSnapQueries(1500);
  }
  // The units with a search of their own were asked, not filed.
  EXPECT_GT(OwnSearchUnit::asked, askedBefore);
}

TEST_F(TopCanvasRandomPlanTest, TheCanvasSearchAnswersAsTheBaseWalkThroughEdits) {
  BuildPlan();
  CheckNearestQueries(3000);
  Shake();
  CheckNearestQueries(3000);
  for (int32_t round = 0; round < 3; ++round) {
    Rearrange();
    CheckNearestQueries(2000);
  }
}

TEST_F(TopCanvasRandomPlanTest, OverlapsAnswersAsThePlainWalkBeforeAndAfterEdits) {
  BuildPlan();
  CheckOverlapQueries(2500);
  Shake();
  CheckOverlapQueries(2500);
}

// Each kind of edit the overlap index must follow, one at a time between tests, each test looking
// where the edited unit lay before and lies after: a footprint kept from before the edit answers
// wrongly there.
TEST_F(TopCanvasRandomPlanTest, OverlapsFollowsEveryKindOfEditAtOnce) {
  enum class Edit { kMove, kTurn, kResize, kAdd, kDelete, kRegroup, kLift, kReorder };
  const struct {
    Edit edit;
    const char* name;
  } edits[] = {{Edit::kMove, "move"},    {Edit::kTurn, "turn"},         {Edit::kResize, "resize"},
               {Edit::kAdd, "addition"}, {Edit::kDelete, "deletion"},   {Edit::kRegroup, "regrouping"},
               {Edit::kLift, "lift"},    {Edit::kReorder, "reordering"}};
  BuildPlan();
  CheckOverlapQueries(200);  // the index is filed and warm from here on
  for (const auto& e : edits) {
    int32_t overlapping = 0, probes = 0;
    for (int32_t round = 0; round < 60; ++round) {
      RandomUnit* u = AnyUnit();
      std::vector<std::unique_ptr<RandomUnit>> kept;
      kept.push_back(ProbeAt(u));  // where it lay
      switch (e.edit) {
        case Edit::kMove:
          u->SetPosition(
              u->GetSupervisor() == canvas_.get()
                  ? ppVector3(Coordinate(0, kPlanSize), u->GetPosition().y, Coordinate(0, kPlanSize))
                  : ppVector3(Coordinate(-300, 600), u->GetPosition().y, Coordinate(-300, 600)));
          break;
        case Edit::kTurn:
          u->StoreAngle(Angle());
          break;
        case Edit::kResize:
          u->Resize(ppVector3(Coordinate(50, 2400), u->Size().y, Coordinate(50, 2400)));
          break;
        case Edit::kAdd:
          u = AddUnit(Pick(0, 2) == 0 ? static_cast<ppView*>(AnyUnit()) : canvas_.get(), false);
          break;
        case Edit::kDelete: {
          // The unit or the group holding it goes; the probe stays where it lay.
          RandomUnit* victim = u;
          std::vector<zelvproElement*> gone;
          Gather(victim, gone);
          victim->WillBeDeleted();
          delete victim;
          units_.erase(std::remove_if(units_.begin(), units_.end(),
                                      [&](RandomUnit* x) {
                                        return std::find(gone.begin(), gone.end(), x) != gone.end();
                                      }),
                       units_.end());
          u = nullptr;
          break;
        }
        case Edit::kRegroup:
          Regroup(u);
          break;
        case Edit::kLift:
          // Written without a notice, as the 3D view's steps write it.
          u->position.y = Pick(0, 2) * 300.0f;
          break;
        case Edit::kReorder:
          Reorder();
          break;
      }
      // Each kind is told apart: a kind that answers wrongly stops and the next one goes on.
      if (!CheckProbes({kept.front().get()}, overlapping)) {
        ADD_FAILURE() << e.name << ", round " << round << ": where it lay, not as the plain walk";
        break;
      }
      ++probes;
      if (u == nullptr) continue;
      // Where it lies now the probe lies on it.
      kept.push_back(ProbeAt(u));
      int32_t onIt = 0;
      if (!CheckProbes({kept.back().get()}, onIt) || onIt != 1) {
        ADD_FAILURE() << e.name << ", round " << round << ": where it lies, not on it";
        break;
      }
    }
    // Where the units lay before their edits the probes must meet something now and then, and miss
    // now and then (an edit that leaves the unit where it was always meets it; an addition probes
    // another unit there).
    EXPECT_GT(overlapping, probes / 4) << e.name;
    if (e.edit != Edit::kReorder && e.edit != Edit::kAdd) EXPECT_LT(overlapping, probes) << e.name;
  }
}

}  // namespace
