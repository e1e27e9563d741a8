// Kept hit regions: a wall's region and bounds are built once and built again only when the wall's
// ends, thickness or the plan's pixel mapping change; the cache itself rebuilds exactly on a new key.
#include <gtest/gtest.h>

#include <memory>

#include "elements/base/zelvproLayerPalette.h"
#include "framework/ppRegion.h"
#include "room/HitRegionCache.h"
#include "room/RoomTestSupport.h"
#include "room/qxRoomSegment.h"

namespace {

using V = ppVector3;

class HitRegionCacheTest : public roomtest::RoomTest {};

TEST_F(HitRegionCacheTest, ARegionIsBuiltAgainOnlyForANewKey) {
  HitRegionCache cache;
  EXPECT_FALSE(cache.Contains(5, 5));  // nothing built yet
  int built = 0;
  const auto square = [&](ppRegion& r) { ++built, r.Union(ppRegion(plat::RECT{0, 0, 10, 10})); };
  const int a = 1, b = 2;
  const char tail1[] = "outline", tail2[] = "outlinf";
  struct Step {
    const void* head;
    const char* tail;
    int builds;
  };
  const Step steps[] = {{&a, nullptr, 1}, {&a, nullptr, 1}, {&b, nullptr, 2}, {&b, tail1, 3},
                        {&b, tail1, 3},   {&b, tail2, 4},   {&b, nullptr, 5}};
  for (const Step& s : steps) {
    cache.Get(s.head, sizeof(int), s.tail, s.tail != nullptr ? sizeof tail1 : 0, square);
    EXPECT_EQ(cache.Builds(), s.builds);
  }
  EXPECT_EQ(built, 5);
  EXPECT_TRUE(cache.Contains(5, 5));
  EXPECT_FALSE(cache.Contains(10, 5));  // bounds end before right and bottom, as the region's do
  EXPECT_FALSE(cache.Contains(-1, 5));
}

TEST_F(HitRegionCacheTest, AWallsHitRegionFollowsItsEndsItsThicknessAndThePlanScale) {
  host_.palette->SetScale(10.0);  // 10 mm a pixel
  // 150 mm thick: the hit outline reaches 105 mm (10 pixels) to either side of the centre line.
  qxRoomSegment* wall = MakeSegment(V(1000, 0, 1000), V(5000, 0, 1000));
  struct Step {
    const char* change;
    int32_t x, y;
    bool inside;
  };
  const auto check = [&](const Step& s) {
    SCOPED_TRACE(s.change);
    EXPECT_EQ(wall->ContainsPoint(s.x, s.y), s.inside) << s.x << ", " << s.y;
    EXPECT_EQ(wall->GetFrameRegion()->Contains(s.x, s.y), s.inside) << s.x << ", " << s.y;
  };
  check({"first", 300, 100, true});
  check({"first", 300, 140, false});
  wall->SetEnds(V(1000, 0, 1400), V(5000, 0, 1400));
  check({"moved", 300, 140, true});
  check({"moved", 300, 100, false});
  wall->SetThickness(1000.0f);  // 700 mm to either side now
  check({"thicker", 300, 200, true});
  check({"thicker", 300, 220, false});
  host_.palette->SetScale(20.0);  // the wall now runs at pixel y 70 from x 50 to 250
  check({"scaled", 150, 70, true});
  check({"scaled", 300, 140, false});
}

}  // namespace
