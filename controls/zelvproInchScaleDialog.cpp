#include "controls/zelvproInchScaleDialog.h"

#include <utility>

#include "controls/PrintScaleChoice.h"

namespace {

constexpr controls::ScaleRadio kRadios[] = {{controls::kFitToPaperItem, 0},
                                            {zelvproInchScaleDialog::kQuarterInch, 48}};
constexpr int32_t kCaptionText = 6192;
// The group boxes keep their template texts.
constexpr std::pair<int32_t, int32_t> kTexts[] = {{controls::kFitToPaperItem, 6188},
                                                  {zelvproInchScaleDialog::kQuarterInch, 6194},
                                                  {controls::kPrintWindowItem, 6249},
                                                  {controls::kFullReportItem, 6250},
                                                  {1, 1000},
                                                  {2, 1001}};

}  // namespace

zelvproInchScaleDialog::zelvproInchScaleDialog(plat::HWND owner, int32_t* scale, int32_t* fullReport)
    : ppDialog(kTemplate, owner), scale_(scale), fullReport_(fullReport) {
  *fullReport_ = 0;
}

void zelvproInchScaleDialog::OnInitDialog() { controls::SelectScale(*this, kRadios, *scale_); }

void zelvproInchScaleDialog::AfterInitDialog() { controls::TranslateTexts(*this, kCaptionText, kTexts); }

bool zelvproInchScaleDialog::ValidateOK() {
  controls::ReadChoice(*this, kRadios, scale_, fullReport_);
  return ppDialog::ValidateOK();
}

void zelvproInchScaleDialog::Command(int32_t id, int32_t) { controls::PrintTypeCommand(*this, kRadios, id); }
