#include "calculation/ItemSheetPrintFlag.h"

#include "platform/ResetList.h"

namespace {

// Owned by the user-interface thread.
bool gItemSheet = false;

[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("calculation: item-sheet print flag", [] { gItemSheet = false; });

}  // namespace

bool ItemSheetPrintFlag() { return gItemSheet; }

void SetItemSheetPrintFlag(bool on) { gItemSheet = on; }
