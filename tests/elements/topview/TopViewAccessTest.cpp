// Access requests and unit re-application of a top-view element: which unit is applied, which
// request is kept, what happens to the interior parts, and the top-view record of a depth variant.
#include <gtest/gtest.h>

#include "catalogue/records/zelvproDepthFil.h"
#include "elements/topview/TopViewTestSupport.h"

namespace {

using tvtest::TopViewTest;
using Words = std::vector<int32_t>;

// A 28-byte "subUnits" entry: top-view record, cell x and y, three words not read here, flags.
Words SubUnit(int32_t topView, int32_t x, int32_t y, int32_t flags = 0) {
  return {topView, x, y, 0, 0, 0, flags};
}

std::vector<zelvproTopViewElement*> Children(zelvproTopViewElement& element) {
  std::vector<zelvproTopViewElement*> out;
  for (int32_t i = 0; i < element.Subviews().Count(); ++i)
    out.push_back(dynamic_cast<zelvproTopViewElement*>(element.Subviews().At(i)));
  return out;
}

TEST_F(TopViewTest, ApplyAccessIdTakesTheFirstUnitForOneNotListed) {
  zelvDatabase& db = MakeDatabase();
  const int32_t u1 = AddUnit(db, {{"id", 11}}), u2 = AddUnit(db, {{"id", 12}}),
                other = AddUnit(db, {{"id", 13}});
  auto element = MakeOwned(db, AddTopView(db, {{"ID", 1}}, {{"Units", {u1, 0, u2, 0}}}));
  const std::pair<int32_t, int32_t> cases[] = {{u2, u2}, {other, u1}, {u2, u2}, {0, u1}};
  for (const auto& [asked, applied] : cases) {
    element->ApplyAccessId(asked, false);
    EXPECT_EQ(element->unitRecordId, applied) << asked;
  }
}

TEST_F(TopViewTest, OfTwoRequestsOfEqualLevelTheFirstStays) {
  zelvDatabase& db = MakeDatabase();
  const int32_t u1 = AddUnit(db, {{"id", 11}}), u2 = AddUnit(db, {{"id", 12}});
  auto element = MakeOwned(db, AddTopView(db, {{"ID", 1}}, {{"Units", {u1, 5, u2, 7}}}));
  struct Case {
    int32_t key, level, heldKey, unit;
  } cases[] = {{5, 2, 5, u1}, {7, 2, 5, u1}, {7, 3, 7, u2}};
  for (const Case& c : cases) {
    element->PushAccessRequest(c.key, c.level, 0, nullptr);
    EXPECT_EQ(element->GetHeldAccessKey(), c.heldKey) << c.key << " " << c.level;
    EXPECT_EQ(element->unitRecordId, c.unit) << c.key << " " << c.level;
  }
  element->PopAccessRequest(7, 3);
  EXPECT_EQ(element->unitRecordId, u2);  // no linked anchor to fall back on: key 0 takes no pair
}

TEST_F(TopViewTest, AUnitThatKeepsPartsLeavesTheInteriorPartsOfAnAppliedElement) {
  zelvDatabase& db = MakeDatabase();
  const int32_t shelf = AddTopView(db, {{"ID", 50}}), drawer = AddTopView(db, {{"ID", 51}});
  const int32_t plain = AddTopView(db, {{"ID", 52}});
  const int32_t withShelf = AddUnit(db, {{"id", 1}}, {{"subUnits", SubUnit(shelf, 1, 2)}});
  const int32_t keeping = AddUnit(db, {{"id", 2}, {"flags", 0x20}}, {{"subUnits", SubUnit(drawer, 0, 0)}});
  const int32_t withDrawer = AddUnit(db, {{"id", 3}}, {{"subUnits", SubUnit(drawer, 0, 0, 0x5)}});
  auto element =
      MakeOwned(db, AddTopView(db, {{"ID", 1}}, {{"Units", {withShelf, 0, keeping, 0, withDrawer, 0}}}));
  std::vector<zelvproTopViewElement*> parts = Children(*element);
  ASSERT_EQ(parts.size(), 1u);
  zelvproTopViewElement* made = parts[0];
  EXPECT_TRUE(made->interiorLocked);
  EXPECT_EQ(made->recordId, shelf);
  EXPECT_EQ(std::pair(made->cellX, made->cellY), std::pair(1, 2));
  zelvproTopViewElement* added = Make(db, plain, element.get());  // a part the user added

  element->ApplyAccessId(keeping, false);
  EXPECT_EQ(Children(*element), (std::vector<zelvproTopViewElement*>{made, added}));

  element->ApplyAccessId(withDrawer, false);
  parts = Children(*element);
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(parts[0], added);
  EXPECT_EQ(parts[1]->recordId, drawer);
  EXPECT_TRUE(parts[1]->interiorLocked);
  EXPECT_EQ(parts[1]->subItemFlags, 0x5);
}

TEST_F(TopViewTest, ARequestDoesNotMakeTheInteriorPartsOfALoadedElementAgain) {
  zelvDatabase& db = MakeDatabase();
  const int32_t shelf = AddTopView(db, {{"ID", 50}});
  const int32_t unit = AddUnit(db, {{"id", 1}}, {{"subUnits", SubUnit(shelf, 0, 0)}});
  AddTopView(db, {{"ID", 60}}, {{"Units", {unit, 0}}});
  zelvproDocModuleFil& module = Module(db);
  cattest::SetField(module, "recID", 60);
  cattest::SetField(module, "unitID", 1);
  // The document holds the element's parts as records of their own, loaded after it.
  zelvproTopViewElement loaded(nullptr, module, false);
  ASSERT_EQ(loaded.unitRecordId, unit);
  loaded.PushAccessRequest(3, 1, 0, nullptr);
  EXPECT_EQ(loaded.Subviews().Count(), 0);
}

TEST_F(TopViewTest, TopViewForDepthFollowsTheDepthOnlyForUnitsWithDepthVariants) {
  zelvDatabase& db = MakeDatabase();
  const int32_t narrow = AddTopView(db, {{"ID", 1}}), wide = AddTopView(db, {{"ID", 2}});
  const int32_t depth = cattest::AddRecord(db.DepthFile(), {{"id", 4}, {"depth", 600.0}});
  const int32_t variant = AddUnit(db, {{"id", 20}, {"topView", wide}});
  auto element = MakeOwned(db, narrow);
  struct Case {
    int32_t flags, topView, depth;
    bool force;
    int32_t result;
  } cases[] = {
      {0, narrow, depth, true, narrow}, {0x2, narrow, depth, false, narrow}, {0x2, narrow, depth, true, wide},
      {0x2, 0, depth, false, wide},     {0x2, narrow, 0, true, narrow},      {0x2, narrow, 99, true, narrow},
  };
  for (const Case& c : cases) {
    const int32_t unit = AddUnit(db, {{"id", 21}, {"flags", c.flags}, {"topView", c.topView}},
                                 {{"depthUnits", {depth, variant}}});
    EXPECT_EQ(element->TopViewForDepth(unit, c.depth, c.force), c.result)
        << c.flags << " " << c.topView << " " << c.depth << " " << c.force;
  }
  EXPECT_EQ(element->TopViewForDepth(0, depth, true), 0);
}

}  // namespace
