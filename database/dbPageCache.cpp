#include "database/dbPageCache.h"

#include "database/dbErrors.h"

dbPageCache::~dbPageCache() { Clear(); }

dbCacheEntry* dbPageCache::Find(int32_t key) const {
  for (dbCacheEntry* e = buckets_[Bucket(key)]; e != nullptr; e = e->next)
    if (e->key == key) return e;
  return nullptr;
}

dbCacheEntry& dbPageCache::Lookup(int32_t key) const {
  dbCacheEntry* e = Find(key);
  if (e == nullptr) db::Fail(db::kNotFound);
  return *e;
}

dbCacheEntry& dbPageCache::Insert(int32_t key) {
  auto* e = new dbCacheEntry;
  e->key = key;
  dbCacheEntry*& head = buckets_[Bucket(key)];
  e->next = head;
  head = e;
  return *e;
}

void dbPageCache::Remove(int32_t key) {
  for (dbCacheEntry** link = &buckets_[Bucket(key)]; *link != nullptr; link = &(*link)->next) {
    if ((*link)->key != key) continue;
    dbCacheEntry* gone = *link;
    *link = gone->next;
    delete gone;
    return;
  }
}

void dbPageCache::Walk(const std::function<bool(dbCacheEntry&)>& visit) {
  for (dbCacheEntry*& head : buckets_) {
    dbCacheEntry** link = &head;
    while (*link != nullptr) {
      dbCacheEntry* e = *link;
      if (visit(*e)) {
        *link = e->next;
        delete e;
      } else {
        link = &e->next;
      }
    }
  }
}

void dbPageCache::Clear() {
  Walk([](dbCacheEntry&) { return true; });
}
