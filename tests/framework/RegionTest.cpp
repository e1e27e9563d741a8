#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "foundation/Vcon_HandleManager.h"
#include "foundation/ppVector2.h"
#include "framework/ppRegion.h"
#include "framework/ppShape.h"
#include "platform/HeadlessDriver.h"
#include "platform/MessageBox.h"

namespace {

class RegionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    plat::ClearMessageBoxLog();
  }
  void TearDown() override { ppRegion::FailNextCreations(0); }
};

plat::RECT Bounds(const ppRegion& r) {
  plat::RECT b;
  r.GetBounds(&b);
  return b;
}

TEST_F(RegionTest, CombinationsAndQueries) {
  ppRegion empty;
  EXPECT_TRUE(empty.IsEmpty());
  ppRegion pixel(plat::RECT{3, 4, 4, 5});
  EXPECT_FALSE(pixel.IsEmpty());
  EXPECT_TRUE(pixel.Contains(3, 4));
  EXPECT_FALSE(pixel.Contains(4, 4));

  ppRegion r(plat::RECT{0, 0, 10, 10});
  r.Union(ppRegion(plat::RECT{10, 0, 20, 10}));
  EXPECT_EQ(Bounds(r), (plat::RECT{0, 0, 20, 10}));
  r.Subtract(ppRegion(plat::RECT{0, 0, 5, 10}));
  r.SubtractRect(plat::RECT{15, 0, 20, 10});
  EXPECT_EQ(Bounds(r), (plat::RECT{5, 0, 15, 10}));
  r.Intersect(ppRegion(plat::RECT{0, 2, 100, 3}));
  r.Offset(1, 1);
  EXPECT_EQ(Bounds(r), (plat::RECT{6, 3, 16, 4}));
  ppRegion copy(r);
  r.SetRect(plat::RECT{0, 0, 1, 1});
  EXPECT_EQ(Bounds(copy), (plat::RECT{6, 3, 16, 4}));
  ppRegion fromHandle(copy.Handle());
  EXPECT_EQ(Bounds(fromHandle), Bounds(copy));
}

TEST_F(RegionTest, LiveCounterFollowsEveryConstructor) {
  const int32_t before = ppRegion::LiveCount();
  {
    ppRegion a;
    ppRegion b(plat::RECT{0, 0, 2, 2});
    ppRegion c(b);
    ppRegion d(b.Handle());
    ppShape none;
    ppRegion e(none, 0, 0, 1);
    EXPECT_EQ(ppRegion::LiveCount(), before + 5);
  }
  EXPECT_EQ(ppRegion::LiveCount(), before);
}

TEST_F(RegionTest, PolygonRecording) {
  ppRegion r(plat::RECT{0, 0, 5, 5});
  r.MoveTo(100, 100);  // not recording: ignored
  EXPECT_EQ(r.PointCount(), 0);
  r.BeginPolygon();
  r.EndPolygon();  // no points: the area stays
  EXPECT_EQ(Bounds(r), (plat::RECT{0, 0, 5, 5}));

  r.BeginPolygon();
  r.MoveTo(10, 10);
  r.LineTo(30, 10);
  r.LineTo(30, 20);
  r.LineTo(10, 20);
  r.EndPolygon();
  EXPECT_TRUE(r.Contains(15, 15));
  EXPECT_FALSE(r.Contains(2, 2));
  EXPECT_EQ(r.PointCount(), 4);
  r.LineTo(1, 1);  // recording has ended
  EXPECT_EQ(r.PointCount(), 4);

  r.BeginPolygon();
  EXPECT_EQ(r.PointCapacity(), 16);  // the buffer stays
  for (int i = 0; i < 17; ++i) r.LineTo(i, i * i);
  EXPECT_EQ(r.PointCapacity(), 32);
  EXPECT_EQ(r.Points()[16].y, 256);
}

TEST_F(RegionTest, FailedCreationShowsTheMemoryBoxAndThrows) {
  ppRegion source(plat::RECT{0, 0, 4, 4});
  auto expectFailure = [&](int32_t code, auto make) {
    plat::ClearMessageBoxLog();
    try {
      make();
      ADD_FAILURE() << "no failure for " << code;
    } catch (const Vcon::MemError& e) {
      EXPECT_EQ(e.code, code);
    }
    auto log = plat::MessageBoxLog();
    ASSERT_EQ(log.size(), 1u);
    const std::string digits = std::to_string(code);
    std::u16string want = u"A Memory Error occured : ";
    for (char c : digits) want.push_back(char16_t(c));
    EXPECT_EQ(log[0].text, want);
    EXPECT_EQ(log[0].caption, u"Memory Error");
  };
  const int32_t live = ppRegion::LiveCount();
  ppRegion::FailNextCreations(1);
  expectFailure(1040, [] { ppRegion r; });
  ppRegion::FailNextCreations(1);
  expectFailure(1041, [] { ppRegion r(plat::RECT{0, 0, 1, 1}); });
  ppRegion::FailNextCreations(2);  // the copy step fails after the empty region was made
  expectFailure(1042, [&] { ppRegion r(source); });
  ppRegion::FailNextCreations(0);
  expectFailure(1043, [] { ppRegion r(plat::HRGN(nullptr)); });  // nothing to copy
  EXPECT_EQ(ppRegion::LiveCount(), live);
}

TEST_F(RegionTest, ShapeOutlineWithoutAnActiveWindow) {
  ppShape shape;
  shape.Reset();
  shape.MoveToF(0, 0);
  shape.LineToF(10, 0);
  shape.LineToF(10, 5);
  shape.LineToF(0, 5);
  shape.End();
  ppRegion r(shape, 100, 200, 2);
  EXPECT_TRUE(r.Contains(110, 205));
  EXPECT_FALSE(r.Contains(95, 205));
  EXPECT_FALSE(r.Contains(110, 215));
  plat::RECT b = Bounds(r);
  EXPECT_EQ(b.left, 100);
  EXPECT_EQ(b.top, 200);

  ppShape empty;
  ppRegion none(empty, 0, 0, 1);
  EXPECT_TRUE(none.IsEmpty());
  EXPECT_NE(none.Handle(), nullptr);
}

TEST_F(RegionTest, PointListBecomesAClosedPolygon) {
  Handle list = nullptr;
  Vcon_HandleManager::MemNew(&list, 4 * sizeof(ppVector2));
  auto* p = reinterpret_cast<ppVector2*>(*list);
  p[0] = {0.9f, 0.9f};  // truncated to (0, 0)
  p[1] = {20, 0};
  p[2] = {20, 10.5f};
  p[3] = {0, 10};
  std::unique_ptr<ppRegion> r = PointListToRegion(list);
  EXPECT_EQ(r->PointCount(), 5);
  EXPECT_EQ(r->Points()[0].x, 0);
  EXPECT_EQ(r->Points()[4].x, 0);  // back to the first point
  EXPECT_TRUE(r->Contains(0, 0));
  EXPECT_TRUE(r->Contains(19, 9));
  MemSetSize(list, 0);
  std::unique_ptr<ppRegion> none = PointListToRegion(list);
  EXPECT_TRUE(none->IsEmpty());
  MemDispose(list);
}

}  // namespace
