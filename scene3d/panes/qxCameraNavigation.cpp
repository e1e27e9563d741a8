#include "scene3d/panes/qxCameraNavigation.h"

#include <cmath>

#include "foundation/Geometry3D.h"
#include "scene3d/gl/qxCamera.h"

namespace {

float WholeTurnsOff(float degrees) { return degrees - std::trunc(degrees / 360.0f) * 360.0f; }

}  // namespace

void qxCameraNavigation::Move(qxCamera& camera, float v, bool sideways, bool vertical) {
  if (!camera.IsPerspective() && !sideways && !vertical) {
    if (camera.lens > 0 || v > 0) camera.lens *= 1.0f - v / 10000.0f;
    return;
  }
  if (camera.kind == 2 && vertical) {
    Move(camera, -v, false, false);
    return;
  }
  ppVector3 offset = sideways ? ppVector3(v, 0, 0) : vertical ? ppVector3(0, v, 0) : ppVector3(0, 0, v);
  RotatePoint3(offset, 0, float(camera.yaw / 180.0 * M_PI), 0);
  camera.position =
      ppVector3(camera.position.x + offset.x, camera.position.y + offset.y, camera.position.z + offset.z);
}

void qxCameraNavigation::Turn(qxCamera& camera, float a) {
  if (camera.IsPerspective())
    camera.yaw += a;
  else
    camera.yaw += a > 0 ? -90.0f : 90.0f;
  camera.yaw = WholeTurnsOff(camera.yaw);
}

void qxCameraNavigation::Tilt(qxCamera& camera, float a) {
  if (!camera.IsPerspective()) return;
  camera.pitch = WholeTurnsOff(camera.pitch + a);
}
