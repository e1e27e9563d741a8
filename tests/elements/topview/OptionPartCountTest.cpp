// How many parts an option group prices: none when its chosen unit is not among the units it may
// choose. An allowed list still marked changed is worked out again first; an up-to-date list that
// is empty allows nothing.
#include <gtest/gtest.h>

#include "elements/topview/FileSelection.h"
#include "elements/topview/TopViewTestSupport.h"

namespace {

using tvtest::TopViewTest;
using Words = std::vector<int32_t>;

constexpr int32_t kOffersNothing = 0x8;

TEST_F(TopViewTest, OptionPartsCountOnlyAnAllowedChoiceOfAFreshList) {
  zelvDatabase& db = MakeDatabase();
  const int32_t open = AddClass(db, 5, 0), closed = AddClass(db, 6, kOffersNothing);
  const int32_t a = AddUnit(db, {}), b = AddUnit(db, {});
  const struct {
    const char* what;
    bool offersNothing;
    bool changed;
    Words allowed;  // the cached list
    int32_t chosen;
    int32_t parts;
  } cases[] = {
      {"fresh list holding the choice", false, false, {a, b}, b, 1},
      {"fresh list without the choice", false, false, {b}, a, 0},
      // A list marked changed is stale, whatever it holds: the group's units are allowed again.
      {"stale list without the choice", false, true, {b}, a, 1},
      {"stale empty list", false, true, {}, a, 1},
      // Worked out, the list of a group that offers nothing is empty: nothing is allowed.
      {"group that offers nothing, stale", true, true, {}, a, 0},
      {"group that offers nothing, fresh", true, false, {}, a, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const int32_t cls = c.offersNothing ? closed : open;
    auto element = MakeOwned(db, AddTopView(db, {}, {{"options", {cls, 0, a, b, 0}}}));
    ASSERT_EQ(element->options.size(), 1u);
    TopViewOption& option = element->options[0];
    option.allowedUnits = c.allowed;
    option.changed = c.changed;
    option.chosenUnit = c.chosen;
    FileSelection::Set(db.UnitFile(), {b, b, a});
    EXPECT_EQ(element->CountOptionParts(cls), c.parts);
    EXPECT_FALSE(option.changed);
    EXPECT_EQ(FileSelection::Get(db.UnitFile()), (Words{b, b, a}));  // the selection is given back
  }
}

}  // namespace
