#include "foundation/Zone.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sys/mman.h>
#include <unistd.h>

#include "foundation/ProcessServices.h"

namespace Vcon {
namespace {

// Zone header (16) + the table's block header (16) + the table's own 16 bytes of counts.
constexpr uint64_t kTableDataOffset = 32;
constexpr uint64_t kFirstMasterPointer = kTableDataOffset + 16;
// A free block needs at least a header.
constexpr uint64_t kMinFreeBlock = 16;
// A free block is split only when at least this many bytes (header included) would remain.
constexpr uint32_t kSplitThreshold = 32;
// How much of a block that must move is fetched ahead of the copy.
constexpr uint32_t kPrefetchBytes = 1024;
// Shown when a locked handle would have to move to grow.
constexpr int32_t kLockedGrowError = 1027;

uint64_t RoundUp16(uint64_t n) { return (n + 15) & ~uint64_t(15); }

// The zone's memory straight from the kernel, asking for huge pages: next fit spreads a busy zone's
// accesses over all of it, and with small pages most of them would also miss the address translation
// cache. Null when the memory cannot be had.
char* MapZone(size_t bytes) {
  void* base = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (base == MAP_FAILED) return nullptr;
  madvise(base, bytes, MADV_HUGEPAGE);  // only advice: small pages work as well, if slower
  return static_cast<char*>(base);
}

}  // namespace

std::unique_ptr<Zone> Zone::Create(uint32_t size, uint32_t masterPointers) {
  const uint64_t count = (uint64_t(masterPointers) / 4 + 1) * 4;
  // Master pointers are 8 bytes here against 4 in the 32-bit layout: add the difference so the data
  // area keeps the size asked for.
  const uint64_t total = RoundUp16(size) + 4 * count;
  const uint64_t freeBlock = kFirstMasterPointer + 8 * count;
  if (total > UINT32_MAX || freeBlock + kMinFreeBlock > total) return nullptr;
  char* base = MapZone(size_t(total));
  if (base == nullptr) return nullptr;
  try {
    return std::unique_ptr<Zone>(new Zone(base, uint32_t(total), uint32_t(count)));
  } catch (const std::bad_alloc&) {  // the free index's or the extents' memory could not be had
    munmap(base, size_t(total));
    return nullptr;
  }
}

// The mapping arrives zeroed, so only the words that are not zero are written: the pages of a zone
// are touched when blocks are first placed on them, not all at its creation.
Zone::Zone(char* base, uint32_t size, uint32_t masterPointers)
    : base_(base),
      bytes_(size),
      masterPointers_(masterPointers),
      unusedMasterPointers_(reinterpret_cast<char**>(base + kFirstMasterPointer)),
      extents_(static_cast<Extent*>(std::calloc(masterPointers, sizeof(Extent)))),
      index_(base, size) {
  if (extents_ == nullptr) throw std::bad_alloc();
  Word(0) = size;
  Word(1) = size;
  Word(3) = uint32_t(kTableDataOffset);
  uint32_t* counts = reinterpret_cast<uint32_t*>(base_ + kTableDataOffset);
  counts[1] = masterPointers;
  // The table's block: its back pointer names the zone header's fourth word.
  *At(FirstBlock()) = {12, 8 * masterPointers + 16, kBlockLocked | kBlockTable, 0};
  const uint32_t rest = uint32_t(kFirstMasterPointer) + 8 * masterPointers;
  NoteFree(rest, size - rest - 16);
  Word(2) = rest;
  index_.Insert(rest, size - rest - 16);
}

Zone::~Zone() {
  if (current_ == this) current_ = nullptr;
  munmap(base_, bytes_);
  std::free(extents_);
}

void Zone::Prefault() {
  ZoneFreeIndex::Populate(base_, bytes_);
  index_.Prefault();
  // The extents come from calloc: populating from the start of the page the table begins on also backs
  // the heap's bytes before it, which changes none of them.
  const uintptr_t page = uintptr_t(sysconf(_SC_PAGESIZE));
  const uintptr_t begin = reinterpret_cast<uintptr_t>(extents_) & ~(page - 1);
  const uintptr_t end = reinterpret_cast<uintptr_t>(extents_ + masterPointers_);
  ZoneFreeIndex::Populate(reinterpret_cast<void*>(begin), end - begin);
}

Zone* Zone::Install(Zone* zone) {
  Zone* previous = current_;
  current_ = zone;
  return previous;
}

uint32_t Zone::Next(uint32_t offset) const {
  const BlockHeader b = HeaderAt(offset);
  return offset + 16 + b.size + b.slack;
}

bool Zone::Contains(const void* p) const {
  const char* c = static_cast<const char*>(p);
  return c >= base_ && c < base_ + End();
}

// Differences of addresses as unsigned numbers, so that one comparison rejects what lies below as well as
// what lies above. The first block's data after the table starts on a 16-byte boundary (the table holds a
// multiple of four master pointers), so data offsets from it are multiples of 16 as well.
Zone::Extent* Zone::LiveExtent(Handle h) const {
  const uintptr_t at =
      reinterpret_cast<uintptr_t>(h) - reinterpret_cast<uintptr_t>(base_ + kFirstMasterPointer);
  if (at >= 8 * uintptr_t(masterPointers_) || at % 8 != 0) return nullptr;
  const uintptr_t firstData = kFirstMasterPointer + 8 * uintptr_t(masterPointers_) + 16;
  const uintptr_t data = reinterpret_cast<uintptr_t>(*h) - reinterpret_cast<uintptr_t>(base_) - firstData;
  if (data > End() - firstData || data % 16 != 0) return nullptr;
  return extents_ + at / 8;
}

bool Zone::IsLive(Handle h) const { return LiveExtent(h) != nullptr; }

BlockHeader* Zone::HeaderOf(Handle h) const {
  if (!IsLive(h)) return nullptr;
  BlockHeader* b = reinterpret_cast<BlockHeader*>(*h - 16);
  if ((b->flags & kBlockFree) != 0 || b->back != OffsetOf(h)) return nullptr;
  return b;
}

Zone::Extent& Zone::ExtentOf(Handle h) const {
  return extents_[(reinterpret_cast<const char*>(h) - (base_ + kFirstMasterPointer)) / 8];
}

void Zone::SetLocked(Handle h, bool locked) {
  BlockHeader* b = HeaderOf(h);
  if (b == nullptr) return;
  b->flags = locked ? b->flags | kBlockLocked : b->flags & ~kBlockLocked;
  ExtentOf(h).locked = locked ? 1 : 0;
}

// Master pointers go out in ascending order first, then last freed first: the freed ones are a
// list, the never used ones simply follow the last one handed out.
char** Zone::TakeMasterPointer() {
  char** mp = freeMasterPointers_;
  if (mp != nullptr) {
    freeMasterPointers_ = reinterpret_cast<char**>(*mp);
    return mp;
  }
  char** const end = reinterpret_cast<char**>(base_ + kFirstMasterPointer) + masterPointers_;
  if (unusedMasterPointers_ == end) MemFatalError(1025, "Memory full in GetNewMasterPtr");
  return unusedMasterPointers_++;
}

// Next fit: the first free block of at least `size` bytes from `start` on, wrapping past the end;
// offset 0 when a full turn finds none.
ZoneFreeIndex::Fit Zone::FindFreeFrom(uint32_t start, uint32_t size) const {
  if (size >= End()) return {0, 0};
  if (start >= End()) start = FirstBlock();
  const ZoneFreeIndex::Fit found = index_.FindFrom(start, size);
  return found.offset == ZoneFreeIndex::kNone ? ZoneFreeIndex::Fit{0, 0} : found;
}

// Next fit from `start`, and once more from the bottom after a compaction when a full turn found nothing.
// A request as large as the whole zone cannot fit however the blocks lie: no compaction for it.
ZoneFreeIndex::Fit Zone::FindRoom(uint32_t start, uint32_t size) {
  ZoneFreeIndex::Fit found = FindFreeFrom(start, size);
  if (found.offset == 0 && size < End()) {
    Compact();
    ++compactions_;
    found = FindFreeFrom(RoverOffset(), size);
  }
  return found;
}

Zone::Taken Zone::FindDataBlock(uint32_t start, uint32_t size, uint32_t back) {
  const ZoneFreeIndex::Fit found = FindRoom(start, size);
  if (found.offset == 0) MemFatalError(1026, "Memory full in GetNewDataBlock");
  return {found.offset, TakeBlock(found, size, back)};
}

// Marks the free block `free` used for `size` bytes by the master pointer at offset `back`, splitting
// off the rest when 32 bytes or more would remain; the rover moves past the taken block. Returns the
// block's slack. The header is only written, never read back: its old contents are known to the index,
// and on a part of the zone next fit has not visited for a while a write need not wait for the memory
// while a read would.
uint32_t Zone::TakeBlock(ZoneFreeIndex::Fit free, uint32_t size, uint32_t back) {
  const uint32_t offset = free.offset;
  BlockHeader* b = At(offset);
  const uint32_t rounded = uint32_t(RoundUp16(size));  // fits: it is at most the block's capacity
  const uint32_t capacity = free.size;                 // a free block has no slack
  index_.Erase(offset, capacity);
  if (capacity - rounded < kSplitThreshold) {
    *b = {back, size, 0, capacity - size};
    Word(2) = offset + 16 + capacity;
    return capacity - size;
  }
  *b = {back, size, 0, rounded - size};
  const uint32_t rest = offset + 16 + rounded;
  NoteFree(rest, capacity - rounded - 16);
  index_.Hold(rest, capacity - rounded - 16);
  Word(2) = rest;
  return rounded - size;
}

Handle Zone::NewHandle(uint32_t size) {
  char** mp = TakeMasterPointer();
  const Taken taken = FindDataBlock(RoverOffset(), size, OffsetOf(mp));
  *mp = base_ + taken.offset + 16;
  ExtentOf(mp) = {size, taken.slack, 0};
  return mp;
}

bool Zone::HasFreeMasterPointer() const {
  return freeMasterPointers_ != nullptr ||
         unusedMasterPointers_ != reinterpret_cast<char**>(base_ + kFirstMasterPointer) + masterPointers_;
}

Handle Zone::TryNewHandle(uint32_t size) {
  if (!HasFreeMasterPointer()) return nullptr;
  const ZoneFreeIndex::Fit found = FindRoom(RoverOffset(), size);
  if (found.offset == 0) return nullptr;
  char** mp = TakeMasterPointer();
  const uint32_t slack = TakeBlock(found, size, OffsetOf(mp));
  *mp = base_ + found.offset + 16;
  ExtentOf(mp) = {size, slack, 0};
  return mp;
}

bool Zone::CanHold(uint32_t size) {
  return HasFreeMasterPointer() && FindRoom(RoverOffset(), size).offset != 0;
}

void Zone::NoteFree(uint32_t offset, uint32_t length) {
  if (ZoneFreeIndex::ReadsHeader(length)) *At(offset) = {0, length, kBlockFree, 0};
}

// The block turns free, `length` usable bytes; its header is neither read nor, mostly, written.
void Zone::FreeBlock(BlockHeader* b, uint32_t length) {
  NoteFree(OffsetOf(b), length);
  index_.Insert(OffsetOf(b), length);
}

void Zone::Dispose(Handle h) {
  const Extent* const live = LiveExtent(h);
  if (live == nullptr) return;
  BlockHeader* b = reinterpret_cast<BlockHeader*>(*h - 16);
  const Extent e = *live;
  assert(b->back == OffsetOf(h) && (b->flags & kBlockFree) == 0 && b->size == e.size && b->slack == e.slack);
  FreeBlock(b, e.size + e.slack);
  *h = reinterpret_cast<char*>(freeMasterPointers_);
  freeMasterPointers_ = h;
}

bool Zone::TrySetHandleSize(Handle h, uint32_t size) {
  const Extent* const live = LiveExtent(h);
  if (live == nullptr || live->locked != 0 || uint64_t(live->size) + live->slack > size) {
    SetHandleSize(h, size);  // in place, or refused as every resize of a locked handle is
    return true;
  }
  const ZoneFreeIndex::Fit found = FindRoom(OffsetOf(*h - 16), size);
  if (found.offset == 0) return false;
  MoveInto(h, {found.offset, TakeBlock(found, size, OffsetOf(h))}, size);
  return true;
}

void Zone::SetHandleSize(Handle h, uint32_t size) {
  Extent* const live = LiveExtent(h);
  if (live == nullptr) return;
  BlockHeader* b = reinterpret_cast<BlockHeader*>(*h - 16);
  Extent& e = *live;
  assert(b->back == OffsetOf(h) && (b->flags & kBlockFree) == 0 && b->size == e.size && b->slack == e.slack &&
         ((b->flags & kBlockLocked) != 0) == (e.locked != 0));
  if (size == e.size) return;
  if (e.size > size) {
    ShrinkInPlace(b, e, size);
  } else if (uint64_t(e.size) + e.slack > size) {
    e = {size, e.size + e.slack - size, e.locked};
    b->size = e.size;
    b->slack = e.slack;
  } else if (e.locked != 0) {
    // Moving a locked block would leave the caller's pointers dangling, and keeping the old size
    // would let the caller write past the block: refuse loudly instead.
    ShowMemoryError(kLockedGrowError);
    throw MemError{kLockedGrowError};
  } else {
    // The copy reads the old block: start fetching its first lines while the search runs (further
    // lines the processor fetches itself once the copy streams through them).
    const char* const data = *h;
    for (uint32_t line = 0; line < std::min(e.size, kPrefetchBytes); line += 64)
      __builtin_prefetch(data + line);
    MoveToNewBlock(h, size);
  }
}

// Shrinks without moving; 32 or more spare bytes become a free block right after the data.
void Zone::ShrinkInPlace(BlockHeader* b, Extent& extent, uint32_t size) {
  const uint32_t spare = extent.slack + extent.size - size;
  const uint32_t keep = spare < kSplitThreshold ? spare : spare % 16;
  extent = {size, keep, extent.locked};
  b->size = size;
  b->slack = keep;
  if (spare < kSplitThreshold) return;
  const uint32_t rest = OffsetOf(b) + 16 + size + keep;
  NoteFree(rest, spare - keep - 16);
  index_.Insert(rest, spare - keep - 16);
}

void Zone::MoveToNewBlock(Handle h, uint32_t size) {
  const Taken taken = FindDataBlock(OffsetOf(*h - 16), size, OffsetOf(h));
  // The search may have compacted the zone and slid the old block: find it again through the handle.
  MoveInto(h, taken, size);
}

// Copies the data of `h` into the block just taken for it, `size` bytes, and frees the old block. Only
// unlocked blocks move, and TakeBlock left the fresh one's flags clear.
void Zone::MoveInto(Handle h, Taken fresh, uint32_t size) {
  BlockHeader* old = reinterpret_cast<BlockHeader*>(*h - 16);
  Extent& e = ExtentOf(h);
  std::memcpy(base_ + fresh.offset + 16, *h, std::min(e.size, size));
  *h = base_ + fresh.offset + 16;
  FreeBlock(old, e.size + e.slack);
  e = {size, fresh.slack, 0};
}

bool Zone::MoveToRover(Handle h) {
  const BlockHeader* old = HeaderOf(h);
  if (old == nullptr || (old->flags & (kBlockLocked | kBlockTable)) != 0) return false;
  const uint32_t size = ExtentOf(h).size;
  const ZoneFreeIndex::Fit found = FindFreeFrom(RoverOffset(), size);
  if (found.offset == 0) return false;
  MoveInto(h, {found.offset, TakeBlock(found, size, OffsetOf(h))}, size);
  return true;
}

// Every free block is known to the index, so the sweep reads only the headers of used blocks that
// follow a free one; the merged free blocks go into the index once the sweep is over.
void Zone::Compact() {
  Word(2) = FirstBlock();
  gaps_.clear();
  index_.Release();
  uint32_t free = index_.NextFree(FirstBlock());
  while (free != ZoneFreeIndex::kNone) free = CompactRun(free);
  index_.Clear();
  for (const Gap& gap : gaps_) index_.Insert(gap.offset, gap.size);
}

// Gathers free space from the free block at `free` up to the next locked block or the zone's end:
// free blocks merge into it and unlocked used blocks slide below it, each stretch of neighbouring used
// blocks in one move (the same bytes as moving them one by one, lowest first). Returns the first free
// block after the locked block where it stopped, or kNone at the zone's end.
uint32_t Zone::CompactRun(uint32_t free) {
  BlockHeader gap = {0, index_.SizeOf(free), kBlockFree, 0};
  uint32_t o = free + 16 + gap.size;
  uint32_t nextFree = index_.NextFree(o);
  while (o < End()) {
    if (o == nextFree) {
      o += 16 + index_.SizeOf(o);  // a free block has no slack
      gap.size = o - free - 16;
      nextFree = index_.NextFree(o);
      continue;
    }
    const uint32_t runEnd = nextFree == ZoneFreeIndex::kNone ? End() : nextFree;
    const uint32_t moved = SlideUsedBlocks(o, runEnd, free);
    free += moved - o;
    if (moved < runEnd) {  // a locked block: the space below it is gathered, a new run starts after it
      NoteFree(free, gap.size);
      gaps_.push_back({free, gap.size});
      return nextFree;
    }
    o = runEnd;
  }
  NoteFree(free, gap.size);
  gaps_.push_back({free, gap.size});
  return ZoneFreeIndex::kNone;
}

// Moves the unlocked used blocks from `from` on, up to `limit` or a locked block, down to `to`, and
// points their master pointers at the new places. Returns the offset just past the last one moved.
uint32_t Zone::SlideUsedBlocks(uint32_t from, uint32_t limit, uint32_t to) {
  // Each header's place follows from the one before: fetch the stretch ahead of the walk, which the
  // move reads anyway, so that the walk does not wait for memory block by block.
  constexpr uint32_t kLine = 64;
  constexpr uint32_t kAhead = 4096;
  uint32_t fetched = from & ~(kLine - 1);
  const uint32_t shift = from - to;
  uint32_t o = from;
  while (o < limit) {
    for (const uint32_t until = std::min(limit, o + kAhead); fetched < until; fetched += kLine) {
      __builtin_prefetch(base_ + fetched);
    }
    const BlockHeader* b = At(o);
    if ((b->flags & kBlockLocked) != 0) break;
    *MasterPointer(b->back) = base_ + o - shift + 16;
    o += 16 + b->size + b->slack;
  }
  std::memmove(base_ + to, base_ + from, o - from);
  return o;
}

std::vector<BlockInfo> Zone::Blocks() const {
  std::vector<BlockInfo> blocks;
  for (uint32_t o = FirstBlock(); o < End(); o = Next(o)) blocks.push_back({o, HeaderAt(o)});
  return blocks;
}

BlockHeader Zone::HeaderAt(uint32_t offset) const {
  if (index_.IsFree(offset)) return {0, index_.SizeOf(offset), kBlockFree, 0};
  return *At(offset);
}

uint32_t Zone::FreeMasterPointerCount() const {
  uint32_t n = 0;
  for (char** mp = freeMasterPointers_; mp != nullptr; mp = reinterpret_cast<char**>(*mp)) ++n;
  char** const end = reinterpret_cast<char**>(base_ + kFirstMasterPointer) + masterPointers_;
  return n + uint32_t(end - unusedMasterPointers_);
}

void MemFatalError(int32_t code, const char* message) { ShowFatalErrorBox(code, message, "Memory"); }

}  // namespace Vcon
