#include "elements/grid/PosSheetGrid.h"

#include <gtest/gtest.h>

#include "catalogue/CatalogueTestSupport.h"
#include "catalogue/records/zelvproPosSheetFil.h"

namespace {

class PosSheetGridTest : public cattest::CatalogueTest {
 protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    db_ = Open();
  }
  void TearDown() override {
    db_.reset();
    CatalogueTest::TearDown();
  }
  int32_t Sheet(double xo, double yo, double zo, double xr, double yr, double zr, int32_t flags = 0) {
    return cattest::AddRecord(db_->PosSheetFile(), {{"name", "sheet"},
                                                    {"xoffset", xo},
                                                    {"yoffset", yo},
                                                    {"zoffset", zo},
                                                    {"xraster", xr},
                                                    {"yraster", yr},
                                                    {"zraster", zr},
                                                    {"flags", flags}});
  }
  PosSheetGrid Grid(int32_t sheet) { return PosSheetGrid(sheet, 0, 0, 0, db_->PosSheetFile()); }

  std::unique_ptr<zelvDatabase> db_;
};

bool RefuseId(const PosSheetCell& cell, void* user) { return cell.id != *static_cast<int32_t*>(user); }

TEST_F(PosSheetGridTest, BoxesContainAndOverlapHalfOpen) {
  PosSheetGrid g = Grid(0);
  g.SetCell(1, 2, 0, 0, 3, 1, 1);
  for (int32_t x : {2, 3, 4}) EXPECT_NE(g.FindCellAt(x, 0, 0), nullptr) << x;
  EXPECT_EQ(g.FindCellAt(5, 0, 0), nullptr);
  EXPECT_EQ(g.FindCellAt(1, 0, 0), nullptr);
  EXPECT_EQ(g.FindCellAt(3, 1, 0), nullptr);
  EXPECT_EQ(g.FindCellOverlapping(5, 0, 0, 1, 1, 1), nullptr);
  EXPECT_EQ(g.FindCellOverlapping(1, 0, 0, 1, 1, 1), nullptr);
  EXPECT_NE(g.FindCellOverlapping(4, 0, 0, 1, 1, 1), nullptr);
  EXPECT_NE(g.FindCellOverlapping(0, 0, 0, 10, 1, 1), nullptr);
  EXPECT_EQ(g.FindCellOverlapping(2, 0, 0, 3, 1, 0), nullptr);  // an empty box meets nothing
}

TEST_F(PosSheetGridTest, SetCellMovesRemoveCellUnlinksAndFiltersSkip) {
  PosSheetGrid g = Grid(0);
  g.SetCell(1, 0, 0, 0, 2, 1, 1);
  g.SetCell(2, 0, 0, 0, 1, 1, 1);  // newest: found first
  EXPECT_EQ(g.FindCellAt(0, 0, 0)->id, 2);
  int32_t refused = 2;
  EXPECT_EQ(g.FindCellAt(0, 0, 0, RefuseId, &refused)->id, 1);
  EXPECT_EQ(g.FindCellOverlapping(0, 0, 0, 1, 1, 1, RefuseId, &refused)->id, 1);

  g.SetCell(1, 10, 0, 0, 2, 1, 1);
  int count = 0;
  for (PosSheetCell* c = g.cells.get(); c != nullptr; c = c->next.get()) count += c->id == 1;
  EXPECT_EQ(count, 1);
  EXPECT_EQ(g.FindCellAt(11, 0, 0)->id, 1);
  EXPECT_EQ(g.FindCellAt(0, 0, 0, RefuseId, &refused), nullptr);

  g.RemoveCell(7);
  EXPECT_NE(g.FindCellAt(0, 0, 0), nullptr);
  EXPECT_NE(g.FindCellAt(10, 0, 0), nullptr);
  g.RemoveCell(2);
  EXPECT_EQ(g.FindCellAt(0, 0, 0), nullptr);
  EXPECT_EQ(g.FindCellAt(10, 0, 0)->id, 1);
}

TEST_F(PosSheetGridTest, GridToPlanAndPlanToGridAreInverse) {
  PosSheetGrid g = Grid(Sheet(100, -20, -30, 50, 10, 40, 0x5));
  const ppVector3 p = g.GridToPlan(3, 2, 1);
  EXPECT_FLOAT_EQ(p.x, 250.0f);
  EXPECT_FLOAT_EQ(p.y, 0.0f);
  EXPECT_FLOAT_EQ(p.z, 0.0f);  // -30 + 40 is above 0
  EXPECT_EQ(g.SheetFlags(), 0x5u);
  int32_t i = -1, j = -1, k = -1;
  EXPECT_TRUE(g.PlanToGrid(g.GridToPlan(3, 2, 0), &i, &j, &k));
  EXPECT_EQ(i, 3);
  EXPECT_EQ(j, 2);
  EXPECT_EQ(k, 0);
  // Part of a cell is truncated toward zero, on either side of the origin.
  EXPECT_TRUE(g.PlanToGrid(ppVector3(149, -25, -50), &i, &j, &k));
  EXPECT_EQ(i, 0);
  EXPECT_EQ(j, 0);
  EXPECT_EQ(k, 0);
}

TEST_F(PosSheetGridTest, PositiveZOffsetAndMissingSheets) {
  PosSheetGrid up = Grid(Sheet(0, 0, 25, 10, 10, 100));
  for (int32_t k : {-1, 0, 3}) EXPECT_FLOAT_EQ(up.GridToPlan(0, 0, k).z, k < 0 ? -75.0f : 0.0f) << k;

  PosSheetGrid flat = Grid(Sheet(5, 5, 0, 0, 0, 0));
  int32_t i = -1, j = -1, k = -1;
  EXPECT_TRUE(flat.PlanToGrid(ppVector3(500, 500, 500), &i, &j, &k));  // a raster of 0 gives cell 0
  EXPECT_EQ(i, 0);
  EXPECT_EQ(j, 0);
  EXPECT_EQ(k, 0);

  for (int32_t id : {0, 999}) {
    PosSheetGrid none = Grid(id);
    const ppVector3 p = none.GridToPlan(4, 4, 4);
    EXPECT_EQ(p.x, 0.0f) << id;
    EXPECT_EQ(p.z, 0.0f) << id;
    EXPECT_EQ(none.SheetFlags(), 0u) << id;
  }
}

}  // namespace
