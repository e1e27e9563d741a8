// The generated 3D objects of an element: unit layers made for one catalogue record. Elements of
// one record id share one cache object, which lives for the rest of the run; an element whose size
// is its own keeps a private one and deletes it. The cache object owns its layers.
#pragma once

#include <memory>
#include <vector>

#include "scene3d/objects/qxUnitLayer3D.h"

class ElementGeometryCache {
 public:
  explicit ElementGeometryCache(bool isPrivate) : isPrivate_(isPrivate) {}
  bool IsPrivate() const { return isPrivate_; }
  std::vector<std::unique_ptr<qxUnitLayer3D>>& Layers() { return layers_; }

 private:
  bool isPrivate_;
  std::vector<std::unique_ptr<qxUnitLayer3D>> layers_;
};
