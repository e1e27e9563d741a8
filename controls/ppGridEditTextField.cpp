#include "controls/ppGridEditTextField.h"

#include "controls/ppGridEditField.h"
#include "controls/ppGridConfigPanel.h"
#include "controls/ppGridDataUnit.h"

ppGridEditTextField::ppGridEditTextField(ppView* body, const plat::RECT& frame, iProperty* source,
                                         const Vcon::String& columnName, int32_t row, ppValidator* validator)
    : ppConfigurator(body, frame, nullptr, true) {
  auto* panel = new ppGridConfigPanel(this);
  AddPanel(panel);
  // No message names: the field broadcasts nothing when its value changes.
  field_ = new ppGridEditField(panel, new ppGridDataUnit(source, columnName, row), validator);
  panel->AddField(field_);
  PlaceTabs();
  // The cell's value shows at once, so typing before the next paint replaces it.
  field_->ShowValue(field_->GetValue());
  field_->TakeFocus();
}

ppGridEditTextField::~ppGridEditTextField() = default;

void ppGridEditTextField::GetValue(ppParameter& out) {
  out = field_ != nullptr ? field_->GetControlValue() : ppParameter();
}
