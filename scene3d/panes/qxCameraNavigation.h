// The camera steps of the 3D view's navigation: moving, turning and tilting one camera record.
// Lengths are millimetres, angles degrees.
#pragma once

#include <cstdint>

struct qxCamera;

class qxCameraNavigation {
 public:
  // A step of 1000 mm, or 100 mm with Shift; the angle step is 15 degrees per 1000 mm.
  static float Step(bool fine) { return fine ? 100.0f : 1000.0f; }
  static float AngleStep(float step) { return step / 1000.0f * 15.0f; }

  // Moves the eye by v along the view (forward is negative), sideways or vertically, turned by the
  // yaw. Orthographic cameras zoom instead of moving forward or sideways: the scale is multiplied by
  // 1 - v / 10000 (while it is not positive only zooming out changes it); an axonometric camera's
  // vertical move is a forward move by -v.
  static void Move(qxCamera& camera, float v, bool sideways, bool vertical);
  // Perspective: yaw += a; orthographic: a quarter turn against the sign of a. Reduced to (-360, 360).
  static void Turn(qxCamera& camera, float a);
  // Perspective only: pitch += a, reduced to (-360, 360).
  static void Tilt(qxCamera& camera, float a);
};
