#include "exchange/qxServerOpenDialog.h"

#include "catalogue/records/ServerDeleteRequest.h"
#include "controls/ppEditTextField.h"
#include "controls/ppGrid.h"
#include "controls/ppGridScroller.h"
#include "exchange/qxErrorMessage.h"
#include "platform/WindowApi.h"

qxServerOpenDialog::qxServerOpenDialog(ppView* parent, Vcon::WString* fileName, ServerFileList* files)
    : qxServerFileDialog(parent, fileName, files) {}

void qxServerOpenDialog::OnInitDialog() {
  if (!BuildFileDialog({kTitleText, u"Open from Server", 7427, u"Open", 7443})) return;
  if (NameField() != nullptr) NameField()->MakeReadOnly();
  // Below the list's left end, 20 pixels high.
  MakeButton({8, 312, 78, 332}, kExtra, u"Delete", kDeleteText);
  FocusGrid();
}

void qxServerOpenDialog::KeyDown(signed char key, int32_t flags) {
  if (key == plat::VK_RETURN) {
    if (ValidateOK()) EndWith(kAccept);
    return;
  }
  if (key == plat::VK_ESCAPE || (key >= plat::VK_LEFT && key <= plat::VK_DOWN))
    qxServerFileDialog::KeyDown(key, flags);
}

int32_t qxServerOpenDialog::NameMessage() const { return ppGridScroller::kSelectionMessage; }

void qxServerOpenDialog::ExtraAction() {
  ServerDeleteRequest request;
  request.fileName = NameCopy();
  request.fileList = files_;
  Broadcast(kDeleteChannel, kDeleteMessage, reinterpret_cast<intptr_t>(&request));
  if (request.resultTextId != 0) {
    ShowErrorMessage(GetWindow(), request.resultTextId, request.messageSuffix);
  } else {
    // The new list after a delete, or the same one when the user declined.
    files_ = request.fileList;
  }
  RebuildRows();
  EmptyName();
  if (Grid() != nullptr) Grid()->UpdateLayout();
}
