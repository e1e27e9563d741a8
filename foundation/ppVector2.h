// A 2D point or direction of the plan: x and y in millimetres, 32-bit floats. Point lists in handles
// store these back to back, 8 bytes each, so the layout is exactly two floats.
#pragma once

struct ppVector2 {
  float x = 0.0f;
  float y = 0.0f;

  constexpr ppVector2() = default;
  constexpr ppVector2(float px, float py) : x(px), y(py) {}

  ppVector2 operator-(const ppVector2& b) const { return ppVector2(x - b.x, y - b.y); }
  // Equal when each component differs by less than the float 9e-9.
  bool operator==(const ppVector2& b) const;
  bool operator!=(const ppVector2& b) const { return !(*this == b); }
};

static_assert(sizeof(ppVector2) == 8, "point lists store 8-byte points");
