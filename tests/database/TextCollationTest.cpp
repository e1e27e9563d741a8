// The text order of the text indexes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "database/TextCollation.h"

namespace {

using db::CompareText;

TEST(TextCollationTest, CaseDecidesOnlyAsTheLastTieBreak) {
  EXPECT_LT(CompareText("ab", "AB", 0), 0);
  EXPECT_GT(CompareText("AB", "ab", 0), 0);
  EXPECT_EQ(CompareText("aB", "aB", 0), 0);
  EXPECT_LT(CompareText("AB", "abc", 0), 0);  // letters before case
  EXPECT_LT(CompareText("Ab", "aC", 0), 0);
  EXPECT_LT(CompareText("a", "ab", 0), 0);
  EXPECT_LT(CompareText("", "a", 0), 0);
  // Windows-1252 accented capitals and their small letters pair up.
  EXPECT_LT(CompareText("\xE9t\xE9", "\xC9T\xC9", 0), 0);
  EXPECT_EQ(CompareText("\xC9T\xC9", "\xE9t\xE9", 2), 0);
  EXPECT_EQ(CompareText("\x8A", "\x9A", 2), 0);
  EXPECT_EQ(CompareText("a", "b", 7), 0);  // unknown modes compare equal
}

TEST(TextCollationTest, OrderIsTotalAndKeepsPrefixRunsTogether) {
  std::vector<std::string> keys = {"ab", "AB", "aB", "Ab", "abc", "ABD",      "a",        "A",   "b",
                                   "aa", "ac", "",   "Z",  "z",   "\xC4pfel", "\xE4pfel", "ab!", "aB0"};
  std::sort(keys.begin(), keys.end(), [](const std::string& x, const std::string& y) {
    return CompareText(x.c_str(), y.c_str(), 0) < 0;
  });
  for (size_t i = 0; i + 1 < keys.size(); ++i) {
    EXPECT_LT(CompareText(keys[i].c_str(), keys[i + 1].c_str(), 0), 0) << keys[i] << " " << keys[i + 1];
    EXPECT_GT(CompareText(keys[i + 1].c_str(), keys[i].c_str(), 0), 0);
  }
  // Keys starting with "ab" in any case form one run.
  std::vector<bool> starts;
  for (const auto& k : keys) starts.push_back(k.size() >= 2 && CompareText(k.c_str(), 2, "ab", 2, 2) == 0);
  const auto first = std::find(starts.begin(), starts.end(), true);
  const auto last = std::find(starts.rbegin(), starts.rend(), true).base();
  EXPECT_TRUE(std::all_of(first, last, [](bool b) { return b; }));
  EXPECT_EQ(std::count(starts.begin(), starts.end(), true), 8);
}

TEST(TextCollationTest, PrefixModeLetsTheShorterTextDecide) {
  EXPECT_EQ(CompareText("abcdef", "AB", 2), 0);
  EXPECT_EQ(CompareText("a", "ab", 2), 0);
  EXPECT_EQ(CompareText("", "xyz", 2), 0);
  EXPECT_LT(CompareText("aa", "ab", 2), 0);
  EXPECT_GT(CompareText("b", "ab", 2), 0);
}

}  // namespace
