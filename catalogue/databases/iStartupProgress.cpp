#include "catalogue/databases/iStartupProgress.h"

#include "platform/ResetList.h"

iStartupProgress* gStartupWindow = nullptr;

namespace {
[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("start-up window for progress lines", [] { gStartupWindow = nullptr; });
}  // namespace

void ShowStartupProgress(const Vcon::WString& text) {
  if (gStartupWindow != nullptr) gStartupWindow->SetProgressText(text);
}
