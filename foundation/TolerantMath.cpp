#include "foundation/TolerantMath.h"

#include <cmath>

bool NearlyZero(double a, double t) { return -t < a && a < t; }

bool NearlyEqual(double a, double b, double t) { return NearlyZero(a - b, t); }

double AngleOfTol(double x, double y) {
  if (NearlyZero(x)) return y > 0 ? geom::kHalfPi : -geom::kHalfPi;
  if (NearlyZero(y)) return x > 0 ? 0.0 : geom::kPi;
  if (x > 0) return std::atan(y / x);
  return geom::kPi - std::atan(y / -x);
}

double NormalizedAngle(double angle) {
  // Whole turns are counted toward zero, so a negative angle gains one turn more than it lacks.
  if (angle < 0) {
    angle += (std::trunc(-angle / geom::kTwoPi) + 1.0) * geom::kTwoPi;
  } else if (angle > geom::kTwoPi) {
    angle -= std::trunc(angle / geom::kTwoPi) * geom::kTwoPi;
  }
  return angle;
}

void NormalizeAngle(double& angle) { angle = NormalizedAngle(angle); }

void NormalizeAngle(float& angle) { angle = static_cast<float>(NormalizedAngle(angle)); }
