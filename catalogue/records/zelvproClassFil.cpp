#include "catalogue/records/zelvproClassFil.h"

#include <iterator>

zelvproClassFil::zelvproClassFil(ppDatabase& database)
    : zelvproRecordFil(kLayout, database),
      name_(*this, "name"),
      note_(*this, "note"),
      tname_(*this, "tname"),
      tnote_(*this, "tnote") {}

void zelvproClassFil::AfterRead(char* buffer) {
  buffer = Buffer(buffer);
  SetLocalised(tname_, name_.Text(buffer), buffer, 0);
  SetLocalised(tnote_, note_.Text(buffer), buffer, 1);
}

void zelvproClassFil::GetDisplayText(Vcon::String& out, char* buffer) {
  out = tname_.WideText(Buffer(buffer)).Narrow();
}

int32_t zelvproClassFil::CacheGet(int32_t key) const {
  for (const auto& [k, value] : cache_) {
    if (k == key) return value;
  }
  return 0;
}

void zelvproClassFil::CacheSet(int32_t key, int32_t value) {
  for (auto& [k, v] : cache_) {
    if (k == key) {
      v = value;
      return;
    }
  }
  cache_.emplace_front(key, value);
}

size_t zelvproClassFil::CacheSize() const { return size_t(std::distance(cache_.begin(), cache_.end())); }
