#include "database/dbCacheSlots.h"

dbCacheEntry* dbCacheSlots::Claim(int32_t key) {
  const size_t index = static_cast<size_t>(key) >> shift_;
  const size_t chunk = index >> kChunkBits;
  if (chunk >= chunks_.size()) chunks_.resize(chunk + 1);
  if (chunks_[chunk] == nullptr) chunks_[chunk] = std::make_unique<Chunk>();
  Chunk& c = *chunks_[chunk];
  const size_t at = index & kChunkMask;
  c.entries[at] = dbCacheEntry{};
  c.entries[at].key = key;
  c.used[at] = true;
  return &c.entries[at];
}

void dbCacheSlots::Free(dbCacheEntry* e) {
  const size_t index = static_cast<size_t>(e->key) >> shift_;
  chunks_[index >> kChunkBits]->used[index & kChunkMask] = false;
}
