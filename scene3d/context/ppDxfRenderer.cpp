#include "scene3d/context/ppDxfRenderer.h"

#include "scene3d/context/iContext.h"
#include "scene3d/context/iNode.h"

void ppDxfRenderer::DrawNode(iNode& node) {
  node.ApplyColor(*context);
  const ppPicture* texture = node.GetTexture();
  context->CreateTexture(texture);
  if (texture != nullptr) context->SetTextureParameterA(TextureRepeats(texture));
  context->DrawShape(node.GetFaces());
}

std::unique_ptr<iRenderer> ppDxfRenderer::Clone() const {
  auto copy = std::make_unique<ppDxfRenderer>();
  copy->CopyBaseFrom(*this);
  return copy;
}
