#include "foundation/Vcon_HandleManager.h"

#include <cassert>
#include <cstring>
#include <memory>
#include <vector>

#include "foundation/Zone.h"
#include "platform/HeapThresholds.h"

namespace {

// The zone MemInit made; the program entry owns it through these calls, on the main thread before any
// worker starts and after the last one ends. It lives as long as the process: no reset touches it.
std::unique_ptr<Vcon::Zone> gOwnedZone;

Vcon::Zone& CurrentZone() {
  Vcon::Zone* zone = Vcon::Zone::Current();
  // No handle is ever made from a missing zone.
  if (zone == nullptr) Vcon::MemFatalError(1017, "Memory full in Vcon_HandleManager::MemNew");
  return *zone;
}

Vcon::BlockHeader& HeaderOf(Handle h) {
  Vcon::BlockHeader* b = CurrentZone().HeaderOf(h);
  assert(b != nullptr && "not a live handle");
  return *b;
}

// Opens a gap of n bytes at `offset` (past the end: at the end) and returns where it starts. The
// handle may move.
char* OpenGap(Handle h, uint32_t n, uint32_t offset) {
  const uint32_t old = HeaderOf(h).size;
  if (uint64_t(old) + n > UINT32_MAX) Vcon::MemFatalError(1027, "Memory full in MemSetHandleSize");
  MemSetSize(h, old + n);
  if (offset >= old) return *h + old;
  std::memmove(*h + offset + n, *h + offset, old - offset);
  return *h + offset;
}

}  // namespace

Handle* Vcon_HandleManager::MemNew(Handle* out, uint32_t size) {
  *out = CurrentZone().NewHandle(size);
  return out;
}

int16_t MemInit(uint32_t zoneSize, uint32_t masterPointers) {
  // The zone is made once at start-up: the C heap's thresholds are fixed here too, before the program
  // allocates anything sizeable outside the zone.
  plat::KeepFreedHeapMemoryMapped();
  std::unique_ptr<Vcon::Zone> zone = Vcon::Zone::Create(zoneSize, masterPointers);
  if (!zone) return 1;
  MemTerminate();
  gOwnedZone = std::move(zone);
  Vcon::Zone::Install(gOwnedZone.get());
  return 0;
}

void MemTerminate() {
  if (Vcon::Zone::Current() == gOwnedZone.get()) Vcon::Zone::Install(nullptr);
  gOwnedZone.reset();
}

void MemClear(Handle h) { std::memset(*h, 0, HeaderOf(h).size); }

void MemDispose(Handle h) {
  if (h != nullptr && Vcon::Zone::Current() != nullptr) Vcon::Zone::Current()->Dispose(h);
}

void MemSetSize(Handle h, uint32_t size) { CurrentZone().SetHandleSize(h, size); }

int32_t MemGetSize(Handle h) {
  if (h == nullptr || Vcon::Zone::Current() == nullptr) return 0;
  const Vcon::BlockHeader* b = Vcon::Zone::Current()->HeaderOf(h);
  return b ? int32_t(b->size) : 0;
}

void MemLock(Handle h) {
  assert(CurrentZone().HeaderOf(h) != nullptr && "not a live handle");
  CurrentZone().SetLocked(h, true);
}

bool MemMoveToRover(Handle h) { return CurrentZone().MoveToRover(h); }

void MemUnlock(Handle h) {
  assert(CurrentZone().HeaderOf(h) != nullptr && "not a live handle");
  CurrentZone().SetLocked(h, false);
}

void MemInsertBytes(const void* src, uint32_t n, Handle h, uint32_t offset) {
  if (n == 0) return;
  // Bytes inside the zone may move while the handle grows: take a copy first.
  std::vector<char> copy;
  if (CurrentZone().Contains(src)) {
    copy.assign(static_cast<const char*>(src), static_cast<const char*>(src) + n);
    src = copy.data();
  }
  std::memcpy(OpenGap(h, n, offset), src, n);
}

void MemInsertHandle(Handle src, Handle dst, uint32_t offset) {
  const uint32_t n = HeaderOf(src).size;
  if (n == 0) return;
  if (src == dst) {
    const std::vector<char> copy(*src, *src + n);
    std::memcpy(OpenGap(dst, n, offset), copy.data(), n);
    return;
  }
  char* gap = OpenGap(dst, n, offset);
  std::memcpy(gap, *src, n);  // *src read after the growth, which may have moved it
}

void MemDuplicate(Handle src, Handle* out) {
  const uint32_t n = HeaderOf(src).size;
  Vcon_HandleManager::MemNew(out, n);
  if (n > 0) std::memcpy(**out, *src, n);
}

void MemCopy(Handle src, Handle dst) {
  const uint32_t n = HeaderOf(src).size;
  MemSetSize(dst, n);
  if (n > 0 && src != dst) std::memcpy(*dst, *src, n);
}

void MemDeleteBytes(Handle h, uint32_t offset, uint32_t n) {
  const uint32_t size = HeaderOf(h).size;
  if (offset >= size || n == 0) return;
  n = std::min(n, size - offset);
  const uint32_t after = size - offset - n;
  if (after > 0) std::memmove(*h + offset, *h + offset + n, after);
  MemSetSize(h, size - n);
}
