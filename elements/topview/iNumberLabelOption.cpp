#include "elements/topview/iNumberLabelOption.h"

#include "platform/ResetList.h"

namespace {

iNumberLabelOption gNeutralOption;
// The installed number-label switch (not owned); user-interface thread only.
iNumberLabelOption* gOption = nullptr;

[[maybe_unused]] const bool kReset = plat::ResetList::Add("number label option", [] { gOption = nullptr; });

}  // namespace

iNumberLabelOption& iNumberLabelOption::Current() { return gOption != nullptr ? *gOption : gNeutralOption; }

void iNumberLabelOption::Install(iNumberLabelOption* option) { gOption = option; }
