// The snap index of a top canvas: every free anchor of the canvas's children's trees filed by its code
// and by the plan cell it lies in (one level up, in the frame of its owner's container, as the searches
// measure it), so that a search for the nearest free anchor visits the cells around the query
// instead of the whole plan. The answers are those of the plain walk over the children: the index
// only decides which anchors and children the walk may leave out.
//
// Kept current by notices: a child added, inserted or removed (the canvas's child list) and a child
// whose tree changed (zelvproElement::NoteSnapChange: a position, angle, anchor or child list
// changed, a link made or broken) are only noted; the changed children are filed again at the next
// search. Whether an anchor is free, skipped or excluded, and its distance, are read again at search
// time: only the plan cell (and the plan distance that prunes) comes from the filing. Children whose tree
// holds an element with a search of its own (a class overriding NearestSnap) are never filed: every walk asks
// them itself, in their turn.
//
// Owned by its canvas; the children are not owned. User-interface thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "elements/base/SnapAnchor.h"
#include "foundation/ppVector3.h"

class ppView;
class zelvproElement;

class SnapIndex {
 public:
  // One step of a restricted walk, in walk order: an anchor that may answer (`owner`'s anchor
  // `index`, `distance` as NearestSnap measures it), or a child to be asked itself (`owner` null).
  struct Step {
    zelvproElement* unit;  // the canvas's child
    zelvproElement* owner;
    int32_t index;
    float distance;
    uint64_t order;  // walk order: the child's place among the children,
    uint32_t place;  // then the anchor's place in the child's tree (pre-order, then anchor order)
  };

  explicit SnapIndex(ppView& canvas);
  ~SnapIndex();

  // ---- Notices. Each only notes: the work is done at the next search. Views are only looked at
  // then (one being appended may still be under construction, one being removed half destroyed).
  // A view appended to the canvas's children, one put at a place (the children are numbered again),
  // one taken out, and a child whose tree changed.
  void ViewAppended(ppView* view);
  void ViewInserted(ppView* view);
  void ViewRemoved(ppView* view);
  void UnitChanged(zelvproElement* unit);

  // The part of the walk over the canvas's children that can change the answer of a search for
  // `query` (the kSnap... `flags`, the `asker`) when the best so far is `best`: every anchor that
  // lies no farther than the nearest anchor that may answer (so all that tie with it), and every
  // child that must be asked itself; children for which `skip` answers true are left out. `steps`
  // receives them in walk order. False when the query cannot be filed (a point not finite or very
  // far): the caller walks the whole plan.
  bool Collect(const SnapAnchor& query, uint32_t flags, zelvproElement* asker, float best,
               const std::function<bool(zelvproElement*)>& skip, std::vector<Step>& steps);

 private:
  struct Unit;
  struct CellKey {
    int32_t code, x, z;
    bool operator==(const CellKey& o) const { return code == o.code && x == o.x && z == o.z; }
  };
  // A cell's x and z in one word, spread for the hash map.
  struct CellHash {
    size_t operator()(uint64_t cell) const { return size_t((cell ^ (cell >> 29)) * 0x9E3779B97F4A7C15ull); }
  };
  struct Entry {
    Unit* unit;
    zelvproElement* owner;
    int32_t index;
    uint32_t place;   // in the child's tree: pre-order, then anchor order
    ppVector3 point;  // as filed, in the canvas's frame for a child's own anchors
  };
  struct Filed {
    CellKey key;
    bool wide;  // too far out for a cell: listed with its code
    Entry entry;
  };
  struct Candidate {
    Entry entry;
    float distance;
  };
  // What is filed of one code: its cells, the box they lie in (grown only) and its anchors too far
  // out to be filed in a cell.
  struct Code {
    std::unordered_map<uint64_t, std::vector<Entry>, CellHash> cells;
    bool any = false;
    int32_t x0 = 0, x1 = 0, z0 = 0, z1 = 0;
    std::vector<Entry> wide;
  };

  Unit& Record(ppView* view);
  void MarkStale(Unit& unit);
  void Flush();
  void Unfile(Unit& unit);
  void File(Unit& unit);
  void FileTree(Unit& unit, zelvproElement* element, uint32_t& place, std::vector<Filed>& out);
  void Renumber();

  ppView& canvas_;
  std::unordered_map<ppView*, std::unique_ptr<Unit>> units_;
  std::vector<Unit*> stale_;
  std::vector<Unit*> apart_;  // children asked themselves
  std::unordered_map<int32_t, Code> codes_;
  uint64_t nextOrder_ = 0;
  bool orderStale_ = false;
  // Scratch storage kept between searches, so that a search allocates nothing once warm.
  std::vector<Filed> scratch_;
  std::vector<Candidate> candidates_;
};
