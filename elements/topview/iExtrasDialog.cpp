#include "elements/topview/iExtrasDialog.h"

#include "platform/ResetList.h"

namespace {

iExtrasDialog gNeutralDialog;
// The installed extras dialog (not owned); user-interface thread only.
iExtrasDialog* gDialog = nullptr;

[[maybe_unused]] const bool kReset = plat::ResetList::Add("extras dialog", [] { gDialog = nullptr; });

}  // namespace

iExtrasDialog& iExtrasDialog::Current() { return gDialog != nullptr ? *gDialog : gNeutralDialog; }

void iExtrasDialog::Install(iExtrasDialog* dialog) { gDialog = dialog; }
