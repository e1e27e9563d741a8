#include "scene3d/dxf/DxfExportState.h"

#include <string>

#include "platform/ResetList.h"

DxfExportState& DxfExportState::Shared() {
  static DxfExportState state;  // user-interface thread only
  return state;
}

namespace {
[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("DXF export state", [] { DxfExportState::Shared() = DxfExportState(); });
}  // namespace

void DxfExportState::Start(float flipHeight) {
  active = true;
  blockCounter = 0;
  height = flipHeight;
}

void DxfExportState::Stop() { active = false; }

Vcon::String DxfExportState::NextBlockName() {
  ++blockCounter;
  return "ZELVO-" + std::to_string(blockCounter);
}

ppVector2 DxfExportState::Flip(const ppVector2& pagePoint) const {
  return ppVector2(pagePoint.x, height - pagePoint.y);
}
