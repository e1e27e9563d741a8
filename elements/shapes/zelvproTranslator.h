// The move of a shape outline, in whole millimetres.
#pragma once

#include <cstdint>

#include "elements/shapes/zelvproModifier.h"

class zelvproTranslator : public zelvproModifier {
 public:
  zelvproTranslator(int32_t moveX, int32_t moveY) : dx(moveX), dy(moveY) {}
  void Apply(Handle points) override;

  int32_t dx, dy;
};
