// The one text order of the database's text indexes.
//
// Keys are narrow Windows-1252 texts. Modes 0 and 1 give a deterministic total order: texts compare
// by their case-folded characters first, and only texts equal apart from letter case are ordered by
// case (at the first differing letter the lower-case one comes first). So "ab" and "AB" are distinct
// keys, and every run of keys sharing a prefix in any case stays contiguous, which the prefix mode
// relies on. Mode 2 compares only the first min(length) characters, ignoring case: two texts are
// equal there when the shorter one starts the longer one.
//
// Stored index order depends on this function: changing it requires rebuilding every text index.
#pragma once

#include <cstddef>
#include <cstdint>

namespace db {

// The case-folded form of one Windows-1252 character (upper-case letters map to lower case).
unsigned char FoldCase1252(unsigned char c);

// Compares na bytes at a with nb bytes at b in the given mode; returns -1, 0 or 1. Modes other than
// 0, 1 and 2 compare equal.
int32_t CompareText(const char* a, size_t na, const char* b, size_t nb, int32_t mode);

// The same on NUL-terminated texts.
int32_t CompareText(const char* a, const char* b, int32_t mode);

}  // namespace db
