// A scene of plan units for the collision renderer and the drag feedback: each unit is drawn inside
// its containers' placements, from the root down, as the tree's own drawing applies them, in the
// order given. The units stay the plan's.
#pragma once

#include <vector>

#include "scene3d/context/iScene.h"

class zelvproElement;

class PlanUnitScene : public iScene {
 public:
  explicit PlanUnitScene(std::vector<zelvproElement*> units) : units_(std::move(units)) {}
  void Render(iRenderer& renderer) override;

 private:
  std::vector<zelvproElement*> units_;
};
