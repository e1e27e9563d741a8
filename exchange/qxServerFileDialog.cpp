#include "exchange/qxServerFileDialog.h"

#include "controls/ppConfigPanel.h"
#include "controls/ppEditTextField.h"
#include "controls/ppGrid.h"
#include "controls/ppGridColumn.h"
#include "controls/ppGridScroller.h"
#include "controls/ppTextField.h"
#include "exchange/Save2ServerFiles.h"
#include "exchange/Save2ServerHeaders.h"
#include "exchange/ServerDialogParent.h"
#include "exchange/qxStringDataUnit.h"
#include "framework/ppView.h"
#include "platform/WindowApi.h"

namespace {

// The grid's frame, content pixels: 10 from the left, 65 from the top, 13 from the right edge and
// 100 from the bottom, where the name area and the buttons go.
constexpr plat::RECT kList{10, 65, qxServerFileDialog::kWidth - 13, qxServerFileDialog::kHeight - 100};
constexpr int32_t kDateWidth = 100;
constexpr int32_t kRowHeight = 20;
constexpr int32_t kCaptionColumn = 80;

bool IsArrow(signed char key) { return key >= plat::VK_LEFT && key <= plat::VK_DOWN; }

}  // namespace

qxServerFileDialog::qxServerFileDialog(ppView* parent, Vcon::WString* fileName, ServerFileList* files)
    : qxServerDialog(ServerDialogParent(parent), true),
      ppCollaborator(nullptr),
      files_(files),
      fileNameTarget_(fileName) {
  if (fileName != nullptr) copy_ = *fileName;
}

qxServerFileDialog::~qxServerFileDialog() {
  // Only while the window stands is the grid (and its switchboard) still there to leave.
  if (grid_ != nullptr) grid_->Unsubscribe(this, -1, -1);
}

bool qxServerFileDialog::BuildFileDialog(const Texts& texts) {
  ForgetViews();
  if (!BuildFrame(kWidth, kHeight, texts.titleId, texts.title, 8)) return false;
  MakeButton({kWidth - 80, kHeight - 30, kWidth - 10, kHeight - 11}, kCancel, u"Cancel", kCancelText);
  MakeButton({kWidth - 80, kHeight - 56, kWidth - 10, kHeight - 37}, kAccept, texts.accept, texts.acceptId);

  ppConfigPanel* nameArea = MakePanelArea({kList.left, kHeight - 58, kList.right - 80, kHeight});
  auto* hint = new ppTextField(nameArea, nullptr);
  hint->SetMargins(0, 10, 0, 0);
  hint->SetText(u"Type file name...", texts.hintId);
  nameArea->AddField(hint);
  nameField_ = new ppEditTextField(nameArea, new qxStringDataUnit(&copy_), "Update", 1, false);
  nameField_->SetMargins(0, 5, 0, 0);
  nameField_->SetColumnWidth(kCaptionColumn);
  nameField_->SetText(u"File name:", kNameCaptionText);
  nameField_->SetMaxLength(kNameLength);
  nameArea->AddField(nameField_);
  PlacePanel(nameArea);

  grid_ = new ppGrid(ContentView(), kList);
  Subscribe(-1, -1, grid_);
  rows_ = std::make_unique<Save2ServerFiles>(files_);
  headers_ = std::make_unique<Save2ServerHeaders>();
  grid_->SetDataSource(rows_.get());
  grid_->SetHeaderSource(headers_.get());
  grid_->AddStyleFlags(ppGridScroller::kWholeRow | ppGridScroller::kRowsFromSource | ppGridScroller::kHeader);
  grid_->SetLineHeight(kRowHeight);
  grid_->SetScrollSteps(kRowHeight, kRowHeight);
  const int32_t nameWidth = kList.right - kList.left - kDateWidth - 20;
  grid_->AddColumn(ppGridColumn(grid_, "FileName", nameWidth, 0, nullptr));
  grid_->AddColumn(ppGridColumn(grid_, "Date", kDateWidth, 0, nullptr));
  grid_->UpdateLayout();
  grid_->SetCellMargins(5, 2, 10, 3);
  // A long list scrolls; the two columns still fit beside the bar.
  grid_->SetScrollBars(ppGrid::kVerticalBar);
  // No editable style: the cells are read, never typed into. The first row becomes current and is
  // announced (903), so the open dialog starts with the first name.
  grid_->Body()->SetSelection(0, 0);
  // The grid made itself the key target; keys must reach the dialog, which hands arrows on.
  TargetDialog();
  return true;
}

void qxServerFileDialog::FocusGrid() {
  if (ppView* content = ContentView()) {
    if (plat::HWND window = content->GetHWND()) SetFirstFocus(window);
  }
}

bool qxServerFileDialog::ValidateOK() {
  // "Save" pressed while the caret is still in the field: what was typed there counts.
  if (nameField_ != nullptr) nameField_->CommitInput();
  if (fileNameTarget_ != nullptr) *fileNameTarget_ = copy_;
  return true;
}

void qxServerFileDialog::KeyDown(signed char key, int32_t flags) {
  if (IsArrow(key)) {
    if (grid_ != nullptr) grid_->KeyDown(key, flags);
    return;
  }
  qxServerDialog::KeyDown(key, flags);
}

void qxServerFileDialog::ReceiveMessage(ppCollaborator*, int32_t channel, int32_t id, intptr_t) {
  if (channel != ppGridScroller::kChannel || id != NameMessage()) return;
  if (grid_ == nullptr || rows_ == nullptr) return;
  // An empty list has no row (-1); the source reads the empty text there.
  rows_->GoToItem(grid_->GetSelectedRow());
  copy_ = rows_->GetValue(Save2ServerFiles::kFileName).ToWString(-1, -1, 0, 0, ",.", 0);
  if (nameField_ != nullptr) nameField_->SetControlText(copy_);
}

void qxServerFileDialog::RebuildRows() {
  auto rows = std::make_unique<Save2ServerFiles>(files_);
  if (grid_ != nullptr) grid_->SetDataSource(rows.get());
  rows_ = std::move(rows);  // the grid no longer reads the old source
}

void qxServerFileDialog::EmptyName() {
  if (fileNameTarget_ != nullptr) fileNameTarget_->clear();
  // The copy too: otherwise "Open" pressed at once would still return the name just deleted.
  copy_.clear();
  if (nameField_ != nullptr) nameField_->SetControlText({});
}

void qxServerFileDialog::ForgetViews() {
  nameField_ = nullptr;
  grid_ = nullptr;
}
