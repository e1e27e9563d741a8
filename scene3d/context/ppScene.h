// A scene that groups other scenes under one transform; the children are not owned. The collision
// test builds one from the room's scene and the plan's scene.
#pragma once

#include <vector>

#include "foundation/ppMatrix4.h"
#include "scene3d/context/iScene.h"

class ppScene : public iScene {
 public:
  ppMatrix4 transform;

  void Add(iScene* child);
  // Renders every child, in the order added, inside the transform.
  void Render(iRenderer& renderer) override;

  const std::vector<iScene*>& Children() const { return children_; }

 private:
  std::vector<iScene*> children_;
};
