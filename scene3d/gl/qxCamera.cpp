#include "scene3d/gl/qxCamera.h"

#include <cmath>

#include "foundation/ppBounds3.h"
#include "foundation/ppMatrix4.h"
#include "scene3d/context/iContext.h"
#include "scene3d/gl/glContext.h"

namespace {

double Radians(double degrees) { return degrees / 180.0 * M_PI; }

}  // namespace

void qxCamera::LoadView(iContext& context) const {
  context.LoadIdentity();
  context.Scale(kSceneScale, kSceneScale, kSceneScale);
  context.Rotate(-pitch, 1, 0, 0);
  context.Rotate(-yaw, 0, 1, 0);
  context.Translate(-position.x, -position.y, -position.z);
}

void qxCamera::Apply(iContext& context) const {
  if (IsPerspective())
    context.LoadMatrix(lens, nearPlane, farPlane, true);
  else
    context.SetOrthographic(lens, nearPlane, farPlane, true);
  LoadView(context);
}

void qxCamera::SetUpPick(glContext& context, float x, float y, float width, float height) const {
  context.LoadPickMatrix(x, y, width, height);
  if (IsPerspective())
    context.LoadMatrix(lens, nearPlane, farPlane, false);
  else
    context.SetOrthographic(lens, nearPlane, farPlane, false);
  LoadView(context);
}

void qxCamera::Place(const ppVector3& target, float value, float heightOffset) {
  if (!IsPerspective()) {
    position = target;
    lens = value;
    return;
  }
  ppMatrix4 turn;
  ppVector3 yAxis(0, 1, 0), xAxis(1, 0, 0);
  turn.RotateAxis(Radians(yaw), yAxis);
  turn.RotateAxis(Radians(pitch), xAxis);
  ppVector3 away;
  turn.TransformPoint(away, ppVector3(0, 0, value));
  position = ppVector3(target.x + away.x, target.y + away.y + heightOffset, target.z + away.z);
}

qxCamera::Fit qxCamera::FitView(iContext& context, const ppBounds3& box, float margin) {
  if (box.IsEmpty()) return {};
  ppMatrix4 view;
  ppVector3 yAxis(0, 1, 0), xAxis(1, 0, 0);
  view.RotateAxis(Radians(-yaw), yAxis);
  view.RotateAxis(Radians(-pitch), xAxis);
  view.Translate(ppVector3(-box.centre.x, -box.centre.y, -box.centre.z));
  const ppBounds3 seen = ppBounds3::Transformed(view, box);
  const float w = seen.half.x, h = seen.half.y, d = seen.half.z;
  const float aspect = context.GetAspectRatio();
  float fitted = h, offset = 0.0f;
  if (aspect > 0 && h < w / aspect) {
    fitted = w / aspect;
    offset = fitted - h;
  }
  if (!(fitted > 0) || !(margin > 0)) return {};
  if (!IsPerspective()) {
    Place(box.centre, 1.0f / (fitted * kSceneScale) / 2.0f / margin, 0.0f);
    return {};
  }
  Fit fit;
  fit.distance = (d + fitted / std::tan(lens / 2.0f / 180.0f * static_cast<float>(M_PI))) * margin;
  fit.heightOffset = offset / margin;
  Place(box.centre, fit.distance, fit.heightOffset);
  return fit;
}
