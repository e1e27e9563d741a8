#include "app/warnings/ppMetaCollisionRenderer.h"

#include "elements/base/zelvproElement.h"
#include "scene3d/context/iNode.h"
#include "scene3d/context/iScene.h"
#include "scene3d/objects/qxUnitLayer3D.h"

namespace {

// The element that draws the layer and the option number it lends it; none for other nodes.
zelvproElement* OwnerOf(const iNode& node) {
  const auto* layer = dynamic_cast<const qxUnitLayer3D*>(&node);
  return layer != nullptr ? dynamic_cast<zelvproElement*>(layer->owner) : nullptr;
}

uint32_t OptionOf(const iNode& node) {
  const auto* layer = dynamic_cast<const qxUnitLayer3D*>(&node);
  return layer != nullptr ? layer->optionNumber : 0;
}

}  // namespace

ppMetaCollisionRenderer::ppMetaCollisionRenderer() : tracker_(false) {}

void ppMetaCollisionRenderer::RunPass(iScene& scene, uint32_t which) {
  tracker_ = ppStandardContext(false);
  pass = which;
  Render(scene, &tracker_);
}

void ppMetaCollisionRenderer::Collect(iScene& scene, std::vector<Collision>& results) {
  results_ = &results;
  firstElement_ = nullptr;
  layers_.clear();
  transforms_.clear();
  owners_.clear();
  options_.clear();
  RunPass(scene, 1);
  RunPass(scene, 2);
  layers_.clear();
  transforms_.clear();
  results_ = nullptr;
}

void ppMetaCollisionRenderer::Render(iScene& scene, iContext* target) {
  context = target;
  if (context == nullptr) return;
  scene.Render(*this);
}

void ppMetaCollisionRenderer::DrawNode(iNode& node) {
  if ((node.GetRenderFlags() & kWarningLayer) == 0) return;
  zelvproElement* owner = OwnerOf(node);
  if (pass == 1) {
    if (firstElement_ == nullptr) firstElement_ = owner;
    if (owner != firstElement_) return;
    layers_.push_back(&node);
    transforms_.emplace_back();
    context->GetMatrix(transforms_.back());
    owners_.push_back(owner);
    options_.push_back(OptionOf(node));
    return;
  }
  if (owner == firstElement_ || results_ == nullptr) return;
  ppMatrix4 placement;
  context->GetMatrix(placement);
  const uint32_t option = OptionOf(node);
  for (size_t i = 0; i < layers_.size(); ++i) {
    if (layers_[i]->Collides(node, transforms_[i], placement))
      results_->push_back(Collision{option, options_[i], owner, owners_[i]});
  }
}
