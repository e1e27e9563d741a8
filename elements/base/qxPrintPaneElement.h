// A plan element as the 3D pane's pictures see it: its plan position and turn, its scene part and
// its bounds. The reference point is the element's far end along its width, so a picture's second
// window point of the element is where its run ends. Made for one picture of a printed page; the
// element is not owned and must outlive it.
#pragma once

#include "scene3d/panes/i3DPaneElement.h"

class zelvproElement;

class qxPrintPaneElement : public i3DPaneElement {
 public:
  explicit qxPrintPaneElement(zelvproElement* element) : element_(element) {}

  ppBounds3 GetBounds(uint32_t flags, float factor) override;
  float AbsoluteAngle() override;
  ppMatrix4 AbsolutePlacement() override;
  ppVector3 Position() override;
  ppVector3 ReferencePoint() override;
  float Angle() override;
  iScene* ScenePart() override;

 private:
  zelvproElement* element_;
};
