// The wall body's 3D face: one sheet on the line (or arc, cut into straight pieces) of its face, from
// the floor up to the wall height, as a grid of quadrilaterals with texture coordinates in texture
// spans, and the element's cached object that shows it.
#include <cmath>
#include <memory>

#include "elements/base/ElementGeometryCache.h"
#include "foundation/Geometry2D.h"
#include "foundation/Geometry3D.h"
#include "scene3d/objects/qx3DMeshObject.h"
#include "room/qxWallElement.h"

namespace {

constexpr float kFullTurn = 6.2831854820251465f;
constexpr uint32_t kEdgeWord = 1;
// Render flags of the face's two layers: the shown and measured one, and the one left out of
// picking and boxes; every layer of the wall also has kWallLayer.
constexpr uint32_t kWallLayer = 0x10, kUnpickedLayer = 0x40, kLayerFlagBits = 0xFFFF;

ppVector3 At(const ppVector3& point, float height) { return ppVector3(point.x, height, point.z); }

// The direction of (x, z) about the centre in [0, 2pi).
float TurnOf(const ppVector3& point, const ppVector3& centre) {
  const float a = AngleOf(point.x - centre.x, point.z - centre.z);
  return a < 0.0f ? a + kFullTurn : a;
}

}  // namespace

ppVector3 qxWallElement::CellNormal(const ppVector3& left, const ppVector3& right) const {
  const float rowHeight = height_ / float(kRows);
  ppVector3 normal;
  TriangleNormal(normal, At(left, 0.0f), At(right, rowHeight), At(left, rowHeight), true);
  return normal;
}

std::vector<qxWallElement::Column> qxWallElement::StraightColumns() const {
  const ppVector3 run = edge_.end - edge_.start;
  const float piece = run.Length() / float(kColumns);
  std::vector<Column> columns(kColumns);
  for (int32_t c = 0; c < kColumns; ++c) {
    Column& column = columns[size_t(c)];
    column.left = edge_.start + run * (float(c) / float(kColumns));
    column.right = edge_.start + run * (float(c + 1) / float(kColumns));
    column.leftNormal = column.rightNormal = CellNormal(column.left, column.right);
    column.leftU = float(c) * piece / kTextureSpan;
    column.rightU = float(c + 1) * piece / kTextureSpan;
  }
  return columns;
}

std::vector<qxWallElement::Column> qxWallElement::ArcColumns() const {
  const ppVector3& centre = edge_.centre;
  const float startTurn = TurnOf(edge_.start, centre);
  const float d = TurnOf(edge_.end, centre) - startTurn;
  float sweep = 0.0f;
  if (d > 0.0f)
    sweep = edge_.clockwise ? -(kFullTurn - d) : d;
  else
    sweep = edge_.clockwise ? d : d + kFullTurn;
  const float radius = Distance3(centre, edge_.start);
  std::vector<ppVector3> points(kColumns + 1);
  points.front() = edge_.start;
  points.back() = edge_.end;
  for (int32_t k = 1; k < kColumns; ++k) {
    const float turn = startTurn + float(k) * sweep / float(kColumns);
    points[size_t(k)] =
        ppVector3(centre.x + radius * std::cos(turn), 0.0f, centre.z + radius * std::sin(turn));
  }
  std::vector<ppVector3> normals(kColumns);
  for (int32_t c = 0; c < kColumns; ++c)
    normals[size_t(c)] = CellNormal(points[size_t(c)], points[size_t(c) + 1]);
  // Neighbouring pieces share the mean of their normals at the joint, so the arc shades smoothly.
  const float step = Distance3(points[1], points[0]) / kTextureSpan;
  std::vector<Column> columns(kColumns);
  for (int32_t c = 0; c < kColumns; ++c) {
    Column& column = columns[size_t(c)];
    column.left = points[size_t(c)];
    column.right = points[size_t(c) + 1];
    column.leftNormal = c == 0 ? normals[0] : columns[size_t(c) - 1].rightNormal;
    column.rightNormal =
        c + 1 < kColumns ? (normals[size_t(c)] + normals[size_t(c) + 1]) / 2.0f : normals[size_t(c)];
    column.leftU = float(c) * step;
    column.rightU = column.leftU + step;
  }
  return columns;
}

void qxWallElement::AppendColumn(qx3DMeshObject& mesh, const Column& column) const {
  auto vertex = [&](const ppVector3& point, float height, const ppVector3& normal, float u) {
    qx3DMeshObject::MeshVertex v;
    v.x = point.x, v.y = height, v.z = point.z;
    v.s = u, v.t = height / kTextureSpan;
    v.nx = normal.x, v.ny = normal.y, v.nz = normal.z;
    mesh.vertices.push_back(v);
  };
  for (int32_t j = 0; j < kRows; ++j) {
    const float low = float(j) * height_ / float(kRows);
    const float high = float(j + 1) * height_ / float(kRows);
    vertex(column.left, low, column.leftNormal, column.leftU);
    vertex(column.left, high, column.leftNormal, column.leftU);
    vertex(column.right, high, column.rightNormal, column.rightU);
    vertex(column.right, low, column.rightNormal, column.rightU);
  }
}

qx3DMeshObject* qxWallElement::CreateWallMesh(qx3DObject* next, zelvproCanvas* /*canvas*/) {
  auto mesh = std::make_unique<qx3DMeshObject>();
  mesh->next.reset(next);
  mesh->colorCode = textureId_ != 0 ? kTexturedColourWord : kPlainColourWord;
  const bool arc = edge_.arched && edge_.radius > 0.0f;
  mesh->vertices.reserve(size_t(kColumns * kRows * 4));
  for (const Column& column : arc ? ArcColumns() : StraightColumns()) AppendColumn(*mesh, column);

  // Cell (c, j) is face 10c + j; its corners run floor side first, round against the vertex order.
  constexpr uint32_t kFaces = uint32_t(kColumns * kRows);
  mesh->polygons.reserve(1 + kFaces * 5);
  mesh->polygons.push_back(kFaces);
  for (uint32_t i = 0; i < kFaces; ++i) {
    for (uint32_t word : {4u, 4 * i, 4 * i + 3, 4 * i + 2, 4 * i + 1}) mesh->polygons.push_back(word);
  }

  // The outline over the face: the start side, the top and the bottom; the far end gets none.
  constexpr uint32_t kStartTop = 4 * (kRows - 1) + 1;           // LT of cell (0, top row)
  constexpr uint32_t kLastColumn = 4 * kRows * (kColumns - 1);  // first vertex of the last column
  if (arc) {
    for (uint32_t c = 0; c < uint32_t(kColumns); ++c) {
      const uint32_t first = 4 * uint32_t(kRows) * c;
      mesh->edges.push_back({first + kStartTop, first + kStartTop + 1, kEdgeWord});
      mesh->edges.push_back({first + 3, first, kEdgeWord});
    }
    mesh->edges.push_back({0, kStartTop, kEdgeWord});
  } else {
    mesh->edges.push_back({0, kStartTop, kEdgeWord});
    mesh->edges.push_back({kStartTop, kLastColumn + kStartTop + 1, kEdgeWord});
    mesh->edges.push_back({kLastColumn + 3, 0, kEdgeWord});
  }
  return mesh.release();
}

void qxWallElement::RebuildGeometry() {
  ClearParts();
  boundsA = ppBounds3();
  // A shared object is the catalogue unit's geometry, which the top-view constructors may have
  // made; the wall shows only its own face.
  if (CachedObject() == nullptr || !CachedObject()->IsPrivate()) {
    const std::unique_ptr<qx3DMeshObject> chain(CreateWallMesh(nullptr, GetCanvas()));
    auto group = std::make_shared<TripleWithSet>();
    group->database = database;
    group->layers.resize(2);
    for (size_t k = 0; k < group->layers.size(); ++k) {
      qxUnitLayer3D& layer = group->layers[k];
      layer.code = chain->colorCode - 1000;
      for (qx3DObject* body = chain.get(); body != nullptr; body = body->next.get()) {
        body->BuildMesh(layer.faces, true);
        body->BuildEdges(layer.edges, true);
      }
      layer.renderFlags = (layer.renderFlags & ~kLayerFlagBits) | (k == 0 ? kWallLayer : kUnpickedLayer);
      if (k == 0) boundsA.AddBox(layer.faces.GetBounds());
    }
    for (qxUnitLayer3D& layer : group->layers) layer.renderFlags |= kWallLayer;
    auto* cache = new ElementGeometryCache(true);
    cache->Append(ElementGeometryCache::Key{0, 0, database}, std::move(group));
    SetCachedObject(cache);
    UnitLayer().renderFlags = (UnitLayer().renderFlags & ~kLayerFlagBits) | kWallLayer;
  }
  ElementGeometryCache::Part placed;
  placed.layer = 0;
  AppendPart(std::move(placed));
  RefreshPartColours();
}
