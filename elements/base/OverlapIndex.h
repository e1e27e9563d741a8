// The overlap test of a top canvas and what it keeps between tests: every element of the canvas's
// children's trees with its footprint (the corners of its own box in its container's frame, plan
// millimetres), extents and height, filed by plan cell and by the x of its corners. A test of the
// moved units then looks only at the elements whose extents come near theirs, and at those with a
// corner at the same x as one of theirs (the crossing test shoots a ray from every corner toward -z,
// and only a ray through a corner can meet a footprint lying wholly beyond it an odd number of
// times). The answers are those of the plain walk over the whole tree, which is kept here too.
//
// Kept current by notices: a child of the canvas added or removed, and a child whose tree changed
// (zelvproElement::NoteSnapChange: a position, angle, size or child list changed) are only noted; the
// changed children are filed again at the next test. Which elements are moved or excluded, and the
// heights (which some steps write without a notice), are read at test time. Footprints are read through
// zelvproElement::GetBounds and BuildPlacementMatrix, as the plain walk reads them.
//
// Owned by its canvas; the elements are not owned. User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "foundation/ppVector3.h"

class ppView;
class qxViewHolder;
class zelvproElement;

class OverlapIndex {
 public:
  explicit OverlapIndex(zelvproElement& canvas);
  ~OverlapIndex();

  // ---- Notices. Each only notes; views are looked at by the next test only.
  void ViewAdded(ppView* view);
  void ViewRemoved(ppView* view);
  void UnitChanged(zelvproElement* unit);

  // Whether an element of `moved` overlaps (heights and footprints) another element of the canvas's
  // tree that is neither in `moved` nor excluded (qxViewHolder::IsExcluded).
  bool Overlaps(const qxViewHolder* moved);
  // The same answer by the plain walk over every element of `canvas`'s tree.
  static bool PlainOverlaps(zelvproElement& canvas, const qxViewHolder* moved);

 private:
  // One element's footprint as filed.
  struct Print {
    zelvproElement* element;
    ppVector3 corners[4];
    float minX, maxX, minZ, maxZ;
    bool loose;     // not filed in cells: tested by every test
    uint64_t seen;  // the test that last looked at it
  };
  struct Unit {
    std::vector<int32_t> prints;
    bool stale = false;
  };
  // A moved element's footprint, read afresh by every test.
  struct Moved {
    ppVector3 corners[4];
    float minX, maxX, minZ, maxZ;
    float y, halfHeight;  // absolute height of the origin and half the box's height
  };

  Unit& Record(ppView* view);
  void MarkStale(ppView* view);
  void Flush();
  void File(ppView* view, Unit& unit);
  void FileTree(Unit& unit, zelvproElement* element);
  void Unfile(Unit& unit);
  int32_t NewPrint();
  // Whether print `id` overlaps `r` as the plain walk tests a pair; each print once per test.
  bool Meets(int32_t id, const qxViewHolder* moved, const Moved& r);

  zelvproElement& canvas_;
  std::unordered_map<ppView*, std::unique_ptr<Unit>> units_;
  std::vector<ppView*> stale_;
  std::vector<ppView*> flushing_;  // kept storage for one flush
  std::vector<Print> prints_;
  std::vector<int32_t> freePrints_;
  std::unordered_map<uint64_t, std::vector<int32_t>> cells_;   // plan cell -> prints
  std::unordered_map<int64_t, std::vector<int32_t>> columns_;  // corner x band -> prints
  std::vector<int32_t> loose_;
  uint64_t test_ = 0;
};
