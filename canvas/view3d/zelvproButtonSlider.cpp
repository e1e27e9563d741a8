#include "canvas/view3d/zelvproButtonSlider.h"

#include "canvas/view3d/iSliderResponder.h"
#include "canvas/view3d/zelvproSliderButton.h"

zelvproButtonSlider::zelvproButtonSlider(ppView* supervisor, const plat::RECT& frame, uint32_t flags,
                                         iSliderResponder* responder, int32_t increasePicture,
                                         int32_t decreasePicture, int8_t horizontal, int8_t vertical)
    : zelvproBasicSlider(supervisor, frame, flags, responder, horizontal, vertical) {
  const int32_t w = Width(), h = Height();
  if ((flags & kVertical) == 0) {
    decrease_ = new zelvproSliderButton(this, {0, 0, w / 2, h}, decreasePicture);
    increase_ = new zelvproSliderButton(this, {w / 2, 0, w, h}, increasePicture);
  } else {
    decrease_ = new zelvproSliderButton(this, {0, 0, w, h / 2}, decreasePicture);
    increase_ = new zelvproSliderButton(this, {0, h / 2, w, h}, increasePicture);
    increase_->SetState(ppButton::kDisabled);
  }
}

zelvproButtonSlider::~zelvproButtonSlider() = default;

void zelvproButtonSlider::DoCommand(int32_t command, intptr_t parameter) {
  auto* button = reinterpret_cast<ppView*>(parameter);
  switch (command) {
    case zelvproSliderButton::kBegin:
      if (Responder() != nullptr) Responder()->SliderBegin(SliderId());
      increase_->SetState(ppButton::kNormal);
      lastStepTick_ = zelvproSliderButton::NowTicks();
      return;
    case zelvproSliderButton::kEnd:
      if (Responder() != nullptr) Responder()->SliderEnd(SliderId());
      return;
    case zelvproSliderButton::kTimedStep: {
      const uint32_t now = zelvproSliderButton::NowTicks();
      const uint32_t dt = now - lastStepTick_;
      if (dt == 0) return;
      lastStepTick_ = now;
      if (button == increase_)
        ShowLimit(button, Increase(Step() * int32_t(dt)));
      else if (button == decrease_)
        ShowLimit(button, Decrease(Step() * int32_t(dt)));
      else {
        increase_->SetState(ppButton::kDisabled);
        decrease_->SetState(ppButton::kNormal);
      }
      return;
    }
    case zelvproSliderButton::kSingleStep:
      if (button == increase_)
        ShowLimit(button, Increase(Step() * kSingleStepCount));
      else
        ShowLimit(button, Decrease(Step() * kSingleStepCount));
      return;
    default:
      zelvproBasicSlider::DoCommand(command, parameter);
  }
}

void zelvproButtonSlider::ShowLimit(ppView* button, bool changed) {
  if (changed) {
    increase_->SetState(ppButton::kNormal);
    decrease_->SetState(ppButton::kNormal);
    return;
  }
  zelvproSliderButton* pressing = button == increase_ ? increase_ : decrease_;
  zelvproSliderButton* other = pressing == increase_ ? decrease_ : increase_;
  pressing->SetState(ppButton::kDisabled);
  other->SetState(ppButton::kNormal);
}
