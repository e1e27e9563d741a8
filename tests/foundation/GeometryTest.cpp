// The plan's 2D and floor-plane geometry: angles, turns, intersections, offsets and point lists.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "foundation/Geometry2D.h"
#include "foundation/Geometry3D.h"
#include "foundation/VectorAngle.h"
#include "foundation/Vcon_HandleManager.h"
#include "foundation/ppMatrix4.h"

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

void ExpectNear3(const ppVector3& v, float x, float y, float z, float tol = 1e-4f) {
  EXPECT_NEAR(v.x, x, tol);
  EXPECT_NEAR(v.y, y, tol);
  EXPECT_NEAR(v.z, z, tol);
}

// A handle holding the given points back to back; disposed with the object.
template <typename Point>
class PointList {
 public:
  explicit PointList(const std::vector<Point>& pts) {
    Vcon_HandleManager::MemNew(&h_, static_cast<uint32_t>(pts.size() * sizeof(Point)));
    if (!pts.empty()) std::memcpy(*h_, pts.data(), pts.size() * sizeof(Point));
  }
  ~PointList() { MemDispose(h_); }
  PointList(const PointList&) = delete;
  PointList& operator=(const PointList&) = delete;

  Handle handle() const { return h_; }
  std::vector<Point> Points() const {
    std::vector<Point> pts(MemGetSize(h_) / sizeof(Point));
    if (!pts.empty()) std::memcpy(pts.data(), *h_, pts.size() * sizeof(Point));
    return pts;
  }

 private:
  Handle h_ = nullptr;
};

TEST(GeometryTest, AnglesCoverMinusHalfPiToThreeHalvesPi) {
  EXPECT_FLOAT_EQ(VectorAngle(0, 0), 0);
  EXPECT_FLOAT_EQ(VectorAngle(-1, -1), 5 * kPi / 4);
  EXPECT_FLOAT_EQ(VectorAngle(1, -1), 3 * kPi / 4);
  EXPECT_FLOAT_EQ(VectorAngle(0, -1), kPi);
  EXPECT_FLOAT_EQ(VectorAngle(-2, 0), -kPi / 2);
  EXPECT_FLOAT_EQ(VectorAngle(1, 1), kPi / 4);

  // AngleOf takes x first and gives the zero vector -pi/2.
  EXPECT_FLOAT_EQ(AngleOf(0, 0), -kPi / 2);
  EXPECT_FLOAT_EQ(AngleOf(-1, 0), kPi);
  EXPECT_FLOAT_EQ(AngleOf(-1, -1), 5 * kPi / 4);
  EXPECT_FLOAT_EQ(AngleOf(-1, 1), 3 * kPi / 4);
  EXPECT_FLOAT_EQ(AngleOf(1, -1), -kPi / 4);
  EXPECT_FLOAT_EQ(AngleBetween(ppVector2(1, 1), ppVector2(1, 5)), kPi / 2);
  EXPECT_FLOAT_EQ(AngleBetweenXZ(ppVector3(1, 9, 1), ppVector3(0, -9, 1)), kPi);
}

TEST(GeometryTest, AngleDifferencesAndHalfComparisons) {
  EXPECT_NEAR(AngleDifference(0.1f, 2 * kPi - 0.1f, false), 0.2f, 1e-5);
  EXPECT_NEAR(AngleDifference(2 * kPi - 0.1f, 0.1f, false), -0.2f, 1e-5);
  EXPECT_NEAR(AngleDifference(2 * kPi - 0.1f, 0.1f, true), 2 * kPi - 0.2f, 1e-5);
  EXPECT_NEAR(AngleDifference(1 + 4 * kPi, 0, false), 1, 1e-4);
  EXPECT_NEAR(AngleDifference(0, 1 + 4 * kPi, true), 2 * kPi - 1, 1e-4);
  EXPECT_NEAR(FloatMod(-7, 3), -1, 1e-6);

  EXPECT_EQ(CompareWithinHalf(10, 10.5f), -1);
  EXPECT_EQ(CompareWithinHalf(10, 10.4f), 0);
  EXPECT_EQ(CompareWithinHalf(10, 9.6f), 0);
  EXPECT_EQ(CompareWithinHalf(10, 9.5f), 1);
  EXPECT_EQ(CompareWithinHalf(10, 10), 0);
}

TEST(GeometryTest, DistancesAndSinglePointMoves) {
  EXPECT_FLOAT_EQ(Hypot2(3, 4), 5);
  EXPECT_FLOAT_EQ(Distance2(ppVector2(1, 1), ppVector2(4, 5)), 5);
  EXPECT_FLOAT_EQ(Length3(2, 3, 6), 7);
  EXPECT_FLOAT_EQ(Distance3(ppVector3(1, 1, 1), ppVector3(3, 4, 7)), 7);
  // Integer differences that overflow 32 bits still give the right distance.
  EXPECT_NEAR(DistanceInt2(INT32_MIN, 0, INT32_MAX, 0), 4294967295.0f, 1000.0f);

  ppVector2 p(1, 0);
  Rotate2(p, kPi / 2);
  EXPECT_NEAR(p.x, 0, 1e-6);
  EXPECT_NEAR(p.y, 1, 1e-6);
  Offset2(p, 3, 1);
  DivideXY2(p, 2, 4);
  EXPECT_NEAR(p.x, 1.5f, 1e-6);
  EXPECT_NEAR(p.y, 0.5f, 1e-6);
  Divide2(p, 0.5f);
  EXPECT_NEAR(p.x, 3, 1e-6);
  EXPECT_NEAR(p.y, 1, 1e-6);
}

TEST(GeometryTest, PointListOperationsTouchEveryPoint) {
  PointList<ppVector2> list({{2, 4}, {-6, 8}, {0, 0}});
  PointListDivide(list.handle(), 2);
  PointListOffset(list.handle(), 1, -1);
  PointListDivideXY(list.handle(), 1, 0.5f);
  PointListRotate(list.handle(), kPi);
  const auto pts = list.Points();
  ASSERT_EQ(pts.size(), 3u);
  EXPECT_NEAR(pts[0].x, -2, 1e-5);
  EXPECT_NEAR(pts[0].y, -2, 1e-5);
  EXPECT_NEAR(pts[1].x, 2, 1e-5);
  EXPECT_NEAR(pts[1].y, -6, 1e-5);
  EXPECT_NEAR(pts[2].x, -1, 1e-5);
  EXPECT_NEAR(pts[2].y, 2, 1e-5);

  PointList<ppVector2> empty({});
  PointListRotate(empty.handle(), 1);
  OffsetPolygon(empty.handle(), 5);
  EXPECT_TRUE(empty.Points().empty());

  PointList<ppVector3> list3({{1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0}});
  ReversePointList3(list3.handle());
  const auto rev = list3.Points();
  for (int i = 0; i < 4; ++i) EXPECT_EQ(rev[i].x, 4 - i);
  PointList<ppVector3> single({{7, 8, 9}});
  ReversePointList3(single.handle());
  EXPECT_EQ(single.Points()[0], ppVector3(7, 8, 9));
}

TEST(GeometryTest, IntersectionModesAndTolerances) {
  ppVector3 out(99, 99, 99);
  bool parallel = true;
  // Crossing in the middle: every mode accepts, and y of the answer is 0.
  EXPECT_TRUE(IntersectXZ(out, {0, 5, 0}, {2, 5, 2}, {0, 5, 2}, {2, 5, 0}, parallel, 4));
  EXPECT_FALSE(parallel);
  ExpectNear3(out, 1, 0, 1);

  // Segments meeting exactly at an end point.
  const ppVector3 a1(0, 0, 0), a2(10, 0, 0), b1(10, 0, 0), b2(10, 0, 10);
  EXPECT_TRUE(IntersectXZ(out, a1, a2, b1, b2, parallel, 1));
  EXPECT_TRUE(IntersectXZ(out, a1, a2, b1, b2, parallel, 7));
  EXPECT_FALSE(IntersectXZ(out, a1, a2, b1, b2, parallel, 4));
  ExpectNear3(out, 10, 0, 0);

  // Just beyond the end: the loose mode forgives 0.0001 of the length, the exact one does not.
  const ppVector3 c1(10.0005f, 0, -5), c2(10.0005f, 0, 5);
  EXPECT_TRUE(IntersectSegmentsXZ(out, a1, a2, c1, c2, parallel));
  EXPECT_FALSE(IntersectSegmentsXZExact(out, a1, a2, c1, c2));
  ExpectNear3(out, 10.0005f, 0, 0);  // set even though the answer is false
  const ppVector3 d1(10.002f, 0, -5), d2(10.002f, 0, 5);
  EXPECT_FALSE(IntersectSegmentsXZ(out, a1, a2, d1, d2, parallel));
  EXPECT_TRUE(IntersectLinesXZ(out, a1, a2, d1, d2, parallel));
  // One-sided modes test only their own line; unknown modes test nothing.
  EXPECT_TRUE(IntersectXZ(out, a1, a2, {5, 0, 100}, {5, 0, 101}, parallel, 2));
  EXPECT_FALSE(IntersectXZ(out, a1, a2, {5, 0, 100}, {5, 0, 101}, parallel, 3));
  EXPECT_TRUE(IntersectXZ(out, a1, a2, {5, 0, 100}, {5, 0, 101}, parallel, 8));

  // Parallel and overlapping lines: no answer, flag set, out untouched.
  out = ppVector3(99, 99, 99);
  EXPECT_FALSE(IntersectLinesXZ(out, a1, a2, {0, 0, 1}, {10, 0, 1}, parallel));
  EXPECT_TRUE(parallel);
  EXPECT_FALSE(IntersectSegmentsXZ(out, a1, a2, {2, 0, 0}, {5, 0, 0}, parallel));
  EXPECT_TRUE(parallel);
  EXPECT_EQ(out, ppVector3(99, 99, 99));
  // A zero-length segment counts as parallel rather than dividing by zero.
  EXPECT_FALSE(IntersectLinesXZ(out, a1, a2, {3, 0, 3}, {3, 0, 3}, parallel));
  EXPECT_TRUE(parallel);
}

TEST(GeometryTest, OrientationTruncatesTheCrossProduct) {
  const ppVector3 a(0, 0, 0), b(10, 0, 0);
  EXPECT_EQ(OrientationXZ(a, b, {0, 0, -0.09f}), 0);  // cross product 0.9
  EXPECT_EQ(OrientationXZ(a, b, {0, 0, 0.09f}), 0);
  EXPECT_EQ(OrientationXZ(a, b, {0, 0, -0.1f}), 1);
  EXPECT_EQ(OrientationXZ(a, b, {0, 0, 0.1f}), -1);
  // Far-apart points give a cross product far beyond 32-bit integers.
  EXPECT_EQ(OrientationXZ(a, {1e6f, 0, 0}, {0, 0, -1e6f}), 1);
  EXPECT_EQ(OrientationXZ(a, {1e6f, 0, 0}, {0, 0, 1e6f}), -1);
}

TEST(GeometryTest, TurnsInThreeDimensions) {
  ppVector3 p(1, 0, 0);
  RotatePoint3(p, 0, kPi / 2, 0);
  ExpectNear3(p, 0, 0, -1);
  ppVector3 q(0, 1, 0);
  RotatePoint3(q, kPi / 2, 0, kPi / 2);  // y to z about x, then z stays about z
  ExpectNear3(q, 0, 0, 1);
  ppVector3 r(1, 0, 0);
  RotatePoint3(r, kPi / 2, kPi / 2, kPi / 2);  // x stays, z turns it to y, y keeps it
  ExpectNear3(r, 0, 1, 0);

  // The float matrix turns the opposite way from ppMatrix4::RotateAxis.
  FloatMatrix m;
  AxisAngleMatrix(kPi / 2, ppVector3(0, 1, 0), m);
  ppVector3 s(1, 0, 0);
  TransformByFloatMatrix(s, m);
  ExpectNear3(s, 0, 0, 1);
  ppMatrix4 dm;
  ppVector3 axis(0, 1, 0);
  dm.RotateAxis(kPi / 2, axis);
  ppVector3 t;
  dm.TransformPoint(t, ppVector3(1, 0, 0));
  ExpectNear3(t, 0, 0, -1);

  // A scaled or negative axis still turns exactly; the zero axis and the zero angle turn nothing.
  ppVector3 u(1, 0, 0);
  RotateAboutAxis(u, kPi / 2, ppVector3(0, -3, 0));
  ExpectNear3(u, 0, 0, -1);
  ppVector3 w(1, 2, 3);
  RotateAboutAxis(w, 1, ppVector3());
  RotateAboutAxis(w, 0, ppVector3(1, 0, 0));
  EXPECT_EQ(w, ppVector3(1, 2, 3));
  AxisAngleMatrix(1, ppVector3(), m);
  TransformByFloatMatrix(w, m);
  EXPECT_EQ(w, ppVector3(1, 2, 3));

  ppVector3 v(3, 7, 1);
  RotateXZAbout(v, kPi / 2, ppVector3(2, 0, 1));
  ExpectNear3(v, 2, 7, 0);
  ppVector3 xy(1, 0, 5);
  RotateXYOrigin(xy, kPi / 2);
  ExpectNear3(xy, 0, 1, 5);

  // A record: a 32-bit word, then the vector.
  unsigned char record[16];
  const int32_t tag = 0x01020304;
  const ppVector3 inRecord(1, 5, 0);
  std::memcpy(record, &tag, 4);
  std::memcpy(record + 4, &inRecord, 12);
  RotateAboutY(record, kPi / 2);
  ppVector3 outRecord;
  std::memcpy(&outRecord, record + 4, 12);
  ExpectNear3(outRecord, 0, 5, -1);
  EXPECT_EQ(std::memcmp(record, &tag, 4), 0);

  ppVector3 n;
  TriangleNormal(n, {1, 0, 0}, {0, 0, 0}, {0, 0, 2}, false);
  ExpectNear3(n, 0, 2, 0);
  TriangleNormal(n, {1, 0, 0}, {0, 0, 0}, {0, 0, 2}, true);
  ExpectNear3(n, 0, 1, 0);
  TriangleNormal(n, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, true);  // degenerate
  EXPECT_EQ(n, ppVector3());
}

TEST(GeometryTest, SegmentOffsetsAndFootOnRay) {
  ppVector3 oa, ob;
  OffsetSegmentXZ({0, 1, 0}, {10, 1, 0}, oa, ob, 2, true);
  ExpectNear3(oa, 0, 1, 2);
  ExpectNear3(ob, 10, 1, 2);
  OffsetSegmentXZ({0, 1, 0}, {10, 1, 0}, oa, ob, 2, false);
  ExpectNear3(oa, 0, 1, -2);
  ExpectNear3(ob, 10, 1, -2);

  const ppVector3 a(1, 0, 1), c(5, 0, 5);
  const ppVector3 b(1, 0, 5);
  ppVector3 foot(99, 99, 99);
  EXPECT_TRUE(FootOnRayXZ(a, b, c, foot));
  ExpectNear3(foot, 3, 0, 3);
  // The caller's points stay as they were.
  EXPECT_EQ(b, ppVector3(1, 0, 5));
  EXPECT_EQ(c, ppVector3(5, 0, 5));
  // Behind the ray's origin: false and out untouched.
  foot = ppVector3(99, 99, 99);
  EXPECT_FALSE(FootOnRayXZ(a, ppVector3(-3, 0, 0), c, foot));
  EXPECT_EQ(foot, ppVector3(99, 99, 99));
  // A height difference does not lengthen the floor distance.
  EXPECT_TRUE(FootOnRayXZ(a, ppVector3(1, 1000, 5), c, foot));
  ExpectNear3(foot, 3, 0, 3);
  // A ray without direction has no foot.
  EXPECT_FALSE(FootOnRayXZ(a, b, ppVector3(1, 3, 1), foot));
}

TEST(GeometryTest, OffsetPolygonMovesEveryEdgeSideways) {
  // A square turning counter-clockwise: edges move to their left, the square shrinks by d per side.
  PointList<ppVector2> square({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  OffsetPolygon(square.handle(), 1);
  const std::vector<ppVector2> want{{1, 1}, {9, 1}, {9, 9}, {1, 9}};
  auto got = square.Points();
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_NEAR(got[i].x, want[i].x, 1e-4) << i;
    EXPECT_NEAR(got[i].y, want[i].y, 1e-4) << i;
  }

  // Directions come from the original outline: a triangle's corners move by d / sin(half angle).
  PointList<ppVector2> tri({{0, 0}, {10, 0}, {0, 10}});
  OffsetPolygon(tri.handle(), -1);
  got = tri.Points();
  EXPECT_NEAR(got[0].x, -1, 1e-4);
  EXPECT_NEAR(got[0].y, -1, 1e-4);
  EXPECT_NEAR(got[1].x, 10 + 1 + std::sqrt(2.0f), 1e-4);
  EXPECT_NEAR(got[1].y, -1, 1e-4);
  EXPECT_NEAR(got[2].x, -1, 1e-4);
  EXPECT_NEAR(got[2].y, 10 + 1 + std::sqrt(2.0f), 1e-4);
}

TEST(GeometryTest, OffsetPolygonSurvivesDegenerateOutlines) {
  // A repeated corner moves like its neighbour instead of taking a direction from a zero-length edge.
  PointList<ppVector2> doubled({{0, 0}, {10, 0}, {10, 0}, {10, 10}, {0, 10}});
  OffsetPolygon(doubled.handle(), 1);
  const auto got = doubled.Points();
  EXPECT_NEAR(got[1].x, 9, 1e-4);
  EXPECT_NEAR(got[1].y, 1, 1e-4);
  EXPECT_NEAR(got[2].x, 9, 1e-4);
  EXPECT_NEAR(got[2].y, 1, 1e-4);
  EXPECT_NEAR(got[0].x, 1, 1e-4);

  // One point, or the same point repeated, has no edge to move.
  PointList<ppVector2> one({{3, 4}});
  OffsetPolygon(one.handle(), 5);
  EXPECT_EQ(one.Points()[0], ppVector2(3, 4));
  PointList<ppVector2> same({{3, 4}, {3, 4}, {3, 4}});
  OffsetPolygon(same.handle(), 5);
  for (const auto& p : same.Points()) EXPECT_EQ(p, ppVector2(3, 4));

  // An outline that turns straight back stays finite: its ends move along the edge normal.
  PointList<ppVector2> spike({{0, 0}, {10, 0}});
  OffsetPolygon(spike.handle(), 1);
  for (const auto& p : spike.Points()) {
    EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
    EXPECT_NEAR(std::fabs(p.y), 1, 1e-4);
  }
}

}  // namespace
