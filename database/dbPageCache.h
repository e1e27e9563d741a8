// A hash of cached blocks keyed by a 32-bit number: pages by file position (shift 11) or records by
// record number (shift 0). A key goes to bucket (key >> shift) & 0xFF; new entries go to the head of
// their bucket, and walks visit buckets 0..255, each from its head (the commit journal's entry order
// follows this walk).
//
// Look-ups take constant time: record numbers (shift 0) find their entry in place (dbCacheSlots),
// page positions through a hash map.
//
// The cache owns its entries; the data handles in them belong to the store, which disposes them
// before it drops an entry (Remove and the destructor do not touch the data).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <unordered_map>

#include "database/dbCacheEntry.h"
#include "database/dbCacheSlots.h"
#include "database/dbErrors.h"

class dbPageCache {
 public:
  explicit dbPageCache(int32_t shift = 0) : shift_(shift) {}
  ~dbPageCache();
  dbPageCache(const dbPageCache&) = delete;
  dbPageCache& operator=(const dbPageCache&) = delete;

  dbCacheEntry* Find(int32_t key) const {  // null when absent
    return Dense(key) ? slots_.Find(key) : FindInMap(key);
  }
  dbCacheEntry& Lookup(int32_t key) const {  // throws db::kNotFound when absent
    dbCacheEntry* e = Find(key);
    if (e == nullptr) db::Fail(db::kNotFound);
    return *e;
  }
  dbCacheEntry& Insert(int32_t key);     // a new entry at the head of its bucket (key not cached)
  void Remove(int32_t key);              // frees the entry (not its data); absent: nothing
  size_t Size() const { return size_; }  // entries held

  // Visits every entry in walk order; when `visit` (bool(dbCacheEntry&)) returns true the entry is
  // removed (its data is the visitor's business).
  template <typename Visit>
  void Walk(Visit&& visit);
  void Clear();  // removes every entry (data untouched)

 private:
  size_t Bucket(int32_t key) const { return (static_cast<uint32_t>(key) >> shift_) & 0xFF; }
  bool Dense(int32_t key) const { return shift_ == 0 && key >= 0; }
  dbCacheEntry* FindInMap(int32_t key) const;
  void Drop(dbCacheEntry* e);  // forgets and frees an entry already unlinked from its bucket

  const int32_t shift_;
  std::array<dbCacheEntry*, 256> buckets_{};
  dbCacheSlots slots_;                                // entries of dense keys
  std::unordered_map<int32_t, dbCacheEntry*> byKey_;  // the other entries, each allocated alone
  size_t size_ = 0;
};

template <typename Visit>
void dbPageCache::Walk(Visit&& visit) {
  for (dbCacheEntry*& head : buckets_) {
    dbCacheEntry** link = &head;
    while (*link != nullptr) {
      dbCacheEntry* e = *link;
      if (visit(*e)) {
        *link = e->next;
        Drop(e);
      } else {
        link = &e->next;
      }
    }
  }
}
