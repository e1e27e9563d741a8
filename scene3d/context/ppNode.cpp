#include "scene3d/context/ppNode.h"

#include "scene3d/context/iContext.h"
#include "scene3d/context/iRenderer.h"

void ppNode::Render(iRenderer& renderer) {
  iContext* context = renderer.context;
  if (context == nullptr) return;
  context->PushMatrix();
  context->MultMatrix(transform);
  renderer.DrawNode(*this);
  context->PopMatrix();
}
