#pragma once
// The colour dialog behind ChooseColor: 16 basic colours, the 16 custom colours of the caller, red,
// green and blue fields (0 to 255), a sample of the colour, and "Add to custom colours", which puts
// the colour into the next custom slot. The custom colours reach the caller's table when the user
// confirms; a cancel leaves the record as it was.

#include "platform/CommonDialogs.h"

namespace plat {

class ColorDialog {
 public:
  explicit ColorDialog(CHOOSECOLORA& info);
  bool Run();

 private:
  static INT_PTR Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  static DialogTemplate Layout();
  void Init(HWND dialog);
  void ShowColor(HWND dialog);
  void ReadFields(HWND dialog);
  void DrawSwatch(const DRAWITEMSTRUCT& item) const;
  COLORREF SwatchColor(int32_t id) const;

  CHOOSECOLORA& info_;
  COLORREF color_ = 0;
  COLORREF custom_[16] = {};
  int32_t nextCustom_ = 0;
  bool updating_ = false;  // the fields are being set from the colour: their changes are ours
};

}  // namespace plat
