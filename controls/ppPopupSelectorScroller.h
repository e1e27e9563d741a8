// The rows of the list drop-down: one column of cells, one cell per choice of the query, with the
// choice's texts (one line in rows of 20 pixels, two lines otherwise). Keeps the highlight, the
// committed index and whether a preview is on the edited object. User-interface thread only.
#pragma once

#include <cstdint>

#include "framework/ppScroller.h"

class ppPopupSelectorDialog;
class ppSelectorQuery;

class ppPopupSelectorScroller : public ppListScroller {
 public:
  ppPopupSelectorScroller(ppView* pane, const plat::RECT& frame, ppSelectorQuery* query, int32_t rowHeight);

  void DrawCell(ppDC& dc, int32_t column, int32_t row, const plat::RECT& rect) override;
  bool CellClicked(int32_t column, int32_t row, int32_t x, int32_t y) override;
  // -1, 0 or +1; 0 only scrolls the highlight into view.
  void MoveHighlight(int32_t step);
  void Finish(bool cancel);

  int32_t Highlight() const { return highlightRow_; }
  int32_t Committed() const { return committed_; }
  bool PreviewApplied() const { return previewApplied_; }

 private:
  ppPopupSelectorDialog* Dialog();

  int32_t committed_ = -1;
  int32_t highlightRow_ = -1;
  ppSelectorQuery* query_;
  bool previewApplied_ = false;
  int32_t rowHeight_;
};
