#include "canvas/view3d/zelvproSliderButton.h"

#include "framework/NoMouseButtonPending.h"
#include "framework/ppDC.h"
#include "platform/LayerClock.h"
#include "platform/WindowApi.h"

zelvproSliderButton::zelvproSliderButton(ppView* slider, const plat::RECT& frame, int32_t pictureId)
    : ppButton(slider, &frame, pictureId, kStay, kStay, kPush) {}

zelvproSliderButton::~zelvproSliderButton() = default;

uint32_t zelvproSliderButton::NowTicks() { return uint32_t(uint64_t(plat::LayerClock::Now()) * 60u / 1000u); }

void zelvproSliderButton::WaitOneTick() {
  const uint64_t now = plat::LayerClock::Now();
  // The first millisecond of the next tick: ticks are 1000/60 ms, rounded up to whole milliseconds.
  const uint64_t next = ((now * 60u / 1000u + 1u) * 1000u + 59u) / 60u;
  plat::LayerClock::Wait(uint32_t(next - now));
}

void zelvproSliderButton::Tell(int32_t command) {
  if (ppView* slider = GetSupervisor()) slider->DoCommand(command, reinterpret_cast<intptr_t>(this));
}

void zelvproSliderButton::Redraw() {
  plat::HWND window = GetHWND();
  if (window == nullptr || !plat::IsWindow(window)) return;
  ppDC dc(window);
  if (dc.GetHDC()) DrawContent(dc);
}

bool zelvproSliderButton::IsDoubleClick(int32_t /*x*/, int32_t /*y*/) {
  if (GetState() == kDisabled) return true;
  SetState(kPressed);
  Redraw();
  Tell(kBegin);
  for (uint32_t i = 0; i < kFirstWaitTicks; ++i) WaitOneTick();
  if (!NoMouseButtonPending()) {
    Tell(kSingleStep);
  } else {
    do {
      WaitOneTick();
      Tell(kTimedStep);
    } while (NoMouseButtonPending());
  }
  Tell(kEnd);
  // A step that met the limit showed it (state 3): that look stays until the other button moves away.
  if (GetState() == kPressed) SetState(kNormal);
  Redraw();
  return true;
}
