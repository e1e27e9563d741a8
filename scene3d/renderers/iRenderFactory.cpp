#include "scene3d/renderers/iRenderFactory.h"

#include "scene3d/context/iRenderer.h"

std::unique_ptr<iRenderer> iRenderFactory::FindByName(const std::string& name) const {
  for (int32_t i = 0; i < GetCount(); ++i)
    if (GetName(i) == name) return CreateByIndex(i);
  return nullptr;
}
