#include "controls/PrintScaleChoice.h"

#include "foundation/TextsById.h"
#include "framework/ppDialog.h"

namespace controls {

namespace {
constexpr int32_t kSelf = ppDialog::kSelf;
}

void SelectScale(ppDialog& dialog, std::span<const ScaleRadio> radios, int32_t scale) {
  int32_t chosen = radios.front().item;
  for (const ScaleRadio& radio : radios) {
    if (radio.scale == scale) chosen = radio.item;
  }
  for (const ScaleRadio& radio : radios) {
    dialog.EnableItem(radio.item, kSelf);
    if (radio.item == chosen) {
      dialog.CheckItem(radio.item, kSelf);
    } else {
      dialog.UncheckItem(radio.item, kSelf);
    }
  }
  dialog.CheckItem(kPrintWindowItem, kSelf);
  dialog.UncheckItem(kFullReportItem, kSelf);
}

void TranslateTexts(ppDialog& dialog, int32_t captionId, std::span<const std::pair<int32_t, int32_t>> texts) {
  Vcon::WString text;
  dialog.GetTitle(text, 256);
  GetTextById(captionId, text);
  dialog.SetTitle(text);
  for (const auto& [item, id] : texts) {
    dialog.GetItemText(text, item, kSelf);
    GetTextById(id, text);
    dialog.SetItemText(text, item, kSelf);
  }
}

void PrintTypeCommand(ppDialog& dialog, std::span<const ScaleRadio> radios, int32_t id) {
  if (id == kPrintWindowItem) {
    for (const ScaleRadio& radio : radios) dialog.EnableItem(radio.item, kSelf);
  } else if (id == kFullReportItem) {
    for (const ScaleRadio& radio : radios) {
      dialog.DisableItem(radio.item, kSelf);
      if (radio.scale == 0) {
        dialog.CheckItem(radio.item, kSelf);
      } else {
        dialog.UncheckItem(radio.item, kSelf);
      }
    }
  }
}

void ReadChoice(ppDialog& dialog, std::span<const ScaleRadio> radios, int32_t* scale, int32_t* fullReport) {
  for (const ScaleRadio& radio : radios) {
    if (dialog.IsItemChecked(radio.item, kSelf)) *scale = radio.scale;
  }
  *fullReport = dialog.IsItemChecked(kPrintWindowItem, kSelf) ? 0 : 1;
}

}  // namespace controls
