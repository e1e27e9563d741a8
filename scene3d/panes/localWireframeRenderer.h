// Draws every node's edges as thin black lines over whatever is already drawn, ignoring depth: the
// room's outline on plan pictures. Nodes whose render flags carry 0x40 are left out.
#pragma once

#include "scene3d/context/iRenderer.h"

class localWireframeRenderer : public iRenderer {
 public:
  static constexpr uint32_t kSkipFlag = 0x40;

  void Render(iScene& scene, iContext* context) override;
  void DrawNode(iNode& node) override;
  bool Drawing() const { return drawing_; }

 private:
  bool drawing_ = false;
};
