#include "elements/topview/PlanToPixels.h"

#include <algorithm>
#include <cmath>

#include "elements/base/PlanPixels.h"
#include "elements/base/zelvproElement.h"
#include "elements/topview/iPrintSettings.h"

namespace {

constexpr double kFarOff = 1.0e6;  // pixels

float Held(double v) { return std::isfinite(v) ? float(std::clamp(v, -kFarOff, kFarOff)) : 0.0f; }

}  // namespace

PlanToPixels PlanToPixels::Screen() {
  PlanToPixels mapping;
  mapping.pixelsPerMillimetre_ = 1.0 / PlanScale();
  const plat::POINT origin = PlanPixelOrigin();
  mapping.offsetX_ = origin.x;
  mapping.offsetY_ = origin.y;
  return mapping;
}

PlanToPixels PlanToPixels::Page(const PrintPageFields& page) {
  PlanToPixels mapping;
  mapping.pixelsPerMillimetre_ = page.pixelsPerMillimetre;
  mapping.origin_ = page.origin;
  mapping.offsetX_ = page.offset.x;
  mapping.offsetY_ = page.offset.y;
  return mapping;
}

PlanToPixels PlanToPixels::Moved(int32_t dx, int32_t dy) const {
  PlanToPixels moved = *this;
  moved.offsetX_ += dx;
  moved.offsetY_ += dy;
  return moved;
}

ppVector2 PlanToPixels::Apply(const ppVector2& plan) const {
  return ppVector2(Held(offsetX_ + (double(plan.x) - origin_.x) * pixelsPerMillimetre_),
                   Held(offsetY_ + (double(plan.y) - origin_.y) * pixelsPerMillimetre_));
}

Handle PlanToPixels::Map(zelvproElement& element, Handle points) const {
  Handle copy = nullptr;
  MemDuplicate(points, &copy);
  if (copy == nullptr) return nullptr;
  element.ApplyPlacementXZ(copy);
  const int32_t count = MemGetSize(copy) / int32_t(sizeof(ppVector2));
  auto* p = reinterpret_cast<ppVector2*>(*copy);
  for (int32_t i = 0; i < count; ++i) p[i] = Apply(p[i]);
  return copy;
}
