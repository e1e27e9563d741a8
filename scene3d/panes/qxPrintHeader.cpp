#include "scene3d/panes/qxPrintHeader.h"

#include <algorithm>

#include "foundation/LengthText.h"
#include "foundation/TextsById.h"
#include "framework/FontCache.h"
#include "framework/ppApplication.h"
#include "framework/ppDC.h"
#include "framework/ppPicture.h"
#include "platform/LocalDate.h"
#include "scene3d/panes/i3DPaneHost.h"
#include "scene3d/panes/qxPrintLayout.h"
#include "scene3d/panes/qxPrintPage.h"

namespace {

Vcon::WString Text(int32_t number, const char* fallback) {
  Vcon::WString text(fallback);
  GetTextById(number, text);
  return text;
}

// The local short date; the header once showed the UTC day, a day off near midnight.
Vcon::WString Today() {
  char buffer[256];
  plat::GetDateFormatA(plat::LOCALE_USER_DEFAULT, plat::DATE_SHORTDATE, nullptr, nullptr, buffer,
                       int32_t(sizeof buffer));
  return WideFromNarrow(buffer);
}

}  // namespace

qxPrintHeader::qxPrintHeader(i3DPaneHost& host) {
  Vcon::WString name = host.DocumentNamed()
                           ? WideFromNarrow(qxPrintLayout::FileTitleFromPath(host.DocumentPath()).c_str())
                           : Text(6306, "6203");
  float x = 0;
  float z = 0;
  host.FloorExtent(&x, &z);
  Vcon::WString first;
  Vcon::WString second;
  FormatLength(x, first);
  FormatLength(z, second);
  nameLine_ = Text(6300, "6197") + name;
  dateLine_ = Text(6301, "6198") + Today();
  sizeLine_ = Text(6303, "6199") + first + u" x " + second;
  caption_ = Text(6304, "6201");
}

void qxPrintHeader::Draw(ppDC& dc, const qxPrintPage& page) const {
  int32_t top = int32_t(page.topMargin * page.pixelsPerMmY);
  int32_t bottom = int32_t(float(top) + page.headerHeight * page.pixelsPerMmY);
  int32_t right = int32_t(page.pageWidth - page.textScale * 20.0f);
  int32_t lineHeight = int32_t(page.textScale * 10.0f);
  dc.SetFont(Vcon::String(kDefaultFaceName), lineHeight, 0, 0.0f);
  int32_t w = std::max({dc.GetTextWidth(nameLine_), dc.GetTextWidth(dateLine_), dc.GetTextWidth(sizeLine_)});
  int32_t column = int32_t(float(right - w) - page.textScale * 120.0f);
  dc.FrameRect(plat::RECT{column - 20, top, right, bottom});
  dc.MoveTo(column + w + 20, top);
  dc.LineTo(column + w + 20, bottom);
  dc.SelectFont();
  dc.DrawText(caption_, plat::RECT{column + w + 40, top + 30, right, bottom}, 0);
  int32_t y = top + 30;
  for (const Vcon::WString* line : {&nameLine_, &dateLine_, &sizeLine_}) {
    dc.DrawText(*line, plat::RECT{column, y, right, y + lineHeight}, 0);
    y += lineHeight;
  }
  dc.RestoreFont();
  ppPicture* picture = gApplication != nullptr ? gApplication->GetFramePicture(kFramePicture) : nullptr;
  if (picture == nullptr || picture->IsEmpty() || picture->GetHeight() <= 0) return;
  float scale = float(bottom - top) / float(picture->GetHeight());
  plat::RECT box{page.image.left, top, page.image.left + int32_t(float(picture->GetWidth()) * scale), bottom};
  box.left += 10;
  box.top += 10;
  box.right -= 10;
  box.bottom -= 10;
  picture->Draw(dc, box);
}
