// Renderers drawing into real contexts: the pixels and depths they leave, the state they end in, and
// picking the nearer of two named quads.
#include <gtest/gtest.h>

#include "GlSceneFixture.h"
#include "framework/ppPicture.h"
#include "scene3d/context/ppNode.h"
#include "scene3d/context/ppScene.h"
#include "scene3d/context/ppShape3D.h"
#include "scene3d/gl/qxCamera.h"
#include "scene3d/renderers/qxRenderFactory.h"

namespace {

// An axis-aligned box of half size h at the origin: its faces (outward, counter-clockwise) and its
// twelve edges as lines.
struct Box {
  ppShape3D faces, edges;

  explicit Box(float h) {
    const float c[8][3] = {{-h, -h, -h}, {h, -h, -h}, {h, h, -h}, {-h, h, -h},
                           {-h, -h, h},  {h, -h, h},  {h, h, h},  {-h, h, h}};
    const int quads[6][4] = {{4, 5, 6, 7}, {1, 0, 3, 2}, {5, 1, 2, 6},
                             {0, 4, 7, 3}, {7, 6, 2, 3}, {0, 1, 5, 4}};
    for (const auto& q : quads) {
      faces.Begin(9);
      for (int i : q) faces.Vertex(c[i][0], c[i][1], c[i][2]);
      faces.End();
    }
    const int lines[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                              {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    for (const auto& l : lines) {
      edges.Begin(1);
      for (int i : l) edges.Vertex(c[i][0], c[i][1], c[i][2]);
      edges.End();
    }
  }
};

// A square of half size h in the plane z, facing +z.
ppShape3D Square(float x, float h, float z) {
  ppShape3D shape;
  shape.Begin(9);
  shape.Vertex(x - h, -h, z);
  shape.Vertex(x + h, -h, z);
  shape.Vertex(x + h, h, z);
  shape.Vertex(x - h, h, z);
  shape.End();
  return shape;
}

// Loads a picking name before drawing what it wraps.
class Named : public iScene {
 public:
  Named(uint32_t name, iScene& inner) : name_(name), inner_(inner) {}
  void Render(iRenderer& renderer) override {
    renderer.context->LoadName(name_);
    inner_.Render(renderer);
  }

 private:
  uint32_t name_;
  iScene& inner_;
};

std::unique_ptr<iRenderer> Renderer(const char* name, uint32_t mask = 0) {
  auto renderer = qxRenderFactory::Instance().FindByName(name);
  renderer->mask = mask;
  return renderer;
}

// Looking down -z from 1000 mm, orthographic at scale 1: one unit of the window's width spans 500 mm.
qxCamera FrontCamera() {
  qxCamera camera;
  camera.kind = 1;
  camera.lens = 1;
  camera.position = ppVector3(0, 0, 1000);
  camera.nearPlane = -200;
  camera.farPlane = 201;
  return camera;
}

using RenderPixelsTest = GlSceneFixture;

TEST_F(RenderPixelsTest, EmptySceneIsTheBackgroundOnWindowsAndBitmaps) {
  app_->colors[1022] = {0.8f, 0.8f, 0.8f, 1};
  ppScene empty;
  Renderer("rGoodStandard")->Render(empty, context_.get());
  context_->SwapBuffers(true);
  for (int32_t y = 0; y < kHeight; ++y)
    for (int32_t x = 0; x < kWidth; ++x)
      ASSERT_EQ(surface_->Pixel(x, y) & 0xFFFFFF, 0xCCCCCCu) << x << "," << y;

  context_->MakeCurrent(false);
  ppPicture bitmap(5, 3, 24);
  {
    glContext offscreen(bitmap.GetMemoryDC(), true);
    ASSERT_TRUE(offscreen.MakeCurrent(true));
    offscreen.SetViewport(0, 0, 5, 3);
    Renderer("rGoodStandard")->Render(empty, &offscreen);
    offscreen.SwapBuffers(false);
    offscreen.MakeCurrent(false);
  }
  const std::vector<uint8_t> bgr = bitmap.GetPixelsBGR();
  for (size_t row = 0; row < 3; ++row)
    for (size_t i = 0; i < 15; ++i) ASSERT_EQ(bgr[row * 16 + i], 204) << row << " " << i;
}

TEST_F(RenderPixelsTest, HiddenLinesDrawWhiteFacesAndMixedEdges) {
  app_->colors[1024] = {0, 0, 0, 1};
  app_->colors[1022] = {1, 1, 1, 1};
  Box box(200);
  ppNode node;
  node.faces = &box.faces;
  node.edges = &box.edges;
  FrontCamera().Apply(*context_);
  Renderer("rHiddenLines")->Render(node, context_.get());
  // The box spans a fifth of the window's width either side of the centre.
  const int32_t row = kHeight / 2;
  int32_t edgePixels = 0;
  for (int32_t x = 0; x < kWidth; ++x) {
    const uint32_t p = Pixel(x, row);
    ASSERT_TRUE(p == 0xFFFFFFu || p == 0x999999u) << x << " " << std::hex << p;
    if (p == 0x999999u) {
      ++edgePixels;
      EXPECT_TRUE(std::abs(x - 19) <= 1 || std::abs(x - 44) <= 1) << x;
    }
  }
  EXPECT_GE(edgePixels, 2);
  EXPECT_EQ(Pixel(kWidth / 2, row), 0xFFFFFFu);
}

TEST_F(RenderPixelsTest, DepthRendererFillsDepthOnlyAndDraggerRestoresTheBuffers) {
  ppShape3D left = Square(-200, 150, 0), right = Square(200, 150, 0);
  ppNode skippable, highlighted;
  skippable.faces = &left;
  skippable.renderFlags = 0x01;
  highlighted.faces = &right;
  highlighted.renderFlags = 0x02;
  ppScene scene;
  scene.Add(&skippable);
  scene.Add(&highlighted);
  FrontCamera().Apply(*context_);
  context_->ResetState(0, 0, 1, 1, GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  Renderer("rZBuffer", 0x01)->Render(scene, context_.get());
  EXPECT_EQ(Pixel(kWidth / 2 - 13, kHeight / 2), 0x0000FFu);
  EXPECT_LT(context_->ReadPixels(kWidth / 2 - 13, kHeight / 2), 0.99f);
  EXPECT_EQ(context_->ReadPixels(kWidth / 2 + 13, kHeight / 2), 1.0f);

  Renderer("rDragger")->Render(scene, context_.get());
  EXPECT_EQ(context_->GetDrawBuffer(), GL_BACK);
  GLint function = 0;
  glGetIntegerv(GL_DEPTH_FUNC, &function);
  EXPECT_EQ(function, GL_LESS);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(RenderPixelsTest, PickingAnswersTheNearerQuadWhateverTheDrawOrder) {
  ppShape3D farShape = Square(0, 200, 0), nearShape = Square(0, 200, 500);
  ppNode farNode, nearNode;
  farNode.faces = &farShape;
  nearNode.faces = &nearShape;
  Named farNamed(11, farNode), nearNamed(22, nearNode);
  qxCamera camera;
  camera.position = ppVector3(0, 0, 2000);
  for (bool nearFirst : {false, true}) {
    ppScene scene;
    scene.Add(nearFirst ? static_cast<iScene*>(&nearNamed) : &farNamed);
    scene.Add(nearFirst ? static_cast<iScene*>(&farNamed) : &nearNamed);
    context_->SetPickMode(true);
    camera.SetUpPick(*context_, kWidth / 2, kHeight / 2, 1, 1);
    Renderer("rPicker")->Render(scene, context_.get());
    const int32_t hits = context_->SetPickMode(false);
    ASSERT_EQ(hits, 2) << nearFirst;
    EXPECT_EQ(context_->GetPickHit(0), 22u) << nearFirst;
    EXPECT_EQ(context_->GetPickHit(1), 11u) << nearFirst;
    EXPECT_EQ(context_->GetPickHit(hits), 0u);
  }
}

}  // namespace
