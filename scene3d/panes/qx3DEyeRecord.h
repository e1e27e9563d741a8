// Where the eye of one of the 3D pane's three views stands: eight 32-bit words, copied whole around
// off-screen renders. Angles are degrees; the eye position is stored negated, as a translation.
#pragma once

#include <cstdint>

struct qx3DEyeRecord {
  float heading = 0.0f;
  float pitch = 0.0f;
  float eyeX = 0.0f;
  float eyeY = 0.0f;
  float eyeZ = 0.0f;
  int32_t side = 1;  // 1..8: the wall (odd) or corner (even) the eye was last placed from
  float step = 15.0f;
  float scale = 0.002f;
};
static_assert(sizeof(qx3DEyeRecord) == 32, "eye records are copied as eight words");
