#include "room/WallEdge.h"

#include <cmath>

namespace {

constexpr float kSlopeTolerance = 0.001f;

bool NearZero(float v) { return v > -kSlopeTolerance && v < kSlopeTolerance; }

}  // namespace

bool WallEdge::SharesEndAndSlope(const WallEdge& other, bool strict) const {
  if (!(start == other.start) && !(end == other.end)) return false;
  if (!strict) return true;
  const float dz1 = end.z - start.z;
  const float dz2 = other.end.z - other.start.z;
  if (NearZero(dz1) && NearZero(dz2)) return true;
  // A face exactly along x has an infinite slope, which matches no other slope; answer that without
  // dividing by zero.
  if (dz1 == 0.0f || dz2 == 0.0f) return false;
  const float s1 = std::fabs((end.x - start.x) / dz1);
  const float s2 = std::fabs((other.end.x - other.start.x) / dz2);
  return s1 - kSlopeTolerance < s2 && s2 < s1 + kSlopeTolerance;
}

int32_t WallEdge::CountIn(Handle edges) { return MemGetSize(edges) / static_cast<int32_t>(sizeof(WallEdge)); }

WallEdge* WallEdge::At(Handle edges, int32_t index) { return reinterpret_cast<WallEdge*>(*edges) + index; }
