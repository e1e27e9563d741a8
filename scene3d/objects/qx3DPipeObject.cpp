#include "scene3d/objects/qx3DPipeObject.h"

#include <cmath>

#include "foundation/Geometry2D.h"
#include "foundation/Geometry3D.h"
#include "scene3d/objects/SideJoints.h"
#include "scene3d/objects/VertexScratch.h"

namespace {

constexpr float kSmooth = static_cast<float>(30.0 * 3.14159265359 / 180.0);
constexpr float kPi = 3.1415927f;
constexpr float kHalfPi = 1.5707964f;

// v turned about the segment axis of direction a by phi: into the frame where the axis is y, about
// y, and back.
ppVector3 AboutAxis(ppVector3 v, float a, float phi) {
  RotateXYOrigin(v, kHalfPi - a);
  RotateXZOrigin(v, phi);
  RotateXYOrigin(v, a - kHalfPi);
  return v;
}

// A joint normal turned with the ring: a blended one about the bisecting plane (turned by `half`
// beyond the segment's own frame), a sharp one exactly like the points.
ppVector3 RingNormal(const ppVector2& n, bool smooth, float a, float half, float phi) {
  ppVector3 v(n.x, n.y, 0.0f);
  if (!smooth) return AboutAxis(v, a, phi);
  RotateXYOrigin(v, half + kHalfPi - a);
  RotateXZOrigin(v, phi);
  RotateXYOrigin(v, -kHalfPi - half + a);
  return v;
}

}  // namespace

struct qx3DPipeObject::Segment {
  ppVector2 p, q;
  float a = 0.0f;    // direction of q - p
  ppVector2 d;       // unit direction
  ppVector2 n0, n1;  // joint normals at p and q
  bool smooth0 = false, smooth1 = false;
  float half0 = 0.0f, half1 = 0.0f;          // mitre half turns (0 at the path's ends)
  float fullHalf0 = 0.0f, fullHalf1 = 0.0f;  // half turns for the blended normals
};

void qx3DPipeObject::Build() {
  const size_t ring = segments > 0 ? size_t(segments) : 0;
  ClearFaces(ring * outline.size() + 2, 4 * ring * outline.size() + 2 * ring);
  const std::vector<size_t> kept = SideJoints::DistinctOpen(outline);
  size_t n = kept.size();
  // A closed path repeats its first point at the end: that closing side has length 0.
  if (n >= 3 && SideJoints::Same(outline[kept[0]], outline[kept[n - 1]])) --n;
  const bool closedRepeat = n < kept.size();
  if (n < 2 || segments < 3) return;
  auto at = [&](size_t i) -> const ppVector2& { return outline[kept[i % n]]; };
  std::vector<ppVector3> startRing, endRing;
  float previous = SideJoints::Direction(at(n - 1), at(0));
  ppVector2 firstNormal, lastNormal;
  for (size_t i = 0; i + 1 < (closedRepeat ? n + 1 : n); ++i) {
    Segment s;
    s.p = at(i);
    s.q = at(i + 1);
    const ppVector2 &b = at(i + n - 1), &r = at(i + 2);
    const float length = Distance2(s.p, s.q);
    s.a = SideJoints::Direction(s.p, s.q);
    s.d = ppVector2((s.q.x - s.p.x) / length, (s.q.y - s.p.y) / length);
    const float turnP = SideJoints::WrapTurn(s.a - previous);
    const float turnQ = SideJoints::WrapTurn(SideJoints::Direction(s.q, r) - s.a);
    previous = s.a;
    const ppVector2 own(s.d.y, -s.d.x);
    s.n0 = SideJoints::JointNormal(own, b, s.p, turnP, kSmooth);
    s.n1 = SideJoints::JointNormal(own, s.q, r, turnQ, kSmooth);
    s.smooth0 = std::fabs(turnP) <= kSmooth;
    s.smooth1 = std::fabs(turnQ) <= kSmooth;
    s.fullHalf0 = turnP / 2;
    s.fullHalf1 = turnQ / 2;
    const bool first = i == 0, last = i + 2 == (closedRepeat ? n + 1 : n);
    s.half0 = first ? 0.0f : s.fullHalf0;
    s.half1 = last ? 0.0f : s.fullHalf1;
    BuildSegment(s, first ? &startRing : nullptr, last ? &endRing : nullptr);
    if (first) firstNormal = s.n0;
    if (last) lastNormal = s.n1;
  }
  ppVector3 start(firstNormal.x, firstNormal.y, 0), end(lastNormal.x, lastNormal.y, 0);
  RotateXYOrigin(start, -kHalfPi);
  RotateXYOrigin(end, kHalfPi);
  BuildCap(startRing, true, ppVector2(start.x, start.y));
  BuildCap(endRing, false, ppVector2(end.x, end.y));
}

void qx3DPipeObject::BuildSegment(const Segment& s, std::vector<ppVector3>* startRing,
                                  std::vector<ppVector3>* endRing) {
  const int32_t m = segments;
  const float radius = depth;
  const ppVector3 w(s.d.y * radius, -s.d.x * radius, 0.0f);
  const ppVector3 along(s.d.x * radius, s.d.y * radius, 0.0f);
  const float tan0 = std::tan(-s.half0), tan1 = std::tan(s.half1);
  const float chord = 2.0f * std::sin(kPi / float(m)) * radius;
  auto phiOf = [&](int32_t j) { return 2.0f * kPi * float(j) / float(m); };
  auto startPoint = [&](float phi) {
    ppVector3 v = AboutAxis(w + along * (std::cos(phi) * tan0), s.a, phi);
    return ppVector3(v.x + s.p.x, v.y + s.p.y, v.z);
  };
  auto endPoint = [&](float phi) {
    ppVector3 v = AboutAxis(w + along * (std::cos(phi) * tan1), s.a, phi);
    return ppVector3(v.x + s.q.x, v.y + s.q.y, v.z);
  };
  VertexRecord* v = VertexScratch::Reserve(4);
  for (int32_t k = 0; k < m; ++k) {
    const float phi0 = phiOf(k), phi1 = phiOf(k + 1);
    const ppVector3 points[4] = {endPoint(phi0), startPoint(phi0), startPoint(phi1), endPoint(phi1)};
    const ppVector3 normals[4] = {RingNormal(s.n1, s.smooth1, s.a, -s.fullHalf1, phi0),
                                  RingNormal(s.n0, s.smooth0, s.a, s.fullHalf0, phi0),
                                  RingNormal(s.n0, s.smooth0, s.a, s.fullHalf0, phi1),
                                  RingNormal(s.n1, s.smooth1, s.a, -s.fullHalf1, phi1)};
    for (int j = 0; j < 4; ++j) {
      ppVector3 t(points[j].x - s.p.x, points[j].y - s.p.y, points[j].z);
      RotateXYOrigin(t, kHalfPi - s.a);
      RotateXZOrigin(t, kPi / float(m) + kHalfPi - phi1);
      t.x += float(k) * chord;
      RotateXYOrigin(t, textureDirection - kHalfPi);
      v[j] = VertexRecord{points[j].x,         points[j].y,  points[j].z,  t.x / kTextureScale,
                          t.y / kTextureScale, normals[j].x, normals[j].y, normals[j].z};
    }
    AddFace(4, v);
    if (startRing != nullptr) startRing->push_back(points[1]);
    if (endRing != nullptr) endRing->push_back(points[0]);
  }
}

void qx3DPipeObject::BuildCap(const std::vector<ppVector3>& ring, bool reversed, const ppVector2& normal) {
  const size_t m = ring.size();
  if (m == 0) return;
  VertexRecord* v = VertexScratch::Reserve(m);
  const float radius = depth;
  for (size_t j = 0; j < m; ++j) {
    const ppVector3& p = ring[reversed ? m - 1 - j : j];
    const float angle = 2.0f * kPi * float(j) / float(m);
    v[j] = VertexRecord{p.x,
                        p.y,
                        p.z,
                        (std::cos(angle) * radius + radius) / kTextureScale,
                        (std::sin(angle) * radius + radius) / kTextureScale,
                        normal.x,
                        normal.y,
                        0.0f};
  }
  AddFace(m, v);
}
