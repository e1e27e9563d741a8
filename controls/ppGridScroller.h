// The body of a grid (see ppGrid): holds the columns, the row and header sources, the layout
// numbers, the selection and the scroll state, and does the drawing, hit testing, scrolling and
// selection. Rows are items of an iProperty data source; a cell is the item's property named like
// its column. Scroll positions and extents are in steps (units of the horizontal or vertical step,
// pixels); rectangles are in window coordinates.
//
// Messages go out on the grid's own switchboard, channel 900: 900 after every key (the key code),
// 901 after a click selected a cell, 903 at the end of every SetSelection (both with the ppGrid).
//
// Ownership: the body owns its column list, row list and open editor; the sources and validators
// are the caller's and must outlive the grid; the scroll bars belong to the ppGrid.
// User-interface thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "controls/ppGridColumn.h"
#include "framework/ppCollaborator.h"
#include "framework/ppView.h"

class iProperty;
class ppGrid;
class ppGridEditTextField;
class ppScrollBar;

class ppGridScroller : public ppView, public ppCollaborator {
 public:
  // Style bits.
  static constexpr uint32_t kRowsFromSource = 2;  // row count = the source's items, each a line high
  static constexpr uint32_t kEditable = 4;        // an in-place editor on the selected cell
  static constexpr uint32_t kWholeRow = 8;        // column held at 0, the whole row highlighted
  static constexpr uint32_t kHeader = 16;         // header band above the rows
  static constexpr uint32_t kFooter = 32;         // footer band below the rows
  // The channel of the grid's messages and their ids.
  static constexpr int32_t kChannel = 900;
  static constexpr int32_t kKeyMessage = 900;
  static constexpr int32_t kClickMessage = 901;
  static constexpr int32_t kSelectionMessage = 903;
  // Commands: next and previous cell (the editor's Tab and Shift+Tab), scroll by the parameter in
  // steps (the scroll bars).
  static constexpr int32_t kNextCell = 0;
  static constexpr int32_t kPreviousCell = 1;
  static constexpr int32_t kScrollVertically = 401;
  static constexpr int32_t kScrollHorizontally = 402;

  // `frame` in the grid's coordinates; the collaborator part works on the grid's switchboard.
  ppGridScroller(ppGrid* grid, const plat::RECT& frame);
  ~ppGridScroller() override;

  // ---- Configuration (normally through ppGrid).
  void AddColumn(const ppGridColumn& column);
  void SetDataSource(iProperty* source) { source_ = source; }
  void SetHeaderSource(iProperty* source) { header_ = source; }
  void SetFooterSource(iProperty* source) { footer_ = source; }
  void AddStyleFlags(uint32_t flags) { style_ |= flags; }
  void SetLineHeight(int32_t height) { lineHeight_ = height; }
  void SetScrollSteps(int32_t horizontal, int32_t vertical);
  void SetCellMargins(int32_t left, int32_t top, int32_t right, int32_t bottom);
  void SetScrollBars(ppScrollBar* horizontal, ppScrollBar* vertical);
  // Without the row-source style: appends a row `height` pixels high.
  void AddRow(int32_t height) { rows_.push_back(height); }

  // ---- Geometry (window coordinates).
  plat::RECT HeaderRect();
  plat::RECT FooterRect();
  plat::RECT BodyArea();
  plat::RECT RowRect(int32_t row);
  plat::RECT ColumnRect(int32_t column);
  // `inner`: shrunk by the cell margins.
  plat::RECT CellRect(int32_t column, int32_t row, bool inner);
  int32_t RowCount();
  int32_t ColumnCount() const { return int32_t(columns_.size()); }
  // The row or column under a point, -1 when none.
  int32_t RowAt(int32_t x, int32_t y);
  int32_t ColumnAt(int32_t x, int32_t y);

  // ---- Drawing hooks.
  // One cell of `source` (row -1 for the header and footer bands) into `rect`.
  virtual void DrawCell(int32_t column, int32_t row, ppDC& dc, iProperty* source, const plat::RECT& rect);
  virtual void DrawBodyCell(int32_t column, int32_t row, ppDC& dc);
  virtual void DrawHeaderCell(int32_t column, ppDC& dc);
  virtual void DrawFooterCell(int32_t column, ppDC& dc);
  virtual bool IsRowVisible(int32_t row);
  virtual bool IsColumnVisible(int32_t column);

  // ---- Scrolling and selection.
  // Scrolls by whole steps, kept inside the extents.
  void Scroll(int32_t dx, int32_t dy);
  void UpdateExtent();
  void UpdateScrollBars();
  // UpdateExtent, then the body is invalidated.
  void Refresh();
  void EnsureSelectionVisible();
  // Closes the editor first and does nothing more when it refuses; ends with message 903.
  void SetSelection(int32_t column, int32_t row);
  // Key and command movement: wraps between rows, passes skipped columns, appends a row past the
  // last one of an editable grid.
  void MoveSelection(int32_t column, int32_t row, bool backwards);
  // Opens the editor on the selected cell of an editable grid.
  void BeginEdit();
  // Commits and closes the editor; false when the column's validator refused the typed value (the
  // editor then stays open with the text).
  bool EndEdit();

  // ---- View operations.
  void KeyDown(signed char key, int32_t flags) override;
  void Activate() override;
  void Deactivate() override;
  void DoCommand(int32_t command, intptr_t parameter) override;
  void ContextMenu(int32_t, int32_t) override {}
  void DrawContent(ppDC& dc) override;
  bool IsDoubleClick(int32_t x, int32_t y) override;

  // ---- State.
  ppGrid* Grid() const { return grid_; }
  uint32_t Style() const { return style_; }
  int32_t SelectedColumn() const { return selectedColumn_; }
  int32_t SelectedRow() const { return selectedRow_; }
  int32_t HorizontalPosition() const { return hPosition_; }
  int32_t VerticalPosition() const { return vPosition_; }
  int32_t HorizontalExtent() const { return hExtent_; }
  int32_t VerticalExtent() const { return vExtent_; }
  int32_t LineHeight() const { return lineHeight_; }
  // Pixels per step.
  int32_t HorizontalStepSize() const { return HorizontalStep(); }
  int32_t VerticalStepSize() const { return VerticalStep(); }
  const std::vector<ppGridColumn>& Columns() const { return columns_; }
  const std::vector<int32_t>& Rows() const { return rows_; }
  iProperty* DataSource() const { return source_; }
  iProperty* HeaderSource() const { return header_; }
  const int32_t* Margins() const { return margins_; }
  ppGridEditTextField* Editor() const { return editor_; }

 private:
  bool Has(uint32_t bit) const { return (style_ & bit) != 0; }
  int32_t HorizontalStep() const { return hStep_ > 0 ? hStep_ : 1; }
  int32_t VerticalStep() const { return vStep_ > 0 ? vStep_ : 1; }
  int32_t TotalWidth() const;
  int32_t TotalHeight();
  // The first row whose rectangle reaches into the body area (the row count when none does).
  int32_t FirstVisibleRow();
  // The selected cell, or the whole selected row with the whole-row style.
  void InvalidateSelection(int32_t column, int32_t row);
  // Appends one item (and one row entry without the row-source style); false without a source.
  bool AppendRow();
  void BroadcastGrid(int32_t id);
  // One cell forwards or backwards (the right and left arrows, the next- and previous-cell
  // commands); one row with the whole-row style.
  void Step(bool forward);

  ppGrid* grid_;
  uint32_t style_ = 0;
  std::vector<int32_t> rows_;  // row heights, pixels; without the row-source style only
  std::vector<ppGridColumn> columns_;
  iProperty* source_ = nullptr;        // not owned
  iProperty* header_ = nullptr;        // not owned
  iProperty* footer_ = nullptr;        // not owned
  int32_t margins_[4] = {0, 0, 0, 0};  // left, top, right, bottom; pixels
  int32_t selectedColumn_ = 0;
  int32_t selectedRow_ = 0;
  ppGridEditTextField* editor_ = nullptr;  // owned (a subview while open)
  int32_t lineHeight_ = 20;
  int32_t hStep_ = 10;
  int32_t vStep_ = 10;
  int32_t hPosition_ = 0;
  int32_t vPosition_ = 0;
  int32_t hExtent_ = 0;
  int32_t vExtent_ = 0;
  ppScrollBar* hBar_ = nullptr;  // owned by the grid
  ppScrollBar* vBar_ = nullptr;  // owned by the grid
};
