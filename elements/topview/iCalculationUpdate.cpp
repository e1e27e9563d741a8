#include "elements/topview/iCalculationUpdate.h"

#include "platform/ResetList.h"

namespace {

iCalculationUpdate gNeutralUpdate;
// The installed price-list updater (not owned); user-interface thread only.
iCalculationUpdate* gUpdate = nullptr;

[[maybe_unused]] const bool kReset = plat::ResetList::Add("calculation update", [] { gUpdate = nullptr; });

}  // namespace

iCalculationUpdate& iCalculationUpdate::Current() { return gUpdate != nullptr ? *gUpdate : gNeutralUpdate; }

void iCalculationUpdate::Install(iCalculationUpdate* updater) { gUpdate = updater; }
