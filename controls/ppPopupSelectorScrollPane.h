// The scroll pane inside the list drop-down: a vertical scroll bar when the choices do not fit,
// and the list of cells (ppPopupSelectorScroller) as its scroller. User-interface thread only.
#pragma once

#include <cstdint>

#include "framework/ppScrollPane.h"

class ppPopupSelectorScroller;
class ppSelectorQuery;

class ppPopupSelectorScrollPane : public ppScrollPane {
 public:
  // The maker calls MakeScroller once after construction.
  ppPopupSelectorScrollPane(ppView* dialog, const plat::RECT& frame, ppSelectorQuery* query, bool scrollBar,
                            int32_t rowHeight);

  void MakeScroller() override;
  void DrawContent(ppDC&) override {}
  bool IsDoubleClick(int32_t x, int32_t y) override;
  void Invalidate() override;

  ppPopupSelectorScroller* List() const { return list_; }

 private:
  ppSelectorQuery* query_;
  int32_t kind_;                             // the row height, pixels
  ppPopupSelectorScroller* list_ = nullptr;  // the scroller, a subview
};
