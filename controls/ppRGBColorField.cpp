#include "controls/ppRGBColorField.h"

#include <algorithm>
#include <memory>

#include "controls/ColorCode.h"
#include "controls/ControlsDrawing.h"
#include "controls/ppColorChooser.h"
#include "framework/ppBrushSaver.h"
#include "framework/ppButton.h"
#include "framework/ppDC.h"
#include "framework/ppDataUnit.h"
#include "framework/ppFrameAdorner.h"

namespace {
constexpr int32_t kFramePicture = 1100;
constexpr int32_t kCaptionFill = 1002, kCaptionText = 1003, kValueFill = 1006;
constexpr int32_t kCaptionBand = 17;  // pixels
}  // namespace

ppRGBColorField::ppRGBColorField(ppView* parent, ppDataUnit* unit, const std::string& names)
    : ppInputField(parent, unit, names),
      button_(new ppButton(this, nullptr, kButtonPicture, ppView::kStay, ppView::kStay, ppButton::kPush)) {
  // The frame is drawn whole, not clipped to its own region.
  (new ppFrameAdorner(this, kFramePicture, 0))->SetUnclipped(true);
}

void ppRGBColorField::ReadColor() {
  if (DataUnit() == nullptr) return;
  const ppParameter value = GetValue();
  SplitColorCode(static_cast<uint32_t>(value.ToLong()), &color_.red, &color_.green, &color_.blue);
}

int32_t ppRGBColorField::LayoutAt(int32_t top) {
  plat::RECT panel{};
  GetPanelFrame(&panel);
  const plat::RECT b = button_->GetFrame();
  const int32_t bw = b.right - b.left, bh = b.bottom - b.top;
  const int32_t* m = Margins();
  // As high as the button and its two edge pixels, and never so low that the swatch hides the caption.
  const int32_t height = std::max(bh + 2, kLeastHeight);
  SetFrame({m[0], top + m[1], panel.right - m[2], top + m[1] + height});
  const int32_t right = Width() - 1;
  button_->SetFrame({right - bw, 1, right, 1 + bh});
  return top + m[1] + height + m[3];
}

bool ppRGBColorField::IsDoubleClick(int32_t x, int32_t y) { return button_->IsDoubleClick(x, y); }

void ppRGBColorField::DoCommand(int32_t command, intptr_t parameter) {
  // Only the button's press means anything here; other commands stop at the field.
  if (command != ppButton::kPressedCommand) return;
  (void)parameter;
  BusyScope busy(this);
  ReadColor();
  {
    ppColorChooser chooser(GetHWND());
    chooser.Choose(color_);
  }
  Invalidate();
  // After a cancel this writes the unchanged colour back, which changes nothing.
  if (DataUnit() != nullptr) {
    ppParameter value;
    value.SetLong(static_cast<int32_t>(PackColorCode(color_.red, color_.green, color_.blue)));
    SetValue(value);
  }
}

void ppRGBColorField::DrawContent(ppDC& dc) {
  ppBrushSaver saved(dc);
  plat::RECT r;
  GetWindowFrame(&r);
  plat::RECT band = r;
  band.bottom = r.top + kCaptionBand;
  dc.SetColorBytes(controls::ApplicationColor(kCaptionFill));
  dc.FillRect(band);
  controls::DrawDefaultText(dc, Caption(), {r.left + 4, r.top + 2, r.right, band.bottom},
                            controls::ApplicationColor(kCaptionText));
  plat::RECT value = r;
  value.top += 16;
  dc.SetColorBytes(controls::ApplicationColor(kValueFill));
  dc.FillRect(value);
  ReadColor();
  dc.SetColor(color_);
  dc.FillRect({r.left + 5, r.bottom - 19, r.right - 20, r.bottom - 4});
  dc.SetNormalPen();
}
