#pragma once
// The print dialog behind PrintDlg: the layer's one printer, the number of copies (1 to 999) and the
// orientation. PD_RETURNDEFAULT answers the printer's settings without showing anything; PD_RETURNDC
// also gives a context on a blank page of the printer (A4, turned with the orientation), which the
// caller deletes with DeleteDC.

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

 private:
  static DialogTemplate Layout();
  void Finish();

  PRINTDLGA& info_;
  int32_t copies_ = 1;
  int16_t orientation_ = DMORIENT_PORTRAIT;
};

}  // namespace plat
