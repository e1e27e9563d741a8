// The editor's list printing over the open price list pane (zelvproCalculatorList::Current()): the
// pane lays the page out with the columns file `kind` and prints every page in one call. Without a
// pane nothing prints. Stateless; user-interface thread.
#pragma once

#include "canvas/editor/iEditorListPrint.h"

class PriceListEditorPrint : public iEditorListPrint {
 public:
  void PreparePrint(qxPrintPage& page, int32_t kind) override;
  bool PrintPage(ppDC& dc, qxPrintPage& page) override;
};
