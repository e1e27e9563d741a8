// Plain faces for selection picking: the caller has put the context into picking mode and each
// element loads its picking name before it draws. Nothing is cleared.
#pragma once

#include "scene3d/context/iRenderer.h"

class rPickerRenderer : public iRenderer {
 public:
  void Render(iScene& scene, iContext* context) override;
  void DrawNode(iNode& node) override;
  std::unique_ptr<iRenderer> Clone() const override;
};
