#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "framework/GlSharedState.h"
#include "framework/ppDC.h"
#include "framework/ppPicture.h"
#include "framework/ppRegion.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"
#include "tests/framework/TestWindow.h"

namespace {

constexpr uint32_t kBackground = 0x336699;  // surface pixel 0x00RRGGBB

// A 2 by 2 picture whose left column is `left` and right column `right` (blue, green, red bytes),
// with rows 6 bytes long padded to 8.
std::unique_ptr<ppPicture> Columns(const uint8_t (&left)[3], const uint8_t (&right)[3]) {
  plat::BITMAPINFOHEADER h;
  h.biWidth = 2;
  h.biHeight = 2;
  h.biBitCount = 24;
  std::vector<uint8_t> dib(40 + 16, 0);
  std::memcpy(dib.data(), &h, 40);
  for (size_t row = 0; row < 2; ++row) {
    std::memcpy(dib.data() + 40 + row * 8, left, 3);
    std::memcpy(dib.data() + 40 + row * 8 + 3, right, 3);
  }
  auto picture = std::make_unique<ppPicture>();
  picture->SetFromMemory(dib.data(), dib.size());
  return picture;
}

ppRegion Square(int32_t left, int32_t top, int32_t side) {
  ppRegion r;
  r.BeginPolygon();
  r.MoveTo(left, top);
  r.LineTo(left + side, top);
  r.LineTo(left + side, top + side);
  r.LineTo(left, top + side);
  r.EndPolygon();
  return r;
}

bool Near(uint32_t pixel, uint32_t want, int tolerance = 8) {
  for (int shift : {0, 8, 16})
    if (std::abs(int((pixel >> shift) & 0xFF) - int((want >> shift) & 0xFF)) > tolerance) return false;
  return true;
}

class OpenGL2DTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    window_ = picture_tests::MakeTestWindow(300, 200, kBackground, &surface_);
    ASSERT_NE(surface_, nullptr);
  }
  void TearDown() override {
    ReleaseOpenGL();
    plat::HeadlessDriver::Reset();
  }

  plat::HWND window_ = nullptr;
  plat::Surface* surface_ = nullptr;
};

TEST_F(OpenGL2DTest, SmoothLinesAndATexturedPolygon) {
  const uint8_t red[3] = {0, 0, 255}, green[3] = {0, 255, 0};
  std::unique_ptr<ppPicture> stripes = Columns(red, green);
  {
    ppDC dc(window_);
    dc.SetOpenGL(true, false, plat::RECT{0, -1, 0, 0});
    ASSERT_TRUE(dc.IsOpenGLOn());
    dc.SetColorRGB(0, 0, 100);
    dc.SetLineBatch(true);
    dc.MoveToF(10, 150);
    dc.LineToF(290, 150);
    dc.SetLineBatch(false);
    dc.FillPolygonTextured(Square(0, 0, 100), stripes.get(), 0, 1);
    dc.SetOpenGL(false, false, plat::RECT{0, -1, 0, 0});
    EXPECT_FALSE(dc.IsOpenGLOn());
  }
  const std::string dump = std::string(PLANNER_BINARY_DIR) + "/framework_opengl_2d.png";
  EXPECT_TRUE(plat::HeadlessDriver::DumpPng(window_, dump));

  // The texture repeats every 100 pixels; its rows stay straight (each texel row starts at a 4-byte
  // boundary), so both rows show red on the left and green on the right.
  for (int y : {25, 75}) {
    EXPECT_TRUE(Near(surface_->Pixel(25, y), 0xFF0000)) << std::hex << surface_->Pixel(25, y);
    EXPECT_TRUE(Near(surface_->Pixel(75, y), 0x00FF00)) << std::hex << surface_->Pixel(75, y);
  }
  EXPECT_EQ(surface_->Pixel(150, 50), kBackground);
  // The line lies on the border of rows 149 and 150: smoothing shares it between both.
  const uint32_t above = surface_->Pixel(150, 149), below = surface_->Pixel(150, 150);
  EXPECT_NE(above, kBackground);
  EXPECT_NE(below, kBackground);
  EXPECT_NE(below, 0x0000FFu);
  EXPECT_EQ(surface_->Pixel(150, 100), kBackground);
}

TEST_F(OpenGL2DTest, ANewPictureNeverShowsAnOldTexture) {
  const uint8_t red[3] = {0, 0, 255}, blue[3] = {255, 0, 0};
  ppDC dc(window_);
  dc.SetOpenGL(true, false, plat::RECT{0, -1, 0, 0});
  auto first = Columns(red, red);
  dc.FillPolygonTextured(Square(0, 0, 50), first.get(), 0, 1);
  EXPECT_EQ(CachedTextureCount(), 1);
  first.reset();
  EXPECT_EQ(CachedTextureCount(), 0);
  auto second = Columns(blue, blue);
  dc.FillPolygonTextured(Square(100, 0, 50), second.get(), 0, 1);
  dc.FillPolygonTextured(Square(0, 100, 50), nullptr, 0, 1);  // nothing to fill with
  dc.SetOpenGL(false, false, plat::RECT{0, -1, 0, 0});
  EXPECT_TRUE(Near(surface_->Pixel(25, 25), 0xFF0000));
  EXPECT_TRUE(Near(surface_->Pixel(125, 25), 0x0000FF));
  EXPECT_EQ(surface_->Pixel(25, 125), kBackground);
}

TEST_F(OpenGL2DTest, DrawingStaysInsideTheClip) {
  const uint8_t green[3] = {0, 255, 0};
  auto solid = Columns(green, green);
  ppDC dc(window_);
  dc.ClipToRect(plat::RECT{20, 20, 60, 60});
  dc.SetOpenGL(true, false, plat::RECT{0, -1, 0, 0});
  dc.FillPolygonTextured(Square(0, 0, 100), solid.get(), 0.5f, 2);
  dc.SetOpenGL(false, false, plat::RECT{0, -1, 0, 0});
  EXPECT_TRUE(Near(surface_->Pixel(40, 40), 0x00FF00));
  EXPECT_EQ(surface_->Pixel(10, 40), kBackground);
  EXPECT_EQ(surface_->Pixel(40, 70), kBackground);
  dc.FillRect(plat::RECT{0, 0, 300, 200});  // the GDI clip is back after OpenGL
  EXPECT_EQ(surface_->Pixel(10, 10), kBackground);
  EXPECT_EQ(surface_->Pixel(30, 30), 0u);
}

}  // namespace

namespace {

// OpenGL mode costs a GL context only when GL draws: a pass of 2D drawing alone makes none current,
// and the first GL drawing sees the 2D drawing made before it in the same pass.
TEST_F(OpenGL2DTest, TheContextIsMadeWhenGLFirstDraws) {
  ppDC dc(window_);
  dc.SetOpenGL(true, false, plat::RECT{0, -1, 0, 0});
  dc.SetColorRGB(255, 255, 255);
  dc.FillRect(plat::RECT{0, 100, 300, 200});
  EXPECT_EQ(plat::wglGetCurrentContext(), nullptr) << "2D drawing needs no GL context";
  // Asking whether GL draws binds the context.
  ASSERT_TRUE(dc.IsOpenGLOn());
  EXPECT_NE(plat::wglGetCurrentContext(), nullptr);
  dc.SetOpenGL(false, false, plat::RECT{0, -1, 0, 0});
  EXPECT_EQ(plat::wglGetCurrentContext(), nullptr);
  EXPECT_FALSE(dc.IsOpenGLOn());

  // A pass that never draws with GL leaves the pixels and the clip as they were.
  ppDC idle(window_);
  idle.ClipToRect(plat::RECT{0, 0, 10, 10});
  idle.SetOpenGL(true, false, plat::RECT{0, -1, 0, 0});
  idle.SetOpenGL(false, false, plat::RECT{0, -1, 0, 0});
  EXPECT_EQ(plat::wglGetCurrentContext(), nullptr);
  idle.FillRect(plat::RECT{0, 0, 300, 200});
  EXPECT_EQ(surface_->Pixel(5, 5), 0u);
  EXPECT_EQ(surface_->Pixel(50, 150), 0xFFFFFFu);
}

TEST_F(OpenGL2DTest, ASmoothLineBlendsWithTheFillDrawnBeforeItInTheSamePass) {
  ppDC dc(window_);
  dc.SetOpenGL(true, false, plat::RECT{0, -1, 0, 0});
  dc.SetColorRGB(255, 255, 255);
  dc.FillRect(plat::RECT{0, 100, 300, 200});
  dc.SetColorRGB(0, 0, 0);
  dc.SetLineBatch(true);
  dc.MoveToF(10, 150);
  dc.LineToF(290, 150);
  dc.SetLineBatch(false);
  dc.SetOpenGL(false, false, plat::RECT{0, -1, 0, 0});
  // The line lies on the border of rows 149 and 150: both rows are a grey between the black line
  // and the white fill, with equal red, green and blue (the background's blue would show).
  for (int y : {149, 150}) {
    const uint32_t pixel = surface_->Pixel(150, y);
    const uint32_t red = (pixel >> 16) & 0xFF, green = (pixel >> 8) & 0xFF, blue = pixel & 0xFF;
    EXPECT_TRUE(red == green && green == blue) << std::hex << pixel << " at row " << std::dec << y;
    EXPECT_LT(red, 0xFFu);
  }
  EXPECT_EQ(surface_->Pixel(150, 120), 0xFFFFFFu);
}

}  // namespace
