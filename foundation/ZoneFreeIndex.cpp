#include "foundation/ZoneFreeIndex.h"

#include <algorithm>

namespace Vcon {

ZoneFreeIndex::ZoneFreeIndex(uint32_t zoneBytes)
    : chunks_(ChunkOf(zoneBytes) + 1), leaves_(1), first_(chunks_, kNone) {
  while (leaves_ < chunks_) leaves_ *= 2;
  tree_.assign(2 * size_t(leaves_), 0);
}

void ZoneFreeIndex::Clear() {
  std::fill(first_.begin(), first_.end(), kNone);
  std::fill(tree_.begin(), tree_.end(), 0);
}

void ZoneFreeIndex::NoteHeader(uint32_t offset) {
  uint32_t& first = first_[ChunkOf(offset)];
  first = std::min(first, offset);
}

void ZoneFreeIndex::NoteFree(uint32_t offset, uint32_t size) {
  NoteHeader(offset);
  const uint32_t bound = size + 1;  // a free block is smaller than the zone, itself under 4 GiB
  for (uint32_t i = leaves_ + ChunkOf(offset); i != 0 && tree_[i] < bound; i /= 2) tree_[i] = bound;
}

void ZoneFreeIndex::SetExact(uint32_t chunk, uint32_t bound) {
  uint32_t i = leaves_ + chunk;
  tree_[i] = bound;
  for (i /= 2; i != 0; i /= 2) tree_[i] = std::max(tree_[2 * i], tree_[2 * i + 1]);
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

}  // namespace Vcon
