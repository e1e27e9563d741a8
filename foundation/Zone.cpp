#include "foundation/Zone.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "foundation/ProcessServices.h"

namespace Vcon {
namespace {

// The installed zone: installed by the main thread before workers start, read by any thread.
Zone* gCurrent = nullptr;

// Zone header (16) + the table's block header (16) + the table's own 16 bytes of counts.
constexpr uint64_t kTableDataOffset = 32;
constexpr uint64_t kFirstMasterPointer = kTableDataOffset + 16;
// A free block needs at least a header.
constexpr uint64_t kMinFreeBlock = 16;
// A free block is split only when at least this many bytes (header included) would remain.
constexpr uint32_t kSplitThreshold = 32;
// Shown when a locked handle would have to move to grow.
constexpr int32_t kLockedGrowError = 1027;

uint64_t RoundUp16(uint64_t n) { return (n + 15) & ~uint64_t(15); }

}  // namespace

std::unique_ptr<Zone> Zone::Create(uint32_t size, uint32_t masterPointers) {
  const uint64_t count = (uint64_t(masterPointers) / 4 + 1) * 4;
  // Master pointers are 8 bytes here against 4 in the 32-bit layout: add the difference so the data
  // area keeps the size asked for.
  const uint64_t total = RoundUp16(size) + 4 * count;
  const uint64_t freeBlock = kFirstMasterPointer + 8 * count;
  if (total > UINT32_MAX || freeBlock + kMinFreeBlock > total) return nullptr;
  void* base = ::operator new(size_t(total), std::align_val_t(16), std::nothrow);
  if (base == nullptr) return nullptr;
  return std::unique_ptr<Zone>(new Zone(static_cast<char*>(base), uint32_t(total), uint32_t(count)));
}

Zone::Zone(char* base, uint32_t size, uint32_t masterPointers)
    : base_(base), masterPointers_(masterPointers), index_(size) {
  std::memset(base_, 0, size);
  Word(0) = size;
  Word(1) = size;
  Word(3) = uint32_t(kTableDataOffset);
  uint32_t* counts = reinterpret_cast<uint32_t*>(base_ + kTableDataOffset);
  counts[1] = masterPointers;
  // Link the master pointers into the free list in ascending order; the last one holds null.
  char** first = MasterPointer(uint32_t(kFirstMasterPointer));
  for (uint32_t i = 0; i + 1 < masterPointers; ++i) first[i] = reinterpret_cast<char*>(&first[i + 1]);
  first[masterPointers - 1] = nullptr;
  freeMasterPointers_ = first;
  // The table's block: its back pointer names the zone header's fourth word.
  *At(FirstBlock()) = {12, 8 * masterPointers + 16, kBlockLocked | kBlockTable, 0};
  const uint32_t rest = uint32_t(kFirstMasterPointer) + 8 * masterPointers;
  *At(rest) = {0, size - rest - 16, kBlockFree, 0};
  Word(2) = rest;
  RebuildIndex();
}

Zone::~Zone() {
  if (gCurrent == this) gCurrent = nullptr;
  ::operator delete(base_, std::align_val_t(16));
}

Zone* Zone::Current() { return gCurrent; }

Zone* Zone::Install(Zone* zone) {
  Zone* previous = gCurrent;
  gCurrent = zone;
  return previous;
}

uint32_t Zone::Next(uint32_t offset) const {
  const BlockHeader* b = At(offset);
  return offset + 16 + b->size + b->slack;
}

bool Zone::Contains(const void* p) const {
  const char* c = static_cast<const char*>(p);
  return c >= base_ && c < base_ + End();
}

BlockHeader* Zone::HeaderOf(Handle h) const {
  const char* const first = base_ + kFirstMasterPointer;
  const char* const mp = reinterpret_cast<const char*>(h);
  if (mp < first || mp >= first + 8 * uint64_t(masterPointers_) || (mp - first) % 8 != 0) return nullptr;
  // A free master pointer holds the next free one (inside the table) or null, never block data.
  const char* data = *h;
  const char* firstData = first + 8 * uint64_t(masterPointers_) + 16;
  if (data < firstData || data > base_ + End() || (data - base_) % 16 != 0) return nullptr;
  BlockHeader* b = reinterpret_cast<BlockHeader*>(*h - 16);
  if ((b->flags & kBlockFree) != 0 || b->back != OffsetOf(h)) return nullptr;
  return b;
}

char** Zone::TakeMasterPointer() {
  char** mp = freeMasterPointers_;
  if (mp == nullptr) MemFatalError(1025, "Memory full in GetNewMasterPtr");
  freeMasterPointers_ = reinterpret_cast<char**>(*mp);
  return mp;
}

// Next fit: the first free block of at least `size` bytes from `start` on, wrapping past the end;
// 0 when a full turn finds none. Chunks whose bound shows no large enough free block are passed over,
// which leaves the choice exactly that of a block-by-block walk.
uint32_t Zone::FindFreeFrom(uint32_t start, uint32_t size) {
  if (size >= End()) return 0;
  if (start >= End()) start = FirstBlock();
  const uint32_t need = size + 1;
  uint32_t o = start;
  uint32_t chunk = ZoneFreeIndex::ChunkOf(o);
  bool wholeChunk = index_.FirstHeader(chunk) == o;  // walked from its first header on
  uint32_t largest = 0;                              // largest free size + 1 seen in this chunk
  bool wrapped = false;
  for (;;) {
    const BlockHeader* b = At(o);
    if ((b->flags & kBlockFree) != 0) {
      if (b->size >= size) return o;
      largest = std::max(largest, b->size + 1);
    }
    o = Next(o);
    bool newChunk = ZoneFreeIndex::ChunkOf(o) != chunk;
    if (o >= End()) {
      o = FirstBlock();
      wrapped = newChunk = true;
    }
    if (wrapped && o >= start) return 0;
    if (!newChunk) continue;
    // The header after a chunk's last one is the first header of its own chunk.
    if (wholeChunk) index_.SetExact(chunk, largest);
    chunk = ZoneFreeIndex::ChunkOf(o);
    wholeChunk = true;
    largest = 0;
    if (index_.Bound(chunk) >= need) continue;
    uint32_t next = index_.NextChunkWith(chunk + 1, need);
    if (next == ZoneFreeIndex::kNone) {
      if (wrapped) return 0;
      wrapped = true;
      next = index_.NextChunkWith(0, need);
      if (next == ZoneFreeIndex::kNone) return 0;
    }
    chunk = next;
    o = index_.FirstHeader(chunk);
    if (wrapped && o >= start) return 0;
  }
}

uint32_t Zone::FindDataBlock(uint32_t start, uint32_t size) {
  uint32_t found = FindFreeFrom(start, size);
  if (found == 0) {
    Compact();
    ++compactions_;
    found = FindFreeFrom(RoverOffset(), size);
  }
  if (found == 0) MemFatalError(1026, "Memory full in GetNewDataBlock");
  TakeBlock(found, size);
  return found;
}

// Marks the free block at `offset` used for `size` bytes, splitting off the rest when 32 bytes or more
// would remain; the rover moves past the taken block.
void Zone::TakeBlock(uint32_t offset, uint32_t size) {
  BlockHeader* b = At(offset);
  const uint32_t rounded = uint32_t(RoundUp16(size));  // fits: it is at most the block's capacity
  const uint32_t capacity = b->size + b->slack;
  if (capacity - rounded < kSplitThreshold) {
    *b = {0, size, 0, capacity - size};
    Word(2) = Next(offset);
    return;
  }
  *b = {0, size, 0, rounded - size};
  const uint32_t rest = offset + 16 + rounded;
  *At(rest) = {0, capacity - rounded - 16, kBlockFree, 0};
  index_.NoteFree(rest, capacity - rounded - 16);
  Word(2) = rest;
}

Handle Zone::NewHandle(uint32_t size) {
  char** mp = TakeMasterPointer();
  const uint32_t offset = FindDataBlock(RoverOffset(), size);
  At(offset)->back = OffsetOf(mp);
  *mp = base_ + offset + 16;
  return mp;
}

void Zone::FreeBlock(BlockHeader* b) {
  b->back = 0;
  b->flags = kBlockFree;
  b->size += b->slack;
  b->slack = 0;
  index_.NoteFree(OffsetOf(b), b->size);
}

void Zone::Dispose(Handle h) {
  BlockHeader* b = HeaderOf(h);
  if (b == nullptr) return;
  FreeBlock(b);
  *h = reinterpret_cast<char*>(freeMasterPointers_);
  freeMasterPointers_ = h;
}

void Zone::SetHandleSize(Handle h, uint32_t size) {
  BlockHeader* b = HeaderOf(h);
  if (b == nullptr || size == b->size) return;
  if (b->size > size) {
    ShrinkInPlace(b, OffsetOf(b), size);
  } else if (uint64_t(b->size) + b->slack > size) {
    b->slack = b->size + b->slack - size;
    b->size = size;
  } else if ((b->flags & kBlockLocked) != 0) {
    // Moving a locked block would leave the caller's pointers dangling, and keeping the old size
    // would let the caller write past the block: refuse loudly instead.
    ShowMemoryError(kLockedGrowError);
    throw MemError{kLockedGrowError};
  } else {
    MoveToNewBlock(h, size);
  }
}

// Shrinks without moving; 32 or more spare bytes become a free block right after the data.
void Zone::ShrinkInPlace(BlockHeader* b, uint32_t offset, uint32_t size) {
  const uint32_t spare = b->slack + b->size - size;
  b->size = size;
  b->slack = spare;
  if (spare < kSplitThreshold) return;
  const uint32_t keep = spare % 16;
  b->slack = keep;
  *At(offset + 16 + size + keep) = {0, spare - keep - 16, kBlockFree, 0};
  index_.NoteFree(offset + 16 + size + keep, spare - keep - 16);
}

void Zone::MoveToNewBlock(Handle h, uint32_t size) {
  const uint32_t found = FindDataBlock(OffsetOf(*h - 16), size);
  // The search may have compacted the zone and slid the old block: find it again through the handle.
  BlockHeader* old = reinterpret_cast<BlockHeader*>(*h - 16);
  BlockHeader* fresh = At(found);
  std::memcpy(base_ + found + 16, *h, old->size);
  fresh->back = old->back;
  fresh->flags = old->flags;
  *h = base_ + found + 16;
  FreeBlock(old);
}

void Zone::Compact() {
  Word(2) = FirstBlock();
  uint32_t o = FirstBlock();
  while (o < End()) {
    if ((At(o)->flags & kBlockFree) == 0) {
      o = Next(o);
      continue;
    }
    o = CompactRun(o);
  }
  RebuildIndex();
}

void Zone::RebuildIndex() {
  index_.Clear();
  for (uint32_t o = FirstBlock(); o < End(); o = Next(o)) {
    const BlockHeader* b = At(o);
    if ((b->flags & kBlockFree) != 0) {
      index_.NoteFree(o, b->size);
    } else {
      index_.NoteHeader(o);
    }
  }
}

// Gathers free space from the free block at `free` up to the next locked block or the zone's end:
// free blocks merge into it and unlocked used blocks slide below it. Returns where it stopped.
uint32_t Zone::CompactRun(uint32_t free) {
  BlockHeader gap = *At(free);
  for (;;) {
    const uint32_t o = free + 16 + gap.size + gap.slack;
    if (o >= End()) break;
    BlockHeader* b = At(o);
    if ((b->flags & kBlockFree) != 0) {
      gap.size += b->size + b->slack + 16;
    } else if ((b->flags & kBlockLocked) != 0) {
      *At(free) = gap;
      return o;
    } else {
      const uint32_t length = 16 + b->size + b->slack;
      std::memmove(base_ + free, b, length);
      *MasterPointer(At(free)->back) = base_ + free + 16;
      free += length;
    }
    *At(free) = gap;
  }
  *At(free) = gap;
  return End();
}

std::vector<BlockInfo> Zone::Blocks() const {
  std::vector<BlockInfo> blocks;
  for (uint32_t o = FirstBlock(); o < End(); o = Next(o)) blocks.push_back({o, *At(o)});
  return blocks;
}

uint32_t Zone::FreeMasterPointerCount() const {
  uint32_t n = 0;
  for (char** mp = freeMasterPointers_; mp != nullptr; mp = reinterpret_cast<char**>(*mp)) ++n;
  return n;
}

void MemFatalError(int32_t code, const char* message) { ShowFatalErrorBox(code, message, "Memory"); }

}  // namespace Vcon
