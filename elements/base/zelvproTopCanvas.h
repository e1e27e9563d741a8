// The top canvas: the root of the placed units of the plan. The document window owns it.
#pragma once

#include "elements/base/zelvproCanvas.h"

class zelvproTopCanvas : public zelvproCanvas {
 public:
  using zelvproCanvas::zelvproCanvas;

  // The canvas's own module record has this "type".
  static constexpr int32_t kRecordType = -1;
  // The element's fields with "type" -1.
  void WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) override;
  // The canvas's part of reading its own module record: its document id.
  void ReadTopCanvasRecord(ppDatafile& record);

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
