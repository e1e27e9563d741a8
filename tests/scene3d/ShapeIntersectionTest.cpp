// The collision test between recorded shapes: rounding, the triangle test, the rejections, and
// agreement of the pruned search with the plain double loop.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "foundation/ppMatrix4.h"
#include "scene3d/context/PolygonWinding.h"
#include "scene3d/context/TriTriIntersect.h"
#include "scene3d/context/ppShape3D.h"

namespace {

void AddTriangle(ppShape3D& shape, const ppVector3& a, const ppVector3& b, const ppVector3& c) {
  shape.Begin(9);
  for (const ppVector3& p : {a, b, c}) shape.Vertex(p.x, p.y, p.z);
  shape.End();
}

ppShape3D TriangleShape(const ppVector3& a, const ppVector3& b, const ppVector3& c) {
  ppShape3D shape;
  AddTriangle(shape, a, b, c);
  return shape;
}

ppMatrix4 Moved(float x, float y, float z) {
  ppMatrix4 m;
  m.Translate(ppVector3(x, y, z));
  return m;
}

TEST(ShapeIntersection, RoundsToHundredthsHalfAwayFromZero) {
  const struct {
    float in, out;
  } cases[] = {{12.344f, 12.34f}, {12.346f, 12.35f}, {-12.346f, -12.35f},
               {-0.004f, 0.0f},   {0.125f, 0.13f},   {-0.125f, -0.13f}};
  for (const auto& c : cases) {
    ppVector3 p(c.in, c.in, c.in);
    RoundToHundredths(p);
    EXPECT_FLOAT_EQ(p.x, c.out) << c.in;
    EXPECT_FLOAT_EQ(p.z, c.out) << c.in;
  }
}

TEST(ShapeIntersection, TriangleTestCasesFromItsContract) {
  // A vertical triangle piercing a horizontal one; the same two sharing a corner.
  const ppVector3 a(0, 0, 0), b(10, 0, 0), c(0, 0, 10);
  EXPECT_EQ(TriTriIntersect(a, b, c, {2, -5, 2}, {2, 5, 2}, {3, 0, 8}), 1);
  EXPECT_EQ(TriTriIntersect(a, b, c, {2, -5, 2}, {2, -4, 2}, {3, -4, 8}), 0);
  // Raw plane value 0.005 (the unnormalised normal of a, b, c has length 100): in the plane.
  EXPECT_EQ(TriTriIntersect(a, b, c, {1, 0.00005f, 1}, {1, 5, 1}, {2, 5, 1}), 1);
  EXPECT_EQ(TriTriIntersect(a, b, c, {1, 0.0002f, 1}, {1, 5, 1}, {2, 5, 1}), 0);
  // Coplanar: overlapping, touching at an edge point, and apart.
  EXPECT_EQ(TriTriIntersect(a, b, c, {1, 0, 1}, {20, 0, 1}, {1, 0, 20}), 1);
  EXPECT_EQ(TriTriIntersect(a, b, c, {5, 0, 5}, {20, 0, 5}, {5, 0, 20}), 1);
  EXPECT_EQ(TriTriIntersect(a, b, c, {6, 0, 6}, {20, 0, 6}, {6, 0, 20}), 0);
}

TEST(ShapeIntersection, SharedCornersAreNeverReported) {
  // Two triangles that cross each other and share the corner (0, 0, 0).
  const ppShape3D first = TriangleShape({0, 0, 0}, {10, 0, 0}, {0, 0, 10});
  const ppShape3D second = TriangleShape({0, 0, 0}, {3, -5, 3}, {3, 5, 3});
  const ppMatrix4 identity;
  EXPECT_FALSE(first.Intersects(second, identity, identity));
  // Moved by a hundredth of a millimetre the corners differ and the crossing counts.
  EXPECT_TRUE(first.Intersects(second, identity, Moved(0.01f, 0, 0)));
  // Within the rounding they are still the same corner.
  EXPECT_FALSE(first.Intersects(second, identity, Moved(0.004f, 0, 0)));
  // Coplanar and overlapping without a shared corner.
  const ppShape3D flat = TriangleShape({1, 0, 1}, {20, 0, 1}, {1, 0, 20});
  EXPECT_TRUE(first.Intersects(flat, identity, identity));
}

TEST(ShapeIntersection, FarApartShapesAreRejectedBeforeAnyPrimitive) {
  const ppShape3D first = TriangleShape({0, 0, 0}, {10, 0, 0}, {0, 0, 10});
  ppShape3D second = TriangleShape({0, 0, 0}, {10, 0, 0}, {0, 0, 10});
  uint32_t visited = 99;
  EXPECT_FALSE(first.Intersects(second, ppMatrix4(), Moved(1000, 0, 0), &visited));
  EXPECT_EQ(visited, 0u);
  EXPECT_TRUE(first.Intersects(second, ppMatrix4(), Moved(5, 0, -5), &visited));
  EXPECT_EQ(visited, 2u);
}

TEST(ShapeIntersection, FindsContactOutsideTheFarthestPairSphere) {
  // The apex of an equilateral triangle lies 8.66 from the recorded centre, outside radius 5; a small
  // triangle piercing it near the apex must still be found.
  const ppShape3D equilateral = TriangleShape({0, 0, 0}, {10, 0, 0}, {5, 8.660254f, 0});
  const ppShape3D needle = TriangleShape({4.5f, 7.5f, -1}, {5.5f, 7.5f, -1}, {5, 7.8f, 1});
  const ppMatrix4 identity;
  EXPECT_TRUE(equilateral.Intersects(needle, identity, identity));
  EXPECT_TRUE(needle.Intersects(equilateral, identity, identity));
}

// A grid of quads in the plane z = z0, n by n cells of `cell` millimetres.
void AddGrid(ppShape3D& shape, int n, float cell, float z0) {
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      shape.Begin(9);
      shape.Vertex(i * cell, j * cell, z0);
      shape.Vertex((i + 1) * cell, j * cell, z0);
      shape.Vertex((i + 1) * cell, (j + 1) * cell, z0);
      shape.Vertex(i * cell, (j + 1) * cell, z0);
      shape.End();
    }
}

// The plain double loop the pruned search must agree with.
bool PlainIntersects(const ppShape3D& first, const ppShape3D& second, const ppMatrix4& a,
                     const ppMatrix4& b) {
  for (const ppShapePrimitive& p : first.Primitives())
    if (second.IntersectsPrimitive(p, b, a)) return true;
  return false;
}

TEST(ShapeIntersection, PrunedSearchAgreesWithThePlainLoop) {
  ppShape3D sheet, wall;
  AddGrid(sheet, 12, 10, 0);
  for (int i = 0; i < 12; ++i) {  // a comb of vertical quads standing on x = 5 + 10 i
    wall.Begin(9);
    wall.Vertex(5 + 10.0f * i, 0, -5);
    wall.Vertex(5 + 10.0f * i, 120, -5);
    wall.Vertex(5 + 10.0f * i, 120, 5);
    wall.Vertex(5 + 10.0f * i, 0, 5);
    wall.End();
  }
  const ppMatrix4 identity;
  int hits = 0;
  for (int k = 0; k < 40; ++k) {
    ppMatrix4 place = Moved(0, 0, -8.0f + 0.4f * k);
    const bool expected = PlainIntersects(sheet, wall, identity, place);
    EXPECT_EQ(sheet.Intersects(wall, identity, place), expected) << k;
    hits += expected;
  }
  EXPECT_GT(hits, 5);
  EXPECT_LT(hits, 35);

  // A primitive of non-numbers meets nothing and leaves the rest of the search intact.
  AddTriangle(wall, {NAN, 0, 0}, {1, NAN, 0}, {0, 1, NAN});
  EXPECT_TRUE(sheet.Intersects(wall, identity, identity));
}

TEST(PolygonWinding, TurnsOfTheUnitSquare) {
  const ppVector2 ccw[] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  const ppVector2 cw[] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
  const ppVector2 closed[] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}};
  const ppVector2 repeated[] = {{0, 0}, {1, 0}, {1, 0}, {1, 1}, {0, 1}};
  EXPECT_TRUE(PolygonWindsPositive(4, ccw, nullptr));
  EXPECT_FALSE(PolygonWindsPositive(4, cw, nullptr));
  EXPECT_TRUE(PolygonWindsPositive(5, closed, nullptr));
  EXPECT_TRUE(PolygonWindsPositive(5, repeated, nullptr));
  const uint32_t reversed[] = {3, 2, 1, 0};
  EXPECT_FALSE(PolygonWindsPositive(4, ccw, reversed));
  const ppVector2 point[] = {{1, 1}, {1, 1}, {1, 1}};  // every edge of zero length: no turn at all
  EXPECT_FALSE(PolygonWindsPositive(3, point, nullptr));
}

}  // namespace
