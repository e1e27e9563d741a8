// A scrolling table view: columns of fixed pixel widths left to right, one row per item of an
// iProperty data source (or per entry of a row list), an optional header band above the rows and
// footer band below them, one selected cell or row, and an optional in-place editor on the
// selected cell. The grid owns its body (ppGridScroller, which does the work), its scroll bars and
// a switchboard of its own: every message of the grid (channel 900, see ppGridScroller) goes only
// to collaborators made on that board, `ppCollaborator(grid)`, subscribed to what they want.
//
// Set-up order: construct; SetDataSource and SetHeaderSource; AddStyleFlags; SetLineHeight and
// SetScrollSteps; AddColumn for each column; UpdateLayout; SetCellMargins; SetScrollBars. Then
// Body()->SetSelection(0, 0) to select (and announce) the first row, BeginEdit for an editable
// grid to open the editor.
//
// Ownership: the body and the bars are subviews. The sources, a header source object and the
// columns' validators belong to the caller and must outlive the grid, unless a validator was handed
// over with KeepValidator. User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "controls/ppGridColumn.h"
#include "controls/ppValidator.h"
#include "framework/ppSwitchBoard.h"
#include "framework/ppView.h"

class iProperty;
class ppGridScroller;
class ppScrollBar;

class ppGrid : public ppView, public ppSwitchBoard {
 public:
  // Scroll bar bits of SetScrollBars.
  static constexpr uint32_t kHorizontalBar = 1;
  static constexpr uint32_t kVerticalBar = 2;
  // Thickness of a scroll bar, pixels.
  static constexpr int32_t kBarThickness = 18;
  // The frame adorner's picture.
  static constexpr int32_t kFramePicture = 1100;

  // `frame` in the supervisor's coordinates. The grid becomes the key target of the outermost
  // view, so arrow keys reach it.
  ppGrid(ppView* supervisor, const plat::RECT& frame);
  ~ppGrid() override;

  // A copy of `column` is kept.
  void AddColumn(const ppGridColumn& column);
  // Takes over a validator that the grid's columns use, for makers whose validators should live
  // exactly as long as the grid; deleted after the body.
  void KeepValidator(std::unique_ptr<ppValidator> validator);
  // Not owned; one item per row, one property per column name.
  void SetDataSource(iProperty* source);
  // Not owned; header texts by column name (a ppGridHeaderSource gives a record file's field names).
  void SetHeaderSource(iProperty* source);
  // Not owned; footer texts by column name, drawn in the band of style 32.
  void SetFooterSource(iProperty* source);
  // ORs ppGridScroller style bits in (2 rows from the source, 4 editable, 8 whole-row selection,
  // 16 header band, 32 footer band); bits are never cleared.
  void AddStyleFlags(uint32_t flags);
  // Pixels: the header and footer bands and, with style 2, every row.
  void SetLineHeight(int32_t height);
  // Pixels per scroll step.
  void SetScrollSteps(int32_t horizontal, int32_t vertical);
  // Pixels between a cell's edges and its text.
  void SetCellMargins(int32_t left, int32_t top, int32_t right, int32_t bottom);
  // kHorizontalBar and kVerticalBar: makes the bars asked for, deletes the others, and lays the
  // grid out again when anything changed.
  void SetScrollBars(uint32_t bars);
  // Recomputes the extents and the bars after the rows or columns changed, and repaints.
  void UpdateLayout();
  // Opens the editor on the selected cell of an editable grid.
  void BeginEdit();
  int32_t GetSelectedRow() const;
  int32_t GetSelectedColumn() const;

  ppGridScroller* Body() const { return body_; }
  ppScrollBar* HorizontalBar() const { return hBar_; }
  ppScrollBar* VerticalBar() const { return vBar_; }

  // ---- View operations.
  // Commands 0 and 1 (next and previous cell), 401 and 402 (scroll by the parameter in steps) go
  // to the body, others up the view chain.
  void DoCommand(int32_t command, intptr_t parameter) override;
  void KeyDown(signed char key, int32_t flags) override;
  // The body fills the frame less the bars.
  void FrameChanged() override;

 private:
  ppGridScroller* body_ = nullptr;  // a subview
  ppScrollBar* hBar_ = nullptr;     // a subview, or null
  ppScrollBar* vBar_ = nullptr;     // a subview, or null
  std::vector<std::unique_ptr<ppValidator>> validators_;
};
