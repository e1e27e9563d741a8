// The registry of the nine named renderers the 3D views draw, pick and drag with, in this order:
// "rDragger", "rPicker", "rZBuffer", "rGoodStandard", "rStandard", "rGoodHiddenLines",
// "rHiddenLines", "rGoodWireframe", "rWireframe". The registered renderers are made on first use and
// never change afterwards (callers get copies), so the registry needs no reset.
#pragma once

#include "scene3d/renderers/iRenderFactory.h"

class qxRenderFactory : public iRenderFactory {
 public:
  static constexpr int32_t kCount = 9;

  // The process's registry.
  static const qxRenderFactory& Instance();

  int32_t GetCount() const override { return kCount; }
  std::string GetName(int32_t index) const override;
  std::unique_ptr<iRenderer> CreateByIndex(int32_t index) const override;
};
