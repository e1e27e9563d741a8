// A summary of the zone's free blocks by address, so that the next-fit search can pass over stretches
// of the zone that hold no free block large enough, and still choose exactly the block a block-by-block
// walk would choose.
//
// The zone is cut into chunks of 1024 bytes. For each chunk the index keeps the offset of the first block
// header that lies in it, and an upper bound of (largest free block size + 1) over the headers in it
// (0: no free block). Bounds only rise as blocks are freed or split; a search that walked a whole chunk
// lowers its bound to the exact value; compaction rebuilds everything. A max tree over the bounds finds
// the next chunk worth walking in logarithmic time.
#pragma once

#include <cstdint>
#include <vector>

namespace Vcon {

class ZoneFreeIndex {
 public:
  static constexpr uint32_t kChunkShift = 10;
  static constexpr uint32_t kNone = UINT32_MAX;

  // An empty index for a zone of `zoneBytes` bytes.
  explicit ZoneFreeIndex(uint32_t zoneBytes);

  static uint32_t ChunkOf(uint32_t offset) { return offset >> kChunkShift; }

  void Clear();
  // A block header exists at `offset`.
  void NoteHeader(uint32_t offset);
  // A free block of `size` usable bytes has its header at `offset`.
  void NoteFree(uint32_t offset, uint32_t size);
  // Every header of `chunk` was seen: `bound` is exactly (largest free size + 1) there, or 0.
  void SetExact(uint32_t chunk, uint32_t bound);

  uint32_t FirstHeader(uint32_t chunk) const { return first_[chunk]; }
  uint32_t Bound(uint32_t chunk) const { return tree_[leaves_ + chunk]; }
  // The first chunk from `chunk` on whose bound is at least `need`, or kNone.
  uint32_t NextChunkWith(uint32_t chunk, uint32_t need) const;

 private:
  uint32_t chunks_;
  uint32_t leaves_;              // a power of two, at least chunks_
  std::vector<uint32_t> first_;  // per chunk: first header offset or kNone
  std::vector<uint32_t> tree_;   // max tree: node i has children 2i and 2i+1; leaves from leaves_
};

}  // namespace Vcon
