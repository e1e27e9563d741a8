#include "calculation/PriceListTable.h"

#include "platform/ResetList.h"

namespace {

// Owned by the user-interface thread; set and cleared by the price list pane.
zelvproCalculatorFil* gPriceListTable = nullptr;

[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("calculation: price list table", [] { gPriceListTable = nullptr; });

}  // namespace

zelvproCalculatorFil* PriceListTable() { return gPriceListTable; }

void SetPriceListTable(zelvproCalculatorFil* table) { gPriceListTable = table; }
