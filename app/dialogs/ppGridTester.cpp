#include "app/dialogs/ppGridTester.h"

#include "catalogue/databases/CatalogDatabaseList.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "controls/ppGrid.h"
#include "controls/ppGridHeaderSource.h"
#include "controls/ppGridScroller.h"
#include "framework/ppControlView.h"
#include "platform/WindowApi.h"

namespace {

// Pixels between the content's edge and the grid.
constexpr int32_t kInset = 2;

}  // namespace

ppGridTester::ppGridTester(plat::HWND owner, CatalogDatabaseList* catalogues)
    : ppViewDialog(owner, false), catalogues_(catalogues) {
  RegisterControlViewClass();
}

ppGridTester::~ppGridTester() = default;

int32_t ppGridTester::Run(plat::HWND frame) {
  auto tester = std::make_unique<ppGridTester>(frame, CatalogDatabases);
  return tester->RunModal();
}

void ppGridTester::OnInitDialog() {
  ppViewDialog::OnInitDialog();
  SetContentSize(kContentWidth, kContentHeight);
  ppView* content = ContentView();
  if (content == nullptr) return;
  plat::RECT frame{0, 0, content->Width(), content->Height()};
  frame = {frame.left + kInset, frame.top + kInset, frame.right - kInset, frame.bottom - kInset};

  // The demo settings list a single catalogue: then there are no rows to show, and no header.
  zelvDatabase* catalogue = catalogues_ != nullptr ? catalogues_->DatabaseAt(kCatalogueEntry) : nullptr;
  zelvproUnitFil* units = catalogue != nullptr ? &catalogue->UnitFile() : nullptr;
  if (units != nullptr) {
    units->SelectAll();
    header_ = std::make_unique<ppGridHeaderSource>(units);
  }
  grid_ = new ppGrid(content, frame);
  grid_->SetDataSource(units);
  grid_->SetHeaderSource(header_.get());
  ppGridColumn number(grid_, "tnumber", 100, 0, nullptr);
  grid_->AddColumn(number);
  ppGridColumn name(grid_, "tname", 500, 0, nullptr);
  name.SetFlags(ppGridColumn::kSkip);
  grid_->AddColumn(name);
  grid_->SetScrollBars(ppGrid::kVerticalBar);
  grid_->AddStyleFlags(ppGridScroller::kHeader | ppGridScroller::kWholeRow | ppGridScroller::kRowsFromSource);
  grid_->SetScrollSteps(10, 21);
  grid_->UpdateLayout();
  grid_->SetCellMargins(5, 2, 10, 3);
  grid_->BeginEdit();
  if (plat::HWND item = GetItem(kContentItem, kSelf)) plat::SetFocus(item);
}
