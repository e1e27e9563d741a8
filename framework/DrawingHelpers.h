// Small rectangle and angle helpers shared by the drawing code.
#pragma once

#include <cstdint>

#include "platform/GdiTypes.h"

// out = the overlap of a and b; true when they overlap (out is empty otherwise).
bool IntersectRectangles(plat::RECT* out, const plat::RECT& a, const plat::RECT& b);
// True when (x, y) lies inside (right and bottom exclusive).
bool PointInRectangle(int32_t x, int32_t y, const plat::RECT& rect);
void AssignRectangle(plat::RECT* out, const plat::RECT& from);
// Degrees to radians with the program's own value of pi.
double DegreesToRadians(double degrees);
