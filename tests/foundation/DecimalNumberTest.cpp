#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

#include "foundation/DecimalFormat.h"
#include "foundation/DecimalNumber.h"

// Readable failure messages: the value with its places.
static void PrintTo(const DecimalNumber& n, std::ostream* os) { *os << n.Amount() << "e-" << n.Places(); }

namespace {

DecimalNumber Num(double d, int16_t places) {
  DecimalNumber n;
  n.SetFromDouble(d, places);
  return n;
}

DecimalNumber Parsed(const char* text, const DecimalFormat& format) {
  DecimalNumber n;
  n.Parse(text, format);
  return n;
}

DecimalFormat Decimals(int16_t decimals, bool trim) {
  DecimalFormat f;
  f.decimals = decimals;
  f.trimZeros = trim;
  return f;
}

TEST(DecimalNumberTest, WordPacksAmountAndPlaces) {
  DecimalNumber zero;
  EXPECT_EQ(zero.Places(), 4);
  EXPECT_EQ(zero.RawWord(), 4);
  EXPECT_EQ(zero.Format(DecimalFormat()), "0");

  DecimalNumber five;
  five.Set(5, 2);
  EXPECT_EQ(five.RawWord(), 500 * 8 + 2);

  DecimalNumber negative = Num(-1.5, 1);
  EXPECT_EQ(negative.RawWord(), -15 * 8 + 1);
  DecimalNumber back;
  back.SetRawWord(negative.RawWord());
  EXPECT_EQ(back.Places(), 1);
  EXPECT_EQ(back.Amount(), -15);
}

TEST(DecimalNumberTest, PlacesAreClamped) {
  DecimalNumber n;
  n.Set(3, 9);
  EXPECT_EQ(n.Places(), 7);
  EXPECT_EQ(n.Amount(), 30000000);
  n.Set(3, -1);
  EXPECT_EQ(n.Places(), 0);
  EXPECT_EQ(n.Amount(), 3);
}

TEST(DecimalNumberTest, ConstructionTruncatesDoubles) {
  EXPECT_EQ(Num(2.675, 2).Amount(), 267);  // 2.675 * 100 is just below 267.5 in binary
  EXPECT_EQ(Num(-1.239, 2).Amount(), -123);
  EXPECT_EQ(DecimalNumber(1.23456).Places(), 4);
  EXPECT_EQ(DecimalNumber(1.23456).Amount(), 12345);
  // With explicit places only the whole part is kept.
  DecimalNumber whole(2.7, 2);
  EXPECT_EQ(whole.Amount(), 200);
  EXPECT_EQ(DecimalNumber(int32_t{7}).Places(), 0);
}

TEST(DecimalNumberTest, ReadingBack) {
  DecimalNumber n = Num(-12.345, 3);
  EXPECT_DOUBLE_EQ(n.ToDouble(), -12.345);
  EXPECT_EQ(n.ToInt64(), -12);
  EXPECT_TRUE(n.IsNonZero());
  EXPECT_FALSE(n.IsZero());
  EXPECT_TRUE(n.EqualsFlag(1));
  EXPECT_TRUE(DecimalNumber().EqualsFlag(0));
  EXPECT_TRUE(DecimalNumber().IsZero());
}

TEST(DecimalNumberTest, AdditionKeepsTheLargerPlaces) {
  DecimalNumber a = Num(2.50, 2);
  a += Num(1.125, 3);
  EXPECT_EQ(a.Places(), 3);
  EXPECT_EQ(a.Amount(), 3625);
  a -= Num(0.5, 1);
  EXPECT_EQ(a.Amount(), 3125);
  EXPECT_EQ(a.Places(), 3);
}

TEST(DecimalNumberTest, MultiplicationTruncatesToThePlaces) {
  DecimalNumber a = Num(1.5, 1);
  a *= Num(1.5, 1);
  EXPECT_EQ(a.Amount(), 22);  // 2.25 cut to 2.2
  EXPECT_EQ(a.Places(), 1);
  DecimalNumber b = Num(-1.5, 1) * Num(1.5, 1);
  EXPECT_EQ(b.Amount(), -22);
  // Seven places on both sides: the intermediate product needs more than 64 bits.
  DecimalNumber big = Num(1000, 7) * Num(1000, 7);
  EXPECT_EQ(big.ToInt64(), 1000000);
  EXPECT_EQ(big.Places(), 7);
}

TEST(DecimalNumberTest, DoubleOperandsCountInWholeUnits) {
  DecimalNumber n = Num(2.25, 2);
  n += 1.9;
  EXPECT_EQ(n.Amount(), 325);
  n -= 1.0;
  EXPECT_EQ(n.Amount(), 225);
  n = n + 2.0;
  EXPECT_EQ(n.Amount(), 425);
  n *= 1.5;
  EXPECT_EQ(n.Places(), 4);
  EXPECT_EQ(n.Amount(), 63750);

  DecimalNumber negated = 0.0 - Num(1.25, 2);
  EXPECT_EQ(negated.Amount(), -125);
  EXPECT_EQ(negated.Places(), 2);
  EXPECT_EQ((10.0 - Num(1.25, 2)).Amount(), 875);
}

TEST(DecimalNumberTest, RescaleTruncatesDownAndIsExactUp) {
  DecimalNumber n = Num(-1.239, 3);
  n.Rescale(1);
  EXPECT_EQ(n.Amount(), -12);
  n.Rescale(4);
  EXPECT_EQ(n.Amount(), -12000);
  EXPECT_EQ(n.Places(), 4);
  n.Rescale(12);
  EXPECT_EQ(n.Places(), 7);
}

TEST(DecimalNumberTest, ComparisonIgnoresPlaces) {
  EXPECT_EQ(Num(1.5, 1), Num(1.50, 2));
  EXPECT_LT(Num(1.49, 2), Num(1.5, 1));
  EXPECT_GT(Num(-1.4, 1), Num(-1.41, 2));
  EXPECT_LE(Num(2, 0), Num(2, 5));
  EXPECT_NE(Num(0.1, 1), DecimalNumber());
  EXPECT_TRUE(Num(3.5, 1) > DecimalNumber(int32_t{3}));
  EXPECT_TRUE(DecimalNumber(int32_t{3}) < Num(3.5, 1));
  EXPECT_TRUE(DecimalNumber::MaxValue().IsMaxValue());
  EXPECT_GT(DecimalNumber::MaxValue(), Num(1e11, 0));
}

TEST(DecimalNumberTest, OverflowGivesNoValueInsteadOfWrapping) {
  DecimalNumber n;
  n.Set(int64_t{1} << 59, 7);
  EXPECT_TRUE(n.IsMaxValue());
  n.SetFromDouble(1e300, 2);
  EXPECT_TRUE(n.IsMaxValue());
  n.SetFromDouble(std::nan(""), 2);
  EXPECT_TRUE(n.IsMaxValue());

  DecimalNumber large;
  large.Set(int64_t{1} << 40, 0);
  large *= large;
  EXPECT_TRUE(large.IsMaxValue());
  DecimalNumber sum;
  sum.Set((int64_t{1} << 60) - 1, 0);
  sum += 1.0;
  EXPECT_TRUE(sum.IsMaxValue());
  DecimalNumber up;
  up.Set(int64_t{1} << 55, 0);
  up.Rescale(7);
  EXPECT_TRUE(up.IsMaxValue());
}

TEST(DecimalNumberTest, FormatCutsFractionDigits) {
  EXPECT_EQ(Num(1.2345, 4).Format(Decimals(2, true)), "1.23");
  EXPECT_EQ(Num(-1.239, 3).Format(Decimals(2, true)), "-1.23");
  DecimalNumber five;
  five.Set(5, 2);
  EXPECT_EQ(five.Format(Decimals(2, false)), "5.00");
  EXPECT_EQ(five.Format(Decimals(2, true)), "5");
  // More decimals asked than the number has: only its own places.
  EXPECT_EQ(Num(1.5, 1).Format(Decimals(4, false)), "1.5");
  EXPECT_EQ(Num(0.05, 2).Format(Decimals(2, true)), "0.05");
  EXPECT_EQ(Num(-0.5, 1).Format(DecimalFormat()), "-0.5");
}

TEST(DecimalNumberTest, FormatNeverShowsABareSignOrPoint) {
  // Places 0 with decimals on and no trimming: no dangling decimal point.
  EXPECT_EQ(DecimalNumber(int32_t{5}).Format(Decimals(2, false)), "5");
  // A negative value cut to zero is shown as zero.
  EXPECT_EQ(Num(-0.001, 3).Format(Decimals(2, false)), "0.00");
  EXPECT_EQ(Num(-0.001, 3).Format(Decimals(2, true)), "0");
}

TEST(DecimalNumberTest, FormatGroupsThousands) {
  DecimalFormat f;
  f.grouping = true;
  EXPECT_EQ(Num(1234567.5, 1).Format(f), "1,234,567.5");
  EXPECT_EQ(Num(123, 0).Format(f), "123");
  EXPECT_EQ(Num(123456, 0).Format(f), "123,456");
  EXPECT_EQ(Num(-1234, 2).Format(f), "-1,234");
  f.thousandsSeparator = "'";
  f.decimalPoint = ",";
  EXPECT_EQ(Num(9876543.21, 2).Format(f), "9'876'543,21");
}

TEST(DecimalNumberTest, FormatSignAndAffixPlacement) {
  DecimalFormat f = Decimals(2, false);
  f.affixOn = true;
  f.affix = " EUR";
  f.minusAfter = true;
  EXPECT_EQ(Num(-12.5, 2).Format(f), "12.50- EUR");
  f.affix = "$";
  f.affixBefore = true;
  f.minusAfter = false;
  EXPECT_EQ(Num(-12.5, 2).Format(f), "$-12.50");
  f.decimalsOn = false;
  EXPECT_EQ(Num(12.5, 2).Format(f), "$12");
}

TEST(DecimalNumberTest, ParseCutsExtraDigits) {
  DecimalNumber n = Parsed("1.239", Decimals(2, true));
  EXPECT_EQ(n.Amount(), 123);
  EXPECT_EQ(n.Places(), 2);
  n = Parsed("7", Decimals(2, true));
  EXPECT_EQ(n.Amount(), 700);
  n = Parsed("1.5", Decimals(3, true));
  EXPECT_EQ(n.Amount(), 1500);
  n = Parsed("abc", Decimals(2, true));
  EXPECT_EQ(n.Amount(), 0);
  n = Parsed("", Decimals(2, true));
  EXPECT_EQ(n.Amount(), 0);
  DecimalFormat noDecimals;
  noDecimals.decimalsOn = false;
  n = Parsed("12.99", noDecimals);
  EXPECT_EQ(n.Places(), 0);
  EXPECT_EQ(n.Amount(), 12);
}

TEST(DecimalNumberTest, ParseWithLocaleSeparatorsAndAffix) {
  DecimalFormat f = Decimals(2, true);
  f.decimalPoint = ",";
  DecimalNumber n = Parsed("-1 234,5", f);
  EXPECT_EQ(n.Amount(), -123450);
  EXPECT_EQ(n.Places(), 2);
  EXPECT_EQ(n.Format(Decimals(2, false)), "-1234.50");

  f.grouping = true;
  f.thousandsSeparator = ".";
  f.affixOn = true;
  f.affix = "EUR";
  n = Parsed("EUR 1.234.567,89-", f);
  EXPECT_EQ(n.Amount(), -123456789);
}

TEST(DecimalNumberTest, ParseRoundTripsFormat) {
  DecimalFormat f = Decimals(3, false);
  f.grouping = true;
  f.affixOn = true;
  f.affix = " kg";
  for (double d : {0.0, 1.5, -1234567.125, 999.999}) {
    DecimalNumber n = Num(d, 3);
    EXPECT_EQ(Parsed(n.Format(f).c_str(), f), n) << d;
  }
}

TEST(DecimalNumberTest, ParseOfHugeTextGivesNoValue) {
  EXPECT_TRUE(Parsed("99999999999999999999999999", Decimals(2, true)).IsMaxValue());
  EXPECT_TRUE(Parsed("2000000000000000000", Decimals(0, true)).IsMaxValue());
}

}  // namespace
