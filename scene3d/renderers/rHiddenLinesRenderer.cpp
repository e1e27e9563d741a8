#include "scene3d/renderers/rHiddenLinesRenderer.h"

#include "scene3d/context/GlConstants.h"
#include "scene3d/context/iContext.h"
#include "scene3d/context/iNode.h"
#include "scene3d/context/iScene.h"

void rHiddenLinesRenderer::Render(iScene& scene, iContext* target) {
  context = target;
  if (context == nullptr) return;
  iContext& c = *context;
  SetUpColors();
  c.ResetState(background_.v[0], background_.v[1], background_.v[2], background_.v[3],
               gl::kColorBufferBit | gl::kDepthBufferBit);
  c.SetCullFace(gl::kBack);
  c.SetDepthFunction(gl::kLequal);
  c.EnableLighting(false);

  pass = 1;
  c.SetWriteMasks(true, true, true, true, true);
  c.SetPolygonOffset(1.0f, 0.0f);
  c.SetPolygonMode(gl::kFill);
  c.SetBlending(false);
  scene.Render(*this);

  pass = 2;
  c.SetWriteMasks(true, true, true, true, false);
  c.SetPolygonOffset(0.0f, 0.0f);
  c.SetPolygonMode(gl::kLine);
  if (IsGood()) c.SetBlending(true);
  scene.Render(*this);
  c.SetPolygonMode(gl::kFill);
}

void rHiddenLinesRenderer::DrawNode(iNode& node) {
  const uint32_t flags = node.GetRenderFlags();
  if (Skips(flags)) return;
  iContext& c = *context;
  if (pass == 1) {
    c.SetColor(1.0f, 1.0f, 1.0f, 1.0f);
    c.BindTexture(0);
    node.DrawFaces(c);
    return;
  }
  const ppFloat4 color = SetLineFor(flags);
  c.SetColorFromArgs(color.v[0], color.v[1], color.v[2], color.v[3]);
  c.BindTexture(0);
  // The back outline comes before the edges here.
  DrawBackOutline(node, flags);
  node.DrawEdges(c);
}

std::unique_ptr<iRenderer> rHiddenLinesRenderer::Clone() const {
  auto copy = std::make_unique<rHiddenLinesRenderer>(false);
  copy->CopyColorsFrom(*this);
  return copy;
}
