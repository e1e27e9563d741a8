#include "database/HandleList.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "database/dbBytes.h"

namespace {

uint32_t EntryOffset(uint32_t i) { return HandleList::kHeaderBytes + 4 * i; }

// Entries a list grows by start as zeros: a list saved with its spare capacity (a record's blob)
// must not carry whatever the memory held before.
void SetCapacity(Handle list, uint32_t capacity) {
  const uint32_t before = uint32_t(MemGetSize(list));
  MemSetSize(list, EntryOffset(capacity));
  const uint32_t after = EntryOffset(capacity);
  if (after > before) std::memset(*list + before, 0, after - before);
  db::PutI32(*list, 4, static_cast<int32_t>(capacity));
}

int32_t LargestEntry(Handle list) {
  int32_t largest = -1;
  for (uint32_t i = 0, n = HandleList::Count(list); i < n; ++i)
    largest = std::max(largest, HandleList::At(list, i));
  return largest;
}

// One bit per record number 0..largest; bit n in byte n >> 3, bit n & 7.
class BitSet {
 public:
  // Two empty lists have no largest entry (-1): the set then holds nothing but stays small.
  explicit BitSet(int32_t largest) : bytes_(static_cast<size_t>(std::max(largest, 0)) / 8 + 1, 0) {}
  void Set(int32_t n) {
    if (n >= 0 && size_t(n >> 3) < bytes_.size()) bytes_[size_t(n >> 3)] |= uint8_t(1u << (n & 7));
  }
  bool Has(int32_t n) const {
    return n >= 0 && size_t(n >> 3) < bytes_.size() && (bytes_[size_t(n >> 3)] >> (n & 7) & 1);
  }

 private:
  std::vector<uint8_t> bytes_;
};

BitSet MembersOf(Handle fill, Handle probe) {
  BitSet set(std::max(LargestEntry(fill), LargestEntry(probe)));
  for (uint32_t i = 0, n = HandleList::Count(fill); i < n; ++i) set.Set(HandleList::At(fill, i));
  return set;
}

// Keeps, in order, the entries of `list` whose membership in `other` equals `keepMembers`.
void Filter(Handle list, Handle other, bool keepMembers) {
  const BitSet inOther = MembersOf(other, list);
  uint32_t kept = 0;
  for (uint32_t i = 0, n = HandleList::Count(list); i < n; ++i) {
    const int32_t v = HandleList::At(list, i);
    if (inOther.Has(v) == keepMembers) HandleList::SetAt(list, kept++, v);
  }
  HandleList::SetCount(list, kept);
}

}  // namespace

Handle HandleList::New(uint32_t capacity) {
  Handle list = nullptr;
  Vcon_HandleManager::MemNew(&list, EntryOffset(capacity));
  MemClear(list);
  db::PutI32(*list, 4, static_cast<int32_t>(capacity));
  return list;
}

void HandleList::Dispose(Handle list) { MemDispose(list); }

uint32_t HandleList::Count(Handle list) { return static_cast<uint32_t>(db::GetI32(*list, 0)); }

uint32_t HandleList::Capacity(Handle list) { return static_cast<uint32_t>(db::GetI32(*list, 4)); }

void HandleList::SetCount(Handle list, uint32_t count) { db::PutI32(*list, 0, static_cast<int32_t>(count)); }

int32_t HandleList::At(Handle list, uint32_t i) { return db::GetI32(*list, EntryOffset(i)); }

void HandleList::SetAt(Handle list, uint32_t i, int32_t value) { db::PutI32(*list, EntryOffset(i), value); }

void HandleList::Insert(Handle list, int32_t value, int32_t i) {
  const uint32_t count = Count(list);
  if (count >= Capacity(list)) SetCapacity(list, Capacity(list) + kGrowEntries);
  const uint32_t at = (i < 0 || uint32_t(i) >= count) ? count : uint32_t(i);
  char* base = *list;
  std::memmove(base + EntryOffset(at + 1), base + EntryOffset(at), 4 * size_t(count - at));
  SetAt(list, at, value);
  SetCount(list, count + 1);
}

void HandleList::Append(Handle list, const int32_t* values, uint32_t n) {
  const uint32_t count = Count(list);
  uint32_t capacity = Capacity(list);
  while (capacity < count + n) capacity += kGrowEntries;
  if (capacity != Capacity(list)) SetCapacity(list, capacity);
  for (uint32_t i = 0; i < n; ++i) SetAt(list, count + i, values[i]);
  SetCount(list, count + n);
}

int32_t HandleList::IndexOf(Handle list, int32_t value) {
  for (uint32_t i = 0, n = Count(list); i < n; ++i)
    if (At(list, i) == value) return static_cast<int32_t>(i);
  return -1;
}

void HandleList::RemoveAt(Handle list, uint32_t i) {
  const uint32_t count = Count(list);
  if (i >= count) return;
  char* base = *list;
  std::memmove(base + EntryOffset(i), base + EntryOffset(i + 1), 4 * size_t(count - i - 1));
  SetCount(list, count - 1);
}

void HandleList::Reset(Handle list) {
  MemSetSize(list, kHeaderBytes);
  SetCount(list, 0);
  db::PutI32(*list, 4, 0);
}

void HandleList::IntersectWith(Handle list, Handle other) { Filter(list, other, true); }

void HandleList::DifferenceWith(Handle list, Handle other) { Filter(list, other, false); }

void HandleList::UnionWith(Handle list, Handle other) {
  const BitSet before = MembersOf(list, other);
  for (uint32_t i = 0, n = Count(other); i < n; ++i) {
    const int32_t v = At(other, i);
    if (!before.Has(v)) Insert(list, v);
  }
}
