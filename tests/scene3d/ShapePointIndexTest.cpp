// The point index behind the bounding spheres: points that are not finite are left out, so they
// neither change a sphere nor slow the scans, and outlines full of them still build at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "scene3d/context/ShapePointIndex.h"
#include "scene3d/context/ppShape3D.h"
#include "scene3d/objects/qx3DCircleObject.h"
#include "scene3d/objects/qx3DExtrudedObject.h"
#include "scene3d/objects/qx3DPipeObject.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

TEST(ShapePointIndex, PointsThatAreNotFiniteAreLeftOutAndChangeNoSphere) {
  const ppVector3 odd[] = {{kNaN, 0, 0}, {0, kNaN, 0},  {0, 0, kNaN},
                           {kInf, 0, 0}, {0, -kInf, 0}, {0, 0, kInf}};
  ShapePointIndex index;
  ppSphere sphere;
  // A finite pair, then every odd point both as a scan's start and as a held point, each followed by
  // finite points that a plain scan over the finite points alone answers.
  const ppVector3 finite[] = {{0, 0, 0}, {10, 0, 0}, {0, 30, 0}, {4, 4, 4}};
  std::vector<ppVector3> held;
  auto add = [&](const ppVector3& p) {
    index.GrowFarthestPair(p, sphere);
    index.Add(p);
  };
  size_t next = 0;
  for (const ppVector3& p : odd) {
    add(finite[next % 4]);
    held.push_back(finite[next++ % 4]);
    add(p);
    EXPECT_EQ(index.Size(), held.size());
  }
  ppSphere plain;
  for (size_t i = 0; i < held.size(); ++i)
    for (size_t j = 0; j <= i; ++j) {
      const float d = held[i].Distance(held[j]);
      if (2.0f * plain.radius < d) plain = ppSphere((held[i] + held[j]) / 2.0f, d / 2.0f);
    }
  EXPECT_EQ(std::memcmp(&sphere, &plain, sizeof plain), 0);
  EXPECT_NEAR(sphere.radius, std::sqrt(1000.0f) / 2, 1e-5);  // (10, 0, 0) to (0, 30, 0)
  EXPECT_TRUE(std::isfinite(index.FarthestDistance(sphere.centre)));
  ShapePointIndex empty;
  for (const ppVector3& p : odd) empty.Add(p);
  EXPECT_EQ(empty.Size(), 0u);
  EXPECT_EQ(empty.FarthestDistance(ppVector3()), 0.0f);
}

// Builds the outline as an extruded body, a pipe and a turned body; answers the processor time
// in milliseconds.
double BuildTheThreeBodies(const std::vector<ppVector2>& outline) {
  const std::clock_t start = std::clock();
  qx3DExtrudedObject extruded;
  qx3DPipeObject pipe;
  qx3DCircleObject circle;
  size_t vertices = 0;
  for (qx3DObject* body : {static_cast<qx3DObject*>(&extruded), static_cast<qx3DObject*>(&pipe),
                           static_cast<qx3DObject*>(&circle)}) {
    body->outline = outline;
    body->depth = 20;
    body->Prepare();
    ppShape3D faces, edges;
    body->BuildMesh(faces, true);
    body->BuildEdges(edges, true);
    for (const ppShapePrimitive& p : faces.Primitives()) vertices += p.vertices.size();
    EXPECT_TRUE(std::isfinite(faces.GetBoundingSphere().radius));
  }
  EXPECT_GT(vertices, outline.size());  // the bodies were built, not refused
  return 1000.0 * double(std::clock() - start) / CLOCKS_PER_SEC;
}

TEST(ShapePointIndex, AnOutlineOfNonNumbersBuildsInTimeInLineWithItsLength) {
  // Outlines all of NaN points (as a damaged catalogue blob gives them); before, every vertex
  // scanned every earlier one and 240 points took seconds. Ten times the points must cost about
  // ten times the time, not a hundred: both timed alternately, least of five, so that a busy
  // machine slows both alike.
  const std::vector<ppVector2> shorter(48, ppVector2(kNaN, kNaN));
  const std::vector<ppVector2> longer(480, ppVector2(kNaN, kNaN));
  double fastestShort = 1e9, fastestLong = 1e9;
  for (int run = 0; run < 5; ++run) {
    fastestShort = std::min(fastestShort, BuildTheThreeBodies(shorter));
    fastestLong = std::min(fastestLong, BuildTheThreeBodies(longer));
  }
  EXPECT_LT(fastestLong, 30 * fastestShort + 2.0) << fastestLong << " ms against " << fastestShort;
}

}  // namespace
