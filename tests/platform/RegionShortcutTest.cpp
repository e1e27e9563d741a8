// Regions combined by their shortcuts (rectangles, empty sides, in-place joins, rectangle clips) give
// the very bands of the general band merge, and both give the pixels of a plain pixel-by-pixel
// reckoning, on many random regions crowded into a small field so that edges often meet and touch.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "platform/Region.h"

namespace plat {
namespace {

constexpr int32_t kField = 24;  // pixels; regions lie in [-2, kField + 2) each way

using Op = Region::Op;
constexpr Op kOps[] = {Op::And, Op::Or, Op::Xor, Op::Diff};

struct ExpectedBand {
  int32_t top, bottom;
  std::vector<Region::Span> spans;
};

// The bands a region of these pixels must have: every row's runs, rows alike and touching joined.
std::vector<ExpectedBand> BandsOfPixels(const std::vector<std::vector<bool>>& inside) {
  std::vector<ExpectedBand> bands;
  for (size_t row = 0; row < inside.size(); ++row) {
    std::vector<Region::Span> spans;
    const std::vector<bool>& pixels = inside[row];
    for (size_t x = 0; x < pixels.size(); ++x) {
      if (!pixels[x]) continue;
      const int32_t px = int32_t(x) - 4;
      if (!spans.empty() && spans.back().second == px)
        ++spans.back().second;
      else
        spans.push_back({px, px + 1});
    }
    const int32_t y = int32_t(row) - 4;
    if (spans.empty()) continue;
    if (!bands.empty() && bands.back().bottom == y && bands.back().spans == spans)
      ++bands.back().bottom;
    else
      bands.push_back({y, y + 1, spans});
  }
  return bands;
}

bool Keeps(Op op, bool a, bool b) {
  switch (op) {
    case Op::And:
      return a && b;
    case Op::Or:
      return a || b;
    case Op::Xor:
      return a != b;
    case Op::Diff:
      return a && !b;
  }
  return false;
}

// The pixels of `op` over two regions, one by one, in the field with a margin of 4.
std::vector<ExpectedBand> Reckoned(const Region& a, const Region& b, Op op) {
  std::vector<std::vector<bool>> inside(kField + 8, std::vector<bool>(kField + 8));
  for (int32_t y = -4; y < kField + 4; ++y)
    for (int32_t x = -4; x < kField + 4; ++x)
      inside[size_t(y + 4)][size_t(x + 4)] = Keeps(op, a.Contains(x, y), b.Contains(x, y));
  return BandsOfPixels(inside);
}

void ExpectBands(const Region& region, const std::vector<ExpectedBand>& expected, const char* what) {
  ASSERT_EQ(region.Bands().size(), expected.size()) << what;
  size_t i = 0;
  for (const Region::Band& band : region.Bands()) {
    const ExpectedBand& e = expected[i++];
    EXPECT_EQ(band.top, e.top) << what;
    EXPECT_EQ(band.bottom, e.bottom) << what;
    EXPECT_TRUE(std::equal(band.spans.begin(), band.spans.end(), e.spans.begin(), e.spans.end())) << what;
  }
}

RECT RandomRect(std::mt19937& random) {
  auto coordinate = [&] { return int32_t(random() % (kField + 4)) - 2; };
  const int32_t x0 = coordinate(), x1 = coordinate(), y0 = coordinate(), y1 = coordinate();
  return {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
}

// Empty, a rectangle, or a few rectangles joined, cut and crossed: from one to dozens of bands.
Region RandomRegion(std::mt19937& random) {
  const uint32_t pieces = random() % 9;
  Region region = pieces ? Region(RandomRect(random)) : Region();
  for (uint32_t i = 1; i < pieces; ++i)
    region = Region::CombineByBands(region, Region(RandomRect(random)), kOps[1 + random() % 3]);
  return region;
}

TEST(RegionShortcuts, EveryOperationMatchesTheBandMergeAndThePixels) {
  std::mt19937 random(2026);
  int complexPairs = 0;
  for (int round = 0; round < 2000; ++round) {
    const Region a = RandomRegion(random), b = RandomRegion(random);
    complexPairs += a.Kind() == COMPLEXREGION && b.Kind() == COMPLEXREGION;
    for (Op op : kOps) {
      const Region merged = Region::CombineByBands(a, b, op);
      ExpectBands(merged, Reckoned(a, b, op), "band merge");
      EXPECT_EQ(Region::Combine(a, b, op), merged);
      Region inPlace = a;
      inPlace.CombineWith(b, op);
      ASSERT_EQ(inPlace, merged) << "round " << round << " op " << int(op);
      Region self = a;
      self.CombineWith(self, op);
      EXPECT_EQ(self, Region::CombineByBands(a, a, op));
    }
    const RECT rect = RandomRect(random);
    const Region clipped = a.ClippedTo(rect);
    ASSERT_EQ(clipped, Region::CombineByBands(a, Region(rect), Op::And)) << "round " << round;
    EXPECT_EQ(a.Intersects(rect), !clipped.IsEmpty());
  }
  EXPECT_GT(complexPairs, 700);  // most rounds meet bands of more than one rectangle on both sides
}

TEST(RegionShortcuts, ManyBandsJoinedPieceByPieceInPlace) {
  // A growing region (its bands well past what it holds without the heap) joined with pieces above,
  // inside and below it, as views gather a repaint area; checked after every join.
  std::mt19937 random(99);
  for (int trial = 0; trial < 40; ++trial) {
    Region grown, reference;
    for (int piece = 0; piece < 30; ++piece) {
      const Region more = RandomRegion(random);
      const Op op = kOps[1 + random() % 3];
      const Region before = grown;
      grown.CombineWith(more, op);
      reference = Region::CombineByBands(reference, more, op);
      ASSERT_EQ(grown, reference) << trial << " " << piece;
      ExpectBands(grown, Reckoned(before, more, op), "joined");
    }
  }
}

TEST(RegionShortcuts, CopiesMovesAndOffsetsKeepEveryBand) {
  std::mt19937 random(5);
  for (int round = 0; round < 500; ++round) {
    const Region original = RandomRegion(random);
    Region copy = original;
    EXPECT_EQ(copy, original);
    Region small(RECT{1, 1, 2, 2});
    small = copy;  // a region without the heap takes one that may have it
    EXPECT_EQ(small, original);
    Region moved(RECT{100, 100, 200, 300});  // holds other bands until it takes the original's
    moved = std::move(copy);
    EXPECT_EQ(moved, original);
    copy = RandomRegion(random);  // a moved-from region is usable again
    std::vector<Region> kept(1, Region(RECT{-50, -50, -40, -40}));
    kept.push_back(std::move(moved));  // moved again as the vector grows
    kept.push_back(kept[0]);
    moved = std::move(kept[1]);
    EXPECT_EQ(moved, original);
    moved.Offset(7, -3);
    moved.Offset(-7, 3);
    EXPECT_EQ(moved, original);
    // A region offset against the coordinate limit loses the part that cannot move, as before.
    Region pressed = original;
    pressed.Offset(INT32_MAX, 0);
    EXPECT_TRUE(pressed.IsEmpty());
  }
}

}  // namespace
}  // namespace plat
