// One recorded figure of a 2D shape: its points in order (millimetres of the plan) and whether it
// was begun as a closed polygon.
#pragma once

#include <vector>

#include "foundation/ppVector2.h"

struct ppShapeContour {
  std::vector<ppVector2> points;
  bool closed = false;
};
