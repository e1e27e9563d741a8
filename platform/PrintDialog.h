#pragma once
// The print dialog behind PrintDlg: the layer's one printer, the number of copies (1 to 999), the
// orientation and the PDF file the pages go to (offered by OfferedPrintPath, changed by typing or
// through Browse; an existing file is replaced only when the user agrees). PD_RETURNDEFAULT answers the
// printer's settings without showing anything; PD_RETURNDC also gives a context on a blank page of the
// printer (the device mode's paper, turned with the orientation), which the caller deletes with
// DeleteDC.

#include <string>

#include "platform/CommonDialogs.h"

namespace plat {

class PrintDialog {
 public:
  explicit PrintDialog(PRINTDLGA& info);
  bool Run();

  // For the dialog's procedure (OkCancelProc).
  static constexpr const char* kProperty = "printdialog.object";
  void Init(HWND dialog);
  bool Accept(HWND dialog);
  static INT_PTR Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static DialogTemplate Layout();
  void Finish();
  void Browse(HWND dialog);
  // The file named in the field as a full path with ".pdf" when it has no extension; empty when the
  // field is empty.
  static std::string ChosenFile(HWND dialog);

  PRINTDLGA& info_;
  int32_t copies_ = 1;
  int16_t orientation_ = DMORIENT_PORTRAIT;
  std::string output_;  // the chosen PDF file
};

}  // namespace plat
