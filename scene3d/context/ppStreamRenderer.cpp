#include "scene3d/context/ppStreamRenderer.h"

#include "scene3d/context/GlConstants.h"
#include "scene3d/context/iContext.h"
#include "scene3d/context/iNode.h"
#include "scene3d/context/iScene.h"

void ppStreamRenderer::ResetContext() {
  iContext& c = *context;
  c.ResetState(0.9f, 0.9f, 0.9f, 1.0f, gl::kColorBufferBit | gl::kDepthBufferBit);
  c.SetLighting();
  c.SetLightModel(0.85f, 0.85f, 0.85f, 1.0f);
  c.SetLight(ppVector3(0, 5000, 0.2f), 0.6f, 0.6f, 0.6f, 1.0f, 1, 0, 0);
  c.SetCullFace(gl::kBack);
  c.SetDepthFunction(gl::kLequal);
  c.SetWriteMasks(true, true, true, true, true);
  c.SetPolygonMode(gl::kFill);
  c.EnableLighting(false);
  c.SetBlending(false);
}

void ppStreamRenderer::Render(iScene& scene, iContext* target) {
  context = target;
  if (context == nullptr) return;
  ResetContext();
  scene.Render(*this);
}

void ppStreamRenderer::DrawNode(iNode& node) {
  if (flags_ & kFaces) node.DrawFaces(*context);
  if (flags_ & kEdges) node.DrawEdges(*context);
}

std::unique_ptr<iRenderer> ppStreamRenderer::Clone() const {
  auto copy = std::make_unique<ppStreamRenderer>(flags_);
  copy->CopyBaseFrom(*this);
  return copy;
}
