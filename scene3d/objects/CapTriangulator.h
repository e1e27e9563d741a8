// Triangulates one closed outline with GLU's tessellator (odd winding rule) into the cap triangles
// of an extruded body or a parametric part. No vertices are created: where the outline crosses
// itself, the crossing parts are dropped. Fans and strips are split into triangles.
#pragma once

#include <vector>

#include "scene3d/objects/qx3DObject.h"

class CapTriangulator {
 public:
  // The triangles of `points` (at least three, none equal to the next), corners copied from them;
  // none when a coordinate is not finite.
  static std::vector<qx3DObject::CapTriangle> Triangulate(const std::vector<ppVector2>& points);
};
