#include "room/ppCircle.h"

#include <cmath>

#include "foundation/Geometry3D.h"

namespace {

// Absolute tolerances: x differences and slope differences, z differences.
constexpr double kTinyX = 1e-9;
constexpr double kTinyZ = 1e-7;

struct Deltas {
  double xa, za, xb, zb;
  Deltas(const ppVector3& a, const ppVector3& b, const ppVector3& c)
      : xa(double(b.x) - a.x), za(double(b.z) - a.z), xb(double(c.x) - b.x), zb(double(c.z) - b.z) {}
  // The first pair runs along z and the second along x: a right angle at the middle point. Both legs
  // must have a length: coinciding points have no circle, not one of radius 0 or through two points.
  bool RightAngle() const {
    return std::fabs(xa) <= kTinyX && std::fabs(zb) <= kTinyX && std::fabs(za) > kTinyZ &&
           std::fabs(xb) > kTinyX;
  }
};

}  // namespace

ppCircle::ppCircle(const ppVector3& p1, const ppVector3& p2, const ppVector3& p3) {
  const ppVector3 u = p1, v = p2, w = p3;
  const ppVector3* orders[6][3] = {{&u, &v, &w}, {&u, &w, &v}, {&v, &u, &w},
                                   {&v, &w, &u}, {&w, &v, &u}, {&w, &u, &v}};
  for (const auto& order : orders) {
    if (!Suitable(*order[0], *order[1], *order[2])) continue;
    FromOrder(*order[0], *order[1], *order[2]);
    return;
  }
}

bool ppCircle::Suitable(const ppVector3& a, const ppVector3& b, const ppVector3& c) {
  const Deltas d(a, b, c);
  if (d.RightAngle()) return true;
  return !(std::fabs(d.za) <= kTinyZ || std::fabs(d.zb) <= kTinyZ || std::fabs(d.xa) <= kTinyX ||
           std::fabs(d.xb) <= kTinyX);
}

void ppCircle::FromOrder(const ppVector3& a, const ppVector3& b, const ppVector3& c) {
  const Deltas d(a, b, c);
  double x = 0.0, z = 0.0;
  if (d.RightAngle()) {
    x = 0.5 * (double(b.x) + c.x);
    z = 0.5 * (double(a.z) + b.z);
  } else {
    const double ma = d.za / d.xa, mb = d.zb / d.xb;
    if (std::fabs(ma - mb) <= kTinyX) return;  // collinear
    x = (ma * mb * (double(a.z) - c.z) + mb * (double(a.x) + b.x) - ma * (double(b.x) + c.x)) /
        (2.0 * (mb - ma));
    z = -1.0 * (x - (double(a.x) + b.x) / 2.0) / ma + (double(a.z) + b.z) / 2.0;
  }
  centre_ = ppVector3(float(x), a.y, float(z));
  radius_ = Distance3(a, centre_);
}
