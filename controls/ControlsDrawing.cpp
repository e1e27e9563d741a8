#include "controls/ControlsDrawing.h"

#include "framework/FontCache.h"
#include "framework/ppApplication.h"
#include "framework/ppDC.h"
#include "platform/Gdi.h"

namespace controls {

void SelectDefaultFont(ppDC& dc) {
  dc.SetFont(Vcon::String(kDefaultFaceName), kDefaultFontHeight, 0, 0.0f);
  dc.SelectFont();
}

int32_t MeasureDefaultText(const Vcon::WString& text, int32_t boxWidth, int32_t boxHeight) {
  plat::RECT box{0, 0, boxWidth, boxHeight};
  plat::HDC memory = plat::CreateCompatibleDC(nullptr);
  if (memory == nullptr) return 0;
  {
    ppDC dc(memory);
    SelectDefaultFont(dc);
    dc.MeasureText(text, &box, plat::DT_LEFT);
    dc.RestoreFont();
  }
  plat::DeleteDC(memory);
  return box.right - box.left;
}

void DrawDefaultText(ppDC& dc, const Vcon::WString& text, const plat::RECT& rect, const ppRGBColor& colour) {
  if (dc.GetHDC() == nullptr) return;
  SelectDefaultFont(dc);
  const plat::COLORREF old = plat::SetTextColor(
      dc.GetHDC(), plat::RGB(uint8_t(colour.red), uint8_t(colour.green), uint8_t(colour.blue)));
  dc.DrawText(text, rect, plat::DT_LEFT | plat::DT_SINGLELINE | plat::DT_NOCLIP);
  plat::SetTextColor(dc.GetHDC(), old);
  dc.RestoreFont();
}

ppRGBColor ApplicationColor(int32_t id) {
  return gApplication != nullptr ? gApplication->GetColor(id) : ppRGBColor{255, 255, 255};
}

}  // namespace controls
