#include "scene3d/panes/localWireframeRenderer.h"

#include "scene3d/context/iContext.h"
#include "scene3d/context/iNode.h"
#include "scene3d/context/iScene.h"

namespace {
constexpr uint32_t kAlways = 0x207;  // GL_ALWAYS
constexpr uint32_t kLine = 0x1B01;   // GL_LINE
constexpr uint32_t kFill = 0x1B02;   // GL_FILL
}  // namespace

void localWireframeRenderer::Render(iScene& scene, iContext* target) {
  context = target;
  if (!context) return;
  context->SetCullFace(0);
  context->SetDepthFunction(kAlways);
  context->EnableLighting(false);
  drawing_ = true;
  context->BindTexture(0);
  context->SetWriteMasks(true, true, true, true, false);
  context->SetPolygonOffset(0, 0);
  context->SetPolygonMode(kLine);
  context->SetBlending(false);
  scene.Render(*this);
  context->SetPolygonMode(kFill);
  drawing_ = false;
}

void localWireframeRenderer::DrawNode(iNode& node) {
  if (!context || (node.GetRenderFlags() & kSkipFlag) != 0) return;
  context->SetLineWidth(1.0f);
  context->SetColor(0, 0, 0, 1);
  node.DrawEdges(*context);
}
