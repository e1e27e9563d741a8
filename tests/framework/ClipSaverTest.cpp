// Clips kept and put back by savers (nested, empty, after the device's own clip moved on), and clips
// selected again unchanged or changed only inside their box: each shows in what a fill reaches.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "framework/ppClipSaver.h"
#include "framework/ppDC.h"
#include "framework/ppRegion.h"
#include "platform/HeadlessDriver.h"
#include "tests/framework/TestCanvas.h"

namespace {

using picture_tests::Canvas;
using Marks = std::vector<std::pair<int, int>>;

constexpr int32_t kSide = 12;  // pixels

class ClipSaverTest : public ::testing::Test {
 protected:
  void SetUp() override { plat::HeadlessDriver::Reset(); }
};

// The pixels a fill of the whole canvas reaches under the context's present clip. The canvas is read
// and made white again with the clip taken off (pixels outside it read as no colour), then the very
// same clip goes back.
Marks Reach(ppDC& dc, const Canvas& canvas) {
  const plat::RECT all{0, 0, kSide, kSide};
  dc.FillRect(all);
  plat::OwnedRegion clip(plat::CreateRectRgn(0, 0, 0, 0));
  const bool clipped = plat::GetClipRgn(canvas.dc(), clip.get()) == 1;
  plat::SelectClipRgn(canvas.dc(), nullptr);
  Marks marked = canvas.Marked(kSide, kSide);
  plat::OwnedBrush white(plat::CreateSolidBrush(plat::RGB(255, 255, 255)));
  plat::FillRect(canvas.dc(), &all, white.get());
  plat::SelectClipRgn(canvas.dc(), clipped ? clip.get() : nullptr);
  return marked;
}

// The pixels of the rectangles (which do not overlap), in row order.
Marks Inside(std::vector<plat::RECT> rects) {
  Marks out;
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x)
      for (const plat::RECT& r : rects)
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) out.emplace_back(x, y);
  return out;
}

// An L: the square (0, 0)-(8, 8) without its lower right quarter.
ppRegion MakeL() {
  ppRegion l(plat::RECT{0, 0, 8, 8});
  l.SubtractRect(plat::RECT{4, 4, 8, 8});
  return ppRegion(l.Handle());
}

TEST_F(ClipSaverTest, NestedSaversPutBackEachLevel) {
  Canvas canvas(kSide, kSide);
  ppDC dc(canvas.dc());
  const Marks all = Inside({{0, 0, kSide, kSide}});
  ASSERT_EQ(Reach(dc, canvas), all);
  {
    ppClipSaver outer(dc);
    dc.ClipToRect(plat::RECT{2, 2, 10, 10});
    {
      ppClipSaver inner(dc);
      dc.ClipToRect(plat::RECT{0, 0, 5, 12});
      EXPECT_EQ(Reach(dc, canvas), Inside({{2, 2, 5, 10}}));
      {
        ppClipSaver innermost(dc);
        const ppRegion l = MakeL();
        dc.SetClipRegion(&l);
        EXPECT_EQ(Reach(dc, canvas), Inside({{0, 0, 8, 4}, {0, 4, 4, 8}}));
      }
      EXPECT_EQ(Reach(dc, canvas), Inside({{2, 2, 5, 10}}));
    }
    EXPECT_EQ(Reach(dc, canvas), Inside({{2, 2, 10, 10}}));
  }
  EXPECT_EQ(Reach(dc, canvas), all);
}

TEST_F(ClipSaverTest, ASavedEmptyClipComesBackEmpty) {
  Canvas canvas(kSide, kSide);
  ppDC dc(canvas.dc());
  const ppRegion empty;
  dc.SetClipRegion(&empty);
  EXPECT_TRUE(Reach(dc, canvas).empty());
  {
    ppClipSaver keep(dc);
    dc.SetClipRegion(nullptr);
    EXPECT_EQ(Reach(dc, canvas).size(), size_t(kSide * kSide));
  }
  EXPECT_TRUE(Reach(dc, canvas).empty());
}

TEST_F(ClipSaverTest, TheSavedClipReturnsAfterTheDeviceClipMovedOn) {
  Canvas canvas(kSide, kSide);
  ppDC dc(canvas.dc());
  dc.ClipToRect(plat::RECT{1, 1, 6, 6});
  {
    ppClipSaver keep(dc);
    // Changed behind the context's back, through the device.
    plat::OwnedRegion other(plat::CreateRectRgn(3, 3, 12, 12));
    EXPECT_EQ(plat::SelectClipRgn(canvas.dc(), other.get()), plat::SIMPLEREGION);
    plat::IntersectClipRect(canvas.dc(), 0, 0, 9, 9);
    EXPECT_EQ(Reach(dc, canvas), Inside({{3, 3, 9, 9}}));
  }
  EXPECT_EQ(Reach(dc, canvas), Inside({{1, 1, 6, 6}}));
}

TEST_F(ClipSaverTest, AClipSelectedAgainFollowsItsBandsNotItsBox) {
  Canvas canvas(kSide, kSide);
  ppDC dc(canvas.dc());
  const ppRegion l = MakeL();
  const ppRegion square(plat::RECT{0, 0, 8, 8});  // the L's box
  const Marks lMarks = Inside({{0, 0, 8, 4}, {0, 4, 4, 8}}), squareMarks = Inside({{0, 0, 8, 8}});
  EXPECT_EQ(plat::SelectClipRgn(canvas.dc(), l.Handle()), plat::COMPLEXREGION);
  EXPECT_EQ(Reach(dc, canvas), lMarks);
  EXPECT_EQ(plat::SelectClipRgn(canvas.dc(), square.Handle()), plat::SIMPLEREGION);
  EXPECT_EQ(Reach(dc, canvas), squareMarks);
  const ppRegion sameSquare(square.Handle());
  EXPECT_EQ(plat::SelectClipRgn(canvas.dc(), sameSquare.Handle()), plat::SIMPLEREGION);
  EXPECT_EQ(Reach(dc, canvas), squareMarks);
  dc.SetClipRegion(&l);
  EXPECT_EQ(Reach(dc, canvas), lMarks);
  // The same clip selected again onto a bigger bitmap reaches as far on it.
  plat::OwnedBitmap bigger(plat::CreateBitmap(2 * kSide, 2 * kSide, 1, 32, nullptr));
  plat::HGDIOBJ before = plat::SelectObject(canvas.dc(), bigger.get());
  EXPECT_EQ(plat::SelectClipRgn(canvas.dc(), l.Handle()), plat::COMPLEXREGION);
  plat::RECT box;
  EXPECT_EQ(plat::GetClipBox(canvas.dc(), &box), plat::COMPLEXREGION);
  EXPECT_EQ(box, (plat::RECT{0, 0, 8, 8}));
  plat::SelectObject(canvas.dc(), before);
}

}  // namespace
