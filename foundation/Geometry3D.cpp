#include "foundation/Geometry3D.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "foundation/TolerantMath.h"

namespace {

// Intersection tolerances of the line parameters.
constexpr double kParallelLimit = 0.0001;
constexpr double kLooseLow = -0.0001, kLooseHigh = 1.0001;
constexpr double kStrictLow = 0.0001, kStrictHigh = 0.9999;

// The turn of (u, v) by the angle with cosine c and sine s: u' = c*u - s*v, v' = s*u + c*v.
void Turn(float& u, float& v, float c, float s) {
  const float nu = c * u - s * v;
  v = s * u + c * v;
  u = nu;
}

bool Within(double t, double low, double high) { return t >= low && t <= high; }

// Whether the line parameters ua (of a) and ub (of b) pass the range test of `mode`.
bool InRange(int32_t mode, double ua, double ub) {
  switch (mode) {
    case 1:
      return Within(ua, kLooseLow, kLooseHigh) && Within(ub, kLooseLow, kLooseHigh);
    case 2:
      return Within(ua, kLooseLow, kLooseHigh);
    case 3:
      return Within(ub, kLooseLow, kLooseHigh);
    case 4:
      return Within(ua, kStrictLow, kStrictHigh) && Within(ub, kStrictLow, kStrictHigh);
    case 5:
      return Within(ua, kStrictLow, kStrictHigh);
    case 6:
      return Within(ub, kStrictLow, kStrictHigh);
    case 7:
      return Within(ua, 0, 1) && Within(ub, 0, 1);
    default:
      return true;
  }
}

}  // namespace

int32_t CompareWithinHalf(float a, float b) {
  if (a - 0.5f < b && b < a + 0.5f) return 0;
  return a < b ? -1 : 1;
}

float AngleDifference(float a, float b, bool positive) {
  float d = FloatMod(a - b, geom::kTwoPiF);
  if (d < -geom::kPiF) {
    d += geom::kTwoPiF;
  } else if (d > geom::kPiF) {
    d -= geom::kTwoPiF;
  }
  if (positive && d < 0) d += geom::kTwoPiF;
  return d;
}

float FloatMod(float a, float b) { return std::fmod(a, b); }

int32_t OrientationXZ(const ppVector3& a, const ppVector3& b, const ppVector3& c) {
  const float cross = (c.x - a.x) * (b.z - a.z) - (b.x - a.x) * (c.z - a.z);
  // The sign of the cross product truncated to a whole number, without converting it: far-apart
  // points give products beyond the range of a 32-bit integer.
  if (cross >= 1) return 1;
  if (cross <= -1) return -1;
  return 0;
}

float Length3(float x, float y, float z) { return std::sqrt(x * x + y * y + z * z); }

float Distance3(const ppVector3& a, const ppVector3& b) { return Length3(b.x - a.x, b.y - a.y, b.z - a.z); }

void RotatePoint3(ppVector3& p, float ax, float ay, float az) {
  if (ax != 0) Turn(p.y, p.z, std::cos(ax), std::sin(ax));
  if (az != 0) Turn(p.x, p.y, std::cos(az), std::sin(az));
  // About y the turn runs from z toward x: x' = c*x + s*z, z' = -s*x + c*z.
  if (ay != 0) Turn(p.z, p.x, std::cos(ay), std::sin(ay));
}

void AxisAngleMatrix(float angle, const ppVector3& axis, FloatMatrix& out) {
  const float largest = std::max({std::fabs(axis.x), std::fabs(axis.y), std::fabs(axis.z)});
  const float s = std::sin(angle), c = std::cos(angle), t = 1 - c;
  // A zero axis has no direction; it turns nothing.
  const float x = largest > 0 ? axis.x / largest : 0;
  const float y = largest > 0 ? axis.y / largest : 0;
  const float z = largest > 0 ? axis.z / largest : 0;
  const float rows[16] = {x * x + (1 - x * x) * c,
                          x * y * t - z * s,
                          z * x * t + y * s,
                          0,
                          x * y * t + z * s,
                          y * y + (1 - y * y) * c,
                          y * z * t - x * s,
                          0,
                          z * x * t - y * s,
                          y * z * t + x * s,
                          z * z + (1 - z * z) * c,
                          0,
                          0,
                          0,
                          0,
                          1};
  if (largest > 0) {
    std::memcpy(out, rows, sizeof rows);
  } else {
    for (int i = 0; i < 16; ++i) out[i] = (i % 5 == 0) ? 1.0f : 0.0f;
  }
}

void TransformByFloatMatrix(ppVector3& p, const FloatMatrix& m) {
  const float x = p.x * m[0] + p.y * m[4] + p.z * m[8] + m[12];
  const float y = p.x * m[1] + p.y * m[5] + p.z * m[9] + m[13];
  const float z = p.x * m[2] + p.y * m[6] + p.z * m[10] + m[14];
  p = ppVector3(x, y, z);
}

void RotateAboutAxis(ppVector3& p, float angle, const ppVector3& axis) {
  if (angle == 0 || axis == ppVector3()) return;
  FloatMatrix m;
  AxisAngleMatrix(angle, axis, m);
  TransformByFloatMatrix(p, m);
}

void RotateXYOrigin(ppVector3& p, float angle) { Turn(p.x, p.y, std::cos(angle), std::sin(angle)); }

void RotateXZOrigin(ppVector3& p, float angle) { Turn(p.z, p.x, std::cos(angle), std::sin(angle)); }

void RotateXZAbout(ppVector3& p, float angle, const ppVector3& centre) {
  p -= centre;
  RotateXZOrigin(p, angle);
  p += centre;
}

void RotateAboutY(void* record, float angle) {
  // The vector follows a 32-bit word, so it is copied rather than addressed in place.
  char* at = static_cast<char*>(record) + sizeof(int32_t);
  ppVector3 v;
  std::memcpy(&v, at, sizeof v);
  RotatePoint3(v, 0, angle, 0);
  std::memcpy(at, &v, sizeof v);
}

bool IntersectXZ(ppVector3& out, const ppVector3& a1, const ppVector3& a2, const ppVector3& b1,
                 const ppVector3& b2, bool& parallel, int32_t mode) {
  parallel = false;
  const double adx = double{a2.x} - a1.x, adz = double{a2.z} - a1.z;
  const double bdx = double{b2.x} - b1.x, bdz = double{b2.z} - b1.z;
  const double den = bdz * adx - bdx * adz;
  if (std::fabs(den) < kParallelLimit) {
    parallel = true;
    return false;
  }
  const double ox = double{a1.x} - b1.x, oz = double{a1.z} - b1.z;
  const double ua = (bdx * oz - bdz * ox) / den;
  const double ub = (adx * oz - adz * ox) / den;
  out = ppVector3(static_cast<float>(a1.x + ua * adx), 0, static_cast<float>(a1.z + ua * adz));
  return InRange(mode, ua, ub);
}

bool IntersectLinesXZ(ppVector3& out, const ppVector3& a1, const ppVector3& a2, const ppVector3& b1,
                      const ppVector3& b2, bool& parallel) {
  return IntersectXZ(out, a1, a2, b1, b2, parallel, 0);
}

bool IntersectSegmentsXZ(ppVector3& out, const ppVector3& a1, const ppVector3& a2, const ppVector3& b1,
                         const ppVector3& b2, bool& parallel) {
  return IntersectXZ(out, a1, a2, b1, b2, parallel, 1);
}

bool IntersectSegmentsXZExact(ppVector3& out, const ppVector3& a1, const ppVector3& a2, const ppVector3& b1,
                              const ppVector3& b2) {
  bool parallel = false;
  return IntersectXZ(out, a1, a2, b1, b2, parallel, 7);
}

void DivideVec3(ppVector3& v, float s) { v /= s; }

void ScaleVec3(ppVector3& v, float s) { v *= s; }

void AddVec3(ppVector3& v, const ppVector3& w) { v += w; }

void OffsetVec3(ppVector3& v, float dx, float dy, float dz) { v += ppVector3(dx, dy, dz); }

void ReversePointList3(Handle list) {
  const uint32_t n = static_cast<uint32_t>(MemGetSize(list)) / sizeof(ppVector3);
  char* data = *list;
  for (uint32_t i = 0, j = n; i + 1 < j; ++i) {
    --j;
    char tmp[sizeof(ppVector3)];
    std::memcpy(tmp, data + i * sizeof(ppVector3), sizeof tmp);
    std::memcpy(data + i * sizeof(ppVector3), data + j * sizeof(ppVector3), sizeof tmp);
    std::memcpy(data + j * sizeof(ppVector3), tmp, sizeof tmp);
  }
}

void TriangleNormal(ppVector3& out, const ppVector3& a, const ppVector3& b, const ppVector3& c,
                    bool normalize) {
  out = (c - b).Cross(a - b);
  // A degenerate triangle keeps its zero normal rather than turning into non-numbers.
  if (normalize && out.Length() > 0) out.Normalize();
}
