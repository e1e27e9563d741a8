// The list drop-down of a popup selector: a bordered pop-up under the field listing the choices of
// its query in rows of 20, 40 or 84 pixels (list kind 0, 1, 2). It holds the mouse capture while
// shown. The arrow keys move the highlight and preview each choice on the edited object (one undo
// step, replaced by the next); Return and Tab commit, Escape takes the preview back, a click on a
// row commits it, a click outside closes the list keeping what is shown. The pane and its scroller
// belong to the pop-up (subviews); the query belongs to the field. User-interface thread only.
#pragma once

#include <cstdint>

#include "controls/ppSelectorDialog.h"

class ppPopupSelectorScrollPane;
class ppSelectorQuery;

class ppPopupSelectorDialog : public ppSelectorDialog {
 public:
  // Result, reported to the owner when the pop-up is hidden or deleted.
  static constexpr int32_t kPending = -10, kStay = 0, kNext = 1, kPrevious = -1;

  // Row height of list kind 0, 1 and 2, pixels.
  static int32_t RowHeight(int32_t kind);

  // `rect` in the host window's outer coordinates (see ppPopupSelector::OpenPopup).
  ppPopupSelectorDialog(ppPopupSelector* owner, const plat::RECT& rect, ppSelectorQuery* query, int32_t kind);
  ~ppPopupSelectorDialog() override;

  void Show() override;
  void Hide() override;
  bool IsDoubleClick(int32_t x, int32_t y) override;
  void DrawContent(ppDC&) override {}
  bool MouseOver(int32_t, int32_t, int32_t) override { return true; }
  void MoveHighlight(int32_t step) override;
  void Finish(bool cancel) override;
  // The list's end after a commit or a cancel: hidden (the result reported), the owner told the
  // committed index and repainted, and the pop-up retired.
  void Finished(int32_t committed);

  ppPopupSelectorScrollPane* Pane() const { return pane_; }
  int32_t Result() const { return result_; }
  bool NeedsScrollBar() const { return needsBar_; }

 protected:
  bool PopupKey(plat::WPARAM key, bool alt, bool shift) override;

 private:
  // Tells the owner what the result asks for; a pending result becomes "stay".
  void Report();
  // Hides, detaches from the owner and hands the pop-up to the pending deletions: it is inside its
  // own message.
  void Retire();

  int32_t result_ = kPending;
  ppPopupSelectorScrollPane* pane_ = nullptr;  // a subview
  int32_t rowHeight_;
  bool needsBar_ = false;
};
