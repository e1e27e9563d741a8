// The scale of a shape outline: both coordinates are divided by `factor` (a plan drawn at 1:factor).
#pragma once

#include "elements/shapes/zelvproModifier.h"

class zelvproScaler : public zelvproModifier {
 public:
  explicit zelvproScaler(float divisor) : factor(divisor) {}
  void Apply(Handle points) override;

  float factor;
};
