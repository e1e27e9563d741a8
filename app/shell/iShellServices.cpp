#include "app/shell/iShellServices.h"

#include "calculation/ItemSheetPrintFlag.h"

#include "platform/ResetList.h"

namespace {
iShellServices gNeutral;
iShellServices* gInstalled = nullptr;  // user-interface thread
[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("shell services: the installed ones", [] { gInstalled = nullptr; });
}  // namespace

iShellServices& iShellServices::Current() { return gInstalled != nullptr ? *gInstalled : gNeutral; }
void iShellServices::Install(iShellServices* services) { gInstalled = services; }
bool iShellServices::AnyInstalled() { return gInstalled != nullptr; }

void iShellServices::SetAlternativePriceLayout(bool on) { SetItemSheetPrintFlag(on); }
