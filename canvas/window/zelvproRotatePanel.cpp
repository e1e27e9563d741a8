#include "canvas/window/zelvproRotatePanel.h"

#include "controls/ppConfigPanel.h"
#include "controls/ppConfigurator.h"
#include "controls/ppEditTextField.h"
#include "elements/base/RotationStep.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproElement.h"
#include "framework/ToolTipControl.h"
#include "framework/ppButton.h"
#include "framework/ppPropertyDataUnit.h"

namespace {

constexpr int32_t kTipList = 2013;
// Radians per degree, as the step has always been read and written.
constexpr float kDegreesFromRadians = 0.017453292f;
constexpr double kRadiansPerDegree = 0.01745329238474369;

ppButton* MakeButton(ppView* panel, const plat::RECT& frame, int32_t id) {
  auto* button = new ppButton(panel, &frame, id, ppView::kStay, ppView::kStay, ppButton::kPush);
  button->SetCommandId(id);
  return button;
}

}  // namespace

zelvproRotatePanel::zelvproRotatePanel(ppView* supervisor, const plat::RECT& frame)
    : ppView(supervisor, kStay, kMove) {
  SetFrame(frame);
  const int32_t w = Width(), h = Height();
  clockwise_ = MakeButton(this, {0, 0, 24, h}, kClockwiseButton);
  counterclockwise_ = MakeButton(this, {30, 0, 54, h}, kCounterclockwiseButton);

  // One page without a tab: a tab row would push the field below the panel's 25 pixels, over the
  // element palette under the editor.
  configurator_ = new ppConfigurator(this, {63, 2, w, h}, nullptr, true);
  configurator_->SetBinding(kStay, kMove);  // with the panel's bottom edge, like the panel itself
  auto* panel = new ppConfigPanel(configurator_);
  field_ = new ppEditTextField(panel, new ppPropertyDataUnit(this, kRotationProperty, true), std::string(), 1,
                               false);
  field_->SetText(Vcon::WString(), 0);
  panel->AddField(field_);
  configurator_->AddPanel(panel);
  configurator_->PlaceTabs();
  panel->Layout();
  field_->ShowValue(GetValue(0));
}

zelvproRotatePanel::~zelvproRotatePanel() = default;

void zelvproRotatePanel::Enable() {
  enabled_ = true;
  clockwise_->SetState(ppButton::kNormal);
  counterclockwise_->SetState(ppButton::kNormal);
  field_->MakeEditable();
}

void zelvproRotatePanel::Disable() {
  enabled_ = false;
  clockwise_->SetState(ppButton::kDisabled);
  counterclockwise_->SetState(ppButton::kDisabled);
  field_->MakeReadOnly();
}

void zelvproRotatePanel::FollowSelection(zelvproElement* topCanvas) {
  constexpr uint32_t kFixedInPlace = 2;
  qxViewHolder* chain = topCanvas != nullptr ? topCanvas->CollectSelection(nullptr, true) : nullptr;
  bool free = chain != nullptr;
  for (qxViewHolder* h = chain; h != nullptr && free; h = h->Next())
    if (h->Element() != nullptr && (h->Element()->flags & kFixedInPlace) != 0) free = false;
  delete chain;
  if (free)
    Enable();
  else
    Disable();
}

void zelvproRotatePanel::UpdateTexts() {
  ppView::UpdateTexts();
  RemoveToolTips();
  AddToolTips(0);
}

void zelvproRotatePanel::AddToolTips(uint32_t /*word*/) {
  ToolTipControl* tips = ToolTipControl::DocumentTips();
  if (tips == nullptr) return;
  plat::RECT r;
  clockwise_->GetWindowFrame(&r);
  tips->AddToolByTextId(this, kClockwiseButton, r, kTipList, kClockwiseTipEntry, kClockwiseTipText);
  counterclockwise_->GetWindowFrame(&r);
  tips->AddToolByTextId(this, kCounterclockwiseButton, r, kTipList, kCounterclockwiseTipEntry,
                        kCounterclockwiseTipText);
}

void zelvproRotatePanel::RemoveToolTips() {
  ToolTipControl* tips = ToolTipControl::DocumentTips();
  if (tips == nullptr) return;
  tips->RemoveTool(this, kClockwiseButton);
  tips->RemoveTool(this, kCounterclockwiseButton);
}

int32_t zelvproRotatePanel::IndexOf(const Vcon::String& name) {
  return name == kRotationProperty ? 0 : kNoProperty;
}

void zelvproRotatePanel::GetPropertyName(Vcon::String& out, int32_t index) {
  out = index == 0 ? Vcon::String(kRotationProperty) : Vcon::String();
}

ppParameter zelvproRotatePanel::GetValue(int32_t index) {
  if (index != 0) return ppParameter(0);
  return ppParameter(RotationStep() / kDegreesFromRadians);
}

void zelvproRotatePanel::SetValue(int32_t index, const ppParameter& value) {
  if (index != 0) return iProperty::SetValue(index, value);
  const float degrees = value.ToFloat();
  if (!(degrees > 0.0f && degrees < 360.0f)) return;
  SetRotationStep(static_cast<float>(degrees * kRadiansPerDegree));
}
