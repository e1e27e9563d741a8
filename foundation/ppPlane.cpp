#include "foundation/ppPlane.h"

#include "foundation/TolerantMath.h"
#include "foundation/ppRay.h"

ppPlane PlaneFromPoints(const ppVector3& a, const ppVector3& b, const ppVector3& c) {
  const ppVector3 u = (b - a).Normalized();
  const ppVector3 v = (c - a).Normalized();
  ppPlane plane;
  plane.normal = u.Cross(v).Normalized();
  plane.d = static_cast<float>(-plane.normal.Dot(a));
  return plane;
}

ppVector3 IntersectRayPlane(const ppPlane& plane, const ppRay& ray, int32_t side) {
  const double den = plane.normal.Dot(ray.direction);
  if (NearlyZero(den))
    return ppVector3(geom::kNoResultNegative, geom::kNoResultNegative, geom::kNoResultNegative);
  const double t = -(plane.normal.Dot(ray.origin) + plane.d) / den;
  if ((side == 1 && t > 0) || (side == 2 && t <= 0))
    return ppVector3(geom::kNoResult, geom::kNoResult, geom::kNoResult);
  return ray.origin + ray.direction * static_cast<float>(t);
}
