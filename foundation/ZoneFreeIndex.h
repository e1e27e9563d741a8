// The zone's free blocks by address, so that the next-fit search finds exactly the block a block-by-block
// walk would choose without reading the zone's headers on the way.
//
// The zone is cut into chunks of 1024 bytes, 64 possible header positions each (headers sit on 16-byte
// boundaries). Per chunk the index keeps one 64-bit word with a bit for every free block header in the
// chunk and the exact value (largest free size + 1, capped just under 2^31 for the vector compares) over
// those blocks (0: none). A max tree over the values finds the next chunk that holds a large enough free
// block in logarithmic time; the bits then lead straight to the free blocks of that chunk. Every free
// block's size is kept too, in 16-byte units up to a cap.
//
// Only sizes past the cap (about 1 MB) are read from the zone's headers; the index never writes the
// zone. The zone tells it of every free block made and every free block taken, with its size.
//
// One free block may be held aside instead: the rest of the block the zone last split, which starts at
// the rover. Most new blocks are cut from it in turn, and each cut would otherwise lower the tree's
// path from its chunk to the top and raise another path for the rest. Searches weigh the held block
// against the tree's answer by address order from their start, so answers are the same either way.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace Vcon {

class ZoneFreeIndex {
 public:
  static constexpr uint32_t kChunkShift = 10;
  static constexpr uint32_t kHeaderShift = 4;  // headers sit on 16-byte boundaries
  static constexpr uint32_t kNone = UINT32_MAX;
  // A kept size of this many 16-byte units or more means "at least this": the header has the exact size.
  static constexpr uint32_t kLargeUnits = UINT16_MAX;

  // An empty index for the zone of `zoneBytes` bytes at `zone` (not owned).
  ZoneFreeIndex(const char* zone, uint32_t zoneBytes);
  ~ZoneFreeIndex();
  ZoneFreeIndex(const ZoneFreeIndex&) = delete;
  ZoneFreeIndex& operator=(const ZoneFreeIndex&) = delete;

  // Backs the index's own pages with memory now (see Zone::Prefault).
  void Prefault();
  // Backs the pages of [begin, begin + bytes) with memory now, every byte kept; `begin` on a page boundary.
  static void Populate(void* begin, size_t bytes);

  // No free block at all: a compaction clears the index and inserts the free blocks it leaves.
  void Clear();
  // A free block of `size` usable bytes now has its header at `offset`.
  void Insert(uint32_t offset, uint32_t size);
  // The free block at `offset`, which had `size` usable bytes when inserted, is free no longer. Its header
  // may already be overwritten.
  void Erase(uint32_t offset, uint32_t size) {
    if (offset == heldOffset_) {
      heldOffset_ = kNone;
      return;
    }
    EraseFromTree(offset, size);
  }
  // A free block of `size` usable bytes at `offset`, to be held aside (the one held so far goes into the
  // tree). Erase and the searches treat it like any other.
  void Hold(uint32_t offset, uint32_t size) {
    Release();
    heldOffset_ = offset;
    heldSize_ = size;
  }
  // Puts the held block, if any, into the tree: NextFree walks only the tree.
  void Release() {
    if (heldOffset_ != kNone) InsertHeld();
  }

  // A free block: its header's offset (kNone: no block) and its usable bytes.
  struct Fit {
    uint32_t offset;
    uint32_t size;
  };
  // The first free block of at least `size` bytes in address order from the header at `start` on,
  // wrapping past the zone's end back to `start`; offset kNone when there is none.
  // The usual case, answered here: the rest of the last split, at the rover, is large enough.
  Fit FindFrom(uint32_t start, uint32_t size) const {
    if (heldOffset_ == start && heldSize_ >= size) return {start, heldSize_};
    return FindBeyondHeld(start, size);
  }
  // The first free block header at `offset` or after it, or kNone; sees no held block (Release first).
  uint32_t NextFree(uint32_t offset) const {
    uint32_t chunk = ChunkOf(offset);
    if (chunk >= chunks_) return kNone;
    uint64_t bits = free_[chunk] & (~uint64_t(0) << ((offset >> kHeaderShift) & 63));
    while (bits == 0) {
      if (++chunk == chunks_) return kNone;
      bits = free_[chunk];
    }
    return (chunk << kChunkShift) | (uint32_t(std::countr_zero(bits)) << kHeaderShift);
  }
  // The size of the free block whose header is at `offset`.
  uint32_t SizeOf(uint32_t offset) const { return offset == heldOffset_ ? heldSize_ : TableSize(offset); }
  // True when a free block's header is at `offset` (held aside or in the tree).
  bool IsFree(uint32_t offset) const;
  // True when the index reads the size of a free block of `size` bytes from its header, which the zone
  // must then have written; smaller free blocks need no header at all.
  static bool ReadsHeader(uint32_t size) { return (size >> 4) >= kLargeUnits; }

 private:
  static uint32_t ChunkOf(uint32_t offset) { return offset >> kChunkShift; }
  uint32_t Bound(uint32_t chunk) const;
  // Lowers the value of `chunk` to `bound` (never raises it) and the maxima above it.
  void LowerBound(uint32_t chunk, uint32_t bound);
  // The first chunk from `chunk` on whose bound is at least `need`, or kNone.
  uint32_t NextChunkWith(uint32_t chunk, uint32_t need) const;
  void InsertHeld();
  void EraseFromTree(uint32_t offset, uint32_t size);
  // FindFrom when the held block does not start at `start` or is too small.
  Fit FindBeyondHeld(uint32_t start, uint32_t size) const;
  // The first free block among `bits` of `chunk` with at least `size` bytes, offset kNone when none.
  Fit FirstFit(uint32_t chunk, uint64_t bits, uint32_t size) const;
  // FindFrom over the tree alone.
  Fit FindInTree(uint32_t start, uint32_t size) const;
  // The size of the free block at `offset` in the tree (not the held one).
  uint32_t TableSize(uint32_t offset) const {
    const uint32_t units = units_[offset >> kHeaderShift];
    return units < kLargeUnits ? units << kHeaderShift : HeaderSize(offset);
  }
  // The block's size from its header, for sizes the chunk values and the table only cap.
  uint32_t HeaderSize(uint32_t offset) const;

  // A max tree with a cache line per node: value i of level l + 1 is the largest of group i of level l.
  static constexpr uint32_t kFanOut = 16;
  struct alignas(64) Group {
    uint32_t value[kFanOut];
  };

  const char* zone_;
  uint32_t chunks_;
  uint32_t heldOffset_ = kNone;             // the held free block's header, kNone when none is held
  uint32_t heldSize_ = 0;                   // its usable bytes
  std::vector<std::vector<Group>> levels_;  // levels_[0] holds the chunks' values; the last is one group
  // free_ and units_ lie in one anonymous mapping owned here, which arrives zeroed: like the zone, its
  // pages are touched only where free blocks have been.
  void* mapping_ = nullptr;
  size_t mappingBytes_ = 0;
  uint64_t* free_ = nullptr;  // per chunk: bit i set when a free block header sits at 16 * i in it
  // Per possible header position: a free block's size in 16-byte units, kept from Insert so that searches
  // read this small array rather than headers spread over the zone; read only where free_ has a bit.
  uint16_t* units_ = nullptr;
};

}  // namespace Vcon
