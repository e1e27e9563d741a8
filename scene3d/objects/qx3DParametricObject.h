// One part of a parametric placement: a flat outline stretched to the size of its unit, with the size
// and the two extent points of the placement and a texture byte the part generator sets. Its faces
// and placement are the parametric elements' to build; here it holds the generator's data only.
#pragma once

#include <cstdint>
#include <memory>

#include "scene3d/objects/qx3DObject.h"

class qx3DParametricObject : public qx3DObject {
 public:
  explicit qx3DParametricObject(uint32_t owner = 0);

  // Makes the part the generator adds to a chain; `owner` goes to its constructor.
  static std::unique_ptr<qx3DParametricObject> Create(uint32_t owner);

  void Prepare() override {}

  ppVector3 size;         // millimetres
  ppVector3 firstExtent;  // stretched with the unit
  ppVector3 secondExtent;
  uint8_t textureByte = 0;
};
