#include "elements/base/PlanPixels.h"

#include "elements/base/iElementHost.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/base/zelvproLayerPalette.h"

double PlanScale() {
  zelvproLayerPalette* palette = iElementHost::Current().LayerPalette();
  return palette != nullptr ? palette->GetScale() : zelvproLayerPalette::kStartScale;
}

plat::POINT PlanPixelOrigin() {
  auto* canvas = dynamic_cast<zelvproCanvas*>(iElementHost::Current().TopCanvas());
  ppView* scrolled = canvas != nullptr ? canvas->GetScrollView() : nullptr;
  if (scrolled == nullptr) return plat::POINT{0, 0};
  plat::RECT frame{};
  scrolled->GetWindowFrame(&frame);
  return plat::POINT{frame.left, frame.top};
}

void ScreenToPlanPoint(int32_t x, int32_t y, ppVector3& out) {
  const plat::POINT origin = PlanPixelOrigin();
  const float scale = float(PlanScale());
  out = ppVector3(float(x - origin.x) * scale, 0.0f, float(y - origin.y) * scale);
}

void PlanPointToScreen(const ppVector3& p, plat::POINT& out) {
  const plat::POINT origin = PlanPixelOrigin();
  const float scale = float(PlanScale());
  out.x = int32_t(p.x / scale + float(origin.x));
  out.y = int32_t(p.z / scale + float(origin.y));
}
