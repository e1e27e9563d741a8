// The extras dialog of a top-view element: when it opens, what OK and Cancel leave in the element's
// extras, and the grid it builds.
#include <gtest/gtest.h>

#include <cstring>

#include "catalogue/records/qxExtrasFil.h"
#include "catalogue/records/zelvproPriceFil.h"
#include "elements/topview/ExtrasDialogTestSupport.h"
#include "platform/HeadlessDriver.h"
#include "platform/MessageBox.h"
#include "platform/WindowApi.h"

namespace {

class TopViewExtrasTest : public tvtest::ExtrasDialogTest {
 protected:
  // The dialog that opens next is ended with `button` (IDOK or IDCANCEL).
  static void Answer(int32_t button) {
    plat::HeadlessDriver::SetIdleScript([button] {
      plat::HWND dialog = plat::GetActiveWindow();
      if (dialog == nullptr) return false;
      plat::SendMessageW(dialog, plat::WM_COMMAND, plat::WPARAM(button), 0);
      return true;
    });
  }
  // The number of records in extras bytes.
  static int32_t RecordsIn(zelvDatabase& db, const std::vector<uint8_t>& bytes) {
    Handle blob = nullptr;
    Vcon_HandleManager::MemNew(&blob, uint32_t(bytes.size()));
    if (!bytes.empty()) std::memcpy(*blob, bytes.data(), bytes.size());
    int32_t count = 0;
    {
      qxExtrasFil file(db, blob);
      file.LoadFromBlob();
      count = file.GetRecordCount();
    }
    MemDispose(blob);
    return count;
  }
};

TEST_F(TopViewExtrasTest, OpensOnlyWithAnArticlesCatalogueAndStoresOnOK) {
  zelvDatabase& db = MakeDatabase();
  auto element = MakeOwned(db, AddTopView(db, {{"ID", 1}}));
  ExtrasCatalogDatabase = nullptr;  // the catalogue opened without top views; forget it
  element->ShowExtrasDialog();      // no articles catalogue: nothing opens
  EXPECT_TRUE(grids_.specs.empty());

  ExtrasCatalogDatabase = &db;
  Answer(plat::IDCANCEL);
  element->ShowExtrasDialog();
  ASSERT_EQ(grids_.specs.size(), 1u);
  EXPECT_EQ(grids_.rowsAtOpen, 1);  // an empty table shows one empty line
  EXPECT_TRUE(element->extras.empty());

  Answer(plat::IDOK);
  element->ShowExtrasDialog();
  EXPECT_EQ(RecordsIn(db, element->extras), 1);

  const RecordGridLayout& layout = grids_.specs.back();
  EXPECT_EQ(layout.frame, (plat::RECT{2, 2, 598, 398}));
  ASSERT_EQ(layout.columns.size(), 3u);
  const std::pair<const char*, int32_t> columns[] = {{"article", 130}, {"description", 260}, {"qty", 62}};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_STREQ(layout.columns[i].name.c_str(), columns[i].first);
    EXPECT_EQ(layout.columns[i].width, columns[i].second);
  }
  EXPECT_EQ(layout.columns[0].lookup, static_cast<ppDatafile*>(&db.PriceFile()));
}

}  // namespace
