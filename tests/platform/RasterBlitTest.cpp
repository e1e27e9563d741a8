// Blits, memory contexts, device bitmaps and DIB sections.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/Dib.h"
#include "platform/DibBlit.h"
#include "tests/platform/RasterTest.h"

namespace plat {
namespace {

using testing::Canvas;

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;

// A packed DIB (header, colour table, rows) built in memory.
struct PackedDib {
  std::vector<uint8_t> bytes;
  const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(bytes.data()); }
  const uint8_t* Bits(size_t colors) const { return bytes.data() + 40 + 4 * colors; }
};

PackedDib MakeDib(int32_t width, int32_t height, int bits, const std::vector<RGBQUAD>& colors,
                  const std::vector<uint8_t>& rows) {
  BITMAPINFOHEADER header;
  header.biWidth = width;
  header.biHeight = height;
  header.biBitCount = WORD(bits);
  header.biClrUsed = DWORD(colors.size());
  PackedDib dib;
  dib.bytes.resize(40 + 4 * colors.size());
  std::memcpy(dib.bytes.data(), &header, 40);
  if (!colors.empty()) std::memcpy(dib.bytes.data() + 40, colors.data(), 4 * colors.size());
  dib.bytes.insert(dib.bytes.end(), rows.begin(), rows.end());
  return dib;
}

TEST(RasterBlit, RasterOperationsOfBitBlt) {
  struct Case {
    DWORD rop;
    uint32_t expected;
  } cases[] = {{SRCCOPY, 0x00F0F0},
               {SRCAND, 0x00F0F0 & 0x3C3C3C},
               {SRCPAINT, 0x00F0F0 | 0x3C3C3C},
               {SRCINVERT, 0x00F0F0 ^ 0x3C3C3C},
               {DSTINVERT, ~0x3C3C3Cu & 0xFFFFFF},
               {BLACKNESS, 0},
               {WHITENESS, 0xFFFFFF}};
  Canvas source(4, 4, 0x00F0F0);
  for (const Case& k : cases) {
    Canvas dest(4, 4, 0x3C3C3C);
    EXPECT_TRUE(BitBlt(dest.dc, 1, 1, 2, 2, source.dc, 0, 0, k.rop));
    EXPECT_EQ(dest.At(1, 1), k.expected) << std::hex << k.rop;
    EXPECT_EQ(dest.At(2, 2), k.expected) << std::hex << k.rop;
    EXPECT_EQ(dest.At(3, 3), 0x3C3C3Cu) << std::hex << k.rop;
  }
}

TEST(RasterBlit, StretchScalesByNearestPixelAndMirrorsOnNegativeWidth) {
  Canvas source(4, 1);
  const uint32_t colors[4] = {0x110000, 0x002200, 0x000033, 0x444444};
  for (int x = 0; x < 4; ++x) source.surface.SetPixel(x, 0, colors[x]);

  Canvas mirrored(4, 1);
  StretchBlt(mirrored.dc, 3, 0, -4, 1, source.dc, 0, 0, 4, 1, SRCCOPY);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(mirrored.At(x, 0), colors[3 - x]) << x;

  Canvas doubled(8, 2);
  StretchBlt(doubled.dc, 0, 0, 8, 2, source.dc, 0, 0, 4, 1, SRCCOPY);
  for (int x = 0; x < 8; ++x) {
    EXPECT_EQ(doubled.At(x, 0), colors[x / 2]) << x;
    EXPECT_EQ(doubled.At(x, 1), colors[x / 2]) << x;
  }
  Canvas halved(2, 1);
  StretchBlt(halved.dc, 0, 0, 2, 1, source.dc, 0, 0, 4, 1, SRCCOPY);
  EXPECT_EQ(halved.At(0, 0), colors[1]);
  EXPECT_EQ(halved.At(1, 0), colors[3]);
  // Where the source has no pixels the destination keeps its own.
  Canvas edge(3, 1, 0x777777);
  BitBlt(edge.dc, 0, 0, 3, 1, source.dc, -1, 0, SRCCOPY);
  EXPECT_EQ(edge.At(0, 0), 0x777777u);
  EXPECT_EQ(edge.At(1, 0), colors[0]);
  EXPECT_EQ(edge.At(2, 0), colors[1]);
  // A context blitting onto itself reads the pixels before writing.
  BitBlt(source.dc, 1, 0, 3, 1, source.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(source.At(1, 0), colors[0]);
  EXPECT_EQ(source.At(3, 0), colors[2]);
}

TEST(RasterBlit, ColourAndMonochromeConvertThroughTheContextColours) {
  Canvas source(3, 1);
  source.surface.SetPixel(0, 0, 0x123456);
  source.surface.SetPixel(1, 0, 0xFF0000);
  source.surface.SetPixel(2, 0, 0x123456);
  SetBkColor(source.dc, PixelToColorRef(0x123456));

  OwnedDc memory(CreateCompatibleDC(source.dc));
  OwnedBitmap mono(CreateCompatibleBitmap(memory.get(), 3, 1));  // a fresh memory context is monochrome
  BITMAP info;
  GetObject(mono.get(), sizeof info, &info);
  EXPECT_EQ(info.bmBitsPixel, 1);
  HGDIOBJ old = SelectObject(memory.get(), mono.get());
  BitBlt(memory.get(), 0, 0, 3, 1, source.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(GetPixel(memory.get(), 0, 0), RGB(255, 255, 255));  // equal to the background: 1
  EXPECT_EQ(GetPixel(memory.get(), 1, 0), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(memory.get(), 2, 0), RGB(255, 255, 255));

  Canvas dest(3, 1);
  SetTextColor(dest.dc, RGB(0, 0, 200));
  SetBkColor(dest.dc, RGB(0, 100, 0));
  BitBlt(dest.dc, 0, 0, 3, 1, memory.get(), 0, 0, SRCCOPY);
  EXPECT_EQ(dest.At(0, 0), 0x006400u);  // 1: background colour
  EXPECT_EQ(dest.At(1, 0), 0x0000C8u);  // 0: text colour
  SelectObject(memory.get(), old);

  // Pens drawn into a monochrome bitmap become the nearer of black and white.
  OwnedBitmap mono2(CreateBitmap(2, 1, 1, 1, nullptr));
  SelectObject(memory.get(), mono2.get());
  SetPixel(memory.get(), 0, 0, RGB(250, 240, 200));
  SetPixel(memory.get(), 1, 0, RGB(100, 90, 20));
  EXPECT_EQ(GetPixel(memory.get(), 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(memory.get(), 1, 0), RGB(0, 0, 0));
  SelectObject(memory.get(), old);
}

TEST(RasterBlit, BitmapIsSelectedIntoOneContextAtATime) {
  Canvas screen(2, 2);
  OwnedDc a(CreateCompatibleDC(screen.dc)), b(CreateCompatibleDC(screen.dc));
  OwnedBitmap bitmap(CreateBitmap(2, 2, 1, 32, nullptr));
  HGDIOBJ old = SelectObject(a.get(), bitmap.get());
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(SelectObject(b.get(), bitmap.get()), nullptr);
  SelectObject(a.get(), old);
  EXPECT_NE(SelectObject(b.get(), bitmap.get()), nullptr);
  SelectObject(b.get(), old);
  // A bitmap deleted while selected goes when its context does.
  HBITMAP doomed = CreateBitmap(2, 2, 1, 32, nullptr);
  HDC c = CreateCompatibleDC(nullptr);
  SelectObject(c, doomed);
  DeleteObject(doomed);
  EXPECT_EQ(GetObjectType(doomed), OBJ_BITMAP);
  DeleteDC(c);
  EXPECT_EQ(GetObjectType(doomed), 0u);
}

TEST(RasterDib, DibSectionsKeepBottomUpPaddedRowsInStep) {
  Canvas screen(2, 2);
  BITMAPINFO info{};
  info.bmiHeader.biWidth = 3;
  info.bmiHeader.biHeight = 2;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  OwnedBitmap section(CreateDIBSection(screen.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  ASSERT_TRUE(section && bits);
  DIBSECTION described;
  ASSERT_EQ(GetObject(section.get(), sizeof described, &described), int32_t(sizeof described));
  EXPECT_EQ(described.dsBm.bmWidthBytes, 12);  // 9 bytes padded to 12
  EXPECT_EQ(described.dsBmih.biSizeImage, 24u);
  EXPECT_EQ(described.dsBm.bmBits, bits);

  OwnedDc memory(CreateCompatibleDC(screen.dc));
  HGDIOBJ old = SelectObject(memory.get(), section.get());
  SetPixel(memory.get(), 0, 0, RGB(1, 2, 3));  // top row = last row in memory
  GdiFlush();
  auto* bytes = static_cast<uint8_t*>(bits);
  EXPECT_EQ(bytes[12], 3);  // blue first
  EXPECT_EQ(bytes[13], 2);
  EXPECT_EQ(bytes[14], 1);
  // The caller's own writes are seen by the next drawing.
  bytes[0] = 0xFF;  // bottom row, first pixel: blue 255
  EXPECT_EQ(GetPixel(memory.get(), 0, 1), RGB(0, 0, 255));
  // Pixels written straight into the surface after a flush (as OpenGL does) survive later drawing.
  GdiFlush();
  Surface* surface = GetDCSurface(memory.get());
  GdiFlush();
  surface->SetPixel(2, 0, 0x00FF00);
  SurfaceChanged(memory.get());
  SetPixel(memory.get(), 1, 0, RGB(9, 9, 9));
  EXPECT_EQ(GetPixel(memory.get(), 2, 0), RGB(0, 255, 0));
  GdiFlush();
  EXPECT_EQ(bytes[12 + 7], 255);  // green of pixel 2 in the top row
  SelectObject(memory.get(), old);

  // A 32-bit section is drawn on in place.
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biHeight = -2;  // top-down
  OwnedBitmap direct(CreateDIBSection(screen.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  SelectObject(memory.get(), direct.get());
  SetPixel(memory.get(), 2, 1, RGB(10, 20, 30));
  EXPECT_EQ(static_cast<uint32_t*>(bits)[3 + 2] & 0xFFFFFF, 0x0A141Eu);
  SelectObject(memory.get(), old);

  // Headers the layer does not understand are refused.
  info.bmiHeader.biBitCount = 7;
  EXPECT_EQ(CreateDIBSection(screen.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  EXPECT_EQ(bits, nullptr);
}

TEST(RasterDib, StretchDIBitsReadsPackedDibs) {
  // 2 x 2 at 24 bits, bottom-up: the first row in memory is the bottom one.
  PackedDib dib = MakeDib(2, 2, 24, {},
                          {0, 0, 255, 0, 255, 0, 0, 0,  // bottom: red, green
                           255, 0, 0, 0, 0, 0, 0, 0});  // top: blue, black
  Canvas c(4, 4);
  EXPECT_EQ(StretchDIBits(c.dc, 0, 0, 4, 4, 0, 0, 2, 2, dib.Bits(0), dib.Info(), DIB_RGB_COLORS, SRCCOPY), 4);
  EXPECT_EQ(c.At(0, 0), 0x0000FFu);
  EXPECT_EQ(c.At(3, 0), kBlack);
  EXPECT_EQ(c.At(1, 3), 0xFF0000u);
  EXPECT_EQ(c.At(2, 2), 0x00FF00u);
  // The source rectangle of bottom-up bits counts from the bottom row.
  Canvas one(1, 1);
  StretchDIBits(one.dc, 0, 0, 1, 1, 1, 1, 1, 1, dib.Bits(0), dib.Info(), DIB_RGB_COLORS, SRCCOPY);
  EXPECT_EQ(one.At(0, 0), kBlack);

  // 4 bits with a two-entry table (colours used 2): indexes look colours up.
  PackedDib indexed = MakeDib(2, 1, 4, {{0, 0, 0, 0}, {10, 20, 30, 0}}, {0x10, 0, 0, 0});
  Canvas d(2, 1);
  StretchDIBits(d.dc, 0, 0, 2, 1, 0, 0, 2, 1, indexed.Bits(2), indexed.Info(), DIB_RGB_COLORS, SRCCOPY);
  EXPECT_EQ(d.At(0, 0), 0x1E140Au);
  EXPECT_EQ(d.At(1, 0), kBlack);

  // A malformed header draws nothing and says so.
  PackedDib broken = dib;
  broken.bytes[0] = 12;
  EXPECT_EQ(
      StretchDIBits(d.dc, 0, 0, 2, 1, 0, 0, 2, 1, broken.Bits(0), broken.Info(), DIB_RGB_COLORS, SRCCOPY), 0);
  EXPECT_EQ(d.At(0, 0), 0x1E140Au);
}

// Pictures at their own size are copied without a device bitmap: the pixels must be those of the
// copy through one, within a clip of two pieces on a context whose origin is not the surface's, with
// the unused byte of the destination kept. Other formats are left to the bitmap.
TEST(RasterDib, AnUnscaledCopyDrawsWhatACopyThroughADeviceBitmapDraws) {
  const auto bytes = [](size_t count) {
    std::vector<uint8_t> rows(count);
    for (size_t i = 0; i < rows.size(); ++i) rows[i] = uint8_t(i * 53 + 7);
    return rows;
  };
  struct Case {
    const char* what;
    PackedDib dib;
  };
  std::vector<Case> cases;
  cases.push_back({"24 bits bottom-up, padded rows", MakeDib(5, 4, 24, {}, bytes(16 * 4))});
  cases.push_back({"24 bits top-down", MakeDib(4, -3, 24, {}, bytes(12 * 3))});
  cases.push_back({"32 bits", MakeDib(3, 3, 32, {}, bytes(12 * 3))});
  for (const Case& k : cases) {
    Surface unscaled(9, 8), throughBitmap(9, 8);
    for (Surface* s : {&unscaled, &throughBitmap})
      for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 9; ++x) s->Row32(y)[x] = 0xAB000000u | uint32_t(x * 4099 + y * 77);
    const auto draw = [&](Surface& surface, bool unscaled) {
      HDC dc = CreateSurfaceDC(surface, POINT{1, 1}, RECT{0, 0, 8, 7});
      HRGN clip = CreateRectRgn(0, 0, 3, 7), other = CreateRectRgn(4, 2, 8, 4);
      CombineRgn(clip, clip, other, RGN_OR);
      SelectClipRgn(dc, clip);
      if (unscaled) {
        EXPECT_TRUE(CopyDibUnscaled(dc, 1, 1, k.dib.Bits(0), k.dib.Info())) << k.what;
      } else {
        const BITMAPINFOHEADER& h = k.dib.Info()->bmiHeader;
        HBITMAP bitmap = CreateDIBitmap(dc, &h, CBM_INIT, k.dib.Bits(0), k.dib.Info(), DIB_RGB_COLORS);
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(dc, 1, 1, h.biWidth, std::abs(h.biHeight), memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
        DeleteObject(bitmap);
      }
      DeleteObject(clip);
      DeleteObject(other);
      DeleteDC(dc);
    };
    draw(unscaled, true);
    draw(throughBitmap, false);
    for (int32_t y = 0; y < 8; ++y)
      for (int32_t x = 0; x < 9; ++x)
        ASSERT_EQ(unscaled.Row32(y)[x], throughBitmap.Row32(y)[x]) << k.what << " at " << x << "," << y;
  }

  PackedDib indexed = MakeDib(2, 1, 4, {{0, 0, 0, 0}, {10, 20, 30, 0}}, {0x10, 0, 0, 0});
  Canvas c(2, 1);
  EXPECT_FALSE(CopyDibUnscaled(c.dc, 0, 0, indexed.Bits(2), indexed.Info()));
  EXPECT_EQ(c.At(0, 0), kWhite);
}

TEST(RasterDib, ADeviceBitmapLargerThanItsBitsIsBlackBeyondThem) {
  // The bitmap's header asks for 40 x 30, the bits hold 2 x 1: the rest stays black; bits that
  // cover the whole bitmap leave nothing of what its memory held.
  PackedDib dib = MakeDib(2, 1, 32, {}, {1, 2, 3, 0, 4, 5, 6, 0});
  Canvas screen(2, 2);
  for (const auto& [width, height] : {std::pair{40, 30}, std::pair{2, 1}}) {
    BITMAPINFOHEADER larger = dib.Info()->bmiHeader;
    larger.biWidth = width;
    larger.biHeight = height;
    OwnedBitmap bitmap(CreateDIBitmap(screen.dc, &larger, CBM_INIT, dib.Bits(0), dib.Info(), DIB_RGB_COLORS));
    ASSERT_TRUE(bitmap);
    Canvas copy(width, height, 0x5A5A5A);
    OwnedDc memory(CreateCompatibleDC(screen.dc));
    HGDIOBJ old = SelectObject(memory.get(), bitmap.get());
    BitBlt(copy.dc, 0, 0, width, height, memory.get(), 0, 0, SRCCOPY);
    SelectObject(memory.get(), old);
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x) {
        const uint32_t expected = y > 0 || x > 1 ? 0u : x == 0 ? 0x030201u : 0x060504u;
        ASSERT_EQ(copy.At(x, y), expected) << width << " x " << height << " at " << x << "," << y;
      }
  }
}

TEST(RasterDib, DeviceBitmapFromAPackedDib) {
  PackedDib dib = MakeDib(1, 2, 32, {}, {1, 2, 3, 0, 4, 5, 6, 0});
  Canvas screen(2, 2);
  OwnedBitmap bitmap(
      CreateDIBitmap(screen.dc, &dib.Info()->bmiHeader, CBM_INIT, dib.Bits(0), dib.Info(), DIB_RGB_COLORS));
  ASSERT_TRUE(bitmap);
  OwnedDc memory(CreateCompatibleDC(screen.dc));
  HGDIOBJ old = SelectObject(memory.get(), bitmap.get());
  BitBlt(screen.dc, 0, 0, 1, 2, memory.get(), 0, 0, SRCCOPY);
  EXPECT_EQ(screen.At(0, 0), 0x060504u);
  EXPECT_EQ(screen.At(0, 1), 0x030201u);
  SelectObject(memory.get(), old);
  LOGPALETTE palette;
  palette.palNumEntries = 1;
  OwnedPalette accepted(CreatePalette(&palette));
  EXPECT_NE(accepted, nullptr);
  HPALETTE previous = SelectPalette(screen.dc, accepted.get(), 0);
  EXPECT_NE(previous, nullptr);
  EXPECT_EQ(SelectPalette(screen.dc, previous, 0), accepted.get());
}

}  // namespace
}  // namespace plat

namespace plat {
namespace {

using testing::Canvas;

TEST(RasterDib, SectionsOfFewerBitsMapColoursToTheirTables) {
  Canvas screen(2, 2);
  for (int bits : {1, 2, 4, 8}) {
    std::vector<uint8_t> storage(sizeof(BITMAPINFOHEADER) + 256 * 4);
    auto* info = reinterpret_cast<BITMAPINFO*>(storage.data());
    info->bmiHeader = BITMAPINFOHEADER{};
    info->bmiHeader.biWidth = 5;
    info->bmiHeader.biHeight = 2;
    info->bmiHeader.biBitCount = WORD(bits);
    info->bmiHeader.biClrUsed = 2;
    RGBQUAD* table = info->bmiColors;
    table[0] = {0, 0, 0, 0};
    table[1] = {0, 200, 0, 0};  // green
    void* pixels = nullptr;
    OwnedBitmap section(CreateDIBSection(screen.dc, info, DIB_RGB_COLORS, &pixels, nullptr, 0));
    ASSERT_TRUE(section) << bits;
    OwnedDc memory(CreateCompatibleDC(screen.dc));
    HGDIOBJ old = SelectObject(memory.get(), section.get());
    SetPixel(memory.get(), 4, 1, RGB(10, 190, 20));  // nearest entry: 1
    GdiFlush();
    const auto* bytes = static_cast<const uint8_t*>(pixels);
    // Bottom row first; pixel 4 of it, most significant bits first.
    int bitOffset = 4 * bits;
    int value = (bytes[bitOffset / 8] >> (8 - bits - bitOffset % 8)) & ((1 << bits) - 1);
    EXPECT_EQ(value, 1) << bits;
    EXPECT_EQ(GetPixel(memory.get(), 4, 1), RGB(0, 200, 0)) << bits;
    EXPECT_EQ(GetPixel(memory.get(), 3, 1), RGB(0, 0, 0)) << bits;
    SelectObject(memory.get(), old);
  }
}

TEST(RasterDib, LongHeaderWithMasksDrawsFromItsOwnOffset) {
  // A 108-byte header, 32 bits with an alpha mask, as decoded pictures carry it.
  std::vector<uint8_t> dib(108 + 2 * 4);
  BITMAPV4HEADER header;
  header.bV4Width = 2;
  header.bV4Height = 1;
  header.bV4BitCount = 32;
  header.bV4RedMask = 0xFF0000;
  header.bV4GreenMask = 0xFF00;
  header.bV4BlueMask = 0xFF;
  header.bV4AlphaMask = 0xFF000000;
  std::memcpy(dib.data(), &header, 108);
  const uint8_t pixels[8] = {30, 20, 10, 255, 3, 2, 1, 0};
  std::memcpy(dib.data() + 108, pixels, 8);
  Canvas c(2, 1);
  ASSERT_EQ(StretchDIBits(c.dc, 0, 0, 2, 1, 0, 0, 2, 1, dib.data() + 108,
                          reinterpret_cast<const BITMAPINFO*>(dib.data()), DIB_RGB_COLORS, SRCCOPY),
            1);
  EXPECT_EQ(c.At(0, 0), 0x0A141Eu);
  EXPECT_EQ(c.At(1, 0), 0x010203u);
}

TEST(RasterBlit, TransparentCopyThroughAMonochromeMask) {
  // The classic sequence: a mask from the transparent colour, the source's transparent pixels
  // blacked out, the destination cut by the mask, the source merged in.
  const COLORREF transparent = RGB(255, 0, 255);
  Canvas source(2, 1), dest(2, 1, 0x336699);
  source.surface.SetPixel(0, 0, 0xFF00FF);
  source.surface.SetPixel(1, 0, 0x804020);
  OwnedDc maskDc(CreateCompatibleDC(source.dc));
  OwnedBitmap mask(CreateBitmap(2, 1, 1, 1, nullptr));
  HGDIOBJ old = SelectObject(maskDc.get(), mask.get());
  SetBkColor(source.dc, transparent);
  BitBlt(maskDc.get(), 0, 0, 2, 1, source.dc, 0, 0, SRCCOPY);
  SetTextColor(source.dc, RGB(255, 255, 255));
  SetBkColor(source.dc, RGB(0, 0, 0));
  BitBlt(source.dc, 0, 0, 2, 1, maskDc.get(), 0, 0, SRCAND);
  SetTextColor(dest.dc, RGB(0, 0, 0));
  SetBkColor(dest.dc, RGB(255, 255, 255));
  BitBlt(dest.dc, 0, 0, 2, 1, maskDc.get(), 0, 0, SRCAND);
  BitBlt(dest.dc, 0, 0, 2, 1, source.dc, 0, 0, SRCPAINT);
  EXPECT_EQ(dest.At(0, 0), 0x336699u);
  EXPECT_EQ(dest.At(1, 0), 0x804020u);
  SelectObject(maskDc.get(), old);
}

}  // namespace
}  // namespace plat

namespace plat {
namespace {

TEST(RasterDib, PackedDibsAreCheckedAgainstTheirLength) {
  std::vector<uint8_t> dib(40 + 2 * 4 + 4);  // 4 bits, two colours, one row of 4 bytes
  BITMAPINFOHEADER header;
  header.biWidth = 3;
  header.biHeight = -1;
  header.biBitCount = 4;
  header.biClrUsed = 2;
  std::memcpy(dib.data(), &header, 40);
  std::optional<DibFormat> format = ParsePackedDib(dib);
  ASSERT_TRUE(format);
  EXPECT_FALSE(format->bottomUp);
  EXPECT_EQ(format->colors.size(), 2u);
  EXPECT_EQ(format->headerBytes, 48u);
  EXPECT_EQ(format->rowBytes, 4);
  // One byte short of the pixels, a table beyond the end, and nonsense sizes are all refused.
  EXPECT_FALSE(ParsePackedDib(std::span(dib).first(dib.size() - 1)));
  BITMAPINFOHEADER greedy = header;
  greedy.biClrUsed = 0;  // sixteen colours do not fit
  std::memcpy(dib.data(), &greedy, 40);
  EXPECT_FALSE(ParsePackedDib(dib));
  using Breakage = void (*)(BITMAPINFOHEADER&);
  const Breakage breakages[] = {
      [](BITMAPINFOHEADER& h) { h.biWidth = 0; }, [](BITMAPINFOHEADER& h) { h.biHeight = 40000; },
      [](BITMAPINFOHEADER& h) { h.biCompression = 1; }, [](BITMAPINFOHEADER& h) { h.biSize = 41; },
      [](BITMAPINFOHEADER& h) { h.biPlanes = 2; }};
  for (Breakage broken : breakages) {
    BITMAPINFOHEADER bad = header;
    broken(bad);
    std::memcpy(dib.data(), &bad, 40);
    EXPECT_FALSE(ParsePackedDib(dib));
  }
  EXPECT_FALSE(ParsePackedDib(std::span(dib).first(39)));
  EXPECT_EQ(DibRowBytes(101, 24), 304);
}

}  // namespace
}  // namespace plat
