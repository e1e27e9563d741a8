// Edges only, seen through everything ("rGoodWireframe" blends and smooths its lines, "rWireframe"
// does not): no culling, no depth test, no depth writes.
#pragma once

#include "scene3d/renderers/rColoredRenderer.h"

class rWireframeRenderer : public rColoredRenderer {
 public:
  explicit rWireframeRenderer(bool good) : rColoredRenderer(good) {}

  void Render(iScene& scene, iContext* context) override;
  void DrawNode(iNode& node) override;
  std::unique_ptr<iRenderer> Clone() const override;
};
