#include "database/dbNumIndex.h"

#include <cstring>

#include "database/dbBytes.h"

namespace {

uint32_t KeyOffset(int32_t index) { return dbIndex::kKeyPart + 4 * uint32_t(index); }

}  // namespace

int32_t dbNumIndex::Compare(const void* a, const void* b, int32_t) const {
  const int32_t x = db::GetI32(a, 0);
  const int32_t y = db::GetI32(b, 0);
  return x < y ? -1 : (x > y ? 1 : 0);
}

// Count already includes the new entry: keys index..count-2 move one slot up.
void dbNumIndex::InsertKey(Handle node, int32_t index, const void* key) {
  const int32_t count = Word(node, kCount);
  char* base = *node;
  std::memmove(base + KeyOffset(index + 1), base + KeyOffset(index), 4 * size_t(count - 1 - index));
  std::memcpy(base + KeyOffset(index), key, 4);
}

void dbNumIndex::ReplaceKey(Handle node, int32_t index, const void* key) {
  std::memcpy(*node + KeyOffset(index), key, 4);
}

// Called before the count drops: keys index+1..count-1 move one slot down.
void dbNumIndex::RemoveKey(Handle node, int32_t index) {
  const int32_t count = Word(node, kCount);
  char* base = *node;
  std::memmove(base + KeyOffset(index), base + KeyOffset(index + 1), 4 * size_t(count - 1 - index));
}

const void* dbNumIndex::GetKey(Handle node, int32_t index) const { return *node + KeyOffset(index); }
