#include "scene3d/context/ShapePointIndex.h"

#include <algorithm>
#include <cmath>

namespace {

// Covers the rounding of a float distance (a few units in the last place) with room to spare.
constexpr double kBoundSlack = 1.0 + 1e-5;

}  // namespace

void ShapePointIndex::Box::Add(const ppVector3& p) {
  low = ppVector3(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
  high = ppVector3(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
}

double ShapePointIndex::Box::FarthestBound(const ppVector3& p) const {
  auto far = [](float v, float lo, float hi) {
    return std::max(std::fabs(double{v} - lo), std::fabs(double{hi} - v));
  };
  const double dx = far(p.x, low.x, high.x), dy = far(p.y, low.y, high.y), dz = far(p.z, low.z, high.z);
  return std::sqrt(dx * dx + dy * dy + dz * dz) * kBoundSlack;
}

void ShapePointIndex::Add(const ppVector3& point) {
  if (points_.size() % kRun == 0) runs_.push_back(Box{point, point});
  if (points_.size() % (kRun * kGroup) == 0) groups_.push_back(Box{point, point});
  points_.push_back(point);
  runs_.back().Add(point);
  groups_.back().Add(point);
}

void ShapePointIndex::Clear() {
  points_.clear();
  runs_.clear();
  groups_.clear();
}

void ShapePointIndex::GrowFarthestPair(const ppVector3& v, ppSphere& sphere) const {
  for (size_t g = 0; g < groups_.size(); ++g) {
    if (groups_[g].FarthestBound(v) <= 2.0 * sphere.radius) continue;
    const size_t lastRun = std::min(runs_.size(), (g + 1) * kGroup);
    for (size_t r = g * kGroup; r < lastRun; ++r) {
      if (runs_[r].FarthestBound(v) <= 2.0 * sphere.radius) continue;
      const size_t last = std::min(points_.size(), (r + 1) * kRun);
      for (size_t i = r * kRun; i < last; ++i) {
        const float d = v.Distance(points_[i]);
        if (2.0f * sphere.radius < d) {
          sphere.radius = d / 2.0f;
          sphere.centre = (v + points_[i]) / 2.0f;
        }
      }
    }
  }
}

float ShapePointIndex::FarthestDistance(const ppVector3& centre) const {
  float best = 0.0f;
  for (size_t g = 0; g < groups_.size(); ++g) {
    if (groups_[g].FarthestBound(centre) <= best) continue;
    const size_t lastRun = std::min(runs_.size(), (g + 1) * kGroup);
    for (size_t r = g * kGroup; r < lastRun; ++r) {
      if (runs_[r].FarthestBound(centre) <= best) continue;
      const size_t last = std::min(points_.size(), (r + 1) * kRun);
      for (size_t i = r * kRun; i < last; ++i) best = std::max(best, centre.Distance(points_[i]));
    }
  }
  return best;
}
