// What the metric and inch print-setup dialogs share: the scale radios with their scales, the texts
// by number, selecting the caller's choice, the two print-type commands and reading the answer.
// User-interface thread only.
#pragma once

#include <cstdint>
#include <span>
#include <utility>

class ppDialog;

namespace controls {

inline constexpr int32_t kPrintWindowItem = 1542;
inline constexpr int32_t kFullReportItem = 1543;
inline constexpr int32_t kFitToPaperItem = 1229;

// One scale radio: its item and the scale it stands for (0: fit to paper).
struct ScaleRadio {
  int32_t item;
  int32_t scale;
};

// Checks the radio of `scale` (the first, fit to paper, for any scale without one) and "Print window";
// the radios start enabled.
void SelectScale(ppDialog& dialog, std::span<const ScaleRadio> radios, int32_t scale);
// The caption and each (item, text number) pair: looked up in the current language with the
// template's text as the fallback.
void TranslateTexts(ppDialog& dialog, int32_t captionId, std::span<const std::pair<int32_t, int32_t>> texts);
// "Print window" enables the scale radios; "Print full report" disables them and checks fit to paper.
void PrintTypeCommand(ppDialog& dialog, std::span<const ScaleRadio> radios, int32_t id);
// Stores the checked radio's scale (left alone when none is checked) and the full-report flag.
void ReadChoice(ppDialog& dialog, std::span<const ScaleRadio> radios, int32_t* scale, int32_t* fullReport);

}  // namespace controls
