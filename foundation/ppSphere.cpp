#include "foundation/ppSphere.h"

#include <cmath>

#include "foundation/ppMatrix4.h"

bool ppSphere::Overlaps(const ppSphere& other) const {
  return centre.Distance(other.centre) <= radius + other.radius;
}

ppSphere TransformSphere(const ppMatrix4& m, const ppSphere& sphere) {
  ppSphere out;
  m.TransformPoint(out.centre, sphere.centre);
  const double scale = std::sqrt(m[0] * m[0] + m[4] * m[4] + m[8] * m[8]);
  out.radius = static_cast<float>(sphere.radius * scale);
  return out;
}
