// The text order of the text indexes.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
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

// The NUL-terminated form walks both texts once; it must agree with the counted form on their
// lengths in every mode, over texts that differ in case, accents, length and shared prefixes.
TEST(TextCollationTest, TerminatedTextsCompareAsTheirCountedForm) {
  const char alphabet[] = {'a', 'A', 'b', 'B', '\xE9', '\xC9', '\x8A', '\x9A', '\xD7', '\xF7', '0'};
  uint32_t seed = 99;
  auto random = [&seed](uint32_t n) {
    seed = seed * 1103515245 + 12345;
    return (seed >> 8) % n;
  };
  std::vector<std::string> texts{""};
  for (int i = 0; i < 300; ++i) {
    std::string t = random(3) == 0 ? texts[random(uint32_t(texts.size()))] : std::string();
    for (uint32_t n = random(5); n > 0; --n) t += alphabet[random(sizeof alphabet)];
    texts.push_back(t);
  }
  for (const std::string& a : texts) {
    for (const std::string& b : texts) {
      for (const int32_t mode : {0, 1, 2, 3}) {
        ASSERT_EQ(CompareText(a.c_str(), b.c_str(), mode),
                  CompareText(a.c_str(), a.size(), b.c_str(), b.size(), mode))
            << "'" << a << "' '" << b << "' mode " << mode;
      }
    }
  }
}

// The place of every narrow character in the order, places ascending. The characters of one place
// differ only in letter case; the first is the lower-case one, which sorts first.
struct Place {
  int lower;
  int upper = -1;
};
constexpr Place kPlaces[] = {
    {0x00},       {0x01},       {0x02},       {0x03},       {0x04},       {0x05},       {0x06},
    {0x07},       {0x08},       {0x09},       {0x0A},       {0x0B},       {0x0C},       {0x0D},
    {0x0E},       {0x0F},       {0x10},       {0x11},       {0x12},       {0x13},       {0x14},
    {0x15},       {0x16},       {0x17},       {0x18},       {0x19},       {0x1A},       {0x1B},
    {0x1C},       {0x1D},       {0x1E},       {0x1F},       {0x20},       {0x21},       {0x22},
    {0x23},       {0x24},       {0x25},       {0x26},       {0x27},       {0x28},       {0x29},
    {0x2A},       {0x2B},       {0x2C},       {0x2D},       {0x2E},       {0x2F},       {0x30},
    {0x31},       {0x32},       {0x33},       {0x34},       {0x35},       {0x36},       {0x37},
    {0x38},       {0x39},       {0x3A},       {0x3B},       {0x3C},       {0x3D},       {0x3E},
    {0x3F},       {0x40},       {0x5B},       {0x5C},       {0x5D},       {0x5E},       {0x5F},
    {0x60},       {0x61, 0x41}, {0x62, 0x42}, {0x63, 0x43}, {0x64, 0x44}, {0x65, 0x45}, {0x66, 0x46},
    {0x67, 0x47}, {0x68, 0x48}, {0x69, 0x49}, {0x6A, 0x4A}, {0x6B, 0x4B}, {0x6C, 0x4C}, {0x6D, 0x4D},
    {0x6E, 0x4E}, {0x6F, 0x4F}, {0x70, 0x50}, {0x71, 0x51}, {0x72, 0x52}, {0x73, 0x53}, {0x74, 0x54},
    {0x75, 0x55}, {0x76, 0x56}, {0x77, 0x57}, {0x78, 0x58}, {0x79, 0x59}, {0x7A, 0x5A}, {0x7B},
    {0x7C},       {0x7D},       {0x7E},       {0x7F},       {0x80},       {0x81},       {0x82},
    {0x83},       {0x84},       {0x85},       {0x86},       {0x87},       {0x88},       {0x89},
    {0x8B},       {0x8D},       {0x8F},       {0x90},       {0x91},       {0x92},       {0x93},
    {0x94},       {0x95},       {0x96},       {0x97},       {0x98},       {0x99},       {0x9A, 0x8A},
    {0x9B},       {0x9C, 0x8C}, {0x9D},       {0x9E, 0x8E}, {0xA0},       {0xA1},       {0xA2},
    {0xA3},       {0xA4},       {0xA5},       {0xA6},       {0xA7},       {0xA8},       {0xA9},
    {0xAA},       {0xAB},       {0xAC},       {0xAD},       {0xAE},       {0xAF},       {0xB0},
    {0xB1},       {0xB2},       {0xB3},       {0xB4},       {0xB5},       {0xB6},       {0xB7},
    {0xB8},       {0xB9},       {0xBA},       {0xBB},       {0xBC},       {0xBD},       {0xBE},
    {0xBF},       {0xD7},       {0xDF},       {0xE0, 0xC0}, {0xE1, 0xC1}, {0xE2, 0xC2}, {0xE3, 0xC3},
    {0xE4, 0xC4}, {0xE5, 0xC5}, {0xE6, 0xC6}, {0xE7, 0xC7}, {0xE8, 0xC8}, {0xE9, 0xC9}, {0xEA, 0xCA},
    {0xEB, 0xCB}, {0xEC, 0xCC}, {0xED, 0xCD}, {0xEE, 0xCE}, {0xEF, 0xCF}, {0xF0, 0xD0}, {0xF1, 0xD1},
    {0xF2, 0xD2}, {0xF3, 0xD3}, {0xF4, 0xD4}, {0xF5, 0xD5}, {0xF6, 0xD6}, {0xF7},       {0xF8, 0xD8},
    {0xF9, 0xD9}, {0xFA, 0xDA}, {0xFB, 0xDB}, {0xFC, 0xDC}, {0xFD, 0xDD}, {0xFE, 0xDE}, {0xFF, 0x9F}};

TEST(TextCollationTest, EveryNarrowCharacterHasItsPlace) {
  std::vector<std::pair<char, size_t>> order;  // each character with its place, in sorting order
  for (size_t place = 0; place < std::size(kPlaces); ++place) {
    order.emplace_back(char(kPlaces[place].lower), place);
    if (kPlaces[place].upper >= 0) order.emplace_back(char(kPlaces[place].upper), place);
  }
  std::set<char> distinct;
  for (const auto& entry : order) distinct.insert(entry.first);
  ASSERT_EQ(order.size(), 256u);
  ASSERT_EQ(distinct.size(), 256u);
  int wrong = 0;
  for (size_t i = 0; i < order.size(); ++i) {
    for (size_t j = i + 1; j < order.size(); ++j) {
      const char* a = &order[i].first;
      const char* b = &order[j].first;
      const int32_t ignoringCase = order[i].second == order[j].second ? 0 : -1;
      if (CompareText(a, 1, b, 1, 0) != -1 || CompareText(b, 1, a, 1, 0) != 1 ||
          CompareText(a, 1, b, 1, 1) != -1 || CompareText(a, 1, b, 1, 2) != ignoringCase ||
          CompareText(b, 1, a, 1, 2) != -ignoringCase) {
        if (++wrong <= 10)
          ADD_FAILURE() << std::hex << "0x" << int(uint8_t(*a)) << " and 0x" << int(uint8_t(*b));
      }
    }
  }
  for (const Place& p : kPlaces) {
    EXPECT_EQ(db::FoldCase1252(uint8_t(p.lower)), p.lower);
    if (p.upper >= 0) EXPECT_EQ(db::FoldCase1252(uint8_t(p.upper)), p.lower);
  }
}

}  // namespace
