// Building a top-view element from a catalogue record and from a saved document record: what the
// record's units, flags, sub-items and options make, the option memory per class, and what a loaded
// element keeps of its saved size, colours and choices.
#include <gtest/gtest.h>

#include "elements/grid/PosSheetGrid.h"
#include "elements/topview/TopViewTestSupport.h"

namespace {

using cattest::AddRecord;
using cattest::SetField;
using eltest::Join;
using eltest::SubItemEntry;
using tvtest::TopViewTest;
using Words = std::vector<int32_t>;

TEST_F(TopViewTest, UnitsAndFlagsDecideCalculationAndGrids) {
  zelvDatabase& db = MakeDatabase();
  const int32_t unit = AddUnit(db, {{"id", 900}});
  struct Case {
    Words units;
    int32_t flags;
    bool calculate;
    int32_t unitRecord;
    bool grids;
  } cases[] = {
      {{}, 0, false, 0, false},
      {{unit, 0}, 0x40000, false, unit, false},
      {{unit, 0}, 0x80, true, unit, true},
  };
  for (const Case& c : cases) {
    const int32_t topView =
        AddTopView(db, {{"flags", c.flags}, {"posSheet", 4}, {"xpos", 3}, {"ypos", 2}, {"zpos", 5}},
                   {{"Units", c.units}});
    auto element = MakeOwned(db, topView);
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->calculate != 0, c.calculate) << c.flags;
    EXPECT_EQ(element->unitRecordId, c.unitRecord);
    EXPECT_EQ(element->warningNumber, 0);
    for (PosSheetGrid* grid : {element->gridX.get(), element->gridY.get(), element->gridZ.get()}) {
      ASSERT_EQ(grid != nullptr, c.grids) << c.flags;
      if (grid == nullptr) continue;
      EXPECT_EQ(grid->sheetId, 4);
      EXPECT_EQ(grid->x, 3);
      EXPECT_EQ(grid->y, 2);
      EXPECT_EQ(grid->z, 5);
    }
  }
}

TEST_F(TopViewTest, SubItemsMakeChildrenAndTeardownRemovesTheirLines) {
  zelvDatabase& db = MakeDatabase();
  const int32_t part = AddTopView(db, {{"ID", 2}});
  // Entry 3 names the item itself: a child made from it would make children for ever.
  zelvproTopViewFil& topViews = db.TopViewFile();
  const int32_t item = AddTopView(db, {{"ID", 1}});
  topViews.ReadRecord(item, nullptr);
  cattest::SetWords(
      topViews, "subItems",
      Join({SubItemEntry(part, 0x3, 10.0f, 20.0f, 30.0f, 1.5f), SubItemEntry(0, 0x3, 0, 0, 0, 0),
            SubItemEntry(item, 0x1, 0, 0, 0, 0), SubItemEntry(part, 0x2, 0, 0, 0, 0)}));
  topViews.WriteRecord(item, nullptr);
  zelvproTopViewElement* element = Make(db, item);
  ASSERT_EQ(element->Subviews().Count(), 2);
  auto* first = dynamic_cast<zelvproTopViewElement*>(element->Subviews().At(0));
  auto* second = dynamic_cast<zelvproTopViewElement*>(element->Subviews().At(1));
  EXPECT_EQ(first->subItemFlags, 3);
  EXPECT_EQ(second->subItemFlags, 0);
  EXPECT_TRUE(first->createdByParent && second->createdByParent);
  EXPECT_EQ(first->GetPosition().z, 30.0f);
  EXPECT_EQ(first->GetAngle(), 1.5f);
  EXPECT_EQ(first->changed, 1);

  delete element;
  EXPECT_EQ(lines_.removed.size(), 3u);
  EXPECT_EQ(lines_.removed.front(), element);
}

TEST_F(TopViewTest, OptionsRememberTheChoicePerClassForNewElementsOnly) {
  zelvDatabase& db = MakeDatabase();
  const int32_t cls = AddClass(db, 31, 0x100);
  const int32_t value1 = AddRecord(db.OptionValueFile(), {{"id", 1}});
  const int32_t value2 = AddRecord(db.OptionValueFile(), {{"id", 2}});
  const int32_t u1 = AddUnit(db, {{"id", 501}, {"optionValue", value1}});
  const int32_t u2 = AddUnit(db, {{"id", 502}, {"optionValue", value2}});
  // A group, then a 0 class word: the 7 and 8 after it are not read.
  const int32_t item = AddTopView(db, {{"ID", 11}}, {{"options", {cls, 0x20, u1, u2, 0, 0, 7, 8}}});
  auto first = MakeOwned(db, item);
  ASSERT_EQ(first->options.size(), 1u);
  const TopViewOption& option = first->options[0];
  EXPECT_EQ(option.units, (Words{u1, u2}));
  EXPECT_EQ(option.chosenUnit, u1);
  EXPECT_EQ(option.optionKey, 31);
  EXPECT_EQ(option.optionFlags, 0x20u);
  EXPECT_EQ(first->pricedOption, 1);
  EXPECT_EQ(db.ClassFile().CacheGet(cls), value1);

  first->ChooseOptionUnit(cls, u2);
  EXPECT_EQ(db.ClassFile().CacheGet(cls), value2);
  const int32_t other = AddTopView(db, {{"ID", 12}}, {{"options", {cls, 0, u1, u2, 0}}});
  EXPECT_EQ(MakeOwned(db, other)->options[0].chosenUnit, u2);

  // Loaded: the memory is not read; the saved choice (unit "id" 502 of class "id" 31) is restored.
  zelvproDocModuleFil& module = Module(db);
  SetField(module, "recID", 12);
  zelvproTopViewElement unsaved(nullptr, module, false);
  EXPECT_EQ(unsaved.options[0].chosenUnit, u1);
  first->ChooseOptionUnit(cls, u1);
  cattest::SetWords(module, "privateData1", {0, 1, 502, 31});
  zelvproTopViewElement loaded(nullptr, module, false);
  EXPECT_EQ(loaded.options[0].chosenUnit, u2);
}

TEST_F(TopViewTest, LoadingKeepsOrRenewsTheSizeAndFillsMissingColours) {
  zelvDatabase& db = MakeDatabase();
  const int32_t white = AddColour(db, 1), oak = AddColour(db, 2), black = AddColour(db, 3);
  for (int32_t g = 1; g <= 3; ++g) AddColourCode(db, g, black);
  AddTopView(db, {{"ID", 21}, {"width", 600.0}, {"height", 720.0}, {"depth", 560.0}});
  struct Case {
    int32_t type;
    float width;
  } cases[] = {{0, 600.0f}, {1, 450.0f}};
  for (const Case& c : cases) {
    zelvproDocModuleFil& module = Module(db);
    SetField(module, "recID", 21);
    SetField(module, "type", c.type);
    SetField(module, "dimensionsx", 450.0);
    SetField(module, "color", 2);                        // the stored id of oak
    cattest::SetWords(module, "colors", {1, 1, white});  // one entry of three
    zelvproTopViewElement loaded(nullptr, module, false);
    EXPECT_EQ(loaded.dimensions.x, c.width) << c.type;
    EXPECT_EQ(loaded.colours, (Words{white, oak, oak}));
    EXPECT_EQ(loaded.loadedFromDocument, 1);
  }

  // A catalogue item that is gone: one empty outline piece, no options, the catalogue's defaults.
  zelvproDocModuleFil& module = Module(db);
  SetField(module, "recID", 999);
  zelvproTopViewElement orphan(nullptr, module, false);
  EXPECT_EQ(orphan.recordId, 0);
  EXPECT_EQ(orphan.outlinePieces, std::vector<uint8_t>(24, 0));
  ASSERT_NE(orphan.outlines, nullptr);
  EXPECT_EQ(MemGetSize(orphan.outlines->points), 0);
  EXPECT_TRUE(orphan.options.empty());
  EXPECT_EQ(orphan.colours, (Words{black, black, black}));
}

}  // namespace
