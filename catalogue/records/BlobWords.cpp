#include "catalogue/records/BlobWords.h"

#include <algorithm>

#include "database/dbBytes.h"

std::vector<int32_t> BlobWords::FirstWords(Handle data, uint32_t entrySize) {
  return EntryWords(data, entrySize, 0);
}

std::vector<int32_t> BlobWords::EntryWords(Handle data, uint32_t entrySize, uint32_t word) {
  std::vector<int32_t> words;
  if (data == nullptr || *data == nullptr || entrySize < 4 * (word + 1)) return words;
  const uint32_t count = uint32_t(MemGetSize(data)) / entrySize;
  words.reserve(count);
  for (uint32_t i = 0; i < count; ++i) words.push_back(db::GetI32(*data, i * entrySize + word * 4));
  return words;
}

std::vector<BlobWords::Group> BlobWords::Groups(const std::vector<int32_t>& words, size_t fixed) {
  std::vector<Group> groups;
  size_t i = 0;
  while (i < words.size() && words[i] != 0) {
    size_t end = std::min(i + fixed, words.size());
    while (end < words.size() && words[end] != 0) ++end;
    groups.push_back({i, end});
    i = end + 1;
  }
  return groups;
}
