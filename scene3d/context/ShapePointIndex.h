// Every point of a 3D shape in recording order, grouped into consecutive runs with a bounding box per
// run (and per run of runs), so that the bounding-sphere scans can skip whole runs that cannot
// change their answer. Meshes are recorded face by face, so consecutive points lie close together
// and the boxes stay small. The scans give exactly what a plain scan over every point in order gives.
#pragma once

#include <cstddef>
#include <vector>

#include "foundation/ppSphere.h"
#include "foundation/ppVector3.h"

class ShapePointIndex {
 public:
  void Add(const ppVector3& point);
  size_t Size() const { return points_.size(); }
  void Clear();

  // The farthest-pair rule against every point held, in order: whenever 2 x radius < distance(v, p),
  // the sphere becomes the one spanned by v and p.
  void GrowFarthestPair(const ppVector3& v, ppSphere& sphere) const;
  // The largest distance from `centre` to a point held; 0 when empty.
  float FarthestDistance(const ppVector3& centre) const;

 private:
  struct Box {
    ppVector3 low;
    ppVector3 high;
    void Add(const ppVector3& p);
    // An upper bound of the distance from p to any point in the box, safe against float rounding.
    double FarthestBound(const ppVector3& p) const;
  };

  static constexpr size_t kRun = 32;
  static constexpr size_t kGroup = 32;  // runs per group

  std::vector<ppVector3> points_;
  std::vector<Box> runs_;
  std::vector<Box> groups_;
};
