#include "exchange/qxAlertDialog.h"

#include "controls/ppConfigPanel.h"
#include "controls/ppTextField.h"
#include "exchange/ServerDialogParent.h"

qxAlertDialog::qxAlertDialog(ppView* parent, const Vcon::WString& text, int32_t textId)
    : qxServerDialog(ServerDialogParent(parent), false), text_(text), textId_(textId) {}

void qxAlertDialog::OnInitDialog() {
  textField_ = nullptr;
  if (!BuildFrame(kWidth, kHeight, kTitleText, nullptr, 3)) return;
  ppConfigPanel* panel = MakePanelArea({30, 65, 330, 135});
  textField_ = new ppTextField(panel, nullptr);
  textField_->SetMargins(10, 10, 10, 0);
  textField_->SetText(text_, textId_);
  panel->AddField(textField_);
  PlacePanel(panel);
  // OK at 35 to 105 from the left, 29 to 10 above the bottom; Cancel 80 further right.
  MakeButton({35, kHeight - 29, 105, kHeight - 10}, kAccept, u"OK", kOkText);
  MakeButton({115, kHeight - 29, 185, kHeight - 10}, kCancel, u"Cancel", kCancelText);
  TargetDialog();
}
