#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "foundation/DecimalFormat.h"
#include "foundation/DecimalNumber.h"
#include "foundation/ppMoney.h"

namespace {

constexpr int64_t kMarker = 0x7FFFFFFFFFFFFFFF;

ppMoney Raw(int64_t raw) { return ppMoney::FromRaw(raw); }

DecimalFormat CommaFormat() {
  DecimalFormat format;
  format.decimalPoint = ",";
  format.thousandsSeparator = ".";
  return format;
}

TEST(ppMoneyTest, ConstructionKeepsOrScalesAsAsked) {
  EXPECT_TRUE(ppMoney().IsNull());
  EXPECT_EQ(ppMoney::FromRaw(0xFFFFFFFFu, 0x7FFFFFFFu).Raw(), kMarker);
  EXPECT_EQ(ppMoney::FromRaw(0x00000001u, 0x00000002u).Raw(), 0x200000001);
  EXPECT_EQ(ppMoney::FromRawInt(-5).Raw(), -5);
  EXPECT_EQ(ppMoney::FromRawLong(500).DividedByInt(100).Raw(), 5);
  EXPECT_EQ(ppMoney::FromRawByte(200).Raw(), 200);
  EXPECT_EQ(ppMoney::FromInteger(-3).Raw(), -30000);
  EXPECT_EQ(ppMoney::FromLong(ppLong(7)).Raw(), 70000);
  EXPECT_EQ(ppMoney::FromLongValue(ppLong(7)).Raw(), 7);
  // A value-less long: the marker through the unscaled path, no value through the scaled one.
  EXPECT_EQ(ppMoney::FromLongValue(ppLong(std::numeric_limits<int32_t>::min())).Raw(), kMarker);
  EXPECT_TRUE(ppMoney::FromLong(ppLong::NoValue()).IsNull());
  EXPECT_TRUE(ppMoney::FromInteger(std::numeric_limits<int64_t>::max() / 1000).IsNull());
}

TEST(ppMoneyTest, FromFloatingValuesTruncatesTowardZero) {
  EXPECT_EQ(ppMoney::FromDouble(12.34567).Raw(), 123456);
  EXPECT_EQ(ppMoney::FromDouble(-12.34567).Raw(), -123456);
  EXPECT_EQ(ppMoney::FromFloat(ppFloat(1.5f)).Raw(), 15000);
  EXPECT_TRUE(ppMoney::FromDouble(ppDouble::kNoValue).IsNull());
  EXPECT_TRUE(ppMoney::FromFloat(ppFloat::NoValue()).IsNull());
  EXPECT_TRUE(ppMoney::FromDouble(std::nan("")).IsNull());
  EXPECT_TRUE(ppMoney::FromDouble(1e300).IsNull());
  EXPECT_TRUE(ppMoney::FromDouble(-std::numeric_limits<double>::infinity()).IsNull());
}

TEST(ppMoneyTest, FromDecimalNumberIsExact) {
  DecimalNumber q;
  q.Set(0, 2);
  q.Parse("0.29", [] {
    DecimalFormat f;
    f.decimals = 2;
    return f;
  }());
  EXPECT_EQ(ppMoney::FromDecimalNumber(q).Raw(), 2900);
  q.SetFromDouble(-1.2345678, 7);
  EXPECT_EQ(ppMoney::FromDecimalNumber(q).Raw(), -12345);
  EXPECT_TRUE(ppMoney::FromDecimalNumber(DecimalNumber::MaxValue()).IsNull());
}

TEST(ppMoneyTest, QueriesOfNullAndValue) {
  EXPECT_EQ(Raw(-125000).IntegerPart(), -12);
  EXPECT_EQ(ppMoney().IntegerPart(), kMarker);
  EXPECT_DOUBLE_EQ(Raw(125000).ToDouble(), 12.5);
  EXPECT_EQ(ppMoney().ToDouble(), ppDouble::kNoValue);
}

TEST(ppMoneyTest, FromTextTakesTwoDecimalsAndSkipsTheRest) {
  const DecimalFormat comma = CommaFormat();
  EXPECT_EQ(ppMoney::FromText("12,5", &comma).Raw(), 125000);
  EXPECT_EQ(ppMoney::FromText("1.239").Raw(), 12300);
  EXPECT_EQ(ppMoney::FromText("-7").Raw(), -70000);
  EXPECT_EQ(ppMoney::FromText("7-").Raw(), -70000);
  EXPECT_EQ(ppMoney::FromText("").Raw(), 0);
  EXPECT_EQ(ppMoney::FromText("abc").Raw(), 0);
  EXPECT_EQ(ppMoney::FromText("CU 1.234,56", &comma).Raw(), 12345600);
  EXPECT_EQ(ppMoney::FromText(Vcon::WString(u"3.5")).Raw(), 35000);
  // Far too many digits for 64 bits: no value instead of a wrapped amount.
  EXPECT_TRUE(ppMoney::FromText("99999999999999999999").IsNull());
}

TEST(ppMoneyTest, TextOfAnAmount) {
  EXPECT_EQ(Raw(125000).ToNarrowString(), "12.50");
  EXPECT_EQ(ppMoney().ToNarrowString(), "no value");
  EXPECT_EQ(Raw(125000).ToString(), Vcon::WString(u"12.50"));
  EXPECT_EQ(Raw(-5).ToNarrowString(), "0.00");
  EXPECT_EQ(Raw(150).ToNarrowString(), "0.02");  // 0.015: halves round away from zero

  DecimalFormat format = CommaFormat();
  format.grouping = true;
  format.affixOn = true;
  format.affix = "CU ";
  format.affixBefore = true;
  EXPECT_EQ(Raw(12345678).ToNarrowString(&format), "CU 1.234,57");
  format.affixBefore = false;
  format.affix = " kr";
  format.decimalsOn = false;
  EXPECT_EQ(Raw(-12345678).ToNarrowString(&format), "-1.235 kr");
}

TEST(ppMoneyTest, DefaultFormatCanBeReplaced) {
  const DecimalFormat saved = ppMoney::DefaultFormat();
  ppMoney::SetDefaultFormat(CommaFormat());
  EXPECT_EQ(Raw(125000).ToNarrowString(), "12,50");
  EXPECT_EQ(ppMoney::FromText("1,5").Raw(), 15000);
  ppMoney::SetDefaultFormat(saved);
  EXPECT_EQ(Raw(125000).ToNarrowString(), "12.50");
}

TEST(ppMoneyTest, NoValueTravelsThroughArithmetic) {
  const ppMoney none;
  const ppMoney two = ppMoney::FromInteger(2);
  EXPECT_TRUE((none + two).IsNull());
  EXPECT_TRUE((two + none).IsNull());
  EXPECT_TRUE((two - none).IsNull());
  EXPECT_TRUE((-none).IsNull());
  EXPECT_TRUE((none * two).IsNull());
  EXPECT_TRUE((two / none).IsNull());
  EXPECT_TRUE((two % none).IsNull());
  EXPECT_TRUE((none * 3).IsNull());
  EXPECT_TRUE((none * 3.0).IsNull());
  EXPECT_TRUE(two.MultipliedByFloatValue(ppFloat::NoValue()).IsNull());
  EXPECT_TRUE(two.MultipliedByDouble(ppDouble::NoValue()).IsNull());
  ppMoney sum = two;
  sum += none;
  EXPECT_TRUE(sum.IsNull());
  sum += two;
  EXPECT_TRUE(sum.IsNull());
}

TEST(ppMoneyTest, ArithmeticOnRawValues) {
  const ppMoney a = Raw(125000);  // 12.50
  const ppMoney b = Raw(20000);   // 2.00
  EXPECT_EQ((a + b).Raw(), 145000);
  EXPECT_EQ((a - b).Raw(), 105000);
  EXPECT_EQ((-a).Raw(), -125000);
  EXPECT_EQ((a * b).Raw(), 250000);
  EXPECT_EQ((a / b).Raw(), 62500);
  EXPECT_EQ((Raw(-7) % Raw(3)).Raw(), -1);
  ppMoney c = a;
  c -= b;
  EXPECT_EQ(c.Raw(), 105000);
}

TEST(ppMoneyTest, DivisionByZeroAndOverflowGiveNoValue) {
  const ppMoney a = Raw(125000);
  EXPECT_TRUE((a / Raw(0)).IsNull());
  EXPECT_TRUE((a % Raw(0)).IsNull());
  EXPECT_TRUE(a.DividedByInt(0).IsNull());
  EXPECT_TRUE(a.DividedByFloat(0.0f).IsNull());
  EXPECT_TRUE((a / 0.0).IsNull());
  const ppMoney huge = Raw(std::numeric_limits<int64_t>::max() - 1);
  EXPECT_TRUE((huge + a).IsNull());
  EXPECT_TRUE(huge.MultipliedByInt(2).IsNull());
  const ppMoney smallest = Raw(std::numeric_limits<int64_t>::min());
  EXPECT_TRUE((-smallest).IsNull());
  EXPECT_EQ((smallest % Raw(-1)).Raw(), 0);
  EXPECT_TRUE(smallest.DividedByInt(-1).IsNull());
  // A product larger than 64 bits in between but not in the end is exact.
  EXPECT_EQ((Raw(4000000000000) * Raw(40000)).Raw(), 16000000000000);
}

TEST(ppMoneyTest, MultiplyingByACountKeepsTheDecimals) {
  const ppMoney price = Raw(125000);  // 12.50
  EXPECT_EQ((price * 3).Raw(), 375000);
  EXPECT_EQ((3 * price).Raw(), 375000);
  EXPECT_EQ(price.MultipliedByInt(-2).Raw(), -250000);
  EXPECT_EQ((price * 3.0).Raw(), 375000);
  EXPECT_EQ((price * 3).ToNarrowString(), "37.50");

  DecimalNumber quantity;
  quantity.Set(3, 0);
  EXPECT_EQ((price * quantity).Raw(), 375000);
  quantity.SetFromDouble(1.5, 2);
  EXPECT_EQ((price * quantity).Raw(), 187500);
  quantity.SetFromDouble(-0.333, 3);
  EXPECT_EQ((Raw(10000) * quantity).Raw(), -3330);
  EXPECT_TRUE((price * DecimalNumber::MaxValue()).IsNull());
}

TEST(ppMoneyTest, FloatingFactors) {
  const ppMoney price = Raw(100000);  // 10.00
  EXPECT_EQ(price.MultipliedByFloat(1.25f).Raw(), 125000);
  EXPECT_EQ(price.MultipliedByFloatValue(ppFloat(0.5f)).Raw(), 50000);
  EXPECT_EQ(price.MultipliedByDouble(ppDouble(1.1)).Raw(), 110000);
  EXPECT_EQ(price.DividedByFloat(4.0f).Raw(), 25000);
  EXPECT_EQ((price / 3.0).Raw(), 33333);
  EXPECT_TRUE((price * std::nan("")).IsNull());
}

}  // namespace
