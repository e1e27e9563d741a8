// The extras dialog opens with the keyboard focus on its grid, so that typing goes into the rows at
// once.
#include <gtest/gtest.h>

#include "elements/topview/ExtrasDialogTestSupport.h"
#include "framework/ppViewDialog.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"

namespace {

using ExtrasDialogFocus = tvtest::ExtrasDialogTest;

TEST_F(ExtrasDialogFocus, TheGridHasTheFocusWhenTheDialogOpens) {
  zelvDatabase& db = MakeDatabase();
  auto element = MakeOwned(db, AddTopView(db, {{"ID", 1}}));
  ExtrasCatalogDatabase = &db;
  int32_t focused = 0;
  bool inDialog = false;
  plat::HeadlessDriver::SetIdleScript([&] {
    plat::HWND dialog = plat::GetActiveWindow();
    if (dialog == nullptr) return false;
    focused = plat::GetDlgCtrlID(plat::GetFocus());
    inDialog = plat::IsChild(dialog, plat::GetFocus()) != 0;
    plat::SendMessageW(dialog, plat::WM_COMMAND, plat::WPARAM(plat::IDCANCEL), 0);
    return true;
  });
  element->ShowExtrasDialog();
  EXPECT_EQ(focused, ppViewDialog::kContentItem);
  EXPECT_TRUE(inDialog);
}

}  // namespace
