#pragma once
// The exchange's error message: the text of a title number (English default "An error occured")
// followed directly by the caller's message, and one OK button, which gives 1; Escape and the window's
// own cancel give 2. The dialog's title is text 7447, "Error" in English.
// User-interface thread only.

#include <cstdint>

#include "exchange/qxServerDialog.h"
#include "foundation/VconString.h"

class ppTextField;

class qxErrorMessage : public qxServerDialog {
 public:
  static constexpr int32_t kTitleText = 7447;
  static constexpr int32_t kWidth = 300;
  static constexpr int32_t kHeight = 190;

  qxErrorMessage(plat::HWND parent, int32_t titleTextId, const Vcon::WString& message);

  void OnInitDialog() override;

  // What the dialog shows: the title number's text and the message.
  Vcon::WString ShownText() const;
  // The text field of the running dialog; null before the first run's initialisation.
  ppTextField* TextField() const { return textField_; }

 protected:
  void ForgetViews() override { textField_ = nullptr; }

 private:
  int32_t titleTextId_;
  Vcon::WString message_;
  ppTextField* textField_ = nullptr;  // owned by the content view
};

// Shows `message` under the text of `titleTextId` in a modal error message over `parent`.
void ShowErrorMessage(plat::HWND parent, int32_t titleTextId, const Vcon::WString& message);
