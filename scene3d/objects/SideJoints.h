// The side bookkeeping shared by outline bodies (extruded outlines, pipe paths, turned profiles): the
// turn between two side directions, the normal of a side in the x/y plane, the normal at a joint
// (smoothed with the neighbouring side at gentle joints) and the points that make sides of non-zero
// length. Angles are radians, lengths millimetres.
#pragma once

#include <cstddef>
#include <vector>

#include "foundation/ppVector2.h"

class SideJoints {
 public:
  // `turn` brought into (-pi, pi].
  static float WrapTurn(float turn);
  // Direction angle of b - a (AngleOf).
  static float Direction(const ppVector2& a, const ppVector2& b);
  // The unit normal to the right of the side from a to b; the sides given are never of length 0.
  static ppVector2 SideNormal(const ppVector2& a, const ppVector2& b);
  // The normal at a joint with the neighbouring side from a to b: `own` when |turn| > threshold or
  // when that side has length 0, else own plus the neighbour's normal, normalised.
  static ppVector2 JointNormal(const ppVector2& own, const ppVector2& a, const ppVector2& b, float turn,
                               float threshold);
  // Indices of the points of a closed outline that start a side of non-zero length (a point equal to
  // the one after it, cyclically, is dropped).
  static std::vector<size_t> DistinctClosed(const std::vector<ppVector2>& points);
  // Indices of the points of an open path without repeats: a point equal to the last kept one is
  // dropped.
  static std::vector<size_t> DistinctOpen(const std::vector<ppVector2>& points);
  static bool Same(const ppVector2& a, const ppVector2& b) { return a.x == b.x && a.y == b.y; }
};
