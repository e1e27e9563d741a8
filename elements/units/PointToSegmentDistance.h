// The distance from a plan point to a segment, as the edge searches of plan elements measure it: only
// a point whose perpendicular foot falls on the segment (ends included) has a distance; any other
// point counts as infinitely far. Millimetres, in the floor plane.
#pragma once

#include "foundation/ppVector2.h"

// The largest float: the answer for a point whose foot lies beyond either end of the segment.
float PointToSegmentDistance(const ppVector2& p, const ppVector2& a, const ppVector2& b);
