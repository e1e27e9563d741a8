// The grid test dialog over a catalogue list of two entries (the demo catalogue and a copy of it)
// and over the demo's own list of one, run modally and looked at from the idle script.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "AppTestSupport.h"
#include "app/dialogs/ppGridTester.h"
#include "catalogue/databases/CatalogDatabaseList.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "controls/ppGrid.h"
#include "controls/ppGridScroller.h"
#include "platform/Desktop.h"
#include "platform/WindowApi.h"

namespace {

using plat::HeadlessDriver;

class GridTesterTest : public apptest::AppTest {
 protected:
  // The application record names its catalogues relative to the current folder; the tests run
  // from a folder where none of them resolves, so each list holds only what a test opens.
  void SetUp() override {
    AppTest::SetUp();
    savedFolder_ = std::filesystem::current_path();
    std::filesystem::current_path(demo_.Folder());
  }
  void TearDown() override {
    HeadlessDriver::SetIdleScript(nullptr);
    std::filesystem::current_path(savedFolder_);
    AppTest::TearDown();
  }
  std::filesystem::path savedFolder_;
  // Runs the tester; `look` runs once the dialog waits, then the dialog is ended.
  int32_t RunTester(CatalogDatabaseList* list, const std::function<void(ppGridTester&)>& look) {
    ppGridTester tester(nullptr, list);
    int32_t steps = 0;
    HeadlessDriver::SetIdleScript([&] {
      if (steps++ > 0) return false;
      look(tester);
      plat::EndDialog(tester.GetWindow(), 7);
      return true;
    });
    const int32_t result = tester.RunModal();
    EXPECT_EQ(steps, 1);
    return result;
  }
};

TEST_F(GridTesterTest, ShowsTheUnitsOfTheSecondCatalogue) {
  std::filesystem::copy_file(demo_.File("catalogs/kitchen.cdb"), demo_.File("catalogs/second.cdb"));
  CatalogDatabaseList list;
  ASSERT_EQ(list.Count(), 0) << "the fixture's application record names no catalogue it can find";
  list.OpenDatabaseFile(dbtest::SpecFor(demo_.File("catalogs/kitchen.cdb").string()));
  list.OpenDatabaseFile(dbtest::SpecFor(demo_.File("catalogs/second.cdb").string()));
  ASSERT_EQ(list.Count(), 2);
  zelvproUnitFil& units = list.DatabaseAt(1)->UnitFile();

  const int32_t result = RunTester(&list, [&](ppGridTester& tester) {
    ppGrid* grid = tester.Grid();
    ASSERT_NE(grid, nullptr);
    ppGridScroller* body = grid->Body();
    EXPECT_EQ(body->Style(), 26u);
    EXPECT_EQ(body->DataSource(), &units);
    EXPECT_GT(body->RowCount(), 0);
    EXPECT_EQ(body->RowCount(), units.GetRecordCount()) << "every unit record";
    ASSERT_EQ(body->Columns().size(), 2u);
    EXPECT_EQ(body->Columns()[0].Name(), "tnumber");
    EXPECT_EQ(body->Columns()[0].Width(), 100);
    EXPECT_FALSE(body->Columns()[0].IsSkipped());
    EXPECT_EQ(body->Columns()[1].Name(), "tname");
    EXPECT_EQ(body->Columns()[1].Width(), 500);
    EXPECT_TRUE(body->Columns()[1].IsSkipped());
    EXPECT_EQ(body->HorizontalStepSize(), 10);
    EXPECT_EQ(body->VerticalStepSize(), 21);
    EXPECT_EQ(std::vector<int32_t>(body->Margins(), body->Margins() + 4),
              (std::vector<int32_t>{5, 2, 10, 3}));
    EXPECT_NE(grid->VerticalBar(), nullptr);
    EXPECT_EQ(grid->HorizontalBar(), nullptr);
    ASSERT_NE(body->HeaderSource(), nullptr);
    EXPECT_EQ(body->HeaderSource()->GetValueByName("tnumber").AsString(), "tnumber");
    // The grid fills the 600 x 400 content less 2 pixels on every side.
    EXPECT_EQ(grid->GetFrame().left, 2);
    EXPECT_EQ(grid->GetFrame().top, 2);
    EXPECT_EQ(grid->Width(), 596);
    EXPECT_EQ(grid->Height(), 396);
    // The keys reach the grid: Down moves the selected row.
    plat::Desktop::Key(plat::VK_DOWN, true);
    plat::Desktop::Key(plat::VK_DOWN, false);
    HeadlessDriver::RunUntilIdle();
    EXPECT_EQ(grid->GetSelectedRow(), body->RowCount() > 1 ? 1 : 0);
  });
  EXPECT_EQ(result, 7);
}

TEST_F(GridTesterTest, WithOneCatalogueTheGridOpensWithoutRows) {
  CatalogDatabaseList list;
  list.OpenDatabaseFile(dbtest::SpecFor(demo_.File("catalogs/kitchen.cdb").string()));
  list.OpenDatabaseFile(dbtest::SpecFor(demo_.File("catalogs/extras.cdb").string()));
  ASSERT_EQ(list.Count(), 1) << "the extras catalogue is never listed";
  RunTester(&list, [](ppGridTester& tester) {
    ASSERT_NE(tester.Grid(), nullptr);
    EXPECT_EQ(tester.Grid()->Body()->DataSource(), nullptr);
    EXPECT_EQ(tester.Grid()->Body()->RowCount(), 0);
  });
  RunTester(nullptr, [](ppGridTester& tester) { EXPECT_EQ(tester.Grid()->Body()->RowCount(), 0); });
}

}  // namespace
