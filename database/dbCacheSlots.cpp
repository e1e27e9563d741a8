#include "database/dbCacheSlots.h"

dbCacheEntry* dbCacheSlots::Claim(int32_t key) {
  const auto chunk = static_cast<size_t>(key) >> kChunkBits;
  if (chunk >= chunks_.size()) chunks_.resize(chunk + 1);
  if (chunks_[chunk] == nullptr) chunks_[chunk] = std::make_unique<Slot[]>(size_t(1) << kChunkBits);
  Slot& slot = chunks_[chunk][size_t(key) & kChunkMask];
  slot.entry = dbCacheEntry{};
  slot.entry.key = key;
  slot.used = true;
  return &slot.entry;
}

void dbCacheSlots::Free(dbCacheEntry* e) {
  const auto key = static_cast<size_t>(e->key);
  chunks_[key >> kChunkBits][key & kChunkMask].used = false;
}
