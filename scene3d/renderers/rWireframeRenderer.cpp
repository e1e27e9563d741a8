#include "scene3d/renderers/rWireframeRenderer.h"

#include "scene3d/context/GlConstants.h"
#include "scene3d/context/iContext.h"
#include "scene3d/context/iNode.h"
#include "scene3d/context/iScene.h"

void rWireframeRenderer::Render(iScene& scene, iContext* target) {
  context = target;
  if (context == nullptr) return;
  iContext& c = *context;
  SetUpColors();
  c.ResetState(background_.v[0], background_.v[1], background_.v[2], background_.v[3],
               gl::kColorBufferBit | gl::kDepthBufferBit);
  c.SetCullFace(0);
  c.SetDepthFunction(gl::kAlways);
  c.EnableLighting(false);
  pass = 1;
  c.BindTexture(0);
  c.SetWriteMasks(true, true, true, true, false);
  c.SetPolygonOffset(0.0f, 0.0f);
  c.SetPolygonMode(gl::kLine);
  c.SetBlending(IsGood());
  scene.Render(*this);
  c.SetPolygonMode(gl::kFill);
}

void rWireframeRenderer::DrawNode(iNode& node) {
  const uint32_t flags = node.GetRenderFlags();
  if (Skips(flags)) return;
  const ppFloat4 color = SetLineFor(flags);
  context->SetColorFromArgs(color.v[0], color.v[1], color.v[2], color.v[3]);
  node.DrawEdges(*context);
}

std::unique_ptr<iRenderer> rWireframeRenderer::Clone() const {
  auto copy = std::make_unique<rWireframeRenderer>(false);
  copy->CopyColorsFrom(*this);
  return copy;
}
