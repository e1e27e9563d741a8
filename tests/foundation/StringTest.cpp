#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <type_traits>
#include <unordered_set>

#include "foundation/AnsiCodePage.h"
#include "foundation/VconString.h"
#include "foundation/Vcon_HandleManager.h"

namespace {

using Vcon::String;
using Vcon::WString;

// The narrow or wide string of `text` with ReplaceAll applied.
template <typename Char>
auto Replaced(const Char* text, const Char* find, const Char* with) {
  std::conditional_t<sizeof(Char) == 1, String, WString> s = text;
  s.ReplaceAll(find, with);
  return s;
}

TEST(StringTest, ReplaceAllWorksBackwards) {
  EXPECT_EQ(Replaced("aaa", "aa", "a"), "a");
  EXPECT_EQ(Replaced("a\\b\\c", "\\", "/"), "a/b/c");
  // The replacement contains the find text: it is not searched again, so no endless growth.
  EXPECT_EQ(Replaced("xx", "x", "xx"), "xxxx");
  EXPECT_EQ(Replaced("-a-b-", "-", ""), "ab");
  EXPECT_EQ(Replaced("abc", "", "z"), "abc");
  EXPECT_EQ(Replaced("abc", "abcd", "z"), "abc");

  EXPECT_EQ(Replaced(u"aaa", u"aa", u"a"), u"a");
  EXPECT_EQ(Replaced(u"%1 and %1", u"%1", u"\u00e9t\u00e9"), u"\u00e9t\u00e9 and \u00e9t\u00e9");
}

TEST(StringTest, TrimAndRemoveBySet) {
  String s = " \t x y \t";
  s.TrimLeading(" \t");
  EXPECT_EQ(s, "x y \t");
  s.TrimTrailing(" \t");
  EXPECT_EQ(s, "x y");
  s.TrimLeading("q");  // first character not in the set: unchanged
  EXPECT_EQ(s, "x y");
  s.RemoveChars(" ");
  EXPECT_EQ(s, "xy");

  String all = "....";
  all.TrimLeading(".");
  EXPECT_TRUE(all.empty());
  all.RemoveChars(".");
  EXPECT_TRUE(all.empty());

  WString w = u"00120";
  w.TrimLeading(u"0");
  EXPECT_EQ(w, u"120");
  w.TrimTrailing(u"0");
  EXPECT_EQ(w, u"12");
  w.RemoveChars(u"1");
  EXPECT_EQ(w, u"2");
}

TEST(StringTest, EqualityStopsAtTheFirstNul) {
  String embedded("ab\0cd", 5);
  EXPECT_EQ(embedded.size(), 5u);
  EXPECT_TRUE(embedded == "ab");
  EXPECT_TRUE(embedded == String("ab"));
  EXPECT_FALSE(embedded != "ab");
  EXPECT_TRUE(String("ab") != "abc");
  EXPECT_TRUE(String() == "");
  EXPECT_TRUE(String() == static_cast<const char*>(nullptr));

  WString wide(u"ab\0cd", 5);
  EXPECT_TRUE(wide == u"ab");
  EXPECT_TRUE(wide == WString(u"ab"));
  EXPECT_FALSE(wide == u"abc");

  // Hashing agrees with equality, so such strings find each other in hashed sets.
  std::unordered_set<String> set{String("ab")};
  EXPECT_EQ(set.count(embedded), 1u);
}

TEST(StringTest, AnsiCodePageIsWindows1252) {
  EXPECT_EQ(AnsiToWide('A'), u'A');
  EXPECT_EQ(AnsiToWide(0x80), u'\u20ac');  // euro sign
  EXPECT_EQ(AnsiToWide(0x9F), u'\u0178');
  EXPECT_EQ(AnsiToWide(0xE9), u'\u00e9');
  EXPECT_EQ(AnsiToWide(0x81), u'\u0081');  // undefined byte keeps its number
  for (int byte = 1; byte < 256; ++byte) {
    EXPECT_EQ(WideToAnsi(AnsiToWide(static_cast<unsigned char>(byte))), byte) << byte;
  }
  EXPECT_EQ(WideToAnsi(u'\u0100'), -1);
  EXPECT_EQ(WideToAnsi(u'\u4e2d'), -1);
}

TEST(StringTest, NarrowAndWideConversions) {
  EXPECT_TRUE(WideFromNarrow("").empty());
  EXPECT_TRUE(WideFromNarrow(nullptr).empty());
  EXPECT_EQ(WideFromNarrow("Caf\xe9 \x80"), u"Caf\u00e9 \u20ac");
  EXPECT_EQ(NarrowFromWide(u"Caf\u00e9 \u20ac"), "Caf\xe9 \x80");
  // Characters outside the code page become '?'; a surrogate pair is one character.
  EXPECT_EQ(NarrowFromWide(u"\u4e2d\U0001F600x"), "??x");
  EXPECT_EQ(NarrowFromWide(WString(u"\xd800")), "?");
  EXPECT_EQ(WideFromString(String("ab\0cd", 5)), u"ab");

  WString fromNarrow = "\xfc";
  EXPECT_EQ(fromNarrow, u"\u00fc");
  fromNarrow = "x\x99";
  EXPECT_EQ(fromNarrow, u"x\u2122");
  EXPECT_EQ(fromNarrow.Narrow(), "x\x99");
  EXPECT_EQ(static_cast<String>(fromNarrow), "x\x99");
  EXPECT_EQ(WString(u'\u00e9').size(), 1u);
}

TEST(StringTest, Concatenations) {
  EXPECT_EQ(ConcatNarrowWide("\xc4-", u"\u4e2d"), u"\u00c4-\u4e2d");
  EXPECT_EQ(ConcatWideNarrow(u"\u4e2d", "-\xc4"), u"\u4e2d-\u00c4");
  EXPECT_EQ(ConcatStringCStr("ab", "cd"), "abcd");
  EXPECT_EQ(ConcatStringCStr("ab", nullptr), "ab");
  String built = String("x") + "y";
  built += 'z';
  EXPECT_EQ(built, "xyz");
}

TEST(StringTest, TextIntoHandle) {
  Handle h = nullptr;
  Vcon_HandleManager::MemNew(&h, 40);
  CStringToHandle("price list", h);
  EXPECT_EQ(MemGetSize(h), 11);
  EXPECT_STREQ(*h, "price list");
  const char* longer = "a much longer text than the handle held before, so it must grow";
  CStringToHandle(longer, h);
  EXPECT_EQ(MemGetSize(h), static_cast<int32_t>(std::strlen(longer) + 1));
  EXPECT_STREQ(*h, longer);
  CStringToHandle(nullptr, h);
  EXPECT_EQ(MemGetSize(h), 1);
  EXPECT_EQ(**h, '\0');
  MemDispose(h);
  EXPECT_THROW(CStringToHandle("x", nullptr), int32_t);
}

}  // namespace
