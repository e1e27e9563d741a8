#include "scene3d/panes/qx3DPicking.h"

#include <GL/gl.h>

#include <cmath>

#include "scene3d/context/ppScene.h"
#include "scene3d/gl/glContext.h"
#include "scene3d/panes/ContextFlags.h"
#include "scene3d/panes/Shared3DContext.h"
#include "scene3d/panes/i3DPaneElement.h"
#include "scene3d/panes/i3DPaneHost.h"
#include "scene3d/panes/qx3DPane.h"
#include "scene3d/panes/qxCameraRecords.h"
#include "scene3d/renderers/qxRenderFactory.h"

namespace {

constexpr double kLevelNormal = 9e-9;
constexpr float kRaise = 25.0f;
constexpr float kAboveBottom = 0.1f;

glContext* CurrentContext(qx3DPane& pane) {
  glContext* context = Shared3DContext::GetOrMake(pane.DC());
  if (!context || !context->MakeCurrent(true)) return nullptr;
  return context;
}

ppVector3 Normalised(const ppVector3& v) {
  const double length = std::sqrt(double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z);
  if (!(length > 0)) return v;
  return ppVector3(float(v.x / length), float(v.y / length), float(v.z / length));
}

ppVector3 Difference(const ppVector3& a, const ppVector3& b) {
  return ppVector3(a.x - b.x, a.y - b.y, a.z - b.z);
}

uint32_t KindFlags(i3DPaneElement& element) {
  switch (element.KindCode()) {
    case i3DPaneElement::kFloorKind:
      return qx3DPicking::kOnFloor;
    case i3DPaneElement::kWallKind:
      return qx3DPicking::kOnWall;
    default:
      return qx3DPicking::kOnElement;
  }
}

// The ray through window point (x, y) as the elements' hit test takes it: that test keeps what lies
// at or behind the ray's origin, the nearest first, so the ray starts at the window's depth 0 and
// points back towards the viewer; the first face met is the one seen through the pixel.
qxRay PixelRay(glContext& context, float x, float y) {
  const ppVector3 near = context.MapPointA(ppVector3(x, y, 0.0f));
  const ppVector3 far = context.MapPointA(ppVector3(x, y, 1.0f));
  // The perspective projection puts depth 1 behind the eye, so depth 0 -> depth 1 already points
  // back. A parallel or axonometric view looks along depth 0 -> depth 1 (depth 0 lies behind the
  // eye there), so its ray runs the other way.
  if (qxCameraRecords::Current()->IsPerspective()) return qxRay(near, Normalised(Difference(far, near)));
  return qxRay(near, Normalised(Difference(near, far)));
}

}  // namespace

i3DPaneElement* qx3DPicking::PickAt(qx3DPane& pane, int32_t x, int32_t y, float widthFactor,
                                    float heightFactor, uint8_t /*code*/) {
  // The pick region would reach past the view into the camera's unseen surroundings: a point off
  // the pane (a drag or a drop over the controls round it) is over nothing shown.
  if (x < 0 || y < 0 || x >= pane.FrameWidth() || y >= pane.FrameHeight()) return nullptr;
  glContext* context = CurrentContext(pane);
  if (!context) return nullptr;
  // The pane's own viewport: another pane may have drawn last, or none yet.
  context->SetViewport(0, 0, pane.FrameWidth(), pane.FrameHeight());
  context->SetPickMode(true);
  qxCameraRecords::Current()->SetUpPick(*context, float(x), float(pane.FrameHeight() - y), widthFactor,
                                        heightFactor);
  ppScene scene;
  pane.Host().AddSceneParts(scene);
  std::unique_ptr<iRenderer> picker = qxRenderFactory::Instance().FindByName("rPicker");
  SetContextOutlines(pane.Outline());
  // Mesa's selection mode faults inside glCallList on lists compiled while rendering, so the pick
  // pass draws every shape straight; it runs once a click.
  const bool immediate = context->immediateMode;
  context->immediateMode = true;
  if (picker) picker->Render(scene, context);
  context->immediateMode = immediate;
  const int32_t hits = context->SetPickMode(false);
  glGetError();
  return hits > 0 ? pane.Host().ElementForPickName(context->GetPickHit(0)) : nullptr;
}

i3DPaneElement* qx3DPicking::Pick3DAt(qx3DPane& pane, int32_t x, int32_t y) {
  return PickAt(pane, x, y, 1.0f, 1.0f, kPlainPick);
}

bool qx3DPicking::SurfacePointAt(qx3DPane& pane, int32_t x, int32_t y, uint32_t options, Surface* out,
                                 int32_t mode) {
  *out = Surface();
  glContext* context = CurrentContext(pane);
  if (!context) return false;
  const float fx = float(x), fy = float(y);
  if (mode == 0) {
    pane.RenderWith(nullptr, nullptr, nullptr, true);
    out->point = context->MapPointA(ppVector3(fx, fy, context->ReadPixels(fx, fy)));
    return true;
  }
  i3DPaneElement* element = PickAt(pane, x, y, 1.0f, 1.0f, kSurfacePick);
  if (!element) return false;
  pane.RenderWith(nullptr, nullptr, nullptr, true);
  ppVector3 normal;
  if (!pane.RayHit(*element, PixelRay(*context, fx, fy), &out->point, &normal)) return false;
  out->flags |= KindFlags(*element);
  if (std::fabs(normal.x) < kLevelNormal && std::fabs(normal.z) < kLevelNormal && normal.y != 0) {
    out->flags |= kHorizontalFace;
  } else {
    out->flags |= kVerticalFace;
    out->angle = float(std::atan2(normal.z, normal.x) - M_PI / 2);
  }
  if ((options & kRaiseOnTop) && (out->flags & kHorizontalFace)) {
    out->point.y += kRaise;
  } else if (!(options & kKeepHeight)) {
    const ppBounds3 bounds = element->GetBounds(0x240, 1.0f);
    out->point.y = kAboveBottom + (bounds.IsEmpty() ? 0.0f : bounds.centre.y - bounds.half.y);
  }
  return true;
}

ppVector3 qx3DPicking::WindowPosition(qx3DPane& pane, const ppVector3& point) {
  glContext* context = CurrentContext(pane);
  if (!context) return ppVector3();
  context->PushMatrix();
  context->LoadIdentity();
  qxCameraRecords::Current()->Apply(*context);
  const ppVector3 window = context->MapPointB(point);
  context->PopMatrix();
  return window;
}

plat::POINT qx3DPicking::ProjectToWindow(qx3DPane& pane, const ppVector3& point) {
  const ppVector3 window = WindowPosition(pane, point);
  return plat::POINT{int32_t(std::lround(window.x)), int32_t(std::lround(window.y))};
}
