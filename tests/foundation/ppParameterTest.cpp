#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "foundation/NumberFormatter.h"
#include "foundation/ppParameter.h"

namespace {

using P = ppParameter;

Vcon::String Fixed(double value, int32_t precision, int32_t width = -1, uint8_t fill = 0, uint8_t sign = 0,
                   std::string_view separators = ".,") {
  return FormatNumber(value, width, precision, fill, sign, separators, 0);
}

Vcon::String Whole(double value, int32_t width = -1, uint8_t fill = 0, uint8_t sign = 0) {
  return FormatNumber(value, width, -1, fill, sign, ".,", 0);
}

P Time(int32_t days, int32_t hours, int32_t minutes, int32_t seconds) {
  P p;
  p.SetTime(days, hours, minutes, seconds);
  return p;
}

TEST(NumberFormatterTest, DecimalHalvesRoundAwayFromZero) {
  EXPECT_EQ(Fixed(0.125, 2), "0.13");
  EXPECT_EQ(Fixed(-0.125, 2), "-0.13");
  EXPECT_EQ(Fixed(0.015, 2), "0.02");
  EXPECT_EQ(Fixed(2.675, 2), "2.68");
  EXPECT_EQ(Fixed(2.5, 0), "3");
  EXPECT_EQ(Fixed(9.995, 2), "10.00");
  EXPECT_EQ(Fixed(0.0049, 2), "0.00");
  EXPECT_EQ(Fixed(0.005, 2), "0.01");
  EXPECT_EQ(Fixed(123456789012.0, 1), "123456789012.0");
  EXPECT_EQ(Fixed(1e-7, 3), "0.000");
  // A negative that rounds to zero is not signed.
  EXPECT_EQ(Fixed(-0.001, 2), "0.00");
  EXPECT_EQ(Fixed(-0.0, 1), "0.0");
}

TEST(NumberFormatterTest, WithoutPrecisionTheValueIsATruncatedInteger) {
  EXPECT_EQ(Whole(2.9), "2");
  EXPECT_EQ(Whole(-2.9), "-2");
  EXPECT_EQ(Whole(3e9), "-2147483648");
  EXPECT_EQ(Whole(-1e300), "-2147483648");
  EXPECT_EQ(Whole(std::numeric_limits<double>::infinity()), "-2147483648");
  EXPECT_EQ(Whole(std::nan("")), "NaN");
  EXPECT_EQ(Whole(ppDouble::kNoValue), "NaN");
  EXPECT_EQ(Fixed(ppDouble::kNoValue, 2), "NaN");
}

TEST(NumberFormatterTest, WidthFillAndSign) {
  EXPECT_EQ(Whole(42, 5), "   42");
  EXPECT_EQ(Whole(42, 5, kFillZeros), "00042");
  EXPECT_EQ(Whole(-42, 5, kFillZeros), "-0042");
  EXPECT_EQ(Whole(42, 1), "42");
  EXPECT_EQ(Whole(42, -1, 0, kSignPlus), "+42");
  EXPECT_EQ(Whole(-5, -1, 0, kSignParentheses), "(5)");
  EXPECT_EQ(Whole(5, -1, 0, kSignParentheses), " 5 ");
  EXPECT_EQ(Whole(-5, 4, 0, kSignParentheses), "( 5)");
  // A width with a precision counts the whole digits: 3 + 2 + 1 characters.
  EXPECT_EQ(Fixed(3.14159, 2, 3), "  3.14");
  EXPECT_EQ(Fixed(-3.14159, 2, 3, kFillZeros), "-03.14");
  // Width 0 with parentheses leaves a negative field: left-justified, as printf does.
  EXPECT_EQ(Whole(5, 0, 0, kSignParentheses), " 5  ");
}

TEST(NumberFormatterTest, GroupingAndSeparators) {
  EXPECT_EQ(Fixed(1234567.891, 2, -1, kFillGrouping), "1,234,567.89");
  EXPECT_EQ(Fixed(1234567.891, 2, -1, kFillGrouping, 0, ",."), "1.234.567,89");
  EXPECT_EQ(Fixed(999.999, 2, -1, kFillGrouping), "1,000.00");
  EXPECT_EQ(Fixed(-1234.5, 1, -1, kFillGrouping), "-1,234.5");
  EXPECT_EQ(Whole(123, -1, kFillGrouping), "123");
  EXPECT_EQ(Whole(123456, -1, kFillGrouping), "123,456");
  // The field holds the grouped text exactly.
  EXPECT_EQ(Whole(1234567, 9, kFillGrouping), "1,234,567");
  EXPECT_EQ(Whole(1234567, 10, kFillGrouping), " 1,234,567");
  EXPECT_EQ(Fixed(0.5, 1, -1, 0, 0, ""), "0.5");
  EXPECT_EQ(Fixed(1234.5, 1, -1, kFillGrouping, 0, ";"), "1,234;5");
}

TEST(NumberFormatterTest, ExponentAndRatio) {
  EXPECT_EQ(FormatNumber(1500, -1, 2, 0, 0, ".,", 1), "1.50e+03");
  EXPECT_EQ(FormatNumber(-0.000125, -1, -1, 0, 0, ".,", 1), "-1.250000e-04");
  EXPECT_EQ(FormatNumber(9.96, -1, 1, 0, 0, ".,", 1), "1.0e+01");
  EXPECT_EQ(FormatRatio(125000, 10000, -1, 2, 0, 0, ".,", 0), "12.50");
  EXPECT_EQ(FormatRatio(-1, 3, -1, 3, 0, 0, ".,", 0), "-0.333");
  EXPECT_EQ(FormatRatio(1, 0, -1, 2, 0, 0, ".,", 0), "inf");
  EXPECT_EQ(FormatRatio(0, 0, -1, 2, 0, 0, ".,", 0), "NaN");
}

TEST(ppParameterTest, CopiesFollowTheSourceType) {
  for (int32_t code : {10, 11, 12}) {
    P bare;
    bare.SetBareType(code);
    EXPECT_EQ(bare.Type(), code);
    EXPECT_EQ(P(bare).Type(), P::kNone);
    P assigned("x");
    assigned = bare;
    EXPECT_EQ(assigned.Type(), P::kNone);
  }
  P fifteen;
  fifteen.SetBareType(P::kBare);
  EXPECT_EQ(P(fifteen).Type(), P::kBare);

  P text("hello");
  P copy = text;
  text.SetString("changed");
  EXPECT_EQ(copy.AsString(), "hello");
  P moved = std::move(copy);
  EXPECT_EQ(moved.AsString(), "hello");
  EXPECT_EQ(copy.Type(), P::kNone);  // NOLINT(bugprone-use-after-move): moved-from is empty
}

TEST(ppParameterTest, LinksAndHandlesAreCarriedAsTheyAre) {
  char* data = nullptr;
  const Handle h = &data;
  auto* object = reinterpret_cast<iProperty*>(&data);
  P complex;
  complex.SetComplex(object);
  EXPECT_TRUE(complex.IsLink());
  EXPECT_EQ(P(complex).GetLink(), object);
  EXPECT_EQ(P(object).AsString(), "<LINK>");
  EXPECT_EQ(complex.AsString(), "<COMPLEX>");
  EXPECT_EQ(P().AsString(), "<NOTYPE>");
  EXPECT_EQ(P(h).GetHandle(), h);
  EXPECT_EQ(P(5).GetHandle(), nullptr);
  EXPECT_EQ(P(5).GetLink(), nullptr);
}

TEST(ppParameterTest, TextConvertsToNumbersOrNoValue) {
  EXPECT_EQ(P("12abc").ToLong(), 12);
  EXPECT_EQ(P("  -7").ToLong(), -7);
  EXPECT_TRUE(P("abc").ToPPLong().IsNull());
  EXPECT_TRUE(P("").ToPPLong().IsNull());
  EXPECT_TRUE(P("5000000000").ToPPLong().IsNull());
  EXPECT_EQ(P("5000000000").ToInt64(), 5000000000);
  EXPECT_EQ(P("99999999999999999999").ToInt64(), 0x7FFFFFFFFFFFFFFF);
  EXPECT_DOUBLE_EQ(P("1234567.891").ToDouble(), 1234567.891);
  EXPECT_DOUBLE_EQ(P(u"+2.5e1x").ToDouble(), 25.0);
  EXPECT_TRUE(P("x1").ToPPDouble().IsNull());
  EXPECT_TRUE(P("x1").ToPPFloat().IsNull());
  EXPECT_EQ(P("12.75").ToMoney().Raw(), 120000);  // whole units of the integer read
  EXPECT_TRUE(P("none").ToMoney().IsNull());
  EXPECT_EQ(P("7").ToDate().Value(), 0);
  EXPECT_EQ(P("7").ToTime(), 0);
}

TEST(ppParameterTest, NumbersConvertAcrossTypes) {
  // The smallest 32-bit integer is stored without a test and is the long without value.
  EXPECT_TRUE(P(std::numeric_limits<int32_t>::min()).ToPPLong().IsNull());
  EXPECT_EQ(P(2.9999).ToLong(), 2);
  EXPECT_EQ(P(-2.9999).ToLong(), -2);
  EXPECT_EQ(P(ppMoney::FromRaw(-125000)).ToLong(), -12);
  EXPECT_DOUBLE_EQ(P(ppMoney::FromRaw(125000)).ToDouble(), 12.5);
  EXPECT_EQ(P(2.5).ToMoney().Raw(), 25000);
  EXPECT_EQ(P(3).ToMoney().Raw(), 30000);
  EXPECT_EQ(P(true).ToDouble(), 1.0);
  EXPECT_EQ(P(1.5f).ToDouble(), 1.5);
  EXPECT_EQ(P(1e10).ToPPLong().IsNull(), true);
  EXPECT_EQ(P(ppLong()).ToDouble(), ppDouble::kNoValue);
  EXPECT_TRUE(P(ppDouble()).ToPPFloat().IsNull());
  EXPECT_TRUE(P(ppFloat()).ToMoney().IsNull());

  DecimalNumber q;
  q.SetFromDouble(-2.75, 2);
  EXPECT_EQ(P(q).ToLong(), -2);
  EXPECT_DOUBLE_EQ(P(q).ToDouble(), -2.75);
  EXPECT_EQ(P(q).ToMoney().Raw(), -20000);  // whole units, truncated
  EXPECT_EQ(P(ppMoney::FromRaw(12345)).ToQuantity().Format(DecimalFormat()), "1.2345");
  EXPECT_EQ(P(1.5).ToQuantity().Places(), 4);
  EXPECT_TRUE(P(ppLong()).ToQuantity().IsMaxValue());
  EXPECT_TRUE(P(ppMoney()).ToQuantity().IsMaxValue());
}

TEST(ppParameterTest, TypesWithoutPayloadConvertToZero) {
  P none;
  EXPECT_EQ(none.ToLong(), 0);
  EXPECT_EQ(none.ToDouble(), 0.0);
  EXPECT_EQ(none.ToMoney().Raw(), 0);
  EXPECT_EQ(none.ToTime(), 0);
  EXPECT_TRUE(none.ToQuantity().IsZero());
  P link(reinterpret_cast<iProperty*>(&none));
  EXPECT_EQ(link.ToInt64(), 0);
}

TEST(ppParameterTest, DatesAndTimes) {
  const P longTwo(2);
  EXPECT_EQ(longTwo.ToTime(), 2 * 3600000);
  EXPECT_EQ(P(longTwo.ConvertedTo(P::kTime)).ToLong(), 120);
  EXPECT_EQ(Time(0, 1, 30, 0).ToLong(), 90);
  EXPECT_DOUBLE_EQ(Time(0, 0, 0, 30).ToDouble(), 0.5);
  EXPECT_EQ(Time(1, 0, 0, 0).ToTime(), 86400000);

  EXPECT_EQ(P(2000).ToDate().Value(), DateTimeMs(0, 0, 2000).Value());
  EXPECT_EQ(P(ppLong()).ToDate().Value(), 0);
  const P day(DateTimeMs(2, 1, 2000));
  const P dayBefore(DateTimeMs(1, 1, 2000));
  EXPECT_EQ(day.ToLong(), 730121);
  const P span = day - dayBefore;
  EXPECT_EQ(span.Type(), P::kTime);
  EXPECT_EQ(span.ToTime(), 86400000);
  EXPECT_EQ(span.ToLong(), 1440);
  EXPECT_EQ(Time(0, 0, 0, 1).ToDate().Value(), 1000);

  // A time plus a date is promoted to a date.
  const P later = Time(1, 0, 0, 0) + dayBefore;
  EXPECT_EQ(later.Type(), P::kDate);
  EXPECT_EQ(later.ToDate().Value(), 86400000 + DateTimeMs(1, 1, 2000).Value());
  // A span times a factor.
  EXPECT_EQ((Time(0, 1, 0, 0) * P(1.5)).ToLong(), 90);
}

TEST(ppParameterTest, TruthOfValues) {
  EXPECT_TRUE(P("").ToBool());
  EXPECT_FALSE(P("0").ToBool());
  EXPECT_TRUE(P("00").ToBool());
  EXPECT_FALSE(P(0).ToBool());
  EXPECT_TRUE(P(-1).ToBool());
  EXPECT_TRUE(P(std::nan("")).ToBool());
  EXPECT_FALSE(P(0.0).ToBool());
  EXPECT_FALSE(P(ppMoney::FromRaw(0)).ToBool());
  EXPECT_FALSE(P(DateTimeMs(1, 1, 2000)).ToBool());
  EXPECT_FALSE(P().ToBool());
  EXPECT_TRUE(P(true).ToBool());
}

TEST(ppParameterTest, TextOfValues) {
  EXPECT_EQ(P(42).AsString(), "42");
  EXPECT_EQ(P(2.5).AsString(), "2");
  EXPECT_EQ(P(ppLong()).AsString(), "NaN");
  EXPECT_EQ(P(1234567.891).ToString(-1, 2, kFillGrouping, 0, ".,", 0), "1,234,567.89");
  EXPECT_EQ(P(1234567.891).ToString(-1, 2, kFillGrouping, 0, ",.", 0), "1.234.567,89");
  EXPECT_EQ(P(-5).ToString(-1, -1, 0, kSignParentheses, ",.", 0), "(5)");
  EXPECT_EQ(P(5).ToString(-1, -1, 0, kSignParentheses, ",.", 0), " 5 ");
  EXPECT_EQ(P(1.5f).ToString(-1, 1, 0, 0, ".,", 0), "1.5");
  EXPECT_EQ(P(ppMoney::FromRaw(125000)).ToString(8, 0, 0, 0, ",.", 0), "12.50");
  EXPECT_EQ(P(u"wide \u00e9").AsString(), "wide \xe9");
  EXPECT_EQ(P("narrow").AsWString(), Vcon::WString(u"narrow"));
  EXPECT_EQ(P(u"kept").ToWString(5, 2, 0, 0, ".,", 0), Vcon::WString(u"kept"));
  EXPECT_EQ(P(7).AsWString(), Vcon::WString(u"7"));
}

TEST(ppParameterTest, TextOfBools) {
  EXPECT_EQ(P(true).AsString(), "True");
  EXPECT_EQ(P(false).AsString(), "False");
  EXPECT_EQ(P(true).ToString(3, -1, kFillZeros, 0, ".,", 0), "001");
  EXPECT_EQ(P(false).ToString(-1, -1, kFillZeros, 0, ".,", 0), "0");
  EXPECT_EQ(P(true).ToString(2, -1, 0, 0, ".,", 0), "Tr");
  EXPECT_EQ(P(true).ToString(6, -1, 0, 0, ".,", 0), "  True");
}

TEST(ppParameterTest, TextOfQuantities) {
  const DecimalFormat saved = P::PlainNumberFormat();
  DecimalNumber q;
  q.SetFromDouble(1234.567, 3);
  // Without a precision a quantity shows its decimals, trimmed; a precision of 0 gives its whole part.
  EXPECT_EQ(P(q).AsString(), "1234.567");
  EXPECT_EQ(P(q).ToString(-1, 0, 0, 0, ".,", 0), "1234");
  EXPECT_EQ(P(q).ToString(-1, 2, 0, 0, ".,", 0), "1234.56");
  EXPECT_EQ(P(DecimalNumber(1.5)).AsString(), "1.5");
  EXPECT_EQ(P(DecimalNumber(2.0)).AsString(), "2");
  EXPECT_EQ(P(DecimalNumber(int32_t{3})).AsString(), "3");
  DecimalFormat format;
  format.decimalPoint = ",";
  format.grouping = true;
  format.thousandsSeparator = ".";
  P::SetPlainNumberFormat(format);
  EXPECT_EQ(P(q).ToString(-1, 2, 0, 0, ".,", 0), "1.234,56");
  EXPECT_EQ(P(DecimalNumber(0.15)).AsString(), "0,15") << "the plain format's decimal character";
  P::SetPlainNumberFormat(saved);
  EXPECT_EQ(P(DecimalNumber::MaxValue()).AsString(), "NaN");
}

TEST(ppParameterTest, ArithmeticPromotesTheLeftValue) {
  EXPECT_EQ((P("ab") + P(3)).AsString(), "ab3");
  EXPECT_EQ((P(3) + P("ab")).AsString(), "3ab");
  const P wide = P(u"w") + P("n");
  EXPECT_EQ(wide.Type(), P::kWideText);
  EXPECT_EQ(wide.AsWString(), Vcon::WString(u"wn"));
  EXPECT_EQ((P("n") + P(u"w")).Type(), P::kWideText);

  const P sum = P(2) + P(ppMoney::FromRaw(15000));
  EXPECT_EQ(sum.Type(), P::kMoney);
  EXPECT_EQ(sum.ToMoney().Raw(), 35000);
  EXPECT_EQ((P(2) + P(2.9)).ToLong(), 4);  // the right value becomes a long first
  EXPECT_DOUBLE_EQ((P(2.5) * P(2)).ToDouble(), 5.0);
  EXPECT_EQ((P(7) - P(10)).ToLong(), -3);
  EXPECT_EQ((P(6) * P(7)).ToLong(), 42);
  EXPECT_EQ((P(ppMoney::FromRaw(125000)) * P(ppMoney::FromInteger(3))).ToMoney().Raw(), 375000);
  EXPECT_FLOAT_EQ((P(1.5f) + P(1)).ToFloat(), 2.5f);
  // Types without arithmetic stay as they are.
  EXPECT_EQ((P(true) + P(1)).ToBool(), true);
  EXPECT_EQ((P() + P(1)).Type(), P::kNone);
}

TEST(ppParameterTest, ArithmeticKeepsNoValueAndCatchesOverflow) {
  EXPECT_TRUE((P(ppLong()) + P(1)).ToPPLong().IsNull());
  EXPECT_TRUE((P(1) - P("abc")).Type() == P::kString);
  EXPECT_TRUE((P(2147483647) + P(1)).ToPPLong().IsNull());
  EXPECT_TRUE((P(65536) * P(65536)).ToPPLong().IsNull());
  EXPECT_TRUE((P(ppDouble()) * P(2.0)).ToPPDouble().IsNull());
  EXPECT_TRUE((P(ppFloat()) - P(1.0f)).ToPPFloat().IsNull());
  EXPECT_TRUE((P(ppMoney()) + P(1)).ToMoney().IsNull());
  EXPECT_TRUE((-P(ppLong())).ToPPLong().IsNull());
  EXPECT_TRUE((-P(ppDouble())).ToPPDouble().IsNull());
  EXPECT_TRUE((-P(ppFloat())).ToPPFloat().IsNull());
}

TEST(ppParameterTest, QuantityArithmeticIsExact) {
  DecimalNumber a;
  a.SetFromDouble(1.5, 1);
  const P sum = P(a) + P(a);
  EXPECT_EQ(sum.Type(), P::kQuantity);
  EXPECT_DOUBLE_EQ(sum.ToDouble(), 3.0);
  EXPECT_DOUBLE_EQ((P(a) - P(2)).ToDouble(), -0.5);
  EXPECT_DOUBLE_EQ((P(a) * P(a)).ToDouble(), 2.2);  // truncated to one place
  EXPECT_DOUBLE_EQ((-P(a)).ToDouble(), -1.5);
  EXPECT_DOUBLE_EQ((-P(2.5)).ToDouble(), -2.5);
  EXPECT_EQ((-P(ppMoney::FromRaw(5))).ToMoney().Raw(), -5);
}

TEST(ppParameterTest, ComparisonsConvertTheRightValue) {
  EXPECT_TRUE(P(10) > P("9"));
  EXPECT_TRUE(P("10") < P(9));  // text order: '1' before '9'
  EXPECT_TRUE(P("abc") == P("abc"));
  EXPECT_TRUE(P("abc") != P("abd"));
  EXPECT_TRUE(P(u"b") > P("a"));
  EXPECT_TRUE(P(3) == P(3.7));
  EXPECT_TRUE(P(3.7) != P(3));
  EXPECT_TRUE(P(ppMoney::FromRaw(20000)) == P(2));
  EXPECT_TRUE(P(Time(0, 1, 0, 0)) < P(Time(0, 2, 0, 0)));
  EXPECT_TRUE(P(false) < P(true));
  DecimalNumber q;
  q.SetFromDouble(2.5, 1);
  EXPECT_TRUE(P(q) > P(2));

  const P nan(std::nan(""));
  EXPECT_FALSE(nan == nan);
  EXPECT_TRUE(nan != nan);
  EXPECT_FALSE(nan < P(1.0));
  EXPECT_FALSE(nan > P(1.0));

  const P date(DateTimeMs(1, 1, 2000));
  EXPECT_FALSE(date == date);
  EXPECT_FALSE(date != date);
  EXPECT_FALSE(date < P(DateTimeMs(2, 1, 2000)));
  EXPECT_FALSE(P() == P());
  EXPECT_FALSE(P() != P(1));
}

}  // namespace
