// One of the two auto-repeating buttons of a button slider. A press tells the slider 3198 (begin),
// waits 20 ticks (1/60 second each) on the layer's clock, then either steps once by 5 (the button was
// let go within the wait) or steps by the ticks elapsed, a tick at a time, until a mouse-button
// message waits in the queue; then 3199 (end). The loop never spins: each turn waits a tick, and it
// only peeks at the queue. A disabled button (state 3) takes no press. User-interface thread only.
#pragma once

#include <cstdint>

#include "framework/ppButton.h"

class zelvproSliderButton : public ppButton {
 public:
  static constexpr int32_t kBegin = 3198, kEnd = 3199, kTimedStep = 5000, kSingleStep = 5002;
  static constexpr uint32_t kFirstWaitTicks = 20;

  // `frame` in the slider's coordinates; `pictureId` names the button's pictures.
  zelvproSliderButton(ppView* slider, const plat::RECT& frame, int32_t pictureId);
  ~zelvproSliderButton() override;

  // The press loop.
  bool IsDoubleClick(int32_t x, int32_t y) override;

  // The layer clock in ticks (60 per second).
  static uint32_t NowTicks();
  // Lets the clock reach the next tick without spinning.
  static void WaitOneTick();

 private:
  void Tell(int32_t command);
  void Redraw();
};
