// One dimension line of the plan, as an element hands it to the plan's annotation output: where it
// stands, what it measures, and which element it belongs to. Lengths in millimetres, the angle in
// radians about the vertical axis. A plain value; the owner element is not owned.
#pragma once

#include <cstdint>
#include <optional>

#include "foundation/ppVector3.h"

class zelvproElement;

struct PlanAnnotation {
  static constexpr uint32_t kDimensionLine = 0x400;

  ppVector3 first, second, third;  // the element's position, its size, the part's three lengths
  // The measured value along x, y and z; empty when the part does not measure that axis.
  std::optional<double> x, y, z;
  float angle = 0.0f;
  bool below = false;   // the element's size y is below its position y
  bool raised = false;  // the element stands above the floor (position y above 1.0)
  zelvproElement* owner = nullptr;
  uint32_t flags = kDimensionLine;
  int32_t kind = 2;
  // The printed plan: a hidden measure draws neither line nor text; the level counts how many steps
  // the line stands away from its anchor.
  bool hidden = false;
  int32_t level = 0;
};
