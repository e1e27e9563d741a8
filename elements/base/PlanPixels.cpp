#include "elements/base/PlanPixels.h"

#include <algorithm>

#include "elements/base/iElementHost.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/base/zelvproLayerPalette.h"

namespace {

// Plan points come from documents and may lie anywhere: their pixels are held within this far of
// the origin, as the drawing's other pixel conversions are (a float beyond 32 bits does not convert).
constexpr float kFarOff = 1.0e6f;

int32_t HeldPixel(float v) { return v == v ? int32_t(std::clamp(v, -kFarOff, kFarOff)) : 0; }

}  // namespace

double PlanScale() {
  zelvproLayerPalette* palette = iElementHost::Current().LayerPalette();
  return palette != nullptr ? palette->GetScale() : zelvproLayerPalette::kStartScale;
}

plat::POINT PlanPixelOrigin() {
  auto* canvas = dynamic_cast<zelvproCanvas*>(iElementHost::Current().TopCanvas());
  ppView* scrolled = canvas != nullptr ? canvas->GetScrollView() : nullptr;
  if (scrolled == nullptr) return plat::POINT{0, 0};
  // The scroll view's own origin as its content lies now: a scrolled plan is drawn where its
  // elements' frames (and so the mouse) find it.
  plat::POINT origin{0, 0};
  scrolled->LocalToWindow(&origin);
  return origin;
}

void ScreenToPlanPoint(int32_t x, int32_t y, ppVector3& out) {
  const plat::POINT origin = PlanPixelOrigin();
  const float scale = float(PlanScale());
  out = ppVector3(float(x - origin.x) * scale, 0.0f, float(y - origin.y) * scale);
}

void PlanPointToScreen(const ppVector3& p, plat::POINT& out) {
  const plat::POINT origin = PlanPixelOrigin();
  const float scale = float(PlanScale());
  out.x = HeldPixel(p.x / scale + float(origin.x));
  out.y = HeldPixel(p.z / scale + float(origin.y));
}
