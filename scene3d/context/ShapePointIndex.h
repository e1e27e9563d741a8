// Every point of a 3D shape in recording order, with bounding boxes over consecutive runs of 8
// points, runs of 8 such runs, and so on up, so that the bounding-sphere scans can skip whole runs
// that cannot change their answer. Meshes are recorded face by face, so consecutive points lie close
// together and the boxes stay small. The scans give exactly what a plain scan over every point in
// recording order gives.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "foundation/ppSphere.h"
#include "foundation/ppVector3.h"

class ShapePointIndex {
 public:
  void Add(const ppVector3& point);
  size_t Size() const { return points_.size(); }

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
    // Whether every point in the box lies within `limit` of p, with room for float rounding.
    bool WithinReach(const ppVector3& p, double limit) const;
  };

  static constexpr size_t kFan = 8;
  static constexpr size_t kLevels = 5;  // the top level's boxes cover 8^5 = 32,768 points each

  template <typename Visit>
  void Walk(size_t level, size_t box, const ppVector3& from, double& limit, Visit& visit) const;

  std::vector<ppVector3> points_;
  // levels_[k][i] holds points [i * 8^(k+1), (i + 1) * 8^(k+1)).
  std::array<std::vector<Box>, kLevels> levels_;
};
