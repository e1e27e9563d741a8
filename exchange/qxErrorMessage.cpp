#include "exchange/qxErrorMessage.h"

#include "controls/ppConfigPanel.h"
#include "controls/ppTextField.h"
#include "foundation/TextsById.h"

qxErrorMessage::qxErrorMessage(plat::HWND parent, int32_t titleTextId, const Vcon::WString& message)
    : qxServerDialog(parent, false), titleTextId_(titleTextId), message_(message) {}

Vcon::WString qxErrorMessage::ShownText() const {
  // The English default keeps its old spelling: the string database replaces it.
  Vcon::WString text(u"An error occured");
  GetTextById(titleTextId_, text);
  text += message_;
  return text;
}

void qxErrorMessage::OnInitDialog() {
  textField_ = nullptr;
  if (!BuildFrame(kWidth, kHeight, kTitleText, u"Error", 3)) return;
  ppConfigPanel* panel = MakePanelArea({10, 65, 310, 135});
  textField_ = new ppTextField(panel, nullptr);
  textField_->SetMargins(10, 10, 10, 0);
  textField_->SetText(ShownText(), 0);
  panel->AddField(textField_);
  PlacePanel(panel);
  MakeButton({kWidth - 80, kHeight - 29, kWidth - 10, kHeight - 10}, kAccept, u"OK", kOkText);
  TargetDialog();
}

void ShowErrorMessage(plat::HWND parent, int32_t titleTextId, const Vcon::WString& message) {
  qxErrorMessage dialog(parent, titleTextId, message);
  dialog.RunModal();
}
