// The in-place editor of an editable grid's selected cell: a single-page configurator with one
// ppGridConfigPanel holding one borderless, single-line edit text field bound to the cell through
// a ppGridDataUnit. Tab and Return commit and ask the grid for the next cell, with Shift the
// previous one. The grid body owns the editor; the editor owns its panel and, through it, the field.
// User-interface thread only.
#pragma once

#include <cstdint>

#include "controls/ppConfigurator.h"

class iProperty;
class ppGridEditField;
class ppValidator;

class ppGridEditTextField : public ppConfigurator {
 public:
  // `frame` in the body's coordinates; the field takes the keyboard focus with its text selected.
  // `validator` (may be null, not owned) checks the typed text before it is written.
  ppGridEditTextField(ppView* body, const plat::RECT& frame, iProperty* source,
                      const Vcon::String& columnName, int32_t row, ppValidator* validator = nullptr);
  ~ppGridEditTextField() override;

  // The text in the edit control now, as a text value (typed but not yet committed included).
  void GetValue(ppParameter& out);
  ppGridEditField* Field() const { return field_; }

 private:
  ppGridEditField* field_ = nullptr;  // owned through the panel
};
