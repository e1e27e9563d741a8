// The element's cached 3D geometry: the parts it draws from its cache object (layer records of its
// catalogue record's unit), its boxes, its state word and picking against its parts.
#include <cstring>
#include <vector>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/ElementGeometryCache.h"
#include "elements/base/zelvproElement.h"
#include "foundation/ppMatrix4.h"
#include "foundation/ppRay.h"
#include "scene3d/context/ppShapePrimitive.h"

namespace {

// State-word bits: the element has no current access id; the flag word's bit kCopiedToBodies.
constexpr uint32_t kNoAccessId = 0x20;
constexpr uint32_t kCopiedState = 0x1;
// GetBounds flags that ask for the cached own box.
constexpr int32_t kOwnBoxFlags = 0x240;
// Render-flag bits of layers that take no part in boxes.
constexpr uint32_t kNotMeasured = 0x240;
// Longer than any distance in a plan (millimetres).
constexpr float kFar = 8999999488.0f;

}  // namespace

void zelvproElement::RebuildGeometry() {
  shape2D_ = ppShape2D();
  ForEachOutline([&](Handle points) {
    const size_t count = points != nullptr && *points != nullptr ? size_t(MemGetSize(points)) / 8 : 0;
    shape2D_.Begin(9);
    for (size_t i = 0; i < count; ++i) {
      float xy[2];
      std::memcpy(xy, *points + i * 8, sizeof xy);
      shape2D_.Vertex(xy[0], xy[1]);
    }
    shape2D_.End();
  });
  const int32_t access = unitRecordId;
  if (access == 0)
    SetStateBits(kNoAccessId);
  else
    ClearStateBits(kNoAccessId);
  if ((flags & kCopiedToBodies) != 0)
    SetStateBits(kCopiedState);
  else
    ClearStateBits(kCopiedState);
  parts_.clear();
  if (recordId == 0) return;

  const bool own = HasOwnSize();
  if (!own) {
    if (cachedObject != nullptr && cachedObject->IsPrivate()) DropCachedObject();
    cachedObject = &ElementGeometryCache::SharedFor(recordId);
  } else {
    if (cachedObject == nullptr || !cachedObject->IsPrivate()) {
      DropCachedObject();
      cachedObject = new ElementGeometryCache(true);
    }
    cachedObject->Clear();
  }
  // A private record is filed as the unit file makes it: minus the unit id, no linked record.
  const ElementGeometryCache::Key key =
      own ? ElementGeometryCache::Key{-access, 0, GetDatabase()}
          : ElementGeometryCache::Key{access, GetDepthRecordId(), GetDatabase()};
  if (cachedObject->IndexOf(key) < 0 && database != nullptr)
    cachedObject->Append(key, database->UnitFile().GetUnitLayer3D(access, *this));
  ElementGeometryCache::Part part;
  part.layer = cachedObject->IndexOf(key);
  parts_.push_back(part);
  RefreshPartColours();
}

ppBounds3 zelvproElement::GetBounds(intptr_t a, int32_t flags) {
  const bool rebuilt = changed != 0;
  if (rebuilt) RebuildGeometry();
  const bool full = a != 0 && flags != kOwnBoxFlags;
  ppBounds3& box = full ? boundsB : boundsA;
  if (full || rebuilt) {
    box = ppBounds3();
    // The element's own layer and the layers of its parts count as its children here.
    if ((unitLayer.GetRenderFlags() & kNotMeasured) == 0) {
      box.AddBox(unitLayer.faces.GetBounds());
      box.AddBox(unitLayer.edges.GetBounds());
    }
    if (cachedObject != nullptr) {
      for (ElementGeometryCache::Part& part : parts_) {
        ppBounds3 partBox;
        cachedObject->GetPartBounds(partBox, *this, part, 0, 0);
        box.AddBox(ppBounds3::Transformed(part.matrix, partBox));
      }
    }
    ForEachChildElement(*this, [&](zelvproElement* child) {
      ppMatrix4 placement;
      child->BuildPlacementMatrix(placement);
      const ppBounds3 childBox = full ? child->GetBounds(a, flags) : child->GetBounds(0, kOwnBoxFlags);
      box.AddBox(ppBounds3::Transformed(placement, childBox));
    });
  }
  changed = 0;
  return box;
}

bool zelvproElement::HitTestSegment(const ppRay& segment, ppVector3& hit, ppShapePrimitive& surface) {
  if (cachedObject == nullptr) return false;
  ppMatrix4 placement;
  BuildPlacementMatrix(placement);
  ppRay local;
  ppMatrix4::TransformRay(local, placement.Inverse(), segment);
  float best = kFar;
  bool found = false;
  for (ElementGeometryCache::Part& part : parts_) {
    ppRay inPart;
    ppMatrix4::TransformRay(inPart, part.matrix.Inverse(), local);
    ppVector3 point;
    ppShapePrimitive face;
    const float d = cachedObject->HitPart(inPart, *this, part, best, point, face);
    if (d >= best) continue;
    best = d;
    found = true;
    ppVector3 inElement;
    part.matrix.TransformPoint(inElement, point);
    placement.TransformPoint(hit, inElement);
    surface = face.Transform(part.matrix).Transform(placement);
  }
  return found;
}
