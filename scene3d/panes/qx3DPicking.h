// Mapping between the 3D pane's window points and the scene: the element under a point (OpenGL
// selection through the "rPicker" renderer), the surface point under the mouse, and a scene point's
// window position. All go through the shared 3D context, made on the pane's device context when no
// pane has drawn yet. Window points are client pixels, y from the top.
#pragma once

#include <cstdint>

#include "foundation/ppVector3.h"
#include "platform/WindowTypes.h"

class i3DPaneElement;
class qx3DPane;

class qx3DPicking {
 public:
  // Pick codes the callers pass: a click, a surface point, a plain pick. Kept for the callers' sake;
  // the pick does not read them.
  static constexpr uint8_t kClickPick = 1;
  static constexpr uint8_t kSurfacePick = 65;
  static constexpr uint8_t kPlainPick = 67;

  // Surface flags.
  static constexpr uint32_t kOnFloor = 0x1;
  static constexpr uint32_t kOnWall = 0x42;
  static constexpr uint32_t kOnElement = 0x40;
  static constexpr uint32_t kHorizontalFace = 0x4;
  static constexpr uint32_t kVerticalFace = 0x8;
  // Options of SurfacePointAt.
  static constexpr uint32_t kKeepHeight = 0x2;
  static constexpr uint32_t kRaiseOnTop = 0x4;

  // The nearest element under (x, y) in a pick region `widthFactor` by `heightFactor` pixels; null
  // when none, when (x, y) lies outside the pane, or when no context could be made.
  static i3DPaneElement* PickAt(qx3DPane& pane, int32_t x, int32_t y, float widthFactor, float heightFactor,
                                uint8_t code);
  static i3DPaneElement* Pick3DAt(qx3DPane& pane, int32_t x, int32_t y);

  struct Surface {
    ppVector3 point;     // scene millimetres
    float angle = 0.0f;  // radians: the direction of a vertical face's normal
    uint32_t flags = 0;
  };
  // Mode 0: the scene point under (x, y) from the depth buffer the last drawing left. Any other mode:
  // the element under the point is picked and a ray through the point meets its shape; false when
  // nothing is met. With kRaiseOnTop a point on a horizontal face is raised by 25 mm; otherwise,
  // without kKeepHeight, the point drops to 0.1 mm above the element's bottom.
  static bool SurfacePointAt(qx3DPane& pane, int32_t x, int32_t y, uint32_t options, Surface* out,
                             int32_t mode);
  // The window point (rounded) where the current camera shows `point`.
  static plat::POINT ProjectToWindow(qx3DPane& pane, const ppVector3& point);
  // The same point unrounded: x and y in pixels, z the window depth; (0, 0, 0) without a context.
  static ppVector3 WindowPosition(qx3DPane& pane, const ppVector3& point);
};
