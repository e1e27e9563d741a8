// What a painting takes from each unit it paints: the unit's own finish (the colour record of its own
// colour group, the first group when it names none) and the finish of every colour group it has. A
// finish that suits several groups (fronts and handles) paints them all, so Undo gives every group
// its own finish back rather than the unit's one colour. The plan's and the 3D view's paint tasks
// keep their units' finishes here.
//
// Ownership: colour record ids only; the units are the caller's. User-interface thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

class zelvDatabase;
class zelvproElement;

class PaintedFinishes {
 public:
  // Keeps `unit`'s finishes before it is painted; the units are kept in the order they are restored.
  void Keep(zelvproElement& unit);
  // Gives the `i`-th kept unit, `unit`, every finish it had, as colour records of `source`.
  void Restore(size_t i, zelvproElement& unit, zelvDatabase* source) const;
  void Clear() { kept_.clear(); }
  size_t Count() const { return kept_.size(); }
  // The `i`-th kept unit's own finish.
  int32_t Own(size_t i) const { return kept_[i].own; }

 private:
  struct Before {
    int32_t own = 0;
    std::vector<std::pair<int32_t, int32_t>> groups;  // (bit of the group, colour record)
  };
  std::vector<Before> kept_;
};
