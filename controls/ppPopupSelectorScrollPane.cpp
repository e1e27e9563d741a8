#include "controls/ppPopupSelectorScrollPane.h"

#include "controls/ppPopupSelectorScroller.h"
#include "foundation/ProcessServices.h"

ppPopupSelectorScrollPane::ppPopupSelectorScrollPane(ppView* dialog, const plat::RECT& frame,
                                                     ppSelectorQuery* query, bool scrollBar,
                                                     int32_t rowHeight)
    : ppScrollPane(dialog, frame, kStay, kStay, 1, scrollBar ? kVerticalBar : 0),
      query_(query),
      kind_(rowHeight) {}

void ppPopupSelectorScrollPane::MakeScroller() {
  list_ = new ppPopupSelectorScroller(this, ContentRect(), query_, kind_);
  SetScroller(list_);
  SetExtent(1, list_->ExtentY());
  UpdatePageSizes();
  // Scrolls the current choice into view without applying anything.
  list_->MoveHighlight(0);
}

bool ppPopupSelectorScrollPane::IsDoubleClick(int32_t x, int32_t y) {
  ppScrollPane::IsDoubleClick(x, y);
  return true;
}

void ppPopupSelectorScrollPane::Invalidate() {
  ppScrollPane::Invalidate();
  if (list_ != nullptr) list_->Invalidate();
}
