// How an element's outline points reach a device: placed into the plan through the element's
// placement (its turn and position and those of its containers), then mapped from plan millimetres
// to device pixels, the top view's way or a printed page's.
#pragma once

#include <cstdint>

#include "foundation/Vcon_HandleManager.h"
#include "foundation/ppVector2.h"
#include "platform/GdiTypes.h"

class zelvproElement;
struct PrintPageFields;

class PlanToPixels {
 public:
  // The top view: the plan scale and the pixel origin of the main canvas.
  static PlanToPixels Screen();
  static PlanToPixels Page(const PrintPageFields& page);
  // The same mapping, (dx, dy) pixels further on.
  PlanToPixels Moved(int32_t dx, int32_t dy) const;

  // A new list (the caller's) of `points` (8-byte (x, z) points in `element`'s frame, millimetres)
  // in device pixels. Far-off points are held at a million pixels, so later integer conversions stay
  // defined.
  Handle Map(zelvproElement& element, Handle points) const;
  // A plan point (millimetres) in device pixels.
  ppVector2 Apply(const ppVector2& plan) const;

 private:
  double pixelsPerMillimetre_ = 1.0;
  ppVector2 origin_;  // millimetres
  double offsetX_ = 0.0, offsetY_ = 0.0;
};
