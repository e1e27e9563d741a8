#include "scene3d/renderers/rPickerRenderer.h"

#include "scene3d/context/GlConstants.h"
#include "scene3d/context/iContext.h"
#include "scene3d/context/iNode.h"
#include "scene3d/context/iScene.h"
#include "scene3d/renderers/rColoredRenderer.h"

void rPickerRenderer::Render(iScene& scene, iContext* target) {
  context = target;
  if (context == nullptr) return;
  iContext& c = *context;
  c.SetCullFace(gl::kBack);
  c.SetDepthFunction(gl::kLequal);
  c.SetWriteMasks(true, true, true, true, true);
  c.SetPolygonMode(gl::kFill);
  c.EnableLighting(false);
  c.SetBlending(false);
  c.SetColor(1.0f, 1.0f, 1.0f, 1.0f);
  pass = 1;
  scene.Render(*this);
}

void rPickerRenderer::DrawNode(iNode& node) {
  const uint32_t flags = node.GetRenderFlags();
  if ((flags & rColoredRenderer::kHidden) ||
      ((flags & rColoredRenderer::kSkippable) && (GetMask() & rColoredRenderer::kSkippable)))
    return;
  context->BindTexture(0);
  node.DrawFaces(*context);
}

std::unique_ptr<iRenderer> rPickerRenderer::Clone() const {
  auto copy = std::make_unique<rPickerRenderer>();
  copy->CopyBaseFrom(*this);
  return copy;
}
