#include "database/dbCacheSlots.h"

dbCacheEntry* dbCacheSlots::Claim(int32_t key) {
  const auto chunk = static_cast<size_t>(key) >> kChunkBits;
  if (chunk >= chunks_.size()) chunks_.resize(chunk + 1);
  if (chunks_[chunk] == nullptr) chunks_[chunk] = std::make_unique<Chunk>();
  Chunk& c = *chunks_[chunk];
  const size_t at = size_t(key) & kChunkMask;
  c.entries[at] = dbCacheEntry{};
  c.entries[at].key = key;
  c.used[at] = true;
  return &c.entries[at];
}

void dbCacheSlots::Free(dbCacheEntry* e) {
  const auto key = static_cast<size_t>(e->key);
  chunks_[key >> kChunkBits]->used[key & kChunkMask] = false;
}
