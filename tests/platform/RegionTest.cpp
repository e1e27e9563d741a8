// Regions: polygons by both fill rules, ellipses, combination, offsets and the region handles.
#include "platform/Region.h"

#include <gtest/gtest.h>

#include "platform/Gdi.h"

namespace plat {
namespace {

int64_t Area(const Region& region) {
  int64_t area = 0;
  region.ForEachRect([&](int32_t top, int32_t bottom, int32_t x0, int32_t x1) {
    area += int64_t(bottom - top) * (x1 - x0);
  });
  return area;
}

TEST(RegionPolygon, SquareKeepsLeftAndTopEdgesAndLosesRightAndBottom) {
  const POINT square[4] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  OwnedRegion region(CreatePolygonRgn(square, 4, WINDING));
  RECT box;
  EXPECT_EQ(GetRgnBox(region.get(), &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{0, 0, 10, 10}));
  EXPECT_TRUE(PtInRegion(region.get(), 0, 0));
  EXPECT_TRUE(PtInRegion(region.get(), 9, 9));
  EXPECT_FALSE(PtInRegion(region.get(), 10, 10));
  EXPECT_FALSE(PtInRegion(region.get(), 10, 5));
  EXPECT_FALSE(PtInRegion(region.get(), -1, 5));
  // Listed the other way round it is the same region.
  const POINT reversed[4] = {{0, 10}, {10, 10}, {10, 0}, {0, 0}};
  OwnedRegion other(CreatePolygonRgn(reversed, 4, ALTERNATE));
  EXPECT_TRUE(EqualRgn(region.get(), other.get()));
}

TEST(RegionPolygon, FillRulesDifferOnOverlaps) {
  // One outline going twice round the same square: alternate leaves it empty, winding fills it.
  const POINT twice[8] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {10, 0}, {10, 10}, {0, 10}};
  EXPECT_TRUE(Region::FromPolygon(twice, 8, ALTERNATE).IsEmpty());
  EXPECT_EQ(Area(Region::FromPolygon(twice, 8, WINDING)), 100);
  // A five-pointed star: the centre is a hole only under the alternate rule.
  const POINT star[5] = {{50, 0}, {79, 90}, {2, 35}, {98, 35}, {21, 90}};
  Region alternate = Region::FromPolygon(star, 5, ALTERNATE);
  Region winding = Region::FromPolygon(star, 5, WINDING);
  EXPECT_FALSE(alternate.Contains(50, 50));
  EXPECT_TRUE(winding.Contains(50, 50));
  EXPECT_TRUE(alternate.Contains(50, 10));
  EXPECT_EQ(alternate.Box(), winding.Box());
  // Degenerate outlines make empty regions.
  EXPECT_TRUE(Region::FromPolygon(star, 2, WINDING).IsEmpty());
  EXPECT_TRUE(Region::FromPolygon(nullptr, 0, WINDING).IsEmpty());
  EXPECT_EQ(CreatePolygonRgn(star, 5, 99), nullptr);
}

TEST(RegionPolygon, EllipseIsSymmetricInsideItsBox) {
  Region ellipse = Region::FromEllipse(RECT{0, 0, 20, 10});
  EXPECT_EQ(ellipse.Box(), (RECT{0, 0, 20, 10}));
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x)
      EXPECT_EQ(ellipse.Contains(x, y), ellipse.Contains(19 - x, 9 - y)) << x << "," << y;
  EXPECT_FALSE(ellipse.Contains(0, 0));
  EXPECT_TRUE(ellipse.Contains(10, 5));
  EXPECT_TRUE(Region::FromEllipse(RECT{5, 5, 5, 9}).IsEmpty());
}

TEST(RegionCombine, SetOperationsKindsAndBoxes) {
  Region a(RECT{0, 0, 10, 10}), b(RECT{5, 5, 15, 15});
  Region both = Region::Combine(a, b, Region::Op::And);
  EXPECT_EQ(both, Region(RECT{5, 5, 10, 10}));
  EXPECT_EQ(both.Kind(), SIMPLEREGION);
  Region either = Region::Combine(a, b, Region::Op::Or);
  EXPECT_EQ(Area(either), 175);
  EXPECT_EQ(either.Kind(), COMPLEXREGION);
  EXPECT_EQ(either.Box(), (RECT{0, 0, 15, 15}));
  Region diff = Region::Combine(a, b, Region::Op::Diff);
  EXPECT_EQ(Area(diff), 75);
  EXPECT_FALSE(diff.Contains(7, 7));
  EXPECT_EQ(Area(Region::Combine(a, b, Region::Op::Xor)), 150);
  // Rectangles that touch merge back into one rectangle.
  Region left(RECT{0, 0, 5, 10}), right(RECT{5, 0, 10, 10}), top(RECT{0, 0, 10, 4}), rest(RECT{0, 4, 10, 10});
  EXPECT_EQ(Region::Combine(left, right, Region::Op::Or), a);
  EXPECT_EQ(Region::Combine(top, rest, Region::Op::Or), a);
  EXPECT_EQ(Region::Combine(a, a, Region::Op::Diff).Kind(), NULLREGION);
  EXPECT_EQ(Region().Box(), (RECT{}));
  EXPECT_TRUE(Region(RECT{3, 3, 3, 8}).IsEmpty());
  // Shrinking by a frame width leaves the inside.
  EXPECT_EQ(a.Eroded(2, 1), Region(RECT{2, 1, 8, 9}));
  EXPECT_TRUE(a.Intersects(RECT{9, 9, 20, 20}));
  EXPECT_FALSE(a.Intersects(RECT{10, 0, 20, 20}));
}

TEST(RegionCombine, HandlesCombineIntoTheDestinationAndOffset) {
  OwnedRegion dest(CreateRectRgn(0, 0, 0, 0));
  OwnedRegion a(CreateRectRgn(10, 10, 0, 0));  // corners in any order
  OwnedRegion b(CreateRectRgn(5, 0, 20, 10));
  EXPECT_EQ(CombineRgn(dest.get(), a.get(), b.get(), RGN_OR), SIMPLEREGION);
  RECT box;
  GetRgnBox(dest.get(), &box);
  EXPECT_EQ(box, (RECT{0, 0, 20, 10}));
  EXPECT_EQ(CombineRgn(dest.get(), a.get(), nullptr, RGN_COPY), SIMPLEREGION);
  EXPECT_EQ(CombineRgn(dest.get(), a.get(), nullptr, RGN_AND), RGN_ERROR);
  EXPECT_EQ(CombineRgn(dest.get(), dest.get(), b.get(), RGN_DIFF), SIMPLEREGION);
  GetRgnBox(dest.get(), &box);
  EXPECT_EQ(box, (RECT{0, 0, 5, 10}));
  EXPECT_EQ(OffsetRgn(dest.get(), 3, -2), SIMPLEREGION);
  GetRgnBox(dest.get(), &box);
  EXPECT_EQ(box, (RECT{3, -2, 8, 8}));
  RECT probe{7, 7, 9, 9};
  EXPECT_TRUE(RectInRegion(dest.get(), &probe));
  SetRectRgn(dest.get(), 0, 0, 1, 1);
  EXPECT_TRUE(PtInRegion(dest.get(), 0, 0));
  EXPECT_FALSE(PtInRegion(dest.get(), 1, 0));
  OwnedRegion ellipse(CreateEllipticRgn(0, 0, 10, 10));
  EXPECT_EQ(GetRgnBox(ellipse.get(), &box), COMPLEXREGION);
  // Offsets far beyond any device saturate instead of wrapping round.
  OffsetRgn(ellipse.get(), INT32_MAX, INT32_MIN);
  OffsetRgn(ellipse.get(), INT32_MAX, INT32_MIN);
  GetRgnBox(ellipse.get(), &box);
  EXPECT_GE(box.left, 0);
  EXPECT_LE(box.top, 0);
}

}  // namespace
}  // namespace plat
