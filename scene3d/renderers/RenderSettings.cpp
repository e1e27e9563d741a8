#include "scene3d/renderers/RenderSettings.h"

#include "framework/ppApplication.h"
#include "platform/ResetList.h"

namespace {

constexpr ppFloat4 kStartBackground{0.9f, 0.9f, 0.9f, 1.0f};

}  // namespace

uint8_t gExtraLights = 0;
float gPolygonOffset = 1.0f;
ppFloat4 gLastBackground = kStartBackground;

namespace {
[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("renderers: extra lights, polygon offset, last background", [] {
      gExtraLights = 0;
      gPolygonOffset = 1.0f;
      gLastBackground = kStartBackground;
    });
}  // namespace

ppFloat4 ApplicationColorF(int32_t id) {
  if (gApplication == nullptr) return {1.0f, 1.0f, 1.0f, 1.0f};
  return gApplication->GetColorF(id);
}
