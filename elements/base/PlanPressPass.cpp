#include "elements/base/PlanPressPass.h"

#include "platform/ResetList.h"

namespace {

// Set by the top canvas around its first offer of a press; user-interface thread only.
bool gFirstPressPass = false;
[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("first press pass", [] { gFirstPressPass = false; });

}  // namespace

bool FirstPressPass() { return gFirstPressPass; }
void SetFirstPressPass(bool on) { gFirstPressPass = on; }
