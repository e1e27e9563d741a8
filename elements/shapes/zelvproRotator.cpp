#include "elements/shapes/zelvproRotator.h"

#include "foundation/Geometry2D.h"

void zelvproRotator::Apply(Handle points) { PointListRotate(points, angle); }
