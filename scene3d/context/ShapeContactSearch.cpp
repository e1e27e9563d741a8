#include "scene3d/context/ShapeContactSearch.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "foundation/ppMatrix4.h"
#include "scene3d/context/TriTriIntersect.h"
#include "scene3d/context/ppShape3D.h"

namespace {

constexpr uint32_t kNotPlaced = std::numeric_limits<uint32_t>::max();

// The pruning works on radii grown by this much, so that float rounding in the exact overlap test
// can never make it answer yes for a pair the pruning dropped.
float Loose(float radius) { return radius * (1.0f + 1e-5f) + 1e-3f; }

struct Extent {
  ppVector3 low{std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                std::numeric_limits<float>::max()};
  ppVector3 high{std::numeric_limits<float>::lowest(), std::numeric_limits<float>::lowest(),
                 std::numeric_limits<float>::lowest()};
  void Add(const ppVector3& c, float r) {
    low = ppVector3(std::min(low.x, c.x - r), std::min(low.y, c.y - r), std::min(low.z, c.z - r));
    high = ppVector3(std::max(high.x, c.x + r), std::max(high.y, c.y + r), std::max(high.z, c.z + r));
  }
  bool Touches(const ppVector3& c, float r) const {
    return !(c.x + r < low.x || c.x - r > high.x || c.y + r < low.y || c.y - r > high.y || c.z + r < low.z ||
             c.z - r > high.z);
  }
};

float Axis(const ppVector3& v, int axis) { return axis == 0 ? v.x : (axis == 1 ? v.y : v.z); }

}  // namespace

ShapeContactSearch::ShapeContactSearch(const ppShape3D& first, const ppMatrix4& a, const ppShape3D& second,
                                       const ppMatrix4& b) {
  first_.shape = &first;
  first_.matrix = &a;
  second_.shape = &second;
  second_.matrix = &b;
}

void ShapeContactSearch::PlaceSpheres(Side& side) {
  const std::vector<ppShapePrimitive>& primitives = side.shape->Primitives();
  side.spheres.resize(primitives.size());
  for (size_t i = 0; i < primitives.size(); ++i)
    side.spheres[i] = TransformSphere(*side.matrix, primitives[i].BoundingSphere());
  side.pointStart.assign(primitives.size(), kNotPlaced);
}

void ShapeContactSearch::Prune(Side& side, const Side& other) {
  Extent extent;
  for (const ppSphere& s : other.spheres) extent.Add(s.centre, Loose(s.radius));
  const std::vector<ppShapePrimitive>& primitives = side.shape->Primitives();
  for (uint32_t i = 0; i < primitives.size(); ++i) {
    if (primitives[i].vertices.size() < 3) continue;
    // A sphere that is not made of finite numbers overlaps nothing (and would upset the sort).
    const ppSphere& sphere = side.spheres[i];
    if (!std::isfinite(sphere.centre.x) || !std::isfinite(sphere.centre.y) ||
        !std::isfinite(sphere.centre.z) || !std::isfinite(sphere.radius))
      continue;
    if (extent.Touches(side.spheres[i].centre, Loose(side.spheres[i].radius))) side.candidates.push_back(i);
  }
}

const ppVector3* ShapeContactSearch::PlacedPoints(Side& side, uint32_t primitive) {
  if (side.pointStart[primitive] == kNotPlaced) {
    side.pointStart[primitive] = static_cast<uint32_t>(side.points.size());
    for (const ppShapeVertex& v : side.shape->Primitives()[primitive].vertices) {
      ppVector3 placed;
      side.matrix->TransformPoint(placed, v.position);
      RoundToHundredths(placed);
      side.points.push_back(placed);
    }
  }
  return side.points.data() + side.pointStart[primitive];
}

bool ShapeContactSearch::TestPair(uint32_t p, uint32_t r) {
  // As the plain loop asks it: r of the second shape, placed by b, against p of the first, placed by a.
  if (!second_.spheres[r].Overlaps(first_.spheres[p])) return false;
  const size_t rCount = second_.shape->Primitives()[r].vertices.size();
  const size_t pCount = first_.shape->Primitives()[p].vertices.size();
  const ppVector3* rPoints = PlacedPoints(second_, r);
  const ppVector3* pPoints = PlacedPoints(first_, p);
  return FansIntersect(rPoints, rCount, pPoints, pCount);
}

bool ShapeContactSearch::Run() {
  PlaceSpheres(first_);
  PlaceSpheres(second_);
  Prune(first_, second_);
  Prune(second_, first_);
  if (first_.candidates.empty() || second_.candidates.empty()) return false;

  // Sweep along the axis where the candidates' centres spread most.
  Extent spread;
  for (uint32_t i : first_.candidates) spread.Add(first_.spheres[i].centre, 0);
  for (uint32_t i : second_.candidates) spread.Add(second_.spheres[i].centre, 0);
  const ppVector3 size = spread.high - spread.low;
  const int axis = (size.x >= size.y && size.x >= size.z) ? 0 : (size.y >= size.z ? 1 : 2);

  std::vector<Entry> entries;
  entries.reserve(first_.candidates.size() + second_.candidates.size());
  auto add = [&](const Side& side, bool second) {
    for (uint32_t i : side.candidates) {
      const float c = Axis(side.spheres[i].centre, axis), r = Loose(side.spheres[i].radius);
      entries.push_back(Entry{c - r, c + r, i, second});
    }
  };
  add(first_, false);
  add(second_, true);
  std::sort(entries.begin(), entries.end(), [](const Entry& x, const Entry& y) { return x.low < y.low; });

  std::vector<const Entry*> open[2];
  for (const Entry& e : entries) {
    std::vector<const Entry*>& others = open[e.second ? 0 : 1];
    // Entries of the other side that ended before this one starts can meet nothing later either.
    std::erase_if(others, [&](const Entry* o) { return o->high < e.low; });
    for (const Entry* o : others) {
      const uint32_t p = e.second ? o->primitive : e.primitive;
      const uint32_t r = e.second ? e.primitive : o->primitive;
      if (TestPair(p, r)) return true;
    }
    open[e.second ? 1 : 0].push_back(&e);
  }
  return false;
}
