#include "framework/ppViewDialog.h"

#include "framework/ppControlView.h"
#include "platform/Controls.h"
#include "platform/WindowApi.h"

using namespace plat;

namespace {

// The child's rectangle in its parent's client coordinates.
RECT ChildRect(HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  HWND parent = GetParent(child);
  POINT a{r.left, r.top};
  POINT b{r.right, r.bottom};
  ScreenToClient(parent, &a);
  ScreenToClient(parent, &b);
  return {a.x, a.y, b.x, b.y};
}

}  // namespace

ppViewDialog::ppViewDialog(HWND owner, bool withButtons)
    : ppDialog(withButtons ? kTemplateWithButtons : kTemplateWithoutButtons, owner),
      withButtons_(withButtons) {}

void ppViewDialog::OnInitDialog() {
  content_ = GetControlView(GetItem(kContentItem, kSelf));
  if (content_) content_->MoveFrameTo(0, 0);
  ppDialog::OnInitDialog();
}

void ppViewDialog::AdjustCursor(int32_t, int32_t) {}

INT_PTR ppViewDialog::HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ACTIVATE) {
    if (LOWORD(wParam) == WA_INACTIVE) {
      Deactivate();
    } else if (LOWORD(wParam) == WA_ACTIVE || LOWORD(wParam) == WA_CLICKACTIVE) {
      Activate();
    }
  } else if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE) {
    lastEdited_ = LOWORD(wParam);
  }
  return ppDialog::HandleDialogMessage(message, wParam, lParam);
}

void ppViewDialog::ShiftItem(int32_t id, int32_t dx) {
  HWND item = GetItem(id, kSelf);
  if (!item) return;
  RECT r = ChildRect(item);
  MoveWindow(item, r.left + dx, r.top, r.right - r.left, r.bottom - r.top, 1);
}

void ppViewDialog::SetContentSize(int32_t width, int32_t height) {
  HWND window = GetWindow();
  if (!window) return;
  RECT outer;
  GetWindowRect(window, &outer);
  RECT client;
  GetClientRect(window, &client);
  const int32_t border = ((outer.right - outer.left) - (client.right - client.left)) / 2;
  const int32_t caption = (outer.bottom - outer.top) - (client.bottom - client.top) - border;
  MoveWindow(window, outer.left, outer.top, width + 2 * border, height + border + caption, 0);

  RECT now;
  GetClientRect(window, &now);
  const int32_t dx = (now.right - now.left) - (client.right - client.left);
  const int32_t dy = (now.bottom - now.top) - (client.bottom - client.top);
  HWND control = GetItem(kContentItem, kSelf);
  if (withButtons_) {
    // The view keeps its margins to the right and bottom edges; the buttons keep theirs to the right.
    if (control) {
      RECT r = ChildRect(control);
      MoveWindow(control, r.left, r.top, (r.right - r.left) + dx, (r.bottom - r.top) + dy, 1);
    }
    ShiftItem(IDOK, dx);
    ShiftItem(IDCANCEL, dx);
  } else if (control) {
    MoveWindow(control, 0, 0, now.right, now.bottom, 1);
    if (content_) content_->ChangeFrame(now);
  }
}
