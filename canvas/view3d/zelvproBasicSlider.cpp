#include "canvas/view3d/zelvproBasicSlider.h"

#include "canvas/view3d/iSliderResponder.h"

zelvproBasicSlider::zelvproBasicSlider(ppView* supervisor, const plat::RECT& frame, uint32_t flags,
                                       iSliderResponder* responder, int8_t horizontal, int8_t vertical)
    : ppView(supervisor, horizontal, vertical),
      flags_(flags),
      responder_(responder),
      value_((flags & kWrapAround) != 0 ? maximum_ / 2 : 0) {
  SetFrame(frame);
}

zelvproBasicSlider::~zelvproBasicSlider() = default;

bool zelvproBasicSlider::Increase(int32_t d) {
  const int32_t old = value_;
  // 64-bit sums: the default maximum is the largest 32-bit value.
  const int64_t sum = int64_t(value_) + d;
  if (sum < maximum_)
    value_ = int32_t(sum);
  else if ((flags_ & kWrapAround) == 0)
    value_ = maximum_;
  else
    value_ = int32_t(int64_t(minimum_) + sum - maximum_);
  if (value_ == old) return false;
  if (responder_ != nullptr) responder_->SliderChanged(value_ - old, sliderId_);
  return true;
}

bool zelvproBasicSlider::Decrease(int32_t d) {
  const int32_t old = value_;
  const int64_t rest = int64_t(value_) - d;
  if (rest > minimum_)
    value_ = int32_t(rest);
  else if ((flags_ & kWrapAround) == 0)
    value_ = minimum_;
  else
    value_ = int32_t(int64_t(maximum_) - d);
  if (value_ == old) return false;
  if (responder_ != nullptr) responder_->SliderChanged(-d, sliderId_);
  return true;
}
