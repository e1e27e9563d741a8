// White faces with dark edges ("rGoodHiddenLines", and "rHiddenLines" without blended lines): the
// faces fill the depth buffer in a first pass, the edges and back outlines follow unlit.
#pragma once

#include "scene3d/renderers/rColoredRenderer.h"

class rHiddenLinesRenderer : public rColoredRenderer {
 public:
  explicit rHiddenLinesRenderer(bool good) : rColoredRenderer(good) {}

  void Render(iScene& scene, iContext* context) override;
  void DrawNode(iNode& node) override;
  std::unique_ptr<iRenderer> Clone() const override;
};
