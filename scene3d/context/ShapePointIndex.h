// Every point of a 3D shape in recording order, in runs of 16 points with a bounding box per run, per
// 8 runs, per 64 runs and so on up, so that the bounding-sphere scans can skip whole runs that cannot
// change their answer. Meshes are recorded face by face, so consecutive points lie close together
// and the boxes stay small. Points with a coordinate that is not finite are left out, as points and
// as the point a scan starts from. The scans give exactly what a plain scan over every finite point
// in recording order gives, bit for bit.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "foundation/ppSphere.h"
#include "foundation/ppVector3.h"

class ShapePointIndex {
 public:
  // Holds `point` unless a coordinate of it is not finite.
  void Add(const ppVector3& point);
  // The number of points held.
  size_t Size() const { return x_.size(); }

  // The farthest-pair rule against every point held, in order: whenever 2 x radius < distance(v, p),
  // the sphere becomes the one spanned by v and p. A non-finite v changes nothing.
  void GrowFarthestPair(const ppVector3& v, ppSphere& sphere) const;
  // The largest distance from `centre` to a point held; 0 when empty.
  float FarthestDistance(const ppVector3& centre) const;

 private:
  struct Box {
    ppVector3 low;
    ppVector3 high;
    void Add(const ppVector3& p);
  };

  static constexpr size_t kRun = 16;
  static constexpr size_t kFan = 8;
  // Boxes over runs of 16, 128, 1,024, 8,192 and 65,536 points.
  static constexpr size_t kLevels = 5;

  // The largest squared float distance from v to a point of run `run`, formed as ppVector3::Distance
  // forms it before its square root; and whether any of them exceeds `square` (a loop the compiler
  // turns into vector code).
  float LargestSquare(size_t run, const ppVector3& v) const;
  bool AnySquareBeyond(size_t run, const ppVector3& v, float square) const;
  template <typename Visit>
  void Walk(size_t level, size_t box, const ppVector3& from, const double& limit, Visit& visit) const;
  ppVector3 Point(size_t i) const { return ppVector3(x_[i], y_[i], z_[i]); }

  // The points, one coordinate per array.
  std::vector<float> x_;
  std::vector<float> y_;
  std::vector<float> z_;
  // levels_[k][i] holds points [i * 16 * 8^k, (i + 1) * 16 * 8^k).
  std::array<std::vector<Box>, kLevels> levels_;
};
