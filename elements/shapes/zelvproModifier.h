// One step of a shape outline's modifier chain: changes a copy of the outline's points in place. The
// chain is singly linked through `next`; the shape that holds the head owns every link.
#pragma once

#include <memory>

#include "foundation/Vcon_HandleManager.h"

class zelvproModifier {
 public:
  virtual ~zelvproModifier() = default;
  // Changes every point of `points` (8-byte points of two floats, millimetres).
  virtual void Apply(Handle points) = 0;

  std::unique_ptr<zelvproModifier> next;
};
