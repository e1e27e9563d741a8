#include "elements/shapes/zelvproTranslator.h"

#include "foundation/Geometry2D.h"

void zelvproTranslator::Apply(Handle points) {
  PointListOffset(points, static_cast<float>(dx), static_cast<float>(dy));
}
