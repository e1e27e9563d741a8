#include "scene3d/renderers/rDraggerRenderer.h"

#include "scene3d/context/GlConstants.h"
#include "scene3d/context/iContext.h"
#include "scene3d/context/iNode.h"
#include "scene3d/context/iScene.h"
#include "scene3d/renderers/rColoredRenderer.h"

void rDraggerRenderer::Render(iScene& scene, iContext* target) {
  context = target;
  if (context == nullptr) return;
  iContext& c = *context;
  c.SetColor(0.5f, 0.5f, 0.5f, 0.5f);
  c.SetLineWidth(1.0f);
  c.SetWriteMasks(true, true, true, true, false);
  c.SetPolygonOffset(0.0f, 0.0f);
  c.SetPolygonMode(gl::kLine);
  c.EnableLighting(false);
  c.SetBlending(true);
  c.BindTexture(0);
  c.SetBlendFunction(gl::kOneMinusSrcColor, gl::kZero);
  c.SetDepthFunction(gl::kAlways);
  c.SetDrawBuffer(gl::kFront);
  pass = 1;
  scene.Render(*this);
  c.SetBlendFunction(gl::kOne, gl::kZero);
  c.SetDepthFunction(gl::kLess);
  c.SetDrawBuffer(gl::kBack);
  c.SetLineWidth(1.0f);
}

void rDraggerRenderer::DrawNode(iNode& node) {
  if (node.GetRenderFlags() & rColoredRenderer::kHidden) return;
  node.DrawEdges(*context);
}

std::unique_ptr<iRenderer> rDraggerRenderer::Clone() const {
  auto copy = std::make_unique<rDraggerRenderer>();
  copy->CopyBaseFrom(*this);
  return copy;
}
