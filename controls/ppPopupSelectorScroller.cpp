#include "controls/ppPopupSelectorScroller.h"

#include "controls/ChoicePicture.h"
#include "controls/ControlsDrawing.h"
#include "controls/ppPopupSelector.h"
#include "controls/ppPopupSelectorDialog.h"
#include "foundation/TextReference.h"
#include "framework/ppDC.h"
#include "framework/ppSelectorQuery.h"

namespace {

constexpr int32_t kFill = 1006, kText = 1007, kFillHighlighted = 1000, kTextHighlighted = 1001;
constexpr int32_t kOneLineRow = 20;
constexpr int32_t kTallRow = 84;  // pictures centred at their own size

Vcon::WString ColumnText(const ppParameter& value) {
  if (value.Type() == ppParameter::kNone) return {};
  return ResolveTextRef(Vcon::WString(value.ToString(-1, -1, 0, 0, ",.", 0)));
}

bool SameValue(const ppParameter& a, const ppParameter& b) { return a.Type() == b.Type() && a == b; }

}  // namespace

ppPopupSelectorScroller::ppPopupSelectorScroller(ppView* pane, const plat::RECT& frame,
                                                 ppSelectorQuery* query, int32_t rowHeight)
    : ppListScroller(pane, frame, 0, frame.right - frame.left, rowHeight),
      query_(query),
      rowHeight_(rowHeight) {
  SetStep(frame.right - frame.left, rowHeight);
  const int32_t count = query_ != nullptr ? query_->GetItemCount() : 0;
  SetExtent(1, count);
  UpdateVisible();
  if (query_ != nullptr) {
    ppParameter value;
    query_->GetValue(value);
    for (int32_t i = 0; i < count && value.Type() != ppParameter::kNone; ++i) {
      ppParameter item;
      query_->GetColumn1(i, item);
      if (SameValue(item, value)) {
        committed_ = i;
        break;
      }
    }
  }
  highlightRow_ = committed_;
}

ppPopupSelectorDialog* ppPopupSelectorScroller::Dialog() {
  for (ppView* view = GetSupervisor(); view != nullptr; view = view->GetSupervisor()) {
    if (auto* dialog = dynamic_cast<ppPopupSelectorDialog*>(view)) return dialog;
  }
  return nullptr;
}

void ppPopupSelectorScroller::DrawCell(ppDC& dc, int32_t, int32_t row, const plat::RECT& rect) {
  plat::RECT cell = rect;
  // Rows of 20 pixels overlap by one line.
  if (rowHeight_ == kOneLineRow) cell.bottom += 1;
  const bool lit = row == highlightRow_;
  dc.SetColorBytes(controls::ApplicationColor(lit ? kFillHighlighted : kFill));
  dc.FillRect(cell);
  if (query_ == nullptr || row < 0 || row >= query_->GetItemCount()) return;
  const int32_t inset = rowHeight_ > kOneLineRow ? 5 : 3;
  plat::RECT text{cell.left + inset, cell.top + inset, cell.right - inset, cell.bottom - inset};
  ppParameter picture;
  query_->GetColumn4(row, picture);
  const int32_t right = controls::DrawChoicePicture(dc, picture, cell, inset, rowHeight_ == kTallRow);
  if (right != cell.left) text.left = right + 10;
  ppParameter first, second;
  query_->GetColumn2(row, first);
  query_->GetColumn3(row, second);
  const ppRGBColor ink = controls::ApplicationColor(lit ? kTextHighlighted : kText);
  if (rowHeight_ == kOneLineRow) {
    controls::DrawDefaultText(dc, ColumnText(first) + u" " + ColumnText(second), text, ink);
  } else {
    controls::DrawDefaultText(dc, ColumnText(first), text, ink);
    controls::DrawDefaultText(dc, ColumnText(second),
                              {text.left, text.top + 18, text.right, text.bottom + 18}, ink);
  }
}

void ppPopupSelectorScroller::MoveHighlight(int32_t step) {
  const int32_t count = query_ != nullptr ? query_->GetItemCount() : 0;
  if (step != 0) Invalidate();
  int32_t i = highlightRow_;
  if (step < 0 && i > 0) --i;
  if (step > 0 && i < count - 1) ++i;
  if (i >= 0 && i < PositionY()) {
    ScrollTo(0, i);
    Invalidate();
  } else if (VisibleY() > 0 && i >= PositionY() + VisibleY()) {
    ScrollTo(0, i - VisibleY() + 1);
    Invalidate();
  }
  highlightRow_ = i;
  if (step != 0 && i >= 0) {
    // Each step shows the choice on the edited object at once, as one undo step the next replaces.
    if (previewApplied_) query_->UndoLast();
    ppParameter value;
    query_->GetColumn1(i, value);
    ppPopupSelectorDialog* dialog = Dialog();
    ppPopupSelector* owner = dialog != nullptr ? dialog->Owner() : nullptr;
    query_->SetValue(value, owner != nullptr ? owner->NotifyFlag() : true);
    previewApplied_ = true;
    Invalidate();
  }
}

bool ppPopupSelectorScroller::CellClicked(int32_t, int32_t row, int32_t, int32_t) {
  const int32_t count = query_ != nullptr ? query_->GetItemCount() : 0;
  if (row >= count) return false;
  highlightRow_ = row;
  Invalidate();
  Finish(false);
  return true;
}

void ppPopupSelectorScroller::Finish(bool cancel) {
  ppPopupSelectorDialog* dialog = Dialog();
  ppPopupSelector* owner = dialog != nullptr ? dialog->Owner() : nullptr;
  if (previewApplied_) query_->UndoLast();
  previewApplied_ = false;
  // Return with nothing highlighted has no choice to write.
  if (!cancel && highlightRow_ >= 0) {
    ppParameter value;
    query_->GetColumn1(highlightRow_, value);
    if (owner != nullptr) {
      owner->SetValue(value);
    } else {
      query_->SetValue(value, true);
    }
    committed_ = highlightRow_;
  }
  if (dialog != nullptr) dialog->Finished(committed_);
}
