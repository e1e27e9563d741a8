// Placement of an element: position and angle relative to the container, absolute values, matrices,
// plan points and pixels. Angles turn about the vertical axis; the matrices and RotatePoint3 take
// minus the angle, Rotate2 plus it, so the plan and the 3D scene turn the same way.
#include <cmath>

#include "elements/base/PlanPixels.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/base/zelvproElement.h"
#include "foundation/Geometry2D.h"
#include "foundation/Geometry3D.h"
#include "foundation/ppMatrix4.h"

namespace {

constexpr float kTwoPi = 6.2831855f;

}  // namespace

zelvproElement* zelvproElement::ContainerElement() const {
  ppView* supervisor = GetSupervisor();
  if (supervisor == nullptr || supervisor->GetTypeCode() != kTypeCode) return nullptr;
  return static_cast<zelvproElement*>(supervisor);
}

float zelvproElement::GetAbsoluteAngle() const {
  const zelvproElement* container = ContainerElement();
  return container != nullptr ? angle + container->GetAbsoluteAngle() : angle;
}

void zelvproElement::GetAbsolutePosition(ppVector3& out) const {
  const zelvproElement* container = ContainerElement();
  if (container == nullptr) {
    out = position;
    return;
  }
  container->GetAbsolutePosition(out);
  ppVector3 own = position;
  RotatePoint3(own, 0.0f, -container->GetAbsoluteAngle(), 0.0f);
  out = ppVector3(out.x + own.x, out.y + own.y, out.z + own.z);
}

float zelvproElement::GetNormalizedAngle() {
  if (zelvproElement* container = ContainerElement()) return container->GetNormalizedAngle() + angle;
  // Non-finite angles would never leave the loops below.
  if (!std::isfinite(angle)) angle = 0.0f;
  while (angle < 0.0f) angle += kTwoPi;
  while (angle > kTwoPi) angle -= kTwoPi;
  return angle;
}

void zelvproElement::BuildPlacementMatrix(ppMatrix4& out) const {
  out.SetIdentity();
  out.Translate(position);
  ppVector3 axis(0.0f, 1.0f, 0.0f);
  out.RotateAxis(-double(angle), axis);
}

void zelvproElement::BuildWorldMatrix(ppMatrix4& out) const {
  ppMatrix4 own;
  BuildPlacementMatrix(own);
  const auto* parent = dynamic_cast<const zelvproElement*>(GetSupervisor());
  if (parent == nullptr) {
    out = own;
    return;
  }
  ppMatrix4 above;
  parent->BuildWorldMatrix(above);
  above.Multiply(out, own);
}

void zelvproElement::LocalToWorld(ppVector3& point) const {
  ppMatrix4 placement;
  BuildPlacementMatrix(placement);
  const ppVector3 in = point;
  placement.TransformPoint(point, in);
}

void zelvproElement::WorldToLocal(ppVector3& point) const {
  ppMatrix4 placement;
  BuildPlacementMatrix(placement);
  const ppVector3 in = point;
  placement.Inverse().TransformPoint(point, in);
}

void zelvproElement::ApplyPlacement2D(ppVector2& point) const {
  if (angle != 0.0f) Rotate2(point, angle);
  if (position.x != 0.0f || position.z != 0.0f) Offset2(point, position.x, position.z);
  if (const zelvproElement* container = ContainerElement()) container->ApplyPlacement2D(point);
}

void zelvproElement::ApplyPlacementXZ(Handle points) {
  PointListRotate(points, angle);
  PointListOffset(points, position.x, position.z);
  if (zelvproElement* container = ContainerElement()) container->ApplyPlacementXZ(points);
}

zelvproCanvas* zelvproElement::GetCanvas() {
  zelvproElement* root = this;
  while (zelvproElement* up = root->ContainerElement()) root = up;
  return dynamic_cast<zelvproCanvas*>(root);
}

void zelvproElement::GetScreenPosition(plat::POINT& out) const {
  ppVector3 absolute;
  GetAbsolutePosition(absolute);
  PlanPointToScreen(absolute, out);
}

void zelvproElement::SetPositionFromScreen(int32_t x, int32_t y) { ScreenToPlanPoint(x, y, position); }

void zelvproElement::SetPlanXZFromPixels(int32_t x, int32_t y) {
  const float scale = float(PlanScale());
  ppVector3 p = position;
  p.x = float(x) * scale;
  p.z = float(y) * scale;
  SetPosition(p);
}
