#include "catalogue/unit3d/Unit3DAssembly.h"

#include <algorithm>
#include <vector>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproParametricFil.h"
#include "catalogue/records/zelvproShape3DFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "catalogue/unit3d/EntryBytes.h"
#include "catalogue/unit3d/ShapeSource.h"
#include "catalogue/unit3d/UnitLayerCache.h"
#include "catalogue/unit3d/iUnit3DElement.h"
#include "scene3d/objects/qx3DCircleObject.h"
#include "scene3d/objects/qx3DExtrudedObject.h"
#include "scene3d/objects/qx3DImportedObject.h"
#include "scene3d/objects/qx3DMeshObject.h"
#include "scene3d/objects/qx3DPipeObject.h"

namespace {

constexpr uint32_t kShortPlacement = 44, kLongPlacement = 48;
// Entry flag bit that marks an imported body's element flag.
constexpr uint32_t kImportedElementFlag = 4;

// The unit record's fields the assembly reads.
struct UnitFields {
  explicit UnitFields(const ppDatafile& f)
      : shapes3D(f, "shapes3D"),
        parametrics(f, "parametrics"),
        useParametrics(f, "useParametrics"),
        flags(f, "flags"),
        depthUnits(f, "depthUnits"),
        width(f, "width"),
        height(f, "height"),
        depth(f, "depth"),
        xoffset(f, "xoffset"),
        yoffset(f, "yoffset"),
        zoffset(f, "zoffset") {}
  RecordField shapes3D, parametrics, useParametrics, flags, depthUnits, width, height, depth, xoffset,
      yoffset, zoffset;
};

// The body of an outline entry by its type: 0 and 1 extruded, 2 pipe, 3 turned, 4 mesh, any other
// extruded.
std::unique_ptr<qx3DObject> MakeBody(uint32_t type, uint32_t context) {
  std::unique_ptr<qx3DObject> body;
  switch (type) {
    case 0:
    case 1:
      body = std::make_unique<qx3DExtrudedObject>(context);
      body->kind = type == 0 ? qx3DObject::kExtruded : qx3DObject::kExtrudedAlt;
      break;
    case 2:
      body = std::make_unique<qx3DPipeObject>(context);
      body->kind = qx3DObject::kPipe;
      break;
    case 3:
      body = std::make_unique<qx3DCircleObject>(context);
      body->kind = qx3DObject::kCircle;
      break;
    case 4:
      body = std::make_unique<qx3DMeshObject>(context);
      break;
    default:
      body = std::make_unique<qx3DExtrudedObject>(context);
      body->kind = qx3DObject::kExtrudedOther;
  }
  return body;
}

// Depth, position, rotation and flags, common to both entry forms.
void Place(qx3DObject& body, const EntryBytes& e) {
  body.depth = e.F32(8);
  body.position = e.Vec3(12);
  body.rotation = e.Vec3(24);
  body.flags = e.U32(36);
}

void PushFront(std::unique_ptr<qx3DObject>& chain, std::unique_ptr<qx3DObject> body) {
  body->Prepare();
  body->next = std::move(chain);
  chain = std::move(body);
}

int64_t LayerKey(const qx3DObject& body) { return int64_t{body.groupId} * 1000 + body.colorCode; }

std::unique_ptr<qx3DObject> MeshBody(zelvproShape3DFil& meshes, const EntryBytes& e, uint32_t context) {
  if (!ShapeSource::ReadIfPresent(meshes, e.I32(0))) return nullptr;
  const char* record = meshes.GetRecordBuffer();
  auto mesh = std::make_unique<qx3DMeshObject>(context);
  mesh->vertices = EntryBytes::As<qx3DMeshObject::MeshVertex>(RecordField(meshes, "data1").Data(record));
  // A record without vertices only describes the unit's parts (the measures of its printed elevation):
  // it makes no body, so no layer and no texture direction of its own.
  if (mesh->vertices.empty()) return nullptr;
  mesh->polygons = EntryBytes::As<uint32_t>(RecordField(meshes, "data2").Data(record));
  mesh->edges = EntryBytes::As<qx3DMeshObject::MeshEdge>(RecordField(meshes, "data3").Data(record));
  const float scale = static_cast<float>(RecordField(meshes, "scale").Double(record));
  for (qx3DMeshObject::MeshVertex& v : mesh->vertices) v.x *= scale, v.y *= scale, v.z *= scale;
  const int32_t flags = RecordField(meshes, "flags").Long(record);
  mesh->option4 = (flags & zelvproShape3DFil::kNoTexture) != 0;
  mesh->flatNormals = (flags & zelvproShape3DFil::kNoNormals) != 0;
  mesh->entryValue = e.U32(48);
  return mesh;
}

}  // namespace

std::shared_ptr<TripleWithSet> Unit3DAssembly::GetUnitLayer3D(zelvproUnitFil& units, int32_t unitId,
                                                              iUnit3DElement& element) {
  if (!element.HasOwnSize()) {
    if (unitId == 0) return UnitLayerCache::Empty();
    auto cached = UnitLayerCache::Find(unitId, element.GetDepthRecordId(), element.GetDatabase());
    if (cached != nullptr) return cached;
  }
  return Assemble(units, unitId, element);
}

std::shared_ptr<TripleWithSet> Unit3DAssembly::Assemble(zelvproUnitFil& units, int32_t unitId,
                                                        iUnit3DElement& element) {
  const bool own = element.HasOwnSize();
  const int32_t depth = element.GetDepthRecordId();
  std::unique_ptr<qx3DObject> chain =
      BuildUnit3DObjects(units, unitId, element, nullptr, 0, ppVector3(), 0.0f, 0, 0);
  std::vector<int64_t> keys;
  for (const qx3DObject* body = chain.get(); body != nullptr; body = body->next.get())
    keys.push_back(LayerKey(*body));
  std::sort(keys.begin(), keys.end());
  keys.erase(std::unique(keys.begin(), keys.end()), keys.end());

  auto record = std::make_shared<TripleWithSet>();
  record->unitId = own ? -unitId : unitId;
  record->depthId = own ? 0 : depth;
  record->database = element.GetDatabase();
  record->layers.resize(keys.size());
  // The catalogue's identifier (its settings record's) tells apart units of different catalogues.
  const double identifier = record->database != nullptr ? record->database->Identifier() : 0.0;
  for (size_t k = 0; k < keys.size(); ++k) {
    qxUnitLayer3D& layer = record->layers[k];
    layer.code = static_cast<int32_t>(keys[k]);
    layer.renderFlags &= ~0xFFFFu;
    layer.textureDirection = -1.0f;
    for (qx3DObject* body = chain.get(); body != nullptr; body = body->next.get()) {
      // Every layer takes the texture direction of the chain's first body.
      if (layer.textureDirection == -1.0f) layer.textureDirection = body->textureDirection;
      if (LayerKey(*body) != keys[k]) continue;
      body->BuildMesh(layer.faces, true);
      if (body->kind == qx3DObject::kPipe || body->kind == qx3DObject::kCircle)
        layer.renderFlags |= qxUnitLayer3D::kRoundBodies;
      body->BuildEdges(layer.edges, true);
    }
    if (own) continue;
    for (auto [shape, last] : {std::pair{&layer.faces, 1.0}, std::pair{&layer.edges, 2.0}}) {
      DoubleVector& values = shape->Values();
      values = DoubleVector();
      values.AppendReplacingPlaceholder(identifier);
      for (double v : {double(unitId), double(depth), double(keys[k]), last}) values.Append(v);
    }
  }
  if (!own) UnitLayerCache::Store(record);
  return record;
}

std::unique_ptr<qx3DObject> Unit3DAssembly::BuildUnit3DObjects(
    zelvproUnitFil& units, int32_t unitId, iUnit3DElement& element, std::unique_ptr<qx3DObject> chain,
    uint32_t resolve, const ppVector3& /*offset*/, float /*angle*/, uint32_t context, uint32_t /*extra*/) {
  if (unitId == 0 || !ShapeSource::ReadIfPresent(units, unitId)) return chain;
  auto* catalogue = dynamic_cast<zelvDatabase*>(&units.Database());
  const UnitFields f(units);
  const char* record = units.GetRecordBuffer();
  const int32_t use = f.useParametrics.Long(record);

  if ((use & zelvproUnitFil::kHasParametrics) != 0 && catalogue != nullptr) {
    const uint32_t size =
        (use & zelvproUnitFil::kLongParametricEntries) != 0 ? kLongPlacement : kShortPlacement;
    const std::vector<uint8_t> entries = EntryBytes::Copy(f.parametrics.Data(record));
    zelvproParametricFil::Unit unit;
    unit.width = f.width.Double(record);
    unit.height = f.height.Double(record);
    unit.depth = f.depth.Double(record);
    unit.offset = ppVector3(float(f.xoffset.Double(record)), float(f.yoffset.Double(record)),
                            float(f.zoffset.Double(record)));
    unit.useParametrics = use;
    for (size_t at = 0; at + size <= entries.size(); at += size) {
      const EntryBytes e(entries.data() + at, size);
      zelvproParametricFil::Placement p;
      p.recordId = e.I32(0);
      p.position = e.Vec3(4);
      p.rotation = e.Vec3(16);
      p.size = e.Vec3(28);
      p.flags = e.U32(40);
      p.colorIndex = size == kLongPlacement ? e.I32(44) : 0;
      chain = catalogue->ParametricFile().buildParametricParts(element, std::move(chain), resolve != 0, p,
                                                               unit, context);
    }
  }

  if ((f.flags.Long(record) & kHasDepthUnits) != 0) {
    const std::vector<uint8_t> pairs = EntryBytes::Copy(f.depthUnits.Data(record));
    int32_t variant = 0;
    for (size_t at = 0; at + 8 <= pairs.size(); at += 8) {
      const EntryBytes pair(pairs.data() + at, 8);
      if (pair.I32(0) == element.GetDepthRecordId()) variant = pair.I32(4);
    }
    if (variant > 0 && !ShapeSource::ReadIfPresent(units, variant)) ShapeSource::ReadIfPresent(units, unitId);
  }

  const bool longForm = (use & zelvproUnitFil::kLongShapeEntries) != 0;
  const uint32_t size = longForm ? kLongEntry : kShortEntry;
  const std::vector<uint8_t> entries = EntryBytes::Copy(f.shapes3D.Data(record));
  ShapeSource shape(units.ShapeFile());
  const bool elementFlag = (element.GetFlags() & iUnit3DElement::kCopiedToBodies) != 0;
  for (size_t at = 0; at + size <= entries.size(); at += size) {
    const EntryBytes e(entries.data() + at, size);
    const uint32_t type = e.U32(4);
    std::unique_ptr<qx3DObject> body;
    if (longForm && type == kNoBody) continue;
    if (longForm && type == 4) {
      if (catalogue != nullptr) body = MeshBody(catalogue->Shape3DFile(), e, context);
      if (body == nullptr) continue;
    } else {
      if (e.U32(0) != 0) shape.Load(e.I32(0));
      if (!shape.Loaded()) continue;
      if (!longForm && shape.type != 0) {
        auto imported = std::make_unique<qx3DImportedObject>(context);
        imported->stream = shape.points3D;
        imported->kind = qx3DObject::kExtruded;
        Place(*imported, e);
        imported->textureDirection = shape.textureDirection;
        imported->colorCode = shape.texture;
        imported->groupId = -1;
        imported->elementFlag = (e.U32(36) & kImportedElementFlag) != 0;
        PushFront(chain, std::move(imported));
        continue;
      }
      body = MakeBody(type, context);
      body->outline = shape.points;
      body->edgeFlags = shape.attributes;
    }
    Place(*body, e);
    body->elementFlag = elementFlag;
    if (longForm) {
      body->textureDirection = e.F32(44);
      body->colorCode = e.I32(40);
      body->groupId = e.I32(56);
    } else {
      body->textureDirection = shape.textureDirection;
      body->colorCode = element.MapTextureCode(shape.texture);
      body->groupId = element.GetDefaultColorIndex();
    }
    PushFront(chain, std::move(body));
  }
  return chain;
}
