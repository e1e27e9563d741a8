#include "scene3d/context/ShapePointIndex.h"

#include <algorithm>
#include <cmath>

namespace {

// Room for the rounding of a float distance (a few units in the last place), with plenty to spare:
// a box is skipped only when its farthest corner lies within limit / kBoundSlack.
constexpr double kBoundSlack = 1.0 + 1e-5;
// The same for squares compared from below: a correctly rounded square root of a square at most
// (1 - 1e-6) x limit^2 cannot exceed the limit.
constexpr double kSquareSlack = 1.0 - 1e-6;

// Outlines come from catalogue files and may hold NaN or infinite coordinates. Such a point never
// passes the farthest-pair comparison (distances to it are NaN) or would make the sphere infinite,
// which frames and culls nothing; and NaN bounds would keep every box from being skipped, so each
// later point would scan every earlier one.
bool Finite(const ppVector3& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

}  // namespace

void ShapePointIndex::Box::Add(const ppVector3& p) {
  low = ppVector3(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
  high = ppVector3(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
}

void ShapePointIndex::Add(const ppVector3& point) {
  if (!Finite(point)) return;
  const size_t n = x_.size();
  size_t span = kRun;
  for (std::vector<Box>& level : levels_) {
    if (n % span == 0)
      level.push_back(Box{point, point});
    else
      level.back().Add(point);
    span *= kFan;
  }
  x_.push_back(point.x);
  y_.push_back(point.y);
  z_.push_back(point.z);
}

float ShapePointIndex::LargestSquare(size_t run, const ppVector3& v) const {
  const size_t first = run * kRun, last = std::min(x_.size(), first + kRun);
  float largest = 0.0f;
  for (size_t i = first; i < last; ++i) {
    const float dx = v.x - x_[i], dy = v.y - y_[i], dz = v.z - z_[i];
    largest = std::max(largest, dx * dx + dy * dy + dz * dz);
  }
  return largest;
}

bool ShapePointIndex::AnySquareBeyond(size_t run, const ppVector3& v, float square) const {
  const size_t first = run * kRun, count = std::min(x_.size() - first, kRun);
  const float* __restrict xs = x_.data() + first;
  const float* __restrict ys = y_.data() + first;
  const float* __restrict zs = z_.data() + first;
  const float vx = v.x, vy = v.y, vz = v.z;
  int beyond = 0;
  if (count == kRun) {
    for (size_t i = 0; i < kRun; ++i) {
      const float dx = vx - xs[i], dy = vy - ys[i], dz = vz - zs[i];
      beyond |= dx * dx + dy * dy + dz * dz > square ? 1 : 0;
    }
  } else {
    for (size_t i = 0; i < count; ++i) {
      const float dx = vx - xs[i], dy = vy - ys[i], dz = vz - zs[i];
      beyond |= dx * dx + dy * dy + dz * dz > square ? 1 : 0;
    }
  }
  return beyond != 0;
}

// Calls visit(run) for every run of box `box` of `level`, in recording order, unless the box lies
// wholly within `limit` of `from`; `visit` may raise the limit as it goes.
template <typename Visit>
void ShapePointIndex::Walk(size_t level, size_t box, const ppVector3& from, const double& limit,
                           Visit& visit) const {
  const Box& b = levels_[level][box];
  const double dx = std::max(std::fabs(double{from.x} - b.low.x), std::fabs(double{b.high.x} - from.x));
  const double dy = std::max(std::fabs(double{from.y} - b.low.y), std::fabs(double{b.high.y} - from.y));
  const double dz = std::max(std::fabs(double{from.z} - b.low.z), std::fabs(double{b.high.z} - from.z));
  if ((dx * dx + dy * dy + dz * dz) * (kBoundSlack * kBoundSlack) <= limit * limit) return;
  if (level == 0) {
    visit(box);
    return;
  }
  const size_t last = std::min(levels_[level - 1].size(), (box + 1) * kFan);
  for (size_t child = box * kFan; child < last; ++child) Walk(level - 1, child, from, limit, visit);
}

void ShapePointIndex::GrowFarthestPair(const ppVector3& v, ppSphere& sphere) const {
  if (!Finite(v)) return;
  double limit = 2.0 * sphere.radius;
  auto visit = [&](size_t run) {
    // Squares at or below this give a float distance of at most the limit: most runs end here.
    if (!AnySquareBeyond(run, v, static_cast<float>(limit * limit * kSquareSlack))) return;
    const size_t first = run * kRun, last = std::min(x_.size(), first + kRun);
    for (size_t i = first; i < last; ++i) {
      const ppVector3 p = Point(i);
      const float d = v.Distance(p);
      if (2.0f * sphere.radius < d) {
        sphere.radius = d / 2.0f;
        sphere.centre = (v + p) / 2.0f;
        limit = 2.0 * sphere.radius;
      }
    }
  };
  for (size_t box = 0; box < levels_[kLevels - 1].size(); ++box) Walk(kLevels - 1, box, v, limit, visit);
}

float ShapePointIndex::FarthestDistance(const ppVector3& centre) const {
  double limit = 0.0;
  float best = 0.0f;
  auto visit = [&](size_t run) {
    // The square root is monotonic, so the root of the largest square is the largest distance.
    best = std::max(best, std::sqrt(LargestSquare(run, centre)));
    limit = best;
  };
  for (size_t box = 0; box < levels_[kLevels - 1].size(); ++box) Walk(kLevels - 1, box, centre, limit, visit);
  return best;
}
