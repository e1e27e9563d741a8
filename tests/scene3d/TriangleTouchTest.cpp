// The boundary of the triangle test: triangles that touch in one point or along part of an edge
// meet; a hair's breadth apart they do not. Every case holds whichever corner each triangle starts
// at and whichever triangle comes first.
#include <gtest/gtest.h>

#include <array>

#include "scene3d/context/TriTriIntersect.h"

namespace {

using Triangle = std::array<ppVector3, 3>;

Triangle Rotated(const Triangle& t, int k) { return {t[k % 3], t[(k + 1) % 3], t[(k + 2) % 3]}; }

TEST(TriangleTouch, TouchingInAPointOrAlongAnEdgeMeetsAndAHairApartDoesNot) {
  // Upright in the plane y = 0, right angle at the origin, hypotenuse from (10, 0, 0) to (0, 0, 10).
  const Triangle v{ppVector3(0, 0, 0), ppVector3(10, 0, 0), ppVector3(0, 0, 10)};
  const struct {
    const char* what;
    Triangle u;
    int meets;
  } cases[] = {
      {"corner on the face", {ppVector3(2, 0, 2), ppVector3(2, 5, 2), ppVector3(3, 5, 8)}, 1},
      {"corner on the hypotenuse", {ppVector3(5, 0, 5), ppVector3(8, 5, 8), ppVector3(8, 5, 2)}, 1},
      {"corner on a corner", {ppVector3(10, 0, 0), ppVector3(12, 5, 1), ppVector3(12, 5, -1)}, 1},
      {"edge along part of an edge", {ppVector3(2, 0, 0), ppVector3(8, 0, 0), ppVector3(5, 5, 0)}, 1},
      {"edge meeting an edge end to end", {ppVector3(10, 0, 0), ppVector3(15, 0, 0), ppVector3(12, 5, 0)}, 1},
      {"edge lying on the face", {ppVector3(1, 0, 1), ppVector3(4, 0, 1), ppVector3(2, 5, 5)}, 1},
      {"crossing the face", {ppVector3(2, -5, 2), ppVector3(2, 5, 2), ppVector3(3, 5, 8)}, 1},
      {"edge end to end, half apart", {ppVector3(10.5f, 0, 0), ppVector3(15, 0, 0), ppVector3(12, 5, 0)}, 0},
      {"corner beyond the hypotenuse", {ppVector3(5.5f, 0, 5.5f), ppVector3(8, 5, 8), ppVector3(8, 5, 2)}, 0},
      {"corner above the face", {ppVector3(2, 0.5f, 2), ppVector3(2, 5, 2), ppVector3(3, 5, 8)}, 0},
      {"crossing the plane beyond the hypotenuse",
       {ppVector3(6, -5, 6), ppVector3(6, 5, 6), ppVector3(7, 5, 8)},
       0},
  };
  for (const auto& c : cases) {
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) {
        const Triangle a = Rotated(v, i), b = Rotated(c.u, j);
        EXPECT_EQ(TriTriIntersect(a[0], a[1], a[2], b[0], b[1], b[2]), c.meets) << c.what << " " << i << j;
        EXPECT_EQ(TriTriIntersect(b[0], b[1], b[2], a[0], a[1], a[2]), c.meets)
            << c.what << " " << j << i << " swapped";
      }
    }
  }
}

TEST(TriangleTouch, CoplanarTrianglesTouchingInAPointOrAlongAnEdgeMeet) {
  const Triangle v{ppVector3(0, 0, 0), ppVector3(10, 0, 0), ppVector3(0, 0, 10)};
  const struct {
    const char* what;
    Triangle u;
    int meets;
  } cases[] = {
      {"sharing a corner only", {ppVector3(10, 0, 0), ppVector3(20, 0, 0), ppVector3(20, 0, -5)}, 1},
      {"sharing part of an edge", {ppVector3(2, 0, 0), ppVector3(8, 0, 0), ppVector3(5, 0, -5)}, 1},
      {"inside", {ppVector3(1, 0, 1), ppVector3(3, 0, 1), ppVector3(1, 0, 3)}, 1},
      {"holding the other", {ppVector3(-1, 0, -1), ppVector3(30, 0, -1), ppVector3(-1, 0, 30)}, 1},
      {"apart along the line", {ppVector3(10.5f, 0, 0), ppVector3(20, 0, 0), ppVector3(20, 0, -5)}, 0},
      {"apart across the hypotenuse", {ppVector3(6, 0, 6), ppVector3(9, 0, 6), ppVector3(6, 0, 9)}, 0},
  };
  for (const auto& c : cases) {
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) {
        const Triangle a = Rotated(v, i), b = Rotated(c.u, j);
        EXPECT_EQ(TriTriIntersect(a[0], a[1], a[2], b[0], b[1], b[2]), c.meets) << c.what << " " << i << j;
        EXPECT_EQ(TriTriIntersect(b[0], b[1], b[2], a[0], a[1], a[2]), c.meets)
            << c.what << " " << j << i << " swapped";
      }
    }
  }
}

}  // namespace
