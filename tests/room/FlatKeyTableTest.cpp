// The flat key table the corner index keeps its cells and ranks in: every key put stays findable
// through growth, whatever its bits (all ones, zero, keys that share their home slot), a second put
// keeps the first value, and a key never put is not found.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>

#include "room/FlatKeyTable.h"

namespace {

TEST(FlatKeyTableTest, KeysOfEveryKindAreFoundAfterGrowthAndKeepTheirFirstValue) {
  FlatKeyTable<int32_t> table;
  EXPECT_EQ(table.Find(0), nullptr);
  std::map<uint64_t, int32_t> plain;
  const auto put = [&](uint64_t key, int32_t value) {
    const auto [at, added] = table.Emplace(key, value);
    const auto [pat, padded] = plain.emplace(key, value);
    EXPECT_EQ(added, padded) << key;
    EXPECT_EQ(*at, pat->second) << key;
  };
  // Keys a cell number or an address can be: zero, all ones (cell -1, -1), neighbouring cells, and
  // multiples of a large power of two, which share their home slot while the table is small.
  for (uint64_t key : {uint64_t{0}, ~uint64_t{0}, uint64_t{1}, (uint64_t{0xFFFFFFFF} << 32)}) put(key, 7);
  for (int32_t i = 0; i < 300; ++i) put(uint64_t(i) << 40, i);
  std::mt19937_64 random(58);
  for (int32_t i = 0; i < 3000; ++i) put(random() % 5000, i);
  put(0, 99);  // already there: keeps 7
  EXPECT_EQ(table.Size(), plain.size());
  for (const auto& [key, value] : plain) {
    const int32_t* found = table.Find(key);
    ASSERT_NE(found, nullptr) << key;
    EXPECT_EQ(*found, value) << key;
    EXPECT_EQ(table.At(key), value);
  }
  EXPECT_EQ(*table.Find(0), 7);
  EXPECT_EQ(table.Find(5001), nullptr);
  EXPECT_EQ(table.Find(uint64_t{301} << 40), nullptr);
  EXPECT_THROW(table.At(5001), std::out_of_range);
  // A value found can be changed in place.
  *table.Find(~uint64_t{0}) = -3;
  EXPECT_EQ(table.At(~uint64_t{0}), -3);
}

}  // namespace
