#include "calculation/zelvproCalculatorButtons.h"

#include "calculation/zelvproCalculatorList.h"
#include "framework/ToolTipControl.h"
#include "framework/ppButton.h"
#include "platform/ResetList.h"

namespace {

// Owned by the user-interface thread: the bar made last, cleared when it goes.
zelvproCalculatorButtons* gBar = nullptr;

[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("calculation: price list button bar", [] { gBar = nullptr; });

constexpr int8_t kKeepX = ppView::kStay, kFollowBottom = ppView::kMove;

}  // namespace

zelvproCalculatorButtons::zelvproCalculatorButtons(ppView* supervisor, const plat::RECT& frame)
    : ppView(supervisor, kKeepX, kFollowBottom) {
  gBar = this;
  SetFrame(frame);
  const int32_t height = frame.bottom - frame.top;
  for (int32_t i = 0; i < kButtonCount; ++i) {
    const plat::RECT r{i * kButtonStep, 0, i * kButtonStep + kButtonWidth, height};
    buttons_[size_t(i)] = new ppButton(this, &r, kButtons[size_t(i)].picture, kStay, kStay, ppButton::kPush);
  }
}

zelvproCalculatorButtons::~zelvproCalculatorButtons() {
  if (gBar == this) gBar = nullptr;
  RemoveToolTips();  // no tip may name a button that is gone
}

zelvproCalculatorButtons* zelvproCalculatorButtons::Current() { return gBar; }

void zelvproCalculatorButtons::DoCommand(int32_t command, intptr_t parameter) {
  if (command != ppButton::kPressedCommand) return;
  for (int32_t i = 0; i < kButtonCount; ++i) {
    ppButton* button = buttons_[size_t(i)];
    if (reinterpret_cast<intptr_t>(button) != parameter) continue;
    button->SetState(ppButton::kNormal);
    Broadcast(zelvproCalculatorList::kButtonChannel, kButtons[size_t(i)].message, 0);
    return;
  }
}

void zelvproCalculatorButtons::UpdateTexts() {
  ppView::UpdateTexts();
  RemoveToolTips();
  AddToolTips();
}

void zelvproCalculatorButtons::AddToolTips() {
  ToolTipControl* tips = ToolTipControl::DocumentTips();
  if (tips == nullptr) return;
  for (int32_t i = 0; i < kButtonCount; ++i) {
    const Entry& e = kButtons[size_t(i)];
    plat::RECT r;
    buttons_[size_t(i)]->GetWindowFrame(&r);
    tips->AddToolByTextId(this, e.picture, r, kTipWordList, e.entry, e.textId);
  }
}

void zelvproCalculatorButtons::RemoveToolTips() {
  ToolTipControl* tips = ToolTipControl::DocumentTips();
  if (tips == nullptr) return;
  for (const Entry& e : kButtons) tips->RemoveTool(this, e.picture);
}
