#include "framework/qxAdornerColors.h"

#include "framework/ppDC.h"
#include "platform/ResetList.h"

namespace {
const ppRGBColor* gTable = nullptr;  // the active document's, not owned; user-interface thread
[[maybe_unused]] const bool kReset = plat::ResetList::Add("adorner colours", [] { gTable = nullptr; });
}  // namespace

void SetDocumentColorTable(const ppRGBColor* table) { gTable = table; }
const ppRGBColor* DocumentColorTable() { return gTable; }

void SetDocumentColor(ppDC& dc, int32_t number) { dc.SetColor(gTable ? gTable[number] : ppRGBColor{}); }
