#include "controls/ppGridScroller.h"

#include <algorithm>

#include "controls/ppGridEditField.h"
#include "controls/ppGrid.h"
#include "controls/ppGridEditTextField.h"
#include "controls/ppValidator.h"
#include "database/iProperty.h"
#include "framework/ppClipSaver.h"
#include "framework/ppDC.h"
#include "framework/ppPendingDeletions.h"
#include "framework/ppRegion.h"
#include "framework/ppScrollBar.h"
#include "platform/WindowApi.h"

namespace {

constexpr int32_t kSelectedGray = 80;  // percent
constexpr int32_t kCellGray = 100;
// The editor's edit control sits this far left of and above the cell's text, pixels, so its own
// inner margin puts the text where the grid draws it.
constexpr int32_t kEditorLeftShift = 5;
constexpr int32_t kEditorTopShift = 4;
constexpr signed char kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28;

// Truncates toward zero and rounds a remainder away from zero.
int32_t StepsFor(int32_t pixels, int32_t step) {
  int32_t steps = pixels / step;
  if (pixels % step != 0) steps += pixels > 0 ? 1 : -1;
  return steps;
}

}  // namespace

ppGridScroller::ppGridScroller(ppGrid* grid, const plat::RECT& frame)
    : ppView(grid), ppCollaborator(grid), grid_(grid) {
  // Heard and ignored; the editor completes by commands, not by this message.
  SubscribeByNames("grid_TextEditIsCompleted");
  SetFrame(frame);
}

ppGridScroller::~ppGridScroller() {
  // The editor is a subview while open and goes with the view part; one retired to the pending
  // deletions reads nothing of the body when it is deleted later.
  editor_ = nullptr;
}

// ---- Configuration.

void ppGridScroller::AddColumn(const ppGridColumn& column) { columns_.push_back(column); }

void ppGridScroller::SetScrollSteps(int32_t horizontal, int32_t vertical) {
  hStep_ = horizontal;
  vStep_ = vertical;
}

void ppGridScroller::SetCellMargins(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  margins_[0] = left;
  margins_[1] = top;
  margins_[2] = right;
  margins_[3] = bottom;
}

void ppGridScroller::SetScrollBars(ppScrollBar* horizontal, ppScrollBar* vertical) {
  hBar_ = horizontal;
  vBar_ = vertical;
}

// ---- Geometry.

plat::RECT ppGridScroller::HeaderRect() {
  plat::RECT r;
  GetWindowFrame(&r);
  r.bottom = r.top + lineHeight_;
  return r;
}

plat::RECT ppGridScroller::FooterRect() {
  plat::RECT r;
  GetWindowFrame(&r);
  r.top = r.bottom - lineHeight_;
  return r;
}

plat::RECT ppGridScroller::BodyArea() {
  plat::RECT r;
  GetWindowFrame(&r);
  if (Has(kHeader)) r.top += lineHeight_;
  if (Has(kFooter)) r.bottom -= lineHeight_;
  return r;
}

plat::RECT ppGridScroller::RowRect(int32_t row) {
  const plat::RECT area = BodyArea();
  plat::RECT r{area.left, 0, area.right, 0};
  if (Has(kRowsFromSource)) {
    r.top = area.top + row * lineHeight_ + 1;
    r.bottom = r.top + lineHeight_;
  } else {
    int32_t above = 0;
    const int32_t n = std::min<int32_t>(row, int32_t(rows_.size()));
    for (int32_t i = 0; i < n; ++i) above += rows_[size_t(i)];
    r.top = area.top + above + 1;
    r.bottom = r.top + (row >= 0 && row < int32_t(rows_.size()) ? rows_[size_t(row)] : lineHeight_);
  }
  const int32_t shift = VerticalStep() * vPosition_;
  r.top -= shift;
  r.bottom -= shift;
  return r;
}

plat::RECT ppGridScroller::ColumnRect(int32_t column) {
  const plat::RECT area = BodyArea();
  int32_t before = 0;
  const int32_t n = std::min(column, ColumnCount());
  for (int32_t i = 0; i < n; ++i) before += columns_[size_t(i)].Width();
  plat::RECT r{area.left + before + 1, area.top, 0, area.bottom};
  r.right = r.left + (column >= 0 && column < ColumnCount() ? columns_[size_t(column)].Width() : 0);
  const int32_t shift = HorizontalStep() * hPosition_;
  r.left -= shift;
  r.right -= shift;
  return r;
}

plat::RECT ppGridScroller::CellRect(int32_t column, int32_t row, bool inner) {
  const plat::RECT c = ColumnRect(column), rr = RowRect(row);
  plat::RECT r{c.left, rr.top, c.right, rr.bottom};
  if (inner) {
    r.left += margins_[0];
    r.top += margins_[1];
    r.right -= margins_[2];
    r.bottom -= margins_[3];
  }
  return r;
}

int32_t ppGridScroller::RowCount() {
  if (Has(kRowsFromSource)) return source_ != nullptr ? std::max(0, source_->CountItems()) : 0;
  return int32_t(rows_.size());
}

int32_t ppGridScroller::RowAt(int32_t x, int32_t y) {
  const int32_t count = RowCount();
  if (Has(kRowsFromSource) && lineHeight_ > 0) {
    // Rows are evenly spaced: look at the one the point's height gives and its neighbours.
    const plat::RECT first = RowRect(0);
    const int32_t guess = y >= first.top ? (y - first.top) / lineHeight_ : 0;
    for (int32_t row = std::max(0, guess - 1); row < std::min(count, guess + 2); ++row) {
      const plat::RECT r = RowRect(row);
      if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return row;
    }
    return -1;
  }
  for (int32_t row = 0; row < count; ++row) {
    const plat::RECT r = RowRect(row);
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return row;
  }
  return -1;
}

int32_t ppGridScroller::ColumnAt(int32_t x, int32_t y) {
  for (int32_t column = 0; column < ColumnCount(); ++column) {
    const plat::RECT r = ColumnRect(column);
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return column;
  }
  return -1;
}

bool ppGridScroller::IsRowVisible(int32_t row) {
  const plat::RECT r = RowRect(row), area = BodyArea();
  return r.bottom > area.top && r.top < area.bottom;
}

bool ppGridScroller::IsColumnVisible(int32_t column) {
  const plat::RECT r = ColumnRect(column);
  plat::RECT frame;
  GetWindowFrame(&frame);
  return r.right > frame.left && r.left < frame.right;
}

int32_t ppGridScroller::FirstVisibleRow() {
  const int32_t count = RowCount();
  int32_t row = 0;
  if (Has(kRowsFromSource) && lineHeight_ > 0) {
    // The scrolled-off height in whole rows, then corrected by the rectangles themselves.
    row = std::clamp((VerticalStep() * vPosition_) / lineHeight_, 0, count);
    while (row > 0 && IsRowVisible(row - 1)) --row;
  }
  const plat::RECT area = BodyArea();
  while (row < count && RowRect(row).bottom <= area.top) ++row;
  return row;
}

// ---- Drawing.

void ppGridScroller::DrawCell(int32_t column, int32_t row, ppDC& dc, iProperty* source,
                              const plat::RECT& rect) {
  if (source == nullptr || column < 0 || column >= ColumnCount()) return;
  if (row >= 0) source->GoTo(row);
  const ppParameter value = source->GetValueAt(source->IndexOf(columns_[size_t(column)].Name()));
  const bool selected = row >= 0 && row == selectedRow_ && (Has(kWholeRow) || column == selectedColumn_);
  dc.SetGray(selected ? kSelectedGray : kCellGray);
  dc.FillRect(rect);
  dc.SetNormalPen();
  dc.SetGray(0);
  if (value.Type() != ppParameter::kNone) {
    const plat::RECT inner{rect.left + margins_[0], rect.top + margins_[1], rect.right - margins_[2],
                           rect.bottom - margins_[3]};
    dc.DrawText(value.ToWString(-1, -1, 0, 0, ",.", 0), inner, 0);
  }
  dc.MoveTo(rect.left, rect.bottom - 1);
  dc.LineTo(rect.right - 1, rect.bottom - 1);
  dc.LineTo(rect.right - 1, rect.top - 1);
}

void ppGridScroller::DrawBodyCell(int32_t column, int32_t row, ppDC& dc) {
  DrawCell(column, row, dc, source_, CellRect(column, row, false));
}

void ppGridScroller::DrawHeaderCell(int32_t column, ppDC& dc) {
  const plat::RECT c = ColumnRect(column), band = HeaderRect();
  DrawCell(column, -1, dc, header_, {c.left, band.top, c.right, band.bottom});
}

void ppGridScroller::DrawFooterCell(int32_t column, ppDC& dc) {
  const plat::RECT c = ColumnRect(column), band = FooterRect();
  DrawCell(column, -1, dc, footer_, {c.left, band.top, c.right, band.bottom});
}

void ppGridScroller::DrawContent(ppDC& dc) {
  const int32_t columns = ColumnCount();
  int32_t firstColumn = 0;
  while (firstColumn < columns && !IsColumnVisible(firstColumn)) ++firstColumn;
  int32_t endColumn = firstColumn;
  while (endColumn < columns && IsColumnVisible(endColumn)) ++endColumn;

  if (Has(kHeader) && header_ != nullptr) {
    ppClipSaver clip(dc);
    dc.ClipToRect(HeaderRect());
    for (int32_t c = firstColumn; c < endColumn; ++c) DrawHeaderCell(c, dc);
  }
  {
    ppClipSaver clip(dc);
    const plat::RECT area = BodyArea();
    dc.ClipToRect(area);
    const int32_t count = RowCount();
    int32_t row = FirstVisibleRow();
    int32_t last = -1;
    for (; row < count && IsRowVisible(row); ++row) {
      for (int32_t c = firstColumn; c < endColumn; ++c) DrawBodyCell(c, row, dc);
      last = row;
    }
    // Below the last row, nothing stays of an earlier picture; without rows, the whole area.
    if (count == 0 || last == count - 1) {
      const int32_t top = count == 0 ? area.top : RowRect(last).bottom + 1;
      if (top < area.bottom) {
        dc.SetGray(kCellGray);
        dc.FillRect({area.left, top, area.right, area.bottom});
      }
    }
  }
  if (Has(kFooter) && footer_ != nullptr) {
    ppClipSaver clip(dc);
    dc.ClipToRect(FooterRect());
    for (int32_t c = firstColumn; c < endColumn; ++c) DrawFooterCell(c, dc);
  }
}

// ---- Extent and scrolling.

int32_t ppGridScroller::TotalWidth() const {
  int32_t total = 0;
  for (const ppGridColumn& column : columns_) total += column.Width();
  return total;
}

int32_t ppGridScroller::TotalHeight() {
  if (Has(kRowsFromSource)) return RowCount() * lineHeight_;
  int32_t total = 0;
  for (int32_t height : rows_) total += height;
  return total;
}

void ppGridScroller::UpdateExtent() {
  hExtent_ = TotalWidth() / HorizontalStep() + 1;
  vExtent_ = TotalHeight() / VerticalStep() + 1;
  UpdateScrollBars();
}

void ppGridScroller::UpdateScrollBars() {
  if (vBar_ != nullptr) {
    const plat::RECT area = BodyArea();
    vBar_->SetRange(TotalHeight() / VerticalStep() - (area.bottom - area.top) / VerticalStep());
    vBar_->SetPosition(vPosition_);
  }
  if (hBar_ != nullptr) {
    // The horizontal bar gets its range too: without one it could never be moved.
    hBar_->SetRange(TotalWidth() / HorizontalStep() - Width() / HorizontalStep());
    hBar_->SetPosition(hPosition_);
  }
}

void ppGridScroller::Refresh() {
  UpdateExtent();
  Invalidate();
}

void ppGridScroller::Scroll(int32_t dx, int32_t dy) {
  const plat::RECT area = BodyArea();
  const int32_t visibleColumns = Width() / HorizontalStep();
  const int32_t visibleRows = (area.bottom - area.top) / VerticalStep();
  if (hPosition_ + dx + visibleColumns > hExtent_) dx = hExtent_ - visibleColumns - hPosition_;
  if (hPosition_ + dx < 0) dx = -hPosition_;
  if (vPosition_ + dy + visibleRows > vExtent_) dy = vExtent_ - visibleRows - vPosition_;
  if (vPosition_ + dy < 0) dy = -vPosition_;
  if (dx == 0 && dy == 0) return;
  hPosition_ += dx;
  vPosition_ += dy;
  // An open editor is a window of its own: it moves with its cell.
  if (editor_ != nullptr) {
    editor_->MoveBy(-dx * HorizontalStep(), -dy * VerticalStep());
    editor_->SupervisorResized(0, 0);
  }
  plat::HWND window = GetHWND();
  plat::HDC hdc = window != nullptr ? plat::GetDC(window) : nullptr;
  if (hdc == nullptr) {
    Invalidate();
    return;
  }
  if (dx != 0) {
    plat::RECT frame;
    GetWindowFrame(&frame);
    ppRegion uncovered;
    plat::ScrollDC(hdc, -dx * HorizontalStep(), 0, &frame, &frame, uncovered.Handle(), nullptr);
    InvalidateRegion(&uncovered);
  }
  if (dy != 0) {
    // The bands stay where they are.
    plat::RECT body = area;
    ppRegion uncovered;
    plat::ScrollDC(hdc, 0, -dy * VerticalStep(), &body, &body, uncovered.Handle(), nullptr);
    InvalidateRegion(&uncovered);
  }
  plat::ReleaseDC(window, hdc);
}

void ppGridScroller::EnsureSelectionVisible() {
  if (selectedColumn_ < 0 || selectedRow_ < 0) return;
  const plat::RECT cell = CellRect(selectedColumn_, selectedRow_, false), area = BodyArea();
  int32_t dx = 0, dy = 0;
  if (cell.left < area.left) {
    dx = cell.left - area.left;
  } else if (cell.right > area.right) {
    dx = cell.right - area.right;
  }
  if (cell.top < area.top) {
    dy = cell.top - area.top;
  } else if (cell.bottom > area.bottom) {
    dy = cell.bottom - area.bottom;
  }
  const int32_t ux = StepsFor(dx, HorizontalStep()), uy = StepsFor(dy, VerticalStep());
  if (ux != 0 || uy != 0) Scroll(ux, uy);
  if (hBar_ != nullptr) hBar_->SetPosition(hPosition_);
  if (vBar_ != nullptr) vBar_->SetPosition(vPosition_);
}

// ---- Selection.

void ppGridScroller::InvalidateSelection(int32_t column, int32_t row) {
  if (row < 0) return;
  plat::RECT r = Has(kWholeRow) ? RowRect(row) : CellRect(column, row, false);
  ppRegion region(r);
  InvalidateRegion(&region);
}

void ppGridScroller::BroadcastGrid(int32_t id) { Broadcast(kChannel, id, reinterpret_cast<intptr_t>(grid_)); }

void ppGridScroller::SetSelection(int32_t column, int32_t row) {
  if (!EndEdit()) return;
  if (Has(kWholeRow)) column = 0;
  if (column != selectedColumn_ || row != selectedRow_) {
    column = std::min(std::max(column, 0), ColumnCount() - 1);
    row = std::min(std::max(row, 0), RowCount() - 1);
    const int32_t oldColumn = selectedColumn_, oldRow = selectedRow_;
    selectedColumn_ = column;
    selectedRow_ = row;
    EnsureSelectionVisible();
    InvalidateSelection(oldColumn, oldRow);
    InvalidateSelection(column, row);
  }
  // Closing the editor above is undone here also when the cell stayed: an editable grid keeps one.
  BeginEdit();
  BroadcastGrid(kSelectionMessage);
}

bool ppGridScroller::AppendRow() {
  if (source_ == nullptr) return false;
  // A new item goes after the current one: make the last item current so it lands at the end.
  const int32_t count = source_->CountItems();
  if (count > 0) source_->GoTo(count - 1);
  source_->InsertItemNotified(true);
  if (!Has(kRowsFromSource)) rows_.push_back(rows_.empty() ? lineHeight_ : rows_.front());
  return true;
}

void ppGridScroller::MoveSelection(int32_t column, int32_t row, bool backwards) {
  if (!EndEdit()) return;
  if (Has(kWholeRow)) column = 0;
  const int32_t columns = ColumnCount();
  if (columns == 0) return;
  if (column < 0) {
    if (row > 0) {
      --row;
      column = columns - 1;
    } else {
      column = 0;
    }
  } else if (column >= columns) {
    column = 0;
    ++row;
  }
  if (row < 0) row = 0;
  // Past skipped columns on the same row; a row of nothing but skipped columns moves nothing.
  for (int32_t passed = 0; columns_[size_t(column)].IsSkipped(); ++passed) {
    if (passed == columns) {
      BeginEdit();
      return;
    }
    column = backwards ? (column == 0 ? columns - 1 : column - 1) : (column + 1 == columns ? 0 : column + 1);
  }
  if (row >= RowCount() && Has(kEditable) && AppendRow()) {
    ppRegion region(RowRect(RowCount() - 1));
    InvalidateRegion(&region);
    Refresh();
  }
  SetSelection(column, row);
  EnsureSelectionVisible();
}

// ---- Editing.

void ppGridScroller::BeginEdit() {
  if (!Has(kEditable) || editor_ != nullptr) return;
  if (source_ != nullptr && source_->CountItems() == 0) {
    source_->InsertItemNotified(true);
    if (!Has(kRowsFromSource) && rows_.empty()) rows_.push_back(lineHeight_);
    Refresh();
  }
  if (selectedColumn_ < 0 || selectedColumn_ >= ColumnCount() || selectedRow_ < 0 ||
      selectedRow_ >= RowCount())
    return;
  plat::RECT r = CellRect(selectedColumn_, selectedRow_, true);
  r.left -= kEditorLeftShift;
  r.top -= kEditorTopShift;
  // The editor's frame is in the body's coordinates.
  WindowToLocalRect(&r);
  const ppGridColumn& column = columns_[size_t(selectedColumn_)];
  editor_ = new ppGridEditTextField(this, r, source_, column.Name(), selectedRow_, column.Validator());
}

bool ppGridScroller::EndEdit() {
  if (!Has(kEditable) || editor_ == nullptr) return true;
  // A pending edit is validated and written before the editor goes, whatever ends the edit (a
  // click on another cell included); an untouched cell keeps its stored value.
  ppGridEditField* field = editor_->Field();
  if (field != nullptr && field->IsEdited() && !field->CommitInput()) return false;
  if (editor_ == nullptr) return true;  // closed meanwhile, by a nested selection change
  ppGridEditTextField* editor = editor_;
  editor_ = nullptr;
  editor->Hide();
  RemoveSubview(editor);
  // The editor's own panel may be inside the call that closes it (Tab sends the next-cell command
  // from there): it must then outlive that call.
  if (editor->IsBusy()) {
    ppPendingDeletions::Add(editor);
  } else {
    delete editor;
  }
  ppRegion row(RowRect(selectedRow_));
  InvalidateRegion(&row);
  return true;
}

// ---- Events.

void ppGridScroller::Step(bool forward) {
  if (Has(kWholeRow)) {
    MoveSelection(selectedColumn_, selectedRow_ + (forward ? 1 : -1), false);
  } else {
    MoveSelection(selectedColumn_ + (forward ? 1 : -1), selectedRow_, !forward);
  }
}

void ppGridScroller::KeyDown(signed char key, int32_t flags) {
  switch (key) {
    case kLeft:
      Step(false);
      break;
    case kRight:
      Step(true);
      break;
    case kUp:
      MoveSelection(selectedColumn_, selectedRow_ - 1, false);
      break;
    case kDown:
      MoveSelection(selectedColumn_, selectedRow_ + 1, false);
      break;
    default:
      ppView::KeyDown(key, flags);
      break;
  }
  Broadcast(kChannel, kKeyMessage, intptr_t(key));
}

void ppGridScroller::DoCommand(int32_t command, intptr_t parameter) {
  switch (command) {
    case kNextCell:
    case kPreviousCell:
      // The same movement as the right and left arrows.
      Step(command == kNextCell);
      break;
    case kScrollVertically:
      Scroll(0, int32_t(parameter));
      break;
    case kScrollHorizontally:
      Scroll(int32_t(parameter), 0);
      break;
    default:
      ppView::DoCommand(command, parameter);
      break;
  }
}

void ppGridScroller::Activate() {
  ppView::Activate();
  MoveSelection(selectedColumn_, selectedRow_, false);
}

void ppGridScroller::Deactivate() {
  EndEdit();
  ppView::Deactivate();
}

bool ppGridScroller::IsDoubleClick(int32_t x, int32_t y) {
  const int32_t column = ColumnAt(x, y), row = RowAt(x, y);
  if (column < 0 || row < 0 || column >= ColumnCount() || row >= RowCount()) return false;
  SetSelection(column, row);
  BroadcastGrid(kClickMessage);
  return true;
}
