#include "scene3d/objects/qx3DMeshObject.h"

#include <cmath>

#include "scene3d/context/ppShape3D.h"
#include "scene3d/objects/VertexScratch.h"

qx3DMeshObject::qx3DMeshObject(uint32_t context) : qx3DObject(context) { kind = kMesh; }

void qx3DMeshObject::Build() {
  ClearFaces();
  if (polygons.empty()) return;
  const size_t size = polygons.size();
  const uint32_t count = polygons[0];
  size_t at = 1;
  for (uint32_t p = 0; p < count && at < size; ++p) {
    const uint32_t n = polygons[at++];
    if (n > size - at) return;  // runs past the stream
    AddPolygon(&polygons[at], n);
    at += n;
  }
}

void qx3DMeshObject::AddPolygon(const uint32_t* indices, uint32_t count) {
  if (count < 3) return;
  for (uint32_t k = 0; k < count; ++k)
    if (indices[k] >= vertices.size()) return;
  ppVector3 normal;
  if (flatNormals) {
    const MeshVertex &a = vertices[indices[0]], &b = vertices[indices[1]], &c = vertices[indices[2]];
    const ppVector3 u(c.x - b.x, c.y - b.y, c.z - b.z), w(a.x - b.x, a.y - b.y, a.z - b.z);
    normal = ppVector3(u.y * w.z - u.z * w.y, u.z * w.x - u.x * w.z, u.x * w.y - u.y * w.x);
    const float length = normal.Length();
    // Three points on a line have no plane: their face keeps a zero normal rather than NaN.
    if (length > 0.0f) normal /= length;
  }
  VertexRecord* v = VertexScratch::Reserve(count);
  for (uint32_t k = 0; k < count; ++k) {
    const MeshVertex& m = vertices[indices[k]];
    v[k] = VertexRecord{m.x,
                        m.y,
                        m.z,
                        4.0f * m.s,
                        4.0f * m.t,
                        flatNormals ? normal.x : m.nx,
                        flatNormals ? normal.y : m.ny,
                        flatNormals ? normal.z : m.nz};
  }
  AddFace(count, v);
}

std::unique_ptr<ppShape3D> qx3DMeshObject::CreateEdgeShape() {
  auto shape = std::make_unique<ppShape3D>();
  BuildEdges(*shape, false);
  return shape;
}

void qx3DMeshObject::BuildEdges(iShape3D& shape, bool transformed) {
  const ppMatrix4 m = transformed ? GetTransform() : ppMatrix4();
  for (const MeshEdge& e : edges) {
    if (e.a >= vertices.size() || e.b >= vertices.size()) continue;
    const MeshVertex &a = vertices[e.a], &b = vertices[e.b];
    EmitLine(shape, ppVector3(a.x, a.y, a.z), ppVector3(b.x, b.y, b.z), transformed ? &m : nullptr);
  }
}
