// The relocatable-handle memory manager.
//
// One zone of memory, allocated once at start-up (MemInit) and freed at the end (MemTerminate), is
// carved into data blocks. A Handle is the address of a master pointer; the master pointer holds the
// address of the handle's data. Every user reaches the data through the master pointer, so the
// manager may move unlocked blocks (when a handle grows, when the zone is compacted and when its
// owner asks, MemMoveToRover) and then only rewrites the master pointer. Data addresses stay valid
// only until the next call that can move blocks, unless the handle is locked.
//
// The handle operations never report failure: when the zone is exhausted even after a compaction, a
// fatal box is shown and the process ends. All sizes and offsets are in bytes. The zone, its rover and
// the free list of master pointers are process globals used only from the user-interface thread.
#pragma once

#include <cstdint>

// Address of a master pointer; *h is the data. A null Handle is only accepted where stated.
using Handle = char**;

namespace Vcon {

// Thrown by callers after they have shown the memory error box (for example when a platform object
// cannot be made); the handle operations themselves throw only when a locked handle must grow.
struct MemError {
  int32_t code = 0;
};

// Thrown where memory ran out and the caller can trim its caches and retry.
struct MemFullErr {
  int32_t code = 0;
};

}  // namespace Vcon

class Vcon_HandleManager {
 public:
  // Allocates a handle of `size` bytes (contents not cleared), stores it in *out and returns out.
  static Handle* MemNew(Handle* out, uint32_t size);
};

// Offset value of MemInsertBytes/MemInsertHandle meaning "append at the end".
inline constexpr uint32_t kMemAppend = 0xFFFFFFFFu;

// Creates the zone: `zoneSize` bytes (rounded up to 16) and ((masterPointers / 4) + 1) * 4 master
// pointers. Returns 0 on success, 1 when the zone cannot be allocated (no handle may then be made).
int16_t MemInit(uint32_t zoneSize, uint32_t masterPointers);
// Frees the zone; every handle becomes invalid.
void MemTerminate();

void MemClear(Handle h);                   // fills the whole data with zero bytes
void MemDispose(Handle h);                 // null is ignored; a second dispose is ignored
void MemSetSize(Handle h, uint32_t size);  // the data may move unless locked
int32_t MemGetSize(Handle h);              // 0 for a null handle
void MemLock(Handle h);                    // locks do not nest
void MemUnlock(Handle h);                  // one unlock clears any number of locks
// Moves unlocked data to the free block next fit finds from the rover, as a new handle of its size
// would be placed, but never compacts; false when nothing moved (locked, or no free block fits).
bool MemMoveToRover(Handle h);

// Grows `h` by n bytes and copies n bytes from `src` to `offset`, moving the bytes from offset up;
// offset kMemAppend appends.
void MemInsertBytes(const void* src, uint32_t n, Handle h, uint32_t offset);
// The same with the whole data of `src`.
void MemInsertHandle(Handle src, Handle dst, uint32_t offset);
// A new handle in *out with a copy of `src`'s data.
void MemDuplicate(Handle src, Handle* out);
// Resizes `dst` to `src`'s size and copies the data.
void MemCopy(Handle src, Handle dst);
// Removes n bytes at `offset`, moving the following bytes down, and shrinks the handle by n.
void MemDeleteBytes(Handle h, uint32_t offset, uint32_t n);
