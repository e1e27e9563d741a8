#include "elements/base/SizeBounds.h"

#include "elements/base/ElementChildren.h"
#include "elements/base/ElementGeometryCache.h"
#include "elements/base/ElementKinds.h"
#include "elements/base/zelvproElement.h"
#include "foundation/ppMatrix4.h"

namespace {

// GetBounds flags: the size texts' own; the cached own box of a child.
constexpr int32_t kSizeFlags = 0xC0;
constexpr int32_t kOwnBoxFlags = 0x240;
// Render-flag bits of layers that take no part in boxes.
constexpr uint32_t kNotMeasured = 0x240;

}  // namespace

ppBounds3 SizeBounds(zelvproElement& element) {
  // Brings the geometry up to date; without accessories it is the answer.
  const ppBounds3 whole = element.GetBounds(0, kSizeFlags);
  bool carries = false;
  ForEachChildElement(
      element, [&](zelvproElement* child) { carries = carries || child->kind == ElementKinds::kAccessory; });
  if (!carries) return whole;
  // The own box as GetBounds gathers it, then the children other than accessories.
  ppBounds3 box;
  qxUnitLayer3D& layer = element.UnitLayer();
  if ((layer.GetRenderFlags() & kNotMeasured) == 0) {
    box.AddBox(layer.faces.GetBounds());
    box.AddBox(layer.edges.GetBounds());
  }
  if (ElementGeometryCache* cache = element.CachedObject()) {
    for (ElementGeometryCache::Part part : element.Parts()) {
      ppBounds3 partBox;
      cache->GetPartBounds(partBox, element, part, 0, 0);
      box.AddBox(ppBounds3::Transformed(part.matrix, partBox));
    }
  }
  ForEachChildElement(element, [&](zelvproElement* child) {
    if (child->kind == ElementKinds::kAccessory) return;
    ppMatrix4 placement;
    child->BuildPlacementMatrix(placement);
    box.AddBox(ppBounds3::Transformed(placement, child->GetBounds(0, kOwnBoxFlags)));
  });
  return box;
}
