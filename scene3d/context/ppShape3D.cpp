#include "scene3d/context/ppShape3D.h"

#include <algorithm>

#include "foundation/TolerantMath.h"
#include "foundation/ppMatrix4.h"
#include "foundation/ppRay.h"
#include "scene3d/context/ShapeContactSearch.h"

namespace {

constexpr uint32_t kPolygon = 9;
constexpr uint32_t kOpen = 1;

float SnapToZero(float v) { return NearlyEqual(v, 0.0) ? 0.0f : v; }

}  // namespace

void ppShape3D::Begin(uint32_t mode) {
  primitives_.emplace_back();
  primitives_.back().closed = (mode == kPolygon);
  current_ = ppShapeVertex();
}

void ppShape3D::TexCoord(float s, float t) { current_.texture = ppVector3(s, t, 0); }

void ppShape3D::Normal(float x, float y, float z) { current_.normal = ppVector3(x, y, z); }

void ppShape3D::Vertex(float x, float y, float z) {
  if (primitives_.empty()) return;
  current_.position = ppVector3(SnapToZero(x), SnapToZero(y), SnapToZero(z));
  const ppVector3& p = current_.position;
  primitives_.back().AddVertex(current_);
  bounds_.AddPoint(p);
  const ppVector3 before = sphere_.centre;
  points_.GrowFarthestPair(p, sphere_);
  points_.Add(p);
  if (sphere_.centre.x != before.x || sphere_.centre.y != before.y || sphere_.centre.z != before.z) {
    reachKnown_ = false;
  } else if (reachKnown_) {
    reach_ = std::max(reach_, sphere_.centre.Distance(p));
  }
}

void ppShape3D::End() {
  if (!primitives_.empty() && primitives_.back().vertices.empty()) primitives_.pop_back();
}

ppSphere ppShape3D::GetBoundingSphere() const {
  if (!reachKnown_) {
    reach_ = points_.FarthestDistance(sphere_.centre);
    reachKnown_ = true;
  }
  return ppSphere(sphere_.centre, std::max(reach_, sphere_.radius));
}

void ppShape3D::Replay(iShape3D& target) const {
  for (const ppShapePrimitive& primitive : primitives_) {
    target.Begin(primitive.closed ? kPolygon : kOpen);
    for (const ppShapeVertex& v : primitive.vertices) {
      target.TexCoord(v.texture.x, v.texture.y);
      target.Normal(v.normal.x, v.normal.y, v.normal.z);
      target.Vertex(v.position.x, v.position.y, v.position.z);
    }
    target.End();
  }
}

void ppShape3D::ReplayTransformed(iShape3D& target, const ppMatrix4& m) const {
  ppMatrix4 turn = m;
  turn.ClearTranslation();
  for (const ppShapePrimitive& primitive : primitives_) {
    target.Begin(primitive.closed ? kPolygon : kOpen);
    for (const ppShapeVertex& v : primitive.vertices) {
      ppVector3 position, normal;
      m.TransformPoint(position, v.position);
      turn.TransformPoint(normal, v.normal);
      // A vertex recorded without a normal keeps the zero normal instead of becoming non-numbers.
      if (normal.Length() > 0) normal.Normalize();
      target.TexCoord(v.texture.x, v.texture.y);
      target.Normal(normal.x, normal.y, normal.z);
      target.Vertex(position.x, position.y, position.z);
    }
    target.End();
  }
}

bool ppShape3D::HitTest(const ppRay& ray, ppVector3* hit, const ppShapePrimitive** primitive) const {
  float best = 9e9f;
  bool found = false;
  for (const ppShapePrimitive& candidate : primitives_) {
    ppVector3 meet;
    if (!candidate.IntersectSegment(ray, &meet)) continue;
    const float d = ray.origin.Distance(meet);
    if (d < best) {
      best = d;
      found = true;
      if (hit) *hit = meet;
      if (primitive) *primitive = &candidate;
    }
  }
  return found;
}

bool ppShape3D::Intersects(const ppShape3D& other, const ppMatrix4& a, const ppMatrix4& b,
                           uint32_t* visited) const {
  if (visited) *visited = 0;
  if (!TransformSphere(a, GetBoundingSphere()).Overlaps(TransformSphere(b, other.GetBoundingSphere())))
    return false;
  if (!ppBounds3::Transformed(a, bounds_).Intersects(ppBounds3::Transformed(b, other.bounds_))) return false;
  ShapeContactSearch search(*this, a, other, b);
  const bool hit = search.Run();
  if (visited) *visited = search.Visited();
  return hit;
}

bool ppShape3D::IntersectsPrimitive(const ppShapePrimitive& q, const ppMatrix4& a, const ppMatrix4& b) const {
  for (const ppShapePrimitive& p : primitives_)
    if (p.Intersects(q, a, b)) return true;
  return false;
}
