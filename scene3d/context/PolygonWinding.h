// Small geometry shared by the 3D bodies and the room outline: the winding test of a plane polygon,
// and a double-precision dot product.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/ppVector2.h"
#include "foundation/ppVector3.h"

// Whether the polygon of `count` points turns left overall (counter-clockwise with y upwards): the
// signed turning angles at every corner add up above 0. With `indices`, point i is
// points[indices[i]]. Repeated points (zero-length edges) are passed over, so they change nothing.
bool PolygonWindsPositive(size_t count, const ppVector2* points, const uint32_t* indices);

// x x' + y y' + z z' in double precision.
double DotProduct(const ppVector3& a, const ppVector3& b);
