#include "elements/base/iWorktopBuilder.h"

#include "platform/ResetList.h"

namespace {

iWorktopBuilder gNeutralBuilder;
// The installed worktop builder (not owned); user-interface thread only.
iWorktopBuilder* gBuilder = nullptr;

[[maybe_unused]] const bool kReset = plat::ResetList::Add("worktop builder", [] { gBuilder = nullptr; });

}  // namespace

iWorktopBuilder& iWorktopBuilder::Current() { return gBuilder != nullptr ? *gBuilder : gNeutralBuilder; }

void iWorktopBuilder::Install(iWorktopBuilder* builder) { gBuilder = builder; }
