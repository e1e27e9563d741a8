// A thin line drawn from either end covers the same pixels between its ends, in every octant and
// where its minor steps fall exactly halfway.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <utility>

#include "platform/Raster.h"
#include "tests/platform/RasterTest.h"

namespace plat {
namespace {

using Pixels = std::set<std::pair<int32_t, int32_t>>;

Pixels Drawn(POINT a, POINT b) {
  testing::Canvas c(40, 40);
  MoveToEx(c.dc, a.x, a.y, nullptr);
  LineTo(c.dc, b.x, b.y);
  Pixels inked;
  for (int32_t y = 0; y < 40; ++y)
    for (int32_t x = 0; x < 40; ++x)
      if (c.At(x, y) != 0xFFFFFF) inked.insert({x, y});
  return inked;
}

TEST(RasterLineDirection, ALineAndItsReverseCoverTheSameInnerPixels) {
  const POINT centre{20, 20};
  // Ends around the centre: every octant, the axes and diagonals, and slopes 1/4, 1/2, 3/4 and 2/3
  // whose minor steps tie.
  const POINT offsets[] = {{12, 0},   {12, 3},   {12, 6},  {12, 9},  {12, 12}, {9, 12},  {6, 12},
                           {3, 12},   {0, 12},   {-3, 12}, {-6, 12}, {-12, 9}, {-12, 3}, {-12, 0},
                           {-12, -6}, {-9, -12}, {0, -12}, {6, -12}, {12, -3}, {4, 1},   {2, 1},
                           {4, 3},    {3, 2},    {-4, 1},  {1, -2},  {-2, -3}, {12, 1},  {12, 11}};
  for (const POINT& d : offsets) {
    const POINT far{centre.x + d.x, centre.y + d.y};
    Pixels forward = Drawn(centre, far), backward = Drawn(far, centre);
    // Each leaves out its own last pixel: take both ends out of both.
    for (Pixels* line : {&forward, &backward}) {
      line->erase({centre.x, centre.y});
      line->erase({far.x, far.y});
    }
    EXPECT_EQ(forward, backward) << d.x << "," << d.y;
    const int32_t steps = std::max(std::abs(d.x), std::abs(d.y));
    EXPECT_EQ(forward.size(), size_t(steps - 1)) << d.x << "," << d.y;  // one pixel per inner step
  }
}

TEST(RasterLineDirection, LinePixelsStepsMatchFromEitherEnd) {
  const RECT all{-1000, -1000, 1000, 1000};
  for (int32_t dx = -7; dx <= 7; ++dx) {
    for (int32_t dy = -7; dy <= 7; ++dy) {
      if (dx == 0 && dy == 0) continue;
      const POINT a{3, -2}, b{3 + dx, -2 + dy};
      Pixels forward, backward;
      const int64_t steps = LinePixels(a, b, all, [&](int64_t, POINT p) { forward.insert({p.x, p.y}); });
      EXPECT_EQ(LinePixels(b, a, all, [&](int64_t, POINT p) { backward.insert({p.x, p.y}); }), steps);
      forward.erase({a.x, a.y});
      backward.erase({b.x, b.y});
      EXPECT_EQ(forward, backward) << dx << "," << dy;
    }
  }
}

}  // namespace
}  // namespace plat
