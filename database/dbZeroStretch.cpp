#include "database/dbZeroStretch.h"

#include <cstring>

namespace {

uint64_t WordAt(const char* bytes, int32_t at) {
  uint64_t word;
  std::memcpy(&word, bytes + at, 8);
  return word;
}

// Whether bytes[at, at + n) are all zero; gives up at the first 32 bytes that are not.
bool AllZero(const char* bytes, int32_t at, int32_t n) {
  int32_t i = 0;
  for (; i + 32 <= n; i += 32) {
    if ((WordAt(bytes, at + i) | WordAt(bytes, at + i + 8) | WordAt(bytes, at + i + 16) |
         WordAt(bytes, at + i + 24)) != 0)
      return false;
  }
  for (; i < n; ++i)
    if (bytes[at + i] != 0) return false;
  return true;
}

}  // namespace

// A run of `minimum` zeros or more holds a whole block of minimum / 2 bytes counted from `from`
// (it starts at most one block less a byte before such a block's start): only blocks whose first
// word is zero are looked at closer, so long stretches of records cost one load per block.
dbZeroStretch dbZeroStretch::Find(const char* bytes, int32_t from, int32_t n, int32_t minimum) {
  const int32_t block = minimum / 2;
  for (int32_t at = from; at + block <= n; at += block) {
    if (WordAt(bytes, at) != 0 || !AllZero(bytes, at, block)) continue;
    int32_t begin = at;
    while (begin - 8 >= from && WordAt(bytes, begin - 8) == 0) begin -= 8;
    while (begin > from && bytes[begin - 1] == 0) --begin;
    int32_t end = at + block;
    while (end + 8 <= n && WordAt(bytes, end) == 0) end += 8;
    while (end < n && bytes[end] == 0) ++end;
    if (end - begin >= minimum) return {begin, end};
    // The run is too short; the next one starts past its end, and the blocks inside it are zero.
    at = end - block;
  }
  return {n, n};
}
