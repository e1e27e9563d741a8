// A sphere: a centre and a radius, millimetres.
#pragma once

#include "foundation/ppVector3.h"

class ppMatrix4;

struct ppSphere {
  ppVector3 centre;
  float radius = 0.0f;

  constexpr ppSphere() = default;
  constexpr ppSphere(const ppVector3& c, float r) : centre(c), radius(r) {}

  // Touching counts as overlapping.
  bool Overlaps(const ppSphere& other) const;
};

// The centre by m.TransformPoint; the radius scaled by the length of column 0 of m's rotation part.
ppSphere TransformSphere(const ppMatrix4& m, const ppSphere& sphere);
