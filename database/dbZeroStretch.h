// A stretch of zero bytes long enough to leave out of a write into space that already reads as
// zeros (what a commit appends past the file's size at its start).
#pragma once

#include <cstdint>

struct dbZeroStretch {
  int32_t begin = 0;  // byte offsets into the searched buffer; begin == end: none found
  int32_t end = 0;

  // The first run of zeros in bytes[from, n) at least `minimum` (>= 16) bytes long, taken whole:
  // from its first zero at or after `from` up to the next non-zero byte or n. {n, n} when there is
  // none. Runs that begin before `from` count from `from`.
  static dbZeroStretch Find(const char* bytes, int32_t from, int32_t n, int32_t minimum);
};
