#include "elements/base/iApplicationSettings.h"

#include "platform/ResetList.h"

namespace {

iApplicationSettings gNeutralSettings;
// The installed application settings (not owned); user-interface thread only.
iApplicationSettings* gSettings = nullptr;

[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("application settings", [] { gSettings = nullptr; });

}  // namespace

iApplicationSettings& iApplicationSettings::Current() {
  return gSettings != nullptr ? *gSettings : gNeutralSettings;
}

void iApplicationSettings::Install(iApplicationSettings* settings) { gSettings = settings; }
