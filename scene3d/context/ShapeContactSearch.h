// The primitive stage of the shape-against-shape test, done without visiting every pair. It answers
// exactly what the plain double loop answers (every primitive r of the second shape against every
// primitive p of the first: spheres through their matrices overlap, then r's fans against p's):
// the spheres are placed once each, pairs that cannot overlap are pruned by a sweep along the axis
// where the candidates spread most, and each surviving pair gets the same sphere and triangle tests
// as in the plain loop, in the same argument order. Placed, rounded points are made once per primitive.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/ppSphere.h"
#include "foundation/ppVector3.h"

class ppMatrix4;
class ppShape3D;
class ppShapePrimitive;

class ShapeContactSearch {
 public:
  // Both shapes and matrices must outlive the search.
  ShapeContactSearch(const ppShape3D& first, const ppMatrix4& a, const ppShape3D& second, const ppMatrix4& b);
  bool Run();
  // Primitives of both shapes whose spheres were placed.
  uint32_t Visited() const { return static_cast<uint32_t>(first_.spheres.size() + second_.spheres.size()); }

 private:
  struct Side {
    const ppShape3D* shape;
    const ppMatrix4* matrix;
    std::vector<ppSphere> spheres;     // per primitive, placed
    std::vector<uint32_t> candidates;  // primitives that may touch the other side
    std::vector<uint32_t> pointStart;  // per primitive: offset into points, or kNotPlaced
    std::vector<ppVector3> points;
  };
  struct Entry {
    float low;
    float high;
    uint32_t primitive;
    bool second;
  };

  static void PlaceSpheres(Side& side);
  // Keeps the primitives of `side` (three vertices or more) whose sphere touches the box around
  // every sphere of `other`.
  static void Prune(Side& side, const Side& other);
  const ppVector3* PlacedPoints(Side& side, uint32_t primitive);
  bool TestPair(uint32_t p, uint32_t r);

  Side first_;
  Side second_;
};
