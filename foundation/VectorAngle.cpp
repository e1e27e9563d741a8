#include "foundation/VectorAngle.h"

#include <cmath>

#include "foundation/TolerantMath.h"

float VectorAngle(float dy, float dx) {
  if (dx == 0) {
    if (dy < 0) return -geom::kHalfPiF;
    return dy > 0 ? geom::kHalfPiF : 0.0f;
  }
  const float a = std::atan(dy / dx);
  if (dx > 0) return a;
  return dy == 0 ? geom::kPiF : a + geom::kPiF;
}
