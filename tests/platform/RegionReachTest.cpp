// Regions of far-reaching and numerous figures: a slanted wall a kilometre long, hundreds of walls joined
// into one repaint area, and the exact results of ordinary polygons and combinations.
#include <gtest/gtest.h>

#include <time.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "platform/Gdi.h"
#include "platform/Region.h"

namespace plat {
namespace {

// Processor time of the calling thread, in milliseconds: what the work itself cost, whatever else the
// machine runs beside the tests.
struct Clock {
  using time_point = double;
  static double now() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) * 1e-6;
  }
};

double MillisecondsSince(Clock::time_point start) { return Clock::now() - start; }

// A wall of `width` pixels whose left edge runs from (x, y) to (x + run, y + rise).
std::vector<POINT> Wall(int32_t x, int32_t y, int32_t run, int32_t rise, int32_t width) {
  return {{x, y}, {x + width, y}, {x + run + width, y + rise}, {x + run, y + rise}};
}

// FNV-1a over every band: its rows and spans.
uint64_t Fingerprint(const Region& region, uint64_t hash = 1469598103934665603ull) {
  auto mix = [&](int32_t v) {
    for (int i = 0; i < 4; ++i) {
      hash ^= uint8_t(uint32_t(v) >> (8 * i));
      hash *= 1099511628211ull;
    }
  };
  for (const Region::Band& band : region.Bands()) {
    mix(band.top);
    mix(band.bottom);
    mix(int32_t(band.spans.size()));
    for (const Region::Span& span : band.spans) {
      mix(span.first);
      mix(span.second);
    }
  }
  mix(-1);
  return hash;
}

// A wall a kilometre long at a millimetre a pixel (lengths in powers of two keep the edge arithmetic exact),
// centred on the window, through a region handle as a wall's hit region is made: built fast, and exact
// wherever a window or page can show it.
TEST(RegionReach, KilometreWallBuildsFastAndHitsExactlyInView) {
  const std::vector<POINT> wall = Wall(-524'288, -524'288, 1'048'576, 1'048'576, 200);
  const Clock::time_point start = Clock::now();
  OwnedRegion region(CreatePolygonRgn(wall.data(), int32_t(wall.size()), WINDING));
  const double built = MillisecondsSince(start);
  ASSERT_TRUE(region);
  EXPECT_LT(built, 400.0);
  // Row y holds x from y to y + 200.
  for (int32_t y = -40'000; y <= 40'000; y += 997) {
    for (int32_t dx : {-1, 0, 1, 100, 199, 200, 201}) {
      EXPECT_EQ(PtInRegion(region.get(), y + dx, y) != 0, dx >= 0 && dx < 200) << y << " " << dx;
    }
  }
  RECT box;
  EXPECT_EQ(GetRgnBox(region.get(), &box), COMPLEXREGION);
  EXPECT_LE(box.bottom - box.top, 1 << 18);

  // The same through a path, steeper and outward from the origin.
  OwnedDc dc(CreateCompatibleDC(nullptr));
  ASSERT_TRUE(dc);
  const std::vector<POINT> steep = Wall(0, 0, 262'144, 1'048'576, 300);
  const Clock::time_point again = Clock::now();
  BeginPath(dc.get());
  Polygon(dc.get(), steep.data(), int32_t(steep.size()));
  EndPath(dc.get());
  OwnedRegion traced(PathToRegion(dc.get()));
  EXPECT_LT(MillisecondsSince(again), 400.0);
  ASSERT_TRUE(traced);
  // Row y holds x from ceil(y / 4) to ceil(y / 4) + 300.
  for (int32_t y = 0; y < 30'000; y += 499) {
    const int32_t left = (y + 3) / 4;
    EXPECT_FALSE(PtInRegion(traced.get(), left - 1, y)) << y;
    EXPECT_TRUE(PtInRegion(traced.get(), left, y)) << y;
    EXPECT_TRUE(PtInRegion(traced.get(), left + 299, y)) << y;
    EXPECT_FALSE(PtInRegion(traced.get(), left + 300, y)) << y;
  }
}

// Six hundred short walls joined one by one onto a growing region, as a repaint area gathers them: fast,
// and every pixel of the plan in the join exactly when it is in some wall.
TEST(RegionReach, SixHundredWallsJoinFastAndExactly) {
  std::mt19937 random(7);
  std::vector<Region> walls;
  for (int i = 0; i < 600; ++i) {
    const int32_t x = int32_t(random() % 1800), y = int32_t(random() % 1300);
    const int32_t run = int32_t(random() % 400) - 200, rise = int32_t(random() % 400) - 200;
    const std::vector<POINT> wall = Wall(x, y, run, rise, 4 + int32_t(random() % 12));
    walls.push_back(Region::FromPolygon(wall.data(), wall.size(), WINDING));
  }
  const Clock::time_point start = Clock::now();
  OwnedRegion joined(CreateRectRgn(0, 0, 0, 0));
  for (const Region& wall : walls) {
    OwnedRegion piece(CreateRectRgn(0, 0, 0, 0));
    // Through the handles, as views join their areas.
    const Region::BandList bands = wall.Bands();
    for (const Region::Band& band : bands)
      for (const Region::Span& span : band.spans) {
        OwnedRegion rect(CreateRectRgn(span.first, band.top, span.second, band.bottom));
        CombineRgn(piece.get(), piece.get(), rect.get(), RGN_OR);
      }
    CombineRgn(joined.get(), joined.get(), piece.get(), RGN_OR);
  }
  EXPECT_LT(MillisecondsSince(start), 2000.0);
  std::vector<RECT> boxes;
  for (const Region& wall : walls) boxes.push_back(wall.Box());
  for (int32_t y = -210; y < 1520; y += 7)
    for (int32_t x = -210; x < 2020; x += 3) {
      bool inSome = false;
      for (size_t i = 0; i < walls.size() && !inSome; ++i) {
        const RECT& b = boxes[i];
        inSome = x >= b.left && x < b.right && y >= b.top && y < b.bottom && walls[i].Contains(x, y);
      }
      ASSERT_EQ(PtInRegion(joined.get(), x, y) != 0, inSome) << x << " " << y;
    }
}

// Walls stacked far down a long plan, each on rows of its own, joined in a shuffled order.
TEST(RegionReach, ThousandsOfDisjointBandsJoinInLinearTime) {
  std::vector<int32_t> order(600);
  for (int32_t i = 0; i < 600; ++i) order[size_t(i)] = i;
  std::shuffle(order.begin(), order.end(), std::mt19937(3));
  const Clock::time_point start = Clock::now();
  Region joined;
  for (int32_t i : order) {
    const std::vector<POINT> wall = Wall(i % 50, i * 100 - 30'000, 90, 90, 10);
    joined.CombineWith(Region::FromPolygon(wall.data(), wall.size(), ALTERNATE), Region::Op::Or);
  }
  EXPECT_LT(MillisecondsSince(start), 2000.0);
  EXPECT_EQ(joined.Bands().size(), 600u * 90u);
  EXPECT_TRUE(joined.Contains(599 % 50 + 45, 599 * 100 - 30'000 + 45));
  EXPECT_FALSE(joined.Contains(599 % 50 + 44, 599 * 100 - 30'000 + 45));
  EXPECT_FALSE(joined.Contains(599 % 50 + 45, 599 * 100 - 30'000 + 95));
}

// Ordinary polygons by both fill rules and their combinations by every operation give the very bands
// they always gave (fingerprints taken before the row sweep and the band merge were reworked).
TEST(RegionReach, OrdinaryFiguresAndCombinationsKeepTheirBands) {
  std::mt19937 random(11);
  uint64_t polygons = 1469598103934665603ull, combined = polygons;
  Region previous;
  for (int i = 0; i < 300; ++i) {
    std::vector<POINT> points(3 + random() % 6);
    for (POINT& p : points) p = {int32_t(random() % 300) - 150, int32_t(random() % 300) - 150};
    const int32_t mode = i % 2 ? WINDING : ALTERNATE;
    const Region region = Region::FromPolygon(points.data(), points.size(), mode);
    polygons = Fingerprint(region, polygons);
    // Fractional corners as flattened curves carry them.
    std::vector<std::vector<PointF>> figures(1);
    for (const POINT& p : points) figures[0].push_back({p.x + 0.25 * (i % 4), p.y - 0.5 * (i % 3)});
    polygons = Fingerprint(Region::FromFigures(figures, mode), polygons);
    const RECT rows{0, -40, 0, 60};
    polygons = Fingerprint(Region::FromFigures(figures, mode, &rows), polygons);
    for (Region::Op op : {Region::Op::And, Region::Op::Or, Region::Op::Xor, Region::Op::Diff})
      combined = Fingerprint(Region::Combine(previous, region, op), combined);
    previous = Region::Combine(previous, region, i % 3 ? Region::Op::Xor : Region::Op::Or);
  }
  EXPECT_EQ(polygons, 1664300845270223075u);
  EXPECT_EQ(combined, 10855281035253910682u);
}

}  // namespace
}  // namespace plat
