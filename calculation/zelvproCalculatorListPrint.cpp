// The price list's print: page set-up, column fitting, the page loops with their headers and footers,
// and the two line printers (the list layout of the print columns, the item sheet of ten fixed
// columns). Device pixels of the printer page throughout; sizes in millimetres are named so.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <ctime>
#include <limits>
#include <vector>

#include "calculation/CalculatorColumnFile.h"
#include "calculation/CalculatorFieldVisibility.h"
#include "calculation/ItemSheetPrintFlag.h"
#include "calculation/iPriceListPrintRecorder.h"
#include "calculation/zelvproCalculatorFil.h"
#include "calculation/zelvproCalculatorList.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproDocFil.h"
#include "controls/DisplayListLayout.h"
#include "elements/base/iElementHost.h"
#include "elements/base/zelvproElement.h"
#include "elements/topview/ScratchRecord.h"
#include "foundation/DecimalNumber.h"
#include "foundation/FileRecord.h"
#include "foundation/LengthText.h"
#include "foundation/PosixPath.h"
#include "foundation/ProcessServices.h"
#include "foundation/ResourceAccess.h"
#include "foundation/TextsById.h"
#include "foundation/UserPreferences.h"
#include "framework/ppApplication.h"
#include "framework/ppClipSaver.h"
#include "platform/LocalDate.h"
#include "platform/Printing.h"
#include "framework/ppDC.h"
#include "framework/ppPicture.h"
#include "framework/ppRegion.h"
#include "room/qxNewRoomCanvas.h"
#include "scene3d/panes/qxPrintLayout.h"
#include "scene3d/panes/qxPrintPage.h"

namespace {

using Fil = zelvproCalculatorFil;
using Column = DisplayListLayout::Column;

constexpr const char* kFace = "Arial";
// Page margins and bands, millimetres.
constexpr float kLeftMm = 20, kRightMm = 10, kTopMm = 10, kBottomMm = 0, kGapMm = 0, kHeaderMm = 20,
                kFooterMm = 20;
constexpr float kPointDivisor = 2.857f;
// Column option bits of the print display list.
constexpr uint32_t kKeepEmpty = 2, kAtLeastNominal = 4, kWidest = 8;
// The item sheet's first column, device pixels, and its other nine columns.
constexpr int32_t kSheetFirst = 50, kSheetColumns = 9;
constexpr uint32_t kWrap = plat::DT_WORDBREAK | plat::DT_NOPREFIX;

Vcon::WString Narrow(const char* text) { return Vcon::WString(text); }

Vcon::WString Number(int64_t n) { return Vcon::WString(std::to_string(n).c_str()); }

// A float as the program writes a plain number: the shortest decimal that reads back as the same float
// (72.5, not 72.5000000001 or 72), in the user's decimal and thousands characters.
Vcon::WString FloatText(float value) {
  char digits[64];
  const auto written = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed);
  if (written.ec != std::errc()) return Vcon::WString();
  DecimalNumber number;
  number.Parse(Vcon::String(digits, size_t(written.ptr - digits)), DecimalFormat());
  return Vcon::WString(number.Format(PlainNumberFormat()));
}

Vcon::WString FieldName(ppDatafile& table, int32_t field) {
  Vcon::String name;
  table.FieldNameAt(field, name);
  return Vcon::WString(name);
}

std::vector<Column> Columns(Handle layout) {
  std::vector<Column> out;
  if (layout == nullptr) return out;
  const uint32_t count = DisplayListLayout::ColumnCount(layout);
  for (uint32_t i = 0; i < count; ++i) out.push_back(DisplayListLayout::ReadColumn(layout, i));
  return out;
}

uint32_t FontSize(Handle layout) {
  DisplayListLayout::Header header;
  if (layout == nullptr || !DisplayListLayout::ReadHeader(layout, &header)) return 10;
  return header.fontSize;
}

// The line's display value of `field`, as text.
Vcon::WString Value(Fil& table, int32_t field) {
  ppParameter value;
  table.GetFieldValue(field, value, nullptr);
  return value.AsWString();
}

// The words of an Item/Service or Text line on the item sheet: its unit's number and name
// ("tunitDescription"), " - " and its own text ("ttext"). A line without a catalogue unit has no unit
// words: the words typed into its panel ("totherText") stand in their place, so they still print.
Vcon::WString ItemWords(Fil& table) {
  Vcon::WString unit = Value(table, Fil::kWideUnitDescription);
  if (unit.empty()) unit = Value(table, Fil::kOtherText);
  return unit + Narrow(" - ") + Value(table, Fil::kText);
}

// The words of a Discount, SubTotal or VAT/Tax line on the item sheet: the text typed into its panel
// ("totherText") and the line's own text, joined by " - " when both are there.
Vcon::WString SumWords(Fil& table) {
  const Vcon::WString words = Value(table, Fil::kOtherText), own = Value(table, Fil::kText);
  if (words.empty()) return own;
  if (own.empty()) return words;
  return words + Narrow(" - ") + own;
}

int32_t RawLong(Fil& table, int32_t field) {
  ppParameter value;
  table.ppDatafile::GetFieldValue(field, value, nullptr);
  return value.ToLong();
}

// Today's date in the user's local time zone, as day.month.year.
// Today in the user's time zone, in the user's short date format, as the plan's printed header shows it.
Vcon::WString LocalDate() {
  char text[256];
  if (plat::GetDateFormatA(plat::LOCALE_USER_DEFAULT, plat::DATE_SHORTDATE, nullptr, nullptr, text,
                           int32_t(sizeof text)) == 0)
    text[0] = '\0';
  return Narrow(text);
}

// The open document's file title (no folder, no extension) once it has been saved under a name;
// text 6306 before.
Vcon::WString DocumentTitle() {
  if (DocumentRecordFile == nullptr || !DocumentRecordFile->IsSavedOnce()) return TextById(6306, "6203");
  const std::string path = Vcon::Utf8FromUtf16(DocumentRecordFile->DocumentFile().path);
  return Vcon::WString(Vcon::Utf16FromUtf8(qxPrintLayout::FileTitleFromPath(path)));
}

// The room's floor extents in the user's length unit, "x by z"; 0 by 0 without a room or a floor.
Vcon::WString RoomSize() {
  const auto* room = dynamic_cast<const qxNewRoomCanvas*>(iElementHost::Current().NewRoomCanvas());
  const ppVector2 size = room != nullptr ? room->GetFloorExtent() : ppVector2(0, 0);
  Vcon::WString x, z;
  FormatLength(size.x, x);
  FormatLength(size.y, z);
  return x + Narrow(" x ") + z;
}

// The application's side picture of printed pages.
constexpr int32_t kSidePicture = 2001;

ppPicture* SidePicture() {
  return gApplication != nullptr ? gApplication->GetFramePicture(kSidePicture) : nullptr;
}

// `picture` scaled to the sheet's height, standing at its left or right edge, shrunk by `inset`
// pixels on every side; null or empty pictures give an empty rectangle (nothing is drawn).
plat::RECT SideRect(const ppPicture* picture, const qxPrintPage& page, bool right, int32_t inset) {
  if (picture == nullptr || picture->IsEmpty() || picture->GetHeight() <= 0) return {};
  const float f = page.pageHeight / float(picture->GetHeight());
  const int32_t width = int32_t(float(picture->GetWidth()) * f);
  const int32_t left = right ? int32_t(page.pageWidth) - width : 0;
  return {left + inset, inset, left + width - inset, int32_t(page.pageHeight) - inset};
}

// The item sheet's logo file: entry 6 of the settings-file list ("user\\logo.bmp"), in the program
// folder. Both are written the program's way, with backslashes; the file layer makes the path one of
// this system's.
constexpr uint16_t kSettingsFiles = 132;
constexpr int32_t kLogoEntry = 6;

ppFileSpec LogoFile() {
  Vcon::WString folder, name;
  GetStartupDirectory(folder);
  GetStringArrayText(name, kSettingsFiles, kLogoEntry);
  return ppFileSpec(folder + name);
}

}  // namespace

void zelvproCalculatorList::PrintPicture(ppDC& dc, const ppPicture* picture, const plat::RECT& r) {
  if (picture == nullptr || r.right <= r.left || r.bottom <= r.top) return;
  picture->Draw(dc, r);
  if (recorder_ != nullptr) recorder_->Picture(r);
}

int32_t zelvproCalculatorList::RowsNeeded(float height, float rowHeight) {
  if (!(rowHeight > 0) || !(height > rowHeight)) return 1;
  const float n = height / rowHeight;
  const int32_t whole = int32_t(n);
  return std::max(1, whole + (n - float(whole) > 0.05f ? 1 : 0));
}

// ---- Drawing helpers.

void zelvproCalculatorList::PrintFont(ppDC& dc, float height, bool bold) {
  dc.RestoreFont();
  dc.SetFont(Vcon::String(kFace), int32_t(height), bold ? 1 : 0, 0);
  dc.SelectFont();
  if (recorder_ != nullptr) recorder_->Font(kFace, int32_t(height), bold);
}

void zelvproCalculatorList::PrintText(ppDC& dc, const Vcon::WString& text, const plat::RECT& r,
                                      uint32_t flags) {
  dc.DrawText(text, r, flags);
  if (recorder_ != nullptr) recorder_->Text(text, r, flags);
}

void zelvproCalculatorList::PrintRule(ppDC& dc, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  dc.MoveTo(x1, y1);
  dc.LineTo(x2, y2);
  if (recorder_ != nullptr) recorder_->Rule(x1, y1, x2, y2);
}

void zelvproCalculatorList::PrintFrame(ppDC& dc, const plat::RECT& r) {
  dc.FrameRect(r);
  if (recorder_ != nullptr) recorder_->Frame(r);
}

void zelvproCalculatorList::NextPrintPage(ppDC& dc) {
  // On a printer a page that does not end or start stops the print: Cancel in the "Printing" box
  // (the job's abort procedure answered so) or a failed file. Other contexts have no pages to end.
  const bool printer = plat::PrinterOf(dc.GetHDC()) != nullptr;
  const bool next = dc.EndPage() > 0 && dc.StartPage() > 0;
  if (printer && !next) printStopped_ = true;
  if (recorder_ != nullptr) recorder_->PageBreak();
}

// ---- Set-up.

void zelvproCalculatorList::PreparePrint(qxPrintPage& page, int32_t columnsFile) {
  page.leftMargin = kLeftMm;
  page.rightMargin = kRightMm;
  page.topMargin = kTopMm;
  page.bottomMargin = kBottomMm;
  page.headerGap = kGapMm;
  page.headerHeight = kHeaderMm;
  page.footerHeight = kFooterMm;
  // Kept for callers that look for it; nothing here reads it.
  page.zero[0] = page.zero[1] = 2147483648.0f;
  page.imageScale = page.pixelsPerMmX / kPointDivisor;
  const float left = kLeftMm * page.pixelsPerMmX;
  const float top = (kTopMm + kHeaderMm + kGapMm) * page.pixelsPerMmY;
  const float right = left + page.pageWidth - (kLeftMm + kRightMm) * page.pixelsPerMmX;
  const float bottom =
      top + page.pageHeight - (kTopMm + kBottomMm + kHeaderMm + kFooterMm + kGapMm) * page.pixelsPerMmY;
  page.image = plat::RECT{int32_t(left), int32_t(top), int32_t(right), int32_t(bottom)};

  lineFile_->BeginAccess();
  lineCount_ = lineFile_->GetRecordCount();
  currentLine_ = 0;
  rowsOnPage_ = 0;
  pageNumber_ = 0;
  rowHeight_ = float(LineHeight()) * page.imageScale;
  if (!(rowHeight_ > 0)) rowHeight_ = 1;
  printWidth_ = float(page.image.right - page.image.left);
  if (printLayout_ != nullptr) MemDispose(printLayout_);
  printLayout_ = LoadColumnFile(columnsFile);
  if (printLayout_ == nullptr)
    printLayout_ = LoadResourceHandle(ResourceTypeCode("DLST"), "qxCalculatorPrintDlst");
  printHeader_ = 1.5f * rowHeight_;
  printTop_ = float(page.image.top);
  printY_ = printTop_ + rowHeight_;
  // The rows a page holds, counted from one row below the printable top. The rows print from one and a
  // half rows down, so the last row of a full page reaches half a row into the footer band; its text
  // stands at the row's top, well above the footer's box and page line. A printable area lower than
  // two rows still takes one row a page: the page arithmetic divides by it.
  rowsPerPage_ = std::max(1, int32_t((float(page.image.bottom) - printY_) / rowHeight_));
  printDescription_ = CalculatorDescriptionField();
  columnsFitted_ = false;
  printStopped_ = false;
  pageCount_ = 1;
}

bool zelvproCalculatorList::Print(ppDC& dc, qxPrintPage& page) {
  if (!columnsFitted_) FitPrintColumns(dc, page);
  lineFile_->SaveToBlob();
  printLineFile_->BeginAccess();
  printLineFile_->SetTextsFrozen(false);
  SetCalculatorDescriptionField(printDescription_);
  PrintContent(dc, page);
  SetCalculatorDescriptionField(screenDescription_);
  return page.morePages != 0 && !printStopped_;
}

void zelvproCalculatorList::PrintContent(ppDC& dc, qxPrintPage& page) {
  pageCount_ = ItemSheetPrintFlag() ? CountSheetPages() : CountListPages(dc, page);
  if (ItemSheetPrintFlag()) {
    PrintSheetHeader(dc, page);
    PrintSheetPages(dc, page);
  } else {
    PrintListHeader(dc, page);
    PrintListPages(dc, page);
  }
  if (!printStopped_) PrintFooter(dc, page);
}

namespace {

// A column's left edge (pixels) from the widths before it, kept where 32 bits hold it with any width.
int32_t ColumnX(float x) {
  constexpr float kMostX = float(std::numeric_limits<int32_t>::max() / 2);
  return x < kMostX ? int32_t(x) : int32_t(kMostX);
}

}  // namespace

void zelvproCalculatorList::FitPrintColumns(ppDC& dc, qxPrintPage& page) {
  if (printLayout_ == nullptr) return;
  std::vector<Column> l = Columns(printLayout_);
  const float scale = page.imageScale;
  // The nominal widths spread over the printable width.
  std::vector<float> nominal(l.size());
  float sum = 0;
  for (size_t i = 0; i < l.size(); ++i)
    sum += nominal[i] = float(DisplayListLayout::SaneWidth(l[i].width)) * scale;
  // No width at all: nothing to spread.
  widthFactor_ = sum != 0 ? printWidth_ / sum : 1;
  float x = 0;
  for (size_t i = 0; i < l.size(); ++i) {
    l[i].x = ColumnX(x);
    l[i].width = DisplayListLayout::SaneWidth(nominal[i] * widthFactor_);
    x += float(l[i].width);
  }

  // The widest text of every column over the lines, with the field names.
  PrintFont(dc, float(FontSize(printLayout_)) * page.textScale, true);
  std::vector<int32_t> widest(l.size(), 0);
  lineFile_->BeginAccess();
  for (int32_t line = 0; line < lineFile_->GetRecordCount(); ++line) {
    lineFile_->ReadRecordAt(line, nullptr);
    lineFile_->BuildLineTexts(nullptr);
    for (size_t i = 0; i < l.size(); ++i) {
      if (l[i].layoutId != 0) continue;
      widest[i] = std::max(widest[i], dc.GetTextWidth(Value(*lineFile_, DisplayListLayout::FieldOf(l[i]))));
    }
  }
  for (size_t i = 0; i < l.size(); ++i)
    if (widest[i] > 0 || (l[i].flags & kKeepEmpty) != 0)
      widest[i] =
          std::max(widest[i], dc.GetTextWidth(FieldName(*lineFile_, DisplayListLayout::FieldOf(l[i]))));

  const float pad = 20 * scale;
  float remaining = printWidth_;
  for (size_t i = 0; i < l.size(); ++i)
    if (widest[i] > 0 && (l[i].flags & kWidest) != 0) remaining -= float(widest[i]) + pad;
  for (size_t i = 0; i < l.size(); ++i)
    if (widest[i] > 0 && (l[i].flags & kAtLeastNominal) != 0) {
      if (float(widest[i]) + pad < float(l[i].width)) widest[i] = l[i].width;
      remaining -= float(widest[i]);
    }
  const auto flexible = [&](size_t i) { return (l[i].flags & (kAtLeastNominal | kWidest)) == 0; };
  const auto kept = [&](size_t i) { return widest[i] != 0 || (l[i].flags & kKeepEmpty) != 0; };
  float flexibleSum = 0;
  for (size_t i = 0; i < l.size(); ++i)
    if (l[i].width > 0 && flexible(i) && kept(i)) flexibleSum += float(l[i].width);
  // No flexible room: the flexible columns keep their spread widths.
  const float factor = flexibleSum != 0 ? remaining / flexibleSum : 1;
  x = 0;
  for (size_t i = 0; i < l.size(); ++i) {
    if (flexible(i))
      l[i].width = kept(i) ? DisplayListLayout::SaneWidth(float(l[i].width) * factor) : 0;
    else
      l[i].width = widest[i] > 0 ? DisplayListLayout::SaneWidth(float(widest[i]) + pad) : 0;
    l[i].x = ColumnX(x);
    x += float(l[i].width);
    DisplayListLayout::WriteColumn(printLayout_, uint32_t(i), l[i]);
  }
  dc.RestoreFont();
  columnsFitted_ = true;
}

// ---- Page loops.

void zelvproCalculatorList::PrintBreakPage(ppDC& dc, qxPrintPage& page, bool sheet, float y) {
  ++pageNumber_;
  page.spare[0] = pageNumber_;
  PrintFooter(dc, page);
  NextPrintPage(dc);
  if (printStopped_) return;
  rowsOnPage_ = 0;
  printY_ = y;
  if (sheet)
    PrintSheetHeader(dc, page);
  else
    PrintListHeader(dc, page);
}

void zelvproCalculatorList::PrintListPages(ppDC& dc, qxPrintPage& page) {
  const float first = printTop_ + printHeader_;
  printY_ = first;
  rowsOnPage_ = 0;
  pageNumber_ = 0;
  while (currentLine_ < lineCount_ && !printStopped_) {
    if (rowsOnPage_ >= rowsPerPage_) PrintBreakPage(dc, page, false, first);
    if (printStopped_) break;
    PrintListLine(currentLine_, dc, page);
    // The last line, as a rule the grand total, goes to a page of its own when the lines fill whole pages.
    if (currentLine_ == lineCount_ - 1 && lineCount_ % rowsPerPage_ == 0)
      PrintBreakPage(dc, page, false, first - 36 * page.textScale);
  }
  page.morePages = currentLine_ < lineCount_ ? 1 : 0;
  ++pageNumber_;
  page.spare[0] = pageNumber_;
}

void zelvproCalculatorList::PrintSheetPages(ppDC& dc, qxPrintPage& page) {
  const float first = printTop_ + printHeader_;
  printY_ = first;
  rowsOnPage_ = 0;
  pageNumber_ = 0;
  while (currentLine_ < lineCount_ && !printStopped_) {
    if (SheetPageFull(currentLine_, rowsOnPage_)) PrintBreakPage(dc, page, true, first);
    if (printStopped_) break;
    PrintSheetLine(currentLine_, dc, page);
  }
  page.morePages = currentLine_ < lineCount_ ? 1 : 0;
  ++pageNumber_;
  page.spare[0] = pageNumber_;
}

// The page loops above without drawing: the footers need the page count before the first page ends.
int32_t zelvproCalculatorList::CountListPages(ppDC& dc, qxPrintPage& page) {
  iPriceListPrintRecorder* const recorder = recorder_;
  recorder_ = nullptr;
  const float first = printTop_ + printHeader_;
  float y = first;
  int32_t rows = 0, pages = 1, line = 0;
  std::vector<Vcon::WString> values;
  while (line < lineCount_) {
    if (rows >= rowsPerPage_) ++pages, rows = 0, y = first;
    int32_t type = 0;
    const int32_t need = MeasureListLine(dc, page, line, y, values, type);
    dc.RestoreFont();
    const bool tall = need > rowsPerPage_;
    if (rows + need > rowsPerPage_ && !(tall && rows == 0)) {
      rows += need;
    } else {
      const int32_t taken = tall ? rowsPerPage_ : need;
      y += float(taken) * rowHeight_;
      rows += taken;
      ++line;
    }
    if (line == lineCount_ - 1 && lineCount_ % rowsPerPage_ == 0)
      ++pages, rows = 0, y = first - 36 * page.textScale;
  }
  recorder_ = recorder;
  return pages;
}

bool zelvproCalculatorList::SheetPageFull(int32_t line, int32_t rowsOnPage) {
  if (rowsOnPage >= rowsPerPage_) return true;
  Fil& t = *printLineFile_;
  t.ReadRecordAt(line, nullptr);
  // The empty row in front of a group would push the line's own row below the page's last one.
  const int32_t before = SheetRowsBefore(RawLong(t, Fil::kType), RawLong(t, Fil::kSort5), rowsOnPage);
  return before > 0 && rowsOnPage + before >= rowsPerPage_;
}

int32_t zelvproCalculatorList::CountSheetPages() {
  Fil& t = *printLineFile_;
  int32_t rows = 0, pages = 1;
  for (int32_t line = 0; line < lineCount_; ++line) {
    if (SheetPageFull(line, rows)) ++pages, rows = 0;
    t.ReadRecordAt(line, nullptr);
    rows += SheetRowsBefore(RawLong(t, Fil::kType), RawLong(t, Fil::kSort5), rows) + 1;
  }
  return pages;
}

// ---- Headers and footer.

void zelvproCalculatorList::PrintListHeader(ppDC& dc, qxPrintPage& page) {
  const float fs = page.textScale;
  const Vcon::WString t1 = TextById(6300, "6197") + DocumentTitle();
  const Vcon::WString t2 = TextById(6301, "6198") + LocalDate();
  const Vcon::WString t3 = TextById(6303, "6200") + RoomSize();
  const Vcon::WString t4 = TextById(6304, "6201");
  PrintFont(dc, 10 * fs, false);
  const int32_t w = std::max({dc.GetTextWidth(t1), dc.GetTextWidth(t2), dc.GetTextWidth(t3)});
  const int32_t r = int32_t(page.pageWidth - 20 * fs);
  const int32_t x = int32_t(float(r - w) - 120 * fs);
  const int32_t boxTop = int32_t(kTopMm * page.pixelsPerMmY);
  const int32_t boxBottom = int32_t(float(boxTop) + kHeaderMm * page.pixelsPerMmY);
  PrintFrame(dc, {x - 20, boxTop, r, boxBottom});
  PrintRule(dc, x + w + 20, boxTop, x + w + 20, boxBottom);
  PrintText(dc, t4, {x + w + 40, boxTop + 30, r, boxBottom}, plat::DT_LEFT | plat::DT_NOPREFIX);
  int32_t y = boxTop + 30;
  for (const Vcon::WString* t : {&t1, &t2, &t3}) {
    PrintText(dc, *t, {x, y, r, boxBottom}, plat::DT_LEFT | plat::DT_NOPREFIX);
    y += int32_t(10 * fs);
  }

  const float size = float(FontSize(printLayout_));
  PrintFont(dc, size * fs, true);
  const int32_t left = page.image.left;
  for (const Column& c : Columns(printLayout_)) {
    const int32_t field = DisplayListLayout::FieldOf(c);
    Vcon::String name;
    printLineFile_->FieldNameAt(field, name);
    PrintText(
        dc, TextById(8000 + field, name.c_str()),
        {left + c.x, int32_t(printTop_ + 36 * fs), left + c.x + c.width, int32_t(printTop_ + printHeader_)},
        uint32_t(c.textFormat) | plat::DT_NOPREFIX);
  }
  const int32_t ruleY = int32_t(printTop_ + 36 * fs + size * fs);
  PrintRule(dc, page.image.left, ruleY, page.image.right, ruleY);
  dc.RestoreFont();
  ppPicture* side = SidePicture();
  PrintPicture(dc, side, SideRect(side, page, false, 10));
}

void zelvproCalculatorList::PrintSheetHeader(ppDC& dc, qxPrintPage& page) {
  const int32_t w = (page.image.right - page.image.left - kSheetFirst) / kSheetColumns;
  PrintFrame(dc, {page.image.left, int32_t(kTopMm * page.pixelsPerMmY), page.image.right,
                  int32_t((kTopMm + kHeaderMm) * page.pixelsPerMmY)});
  PrintFont(dc, float(FontSize(printLayout_)) * page.textScale, true);
  const std::vector<Column> columns = Columns(printLayout_);
  const Column first = columns.empty() ? Column{} : columns[0];
  Vcon::String name;
  printLineFile_->FieldNameAt(DisplayListLayout::FieldOf(first), name);
  plat::RECT cell{page.image.left, int32_t(printTop_), page.image.left + w,
                  int32_t(printTop_ + printHeader_)};
  for (int32_t i = 1; i <= 10; ++i) {
    const uint32_t align = i >= 9 ? plat::DT_RIGHT : uint32_t(first.textFormat);
    PrintText(dc, TextById(7500 + i, name.c_str()), cell, align | plat::DT_NOPREFIX);
    const int32_t step = i == 1 ? kSheetFirst : w;
    cell.left += step;
    cell.right += step;
  }
  const int32_t ruleY = int32_t(printTop_ + printHeader_ / 2);
  PrintRule(dc, page.image.left, ruleY, page.image.right, ruleY);
  dc.RestoreFont();
  // The logo of the user folder at the left (a missing or unreadable file prints nothing), the side
  // picture at the right.
  const ppPicture logo{LogoFile()};
  PrintPicture(dc, &logo, SideRect(&logo, page, false, 10));
  ppPicture* side = SidePicture();
  PrintPicture(dc, side, SideRect(side, page, true, 12));
}

void zelvproCalculatorList::PrintFooter(ppDC& dc, qxPrintPage& page) {
  const float ps = page.imageScale;
  const int32_t bottom = int32_t(page.pageHeight - kBottomMm * page.pixelsPerMmY);
  const plat::RECT f{page.image.left, int32_t(float(bottom) - kFooterMm * page.pixelsPerMmY),
                     page.image.right, bottom};
  PrintFont(dc, 10 * page.textScale, false);
  const int32_t n = lineCount_ > 0 ? pageNumber_ : 1;

  const Vcon::WString disclaimer = TextById(5163, "Disclaimers....");
  plat::RECT measured{f.left, 0, f.right, 0};
  dc.MeasureText(disclaimer, &measured, kWrap);
  const int32_t h = measured.bottom - measured.top;
  plat::RECT d{f.left, 0, f.right, int32_t(float(f.bottom) - 20 * ps)};
  d.top = int32_t(float(d.bottom - h) - 21 * ps);
  PrintFrame(dc, d);
  PrintText(dc, disclaimer,
            {int32_t(float(d.left) + 9 * ps), int32_t(float(d.top) + 7 * ps),
             int32_t(float(d.right) - 9 * ps), int32_t(float(d.bottom) - 7 * ps)},
            kWrap);

  const Vcon::WString line =
      TextById(5164, "Page") + Narrow(" ") + Number(n) + Narrow(" / ") + Number(pageCount_);
  const int32_t x = (f.left + f.right) / 2 - dc.GetTextWidth(line) / 2;
  const int32_t y = int32_t(float(f.bottom) - 14 * ps);
  PrintText(dc, line, {x, y, f.right, f.bottom}, plat::DT_LEFT | plat::DT_NOPREFIX);
  dc.RestoreFont();
}

// ---- Lines.

int32_t zelvproCalculatorList::MeasureListLine(ppDC& dc, qxPrintPage& page, int32_t line, float top,
                                               std::vector<Vcon::WString>& values, int32_t& type) {
  Fil& t = *printLineFile_;
  t.ReadRecordAt(line, nullptr);
  t.BuildLineTexts(nullptr);
  type = RawLong(t, Fil::kType);
  PrintFont(dc, float(FontSize(printLayout_)) * page.textScale, type == Fil::kTagHeading);
  const std::vector<Column> columns = Columns(printLayout_);
  const int32_t left = page.image.left;
  values.assign(columns.size(), Vcon::WString());
  int32_t rows = 1;
  for (size_t i = 0; i < columns.size(); ++i) {
    const Column& c = columns[i];
    if (c.width <= 0) continue;
    if (c.layoutId == 0) values[i] = Value(t, DisplayListLayout::FieldOf(c));
    const plat::RECT cell{left + c.x, int32_t(top), left + c.x + c.width, int32_t(top + rowHeight_)};
    plat::RECT m = cell;
    dc.MeasureText(values[i], &m, uint32_t(c.textFormat) | kWrap);
    if (m.bottom > cell.bottom) rows = std::max(rows, RowsNeeded(float(m.bottom - m.top), rowHeight_));
  }
  return rows;
}

void zelvproCalculatorList::PrintListLine(int32_t /*line*/, ppDC& dc, qxPrintPage& page) {
  Fil& t = *printLineFile_;
  const float fs = page.textScale;
  std::vector<Vcon::WString> values;
  int32_t type = 0;
  int32_t rows = MeasureListLine(dc, page, currentLine_, printY_, values, type);
  const std::vector<Column> columns = Columns(printLayout_);
  const int32_t left = page.image.left;
  const int32_t top = int32_t(printY_);
  const bool tall = rows > rowsPerPage_;
  if (rowsOnPage_ + rows > rowsPerPage_ && !(tall && rowsOnPage_ == 0)) {
    // Not on this page: the page loop breaks the page and prints the line again.
    rowsOnPage_ += rows;
    dc.RestoreFont();
    return;
  }
  // A line taller than a whole page prints once on a fresh page, cut at the page's rows.
  if (tall) rows = rowsPerPage_;
  ppClipSaver saved(dc);
  std::unique_ptr<ppRegion> clip;
  if (tall) {
    clip = dc.GetClipRegion();
    dc.ClipToRect({page.image.left, top, page.image.right, int32_t(printY_ + float(rows) * rowHeight_)});
  }

  const int32_t description = CalculatorDescriptionField();
  for (size_t i = 0; i < columns.size(); ++i) {
    const Column& c = columns[i];
    const int32_t field = DisplayListLayout::FieldOf(c);
    if (c.width <= 0 || (!CalculatorFieldShown(field, type) && field != description)) continue;
    plat::RECT cell{left + c.x, top, left + c.x + c.width, top};
    plat::RECT m = cell;
    m.bottom = top + 65536;
    dc.MeasureText(values[i], &m, uint32_t(c.textFormat) | kWrap);
    cell.bottom = top + (m.bottom - m.top);
    if (field != Fil::kPict) {
      PrintText(dc, values[i], cell, uint32_t(c.textFormat) | kWrap);
    } else if (const ppPicture* preview = LinePreview(t, t.BufferRefs(nullptr).db)) {
      // The picture's frame grown by the point scale, centred in the cell.
      const plat::RECT* frame = preview->GetFrame();
      const int32_t pw = int32_t(float(frame->right - frame->left) * page.imageScale);
      const int32_t ph = int32_t(float(frame->bottom - frame->top) * page.imageScale);
      const int32_t x = cell.left + ((cell.right - cell.left - pw) >> 1);
      const int32_t y = cell.top + ((cell.bottom - cell.top - ph) >> 1);
      PrintPicture(dc, preview, {x, y, x + pw, y + ph});
      dc.SetNormalPen();
    }
    if (type == Fil::kTagSubtotal || type == Fil::kTotalLine)
      PrintRule(dc, page.image.left, cell.top - 12, page.image.right, cell.top - 12);
    if (type == Fil::kTotalLine && (field == Fil::kTotal || field == Fil::kTotalText2)) {
      PrintRule(dc, cell.left, cell.bottom, cell.right, cell.bottom);
      const int32_t y2 = int32_t(float(cell.bottom) + 3 * fs);
      PrintRule(dc, cell.left, y2, cell.right, y2);
    }
    const int32_t h = cell.bottom - cell.top;
    if (field == Fil::kPiecesAndMissing && RawLong(t, Fil::kMissing) != 0) {
      const int32_t inset = int32_t(fs), dx = int32_t(3 * fs), dy = int32_t(2 * fs);
      const plat::RECT dot{cell.left + inset + dx, cell.top + inset - dy, cell.left + h - inset + dx,
                           cell.top + h - inset - dy};
      dc.SetColor({75, 0, 0});
      dc.FillEllipse(dot);
      if (recorder_ != nullptr) recorder_->Ellipse(dot, {75, 0, 0});
      dc.SetNormalPen();
    }
    if (field == Fil::kUnitText || field == Fil::kUnitDescription || field == Fil::kCompleteUnit) {
      // A stored line never holds an element's address (its "element" word stays 0): the element is
      // in the pane's table's references; the print table reads the same lines but holds none.
      zelvproElement* element = lineFile_->LineRefsAt(currentLine_).element;
      if (element != nullptr) {
        const uint32_t marks = uint32_t(element->StatusFlags());
        const int32_t side = int32_t(8 * fs);
        plat::RECT mark{cell.right, cell.top, cell.right + side, cell.top + side};
        if ((marks & 0xFFFF) != 0) {
          dc.SetColor({0, 0, 75});
          dc.FillEllipse(mark);
          if (recorder_ != nullptr) recorder_->Ellipse(mark, {0, 0, 75});
          const int32_t step = int32_t(2 * fs) + side;
          mark.left += step;
          mark.right += step;
        }
        if ((marks & 0x10000) != 0) {
          dc.SetColor({0, 75, 0});
          dc.FillRect(mark);
          if (recorder_ != nullptr) recorder_->Square(mark, {0, 75, 0});
        }
        dc.SetNormalPen();
      }
    }
  }
  if (clip != nullptr) dc.SetClipRegion(clip.get());
  printY_ += float(rows) * rowHeight_;
  ++currentLine_;
  rowsOnPage_ += rows;
  dc.RestoreFont();
}

int32_t zelvproCalculatorList::SheetRowsBefore(int32_t type, int32_t sort5, int32_t rowsOnPage) {
  int32_t rows = 0;
  if (sort5 == 0 && rowsOnPage != 0 && type != Fil::kTagHeading && type != Fil::kItemService &&
      type != Fil::kTextLine)
    ++rows;
  if (type == Fil::kEmptyLine || type == Fil::kTagSubtotal || type == Fil::kTagHeading) --rows;
  return rows;
}

// The Total on its own row, under a rule across the sheet: its label and amount over the last two
// columns (the label at their left, the amount at the right edge), the amount underlined twice. The
// line before it keeps its row to itself, whatever it printed there.
void zelvproCalculatorList::PrintSheetTotal(ppDC& dc, qxPrintPage& page, int32_t x0, int32_t w) {
  Fil& t = *printLineFile_;
  const float fs = page.textScale;
  const int32_t top = int32_t(printY_);
  PrintRule(dc, x0, top - 12, page.image.right, top - 12);
  const UserPreferences& p = Preferences();
  const bool plain = p.useFactors == 0 || p.profitFactor == 1.0f;
  const Vcon::WString label = plain ? TextById(7520, "Total") : TextById(7521, "Total");
  const Vcon::WString amount = Value(t, Fil::kTotal);
  const plat::RECT r{page.image.right - 2 * w, int32_t(float(top) + 3 * fs), page.image.right,
                     int32_t(printY_ + rowHeight_)};
  PrintText(dc, label, r, plat::DT_LEFT | plat::DT_NOPREFIX);
  PrintText(dc, amount, r, plat::DT_RIGHT | plat::DT_NOPREFIX);
  // The underlines just below the amount's text.
  plat::RECT measured{r.left, r.top, r.right, r.top};
  dc.MeasureText(amount.empty() ? label : amount, &measured, plat::DT_RIGHT | plat::DT_NOPREFIX);
  const int32_t y1 = r.top + (measured.bottom - measured.top);
  const int32_t y2 = int32_t(float(y1) + 4 * fs);
  PrintRule(dc, r.left, y1, r.right, y1);
  PrintRule(dc, r.left, y2, r.right, y2);
}

void zelvproCalculatorList::PrintSheetLine(int32_t /*line*/, ppDC& dc, qxPrintPage& page) {
  Fil& t = *printLineFile_;
  const float fs = page.textScale;
  const int32_t w = (page.image.right - page.image.left - kSheetFirst) / kSheetColumns;
  t.ReadRecordAt(currentLine_, nullptr);
  const float size = float(FontSize(printLayout_));
  PrintFont(dc, size * fs, false);
  const std::vector<Column> columns = Columns(printLayout_);
  const Column first = columns.empty() ? Column{} : columns[0];
  const uint32_t align = uint32_t(first.textFormat) | plat::DT_NOPREFIX;
  const uint32_t right = plat::DT_RIGHT | plat::DT_NOPREFIX;
  const int32_t type = RawLong(t, Fil::kType);

  const int32_t before = SheetRowsBefore(type, RawLong(t, Fil::kSort5), rowsOnPage_);
  printY_ += float(before) * rowHeight_;
  rowsOnPage_ += before;
  const int32_t x0 = page.image.left + first.x;
  if (type == Fil::kTotalLine) PrintSheetTotal(dc, page, x0, w);
  plat::RECT k{x0, int32_t(printY_), page.image.left + w, int32_t(printY_ + rowHeight_)};
  const auto move = [&k](int32_t dx) {
    k.left += dx;
    k.right += dx;
  };
  // The line's element, from the pane's table's references (see PrintListLine).
  zelvproElement* element = lineFile_->LineRefsAt(currentLine_).element;
  if (element != nullptr && (uint32_t(element->StatusFlags()) & 0xFFFF) != 0) {
    PrintFont(dc, 18 * fs, true);
    PrintText(dc, Narrow("*"), k, plat::DT_LEFT | plat::DT_NOPREFIX);
    PrintFont(dc, size * fs, false);
  }
  move(int32_t(10 * fs));
  ppParameter pieces;
  t.GetFieldValue(Fil::kPieces, pieces, nullptr);
  if (pieces.ToDouble() > 0) PrintText(dc, pieces.AsWString(), k, plat::DT_LEFT | plat::DT_NOPREFIX);
  move(kSheetFirst - int32_t(10 * fs));
  if (type < Fil::kItemService || type > Fil::kVatLine) {
    move(w);
    PrintText(dc, Value(t, Fil::kWideCorpusColor), k, align);
    move(w);
    if (element != nullptr) {
      PrintText(dc, FloatText(element->SizeValue() / 10), k, align);
      // The names of the element's first three colours, each where its group bit is set; a colour
      // id of 0, no catalogue or a colour record that is gone leave the cell empty.
      const uint32_t mask = element->CollectBitMask(true);
      zelvDatabase* db = element->GetDatabase();
      for (int32_t index = 1; index <= 3; ++index) {
        move(w);
        const int32_t colour =
            (mask & (1u << (index - 1))) != 0 ? element->GetColorRecordIdClamped(index) : 0;
        if (colour == 0 || db == nullptr) continue;
        const ScratchRecord record(db->ColorCatalogFile(), colour);
        if (record.Present()) PrintText(dc, record.Wide("tname"), k, align);
      }
      move(w);
      PrintText(dc, Value(t, t.IndexOf("tbackCoverColor")), k, align);
      move(w);
      PrintText(dc, Value(t, Fil::kPrice), k, right);
      move(w);
      PrintText(dc, Value(t, Fil::kTotal), k, right);
    }
  } else {
    // A line the user added (Item/Service, Text, Discount, SubTotal, VAT/Tax): its words, six
    // columns wide from here on, then its amounts as money at the right edges of columns 9 (the price
    // of an Item/Service or Text) and 10 (its total).
    const bool item = type == Fil::kItemService || type == Fil::kTextLine;
    move(w);
    k.right += 5 * w;
    PrintText(dc, item ? ItemWords(t) : SumWords(t), k, align);
    move(w);
    if (item) PrintText(dc, Value(t, Fil::kPrice), k, right);
    move(w);
    PrintText(dc, Value(t, Fil::kTotal), k, right);
  }
  printY_ += rowHeight_;
  ++currentLine_;
  ++rowsOnPage_;
  dc.RestoreFont();
}
