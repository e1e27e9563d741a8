// One recorded primitive of a 3D shape: its vertices in order, whether it was a closed polygon, and
// its bounding sphere. The sphere is kept as the recorder defines it, spanned by the farthest pair of
// vertices seen so far; such a sphere need not hold every vertex (an equilateral triangle's third
// corner lies outside it), so the rejection tests use the same centre with `reach`, the distance to
// the farthest vertex. For intersection a primitive is read as a triangle fan around its first vertex.
#pragma once

#include <cstddef>
#include <vector>

#include "foundation/ppPlane.h"
#include "foundation/ppSphere.h"
#include "scene3d/context/ppShapeVertex.h"

class ppMatrix4;
struct ppRay;

class ppShapePrimitive {
 public:
  std::vector<ppShapeVertex> vertices;
  bool closed = false;
  ppSphere sphere;
  // Distance from sphere.centre to the farthest vertex; never below sphere.radius.
  float reach = 0.0f;

  // Appends a vertex and grows the sphere by the farthest-pair rule.
  void AddVertex(const ppShapeVertex& vertex);
  // The sphere that holds every vertex: the recorded centre with `reach` as radius.
  ppSphere BoundingSphere() const { return ppSphere(sphere.centre, reach); }

  // The plane through the first three positions, each through m; the zero plane with fewer than three.
  ppPlane GetPlane(const ppMatrix4& m) const;
  // Whether a point known to lie in the primitive's plane is inside its outline (odd crossings of a
  // far-reaching test segment, in the projection that drops the normal's largest axis).
  bool ContainsPoint(const ppVector3& point) const;
  // Whether the ray's line meets the primitive at or behind its origin (the plane parameter t <= 0);
  // the meeting point goes to `hit` when given.
  bool IntersectSegment(const ppRay& ray, ppVector3* hit) const;
  // Every vertex through m (ppShapeVertex::Transform), as a new primitive.
  ppShapePrimitive Transform(const ppMatrix4& m) const;
  // Whether this primitive placed by a meets q placed by b: the spheres first, then every pair of fan
  // triangles, rounded to hundredths, that share no corner.
  bool Intersects(const ppShapePrimitive& q, const ppMatrix4& a, const ppMatrix4& b) const;
};

// Whether two triangle fans meet, their points already placed and rounded to hundredths. Triangle
// pairs with any two of their six corners equal are skipped.
bool FansIntersect(const ppVector3* p, size_t pCount, const ppVector3* q, size_t qCount);
