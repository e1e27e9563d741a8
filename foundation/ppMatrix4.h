// A 4x4 transformation in doubles, row-major: element [row * 4 + column]. Points are row vectors
// multiplied on the left (p' = p x M), so the translation sits in row 3 (elements 12, 13, 14) and
// element 15 is 1 for affine matrices. A plain value: copied freely, owns nothing.
#pragma once

#include "foundation/ppVector3.h"

struct ppRay;

class ppMatrix4 {
 public:
  double m[16];

  // The identity.
  ppMatrix4();

  void SetIdentity();
  void SetZero();
  // The four doubles of row i (0..3).
  const double* Row(int i) const { return &m[i * 4]; }
  double* Row(int i) { return &m[i * 4]; }
  double& operator[](int i) { return m[i]; }
  double operator[](int i) const { return m[i]; }

  // out = this x rhs; `out` may not be this or rhs.
  void Multiply(ppMatrix4& out, const ppMatrix4& rhs) const;

  // out = (p, 1) x this, divided by the resulting w; arithmetic in float.
  void TransformPoint(ppVector3& out, const ppVector3& p) const;
  // out = m x (p, 1) taken as a column vector, divided by w. Only ppVector3::operator*=(ppMatrix4) uses it.
  static void TransformColumn(ppVector3& out, const ppVector3& p, const ppMatrix4& m);
  // The ray's origin by TransformPoint; its direction by m without translation, normalised.
  static void TransformRay(ppRay& out, const ppMatrix4& m, const ppRay& ray);

  // this = T x this, T the translation by v: for row vectors the translation applies first.
  void Translate(const ppVector3& v);
  // Row 3 becomes (0, 0, 0, 1).
  void ClearTranslation();
  // Rows 0, 1 and 2 times v.x, v.y and v.z.
  void ScaleRows(const ppVector3& v);
  // this = R x this, R the turn by `angle` radians about `axis`. Nothing when the angle is exactly 0;
  // otherwise the caller's axis is normalised in place.
  void RotateAxis(double angle, ppVector3& axis);

  // Gauss-Jordan elimination on the diagonal without pivoting; a zero pivot gives non-numbers.
  void InvertInPlace();
  ppMatrix4 Inverse() const;

  // Floor-plane direction of the x axis after the matrix's rotation and scale.
  float HeadingAngle() const;

 private:
  // (p, 0) x this: p as a direction, the translation left out.
  ppVector3 TransformDirection(const ppVector3& p) const;
};
