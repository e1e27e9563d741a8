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
  return (uint64_t(uint32_t(int32_t(x))) << 32) | uint64_t(uint32_t(int32_t(z)));
}

std::pair<size_t, size_t> OutlinePointIndex::Range(uint64_t key) const {
  const auto less = [](const std::pair<uint64_t, int32_t>& e, uint64_t k) { return e.first < k; };
  const auto first = std::lower_bound(entries_.begin(), entries_.end(), key, less);
  auto last = first;
  while (last != entries_.end() && last->first == key) ++last;
  return {size_t(first - entries_.begin()), size_t(last - entries_.begin())};
}
