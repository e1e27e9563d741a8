// The grid read-only: extents and scroll bar, scrolling kept inside the extent, bringing the
// selection into view, key movement with wrapping and skipped columns, whole-row selection and
// its highlight, clicks, the messages on the grid's own switchboard, and the header source over a
// real table.
#include <gtest/gtest.h>

#include "GridTestSupport.h"
#include "controls/ppGridHeaderSource.h"
#include "database/ppDatabase.h"
#include "database/ppDatafile.h"
#include "framework/ppScrollBar.h"
#include "database/DbTestSupport.h"

namespace {

using gridtest::ColumnPlan;
using gridtest::MemorySource;
using gridtest::Recorder;
using plat::HeadlessDriver;
using Pos = std::pair<int32_t, int32_t>;

constexpr uint32_t kRows = ppGridScroller::kRowsFromSource;
constexpr uint32_t kWholeRow = ppGridScroller::kWholeRow;
constexpr uint32_t kHeader = ppGridScroller::kHeader;
constexpr uint32_t kFooter = ppGridScroller::kFooter;

class GridTest : public gridtest::GridWindowTest {};

TEST_F(GridTest, ThreeRowsOverA50PixelBodyGiveExtentFourAndBarMaximumOne) {
  MemorySource source({"a"}, 3);
  ppGrid* grid = MakeGrid({10, 10, 110, 60}, &source, kRows, {{"a", 80}}, 20, 20, 20, ppGrid::kVerticalBar);
  ppGridScroller* body = grid->Body();
  EXPECT_EQ(body->BodyArea().bottom - body->BodyArea().top, 50);
  EXPECT_EQ(body->VerticalExtent(), 4);
  ASSERT_NE(grid->VerticalBar(), nullptr);
  EXPECT_EQ(grid->VerticalBar()->GetRange(), 1);
  body->SetSelection(0, 1);
  EXPECT_EQ(body->VerticalPosition(), 0);
  body->SetSelection(0, 2);
  EXPECT_EQ(body->VerticalPosition(), 1) << "the row ends 11 pixels below the body: one step";
  EXPECT_EQ(grid->VerticalBar()->GetPosition(), 1);
}

TEST_F(GridTest, ScrollingStaysInsideTheExtent) {
  MemorySource source({"a"}, 1);
  // 90 pixels of columns in steps of 10: extent 10; a 40-pixel body shows 4.
  ppGrid* grid = MakeGrid({10, 10, 50, 110}, &source, kRows, {{"a", 45}, {"b", 45}});
  ppGridScroller* body = grid->Body();
  ASSERT_EQ(body->HorizontalExtent(), 10);
  struct Case {
    int32_t from, dx, to;
  } cases[] = {{3, 5, 6}, {3, -9, 0}, {3, 2, 5}, {0, -1, 0}};
  for (const Case& c : cases) {
    body->Scroll(-100, 0);
    body->Scroll(c.from, 0);
    ASSERT_EQ(body->HorizontalPosition(), c.from);
    body->Scroll(c.dx, 0);
    EXPECT_EQ(body->HorizontalPosition(), c.to) << "from " << c.from << " by " << c.dx;
  }
}

TEST_F(GridTest, ACellPartlyOutsideScrollsOneWholeStepTowardIt) {
  MemorySource source({"a", "b", "c"}, 1);
  // Column b ends 5 pixels right of the 100-pixel body.
  ppGrid* right = MakeGrid({10, 10, 110, 60}, &source, kRows, {{"a", 50}, {"b", 54}});
  right->Body()->SetSelection(1, 0);
  EXPECT_EQ(right->Body()->HorizontalPosition(), 1);
  delete right;

  // Column b starts 5 pixels left of the body at position 5.
  ppGrid* left = MakeGrid({10, 10, 110, 60}, &source, kRows, {{"a", 44}, {"b", 30}, {"c", 100}});
  left->Body()->Scroll(5, 0);
  ASSERT_EQ(left->Body()->HorizontalPosition(), 5);
  left->Body()->SetSelection(1, 0);
  EXPECT_EQ(left->Body()->HorizontalPosition(), 4);
}

TEST_F(GridTest, ArrowKeysWrapBetweenRowsAndPassSkippedColumns) {
  struct Case {
    const char* what;
    uint32_t style;
    bool skipMiddle;
    Pos from;
    int32_t key;
    Pos to;
  } cases[] = {
      {"right on the last column", kRows, false, {2, 0}, plat::VK_RIGHT, {0, 1}},
      {"right on the last cell of a read-only grid", kRows, false, {2, 2}, plat::VK_RIGHT, {0, 2}},
      {"left at the first cell", kRows, false, {0, 0}, plat::VK_LEFT, {0, 0}},
      {"left on the first column", kRows, false, {0, 1}, plat::VK_LEFT, {2, 0}},
      {"down on the last row of a read-only grid", kRows, false, {1, 2}, plat::VK_DOWN, {1, 2}},
      {"up", kRows, false, {1, 2}, plat::VK_UP, {1, 1}},
      {"up on the first row", kRows, false, {1, 0}, plat::VK_UP, {1, 0}},
      {"right over a skipped column", kRows, true, {0, 1}, plat::VK_RIGHT, {2, 1}},
      {"left over a skipped column", kRows, true, {2, 1}, plat::VK_LEFT, {0, 1}},
      {"left of a whole-row grid", kRows | kWholeRow, false, {0, 2}, plat::VK_LEFT, {0, 1}},
      {"right of a whole-row grid", kRows | kWholeRow, false, {0, 1}, plat::VK_RIGHT, {0, 2}},
  };
  for (const Case& c : cases) {
    MemorySource source({"a", "b", "c"}, 3);
    ppGrid* grid =
        MakeGrid({10, 10, 250, 200}, &source, c.style, {{"a", 60}, {"b", 60, c.skipMiddle}, {"c", 60}});
    grid->Body()->SetSelection(c.from.first, c.from.second);
    Press(c.key);
    EXPECT_EQ(Selection(grid), c.to) << c.what;
    delete grid;
  }
}

TEST_F(GridTest, ASkippedColumnIsSelectedByAClickAndAllSkippedStopsTheKeys) {
  MemorySource source({"a", "b"}, 2);
  ppGrid* grid = MakeGrid({10, 10, 250, 200}, &source, kRows, {{"a", 60, true}, {"b", 60, true}});
  const plat::RECT cell = grid->Body()->CellRect(1, 1, false);
  Click(cell.left + 10, cell.top + 5);
  EXPECT_EQ(Selection(grid), Pos(1, 1));
  for (int32_t key : {plat::VK_RIGHT, plat::VK_LEFT, plat::VK_DOWN}) {
    Press(key);
    EXPECT_EQ(Selection(grid), Pos(1, 1)) << "key " << key;
  }
}

TEST_F(GridTest, WithoutColumnsKeysAndClicksDoNothing) {
  MemorySource source({"a"}, 2);
  ppGrid* grid = MakeGrid({10, 10, 250, 200}, &source, kRows, {});
  Press(plat::VK_RIGHT);
  Press(plat::VK_LEFT);
  Click(50, 50);
  EXPECT_EQ(Selection(grid), Pos(0, 0));
}

TEST_F(GridTest, WholeRowSelectionHighlightsTheRowInGray80) {
  MemorySource source({"a", "b"}, 3);
  ppGrid* grid = MakeGrid({10, 10, 250, 200}, &source, kRows | kWholeRow, {{"a", 60}, {"b", 60}});
  grid->Body()->SetSelection(1, 1);
  EXPECT_EQ(Selection(grid), Pos(0, 1)) << "the column is held at 0";
  Paint();
  const uint32_t gray80 = 0xCCCCCC, white = 0xFFFFFF;
  for (int32_t column = 0; column < 2; ++column) {
    for (int32_t row = 0; row < 3; ++row) {
      const plat::RECT r = grid->Body()->CellRect(column, row, false);
      EXPECT_EQ(PixelAt(r.right - 4, r.bottom - 3), row == 1 ? gray80 : white) << column << ", " << row;
    }
  }
  // Below the last row the body is white.
  const plat::RECT last = grid->Body()->RowRect(2);
  EXPECT_EQ(PixelAt(last.left + 20, last.bottom + 10), white);
}

TEST_F(GridTest, MessagesGoOnlyToTheGridsOwnSwitchboard) {
  MemorySource source({"a", "b"}, 2);
  ppGrid* grid = MakeGrid({10, 10, 250, 200}, &source, kRows | kHeader, {{"a", 60}, {"b", 60}});
  Recorder own(grid);
  Recorder global(nullptr);

  Press('Q');
  Press(plat::VK_DOWN);
  EXPECT_EQ(own.Ids(), (std::vector<int32_t>{900, 903, 900}));
  EXPECT_EQ(std::get<2>(own.heard[0]), intptr_t('Q'));
  EXPECT_EQ(std::get<2>(own.heard[1]), reinterpret_cast<intptr_t>(grid));

  own.heard.clear();
  const plat::RECT cell = grid->Body()->CellRect(1, 0, false);
  Click(cell.left + 5, cell.top + 5);
  EXPECT_EQ(Selection(grid), Pos(1, 0));
  EXPECT_EQ(own.Ids(), (std::vector<int32_t>{903, 901}));

  own.heard.clear();
  grid->Body()->SetSelection(1, 0);
  EXPECT_EQ(own.Ids(), (std::vector<int32_t>{903})) << "also onto the selected cell";

  own.heard.clear();
  const plat::RECT lastRow = grid->Body()->RowRect(1), lastColumn = grid->Body()->ColumnRect(1);
  Click(lastColumn.left + 5, lastRow.bottom + 10);                 // below the last row
  Click(lastColumn.right + 10, lastRow.top + 5);                   // right of the last column
  Click(lastColumn.left + 5, grid->Body()->HeaderRect().top + 5);  // the header band
  EXPECT_TRUE(own.heard.empty());
  EXPECT_EQ(Selection(grid), Pos(1, 0));
  EXPECT_TRUE(global.heard.empty()) << "nothing reaches the global switchboard";
}

TEST_F(GridTest, RowListModeCountsItsRowsAndTheirHeights) {
  ppGrid* grid = MakeGrid({10, 10, 250, 200}, nullptr, 0, {{"a", 60}});
  grid->Body()->AddRow(30);
  grid->Body()->AddRow(15);
  grid->UpdateLayout();
  EXPECT_EQ(grid->Body()->RowCount(), 2);
  const plat::RECT second = grid->Body()->RowRect(1);
  EXPECT_EQ(second.top, 10 + 30 + 1);
  EXPECT_EQ(second.bottom - second.top, 15);
  EXPECT_EQ(grid->Body()->VerticalExtent(), 45 / 10 + 1);
  Paint();  // no source: nothing drawn, nothing read
}

TEST_F(GridTest, TheFooterBandShowsItsSourceWhenOneIsSet) {
  MemorySource source({"a"}, 2), footer({"a"}, 1);
  ppGrid* grid = MakeGrid({10, 10, 250, 200}, &source, kRows | kFooter, {{"a", 60}});
  const plat::RECT band = grid->Body()->FooterRect(), column = grid->Body()->ColumnRect(0);
  EXPECT_EQ(grid->Body()->BodyArea().bottom, band.top);
  Paint();
  const uint32_t blank = PixelAt(column.right - 1, band.bottom - 1);
  grid->SetFooterSource(&footer);
  Paint();
  EXPECT_EQ(PixelAt(column.right - 1, band.bottom - 1), 0u) << "the cell's grid line";
  EXPECT_NE(blank, 0u);
}

TEST_F(GridTest, AHeaderSourceOffersARecordFilesFieldNames) {
  dbtest::TempFolder folder;
  ppFileSpec file = dbtest::SpecFor(folder.Path("grid.db"));
  ppDatabase db(file);
  ppDatafile prices("qxPrice", db);
  ppGridHeaderSource header(&prices);
  EXPECT_EQ(header.GetPropertyCount(), prices.GetPropertyCount());
  for (const char* name : {"orderno", "name", "price"}) {
    const int32_t index = header.IndexOf(name);
    ASSERT_GE(index, 0) << name;
    EXPECT_EQ(header.GetValue(index).AsString(), name);
    EXPECT_EQ(header.NameAt(index), prices.NameAt(index));
  }
  EXPECT_EQ(header.GetValue(-1).Type(), ppParameter::kNone);
  EXPECT_EQ(header.GetValue(prices.FieldCount()).Type(), ppParameter::kNone);

  // The real table as the rows: one per selected record.
  for (const char* orderno : {"A1", "A2"}) {
    prices.ClearRecordBuffer(nullptr);
    prices.SetFieldValue(prices.IndexOf("orderno"), ppParameter(orderno), nullptr);
    int32_t id = 0;
    prices.AddRecord(&id, nullptr);
  }
  prices.SelectAll();
  ppGrid* grid = MakeGrid({10, 10, 250, 200}, &prices, kRows | kHeader, {{"orderno", 100}});
  grid->SetHeaderSource(&header);
  EXPECT_EQ(grid->Body()->RowCount(), 2);
  Paint();
  delete grid;
}

}  // namespace
