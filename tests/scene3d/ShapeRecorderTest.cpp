// Recording shapes: snapping, the farthest-pair spheres, replay, ray hits, and the 2D recorder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "LoggingContext.h"
#include "foundation/ppMatrix4.h"
#include "foundation/ppRay.h"
#include "scene3d/context/ppShape2D.h"
#include "scene3d/context/ppShape3D.h"

namespace {

void Triangle(ppShape3D& shape, const ppVector3& a, const ppVector3& b, const ppVector3& c) {
  shape.Begin(9);
  for (const ppVector3& p : {a, b, c}) shape.Vertex(p.x, p.y, p.z);
  shape.End();
}

TEST(ShapeRecorder, SnapsTinyCoordinatesAndIgnoresStrayCalls) {
  ppShape3D shape;
  EXPECT_TRUE(shape.Values().IsPlaceholder());  // never cached until an owner keys it
  shape.Values().AppendReplacingPlaceholder(3);
  shape.Values().AppendReplacingPlaceholder(4);
  EXPECT_EQ(shape.Values().Values(), (std::vector<double>{3, 4}));
  shape.Vertex(1, 2, 3);  // before any Begin: nothing to add it to
  shape.Begin(9);
  shape.End();  // no vertex: no primitive
  EXPECT_EQ(shape.GetCount(), 0u);
  shape.Begin(9);
  shape.Vertex(1e-9f, 0.5f, -1e-10f);
  shape.End();
  ASSERT_EQ(shape.GetCount(), 1u);
  const ppVector3 p = shape.Primitives()[0].vertices[0].position;
  EXPECT_EQ(p.x, 0.0f);
  EXPECT_EQ(p.y, 0.5f);
  EXPECT_EQ(p.z, 0.0f);
  EXPECT_FALSE(std::signbit(p.z));
}

TEST(ShapeRecorder, SpheresFollowTheFarthestPairAndBoundsHoldEveryPoint) {
  ppShape3D shape;
  Triangle(shape, {0, 0, 0}, {10, 0, 0}, {0, 10, 0});
  for (const ppSphere& s : {shape.GetSphere(), shape.Primitives()[0].sphere}) {
    EXPECT_FLOAT_EQ(s.centre.x, 5);
    EXPECT_FLOAT_EQ(s.centre.y, 5);
    EXPECT_FLOAT_EQ(s.centre.z, 0);
    EXPECT_NEAR(s.radius, 7.0710678f, 1e-6);
  }
  EXPECT_FLOAT_EQ(shape.GetBounds().half.x, 5);

  // Equilateral: the recorded sphere misses the apex, the bounding sphere reaches it.
  ppShape3D equilateral;
  Triangle(equilateral, {0, 0, 0}, {10, 0, 0}, {5, 8.660254f, 0});
  EXPECT_FLOAT_EQ(equilateral.GetSphere().radius, 5);
  EXPECT_NEAR(equilateral.GetBoundingSphere().radius, 8.660254f, 1e-5);
  EXPECT_NEAR(equilateral.Primitives()[0].reach, 8.660254f, 1e-5);
}

TEST(ShapeRecorder, IndexedSphereScanMatchesThePlainScanBitForBit) {
  // Quads of a sphere (every corner recorded four times: many exact ties) and scattered points.
  ppShape3D shape;
  std::vector<ppVector3> all;
  uint32_t seed = 12345;
  auto next = [&seed] { return (seed = seed * 1664525u + 1013904223u) >> 8; };
  for (int q = 0; q < 700; ++q) {
    shape.Begin(9);
    for (int k = 0; k < 4; ++k) {
      const double theta = 3.14159265 * ((q / 20 + (k == 1 || k == 2)) / 36.0);
      const double phi = 6.2831853 * ((q % 20 + (k >= 2)) / 20.0);
      ppVector3 p(float(250 * std::sin(theta) * std::cos(phi)), float(250 * std::cos(theta)),
                  float(250 * std::sin(theta) * std::sin(phi)));
      if (q % 7 == 3) p = ppVector3(float(next() % 900) - 450, float(next() % 900) - 450, float(next() % 90));
      shape.Vertex(p.x, p.y, p.z);
      all.push_back(shape.Primitives().back().vertices.back().position);
    }
    shape.End();
  }
  ppSphere plain;
  for (size_t i = 0; i < all.size(); ++i)
    for (size_t j = 0; j <= i; ++j) {
      const float d = all[i].Distance(all[j]);
      if (2.0f * plain.radius < d) {
        plain.radius = d / 2.0f;
        plain.centre = (all[i] + all[j]) / 2.0f;
      }
    }
  float reach = 0;
  for (const ppVector3& p : all) reach = std::max(reach, plain.centre.Distance(p));
  EXPECT_EQ(std::memcmp(&shape.GetSphere(), &plain, sizeof plain), 0);
  EXPECT_EQ(shape.GetBoundingSphere().radius, std::max(reach, plain.radius));
}

TEST(ShapeRecorder, ReplayKeepsModesVertexDataAndTransformsNormals) {
  ppShape3D shape;
  shape.Begin(4);
  shape.TexCoord(0.25f, 0.75f);
  shape.Normal(0, 0, 2);
  shape.Vertex(1, 2, 3);
  shape.End();
  shape.Begin(9);
  shape.Vertex(4, 5, 6);  // no normal given
  shape.End();

  LoggingContext plain;
  shape.Replay(plain);
  EXPECT_EQ(plain.log,
            (std::vector<std::string>{"Begin 1", "TexCoord 0.25 0.75", "Normal 0 0 2", "Vertex 1 2 3", "End",
                                      "Begin 9", "TexCoord 0 0", "Normal 0 0 0", "Vertex 4 5 6", "End"}));

  ppMatrix4 m;
  m.Translate(ppVector3(10, 0, 0));
  LoggingContext moved;
  shape.ReplayTransformed(moved, m);
  EXPECT_EQ(moved.log[2], "Normal 0 0 1");  // turned, not moved, and normalised
  EXPECT_EQ(moved.log[3], "Vertex 11 2 3");
  EXPECT_EQ(moved.log[7], "Normal 0 0 0");  // a missing normal stays zero, never non-numbers
}

TEST(ShapeRecorder, RaysHitPrimitivesAtOrBehindTheirOrigin) {
  ppShape3D shape;
  Triangle(shape, {0, 0, 0}, {10, 0, 0}, {0, 10, 0});
  shape.Begin(1);
  shape.Vertex(0, 0, 0);
  shape.Vertex(10, 10, 0);
  shape.End();

  ppVector3 hit;
  const ppShapePrimitive* primitive = nullptr;
  EXPECT_TRUE(shape.HitTest(ppRay{{2, 2, 5}, {0, 0, 1}}, &hit, &primitive));
  EXPECT_EQ(hit.x, 2);
  EXPECT_EQ(hit.y, 2);
  EXPECT_EQ(hit.z, 0);
  EXPECT_EQ(primitive, &shape.Primitives()[0]);
  EXPECT_FALSE(shape.HitTest(ppRay{{2, 2, 5}, {0, 0, -1}}, nullptr, nullptr));
  EXPECT_FALSE(shape.HitTest(ppRay{{2, 2, 5}, {1, 0, 0}}, nullptr, nullptr));   // parallel to the plane
  EXPECT_FALSE(shape.HitTest(ppRay{{12, 2, 5}, {0, 0, 1}}, nullptr, nullptr));  // outside the outline
  // The two-vertex primitive has no plane; the line through it is never hit.
  EXPECT_FALSE(shape.Primitives()[1].IntersectSegment(ppRay{{5, 5, 5}, {0, 0, 1}}, nullptr));
  EXPECT_TRUE(shape.Primitives()[0].ContainsPoint(ppVector3(0.5f, 0.5f, 0)));
  EXPECT_FALSE(shape.Primitives()[0].ContainsPoint(ppVector3(-0.5f, -0.5f, 0)));

  // Points at and near the projection's origin still get a test segment that reaches far out.
  ppShape3D square;
  square.Begin(9);
  for (const ppVector3& p :
       {ppVector3(-1, -1, 0), ppVector3(1, -1, 0), ppVector3(1, 1, 0), ppVector3(-1, 1, 0)})
    square.Vertex(p.x, p.y, p.z);
  square.End();
  EXPECT_TRUE(square.Primitives()[0].ContainsPoint(ppVector3(0, 0, 0)));
  EXPECT_TRUE(square.Primitives()[0].ContainsPoint(ppVector3(1e-6f, 0, 0)));
  EXPECT_TRUE(square.HitTest(ppRay{{0, 0, 5}, {0, 0, 1}}, &hit, nullptr));

  // A point whose test ray runs through a corner is judged by the edges, not by the corner: the
  // diagonal of a square at the origin passes its far corner.
  ppShape3D box;
  box.Begin(9);
  for (const ppVector3& p :
       {ppVector3(0, 0, 0), ppVector3(100, 0, 0), ppVector3(100, 100, 0), ppVector3(0, 100, 0)})
    box.Vertex(p.x, p.y, p.z);
  box.End();
  const struct {
    ppVector3 point;
    bool inside;
  } kPoints[] = {{{10, 10, 0}, true},     {{50, 50, 0}, true},    {{99, 99, 0}, true},
                 {{150, 150, 0}, false},  {{-10, -10, 0}, false}, {{50, 0.5f, 0}, true},
                 {{100.5f, 50, 0}, false}};
  for (const auto& c : kPoints)
    EXPECT_EQ(box.Primitives()[0].ContainsPoint(c.point), c.inside) << c.point.x << " " << c.point.y;
}

std::vector<ppVector2> Square(float x0, float y0, float x1, float y1, bool clockwise) {
  std::vector<ppVector2> p{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
  if (clockwise) std::swap(p[1], p[3]);
  return p;
}

void AddContour(ppShape2D& shape, const std::vector<ppVector2>& points, uint32_t mode = 9) {
  shape.Begin(mode);
  for (const ppVector2& p : points) shape.Vertex(p.x, p.y);
  shape.End();
}

bool HasPoint(const ppShapeContour& contour, float x, float y) {
  for (const ppVector2& p : contour.points)
    if (p.x == x && p.y == y) return true;
  return false;
}

TEST(Shape2D, RecordsContoursAndDropsEmptyOnes) {
  ppShape2D shape;
  shape.Vertex(1, 1);
  shape.Begin(9);
  shape.End();
  EXPECT_EQ(shape.GetPointCount(), 0u);
  EXPECT_TRUE(shape.Contours().empty());
  AddContour(shape, Square(0, 0, 1, 1, false), 3);
  EXPECT_EQ(shape.GetPointCount(), 4u);
  EXPECT_FALSE(shape.Contours()[0].closed);
}

TEST(Shape2D, MergeOutlinesGivesTheBoundaryOfTheUnion) {
  ppShape2D overlapping;
  AddContour(overlapping, Square(0, 0, 10, 10, false));
  AddContour(overlapping, Square(5, 5, 15, 15, false));
  overlapping.MergeOutlines();
  ASSERT_EQ(overlapping.Contours().size(), 1u);
  EXPECT_EQ(overlapping.GetPointCount(), 8u);
  EXPECT_TRUE(HasPoint(overlapping.Contours()[0], 10, 5));
  EXPECT_TRUE(HasPoint(overlapping.Contours()[0], 5, 10));
  EXPECT_TRUE(overlapping.Contours()[0].closed);

  ppShape2D nested;
  AddContour(nested, Square(0, 0, 10, 10, false));
  AddContour(nested, Square(2, 2, 8, 8, false));
  nested.MergeOutlines();
  ASSERT_EQ(nested.Contours().size(), 1u);
  EXPECT_EQ(nested.GetPointCount(), 4u);
  EXPECT_TRUE(HasPoint(nested.Contours()[0], 10, 10));

  ppShape2D hole;
  AddContour(hole, Square(0, 0, 10, 10, false));
  AddContour(hole, Square(2, 2, 8, 8, true));
  hole.MergeOutlines();
  EXPECT_EQ(hole.Contours().size(), 2u);
  EXPECT_EQ(hole.GetPointCount(), 8u);

  // Malformed input (non-numbers, coordinates beyond any plan) gives some outline, never a crash.
  ppShape2D odd;
  AddContour(odd, {{0, 0}, {NAN, 1}, {1, 1}});
  AddContour(odd, {{0, 0}, {INFINITY, 1}, {1, 1}});
  AddContour(odd, {{100, 100}, {3e38f, 100}, {100, 3e38f}});
  AddContour(odd, Square(0, 0, 1, 1, false));
  odd.MergeOutlines();
  EXPECT_EQ(odd.Contours().size(), 2u);

  ppShape2D open;
  AddContour(open, Square(0, 0, 10, 10, false), 3);
  open.MergeOutlines();
  EXPECT_EQ(open.GetPointCount(), 0u);
}

TEST(Shape2D, PositiveRuleSubtractsTheReversedSecondShape) {
  ppShape2D outer, inner, result;
  AddContour(outer, Square(0, 0, 10, 10, false));
  AddContour(inner, Square(5, -5, 15, 15, false));
  ppShape2D::BuildOutline(result, outer, &inner, ppShape2D::kWindingPositive, true);
  ASSERT_EQ(result.Contours().size(), 1u);
  EXPECT_EQ(result.GetPointCount(), 4u);
  EXPECT_TRUE(HasPoint(result.Contours()[0], 5, 10));
  EXPECT_FALSE(HasPoint(result.Contours()[0], 10, 10));
  // Edges crossing made new points; they are the shape code's to free (LeakSanitizer watches).
}

}  // namespace
