// The renderer that streams a scene into a context without display lists of its own: it sets a
// plain lit state (grey background, one light above the room) and draws each node's face and/or edge
// shapes through the shared node-drawing operations.
#pragma once

#include <cstdint>

#include "scene3d/context/iRenderer.h"

class ppStreamRenderer : public iRenderer {
 public:
  static constexpr uint8_t kFaces = 1;
  static constexpr uint8_t kEdges = 2;

  explicit ppStreamRenderer(uint8_t flags) : flags_(flags) {}

  void Render(iScene& scene, iContext* context) override;
  void DrawNode(iNode& node) override;
  std::unique_ptr<iRenderer> Clone() const override;

  uint8_t GetFlags() const { return flags_; }

 protected:
  // The fixed state every stream starts from.
  void ResetContext();

 private:
  uint8_t flags_;
};
