#include "database/TextCollation.h"

#include <algorithm>
#include <array>

namespace db {

namespace {

constexpr unsigned char Fold(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  // Accented capitals 0xC0..0xDE pair with 0xE0..0xFE; 0xD7 (multiplication sign) has no pair.
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
  switch (c) {
    case 0x8A:
      return 0x9A;  // S caron
    case 0x8C:
      return 0x9C;  // OE ligature
    case 0x8E:
      return 0x9E;  // Z caron
    case 0x9F:
      return 0xFF;  // Y diaeresis
    default:
      return c;
  }
}

constexpr std::array<unsigned char, 256> kFolded = [] {
  std::array<unsigned char, 256> table{};
  for (int c = 0; c < 256; ++c) table[size_t(c)] = Fold(static_cast<unsigned char>(c));
  return table;
}();

}  // namespace

unsigned char FoldCase1252(unsigned char c) { return kFolded[c]; }

namespace {

int32_t Sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

// Case-folded comparison of n bytes of each.
int32_t CompareFolded(const unsigned char* a, const unsigned char* b, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    const int d = int(kFolded[a[i]]) - int(kFolded[b[i]]);
    if (d != 0) return Sign(d);
  }
  return 0;
}

// For texts equal after folding: the first letter that differs in case decides, lower case first.
int32_t CompareCase(const unsigned char* a, const unsigned char* b, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    if (a[i] == b[i]) continue;
    const bool aIsLower = kFolded[a[i]] == a[i];
    return aIsLower ? -1 : 1;
  }
  return 0;
}

}  // namespace

int32_t CompareText(const char* a, size_t na, const char* b, size_t nb, int32_t mode) {
  const auto* ua = reinterpret_cast<const unsigned char*>(a);
  const auto* ub = reinterpret_cast<const unsigned char*>(b);
  const size_t common = std::min(na, nb);
  if (mode == 2) return CompareFolded(ua, ub, common);
  if (mode != 0 && mode != 1) return 0;
  if (const int32_t r = CompareFolded(ua, ub, common); r != 0) return r;
  if (na != nb) return na < nb ? -1 : 1;
  return CompareCase(ua, ub, common);
}

// One pass that stops at the first difference or NUL, with the result of the counted form on the
// two lengths: texts are compared far more often than their ends are reached.
int32_t CompareText(const char* a, const char* b, int32_t mode) {
  if (mode != 0 && mode != 1 && mode != 2) return 0;
  const auto* ua = reinterpret_cast<const unsigned char*>(a);
  const auto* ub = reinterpret_cast<const unsigned char*>(b);
  size_t common = 0;
  for (; ua[common] != 0 && ub[common] != 0; ++common) {
    const int d = int(kFolded[ua[common]]) - int(kFolded[ub[common]]);
    if (d != 0) return Sign(d);
  }
  if (mode == 2) return 0;
  if (ua[common] != ub[common]) return ua[common] == 0 ? -1 : 1;  // the shorter first
  return CompareCase(ua, ub, common);
}

}  // namespace db
