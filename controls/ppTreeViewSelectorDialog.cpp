#include "controls/ppTreeViewSelectorDialog.h"

#include <algorithm>

#include "controls/ppPopupSelector.h"
#include "controls/ppSelectorTreeView.h"
#include "framework/ppPendingDeletions.h"
#include "framework/ppSelectorQuery.h"
#include "platform/WindowApi.h"

using namespace plat;

namespace {
constexpr DWORD kExStyle = 0x10080;  // WS_EX_CONTROLPARENT | WS_EX_TOOLWINDOW
}

ppTreeViewSelectorDialog::ppTreeViewSelectorDialog(ppPopupSelector* owner, const RECT& rect,
                                                   ppSelectorQuery* query, bool)
    : ppSelectorDialog(owner) {
  const int32_t limit = owner != nullptr ? owner->PopupLimit() : rect.bottom;
  RECT client{0, 0, rect.right - rect.left, std::max(0, limit - rect.top)};
  HWND host = owner != nullptr ? owner->ppView::GetHWND() : nullptr;
  RECT outer{};
  if (host != nullptr) GetWindowRect(host, &outer);
  RECT screen{rect.left + outer.left, rect.top + outer.top, 0, 0};
  AdjustWindowRect(&client, WS_POPUP | WS_BORDER, 0);
  screen.right = screen.left + (client.right - client.left);
  screen.bottom = screen.top + (client.bottom - client.top);
  CreatePopup(kExStyle, screen, nullptr);
  RECT inside{};
  GetClientRect(window_, &inside);
  tree_ = new ppSelectorTreeView(this, inside, query);
  result_ = kPending;
  Show();
}

ppTreeViewSelectorDialog::~ppTreeViewSelectorDialog() {
  if (window_ != nullptr && IsWindow(window_)) ShowWindow(window_, SW_HIDE);
  if (owner_ != nullptr) {
    owner_->ClearOpenPopup();
    if (result_ == kNext) owner_->MoveToNext();
    if (result_ == kPrevious) owner_->MoveToPrevious();
  }
}

void ppTreeViewSelectorDialog::Show() {
  ppWindow::Show();
  if (tree_ != nullptr) tree_->Show();
}

void ppTreeViewSelectorDialog::Hide() {
  ppWindow::Hide();
  if (result_ == kPending) result_ = kStay;
  if (owner_ == nullptr) return;
  if (result_ == kStay) owner_->BecomeCurrent();
  if (result_ == kNext) owner_->MoveToNext();
  if (result_ == kPrevious) owner_->MoveToPrevious();
}

bool ppTreeViewSelectorDialog::IsDoubleClick(int32_t, int32_t) {
  // A click on the pop-up outside the tree closes it. The field no longer holds it, so it goes to the
  // pending deletions rather than staying open for ever.
  if (owner_ != nullptr) owner_->ClearOpenPopup();
  if (result_ == kPending) result_ = kStay;
  Hide();
  owner_ = nullptr;
  ppPendingDeletions::Add(this);
  return true;
}
