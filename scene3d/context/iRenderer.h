// A way of drawing a scene: Render sets the context's state and walks the scene, which hands each of
// its nodes back to DrawNode. A renderer does not own its context; the pointer is valid during Render
// (and while the scene it walks calls back).
#pragma once

#include <cstdint>
#include <memory>

class iContext;
class iNode;
class iScene;

class iRenderer {
 public:
  // The context of the current drawing, stored by Render.
  iContext* context = nullptr;
  // Render flags a node must match to be drawn by renderers that filter (0 after construction).
  uint32_t mask = 0;
  // The current pass (1, 2 or 3) of renderers that draw in passes.
  uint32_t pass = 0;

  virtual ~iRenderer() = default;

  virtual uint32_t GetMask() const { return mask; }
  virtual void Render(iScene& scene, iContext* context) = 0;
  virtual void DrawNode(iNode& node) = 0;
  // A fresh renderer of the same kind with this one's settings; null for renderers that are never
  // copied (the collision test, the scene copy).
  virtual std::unique_ptr<iRenderer> Clone() const { return nullptr; }

 protected:
  // Context, mask and pass of `other`.
  void CopyBaseFrom(const iRenderer& other);
};
