// Vectors, matrices, boxes, planes and spheres of the 3D code.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "foundation/TolerantMath.h"
#include "foundation/ppBounds3.h"
#include "foundation/ppMatrix4.h"
#include "foundation/ppPlane.h"
#include "foundation/ppRay.h"
#include "foundation/ppSphere.h"
#include "foundation/ppVector2.h"
#include "foundation/ppVector3.h"

namespace {

constexpr double kPi = std::numbers::pi;

void ExpectNear3(const ppVector3& v, float x, float y, float z, float tol = 1e-5f) {
  EXPECT_NEAR(v.x, x, tol);
  EXPECT_NEAR(v.y, y, tol);
  EXPECT_NEAR(v.z, z, tol);
}

ppVector3 Apply(const ppMatrix4& m, const ppVector3& p) {
  ppVector3 out;
  m.TransformPoint(out, p);
  return out;
}

TEST(VectorMatrixTest, EqualityUsesStrictTinyTolerance) {
  EXPECT_EQ(ppVector3(0, 0, 1e-9f), ppVector3(0, 0, 0));
  EXPECT_NE(ppVector3(0, 0, 1e-8f), ppVector3(0, 0, 0));
  EXPECT_NE(ppVector3(1, 2, 3), ppVector3(1, 2, 3.0000002f));
  EXPECT_EQ(ppVector2(5, 1e-9f), ppVector2(5, 0));
  EXPECT_NE(ppVector2(5, 1e-8f), ppVector2(5, 0));
  // The bound itself does not count as near.
  EXPECT_FALSE(NearlyZero(geom::kTolerance));
  EXPECT_FALSE(NearlyZero(-geom::kTolerance));
  // Ordering is exact and lexicographic.
  EXPECT_TRUE(ppVector3(1, 9, 9) < ppVector3(2, 0, 0));
  EXPECT_TRUE(ppVector3(1, 2, 3) < ppVector3(1, 2, 3.0000002f));
  EXPECT_FALSE(ppVector3(1, 2, 3) < ppVector3(1, 2, 3));
}

TEST(VectorMatrixTest, VectorArithmetic) {
  ppVector3 a(1, 2, 3);
  const ppVector3 b(4, 5, 6);
  EXPECT_EQ(a.Cross(b), ppVector3(-3, 6, -3));
  EXPECT_DOUBLE_EQ(a.Dot(b), 32.0);
  EXPECT_FLOAT_EQ(ppVector3(3, 4, 0).Length(), 5.0f);
  EXPECT_FLOAT_EQ(a.Distance(ppVector3(1, 5, 7)), 5.0f);
  EXPECT_EQ(b / ppVector3(2, 5, 3), ppVector3(2, 1, 2));
  EXPECT_EQ((a += b) -= ppVector3(1, 1, 1), ppVector3(4, 6, 8));
  EXPECT_EQ((a *= 0.5f) /= 2.0f, ppVector3(1, 1.5f, 2));
  ExpectNear3(ppVector3(0, 3, 4).Normalized(), 0, 0.6f, 0.8f);
}

TEST(VectorMatrixTest, RotationsInPlanes) {
  ppVector3 p(2, 1, 5);
  p.RotateXY(ppVector3(1, 1, 0), kPi / 2);
  ExpectNear3(p, 1, 2, 5);
  // In the floor plane a positive angle turns +x toward -z.
  ppVector3 q(2, 7, 0);
  q.RotateXZ(ppVector3(1, 0, 0), kPi / 2);
  ExpectNear3(q, 1, 7, -1);
  ppVector3 r(2, 7, 0);
  r.RotateXZ(ppVector3(1, 0, 0), 0);
  EXPECT_EQ(r, ppVector3(2, 7, 0));
}

TEST(VectorMatrixTest, AnglesAndHeadings) {
  EXPECT_NEAR(AngleOfTol(-1, -1), 5 * kPi / 4, 1e-9);
  EXPECT_NEAR(AngleOfTol(0, 0), -kPi / 2, 1e-9);
  EXPECT_NEAR(AngleOfTol(1e-9, 1), kPi / 2, 1e-9);
  EXPECT_NEAR(AngleOfTol(-1, 1e-9), kPi, 1e-9);
  EXPECT_NEAR(NormalizedAngle(-0.5), geom::kTwoPi - 0.5, 1e-12);
  EXPECT_NEAR(NormalizedAngle(7), 7 - geom::kTwoPi, 1e-12);
  EXPECT_NEAR(NormalizedAngle(-7), 2 * geom::kTwoPi - 7, 1e-12);
  EXPECT_DOUBLE_EQ(NormalizedAngle(geom::kTwoPi), geom::kTwoPi);
  float f = -0.5f;
  NormalizeAngle(f);
  EXPECT_NEAR(f, 2 * kPi - 0.5, 1e-5);

  EXPECT_NEAR(ppVector3(0, 0, -5).AngleXZ(), -kPi / 2, 1e-6);
  EXPECT_NEAR(ppVector3(-2, 9, 0).AngleXZ(), kPi, 1e-6);
  EXPECT_FALSE(std::isnan(ppVector3().AngleXZ()));
  EXPECT_NEAR(ppVector3(0, 3, 2).Heading(), 0, 1e-6);
  EXPECT_EQ(ppVector3(0, 3, 0).Heading(), geom::kNoResult);
  EXPECT_TRUE(ppVector3(0, -2, 0).IsAlongY());
  EXPECT_FALSE(ppVector3(0.001f, 2, 0).IsAlongY());
  EXPECT_FALSE(ppVector3().IsAlongY());
}

TEST(VectorMatrixTest, IdentityMultiplyAndTranslate) {
  ppMatrix4 m;
  m.Translate(ppVector3(1, 2, 3));
  ppMatrix4 product;
  ppMatrix4().Multiply(product, m);
  for (int i = 0; i < 16; ++i) EXPECT_DOUBLE_EQ(product[i], m[i]) << i;
  ExpectNear3(Apply(m, ppVector3()), 1, 2, 3);

  // A translation added later applies before the existing scale: (1,0,0)+(1,0,0) then doubled.
  ppMatrix4 s;
  s.ScaleRows(ppVector3(2, 2, 2));
  s.Translate(ppVector3(1, 0, 0));
  ExpectNear3(Apply(s, ppVector3(1, 0, 0)), 4, 0, 0);
  s.ClearTranslation();
  ExpectNear3(Apply(s, ppVector3(1, 0, 0)), 2, 0, 0);

  // Results are divided by w.
  ppMatrix4 w;
  w[15] = 2;
  ExpectNear3(Apply(w, ppVector3(2, 4, 6)), 1, 2, 3);
}

TEST(VectorMatrixTest, RotateAxisTurnsAndNormalisesTheAxis) {
  ppMatrix4 m;
  ppVector3 axis(0, 5, 0);
  m.RotateAxis(kPi / 2, axis);
  ExpectNear3(Apply(m, ppVector3(1, 0, 0)), 0, 0, -1);
  EXPECT_EQ(axis, ppVector3(0, 1, 0));
  EXPECT_NEAR(m.HeadingAngle(), -kPi / 2, 1e-6);

  // The rotation is premultiplied: it acts before an existing translation.
  ppMatrix4 t;
  t.Translate(ppVector3(10, 0, 0));
  ppVector3 yAxis(0, 1, 0);
  t.RotateAxis(kPi, yAxis);
  ExpectNear3(Apply(t, ppVector3(1, 0, 0)), 9, 0, 0);

  ppVector3 untouched(0, 5, 0);
  ppMatrix4 still;
  still.RotateAxis(0, untouched);
  EXPECT_EQ(untouched, ppVector3(0, 5, 0));
  for (int i = 0; i < 16; ++i) EXPECT_DOUBLE_EQ(still[i], ppMatrix4()[i]);
}

TEST(VectorMatrixTest, InverseUndoesTheTransformation) {
  ppMatrix4 t;
  t.Translate(ppVector3(1, 2, 3));
  t.InvertInPlace();
  EXPECT_DOUBLE_EQ(t[12], -1);
  EXPECT_DOUBLE_EQ(t[13], -2);
  EXPECT_DOUBLE_EQ(t[14], -3);
  EXPECT_DOUBLE_EQ(t[0], 1);
  EXPECT_DOUBLE_EQ(t[15], 1);

  ppMatrix4 m;
  ppVector3 axis(1, 1, 0);
  m.RotateAxis(0.7, axis);
  m.ScaleRows(ppVector3(2, 3, 4));
  m.Translate(ppVector3(-5, 6, 7));
  ppMatrix4 product;
  m.Multiply(product, m.Inverse());
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(product[i], i % 5 == 0 ? 1.0 : 0.0, 1e-6) << i;
  ExpectNear3(Apply(m.Inverse(), Apply(m, ppVector3(3, -2, 8))), 3, -2, 8, 1e-4f);
}

TEST(VectorMatrixTest, ColumnConventionAndRays) {
  ppMatrix4 m;
  m[3] = 5;  // x gains 5 when the point is a column vector
  ppVector3 p(1, 1, 1);
  p *= m;
  ExpectNear3(p, 6, 1, 1);

  ppMatrix4 t;
  t.ScaleRows(ppVector3(3, 3, 3));
  t.Translate(ppVector3(0, 0, 1));
  ppRay out;
  ppMatrix4::TransformRay(out, t, ppRay{ppVector3(1, 0, 0), ppVector3(0, 2, 0)});
  ExpectNear3(out.origin, 3, 0, 3);
  ExpectNear3(out.direction, 0, 1, 0);
}

TEST(VectorMatrixTest, BoxesGrowAndIntersect) {
  ppBounds3 box;
  EXPECT_TRUE(box.IsEmpty());
  box.AddPoint(ppVector3(1, 2, 3));
  ExpectNear3(box.centre, 1, 2, 3);
  ExpectNear3(box.half, 0, 0, 0);
  box.AddPoint(ppVector3(3, 2, 3));
  ExpectNear3(box.centre, 2, 2, 3);
  ExpectNear3(box.half, 1, 0, 0);

  ppBounds3 empty;
  EXPECT_TRUE(ppBounds3::Transformed(ppMatrix4(), empty).IsEmpty());
  EXPECT_FALSE(box.Intersects(empty));
  EXPECT_FALSE(empty.Intersects(box));
  ppBounds3 same = box + empty;
  ExpectNear3(same.centre, 2, 2, 3);
  ExpectNear3(same.half, 1, 0, 0);

  ppBounds3 other;
  other.AddPoint(ppVector3(3, 2, 3));  // touches the corner
  other.AddPoint(ppVector3(5, 4, 5));
  EXPECT_TRUE(box.Intersects(other));
  ppBounds3 apart;
  apart.AddPoint(ppVector3(3.01f, 2, 3));
  EXPECT_FALSE(box.Intersects(apart));

  ppMatrix4 turn;
  ppVector3 yAxis(0, 1, 0);
  turn.RotateAxis(kPi / 2, yAxis);
  const ppBounds3 turned = ppBounds3::Transformed(turn, box + other);
  ExpectNear3(turned.centre, 4, 3, -3, 1e-4f);
  ExpectNear3(turned.half, 1, 1, 2, 1e-4f);
}

TEST(VectorMatrixTest, PlanesAndSpheres) {
  const ppPlane floor = PlaneFromPoints(ppVector3(0, 2, 0), ppVector3(0, 2, 1), ppVector3(1, 2, 0));
  ExpectNear3(floor.normal, 0, 1, 0);
  EXPECT_NEAR(floor.d, -2, 1e-6);

  const ppRay down{ppVector3(3, 10, 4), ppVector3(0, -1, 0)};
  ExpectNear3(IntersectRayPlane(floor, down, 0), 3, 2, 4);
  ExpectNear3(IntersectRayPlane(floor, down, 2), 3, 2, 4);
  EXPECT_EQ(IntersectRayPlane(floor, down, 1).x, geom::kNoResult);
  const ppRay up{ppVector3(3, 10, 4), ppVector3(0, 1, 0)};
  EXPECT_EQ(IntersectRayPlane(floor, up, 2).y, geom::kNoResult);
  const ppRay level{ppVector3(3, 10, 4), ppVector3(1, 0, 0)};
  const ppVector3 miss = IntersectRayPlane(floor, level, 0);
  EXPECT_EQ(miss.x, geom::kNoResultNegative);
  EXPECT_EQ(miss.z, geom::kNoResultNegative);

  EXPECT_TRUE(ppSphere(ppVector3(0, 0, 0), 1).Overlaps(ppSphere(ppVector3(3, 0, 0), 2)));
  EXPECT_FALSE(ppSphere(ppVector3(0, 0, 0), 1).Overlaps(ppSphere(ppVector3(3.1f, 0, 0), 2)));
  ppMatrix4 m;
  m.ScaleRows(ppVector3(2, 2, 2));
  m.Translate(ppVector3(1, 0, 0));
  const ppSphere s = TransformSphere(m, ppSphere(ppVector3(1, 0, 0), 3));
  ExpectNear3(s.centre, 4, 0, 0);
  EXPECT_NEAR(s.radius, 6, 1e-6);
}

}  // namespace
