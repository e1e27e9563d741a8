// What a context keeps between drawing calls (its clip area) follows every change of clip, bitmap
// and surface size; solid fills, blits and whole-DIB conversions match a plain per-pixel reference,
// whatever the row lengths, offsets, scales, mirrorings and row orders.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

#include "platform/Dib.h"
#include "platform/DibBlit.h"
#include "platform/Raster.h"
#include "tests/platform/RasterTest.h"

namespace plat {
namespace {

using testing::Canvas;

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;

TEST(RasterKeptClip, EveryClipChangeReachesTheNextDrawing) {
  // Each step changes the clip, then fills the whole surface black on white: the ink must cover
  // exactly the clip area of that moment, not one kept from an earlier step.
  struct Step {
    const char* what;
    void (*change)(HDC);
    RECT ink;
  };
  const Step steps[] = {
      {"no clip", [](HDC) {}, RECT{0, 0, 16, 12}},
      {"clip region selected",
       [](HDC dc) {
         OwnedRegion r(CreateRectRgn(2, 3, 9, 8));
         SelectClipRgn(dc, r.get());
       },
       RECT{2, 3, 9, 8}},
      {"clip narrowed", [](HDC dc) { IntersectClipRect(dc, 4, 0, 16, 12); }, RECT{4, 3, 9, 8}},
      {"clip replaced",
       [](HDC dc) {
         OwnedRegion r(CreateRectRgn(10, 1, 15, 11));
         SelectClipRgn(dc, r.get());
       },
       RECT{10, 1, 15, 11}},
      {"clip taken away", [](HDC dc) { SelectClipRgn(dc, nullptr); }, RECT{0, 0, 16, 12}},
  };
  Canvas c(16, 12);
  OwnedBrush black(CreateSolidBrush(0));
  const RECT all{0, 0, 16, 12};
  for (const Step& step : steps) {
    c.surface.Fill(kWhite);
    step.change(c.dc);
    RECT box{};
    GetClipBox(c.dc, &box);
    EXPECT_EQ(box, step.ink) << step.what;
    FillRect(c.dc, &all, black.get());
    EXPECT_EQ(c.InkBox(), step.ink) << step.what;
    // Twice in a row: a kept answer must still be the right one.
    MoveToEx(c.dc, 0, 6, nullptr);
    LineTo(c.dc, 16, 6);
    EXPECT_EQ(c.InkBox(), step.ink) << step.what;
  }
}

TEST(RasterKeptClip, AnotherBitmapOrAResizedSurfaceIsDrawnWhole) {
  // A memory context: the clip area is the selected bitmap, so a larger bitmap selected after a
  // smaller one is filled to its own edges.
  HDC memory = CreateCompatibleDC(nullptr);
  HBITMAP small = CreateBitmap(4, 3, 1, 32, nullptr);
  HBITMAP large = CreateBitmap(9, 7, 1, 32, nullptr);
  OwnedBrush black(CreateSolidBrush(0));
  const RECT all{0, 0, 100, 100};
  HGDIOBJ stock = SelectObject(memory, small);
  RECT box{};
  GetClipBox(memory, &box);
  EXPECT_EQ(box, (RECT{0, 0, 4, 3}));
  FillRect(memory, &all, black.get());
  SelectObject(memory, large);
  GetClipBox(memory, &box);
  EXPECT_EQ(box, (RECT{0, 0, 9, 7}));
  OwnedBrush white(CreateSolidBrush(0xFFFFFF));
  FillRect(memory, &all, white.get());
  EXPECT_EQ(GetPixel(memory, 8, 6), 0xFFFFFFu);
  EXPECT_EQ(GetPixel(memory, 0, 0), 0xFFFFFFu);
  SelectObject(memory, stock);
  DeleteDC(memory);
  DeleteObject(small);
  DeleteObject(large);

  // A window context whose surface shrinks and grows under it: never a pixel outside the surface
  // (the address checker of the test build sees any), and the visible area again once it grows back.
  Surface surface(20, 20);
  surface.Fill(kWhite);
  HDC dc = CreateSurfaceDC(surface, POINT{0, 0}, RECT{0, 0, 20, 20});
  GetClipBox(dc, &box);
  EXPECT_EQ(box, (RECT{0, 0, 20, 20}));
  surface.Resize(6, 5);
  GetClipBox(dc, &box);
  EXPECT_EQ(box, (RECT{0, 0, 6, 5}));
  FillRect(dc, &all, black.get());
  EXPECT_EQ(surface.Pixel(5, 4), kBlack);
  surface.Resize(20, 20);
  FillRect(dc, &all, black.get());
  EXPECT_EQ(surface.Pixel(19, 19), kBlack);
  ReleaseSurfaceDC(dc);
}

TEST(RasterFill, SolidFillsKeepTheUnusedByteAtEveryLengthAndOffset) {
  // Row lengths 0 to 27 from offsets 0 to 8 cover the eight- and four-pixel steps and every remainder;
  // one, two and three rows at once.
  constexpr uint32_t kMarked = 0xA5123456;  // unused byte 0xA5 over a colour
  OwnedBrush brush(CreateSolidBrush(RGB(0x10, 0x20, 0x30)));
  const uint32_t filled = 0xA5000000 | ColorRefToPixel(RGB(0x10, 0x20, 0x30));
  for (int32_t rows = 1; rows <= 3; ++rows)
    for (int32_t left = 0; left <= 8; ++left) {
      for (int32_t width = 0; width <= 27; ++width) {
        Canvas c(40, 5);
        for (int32_t y = 0; y < 5; ++y)
          for (int32_t x = 0; x < 40; ++x) c.surface.Row32(y)[x] = kMarked;
        const RECT r{left, 1, left + width, 1 + rows};
        FillRect(c.dc, &r, brush.get());
        for (int32_t y = 0; y < 5; ++y)
          for (int32_t x = 0; x < 40; ++x) {
            const bool inside = y >= 1 && y < 1 + rows && x >= left && x < left + width;
            ASSERT_EQ(c.surface.Row32(y)[x], inside ? filled : kMarked)
                << "left " << left << " width " << width << " rows " << rows << " at " << x << "," << y;
          }
      }
    }
}

TEST(RasterFill, LongRowsKeepTheUnusedByteAndStopAtTheirLastPixelOrTheClipEdge) {
  // Rows long enough for the many-pixel steps and their remainders (lengths 0 to 99 from offsets 0 to
  // 8), each pixel of the surface marked with its own unused byte, so that a step that lands a pixel
  // too far or mixes up a neighbour's unused byte shows. Once over the whole surface, once clipped to
  // a region whose spans end at odd places inside the rows.
  OwnedBrush brush(CreateSolidBrush(RGB(0x10, 0x20, 0x30)));
  const uint32_t color = ColorRefToPixel(RGB(0x10, 0x20, 0x30));
  auto marked = [](int32_t x, int32_t y) { return uint32_t(x * 7 + y * 13 + 1) << 24 | 0x00345678; };
  OwnedRegion clip(CreateRectRgn(3, 0, 41, 6));
  OwnedRegion right(CreateRectRgn(58, 2, 101, 6));
  CombineRgn(clip.get(), clip.get(), right.get(), RGN_OR);
  for (bool clipped : {false, true})
    for (int32_t rows = 1; rows <= 3; ++rows)
      for (int32_t left = 0; left <= 8; ++left)
        for (int32_t width = 0; width <= 99; ++width) {
          testing::Canvas c(112, 6);
          for (int32_t y = 0; y < 6; ++y)
            for (int32_t x = 0; x < 112; ++x) c.surface.Row32(y)[x] = marked(x, y);
          if (clipped) SelectClipRgn(c.dc, clip.get());
          const RECT r{left, 2, left + width, 2 + rows};
          FillRect(c.dc, &r, brush.get());
          for (int32_t y = 0; y < 6; ++y)
            for (int32_t x = 0; x < 112; ++x) {
              const bool inside = y >= r.top && y < r.bottom && x >= r.left && x < r.right &&
                                  (!clipped || PtInRegion(clip.get(), x, y));
              const uint32_t want = inside ? (marked(x, y) & 0xFF000000) | color : marked(x, y);
              ASSERT_EQ(c.surface.Row32(y)[x], want)
                  << (clipped ? "clipped, " : "") << "left " << left << " width " << width << " rows " << rows
                  << " at " << x << "," << y;
            }
        }
}

TEST(RasterFill, RectangleFillsCoverExactlyTheRectangleWithinTheClipArea) {
  // Rectangles all over a window context whose visible area and clip region have holes and ragged
  // edges, against a per-pixel reference: a solid fill (FillRect) and an exclusive-or fill (a
  // rectangle without a pen) must touch exactly the pixels inside both the rectangle and the clip
  // area, whatever band or span edge the rectangle starts or stops on. Once on a plain context over
  // the whole surface, once on one at an origin inside it.
  constexpr int32_t kWidth = 37, kHeight = 29;
  OwnedBrush brush(CreateSolidBrush(RGB(0x10, 0x20, 0x30)));
  const uint32_t solid = ColorRefToPixel(RGB(0x10, 0x20, 0x30));
  // Visible: the device area less a hole; clip: three boxes, two of them touching side by side.
  OwnedRegion visible(CreateRectRgn(0, 0, 31, 25));
  {
    OwnedRegion hole(CreateRectRgn(9, 7, 17, 12));
    CombineRgn(visible.get(), visible.get(), hole.get(), RGN_DIFF);
  }
  OwnedRegion clip(CreateRectRgn(2, 1, 13, 20));
  for (const RECT& r : {RECT{13, 4, 27, 9}, RECT{5, 15, 29, 24}}) {
    OwnedRegion part(CreateRectRgn(r.left, r.top, r.right, r.bottom));
    CombineRgn(clip.get(), clip.get(), part.get(), RGN_OR);
  }
  struct Context {
    const char* what;
    POINT origin;
    bool clipped;
  };
  for (const Context& context :
       {Context{"plain", POINT{0, 0}, false}, Context{"at an origin", POINT{5, 3}, true}}) {
    Surface surface(kWidth, kHeight);
    HDC dc = context.clipped ? CreateSurfaceDC(surface, context.origin, visible.get())
                             : CreateSurfaceDC(surface, context.origin, RECT{0, 0, kWidth, kHeight});
    if (context.clipped) SelectClipRgn(dc, clip.get());
    auto shown = [&](int32_t x, int32_t y) {
      if (!context.clipped) return true;
      return PtInRegion(visible.get(), x, y) && PtInRegion(clip.get(), x, y);
    };
    SelectObject(dc, brush.get());
    SelectObject(dc, GetStockObject(NULL_PEN));
    uint32_t seed = 12345;
    auto next = [&seed](int32_t range) {
      seed = seed * 1103515245u + 12345u;
      return int32_t((seed >> 8) % uint32_t(range)) - 3;
    };
    for (int32_t round = 0; round < 300; ++round) {
      RECT r{next(kWidth + 6), next(kHeight + 6), 0, 0};
      r.right = r.left + next(kWidth / 2 + 3);
      r.bottom = r.top + next(kHeight / 2 + 3);
      const bool exclusive = round % 3 == 2;
      // A figure's corners are put in order; a fill rectangle turned inside out stays empty.
      if (exclusive && r.right < r.left) std::swap(r.left, r.right);
      if (exclusive && r.bottom < r.top) std::swap(r.top, r.bottom);
      for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < kWidth; ++x) surface.Row32(y)[x] = 0xA5000000 | uint32_t(x * 97 + y * 13);
      if (exclusive) {
        SetROP2(dc, R2_XORPEN);
        Rectangle(dc, r.left, r.top, r.right + 1, r.bottom + 1);  // no pen: right and bottom edge left out
        SetROP2(dc, R2_COPYPEN);
      } else {
        FillRect(dc, &r, brush.get());
      }
      for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < kWidth; ++x) {
          const int32_t dx = x - context.origin.x, dy = y - context.origin.y;
          const bool inside = dx >= r.left && dx < r.right && dy >= r.top && dy < r.bottom && shown(dx, dy);
          const uint32_t before = 0xA5000000 | uint32_t(x * 97 + y * 13);
          const uint32_t after = !inside ? before : exclusive ? before ^ solid : 0xA5000000 | solid;
          ASSERT_EQ(surface.Row32(y)[x], after)
              << context.what << (exclusive ? " exclusive-or" : " solid") << " rectangle " << r.left << ","
              << r.top << "-" << r.right << "," << r.bottom << " at " << x << "," << y;
        }
    }
    ReleaseSurfaceDC(dc);
  }
}

// A stretch's destination and source rectangles, each of which may be mirrored by a negative size.
struct StretchCase {
  const char* what;
  int32_t x, y, w, h;      // destination
  int32_t sx, sy, sw, sh;  // source
};

// Source pixels of the stretch tests: a distinct colour per pixel.
uint32_t StretchSourcePixel(int32_t x, int32_t y) { return uint32_t(0x100000 * x + 0x000100 * y + 0x11); }

// The reference a stretch is held to: destination pixel k of a side takes source pixel
// floor((k + 0.5) * |sw| / |w|), counted from the far end when the signs differ; pixels outside the
// destination rectangle, or with no source pixel, keep `back`. The source is sourceW x sourceH.
uint32_t ExpectedStretchPixel(const StretchCase& k, int32_t x, int32_t y, int32_t sourceW, int32_t sourceH,
                              uint32_t back) {
  const int64_t cols = std::abs(k.w), rows = std::abs(k.h);
  const int32_t left = k.w > 0 ? k.x : k.x + k.w + 1, top = k.h > 0 ? k.y : k.y + k.h + 1;
  const int32_t sLeft = k.sw > 0 ? k.sx : k.sx + k.sw + 1, sTop = k.sh > 0 ? k.sy : k.sy + k.sh + 1;
  const bool flipX = (k.w < 0) != (k.sw < 0), flipY = (k.h < 0) != (k.sh < 0);
  if (x < left || x >= left + cols || y < top || y >= top + rows) return back;
  const int64_t kx = flipX ? cols - 1 - (x - left) : x - left;
  const int64_t ky = flipY ? rows - 1 - (y - top) : y - top;
  const int64_t px = sLeft + (kx * 2 + 1) * std::abs(k.sw) / (cols * 2);
  const int64_t py = sTop + (ky * 2 + 1) * std::abs(k.sh) / (rows * 2);
  if (px < 0 || px >= sourceW || py < 0 || py >= sourceH) return back;
  return StretchSourcePixel(int32_t(px), int32_t(py));
}

TEST(RasterBlit, StretchesAgainstAPerPixelReference) {
  // Source 7 x 5 with a distinct colour per pixel; each case blits a source rectangle (partly
  // outside the source where stated) onto a destination rectangle of another size or direction.
  const StretchCase cases[] = {
      {"plain copy", 1, 1, 7, 5, 0, 0, 7, 5},
      {"enlarged", 0, 0, 17, 11, 0, 0, 7, 5},
      {"reduced", 2, 2, 3, 2, 0, 0, 7, 5},
      {"mirrored across", 16, 0, -14, 10, 0, 0, 7, 5},
      {"mirrored down", 0, 11, 9, -11, 0, 0, 7, 5},
      {"source left and above the edge", 0, 0, 12, 9, -3, -2, 8, 6},
      {"source right and below the edge", 3, 1, 13, 10, 4, 2, 6, 5},
      {"mirrored source beyond both edges", 17, 11, -15, -9, -2, -1, 10, 8},
  };
  constexpr int32_t kSw = 7, kSh = 5, kDw = 18, kDh = 12;
  constexpr uint32_t kBack = 0x5A5A5A;
  Canvas source(kSw, kSh);
  for (int32_t y = 0; y < kSh; ++y)
    for (int32_t x = 0; x < kSw; ++x) source.surface.SetPixel(x, y, StretchSourcePixel(x, y));
  for (const StretchCase& k : cases) {
    Canvas dest(kDw, kDh, kBack);
    StretchBlt(dest.dc, k.x, k.y, k.w, k.h, source.dc, k.sx, k.sy, k.sw, k.sh, SRCCOPY);
    for (int32_t y = 0; y < kDh; ++y)
      for (int32_t x = 0; x < kDw; ++x)
        ASSERT_EQ(dest.At(x, y), ExpectedStretchPixel(k, x, y, kSw, kSh, kBack))
            << k.what << " at " << x << "," << y;
  }
}

TEST(RasterBlit, LongStretchesOfFewSourcePixelsAgainstAPerPixelReference) {
  // Frame edges stretch a one-pixel-wide or -high picture along a whole side; with long sides the
  // source index of every destination pixel must still be floor((k + 0.5) * |sw| / |w|), mirrored or
  // not, the source rectangle reaching past the source or not, through a clip with a hole.
  const StretchCase cases[] = {
      {"one column across", 3, 2, 297, 2, 4, 0, 1, 2},
      {"one row down", 5, 1, 2, 187, 0, 3, 2, 1},
      {"three columns mirrored across", 301, 4, -283, 6, 2, 1, 3, 5},
      {"mirrored down, source past its edges", 7, 190, 9, -181, -2, -3, 11, 9},
      {"reduced", 0, 0, 97, 3, 0, 0, 13, 7},
      {"an even source width over an odd side", 2, 20, 297, 4, 0, 0, 12, 4},
      {"enlarged by an odd factor, both mirrored", 250, 150, -241, -139, 1, 1, 7, 5},
      {"one column beyond the source", 3, 2, 50, 2, 13, 0, 1, 2},
      {"one to one across, stretched down, past the left edge", 2, 5, 20, 150, -4, 1, 20, 3},
      {"one to one across, mirrored, one row down", 30, 5, -12, 170, 0, 2, 12, 1},
  };
  constexpr int32_t kSw = 13, kSh = 7, kDw = 305, kDh = 196;
  constexpr uint32_t kBack = 0x5A5A5A;
  testing::Canvas source(kSw, kSh);
  for (int32_t y = 0; y < kSh; ++y)
    for (int32_t x = 0; x < kSw; ++x) source.surface.SetPixel(x, y, StretchSourcePixel(x, y));
  OwnedRegion clip(CreateRectRgn(0, 0, kDw, kDh));
  {
    OwnedRegion hole(CreateRectRgn(40, 1, 171, 160));
    CombineRgn(clip.get(), clip.get(), hole.get(), RGN_DIFF);
  }
  for (const StretchCase& k : cases) {
    testing::Canvas dest(kDw, kDh, kBack);
    SelectClipRgn(dest.dc, clip.get());
    StretchBlt(dest.dc, k.x, k.y, k.w, k.h, source.dc, k.sx, k.sy, k.sw, k.sh, SRCCOPY);
    for (int32_t y = 0; y < kDh; ++y)
      for (int32_t x = 0; x < kDw; ++x) {
        const uint32_t expected =
            PtInRegion(clip.get(), x, y) ? ExpectedStretchPixel(k, x, y, kSw, kSh, kBack) : kBack;
        ASSERT_EQ(dest.At(x, y), expected) << k.what << " at " << x << "," << y;
      }
  }
}

// An 8x6 surface of distinct pixels whose context shows only an L: the top two rows and the left
// three columns below them.
struct LShapedSource {
  LShapedSource() {
    for (int32_t y = 0; y < 6; ++y)
      for (int32_t x = 0; x < 8; ++x) surface.SetPixel(x, y, 0x010101 * uint32_t(x + 8 * y + 1));
    OwnedRegion foot(CreateRectRgn(0, 2, 3, 6));
    CombineRgn(shown.get(), shown.get(), foot.get(), RGN_OR);
    dc = CreateSurfaceDC(surface, POINT{0, 0}, shown.get());
  }
  ~LShapedSource() { ReleaseSurfaceDC(dc); }
  LShapedSource(const LShapedSource&) = delete;
  LShapedSource& operator=(const LShapedSource&) = delete;

  Surface surface{8, 6};
  OwnedRegion shown{CreateRectRgn(0, 0, 8, 2)};
  HDC dc = nullptr;
};

TEST(RasterBlit, PlainCopiesTakeOnlyWhatTheSourceShows) {
  // A source context whose visible area is an L: the blit brings over the L and leaves the
  // destination's own pixels where the source shows nothing, also inside the L's box.
  LShapedSource l;
  const Surface& surface = l.surface;
  HDC source = l.dc;
  Canvas dest(8, 6, 0x5A5A5A);
  BitBlt(dest.dc, 0, 0, 8, 6, source, 0, 0, SRCCOPY);
  for (int32_t y = 0; y < 6; ++y)
    for (int32_t x = 0; x < 8; ++x) {
      const bool inL = y < 2 || x < 3;
      EXPECT_EQ(dest.At(x, y), inL ? surface.Pixel(x, y) : 0x5A5A5Au) << x << "," << y;
    }
}

TEST(RasterBlit, StretchesTakeOnlyWhatTheSourceShows) {
  // The same L-shaped source as above, stretched: a row stretched down and copied one to one across,
  // and one column stretched across. Where the source shows nothing the destination keeps its own.
  LShapedSource l;
  const Surface& surface = l.surface;
  HDC source = l.dc;
  const StretchCase cases[] = {
      {"row 3 down", 0, 0, 8, 20, 0, 3, 8, 1},
      {"the rows of the foot down", 0, 0, 8, 20, 0, 1, 8, 4},
      {"column 5 across", 0, 0, 30, 6, 5, 0, 1, 6},
  };
  for (const StretchCase& k : cases) {
    Canvas dest(30, 20, 0x5A5A5A);
    StretchBlt(dest.dc, k.x, k.y, k.w, k.h, source, k.sx, k.sy, k.sw, k.sh, SRCCOPY);
    for (int32_t y = 0; y < 20; ++y)
      for (int32_t x = 0; x < 30; ++x) {
        const int32_t sx = k.sx + (x * 2 + 1) * k.sw / (k.w * 2), sy = k.sy + (y * 2 + 1) * k.sh / (k.h * 2);
        const bool shownThere = x < k.w && y < k.h && (sy < 2 || sx < 3);
        ASSERT_EQ(dest.At(x, y), shownThere ? surface.Pixel(sx, sy) : 0x5A5A5Au)
            << k.what << " at " << x << "," << y;
      }
  }
}

TEST(RasterBlit, RowCopiesMatchOneRowAtATimeAndStopAtTheirLastPixel) {
  // Every row length up to 40, one source row into every row (stride 0) or row by row, between guard
  // words; each destination word carries its own unused byte, which must stay.
  constexpr uint32_t kGuard = 0xDEADBEEF;
  for (int32_t count = 0; count <= 40; ++count)
    for (std::ptrdiff_t inStride : {std::ptrdiff_t(0), std::ptrdiff_t(41)}) {
      constexpr int32_t kRows = 3;
      const std::ptrdiff_t outStride = count + 3;
      std::vector<uint32_t> in(41 * kRows);
      for (size_t i = 0; i < in.size(); ++i) in[i] = 0x7F000000 | uint32_t(i * 2654435761u & 0xFFFFFF);
      std::vector<uint32_t> out(size_t(outStride * kRows + 4), kGuard);
      for (size_t i = 2; i < out.size() - 2; ++i) out[i] = uint32_t(i) << 24 | 0x123456;
      std::vector<uint32_t> want = out;
      for (int32_t y = 0; y < kRows; ++y)
        CopyColorBits(want.data() + 2 + y * outStride, in.data() + y * inStride, count);
      CopyColorBitsRows(out.data() + 2, outStride, in.data(), inStride, count, kRows);
      ASSERT_EQ(out, want) << "count " << count << " source stride " << inStride;
    }
}

TEST(RasterBlit, ACopyWithinOneSurfaceMatchesTheCopyFromAnother) {
  // A copy onto the same surface reads its source first: rows one after another, moved down and
  // right over themselves, and one row stretched down over rows below it.
  Canvas self(40, 30), other(40, 30), from(40, 30);
  for (int32_t y = 0; y < 30; ++y)
    for (int32_t x = 0; x < 40; ++x) self.surface.SetPixel(x, y, StretchSourcePixel(x, y));
  auto copyOfSelf = [&](Canvas& c) {
    for (int32_t y = 0; y < 30; ++y)
      for (int32_t x = 0; x < 40; ++x) c.surface.SetPixel(x, y, self.At(x, y));
  };
  copyOfSelf(other);
  copyOfSelf(from);
  BitBlt(self.dc, 5, 3, 31, 20, self.dc, 2, 1, SRCCOPY);
  BitBlt(other.dc, 5, 3, 31, 20, from.dc, 2, 1, SRCCOPY);
  EXPECT_EQ(self.At(5, 3), StretchSourcePixel(2, 1));
  EXPECT_EQ(self.Snapshot(), other.Snapshot());
  copyOfSelf(from);
  StretchBlt(self.dc, 1, 20, 12, 9, self.dc, 0, 19, 12, 1, SRCCOPY);
  StretchBlt(other.dc, 1, 20, 12, 9, from.dc, 0, 19, 12, 1, SRCCOPY);
  EXPECT_EQ(self.Snapshot(), other.Snapshot());
}

TEST(RasterBlit, PlainCopiesBetweenSurfacesAtOriginsFollowTheClipAndKeepTheUnusedByte) {
  // Both contexts lie inside their surfaces at an origin, as a window's client area does, and the
  // destination is clipped to an L. Rows of 19 pixels take the wide steps and a remainder.
  constexpr uint32_t kSourceMark = 0x7E000000, kDestMark = 0xA5000000, kBack = 0x5A5A5A;
  Surface from(30, 12), to(32, 14);
  auto sourcePixel = [](int32_t x, int32_t y) {
    return uint32_t(0x010000 * (x + 1) + 0x000100 * (y + 1) + 0x33);
  };
  for (int32_t y = 0; y < 12; ++y)
    for (int32_t x = 0; x < 30; ++x) from.Row32(y)[x] = kSourceMark | sourcePixel(x, y);
  for (int32_t y = 0; y < 14; ++y)
    for (int32_t x = 0; x < 32; ++x) to.Row32(y)[x] = kDestMark | kBack;
  HDC source = CreateSurfaceDC(from, POINT{3, 2}, RECT{0, 0, 27, 10});
  HDC dest = CreateSurfaceDC(to, POINT{1, 3}, RECT{0, 0, 31, 11});
  OwnedRegion clip(CreateRectRgn(0, 0, 25, 3));
  OwnedRegion foot(CreateRectRgn(0, 3, 6, 9));
  CombineRgn(clip.get(), clip.get(), foot.get(), RGN_OR);
  SelectClipRgn(dest, clip.get());
  BitBlt(dest, 2, 1, 19, 7, source, 4, 1, SRCCOPY);
  for (int32_t y = 0; y < 14; ++y)
    for (int32_t x = 0; x < 32; ++x) {
      const int32_t cx = x - 1, cy = y - 3;  // destination client coordinates
      const bool inBlit = cx >= 2 && cx < 21 && cy >= 1 && cy < 8;
      const bool inClip = cy >= 0 && (cy < 3 ? cx >= 0 && cx < 25 : cy < 9 && cx >= 0 && cx < 6);
      const uint32_t expected =
          inBlit && inClip ? kDestMark | sourcePixel(3 + 4 + (cx - 2), 2 + 1 + (cy - 1)) : kDestMark | kBack;
      ASSERT_EQ(to.Row32(y)[x], expected) << "at " << x << "," << y;
    }
  ReleaseSurfaceDC(source);
  ReleaseSurfaceDC(dest);
}

TEST(RasterDib, WholeImageConversionMatchesThePixelReader) {
  // Every bit count the row readers treat apart from the rest, both row orders, widths whose rows
  // need padding, masks of the usual and of another layout, and a surface narrower than the image.
  struct Case {
    const char* what;
    int32_t bitCount;
    bool bottomUp;
    uint32_t masks[3];
    int32_t width;
    int32_t surfaceWidth;
  };
  const Case cases[] = {
      {"24 bits bottom-up, padded rows", 24, true, {0, 0, 0}, 5, 5},
      {"24 bits top-down", 24, false, {0, 0, 0}, 4, 4},
      {"32 bits 8-8-8, unused byte set", 32, true, {0xFF0000, 0xFF00, 0xFF}, 3, 3},
      {"32 bits 8-8-8 top-down, narrower surface", 32, false, {0xFF0000, 0xFF00, 0xFF}, 6, 4},
      {"32 bits of another layout", 32, true, {0xFF, 0xFF00, 0xFF0000}, 3, 3},
      {"16 bits 5-6-5", 16, true, {0xF800, 0x07E0, 0x001F}, 5, 5},
      {"8 bits through the table", 8, false, {0, 0, 0}, 7, 7},
  };
  for (const Case& k : cases) {
    DibFormat f;
    f.width = k.width;
    f.height = 3;
    f.bottomUp = k.bottomUp;
    f.bitCount = k.bitCount;
    f.rowBytes = DibRowBytes(f.width, f.bitCount);
    for (int32_t i = 0; i < 3; ++i) f.masks[i] = k.masks[i];
    for (int32_t i = 0; i < 256; ++i)
      f.colors.push_back(RGBQUAD{uint8_t(i), uint8_t(255 - i), uint8_t(i * 7), 0});
    std::vector<uint8_t> bits(f.ImageBytes());
    for (size_t i = 0; i < bits.size(); ++i) bits[i] = uint8_t(i * 29 + 13);
    Surface surface(k.surfaceWidth, f.height);
    surface.Fill(kWhite);
    DibToSurface(f, bits.data(), surface);
    for (int32_t y = 0; y < f.height; ++y)
      for (int32_t x = 0; x < k.surfaceWidth; ++x)
        ASSERT_EQ(surface.Row32(y)[x], DibPixel(f, bits.data(), x, y)) << k.what << " at " << x << "," << y;
  }
}

TEST(RasterDib, UnscaledCopiesOfLongRowsMatchThePixelReaderAndReadOnlyTheirBits) {
  // 24-bit images 1 to 40 pixels wide, both row orders, drawn at an offset through a clip with a hole
  // that splits one row into spans starting and stopping inside the image; each surface pixel has an
  // unused byte of its own to keep. The bits sit in a block of exactly their size, so that a read
  // past the last pixel of the last row is seen by the address sanitizer.
  constexpr int32_t kWidth = 48, kHeight = 5;
  const auto marked = [](int32_t x, int32_t y) { return uint32_t(x * 11 + y * 5 + 3) << 24 | 0x00ABCDEF; };
  OwnedRegion clip(CreateRectRgn(0, 0, kWidth, kHeight));
  {
    OwnedRegion hole(CreateRectRgn(6, 2, 19, 3));
    CombineRgn(clip.get(), clip.get(), hole.get(), RGN_DIFF);
  }
  for (bool bottomUp : {true, false})
    for (int32_t width = 1; width <= 40; ++width) {
      DibFormat f;
      f.width = width;
      f.height = 3;
      f.bottomUp = bottomUp;
      f.bitCount = 24;
      f.rowBytes = DibRowBytes(f.width, f.bitCount);
      const size_t size = f.ImageBytes();
      std::unique_ptr<uint8_t[]> bits(new uint8_t[size]);
      for (size_t i = 0; i < size; ++i) bits[i] = uint8_t(i * 29 + 13);
      BITMAPINFO info{};
      info.bmiHeader.biWidth = width;
      info.bmiHeader.biHeight = bottomUp ? 3 : -3;
      info.bmiHeader.biBitCount = 24;
      Surface surface(kWidth, kHeight);
      for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < kWidth; ++x) surface.Row32(y)[x] = marked(x, y);
      HDC dc = CreateSurfaceDC(surface, POINT{2, 0}, RECT{0, 0, kWidth - 2, kHeight});
      SelectClipRgn(dc, clip.get());
      ASSERT_TRUE(CopyDibUnscaled(dc, 3, 1, bits.get(), &info));
      DeleteDC(dc);
      for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < kWidth; ++x) {
          // Device pixel (x - 2, y); the image's pixel (x - 5, y - 1).
          const int32_t ix = x - 5, iy = y - 1;
          const bool drawn = ix >= 0 && ix < width && iy >= 0 && iy < 3 && PtInRegion(clip.get(), x - 2, y);
          const uint32_t want =
              drawn ? (marked(x, y) & 0xFF000000) | DibPixel(f, bits.get(), ix, iy) : marked(x, y);
          ASSERT_EQ(surface.Row32(y)[x], want)
              << (bottomUp ? "bottom-up" : "top-down") << " width " << width << " at " << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace plat
