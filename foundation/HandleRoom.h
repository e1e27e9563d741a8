// Handles whose size comes from outside the program: a file's length, a length read from a file's or a
// server's bytes. A size the zone cannot hold is then the input's fault, not the program's, and ends
// nothing: these calls answer null, or false with the handle unchanged, where MemNew and MemSetSize
// would show the fatal memory box. They take nothing when they fail (a compaction may have run, as
// MemNew would run it). The program's own allocations keep MemNew and MemSetSize.
#pragma once

#include <cstdint>

#include "foundation/Vcon_HandleManager.h"

// A new handle of `size` bytes (contents not cleared), or null when the zone cannot hold it even after
// a compaction, or has no master pointer left, or there is no zone.
Handle MemTryNew(uint32_t size);
// MemSetSize, or false with `h` as it was when the zone cannot hold `size` bytes for it. A locked
// handle that would have to move is refused as MemSetSize refuses it.
bool MemTrySetSize(Handle h, uint32_t size);
// True when MemNew(size) would succeed now; takes nothing.
bool MemCanHold(uint32_t size);
