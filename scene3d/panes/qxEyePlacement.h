// Placing a view's eye from a wall or a corner of the room: the room's four plan corners (x, y in
// millimetres, in order round the room) and a side 1..8. Odd sides look along a wall, even ones
// across a diagonal.
#pragma once

#include <array>
#include <cstdint>

#include "scene3d/panes/qx3DEyeRecord.h"

class qxEyePlacement {
 public:
  struct Corner {
    float x = 0.0f;
    float y = 0.0f;
  };
  using Corners = std::array<Corner, 4>;

  // Sets the eye position and the heading of `eye` for `side`; the half angle of view is 44 degrees
  // for view index 0 (which also keeps at least 5000 mm in front of the first corner) and 35 for the
  // others. A side outside 1..8 leaves the record alone and answers false.
  static bool PlaceFromSide(qx3DEyeRecord& eye, int32_t side, int32_t viewIndex, const Corners& corners);
};
