#include "scene3d/objects/qx3DCircleObject.h"

#include <cmath>

#include "foundation/Geometry2D.h"
#include "foundation/Geometry3D.h"
#include "scene3d/objects/SideJoints.h"
#include "scene3d/objects/VertexScratch.h"

namespace {

constexpr float kCorner = static_cast<float>(45.0 * 3.14159265359 / 180.0);
constexpr float kOffset = 0.05f;
constexpr float kTwoPi = 6.2831855f;

ppVector3 Turned(const ppVector2& p, float phi) {
  ppVector3 v(p.x, p.y, 0.0f);
  RotateXZOrigin(v, phi);
  return v;
}

}  // namespace

void qx3DCircleObject::Build() {
  const size_t steps = segments > 0 ? size_t(segments) : 0;
  ClearFaces(steps * outline.size(), 4 * steps * outline.size());
  const std::vector<size_t> kept = SideJoints::DistinctOpen(outline);
  const size_t n = kept.size();
  if (n < 2 || segments < 1) return;
  auto at = [&](size_t i) -> const ppVector2& { return outline[kept[i % n]]; };
  const int32_t m = segments;
  auto phiOf = [&](int32_t j) { return kTwoPi * float(j) / float(m) + kOffset; };
  VertexRecord* v = VertexScratch::Reserve(4);
  float previous = SideJoints::Direction(at(n - 1), at(0)) + kOffset;
  const bool along = textureDirection == 0.0f;
  for (size_t i = 0; i + 1 < n; ++i) {
    const ppVector2 &b = at(i + n - 1), &c = at(i), &q = at(i + 1), &r = at(i + 2);
    const float length = Distance2(c, q);
    const float a = SideJoints::Direction(c, q);
    const float turn = SideJoints::WrapTurn(a - previous);
    previous = a;
    const float turnNext = SideJoints::WrapTurn(SideJoints::Direction(q, r) - a);
    const ppVector2 own = SideJoints::SideNormal(c, q);
    // With two points the neighbours are the side itself, run backwards: a flat joint either way.
    const ppVector2 n0 = SideJoints::JointNormal(own, b, c, turn, kCorner);
    const ppVector2 n1 = SideJoints::JointNormal(own, q, r, turnNext, kCorner);
    const float l = length / kTextureScale, d = depth / kTextureScale;
    const float tex[4][2] = {{0, 0}, {along ? 0 : l, along ? d : 0}, {l, d}, {along ? l : 0, along ? 0 : d}};
    for (int32_t k = 0; k < m; ++k) {
      const float phi0 = phiOf(k), phi1 = phiOf(k + 1);
      const ppVector3 points[4] = {Turned(q, phi0), Turned(c, phi0), Turned(c, phi1), Turned(q, phi1)};
      const ppVector3 normals[4] = {Turned(n1, phi0), Turned(n0, phi0), Turned(n0, phi1), Turned(n1, phi1)};
      for (int j = 0; j < 4; ++j)
        v[j] = VertexRecord{points[j].x, points[j].y,  points[j].z,  tex[j][0],
                            tex[j][1],   normals[j].x, normals[j].y, normals[j].z};
      AddFace(4, v);
    }
  }
}
