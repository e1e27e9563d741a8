#include "foundation/LengthText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <vector>

#include "foundation/UserPreferences.h"

namespace {

// Runs each test in one unit system and puts the preferences' unit back afterwards.
class LengthText : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = Preferences().unitSystem; }
  void TearDown() override {
    Preferences().unitSystem = saved_;
    std::copy(std::begin(separator_), std::end(separator_), Preferences().decimalSeparator);
  }

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
  char separator_[4] = {Preferences().decimalSeparator[0], Preferences().decimalSeparator[1],
                        Preferences().decimalSeparator[2], Preferences().decimalSeparator[3]};
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
  const struct {
    const char16_t* text;
    float inches;
  } cases[] = {
      {u"66", 66.0f},      {u"5' 6\"", 66.0f},    {u"5'", 60.0f},      {u"5.5", 5.5f},
      {u"5 1/2\" ", 5.5f}, {u"5 1 / 2", 5.5f},    {u"3/4\"", 0.75f},   {u"1' 6 5/64", 18.078125f},
      {u"1.5'", 18.0f},    {u" -3' 3\"", -39.0f}, {u"1 000", 1000.0f},  // blanks between digits are skipped
      {u"", 0.0f},         {u"'", 0.0f},  // a foot mark without a number counts for nothing
      {u"5' ' 6", 66.0f},
  };
  for (const auto& c : cases) {
    bool ok = false;
    EXPECT_FLOAT_EQ(Parse(kUnitImperial, c.text, &ok), c.inches * 25.4f) << Vcon::WString(c.text).Narrow();
    EXPECT_TRUE(ok);
  }
  // Malformed numbers are refused rather than misread.
  for (const char16_t* text : {u"1/3", u"1/0", u"1/128", u"1/", u"/2", u"5..5", u"1/2/4", u"1/2.5"}) {
    bool ok = true;
    EXPECT_EQ(Parse(kUnitImperial, text, &ok), 0.0f) << Vcon::WString(text).Narrow();
    EXPECT_FALSE(ok) << Vcon::WString(text).Narrow();
  }
  // Too many digits stay a finite length.
  EXPECT_TRUE(std::isfinite(Parse(kUnitImperial, std::u16string(400, u'9').c_str())));
}

// Every text FormatLength writes reads back as the length it shows: within the rounding of the
// unit shown, and formatted again it gives the same text.
TEST_F(LengthText, EveryFormattedLengthReadsBack) {
  const struct {
    uint32_t unit, flags;
    float rounding;  // largest distance, in millimetres, between a length and the one it shows
  } formats[] = {
      {kUnitMillimetres, 0, 0.5f},
      {kUnitCentimetres, 0, 5.0f},
      {kUnitImperial, 0, 13.4f},  // feet and whole inches, 12 mm added before truncating
      {kUnitImperial, kLengthInchesOnly, 12.7f},
      {kUnitImperial, kLengthInchesSixteenths, 25.4f / 32},
  };
  std::vector<float> lengths;
  for (float mm = -1300.0f; mm < 1300.0f; mm += 0.37f) lengths.push_back(mm);
  for (float mm = 1300.0f; mm < 200000.0f; mm += 971.3f) lengths.push_back(mm);
  for (const auto& f : formats) {
    int wrong = 0;
    for (const float mm : lengths) {
      const std::u16string text = Format(f.unit, mm, f.flags);
      bool ok = false;
      const float read = Parse(f.unit, text.c_str(), &ok);
      // Below a millimetre imperial texts drop the minus sign; beyond, floats add their own rounding.
      const float shown = f.unit == kUnitImperial && std::abs(mm) < 1.0f ? std::abs(mm) : mm;
      const float tolerance = f.rounding + std::abs(mm) * 1e-6f;
      const bool readsBack = ok && std::abs(read - shown) <= tolerance &&
                             (read == 0.0f || Format(f.unit, read, f.flags) == text);
      if (!readsBack && ++wrong <= 5)
        ADD_FAILURE() << "unit " << f.unit << " flags " << f.flags << ": " << mm << " shows \""
                      << Vcon::WString(text).Narrow() << "\" and reads back as " << read;
    }
  }
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

// The user's decimal separator reads as the decimal point, and a point still does; with "." set a
// comma stays what it was (the number ends there).
TEST_F(LengthText, ParseMetricWithTheUsersDecimalSeparator) {
  std::copy_n(",\0\0", 4, Preferences().decimalSeparator);
  EXPECT_FLOAT_EQ(Parse(kUnitCentimetres, u"300,5"), 3005.0f);
  EXPECT_FLOAT_EQ(Parse(kUnitCentimetres, u"300.5 cm"), 3005.0f);
  EXPECT_FLOAT_EQ(Parse(kUnitMillimetres, u"-12,25 mm"), -12.25f);
  std::copy_n(".\0\0", 4, Preferences().decimalSeparator);
  EXPECT_FLOAT_EQ(Parse(kUnitCentimetres, u"300.5"), 3005.0f);
  EXPECT_FLOAT_EQ(Parse(kUnitCentimetres, u"300,5"), 3000.0f);
}

}  // namespace
