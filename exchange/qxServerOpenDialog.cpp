#include "exchange/qxServerOpenDialog.h"

#include "catalogue/records/ServerDeleteRequest.h"
#include "controls/ppEditTextField.h"
#include "controls/ppGrid.h"
#include "controls/ppGridScroller.h"
#include "exchange/qxErrorMessage.h"
#include "platform/Controls.h"
#include "platform/WindowApi.h"

namespace {

// On the name field's edit control: its own procedure, and the dialog it hands keys to.
constexpr const char* kPreviousProc = "serveropenproc";
constexpr const char* kDialog = "serveropendialog";

bool IsDialogKey(plat::WPARAM key) {
  return key == plat::WPARAM(plat::VK_RETURN) ||
         (key >= plat::WPARAM(plat::VK_LEFT) && key <= plat::WPARAM(plat::VK_DOWN));
}

}  // namespace

qxServerOpenDialog::qxServerOpenDialog(ppView* parent, Vcon::WString* fileName, ServerFileList* files)
    : qxServerFileDialog(parent, fileName, files) {}

void qxServerOpenDialog::OnInitDialog() {
  if (!BuildFileDialog({kTitleText, u"Open from Server", 7427, u"Open", 7443})) return;
  if (NameField() != nullptr) {
    NameField()->MakeReadOnly();
    if (plat::HWND edit = NameField()->EditControl()) {
      const auto previous =
          plat::SetWindowLongPtrA(edit, plat::GWLP_WNDPROC, reinterpret_cast<plat::LONG_PTR>(&NameKeysProc));
      plat::SetPropA(edit, kPreviousProc, reinterpret_cast<void*>(previous));
      plat::SetPropA(edit, kDialog, this);
    }
  }
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
  // No file shown (an empty list, or right after a delete): there is nothing to ask the server to
  // delete, and a request without a name must never reach it.
  if (NameCopy().empty()) return;
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

plat::LRESULT qxServerOpenDialog::NameKeysProc(plat::HWND window, plat::UINT message, plat::WPARAM wParam,
                                               plat::LPARAM lParam) {
  auto previous = reinterpret_cast<plat::WNDPROC>(plat::GetPropA(window, kPreviousProc));
  if (previous == nullptr) return plat::DefWindowProcA(window, message, wParam, lParam);
  auto* dialog = static_cast<qxServerOpenDialog*>(plat::GetPropA(window, kDialog));
  switch (message) {
    case plat::WM_NCDESTROY:
      plat::RemovePropA(window, kPreviousProc);
      plat::RemovePropA(window, kDialog);
      plat::SetWindowLongPtrA(window, plat::GWLP_WNDPROC, reinterpret_cast<plat::LONG_PTR>(previous));
      return plat::CallWindowProcA(previous, window, message, wParam, lParam);
    case plat::WM_GETDLGCODE: {
      // Enter must reach the control (and so the dialog) rather than the dialog manager's default.
      const auto* msg = reinterpret_cast<const plat::MSG*>(lParam);
      plat::LRESULT result = plat::CallWindowProcA(previous, window, message, wParam, lParam);
      if (msg != nullptr && msg->message == plat::WM_KEYDOWN && IsDialogKey(msg->wParam))
        result |= plat::DLGC_WANTALLKEYS;
      return result;
    }
    case plat::WM_KEYDOWN:
      if (dialog != nullptr && IsDialogKey(wParam)) {
        dialog->KeyDown(static_cast<signed char>(wParam & 0xFF), 0);
        return 0;
      }
      break;
    default:
      break;
  }
  return plat::CallWindowProcA(previous, window, message, wParam, lParam);
}
