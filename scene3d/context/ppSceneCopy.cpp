#include "scene3d/context/ppSceneCopy.h"

ppSceneCopy::ppSceneCopy() : tracker_(false) {}

void ppSceneCopy::Render(iRenderer& renderer) {
  for (const std::unique_ptr<ppNode>& node : nodes_) node->Render(renderer);
}

void ppSceneCopy::Render(iScene& scene, iContext* /*unused*/) {
  nodes_.clear();
  tracker_ = ppStandardContext(false);
  tracker_.immediateMode = true;
  context = &tracker_;
  scene.Render(*this);
}

void ppSceneCopy::DrawNode(iNode& node) {
  auto copy = std::make_unique<ppNode>();
  tracker_.GetMatrix(copy->transform);
  copy->valueA = node.GetValueA();
  copy->valueB = node.GetValueB();
  copy->faces = node.GetFaces();
  copy->edges = node.GetEdges();
  copy->texture = node.GetTexture();
  copy->color = node.GetColor();
  copy->renderFlags = node.GetRenderFlags();
  copy->owner = node.GetOwner();
  nodes_.push_back(std::move(copy));
}
