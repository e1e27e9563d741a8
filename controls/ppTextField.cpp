#include "controls/ppTextField.h"

#include "controls/ControlsDrawing.h"
#include "foundation/TextsById.h"
#include "framework/FontCache.h"
#include "framework/ppBrushSaver.h"
#include "framework/ppDC.h"
#include "platform/Gdi.h"

ppTextField::ppTextField(ppView* parent, ppDataUnit* unit)
    : ppField(parent, unit, std::string()), fontHeight_(controls::kDefaultFontHeight) {}

void ppTextField::SetText(const Vcon::WString& text, int32_t textId) {
  text_ = text;
  if (textId != 0) GetTextById(textId, text_);
}

void ppTextField::RefreshText() {
  if (DataUnit() != nullptr) text_ = GetValue().AsWString();
}

int32_t ppTextField::MeasureHeight(plat::RECT box) {
  // A memory context measures as the window's own would, without working out the window's visible
  // region first.
  plat::HDC memory = plat::CreateCompatibleDC(nullptr);
  if (memory == nullptr) return 0;
  {
    ppDC dc(memory);
    dc.SetFont(Vcon::String(kDefaultFaceName), fontHeight_, 0, 0.0f);
    dc.SelectFont();
    dc.MeasureText(text_, &box, plat::DT_WORDBREAK);
    dc.RestoreFont();
  }
  plat::DeleteDC(memory);
  return box.bottom - box.top;
}

int32_t ppTextField::LayoutAt(int32_t top) {
  RefreshText();
  if (text_.empty() || !IsShown()) return top;
  plat::RECT frame{};
  GetPanelFrame(&frame);
  frame.top = top + margins_[1];
  plat::RECT measure{frame.left + margins_[0], frame.top, frame.right - margins_[2], frame.top};
  const int32_t height = MeasureHeight(measure);
  frame.bottom = frame.top + height;
  SetFrame(frame);
  return top + margins_[1] + height + margins_[3];
}

void ppTextField::DrawContent(ppDC& dc) {
  ppBrushSaver brushes(dc);
  plat::RECT rect;
  GetWindowFrame(&rect);
  RefreshText();
  rect.left += margins_[0];
  rect.right -= margins_[2];
  dc.SetTextColor(colour_);
  dc.SetFont(Vcon::String(kDefaultFaceName), fontHeight_, 0, 0.0f);
  dc.SelectFont();
  dc.DrawText(text_, rect, plat::DT_WORDBREAK);
  dc.SetTextColor(ppRGBColor{0, 0, 0});
  dc.RestoreFont();
}
