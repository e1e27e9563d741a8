// Fills the depth buffer alone (colour untouched), so that later drawing can be depth-tested against
// the room. Highlighted nodes (render flag 0x02: what is being dragged) are left out; the mask plays
// no part.
#pragma once

#include "scene3d/context/iRenderer.h"

class rZBufferRenderer : public iRenderer {
 public:
  void Render(iScene& scene, iContext* context) override;
  void DrawNode(iNode& node) override;
  std::unique_ptr<iRenderer> Clone() const override;
};
