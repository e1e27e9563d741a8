#include "foundation/MoneyText.h"

#include <gtest/gtest.h>

#include "foundation/UserPreferences.h"
#include "foundation/ppParameter.h"
#include "foundation/ppMoney.h"

namespace {

// Sets the money fields of the process-wide preferences for one test and puts them back after it.
class MoneyText : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = Preferences();
    savedMoneyFormat_ = ppMoney::DefaultFormat();
    savedPlainFormat_ = ppParameter::PlainNumberFormat();
    UserPreferences& p = Preferences();
    p.moneyDecimals = 1;
    p.moneyGrouping = 1;
    p.currencyShown = 1;
    p.currencyBefore = 1;
    SetPreferenceText(p.currencyText, "CU ");
    SetPreferenceText(p.decimalSeparator, ",");
    SetPreferenceText(p.thousandsSeparator, ".");
  }
  void TearDown() override {
    Preferences() = saved_;
    ApplyNumberFormats();
    ppMoney::SetDefaultFormat(savedMoneyFormat_);
    ppParameter::SetPlainNumberFormat(savedPlainFormat_);
  }

  std::u16string Text(int64_t raw) {
    Vcon::WString out = u"stale";
    FormatMoneyText(out, raw);
    return out;
  }

  UserPreferences saved_;
  DecimalFormat savedMoneyFormat_;
  DecimalFormat savedPlainFormat_;
};

TEST_F(MoneyText, DecimalsGroupingAndCurrencyInFront) {
  EXPECT_EQ(Text(12345678), u"CU 1.234,57");
  EXPECT_EQ(Text(-12345678), u"CU -1.234,57");
  EXPECT_EQ(Text(0), u"CU 0,00");
  EXPECT_EQ(Text(1250), u"CU 0,13");  // half a hundredth rounds away from zero
  EXPECT_EQ(Text(12345678900000), u"CU 1.234.567.890,00");
}

TEST_F(MoneyText, EachPreferenceChangesItsOwnPart) {
  UserPreferences& p = Preferences();
  p.currencyBefore = 0;
  SetPreferenceText(p.currencyText, " kr");
  EXPECT_EQ(Text(12345678), u"1.234,57 kr");
  p.moneyDecimals = 0;
  EXPECT_EQ(Text(12345678), u"1.235 kr");
  p.moneyGrouping = 0;
  EXPECT_EQ(Text(12345678), u"1235 kr");
  p.currencyShown = 0;
  EXPECT_EQ(Text(12345678), u"1235");
  p.moneyDecimals = 1;
  SetPreferenceText(p.decimalSeparator, ".");
  SetPreferenceText(p.thousandsSeparator, "'");
  p.moneyGrouping = 1;
  EXPECT_EQ(Text(12345678), u"1'234.57");
}

TEST_F(MoneyText, CurrencyTextAppearsOnceWhateverTheMoneyFormatSays) {
  // The money format built from the same preferences carries the currency as its affix; the text
  // here adds it once only.
  ApplyNumberFormats();
  EXPECT_EQ(Text(10000), u"CU 1,00");
  // Characters of the ANSI code page come out as their own characters.
  SetPreferenceText(Preferences().currencyText, "\x80 ");
  EXPECT_EQ(Text(10000), u"\u20AC 1,00");
}

TEST_F(MoneyText, AmountWithoutValue) { EXPECT_EQ(Text(ppMoney::kNoValue), u"no value"); }

}  // namespace
