// The plan's top-level units in grid cells of their plan extent (x, z, millimetres), so that a
// collision test of moved units reads only the cells they reach instead of the whole plan. Made once
// per move task: nothing but the moved units moves while the task lives. The 2D and 3D movers share
// it. User-interface thread.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

class zelvproElement;
class zelvproTopCanvas;

class NearUnitIndex {
 public:
  explicit NearUnitIndex(zelvproTopCanvas& top);

  // The plan's top-level units whose extent comes within 50 mm of the extent of one of `moved`
  // (each moved unit's own reach: a union of far-apart units would take in everything between
  // them), each once, in plan order.
  std::vector<zelvproElement*> Near(const std::vector<zelvproElement*>& moved) const;

 private:
  // A plan extent (x, z), empty when the element has no box.
  struct Extent {
    float minX = 0, maxX = -1, minZ = 0, maxZ = -1;
    bool Empty() const { return maxX < minX; }
    bool Meets(const Extent& e, float margin) const;
  };
  struct Unit {
    zelvproElement* element;
    Extent extent;
  };
  // The element's own box with its children's, as the geometry cache measures it, in the plan.
  static Extent PlanExtent(zelvproElement* element);
  static int64_t Key(int32_t cx, int32_t cz) { return (int64_t(cx) << 32) ^ int64_t(uint32_t(cz)); }
  static int32_t Cell(float v);

  std::vector<Unit> units_;  // in plan order
  std::unordered_map<int64_t, std::vector<int32_t>> cells_;
};
