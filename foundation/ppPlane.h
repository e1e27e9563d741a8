// A plane: the points p with normal . p + d = 0 (millimetres).
#pragma once

#include <cstdint>

#include "foundation/ppVector3.h"

struct ppRay;

struct ppPlane {
  ppVector3 normal;
  float d = 0.0f;
};

// The plane through three points, its normal the normalised (b - a) x (c - a) of the normalised edges.
ppPlane PlaneFromPoints(const ppVector3& a, const ppVector3& b, const ppVector3& c);

// Where the ray meets the plane, origin + direction * t. A ray parallel to the plane gives
// -8999999488 on all three axes. `side` 1 refuses hits with t > 0 and `side` 2 hits with t <= 0,
// answering +8999999488 on all three axes; any other side accepts every t.
ppVector3 IntersectRayPlane(const ppPlane& plane, const ppRay& ray, int32_t side);
