#include "scene3d/context/ppCollisionRenderer.h"

#include "scene3d/context/iNode.h"
#include "scene3d/context/iScene.h"

ppCollisionRenderer::ppCollisionRenderer() : tracker_(false) {}

void ppCollisionRenderer::RunPass(iScene& scene, Mode mode) {
  tracker_ = ppStandardContext(false);
  mode_ = mode;
  Render(scene, &tracker_);
}

bool ppCollisionRenderer::Check(iScene& scene) {
  hitOwner_ = movingOwner_ = 0;
  nodes_.clear();
  transforms_.clear();
  RunPass(scene, Mode::kCollect);
  found_ = false;
  RunPass(scene, Mode::kTest);
  nodes_.clear();
  transforms_.clear();
  return found_;
}

void ppCollisionRenderer::Render(iScene& scene, iContext* target) {
  context = target;
  if (context == nullptr) return;
  scene.Render(*this);
}

void ppCollisionRenderer::DrawNode(iNode& node) {
  const uint32_t flags = node.GetRenderFlags();
  if (flags & iNode::kSkipFlags) return;
  const bool moving = (flags & iNode::kMovingFlag) != 0;
  if (mode_ == Mode::kCollect) {
    if (moving) return;
    nodes_.push_back(&node);
    transforms_.emplace_back();
    context->GetMatrix(transforms_.back());
    return;
  }
  if (!moving || found_) return;
  ppMatrix4 placement;
  context->GetMatrix(placement);
  for (size_t i = 0; i < nodes_.size() && !found_; ++i) {
    found_ = nodes_[i]->Collides(node, transforms_[i], placement);
    if (found_) {
      hitOwner_ = nodes_[i]->GetOwner();
      movingOwner_ = node.GetOwner();
    }
  }
}
