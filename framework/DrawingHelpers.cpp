#include "framework/DrawingHelpers.h"

#include <algorithm>

bool IntersectRectangles(plat::RECT* out, const plat::RECT& a, const plat::RECT& b) {
  plat::RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
               std::min(a.bottom, b.bottom)};
  if (r.left >= r.right || r.top >= r.bottom) r = plat::RECT{};
  if (out) *out = r;
  return r.right > r.left;
}

bool PointInRectangle(int32_t x, int32_t y, const plat::RECT& rect) {
  return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

void AssignRectangle(plat::RECT* out, const plat::RECT& from) { *out = from; }

double DegreesToRadians(double degrees) { return degrees * 3.14159265359 / 180; }
