#include "database/dbPageCache.h"

#include "database/dbErrors.h"

dbPageCache::~dbPageCache() { Clear(); }

dbCacheEntry* dbPageCache::FindInMap(int32_t key) const {
  const auto found = byKey_.find(key);
  return found == byKey_.end() ? nullptr : found->second;
}

dbCacheEntry& dbPageCache::Insert(int32_t key) {
  if (Find(key) != nullptr) db::Fail(db::kBadCall);
  dbCacheEntry* e = nullptr;
  if (Dense(key)) {
    e = slots_.Claim(key);
  } else {
    e = new dbCacheEntry;
    e->key = key;
    byKey_.emplace(key, e);
  }
  dbCacheEntry*& head = buckets_[Bucket(key)];
  e->next = head;
  head = e;
  ++size_;
  return *e;
}

void dbPageCache::Remove(int32_t key) {
  for (dbCacheEntry** link = &buckets_[Bucket(key)]; *link != nullptr; link = &(*link)->next) {
    if ((*link)->key != key) continue;
    dbCacheEntry* gone = *link;
    *link = gone->next;
    Drop(gone);
    return;
  }
}

void dbPageCache::Drop(dbCacheEntry* e) {
  --size_;
  if (Dense(e->key)) {
    slots_.Free(e);
    return;
  }
  byKey_.erase(e->key);
  delete e;
}

void dbPageCache::Clear() {
  Walk([](dbCacheEntry&) { return true; });
}
