// The print setup for imperial units: what to print, and fit to paper (0) or a quarter inch to the
// foot (48). Otherwise as zelvproMetricScaleDialog. User-interface thread only.
#pragma once

#include <cstdint>

#include "framework/ppDialog.h"

class zelvproInchScaleDialog : public ppDialog {
 public:
  static constexpr int32_t kTemplate = 1131;
  static constexpr int32_t kQuarterInch = 1231;

  // `scale` and `fullReport` belong to the caller and must outlive the dialog.
  zelvproInchScaleDialog(plat::HWND owner, int32_t* scale, int32_t* fullReport);

  void OnInitDialog() override;
  void AfterInitDialog() override;
  bool ValidateOK() override;
  void Command(int32_t id, int32_t page) override;

 private:
  int32_t* scale_;
  int32_t* fullReport_;
};
