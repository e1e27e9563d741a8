#include "framework/qxAdornerColors.h"

#include "framework/ppDC.h"

namespace {
const ppRGBColor* gTable = nullptr;
}  // namespace

void SetDocumentColorTable(const ppRGBColor* table) { gTable = table; }
const ppRGBColor* DocumentColorTable() { return gTable; }

void SetDocumentColor(ppDC& dc, int32_t number) { dc.SetColor(gTable ? gTable[number] : ppRGBColor{}); }
