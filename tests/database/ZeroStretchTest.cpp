// The zero stretches a commit leaves out of its writes must be exactly those a byte-by-byte walk
// finds: every whole run of zeros at least the minimum long, counted from where the search starts.
// Missing one writes more than needed; taking a run too far or too short would leave real bytes
// unwritten or write zeros over them. Buffers are made of record-like bytes (many short zero runs)
// with runs placed just under, at and just over the minimum, at every alignment.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "database/dbZeroStretch.h"

namespace {

// The plain walk: the first maximal zero run in [from, n) of at least `minimum` bytes.
dbZeroStretch PlainFind(const std::vector<char>& bytes, int32_t from, int32_t minimum) {
  const auto n = int32_t(bytes.size());
  for (int32_t i = from; i < n;) {
    if (bytes[size_t(i)] != 0) {
      ++i;
      continue;
    }
    int32_t end = i;
    while (end < n && bytes[size_t(end)] == 0) ++end;
    if (end - i >= minimum) return {i, end};
    i = end;
  }
  return {n, n};
}

std::vector<char> RandomBuffer(std::mt19937& random, int32_t minimum) {
  std::vector<char> bytes;
  const auto size = size_t(std::uniform_int_distribution<int32_t>(0, 6 * minimum + 40)(random));
  while (bytes.size() < size) {
    const int32_t kind = std::uniform_int_distribution<int32_t>(0, 5)(random);
    int32_t length = 0;
    if (kind == 0)  // a run near the minimum
      length = minimum + std::uniform_int_distribution<int32_t>(-2, 2)(random);
    else if (kind == 1)  // a long run
      length = std::uniform_int_distribution<int32_t>(minimum, 3 * minimum)(random);
    else if (kind == 2)  // short zero gaps, as inside records
      length = std::uniform_int_distribution<int32_t>(1, 12)(random);
    if (length > 0) {
      bytes.insert(bytes.end(), size_t(length), 0);
    } else {
      const int32_t run = std::uniform_int_distribution<int32_t>(1, minimum / 3 + 2)(random);
      for (int32_t i = 0; i < run; ++i)
        bytes.push_back(char(std::uniform_int_distribution<int32_t>(1, 255)(random)));
    }
  }
  return bytes;
}

bool Same(dbZeroStretch a, dbZeroStretch b) { return a.begin == b.begin && a.end == b.end; }

TEST(ZeroStretchTest, FindsTheRunsTheByteWalkFinds) {
  std::mt19937 random(58);
  for (const int32_t minimum : {16, 17, 40, 1024}) {
    for (int32_t round = 0; round < 3'000; ++round) {
      const std::vector<char> bytes = RandomBuffer(random, minimum);
      const auto n = int32_t(bytes.size());
      int32_t from = std::uniform_int_distribution<int32_t>(0, n)(random);
      // Successive searches, each from the end of the stretch before, as a write that skips them.
      for (int32_t found = 0; found < 50; ++found) {
        const dbZeroStretch want = PlainFind(bytes, from, minimum);
        const dbZeroStretch got = dbZeroStretch::Find(bytes.data(), from, n, minimum);
        ASSERT_TRUE(Same(got, want)) << "minimum " << minimum << " round " << round << " from " << from
                                     << ": got [" << got.begin << ", " << got.end << ") want [" << want.begin
                                     << ", " << want.end << ")";
        if (want.begin == want.end) break;
        from = want.end;
      }
    }
  }
}

// The edges: a buffer of zeros only, a run that ends the buffer, runs that the search's start cuts
// short or meets at their first zero, and runs one byte too short, at every alignment.
TEST(ZeroStretchTest, TakesRunsWholeAtTheBufferEdgesAndNotOneByteShort) {
  std::vector<char> zeros(100, 0);
  EXPECT_TRUE(Same(dbZeroStretch::Find(zeros.data(), 0, 100, 16), {0, 100}));
  EXPECT_TRUE(Same(dbZeroStretch::Find(zeros.data(), 85, 100, 16), {100, 100}));
  EXPECT_TRUE(Same(dbZeroStretch::Find(zeros.data(), 84, 100, 16), {84, 100}));
  for (int32_t at = 0; at < 40; ++at) {
    std::vector<char> bytes(80, 'x');
    std::fill(bytes.begin() + at, bytes.begin() + at + 20, 0);
    EXPECT_TRUE(Same(dbZeroStretch::Find(bytes.data(), at, 80, 16), {at, at + 20})) << at;
    EXPECT_TRUE(Same(dbZeroStretch::Find(bytes.data(), at + 4, 80, 16), {at + 4, at + 20})) << at;
    EXPECT_TRUE(Same(dbZeroStretch::Find(bytes.data(), at + 5, 80, 16), {80, 80})) << at;
    bytes.assign(80, 'x');
    std::fill(bytes.begin() + at, bytes.begin() + at + 15, 0);
    EXPECT_TRUE(Same(dbZeroStretch::Find(bytes.data(), 0, 80, 16), {80, 80})) << at;
    bytes[size_t(at + 15)] = 0;
    EXPECT_TRUE(Same(dbZeroStretch::Find(bytes.data(), 0, 80, 16), {at, at + 16})) << at;
  }
}

}  // namespace
