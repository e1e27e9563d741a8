#include "database/dbStrIndex.h"

#include <cstring>
#include <utility>
#include <vector>

#include "database/dbBytes.h"
#include "database/dbErrors.h"
#include "database/dbStore.h"
#include "database/TextCollation.h"
#include "foundation/FileOperations.h"

namespace {

constexpr int32_t kMaxTextBytes = 32767;  // offsets and lengths are signed 16-bit

int16_t TableWord(Handle node, uint32_t table, int32_t index) {
  return db::GetI16(*node, table + 2 * uint32_t(index));
}

void SetTableWord(Handle node, uint32_t table, int32_t index, int32_t value) {
  db::PutI16(*node, table + 2 * uint32_t(index), int16_t(value));
}

}  // namespace

int32_t dbStrIndex::Compare(const void* a, const void* b, int32_t mode) const {
  return db::CompareText(static_cast<const char*>(a), static_cast<const char*>(b), mode);
}

size_t dbStrIndex::KeyBytes(const void* key) const { return std::strlen(static_cast<const char*>(key)) + 1; }

// Appends the text with its NUL and opens slot `index` of both tables for it. The key must not
// point into `node` (the record may move while it grows).
void dbStrIndex::InsertKey(Handle node, int32_t index, const void* key) {
  const int32_t length = int32_t(KeyBytes(key));
  const int32_t offset = MemGetSize(node) - int32_t(kTexts);
  if (length > kMaxTextBytes || offset + length > kMaxTextBytes) db::Fail(db::kBadCall);
  MemInsertBytes(key, uint32_t(length), node, kMemAppend);
  const int32_t count = Word(node, kCount);  // already counts the new entry
  for (int32_t j = count - 1; j > index; --j) {
    SetTableWord(node, kOffsets, j, TableWord(node, kOffsets, j - 1));
    SetTableWord(node, kLengths, j, TableWord(node, kLengths, j - 1));
  }
  SetTableWord(node, kOffsets, index, offset);
  SetTableWord(node, kLengths, index, length);
}

bool dbStrIndex::KeyFits(Handle node, const void* key) const {
  return MemGetSize(node) - int32_t(kTexts) + int64_t(KeyBytes(key)) <= kMaxTextBytes;
}

void dbStrIndex::ReplaceKey(Handle node, int32_t index, const void* key) {
  if (index < 0 || index >= Word(node, kCount)) db::Fail(-1);
  const int32_t oldLength = TableWord(node, kLengths, index);
  if (MemGetSize(node) - int32_t(kTexts) - oldLength + int64_t(KeyBytes(key)) > kMaxTextBytes)
    db::Fail(db::kBadCall);
  RemoveKey(node, index);
  InsertKey(node, index, key);
}

// Called before the count drops; later texts move down and their offsets follow.
void dbStrIndex::RemoveKey(Handle node, int32_t index) {
  const int32_t count = Word(node, kCount);
  if (index < 0 || index >= count) db::Fail(-1);
  const int32_t offset = TableWord(node, kOffsets, index);
  const int32_t length = TableWord(node, kLengths, index);
  MemDeleteBytes(node, kTexts + uint32_t(offset), uint32_t(length));
  for (int32_t j = index; j < count - 1; ++j) {
    SetTableWord(node, kOffsets, j, TableWord(node, kOffsets, j + 1));
    SetTableWord(node, kLengths, j, TableWord(node, kLengths, j + 1));
  }
  SetTableWord(node, kOffsets, count - 1, 0);
  SetTableWord(node, kLengths, count - 1, 0);
  for (int32_t j = 0; j < count - 1; ++j) {
    const int32_t other = TableWord(node, kOffsets, j);
    if (other > offset) SetTableWord(node, kOffsets, j, other - length);
  }
}

const void* dbStrIndex::GetKey(Handle node, int32_t index) const {
  return *node + kTexts + TableWord(node, kOffsets, index);
}

// Every used slot must name a NUL-terminated text inside the record.
bool dbStrIndex::KeysValid(Handle node, int32_t size) const {
  for (int32_t i = 0, n = Word(node, kCount); i < n; ++i) {
    const int32_t offset = TableWord(node, kOffsets, i);
    const int32_t length = TableWord(node, kLengths, i);
    if (offset < 0 || length < 1 || int32_t(kTexts) + offset + length > size) return false;
    if ((*node)[kTexts + uint32_t(offset + length - 1)] != '\0') return false;
  }
  return true;
}

Handle dbStrIndex::AllKeys() {
  Handle keys = nullptr;
  Vcon_HandleManager::MemNew(&keys, 0);
  try {
    int32_t number = FirstLeaf();
    for (int32_t steps = 0; number != 0; ++steps) {
      if (steps > Store().LastRecordNumber() + 1) db::Fail(db::kDamagedFile);
      Handle leaf = LoadNode(number);
      for (int32_t i = 0, n = Word(leaf, kCount); i < n; ++i) {
        const std::string text(static_cast<const char*>(GetKey(leaf, i)));
        MemInsertBytes(text.c_str(), uint32_t(text.size() + 1), keys, kMemAppend);
      }
      const int32_t next = Word(leaf, kNext);
      ReleaseNode(number);
      number = next;
    }
  } catch (...) {
    MemDispose(keys);
    throw;
  }
  return keys;
}

void dbStrIndex::DumpNode(int32_t number, int32_t depth, std::string& out) {
  if (depth > 40) db::Fail(db::kDamagedFile);
  Handle node = LoadNode(number);
  const int32_t count = Word(node, kCount);
  const bool inner = Word(node, kInner) != 0;
  std::vector<std::pair<std::string, int32_t>> entries;
  for (int32_t i = 0; i < count; ++i)
    entries.emplace_back(static_cast<const char*>(GetKey(node, i)), Word(node, kValues + 4 * uint32_t(i)));
  ReleaseNode(number);
  for (const auto& [text, child] : entries) {
    out.append(size_t(depth), '\t').append(text).append("\r\n");
    if (inner) DumpNode(child, depth + 1, out);
  }
}

void dbStrIndex::Dump(const std::string& path) {
  std::string text;
  if (Root() != 0) DumpNode(Root(), 0, text);
  ppFileSpec fileSpec{Vcon::WString(path.c_str())};
  FileCreate(fileSpec);
  ppFileSpec open;
  FileOpen(open, fileSpec, false);
  try {
    FileWrite(open, text.data(), uint32_t(text.size()), 0);
  } catch (...) {
    FileClose(open);
    throw;
  }
  FileClose(open);
}
