// What the 3D panes ask of a plan element: selection, grouping, bounds, placement, the ray hit test
// and the pending updates. Plan elements implement it; the panes never own one.
#pragma once

#include <cstdint>

#include "foundation/ppBounds3.h"
#include "foundation/ppMatrix4.h"
#include "scene3d/panes/qxRay.h"

class i3DPaneElement {
 public:
  static constexpr int32_t kFloorKind = 1025;
  static constexpr int32_t kWallKind = 1024;

  virtual ~i3DPaneElement() = default;

  virtual bool IsSelected() { return false; }
  virtual void Select() {}
  virtual void Deselect() {}
  // Deselects every other selected element of its canvas, as a plain click in the plan does before
  // it selects an element.
  virtual void DeselectOthers() {}
  // The group this element belongs to, when it is marked as a member of one; else null.
  virtual i3DPaneElement* GroupSupervisor() { return nullptr; }
  virtual void StoreClickTime(uint32_t /*ticks*/) {}
  // 1025 the floor, 1024 a wall, anything else for furniture.
  virtual int32_t KindCode() { return 0; }
  // The element's flag word; the 3D move takes an element with the bits 0x43 of every selected one.
  virtual uint32_t Flags() { return 0; }
  // Scene millimetres, grown by `factor` about its centre.
  virtual ppBounds3 GetBounds(uint32_t /*flags*/, float /*factor*/) { return ppBounds3(); }
  // Radians.
  virtual float AbsoluteAngle() { return 0.0f; }
  // The element's placement composed with its containers'.
  virtual ppMatrix4 AbsolutePlacement() { return ppMatrix4(); }
  // The nearest point where the ray meets the element's shape and the surface normal there; ray and
  // answers in scene millimetres.
  virtual bool RayHit(const qxRay& /*ray*/, ppVector3* /*point*/, ppVector3* /*normal*/) { return false; }
  // Whether its canvas is the top (plan) canvas.
  virtual bool OnTopCanvas() { return true; }
  virtual void RefreshCanvasSubviews() {}
  virtual void ScheduleCanvasUpdate() {}
  // The pending byte: set when the element changed while the 3D view was not drawn.
  virtual void SetPending() {}
  // Runs the two pending hooks when the pending byte is set, and clears it.
  virtual void RunPending() {}
  virtual void NudgeByKey(int32_t /*virtualKey*/) {}
  virtual void RunKeyCommand(int32_t /*command*/) {}
  virtual void ReleaseOutsideSnaps() {}
  // ---- Plan and elevation pictures.
  // The element's position in the scene, millimetres.
  virtual ppVector3 Position() { return ppVector3(); }
  // A point of the element relative to its position (where its label goes), millimetres.
  virtual ppVector3 ReferencePoint() { return ppVector3(); }
  // The element's own angle about the vertical, radians.
  virtual float Angle() { return 0.0f; }
  // The element's part of the scene; null when it draws nothing of its own.
  virtual class iScene* ScenePart() { return nullptr; }
  // The element as a view of its canvas, for the pane's view search; null when it is none.
  virtual class ppView* AsView() { return nullptr; }
};
