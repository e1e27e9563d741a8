#include "canvas/tasks/PlanUnitScene.h"

#include "elements/base/zelvproElement.h"
#include "foundation/ppMatrix4.h"
#include "scene3d/context/iContext.h"
#include "scene3d/context/iRenderer.h"

void PlanUnitScene::Render(iRenderer& renderer) {
  iContext* context = renderer.context;
  if (context == nullptr) return;
  for (zelvproElement* unit : units_) {
    context->PushMatrix();
    std::vector<zelvproElement*> chain;
    for (zelvproElement* c = unit->ContainerElement(); c != nullptr; c = c->ContainerElement())
      chain.push_back(c);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
      ppMatrix4 placement;
      (*it)->BuildPlacementMatrix(placement);
      context->MultMatrix(placement);
    }
    unit->Render(renderer);
    context->PopMatrix();
  }
}
