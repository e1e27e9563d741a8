// The demo kitchen's "Island set 120 cm" in the price list, over the built demo catalogue: the set
// is sold at its own price, and its two base units, which stand in the plan as its parts, add no
// second price for the same cabinets.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "DemoCalculationTest.h"

namespace {

using DemoSetPriceTest = demotest::DemoCalculationTest;
using Calc = zelvproCalculatorFil;

TEST_F(DemoSetPriceTest, TheIslandSetIsPricedOnceByItsOwnLine) {
  const int32_t set = UnitId("VH-GRP"), base = UnitId("VH-B60");
  ASSERT_NE(set, 0);
  ASSERT_NE(base, 0);
  zelvproTopViewElement& island = Place("GRP");
  // The set still stands in the plan as its two base units.
  int32_t parts = 0;
  const ppViewList& children = island.Subviews();
  for (int32_t i = 0; i < children.Count(); ++i) {
    auto* part = dynamic_cast<zelvproTopViewElement*>(children.At(i));
    if (part != nullptr && part->GetUnitRecordId() == base) ++parts;
  }
  EXPECT_EQ(parts, 2);
  using Line = std::tuple<int32_t, int32_t, double>;
  EXPECT_EQ(Built(),
            (std::vector<Line>{{Calc::kCalculationItem, set, 3390.0}, {Calc::kTotalLine, 0, 3390.0}}));

  // A base unit 60 cm of its own, next to the set, keeps its own line and price.
  Place("B60");
  EXPECT_EQ(Built(), (std::vector<Line>{{Calc::kCalculationItem, base, 1695.0},
                                        {Calc::kCalculationItem, set, 3390.0},
                                        {Calc::kTotalLine, 0, 5085.0}}));
}

}  // namespace
