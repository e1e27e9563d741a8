#include "elements/base/iApplicationSettings.h"

#include "platform/ResetList.h"

namespace {

// The settings seen while none are installed; user-interface thread only.
iApplicationSettings gNeutralSettings;
// The installed application settings (not owned); user-interface thread only.
iApplicationSettings* gSettings = nullptr;

// The neutral settings are reachable through Current() too, so a reset clears their fields as well.
[[maybe_unused]] const bool kReset = plat::ResetList::Add("application settings", [] {
  gSettings = nullptr;
  gNeutralSettings = iApplicationSettings();
});

}  // namespace

iApplicationSettings& iApplicationSettings::Current() {
  return gSettings != nullptr ? *gSettings : gNeutralSettings;
}

void iApplicationSettings::Install(iApplicationSettings* settings) { gSettings = settings; }
