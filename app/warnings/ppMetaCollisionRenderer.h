// The placement-warning test of two units: which of their warning layers (render flag 0x40, the parts
// of options whose class takes part in warnings) meet in 3D. Collect renders a scene twice through
// its own tracking context: the first pass keeps the warning layers of the first element that shows
// one, with their placements, option numbers and owners; the second tests every warning layer of the
// other elements against those kept, and appends one record per meeting pair.
// Lives for one check. User-interface thread.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/ppMatrix4.h"
#include "scene3d/context/iRenderer.h"
#include "scene3d/context/ppStandardContext.h"

class zelvproElement;

class ppMetaCollisionRenderer : public iRenderer {
 public:
  // Render-flag bit of a layer that takes part in placement warnings.
  static constexpr uint32_t kWarningLayer = 0x40;

  // One meeting pair: the tested layer's option number and owner, then the kept layer's.
  struct Collision {
    uint32_t option = 0;
    uint32_t collectedOption = 0;
    zelvproElement* owner = nullptr;  // not owned
    zelvproElement* collectedOwner = nullptr;
    bool operator==(const Collision& other) const = default;
  };

  ppMetaCollisionRenderer();

  // Both passes over `scene`; appends to `results`.
  void Collect(iScene& scene, std::vector<Collision>& results);
  void Render(iScene& scene, iContext* context) override;
  void DrawNode(iNode& node) override;

 private:
  void RunPass(iScene& scene, uint32_t which);

  ppStandardContext tracker_;
  zelvproElement* firstElement_ = nullptr;
  std::vector<const iNode*> layers_;
  std::vector<ppMatrix4> transforms_;
  std::vector<zelvproElement*> owners_;
  std::vector<uint32_t> options_;
  std::vector<Collision>* results_ = nullptr;  // the caller's, during Collect
};
