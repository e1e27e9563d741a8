// The outline point index offers every kept point less than 0.5 mm away in x and z, whatever cells
// and hash buckets the two points fall in: checked against a plain scan on random points crowded
// around cell edges (both signs, far from the origin, past the clamped range), and for what it must
// not keep or offer.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <set>
#include <vector>

#include "room/OutlinePointIndex.h"

namespace {

using V = ppVector3;

std::set<int32_t> Offered(const OutlinePointIndex& index, const V& at) {
  std::set<int32_t> items;
  index.ForNear(at, [&](int32_t item) { EXPECT_TRUE(items.insert(item).second) << "offered twice"; });
  return items;
}

bool Near(const V& a, const V& b) {
  return std::fabs(double{a.x} - b.x) < 0.5 && std::fabs(double{a.z} - b.z) < 0.5;
}

TEST(OutlinePointIndexTest, OffersEveryPointLessThanHalfAMillimetreAway) {
  struct Case {
    const char* name;
    double origin;
  };
  const Case cases[] = {
      {"near the origin", 0.0}, {"negative", -5000.0}, {"far out", 2.0e6}, {"clamped", 3.0e9}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::mt19937 random(7);
    // Whole and half millimetres and a hair either side of them, so that pairs straddle cell edges.
    std::uniform_int_distribution<int> step(0, 40), hair(-2, 2);
    const auto coordinate = [&] {
      const double whole = c.origin + step(random) * 0.5;
      return float(whole + hair(random) * 0.01);
    };
    std::vector<V> points;
    OutlinePointIndex index;
    for (int32_t i = 0; i < 400; ++i) {
      points.emplace_back(coordinate(), 0.0f, coordinate());
      index.Add(points.back(), i);
    }
    index.Seal();
    for (int32_t q = 0; q < 400; ++q) {
      const V at(coordinate(), 0.0f, coordinate());
      const std::set<int32_t> offered = Offered(index, at);
      for (int32_t i = 0; i < int32_t(points.size()); ++i)
        if (Near(points[size_t(i)], at)) EXPECT_EQ(offered.count(i), 1u) << "point " << i << " missed";
    }
  }
}

TEST(OutlinePointIndexTest, KeepsNoPointThatIsNotFiniteAndOffersNothingUnsealed) {
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  OutlinePointIndex index;
  index.Add(V(1.0f, 0.0f, 1.0f), 1);
  EXPECT_TRUE(Offered(index, V(1.0f, 0.0f, 1.0f)).empty());  // asked before Seal
  index.Add(V(nan, 0.0f, 1.0f), 2);
  index.Add(V(1.0f, inf, 1.0f), 3);
  index.Seal();
  EXPECT_EQ(Offered(index, V(1.0f, 0.0f, 1.0f)), std::set<int32_t>{1});
  EXPECT_TRUE(Offered(index, V(nan, 0.0f, 1.0f)).empty());
  EXPECT_TRUE(Offered(index, V(1.0f, 0.0f, -inf)).empty());

  OutlinePointIndex empty;
  empty.Seal();
  EXPECT_TRUE(Offered(empty, V(0.0f, 0.0f, 0.0f)).empty());
}

}  // namespace
