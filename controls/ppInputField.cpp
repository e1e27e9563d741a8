#include "controls/ppInputField.h"

#include "controls/ControlsDrawing.h"
#include "foundation/TextReference.h"
#include "foundation/TextsById.h"
#include "framework/ppDC.h"

namespace {
// A caption is measured in a box this large (pixels), so that it never wraps.
constexpr int32_t kMeasureWidth = 10000;
constexpr int32_t kMeasureHeight = 1000;
// Space between the caption and the value area, pixels.
constexpr int32_t kCaptionGap = 5;
}  // namespace

ppInputField::ppInputField(ppView* parent, ppDataUnit* unit, const std::string& names)
    : ppField(parent, unit, names) {}

void ppInputField::ColumnWidthChanged(int32_t) { LayoutAt(0); }

void ppInputField::SetText(const Vcon::WString& text, int32_t textId) {
  caption_ = ResolveTextRef(text);
  if (textId != 0) GetTextById(textId, caption_);
  MeasureCaption();
}

void ppInputField::SetColumnWidth(int32_t width) {
  columnWidth_ = width;
  ColumnWidthChanged(width);
}

void ppInputField::MeasureCaption() {
  captionWidth_ = controls::MeasureDefaultText(caption_, kMeasureWidth, kMeasureHeight) + kCaptionGap;
  ColumnWidthChanged(captionWidth_);
}

void ppInputField::DrawContent(ppDC& dc) {
  if (caption_.empty()) return;
  if (ppView* supervisor = GetSupervisor()) {
    plat::RECT clip;
    supervisor->GetWindowFrame(&clip);
    dc.ClipToRect(clip);
  }
  plat::RECT frame;
  GetWindowFrame(&frame);
  const int32_t left = frame.left + indent_;
  const plat::RECT rect{left, frame.top - 1, left + CaptionColumn(), frame.bottom};
  // The menu text colour of the system: black.
  controls::DrawDefaultText(dc, caption_, rect, ppRGBColor{0, 0, 0});
}

bool ppInputField::IsDoubleClick(int32_t, int32_t) { return false; }
