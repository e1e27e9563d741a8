#include "framework/ppButton.h"

#include "foundation/ProcessServices.h"
#include "framework/NoMouseButtonPending.h"
#include "framework/ppApplication.h"
#include "framework/ppCursorTable.h"
#include "framework/ppDC.h"
#include "framework/ppPicture.h"
#include "platform/WindowApi.h"

namespace {

ppPicture* StatePicture(int32_t pictureId, int32_t state) {
  return gApplication ? gApplication->GetPictureAt(pictureId, state) : nullptr;
}

}  // namespace

void WaitForMouseButton() {
  while (NoMouseButtonPending()) {
    // Nothing at all queued: wait for input instead of spinning.
    plat::WaitMessage();
  }
}

ppButton::ppButton(ppView* supervisor, const plat::RECT* frame, int32_t pictureId, int8_t horizontal,
                   int8_t vertical, int32_t kind)
    : ppView(supervisor, horizontal, vertical),
      pictureId_(pictureId),
      initialPictureId_(pictureId),
      kind_(kind) {
  plat::RECT r = frame ? *frame : plat::RECT{0, 0, 5, 5};
  if (!frame) {
    ppPicture* picture = StatePicture(pictureId, kNormal);
    if (picture && !picture->IsEmpty()) r = {0, 0, picture->GetWidth(), picture->GetHeight()};
  }
  SetFrame(r);
}

ppButton::~ppButton() { *alive_ = false; }

void ppButton::SetState(int32_t state) {
  if (state != state_) Invalidate();
  state_ = state;
}

void ppButton::SetDefaultCursor() { ppCursorTable::SetGlobalDefault(); }

void ppButton::Unhighlight() {
  if (state_ == kHighlighted) SetState(kNormal);
}

void ppButton::Highlight() {
  if (state_ == kNormal) SetState(kHighlighted);
}

void ppButton::DrawContent(ppDC& dc) {
  ppPicture* picture = StatePicture(pictureId_, state_);
  if (!picture) return;
  plat::RECT r;
  GetWindowFrame(&r);
  picture->DrawClipped(dc, r);
}

void ppButton::DrawNow() {
  plat::HWND window = GetHWND();
  if (!window || !plat::IsWindow(window)) return;
  ppDC dc(window);
  if (dc.GetHDC()) DrawContent(dc);
}

bool ppButton::SendPressed() {
  std::shared_ptr<bool> alive = alive_;
  DoCommand(kPressedCommand, reinterpret_cast<intptr_t>(this));
  return *alive;
}

bool ppButton::IsDoubleClick(int32_t, int32_t) {
  plat::SetFocus(GetHWND());
  switch (kind_) {
    case kToggle:
      PressToggle();
      break;
    case kPushKeepingState:
      PressKeepingState();
      break;
    default:
      PressPush();
      break;
  }
  return true;
}

void ppButton::PressPush() {
  if (state_ == kDisabled) return;
  state_ = kPressed;
  DrawNow();
  WaitForMouseButton();
  state_ = kHighlighted;
  if (SendPressed()) DrawNow();
}

void ppButton::PressToggle() {
  if (state_ == kNormal || state_ == kHighlighted) {
    int32_t after = state_ == kNormal ? kHighlighted : kNormal;
    state_ = kPressed;
    DrawNow();
    WaitForMouseButton();
    state_ = after;
  }
  // A disabled toggle still reports the press, unchanged.
  std::shared_ptr<bool> alive = alive_;
  if (ppView* supervisor = GetSupervisor())
    supervisor->DoCommand(kPressedCommand, reinterpret_cast<intptr_t>(this));
  if (*alive) DrawNow();
}

void ppButton::PressKeepingState() {
  if (state_ == kDisabled) return;
  int32_t before = state_;
  state_ = kPressed;
  DrawNow();
  WaitForMouseButton();
  state_ = before;
  if (SendPressed()) DrawNow();
}
