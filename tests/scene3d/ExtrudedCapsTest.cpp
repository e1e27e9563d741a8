// The caps of an extruded body: whichever way its outline runs, the cap triangles turn
// counter-clockwise, the top faces up and the bottom faces down, and together they cover the outline.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "scene3d/context/ppShape3D.h"
#include "scene3d/objects/qx3DExtrudedObject.h"

namespace {

float TwiceArea(const ppVector2& a, const ppVector2& b, const ppVector2& c) {
  return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

TEST(ExtrudedCaps, BothWindingsGiveOutwardCapsOfPositiveArea) {
  const struct {
    const char* what;
    std::vector<ppVector2> outline;
    float area;
  } cases[] = {
      {"square", {{0, 0}, {600, 0}, {600, 400}, {0, 400}}, 240000},
      {"L shape", {{0, 0}, {600, 0}, {600, 200}, {200, 200}, {200, 500}, {0, 500}}, 180000},
      {"triangle", {{0, 0}, {300, 0}, {0, 300}}, 45000},
  };
  for (const auto& c : cases) {
    for (const bool clockwise : {false, true}) {
      const std::string what = std::string(c.what) + (clockwise ? ", clockwise" : ", counter-clockwise");
      qx3DExtrudedObject body;
      body.outline = c.outline;
      if (clockwise) std::reverse(body.outline.begin(), body.outline.end());
      body.depth = 100;
      body.Prepare();
      ASSERT_FALSE(body.capTriangles.empty()) << what;
      float total = 0;
      for (const qx3DObject::CapTriangle& t : body.capTriangles) {
        EXPECT_GT(TwiceArea(t[0], t[1], t[2]), 0) << what;
        total += TwiceArea(t[0], t[1], t[2]) / 2;
      }
      EXPECT_FLOAT_EQ(total, c.area) << what;

      ppShape3D faces;
      body.BuildMesh(faces, false);
      float top = 0, bottom = 0;
      for (const ppShapePrimitive& p : faces.Primitives()) {
        const ppShapeVertex& first = p.vertices[0];
        if (first.normal.z == 0) continue;  // a side
        ASSERT_EQ(p.vertices.size(), 3u) << what;
        const float area = TwiceArea(ppVector2(p.vertices[0].position.x, p.vertices[0].position.y),
                                     ppVector2(p.vertices[1].position.x, p.vertices[1].position.y),
                                     ppVector2(p.vertices[2].position.x, p.vertices[2].position.y)) /
                           2;
        for (const ppShapeVertex& v : p.vertices) {
          EXPECT_EQ(v.normal.z, first.normal.z) << what;
          EXPECT_EQ(v.position.z, first.normal.z > 0 ? 100.0f : 0.0f) << what;
        }
        // Seen from where its normal points, every cap face runs counter-clockwise.
        EXPECT_GT(area * first.normal.z, 0) << what;
        (first.normal.z > 0 ? top : bottom) += area;
      }
      EXPECT_FLOAT_EQ(top, c.area) << what;
      EXPECT_FLOAT_EQ(bottom, -c.area) << what;
    }
  }
}

TEST(ExtrudedCaps, CapTexturesTurnClockwiseByTheTextureDirection) {
  // Texture units of 400 mm, turned by the body's texture direction (radians) the other way round.
  for (const float direction : {0.0f, 0.3f, 1.5707964f, -2.0f}) {
    qx3DExtrudedObject body;
    body.outline = {{0, 0}, {400, 0}, {400, 800}, {0, 800}};
    body.depth = 50;
    body.textureDirection = direction;
    body.Prepare();
    ppShape3D faces;
    body.BuildMesh(faces, false);
    size_t seen = 0;
    for (const ppShapePrimitive& p : faces.Primitives()) {
      if (p.vertices[0].normal.z == 0) continue;
      for (const ppShapeVertex& v : p.vertices) {
        const float x = v.position.x / 400, y = v.position.y / 400;
        EXPECT_NEAR(v.texture.x, x * std::cos(direction) + y * std::sin(direction), 1e-5) << direction;
        EXPECT_NEAR(v.texture.y, -x * std::sin(direction) + y * std::cos(direction), 1e-5) << direction;
        ++seen;
      }
    }
    EXPECT_EQ(seen, 12u);  // two triangles in each cap
  }
}

}  // namespace
