// Asks, before the plan is printed, what to print (the window or the full report) and at which
// scale, for metric units: fit to paper (0), 1:20 or 1:50. The answers go to the caller's variables
// on OK; the full-report flag is cleared when the dialog is made, so Cancel leaves it 0.
// User-interface thread only.
#pragma once

#include <cstdint>

#include "framework/ppDialog.h"

class zelvproMetricScaleDialog : public ppDialog {
 public:
  static constexpr int32_t kTemplate = 1130;
  // Items shared with the inch dialog.
  static constexpr int32_t kPrintWindow = 1542;
  static constexpr int32_t kFullReport = 1543;
  static constexpr int32_t kTypeGroup = 1535;
  static constexpr int32_t kScaleGroup = 1534;
  static constexpr int32_t kFitToPaper = 1229;
  static constexpr int32_t kOneTo20 = 1235;
  static constexpr int32_t kOneTo50 = 1232;

  // `scale` and `fullReport` belong to the caller and must outlive the dialog.
  zelvproMetricScaleDialog(plat::HWND owner, int32_t* scale, int32_t* fullReport);

  void OnInitDialog() override;
  void AfterInitDialog() override;
  bool ValidateOK() override;
  void Command(int32_t id, int32_t page) override;

 private:
  int32_t* scale_;
  int32_t* fullReport_;
};
