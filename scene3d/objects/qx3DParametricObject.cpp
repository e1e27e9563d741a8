#include "scene3d/objects/qx3DParametricObject.h"

#include <cmath>

#include "foundation/Geometry2D.h"
#include "scene3d/objects/CapTriangulator.h"
#include "scene3d/objects/VertexScratch.h"

namespace {

constexpr double kQuarterTurn = 3.14159265359 / 2.0;

void TurnAboutAxes(ppMatrix4& m, const ppVector3& angles) {
  ppVector3 minusX(-1, 0, 0), minusY(0, -1, 0), plusZ(0, 0, 1);
  m.RotateAxis(angles.x, minusX);
  m.RotateAxis(angles.y, minusY);
  m.RotateAxis(angles.z, plusZ);
}

// 0 when the coordinate lies within half a millimetre of 0, else 1.
float Corner(float v) { return std::fabs(v) <= 0.5f ? 0.0f : 1.0f; }

}  // namespace

qx3DParametricObject::qx3DParametricObject(uint32_t owner) : qx3DObject(owner) { kind = kParametric; }

std::unique_ptr<qx3DParametricObject> qx3DParametricObject::Create(uint32_t owner) {
  return std::make_unique<qx3DParametricObject>(owner);
}

qx3DParametricObject* qx3DParametricObject::NextPart() const {
  return dynamic_cast<qx3DParametricObject*>(next.get());
}

void qx3DParametricObject::Prepare() {
  for (qx3DParametricObject* part = this; part != nullptr; part = part->NextPart()) part->Tessellate();
}

void qx3DParametricObject::Build() {
  for (qx3DParametricObject* part = this; part != nullptr; part = part->NextPart()) part->RebuildMesh();
}

void qx3DParametricObject::Tessellate() { capTriangles = CapTriangulator::Triangulate(outline); }

void qx3DParametricObject::RebuildMesh() {
  ClearFaces(capTriangles.size(), capTriangles.size() * 3);
  for (const CapTriangle& triangle : capTriangles) {
    VertexRecord* records = VertexScratch::Reserve(triangle.size());
    for (size_t i = 0; i < triangle.size(); ++i) {
      const ppVector2& p = triangle[i];
      VertexRecord& r = records[i];
      r = VertexRecord();
      r.x = p.x, r.y = p.y, r.z = 0.0f;
      r.nx = 0.0f, r.ny = 0.0f, r.nz = 1.0f;
      ppVector2 uv = textureScaleMode == 0 ? ppVector2{Corner(p.x), Corner(p.y)}
                                           : ppVector2{p.x / kTextureScale, p.y / kTextureScale};
      if (textureDirection != 0.0f) Rotate2(uv, -textureDirection);
      r.s = uv.x, r.t = uv.y;
    }
    AddFace(triangle.size(), records);
  }
}

std::unique_ptr<ppShape3D> qx3DParametricObject::CreateEdgeShape() {
  auto shape = std::make_unique<ppShape3D>();
  BuildEdges(*shape, false);
  return shape;
}

ppMatrix4 qx3DParametricObject::GetTransform() const {
  ppMatrix4 m;
  m.Translate(position);
  // A zero axis has no direction: normalising it would fill the matrix with non-numbers.
  const bool hasAxis = extraAxis.x != 0.0f || extraAxis.y != 0.0f || extraAxis.z != 0.0f;
  if (hasExtraRotation && extraAngle != 0.0f && hasAxis) {
    ppVector3 axis = extraAxis;
    m.RotateAxis(-extraAngle, axis);
  }
  TurnAboutAxes(m, rotation);
  m.Translate(secondTranslation);
  TurnAboutAxes(m, secondRotation);
  if ((flags & kTurnY) != 0) {
    ppVector3 y(0, 1, 0);
    m.RotateAxis(-kQuarterTurn, y);
  } else if ((flags & kTurnX) != 0) {
    ppVector3 x(1, 0, 0);
    m.RotateAxis(kQuarterTurn, x);
  }
  return m;
}

void qx3DParametricObject::BuildEdges(iShape3D& shape, bool transformed) {
  const size_t n = outline.size();
  if (n < 2) return;
  ppMatrix4 m;
  if (transformed) m = GetTransform();
  for (size_t i = 0; i < n; ++i) {
    if ((EdgeFlagAt(i) & kHiddenEdge) != 0) continue;
    const ppVector2& a = outline[i];
    const ppVector2& b = outline[(i + 1) % n];
    EmitLine(shape, ppVector3(a.x, a.y, 0.0f), ppVector3(b.x, b.y, 0.0f), transformed ? &m : nullptr);
  }
}
