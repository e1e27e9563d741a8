// Finds the outline points that may lie within half a millimetre of a given point, so that chaining
// side faces does not compare every face end with every other. The index sorts its entries by plan
// cell (1 mm square in x and z); a query offers the entries of the 3 x 3 cells around the point, a
// superset of those within 0.5 in x and z, which the caller narrows with its own exact test (the
// height is left to it as well). Points that are not finite equal nothing and are not kept.
// Cell numbers beyond a thousand kilometres are clamped, which only makes the superset larger.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "foundation/ppVector3.h"

class OutlinePointIndex {
 public:
  // Keeps `item` (the caller's number) at `point`; Seal before the first query.
  void Add(const ppVector3& point, int32_t item);
  void Seal();
  // Calls fn(item) for every entry in the cells around `point`, in no particular order.
  template <typename Fn>
  void ForNear(const ppVector3& point, Fn&& fn) const {
    int64_t x = 0, z = 0;
    if (!CellOf(point, x, z)) return;
    // The three cells of one x stand next to each other in key order.
    for (int64_t dx = -1; dx <= 1; ++dx) {
      const uint64_t last = Key(x + dx, z + 1);
      for (size_t i = First(Key(x + dx, z - 1)); i < entries_.size() && entries_[i].first <= last; ++i)
        fn(entries_[i].second);
    }
  }

 private:
  static bool CellOf(const ppVector3& point, int64_t& x, int64_t& z);
  static uint64_t Key(int64_t x, int64_t z);
  // Where the entries of key `key` or above begin.
  size_t First(uint64_t key) const;

  std::vector<std::pair<uint64_t, int32_t>> entries_;  // (cell key, item), sorted by Seal
};
