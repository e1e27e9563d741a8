// A camera of the 3D views: where the eye is, which way it looks and how the scene is projected, and
// the placement operations the panes use on it: the camera applied to a context, the pick camera
// around a window point, looking at a point from a distance, and fitting the view to a box. Scene
// units reach OpenGL through a uniform scale of 0.002 in the model view. Angles are degrees.
#pragma once

#include <cstdint>

#include "foundation/ppVector3.h"

class iContext;
class glContext;
class ppBounds3;

struct qxCamera {
  static constexpr uint8_t kPerspective = 0;
  static constexpr float kSceneScale = 0.002f;

  // 0 perspective; 1 and 2 orthographic.
  uint8_t kind = kPerspective;
  // Perspective: the vertical field of view in degrees; orthographic: the scale.
  float lens = 40.0f;
  ppVector3 position;  // the eye, millimetres
  float pitch = 0.0f;  // about the x axis
  float yaw = 0.0f;    // about the y axis
  float nearPlane = -100.0f;
  float farPlane = 201.0f;

  bool IsPerspective() const { return kind == kPerspective; }

  // The projection (reset) and then the model view of the camera.
  void Apply(iContext& context) const;
  // The projection of a pick region width by height centred at window point (x, y), measured from
  // the bottom as OpenGL counts, and the camera's model view.
  void SetUpPick(glContext& context, float x, float y, float width, float height) const;
  // Perspective: the eye `value` units from `target` along the viewing direction, raised by
  // `heightOffset`. Orthographic: the eye at the target, the scale `value`.
  void Place(const ppVector3& target, float value, float heightOffset);

  struct Fit {
    float distance = 0.0f;
    float heightOffset = 0.0f;
  };
  // Places the camera so that `box` fills the view of `context`'s aspect ratio, `margin` times
  // smaller; answers the distance and height offset used (both 0 for an orthographic camera). An
  // empty box, or one with no width or height, leaves the camera alone and answers (0, 0).
  Fit FitView(iContext& context, const ppBounds3& box, float margin);

 private:
  // Scale, pitch, yaw and the eye's translation on the current (model-view) matrix.
  void LoadView(iContext& context) const;
};
