#include "controls/zelvproMetricScaleDialog.h"

#include <utility>

#include "controls/PrintScaleChoice.h"

namespace {

constexpr controls::ScaleRadio kRadios[] = {{zelvproMetricScaleDialog::kFitToPaper, 0},
                                            {zelvproMetricScaleDialog::kOneTo20, 20},
                                            {zelvproMetricScaleDialog::kOneTo50, 50}};
// The caption shares its text with the inch dialog's ("Print Setup"), not with the scale group.
constexpr int32_t kCaptionText = 6192;
constexpr std::pair<int32_t, int32_t> kTexts[] = {{zelvproMetricScaleDialog::kTypeGroup, 6185},
                                                  {zelvproMetricScaleDialog::kScaleGroup, 6187},
                                                  {zelvproMetricScaleDialog::kFitToPaper, 6188},
                                                  {zelvproMetricScaleDialog::kOneTo20, 6248},
                                                  {zelvproMetricScaleDialog::kOneTo50, 6189},
                                                  {zelvproMetricScaleDialog::kPrintWindow, 6249},
                                                  {zelvproMetricScaleDialog::kFullReport, 6250},
                                                  {1, 1000},
                                                  {2, 1001}};

}  // namespace

zelvproMetricScaleDialog::zelvproMetricScaleDialog(plat::HWND owner, int32_t* scale, int32_t* fullReport)
    : ppDialog(kTemplate, owner), scale_(scale), fullReport_(fullReport) {
  *fullReport_ = 0;
}

void zelvproMetricScaleDialog::OnInitDialog() { controls::SelectScale(*this, kRadios, *scale_); }

void zelvproMetricScaleDialog::AfterInitDialog() { controls::TranslateTexts(*this, kCaptionText, kTexts); }

bool zelvproMetricScaleDialog::ValidateOK() {
  controls::ReadChoice(*this, kRadios, scale_, fullReport_);
  return ppDialog::ValidateOK();
}

void zelvproMetricScaleDialog::Command(int32_t id, int32_t) {
  controls::PrintTypeCommand(*this, kRadios, id);
}
