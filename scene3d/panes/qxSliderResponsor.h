// What a view that follows sliders answers: a slider was shown, a slider moved to a value, a slider
// was let go. Sliders are known by their control id.
#pragma once

#include <cstdint>

class qxSliderResponsor {
 public:
  virtual ~qxSliderResponsor() = default;
  virtual void SliderShown(int32_t /*id*/) {}
  virtual void SliderMoved(int32_t /*value*/, int32_t /*id*/) {}
  virtual void SliderReleased(int32_t /*id*/) {}
};
