#include "calculation/zelvproCalculatorList.h"

#include <algorithm>
#include <vector>

#include "calculation/CalculatorColumnFile.h"
#include "calculation/CalculatorFieldVisibility.h"
#include "calculation/PriceListTable.h"
#include "calculation/zelvproCalculatorFil.h"
#include "controls/DisplayListLayout.h"
#include "controls/ppConfigurator.h"
#include "elements/base/iElementHost.h"
#include "elements/base/zelvproElement.h"
#include "elements/base/zelvproLayerPalette.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/topview/ScratchRecord.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproPreviewFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "framework/ppPicture.h"
#include "foundation/ResourceAccess.h"
#include "foundation/TextsById.h"
#include "framework/ApplicationSettings.h"
#include "framework/ppClipSaver.h"
#include "framework/ppDC.h"
#include "framework/ppFrameAdorner.h"
#include "framework/ppRegion.h"
#include "framework/ppSwitchBoard.h"
#include "platform/ResetList.h"

namespace {

// Owned by the user-interface thread: the pane made last, cleared when it goes.
zelvproCalculatorList* gPane = nullptr;

[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("calculation: price list pane", [] { gPane = nullptr; });

using Fil = zelvproCalculatorFil;

constexpr int32_t kDeleteKey = 0x2E, kBackspaceKey = 0x08;
constexpr int32_t kLineGray = 90, kSelectedGray = 80;
// The footer band below the list: height, text inset from its top, amount inset from its right.
constexpr int32_t kFooterBand = 22, kFooterTop = 4, kFooterRight = 5;
// The width of the rectangles right-aligned texts are drawn in.
constexpr int32_t kTextBox = 400;

bool IsUserLine(int32_t type) { return type >= Fil::kItemService && type <= Fil::kVatLine; }

bool IsEmptyRect(const plat::RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

plat::RECT Intersect(const plat::RECT& a, const plat::RECT& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

}  // namespace

// The tables and their handle, made before the base list that shows the first table.
struct zelvproCalculatorList::Parts {
  Handle lines = nullptr;
  std::unique_ptr<zelvproCalculatorFil> table;
};

zelvproCalculatorList::zelvproCalculatorList(ppView* supervisor, const plat::RECT& frame,
                                             ppDatabase& database)
    : zelvproCalculatorList(supervisor, frame, database, [&database] {
        Parts parts;
        Vcon_HandleManager::MemNew(&parts.lines, 0);
        parts.table = std::make_unique<zelvproCalculatorFil>(database, parts.lines);
        return parts;
      }()) {}

zelvproCalculatorList::zelvproCalculatorList(ppView* supervisor, const plat::RECT& frame,
                                             ppDatabase& database, Parts parts)
    : ppDictList(supervisor, frame, kBaseLineHeight, parts.table.get(), nullptr, kVerticalBar, kStretch,
                 kStretch),
      lineFile_(std::move(parts.table)),
      linesHandle_(parts.lines) {
  // Lines are selected by plain clicks and by the keyboard; both open the line's panel.
  SetClicksIgnored(false);
  updateMessage_ = ppSwitchBoard::MessageIdByName(kUpdateMessage, true);
  for (int32_t id : {kAddItem, kAddText, kAddDiscount, kAddSubTotal, kAddVat, kDeleteLine})
    Subscribe(kButtonChannel, id);
  Subscribe(ppSwitchBoard::kNamedChannel, updateMessage_);

  printLineFile_ = std::make_unique<zelvproCalculatorFil>(database, linesHandle_);
  lineFile_->SetTextsFrozen(false);
  lineFile_->SetLineChanged([this](int32_t line) { LineChanged(line); });
  lineFile_->SetShowLastLine([this] { ShowLastLine(); });
  SetSingleSelection(true);

  Handle layout = LoadColumnFile(calculator_columns::kScreenColumns);
  SetLineHeight(LineHeight() + kLineHeightExtra);
  screenDescription_ = printDescription_ = CalculatorDescriptionField();
  if (layout == nullptr) layout = LoadResourceHandle(ResourceTypeCode("DLST"), "qxCalculatorDlst");
  if (layout != nullptr) {
    LoadLayout(layout);
    ReleaseResourceHandle(layout);
  }
  gPane = this;
  iCalculationList::Install(lineFile_.get());
  iCalculationUpdate::Install(this);
  SetPriceListTable(lineFile_.get());

  SetHeaderHeight(kHeaderHeight);
  if (TotalFooter()) SetFooterHeight(kFooterHeight);
  new ppFrameAdorner(this, kFramePicture, 1);  // the view owns it
}

zelvproCalculatorList::~zelvproCalculatorList() {
  if (gPane == this) gPane = nullptr;
  // The line panel's fields are bound to the table: they go first.
  if (panelShown_)
    if (ppConfigurator* configurator = ppConfigurator::Host()) configurator->RemoveAll();
  if (&iCalculationList::Current() == lineFile_.get()) iCalculationList::Install(nullptr);
  if (&iCalculationUpdate::Current() == this) iCalculationUpdate::Install(nullptr);
  if (PriceListTable() == lineFile_.get()) SetPriceListTable(nullptr);
  lineFile_->SetLineChanged({});
  lineFile_->SetShowLastLine({});
  printLineFile_.reset();
  lineFile_.reset();
  MemDispose(linesHandle_);
  linesHandle_ = nullptr;
  if (printLayout_ != nullptr) MemDispose(printLayout_);
  printLayout_ = nullptr;
}

zelvproCalculatorList* zelvproCalculatorList::Current() { return gPane; }

const ppPicture* zelvproCalculatorList::LinePreview(zelvproCalculatorFil& table, zelvDatabase* db) {
  ppParameter value;
  table.ppDatafile::GetFieldValue(Fil::kPict, value, nullptr);
  const int32_t preview = value.ToLong();
  if (db == nullptr || preview == 0) return nullptr;
  std::unique_ptr<ppPicture>& kept = previews_[{db, preview}];
  if (kept == nullptr) {
    kept = std::make_unique<ppPicture>();
    const ScratchRecord record(db->UnitFile().PreviewFile(), preview);
    const std::vector<uint8_t> bytes = record.Present() ? record.Blob("preview") : std::vector<uint8_t>();
    if (!bytes.empty()) kept->SetFromMemory(bytes.data(), bytes.size());
  }
  return kept->IsEmpty() ? nullptr : kept.get();
}

plat::RECT zelvproCalculatorList::CentredPictureRect(const ppPicture& picture, const plat::RECT& cell) {
  const int32_t pw = picture.GetWidth(), ph = picture.GetHeight();
  const int32_t x = cell.left + (cell.right - cell.left - pw) / 2;
  const int32_t y = cell.top + (cell.bottom - cell.top - ph) / 2;
  return {x, y, x + pw, y + ph};
}

bool zelvproCalculatorList::TotalFooter() { return (ApplicationFlags1() & kTotalFooter) != 0; }

Handle zelvproCalculatorList::LoadColumnFile(int32_t n) {
  return calculator_columns::ReadColumnFile(calculator_columns::ColumnFilePath(n));
}

// ---- Rebuilds.

void zelvproCalculatorList::UpdateCalculation(bool now) {
  auto* top = dynamic_cast<zelvproTopCanvas*>(iElementHost::Current().TopCanvas());
  if (top == nullptr) return;
  if (now)
    top->RecalculatePriceList();
  else
    top->RefreshAll();
}

int32_t zelvproCalculatorList::ShownLineCount() {
  const int32_t count = lineFile_->GetRecordCount();
  return TotalFooter() && count > 0 ? count - 1 : count;
}

void zelvproCalculatorList::SyncLineCount() {
  const int32_t shown = ShownLineCount();
  // A selection past the rows shown would name no line.
  for (int32_t line = NextSelectedLine(shown); line >= 0; line = NextSelectedLine(line + 1))
    SelectLine(line, false);
  SetLineCount(shown);
  UpdateScrollBars();
}

void zelvproCalculatorList::ShowLastLine() {
  lineFile_->BeginAccess();
  const int32_t count = lineFile_->GetRecordCount();
  if (TotalFooter() && count > 1 && LineType(count - 2) == Fil::kEmptyLine)
    lineFile_->DeleteRecordAt(count - 2);
  lineFile_->SaveToBlob();
  SyncLineCount();
  // The rows show what the table holds now (a rebuild ends here).
  Invalidate();
}

void zelvproCalculatorList::Clear() {
  lineFile_->BeginAccess();
  ClearSelection();
  for (int32_t i = lineFile_->GetRecordCount() - 1; i >= 0; --i) lineFile_->DeleteRecordAt(i);
  lineFile_->SaveToBlob();
  lineFile_->ForgetKeptDiscounts();
  ShowLastLine();
}

// ---- Lines.

int32_t zelvproCalculatorList::LineType(int32_t line) {
  ppParameter value;
  lineFile_->ReadRecordAt(line, lineFile_->ScratchBuffer());
  lineFile_->ppDatafile::GetFieldValue(Fil::kType, value, lineFile_->ScratchBuffer());
  return value.ToLong();
}

int32_t zelvproCalculatorList::LineId(int32_t line) {
  ppParameter value;
  lineFile_->ReadRecordAt(line, lineFile_->ScratchBuffer());
  lineFile_->ppDatafile::GetFieldValue(Fil::kRecordId, value, lineFile_->ScratchBuffer());
  return value.ToLong();
}

int32_t zelvproCalculatorList::FindLineById(int32_t id) {
  const int32_t count = lineFile_->GetRecordCount();
  for (int32_t i = 0; i < count; ++i)
    if (LineId(i) == id) return i;
  return -1;
}

void zelvproCalculatorList::InvalidateFrom(int32_t line) {
  if (line < 0) return Invalidate();
  plat::RECT from, list;
  GetLineRect(line, &from);
  GetListRect(&list);
  const plat::RECT area{list.left, std::max(from.top, list.top), list.right, list.bottom};
  if (IsEmptyRect(area)) return;
  ppDC dc(GetHWND());
  InvalidateInList(area, dc);
}

void zelvproCalculatorList::InvalidateRow(int32_t line) {
  plat::RECT r;
  GetLineRect(line, &r);
  ppDC dc(GetHWND());
  InvalidateInList(r, dc);
}

void zelvproCalculatorList::OpenLinePanel() {
  if ((ApplicationFlags2() & kNoLinePanel) != 0) return;
  ppConfigurator* configurator = ppConfigurator::Host();
  if (configurator == nullptr) return;
  lineFile_->ShowLinePanel(configurator);
  panelShown_ = true;
}

void zelvproCalculatorList::SelectAndShow(int32_t line) {
  for (int32_t old = SelectedLine(); old >= 0; old = NextSelectedLine(old + 1)) InvalidateRow(old);
  ClearSelection();
  SelectLine(line, true);
  InvalidateRow(line);
  lineFile_->BeginAccess();
  lineFile_->GoToItem(line);
  OpenLinePanel();
}

void zelvproCalculatorList::LineClicked(int32_t row, int32_t flags) {
  // The typed text goes to the line shown so far, still the table's current line here. Its write may
  // sort the lines anew: the click keeps to the line that was under the pointer.
  const int32_t line = FirstLine() + row;
  const int32_t id = row >= 0 && line < GetLineCount() ? LineId(line) : 0;
  ppConfigurator::CommitHostInput();
  if (id != 0)
    if (const int32_t now = FindLineById(id); now >= 0) row = now - FirstLine();
  ppDictList::LineClicked(row, flags);
}

void zelvproCalculatorList::SelectionChanged() {
  const int32_t line = SelectedLine();
  if (line < 0) return;
  lineFile_->BeginAccess();
  lineFile_->GoToItem(line);
  OpenLinePanel();
}

void zelvproCalculatorList::AddLine(int32_t type) {
  // What was typed for the line shown so far goes to that line before the new one takes the panel.
  ppConfigurator::CommitHostInput();
  lineFile_->BeginAccess();
  const int32_t remembered = SelectedLine();
  if (remembered >= 0) {
    InvalidateRow(remembered);
    SelectLine(remembered, false);
  }
  int32_t id = 0;
  if (zelvproLayerPalette* palette = iElementHost::Current().LayerPalette()) {
    id = palette->NextId();
  } else {
    // No palette (no document window): one above every id in use keeps ids unique.
    for (int32_t i = 0; i < lineFile_->GetRecordCount(); ++i) id = std::max(id, LineId(i));
    ++id;
  }
  lineFile_->ClearRecordBuffer(nullptr);
  lineFile_->SetFieldValue(Fil::kType, ppParameter(type), nullptr);
  lineFile_->SetFieldValue(Fil::kRecordId, ppParameter(id), nullptr);
  lineFile_->InsertRecordAt(-1, nullptr);
  lineFile_->SaveToBlob();
  // The user's lines are saved with the document: a new one is unsaved work.
  iElementHost::Current().MarkDocumentModified();
  lineFile_->AssignSortKeys();
  lineFile_->BeginAccess();
  lineFile_->ArrangeEmptyLines();
  lineFile_->SaveToBlob();
  SyncLineCount();
  int32_t line = FindLineById(id);
  if (line < 0 || line >= ShownLineCount()) line = remembered;
  if (line < 0 || line >= ShownLineCount()) return Invalidate();
  SelectAndShow(line);
  InvalidateFrom(line);
}

void zelvproCalculatorList::LineChanged(int32_t line) {
  lineFile_->BeginAccess();
  if (line < 0 || line >= lineFile_->GetRecordCount()) return;
  InvalidateRow(line);
  const int32_t id = LineId(line);
  if (id == 0) return;
  const bool wasSelected = IsLineSelected(line);
  SelectLine(line, false);
  lineFile_->AssignSortKeys();
  lineFile_->BeginAccess();
  lineFile_->ArrangeEmptyLines();
  lineFile_->SaveToBlob();
  SyncLineCount();
  const int32_t now = FindLineById(id);
  if (now < 0) return;
  if (wasSelected || SelectedLine() < 0) SelectLine(now, true);
  lineFile_->GoToItem(now);
  InvalidateFrom(std::min(line, now));
}

void zelvproCalculatorList::DeleteSelectedLine() {
  const int32_t line = SelectedLine();
  if (line < 0) return;
  lineFile_->BeginAccess();
  const int32_t type = LineType(line);
  zelvproElement* element = nullptr;
  if (type == Fil::kCalculationItem) {
    element = lineFile_->LineRefsAt(line).element;
    if (element == nullptr || !element->QuantityEditable()) return;
  } else if (!IsUserLine(type)) {
    return;
  }
  // The panel names the line (and the element): it goes before they do.
  if (panelShown_)
    if (ppConfigurator* configurator = ppConfigurator::Host()) configurator->RemoveAll();
  panelShown_ = false;
  ClearSelection();
  const int32_t id = LineId(line);
  if (element != nullptr) {
    // The element base's deletion takes it off the undo histories and out of the lines' references.
    element->DetachFromSupervisor();
    delete element;
  }
  const int32_t now = FindLineById(id);
  if (now >= 0) lineFile_->DeleteRecordAt(now);
  lineFile_->SaveToBlob();
  iElementHost::Current().MarkDocumentModified();
  iElementHost::Current().ShowDefaultConfigurator();
  UpdateCalculation(false);
  SyncLineCount();
  Invalidate();
}

void zelvproCalculatorList::DeleteByMessage() {
  const int32_t line = SelectedLine();
  if (line < 0) return;
  lineFile_->BeginAccess();
  if (!IsUserLine(LineType(line))) return;
  InvalidateFrom(line);
  if (panelShown_)
    if (ppConfigurator* configurator = ppConfigurator::Host()) configurator->RemoveAll();
  panelShown_ = false;
  SelectLine(line, false);
  lineFile_->DeleteRecordAt(line);
  lineFile_->SaveToBlob();
  iElementHost::Current().MarkDocumentModified();
  SyncLineCount();
  if (line < ShownLineCount()) SelectLine(line, true);
  iElementHost::Current().ShowDefaultConfigurator();
}

// ---- Input and messages.

void zelvproCalculatorList::KeyDown(signed char key, int32_t flags) {
  if (key == kDeleteKey || key == kBackspaceKey) return DoCommand(kDeleteCommand, 0);
  // Space, the digit keys and the up and down arrows are the base list's line navigation.
  ppDictList::KeyDown(key, flags);
}

void zelvproCalculatorList::DoCommand(int32_t command, intptr_t parameter) {
  zelvproLayerPalette* palette = iElementHost::Current().LayerPalette();
  switch (command) {
    case kDeleteCommand:
      return DeleteSelectedLine();
    case 3001:
      if ((ApplicationFlags1() & kPassViewMenu) != 0 && palette != nullptr)
        palette->PassViewCommand(command, parameter);
      return;
    case 3002:
    case 3003:
    case 3004:
    case 3005:
    case 3008:
      if (palette != nullptr) palette->PassViewCommand(command, parameter);
      return;
    case kShowCalculation:
      if (ppEventHandler* editor = iElementHost::Current().EditorCanvas())
        editor->DoCommand(kReloadCalculation, 0);
      Invalidate();
      return;
    default:
      ppDictList::DoCommand(command, parameter);
  }
}

void zelvproCalculatorList::ReceiveMessage(ppCollaborator* /*sender*/, int32_t channel, int32_t id,
                                           intptr_t /*parameter*/) {
  if (channel == kButtonChannel) {
    switch (id) {
      case kAddItem:
        AddLine(Fil::kItemService);
        break;
      case kAddText:
        AddLine(Fil::kTextLine);
        break;
      case kAddDiscount:
        AddLine(Fil::kDiscountLine);
        break;
      case kAddSubTotal: {
        lineFile_->BeginAccess();
        for (int32_t i = 0; i < lineFile_->GetRecordCount(); ++i)
          if (LineType(i) == Fil::kSubtotalLine) return;
        AddLine(Fil::kSubtotalLine);
        UpdateCalculation(false);
        break;
      }
      case kAddVat:
        AddLine(Fil::kVatLine);
        break;
      case kDeleteLine:
        DeleteByMessage();
        break;
      default:
        break;
    }
  }
  if (channel == ppSwitchBoard::kNamedChannel && id == updateMessage_) {
    lineFile_->BeginAccess();
    const int32_t selected = SelectedLine();
    const int32_t selectedId = selected >= 0 ? LineId(selected) : 0;
    ClearSelection();
    UpdateCalculation(false);
    if (selected >= 0) {
      const int32_t line = FindLineById(selectedId);
      if (line >= 0 && line < ShownLineCount()) {
        SelectLine(line, true);
        lineFile_->GoToItem(line);
      }
    }
  }
  Invalidate();
}

// ---- Size and texts.

void zelvproCalculatorList::SupervisorResized(int32_t dx, int32_t dy) {
  ppDictList::SupervisorResized(dx, dy);
  Handle layout = Layout();
  if (layout == nullptr || dx == 0) return;
  plat::RECT list;
  GetListRect(&list);
  const int32_t width = list.right - list.left;
  // From a content width of 0 there is nothing to scale by.
  if (width - dx <= 0) return;
  const double f = double(width) / double(width - dx);
  const uint32_t count = DisplayListLayout::ColumnCount(layout);
  if (count == 0) return;
  int32_t x0 = DisplayListLayout::ReadColumn(layout, 0).x;
  for (uint32_t i = 1; i < count; ++i) x0 = std::min(x0, DisplayListLayout::ReadColumn(layout, i).x);
  for (uint32_t i = 0; i < count; ++i) {
    DisplayListLayout::Column c = DisplayListLayout::ReadColumn(layout, i);
    c.x = int32_t(x0 + (c.x - x0) * f + 0.5);
    c.width = int32_t(c.width * f + 0.5);
    DisplayListLayout::WriteColumn(layout, i, c);
  }
  Invalidate();
}

void zelvproCalculatorList::UpdateTexts() {
  ppDictList::UpdateTexts();
  Invalidate();
}

// ---- Drawing.

void zelvproCalculatorList::DrawHeader(ppDC& dc) {
  Handle layout = Layout();
  if (layout == nullptr) return;
  ppClipSaver saved(dc);
  std::unique_ptr<ppRegion> base = dc.GetClipRegion();
  plat::RECT r;
  // The header row (line -1), wherever the list is scrolled: the line above the first shown one
  // lies above the header once the list is scrolled, and its captions would be clipped away.
  GetLineRect(-1, &r);
  ClipWithin(dc, *base, r);
  for (int32_t i = 0; i < ColumnCount(); ++i) {
    const DisplayListLayout::Column column = DisplayListLayout::ReadColumn(layout, uint32_t(i));
    const int32_t field = DisplayListLayout::FieldOf(column);
    Vcon::String name;
    if (ppDatafile* table = ColumnTable(i)) table->FieldNameAt(field, name);
    plat::RECT c = r;
    GetCellRect(i, -1, &c);
    // A caption stays inside its column: "Total" and "Note" side by side must not run together.
    ClipWithin(dc, *base, Intersect(c, r));
    c.left += kHeaderInset;
    DrawListText(dc, TextById(8000 + field, name.c_str()), c, column.textFormat);
  }
}

void zelvproCalculatorList::DrawFooter(ppDC& dc) {
  if (!TotalFooter()) return;
  ppClipSaver saved(dc);
  std::unique_ptr<ppRegion> base = dc.GetClipRegion();
  plat::RECT list;
  GetListRect(&list);
  const plat::RECT band{list.left - 1, list.bottom, list.right + 1, list.bottom + kFooterBand};
  dc.FrameRect(band);
  ClipWithin(dc, *base, band);
  int32_t right = band.right - kFooterRight;
  const int32_t top = band.top + kFooterTop;
  const auto text = [&](const Vcon::WString& s) {
    DrawListText(dc, s, {right - kTextBox, top, right, band.bottom}, plat::DT_RIGHT | plat::DT_NOPREFIX);
  };
  // Painting reads the loaded lines as they stand (reloading the handle would cost every line).
  for (int32_t i = lineFile_->GetRecordCount() - 1; i >= 0; --i) {
    if (LineType(i) != Fil::kTotalLine) continue;
    char* b = lineFile_->ScratchBuffer();
    ppParameter total;
    lineFile_->GetFieldValue(Fil::kTotal, total, b);
    text(total.AsWString());
    if ((ApplicationFlags1() & kSecondPrice) != 0) {
      right -= kFooterStep;
      ppParameter total2;
      lineFile_->GetFieldValue(Fil::kTotal2, total2, b);
      text(total2.AsWString());
    }
    break;
  }
  right -= kFooterStep;
  text(TextById(kFooterLabel, "Total (VAT incl.)"));
}

void zelvproCalculatorList::DrawMarks(ppDC& dc, int32_t field, const plat::RECT& cell, int32_t line) {
  const int32_t h = cell.bottom - cell.top;
  const ppRGBColor before = dc.GetColorBytes();
  if (field == Fil::kMissing) {
    ppParameter missing;
    lineFile_->ppDatafile::GetFieldValue(Fil::kMissing, missing, nullptr);
    if (missing.ToLong() != 0) {
      dc.SetColor({75, 0, 0});
      dc.FillEllipse({cell.left + 3, cell.top - 2, cell.left + 3 + h, cell.top - 2 + h});
    }
  }
  if (field == Fil::kUnitText || field == Fil::kUnitDescription || field == Fil::kWideUnitText) {
    zelvproElement* element = lineFile_->LineRefsAt(line).element;
    if (element != nullptr) {
      const uint32_t flags = uint32_t(element->StatusFlags());
      plat::RECT mark{cell.right - h + 3, cell.top - 2, cell.right + 3, cell.top - 2 + h};
      if ((flags & 0xFFFF) != 0) {
        dc.SetColor({0, 0, 75});
        dc.FillEllipse(mark);
        mark.left -= h + 3;
        mark.right -= h + 3;
      }
      if ((flags & 0x10000) != 0) {
        dc.SetColor({0, 75, 0});
        dc.FillRect(mark);
      }
    }
  }
  dc.SetColorBytes(before);
}

void zelvproCalculatorList::DrawLine(int32_t line, ppDC& dc) {
  Handle layout = Layout();
  if (layout == nullptr || line < 0 || line >= GetLineCount()) return;
  plat::RECT list, frame, r;
  GetListRect(&list);
  GetWindowFrame(&frame);
  GetLineRect(line, &r);
  if (IsEmptyRect(Intersect(r, list))) return;
  ppClipSaver saved(dc);
  std::unique_ptr<ppRegion> base = dc.GetClipRegion();
  ClipWithin(dc, *base, list);
  // The grid line along the bottom pixel row.
  dc.MoveTo(r.left, r.bottom - 1);
  dc.LineTo(r.right, r.bottom - 1);
  r.bottom -= 1;

  const int32_t count = ColumnCount();
  const int32_t scroll = FirstColumnStep() * ColumnStep();
  std::vector<DisplayListLayout::Column> columns(size_t(std::max(count, 0)));
  int32_t first = count, last = -1;
  for (int32_t i = 0; i < count; ++i) {
    const DisplayListLayout::Column& c = columns[size_t(i)] =
        DisplayListLayout::ReadColumn(layout, uint32_t(i));
    if (first == count && c.x + c.width - scroll + frame.left > r.left) first = i;
    if (c.x - scroll + frame.left < r.right) last = i;
  }

  lineFile_->ReadRecordAt(line, nullptr);
  lineFile_->BuildLineTexts(nullptr);
  ppParameter options;
  lineFile_->ppDatafile::GetFieldValue(Fil::kOptions, options, nullptr);
  Vcon::WString optionText = options.AsWString();
  if (optionText.find(u"\r\n") != std::u16string::npos) {
    optionText.ReplaceAll(u"\r\n", u" / ");
    lineFile_->SetFieldValue(Fil::kOptions, ppParameter(optionText), nullptr);
  }
  ppParameter typeValue;
  lineFile_->ppDatafile::GetFieldValue(Fil::kType, typeValue, nullptr);
  const int32_t type = typeValue.ToLong();
  if (TotalFooter() && type == Fil::kTotalLine) return;

  const ppRGBColor before = dc.GetColorBytes();
  if (type == Fil::kTagSubtotal || type == Fil::kTotalLine || type == Fil::kSubtotalLine ||
      type == Fil::kVatLine) {
    dc.SetGray(kLineGray);
    dc.FillRect(r);
    dc.SetColorBytes(before);
  }
  if (last < first) {
    dc.FillRect(r);
    dc.SetNormalPen();
    return;
  }
  const bool highlighted = IsLineSelected(line) && IsActive();
  // What each column shows on this line; the picture column shows no text.
  std::vector<Vcon::WString> texts(static_cast<size_t>(count));
  std::vector<bool> shown(static_cast<size_t>(count), false);
  for (int32_t i = first; i < count; ++i) {
    const int32_t field = DisplayListLayout::FieldOf(columns[size_t(i)]);
    if (!CalculatorFieldShown(field, type)) continue;
    shown[size_t(i)] = true;
    if (field == Fil::kPict) continue;
    ppParameter value;
    ColumnTable(i)->GetFieldValue(field, value, nullptr);
    texts[size_t(i)] = value.AsWString();
  }
  if (highlighted) {
    for (int32_t i = first; i <= last; ++i) {
      plat::RECT c;
      GetCellRect(i, line, &c);
      c.bottom = std::min(c.bottom, r.bottom);
      dc.SetGray(kSelectedGray);
      dc.FillRect(c);
      dc.SetColorBytes(before);
    }
  }
  for (int32_t i = first; i <= last; ++i) {
    if (!shown[size_t(i)]) continue;
    const DisplayListLayout::Column& column = columns[size_t(i)];
    const int32_t field = DisplayListLayout::FieldOf(column);
    plat::RECT c;
    GetCellRect(i, line, &c);
    c.bottom = std::min(c.bottom, r.bottom);
    // A text ends where the next column with something to show on this line begins: a left-aligned
    // text runs on over empty cells (a note line), never over another column's text.
    plat::RECT room = c;
    if ((column.textFormat & (plat::DT_RIGHT | plat::DT_CENTER)) == 0) {
      room.right = list.right;
      for (int32_t j = i + 1; j < count; ++j) {
        if (!shown[size_t(j)] || texts[size_t(j)].empty()) continue;
        plat::RECT next;
        GetCellRect(j, line, &next);
        room.right = std::max(c.right, next.left);
        break;
      }
    }
    // The cell's inner rectangle: 2 pixels in from either side, 3 below the top.
    c.left += kCellInset;
    c.right -= kCellInset;
    c.top += kCellTopInset;
    if (field != Fil::kPict) {
      ClipWithin(dc, *base, Intersect(room, list));
      plat::RECT t = room;
      t.left += kCellInset;
      t.right -= kCellInset;
      t.top += kCellTopInset;
      DrawListText(dc, texts[size_t(i)], t, column.textFormat);
    } else if (const ppPicture* preview = LinePreview(*lineFile_, lineFile_->BufferRefs(nullptr).db)) {
      // At its own size, centred in the cell and cut at its edges.
      ClipWithin(dc, *base, Intersect(c, list));
      dc.SetGray(kPictureGray);
      preview->DrawClipped(dc, CentredPictureRect(*preview, c));
      dc.SetColorBytes(before);
    }
    DrawMarks(dc, field, c, line);
  }
}
