#include "scene3d/renderers/qxRenderFactory.h"

#include <array>

#include "scene3d/renderers/rDraggerRenderer.h"
#include "scene3d/renderers/rHiddenLinesRenderer.h"
#include "scene3d/renderers/rPickerRenderer.h"
#include "scene3d/renderers/rStandardRenderer.h"
#include "scene3d/renderers/rWireframeRenderer.h"
#include "scene3d/renderers/rZBufferRenderer.h"

namespace {

constexpr const char* kNames[qxRenderFactory::kCount] = {
    "rDragger",         "rPicker",      "rZBuffer",       "rGoodStandard", "rStandard",
    "rGoodHiddenLines", "rHiddenLines", "rGoodWireframe", "rWireframe"};

using Registered = std::array<std::unique_ptr<iRenderer>, qxRenderFactory::kCount>;

// Built once, on the first lookup; read-only afterwards.
const Registered& Renderers() {
  static const Registered renderers = [] {
    Registered r;
    r[0] = std::make_unique<rDraggerRenderer>();
    r[1] = std::make_unique<rPickerRenderer>();
    r[2] = std::make_unique<rZBufferRenderer>();
    r[3] = std::make_unique<rStandardRenderer>(true);
    r[4] = std::make_unique<rStandardRenderer>(false);
    r[5] = std::make_unique<rHiddenLinesRenderer>(true);
    r[6] = std::make_unique<rHiddenLinesRenderer>(false);
    r[7] = std::make_unique<rWireframeRenderer>(true);
    r[8] = std::make_unique<rWireframeRenderer>(false);
    return r;
  }();
  return renderers;
}

bool InRange(int32_t index) { return index >= 0 && index < qxRenderFactory::kCount; }

}  // namespace

const qxRenderFactory& qxRenderFactory::Instance() {
  static const qxRenderFactory factory;
  return factory;
}

std::string qxRenderFactory::GetName(int32_t index) const {
  return InRange(index) ? std::string(kNames[index]) : std::string();
}

std::unique_ptr<iRenderer> qxRenderFactory::CreateByIndex(int32_t index) const {
  if (!InRange(index)) return nullptr;
  return Renderers()[static_cast<size_t>(index)]->Clone();
}
