#include "controls/ppLinkBox.h"

#include "controls/ppGrid.h"
#include "controls/ppGridScroller.h"
#include "database/ppDatafile.h"
#include "framework/ppControlView.h"
#include "platform/WindowApi.h"

using namespace plat;

namespace {

constexpr int32_t kEscape = 27;
constexpr int32_t kEnter = 13;

}  // namespace

ppLinkBox::ppLinkBox(HWND owner, const RECT& rect, ppDatafile* file, const ppLinkColumnDefs& columns)
    : ppDialog(kTemplate, owner), columns_(columns), file_(file), rect_(rect) {
  // The template's content host; registering again changes nothing.
  RegisterControlViewClass();
}

ppLinkBox::~ppLinkBox() {
  // The grid's board goes with the dialog's windows; while they stand, nothing may point here.
  if (grid_ != nullptr && GetWindow() != nullptr && IsWindow(GetWindow())) grid_->Unsubscribe(this, -1, -1);
}

void ppLinkBox::OnInitDialog() {
  HWND item = GetItem(kContentItem, kSelf);
  host_ = GetControlView(item);
  int32_t width = kBarRoom;
  for (const ppLinkColumnDef& column : columns_) width += column.width;
  rect_.right = rect_.left + width;
  MoveWindow(GetWindow(), rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top, 0);
  RECT client{};
  GetClientRect(GetWindow(), &client);
  if (host_ == nullptr) return;
  MoveWindow(item, 0, 0, client.right, client.bottom, 0);
  const RECT frame{0, 0, client.right, client.bottom};
  host_->SetFrame(frame);

  grid_ = new ppGrid(host_, frame);
  grid_->SetDataSource(file_);
  grid_->AddStyleFlags(ppGridScroller::kWholeRow | ppGridScroller::kRowsFromSource);
  grid_->SetLineHeight(20);
  grid_->SetScrollSteps(20, 20);
  grid_->SetScrollBars(ppGrid::kVerticalBar);
  for (const ppLinkColumnDef& column : columns_)
    grid_->AddColumn(ppGridColumn(grid_, column.name, column.width, 0, nullptr));
  grid_->UpdateLayout();
  grid_->SetCellMargins(5, 2, 10, 3);
  Subscribe(-1, -1, grid_);
  host_->SetTarget(grid_);
  ppDialog::OnInitDialog();
}

INT_PTR ppLinkBox::HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CHAR) {
    // Enter typed at the box itself picks the highlighted row, as Enter in the grid does.
    if (wParam == WPARAM(kEnter)) Finish(grid_ != nullptr ? grid_->GetSelectedRow() : -1);
    return 1;
  }
  return ppDialog::HandleDialogMessage(message, wParam, lParam);
}

void ppLinkBox::ReceiveMessage(ppCollaborator*, int32_t, int32_t id, intptr_t parameter) {
  if (grid_ == nullptr) return;
  if (id == ppGridScroller::kKeyMessage) {
    if (parameter == kEscape) {
      Finish(-1);
    } else if (parameter == kEnter) {
      Finish(grid_->GetSelectedRow());
    }
  } else if (id == ppGridScroller::kClickMessage) {
    Finish(grid_->GetSelectedRow());
  }
}

void ppLinkBox::Finish(int32_t result) {
  SetResult(result);
  EndDialog(GetWindow(), result);
}
