// One drawing with every primitive, blit and text form, compared with a kept expected image.
// To renew the image after a deliberate change: run with PLANNER_WRITE_FIXTURES=1, look at
// tests/fixtures/platform/reference.png, and commit it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/PngFile.h"
#include "tests/platform/RasterTest.h"

namespace plat {
namespace {

using testing::Canvas;

void DrawLines(HDC dc) {
  MoveToEx(dc, 10, 10, nullptr);
  LineTo(dc, 70, 10);
  LineTo(dc, 70, 40);
  OwnedPen dash(CreatePen(PS_DASHDOT, 1, RGB(0, 0, 200)));
  OwnedPen wide(CreatePen(PS_SOLID, 5, RGB(200, 0, 0)));
  HGDIOBJ old = SelectObject(dc, dash.get());
  MoveToEx(dc, 10, 20, nullptr);
  LineTo(dc, 60, 45);
  SelectObject(dc, wide.get());
  MoveToEx(dc, 15, 55, nullptr);
  LineTo(dc, 65, 55);
  LineTo(dc, 40, 75);
  SelectObject(dc, old);
  POINT curve[6] = {{90, 10}, {110, 60}, {130, 0}, {140, 20}, {150, 40}, {110, 40}};
  MoveToEx(dc, 80, 40, nullptr);
  PolyBezierTo(dc, curve, 6);
  MoveToEx(dc, 200, 30, nullptr);
  ArcTo(dc, 160, 10, 201, 51, 220, 30, 180, 0);
  SetArcDirection(dc, AD_CLOCKWISE);
  ArcTo(dc, 160, 10, 201, 51, 180, 60, 160, 30);
  SetArcDirection(dc, AD_COUNTERCLOCKWISE);
}

void DrawFigures(HDC dc) {
  OwnedBrush yellow(CreateSolidBrush(RGB(250, 220, 40)));
  OwnedBrush teal(CreateSolidBrush(RGB(0, 128, 128)));
  OwnedPen green(CreatePen(PS_SOLID, 2, RGB(0, 140, 0)));
  HGDIOBJ oldBrush = SelectObject(dc, yellow.get());
  Rectangle(dc, 10, 85, 60, 115);
  HGDIOBJ oldPen = SelectObject(dc, green.get());
  Ellipse(dc, 65, 80, 115, 115);
  SelectObject(dc, teal.get());
  SetPolyFillMode(dc, WINDING);
  POINT star[5] = {{140, 80}, {155, 115}, {122, 93}, {158, 93}, {125, 115}};
  Polygon(dc, star, 5);
  SelectObject(dc, GetStockObject(NULL_PEN));
  Rectangle(dc, 165, 85, 185, 100);
  SelectObject(dc, oldPen);
  // Exclusive-or feedback over a filled area, drawn once.
  SetROP2(dc, R2_NOTXORPEN);
  SelectObject(dc, GetStockObject(HOLLOW_BRUSH));
  Rectangle(dc, 20, 90, 50, 110);
  SetROP2(dc, R2_COPYPEN);
  // Regions painted, framed and made from a path.
  OwnedRegion ellipse(CreateEllipticRgn(190, 80, 230, 110));
  SelectObject(dc, teal.get());
  PaintRgn(dc, ellipse.get());
  FrameRgn(dc, ellipse.get(), yellow.get(), 2, 2);
  BeginPath(dc);
  MoveToEx(dc, 200, 120, nullptr);
  LineTo(dc, 230, 120);
  LineTo(dc, 215, 145);
  CloseFigure(dc);
  EndPath(dc);
  OwnedRegion triangle(PathToRegion(dc));
  SelectObject(dc, yellow.get());
  PaintRgn(dc, triangle.get());
  SelectObject(dc, oldBrush);
}

void DrawBlits(HDC dc) {
  OwnedDc memory(CreateCompatibleDC(dc));
  OwnedBitmap tile(CreateCompatibleBitmap(dc, 16, 16));
  OwnedBitmap mono(CreateBitmap(16, 16, 1, 1, nullptr));
  HGDIOBJ old = SelectObject(memory.get(), tile.get());
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      SetPixel(memory.get(), x, y, ((x / 4 + y / 4) % 2) ? RGB(x * 16, 0, 255 - y * 16) : RGB(255, 255, 255));
  BitBlt(dc, 10, 125, 16, 16, memory.get(), 0, 0, SRCCOPY);
  StretchBlt(dc, 67, 125, -32, 32, memory.get(), 0, 0, 16, 16, SRCCOPY);
  BitBlt(dc, 20, 130, 16, 16, memory.get(), 0, 0, SRCINVERT);
  // Colour to monochrome (white where the source shows its background) and back in two colours.
  SetBkColor(memory.get(), RGB(255, 255, 255));
  OwnedDc maskDc(CreateCompatibleDC(dc));
  HGDIOBJ oldMask = SelectObject(maskDc.get(), mono.get());
  BitBlt(maskDc.get(), 0, 0, 16, 16, memory.get(), 0, 0, SRCCOPY);
  SetTextColor(dc, RGB(160, 0, 160));
  SetBkColor(dc, RGB(200, 255, 200));
  BitBlt(dc, 72, 125, 16, 16, maskDc.get(), 0, 0, SRCCOPY);
  SetTextColor(dc, 0);
  SetBkColor(dc, RGB(255, 255, 255));
  SelectObject(maskDc.get(), oldMask);
  SelectObject(memory.get(), old);
  // A packed 8-bit DIB with a grey ramp, stretched.
  std::vector<uint8_t> dib(40 + 256 * 4 + 8 * 8);
  BITMAPINFOHEADER header;
  header.biWidth = 8;
  header.biHeight = 8;
  header.biBitCount = 8;
  std::memcpy(dib.data(), &header, 40);
  for (int i = 0; i < 256; ++i) std::memset(&dib[40 + 4 * i], i, 3);
  for (int i = 0; i < 64; ++i) dib[40 + 1024 + i] = uint8_t(i * 4);
  StretchDIBits(dc, 95, 125, 24, 24, 0, 0, 8, 8, &dib[40 + 1024],
                reinterpret_cast<const BITMAPINFO*>(dib.data()), DIB_RGB_COLORS, SRCCOPY);
  // Part of the drawing scrolled sideways.
  RECT strip{125, 125, 160, 150};
  OwnedBrush navy(CreateSolidBrush(RGB(0, 0, 120)));
  RECT block{125, 130, 135, 140};
  FillRect(dc, &block, navy.get());
  ScrollDC(dc, 12, 5, &strip, &strip, nullptr, nullptr);
}

void DrawTexts(HDC dc) {
  OwnedFont plain(
      CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "MS Sans Serif"));
  OwnedFont bold(CreateFontA(-14, 0, 0, 0, FW_BOLD, 1, 1, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
  OwnedFont turned(CreateFontA(-12, 0, 450, 450, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
  OwnedFont upright(CreateFontA(-11, 0, 900, 900, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
  HGDIOBJ old = SelectObject(dc, plain.get());
  SetBkMode(dc, TRANSPARENT);
  RECT box{10, 150, 90, 175};
  FrameRgn(dc, OwnedRegion(CreateRectRgnIndirect(&box)).get(),
           static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)), 1, 1);
  DrawTextA(dc, "Centred \x80", -1, &box, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  RECT wrap{95, 148, 155, 180};
  DrawTextW(dc, u"Kitchen planner", -1, &wrap, DT_WORDBREAK | DT_RIGHT);
  SelectObject(dc, bold.get());
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, RGB(255, 230, 230));
  SetTextColor(dc, RGB(150, 0, 0));
  TextOutW(dc, 175, 155, u"Bold", 4);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 150));
  SelectObject(dc, turned.get());
  TextOutW(dc, 160, 75, u"Turned", 6);
  SelectObject(dc, upright.get());
  TextOutW(dc, 228, 70, u"Up", 2);
  SetTextColor(dc, 0);
  SelectObject(dc, old);
}

TEST(RasterReference, EveryFormMatchesTheKeptImage) {
  SetTextAntialias(false);
  Canvas c(240, 180);
  DrawLines(c.dc);
  DrawFigures(c.dc);
  DrawBlits(c.dc);
  DrawTexts(c.dc);
  SetTextAntialias(true);

  const std::string kept = std::string(PLANNER_SOURCE_DIR) + "/tests/fixtures/platform/reference.png";
  const std::string actual = std::string(PLANNER_BINARY_DIR) + "/reference-actual.png";
  ASSERT_TRUE(WritePng(c.surface, actual));
  if (std::getenv("PLANNER_WRITE_FIXTURES")) {
    ASSERT_TRUE(WritePng(c.surface, kept));
  }
  std::unique_ptr<Surface> expected = ReadPng(kept);
  ASSERT_TRUE(expected) << "missing " << kept << "; the drawing is in " << actual;
  // Glyph rasterisation may differ slightly between FreeType versions: a few pixels may differ.
  PixelDifference diff = ComparePixels(*expected, c.surface, 8);
  EXPECT_TRUE(diff.sameSize);
  EXPECT_LE(diff.pixels, 240 * 180 / 200)
      << "first at " << diff.firstX << "," << diff.firstY << "; see " << actual;
}

TEST(RasterReference, PngRoundTripAndComparison) {
  Surface a(3, 2);
  a.Fill(0x102030);
  a.SetPixel(2, 1, 0xFFEEDD);
  const std::string path = std::string(PLANNER_BINARY_DIR) + "/roundtrip.png";
  ASSERT_TRUE(WritePng(a, path));
  std::unique_ptr<Surface> b = ReadPng(path);
  ASSERT_TRUE(b);
  EXPECT_TRUE(ComparePixels(a, *b, 0).Matches());
  b->SetPixel(1, 0, 0x102036);
  PixelDifference d = ComparePixels(a, *b, 5);
  EXPECT_EQ(d.pixels, 1);
  EXPECT_EQ(d.largest, 6);
  EXPECT_EQ(d.firstX, 1);
  EXPECT_TRUE(ComparePixels(a, *b, 6).Matches());
  EXPECT_FALSE(ComparePixels(a, Surface(2, 2), 255).sameSize);
  EXPECT_EQ(ReadPng(std::string(PLANNER_BINARY_DIR) + "/no-such.png"), nullptr);
  EXPECT_EQ(ReadPng(std::string(PLANNER_SOURCE_DIR) + "/CMakeLists.txt"), nullptr);
}

}  // namespace
}  // namespace plat
