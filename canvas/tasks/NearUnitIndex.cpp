#include "canvas/tasks/NearUnitIndex.h"

#include <algorithm>
#include <cmath>

#include "canvas/tasks/PlanFrames.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/zelvproElement.h"
#include "elements/base/zelvproTopCanvas.h"

namespace {

// The element's own box with its children's, as the geometry cache measures it.
constexpr int32_t kOwnBoxFlags = 0x240;
// A unit whose plan extent lies this far (millimetres) from a moved unit's cannot touch it: generous
// against the contact tolerance of the shape test.
constexpr float kNearMargin = 50.0f;
// The side of one grid cell, millimetres.
constexpr float kCellSize = 1000.0f;

}  // namespace

bool NearUnitIndex::Extent::Meets(const Extent& e, float margin) const {
  return !Empty() && !e.Empty() && e.minX <= maxX + margin && e.maxX >= minX - margin &&
         e.minZ <= maxZ + margin && e.maxZ >= minZ - margin;
}

NearUnitIndex::Extent NearUnitIndex::PlanExtent(zelvproElement* element) {
  Extent out;
  const ppBounds3 box = element->GetBounds(0, kOwnBoxFlags);
  if (box.IsEmpty()) return out;
  const ppBounds3 plan = ppBounds3::Transformed(PlanMatrix(element), box);
  out.minX = plan.centre.x - plan.half.x, out.maxX = plan.centre.x + plan.half.x;
  out.minZ = plan.centre.z - plan.half.z, out.maxZ = plan.centre.z + plan.half.z;
  return out;
}

int32_t NearUnitIndex::Cell(float v) { return int32_t(std::floor(v / kCellSize)); }

NearUnitIndex::NearUnitIndex(zelvproTopCanvas& top) {
  ForEachChildElement(top, [&](zelvproElement* child) {
    const Extent e = PlanExtent(child);
    const int32_t index = int32_t(units_.size());
    units_.push_back(Unit{child, e});
    if (e.Empty()) return;
    for (int32_t cx = Cell(e.minX); cx <= Cell(e.maxX); ++cx)
      for (int32_t cz = Cell(e.minZ); cz <= Cell(e.maxZ); ++cz) cells_[Key(cx, cz)].push_back(index);
  });
}

std::vector<zelvproElement*> NearUnitIndex::Near(const std::vector<zelvproElement*>& moved) const {
  std::vector<int32_t> found;
  for (zelvproElement* element : moved) {
    const Extent reach = PlanExtent(element);
    if (reach.Empty()) continue;
    for (int32_t cx = Cell(reach.minX - kNearMargin); cx <= Cell(reach.maxX + kNearMargin); ++cx)
      for (int32_t cz = Cell(reach.minZ - kNearMargin); cz <= Cell(reach.maxZ + kNearMargin); ++cz) {
        auto it = cells_.find(Key(cx, cz));
        if (it == cells_.end()) continue;
        for (int32_t i : it->second)
          if (units_[size_t(i)].extent.Meets(reach, kNearMargin)) found.push_back(i);
      }
  }
  // Indexes are plan order.
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end()), found.end());
  std::vector<zelvproElement*> out;
  out.reserve(found.size());
  for (int32_t i : found) out.push_back(units_[size_t(i)].element);
  return out;
}
