// Record-number lists and their set operations.
#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>
#include <vector>

#include "database/HandleList.h"

namespace {

Handle ListOf(std::initializer_list<int32_t> values) {
  Handle list = HandleList::New(2);
  for (const int32_t v : values) HandleList::Insert(list, v);
  return list;
}

std::vector<int32_t> Entries(Handle list) {
  std::vector<int32_t> out;
  for (uint32_t i = 0; i < HandleList::Count(list); ++i) out.push_back(HandleList::At(list, i));
  return out;
}

// Applies op to a copy of `a` with `b` and returns the entries; `b` must stay unchanged.
template <typename Op>
std::vector<int32_t> Combine(std::initializer_list<int32_t> a, std::initializer_list<int32_t> b, Op op) {
  Handle first = ListOf(a);
  Handle second = ListOf(b);
  op(first, second);
  EXPECT_EQ(Entries(second), std::vector<int32_t>(b));
  const auto result = Entries(first);
  HandleList::Dispose(first);
  HandleList::Dispose(second);
  return result;
}

TEST(HandleListTest, SetOperationsKeepTheFirstListsOrder) {
  EXPECT_EQ(Combine({3, 5}, {5, 7, 7}, HandleList::UnionWith), (std::vector<int32_t>{3, 5, 7, 7}));
  EXPECT_EQ(Combine({3, 5, 7}, {7, 3}, HandleList::IntersectWith), (std::vector<int32_t>{3, 7}));
  EXPECT_EQ(Combine({3, 5, 7}, {5}, HandleList::DifferenceWith), (std::vector<int32_t>{3, 7}));
  // Empty operands and entries beyond the other list's largest one.
  EXPECT_EQ(Combine({}, {4, 0}, HandleList::UnionWith), (std::vector<int32_t>{4, 0}));
  EXPECT_EQ(Combine({9, 1000, 8}, {}, HandleList::IntersectWith), (std::vector<int32_t>{}));
  EXPECT_EQ(Combine({9, 1000, 8}, {8}, HandleList::DifferenceWith), (std::vector<int32_t>{9, 1000}));
  EXPECT_EQ(Combine({0, 8, 16}, {16, 0}, HandleList::IntersectWith), (std::vector<int32_t>{0, 16}));
  // Two empty lists: nothing to combine, and nothing huge to allocate for it.
  EXPECT_EQ(Combine({}, {}, HandleList::UnionWith), (std::vector<int32_t>{}));
  EXPECT_EQ(Combine({}, {}, HandleList::IntersectWith), (std::vector<int32_t>{}));
  EXPECT_EQ(Combine({}, {}, HandleList::DifferenceWith), (std::vector<int32_t>{}));
}

TEST(HandleListTest, InsertGrowsAndEditsInPlace) {
  Handle list = HandleList::New(0);
  for (int32_t i = 0; i < 33; ++i) HandleList::Insert(list, i);
  EXPECT_EQ(HandleList::Count(list), 33u);
  EXPECT_EQ(HandleList::Capacity(list), 64u);  // grows 32 entries at a time
  EXPECT_EQ(MemGetSize(list), 8 + 4 * 64);
  HandleList::Insert(list, -5, 0);
  HandleList::Insert(list, 77, 1000);  // past the count: appended
  EXPECT_EQ(HandleList::At(list, 0), -5);
  EXPECT_EQ(HandleList::At(list, 1), 0);
  EXPECT_EQ(HandleList::At(list, 34), 77);
  EXPECT_EQ(HandleList::IndexOf(list, 77), 34);
  EXPECT_EQ(HandleList::IndexOf(list, 78), -1);
  HandleList::RemoveAt(list, 0);
  HandleList::RemoveAt(list, 500);  // out of range: nothing
  EXPECT_EQ(HandleList::Count(list), 34u);
  EXPECT_EQ(HandleList::At(list, 0), 0);
  HandleList::Reset(list);
  EXPECT_EQ(HandleList::Count(list), 0u);
  EXPECT_EQ(MemGetSize(list), 8);
  HandleList::Insert(list, 4);
  EXPECT_EQ(Entries(list), std::vector<int32_t>{4});
  // The spare entries a list grew by are zeros: a list saved in a record carries no stale memory.
  for (uint32_t i = 1; i < HandleList::Capacity(list); ++i) EXPECT_EQ(HandleList::At(list, i), 0) << i;
  HandleList::Dispose(list);
  HandleList::Dispose(nullptr);
}

// Appending many at once leaves the list exactly as appending them one by one would.
TEST(HandleListTest, AppendGrowsLikeSingleInserts) {
  for (const auto& [start, n] :
       std::vector<std::pair<uint32_t, uint32_t>>{{0, 0}, {0, 1}, {2, 2}, {3, 70}, {31, 1}}) {
    Handle one = HandleList::New(start % 5);
    Handle many = HandleList::New(start % 5);
    std::vector<int32_t> values;
    for (uint32_t i = 0; i < start; ++i) {
      HandleList::Insert(one, int32_t(i));
      HandleList::Insert(many, int32_t(i));
    }
    for (uint32_t i = 0; i < n; ++i) values.push_back(int32_t(1000 + i));
    for (const int32_t v : values) HandleList::Insert(one, v);
    HandleList::Append(many, values.data(), n);
    EXPECT_EQ(Entries(many), Entries(one));
    EXPECT_EQ(HandleList::Capacity(many), HandleList::Capacity(one)) << start << " + " << n;
    EXPECT_EQ(MemGetSize(many), MemGetSize(one));
    HandleList::Dispose(one);
    HandleList::Dispose(many);
  }
}

}  // namespace
