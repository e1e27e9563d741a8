// The stream renderer for drawing exports: every node's face triangles reach the context, with the
// node's colour and texture, and no list or texture name is read from or kept in the node.
#pragma once

#include "scene3d/context/ppStreamRenderer.h"

class ppDxfRenderer : public ppStreamRenderer {
 public:
  ppDxfRenderer() : ppStreamRenderer(kFaces) {}

  void DrawNode(iNode& node) override;
  std::unique_ptr<iRenderer> Clone() const override;
};
