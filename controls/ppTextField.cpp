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
  auto measure = [&](ppDC& dc) {
    dc.SetFont(Vcon::String(kDefaultFaceName), fontHeight_, 0, 0.0f);
    dc.SelectFont();
    dc.MeasureText(text_, &box, plat::DT_WORDBREAK);
    dc.RestoreFont();
    return box.bottom - box.top;
  };
  if (plat::HWND window = GetHWND()) {
    ppDC dc(window);
    return dc.GetHDC() != nullptr ? measure(dc) : 0;
  }
  // Not in a window yet (a panel built before its pane is shown): a memory context measures alike.
  plat::HDC memory = plat::CreateCompatibleDC(nullptr);
  if (memory == nullptr) return 0;
  int32_t height = 0;
  {
    ppDC dc(memory);
    height = measure(dc);
  }
  plat::DeleteDC(memory);
  return height;
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
