// Cache entries stored in place, found by their key in constant time: chunks of 1024 entries
// indexed by key >> 10, made when a key in their range first arrives. Meant for dense keys from 0
// up (record numbers); an entry's address stays fixed until it is freed.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "database/dbCacheEntry.h"

class dbCacheSlots {
 public:
  dbCacheEntry* Find(int32_t key) const {
    const auto chunk = static_cast<size_t>(key) >> kChunkBits;
    if (key < 0 || chunk >= chunks_.size() || chunks_[chunk] == nullptr) return nullptr;
    Chunk& c = *chunks_[chunk];
    const size_t at = size_t(key) & kChunkMask;
    return c.used[at] ? &c.entries[at] : nullptr;
  }
  // A fresh entry for `key` (>= 0, not present).
  dbCacheEntry* Claim(int32_t key);
  void Free(dbCacheEntry* e);  // `e` came from Claim

 private:
  static constexpr size_t kChunkBits = 10;
  static constexpr size_t kChunkMask = (size_t(1) << kChunkBits) - 1;
  struct Chunk {
    dbCacheEntry entries[size_t(1) << kChunkBits];
    std::bitset<size_t(1) << kChunkBits> used;
  };

  std::vector<std::unique_ptr<Chunk>> chunks_;
};
