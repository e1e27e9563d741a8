// The memory zone behind the handle manager: one contiguous allocation carved into blocks.
//
// Layout (all words 32-bit, all block headers on 16-byte boundaries):
//   zone header (16 bytes): total size, end offset, rover offset, offset of the master-pointer table's data
//   blocks back to back up to the end; each has a 16-byte header then its data:
//     back pointer  offset within the zone of the master pointer owning the block (0 when free)
//     size          the handle's logical size (for a free block its usable bytes)
//     flags         1 free, 2 locked, 8 the master-pointer table
//     slack         unused bytes after the data, so 16 + size + slack is the distance to the next header
// A free block's header is written only when its size is past what the free index keeps itself (about a
// megabyte): the index knows every free block and its size, and Blocks() shows the header such a block
// would have. Freeing a block therefore touches none of its memory.
// The first block is the master-pointer table (locked, never moved): 16 bytes of counts, then one native
// pointer per master pointer. Freed master pointers form a singly linked free list; those never handed
// out hold null and follow in ascending order.
//
// Offsets rather than addresses go into the 32-bit words so the layout rules (sizes, the 32-byte split
// threshold, slack) are the same on a 64-bit process; the zone is enlarged by 4 bytes per master pointer
// so that its data area has the size the caller asked for. A zone is therefore at most 4 GiB.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/Vcon_HandleManager.h"
#include "foundation/ZoneFreeIndex.h"

namespace Vcon {

struct BlockHeader {
  uint32_t back;
  uint32_t size;
  uint32_t flags;
  uint32_t slack;
};

inline constexpr uint32_t kBlockFree = 1;
inline constexpr uint32_t kBlockLocked = 2;
inline constexpr uint32_t kBlockTable = 8;

// A block as seen by tests and diagnostics: its header's offset in the zone and a copy of the header.
struct BlockInfo {
  uint32_t offset;
  BlockHeader header;
};

class Zone {
 public:
  // Makes a zone of `size` data bytes (rounded up to 16) with ((masterPointers / 4) + 1) * 4 master
  // pointers; null when it cannot be allocated or cannot hold its own table and one free block.
  static std::unique_ptr<Zone> Create(uint32_t size, uint32_t masterPointers);
  ~Zone();
  Zone(const Zone&) = delete;
  Zone& operator=(const Zone&) = delete;

  // The zone the handle operations use; null before MemInit and after MemTerminate.
  static Zone* Current() { return current_; }
  // Makes `zone` current and returns the previous one (the caller keeps ownership of both).
  static Zone* Install(Zone* zone);

  Handle NewHandle(uint32_t size);
  void Dispose(Handle h);
  void SetHandleSize(Handle h, uint32_t size);
  // NewHandle and SetHandleSize for sizes that come from outside the program: null, or false with the
  // handle unchanged, when the zone cannot hold `size` bytes even after a compaction, with nothing
  // taken. A locked handle that must move to grow is refused as SetHandleSize refuses it.
  Handle TryNewHandle(uint32_t size);
  bool TrySetHandleSize(Handle h, uint32_t size);
  // True when a new handle of `size` bytes would be made now (compacting if that is what it takes);
  // nothing is taken.
  bool CanHold(uint32_t size);
  // Merges free blocks and slides unlocked used blocks down towards the first free space; locked blocks
  // and the table stay where they are. The rover returns to the first block.
  void Compact();

  // Sets or clears the lock of a live handle (locked blocks never move).
  void SetLocked(Handle h, bool locked);
  // Moves an unlocked handle's data into the free block next fit finds from the rover, without
  // compacting; false (nothing moved) when the handle is locked or no free block fits.
  bool MoveToRover(Handle h);
  // The header in front of a valid handle's data; null when `h` is not a live handle of this zone.
  BlockHeader* HeaderOf(Handle h) const;
  // True when `p` points into the zone's memory.
  bool Contains(const void* p) const;

  // Backs every page of the zone and of its side tables with memory now, keeping every byte as it is, so
  // that later operations meet no first-touch faults. For benchmarks that compare the zone with a heap
  // already warm; the program itself lets pages be touched as blocks first reach them.
  void Prefault();

  // Diagnostics for tests and benchmarks.
  const char* Base() const { return base_; }
  std::vector<BlockInfo> Blocks() const;
  uint32_t RoverOffset() const { return Word(2); }
  uint32_t Compactions() const { return compactions_; }
  uint32_t FreeMasterPointerCount() const;
  uint32_t MasterPointerCount() const { return masterPointers_; }

 private:
  Zone(char* base, uint32_t size, uint32_t masterPointers);

  uint32_t& Word(int i) const { return reinterpret_cast<uint32_t*>(base_)[i]; }
  BlockHeader* At(uint32_t offset) const { return reinterpret_cast<BlockHeader*>(base_ + offset); }
  uint32_t OffsetOf(const void* p) const { return uint32_t(static_cast<const char*>(p) - base_); }
  uint32_t Next(uint32_t offset) const;
  // The header of the block at `offset`, as written for a used block, as the index knows it for a free one.
  BlockHeader HeaderAt(uint32_t offset) const;
  // Writes the header of the free block of `length` usable bytes at `offset` if the index will read it.
  void NoteFree(uint32_t offset, uint32_t length);
  uint32_t FirstBlock() const { return 16; }
  uint32_t End() const { return Word(1); }
  char** MasterPointer(uint32_t offset) const { return reinterpret_cast<char**>(base_ + offset); }

  // A copy of a live handle's size, slack and lock, kept per master pointer: disposing and resizing
  // read it from this small table, which stays cached, rather than from the block's header, which may
  // lie anywhere in the zone and is then only written.
  struct Extent {
    uint32_t size;
    uint32_t slack;
    uint32_t locked;  // 1 while the block is locked
  };
  // True when `h` is a master pointer of this zone's table that owns a block: freed and never used
  // master pointers hold null or an address inside the table, never data.
  bool IsLive(Handle h) const;
  // The extent of `h` when IsLive(h), else null.
  Extent* LiveExtent(Handle h) const;
  Extent& ExtentOf(Handle h) const;

  char** TakeMasterPointer();
  // A block just taken: its header's offset and the slack it was given.
  struct Taken {
    uint32_t offset;
    uint32_t slack;
  };
  bool HasFreeMasterPointer() const;
  // The free block next fit takes for `size` bytes from `start`, compacting once when a full turn finds
  // none; offset 0 when there is none even then.
  ZoneFreeIndex::Fit FindRoom(uint32_t start, uint32_t size);
  Taken FindDataBlock(uint32_t start, uint32_t size, uint32_t back);
  // The free block next fit takes for `size` bytes from `start`, offset 0 when none.
  ZoneFreeIndex::Fit FindFreeFrom(uint32_t start, uint32_t size) const;
  uint32_t TakeBlock(ZoneFreeIndex::Fit free, uint32_t size, uint32_t back);
  void FreeBlock(BlockHeader* b, uint32_t length);
  void ShrinkInPlace(BlockHeader* b, Extent& extent, uint32_t size);
  void MoveToNewBlock(Handle h, uint32_t size);
  void MoveInto(Handle h, Taken fresh, uint32_t size);
  uint32_t CompactRun(uint32_t free);
  uint32_t SlideUsedBlocks(uint32_t from, uint32_t limit, uint32_t to);

  // The installed zone: installed by the main thread before workers start, read by any thread; every
  // handle operation reads it, hence inline.
  static inline Zone* current_ = nullptr;

  char* base_;
  uint32_t bytes_;  // the whole zone, mapped from the kernel
  uint32_t masterPointers_;
  char** freeMasterPointers_ = nullptr;  // head of the list of freed master pointers, null when empty
  char** unusedMasterPointers_;          // the first master pointer never handed out (table's end: none)
  uint32_t compactions_ = 0;
  // One per master pointer, owned here; from calloc, so its pages are touched only as handles are made.
  Extent* extents_ = nullptr;
  ZoneFreeIndex index_;
  // The free blocks a compaction leaves, noted in the index once its sweep is over.
  struct Gap {
    uint32_t offset;
    uint32_t size;
  };
  std::vector<Gap> gaps_;
};

// Shows the fatal memory box (category "Memory") for `code` and `message`, then ends the process.
[[noreturn]] void MemFatalError(int32_t code, const char* message);

}  // namespace Vcon
