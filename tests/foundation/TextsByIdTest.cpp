#include "foundation/TextsById.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "foundation/TextReference.h"
#include "foundation/UserPreferences.h"
#include "foundation/iTextSource.h"
#include "foundation/ppParameter.h"

namespace {

// A string table with texts per language and number; it counts the questions it is asked.
class FakeStringTable : public iTextSource {
 public:
  std::map<std::pair<int32_t, int32_t>, std::u16string> texts;  // (language, number) -> text
  int32_t lastLanguage = -1;
  bool GetString(int32_t number, Vcon::WString& text, int32_t language) override {
    lastLanguage = language;
    auto it = texts.find({language, number});
    if (it == texts.end()) return false;
    text = it->second;
    return true;
  }
};

// Registers the table for one test and removes it afterwards.
class TextsById : public ::testing::Test {
 protected:
  void SetUp() override {
    table_.texts[{0, 1234}] = u"Bredde";
    table_.texts[{0, 7}] = u"Højde";
    table_.texts[{3, 1234}] = u"Breite";
    SetTextSource(&table_);
  }
  void TearDown() override { SetTextSource(nullptr); }

  FakeStringTable table_;
};

TEST_F(TextsById, FoundTextReplacesTheDefault) {
  Vcon::WString text = u"Width";
  EXPECT_TRUE(GetTextById(1234, text));
  EXPECT_EQ(text, u"Bredde");
  EXPECT_EQ(table_.lastLanguage, 0);
}

TEST_F(TextsById, UnknownNumberKeepsTheDefault) {
  Vcon::WString text = u"Width";
  EXPECT_FALSE(GetTextById(99, text));
  EXPECT_EQ(text, u"Width");
  // Without a registered table every text is its default.
  SetTextSource(nullptr);
  EXPECT_FALSE(GetTextById(1234, text));
  EXPECT_EQ(text, u"Width");
}

TEST_F(TextsById, StaticTextFollowsEachCall) {
  const Vcon::WString& first = GetTextByIdStatic(1234, u"Width");
  EXPECT_EQ(first, u"Bredde");
  // A missing text gives this call's default, not what an earlier call left behind.
  const Vcon::WString& second = GetTextByIdStatic(99, u"Depth");
  EXPECT_EQ(&first, &second);
  EXPECT_EQ(second, u"Depth");
  EXPECT_EQ(GetTextByIdStatic(98, u"Other"), u"Other");
}

TEST_F(TextsById, ReferencesResolveToTheirText) {
  EXPECT_EQ(ResolveTextRef(u"Width;1234"), u"Bredde");
  EXPECT_EQ(ResolveTextRef(u"Width;99"), u"Width");
  // Only the last ";" carries the number.
  EXPECT_EQ(ResolveTextRef(u"a;b;7"), u"Højde");
  EXPECT_EQ(ResolveTextRef(u"a;b;99"), u"a;b");
  // No number: the text as it is.
  EXPECT_EQ(ResolveTextRef(u"Width"), u"Width");
  EXPECT_EQ(ResolveTextRef(u"Width;"), u"Width;");
  EXPECT_EQ(ResolveTextRef(u""), u"");
  EXPECT_EQ(ResolveTextRef(u"Width;abc"), u"Width");
  // The previous result may be passed back in.
  const Vcon::WString& again = ResolveTextRef(u"Width;1234;99");
  ASSERT_EQ(again, u"Width;1234");
  EXPECT_EQ(ResolveTextRef(again), u"Bredde");
}

TEST_F(TextsById, LookupsUseTheCurrentLanguage) {
  UserPreferences saved = Preferences();
  DecimalFormat savedMoneyFormat = ppMoney::DefaultFormat();
  DecimalFormat savedPlainFormat = ppParameter::PlainNumberFormat();
  Preferences().languageCode = 3;
  ApplyDerivedSettings();
  Vcon::WString text = u"Width";
  EXPECT_TRUE(GetTextById(1234, text));
  EXPECT_EQ(text, u"Breite");
  EXPECT_EQ(ResolveTextRef(u"Height;7"), u"Height");  // no text 7 in language 3
  Preferences() = saved;
  ApplyDerivedSettings();
  ppMoney::SetDefaultFormat(savedMoneyFormat);
  ppParameter::SetPlainNumberFormat(savedPlainFormat);
}

}  // namespace
