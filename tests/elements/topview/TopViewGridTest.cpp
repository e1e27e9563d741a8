// Grid placement of parts inside a container: the rules as tables of taken boxes and drops, the plan
// point handed back, and the boxes parts keep in their container's cell maps.
#include <gtest/gtest.h>

#include "catalogue/records/zelvproPosSheetFil.h"
#include "elements/grid/PosSheetGrid.h"
#include "elements/topview/TopViewTestSupport.h"

namespace {

using tvtest::TopViewTest;

constexpr uint32_t kPanel = zelvproTopViewElement::kPanel;

// A part standing in the grid: its mode, flag word, cell and size in cells.
struct Box {
  int32_t mode;
  uint32_t flags;
  int32_t x, y, w, h;
};

class TopViewGridTest : public TopViewTest {
 protected:
  void TearDown() override {
    owned_.clear();
    TopViewTest::TearDown();
  }
  // A container of 4 columns by 5 rows (cells of 100 mm, the sheet offset by (30, 20)) at
  // (1000, 0, 500) in the plan, holding the boxes given.
  zelvproTopViewElement* Container(zelvDatabase& db, std::initializer_list<Box> boxes, int32_t rows = 5) {
    const int32_t sheet = cattest::AddRecord(
        db.PosSheetFile(),
        {{"xoffset", 30.0}, {"yoffset", 20.0}, {"xraster", 100.0}, {"yraster", 100.0}, {"zraster", 100.0}});
    zelvproTopViewElement* container = Make(
        db, AddTopView(db, {{"flags", 0x80}, {"posSheet", sheet}, {"xpos", 4}, {"ypos", rows}, {"zpos", 1}}));
    owned_.emplace_back(container);
    container->SetPosition(ppVector3(1000.0f, 0.0f, 500.0f));
    for (const Box& b : boxes) {
      zelvproTopViewElement* part = Part(db, b.mode, b.flags, b.w, b.h, container);
      part->cellX = b.x, part->cellY = b.y;
      part->RegisterInGrid(container);
    }
    return container;
  }
  static zelvproTopViewElement* Part(zelvDatabase& db, int32_t mode, uint32_t flags, int32_t w, int32_t h,
                                     zelvproTopViewElement* container) {
    return Make(
        db,
        AddTopView(db,
                   {{"positioning", mode}, {"flags", int32_t(flags)}, {"xpos", w}, {"ypos", h}, {"zpos", 1}}),
        container);
  }
  // The plan point of the drop at (column, row), fractions of a cell allowed.
  static ppVector3 PlanPointAt(zelvproTopViewElement* container, float column, float row) {
    ppVector3 p(column * 100.0f + 30.0f, row * 100.0f + 20.0f, 0.0f);
    container->LocalToWorld(p);
    return p;
  }

  std::vector<std::unique_ptr<zelvproTopViewElement>> owned_;
};

TEST_F(TopViewGridTest, RulesSlideTheDropToALegalCell) {
  zelvDatabase& db = MakeDatabase();
  const Box vertical{2, kPanel, 2, 1, 1, 4};  // column 2, rows 1 to 4
  const Box first{6, 0, 0, 0, 1, 1}, second{9, 0, 0, 0, 1, 1};
  const Box floor{1, kPanel, 0, 1, 2, 1}, top{1, kPanel, 0, 4, 2, 1};
  const Box rightWall{2, kPanel, 3, 0, 1, 5}, shelf{1, kPanel, 3, 3, 1, 1};
  struct Case {
    const char* name;
    std::initializer_list<Box> boxes;
    int32_t mode;
    uint32_t flags;
    int32_t w, h;
    float column, row;
    bool placed;
    int32_t x, y;
  } cases[] = {
      {"horizontal panel clamped and raised", {vertical}, 1, kPanel, 2, 1, 3.5f, 0.5f, true, 2, 1},
      {"horizontal panel slides left", {vertical}, 1, kPanel, 2, 1, 1.5f, 2.5f, true, 0, 2},
      {"first at the origin", {}, 6, 0, 1, 1, 2.5f, 3.5f, true, 0, 0},
      {"a second first refused", {first}, 6, 0, 1, 1, 2.5f, 3.5f, false, 0, 0},
      {"second without a first", {}, 9, 0, 1, 1, 1.5f, 1.5f, false, 0, 0},
      {"second after a first", {first}, 9, 0, 1, 1, 1.5f, 1.5f, true, 0, 0},
      {"a second second refused", {first, second}, 9, 0, 1, 1, 1.5f, 1.5f, false, 0, 0},
      {"no rule, cell still clamped", {}, 0, 0, 1, 1, 7.5f, 9.5f, false, 3, 4},
      {"right of the grid", {}, 10, 0, 2, 1, 9.5f, 1.5f, true, 2, 1},
      {"left of the grid", {}, 10, 0, 2, 1, -2.5f, 1.5f, true, 0, 1},
      {"mode 11 without a panel above", {vertical}, 11, 0, 1, 1, 0.5f, 2.5f, false, 0, 0},
      {"compartment between the panels", {vertical, floor}, 3, 0, 2, 4, 1.5f, 3.5f, true, 0, 1},
      {"rising to the panel above", {vertical, top}, 4, 0, 2, 1, 0.5f, 0.5f, true, 0, 3},
      // The probe column of the right edge stays inside the grid, so the shelf there is found.
      {"below a panel at the right edge", {rightWall, shelf}, 8, 0, 1, 1, 3.5f, 1.5f, true, 3, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    zelvproTopViewElement* container = Container(db, c.boxes);
    zelvproTopViewElement* part = Part(db, c.mode, c.flags, c.w, c.h, container);
    int32_t x = -1, y = -1, z = -1;
    ppVector3 point = PlanPointAt(container, c.column, c.row);
    const bool placed = container->PlaceInGrid(x, y, z, c.w, c.h, 1, point, part, 0);
    EXPECT_EQ(placed, c.placed);
    if (c.mode == 11) continue;  // only refused: where it was tried is the rule's own business
    EXPECT_EQ(x, c.x);
    EXPECT_EQ(y, c.y);
    EXPECT_EQ(z, 0);
    const ppVector3 cell = PlanPointAt(container, float(x), float(y));
    EXPECT_FLOAT_EQ(point.x, cell.x);
    EXPECT_FLOAT_EQ(point.y, cell.y);
    EXPECT_FLOAT_EQ(point.z, cell.z);
  }
}

TEST_F(TopViewGridTest, DamagedGridSizesAreRefusedAtOnce) {
  zelvDatabase& db = MakeDatabase();
  // Two billion rows: a part rising to a panel would be stepped up row by row.
  zelvproTopViewElement* container = Container(db, {}, 2000000000);
  zelvproTopViewElement* part = Part(db, 4, 0, 1, 1, container);
  int32_t x = 0, y = 0, z = 0;
  ppVector3 point = PlanPointAt(container, 0.5f, 0.5f);
  EXPECT_FALSE(container->PlaceInGrid(x, y, z, 1, 1, 1, point, part, 0));
  EXPECT_FALSE(container->PlaceInGrid(x, y, z, 1, -2147483647 - 1, 1, point, part, 0));
  EXPECT_EQ(y, 0);
}

TEST_F(TopViewGridTest, PartsKeepOneBoxInTheirKindsMapUntilTheyGo) {
  zelvDatabase& db = MakeDatabase();
  zelvproTopViewElement* container = Container(db, {});
  struct Case {
    uint32_t flags;
    PosSheetGrid* map;
  } cases[] = {{kPanel, container->gridX.get()},
               {zelvproTopViewElement::kInsetPart | kPanel, container->gridX.get()},
               {zelvproTopViewElement::kInsetPart, container->gridY.get()},
               {0, container->gridZ.get()}};
  for (const Case& c : cases) {
    zelvproTopViewElement* part = Part(db, 10, c.flags, 1, 2, container);
    part->RegisterInGrid(container);
    part->cellX = 3, part->cellY = 1;
    part->RegisterInGrid(container);  // moves the box
    EXPECT_EQ(c.map->FindCellAt(0, 0, 0), nullptr) << c.flags;
    const PosSheetCell* box = c.map->FindCellAt(3, 2, 0);
    ASSERT_NE(box, nullptr) << c.flags;
    EXPECT_EQ(box->owner, part);
    EXPECT_EQ(box->next, nullptr);
    // A part deleted while it stands in the grid takes its box with it.
    delete part;
    EXPECT_EQ(c.map->cells, nullptr) << c.flags;
  }
  zelvproTopViewElement* part = Part(db, 10, 0, 1, 1, container);
  part->RegisterInGrid(container);
  container->UnregisterFromGrid(part);
  container->UnregisterFromGrid(part);  // no box left: nothing happens
  EXPECT_EQ(container->gridZ->cells, nullptr);
}

}  // namespace
