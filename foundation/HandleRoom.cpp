#include "foundation/HandleRoom.h"

#include "foundation/Zone.h"

Handle MemTryNew(uint32_t size) {
  Vcon::Zone* zone = Vcon::Zone::Current();
  return zone != nullptr ? zone->TryNewHandle(size) : nullptr;
}

bool MemTrySetSize(Handle h, uint32_t size) {
  Vcon::Zone* zone = Vcon::Zone::Current();
  return zone != nullptr && zone->TrySetHandleSize(h, size);
}

bool MemCanHold(uint32_t size) {
  Vcon::Zone* zone = Vcon::Zone::Current();
  return zone != nullptr && zone->CanHold(size);
}
