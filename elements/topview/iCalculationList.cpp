#include "elements/topview/iCalculationList.h"

#include "database/ppDatafile.h"
#include "platform/ResetList.h"

namespace {

iCalculationList gNeutralList;
// The installed calculation line list (not owned); user-interface thread only.
iCalculationList* gList = nullptr;

[[maybe_unused]] const bool kReset = plat::ResetList::Add("calculation list", [] { gList = nullptr; });

}  // namespace

void iCalculationList::ClearBuffer() {
  if (ppDatafile* file = LineFile()) file->ClearRecordBuffer(nullptr);
}

iCalculationList& iCalculationList::Current() { return gList != nullptr ? *gList : gNeutralList; }

void iCalculationList::Install(iCalculationList* list) { gList = list; }
