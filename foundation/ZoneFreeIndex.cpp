#include "foundation/ZoneFreeIndex.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace Vcon {
namespace {

constexpr uint32_t kHeaderShift = 4;  // headers sit on 16-byte boundaries
constexpr uint32_t kChunkMask = (1u << ZoneFreeIndex::kChunkShift) - 1;
constexpr uint32_t kSlotsPerChunk = 1u << (ZoneFreeIndex::kChunkShift - kHeaderShift);
// A kept size of this many 16-byte units or more means "at least this": the header has the exact size.
constexpr uint32_t kLargeUnits = UINT16_MAX;

uint32_t SlotOf(uint32_t offset) { return (offset & kChunkMask) >> kHeaderShift; }

// Free block sizes are whole 16-byte units (blocks are 16-byte multiples and a free block has no slack).
uint16_t UnitsOf(uint32_t size) { return uint16_t(std::min(size >> kHeaderShift, kLargeUnits)); }

}  // namespace

ZoneFreeIndex::ZoneFreeIndex(const char* zone, uint32_t zoneBytes)
    : zone_(zone),
      chunks_(ChunkOf(zoneBytes) + 1),
      leaves_(1),
      free_(chunks_, 0),
      units_(size_t(chunks_) * kSlotsPerChunk, 0) {
  while (leaves_ < chunks_) leaves_ *= 2;
  tree_.assign(2 * size_t(leaves_), 0);
}

void ZoneFreeIndex::Clear() {
  std::fill(free_.begin(), free_.end(), 0);
  std::fill(tree_.begin(), tree_.end(), 0);
}

uint32_t ZoneFreeIndex::SizeOf(uint32_t offset) const {
  const uint32_t units = units_[offset >> kHeaderShift];
  if (units < kLargeUnits) return units << kHeaderShift;
  uint32_t size;  // the header's second word
  std::memcpy(&size, zone_ + offset + 4, sizeof size);
  return size;
}

void ZoneFreeIndex::Insert(uint32_t offset, uint32_t size) {
  free_[ChunkOf(offset)] |= uint64_t(1) << SlotOf(offset);
  units_[offset >> kHeaderShift] = UnitsOf(size);
  const uint32_t bound = size + 1;  // a free block is smaller than the zone, itself under 4 GiB
  for (uint32_t i = leaves_ + ChunkOf(offset); i != 0 && tree_[i] < bound; i /= 2) tree_[i] = bound;
}

void ZoneFreeIndex::Erase(uint32_t offset, uint32_t size) {
  const uint32_t chunk = ChunkOf(offset);
  uint64_t& bits = free_[chunk];
  bits &= ~(uint64_t(1) << SlotOf(offset));
  // Only the largest block's leaving lowers the chunk's value: find the next largest.
  if (size + 1 < Bound(chunk)) return;
  uint32_t bound = 0;
  for (uint64_t rest = bits; rest != 0; rest &= rest - 1) {
    const uint32_t at = (chunk << kChunkShift) | (uint32_t(std::countr_zero(rest)) << kHeaderShift);
    bound = std::max(bound, SizeOf(at) + 1);
  }
  SetBound(chunk, bound);
}

void ZoneFreeIndex::SetBound(uint32_t chunk, uint32_t bound) {
  uint32_t i = leaves_ + chunk;
  tree_[i] = bound;
  for (i /= 2; i != 0; i /= 2) {
    const uint32_t value = std::max(tree_[2 * i], tree_[2 * i + 1]);
    if (tree_[i] == value) break;  // the ancestors above hold the same maximum already
    tree_[i] = value;
  }
}

uint32_t ZoneFreeIndex::NextChunkWith(uint32_t chunk, uint32_t need) const {
  if (chunk >= chunks_) return kNone;
  uint32_t i = leaves_ + chunk;
  // Climb to the leftmost subtree right of (or at) `chunk` that holds a large enough bound.
  while (tree_[i] < need) {
    while (i % 2 == 1) i /= 2;  // a right child: its right neighbours belong to an ancestor
    if (i == 0) return kNone;
    ++i;
  }
  // Descend to its leftmost leaf that does.
  while (i < leaves_) {
    i *= 2;
    if (tree_[i] < need) ++i;
  }
  return i - leaves_;
}

uint32_t ZoneFreeIndex::FirstFit(uint32_t chunk, uint64_t bits, uint32_t size) const {
  for (; bits != 0; bits &= bits - 1) {
    const uint32_t at = (chunk << kChunkShift) | (uint32_t(std::countr_zero(bits)) << kHeaderShift);
    if (SizeOf(at) >= size) return at;
  }
  return kNone;
}

uint32_t ZoneFreeIndex::NextFree(uint32_t offset) const {
  uint32_t chunk = ChunkOf(offset);
  if (chunk >= chunks_) return kNone;
  uint64_t bits = free_[chunk] & (~uint64_t(0) << SlotOf(offset));
  while (bits == 0) {
    if (++chunk == chunks_) return kNone;
    bits = free_[chunk];
  }
  return (chunk << kChunkShift) | (uint32_t(std::countr_zero(bits)) << kHeaderShift);
}

uint32_t ZoneFreeIndex::FindFrom(uint32_t start, uint32_t size) const {
  const uint32_t need = size + 1;
  const uint32_t first = ChunkOf(start);
  const uint64_t fromStart = ~uint64_t(0) << SlotOf(start);
  if (Bound(first) >= need) {
    const uint32_t at = FirstFit(first, free_[first] & fromStart, size);
    if (at != kNone) return at;
  }
  // Every chunk's value is exact, so each chunk the tree names holds a fit; the loops only guard that.
  for (uint32_t c = NextChunkWith(first + 1, need); c != kNone; c = NextChunkWith(c + 1, need)) {
    const uint32_t at = FirstFit(c, free_[c], size);
    if (at != kNone) return at;
  }
  for (uint32_t c = NextChunkWith(0, need); c != kNone && c <= first; c = NextChunkWith(c + 1, need)) {
    const uint32_t at = FirstFit(c, c == first ? free_[c] & ~fromStart : free_[c], size);
    if (at != kNone) return at;
  }
  return kNone;
}

}  // namespace Vcon
