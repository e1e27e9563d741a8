// One recorded vertex of a 3D shape: position and normal (millimetres; the normal as given, not
// normalised) and texture coordinate (s, t, and a third component that stays 0). A plain value.
#pragma once

#include "foundation/ppVector3.h"

class ppMatrix4;

struct ppShapeVertex {
  ppVector3 position;
  ppVector3 normal;
  ppVector3 texture;

  // The position through m (with the homogeneous divide) and the normal through m without its
  // translation; the texture coordinate is not carried over (it comes back as 0).
  ppShapeVertex Transform(const ppMatrix4& m) const;
};
