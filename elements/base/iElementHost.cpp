#include "elements/base/iElementHost.h"

#include "catalogue/databases/CatalogDatabaseList.h"
#include "database/ppDatafile.h"
#include "elements/base/PasteOffset.h"
#include "elements/base/qxPrintPictures.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/base/zelvproLayerPalette.h"
#include "platform/ResetList.h"

namespace {

iElementHost gNeutralHost;
// The installed host; user-interface thread only.
iElementHost* gHost = nullptr;
// The installed placement-warning check; user-interface thread only.
iElementHost::PlanWarningCheck gPlanWarningCheck = nullptr;

[[maybe_unused]] const bool kReset = plat::ResetList::Add("element host", [] {
  gHost = nullptr;
  gPlanWarningCheck = nullptr;
});

}  // namespace

zelvDatabase* iElementHost::FindDatabase(int32_t identifier) {
  return CatalogDatabases != nullptr ? CatalogDatabases->FindById(identifier) : nullptr;
}

iElementHost& iElementHost::Current() { return gHost != nullptr ? *gHost : gNeutralHost; }

void iElementHost::Install(iElementHost* host) { gHost = host; }

void iElementHost::InstallPlanWarningCheck(PlanWarningCheck check) { gPlanWarningCheck = check; }

void iElementHost::CheckPlanWarnings() {
  if (gPlanWarningCheck != nullptr) gPlanWarningCheck(*this);
}

void iElementHost::SetPasteOffset(float millimetres) { ::SetPasteOffset(millimetres); }

void iElementHost::PassToViewBar(int32_t command, intptr_t parameter) {
  if (zelvproLayerPalette* palette = LayerPalette()) palette->PassViewCommand(command, parameter);
}

qxPrintPictures& iElementHost::PrintPictures() { return qxPrintPictures::Default(); }

ppDatafile* iElementHost::BeginCopy(zelvproCanvas* canvas) {
  ppDatafile* copy = CopyDatafile(canvas);
  if (copy == nullptr) return nullptr;
  for (int32_t i = copy->GetRecordCount(); i-- > 0;) copy->DeleteRecordAt(i);
  return copy;
}

ppDatafile* iElementHost::CopyDatafile(zelvproCanvas* canvas) {
  return canvas != nullptr ? canvas->CopyModules() : nullptr;
}
