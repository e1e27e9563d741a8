#include "foundation/ppVector3.h"

#include <cmath>

#include "foundation/TolerantMath.h"
#include "foundation/ppMatrix4.h"

ppVector3& ppVector3::operator+=(const ppVector3& b) {
  x += b.x;
  y += b.y;
  z += b.z;
  return *this;
}

ppVector3& ppVector3::operator-=(const ppVector3& b) {
  x -= b.x;
  y -= b.y;
  z -= b.z;
  return *this;
}

ppVector3& ppVector3::operator*=(float s) {
  x *= s;
  y *= s;
  z *= s;
  return *this;
}

ppVector3& ppVector3::operator/=(float s) {
  x /= s;
  y /= s;
  z /= s;
  return *this;
}

ppVector3& ppVector3::operator*=(const ppMatrix4& m) {
  ppVector3 out;
  ppMatrix4::TransformColumn(out, *this, m);
  *this = out;
  return *this;
}

float ppVector3::Length() const { return std::sqrt(x * x + y * y + z * z); }

float ppVector3::Distance(const ppVector3& b) const { return (*this - b).Length(); }

double ppVector3::Dot(const ppVector3& b) const {
  return static_cast<double>(x) * b.x + static_cast<double>(y) * b.y + static_cast<double>(z) * b.z;
}

ppVector3 ppVector3::Cross(const ppVector3& b) const {
  return ppVector3(y * b.z - b.y * z, z * b.x - b.z * x, x * b.y - b.x * y);
}

void ppVector3::Normalize() { *this /= Length(); }

ppVector3 ppVector3::Normalized() const {
  ppVector3 v = *this;
  v.Normalize();
  return v;
}

bool ppVector3::operator==(const ppVector3& b) const { return NearlyEqualVec3(*this, b, geom::kTolerance); }

bool ppVector3::operator<(const ppVector3& b) const {
  if (x != b.x) return x < b.x;
  if (y != b.y) return y < b.y;
  return z < b.z;
}

void ppVector3::RotateXY(const ppVector3& centre, double angle) {
  if (angle == 0) return;
  const double c = std::cos(angle), s = std::sin(angle);
  const double dx = x - centre.x, dy = y - centre.y;
  x = static_cast<float>(c * dx - s * dy + centre.x);
  y = static_cast<float>(s * dx + c * dy + centre.y);
}

void ppVector3::RotateXZ(const ppVector3& centre, double angle) {
  if (angle == 0) return;
  const double c = std::cos(angle), s = std::sin(angle);
  const double dx = x - centre.x, dz = z - centre.z;
  x = static_cast<float>(c * dx + s * dz + centre.x);
  z = static_cast<float>(-s * dx + c * dz + centre.z);
}

float ppVector3::AngleXZ() const {
  // The zero vector has no direction to normalise; it takes the zero vector's angle, -pi/2.
  if (NearlyZero(Length())) return static_cast<float>(AngleOfTol(0, 0));
  const ppVector3 n = Normalized();
  return static_cast<float>(AngleOfTol(n.x, n.z));
}

float ppVector3::Heading() const {
  ppVector3 flat(x, z, 0);
  if (NearlyZero(flat.Length())) return geom::kNoResult;
  flat.Normalize();
  return static_cast<float>(AngleOfTol(flat.x, flat.y) - geom::kHalfPi);
}

bool ppVector3::IsAlongY() const { return NearlyZero(x) && NearlyZero(z) && !NearlyZero(y); }

bool NearlyEqualVec3(const ppVector3& a, const ppVector3& b, double t) {
  return NearlyEqual(a.x, b.x, t) && NearlyEqual(a.y, b.y, t) && NearlyEqual(a.z, b.z, t);
}
