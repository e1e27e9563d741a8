// A part on its way into a container's cell grid: the cell (column x, row y from the bottom, layer
// z) the placement rules slide to a legal place, the part's extent in cells, and the plan point of
// the drop, which the container sets to the plan point of the chosen cell.
#pragma once

#include <cstdint>

#include "foundation/ppVector3.h"

class zelvproTopViewElement;

struct GridDrop {
  int32_t x = 0, y = 0, z = 0;
  int32_t w = 1, h = 1, d = 1;
  ppVector3 point;                        // plan millimetres
  zelvproTopViewElement* part = nullptr;  // not owned
  int32_t flag = 0;                       // handed through to the rule, not read
};
