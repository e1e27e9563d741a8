#include "scene3d/context/ppShapePrimitive.h"

#include <algorithm>
#include <cmath>

#include "foundation/Geometry3D.h"
#include "foundation/TolerantMath.h"
#include "foundation/ppMatrix4.h"
#include "foundation/ppRay.h"
#include "scene3d/context/TriTriIntersect.h"

namespace {

constexpr float kFarReach = 9e9f;

bool AllDifferent(const ppVector3* const points[6]) {
  for (int i = 0; i < 6; ++i)
    for (int j = i + 1; j < 6; ++j)
      if (!(*points[i] != *points[j])) return false;
  return true;
}

// The rounded positions of `primitive` through m.
std::vector<ppVector3> PlacedPoints(const ppShapePrimitive& primitive, const ppMatrix4& m) {
  std::vector<ppVector3> out(primitive.vertices.size());
  for (size_t i = 0; i < out.size(); ++i) {
    m.TransformPoint(out[i], primitive.vertices[i].position);
    RoundToHundredths(out[i]);
  }
  return out;
}

}  // namespace

void ppShapePrimitive::AddVertex(const ppShapeVertex& vertex) {
  vertices.push_back(vertex);
  const ppVector3& v = vertex.position;
  const ppVector3 before = sphere.centre;
  for (const ppShapeVertex& other : vertices) {
    const float d = v.Distance(other.position);
    if (2.0f * sphere.radius < d) {
      sphere.radius = d / 2.0f;
      sphere.centre = (v + other.position) / 2.0f;
    }
  }
  if (vertices.size() == 1 || sphere.centre.x != before.x || sphere.centre.y != before.y ||
      sphere.centre.z != before.z) {
    reach = 0.0f;
    for (const ppShapeVertex& other : vertices)
      reach = std::max(reach, sphere.centre.Distance(other.position));
  } else {
    reach = std::max(reach, sphere.centre.Distance(v));
  }
  reach = std::max(reach, sphere.radius);
}

ppPlane ppShapePrimitive::GetPlane(const ppMatrix4& m) const {
  if (vertices.size() < 3) return ppPlane();
  ppVector3 a, b, c;
  m.TransformPoint(a, vertices[0].position);
  m.TransformPoint(b, vertices[1].position);
  m.TransformPoint(c, vertices[2].position);
  return PlaneFromPoints(a, b, c);
}

bool ppShapePrimitive::ContainsPoint(const ppVector3& point) const {
  const ppPlane plane = GetPlane(ppMatrix4());
  const float a = std::fabs(plane.normal.x), b = std::fabs(plane.normal.y), c = std::fabs(plane.normal.z);
  int dropped = 2;
  if (a <= b) {
    if (c < b) dropped = 1;
  } else if (c < a) {
    dropped = 0;
  }
  // Projected (u, v) goes into the x and z of the floor-plane segment test.
  auto project = [dropped](const ppVector3& p) {
    if (dropped == 0) return ppVector3(p.z, 0, p.y);
    if (dropped == 1) return ppVector3(p.x, 0, p.z);
    return ppVector3(p.x, 0, p.y);
  };
  const ppVector3 from = project(point);
  // Away from the projection's origin along the point's own direction; straight along +u from the
  // origin itself, where that direction does not exist.
  const float length = std::sqrt(from.x * from.x + from.z * from.z);
  const ppVector3 away = length > 0 ? ppVector3(from.x / length, 0, from.z / length) : ppVector3(1, 0, 0);
  // Crossing count along the ray from the point: an edge counts when its ends lie on different sides
  // of the ray's line, one end strictly on the left and the other not. A ray through a corner then
  // meets the two edges there once, not twice (an exact segment test counted both, so points whose
  // ray passes a corner, such as the diagonal of a square at the origin, read as outside).
  auto side = [&](const ppVector3& v) {
    return double(away.x) * (double(v.z) - from.z) - double(away.z) * (double(v.x) - from.x);
  };
  auto along = [&](const ppVector3& v) {
    return double(away.x) * (double(v.x) - from.x) + double(away.z) * (double(v.z) - from.z);
  };
  int crossings = 0;
  for (size_t i = 0; i < vertices.size(); ++i) {
    const ppVector3 e1 = project(vertices[i].position);
    const ppVector3 e2 = project(vertices[(i + 1) % vertices.size()].position);
    const double s1 = side(e1), s2 = side(e2);
    if ((s1 > 0) == (s2 > 0)) continue;
    const double t = along(e1) + (along(e2) - along(e1)) * (s1 / (s1 - s2));
    if (t >= 0 && t <= kFarReach) ++crossings;
  }
  return crossings % 2 == 1;
}

bool ppShapePrimitive::IntersectSegment(const ppRay& ray, ppVector3* hit) const {
  const ppPlane plane = GetPlane(ppMatrix4());
  const double facing = plane.normal.Dot(ray.direction);
  if (facing == 0 || std::isnan(facing)) return false;
  const ppVector3 meet = IntersectRayPlane(plane, ray, 1);
  if (std::fabs(meet.x) >= geom::kNoResult) return false;
  if (!ContainsPoint(meet)) return false;
  if (hit) *hit = meet;
  return true;
}

ppShapePrimitive ppShapePrimitive::Transform(const ppMatrix4& m) const {
  ppShapePrimitive out;
  out.closed = closed;
  for (const ppShapeVertex& v : vertices) out.AddVertex(v.Transform(m));
  return out;
}

bool ppShapePrimitive::Intersects(const ppShapePrimitive& q, const ppMatrix4& a, const ppMatrix4& b) const {
  if (!TransformSphere(a, BoundingSphere()).Overlaps(TransformSphere(b, q.BoundingSphere()))) return false;
  if (vertices.size() < 3 || q.vertices.size() < 3) return false;
  const std::vector<ppVector3> p = PlacedPoints(*this, a);
  const std::vector<ppVector3> r = PlacedPoints(q, b);
  return FansIntersect(p.data(), p.size(), r.data(), r.size());
}

bool FansIntersect(const ppVector3* p, size_t pCount, const ppVector3* q, size_t qCount) {
  for (size_t i = 1; i + 1 < pCount; ++i) {
    for (size_t j = 1; j + 1 < qCount; ++j) {
      const ppVector3* corners[6] = {&p[0], &p[i], &p[i + 1], &q[0], &q[j], &q[j + 1]};
      if (!AllDifferent(corners)) continue;
      if (TriTriIntersect(p[0], p[i], p[i + 1], q[0], q[j], q[j + 1])) return true;
    }
  }
  return false;
}
