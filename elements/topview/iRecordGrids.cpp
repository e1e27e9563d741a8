#include "elements/topview/iRecordGrids.h"

#include "platform/ResetList.h"

namespace {

iRecordGrids gNeutralGrids;
// The installed grid maker (not owned); user-interface thread only.
iRecordGrids* gGrids = nullptr;

[[maybe_unused]] const bool kReset = plat::ResetList::Add("record grids", [] { gGrids = nullptr; });

}  // namespace

iRecordGrids& iRecordGrids::Current() { return gGrids != nullptr ? *gGrids : gNeutralGrids; }

void iRecordGrids::Install(iRecordGrids* grids) { gGrids = grids; }
