// The extras dialog of a top-view element over the real grid maker: the grid it builds (columns,
// skipped description, editable rows from the extras file, a link validator on the article column
// over the catalogue's prices), and an article number completed from its first characters.
#include <gtest/gtest.h>

#include <functional>

#include "framework/ppPendingDeletions.h"
#include "catalogue/records/zelvproPriceFil.h"
#include "controls/ppGrid.h"
#include "controls/ppGridScroller.h"
#include "controls/ppLinkValidator.h"
#include "elements/topview/ExtrasDialogTestSupport.h"
#include "elements/topview/RecordGridMaker.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"

namespace {

// The real maker, remembering the grid it made last (valid while its dialog runs).
class KeptGrids : public RecordGridMaker {
 public:
  void MakeGrid(ppView& host, const RecordGridLayout& layout) override {
    RecordGridMaker::MakeGrid(host, layout);
    grid = host.Subviews().Count() > 0
               ? dynamic_cast<ppGrid*>(host.Subviews().At(host.Subviews().Count() - 1))
               : nullptr;
  }
  ppGrid* grid = nullptr;
};

class ExtrasGridTest : public tvtest::ExtrasDialogTest {
 protected:
  void SetUp() override {
    ExtrasDialogTest::SetUp();
    iRecordGrids::Install(&kept_);
  }
  // The grid retires its closed editor to the pending deletions, which the program's loop empties.
  void TearDown() override {
    ppPendingDeletions::DeleteAll();
    ExtrasDialogTest::TearDown();
  }
  static void Press(int32_t key) {
    plat::Desktop::Key(key, true);
    plat::Desktop::Key(key, false);
  }
  KeptGrids kept_;
};

TEST_F(ExtrasGridTest, TheRealGridCompletesAnArticleNumber) {
  zelvDatabase& db = MakeDatabase();
  ppDatafile& prices = db.PriceFile();
  for (const char* orderno : {"A100", "B200", "B210"}) {
    prices.ClearRecordBuffer(nullptr);
    prices.SetFieldValue(prices.IndexOf("orderno"), ppParameter(orderno), nullptr);
    int32_t id = 0;
    prices.AddRecord(&id, nullptr);
  }
  auto element = MakeOwned(db, AddTopView(db, {{"ID", 1}}));
  ExtrasCatalogDatabase = &db;

  std::vector<std::function<void()>> steps = {
      [&] {
        ppGrid* grid = kept_.grid;
        ASSERT_NE(grid, nullptr);
        ppGridScroller* body = grid->Body();
        EXPECT_EQ(body->Style(), 0x16u);
        EXPECT_EQ(body->RowCount(), 1) << "one empty line";
        ASSERT_EQ(body->Columns().size(), 3u);
        auto* link = dynamic_cast<ppLinkValidator*>(body->Columns()[0].Validator());
        ASSERT_NE(link, nullptr);
        ASSERT_EQ(link->Columns().size(), 2u);
        EXPECT_EQ(link->Columns()[0].name, "orderno");
        EXPECT_EQ(link->Columns()[0].width, 100);
        EXPECT_TRUE(body->Columns()[1].IsSkipped());
        EXPECT_EQ(body->Columns()[2].Validator(), nullptr);
        EXPECT_EQ(std::vector<int32_t>(body->Margins(), body->Margins() + 4),
                  (std::vector<int32_t>{5, 2, 10, 3}));
        grid->BeginEdit();
        ASSERT_NE(body->Editor(), nullptr);
        Press('A');
      },
      // Its character is queued behind the key: Tab goes in a step of its own.
      [] { Press(plat::VK_TAB); },
      [&] {
        ppGridScroller* body = kept_.grid->Body();
        EXPECT_EQ(body->SelectedColumn(), 2);
        body->DataSource()->GoTo(0);
        EXPECT_EQ(body->DataSource()->GetValueByName("article").AsString(), "A100");
        plat::SendMessageW(plat::GetActiveWindow(), plat::WM_COMMAND, plat::WPARAM(plat::IDOK), 0);
      }};
  size_t next = 0;
  plat::HeadlessDriver::SetIdleScript([&] {
    if (next >= steps.size()) return false;
    steps[next++]();
    return true;
  });
  element->ShowExtrasDialog();
  EXPECT_EQ(next, steps.size());
  EXPECT_FALSE(element->extras.empty()) << "OK kept the edited extras";
}

}  // namespace
