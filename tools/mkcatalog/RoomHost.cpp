#include "tools/mkcatalog/RoomHost.h"

#include "elements/units/WallTopViewRecord.h"

namespace mkcatalog {

RoomHost::RoomHost(zelvDatabase& db) : db_(db) { iElementHost::Install(this); }

RoomHost::~RoomHost() {
  iElementHost::Install(nullptr);
  WallTopViewRecord::Reset();
}

zelvDatabase* RoomHost::FindDatabase(int32_t identifier) {
  return identifier == WallTopViewRecord::kCatalogue ? &db_ : nullptr;
}

}  // namespace mkcatalog
