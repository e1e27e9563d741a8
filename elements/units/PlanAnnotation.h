// One dimension line of the plan, as elements hand it to the plan's annotation output: where it
// starts (plan millimetres), the owner's reference point, extent and angle, the measured value and
// its kind and flags.
#pragma once

#include <cstdint>

#include "foundation/ppVector3.h"

class zelvproElement;

struct PlanAnnotation {
  // Flag of a dimension line.
  static constexpr uint32_t kDimensionLine = 0x400;

  ppVector3 first, reference, extent;
  float angle = 0.0f;
  float value = 0.0f;  // millimetres
  zelvproElement* owner = nullptr;
  uint32_t flags = 0;
  int32_t kind = 0;  // 2: an element's width; 3: a wall's
};
