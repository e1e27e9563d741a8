// Finds the outline points that may lie within half a millimetre of a given point, so that chaining
// side faces does not compare every face end with every other. The index files its entries by plan
// cell (1 mm square in x and z, centred on whole millimetres) in hashed buckets, so that sealing takes time
// in proportion to the entries and a query does not grow with them. A query offers the entries of the cells
// (one, two or four) that a point less than 0.5 away in x and in z can lie in, a superset that the caller
// narrows with its own exact test (the height is left to it as well). Points that are not finite equal
// nothing and are not kept. Cell numbers beyond a thousand kilometres are clamped, which only makes
// the superset larger.
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
  // Calls fn(item) for every entry in the cells near `point`, in no particular order.
  template <typename Fn>
  void ForNear(const ppVector3& point, Fn&& fn) const {
    int64_t x0 = 0, z0 = 0, x1 = 0, z1 = 0;
    if (starts_.empty() || !CellsNear(point, x0, z0, x1, z1)) return;  // not sealed yet, or not finite
    for (int64_t x = x0; x <= x1; ++x) {
      for (int64_t z = z0; z <= z1; ++z) {
        const uint64_t key = Key(x, z);
        // Other cells may share the bucket: only the entries of this cell are offered.
        const size_t bucket = BucketOf(key);
        for (uint32_t i = starts_[bucket], end = starts_[bucket + 1]; i < end; ++i)
          if (entries_[i].first == key) fn(entries_[i].second);
      }
    }
  }

 private:
  static bool CellOf(const ppVector3& point, int64_t& x, int64_t& z);
  // The first and last cells in x and z that a point less than 0.5 from `point` in each can lie in.
  static bool CellsNear(const ppVector3& point, int64_t& x0, int64_t& z0, int64_t& x1, int64_t& z1);
  static uint64_t Key(int64_t x, int64_t z) {
    // Offset so that both cell numbers fit 32 bits each.
    constexpr int64_t kOffset = int64_t{1} << 31;
    return (uint64_t(x + kOffset) << 32) | uint64_t(z + kOffset);
  }
  size_t BucketOf(uint64_t key) const { return size_t((key * 0x9E3779B97F4A7C15ull) >> shift_); }

  std::vector<std::pair<uint64_t, int32_t>> entries_;  // (cell key, item), by bucket once sealed
  std::vector<uint32_t> starts_;  // where each bucket's entries begin, and one past the last
  int shift_ = 63;                // 64 less the bits of the bucket number
};
