// The part table of a top-view element, made from its top-view record's units, and its queries:
// whether a keyed part is present, and the dimension lines of the parts that stretch with the element.
#include <algorithm>
#include <cstring>
#include <limits>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproShape3DFil.h"
#include "catalogue/records/zelvproShapeFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "elements/topview/CatalogReads.h"
#include "elements/topview/ScratchRecord.h"
#include "elements/topview/zelvproTopViewElement.h"

namespace {

// "Units" pairs {unit record id, key}; a unit's 3D entries in their long form, whose second word is
// the body type.
constexpr size_t kUnitsPair = 8, kLongShape3DEntry = 64;
// The body type of a 3D entry that names a 3D shape record (a mesh) rather than a 2D shape.
constexpr int32_t kMeshEntry = 4;

// The width (x) and depth (plan y) of a 2D shape's points; 0, 0 without points.
void ShapeExtent(const std::vector<uint8_t>& points, float& width, float& depth) {
  float lo[2] = {std::numeric_limits<float>::max(), std::numeric_limits<float>::max()};
  float hi[2] = {-std::numeric_limits<float>::max(), -std::numeric_limits<float>::max()};
  const size_t count = points.size() / 8;
  for (size_t i = 0; i < count; ++i) {
    float p[2];
    std::memcpy(p, points.data() + i * 8, 8);
    for (int k = 0; k < 2; ++k) lo[k] = std::min(lo[k], p[k]), hi[k] = std::max(hi[k], p[k]);
  }
  width = count != 0 ? hi[0] - lo[0] : 0.0f;
  depth = count != 0 ? hi[1] - lo[1] : 0.0f;
}

}  // namespace

void zelvproTopViewElement::BuildPartTable(const Bytes& units) {
  partTable.clear();
  if (database == nullptr) return;
  partTable.reserve(units.size() / kUnitsPair);
  for (size_t at = 0; at + kUnitsPair <= units.size(); at += kUnitsPair) {
    CataloguePart part;
    const int32_t unitId = CatalogReads::WordAt(units, at / 4);
    part.key = CatalogReads::WordAt(units, at / 4 + 1);
    const ScratchRecord unit(database->UnitFile(), unitId);
    if (unit.Present()) {
      part.shape = CatalogReads::WordAt(unit.Blob("shapes"), 0);
      // Only the long form of the 3D entries can name a 3D shape record.
      if ((unit.Long("useParametrics") & zelvproUnitFil::kLongShapeEntries) != 0) {
        const Bytes entries = unit.Blob("shapes3D");
        for (size_t e = 0; e + kLongShape3DEntry <= entries.size(); e += kLongShape3DEntry) {
          if (CatalogReads::WordAt(entries, e / 4 + 1) != kMeshEntry) continue;
          part.shape3D = CatalogReads::WordAt(entries, e / 4);
          break;
        }
      }
    }
    partTable.push_back(part);
  }
}

bool zelvproTopViewElement::HasPartWithKeyIn(const std::set<int32_t>& keys) {
  if (database == nullptr) return false;
  for (const CataloguePart& part : partTable) {
    if (part.shape3D == 0) continue;
    const int32_t partFlags = ScratchRecord(database->Shape3DFile(), part.shape3D).Long("flags");
    if ((partFlags & kKeyedPart) != 0 && keys.count(part.key) != 0) return true;
  }
  return false;
}

void zelvproTopViewElement::CollectStretchDimensions(std::vector<PlanAnnotation>& list) {
  if (database == nullptr) return;
  std::vector<PlanAnnotation> collected;
  for (const CataloguePart& part : partTable) {
    // A part without a 3D shape record has no stretch flags; record 0 is never read.
    if (part.shape3D == 0) continue;
    const int32_t partFlags = ScratchRecord(database->Shape3DFile(), part.shape3D).Long("flags");
    if ((partFlags & (kMeasuresX | kMeasuresY | kMeasuresZ)) == 0) continue;
    float width = 0.0f, depth = 0.0f;
    ShapeExtent(ScratchRecord(database->ShapeFile(), part.shape).Blob("points"), width, depth);
    PlanAnnotation a;
    a.first = position;
    a.second = dimensions;
    a.third = ppVector3(width, 0.0f, depth);
    a.angle = angle;
    a.below = dimensions.y < position.y;
    a.raised = position.y > 1.0f;
    a.owner = this;
    const bool ownSize = (partFlags & kTakesElementSize) != 0;
    // The shape record holds no height, so a part measuring y without the element's size has no value.
    if ((partFlags & kMeasuresX) != 0)
      a.x = ownSize && (flags & 0x20000000u) != 0 ? double(dimensions.x) : double(width);
    if ((partFlags & kMeasuresY) != 0 && ownSize && (flags & 0x40000000u) != 0) a.y = double(dimensions.y);
    if ((partFlags & kMeasuresZ) != 0)
      a.z = ownSize && (flags & 0x80000000u) != 0 ? double(dimensions.z) : double(depth);
    collected.push_back(a);
  }
  list.insert(list.end(), collected.begin(), collected.end());
}
