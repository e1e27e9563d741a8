// A body of revolution: the open profile `outline` (x/y plane) turned a full circle about the body's y
// axis in `segments` steps, starting 0.05 radians off the x axis. Joints turning by 45 degrees or less
// get blended normals. `depth` only sizes the texture. A profile of fewer than two distinct points
// makes no faces; repeated points make no segment. No edge lines.
#pragma once

#include <cstdint>

#include "scene3d/objects/qx3DObject.h"

class qx3DCircleObject : public qx3DObject {
 public:
  using qx3DObject::qx3DObject;

  void Build() override;

  int32_t segments = 16;
};
