// The edit text field inside a grid cell editor. Its commit (Tab, Return, or the grid closing the
// editor) first asks the column's validator: a refused text is neither written nor left, so Tab and
// Return stay in the cell; an accepted one is shown (possibly replaced) and written. Losing the
// focus commits only without a validator: a validator may open a modal pick list, which itself
// takes the focus, so validated cells are checked when the grid closes the editor instead.
// Inside a dialog the edit control asks the dialog for Tab and Return, so they move between cells
// rather than between the dialog's items or to its default button.
// User-interface thread only.
#pragma once

#include "controls/ppEditTextField.h"
#include "platform/WindowTypes.h"

class ppValidator;

class ppGridEditField : public ppEditTextField {
 public:
  // `validator` may be null; not owned.
  ppGridEditField(ppView* panel, ppDataUnit* unit, ppValidator* validator);

  bool CommitInput() override;
  void LoseFocus() override;

  ppValidator* Validator() const { return validator_; }

 protected:
  // Tab and Return.
  bool KeepsInDialog(int32_t key) const override;

 private:
  ppValidator* validator_;
  bool committing_ = false;   // inside CommitInput (a pick list may be open)
  bool losingFocus_ = false;  // inside LoseFocus
};
