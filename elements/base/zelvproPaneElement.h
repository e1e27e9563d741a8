// A plan element as the 3D panes see it: selection, flags, bounds, placement and its part of the
// scene, each answered by the element it wraps. It holds only the element's address, so one made for
// an address answers for whatever element lives there; the 3D canvas keeps them. User-interface
// thread only.
#pragma once

#include "scene3d/panes/i3DPaneElement.h"

class zelvproElement;

class zelvproPaneElement : public i3DPaneElement {
 public:
  explicit zelvproPaneElement(zelvproElement* element) : element_(element) {}

  zelvproElement* Element() const { return element_; }

  bool IsSelected() override;
  void Select() override;
  void Deselect() override;
  // The canvas's deselect-all command (204), sent through the element up to its canvas.
  void DeselectOthers() override;
  uint32_t Flags() override;
  int32_t KindCode() override;
  // Scene millimetres, grown by `factor` about the centre.
  ppBounds3 GetBounds(uint32_t flags, float factor) override;
  float AbsoluteAngle() override;
  ppMatrix4 AbsolutePlacement() override;
  ppVector3 Position() override;
  ppVector3 ReferencePoint() override;
  // Radians.
  float Angle() override;
  // The element draws itself (loading its pick name, the save id, first).
  iScene* ScenePart() override;
  ppView* AsView() override;
  // The pending byte (the element's pendingUpdate), set while the 3D view was not drawn, and its two
  // hooks: the geometry rebuilt when the element is marked changed, the part colours renewed.
  void SetPending() override;
  void RunPending() override { RunPendingOf(*element_); }
  // The same for any plan element, without a wrapper; nothing when its pending byte is clear. The
  // byte is left for the plan's redraw pass (zelvproElement::ProcessPendingRedraws) to clear.
  static void RunPendingOf(zelvproElement& element);

 private:
  zelvproElement* element_;
};
