// The circle through three plan points: the right-angle order, the general case, and the point sets
// that have no circle.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "room/ppCircle.h"

namespace {

TEST(ppCircleTest, CentreAndRadiusOrNoCircle) {
  const struct {
    ppVector3 a, b, c;
    double radius;
    float x, z;
  } kCases[] = {
      // Only the sixth order (third, first, second) has usable slopes: the right angle at the origin.
      {{0, 0, 0}, {100, 0, 0}, {0, 0, 100}, 70.7107, 50.0f, 50.0f},
      {{1000, 0, 0}, {0, 0, 1000}, {-1000, 0, 0}, 1000.0, 0.0f, 0.0f},
      {{300, 0, 400}, {-400, 0, 300}, {500, 0, 0}, 500.0, 0.0f, 0.0f},
      {{0, 0, 0}, {50, 0, 50}, {100, 0, 100}, -1.0, 0.0f, 0.0f},  // on one line
      {{0, 0, 0}, {0, 0, 0}, {100, 0, 50}, -1.0, 0.0f, 0.0f},     // two equal points
      {{7, 0, 7}, {7, 0, 7}, {7, 0, 7}, -1.0, 0.0f, 0.0f},
      {{0, 0, 0}, {0, 0, 0}, {100, 0, 0}, -1.0, 0.0f, 0.0f},  // equal points at a "right angle"
  };
  for (const auto& c : kCases) {
    const ppCircle circle(c.a, c.b, c.c);
    EXPECT_NEAR(circle.GetRadius(), c.radius, 1e-3) << c.a.x << " " << c.b.x << " " << c.c.x;
    EXPECT_NEAR(circle.GetCenter()->x, c.x, 1e-3);
    EXPECT_NEAR(circle.GetCenter()->z, c.z, 1e-3);
  }
}

TEST(ppCircleTest, TheOrderOfThePointsDoesNotMatter) {
  std::array<ppVector3, 3> points = {ppVector3(120, 0, -35), ppVector3(-410, 0, 260), ppVector3(90, 0, 800)};
  const ppCircle reference(points[0], points[1], points[2]);
  ASSERT_GT(reference.GetRadius(), 0.0);
  std::sort(points.begin(), points.end(), [](auto& p, auto& q) { return p.x < q.x; });
  do {
    const ppCircle circle(points[0], points[1], points[2]);
    EXPECT_NEAR(circle.GetRadius(), reference.GetRadius(), 1e-2);
    EXPECT_NEAR(circle.GetCenter()->x, reference.GetCenter()->x, 1e-2);
    EXPECT_NEAR(circle.GetCenter()->z, reference.GetCenter()->z, 1e-2);
  } while (std::next_permutation(points.begin(), points.end(), [](auto& p, auto& q) { return p.x < q.x; }));
}

}  // namespace
