#include "elements/base/iElementHost.h"

#include "catalogue/databases/CatalogDatabaseList.h"
#include "platform/ResetList.h"

namespace {

iElementHost gNeutralHost;
// The installed host; user-interface thread only.
iElementHost* gHost = nullptr;

[[maybe_unused]] const bool kReset = plat::ResetList::Add("element host", [] { gHost = nullptr; });

}  // namespace

zelvDatabase* iElementHost::FindDatabase(int32_t identifier) {
  return CatalogDatabases != nullptr ? CatalogDatabases->FindById(identifier) : nullptr;
}

iElementHost& iElementHost::Current() { return gHost != nullptr ? *gHost : gNeutralHost; }

void iElementHost::Install(iElementHost* host) { gHost = host; }
