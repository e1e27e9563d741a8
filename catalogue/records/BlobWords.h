// Reading the blob fields of catalogue records: arrays of fixed-size little-endian entries whose first
// word is, as a rule, a record id, and lists of word groups each closed by a 0 (the words themselves
// come from RecordField::Words). Every reader stops at the blob's end: a partial entry at the end is
// ignored, a group missing its closing 0 ends there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/Vcon_HandleManager.h"

class BlobWords {
 public:
  // One group of words: words[begin, end) of the blob, without its closing 0.
  struct Group {
    size_t begin = 0;
    size_t end = 0;
  };

  // Word 0 of every whole entry of `entrySize` bytes.
  static std::vector<int32_t> FirstWords(Handle data, uint32_t entrySize);
  // Word `word` of every whole entry of `entrySize` bytes.
  static std::vector<int32_t> EntryWords(Handle data, uint32_t entrySize, uint32_t word);
  // The groups of a group list: a group starts at a non-zero word, keeps its first `fixed` words
  // whatever they hold and runs to the next 0. A 0 where a group would start ends the list.
  static std::vector<Group> Groups(const std::vector<int32_t>& words, size_t fixed);
};
