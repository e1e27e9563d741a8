#include <gtest/gtest.h>

#include "foundation/DateTimeMs.h"

namespace {

int64_t Day(int32_t d, int32_t m, int32_t y) { return DateTimeMs(d, m, y).Days(); }

TEST(DateTimeTest, KnownDayNumbers) {
  EXPECT_EQ(Day(1, 1, 1), 1);
  EXPECT_EQ(Day(31, 12, 1), 365);
  EXPECT_EQ(Day(1, 1, 2000), 730120);
  EXPECT_EQ(DateTimeMs(1, 1, 2000).Value(), int64_t{730120} * 86400000);
  EXPECT_EQ(Day(31, 12, 1999) + 1, Day(1, 1, 2000));
}

TEST(DateTimeTest, LeapYearsFollowTheGregorianRules) {
  EXPECT_EQ(Day(29, 2, 2000) + 1, Day(1, 3, 2000));  // divisible by 400: leap
  EXPECT_EQ(Day(28, 2, 2000) + 1, Day(29, 2, 2000));
  EXPECT_EQ(Day(29, 2, 2024) + 1, Day(1, 3, 2024));
  EXPECT_EQ(Day(28, 2, 1900) + 1, Day(1, 3, 1900));  // divisible by 100 only: common
  EXPECT_EQ(Day(29, 2, 1900), Day(1, 3, 1900));
  EXPECT_EQ(Day(1, 1, 2001) - Day(1, 1, 2000), 366);
  EXPECT_EQ(Day(1, 1, 2101) - Day(1, 1, 2100), 365);
}

TEST(DateTimeTest, OutOfRangeFieldsCarry) {
  EXPECT_EQ(Day(32, 1, 2020), Day(1, 2, 2020));
  EXPECT_EQ(Day(0, 3, 2021), Day(28, 2, 2021));
  // Month 0 is December of the year before, as the typed value's "year n" relies on.
  EXPECT_EQ(Day(0, 0, 2000), Day(30, 11, 1999));
  // Extreme arguments compute without overflow traps.
  EXPECT_NO_FATAL_FAILURE(DateTimeMs(INT32_MAX, INT32_MAX, INT32_MAX));
  EXPECT_NO_FATAL_FAILURE(DateTimeMs(INT32_MIN, INT32_MIN, INT32_MIN));
}

TEST(DateTimeTest, DaysTruncateTowardZero) {
  int64_t midnight = DateTimeMs(1, 1, 2000).Value();
  DateTimeMs before(static_cast<uint32_t>(midnight - 1), static_cast<uint32_t>((midnight - 1) >> 32));
  EXPECT_EQ(before.Days(), 730119);
  EXPECT_DOUBLE_EQ(DateTimeMs(12 * 3600 * 1000).ToDays(), 0.5);

  // Before year 1 the day numbers are negative and truncate toward zero, not down.
  EXPECT_EQ(Day(31, 12, 0), 0);
  EXPECT_EQ(Day(30, 12, 0), -1);
  EXPECT_EQ(DateTimeMs(-1).Days(), 0);
  EXPECT_EQ(DateTimeMs(-86400001).Days(), -1);
  EXPECT_DOUBLE_EQ(DateTimeMs(-43200000).ToDays(), -0.5);
}

TEST(DateTimeTest, WordsAreLowFirstAndSignExtended) {
  DateTimeMs small(-2);
  EXPECT_EQ(small.Value(), -2);
  EXPECT_EQ(small.Low(), 0xFFFFFFFEu);
  EXPECT_EQ(small.High(), 0xFFFFFFFFu);
  DateTimeMs date(1, 1, 2000);
  DateTimeMs copy(date.Low(), date.High());
  EXPECT_EQ(copy.Value(), date.Value());
}

}  // namespace
