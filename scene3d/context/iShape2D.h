// The plane-figure interface: Begin(mode) starts a figure (9 = closed polygon, any other mode an open
// line), Vertex adds a point, End finishes the figure. Coordinates are millimetres of the plan.
#pragma once

#include <cstdint>

class iShape2D {
 public:
  virtual ~iShape2D() = default;

  virtual void Begin(uint32_t mode) = 0;
  virtual void Vertex(float x, float y) = 0;
  virtual void End() = 0;
};
