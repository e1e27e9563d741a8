#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

#include "foundation/ppDouble.h"
#include "foundation/ppFloat.h"
#include "foundation/ppLong.h"

namespace {

constexpr int64_t kNoValue64 = 0x7FFFFFFFFFFFFFFF;
constexpr int32_t kLongMarker = std::numeric_limits<int32_t>::min();

TEST(NullableNumberTest, MarkersHaveTheirStoredBitPatterns) {
  EXPECT_EQ(std::bit_cast<uint32_t>(ppLong().Value()), 0x80000000u);
  EXPECT_EQ(std::bit_cast<uint32_t>(ppFloat().Value()), 0x4F000000u);
  EXPECT_EQ(std::bit_cast<uint64_t>(ppDouble().Value()), 0x43E0000000000000u);
  EXPECT_TRUE(ppLong().IsNull());
  EXPECT_TRUE(ppFloat().IsNull());
  EXPECT_TRUE(ppDouble().IsNull());
  // The marker is an ordinary number: storing it without a test gives a value-less long.
  EXPECT_TRUE(ppLong(kLongMarker).IsNull());
  EXPECT_FALSE(ppLong::Zero().IsNull());
  EXPECT_FALSE(ppFloat::Zero().IsNull());
  EXPECT_FALSE(ppDouble::Zero().IsNull());
}

TEST(NullableNumberTest, LongConversionsKeepNoValue) {
  EXPECT_EQ(ppLong::FromDouble(2.9999).Value(), 2);
  EXPECT_EQ(ppLong::FromDouble(-2.9999).Value(), -2);
  EXPECT_TRUE(ppLong::FromDouble(ppDouble::kNoValue).IsNull());
  EXPECT_EQ(ppLong::FromInt64(0x100000005).Value(), 5);  // the low 32 bits
  EXPECT_TRUE(ppLong::FromInt64(kNoValue64).IsNull());
  EXPECT_EQ(ppLong(-3).ToInt64(), -3);
  EXPECT_EQ(ppLong().ToInt64(), kNoValue64);
  EXPECT_EQ(ppLong(-3).ToDouble(), -3.0);
  EXPECT_EQ(ppLong().ToDouble(), ppDouble::kNoValue);
}

TEST(NullableNumberTest, DoublesThatNoLongHoldsBecomeNoValue) {
  EXPECT_TRUE(ppLong::FromDouble(3e9).IsNull());
  EXPECT_TRUE(ppLong::FromDouble(-3e9).IsNull());
  EXPECT_TRUE(ppLong::FromDouble(std::nan("")).IsNull());
  EXPECT_TRUE(ppLong::FromDouble(std::numeric_limits<double>::infinity()).IsNull());
  EXPECT_EQ(ppLong::FromDouble(2147483647.9).Value(), 2147483647);
  EXPECT_EQ(TruncateToInt32(-2147483648.9), kLongMarker);
  EXPECT_EQ(TruncateToInt64(-9223372036854775808.0), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(TruncateToInt64(9223372036854775808.0), kNoValue64);
  EXPECT_EQ(TruncateToInt64(std::nan("")), kNoValue64);
  EXPECT_EQ(TruncateToInt64(-1e19), kNoValue64);
}

TEST(NullableNumberTest, FloatConversionsKeepNoValue) {
  EXPECT_TRUE(ppFloat::FromDouble(ppDouble::kNoValue).IsNull());
  EXPECT_EQ(ppFloat::FromDouble(1.5).Value(), 1.5f);
  EXPECT_EQ(ppFloat::FromDouble(1e300).Value(), std::numeric_limits<float>::infinity());
  EXPECT_EQ(ppFloat::FromDouble(-1e300).Value(), -std::numeric_limits<float>::infinity());
  EXPECT_TRUE(ppFloat::FromInt64(kNoValue64).IsNull());
  EXPECT_EQ(ppFloat::FromInt64(-7).Value(), -7.0f);
  EXPECT_EQ(ppFloat(-7.9f).ToInt64(), -7);
  EXPECT_EQ(ppFloat().ToInt64(), kNoValue64);
  EXPECT_EQ(ppFloat().ToDouble(), ppDouble::kNoValue);
  EXPECT_EQ(ppFloat(0.25f).ToDouble(), 0.25);
}

TEST(NullableNumberTest, DoubleConversionsKeepNoValue) {
  EXPECT_TRUE(ppDouble::FromFloat(ppFloat::kNoValue).IsNull());
  EXPECT_EQ(ppDouble::FromFloat(0.5f).Value(), 0.5);
  EXPECT_TRUE(ppDouble::FromInt64(kNoValue64).IsNull());
  EXPECT_EQ(ppDouble::FromInt64(-12).Value(), -12.0);
  EXPECT_EQ(ppDouble(-12.7).ToInt64(), -12);
  EXPECT_EQ(ppDouble().ToInt64(), kNoValue64);
  EXPECT_EQ(ppDouble(1e30).ToInt64(), kNoValue64);
}

}  // namespace
