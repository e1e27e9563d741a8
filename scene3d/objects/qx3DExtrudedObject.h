// An outline swept along z over `depth`: flat caps at both ends (triangulated once by Prepare) and one
// quadrilateral per outline side, with side normals smoothed across joints that turn by 45 degrees or
// less. It also writes the body's visible edge lines. Spans z from 0 to depth when `flags` is 0, else
// from -depth to 0. Repeated points make no side and take no part in smoothing.
#pragma once

#include <cstdint>

#include "scene3d/objects/qx3DObject.h"

class qx3DExtrudedObject : public qx3DObject {
 public:
  using qx3DObject::qx3DObject;

  // Turns a clockwise outline (and its edge flags, side for side) counter-clockwise, then
  // triangulates the caps.
  void Prepare() override;
  void Build() override;
  std::unique_ptr<ppShape3D> CreateEdgeShape() override;
  // The upper and lower line of every side whose starting point has no kHiddenEdge, and the vertical
  // line at a sharp corner between two visible sides.
  void BuildEdges(iShape3D& shape, bool transformed) override;

 private:
  void ReverseOutline();
  void BuildCaps(float zTop, float zBottom);
  void BuildSides(float zTop, float zBottom);
  ppVector2 CapTexture(const ppVector2& p) const;
};
