// A recorded 3D shape: an iShape3D that keeps what is emitted into it, so that contexts can replay
// it, compile it into a display list, transform it, hit-test it with rays and test it against another
// shape for collisions. Each primitive keeps its bounding sphere; the shape keeps a sphere and a box
// of all its points. Coordinates within 9e-9 of zero are recorded as exactly 0.
//
// The shape's sphere follows the farthest-pair rule (see ppShapePrimitive); the collision rejections
// use its centre with the distance to the farthest point, computed when first needed after recording.
// A shape is recorded and tested on one thread; replaying it from another is safe once recording ended.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/DoubleVector.h"
#include "foundation/ppBounds3.h"
#include "foundation/ppSphere.h"
#include "scene3d/context/ShapePointIndex.h"
#include "scene3d/context/iShape3D.h"
#include "scene3d/context/ppShapePrimitive.h"

class ppMatrix4;
struct ppRay;

class ppShape3D : public iShape3D {
 public:
  // ---- Recording. Begin(9) starts a closed primitive, any other mode an open one; a Vertex before
  // the first Begin is ignored; End drops a primitive that got no vertex.
  void Begin(uint32_t mode) override;
  void TexCoord(float s, float t) override;
  void Normal(float x, float y, float z) override;
  void Vertex(float x, float y, float z) override;
  void End() override;

  // ---- Use.
  // Every primitive into `target`: Begin(9) or Begin(1), per vertex TexCoord, Normal, Vertex; End.
  void Replay(iShape3D& target) const;
  // The same with positions through m and normals through m without its translation, normalised.
  void ReplayTransformed(iShape3D& target, const ppMatrix4& m) const;
  // The primitive the ray meets nearest to its origin (see ppShapePrimitive::IntersectSegment).
  bool HitTest(const ppRay& ray, ppVector3* hit, const ppShapePrimitive** primitive) const;
  // Whether this shape placed by a meets `other` placed by b: shape spheres, shape boxes, then the
  // pairs of primitives whose spheres overlap, triangle by triangle. `visited`, when given, receives
  // how many primitives were looked at (0 when the spheres or boxes rejected the pair of shapes).
  bool Intersects(const ppShape3D& other, const ppMatrix4& a, const ppMatrix4& b,
                  uint32_t* visited = nullptr) const;
  // Whether any primitive of this shape placed by a meets q placed by b.
  bool IntersectsPrimitive(const ppShapePrimitive& q, const ppMatrix4& a, const ppMatrix4& b) const;

  // The number of primitives; 0 for an empty shape.
  uint32_t GetCount() const { return static_cast<uint32_t>(primitives_.size()); }
  const std::vector<ppShapePrimitive>& Primitives() const { return primitives_; }
  // The key contexts cache this shape's display list under; the placeholder -1.0 alone: never cached.
  DoubleVector& Values() { return values_; }
  const DoubleVector& Values() const { return values_; }
  // The farthest-pair sphere as recorded.
  const ppSphere& GetSphere() const { return sphere_; }
  // The recorded centre with the radius grown to the farthest point.
  ppSphere GetBoundingSphere() const;
  const ppBounds3& GetBounds() const { return bounds_; }

 private:
  std::vector<ppShapePrimitive> primitives_;
  ppShapeVertex current_;
  DoubleVector values_;
  ppSphere sphere_;
  ppBounds3 bounds_;
  ShapePointIndex points_;
  // Distance from sphere_.centre to the farthest point, valid while reachKnown_.
  mutable float reach_ = 0.0f;
  mutable bool reachKnown_ = true;
};
