#include "controls/ppGridEditField.h"

#include "controls/ppValidator.h"
#include "platform/Controls.h"
#include "platform/WindowApi.h"

ppGridEditField::ppGridEditField(ppView* panel, ppDataUnit* unit, ppValidator* validator)
    : ppEditTextField(panel, unit, std::string(), 1, false), validator_(validator) {}

bool ppGridEditField::KeepsInDialog(int32_t key) const {
  return key == plat::VK_TAB || key == plat::VK_RETURN;
}

bool ppGridEditField::CommitInput() {
  if (!IsEdited()) return true;
  if (validator_ == nullptr) return ppEditTextField::CommitInput();
  // The pick list a validator opens takes the focus; that loss must not validate a second time.
  if (committing_ || losingFocus_) return true;
  committing_ = true;
  ppParameter value = GetControlValue();
  const bool accepted = validator_->Validate(value, this);
  if (accepted) {
    ShowValue(value);
    ppEditTextField::CommitInput();
  } else if (EditControl() != nullptr && plat::GetFocus() != EditControl()) {
    // A cancelled pick list handed the focus back to its owner window: the user goes on typing here.
    plat::SetFocus(EditControl());
  }
  committing_ = false;
  return accepted;
}

void ppGridEditField::LoseFocus() {
  losingFocus_ = true;
  ppEditTextField::LoseFocus();
  losingFocus_ = false;
}
