#include "scene3d/objects/qxUnitLayer3D.h"

#include "scene3d/context/iRenderer.h"
#include "scene3d/objects/iLayerOwner.h"

void qxUnitLayer3D::Render(iRenderer& renderer) { renderer.DrawNode(*this); }

const ppPicture* qxUnitLayer3D::GetTexture() const {
  return owner != nullptr ? owner->GetTextureByCode(code) : nullptr;
}

ppFloat4 qxUnitLayer3D::GetColor() const {
  ppFloat4 color;
  if (owner != nullptr) owner->GetColorByCode(color, code);
  return color;
}

uint32_t qxUnitLayer3D::GetRenderFlags() const {
  return renderFlags | (owner != nullptr ? owner->GetRenderFlags() : 0xFFFFu);
}
