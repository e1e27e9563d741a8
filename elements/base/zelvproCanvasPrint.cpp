// The printed page frame every canvas shares: the layout of the plan below the header band, the page
// header and the title block. Device pixels of the printer throughout; float to integer truncates.
#include <algorithm>
#include <cfloat>

#include "elements/base/ElementChildren.h"
#include "elements/base/qxPagePrintSettings.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/topview/iPrintSettings.h"
#include "foundation/LengthText.h"
#include "foundation/ResourceAccess.h"
#include "foundation/TextsById.h"
#include "foundation/UserPreferences.h"
#include "framework/FontCache.h"
#include "framework/ppApplication.h"
#include "framework/ppDC.h"
#include "framework/ppPicture.h"
#include "platform/LocalDate.h"
#include "platform/ResourceRegistry.h"
#include "scene3d/panes/i3DPaneHost.h"
#include "scene3d/panes/qxPrintLayout.h"
#include "scene3d/panes/qxPrintPage.h"

namespace {

constexpr int32_t kLogoPicture = 2001;
constexpr int32_t kTitlePicture = 2003;
constexpr uint16_t kScaleTexts = 2016;
constexpr uint16_t kTitleCaptions = 2009;

Vcon::WString Text(int32_t number, const char* fallback) {
  Vcon::WString text(fallback);
  GetTextById(number, text);
  return text;
}

// The text by id, else the entry of the string list; a missing list leaves the text empty instead of
// stopping the page with a resource box.
Vcon::WString TextOrListEntry(int32_t number, uint16_t list, int32_t entry) {
  Vcon::WString text;
  if (GetTextById(number, text)) return text;
  if (plat::ResourceRegistry::Instance().Find("STRINGARRAY", list)) GetStringArrayText(text, list, entry);
  return text;
}

Vcon::WString Today() {
  char buffer[256];
  plat::GetDateFormatA(plat::LOCALE_USER_DEFAULT, plat::DATE_SHORTDATE, nullptr, nullptr, buffer,
                       int32_t(sizeof buffer));
  return WideFromNarrow(buffer);
}

// The drawing scale as the header names it; other combinations of units and scale have no text.
Vcon::WString ScaleText(bool metric, int32_t drawingScale) {
  if (drawingScale == 0) return TextOrListEntry(6188, kScaleTexts, 1);
  if (metric && drawingScale == 20) return TextOrListEntry(6248, kScaleTexts, 2);
  if (metric && drawingScale == 50) return TextOrListEntry(6189, kScaleTexts, 2);
  if (!metric && drawingScale == 48) return TextOrListEntry(6194, kScaleTexts, 5);
  return {};
}

void DrawFitted(ppDC& dc, ppPicture* picture, const plat::RECT& column) {
  if (picture == nullptr || picture->IsEmpty() || picture->GetWidth() <= 0 || picture->GetHeight() <= 0)
    return;
  plat::RECT box = zelvproCanvas::FitPicture(column, picture->GetWidth(), picture->GetHeight());
  box.left += 10;
  box.top += 10;
  box.right -= 10;
  box.bottom -= 10;
  picture->Draw(dc, box);
}

ppPicture* AppPicture(int32_t id) {
  return gApplication != nullptr ? gApplication->GetFramePicture(id) : nullptr;
}

}  // namespace

void zelvproCanvas::LayoutPrintPage(qxPrintPage& page) {
  ppVector2 min(FLT_MAX, FLT_MAX);
  ppVector2 max(0.0f, 0.0f);
  bool any = false;
  ForEachChildElement(*this, [&](zelvproElement*) { any = true; });
  // The canvas's own bounds: the room canvas adds its outline's faces, which no child covers.
  if (any) ExtendBounds2D(min, max);
  // Children without an extent (walls and floors before the outline is built) lay out as an empty
  // plan rather than from the search's start.
  if (min.x > max.x || min.y > max.y) any = false;
  page.leftMargin = 20;
  page.rightMargin = 10;
  page.topMargin = 10;
  page.bottomMargin = 2;
  page.headerGap = 15;
  page.headerHeight = 20;
  page.footerHeight = 0;
  page.options[0] = 0;
  if (!any) {
    // An empty plan has no extent: the origin stays at 0 rather than at the search's start.
    page.zero[0] = page.zero[1] = 0;
    page.imageScale = 1.0f;
    page.image = plat::RECT{0, 0, 0, 0};
    return;
  }
  page.zero[0] = min.x;
  page.zero[1] = min.y;
  max.x += 5.0f;
  max.y += 50.0f;
  const float sx =
      (page.pageWidth - ((page.leftMargin + page.rightMargin) * page.pixelsPerMmX + 10.0f)) / (max.x - min.x);
  const float bands =
      page.topMargin + page.bottomMargin + page.footerHeight + page.headerGap + page.headerHeight;
  const float sy = (page.pageHeight - bands * page.pixelsPerMmY) / (max.y - min.y);
  page.imageScale = sy < sx ? sy : sx;
  // The rectangle is sized with the scale the drawing uses: sizing it for 1:50 at 1:20 cropped the
  // raster print of the plan.
  const int32_t drawingScale = iPrintSettings::Current().DrawingScale();
  if (drawingScale > 0) page.imageScale = page.dotsPerMmX / float(drawingScale);
  const int32_t x0 = int32_t(page.leftMargin * page.pixelsPerMmX);
  const int32_t y0 = int32_t((page.topMargin + page.headerHeight + page.headerGap) * page.pixelsPerMmY);
  const int32_t w = int32_t((max.x - min.x) * page.imageScale);
  const int32_t h = int32_t((max.y - min.y) * page.imageScale);
  page.image = plat::RECT{x0, y0, x0 + w + 1, y0 + h + 1};
}

bool zelvproCanvas::Print(ppDC& dc, qxPrintPage& page) {
  if (!IsShown()) return page.morePages != 0;
  // The framework's print steps take a page number; a canvas's pages are told apart by the record.
  constexpr int32_t kPageNumber = 1;
  PrintBegin(dc, kPageNumber);
  if (!PrintNeeded(dc, kPageNumber)) return page.morePages != 0;
  if (page.options[1] != 0 || page.options[5] != 0) PrintContent(dc, page);
  if (page.options[2] != 0) {
    // The elements ask the installed settings where the page puts them.
    qxPagePrintSettings settings(page);
    const ppViewList& children = Subviews();
    for (int32_t i = 0; i < children.Count(); ++i) children.At(i)->Print(dc, kPageNumber);
  }
  return page.morePages != 0;
}

void zelvproCanvas::PrintContent(ppDC& dc, qxPrintPage& page) {
  if (page.options[0] != 0) return;
  BuildPrintHeaderText(dc, page);
  page.options[0] = 1;
}

void zelvproCanvas::BuildPrintHeaderText(ppDC& dc, const qxPrintPage& page) {
  iPrintSettings& settings = iPrintSettings::Current();
  i3DPaneHost* host = settings.DocumentHost();
  Vcon::WString title = Text(6306, "6203");
  float width = 0;
  float depth = 0;
  if (host != nullptr) {
    if (host->DocumentNamed())
      title = WideFromNarrow(qxPrintLayout::FileTitleFromPath(host->DocumentPath()).c_str());
    host->FloorExtent(&width, &depth);
  }
  Vcon::WString first;
  Vcon::WString second;
  FormatLength(width, first);
  FormatLength(depth, second);
  const bool metric = Preferences().unitSystem != kUnitImperial;
  const Vcon::WString lines[4] = {Text(6300, "6197") + title, Text(6301, "6198") + Today(),
                                  Text(6302, "6199") + ScaleText(metric, settings.DrawingScale()),
                                  Text(6303, "6200") + first + u" x " + second};
  const Vcon::WString heading = Text(6304, "6201");

  const float ppt = page.textScale;
  const int32_t lineHeight = int32_t(ppt * 10.0f);
  dc.SetFont(Vcon::String(kDefaultFaceName), lineHeight, 0, 0.0f);
  dc.SelectFont();
  int32_t widest = 0;
  for (const Vcon::WString& line : lines) widest = std::max(widest, dc.GetTextWidth(line));
  const int32_t right = int32_t(page.pageWidth - 20.0f * ppt);
  const float bandTop = page.topMargin * page.pixelsPerMmY;
  const int32_t top = int32_t(bandTop);
  const int32_t bottom = int32_t(bandTop + page.headerHeight * page.pixelsPerMmY);
  const int32_t left = int32_t(float(right - widest) - 120.0f * ppt);
  dc.FrameRect(plat::RECT{left - 20, top, right, bottom});
  dc.MoveTo(left + widest + 20, top);
  dc.LineTo(left + widest + 20, bottom);
  dc.DrawText(heading, plat::RECT{left + widest + 40, top + 30, right, bottom}, 0);
  int32_t y = top + 30;
  for (const Vcon::WString& line : lines) {
    dc.DrawText(line, plat::RECT{left, y, right, bottom}, 0);
    y += lineHeight;
  }
  dc.RestoreFont();
  ppPicture* logo = AppPicture(kLogoPicture);
  if (logo == nullptr || logo->IsEmpty() || logo->GetHeight() <= 0) return;
  const float k = float(bottom - top) / float(logo->GetHeight());
  plat::RECT box{page.image.left, top, page.image.left + int32_t(float(logo->GetWidth()) * k), bottom};
  box.left += 10;
  box.top += 10;
  box.right -= 10;
  box.bottom -= 10;
  logo->Draw(dc, box);
}

plat::RECT zelvproCanvas::FitPicture(const plat::RECT& column, int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return plat::RECT{column.left, column.top, column.left, column.top};
  const float k = std::min(float(column.bottom - column.top) / float(height),
                           float(column.right - column.left) / float(width));
  return plat::RECT{column.left, column.top, column.left + int32_t(float(width) * k),
                    column.top + int32_t(float(height) * k)};
}

void zelvproCanvas::PrintTitleBlock(ppDC& dc, const qxPrintPage& page) {
  dc.SetClipRegion(nullptr);
  const Vcon::WString date = Today();
  plat::RECT box{page.image.left, page.image.top,
                 int32_t(page.pageWidth - page.rightMargin * page.pixelsPerMmX),
                 int32_t(float(page.image.top) + page.footerHeight * page.pixelsPerMmY)};
  const int32_t down = int32_t(page.pageHeight - float(box.bottom) - page.bottomMargin * page.pixelsPerMmY);
  box.top += down;
  box.bottom += down;
  dc.FrameRect(box);
  const int32_t q = (box.right - box.left) / 4;
  const int32_t h2 = (box.bottom - box.top) / 2;
  const int32_t x1 = box.left + q;
  const int32_t x2 = x1 + q;
  const int32_t x3 = x2 + q;
  for (int32_t x : {x1, x2, x3}) {
    dc.MoveTo(x, box.top);
    dc.LineTo(x, box.bottom);
  }
  dc.MoveTo(x1, box.top + h2);
  dc.LineTo(x3, box.top + h2);

  const float ppt = page.textScale;
  const int32_t captionHeight = int32_t(ppt * 7.0f);
  dc.SetFont(Vcon::String(kDefaultFaceName), captionHeight, 0, 0.0f);
  dc.SelectFont();
  struct Caption {
    int32_t x, y, text, entry;
  };
  const Caption captions[] = {{x1, box.top, 10055, 2},
                              {x1, box.top + h2, 10056, 3},
                              {x2, box.top, 10057, 4},
                              {x2, box.top + h2, 10058, 5},
                              {x3, box.top, 10059, 6}};
  for (const Caption& c : captions) {
    dc.DrawText(TextOrListEntry(c.text, kTitleCaptions, c.entry),
                plat::RECT{c.x + 10, c.y + 3, box.right, box.bottom}, 0);
  }
  dc.RestoreFont();

  const int32_t valueHeight = int32_t(ppt * 11.0f);
  dc.SetFont(Vcon::String(kDefaultFaceName), valueHeight, 0, 0.0f);
  dc.SelectFont();
  const PrintTitleFields fields = iPrintSettings::Current().TitleFields();
  const int32_t y1 = int32_t(float(box.top) + 3.0f + float(captionHeight) + float(valueHeight) + 3.0f);
  const int32_t y2 = y1 + h2;
  auto value = [&](const std::string& text, int32_t x, int32_t y) {
    dc.DrawText(WideFromNarrow(text.c_str()), plat::RECT{x + 10, y, box.right, box.bottom}, 0);
  };
  value(fields.number, x1, y1);
  value(fields.revision, x1, y2);
  value(fields.description, x2, y1);
  dc.DrawText(date, plat::RECT{x2 + 10, y2, box.right, box.bottom}, 0);
  value(fields.customerName, x3, y1);
  int32_t y = y1;
  // Empty customer lines take no line.
  for (const std::string* line : {&fields.customerRef, &fields.customerAddress, &fields.customerCity}) {
    if (line->empty()) continue;
    y += int32_t(ppt * 12.0f);
    value(*line, x3, y);
  }
  dc.RestoreFont();
  DrawFitted(dc, AppPicture(kTitlePicture), plat::RECT{box.left, box.top, x1, box.bottom});
}

void zelvproCanvas::GetDocumentBaseName(std::string& out, const Vcon::WString& path) {
  if (path.empty()) return;
  std::string narrow = NarrowFromWide(path);
  const size_t slash = narrow.find_last_of("\\/");
  if (slash != std::string::npos) narrow.erase(0, slash + 1);
  const size_t dot = narrow.find('.');
  if (dot != std::string::npos) narrow.erase(dot);
  out = narrow;
}
