#include "elements/topview/iPrintSettings.h"

#include "elements/base/PlanPixels.h"
#include "platform/ResetList.h"
#include "scene3d/panes/zelvpro3DPane.h"

namespace {

iPrintSettings gNeutralSettings;
// The installed print settings (not owned); user-interface thread only.
iPrintSettings* gSettings = nullptr;

[[maybe_unused]] const bool kReset = plat::ResetList::Add("print settings", [] { gSettings = nullptr; });

}  // namespace

PrintPageFields iPrintSettings::PageFields(int32_t /*page*/) {
  PrintPageFields fields;
  fields.pixelsPerMillimetre = float(1.0 / PlanScale());
  fields.offset = PlanPixelOrigin();
  return fields;
}

i3DPaneHost* iPrintSettings::DocumentHost() {
  zelvpro3DPane* pane = zelvpro3DPane::Current();
  return pane != nullptr ? &pane->Host() : nullptr;
}

iPrintSettings& iPrintSettings::Current() { return gSettings != nullptr ? *gSettings : gNeutralSettings; }

void iPrintSettings::Install(iPrintSettings* settings) { gSettings = settings; }

iPrintSettings* iPrintSettings::Installed() { return gSettings; }
