// Where a surface knows that every pixel's unused byte is 0, solid fills write whole pixels without
// reading them: the pixels must come out exactly as the colour-only fill makes them, and the surface
// must stop claiming it as soon as a writer that may set the byte gets its rows.
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <cairo.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "platform/Gdi.h"
#include "platform/HeadlessDriver.h"
#include "platform/Raster.h"
#include "platform/WindowApi.h"
#include "tests/platform/RasterTest.h"

namespace plat {
namespace {

using testing::Canvas;

std::vector<uint32_t> Words(const Surface& surface) {
  std::vector<uint32_t> words;
  for (int32_t y = 0; y < surface.Height(); ++y)
    for (int32_t x = 0; x < surface.Width(); ++x) words.push_back(surface.Row32(y)[x]);
  return words;
}

TEST(UnusedBytes, KnownZeroOnlyUntilAWriterThatMaySetThemGetsTheRows) {
  // Owned memory: zeroed, or mapped (the kernel clears it); heap memory left for its caller holds
  // anything until a fill has written every pixel.
  EXPECT_TRUE(Surface(16, 16).UnusedBytesZero());
  EXPECT_TRUE(Surface(1280, 1024, PixelMemory::Start::kWrittenByCaller).UnusedBytesZero());
  Surface written(16, 16, PixelMemory::Start::kWrittenByCaller);
  EXPECT_FALSE(written.UnusedBytesZero());
  written.Fill(0xFFFFFF);
  EXPECT_TRUE(written.UnusedBytesZero());

  // Borrowed memory belongs to someone else.
  std::vector<uint32_t> bits(64, 0xFF000000);
  EXPECT_FALSE(Surface(reinterpret_cast<uint8_t*>(bits.data()), 8, 8, 32).UnusedBytesZero());

  // Reading, colour writes and resizing keep the claim; writable rows, cairo end it until a fill.
  Surface s(16, 16);
  (void)std::as_const(s).Row32(3);
  s.SetPixel(2, 2, 0xFFFFFFFF);
  EXPECT_EQ(s.Row32(2)[2], 0x00FFFFFFu) << "the pixel is written without its top byte";
  EXPECT_FALSE(s.UnusedBytesZero()) << "Row32 handed out writable rows";
  s.Fill(0);
  s.Resize(40, 30);
  s.Resize(1280, 1024);
  EXPECT_TRUE(s.UnusedBytesZero());
  ASSERT_NE(s.Cairo(), nullptr);
  EXPECT_FALSE(s.UnusedBytesZero());
}

TEST(UnusedBytes, DrawingThroughAContextKeepsTheClaim) {
  // Fills, lines, pixels, blits, pattern fills and scrolling write only colour bits or move pixels of
  // the same surface; they must not give up the fast fills of the surface they draw on.
  Canvas c(64, 48);
  Canvas source(16, 16, 0x123456);
  ASSERT_TRUE(c.surface.UnusedBytesZero());
  OwnedBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
  const RECT r{3, 4, 40, 30};
  FillRect(c.dc, &r, brush.get());
  MoveToEx(c.dc, 0, 0, nullptr);
  LineTo(c.dc, 63, 47);
  SetPixel(c.dc, 5, 5, RGB(9, 9, 9));
  SetROP2(c.dc, R2_NOT);
  Rectangle(c.dc, 10, 10, 20, 20);
  BitBlt(c.dc, 0, 0, 16, 16, source.dc, 0, 0, SRCCOPY);
  StretchBlt(c.dc, 20, 0, 32, 8, source.dc, 0, 0, 16, 16, SRCCOPY);
  PatBlt(c.dc, 0, 40, 64, 8, PATINVERT);
  ScrollDC(c.dc, 3, 2, nullptr, nullptr, nullptr, nullptr);
  EXPECT_TRUE(c.surface.UnusedBytesZero());
  EXPECT_TRUE(source.surface.UnusedBytesZero()) << "a blit's source is only read";
  size_t marked = 0;
  for (uint32_t word : Words(c.surface)) marked += (word >> 24) != 0;
  EXPECT_EQ(marked, 0u);
}

TEST(UnusedBytes, WholePixelFillsGiveTheColourOnlyFillsPixelsAtEveryLengthOffsetAndClip) {
  // The same fills on two equal surfaces, one known to hold zero top bytes (whole pixels written),
  // one not (colour bits replaced): lengths 0 to 70 from offsets 0 to 8, one to three rows, plain, in
  // a clip region with spans ending at odd places, and at an origin inside the surface.
  OwnedBrush brush(CreateSolidBrush(RGB(0x10, 0x20, 0x30)));
  OwnedRegion clip(CreateRectRgn(3, 0, 41, 6));
  OwnedRegion right(CreateRectRgn(50, 2, 77, 6));
  CombineRgn(clip.get(), clip.get(), right.get(), RGN_OR);
  for (bool clipped : {false, true})
    for (POINT origin : {POINT{0, 0}, POINT{5, 1}})
      for (int32_t rows = 1; rows <= 3; ++rows)
        for (int32_t left = 0; left <= 8; ++left)
          for (int32_t width = 0; width <= 70; ++width) {
            Surface fast(90, 9), plain(90, 9);
            for (int32_t y = 0; y < 9; ++y)
              for (int32_t x = 0; x < 90; ++x) plain.Row32(y)[x] = 0;  // same pixels, claim given up
            ASSERT_TRUE(fast.UnusedBytesZero());
            ASSERT_FALSE(plain.UnusedBytesZero());
            for (Surface* s : {&fast, &plain}) {
              HDC dc = CreateSurfaceDC(*s, origin, RECT{0, 0, 85, 8});
              if (clipped) SelectClipRgn(dc, clip.get());
              const RECT r{left, 2, left + width, 2 + rows};
              FillRect(dc, &r, brush.get());
              DeleteDC(dc);
            }
            ASSERT_EQ(Words(fast), Words(plain))
                << (clipped ? "clipped, " : "") << "origin " << origin.x << " left " << left << " width "
                << width << " rows " << rows;
          }
}

TEST(UnusedBytes, WholePixelRowsStopAtTheirLastPixel) {
  // Straight on memory: every row length up to 40 and a stride wider than the rows, between guard
  // words that must stay as they were.
  constexpr uint32_t kGuard = 0xDEADBEEF;
  for (int32_t count = 0; count <= 40; ++count)
    for (int32_t rows : {1, 3}) {
      const std::ptrdiff_t stride = count + 5;
      std::vector<uint32_t> memory(size_t(stride * rows + 8), kGuard);
      FillPixelsRows(memory.data() + 2, stride, count, rows, 0x00ABCDEF);
      for (size_t i = 0; i < memory.size(); ++i) {
        const std::ptrdiff_t at = std::ptrdiff_t(i) - 2;
        const bool inside = at >= 0 && at / stride < rows && at % stride < count;
        ASSERT_EQ(memory[i], inside ? 0x00ABCDEFu : kGuard)
            << "count " << count << " rows " << rows << " word " << i;
      }
    }
}

TEST(UnusedBytes, AWindowKeepsTheClaimThroughItsFirstPaint) {
  // A window painted as the program paints its frame: created, shown, erased, filled and written on
  // by its own paint. Its surface must still hold zero top bytes, so that the next fills take the fast way.
  HeadlessDriver::Reset();
  WNDCLASSA wc{};
  wc.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
    if (message != WM_PAINT) return DefWindowProcA(window, message, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    OwnedBrush brush(CreateSolidBrush(RGB(200, 10, 10)));
    RECT inner{10, 10, 60, 40};
    FillRect(dc, &inner, brush.get());
    TextOutA(dc, 70, 10, "Words in ink", 12);
    EndPaint(window, &ps);
    return 0;
  };
  OwnedBrush background(CreateSolidBrush(RGB(240, 240, 240)));
  wc.hbrBackground = background.get();
  wc.lpszClassName = "UnusedBytesFrame";
  RegisterClassA(&wc);
  HWND frame = CreateWindowExA(0, "UnusedBytesFrame", "A caption in text", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                               150, nullptr, nullptr, nullptr, nullptr);
  ShowWindow(frame, SW_SHOWMAXIMIZED);
  UpdateWindow(frame);
  Surface* surface = GetWindowSurface(frame);
  ASSERT_NE(surface, nullptr);
  EXPECT_TRUE(surface->UnusedBytesZero());
  POINT inside{20, 20};
  ClientToScreen(frame, &inside);
  RECT box;
  GetWindowRect(frame, &box);
  EXPECT_EQ(surface->Pixel(inside.x - box.left, inside.y - box.top), 0xC80A0Au);
  HeadlessDriver::Reset();
}

}  // namespace
}  // namespace plat
