#include "scene3d/context/PolygonWinding.h"

#include <cmath>
#include <vector>

bool PolygonWindsPositive(size_t count, const ppVector2* points, const uint32_t* indices) {
  // The corners with every repeat of the previous point left out (the last against the first too).
  std::vector<ppVector2> corners;
  corners.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    const ppVector2& p = points[indices ? indices[i] : i];
    if (!corners.empty() && corners.back().x == p.x && corners.back().y == p.y) continue;
    corners.push_back(p);
  }
  while (corners.size() > 1 && corners.back().x == corners.front().x && corners.back().y == corners.front().y)
    corners.pop_back();
  const size_t n = corners.size();
  if (n < 3) return false;
  double total = 0.0;
  for (size_t i = 0; i < n; ++i) {
    const ppVector2& a = corners[i];
    const ppVector2& b = corners[(i + 1) % n];
    const ppVector2& c = corners[(i + 2) % n];
    const double ux0 = double{b.x} - a.x, uy0 = double{b.y} - a.y;
    const double ul = std::hypot(ux0, uy0);
    const double ux = ux0 / ul, uy = uy0 / ul;
    const double wx = double{c.x} - b.x, wy = double{c.y} - b.y;
    const double cosine = ux * wx + uy * wy, sine = ux * wy - uy * wx;
    const double length = std::hypot(cosine, sine);
    const double theta = std::acos(std::fmax(-1.0, std::fmin(1.0, cosine / length)));
    total += sine >= 0 ? theta : -theta;
  }
  return total > 0;
}

double DotProduct(const ppVector3& a, const ppVector3& b) {
  return double{a.x} * b.x + double{a.y} * b.y + double{a.z} * b.z;
}
