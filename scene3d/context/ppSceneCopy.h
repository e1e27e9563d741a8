// A flat recording of what a scene draws: rendering a scene with this object as renderer records
// one node per node drawn, carrying the transform that was current at that point (the product of
// every transform on the way down), so the drawing can be replayed later by any renderer without
// walking the element tree. The recorded nodes point at the source's shapes and pictures: a recording
// must not be replayed after those changed or went away. Recording never writes list or texture names
// into the source nodes.
#pragma once

#include <memory>
#include <vector>

#include "scene3d/context/iRenderer.h"
#include "scene3d/context/iScene.h"
#include "scene3d/context/ppNode.h"
#include "scene3d/context/ppStandardContext.h"

class ppSceneCopy : public iScene, public iRenderer {
 public:
  ppSceneCopy();

  // Replays the recorded nodes, in order, through the renderer.
  void Render(iRenderer& renderer) override;
  // Records `scene`, replacing any earlier recording; the context argument is not used.
  void Render(iScene& scene, iContext* context) override;
  void DrawNode(iNode& node) override;

  const std::vector<std::unique_ptr<ppNode>>& Nodes() const { return nodes_; }

 private:
  std::vector<std::unique_ptr<ppNode>> nodes_;
  ppStandardContext tracker_;
};
