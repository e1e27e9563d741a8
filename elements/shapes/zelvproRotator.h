// The turn of a shape outline about the origin; positive angles (radians) turn +x toward +y.
#pragma once

#include "elements/shapes/zelvproModifier.h"

class zelvproRotator : public zelvproModifier {
 public:
  explicit zelvproRotator(float radians) : angle(radians) {}
  void Apply(Handle points) override;

  float angle;
};
