#pragma once
// The exchange's question: a text with OK (1) and Cancel (2). Escape or the window's own cancel also
// gives 2. The title is text 7420 in the current language, or the template's caption "Dialog".
// User-interface thread only.

#include <cstdint>

#include "exchange/qxServerDialog.h"
#include "foundation/VconString.h"

class ppTextField;
class ppView;

class qxAlertDialog : public qxServerDialog {
 public:
  static constexpr int32_t kTitleText = 7420;
  static constexpr int32_t kWidth = 300;
  static constexpr int32_t kHeight = 190;

  // Over `parent`'s window (the active window when `parent` is null or has none). `text` is the
  // English question, replaced by text `textId` in the current language when that is not 0 and has one.
  qxAlertDialog(ppView* parent, const Vcon::WString& text, int32_t textId);

  void OnInitDialog() override;

  // The text field of the running dialog; null before the first run's initialisation.
  ppTextField* TextField() const { return textField_; }

 protected:
  void ForgetViews() override { textField_ = nullptr; }

 private:
  Vcon::WString text_;
  int32_t textId_;
  ppTextField* textField_ = nullptr;  // owned by the content view
};
