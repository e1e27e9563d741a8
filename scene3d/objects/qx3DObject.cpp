#include "scene3d/objects/qx3DObject.h"

#include <cstring>

#include "scene3d/context/iShape3D.h"
#include "scene3d/context/ppShape3D.h"

namespace {

constexpr double kDegree = 3.14159265359 / 180.0;

}  // namespace

qx3DObject::qx3DObject(uint32_t /*context*/) {}

qx3DObject::~qx3DObject() {
  // Unlinks the chain one body at a time instead of letting each destructor recurse into the next.
  std::unique_ptr<qx3DObject> rest = std::move(next);
  while (rest != nullptr) {
    std::unique_ptr<qx3DObject> after = std::move(rest->next);
    rest = std::move(after);
  }
}

std::unique_ptr<ppShape3D> qx3DObject::CreateShape() {
  auto shape = std::make_unique<ppShape3D>();
  BuildMesh(*shape, false);
  return shape;
}

ppMatrix4 qx3DObject::GetTransform() const {
  ppMatrix4 m;
  m.Translate(position);
  if (hasExtraRotation) {
    ppVector3 axis = extraAxis;
    m.RotateAxis(-extraAngle, axis);
  }
  ppVector3 minusX(-1, 0, 0), minusY(0, -1, 0), plusZ(0, 0, 1);
  m.RotateAxis(rotation.x, minusX);
  m.RotateAxis(rotation.y, minusY);
  m.RotateAxis(rotation.z, plusZ);
  if ((flags & kTurnY) != 0) {
    ppVector3 y(0, 1, 0);
    m.RotateAxis(-90.0 * kDegree, y);
  } else if ((flags & kTurnX) != 0) {
    ppVector3 x(1, 0, 0);
    m.RotateAxis(90.0 * kDegree, x);
  }
  return m;
}

void qx3DObject::BuildMesh(iShape3D& shape, bool transformed) {
  BuildOwnFaces();
  ppMatrix4 m, n;
  if (transformed) {
    m = GetTransform();
    n = m;
    n.ClearTranslation();
  }
  for (size_t i = 0; i < faces_.size(); ++i) {
    uint32_t count = 0;
    const VertexRecord* v = FaceAt(i, &count);
    shape.Begin(9);
    for (uint32_t k = 0; k < count; ++k, ++v) {
      shape.TexCoord(v->s, v->t);
      ppVector3 normal(v->nx, v->ny, v->nz), point(v->x, v->y, v->z);
      if (transformed) {
        n.TransformPoint(normal, ppVector3(v->nx, v->ny, v->nz));
        m.TransformPoint(point, ppVector3(v->x, v->y, v->z));
      }
      shape.Normal(normal.x, normal.y, normal.z);
      shape.Vertex(point.x, point.y, point.z);
    }
    shape.End();
  }
}

void qx3DObject::AddFace(size_t count, const VertexRecord* records) {
  FaceNode node;
  node.first = static_cast<uint32_t>(faceVertices_.size());
  node.count = static_cast<uint32_t>(count);
  faceVertices_.insert(faceVertices_.end(), records, records + count);
  faces_.push_back(node);
}

const VertexRecord* qx3DObject::FaceAt(size_t i, uint32_t* count) const {
  const FaceNode& node = faces_[faces_.size() - 1 - i];
  *count = node.count;
  return faceVertices_.data() + node.first;
}

void qx3DObject::ClearFaces(size_t faces, size_t vertices) {
  faceVertices_.clear();
  faces_.clear();
  faceVertices_.reserve(vertices);
  faces_.reserve(faces);
}

void qx3DObject::EmitLine(iShape3D& shape, ppVector3 a, ppVector3 b, const ppMatrix4* m) {
  if (m != nullptr) {
    const ppVector3 pa = a, pb = b;
    m->TransformPoint(a, pa);
    m->TransformPoint(b, pb);
  }
  shape.Begin(1);
  shape.Vertex(a.x, a.y, a.z);
  shape.Vertex(b.x, b.y, b.z);
  shape.End();
}
