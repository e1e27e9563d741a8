#include <gtest/gtest.h>

#include <memory>

#include "AdornerTestPictures.h"
#include "TestCanvas.h"
#include "framework/DrawFrameEdge.h"
#include "framework/ppDC.h"
#include "framework/ppFillAdorner.h"
#include "framework/ppFrameAdorner.h"
#include "framework/ppPane.h"
#include "framework/ppRegion.h"
#include "framework/ppWindow.h"
#include "framework/qxAdornerColors.h"
#include "framework/qxFrameAdorner.h"
#include "framework/qxGrayAdorner.h"
#include "framework/qxLineAdorner.h"
#include "framework/qxOutsideFrameAdorner.h"
#include "platform/Gdi.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"

namespace {

using namespace plat;
using adorner_tests::MakePicture;
using adorner_tests::SolidPicture;
using adorner_tests::TestApplication;
using picture_tests::Canvas;

constexpr COLORREF kWhite = RGB(255, 255, 255);

// The parts of a 9 x 9 frame picture (cx = cy = 4), each in its own colour.
enum : uint32_t {
  kTopLeft = 0x110000,
  kTopRight = 0x220000,
  kBottomLeft = 0x330000,
  kBottomRight = 0x440000,
  kColumnTop = 0x005500,
  kColumnBottom = 0x006600,
  kRowLeft = 0x000077,
  kRowRight = 0x000088,
  kCentre = 0x999999,
};

uint32_t FramePart(int x, int y) {
  if (x == 4 && y == 4) return kCentre;
  if (x == 4) return y < 4 ? kColumnTop : kColumnBottom;
  if (y == 4) return x < 4 ? kRowLeft : kRowRight;
  if (y < 4) return x < 4 ? kTopLeft : kTopRight;
  return x < 4 ? kBottomLeft : kBottomRight;
}

COLORREF Ref(uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

// Every pixel of the rectangle has the colour.
::testing::AssertionResult AllOf(const Canvas& canvas, RECT r, COLORREF colour) {
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (canvas.At(x, y) != colour)
        return ::testing::AssertionFailure()
               << "pixel " << x << "," << y << " is " << std::hex << canvas.At(x, y);
  return ::testing::AssertionSuccess();
}

class Adorners : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    app_ = std::make_unique<TestApplication>();
    app_->frames[900] = MakePicture(9, 9, FramePart);
    static const ppRGBColor table[] = {{0, 0, 0}, {100, 0, 0}, {0, 100, 0}};
    SetDocumentColorTable(table);
  }
  void TearDown() override { SetDocumentColorTable(nullptr); }
  // Draws the view's adorners of both passes onto the canvas, as the view's drawing does.
  static void DrawAdorners(ppAdorner* chain, const RECT& frame, Canvas& canvas) {
    ppDC dc(canvas.dc());
    chain->DrawChain(&frame, ppAdorner::kBefore, &dc);
    chain->DrawChain(&frame, ppAdorner::kAfter, &dc);
  }
  std::unique_ptr<TestApplication> app_;
};

TEST_F(Adorners, FramePictureMapsCornersAndStretchedEdgesAndLeavesTheMiddleAlone) {
  ppPane view(nullptr, {0, 0, 100, 50}, ppView::kStay, ppView::kStay);
  auto* frame = new ppFrameAdorner(&view, 900, ppFrameAdorner::kInside);
  Canvas canvas(100, 50);
  DrawAdorners(frame, view.GetFrame(), canvas);
  EXPECT_TRUE(AllOf(canvas, {0, 0, 4, 4}, Ref(kTopLeft)));
  EXPECT_TRUE(AllOf(canvas, {96, 0, 100, 4}, Ref(kTopRight)));
  EXPECT_TRUE(AllOf(canvas, {0, 46, 4, 50}, Ref(kBottomLeft)));
  EXPECT_TRUE(AllOf(canvas, {96, 46, 100, 50}, Ref(kBottomRight)));
  EXPECT_TRUE(AllOf(canvas, {4, 0, 96, 4}, Ref(kColumnTop)));  // 92 wide
  EXPECT_TRUE(AllOf(canvas, {4, 46, 96, 50}, Ref(kColumnBottom)));
  EXPECT_TRUE(AllOf(canvas, {0, 4, 4, 46}, Ref(kRowLeft)));  // 42 high
  EXPECT_TRUE(AllOf(canvas, {96, 4, 100, 46}, Ref(kRowRight)));
  EXPECT_TRUE(AllOf(canvas, {4, 4, 96, 46}, kWhite));
  std::unique_ptr<ppRegion> region = frame->GetRegion(&view.GetFrame());
  RECT bounds;
  region->GetBounds(&bounds);
  EXPECT_EQ(bounds, (RECT{0, 0, 100, 50}));
}

TEST_F(Adorners, OutsideModesGrowTheFrameByTheCornerOrHalfOfIt) {
  ppPane view(nullptr, {10, 10, 110, 60}, ppView::kStay, ppView::kStay);
  auto* outside = new ppFrameAdorner(&view, 900, ppFrameAdorner::kOutside);
  RECT bounds;
  outside->GetRegion(&view.GetFrame())->GetBounds(&bounds);
  EXPECT_EQ(bounds, (RECT{6, 6, 114, 64}));
  auto* half = new ppFrameAdorner(&view, 900, ppFrameAdorner::kHalfOutside);
  half->GetRegion(&view.GetFrame())->GetBounds(&bounds);
  EXPECT_EQ(bounds, (RECT{8, 8, 112, 62}));
  Canvas canvas(130, 80);
  {
    ppDC dc(canvas.dc());
    half->Draw(&view.GetFrame(), ppAdorner::kAfter, &dc);  // clipped to the grown rectangle
  }
  EXPECT_TRUE(AllOf(canvas, {8, 8, 12, 12}, Ref(kTopLeft)));
  EXPECT_TRUE(AllOf(canvas, {108, 58, 112, 62}, Ref(kBottomRight)));
  EXPECT_EQ(canvas.At(7, 7), kWhite);
}

TEST_F(Adorners, MissingOrEmptyFramePictureDrawsNothing) {
  ppPane view(nullptr, {0, 0, 40, 30}, ppView::kStay, ppView::kStay);
  new ppFrameAdorner(&view, 901, ppFrameAdorner::kInside);
  app_->frames[902] = std::make_unique<ppPicture>();
  auto* chain = new ppFrameAdorner(&view, 902, ppFrameAdorner::kOutside);
  Canvas canvas(40, 30);
  DrawAdorners(chain, view.GetFrame(), canvas);
  EXPECT_TRUE(canvas.Marked(40, 30).empty());
}

TEST_F(Adorners, FillTilesThePictureOrFallsBackToTheApplicationColour) {
  ppPane view(nullptr, {2, 2, 12, 8}, ppView::kStay, ppView::kStay);
  app_->colours[50] = {10, 20, 30};
  auto* fill = new ppFillAdorner(&view, 50);
  Canvas canvas(14, 10);
  DrawAdorners(fill, view.GetFrame(), canvas);
  EXPECT_TRUE(AllOf(canvas, {2, 2, 12, 8}, RGB(10, 20, 30)));
  EXPECT_EQ(canvas.At(1, 1), kWhite);
  EXPECT_EQ(canvas.At(12, 8), kWhite);

  app_->fills[51] = MakePicture(2, 1, [](int x, int) { return x == 0 ? 0xFF0000u : 0x0000FFu; });
  ppPane tiled(nullptr, {2, 2, 12, 8}, ppView::kStay, ppView::kStay);
  auto* tiles = new ppFillAdorner(&tiled, 51);
  Canvas second(14, 10);
  DrawAdorners(tiles, tiled.GetFrame(), second);
  EXPECT_EQ(second.At(2, 2), RGB(255, 0, 0));
  EXPECT_EQ(second.At(3, 7), RGB(0, 0, 255));
  EXPECT_EQ(second.At(11, 5), RGB(0, 0, 255));
  EXPECT_EQ(second.At(12, 5), kWhite);
}

// A view whose area has a hole, as the document window's background leaves out its panes.
class HoledPane : public ppPane {
 public:
  HoledPane(const RECT& frame, const RECT& hole) : ppPane(nullptr, frame, kStay, kStay), hole_(hole) {}
  std::unique_ptr<ppRegion> GetFrameRegion() override {
    std::unique_ptr<ppRegion> area = ppPane::GetFrameRegion();
    area->SubtractRect(hole_);
    return area;
  }

 private:
  RECT hole_;
};

TEST_F(Adorners, FillLeavesTheHolesOfTheViewsAreaAlone) {
  app_->colours[52] = {10, 20, 30};
  HoledPane view({0, 0, 20, 12}, {5, 3, 15, 9});
  auto* fill = new ppFillAdorner(&view, 52);
  Canvas canvas(20, 12);
  DrawAdorners(fill, view.GetFrame(), canvas);
  EXPECT_TRUE(AllOf(canvas, {5, 3, 15, 9}, kWhite));
  EXPECT_TRUE(AllOf(canvas, {0, 0, 20, 3}, RGB(10, 20, 30)));
  EXPECT_TRUE(AllOf(canvas, {0, 9, 20, 12}, RGB(10, 20, 30)));
  EXPECT_TRUE(AllOf(canvas, {0, 3, 5, 9}, RGB(10, 20, 30)));
  EXPECT_TRUE(AllOf(canvas, {15, 3, 20, 9}, RGB(10, 20, 30)));
  // Invalidating the fill asks for its area only.
  RECT bounds;
  fill->GetRegion(&view.GetFrame())->GetBounds(&bounds);
  EXPECT_EQ(bounds, (RECT{0, 0, 20, 12}));
  const RECT inHole{6, 4, 14, 8};
  EXPECT_FALSE(RectInRegion(fill->GetRegion(&view.GetFrame())->Handle(), &inHole));
}

TEST_F(Adorners, ColourTableAdornersDrawTheirEntry) {
  ppPane view(nullptr, {1, 1, 9, 7}, ppView::kStay, ppView::kStay);
  auto* gray = new qxGrayAdorner(&view, 2);
  Canvas canvas(10, 8);
  DrawAdorners(gray, view.GetFrame(), canvas);
  EXPECT_TRUE(AllOf(canvas, {1, 1, 9, 7}, RGB(0, 255, 0)));

  ppPane framed(nullptr, {1, 1, 9, 7}, ppView::kStay, ppView::kStay);
  auto* outline = new qxFrameAdorner(&framed, 1);
  Canvas second(10, 8);
  DrawAdorners(outline, framed.GetFrame(), second);
  EXPECT_EQ(second.At(1, 1), RGB(255, 0, 0));
  EXPECT_EQ(second.At(8, 6), RGB(255, 0, 0));
  EXPECT_EQ(second.At(4, 4), kWhite);
  EXPECT_EQ(second.At(0, 0), kWhite);
}

TEST_F(Adorners, LineAdornerDrawsOnlyTheMaskedEdgesInsideTheFrame) {
  ppPane none(nullptr, {2, 2, 12, 10}, ppView::kStay, ppView::kStay);
  auto* nothing = new qxLineAdorner(&none, 1, 0);
  Canvas blank(14, 12);
  DrawAdorners(nothing, none.GetFrame(), blank);
  EXPECT_TRUE(blank.Marked(14, 12).empty());

  ppPane box(nullptr, {2, 2, 12, 10}, ppView::kStay, ppView::kStay);
  auto* all = new qxLineAdorner(&box, 1, 15);
  Canvas canvas(14, 12);
  DrawAdorners(all, box.GetFrame(), canvas);
  const COLORREF red = RGB(255, 0, 0);
  EXPECT_TRUE(AllOf(canvas, {2, 2, 11, 3}, red));   // top
  EXPECT_TRUE(AllOf(canvas, {2, 2, 3, 9}, red));    // left
  EXPECT_TRUE(AllOf(canvas, {11, 2, 12, 9}, red));  // right
  EXPECT_TRUE(AllOf(canvas, {2, 9, 11, 10}, red));  // bottom
  EXPECT_TRUE(AllOf(canvas, {3, 3, 11, 9}, kWhite));
  EXPECT_TRUE(AllOf(canvas, {0, 0, 14, 2}, kWhite));
  EXPECT_TRUE(AllOf(canvas, {12, 0, 14, 12}, kWhite));

  ppPane top(nullptr, {2, 2, 12, 10}, ppView::kStay, ppView::kStay);
  auto* topOnly = new qxLineAdorner(&top, 1, qxLineAdorner::kTop);
  Canvas third(14, 12);
  DrawAdorners(topOnly, top.GetFrame(), third);
  EXPECT_TRUE(AllOf(third, {2, 2, 11, 3}, red));
  EXPECT_TRUE(AllOf(third, {2, 3, 12, 10}, kWhite));
}

TEST_F(Adorners, OutsideFrameLiesOnePixelBeyondTheViewAndInvalidatesThere) {
  WNDCLASSA wc;
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "AdornerTestWindow";
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowExA(0, "AdornerTestWindow", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                              nullptr, nullptr, nullptr);
  {
    ppWindow window(hwnd);
    auto* view = new ppPane(&window, {20, 30, 50, 60}, ppView::kStay, ppView::kStay);
    auto* outside = new qxOutsideFrameAdorner(view, 1);
    HeadlessDriver::RunUntilIdle();
    ValidateRect(hwnd, nullptr);
    RECT frame;
    view->GetWindowFrame(&frame);
    outside->Invalidate(&frame);
    RECT update;
    GetUpdateRect(hwnd, &update, 0);
    EXPECT_EQ(update, (RECT{19, 29, 51, 61}));

    Canvas canvas(60, 70);
    ppDC dc(canvas.dc());
    outside->DrawChain(&frame, ppAdorner::kAfter, &dc);
    EXPECT_EQ(canvas.At(19, 29), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(50, 60), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(20, 30), kWhite);
  }
  HeadlessDriver::Reset();
}

TEST(FrameEdges, StraightEdgesStretchTheOutwardHalfAndStampCorners) {
  auto picture = MakePicture(9, 9, FramePart);
  Canvas canvas(60, 60);
  ppDC dc(canvas.dc());
  DrawFrameEdge(picture.get(), 20, 10, 50, 10, &dc);  // going right: the bottom half above the line
  EXPECT_TRUE(AllOf(canvas, {20, 6, 46, 10}, Ref(kColumnBottom)));
  EXPECT_TRUE(AllOf(canvas, {46, 6, 50, 10}, Ref(kBottomRight)));
  EXPECT_EQ(canvas.At(20, 10), kWhite);

  Canvas up(60, 60);
  ppDC upDc(up.dc());
  DrawFrameEdge(picture.get(), 10, 50, 10, 20, &upDc);  // going up: left half, top-left corner at the end
  EXPECT_TRUE(AllOf(up, {6, 24, 10, 50}, Ref(kRowLeft)));
  EXPECT_TRUE(AllOf(up, {6, 20, 10, 24}, Ref(kTopLeft)));

  Canvas down(60, 60);
  ppDC downDc(down.dc());
  DrawFrameEdge(picture.get(), 10, 20, 10, 50, &downDc);
  EXPECT_TRUE(AllOf(down, {10, 20, 14, 50}, Ref(kRowRight)));
  EXPECT_EQ(down.At(9, 30), kWhite);

  Canvas left(60, 60);
  ppDC leftDc(left.dc());
  DrawFrameEdge(picture.get(), 50, 10, 20, 10, &leftDc);
  EXPECT_TRUE(AllOf(left, {21, 10, 50, 14}, Ref(kColumnTop)));  // mirrored: (20, 50]
  EXPECT_EQ(left.At(30, 9), kWhite);
}

// A pane that paints its frame in one colour and notes which window points its clip reached.
class ProbePane : public ppPane {
 public:
  ProbePane(ppView* supervisor, const RECT& frame, ppRGBColor colour, std::vector<POINT> probes)
      : ppPane(supervisor, frame, kStay, kStay), colour_(colour), probes_(std::move(probes)) {}
  void DrawContent(ppDC& dc) override {
    std::unique_ptr<ppRegion> clip = dc.GetClipRegion();
    reached.clear();
    for (const POINT& p : probes_) reached.push_back(clip->Contains(p.x, p.y));
    RECT frame;
    GetWindowFrame(&frame);
    dc.SetColorBytes(colour_);
    dc.FillRect(frame);
  }
  std::vector<bool> reached;

 private:
  ppRGBColor colour_;
  std::vector<POINT> probes_;
};

// Draws the tree as a paint of the whole canvas does.
void PaintAll(ppView& root, Canvas& canvas, int32_t w, int32_t h, int32_t mode = ppDC::kModeCopy) {
  ppRegion update(RECT{0, 0, w, h});
  ppDC dc(canvas.dc(), nullptr, update.Handle());
  dc.SetDrawingMode(mode);
  root.Draw(dc);
  EXPECT_EQ(dc.GetCoveredRegion(), nullptr);
  dc.SetClipRegion(nullptr);  // the canvas answers for every pixel again
}

TEST_F(Adorners, WhatSolidFillsOfLaterViewsCoverIsNotPaintedFirst) {
  app_->colours[60] = {10, 10, 10};
  app_->colours[61] = {20, 20, 20};
  // The root paints under a filled child and a later filled sibling of its second child.
  ProbePane root(nullptr, {0, 0, 40, 30}, {1, 2, 3}, {{2, 2}, {10, 10}, {30, 15}});
  auto* filled = new ppPane(&root, {5, 5, 15, 15}, ppView::kStay, ppView::kStay);
  new ppFillAdorner(filled, 60);
  auto* probe = new ProbePane(&root, {20, 5, 35, 25}, {4, 5, 6}, {{22, 7}, {30, 15}});
  auto* later = new ppPane(&root, {25, 10, 38, 20}, ppView::kStay, ppView::kStay);
  new ppFillAdorner(later, 61);
  Canvas canvas(40, 30);
  PaintAll(root, canvas, 40, 30);
  EXPECT_EQ(root.reached, (std::vector<bool>{true, false, false}));
  EXPECT_EQ(probe->reached, (std::vector<bool>{true, false}));
  EXPECT_EQ(canvas.At(2, 2), RGB(1, 2, 3));
  EXPECT_TRUE(AllOf(canvas, {5, 5, 15, 15}, RGB(10, 10, 10)));
  EXPECT_TRUE(AllOf(canvas, {20, 5, 35, 10}, RGB(4, 5, 6)));
  EXPECT_TRUE(AllOf(canvas, {25, 10, 38, 20}, RGB(20, 20, 20)));
  EXPECT_TRUE(AllOf(canvas, {20, 20, 35, 25}, RGB(4, 5, 6)));
}

TEST_F(Adorners, FillsThatMayLeavePixelsShowingDoNotHideWhatIsUnder) {
  app_->fills[62] = MakePicture(2, 1, [](int x, int) { return x == 0 ? 0xFF0000u : 0x0000FFu; });
  app_->colours[63] = {30, 30, 30};
  ProbePane root(nullptr, {0, 0, 30, 20}, {1, 2, 3}, {{3, 3}, {13, 3}, {23, 3}});
  new ppFillAdorner(new ppPane(&root, {0, 0, 8, 8}, ppView::kStay, ppView::kStay), 62);  // a picture
  auto* hidden = new ppPane(&root, {10, 0, 18, 8}, ppView::kStay, ppView::kStay);
  new ppFillAdorner(hidden, 63);
  hidden->Hide();
  auto* holed = new HoledPane({20, 0, 28, 8}, {22, 2, 25, 5});
  root.AddSubview(holed);
  new ppFillAdorner(holed, 63);
  Canvas canvas(30, 20);
  PaintAll(root, canvas, 30, 20);
  EXPECT_EQ(root.reached, (std::vector<bool>{true, true, true}));
  EXPECT_EQ(canvas.At(13, 3), RGB(1, 2, 3));
  EXPECT_EQ(canvas.At(23, 3), RGB(1, 2, 3));  // the hole shows the root
  EXPECT_EQ(canvas.At(21, 3), RGB(30, 30, 30));
  // A fill that sets every other pixel covers nothing.
  app_->fills.erase(62);
  hidden->Show();
  Canvas checker(30, 20);
  PaintAll(root, checker, 30, 20, ppDC::kModeChecker);
  EXPECT_EQ(root.reached, (std::vector<bool>{true, true, true}));
}

TEST(FrameEdges, SlantedEdgesAreStampedAlongTheLineAndMissingPicturesDrawNothing) {
  auto picture = MakePicture(9, 9, FramePart);
  Canvas canvas(60, 60);
  ppDC dc(canvas.dc());
  DrawFrameEdge(picture.get(), 10, 10, 40, 20, &dc);  // step (3, 1): stamps 3 x 4 from the bottom half
  EXPECT_EQ(canvas.At(10, 10), Ref(kColumnBottom));
  EXPECT_EQ(canvas.At(38, 19), Ref(kColumnBottom));
  EXPECT_EQ(canvas.At(10, 30), kWhite);
  Canvas blank(20, 20);
  ppDC blankDc(blank.dc());
  DrawFrameEdge(nullptr, 1, 1, 15, 9, &blankDc);
  ppPicture empty;
  DrawFrameEdge(&empty, 1, 1, 15, 1, &blankDc);
  EXPECT_TRUE(blank.Marked(20, 20).empty());
}

}  // namespace
