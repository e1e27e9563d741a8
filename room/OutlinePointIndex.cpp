#include "room/OutlinePointIndex.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Cell numbers stay within this, so that a neighbour's number still fits the key (cells of 1 mm).
constexpr double kCellLimit = 1.0e9;

// A cell number, clamped; the clamp keeps the order of the numbers, so that the cells of a range of
// coordinates still lie between those of its ends.
int64_t Clamped(double cell) { return int64_t(std::clamp(cell, -kCellLimit, kCellLimit)); }

}  // namespace

void OutlinePointIndex::Add(const ppVector3& point, int32_t item) {
  int64_t x = 0, z = 0;
  if (CellOf(point, x, z)) entries_.emplace_back(Key(x, z), item);
}

// At least twice as many buckets as entries, so that a bucket holds few cells; the entries are
// placed by counting, in the order they were added within each bucket.
void OutlinePointIndex::Seal() {
  int bits = 1;
  while (bits < 31 && (size_t{1} << bits) < 2 * entries_.size()) ++bits;
  shift_ = 64 - bits;
  const size_t buckets = size_t{1} << bits;
  starts_.assign(buckets + 1, 0);
  for (const auto& e : entries_) ++starts_[BucketOf(e.first) + 1];
  for (size_t b = 0; b < buckets; ++b) starts_[b + 1] += starts_[b];
  std::vector<uint32_t> at(starts_.begin(), starts_.end() - 1);
  std::vector<std::pair<uint64_t, int32_t>> placed(entries_.size());
  for (const auto& e : entries_) placed[at[BucketOf(e.first)]++] = e;
  entries_ = std::move(placed);
}

bool OutlinePointIndex::CellOf(const ppVector3& point, int64_t& x, int64_t& z) {
  if (!std::isfinite(point.x) || !std::isfinite(point.y) || !std::isfinite(point.z)) return false;
  x = Clamped(std::floor(double{point.x} + 0.5));
  z = Clamped(std::floor(double{point.z} + 0.5));
  return true;
}

// A coordinate c less than 0.5 from p has c + 0.5 strictly between p and p + 1, so its cell lies
// between floor(p) and ceil(p): one cell for a point on a whole millimetre, as most plan points are.
// Floats convert to double exactly and adding 0.5 to one below the clamp limit is exact.
bool OutlinePointIndex::CellsNear(const ppVector3& point, int64_t& x0, int64_t& z0, int64_t& x1,
                                  int64_t& z1) {
  if (!std::isfinite(point.x) || !std::isfinite(point.y) || !std::isfinite(point.z)) return false;
  x0 = Clamped(std::floor(double{point.x})), x1 = Clamped(std::ceil(double{point.x}));
  z0 = Clamped(std::floor(double{point.z})), z1 = Clamped(std::ceil(double{point.z}));
  return true;
}
