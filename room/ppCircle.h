// The circle through three plan points, in the floor plane: only x and z take part; the centre's y is
// the first point's of the order used. Round walls are arcs through their two ends and a third point.
// A plain value; owns nothing.
#pragma once

#include "foundation/ppVector3.h"

class ppCircle {
 public:
  // Tries the six orders of the points and takes the first whose slopes are usable. Collinear or
  // coinciding points leave radius -1.0 and centre (0, 0, 0).
  ppCircle(const ppVector3& p1, const ppVector3& p2, const ppVector3& p3);
  virtual ~ppCircle() = default;

  const ppVector3* GetCenter() const { return &centre_; }
  // Plan units (millimetres); -1.0 when there is no circle.
  double GetRadius() const { return radius_; }

 private:
  // Whether the circle can be found from this order without a vertical or zero slope.
  static bool Suitable(const ppVector3& a, const ppVector3& b, const ppVector3& c);
  void FromOrder(const ppVector3& a, const ppVector3& b, const ppVector3& c);

  double radius_ = -1.0;
  ppVector3 centre_;
};
