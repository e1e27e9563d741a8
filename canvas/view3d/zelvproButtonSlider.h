// A slider shown as two auto-repeating buttons: increase and decrease. Laid out side by side
// (decrease left, increase right) or, with the vertical flag, one above the other (decrease above,
// increase below, the increase button starting disabled). The buttons' presses arrive here as
// commands: 3198 begin, 3199 end, 5000 a timed step by the ticks since the last one, 5002 a single
// step of 5. After each step the buttons show the limit: the button whose step changed nothing is
// disabled (state 3), the other normal. Both buttons are subviews. User-interface thread only.
#pragma once

#include <cstdint>

#include "canvas/view3d/zelvproBasicSlider.h"

class zelvproSliderButton;

class zelvproButtonSlider : public zelvproBasicSlider {
 public:
  static constexpr int32_t kSingleStepCount = 5;

  zelvproButtonSlider(ppView* supervisor, const plat::RECT& frame, uint32_t flags,
                      iSliderResponder* responder, int32_t increasePicture, int32_t decreasePicture,
                      int8_t horizontal, int8_t vertical);
  ~zelvproButtonSlider() override;

  // `parameter` is the pressing button.
  void DoCommand(int32_t command, intptr_t parameter) override;

  zelvproSliderButton* IncreaseButton() const { return increase_; }
  zelvproSliderButton* DecreaseButton() const { return decrease_; }
  uint32_t LastStepTick() const { return lastStepTick_; }

 private:
  void ShowLimit(ppView* button, bool changed);

  zelvproSliderButton* increase_ = nullptr;
  zelvproSliderButton* decrease_ = nullptr;
  uint32_t lastStepTick_ = 0;
};
