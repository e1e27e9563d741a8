// Four 32-bit floats stored in argument order: the constant colours (red, green, blue, alpha) and
// homogeneous positions of the 3D code.
#pragma once

struct ppFloat4 {
  float v[4] = {0.0f, 0.0f, 0.0f, 0.0f};

  constexpr ppFloat4() = default;
  constexpr ppFloat4(float a, float b, float c, float d) : v{a, b, c, d} {}
};

static_assert(sizeof(ppFloat4) == 16, "four floats back to back");
