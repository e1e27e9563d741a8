#pragma once
// The page set-up dialog behind PageSetupDlg: the paper size, the four margins in millimetres (whole
// or with up to two decimals) and the orientation. The record's margins and paper are in hundredths
// of a millimetre with PSD_INHUNDREDTHSOFMILLIMETERS and thousandths of an inch otherwise; the paper
// is the device mode's (dmPaperSize), turned with the orientation. A margin that is not a number, or
// leaves no paper on the chosen sheet, is refused with a beep and the focus on its field.

#include "platform/CommonDialogs.h"

namespace plat {

class PageSetupDialog {
 public:
  explicit PageSetupDialog(PAGESETUPDLGA& info);
  bool Run();

  // For the dialog's procedure (OkCancelProc).
  static constexpr const char* kProperty = "pagesetupdialog.object";
  void Init(HWND dialog);
  bool Accept(HWND dialog);

  // "12.5" -> 1250 hundredths of a millimetre; false for anything but a number of millimetres from
  // 0 to 1000 with at most two decimals.
  static bool ParseMillimetres(const std::u16string& text, int32_t& hundredths);
  static std::u16string FormatMillimetres(int32_t hundredths);

 private:
  static DialogTemplate Layout();
  int32_t ToHundredths(int32_t value) const;
  int32_t FromHundredths(int32_t value) const;
  void FillPaper();
  // The paper selected in the list; the record's paper when none is.
  const PaperSize& ChosenPaper(HWND dialog) const;

  PAGESETUPDLGA& info_;
  int32_t margins_[4] = {2500, 2500, 2500, 2500};  // left, top, right, bottom; hundredths of a millimetre
  int16_t orientation_ = DMORIENT_PORTRAIT;
  int16_t paper_ = DMPAPER_A4;  // a code of PaperSizes
};

}  // namespace plat
