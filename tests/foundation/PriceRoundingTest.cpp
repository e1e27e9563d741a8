#include "foundation/PriceRounding.h"

#include <gtest/gtest.h>

#include <limits>

#include "foundation/UserPreferences.h"
#include "foundation/iDocumentPriceSettings.h"

namespace {

// Raw money of n whole currency units.
constexpr int64_t U(int64_t n) { return n * 10000; }

int64_t Round(int64_t units, int64_t stepUnits, uint32_t mode) {
  return RoundPriceRaw(U(units), U(stepUnits), mode);
}

TEST(PriceRoundingRaw, MultiplesOfTheStep) {
  EXPECT_EQ(Round(1232, 5, kRound), U(1230));
  EXPECT_EQ(Round(1233, 5, kRound), U(1235));
  EXPECT_EQ(Round(1231, 5, kRoundUp), U(1235));
  EXPECT_EQ(Round(1235, 5, kRoundUp), U(1235));
  EXPECT_EQ(Round(1239, 5, kRoundDown), U(1235));
  // An exact half rounds up, also for a step that is not a whole number of units: 12.125 -> 12.25.
  EXPECT_EQ(RoundPriceRaw(121250, 2500, kRound), 122500);
  EXPECT_EQ(RoundPriceRaw(121249, 2500, kRound), 120000);
}

TEST(PriceRoundingRaw, RoundUpToPriceEndingInTheStep) {
  EXPECT_EQ(Round(1234, 95, kRoundUpTo), U(1295));
  EXPECT_EQ(Round(1296, 95, kRoundUpTo), U(1395));
  EXPECT_EQ(Round(1295, 95, kRoundUpTo), U(1295));
  EXPECT_EQ(Round(3, 95, kRoundUpTo), U(95));
}

TEST(PriceRoundingRaw, RoundToTakesTheNearestPriceEndingInTheStep) {
  EXPECT_EQ(Round(1234, 95, kRoundTo), U(1195));  // 39 below against 61 above
  EXPECT_EQ(Round(1250, 95, kRoundTo), U(1295));
  EXPECT_EQ(Round(1245, 95, kRoundTo), U(1295));  // a tie goes up
  EXPECT_EQ(Round(1350, 95, kRoundTo), U(1395));
  EXPECT_EQ(Round(1232, 5, kRoundTo), U(1235));
  EXPECT_EQ(Round(1240, 5, kRoundTo), U(1245));
  // Below the step the candidate under zero is left out.
  EXPECT_EQ(Round(3, 95, kRoundTo), U(95));
  EXPECT_EQ(Round(-1234, 95, kRoundTo), -U(1195));
}

TEST(PriceRoundingRaw, RoundDownToNeverGoesAboveTheAmount) {
  EXPECT_EQ(Round(1234, 95, kRoundDownTo), U(1195));
  EXPECT_EQ(Round(1296, 95, kRoundDownTo), U(1295));
  EXPECT_EQ(Round(1295, 95, kRoundDownTo), U(1295));
  EXPECT_EQ(Round(1232, 5, kRoundDownTo), U(1225));
  EXPECT_EQ(Round(-1234, 95, kRoundDownTo), -U(1195));
  // No price ending in the step lies at or below 50: the amount stays.
  EXPECT_EQ(Round(50, 95, kRoundDownTo), U(50));
  EXPECT_EQ(Round(-50, 95, kRoundDownTo), -U(50));
}

TEST(PriceRoundingRaw, NegativeAmountsRoundLikeTheirMagnitude) {
  EXPECT_EQ(Round(-1232, 5, kRound), -U(1230));
  EXPECT_EQ(Round(-1233, 5, kRound), -U(1235));
  EXPECT_EQ(Round(-1231, 5, kRoundUp), -U(1235));
  EXPECT_EQ(Round(-1239, 5, kRoundDown), -U(1235));
  EXPECT_EQ(Round(-1234, 95, kRoundUpTo), -U(1295));
}

TEST(PriceRoundingRaw, NothingToRound) {
  for (uint32_t mode = 0; mode <= 7; ++mode) {
    EXPECT_EQ(RoundPriceRaw(0, U(5), mode), 0) << mode;           // zero never becomes the step
    EXPECT_EQ(RoundPriceRaw(U(1232), 0, mode), U(1232)) << mode;  // no step, no division
    EXPECT_EQ(RoundPriceRaw(U(1232), -U(5), mode), U(1232)) << mode;
  }
  // A result beyond the 64-bit range leaves the amount as it was.
  const int64_t big = std::numeric_limits<int64_t>::max() - 1;
  EXPECT_EQ(RoundPriceRaw(big, U(5), kRoundUp), big);
  EXPECT_EQ(RoundPriceRaw(std::numeric_limits<int64_t>::min(), U(5), kRoundUp),
            std::numeric_limits<int64_t>::min());
}

// A document with price settings of its own.
class FakeDocument : public iDocumentPriceSettings {
 public:
  bool own = true;
  double exchange = 2.0;
  double profit = 1.5;
  uint32_t mode = kRound;
  int64_t step = U(10);
  bool HasOwnPriceSettings() const override { return own; }
  double ExchangeFactor() const override { return exchange; }
  double ProfitFactor() const override { return profit; }
  uint32_t RoundingMode() const override { return mode; }
  int64_t RoundingStepRaw() const override { return step; }
};

UserPreferences PreferencesWithFactors() {
  UserPreferences p;
  p.useFactors = 1;
  p.exchangeFactor = 1.1f;
  p.profitFactor = 2.0f;
  p.roundingMode = kRound;
  p.roundingStep = ppMoney::FromRaw(U(5));
  return p;
}

TEST(PriceFactors, PreferencesFactorsAndRounding) {
  UserPreferences p = PreferencesWithFactors();
  ppMoney a = ppMoney::FromRaw(U(616));
  ApplyPriceFactorAndRounding(a, false, p, nullptr);  // 1232 -> 1230
  EXPECT_EQ(a.Raw(), U(1230));

  // The exchange step applies its factor but rounds only with "Round each factor".
  ppMoney b = ppMoney::FromRaw(U(1000));
  ApplyPriceFactorAndRounding(b, true, p, nullptr);
  EXPECT_EQ(b.Raw(), U(1100));
  ppMoney c = ppMoney::FromRaw(U(1001));
  ApplyPriceFactorAndRounding(c, true, p, nullptr);
  EXPECT_EQ(c.Raw(), 11011000);  // 1101.10, unrounded
  p.roundEachFactor = 1;
  c = ppMoney::FromRaw(U(1001));
  ApplyPriceFactorAndRounding(c, true, p, nullptr);
  EXPECT_EQ(c.Raw(), U(1100));
}

TEST(PriceFactors, FactorOfOneKeepsEveryTenThousandth) {
  UserPreferences p = PreferencesWithFactors();
  p.profitFactor = 1.0f;
  p.roundingMode = kNoRounding;
  for (int64_t raw : {3, 6, 29, 12345678, 199900, 1234567891}) {
    ppMoney a = ppMoney::FromRaw(raw);
    ApplyPriceFactorAndRounding(a, false, p, nullptr);
    EXPECT_EQ(a.Raw(), raw);
  }
  // A float factor counts as the decimal the user typed: 1.1 x 100000000.00 is exact.
  p.profitFactor = 1.1f;
  ppMoney big = ppMoney::FromRaw(U(100000000));
  ApplyPriceFactorAndRounding(big, false, p, nullptr);
  EXPECT_EQ(big.Raw(), U(110000000));
}

TEST(PriceFactors, FactorsOffPassAmountsUnchanged) {
  UserPreferences p = PreferencesWithFactors();
  p.useFactors = 0;
  for (bool exchange : {false, true}) {
    ppMoney a = ppMoney::FromRaw(123456789);
    ApplyPriceFactorAndRounding(a, exchange, p, nullptr);
    EXPECT_EQ(a.Raw(), 123456789);
  }
  FakeDocument none;
  none.own = false;
  ppMoney a = ppMoney::FromRaw(123456789);
  ApplyPriceFactorAndRounding(a, false, p, &none);
  EXPECT_EQ(a.Raw(), 123456789);
}

TEST(PriceFactors, DocumentSettingsReplaceThePreferences) {
  UserPreferences p = PreferencesWithFactors();
  p.useFactors = 0;  // the document's settings apply regardless
  FakeDocument doc;
  ppMoney a = ppMoney::FromRaw(U(823));
  ApplyPriceFactorAndRounding(a, false, p, &doc);  // 1234.5 -> step 10 -> 1230
  EXPECT_EQ(a.Raw(), U(1230));
  ppMoney b = ppMoney::FromRaw(U(100));
  ApplyPriceFactorAndRounding(b, true, p, &doc);  // factor 2, no rounding in the exchange step
  EXPECT_EQ(b.Raw(), U(200));
  // The preferences' step still gates rounding, as stored files expect.
  p.roundingStep = ppMoney::FromRaw(0);
  ppMoney c = ppMoney::FromRaw(U(823));
  ApplyPriceFactorAndRounding(c, false, p, &doc);
  EXPECT_EQ(c.Raw(), 12345000);
  // A document step without value, or of zero, rounds nothing.
  p = PreferencesWithFactors();
  for (int64_t step : {ppMoney::kNoValue, int64_t{0}}) {
    doc.step = step;
    ppMoney d = ppMoney::FromRaw(U(1232));
    PriceRounding(d, false, p, &doc);
    EXPECT_EQ(d.Raw(), U(1232));
  }
}

TEST(PriceFactors, AmountsWithoutValueOrZeroStayAsTheyAre) {
  UserPreferences p = PreferencesWithFactors();
  p.roundingMode = kRoundUp;
  ppMoney none;
  ApplyPriceFactorAndRounding(none, false, p, nullptr);
  EXPECT_TRUE(none.IsNull());
  ppMoney zero = ppMoney::FromRaw(0);
  ApplyPriceFactorAndRounding(zero, false, p, nullptr);
  EXPECT_EQ(zero.Raw(), 0);
  // A factor that is not a number gives no value rather than a random price.
  p.profitFactor = std::numeric_limits<float>::quiet_NaN();
  ppMoney a = ppMoney::FromRaw(U(5));
  ApplyPriceFactorAndRounding(a, false, p, nullptr);
  EXPECT_TRUE(a.IsNull());
}

TEST(PriceFactors, ProcessWideEntryUsesRegisteredDocument) {
  UserPreferences saved = Preferences();
  Preferences() = PreferencesWithFactors();
  FakeDocument doc;
  SetCurrentDocumentPriceSettings(&doc);
  ppMoney a = ppMoney::FromRaw(U(823));
  ApplyPriceFactorAndRounding(a, false);
  EXPECT_EQ(a.Raw(), U(1230));
  SetCurrentDocumentPriceSettings(nullptr);
  ppMoney b = ppMoney::FromRaw(U(1232));
  PriceRounding(b, false);
  EXPECT_EQ(b.Raw(), U(1230));
  Preferences() = saved;
}

}  // namespace
