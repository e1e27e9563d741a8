#include "elements/units/WallTopViewRecord.h"

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "database/ppDatafile.h"
#include "elements/base/iElementHost.h"
#include "elements/topview/CatalogReads.h"
#include "platform/ResetList.h"

namespace {

// The record found by the first successful lookup; user-interface thread only.
WallTopViewRecord::Found gWallRecord;

[[maybe_unused]] const bool kReset = plat::ResetList::Add("wall top-view record", [] { gWallRecord = {}; });

}  // namespace

WallTopViewRecord::Found WallTopViewRecord::Find() {
  if (gWallRecord) return gWallRecord;
  Found found;
  found.db = iElementHost::Current().FindDatabase(kCatalogue);
  if (found.db == nullptr) return {};
  found.recordId = CatalogReads::RecordOfStoredId(found.db->TopViewFile(), kStoredId, "ID");
  if (found) gWallRecord = found;
  return found;
}

void WallTopViewRecord::Reset() { gWallRecord = {}; }
