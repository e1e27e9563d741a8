// Something that can draw itself: a node, a group of nodes, a whole room. It draws through the
// renderer given, which holds the context and decides how each node is drawn.
#pragma once

class iRenderer;

class iScene {
 public:
  virtual ~iScene() = default;
  virtual void Render(iRenderer& renderer) = 0;
};
