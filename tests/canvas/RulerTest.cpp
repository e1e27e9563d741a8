// The plan rulers on their own: the spacing the unit setting gives, the zero point through the unit
// change, and how far scrolling may take them.
#include <gtest/gtest.h>

#include <memory>

#include "canvas/editor/zelvproHorisontalRuler.h"
#include "canvas/editor/zelvproVerticalRuler.h"
#include "foundation/UserPreferences.h"
#include "platform/HeadlessDriver.h"

namespace {

class RulerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    Preferences().unitSystem = kUnitMillimetres;
  }
  void TearDown() override { plat::HeadlessDriver::Reset(); }
};

TEST_F(RulerTest, SpacingIsAFootAndAnInchImperialAndAMetreAndTenCentimetresOtherwise) {
  struct Case {
    uint32_t units;
    float major, minor, zero;
  } cases[] = {
      {kUnitImperial, 304.8f, 25.4f, 2032.0f},
      {kUnitMillimetres, 1000.0f, 100.0f, 2000.0f},
      {kUnitCentimetres, 1000.0f, 100.0f, 2000.0f},
      {7, 1000.0f, 100.0f, 2000.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.units);
    Preferences().unitSystem = c.units;
    zelvproHorisontalRuler ruler(nullptr, plat::RECT{0, 0, 300, 19});
    EXPECT_EQ(RulerMajorSpacing(), c.major);
    EXPECT_EQ(RulerMinorSpacing(), c.minor);
    // Twelve inches make the foot exactly.
    EXPECT_FLOAT_EQ(RulerMinorSpacing() * (c.units == kUnitImperial ? 12.0f : 10.0f), RulerMajorSpacing());
    EXPECT_EQ(ruler.ZeroX(), c.zero);
    EXPECT_EQ(ruler.ZeroY(), c.zero);
  }
}

TEST_F(RulerTest, UnitChangeGivesTheNewSpacingAtOnceAndKeepsTheZeroPoint) {
  zelvproHorisontalRuler ruler(nullptr, plat::RECT{0, 0, 300, 19});
  ruler.SetZeroPoint(1234.5f, 678.0f);
  Preferences().unitSystem = kUnitImperial;
  EXPECT_EQ(RulerMajorSpacing(), 1000.0f);  // nothing changes until the rulers are told
  ruler.DoCommand(zelvproRuler::kUnitsChanged, 0);
  EXPECT_EQ(RulerMajorSpacing(), 304.8f);
  EXPECT_EQ(RulerMinorSpacing(), 25.4f);
  EXPECT_EQ(ruler.ZeroX(), 1234.5f);
  EXPECT_EQ(ruler.ZeroY(), 678.0f);
}

TEST_F(RulerTest, DesktopResetBringsTheMetricSpacingBack) {
  Preferences().unitSystem = kUnitImperial;
  SetRulerUnits();
  ASSERT_EQ(RulerMajorSpacing(), 304.8f);
  plat::HeadlessDriver::Reset();
  EXPECT_EQ(RulerMajorSpacing(), 1000.0f);
  EXPECT_EQ(RulerMinorSpacing(), 100.0f);
}

TEST_F(RulerTest, ScrollingStopsAtZeroAndOnePastTheRange) {
  struct Case {
    int32_t start, delta, expected;
  } cases[] = {
      {0, -5, 0}, {0, 200, 101}, {50, 51, 101}, {101, 1, 101}, {60, -70, 0}, {10, 20, 30},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.start << " + " << c.delta);
    zelvproHorisontalRuler horizontal(nullptr, plat::RECT{0, 0, 300, 19});
    zelvproVerticalRuler vertical(nullptr, plat::RECT{0, 0, 19, 300});
    horizontal.SetRange(100, 0);
    vertical.SetRange(0, 100);
    horizontal.SetPosition(c.start, 0);
    vertical.SetPosition(0, c.start);
    // The scroll bars' commands: 402 horizontal, 401 vertical.
    horizontal.DoCommand(zelvproRuler::kScrollHorizontally, c.delta);
    vertical.DoCommand(zelvproRuler::kScrollVertically, c.delta);
    EXPECT_EQ(horizontal.PositionX(), c.expected);
    EXPECT_EQ(vertical.PositionY(), c.expected);
    EXPECT_EQ(horizontal.PositionY(), 0);
    EXPECT_EQ(vertical.PositionX(), 0);
  }
}

}  // namespace
