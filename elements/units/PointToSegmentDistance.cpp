#include "elements/units/PointToSegmentDistance.h"

#include <cmath>
#include <limits>

#include "foundation/Geometry2D.h"

float PointToSegmentDistance(const ppVector2& p, const ppVector2& a, const ppVector2& b) {
  // The segment is turned onto the positive x axis about a; the point follows.
  ppVector2 u(b.x - a.x, b.y - a.y);
  ppVector2 v(p.x - a.x, p.y - a.y);
  const float turn = -AngleOf(u.x, u.y);
  Rotate2(u, turn);
  Rotate2(v, turn);
  if (v.x >= 0.0f && v.x <= u.x) return std::fabs(v.y - u.y);
  return std::numeric_limits<float>::max();
}
