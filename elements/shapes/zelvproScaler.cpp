#include "elements/shapes/zelvproScaler.h"

#include "foundation/Geometry2D.h"

void zelvproScaler::Apply(Handle points) { PointListDivide(points, factor); }
