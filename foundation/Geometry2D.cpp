#include "foundation/Geometry2D.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "foundation/Geometry3D.h"
#include "foundation/TolerantMath.h"
#include "foundation/VectorAngle.h"

namespace {

// 3pi/2 as the outline offset has always written it.
constexpr double kThreeHalfPi = 4.71238911151886;
// Below this |sin(3pi/2 - h)| an outline turns straight back on itself and the mitre has no finite
// length; the corner then moves along the leaving edge's normal only.
constexpr double kSpikeLimit = 1e-6;

uint32_t PointCount(Handle list) { return static_cast<uint32_t>(MemGetSize(list)) / sizeof(ppVector2); }

// Points are copied in and out because handle data promises no alignment for floats.
ppVector2 ReadPoint(Handle list, uint32_t i) {
  ppVector2 p;
  std::memcpy(&p, *list + i * sizeof(ppVector2), sizeof p);
  return p;
}

void WritePoint(Handle list, uint32_t i, const ppVector2& p) {
  std::memcpy(*list + i * sizeof(ppVector2), &p, sizeof p);
}

template <typename Op>
void ForEachPoint(Handle list, Op op) {
  const uint32_t n = PointCount(list);
  for (uint32_t i = 0; i < n; ++i) {
    ppVector2 p = ReadPoint(list, i);
    op(p);
    WritePoint(list, i, p);
  }
}

// Index of the nearest point before (step n - 1) or after (step 1) point i, cyclically, that differs
// from it; i itself when every point is the same.
size_t DistinctNeighbour(const std::vector<ppVector2>& pts, size_t i, size_t step) {
  const size_t n = pts.size();
  for (size_t k = (i + step) % n; k != i; k = (k + step) % n)
    if (pts[k] != pts[i]) return k;
  return i;
}

}  // namespace

float AngleOf(float x, float y) {
  if (x == 0) return y > 0 ? geom::kHalfPiF : -geom::kHalfPiF;
  if (y == 0) return x > 0 ? 0.0f : geom::kPiF;
  if (x > 0) return std::atan(y / x);
  return geom::kPiF - std::atan(y / -x);
}

float AngleBetween(const ppVector2& a, const ppVector2& b) { return AngleOf(b.x - a.x, b.y - a.y); }

float AngleBetweenXZ(const ppVector3& a, const ppVector3& b) { return AngleOf(b.x - a.x, b.z - a.z); }

float Hypot2(float x, float y) { return std::sqrt(x * x + y * y); }

float DistanceInt2(int32_t ax, int32_t ay, int32_t bx, int32_t by) {
  // Differences in 64 bits: far-apart coordinates must not overflow.
  return Hypot2(static_cast<float>(int64_t{bx} - ax), static_cast<float>(int64_t{by} - ay));
}

float Distance2(const ppVector2& a, const ppVector2& b) { return Hypot2(b.x - a.x, b.y - a.y); }

void Rotate2(ppVector2& p, float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  const float x = c * p.x - s * p.y;
  p.y = s * p.x + c * p.y;
  p.x = x;
}

void Offset2(ppVector2& p, float dx, float dy) {
  p.x += dx;
  p.y += dy;
}

void Divide2(ppVector2& p, float s) {
  p.x /= s;
  p.y /= s;
}

void DivideXY2(ppVector2& p, float sx, float sy) {
  p.x /= sx;
  p.y /= sy;
}

void PointListDivide(Handle list, float s) {
  ForEachPoint(list, [&](ppVector2& p) { Divide2(p, s); });
}

void PointListDivideXY(Handle list, float sx, float sy) {
  ForEachPoint(list, [&](ppVector2& p) { DivideXY2(p, sx, sy); });
}

void PointListRotate(Handle list, float angle) {
  ForEachPoint(list, [&](ppVector2& p) { Rotate2(p, angle); });
}

void PointListOffset(Handle list, float dx, float dy) {
  ForEachPoint(list, [&](ppVector2& p) { Offset2(p, dx, dy); });
}

void OffsetSegmentXZ(const ppVector3& a, const ppVector3& b, ppVector3& outA, ppVector3& outB, float distance,
                     bool left) {
  const float turn = left ? geom::kHalfPiF : -geom::kHalfPiF;
  ppVector2 shift(distance, 0);
  Rotate2(shift, AngleBetweenXZ(a, b) + turn);
  outA = a;
  outB = b;
  OffsetVec3(outA, shift.x, 0, shift.y);
  OffsetVec3(outB, shift.x, 0, shift.y);
}

bool FootOnRayXZ(const ppVector3& a, const ppVector3& b, const ppVector3& c, ppVector3& out) {
  // A ray needs a direction: a through-point on top of its origin has none.
  if (c.x == a.x && c.z == a.z) return false;
  // Turn the picture about a so that the ray runs along +x; the foot is then b's x there.
  const float g = VectorAngle(c.z - a.z, c.x - a.x);
  ppVector3 turnedB = b;
  RotateXZAbout(turnedB, g, a);
  const float h = VectorAngle(turnedB.z - a.z, turnedB.x - a.x);
  const float p = std::cos(h) * Hypot2(b.x - a.x, b.z - a.z);
  if (p < 0) return false;
  ppVector3 foot(a.x + p, 0, a.z);
  RotateXZAbout(foot, -g, a);
  out = foot;
  return true;
}

void OffsetPolygon(Handle list, float distance) {
  const uint32_t n = PointCount(list);
  if (n < 2) return;
  std::vector<ppVector2> pts(n);
  for (uint32_t i = 0; i < n; ++i) pts[i] = ReadPoint(list, i);
  if (DistinctNeighbour(pts, 0, 1) == 0) return;  // every point is the same: no edge to move
  for (uint32_t i = 0; i < n; ++i) {
    const size_t before = DistinctNeighbour(pts, i, n - 1);
    const size_t after = DistinctNeighbour(pts, i, 1);
    if (before == i || after == i) continue;
    const float in = AngleBetween(pts[before], pts[i]);
    const float out = AngleBetween(pts[i], pts[after]);
    const double h = (in - out) / 2.0;
    const double den = std::sin(kThreeHalfPi - h);
    const double along = std::fabs(den) < kSpikeLimit ? 0.0 : std::sin(h) * distance / den;
    ppVector2 shift(static_cast<float>(along), distance);
    Rotate2(shift, out);
    ppVector2 moved = pts[i];
    Offset2(moved, shift.x, shift.y);
    WritePoint(list, i, moved);
  }
}

std::vector<ppVector2> PointListToVector(Handle list) {
  std::vector<ppVector2> out;
  if (list == nullptr || *list == nullptr) return out;
  out.resize(size_t(MemGetSize(list)) / sizeof(ppVector2));
  if (!out.empty()) std::memcpy(out.data(), *list, out.size() * sizeof(ppVector2));
  return out;
}
