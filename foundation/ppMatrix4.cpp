#include "foundation/ppMatrix4.h"

#include <cmath>
#include <cstring>

#include "foundation/ppRay.h"

ppMatrix4::ppMatrix4() { SetIdentity(); }

void ppMatrix4::SetIdentity() {
  for (int i = 0; i < 16; ++i) m[i] = (i % 5 == 0) ? 1.0 : 0.0;
}

void ppMatrix4::SetZero() { std::memset(m, 0, sizeof m); }

void ppMatrix4::Multiply(ppMatrix4& out, const ppMatrix4& rhs) const {
  out.SetZero();
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      for (int k = 0; k < 4; ++k) out.m[r * 4 + c] += m[r * 4 + k] * rhs.m[k * 4 + c];
}

namespace {

// Sum of a*e0 + b*e1 + c*e2 + e3 in float, the e's taken `stride` apart from `e`.
float FloatCombine(const double* e, int stride, float a, float b, float c) {
  return a * static_cast<float>(e[0]) + b * static_cast<float>(e[stride]) +
         c * static_cast<float>(e[2 * stride]) + static_cast<float>(e[3 * stride]);
}

}  // namespace

void ppMatrix4::TransformPoint(ppVector3& out, const ppVector3& p) const {
  // Column c of the matrix, walked down the rows.
  const float x = FloatCombine(&m[0], 4, p.x, p.y, p.z);
  const float y = FloatCombine(&m[1], 4, p.x, p.y, p.z);
  const float z = FloatCombine(&m[2], 4, p.x, p.y, p.z);
  const float w = FloatCombine(&m[3], 4, p.x, p.y, p.z);
  out = ppVector3(x / w, y / w, z / w);
}

void ppMatrix4::TransformColumn(ppVector3& out, const ppVector3& p, const ppMatrix4& mat) {
  // Row r of the matrix, walked along the columns.
  const float x = FloatCombine(&mat.m[0], 1, p.x, p.y, p.z);
  const float y = FloatCombine(&mat.m[4], 1, p.x, p.y, p.z);
  const float z = FloatCombine(&mat.m[8], 1, p.x, p.y, p.z);
  const float w = FloatCombine(&mat.m[12], 1, p.x, p.y, p.z);
  out = ppVector3(x / w, y / w, z / w);
}

ppVector3 ppMatrix4::TransformDirection(const ppVector3& p) const {
  auto column = [&](int c) { return static_cast<float>(p.x * m[c] + p.y * m[4 + c] + p.z * m[8 + c]); };
  return ppVector3(column(0), column(1), column(2));
}

void ppMatrix4::TransformRay(ppRay& out, const ppMatrix4& mat, const ppRay& ray) {
  mat.TransformPoint(out.origin, ray.origin);
  out.direction = mat.TransformDirection(ray.direction).Normalized();
}

void ppMatrix4::Translate(const ppVector3& v) {
  // T x this changes only row 3: it gains v.x times row 0, v.y times row 1 and v.z times row 2.
  for (int c = 0; c < 4; ++c) m[12 + c] += v.x * m[c] + v.y * m[4 + c] + v.z * m[8 + c];
}

void ppMatrix4::ClearTranslation() {
  m[12] = m[13] = m[14] = 0.0;
  m[15] = 1.0;
}

void ppMatrix4::ScaleRows(const ppVector3& v) {
  const float scale[3] = {v.x, v.y, v.z};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c) m[r * 4 + c] = static_cast<float>(m[r * 4 + c]) * scale[r];
}

void ppMatrix4::RotateAxis(double angle, ppVector3& axis) {
  if (angle == 0) return;
  axis.Normalize();
  const double s = std::sin(angle), c = std::cos(angle), t = 1.0 - c;
  const double x = axis.x, y = axis.y, z = axis.z;
  ppMatrix4 r;
  const double rows[16] = {t * x * x + c,
                           t * x * y + z * s,
                           t * z * x - y * s,
                           0,
                           t * x * y - z * s,
                           t * y * y + c,
                           t * y * z + x * s,
                           0,
                           t * z * x + y * s,
                           t * y * z - x * s,
                           t * z * z + c,
                           0,
                           0,
                           0,
                           0,
                           1};
  std::memcpy(r.m, rows, sizeof rows);
  ppMatrix4 product;
  r.Multiply(product, *this);
  *this = product;
}

void ppMatrix4::InvertInPlace() {
  for (int k = 0; k < 4; ++k) {
    const double p = -1.0 / m[k * 4 + k];
    for (int i = 0; i < 4; ++i)
      if (i != k) m[i * 4 + k] *= p;
    for (int i = 0; i < 4; ++i) {
      if (i == k) continue;
      for (int j = 0; j < 4; ++j)
        if (j != k) m[i * 4 + j] += m[i * 4 + k] * m[k * 4 + j];
    }
    for (int j = 0; j < 4; ++j)
      if (j != k) m[k * 4 + j] *= p;
    m[k * 4 + k] = p;
  }
  for (double& e : m) e = -e;
}

ppMatrix4 ppMatrix4::Inverse() const {
  ppMatrix4 inverse = *this;
  inverse.InvertInPlace();
  return inverse;
}

float ppMatrix4::HeadingAngle() const { return TransformDirection(ppVector3(1, 0, 0)).AngleXZ(); }
