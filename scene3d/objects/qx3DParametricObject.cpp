#include "scene3d/objects/qx3DParametricObject.h"

qx3DParametricObject::qx3DParametricObject(uint32_t owner) : qx3DObject(owner) { kind = kParametric; }

std::unique_ptr<qx3DParametricObject> qx3DParametricObject::Create(uint32_t owner) {
  return std::make_unique<qx3DParametricObject>(owner);
}
