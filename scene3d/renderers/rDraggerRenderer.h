// Light feedback while a 3D drag runs: the edges of what is drawn, inverted-grey, straight into the
// front buffer with no depth test. Nothing is cleared and nothing swapped; the platform shows front
// buffer drawing at the next flush. Only render flag 0x40 hides a node from it.
#pragma once

#include "scene3d/context/iRenderer.h"

class rDraggerRenderer : public iRenderer {
 public:
  void Render(iScene& scene, iContext* context) override;
  void DrawNode(iNode& node) override;
  std::unique_ptr<iRenderer> Clone() const override;
};
