// A navigation slider as the 3D pane reads it: its present value. The 3D canvas owns the sliders
// and hands the pane links to them; the pane never owns one.
#pragma once

#include <cstdint>

class iPaneSlider {
 public:
  virtual ~iPaneSlider() = default;
  virtual int32_t Value() const = 0;
};
