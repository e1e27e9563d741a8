#pragma once
// Asks for the user name and password of the document server. The two fields edit copies of the
// caller's strings, taken when the dialog is made; "Log in" (1) writes the copies back, "Cancel" (2)
// and Escape leave the caller's strings alone. "Register" (3) opens the registration page through the
// desktop and keeps the dialog open with what was typed. Nothing typed is checked here: the server
// refuses what it does not know. Shown again after a failed attempt, the fields hold what was entered
// last. User-interface thread only.

#include <cstdint>

#include "exchange/qxServerDialog.h"
#include "foundation/VconString.h"

class ppConfigPanel;
class ppEditTextField;
class ppView;

class qxServerLoginDialog : public qxServerDialog {
 public:
  static constexpr int32_t kTitleText = 7432;
  static constexpr int32_t kRegisterLinkText = 7500;
  static constexpr int32_t kWidth = 500;
  static constexpr int32_t kHeight = 200;
  // Characters each field takes at most.
  static constexpr int32_t kUserNameLength = 100;
  static constexpr int32_t kPasswordLength = 30;

  // `userName` and `password` (not owned, may be null) outlive the dialog. `registerLink` is the
  // registration page's address (the application record's web site); text 7500 replaces it.
  qxServerLoginDialog(ppView* parent, Vcon::WString* userName, Vcon::WString* password,
                      const Vcon::WString& registerLink);

  void OnInitDialog() override;
  // Stores what was typed into the focused field, then writes both copies to the caller; always true.
  bool ValidateOK() override;

  // The fields of the running dialog; null outside a run.
  ppEditTextField* UserNameField() const { return userNameField_; }
  ppEditTextField* PasswordField() const { return passwordField_; }

 protected:
  void ExtraAction() override;
  void ForgetViews() override;

 private:
  Vcon::WString* userNameTarget_;  // not owned
  Vcon::WString* passwordTarget_;  // not owned
  Vcon::WString userName_;         // what the fields edit
  Vcon::WString password_;
  Vcon::WString registerLink_;
  ppConfigPanel* inputPanel_ = nullptr;  // owned by the content view, like the fields
  ppEditTextField* userNameField_ = nullptr;
  ppEditTextField* passwordField_ = nullptr;
};
