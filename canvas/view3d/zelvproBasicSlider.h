// A bounded integer value that reports every change as a signed delta to its responder. With the
// wrap-around flag a step past one end comes round from the other (the rotation slider's degrees);
// without it the value stops at the ends. The vertical flag only matters to the button slider's
// layout. The responder is not owned and must outlive the slider. The 3D pane reads the value through
// its link (iPaneSlider). User-interface thread only.
#pragma once

#include <cstdint>

#include "framework/ppView.h"
#include "scene3d/panes/iPaneSlider.h"

class iSliderResponder;

class zelvproBasicSlider : public ppView, public iPaneSlider {
 public:
  static constexpr uint32_t kWrapAround = 0x1, kVertical = 0x2;

  // `frame` in the supervisor's coordinates; `horizontal` and `vertical` are the bindings.
  zelvproBasicSlider(ppView* supervisor, const plat::RECT& frame, uint32_t flags, iSliderResponder* responder,
                     int8_t horizontal, int8_t vertical);
  ~zelvproBasicSlider() override;

  void SetSliderId(int32_t id) { sliderId_ = id; }
  void SetMaximum(int32_t maximum) { maximum_ = maximum; }
  void SetMinimum(int32_t minimum) { minimum_ = minimum; }
  void SetValue(int32_t value) { value_ = value; }
  int32_t SliderId() const { return sliderId_; }
  int32_t Maximum() const { return maximum_; }
  int32_t Minimum() const { return minimum_; }
  int32_t Value() const override { return value_; }
  int32_t Step() const { return step_; }
  uint32_t Flags() const { return flags_; }
  iSliderResponder* Responder() const { return responder_; }

  // Reaching the maximum stops there (or wraps round to the minimum side); the responder hears the
  // change in value. True when the value changed.
  virtual bool Increase(int32_t d);
  // Reaching the minimum stops there (or wraps to maximum - d); the responder hears -d, the step
  // asked for, also when the value was clamped. True when the value changed.
  virtual bool Decrease(int32_t d);

  void DrawContent(ppDC& /*dc*/) override {}

 private:
  uint32_t flags_;
  iSliderResponder* responder_;
  int32_t minimum_ = 0;
  int32_t maximum_ = 2147483647;
  int32_t value_;
  int32_t step_ = 1;
  int32_t sliderId_ = 0;
};
