#include "database/dbPageCache.h"

#include "database/dbErrors.h"

dbPageCache::~dbPageCache() { Clear(); }

dbCacheEntry* dbPageCache::Find(int32_t key) const {
  const auto found = byKey_.find(key);
  return found == byKey_.end() ? nullptr : found->second;
}

dbCacheEntry& dbPageCache::Lookup(int32_t key) const {
  dbCacheEntry* e = Find(key);
  if (e == nullptr) db::Fail(db::kNotFound);
  return *e;
}

dbCacheEntry& dbPageCache::Insert(int32_t key) {
  if (Find(key) != nullptr) db::Fail(db::kBadCall);
  auto* e = new dbCacheEntry;
  e->key = key;
  dbCacheEntry*& head = buckets_[Bucket(key)];
  e->next = head;
  head = e;
  byKey_.emplace(key, e);
  return *e;
}

void dbPageCache::Remove(int32_t key) {
  for (dbCacheEntry** link = &buckets_[Bucket(key)]; *link != nullptr; link = &(*link)->next) {
    if ((*link)->key != key) continue;
    dbCacheEntry* gone = *link;
    *link = gone->next;
    byKey_.erase(key);
    delete gone;
    return;
  }
}

void dbPageCache::Drop(dbCacheEntry* e) {
  byKey_.erase(e->key);
  delete e;
}

void dbPageCache::Clear() {
  Walk([](dbCacheEntry&) { return true; });
}
