#include "controls/ppPopupSelectorDialog.h"

#include <algorithm>

#include "controls/ppPopupSelector.h"
#include "controls/ppPopupSelectorScrollPane.h"
#include "controls/ppPopupSelectorScroller.h"
#include "framework/ppPendingDeletions.h"
#include "framework/ppSelectorQuery.h"
#include "platform/WindowApi.h"

using namespace plat;

int32_t ppPopupSelectorDialog::RowHeight(int32_t kind) {
  static constexpr int32_t kRows[] = {20, 40, 84};
  return kRows[std::clamp(kind, 0, 2)];
}

ppPopupSelectorDialog::ppPopupSelectorDialog(ppPopupSelector* owner, const RECT& rect, ppSelectorQuery* query,
                                             int32_t kind)
    : ppSelectorDialog(owner), rowHeight_(RowHeight(kind)) {
  const int32_t count = query != nullptr ? query->GetItemCount() : 0;
  int32_t height = count * rowHeight_;
  const int32_t room = rect.bottom - rect.top;
  if (room < height) {
    needsBar_ = true;
    height = (room / rowHeight_) * rowHeight_;
  }
  // Never below the client area of the window the field draws in.
  const int32_t limit = owner != nullptr ? owner->PopupLimit() : rect.bottom;
  if (limit < rect.top + height) {
    needsBar_ = true;
    height = std::max(0, ((limit - rect.top) / rowHeight_) * rowHeight_);
  }
  HWND host = owner != nullptr ? owner->ppView::GetHWND() : nullptr;
  RECT outer{};
  if (host != nullptr) GetWindowRect(host, &outer);
  RECT screen{rect.left + outer.left, rect.top + outer.top, rect.right + outer.left,
              rect.top + height + outer.top};
  AdjustWindowRect(&screen, WS_POPUP | WS_BORDER, 0);
  CreatePopup(0, screen, host);
  RECT client{};
  GetClientRect(window_, &client);
  pane_ = new ppPopupSelectorScrollPane(this, {0, 1, client.right, std::max(1, client.bottom - 1)}, query,
                                        needsBar_, rowHeight_);
  pane_->MakeScroller();
  result_ = kPending;
}

ppPopupSelectorDialog::~ppPopupSelectorDialog() {
  if (window_ != nullptr && IsWindow(window_)) ShowWindow(window_, SW_HIDE);
  if (GetCapture() == window_ && window_ != nullptr) ReleaseCapture();
  Report();
}

void ppPopupSelectorDialog::Show() {
  ppWindow::Show();
  SetCapture(window_);
  SetFocus(window_);
}

void ppPopupSelectorDialog::Hide() {
  ppWindow::Hide();
  if (GetCapture() == window_) ReleaseCapture();
  Report();
}

void ppPopupSelectorDialog::Report() {
  if (result_ == kPending) result_ = kStay;
  if (owner_ == nullptr) return;
  if (result_ == kStay) {
    owner_->BecomeCurrent();
  } else if (result_ == kNext) {
    owner_->MoveToNext();
  } else if (result_ == kPrevious) {
    owner_->MoveToPrevious();
  }
}

void ppPopupSelectorDialog::Retire() {
  if (IsWindowVisible(window_)) Hide();
  // Reported once: the deletion must not move the focus again.
  owner_ = nullptr;
  // Inside its own message (a key or a click): deleted after it.
  ppPendingDeletions::Add(this);
}

bool ppPopupSelectorDialog::IsDoubleClick(int32_t, int32_t) {
  // A click outside the list (every click outside the window while it holds the capture): the
  // list closes keeping what it shows.
  if (owner_ != nullptr) owner_->ClearOpenPopup();
  if (result_ == kPending) result_ = kStay;
  Retire();
  return true;
}

void ppPopupSelectorDialog::MoveHighlight(int32_t step) {
  if (pane_ != nullptr && pane_->List() != nullptr) pane_->List()->MoveHighlight(step);
}

void ppPopupSelectorDialog::Finish(bool cancel) {
  if (pane_ != nullptr && pane_->List() != nullptr) pane_->List()->Finish(cancel);
}

void ppPopupSelectorDialog::Finished(int32_t committed) {
  ppPopupSelector* owner = owner_;
  Hide();
  Invalidate();
  if (owner != nullptr) {
    owner->SetCurrentIndex(committed);
    owner->Invalidate();
  }
  if (pane_ != nullptr) pane_->Hide();
  if (owner != nullptr) owner->ClearOpenPopup();
  Retire();
}

bool ppPopupSelectorDialog::PopupKey(WPARAM key, bool alt, bool shift) {
  switch (key) {
    case VK_DOWN:
    case VK_UP:
      if (alt) {
        Hide();
      } else {
        MoveHighlight(key == VK_DOWN ? 1 : -1);
      }
      break;
    case VK_RETURN:
      Finish(false);
      break;
    case VK_TAB:
      result_ = shift ? kPrevious : kNext;
      Finish(false);
      break;
    case VK_ESCAPE:
      Finish(true);
      break;
    default:
      break;
  }
  return true;
}
