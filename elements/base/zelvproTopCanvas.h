// The top canvas: the root of the placed units of the plan. The document window owns it.
#pragma once

#include "elements/base/zelvproCanvas.h"

class zelvproTopCanvas : public zelvproCanvas {
 public:
  using zelvproCanvas::zelvproCanvas;

  // Rebuilds the price list from the plan: every element adds its lines.
  virtual void RecalculatePriceList() { AddToCalculation(); }
};
