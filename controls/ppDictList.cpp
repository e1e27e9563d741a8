#include "controls/ppDictList.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "database/HandleList.h"
#include "database/dbDatafile.h"
#include "database/ppDatafile.h"
#include "foundation/ProcessServices.h"
#include "foundation/ppParameter.h"
#include "framework/FontCache.h"
#include "framework/ppBrushSaver.h"
#include "framework/ppClipSaver.h"
#include "framework/ppDC.h"
#include "framework/ppRegion.h"
#include "framework/ppScrollBar.h"
#include "framework/ppWindow.h"
#include "platform/Cursors.h"
#include "platform/WindowApi.h"

namespace {

constexpr uint32_t kDefaultFontSize = 14;
// The class shares its parent's context (the platform names no constant for it).
constexpr plat::UINT kParentDcStyle = 0x0080;
constexpr int32_t kDefaultColumnWidth = 200;
constexpr int32_t kMaxNameBytes = 31;
// Light grey of the header band and the highlight, percent.
constexpr int32_t kLightGray = 80;

plat::RECT Intersection(const plat::RECT& a, const plat::RECT& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

bool IsEmptyRect(const plat::RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

std::string Cut(const std::string& name) { return name.substr(0, kMaxNameBytes); }

}  // namespace

ppDictList::ppDictList(ppView* supervisor, const plat::RECT& frame, int32_t lineHeight, ppDatafile* table,
                       Handle layout, int32_t scrollMode, int8_t horizontal, int8_t vertical)
    : ppOutputList(supervisor, frame, lineHeight, scrollMode, horizontal, vertical),
      layout_(layout),
      table_(table),
      recordBuffer_(table != nullptr ? table->GetRecordBuffer() : nullptr) {
  if (table_ != nullptr) BindColumns();
  SetActive(true);
}

ppDictList::~ppDictList() {
  StoreLayoutFrame();
  MemDispose(layout_);
  layout_ = nullptr;
}

// ---- Binding.

void ppDictList::BindColumns() {
  SetDatafile(name_, table_);
  if (layout_ == nullptr) return;
  BindColumnTables();
  StoreLayoutFrame();
  DisplayListLayout::Header header;
  DisplayListLayout::ReadHeader(layout_, &header);
  font_.style = 0;
  std::snprintf(font_.face, sizeof font_.face, "%s", kDefaultFaceName);
  font_.headerFlag = 0;
  font_.size = int32_t(header.fontSize);
  columnCount_ = int32_t(DisplayListLayout::ColumnCount(layout_));
  SetColumnStepCount(ColumnStep() > 0 ? GetTotalWidth() / ColumnStep() + 2 : 0);
  const int32_t lines = table_->GetSelectedCount();
  StoreLineCount(lines);
  if (HorizontalBar() != nullptr)
    HorizontalBar()->SetRange(std::max(0, ColumnStepCount() - VisibleColumnSteps()));
  if (VerticalBar() != nullptr) VerticalBar()->SetRange(std::max(0, lines - VisibleLines()));
  SetLineCount(lines);
}

void ppDictList::BindColumnTables() {
  columnTables_.assign(size_t(std::max(columnCount_, 0)), table_);
  if (table_ == nullptr) return;
  const uint32_t own = uint32_t(table_->File().FileId());
  for (int32_t i = 0; i < columnCount_; ++i) {
    DisplayListLayout::Column column = DisplayListLayout::ReadColumn(layout_, uint32_t(i));
    if (column.layoutId != 0 && column.layoutId != own) {
      try {
        columnTables_[size_t(i)] = table_->GetLinkedDatafile(int32_t(column.layoutId));
      } catch (int32_t) {
        // A linked file the database cannot open: the own table serves the column.
      }
      if (columnTables_[size_t(i)] == nullptr) columnTables_[size_t(i)] = table_;
    }
    column.table = 0;  // a table view does not fit the word; the vector above holds it
    DisplayListLayout::WriteColumn(layout_, uint32_t(i), column);
  }
}

ppDatafile* ppDictList::ColumnTable(int32_t i) const {
  if (i >= 0 && size_t(i) < columnTables_.size() && columnTables_[size_t(i)] != nullptr)
    return columnTables_[size_t(i)];
  return table_;
}

void ppDictList::SetDatafile(const std::string& name, ppDatafile* table) {
  table_ = table;
  if (table == nullptr) return;
  recordBuffer_ = table->GetRecordBuffer();
  if (layout_ == nullptr) {
    layout_ = MakeDefaultLayout(table);
    name_ = Cut(name);
    DisplayListLayout::WriteTitle(layout_, name_);
  }
  columnCount_ = int32_t(DisplayListLayout::ColumnCount(layout_));
  BindColumnTables();
  ScaleColumnWidths();
  LayoutColumns();
  UpdateScrollBars();
  SetLineCount(table->GetSelectedCount());
}

Handle ppDictList::MakeDefaultLayout(ppDatafile* table) {
  DisplayListLayout::Header header;
  DisplayListLayout::Column column;
  if (table != nullptr) {
    Vcon::String layoutName;
    table->GetLayoutName(layoutName);
    header.title = Cut(layoutName);
    header.layoutId = uint32_t(table->File().FileId());
    column.layoutId = header.layoutId;
  }
  header.fontSize = kDefaultFontSize;
  column.width = kDefaultColumnWidth;
  return DisplayListLayout::Make(header, {column});
}

void ppDictList::LoadLayout(Handle layout) {
  if (layout == nullptr) return;
  if (layout_ == nullptr) Vcon_HandleManager::MemNew(&layout_, 0);
  MemCopy(layout, layout_);
  columnCount_ = int32_t(DisplayListLayout::ColumnCount(layout_));
  // The loaded block's table words mean nothing here: every column gets its serving table again, so a
  // layout with more columns than the one bound before never leaves a column without a table.
  BindColumnTables();
  ScaleColumnWidths();
  LayoutColumns();
  UpdateScrollBars();
  Invalidate();
}

// ---- Column geometry.

void ppDictList::ScaleColumnWidths() {
  if (layout_ == nullptr) return;
  plat::RECT list;
  GetListRect(&list);
  DisplayListLayout::ScaleWidths(layout_, list.right - list.left);
}

void ppDictList::LayoutColumns() {
  if (layout_ == nullptr) return;
  DisplayListLayout::PlaceColumns(layout_);
  SetColumnStepCount(ColumnStep() > 0 ? GetTotalWidth() / ColumnStep() + 5 : 0);
}

int32_t ppDictList::GetTotalWidth() {
  if (layout_ == nullptr || columnCount_ <= 0) return 0;
  const DisplayListLayout::Column last = DisplayListLayout::ReadColumn(layout_, uint32_t(columnCount_ - 1));
  return last.x + last.width;
}

void ppDictList::GetCellRect(int32_t column, int32_t line, plat::RECT* rect) {
  if (layout_ == nullptr || column < 0 || column >= columnCount_) return;
  const DisplayListLayout::Column c = DisplayListLayout::ReadColumn(layout_, uint32_t(column));
  plat::RECT list;
  GetListRect(&list);
  GetLineRect(line, rect);
  rect->left = list.left + c.x - FirstColumnStep() * ColumnStep();
  rect->right = rect->left + c.width;
}

int32_t ppDictList::ColumnEdgeAt(int32_t x, int32_t y) {
  if (layout_ == nullptr) return -1;
  plat::RECT frame, list;
  GetWindowFrame(&frame);
  GetListRect(&list);
  if (y < frame.top || y >= frame.bottom) return -1;
  const int32_t scroll = FirstColumnStep() * ColumnStep();
  for (int32_t i = 0; i < columnCount_; ++i) {
    const DisplayListLayout::Column c = DisplayListLayout::ReadColumn(layout_, uint32_t(i));
    const int32_t edge = list.left + c.x + c.width - scroll;
    if (x >= edge - 4 && x <= edge + 8) return i;
  }
  return -1;
}

void ppDictList::StoreLayoutFrame() {
  if (layout_ == nullptr) return;
  const plat::RECT& f = GetFrame();
  const int32_t frame[4] = {f.left, f.top, f.right, f.bottom};
  DisplayListLayout::WriteFrame(layout_, frame);
}

// ---- Drawing.

void ppDictList::DrawText(ppDC& dc, const Vcon::WString& text, const plat::RECT& rect, int32_t format) {
  DrawListText(dc, text, rect, format);
}

void ppDictList::DrawFrame(ppDC& dc) {
  ppClipSaver savedClip(dc);
  ppBrushSaver savedBrushes(dc);
  std::unique_ptr<ppRegion> base = dc.GetClipRegion();
  plat::RECT f, l;
  GetWindowFrame(&f);
  GetListRect(&l);
  const ppRGBColor before = dc.GetColorBytes();
  dc.SetTextColor({0, 0, 0});
  dc.SetBackGray(100);
  dc.SetGray(0);
  dc.MoveTo(f.right - kBarThickness, f.top);
  dc.LineTo(f.right - kBarThickness, f.top + 20);
  const plat::RECT inner{f.left, f.top, f.right - kBarThickness, f.bottom};
  ClipWithin(dc, *base, inner);
  dc.EraseRect(inner);
  dc.SetGray(kLightGray);
  dc.FillRect({l.left, f.top, l.right, l.top});
  dc.FillRect({l.right - 1, f.top, f.right - 17, l.top});
  dc.SetGray(0);
  dc.MoveTo(l.left, l.top - 1);
  dc.LineTo(l.right, l.top - 1);
  const plat::RECT outline{f.left - 1, f.top - 1, f.right + 1, f.bottom + 1};
  ClipWithin(dc, *base, outline);
  dc.FrameRect(outline);
  dc.SetColorBytes(before);
}

void ppDictList::DrawHeader(ppDC& dc) {
  ppClipSaver saved(dc);
  std::unique_ptr<ppRegion> base = dc.GetClipRegion();
  plat::RECT r;
  // The header row (line -1), wherever the list is scrolled: the line above the first shown one
  // lies above the header once the list is scrolled, and its captions would be clipped away.
  GetLineRect(-1, &r);
  font_.headerFlag = 1;
  ClipWithin(dc, *base, r);
  font_.style = 0;
  for (int32_t i = 0; i < columnCount_; ++i) {
    plat::RECT c = r;
    GetCellRect(i, -1, &c);
    c.top += 2;
    PrepareCell(i, 0, dc);
    const DisplayListLayout::Column column = DisplayListLayout::ReadColumn(layout_, uint32_t(i));
    Vcon::String name;
    if (ppDatafile* table = ColumnTable(i)) table->FieldNameAt(DisplayListLayout::FieldOf(column), name);
    DrawText(dc, Vcon::WString(name), c, column.textFormat);
  }
  font_.headerFlag = 0;
}

void ppDictList::DrawLine(int32_t line, ppDC& dc) {
  if (layout_ == nullptr || table_ == nullptr || line < 0 || line >= GetLineCount()) return;
  ppClipSaver saved(dc);
  std::unique_ptr<ppRegion> base = dc.GetClipRegion();
  plat::RECT list, frame, r;
  GetListRect(&list);
  GetWindowFrame(&frame);
  GetLineRect(line, &r);
  r = Intersection(r, list);
  if (IsEmptyRect(r)) return;
  ClipWithin(dc, *base, r);
  const int32_t scroll = FirstColumnStep() * ColumnStep();
  // Without a column meeting the line, last stays below first and the row is filled.
  int32_t first = columnCount_, last = -1;
  std::vector<DisplayListLayout::Column> columns(size_t(std::max(columnCount_, 0)));
  for (int32_t i = 0; i < columnCount_; ++i) {
    const DisplayListLayout::Column& c = columns[size_t(i)] =
        DisplayListLayout::ReadColumn(layout_, uint32_t(i));
    if (first == columnCount_ && c.x + c.width - scroll + frame.left > r.left) first = i;
    if (c.x - scroll + frame.left < r.right) last = i;
  }
  table_->ReadRecordAt(line, nullptr);
  if (last < first) {
    dc.FillRect(r);
    return;
  }
  const bool highlighted = IsLineSelected(line) && IsActive();
  for (int32_t i = first; i <= last; ++i) {
    ppParameter value;
    ColumnTable(i)->GetFieldValue(DisplayListLayout::FieldOf(columns[size_t(i)]), value, nullptr);
    plat::RECT c;
    GetCellRect(i, line, &c);
    if (highlighted) {
      const ppRGBColor before = dc.GetColorBytes();
      dc.SetGray(kLightGray);
      dc.FillRect(c);
      dc.SetColorBytes(before);
    }
    c.left += 2;
    c.right -= 2;
    c.top += 2;
    DrawText(dc, value.AsWString(), c, columns[size_t(i)].textFormat);
  }
}

void ppDictList::DrawCell(int32_t column, int32_t line, char*, ppDC& dc) {
  if (layout_ == nullptr || column < 0 || column >= columnCount_ || ColumnTable(column) == nullptr) return;
  const DisplayListLayout::Column c = DisplayListLayout::ReadColumn(layout_, uint32_t(column));
  const int32_t field = DisplayListLayout::FieldOf(c);
  ppParameter value;
  ColumnTable(column)->GetFieldValue(field, value, nullptr);
  plat::RECT list, cell;
  GetListRect(&list);
  GetCellRect(column, line, &cell);
  cell = Intersection(cell, list);
  if (IsEmptyRect(cell)) return;
  ppClipSaver saved(dc);
  std::unique_ptr<ppRegion> base = dc.GetClipRegion();
  ClipWithin(dc, *base, cell);
  dc.EraseRect({cell.left + 1, cell.top, cell.right, cell.bottom});
  PrepareCell(field, 0, dc);
  DrawText(dc, value.AsWString(), cell, c.textFormat);
}

void ppDictList::RedrawField(int32_t fieldIndex, int32_t line, ppDC& dc) {
  if (layout_ == nullptr || table_ == nullptr || line < 0 || line >= GetLineCount()) return;
  int32_t column = 0;
  for (int32_t i = 0; i < columnCount_; ++i) {
    if (DisplayListLayout::FieldOf(DisplayListLayout::ReadColumn(layout_, uint32_t(i))) == fieldIndex) {
      column = i;
      break;
    }
  }
  table_->ReadRecordAt(line, nullptr);
  DrawCell(column, line, nullptr, dc);
}

void ppDictList::UpdateField(int32_t fieldIndex, int32_t line, ppDC& dc) {
  RedrawField(fieldIndex, line, dc);
}

void ppDictList::RedrawLine(int32_t line, ppDC& dc) {
  ppClipSaver saved(dc);
  std::unique_ptr<ppRegion> base = dc.GetClipRegion();
  plat::RECT list, r;
  GetListRect(&list);
  GetLineRect(line, &r);
  r = Intersection(r, list);
  if (IsEmptyRect(r)) return;
  ClipWithin(dc, *base, r);
  dc.EraseRect(r);
  DrawFrame(dc);
  DrawLine(line, dc);
}

void ppDictList::RecordChanged() { Invalidate(); }
void ppDictList::RecordsChanged() { Invalidate(); }

// ---- Selection and clicks.

void ppDictList::RestrictToSelection() {
  if (table_ == nullptr) return;
  std::vector<int32_t> ids;
  for (int32_t line = NextSelectedLine(0); line >= 0; line = NextSelectedLine(line + 1))
    ids.push_back(table_->RecordIdAt(line));
  // Ascending lines, each put in front: the highest selected line comes first.
  std::reverse(ids.begin(), ids.end());
  Handle selection = table_->GetSelection();
  HandleList::Reset(selection);
  if (!ids.empty()) HandleList::Append(selection, ids.data(), uint32_t(ids.size()));
  SetLineCount(table_->GetSelectedCount());
  Invalidate();
}

void ppDictList::ClickInHeader(int32_t x, int32_t y, int32_t) {
  if (ColumnEdgeAt(x, y) >= 0)
    ColumnEdgeClicked(x, y);
  else
    HeaderClicked(x, y);
}

void ppDictList::DoubleClickLine() { plat::MessageBeep(0); }

void ppDictList::AdjustCursor(int32_t x, int32_t y) {
  plat::RECT list;
  GetListRect(&list);
  if (x >= list.left && x < list.right && y >= list.top && y < list.bottom)
    plat::SetCursor(plat::LoadCursorA(nullptr, plat::MAKEINTRESOURCEA(plat::IDC_ARROW)));
}

void ppDictList::SpareDictHook() {}
void ppDictList::SpareDictHookB() {}
void ppDictList::SpareDictHookC() {}
void ppDictList::ColumnEdgeClicked(int32_t, int32_t) {}
void ppDictList::HeaderClicked(int32_t, int32_t) {}

// ---- The window class.

void ppDictList::RegisterWindowClass() {
  plat::WNDCLASSA info;
  if (plat::GetClassInfoA(nullptr, kWindowClass, &info)) return;
  info = plat::WNDCLASSA();
  info.style = plat::CS_DBLCLKS | kParentDcStyle;
  info.lpfnWndProc = &ppDictList::WindowProc;
  info.hInstance = static_cast<plat::HINSTANCE>(const_cast<void*>(gInstance));
  info.hCursor = plat::LoadCursorA(nullptr, plat::MAKEINTRESOURCEA(plat::IDC_ARROW));
  info.hbrBackground = static_cast<plat::HBRUSH>(plat::GetStockObject(plat::WHITE_BRUSH));
  info.lpszClassName = kWindowClass;
  plat::RegisterClassA(&info);
}

plat::LRESULT ppDictList::WindowProc(plat::HWND window, plat::UINT message, plat::WPARAM wParam,
                                     plat::LPARAM lParam) {
  if (message == kAttachMessage) plat::SetPropA(window, kObjectProperty, reinterpret_cast<void*>(lParam));
  auto* object = static_cast<ppWindow*>(plat::GetPropA(window, kObjectProperty));
  if (object == nullptr) return plat::DefWindowProcA(window, message, wParam, lParam);
  if (message == plat::WM_DESTROY) {
    plat::RemovePropA(window, kObjectProperty);
    delete object;
    return plat::DefWindowProcA(window, message, wParam, lParam);
  }
  const int32_t result = object->HandleMessage(message, wParam, lParam);
  if (result == 0) return plat::DefWindowProcA(window, message, wParam, lParam);
  return result;
}
