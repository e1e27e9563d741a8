// The top canvas's snap search, overlap test and edge search, over elements with hand-placed anchors
// and boxes (millimetres).
#include <gtest/gtest.h>

#include <chrono>

#include "elements/ElementTestSupport.h"
#include "elements/base/OverlapIndex.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproTopCanvas.h"
#include "platform/HeadlessDriver.h"

namespace {

using eltest::Rect;

// An element with a box of `size` whose corner is its position, and the plan extent of that box.
class BoxElement : public zelvproElement {
 public:
  BoxElement(ppView* parent, const ppVector3& at, const ppVector3& size = ppVector3(600, 600, 600))
      : zelvproElement(0, parent, Rect(0, 0, 10, 10), nullptr, 0, 0), size_(size) {
    position = at;
  }
  ppBounds3 GetBounds(intptr_t /*a*/, int32_t /*flags*/) override {
    ppBounds3 box;
    box.centre = ppVector3(size_.x / 2, size_.y / 2, size_.z / 2);
    box.half = ppVector3(size_.x / 2, size_.y / 2, size_.z / 2);
    return box;
  }
  void ExtendBounds2D(ppVector2& min, ppVector2& max) override {
    min = ppVector2(std::min(min.x, position.x), std::min(min.y, position.z));
    max = ppVector2(std::max(max.x, position.x + size_.x), std::max(max.y, position.z + size_.z));
  }
  void Anchor(int32_t code, const ppVector3& at, uint32_t flags = 0, zelvproElement* partner = nullptr) {
    SnapAnchor a;
    a.code = code, a.point = at, a.flags = flags, a.partner = partner;
    snapPoints.push_back(a);
  }

 private:
  ppVector3 size_;
};

class TopCanvasQueriesTest : public eltest::ElementTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    ElementTest::SetUp();
    canvas_ = std::make_unique<zelvproTopCanvas>(nullptr, Rect(0, 0, 800, 600), nullptr);
  }
  void TearDown() override {
    canvas_.reset();
    ElementTest::TearDown();
  }
  struct Answer {
    zelvproElement* found;
    int32_t anchor, other;
    SnapAnchor entry;
  };
  Answer Find(zelvproElement* moved, const qxViewHolder* exclusion = nullptr) {
    Answer a{nullptr, 7, 7, SnapAnchor{}};
    a.found = canvas_->FindSnap(moved, a.anchor, a.other, 500.0f, ppVector3(1000, 0, 1000), a.entry,
                                exclusion, false);
    return a;
  }
  std::unique_ptr<zelvproTopCanvas> canvas_;
};

TEST_F(TopCanvasQueriesTest, FindSnapTakesTheNearestFreeMatchingAnchorWithinTheLimit) {
  BoxElement moved(nullptr, ppVector3());
  moved.Anchor(2, ppVector3(0, 0, 0));
  auto* target = new BoxElement(canvas_.get(), ppVector3(0, 0, 0));
  target->Anchor(-2, ppVector3(1500, 0, 1000));
  Answer a = Find(&moved);
  EXPECT_EQ(a.found, target);
  EXPECT_EQ(a.anchor, 0);
  EXPECT_EQ(a.other, 0);
  // 500.01 away: nothing, but the out values still describe it.
  target->snapPoints[0].point.x = 1500.01f;
  target->snapPoints[0].word7 = 99;
  a = Find(&moved);
  EXPECT_EQ(a.found, nullptr);
  EXPECT_EQ(a.anchor, 0);
  EXPECT_EQ(a.entry.word7, 99);
  // A kind-2 target, a linked one and one flagged 0x10 are never found.
  target->snapPoints[0].point.x = 1100;
  for (auto change :
       {+[](SnapAnchor& s) { s.code = 2; }, +[](SnapAnchor& s) { s.flags = SnapAnchor::kSkippable; },
        +[](SnapAnchor& s) { s.partner = reinterpret_cast<zelvproElement*>(&s); }}) {
    SnapAnchor kept = target->snapPoints[0];
    change(target->snapPoints[0]);
    a = Find(&moved);
    EXPECT_EQ(a.found, nullptr);
    EXPECT_EQ(a.anchor, -1);
    target->snapPoints[0] = kept;
  }
  EXPECT_EQ(Find(&moved).found, target);
  // Without anchors: null and -1.
  BoxElement bare(nullptr, ppVector3());
  a = Find(&bare);
  EXPECT_EQ(a.found, nullptr);
  EXPECT_EQ(a.anchor, -1);
  // In the exclusion chain: never found.
  qxViewHolder chain(target, nullptr, false);
  EXPECT_EQ(Find(&moved, &chain).found, nullptr);
}

TEST_F(TopCanvasQueriesTest, FindSnapPrefersTheEarlierChildOnEqualDistances) {
  BoxElement moved(nullptr, ppVector3());
  moved.Anchor(2, ppVector3(0, 0, 0));
  auto* first = new BoxElement(canvas_.get(), ppVector3());
  first->Anchor(-2, ppVector3(1100, 0, 1000));
  auto* second = new BoxElement(canvas_.get(), ppVector3());
  second->Anchor(-2, ppVector3(900, 0, 1000));
  EXPECT_EQ(Find(&moved).found, first);
  // The moved element itself, as a child, is left out.
  first->Anchor(2, ppVector3(0, 0, 0));
  first->Anchor(-2, ppVector3(1000, 0, 1000));
  Answer a{nullptr, 0, 0, SnapAnchor{}};
  EXPECT_EQ(
      canvas_->FindSnap(first, a.anchor, a.other, 500.0f, ppVector3(1000, 0, 1000), a.entry, nullptr, false),
      second);
}

// No distance cuts the search off: however far the nearest anchor lies (within the plan's cells or
// beyond them), the out values describe it.
TEST_F(TopCanvasQueriesTest, FindSnapDescribesTheNearestAnchorHoweverFar) {
  BoxElement moved(nullptr, ppVector3());
  moved.Anchor(2, ppVector3(0, 0, 0));
  auto* near = new BoxElement(canvas_.get(), ppVector3(0, 0, 0));
  near->Anchor(-2, ppVector3(0, 0, 0));
  near->snapPoints[0].word7 = 11;
  auto* far = new BoxElement(canvas_.get(), ppVector3(3.0e7f, 0, 0));  // beyond the cells
  far->Anchor(-2, ppVector3(0, 0, 0));
  far->snapPoints[0].word7 = 22;
  for (const float x : {9.0e5f, -9.0e5f, 1.4e7f, 2.9e7f, 8.0e7f}) {
    Answer a{nullptr, 7, 7, SnapAnchor{}};
    a.found =
        canvas_->FindSnap(&moved, a.anchor, a.other, 500.0f, ppVector3(x, 0, 4000), a.entry, nullptr, false);
    EXPECT_EQ(a.found, nullptr) << x;
    EXPECT_EQ(a.anchor, 0) << x;
    EXPECT_EQ(a.other, 0) << x;
    EXPECT_EQ(a.entry.word7, x < 1.5e7f ? 11 : 22) << x;
  }
}

// Anchors kilometres apart leave millions of empty cells between them: the search for the only far
// anchor of a code reads the filled cells instead of walking ring after ring (seconds otherwise).
TEST_F(TopCanvasQueriesTest, FindSnapReachesALoneFarAnchorPromptly) {
  BoxElement moved(nullptr, ppVector3());
  moved.Anchor(2, ppVector3(0, 0, 0));
  for (const float at : {-9.0e6f, 9.0e6f}) {
    auto* corner = new BoxElement(canvas_.get(), ppVector3(at, 0, at));
    corner->Anchor(-2, ppVector3(0, 0, 0));
    corner->Anchor(5, ppVector3(0, 0, 0));
  }
  const auto start = std::chrono::steady_clock::now();
  for (int32_t q = 0; q < 20; ++q) {
    Answer a{nullptr, 7, 7, SnapAnchor{}};
    a.found = canvas_->FindSnap(&moved, a.anchor, a.other, 500.0f, ppVector3(float(q) * 1000.0f, 0, 0),
                                a.entry, nullptr, false);
    EXPECT_EQ(a.found, nullptr);
    EXPECT_EQ(a.anchor, 0);
    EXPECT_EQ(a.other, 0);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST_F(TopCanvasQueriesTest, OverlapsByFootprintAndHeight) {
  const struct {
    const char* name;
    ppVector3 at;
    float angle;
    bool overlaps;
  } cases[] = {
      {"side by side", ppVector3(600, 0, 0), 0.0f, false},
      {"by 0.05", ppVector3(599.95f, 0, 0), 0.0f, true},
      {"standing on it", ppVector3(0, 600, 0), 0.0f, false},
      {"turned, corner inside", ppVector3(700, 0, 100), 0.5f, true},
      {"far along z", ppVector3(0, 0, 2000), 0.0f, false},
  };
  new BoxElement(canvas_.get(), ppVector3());
  for (const auto& c : cases) {
    auto* moved = new BoxElement(canvas_.get(), c.at);
    moved->StoreAngle(c.angle);
    qxViewHolder chain(moved, nullptr, false);
    EXPECT_EQ(canvas_->Overlaps(&chain), c.overlaps) << c.name;
    delete moved;
  }
}

// Far apart along z only the crossing test's rays toward -z can meet another footprint, and only a
// ray through a corner's x can cross it an odd number of times: units turned half round in one column
// (corners at equal x) meet so, 3 m apart, and the index keeps that answer of the plain walk. The ray
// along an edge that rounding leaves not quite parallel to it counts a crossing too many.
TEST_F(TopCanvasQueriesTest, OverlapsKeepsThePlainAnswerForUnitsInOneColumnFarApart) {
  const struct {
    float angle, dz;
    bool overlaps;
  } cases[] = {{0.0f, 3000.0f, false},
               {3.1415927f, 3000.0f, true},
               {3.1415927f, -3000.0f, true},
               {4.712389f, 3000.0f, false},
               {0.7853982f, 3000.0f, false}};
  for (const auto& c : cases) {
    auto* a = new BoxElement(canvas_.get(), ppVector3(1000, 0, 1000));
    a->StoreAngle(c.angle);
    auto* b = new BoxElement(canvas_.get(), ppVector3(1000, 0, 1000 + c.dz));
    b->StoreAngle(c.angle);
    qxViewHolder chain(b, nullptr, false);
    EXPECT_EQ(OverlapIndex::PlainOverlaps(*canvas_, &chain), c.overlaps) << c.angle << " " << c.dz;
    EXPECT_EQ(canvas_->Overlaps(&chain), c.overlaps) << c.angle << " " << c.dz;
    delete a;
    delete b;
  }
}

TEST_F(TopCanvasQueriesTest, NearestEdgeTakesWholeChildrenOnTheAskedSideWithinTheSpan) {
  float best = 5000;
  new BoxElement(canvas_.get(), ppVector3(1200, 0, 500), ppVector3(600, 600, 400));
  new BoxElement(canvas_.get(), ppVector3(900, 0, 500), ppVector3(600, 600, 400));   // straddles the line
  new BoxElement(canvas_.get(), ppVector3(1100, 0, 2100), ppVector3(50, 600, 400));  // y outside the span
  canvas_->NearestEdgeX(best, 1000, 2000, 0, true);
  EXPECT_EQ(best, 1200);
  new BoxElement(canvas_.get(), ppVector3(100, 0, 500), ppVector3(200, 600, 400));
  new BoxElement(canvas_.get(), ppVector3(500, 0, 500), ppVector3(200, 600, 400));
  best = 0;
  canvas_->NearestEdgeX(best, 1000, 0, 2000, false);
  EXPECT_EQ(best, 700);
  // The same along y.
  best = 5000;
  canvas_->NearestEdgeY(best, 100, 0, 2000, true);
  EXPECT_EQ(best, 500);
}

// The pixel forms measure the children's extents in whole window pixels (15 mm per pixel in the
// tests, origin (0, 0), truncated toward zero): a unit a fraction of a pixel beyond the line lies on it.
TEST_F(TopCanvasQueriesTest, NearestEdgePixelFormsMeasureExtentsInWholePixels) {
  new BoxElement(canvas_.get(), ppVector3(1500, 0, 600), ppVector3(900, 600, 600));   // x 100..160, y 40..80
  new BoxElement(canvas_.get(), ppVector3(900, 0, 600), ppVector3(600, 600, 600));    // straddles x 80
  new BoxElement(canvas_.get(), ppVector3(1650, 0, 3150), ppVector3(150, 600, 150));  // y 210..220
  new BoxElement(canvas_.get(), ppVector3(0, 0, 600), ppVector3(300, 600, 300));      // x 0..20
  new BoxElement(canvas_.get(), ppVector3(400, 0, 1500), ppVector3(300, 600, 300));   // x 26..46, y 100..120
  const struct {
    const char* name;
    bool alongY, positive;
    int32_t line, spanStart, spanEnd, best, want;
  } cases[] = {
      {"beyond x 80", false, true, 80, 0, 200, 5000, 100},
      {"beyond x 80, the span given backwards", false, true, 80, 200, 0, 5000, 100},
      {"a nearer best stays", false, true, 80, 0, 200, 90, 90},
      {"before x 80", false, false, 80, 0, 200, 0, 46},
      {"beyond y 30", true, true, 30, 0, 200, 5000, 40},
      {"before y 200, x span 50..150", true, false, 200, 50, 150, 0, 80},
  };
  for (const auto& c : cases) {
    int32_t best = c.best;
    if (c.alongY)
      canvas_->NearestEdgeYPixels(best, c.line, c.spanStart, c.spanEnd, c.positive);
    else
      canvas_->NearestEdgeXPixels(best, c.line, c.spanStart, c.spanEnd, c.positive);
    EXPECT_EQ(best, c.want) << c.name;
  }
  // 1214.9 mm lies beyond x 1200 mm, but its pixel is 80 itself: not beyond the line in pixels.
  new BoxElement(canvas_.get(), ppVector3(1214.9f, 0, 600), ppVector3(100, 600, 100));
  int32_t pixels = 5000;
  canvas_->NearestEdgeXPixels(pixels, 80, 0, 200, true);
  EXPECT_EQ(pixels, 100);
  float millimetres = 5000;
  canvas_->NearestEdgeX(millimetres, 1200, 0, 3000, true);
  EXPECT_EQ(millimetres, 1214.9f);
}

}  // namespace
