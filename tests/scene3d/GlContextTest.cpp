// The OpenGL context of the 3D views on real contexts: projection, state switches, depth reads,
// selection, texture and display-list caching; and the pick hit order on made-up select buffers.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "GlSceneFixture.h"
#include "framework/ppPicture.h"
#include "scene3d/context/ppShape3D.h"
#include "scene3d/gl/glPickHits.h"

namespace {

// A quad from (x0, y0) to (x1, y1) at depth z, counter-clockwise as seen from +z.
void Quad(iShape3D& c, float x0, float y0, float x1, float y1, float z) {
  c.Begin(9);
  c.Vertex(x0, y0, z);
  c.Vertex(x1, y0, z);
  c.Vertex(x1, y1, z);
  c.Vertex(x0, y1, z);
  c.End();
}

// A 24-bit picture `width` pixels wide and two rows high whose columns have the given colours
// (0xRRGGBB), rows padded to 4 bytes as stored.
std::unique_ptr<ppPicture> ColumnPicture(const std::vector<uint32_t>& columns) {
  const int32_t width = int32_t(columns.size());
  const size_t stride = (size_t(width) * 3 + 3) / 4 * 4;
  plat::BITMAPINFOHEADER h;
  h.biWidth = width;
  h.biHeight = 2;
  h.biBitCount = 24;
  std::vector<uint8_t> dib(40 + stride * 2, 0xEE);
  std::memcpy(dib.data(), &h, 40);
  for (size_t row = 0; row < 2; ++row)
    for (size_t x = 0; x < columns.size(); ++x) {
      uint8_t* p = dib.data() + 40 + row * stride + x * 3;
      p[0] = uint8_t(columns[x]), p[1] = uint8_t(columns[x] >> 8), p[2] = uint8_t(columns[x] >> 16);
    }
  auto picture = std::make_unique<ppPicture>();
  picture->SetFromMemory(dib.data(), dib.size());
  return picture;
}

using GlContextTest = GlSceneFixture;

TEST_F(GlContextTest, PerspectiveKeepsItsOwnDepthRow) {
  context_->SetViewport(0, 0, 50, 50);
  context_->LoadMatrix(40, -100, 201, true);
  GLfloat m[16];
  glGetFloatv(GL_PROJECTION_MATRIX, m);
  const float want[16] = {2.747477f, 0, 0,           0,  0, 2.747477f, 0,           0,
                          0,         0, -0.0066445f, -1, 0, 0,         -0.3355482f, 0};
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(m[i], want[i], 1e-6) << i;
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
}

TEST_F(GlContextTest, StateOperationsSwitchTheirCapability) {
  context_->SetBlendFunction(GL_ONE, GL_ZERO);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  context_->SetBlendFunction(GL_ONE_MINUS_DST_COLOR, GL_ZERO);
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  context_->SetDepthFunction(GL_ALWAYS);
  EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
  context_->SetDepthFunction(GL_LESS);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  context_->SetPolygonOffset(0, 0);
  EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
  context_->SetPolygonOffset(0, 1);
  EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
  context_->SetCullFace(0);
  EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GlContextTest, TransparentColourWritesDepthOnlyAndDepthIsReadFromTheTop) {
  FlatView();
  context_->ResetState(0, 0, 1, 1, GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  context_->SetColor(1, 0, 0, 0);
  Quad(*context_, -1, 0, 1, 1, 0);  // the top half, at window depth 0.5
  EXPECT_EQ(Pixel(10, 5), 0x0000FFu);
  EXPECT_NEAR(context_->ReadPixels(10, 5), 0.5f, 1e-3);
  EXPECT_NEAR(context_->ReadPixels(10, kHeight - 5), 1.0f, 1e-6);
  context_->SetColor(1, 0, 0, 1);
  context_->SetDepthFunction(GL_ALWAYS);
  Quad(*context_, -1, 0, 1, 1, 0);
  EXPECT_EQ(Pixel(10, 5), 0xFF0000u);
  EXPECT_EQ(Pixel(10, kHeight - 5), 0x0000FFu);
}

TEST_F(GlContextTest, NamesLoadOnlyWhilePicking) {
  FlatView();
  GLuint buffer[64] = {};
  glSelectBuffer(64, buffer);
  glRenderMode(GL_SELECT);  // selection begun behind the context's back
  glInitNames();
  glPushName(0);
  context_->LoadName(7);
  Quad(*context_, -1, -1, 1, 1, 0);
  ASSERT_EQ(glRenderMode(GL_RENDER), 1);
  EXPECT_EQ(buffer[3], 0u);

  EXPECT_EQ(context_->SetPickMode(false), 0);  // not picking: nothing to end
  context_->SetPickMode(true);
  context_->LoadName(7);
  Quad(*context_, -1, -1, 1, 1, 0);
  EXPECT_EQ(context_->SetPickMode(false), 1);
  EXPECT_EQ(context_->GetPickHit(0), 7u);
  EXPECT_EQ(context_->GetPickHit(1), 0u);
}

TEST_F(GlContextTest, TexturesAreMadeOncePerPictureAndNeverShared) {
  auto first = ColumnPicture({0xFF0000, 0x00FF00}), second = ColumnPicture({0xFF0000, 0x00FF00});
  const uint32_t name = context_->CreateTexture(first.get());
  EXPECT_NE(name, 0u);
  EXPECT_EQ(context_->CreateTexture(first.get()), name);
  EXPECT_EQ(context_->CachedTextureCount(), 1u);
  const uint32_t other = context_->CreateTexture(second.get());  // no values: its own texture
  EXPECT_NE(other, 0u);
  EXPECT_NE(other, name);
  EXPECT_EQ(context_->CreateTexture(nullptr), 0u);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

  ppShape3D unlisted, listed;
  for (ppShape3D* shape : {&unlisted, &listed}) Quad(*shape, 0, 0, 1, 1, 0);
  listed.Values().AppendReplacingPlaceholder(42.0);
  EXPECT_EQ(context_->DrawShape(&unlisted), 0u);
  const uint32_t list = context_->DrawShape(&listed);
  EXPECT_NE(list, 0u);
  EXPECT_EQ(context_->DrawShape(&listed), list);
  EXPECT_EQ(context_->CachedListCount(), 1u);

  context_->MakeCurrent(false);
  glContext once(dc_, true);
  ASSERT_TRUE(once.MakeCurrent(true));
  EXPECT_EQ(once.CreateTexture(first.get()), 0u);
  EXPECT_EQ(once.DrawShape(&listed), 0u);
  EXPECT_EQ(once.CachedTextureCount() + once.CachedListCount(), 0u);
}

TEST_F(GlContextTest, OddWidthTexturesDoNotShear) {
  const std::vector<uint32_t> columns = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF};
  auto picture = ColumnPicture(columns);
  FlatView();
  context_->ResetState(0, 0, 0, 1, GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  context_->SetColor(1, 1, 1, 1);
  context_->CreateTexture(picture.get());
  context_->SetTextureParameterB(false);
  context_->Begin(9);
  const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
  for (const auto& c : corners) {
    context_->TexCoord((c[0] + 1) / 2, (c[1] + 1) / 2);
    context_->Vertex(c[0], c[1], 0);
  }
  context_->End();
  // The width is brought to a power of two, which mixes neighbouring columns; a row read with the
  // wrong alignment would shift the second row against the first.
  for (int32_t i = 0; i < 5; ++i) {
    const int32_t x = i * kWidth / 5 + kWidth / 10;
    EXPECT_NE(Pixel(x, 6), 0u) << i;
    EXPECT_EQ(Pixel(x, 6), Pixel(x, kHeight - 6)) << i;
  }
}

TEST_F(GlContextTest, LightsBeyondThePlatformsAreIgnoredAndAFlatViewportKeepsItsAspect) {
  GLint most = 0;
  glGetIntegerv(GL_MAX_LIGHTS, &most);
  context_->SetLighting();
  for (GLint i = 0; i <= most; ++i) context_->SetLight(ppVector3(0, 1, 0), 1, 1, 1, 1, 1, 0, 0);
  EXPECT_EQ(context_->GetLightCount(), most);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  context_->SetLighting();
  EXPECT_EQ(context_->GetLightCount(), 0);
  EXPECT_FALSE(glIsEnabled(GL_LIGHT0));

  context_->SetViewport(0, 0, 30, 0);  // a pane shrunk to nothing
  EXPECT_EQ(context_->GetAspectRatio(), 1.0f);
  context_->SetViewport(0, 0, 30, 15);
  EXPECT_EQ(context_->GetAspectRatio(), 2.0f);
}

TEST_F(GlContextTest, AContextThatCouldNotBeMadeDrawsNothingAndLeavesTheCurrentOneAlone) {
  FlatView();
  context_->ResetState(0, 0, 1, 1, GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  plat::HWND other = plat::CreateWindowExA(0, "PictureTestWindow", "", plat::WS_POPUP | plat::WS_VISIBLE, 0,
                                           0, 8, 8, nullptr, nullptr, nullptr, nullptr);
  plat::HDC unformatted = plat::GetDC(other);  // no pixel format: no rendering context
  {
    glContext failed(unformatted, false);
    EXPECT_FALSE(failed.IsValid());
    EXPECT_FALSE(failed.MakeCurrent(true));
    failed.ResetState(1, 0, 0, 1, GL_COLOR_BUFFER_BIT);
    failed.SetColor(1, 0, 0, 1);
    Quad(failed, -1, -1, 1, 1, 0);
    EXPECT_EQ(failed.SetPickMode(true), 0);
    ppShape3D shape;
    Quad(shape, -1, -1, 1, 1, 0);
    shape.Values().AppendReplacingPlaceholder(1);
    EXPECT_EQ(failed.DrawShape(&shape), 0u);
  }  // its end must not release the context that is current
  EXPECT_EQ(plat::wglGetCurrentContext(), context_->GetRenderingContext());
  EXPECT_EQ(Pixel(5, 5), 0x0000FFu);
  plat::ReleaseDC(other, unformatted);
}

TEST(PickHits, NearestFirstAndLaterRecordsBeforeTheirEquals) {
  // Records: (names, zmin, zmax, names...).
  const uint32_t buffer[] = {1, 900, 950, 11, 2, 300, 400, 22, 99, 1, 900, 901, 33, 0, 100, 100};
  glPickHits hits;
  hits.Collect(buffer, std::size(buffer), 4);
  ASSERT_EQ(hits.Count(), 4);
  EXPECT_EQ(hits.Name(0), 0u);  // a record without names
  EXPECT_EQ(hits.Name(1), 22u);
  EXPECT_EQ(hits.Name(2), 33u);  // equal depth to 11, met later
  EXPECT_EQ(hits.Name(3), 11u);
  EXPECT_EQ(hits.Name(4), 0u);
  EXPECT_EQ(hits.Name(-1), 0u);

  hits.Collect(buffer, std::size(buffer), -1);  // overflow
  EXPECT_EQ(hits.Count(), 0);
  const uint32_t cut[] = {5, 1, 2, 3};  // claims more names than the buffer holds
  hits.Collect(cut, std::size(cut), 1);
  EXPECT_EQ(hits.Count(), 0);
}

}  // namespace
