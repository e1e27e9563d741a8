#include "room/OutlinePointIndex.h"

#include <algorithm>
#include <cmath>

namespace {

// Cell numbers stay within this, so that a neighbour's number still fits the key (cells of 1 mm).
constexpr double kCellLimit = 1.0e9;

}  // namespace

void OutlinePointIndex::Add(const ppVector3& point, int32_t item) {
  int64_t x = 0, z = 0;
  if (CellOf(point, x, z)) entries_.emplace_back(Key(x, z), item);
}

void OutlinePointIndex::Seal() { std::sort(entries_.begin(), entries_.end()); }

bool OutlinePointIndex::CellOf(const ppVector3& point, int64_t& x, int64_t& z) {
  if (!std::isfinite(point.x) || !std::isfinite(point.y) || !std::isfinite(point.z)) return false;
  x = int64_t(std::clamp(std::floor(double{point.x}), -kCellLimit, kCellLimit));
  z = int64_t(std::clamp(std::floor(double{point.z}), -kCellLimit, kCellLimit));
  return true;
}

uint64_t OutlinePointIndex::Key(int64_t x, int64_t z) {
  // Offset so that the order of the keys follows x, then z.
  constexpr int64_t kOffset = int64_t{1} << 31;
  return (uint64_t(x + kOffset) << 32) | uint64_t(z + kOffset);
}

size_t OutlinePointIndex::First(uint64_t key) const {
  const auto less = [](const std::pair<uint64_t, int32_t>& e, uint64_t k) { return e.first < k; };
  return size_t(std::lower_bound(entries_.begin(), entries_.end(), key, less) - entries_.begin());
}
