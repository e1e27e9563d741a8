#include <gtest/gtest.h>

#include <png.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "framework/ppDC.h"
#include "framework/ppPicture.h"
#include "platform/HeadlessDriver.h"
#include "platform/PixelFormat.h"
#include "tests/framework/TestCanvas.h"
#include "tests/framework/TestPng.h"

namespace {

using picture_tests::Canvas;
using Pixels = std::vector<std::pair<int, int>>;

// A packed DIB: 40-byte header, `colors` table entries, then rows of `fill` bytes.
std::vector<uint8_t> PackedDib(int32_t w, int32_t h, int bits, uint32_t clrUsed, size_t colors, uint8_t fill,
                               uint32_t sizeImage) {
  plat::BITMAPINFOHEADER hd;
  hd.biWidth = w;
  hd.biHeight = h;
  hd.biBitCount = plat::WORD(bits);
  hd.biClrUsed = clrUsed;
  hd.biSizeImage = sizeImage;
  std::vector<uint8_t> out(40 + colors * 4 + size_t(plat::DibRowBytes(w, bits)) * size_t(h), fill);
  std::memcpy(out.data(), &hd, 40);
  for (size_t i = 0; i < colors; ++i) {
    uint8_t q[4] = {uint8_t(i * 16), uint8_t(i * 16), uint8_t(255 - i * 16), 0};
    std::memcpy(out.data() + 40 + 4 * i, q, 4);
  }
  return out;
}

// A square 24-bit picture of one colour (blue, green, red bytes).
ppPicture Solid(int32_t side, uint8_t b, uint8_t g, uint8_t r) {
  std::vector<uint8_t> dib = PackedDib(side, side, 24, 0, 0, 0, 0);
  for (int32_t y = 0; y < side; ++y)
    for (int32_t x = 0; x < side; ++x) {
      uint8_t* p = dib.data() + 40 + size_t(y) * size_t(plat::DibRowBytes(side, 24)) + 3 * size_t(x);
      p[0] = b, p[1] = g, p[2] = r;
    }
  ppPicture picture;
  picture.SetFromMemory(dib.data(), dib.size());
  return ppPicture(picture);
}

Pixels Block(int x0, int y0, int x1, int y1) {
  Pixels out;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) out.emplace_back(x, y);
  return out;
}

std::string WriteTemp(const std::string& name, const std::vector<uint8_t>& bytes) {
  const std::string path = (std::filesystem::temp_directory_path() / name).string();
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return path;
}

class PictureTest : public ::testing::Test {
 protected:
  void SetUp() override { plat::HeadlessDriver::Reset(); }
};

TEST_F(PictureTest, StretchedDrawingUsesWholeFactors) {
  ppPicture red = Solid(16, 0, 0, 255);
  Canvas canvas(60, 80);
  ppDC dc(canvas.dc());
  red.DrawStretched(dc, plat::RECT{0, 0, 40, 70});
  EXPECT_EQ(canvas.Marked(60, 80), Block(0, 0, 32, 32));
  EXPECT_EQ(canvas.At(31, 31), plat::RGB(255, 0, 0));

  Canvas small(20, 20);
  ppDC sdc(small.dc());
  red.DrawStretched(sdc, plat::RECT{0, 0, 10, 10});
  EXPECT_TRUE(small.Marked(20, 20).empty());
}

TEST_F(PictureTest, ClippedTiledAndPlainDrawing) {
  ppPicture green = Solid(4, 0, 200, 0);
  Canvas canvas(20, 20);
  ppDC dc(canvas.dc());
  green.DrawClipped(dc, plat::RECT{2, 3, 4, 20});  // only the part inside the rectangle
  EXPECT_EQ(canvas.Marked(20, 20), Block(2, 3, 4, 7));

  Canvas plain(20, 20);
  ppDC pdc(plain.dc());
  green.Draw(pdc, plat::RECT{1, 1, 9, 3});  // scaled to the rectangle
  EXPECT_EQ(plain.Marked(20, 20), Block(1, 1, 9, 3));

  // A 2 by 2 checker tiled from (1, 1) over (0, 0, 5, 4): tiles start before the rectangle.
  std::vector<uint8_t> dib = PackedDib(2, 2, 24, 0, 0, 0xFF, 0);
  std::memset(dib.data() + 40, 0, 3);          // bottom-left black
  std::memset(dib.data() + 40 + 8 + 3, 0, 3);  // top-right black
  ppPicture checker;
  checker.SetFromMemory(dib.data(), dib.size());
  Canvas tiled(8, 8, plat::RGB(9, 9, 9));
  ppDC tdc(tiled.dc());
  checker.DrawTiled(tdc, plat::POINT{1, 1}, plat::RECT{0, 0, 5, 4});
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      plat::COLORREF want = plat::RGB(9, 9, 9);
      if (x < 5 && y < 4) want = ((x + 1) % 2 == (y + 1) % 2) ? plat::RGB(255, 255, 255) : plat::RGB(0, 0, 0);
      ASSERT_EQ(tiled.At(x, y), want) << x << "," << y;
    }
}

TEST_F(PictureTest, CopiesOutliveTheirSource) {
  auto source = std::make_unique<ppPicture>(Solid(3, 255, 0, 0));
  source->GetValues();
  ppPicture copy(*source);
  EXPECT_NE(copy.Identity(), source->Identity());
  source.reset();
  Canvas canvas(5, 5);
  ppDC dc(canvas.dc());
  copy.DrawClipped(dc, plat::RECT{0, 0, 5, 5});
  EXPECT_EQ(canvas.Marked(5, 5), Block(0, 0, 3, 3));
  EXPECT_EQ(canvas.At(2, 2), plat::RGB(0, 0, 255));
  EXPECT_EQ(copy.GetValues(), std::vector<double>{-1.0});
}

TEST_F(PictureTest, BitmapDataIsCheckedBeforeUse) {
  ppPicture p;
  std::vector<uint8_t> good = PackedDib(3, 2, 4, 0, 16, 0x12, 0);
  p.SetFromMemory(good.data(), good.size());
  ASSERT_FALSE(p.IsEmpty());
  EXPECT_EQ(p.GetColorCount(), 16);  // colours-used 0 at 4 bits
  plat::WORD entries = 0;
  plat::GetObjectA(p.GetPalette(), sizeof entries, &entries);
  EXPECT_EQ(entries, 16);
  EXPECT_EQ(p.GetHeader()->biSizeImage, 8u);  // worked out from 2 rows of 4 bytes
  EXPECT_EQ(p.GetDataSize(), good.size());

  std::vector<uint8_t> tooManyColours = PackedDib(3, 2, 4, 17, 17, 0, 0);
  p.SetFromMemory(tooManyColours.data(), tooManyColours.size());
  EXPECT_TRUE(p.IsEmpty());

  std::vector<uint8_t> cut = good;
  cut.resize(cut.size() - 1);  // the last row does not fit
  p.SetFromMemory(cut.data(), cut.size());
  EXPECT_TRUE(p.IsEmpty());

  std::vector<uint8_t> badHeader = good;
  badHeader[0] = 200;  // a header longer than the data
  p.SetFromMemory(badHeader.data(), 100);
  EXPECT_TRUE(p.IsEmpty());
  p.SetFromMemory(good.data(), 39);
  EXPECT_TRUE(p.IsEmpty());

  Canvas canvas(4, 4);
  ppDC dc(canvas.dc());
  p.Draw(dc, plat::RECT{0, 0, 4, 4});
  p.DrawClipped(dc, plat::RECT{0, 0, 4, 4});
  p.DrawStretched(dc, plat::RECT{0, 0, 4, 4});
  p.DrawTiled(dc, plat::POINT{0, 0}, plat::RECT{0, 0, 4, 4});
  EXPECT_TRUE(canvas.Marked(4, 4).empty());
  EXPECT_EQ(p.GetDataSize(), 0u);
  EXPECT_TRUE(p.GetPixelsBGR().empty());
}

TEST_F(PictureTest, FilesAreReadAsPngOrBmp) {
  TestPngImage image{2, 1, PNG_COLOR_TYPE_RGB, 8};
  image.rows = {{10, 20, 30, 40, 50, 60}};
  const std::string pngNamedBmp = WriteTemp("framework_picture_png.bmp", EncodeTestPng(image));
  ppPicture fromPng{ppFileSpec(Vcon::WString(pngNamedBmp.c_str()))};
  ASSERT_FALSE(fromPng.IsEmpty());
  EXPECT_EQ(fromPng.GetHeader()->biSize, 108u);
  EXPECT_EQ(fromPng.GetPixelsBGR(), (std::vector<uint8_t>{30, 20, 10, 60, 50, 40, 0, 0}));

  std::vector<uint8_t> bmp = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  std::vector<uint8_t> dib = PackedDib(1, 1, 24, 0, 0, 0, 0);
  dib[40] = 1, dib[41] = 2, dib[42] = 3;
  bmp.insert(bmp.end(), dib.begin(), dib.end());
  const std::string bmpPath = WriteTemp("framework_picture.bmp", bmp);
  ppPicture fromBmp{ppFileSpec(Vcon::WString(bmpPath.c_str()))};
  ASSERT_FALSE(fromBmp.IsEmpty());
  EXPECT_EQ(fromBmp.GetHeader()->biSize, 40u);
  EXPECT_EQ(fromBmp.GetPixelsBGR(), (std::vector<uint8_t>{1, 2, 3, 0}));

  ppPicture missing{ppFileSpec(Vcon::WString("/nonexistent/framework/none.bmp"))};
  EXPECT_TRUE(missing.IsEmpty());
  std::remove(pngNamedBmp.c_str());
  std::remove(bmpPath.c_str());
}

TEST_F(PictureTest, AlphaPicturesBlendThroughTheirMask) {
  TestPngImage image{2, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8};
  image.rows = {{200, 0, 0, 255, 0, 0, 200, 0}};  // opaque red, clear blue
  const std::vector<uint8_t> png = EncodeTestPng(image);
  ppPicture p;
  p.SetFromMemory(png.data(), png.size());
  ASSERT_TRUE(p.HasMask());
  Canvas canvas(4, 1, plat::RGB(0, 100, 0));
  ppDC dc(canvas.dc());
  p.DrawClipped(dc, plat::RECT{0, 0, 4, 1});
  EXPECT_EQ(canvas.At(0, 0), plat::RGB(199, 0, 0));  // (255 * 200) >> 8
  EXPECT_EQ(canvas.At(1, 0), plat::RGB(0, 99, 0));   // the background stays, up to the blend's rounding
  EXPECT_EQ(canvas.At(2, 0), plat::RGB(0, 100, 0));

  EXPECT_EQ(p.GetPixelsRGBA(false), (std::vector<uint8_t>{0, 0, 200, 255, 200, 0, 0, 0}));
  image.rows = {{200, 100, 50, 128}};
  image.width = 1;
  const std::vector<uint8_t> half = EncodeTestPng(image);
  p.SetFromMemory(half.data(), half.size());
  EXPECT_EQ(p.GetPixelsRGBA(true), (std::vector<uint8_t>{25, 50, 100, 128}));
}

TEST_F(PictureTest, TransparentColourDrawing) {
  Canvas source(2, 1, plat::RGB(255, 0, 255));
  plat::SetPixel(source.dc(), 1, 0, plat::RGB(10, 20, 30));
  Canvas dest(4, 2, plat::RGB(1, 1, 1));
  EXPECT_FALSE(
      ppPicture::DrawTransparent(dest.dc(), 0, 0, 0, 2, source.dc(), 0, 0, 2, 1, plat::RGB(255, 0, 255)));
  EXPECT_EQ(dest.At(0, 0), plat::RGB(1, 1, 1));
  EXPECT_TRUE(
      ppPicture::DrawTransparent(dest.dc(), 0, 0, 4, 2, source.dc(), 0, 0, 2, 1, plat::RGB(255, 0, 255)));
  EXPECT_EQ(dest.At(0, 1), plat::RGB(1, 1, 1));  // transparent: the destination shows
  EXPECT_EQ(dest.At(3, 1), plat::RGB(10, 20, 30));
}

TEST_F(PictureTest, OffscreenPicturesAndPixelExport) {
  ppPicture off(3, 2, 24);
  ASSERT_FALSE(off.IsEmpty());
  EXPECT_EQ(off.GetHeader()->biSizeImage, 24u);  // rows of 12 bytes
  EXPECT_NE(off.GetDIBSection(), nullptr);
  EXPECT_NE(plat::GetPixelFormat(off.GetMemoryDC()), 0);
  plat::SetPixel(off.GetMemoryDC(), 0, 0, plat::RGB(7, 8, 9));  // the top row is stored last
  const std::vector<uint8_t> bgr = off.GetPixelsBGR();
  ASSERT_EQ(bgr.size(), 24u);
  EXPECT_EQ(bgr[12], 9);
  EXPECT_EQ(bgr[14], 7);

  ppPicture copy(off);
  EXPECT_EQ(copy.GetDataSize(), 40u + 24);
  EXPECT_EQ(copy.GetPixelsBGR(), bgr);
  std::vector<uint8_t> head(10);
  EXPECT_EQ(copy.CopyBits(head.data(), 10), 10u);
  EXPECT_EQ(head[0], 40);

  ppPicture grey;
  std::vector<uint8_t> dib = PackedDib(2, 1, 8, 2, 2, 1, 0);  // two colours, both pixels index 1
  grey.SetFromMemory(dib.data(), dib.size());
  EXPECT_EQ(grey.GetPixelsBGR(), (std::vector<uint8_t>{16, 16, 239, 16, 16, 239, 0, 0}));
}

}  // namespace

namespace {

TEST_F(PictureTest, ResourceBitmaps) {
  ppPicture red(60100);
  ASSERT_FALSE(red.IsEmpty());
  EXPECT_EQ(red.GetResourceId(), 60100);
  EXPECT_EQ(red.GetWidth(), 2);
  EXPECT_EQ(red.GetPixelsBGR(),
            (std::vector<uint8_t>{0, 0, 255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0}));
  ppPicture none(60199);
  EXPECT_TRUE(none.IsEmpty());
}

}  // namespace
