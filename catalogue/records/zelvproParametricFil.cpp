#include "catalogue/records/zelvproParametricFil.h"

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproTextureFil.h"
#include "catalogue/unit3d/EntryBytes.h"
#include "catalogue/unit3d/ShapeSource.h"
#include "catalogue/unit3d/iUnit3DElement.h"
#include "framework/ppPicture.h"
#include "scene3d/objects/qx3DParametricObject.h"

namespace {

// Rule-word bits (the same in the X, Y and Z words): the axis acts on vertex x, on vertex y; the
// extent shift goes the other way.
constexpr uint32_t kActsOnX = 1, kActsOnY = 2, kNegativeShift = 0x100;
// Vertex-flag bits of a shape's "attributes".
constexpr uint32_t kShiftX = 2, kScaleX = 4, kShiftY = 8, kScaleY = 0x10;
constexpr int32_t kNoTexture = 256;

// a / b, or `fallback` when b is 0 (an axis without a reference size is not scaled).
double Ratio(double a, double b, double fallback) { return b != 0.0 ? a / b : fallback; }

// group x 1000 + colour code in 32 bits, wrapping rather than overflowing on damaged values.
int32_t LayerCode(int32_t group, int32_t color) {
  return static_cast<int32_t>(static_cast<uint32_t>(group) * 1000u + static_cast<uint32_t>(color));
}

}  // namespace

struct zelvproParametricFil::Stretch {
  float offset[3] = {0, 0, 0};
  float scale[3] = {1, 1, 1};
};

zelvproParametricFil::zelvproParametricFil(ppDatabase& database)
    : zelvproRecordFil(kLayout, database),
      shapeFile_(std::make_unique<zelvproShapeFil>(database)),
      height_(*this, "height"),
      width_(*this, "width"),
      depth_(*this, "depth"),
      facets_(*this, "facets") {}

zelvproParametricFil::Stretch zelvproParametricFil::StretchFor(iUnit3DElement& element, const Placement& p,
                                                               const Unit& u) const {
  const double rw = width_.Double(record_), rh = height_.Double(record_), rd = depth_.Double(record_);
  const iUnit3DElement::AlternativeDepth alternative = element.GetAlternativeDepth();
  const uint32_t flags = element.GetFlags();
  const ppVector3 own = element.GetOwnSize();
  const bool fixedZ = (p.flags & kFixedZ) != 0;
  double sx = rw != 0.0 ? (p.size.x / rw) * (u.width / rw) : 1.0;
  double sy = rh != 0.0 ? (p.size.y / rh) * (u.height / rh) : 1.0;
  double sz = 1.0;
  if (rd != 0.0) {
    const double along = fixedZ ? 1.0 : (alternative.active != 0 ? alternative.depth : u.depth) / rd;
    sz = (p.size.z / rd) * along;
  }
  double ox = p.size.x - rw, oy = p.size.y - rh, oz = 0.0;
  if (!fixedZ) oz = (p.size.z - rd) + (alternative.active != 0 ? alternative.depth - u.depth : 0.0);
  if ((flags & iUnit3DElement::kOwnSizeX) != 0) {
    if (rw != 0.0) sx *= Ratio(own.x, u.width, 1.0);
    ox += own.x - u.width;
  }
  if ((flags & iUnit3DElement::kOwnSizeY) != 0) {
    if (rh != 0.0) sy *= Ratio(own.y, u.height, 1.0);
    oy += own.y - u.height;
  }
  if ((flags & iUnit3DElement::kOwnSizeZ) != 0) {
    if (rd != 0.0) sz *= Ratio(own.z, u.depth, 1.0);
    oz += own.z - u.depth;
  }
  Stretch s;
  s.offset[0] = float(ox), s.offset[1] = float(oy), s.offset[2] = float(oz);
  s.scale[0] = float(sx), s.scale[1] = float(sy), s.scale[2] = float(sz);
  return s;
}

std::unique_ptr<qx3DObject> zelvproParametricFil::buildParametricParts(iUnit3DElement& element,
                                                                       std::unique_ptr<qx3DObject> chain,
                                                                       bool throughCatalogue,
                                                                       const Placement& placement,
                                                                       const Unit& unit, uint32_t owner) {
  if (placement.recordId <= 0 || !ShapeSource::ReadIfPresent(*this, placement.recordId)) return chain;
  const std::vector<uint8_t> facets = EntryBytes::Copy(facets_.Data(record_));
  const Stretch s = StretchFor(element, placement, unit);
  const iUnit3DElement::AlternativeDepth alternative = element.GetAlternativeDepth();
  ShapeSource shape(*shapeFile_);
  for (size_t at = 0; at + kFacetSize <= facets.size(); at += kFacetSize) {
    const EntryBytes f(facets.data() + at, kFacetSize);
    if (f.U32(0) != 0) shape.Load(f.I32(0));
    if (!shape.Loaded()) continue;  // no shape yet, or the one named is gone
    const uint32_t rules[3] = {f.U32(32), f.U32(36), f.U32(40)};
    std::unique_ptr<qx3DParametricObject> part = qx3DParametricObject::Create(owner);
    part->outline = shape.points;
    for (size_t i = 0; i < part->outline.size(); ++i) {
      const uint32_t v = i < shape.attributes.size() ? shape.attributes[i] : 0;
      ppVector2& point = part->outline[i];
      for (int axis = 0; axis < 3; ++axis) {
        const uint32_t w = rules[axis];
        if ((w & kActsOnX) != 0 && (v & kShiftX) != 0) point.x += s.offset[axis];
        if ((w & kActsOnY) != 0 && (v & kShiftY) != 0) point.y += s.offset[axis];
        if ((w & kActsOnX) != 0 && (v & kScaleX) != 0) point.x *= s.scale[axis];
        if ((w & kActsOnY) != 0 && (v & kScaleY) != 0) point.y *= s.scale[axis];
      }
    }
    part->flags = f.U32(44);
    part->position = placement.position + unit.offset;
    if ((placement.flags & kRaiseByAlternativeDepth) != 0 && alternative.active != 0)
      part->position.z += alternative.depth - alternative.base;
    part->rotation = placement.rotation;
    part->elementFlag = (element.GetFlags() & iUnit3DElement::kCopiedToBodies) != 0;
    part->extraVector = placement.size;
    part->secondRotation = f.Vec3(20);
    ppVector3 e = f.Vec3(8);
    // Shift bits 4, 0x10, 0x40 and scale bits 8, 0x20, 0x80 of the X, Y and Z words.
    float* coordinate[3] = {&e.x, &e.y, &e.z};
    for (int axis = 0; axis < 3; ++axis) {
      const uint32_t w = rules[axis], shift = 4u << (2 * axis), scale = 8u << (2 * axis);
      if ((w & shift) != 0) *coordinate[axis] += (w & kNegativeShift) != 0 ? -s.offset[axis] : s.offset[axis];
      if ((w & scale) != 0) *coordinate[axis] *= s.scale[axis];
    }
    part->secondTranslation = e;
    part->textureDirection = f.F32(52);
    int32_t colorId;
    const bool ownColors = (unit.useParametrics & 4) != 0;
    if (ownColors && placement.colorIndex != 0) {
      colorId = element.GetColorRecordId(placement.colorIndex);
      part->groupId = placement.colorIndex;
    } else {
      colorId = element.GetColorRecordId(element.GetDefaultColorIndex());
      part->groupId = ownColors ? element.GetDefaultColorIndex() : -1;
    }
    part->colorCode = element.MapTextureCode(shape.texture);
    part->edgeFlags = shape.attributes;
    ResolveTexture(*part, element, throughCatalogue, colorId, f.I32(48));
    part->kind = qx3DObject::kParametric;
    part->Prepare();
    part->next = std::move(chain);
    chain = std::move(part);
  }
  return chain;
}

void zelvproParametricFil::ResolveTexture(qx3DParametricObject& part, iUnit3DElement& element,
                                          bool throughCatalogue, int32_t colorId, int32_t selector) {
  part.textureScaleMode = 0;
  if (!throughCatalogue) {
    const ppPicture* texture = element.GetTextureByCode(LayerCode(part.groupId, part.colorCode));
    if (texture != nullptr) part.textureScaleMode = texture->GetRepeat() ? 1 : 0;
    return;
  }
  auto* catalogue = dynamic_cast<zelvDatabase*>(&Database());
  if (catalogue == nullptr) return;
  // Leaves the colour and texture tables on the records the part names, as the renderer expects.
  zelvproColorCatalogFil& colors = catalogue->ColorCatalogFile();
  if (!ShapeSource::ReadIfPresent(colors, colorId) || selector < 0 || selector >= kNoTexture || selector > 9)
    return;
  const std::string field = "texture" + std::to_string(selector);
  const int32_t textureId = RecordField(colors, field.c_str()).Long(colors.GetRecordBuffer());
  if (textureId > 0) ShapeSource::ReadIfPresent(catalogue->TextureFile(), textureId);
}
