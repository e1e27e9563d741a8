#include "controls/zelvproWarningDialog.h"

#include "foundation/TextsById.h"
#include "platform/Dialog.h"

zelvproWarningDialog::zelvproWarningDialog(plat::HWND owner, int32_t captionId, int32_t messageId,
                                           int32_t cancelId, int32_t yesId, int32_t noId)
    : ppDialog(kTemplate, owner),
      captionId_(captionId),
      messageId_(messageId),
      cancelId_(cancelId),
      yesId_(yesId),
      noId_(noId) {}

void zelvproWarningDialog::Translate(int32_t item, int32_t textId) {
  Vcon::WString text;
  GetItemText(text, item, kSelf);
  GetTextById(textId, text);
  SetItemText(text, item, kSelf);
}

void zelvproWarningDialog::AfterInitDialog() {
  Vcon::WString caption;
  GetTitle(caption, 256);
  GetTextById(captionId_, caption);
  SetTitle(caption);
  Translate(kMessageItem, messageId_);
  Translate(kCancelled, cancelId_);
  Translate(kYes, yesId_);
  Translate(kNo, noId_);
}

void zelvproWarningDialog::Command(int32_t id, int32_t) {
  if (id != kYes && id != kNo) return;
  SetResult(id);
  plat::EndDialog(GetWindow(), id);
}
