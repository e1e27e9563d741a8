// The top canvas: the root of the placed units of the plan. The document window owns it.
#pragma once

#include "elements/base/zelvproCanvas.h"

class zelvproTopCanvas : public zelvproCanvas {
 public:
  using zelvproCanvas::zelvproCanvas;

  // Rebuilds the price list from the plan: every element adds its lines.
  virtual void RecalculatePriceList() { AddToCalculation(); }

  // ---- Order file and worktops.
  // Every child writes its order lines, in child order.
  void WriteOrderModule(iOrderWriter& writer) override;
  // Rebuilds the worktop runs from the units of the plan in numbering order ("EnumNumber"): the
  // generated items and every worktop (kind 17) go first, then each unit's worktop step runs on the
  // current run; a last run that got no length is deleted, else it becomes a child of the canvas.
  void GenerateWorktops();
};
