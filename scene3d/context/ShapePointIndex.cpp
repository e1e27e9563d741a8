#include "scene3d/context/ShapePointIndex.h"

#include <algorithm>
#include <cmath>

namespace {

// ppVector3::Distance, operation for operation (so bit for bit), without the call.
inline float DistanceOf(const ppVector3& a, const ppVector3& b) {
  const float x = a.x - b.x, y = a.y - b.y, z = a.z - b.z;
  return std::sqrt(x * x + y * y + z * z);
}

// Covers the rounding of a float distance (a few units in the last place) with room to spare.
constexpr double kBoundSlack = 1.0 + 1e-5;
// The same for squares compared from below: a correctly rounded square root of a square at most
// (1 - 1e-6) x limit^2 cannot exceed the limit.
constexpr double kSquareSlack = 1.0 - 1e-6;

}  // namespace

void ShapePointIndex::Box::Add(const ppVector3& p) {
  low = ppVector3(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
  high = ppVector3(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
}

bool ShapePointIndex::Box::WithinReach(const ppVector3& p, double limit) const {
  auto far = [](float v, float lo, float hi) {
    return std::max(std::fabs(double{v} - lo), std::fabs(double{hi} - v));
  };
  const double dx = far(p.x, low.x, high.x), dy = far(p.y, low.y, high.y), dz = far(p.z, low.z, high.z);
  return (dx * dx + dy * dy + dz * dz) * (kBoundSlack * kBoundSlack) <= limit * limit;
}

void ShapePointIndex::Add(const ppVector3& point) {
  size_t span = kFan;
  for (std::vector<Box>& level : levels_) {
    if (points_.size() % span == 0)
      level.push_back(Box{point, point});
    else
      level.back().Add(point);
    span *= kFan;
  }
  points_.push_back(point);
}

// Visits, in recording order, every point of box `box` of `level` unless the box lies wholly within
// `limit` of `from`; `visit` may raise the limit as it goes.
template <typename Visit>
void ShapePointIndex::Walk(size_t level, size_t box, const ppVector3& from, double& limit,
                           Visit& visit) const {
  if (levels_[level][box].WithinReach(from, limit)) return;
  if (level == 0) {
    const size_t last = std::min(points_.size(), (box + 1) * kFan);
    for (size_t i = box * kFan; i < last; ++i) visit(points_[i]);
    return;
  }
  const size_t last = std::min(levels_[level - 1].size(), (box + 1) * kFan);
  for (size_t child = box * kFan; child < last; ++child) Walk(level - 1, child, from, limit, visit);
}

void ShapePointIndex::GrowFarthestPair(const ppVector3& v, ppSphere& sphere) const {
  double limit = 2.0 * sphere.radius;
  // Squared distances at or below this give a float distance of at most `limit`, so the square root
  // is taken only for the few points that may lie beyond it.
  double surelyWithin = limit * limit * kSquareSlack;
  auto visit = [&](const ppVector3& p) {
    const float x = v.x - p.x, y = v.y - p.y, z = v.z - p.z;
    const float square = x * x + y * y + z * z;
    if (square <= surelyWithin) return;
    const float d = std::sqrt(square);  // DistanceOf(v, p)
    if (2.0f * sphere.radius < d) {
      sphere.radius = d / 2.0f;
      sphere.centre = (v + p) / 2.0f;
      limit = 2.0 * sphere.radius;
      surelyWithin = limit * limit * kSquareSlack;
    }
  };
  for (size_t box = 0; box < levels_[kLevels - 1].size(); ++box) Walk(kLevels - 1, box, v, limit, visit);
}

float ShapePointIndex::FarthestDistance(const ppVector3& centre) const {
  float best = 0.0f;
  double limit = 0.0;
  auto visit = [&](const ppVector3& p) {
    best = std::max(best, DistanceOf(centre, p));
    limit = best;
  };
  for (size_t box = 0; box < levels_[kLevels - 1].size(); ++box) Walk(kLevels - 1, box, centre, limit, visit);
  return best;
}
