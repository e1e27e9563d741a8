#include "exchange/qxServerLoginDialog.h"

#include "controls/ppConfigPanel.h"
#include "controls/ppEditTextField.h"
#include "controls/ppTextField.h"
#include "exchange/ServerDialogParent.h"
#include "exchange/qxStringDataUnit.h"
#include "foundation/ShellOpen.h"
#include "foundation/TextsById.h"

namespace {

constexpr int32_t kCaptionColumn = 80;  // pixels

}  // namespace

qxServerLoginDialog::qxServerLoginDialog(ppView* parent, Vcon::WString* userName, Vcon::WString* password,
                                         const Vcon::WString& registerLink)
    : qxServerDialog(ServerDialogParent(parent), true),
      userNameTarget_(userName),
      passwordTarget_(password),
      registerLink_(registerLink) {
  if (userName != nullptr) userName_ = *userName;
  if (password != nullptr) password_ = *password;
}

void qxServerLoginDialog::OnInitDialog() {
  ForgetViews();
  if (!BuildFrame(kWidth, kHeight, kTitleText, u"Log in to Server", 5)) return;
  // The split between the explanation at the left and the input at the right.
  const int32_t split = (kWidth - 2) / 2;

  ppConfigPanel* explanation = MakePanelArea({0, 65, split, kHeight - 40});
  const std::pair<int32_t, const char16_t*> lines[] = {{7438, u"Her goes an explanation..."},
                                                       {7439, u"More explanation..."}};
  for (const auto& [id, english] : lines) {
    auto* line = new ppTextField(explanation, nullptr);
    line->SetMargins(5, 10, 10, 0);
    line->SetText(english, id);
    explanation->AddField(line);
  }

  ppConfigPanel* input = MakePanelArea({split + 4, 25, kWidth + 10, kHeight - 67});
  auto* hint = new ppTextField(input, nullptr);
  hint->SetMargins(10, 10, 10, 20);
  hint->SetText(u"Type user name and password...", 7437);
  input->AddField(hint);
  auto makeField = [&](Vcon::WString* copy, const char16_t* caption, int32_t captionId, int32_t length) {
    auto* field = new ppEditTextField(input, new qxStringDataUnit(copy), std::string(), 1, false);
    field->SetMargins(10, 10, 20, 0);
    field->SetColumnWidth(kCaptionColumn);
    field->SetText(caption, captionId);
    field->SetMaxLength(length);
    input->AddField(field);
    return field;
  };
  userNameField_ = makeField(&userName_, u"User name:", 7435, kUserNameLength);
  passwordField_ = makeField(&password_, u"Password:", 7436, kPasswordLength);
  passwordField_->SetPasswordMode();

  MakeButton({kWidth - 80, kHeight - 56, kWidth - 10, kHeight - 37}, kAccept, u"Log in", 7430);
  MakeButton({kWidth - 80, kHeight - 30, kWidth - 10, kHeight - 11}, kCancel, u"Cancel", kCancelText);
  MakeButton({split - 90, kHeight - 30, split - 20, kHeight - 11}, kExtra, u"Register", 7431);

  PlacePanel(explanation);
  PlacePanel(input);
  TargetDialog();
  inputPanel_ = input;
  input->SetFocusTo(userNameField_);  // takes the keyboard focus and selects the whole name
  SetFirstFocus(userNameField_->EditControl());
}

bool qxServerLoginDialog::ValidateOK() {
  // "Log in" pressed while the caret is still in a field: what was typed there counts.
  if (inputPanel_ != nullptr) {
    if (auto* focused = dynamic_cast<ppEditTextField*>(inputPanel_->GetFocusedField()))
      focused->CommitInput();
  }
  if (userNameTarget_ != nullptr) *userNameTarget_ = userName_;
  if (passwordTarget_ != nullptr) *passwordTarget_ = password_;
  return true;
}

void qxServerLoginDialog::ExtraAction() {
  Vcon::WString link = registerLink_;
  GetTextById(kRegisterLinkText, link);
  Vcon::WString command(u"open \"");
  command += link;
  command += u"\"";
  ShellExecuteCommand(command, GetWindow());
}

void qxServerLoginDialog::ForgetViews() {
  inputPanel_ = nullptr;
  userNameField_ = nullptr;
  passwordField_ = nullptr;
}
