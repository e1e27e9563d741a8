#include "scene3d/renderers/rZBufferRenderer.h"

#include "scene3d/context/GlConstants.h"
#include "scene3d/context/iContext.h"
#include "scene3d/context/iNode.h"
#include "scene3d/context/iScene.h"
#include "scene3d/renderers/rColoredRenderer.h"

void rZBufferRenderer::Render(iScene& scene, iContext* target) {
  context = target;
  if (context == nullptr) return;
  iContext& c = *context;
  c.ResetState(0, 0, 0, 0, gl::kDepthBufferBit);
  c.SetWriteMasks(false, false, false, false, true);
  c.SetPolygonOffset(0.5f, 0.5f);
  c.SetPolygonMode(gl::kFill);
  c.EnableLighting(true);
  c.SetBlending(false);
  c.BindTexture(0);
  pass = 1;
  scene.Render(*this);
  c.SetWriteMasks(true, true, true, true, true);
}

void rZBufferRenderer::DrawNode(iNode& node) {
  const uint32_t flags = node.GetRenderFlags();
  if (flags & (rColoredRenderer::kHidden | rColoredRenderer::kHighlighted)) return;
  node.DrawFaces(*context);
}

std::unique_ptr<iRenderer> rZBufferRenderer::Clone() const {
  auto copy = std::make_unique<rZBufferRenderer>();
  copy->CopyBaseFrom(*this);
  return copy;
}
