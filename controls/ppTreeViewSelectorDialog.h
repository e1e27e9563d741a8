// The tree drop-down of a popup selector: a bordered tool pop-up under the field holding a
// ppSelectorTreeView. Each selection is applied at once, so there is no cancel: Return, Tab,
// Escape, Alt+arrow and a double click only close it. It takes no mouse capture. It reaches from
// under the field to the bottom of the host window's client area. User-interface thread only.
#pragma once

#include <cstdint>

#include "controls/ppSelectorDialog.h"

class ppSelectorQuery;
class ppSelectorTreeView;

class ppTreeViewSelectorDialog : public ppSelectorDialog {
 public:
  static constexpr int32_t kPending = -10, kStay = 0, kNext = 1, kPrevious = -1;

  // `rect` in the host window's outer coordinates (see ppPopupSelector::OpenPopup); `tallRows` is
  // not used.
  ppTreeViewSelectorDialog(ppPopupSelector* owner, const plat::RECT& rect, ppSelectorQuery* query,
                           bool tallRows);
  ~ppTreeViewSelectorDialog() override;

  void Show() override;
  void Hide() override;
  bool IsDoubleClick(int32_t x, int32_t y) override;
  void DrawContent(ppDC&) override {}

  ppSelectorTreeView* Tree() const { return tree_; }
  int32_t Result() const { return result_; }

 private:
  int32_t result_ = kPending;
  ppSelectorTreeView* tree_ = nullptr;  // a subview
};
