#include "foundation/LengthText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "foundation/UserPreferences.h"

namespace {

// Runs each test in one unit system and puts the preferences' unit back afterwards.
class LengthText : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = Preferences().unitSystem; }
  void TearDown() override { Preferences().unitSystem = saved_; }

  std::u16string Format(uint32_t unit, float mm, uint32_t flags = 0) {
    Preferences().unitSystem = unit;
    Vcon::WString out = u"stale";
    FormatLength(mm, out, flags);
    return out;
  }
  float Parse(uint32_t unit, const char16_t* text, bool* ok = nullptr) {
    Preferences().unitSystem = unit;
    float mm = -1.0f;
    bool read = ParseLength(mm, Vcon::WString(text));
    if (ok != nullptr) *ok = read;
    return mm;
  }

  uint32_t saved_ = kUnitMillimetres;
};

TEST_F(LengthText, FeetAndInches) {
  EXPECT_EQ(Format(kUnitImperial, 1000.0f), u"3' 3\"");
  EXPECT_EQ(Format(kUnitImperial, -1000.0f), u"-3' 3\"");
  EXPECT_EQ(Format(kUnitImperial, 304.8f), u"1' ");
  EXPECT_EQ(Format(kUnitImperial, 25.4f), u"1\"");
  EXPECT_EQ(Format(kUnitImperial, 1676.4f), u"5' 6\"");
  // Nothing to show, and no lonely minus sign below a millimetre.
  EXPECT_EQ(Format(kUnitImperial, 0.0f), u"");
  EXPECT_EQ(Format(kUnitImperial, -0.4f), u"");
  EXPECT_EQ(Format(kUnitImperial, -0.4f, kLengthInchesOnly), u"0\"");
}

TEST_F(LengthText, InchesAndSixteenths) {
  EXPECT_EQ(Format(kUnitImperial, 139.7f, kLengthInchesSixteenths), u"5 1/2\" ");
  EXPECT_EQ(Format(kUnitImperial, 25.4f, kLengthInchesSixteenths), u"1\" ");
  EXPECT_EQ(Format(kUnitImperial, 19.05f, kLengthInchesSixteenths), u"3/4\" ");
  EXPECT_EQ(Format(kUnitImperial, 1.5875f, kLengthInchesSixteenths), u"1/16\" ");
  EXPECT_EQ(Format(kUnitImperial, 26.9875f, kLengthInchesSixteenths), u"1 1/16\" ");
  EXPECT_EQ(Format(kUnitImperial, 0.1f, kLengthInchesSixteenths), u"");
  // Inches only, to the nearest inch.
  EXPECT_EQ(Format(kUnitImperial, 1000.0f, kLengthInchesOnly), u"39\"");
  EXPECT_EQ(Format(kUnitImperial, 38.2f, kLengthInchesOnly), u"2\"");
}

TEST_F(LengthText, MetricRoundsToTheUnitShown) {
  EXPECT_EQ(Format(kUnitMillimetres, 1000.4f), u"1000 mm");
  EXPECT_EQ(Format(kUnitMillimetres, 1000.5f), u"1001 mm");
  EXPECT_EQ(Format(kUnitMillimetres, 0.0f), u"0 mm");
  EXPECT_EQ(Format(kUnitMillimetres, 1234567.0f), u"1234567 mm");  // no grouping
  EXPECT_EQ(Format(kUnitCentimetres, 123.0f), u"12 cm");
  EXPECT_EQ(Format(kUnitCentimetres, 125.0f), u"13 cm");
  // An unknown unit system counts as millimetres.
  EXPECT_EQ(Format(7, 12.0f), u"12 mm");
}

TEST_F(LengthText, NegativeAndUnusualLengths) {
  // Negative lengths round to the nearest like positive ones.
  EXPECT_EQ(Format(kUnitMillimetres, -5.3f), u"-5 mm");
  EXPECT_EQ(Format(kUnitMillimetres, -5.5f), u"-6 mm");
  EXPECT_EQ(Format(kUnitMillimetres, -0.4f), u"0 mm");
  EXPECT_EQ(Format(kUnitCentimetres, -123.0f), u"-12 cm");
  // Lengths that are not numbers or beyond any plan give a text and nothing worse.
  EXPECT_EQ(Format(kUnitMillimetres, std::numeric_limits<float>::quiet_NaN()), u"0 mm");
  EXPECT_EQ(Format(kUnitImperial, std::numeric_limits<float>::infinity()), u"");
  EXPECT_FALSE(Format(kUnitImperial, std::numeric_limits<float>::max()).empty());
  EXPECT_FALSE(Format(kUnitMillimetres, -std::numeric_limits<float>::max()).empty());
}

TEST_F(LengthText, ParseImperial) {
  EXPECT_FLOAT_EQ(Parse(kUnitImperial, u"66"), 1676.4f);
  EXPECT_FLOAT_EQ(Parse(kUnitImperial, u"5' 6\""), 1676.4f);
  EXPECT_FLOAT_EQ(Parse(kUnitImperial, u"5'"), 1524.0f);
  EXPECT_FLOAT_EQ(Parse(kUnitImperial, u"5.5"), 55 * 25.4f);  // the point is skipped
  EXPECT_FLOAT_EQ(Parse(kUnitImperial, u""), 0.0f);
  // A foot mark without digits before it counts for nothing.
  EXPECT_FLOAT_EQ(Parse(kUnitImperial, u"'"), 0.0f);
  EXPECT_FLOAT_EQ(Parse(kUnitImperial, u"5' ' 6"), 1676.4f);
  // Too many digits stay a finite length.
  EXPECT_TRUE(std::isfinite(Parse(kUnitImperial, std::u16string(400, u'9').c_str())));
}

TEST_F(LengthText, ParseMetric) {
  EXPECT_FLOAT_EQ(Parse(kUnitCentimetres, u"12"), 120.0f);
  EXPECT_FLOAT_EQ(Parse(kUnitMillimetres, u"12.5"), 12.5f);
  EXPECT_FLOAT_EQ(Parse(kUnitMillimetres, u"-40"), -40.0f);
  bool ok = false;
  EXPECT_FLOAT_EQ(Parse(kUnitMillimetres, u"", &ok), 0.0f);
  EXPECT_TRUE(ok);
  // A text without a number gives 0 and says so, instead of a marker value as a length.
  EXPECT_FLOAT_EQ(Parse(kUnitMillimetres, u"abc", &ok), 0.0f);
  EXPECT_FALSE(ok);
  EXPECT_FLOAT_EQ(Parse(kUnitCentimetres, u"nan", &ok), 0.0f);
  EXPECT_FALSE(ok);
}

}  // namespace
