// What a navigation slider tells the view it steers: a change begins (a button was pressed), the
// value changed by a signed number of steps, the change ended (the button was let go). Sliders are
// told apart by their slider id. The slider never owns its responder.
#pragma once

#include <cstdint>

class iSliderResponder {
 public:
  virtual ~iSliderResponder() = default;
  virtual void SliderBegin(int32_t /*sliderId*/) {}
  virtual void SliderEnd(int32_t /*sliderId*/) {}
  virtual void SliderChanged(int32_t /*delta*/, int32_t /*sliderId*/) {}
};
