// Pens, brushes, figures, raster operations, clipping and paths on a surface.
#include "tests/platform/RasterTest.h"

#include <gtest/gtest.h>

namespace plat {
namespace {

using testing::Canvas;

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kRed = 0xFF0000;  // surface pixel 0x00RRGGBB

TEST(RasterLines, LineExcludesItsLastPixelAndMovesThePosition) {
  Canvas c(20, 5);
  MoveToEx(c.dc, 0, 0, nullptr);
  LineTo(c.dc, 10, 0);
  for (int x = 0; x < 10; ++x) EXPECT_EQ(c.At(x, 0), kBlack) << x;
  EXPECT_EQ(c.At(10, 0), kWhite);
  POINT p;
  GetCurrentPositionEx(c.dc, &p);
  EXPECT_EQ(p, (POINT{10, 0}));
  // A diagonal covers one pixel per step of its longer axis.
  LineTo(c.dc, 14, 4);
  EXPECT_EQ(c.At(11, 1), kBlack);
  EXPECT_EQ(c.At(13, 3), kBlack);
  EXPECT_EQ(c.At(14, 4), kWhite);
}

TEST(RasterLines, NotXorFiguresChangeOnlyTheirPixelsAndUndoThemselves) {
  Canvas c(40, 40);
  c.FillPattern();
  const std::vector<uint32_t> before = c.Snapshot();
  SetROP2(c.dc, R2_NOTXORPEN);

  MoveToEx(c.dc, 0, 0, nullptr);
  LineTo(c.dc, 10, 0);
  std::vector<uint32_t> after = c.Snapshot();
  for (int x = 0; x < 40; ++x) {
    EXPECT_EQ(after[x] != before[x], x < 10) << x;  // black pen: every colour bit flips
  }
  MoveToEx(c.dc, 0, 0, nullptr);
  LineTo(c.dc, 10, 0);
  EXPECT_EQ(c.Snapshot(), before);

  // Outlines with a hollow brush, curves and wide pens too.
  SelectObject(c.dc, GetStockObject(HOLLOW_BRUSH));
  OwnedPen wide(CreatePen(PS_SOLID, 3, RGB(0, 128, 255)));
  for (int pass = 0; pass < 2; ++pass) {
    Rectangle(c.dc, 2, 2, 30, 20);
    Ellipse(c.dc, 5, 5, 35, 35);
    MoveToEx(c.dc, 1, 38, nullptr);
    POINT curve[3] = {{10, 10}, {30, 50}, {38, 2}};
    PolyBezierTo(c.dc, curve, 3);
    SelectObject(c.dc, wide.get());
    MoveToEx(c.dc, 3, 30, nullptr);
    LineTo(c.dc, 30, 33);
    LineTo(c.dc, 20, 10);
    SelectObject(c.dc, GetStockObject(BLACK_PEN));
    if (pass == 0) {
      EXPECT_NE(c.Snapshot(), before);
    }
  }
  EXPECT_EQ(c.Snapshot(), before);

  OwnedRegion region(CreateRectRgn(4, 4, 24, 14));
  OwnedRegion hole(CreateRectRgn(10, 6, 14, 10));
  CombineRgn(region.get(), region.get(), hole.get(), RGN_DIFF);
  OwnedBrush brush(CreateSolidBrush(RGB(10, 200, 30)));
  FrameRgn(c.dc, region.get(), brush.get(), 2, 1);
  EXPECT_NE(c.Snapshot(), before);
  FrameRgn(c.dc, region.get(), brush.get(), 2, 1);
  EXPECT_EQ(c.Snapshot(), before);
}

TEST(RasterLines, DashedPenLeavesGapsInTheBackgroundColourWhenOpaque) {
  Canvas c(40, 3, kRed);
  OwnedPen dash(CreatePen(PS_DASH, 1, 0));
  SelectObject(c.dc, dash.get());
  MoveToEx(c.dc, 0, 0, nullptr);
  LineTo(c.dc, 30, 0);
  EXPECT_EQ(c.At(0, 0), kBlack);
  EXPECT_EQ(c.At(17, 0), kBlack);
  EXPECT_EQ(c.At(18, 0), kWhite);  // background colour in the gap
  EXPECT_EQ(c.At(24, 0), kBlack);
  SetBkMode(c.dc, TRANSPARENT);
  MoveToEx(c.dc, 0, 1, nullptr);
  LineTo(c.dc, 30, 1);
  EXPECT_EQ(c.At(18, 1), kRed);
  SelectObject(c.dc, GetStockObject(BLACK_PEN));
}

TEST(RasterFigures, RectangleCoversItsBoxAndShrinksWithoutAPen) {
  Canvas c(20, 20);
  OwnedBrush red(CreateSolidBrush(RGB(255, 0, 0)));
  SelectObject(c.dc, red.get());
  Rectangle(c.dc, 2, 2, 8, 6);
  EXPECT_EQ(c.InkBox(), (RECT{2, 2, 8, 6}));
  EXPECT_EQ(c.At(2, 2), kBlack);
  EXPECT_EQ(c.At(7, 5), kBlack);
  EXPECT_EQ(c.At(3, 3), kRed);
  EXPECT_EQ(c.Count(kRed), 4 * 2);

  Canvas d(20, 20);
  SelectObject(d.dc, red.get());
  SelectObject(d.dc, GetStockObject(NULL_PEN));
  Rectangle(d.dc, 2, 2, 8, 6);
  EXPECT_EQ(d.InkBox(), (RECT{2, 2, 7, 5}));
  Ellipse(d.dc, 10, 10, 20, 20);
  EXPECT_EQ(d.At(14, 14), kRed);
  EXPECT_EQ(d.At(10, 10), kWhite);  // corners of the box stay outside
  SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
  SelectObject(d.dc, GetStockObject(WHITE_BRUSH));
}

TEST(RasterFigures, RasterOperationsCombinePenAndDestination) {
  struct Case {
    int32_t rop;
    uint32_t expected;
  } cases[] = {{R2_COPYPEN, 0x00FF00},
               {R2_XORPEN, 0x0FF00F ^ 0x00FF00},
               {R2_NOT, 0xF00FF0},
               {R2_MASKPEN, 0x0FF00F & 0x00FF00},
               {R2_MERGEPEN, 0x0FF00F | 0x00FF00},
               {R2_NOTXORPEN, ~(0x0FF00F ^ 0x00FF00) & 0xFFFFFF},
               {R2_BLACK, 0},
               {R2_WHITE, 0xFFFFFF},
               {R2_NOP, 0x0FF00F}};
  for (const Case& k : cases) {
    Canvas c(4, 4, 0x0FF00F);
    OwnedBrush green(CreateSolidBrush(RGB(0, 255, 0)));
    OwnedRegion all(CreateRectRgn(0, 0, 4, 4));
    SelectObject(c.dc, green.get());
    SetROP2(c.dc, k.rop);
    PaintRgn(c.dc, all.get());
    EXPECT_EQ(c.At(1, 1), k.expected) << k.rop;
    SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
  }
}

TEST(RasterFigures, SetPixelIgnoresTheRasterOperationAndTheClip) {
  Canvas c(8, 8);
  SetROP2(c.dc, R2_NOTXORPEN);
  EXPECT_EQ(SetPixel(c.dc, 1, 1, RGB(255, 0, 0)), RGB(255, 0, 0));
  EXPECT_EQ(c.At(1, 1), kRed);
  EXPECT_EQ(GetPixel(c.dc, 1, 1), RGB(255, 0, 0));
  OwnedRegion clip(CreateRectRgn(0, 0, 4, 4));
  SelectClipRgn(c.dc, clip.get());
  EXPECT_EQ(SetPixel(c.dc, 6, 6, 0), CLR_INVALID);
  EXPECT_EQ(c.At(6, 6), kWhite);
  EXPECT_EQ(SetPixel(c.dc, 100, 100, 0), CLR_INVALID);
}

TEST(RasterClipping, ClipRegionAndVisibleAreaLimitDrawing) {
  Canvas c(20, 20);
  RECT all{0, 0, 20, 20};
  OwnedBrush black(CreateSolidBrush(0));
  OwnedRegion clip(CreateRectRgn(5, 5, 10, 10));
  OwnedRegion got(CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(GetClipRgn(c.dc, got.get()), 0);
  SelectClipRgn(c.dc, clip.get());
  OffsetRgn(clip.get(), 5, 5);  // the context keeps its own copy
  EXPECT_EQ(GetClipRgn(c.dc, got.get()), 1);
  RECT box;
  GetRgnBox(got.get(), &box);
  EXPECT_EQ(box, (RECT{5, 5, 10, 10}));
  FillRect(c.dc, &all, black.get());
  EXPECT_EQ(c.InkBox(), (RECT{5, 5, 10, 10}));
  IntersectClipRect(c.dc, 0, 0, 7, 20);
  GetClipBox(c.dc, &box);
  EXPECT_EQ(box, (RECT{5, 5, 7, 10}));
  SelectClipRgn(c.dc, nullptr);
  EXPECT_EQ(GetClipRgn(c.dc, got.get()), 0);

  // A child window's context: device (0, 0) sits at the origin; only the visible area is touched.
  Surface surface(30, 30);
  surface.Fill(kWhite);
  HDC child = CreateSurfaceDC(surface, POINT{10, 12}, RECT{0, 0, 5, 4});
  FillRect(child, &all, black.get());
  int32_t inked = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) inked += surface.Pixel(x, y) == kBlack;
  EXPECT_EQ(inked, 5 * 4);
  EXPECT_EQ(surface.Pixel(10, 12), kBlack);
  EXPECT_EQ(surface.Pixel(14, 15), kBlack);
  EXPECT_EQ(GetDCOrigin(child), (POINT{10, 12}));
  ReleaseSurfaceDC(child);
}

TEST(RasterClipping, ScrollMovesPixelsAndReportsTheUncoveredBand) {
  Canvas c(100, 100);
  SetPixel(c.dc, 50, 50, 0);
  OwnedRegion update(CreateRectRgn(0, 0, 0, 0));
  RECT area{0, 0, 100, 100}, uncovered;
  ASSERT_TRUE(ScrollDC(c.dc, 0, -10, &area, &area, update.get(), &uncovered));
  EXPECT_EQ(uncovered, (RECT{0, 90, 100, 100}));
  RECT box;
  EXPECT_EQ(GetRgnBox(update.get(), &box), SIMPLEREGION);
  EXPECT_EQ(box, uncovered);
  EXPECT_EQ(c.At(50, 40), kBlack);
  EXPECT_EQ(c.At(50, 50), kWhite);
  // Sideways inside a smaller area: the rest of the surface stays.
  SetPixel(c.dc, 5, 5, 0);
  RECT part{0, 0, 20, 20};
  ScrollDC(c.dc, 4, 0, &part, &part, nullptr, &uncovered);
  EXPECT_EQ(uncovered, (RECT{0, 0, 4, 20}));
  EXPECT_EQ(c.At(9, 5), kBlack);
  EXPECT_EQ(c.At(50, 40), kBlack);
}

TEST(RasterPaths, PathBecomesARegionAndDrawsNothing) {
  Canvas c(30, 30);
  BeginPath(c.dc);
  MoveToEx(c.dc, 0, 0, nullptr);
  LineTo(c.dc, 10, 0);
  LineTo(c.dc, 10, 10);
  LineTo(c.dc, 0, 10);
  CloseFigure(c.dc);
  Rectangle(c.dc, 20, 20, 25, 25);
  EndPath(c.dc);
  EXPECT_EQ(c.InkBox(), (RECT{}));
  OwnedRegion region(PathToRegion(c.dc));
  ASSERT_TRUE(region);
  RECT box;
  EXPECT_EQ(GetRgnBox(region.get(), &box), COMPLEXREGION);
  EXPECT_EQ(box, (RECT{0, 0, 25, 25}));
  EXPECT_TRUE(PtInRegion(region.get(), 9, 9));
  EXPECT_FALSE(PtInRegion(region.get(), 15, 15));
  EXPECT_TRUE(PtInRegion(region.get(), 24, 24));
  EXPECT_EQ(PathToRegion(c.dc), nullptr);  // consumed
}

TEST(RasterPaths, ArcToFollowsTheArcDirection) {
  // A quarter from the right radial to the top radial: counter-clockwise stays in the upper right,
  // clockwise goes round through the bottom.
  for (int32_t direction : {AD_COUNTERCLOCKWISE, AD_CLOCKWISE}) {
    Canvas c(40, 40);
    SetArcDirection(c.dc, direction);
    MoveToEx(c.dc, 30, 20, nullptr);
    ArcTo(c.dc, 10, 10, 31, 31, 40, 20, 20, 0);
    POINT end;
    GetCurrentPositionEx(c.dc, &end);
    EXPECT_EQ(end, (POINT{20, 10}));
    bool bottom = c.At(20, 30) == kBlack;
    EXPECT_EQ(bottom, direction == AD_CLOCKWISE);
    EXPECT_EQ(GetArcDirection(c.dc), direction);
  }
}

TEST(RasterMapping, IsotropicModeScalesUniformly) {
  Canvas c(40, 40);
  SetMapMode(c.dc, MM_ISOTROPIC);
  SetWindowExtEx(c.dc, 10, 10, nullptr);
  SetViewportExtEx(c.dc, 20, 30, nullptr);  // the smaller ratio, 2, wins
  MoveToEx(c.dc, 0, 1, nullptr);
  LineTo(c.dc, 5, 1);
  EXPECT_EQ(c.InkBox(), (RECT{0, 2, 10, 3}));
}

TEST(RasterObjects, SelectionDescriptionAndDeferredDeletion) {
  Canvas c(4, 4);
  HPEN pen = CreatePen(PS_DASH, 2, RGB(1, 2, 3));
  HGDIOBJ old = SelectObject(c.dc, pen);
  EXPECT_EQ(old, GetStockObject(BLACK_PEN));
  LOGPEN info;
  EXPECT_EQ(GetObject(pen, sizeof info, &info), int32_t(sizeof info));
  EXPECT_EQ(info.lopnStyle, UINT(PS_DASH));
  EXPECT_EQ(info.lopnWidth.x, 2);
  EXPECT_EQ(info.lopnColor, RGB(1, 2, 3));
  // Deleting a selected pen waits until the context lets it go.
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_EQ(GetObjectType(pen), OBJ_PEN);
  EXPECT_EQ(SelectObject(c.dc, old), pen);
  EXPECT_EQ(GetObjectType(pen), 0u);
  EXPECT_FALSE(DeleteObject(pen));  // already gone: refused, not freed twice

  HBRUSH brush = CreateSolidBrush(RGB(9, 8, 7));
  LOGBRUSH b;
  GetObject(brush, sizeof b, &b);
  EXPECT_EQ(b.lbColor, RGB(9, 8, 7));
  EXPECT_EQ(GetObject(brush, 0, nullptr), int32_t(sizeof(LOGBRUSH)));
  DeleteObject(brush);
  // Stock objects survive deletion.
  EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(GetObjectType(GetStockObject(WHITE_BRUSH)), OBJ_BRUSH);
  // A region selected as an object becomes the clip.
  OwnedRegion clip(CreateRectRgn(0, 0, 2, 2));
  SelectObject(c.dc, clip.get());
  RECT box;
  GetClipBox(c.dc, &box);
  EXPECT_EQ(box, (RECT{0, 0, 2, 2}));
  EXPECT_EQ(GetDeviceCaps(c.dc, RASTERCAPS) & RC_STRETCHDIB, RC_STRETCHDIB);
  EXPECT_EQ(GetDeviceCaps(c.dc, BITSPIXEL) * GetDeviceCaps(c.dc, PLANES), 32);
}

}  // namespace
}  // namespace plat

namespace plat {
namespace {

using testing::Canvas;

TEST(RasterLimits, LinesCutByTheClipDrawTheSamePixelsAsWhole) {
  // The same lines on a small canvas and, shifted by a child origin, on a wide one.
  const POINT ends[][2] = {
      {{-100, 3}, {100, 20}}, {{50, -400}, {10, 90}}, {{63, 63}, {-7, -2}}, {{-5, 30}, {200, 29}}};
  for (const auto& e : ends) {
    Canvas small(64, 64);
    Surface wide(600, 600);
    wide.Fill(0xFFFFFF);
    HDC shifted = CreateSurfaceDC(wide, POINT{300, 300}, RECT{-300, -300, 300, 300});
    for (HDC dc : {small.dc, shifted}) {
      MoveToEx(dc, e[0].x, e[0].y, nullptr);
      LineTo(dc, e[1].x, e[1].y);
    }
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) ASSERT_EQ(small.At(x, y), wide.Pixel(x + 300, y + 300)) << x << "," << y;
    DeleteDC(shifted);
  }
}

TEST(RasterLimits, PenPixelsStopAtTheEdgesOfARectangularClipAsAtThoseOfAnyRegion) {
  // A self-crossing polyline over all four edges of a clip rectangle, once clipped by the rectangle
  // alone and once by the rectangle with a far pixel added (a region of two parts, searched band by
  // band): the same pixels, in the plain pen and in exclusive-or, which drawn twice leaves nothing.
  const POINT star[] = {{-3, 5}, {40, 31}, {2, 33}, {37, -2}, {20, 40}, {-3, 5}};
  OwnedRegion rectangle(CreateRectRgn(4, 3, 33, 30));
  OwnedRegion twoParts(CreateRectRgn(4, 3, 33, 30));
  {
    OwnedRegion far(CreateRectRgn(60, 60, 61, 61));
    CombineRgn(twoParts.get(), twoParts.get(), far.get(), RGN_OR);
  }
  OwnedPen red(CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
  for (int32_t rop : {R2_COPYPEN, R2_XORPEN}) {
    Canvas one(64, 64), other(64, 64);
    for (Canvas* c : {&one, &other}) {
      c->FillPattern();
      SelectObject(c->dc, red.get());
      SelectClipRgn(c->dc, c == &one ? rectangle.get() : twoParts.get());
      SetROP2(c->dc, rop);
      Polyline(c->dc, star, 6);
    }
    ASSERT_EQ(one.Snapshot(), other.Snapshot()) << "raster operation " << rop;
    if (rop == R2_XORPEN) {
      const std::vector<uint32_t> drawn = one.Snapshot();
      Polyline(one.dc, star, 6);
      SelectObject(one.dc, GetStockObject(BLACK_PEN));
      SelectObject(other.dc, GetStockObject(BLACK_PEN));
      Canvas untouched(64, 64);
      untouched.FillPattern();
      EXPECT_EQ(one.Snapshot(), untouched.Snapshot());
      EXPECT_NE(drawn, untouched.Snapshot());
    }
  }
}

TEST(RasterLimits, HugeCoordinatesCostNoMoreThanTheVisibleArea) {
  Canvas c(32, 32);
  OwnedPen wide(CreatePen(PS_SOLID, 4, 0));
  OwnedPen dots(CreatePen(PS_DOT, 1, 0));
  const int32_t far = 2000000000;
  MoveToEx(c.dc, -far, -far, nullptr);
  LineTo(c.dc, far, far);
  SelectObject(c.dc, dots.get());
  LineTo(c.dc, -far, 16);
  SelectObject(c.dc, wide.get());
  LineTo(c.dc, far, 5);
  Rectangle(c.dc, -far, -far, far, far);
  Ellipse(c.dc, -far, 10, far, 20);
  POINT spike[3] = {{-far, 0}, {far, 31}, {0, far}};
  Polygon(c.dc, spike, 3);
  SelectObject(c.dc, GetStockObject(BLACK_PEN));
  StretchBlt(c.dc, -far, -far, far, far, c.dc, 0, 0, -far, far, SRCCOPY);
  BitBlt(c.dc, 0, 0, far, far, c.dc, -far, -far, SRCINVERT);
  OwnedFont font(CreateFontA(-4000, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
  SelectObject(c.dc, font.get());
  TextOutW(c.dc, -far, -far, u"far away", 8);
  TextOutW(c.dc, -100, -100, u"huge", 4);
  SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
  EXPECT_EQ(CreateEllipticRgn(0, -far, 10, far), nullptr);
  POINT tall[3] = {{0, -far}, {5, far}, {10, 0}};
  EXPECT_EQ(CreatePolygonRgn(tall, 3, WINDING), nullptr);
  OwnedRegion box(CreateRectRgn(-far, -far, far, far));
  RECT r;
  EXPECT_EQ(GetRgnBox(box.get(), &r), SIMPLEREGION);
  EXPECT_EQ(r.right, far);
}

}  // namespace
}  // namespace plat
