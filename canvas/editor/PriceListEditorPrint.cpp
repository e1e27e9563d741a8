#include "canvas/editor/PriceListEditorPrint.h"

#include "calculation/zelvproCalculatorList.h"

void PriceListEditorPrint::PreparePrint(qxPrintPage& page, int32_t kind) {
  if (zelvproCalculatorList* pane = zelvproCalculatorList::Current()) pane->PreparePrint(page, kind);
}

bool PriceListEditorPrint::PrintPage(ppDC& dc, qxPrintPage& page) {
  zelvproCalculatorList* pane = zelvproCalculatorList::Current();
  return pane != nullptr && pane->Print(dc, page);
}
