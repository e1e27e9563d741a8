#include "scene3d/objects/SideJoints.h"

#include <cmath>

#include "foundation/Geometry2D.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kTwoPi = 6.28318531f;

}  // namespace

float SideJoints::WrapTurn(float turn) {
  // AngleOf answers in [-pi/2, 3pi/2), so one step either way brings any difference into range.
  if (turn <= -kPi) turn += kTwoPi;
  if (turn > kPi) turn -= kTwoPi;
  return turn;
}

float SideJoints::Direction(const ppVector2& a, const ppVector2& b) { return AngleOf(b.x - a.x, b.y - a.y); }

ppVector2 SideJoints::SideNormal(const ppVector2& a, const ppVector2& b) {
  const float length = Hypot2(b.x - a.x, b.y - a.y);
  return ppVector2((b.y - a.y) / length, -(b.x - a.x) / length);
}

ppVector2 SideJoints::JointNormal(const ppVector2& own, const ppVector2& a, const ppVector2& b, float turn,
                                  float threshold) {
  if (std::fabs(turn) > threshold || Same(a, b)) return own;
  const ppVector2 neighbour = SideNormal(a, b);
  ppVector2 sum(own.x + neighbour.x, own.y + neighbour.y);
  const float length = Hypot2(sum.x, sum.y);
  if (length == 0.0f) return own;
  return ppVector2(sum.x / length, sum.y / length);
}

std::vector<size_t> SideJoints::DistinctClosed(const std::vector<ppVector2>& points) {
  std::vector<size_t> kept;
  const size_t n = points.size();
  kept.reserve(n);
  for (size_t i = 0; i < n; ++i)
    if (!Same(points[i], points[(i + 1) % n])) kept.push_back(i);
  return kept;
}

std::vector<size_t> SideJoints::DistinctOpen(const std::vector<ppVector2>& points) {
  std::vector<size_t> kept;
  kept.reserve(points.size());
  for (size_t i = 0; i < points.size(); ++i)
    if (kept.empty() || !Same(points[kept.back()], points[i])) kept.push_back(i);
  return kept;
}
