// The collision test of the mover tasks: whether what is being moved (nodes with render flag 0x2)
// meets anything else in a scene in 3D. Check renders the scene twice through its own tracking
// context: first collecting every node that stays put with its placement, then testing each moving
// node against the collected ones, stopping at the first hit. Nodes with any of the flags 0x1, 0x40,
// 0x100, 0x200 take no part. Afterwards the owner fields name the pair that collided.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/ppMatrix4.h"
#include "scene3d/context/iRenderer.h"
#include "scene3d/context/ppStandardContext.h"

class ppCollisionRenderer : public iRenderer {
 public:
  enum class Mode { kCollect = 1, kTest = 2 };

  ppCollisionRenderer();

  // The whole test; true when a moving node meets a collected one.
  bool Check(iScene& scene);
  void Render(iScene& scene, iContext* context) override;
  void DrawNode(iNode& node) override;

  // GetOwner of the collected node that was hit, and of the moving node that hit it; 0 without a hit.
  uint32_t GetHitOwner() const { return hitOwner_; }
  uint32_t GetMovingOwner() const { return movingOwner_; }
  bool Found() const { return found_; }

 private:
  void RunPass(iScene& scene, Mode mode);

  Mode mode_ = Mode::kCollect;
  ppStandardContext tracker_;
  bool found_ = false;
  std::vector<const iNode*> nodes_;
  std::vector<ppMatrix4> transforms_;
  uint32_t hitOwner_ = 0;
  uint32_t movingOwner_ = 0;
};
