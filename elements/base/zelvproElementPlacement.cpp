// Placement of an element: position and angle relative to the container, absolute values, matrices,
// plan points and pixels. Angles turn about the vertical axis; the matrices and RotatePoint3 take
// minus the angle, Rotate2 plus it, so the plan and the 3D scene turn the same way.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "elements/base/ElementChildren.h"
#include "elements/base/PlanPixels.h"
#include "elements/base/iElementTaskFactory.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/base/zelvproElement.h"
#include "foundation/Geometry2D.h"
#include "foundation/Geometry3D.h"
#include "foundation/ppMatrix4.h"
#include "framework/ppTask.h"
#include "platform/WindowApi.h"
#include "scene3d/context/iContext.h"
#include "scene3d/context/iRenderer.h"

namespace {

constexpr float kTwoPi = 6.2831855f;
constexpr float kPi = 3.1415927f;
// Arrow keys (virtual-key codes) that turn an element with Ctrl.
constexpr int32_t kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28;

// A copy of a handle's 8-byte points (handle data promises no alignment for floats).

// The turn of an arrow key in radians; 0 for any other key. Shift makes the step 5 degrees.
float KeyTurn(int32_t key, bool shift) {
  const double divisor = shift ? 36.0 : 4.0;
  const float step = float(double(kPi) / divisor);
  if (key == kLeft || key == kDown) return -step;
  if (key == kUp || key == kRight) return step;
  return 0.0f;
}

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
  if (!std::isfinite(angle)) angle = 0.0f;
  // The angle comes from the document: reduce it by whole turns at once (subtracting one turn at a
  // time takes millions of steps, and from about 1.3e8 radians on the subtraction no longer changes
  // the float). fmod is exact; angles already in [0, 2 pi] stay as they are.
  if (angle < 0.0f || angle > kTwoPi) {
    constexpr double kTurn = 2.0 * std::numbers::pi;
    double reduced = std::fmod(double{angle}, kTurn);
    if (reduced < 0.0) reduced += kTurn;
    angle = float(reduced);
  }
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

// ---- Turning.

void zelvproElement::SetAngle(float value) {
  Invalidate();
  StoreAngle(value);
  Invalidate();
}

void zelvproElement::Rotate(float value) {
  Invalidate();
  StoreAngle(value);
  anchor = ppVector3();
  Invalidate();
  MarkTreePendingUpdate();
}

void zelvproElement::RotateAbout(float value, const ppVector3& pivot) {
  Invalidate();
  ppVector3 v(position.x - pivot.x, position.y - pivot.y, position.z - pivot.z);
  if (value != 0.0f) RotatePoint3(v, 0.0f, -value, 0.0f);
  SetPosition(ppVector3(v.x + pivot.x, v.y + pivot.y, v.z + pivot.z));
  StoreAngle(value);
  anchor = ppVector3();
  MarkTreePendingUpdate();
}

void zelvproElement::RotateByKey(int32_t key) {
  const float turn = KeyTurn(key & 0xFF, plat::GetKeyState(plat::VK_SHIFT) < 0);
  if (turn == 0.0f) return;
  zelvproCanvas* canvas = GetCanvas();
  if (canvas == nullptr) return;
  ppTask* task = iElementTaskFactory::Current().NewRotateTask2(canvas, canvas, turn, 0.0f, 0.0f);
  if (task == nullptr) return;
  canvas->Post(task);
  // A task the history's top task absorbed is deleted by Post and must not run.
  if (canvas->DoneTop() == task) task->Do();
}

// ---- Outlines in the plan.

void zelvproElement::ExtendBounds2D(ppVector2& min, ppVector2& max) {
  ForEachOutline([&](Handle points) {
    for (ppVector2 p : PointListToVector(points)) {
      ApplyPlacement2D(p);
      min = ppVector2(std::min(min.x, p.x), std::min(min.y, p.y));
      max = ppVector2(std::max(max.x, p.x), std::max(max.y, p.y));
    }
  });
  ForEachChildElement(*this, [&](zelvproElement* child) { child->ExtendBounds2D(min, max); });
}

void zelvproElement::GetOutlineCentre(ppVector2& out) {
  // Outlines without points take no part; with none left the centre is (0, 0).
  double x = 0.0, y = 0.0;
  int32_t counted = 0;
  ForEachOutline([&](Handle points) {
    const std::vector<ppVector2> list = PointListToVector(points);
    if (list.empty()) return;
    double sx = 0.0, sy = 0.0;
    for (ppVector2 p : list) {
      ApplyPlacement2D(p);
      sx += p.x;
      sy += p.y;
    }
    x += sx / double(list.size());
    y += sy / double(list.size());
    ++counted;
  });
  out = counted == 0 ? ppVector2() : ppVector2(float(x / counted), float(y / counted));
}

void zelvproElement::OffsetTopViewChildren(const ppVector3& vector) {
  ForEachChildElement(*this, [&](zelvproElement* child) {
    const ppVector3 p = child->GetPosition();
    child->SetPosition(ppVector3(p.x + vector.x, p.y + vector.y, p.z + vector.z));
    child->InvalidateTree();
  });
}

// ---- Drawing into a renderer.

void zelvproElement::RenderScene(iRenderer& renderer) {
  iContext* context = renderer.context;
  if (context == nullptr) return;
  context->LoadName(PickName());
  context->PushMatrix();
  ppMatrix4 placement;
  BuildPlacementMatrix(placement);
  context->MultMatrix(placement);
  if (needsRedraw != 0) {
    RefreshPartColours();
    needsRedraw = 0;
  }
  if (changed != 0) GetBounds(0, 0x240);
  unitLayer.Render(renderer);
  if (cachedObject != nullptr) {
    for (ElementGeometryCache::Part& part : parts_) {
      context->PushMatrix();
      const ppMatrix4 own = part.matrix;
      context->MultMatrix(own);
      cachedObject->DrawPart(renderer, *this, part);
      context->PopMatrix();
    }
  }
  ForEachChildElement(*this, [&](zelvproElement* child) { child->RenderScene(renderer); });
  context->PopMatrix();
}
