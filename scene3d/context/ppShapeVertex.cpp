#include "scene3d/context/ppShapeVertex.h"

#include "foundation/ppMatrix4.h"

ppShapeVertex ppShapeVertex::Transform(const ppMatrix4& m) const {
  ppShapeVertex out;
  m.TransformPoint(out.position, position);
  ppMatrix4 turn = m;
  turn.ClearTranslation();
  turn.TransformPoint(out.normal, normal);
  return out;
}
