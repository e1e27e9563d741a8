#include "foundation/ppBounds3.h"

#include <cmath>

#include "foundation/TolerantMath.h"
#include "foundation/ppMatrix4.h"

ppBounds3::ppBounds3() : half(geom::kNoResultNegative, geom::kNoResultNegative, geom::kNoResultNegative) {}

void ppBounds3::AddPoint(const ppVector3& p) {
  ppVector3 lo = centre - half;
  ppVector3 hi = centre + half;
  bool changed = false;
  auto widen = [&changed](float v, float& low, float& high) {
    if (v < low) {
      low = v;
      changed = true;
    }
    if (v > high) {
      high = v;
      changed = true;
    }
  };
  widen(p.x, lo.x, hi.x);
  widen(p.y, lo.y, hi.y);
  widen(p.z, lo.z, hi.z);
  if (!changed) return;
  centre = (lo + hi) / 2.0f;
  half = hi - centre;
}

ppVector3 ppBounds3::Corner(int i) const {
  return ppVector3(i & 1 ? centre.x + half.x : centre.x - half.x,
                   i & 2 ? centre.y + half.y : centre.y - half.y,
                   i & 4 ? centre.z + half.z : centre.z - half.z);
}

void ppBounds3::AddBox(const ppBounds3& box) {
  if (box.IsEmpty()) return;
  for (int i = 0; i < 8; ++i) AddPoint(box.Corner(i));
}

ppBounds3 ppBounds3::operator+(const ppBounds3& box) const {
  ppBounds3 sum = *this;
  sum.AddBox(box);
  return sum;
}

ppBounds3 ppBounds3::Transformed(const ppMatrix4& m, const ppBounds3& box) {
  if (box.IsEmpty()) return box;
  ppBounds3 out;
  for (int i = 0; i < 8; ++i) {
    ppVector3 corner;
    m.TransformPoint(corner, box.Corner(i));
    out.AddPoint(corner);
  }
  return out;
}

bool ppBounds3::Intersects(const ppBounds3& box) const {
  if (IsEmpty() || box.IsEmpty()) return false;
  return std::fabs(centre.x - box.centre.x) <= half.x + box.half.x &&
         std::fabs(centre.y - box.centre.y) <= half.y + box.half.y &&
         std::fabs(centre.z - box.centre.z) <= half.z + box.half.z;
}
