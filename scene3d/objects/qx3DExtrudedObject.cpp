#include "scene3d/objects/qx3DExtrudedObject.h"

#include <cmath>

#include "foundation/Geometry2D.h"
#include "foundation/Geometry3D.h"
#include "scene3d/context/ppShape3D.h"
#include "scene3d/objects/CapTriangulator.h"
#include "scene3d/objects/SideJoints.h"
#include "scene3d/objects/VertexScratch.h"

namespace {

constexpr float kCorner = static_cast<float>(45.0 * 3.14159265359 / 180.0);

// Sum of the signed turns around a closed outline: negative when it runs clockwise.
float TotalTurn(const std::vector<ppVector2>& p, const std::vector<size_t>& kept) {
  const size_t n = kept.size();
  float sum = 0.0f;
  for (size_t i = 0; i < n; ++i) {
    const ppVector2& a = p[kept[i]];
    const ppVector2& b = p[kept[(i + 1) % n]];
    const ppVector2& c = p[kept[(i + 2) % n]];
    const float ux = b.x - a.x, uy = b.y - a.y, vx = c.x - b.x, vy = c.y - b.y;
    sum += std::atan2(ux * vy - uy * vx, ux * vx + uy * vy);
  }
  return sum;
}

VertexRecord Record(const ppVector2& p, float z, float s, float t, float nx, float ny, float nz) {
  return VertexRecord{p.x, p.y, z, s, t, nx, ny, nz};
}

}  // namespace

void qx3DExtrudedObject::Prepare() {
  capTriangles.clear();
  std::vector<size_t> kept = SideJoints::DistinctClosed(outline);
  if (kept.size() >= 3 && TotalTurn(outline, kept) < 0.0f) {
    ReverseOutline();
    kept = SideJoints::DistinctClosed(outline);
  }
  if (kept.size() < 3) return;
  std::vector<ppVector2> points;
  points.reserve(kept.size());
  for (size_t i : kept) points.push_back(outline[i]);
  capTriangles = CapTriangulator::Triangulate(points);
}

void qx3DExtrudedObject::ReverseOutline() {
  const size_t n = outline.size();
  std::vector<ppVector2> points(outline.rbegin(), outline.rend());
  outline.swap(points);
  if (edgeFlags.empty()) return;
  // The side from old point i to i + 1 now starts at the new index of old point i + 1.
  std::vector<uint32_t> moved(n, 0);
  for (size_t j = 0; j < n; ++j) moved[j] = EdgeFlagAt((2 * n - 2 - j) % n);
  edgeFlags.swap(moved);
}

void qx3DExtrudedObject::Build() {
  ClearFaces(2 * capTriangles.size() + outline.size(), 6 * capTriangles.size() + 4 * outline.size());
  const float zTop = flags == 0 ? depth : 0.0f;
  const float zBottom = flags == 0 ? 0.0f : -depth;
  BuildCaps(zTop, zBottom);
  BuildSides(zTop, zBottom);
}

ppVector2 qx3DExtrudedObject::CapTexture(const ppVector2& p) const {
  ppVector3 st(p.x / kTextureScale, p.y / kTextureScale, 0.0f);
  if (textureDirection != 0.0f) RotateXYOrigin(st, -textureDirection);
  return ppVector2(st.x, st.y);
}

void qx3DExtrudedObject::BuildCaps(float zTop, float zBottom) {
  VertexRecord* v = VertexScratch::Reserve(3);
  for (const CapTriangle& tri : capTriangles) {
    for (int k = 0; k < 3; ++k) {
      const ppVector2 st = CapTexture(tri[k]);
      v[k] = Record(tri[k], zTop, st.x, st.y, 0, 0, 1);
    }
    AddFace(3, v);
  }
  for (const CapTriangle& tri : capTriangles) {
    for (int k = 0; k < 3; ++k) {
      const ppVector2 st = CapTexture(tri[2 - k]);
      v[k] = Record(tri[2 - k], zBottom, st.x, st.y, 0, 0, -1);
    }
    AddFace(3, v);
  }
}

void qx3DExtrudedObject::BuildSides(float zTop, float zBottom) {
  const std::vector<size_t> kept = SideJoints::DistinctClosed(outline);
  const size_t n = kept.size();
  if (n < 2) return;
  auto at = [&](size_t i) -> const ppVector2& { return outline[kept[i % n]]; };
  VertexRecord* v = VertexScratch::Reserve(4);
  float previous = SideJoints::Direction(at(n - 1), at(0));
  float u = 0.0f;
  const float d = depth / kTextureScale;
  for (size_t i = 0; i < n; ++i) {
    const ppVector2 &b = at(i + n - 1), &c = at(i), &q = at(i + 1), &r = at(i + 2);
    const float length = Distance2(c, q);
    const float a = SideJoints::Direction(c, q);
    const float turn = SideJoints::WrapTurn(a - previous);
    previous = a;
    const float turnNext = SideJoints::WrapTurn(SideJoints::Direction(q, r) - a);
    const ppVector2 own = SideJoints::SideNormal(c, q);
    const ppVector2 n0 = SideJoints::JointNormal(own, b, c, turn, kCorner);
    const ppVector2 n1 = SideJoints::JointNormal(own, q, r, turnNext, kCorner);
    const float u0 = u / kTextureScale, u1 = (u + length) / kTextureScale;
    if (textureDirection == 0.0f) {
      v[0] = Record(c, zTop, u0, 0, n0.x, n0.y, 0);
      v[1] = Record(c, zBottom, u0, d, n0.x, n0.y, 0);
      v[2] = Record(q, zBottom, u1, d, n1.x, n1.y, 0);
      v[3] = Record(q, zTop, u1, 0, n1.x, n1.y, 0);
    } else {
      v[0] = Record(c, zTop, 0, u0, n0.x, n0.y, 0);
      v[1] = Record(c, zBottom, d, u0, n0.x, n0.y, 0);
      v[2] = Record(q, zBottom, d, u1, n1.x, n1.y, 0);
      v[3] = Record(q, zTop, 0, u1, n1.x, n1.y, 0);
    }
    AddFace(4, v);
    u += length;
  }
}

std::unique_ptr<ppShape3D> qx3DExtrudedObject::CreateEdgeShape() {
  auto shape = std::make_unique<ppShape3D>();
  BuildEdges(*shape, false);
  return shape;
}

void qx3DExtrudedObject::BuildEdges(iShape3D& shape, bool transformed) {
  const std::vector<size_t> kept = SideJoints::DistinctClosed(outline);
  const size_t n = kept.size();
  if (n < 2) return;
  const ppMatrix4 m = transformed ? GetTransform() : ppMatrix4();
  const ppMatrix4* through = transformed ? &m : nullptr;
  const float far = flags == 0 ? depth : -depth;
  auto at = [&](size_t i) -> const ppVector2& { return outline[kept[i % n]]; };
  // Whether the side ending at the current corner showed its lines, as far as corners tell: it is
  // settled at each sharp corner that draws no vertical line, so a vertical line stands only where
  // a visible side follows a visible side. Gentle joints leave it alone.
  bool previousVisible = EdgeFlagAt(kept[n - 1]) == 0;
  float previous = SideJoints::Direction(at(n - 1), at(0));
  for (size_t i = 0; i < n; ++i) {
    const ppVector2 &c = at(i), &q = at(i + 1);
    const uint32_t flag = EdgeFlagAt(kept[i]);
    const bool visible = (flag & kHiddenEdge) == 0;
    const float a = SideJoints::Direction(c, q);
    const float turn = SideJoints::WrapTurn(a - previous);
    previous = a;
    if (visible) {
      EmitLine(shape, ppVector3(c.x, c.y, far), ppVector3(q.x, q.y, far), through);
      EmitLine(shape, ppVector3(c.x, c.y, 0), ppVector3(q.x, q.y, 0), through);
    }
    if (std::fabs(turn) < kCorner) continue;
    if (previousVisible && visible)
      EmitLine(shape, ppVector3(c.x, c.y, far), ppVector3(c.x, c.y, 0), through);
    else
      previousVisible = flag == 0;
  }
}
