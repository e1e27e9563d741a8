#include "scene3d/context/ppScene.h"

#include "scene3d/context/iContext.h"
#include "scene3d/context/iRenderer.h"

void ppScene::Add(iScene* child) {
  if (child != nullptr) children_.push_back(child);
}

void ppScene::Render(iRenderer& renderer) {
  iContext* context = renderer.context;
  if (context == nullptr) return;
  context->PushMatrix();
  context->MultMatrix(transform);
  for (iScene* child : children_) child->Render(renderer);
  context->PopMatrix();
}
