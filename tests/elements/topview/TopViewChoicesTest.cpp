// What a top-view element offers to choose (option units, colours, units, accessories) and how a
// colour or option written through its properties configures it.
#include <gtest/gtest.h>

#include <string>

#include "catalogue/records/zelvproColorGroupFil.h"
#include "catalogue/records/zelvproDepthFil.h"
#include "catalogue/records/zelvproPriceFil.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/topview/ColorChoiceCache.h"
#include "elements/topview/FileSelection.h"
#include "elements/topview/ListChecksum.h"
#include "elements/topview/OptionKeyPairs.h"
#include "elements/topview/TopViewTestSupport.h"
#include "foundation/ppMoney.h"

namespace {

using eltest::Join;
using eltest::Shape3DEntry;
using eltest::SubItemEntry;
using Words = std::vector<int32_t>;

constexpr int64_t kHundred = 1000000;  // 100.00 as raw money

class TopViewChoicesTest : public tvtest::TopViewTest {
 protected:
  void SetUp() override {
    TopViewTest::SetUp();
    iApplicationSettings::Install(&settings_);
  }
  void TearDown() override {
    iApplicationSettings::Install(nullptr);
    ColorChoiceCache::Clear();
    TopViewTest::TearDown();
  }

  static int32_t AddPrice(zelvDatabase& db, int32_t unit, int64_t raw, const char* optionKey = "") {
    zelvproPriceFil& prices = db.PriceFile();
    prices.ClearRecordBuffer(nullptr);
    cattest::SetField(prices, "module", unit);
    cattest::SetField(prices, "optionKey", optionKey);
    RecordField(prices, "price").SetMoneyRaw(prices.GetRecordBuffer(), raw);
    int32_t id = 0;
    prices.AddRecord(&id, nullptr);
    return id;
  }
  // The units `element` offers for option class `cls`.
  static Words OptionChoices(zelvproTopViewElement& element, int32_t cls) {
    element.FillOptionChoices(element.database->UnitFile(), cls);
    return FileSelection::Get(element.database->UnitFile());
  }
  static Words ColourChoices(zelvproTopViewElement& element, int32_t position, bool withChildren = false) {
    zelvproColorCatalogFil& colours = element.database->ColorCatalogFile();
    element.FillColorChoices(colours, position, withChildren);
    return FileSelection::Get(colours);
  }
  // A catalogue whose settings give it database number `number` (read when it opens).
  zelvDatabase& MakeNumberedDatabase(const std::string& name, int32_t number) {
    cattest::ChangeSettings(*Open(name), {{"identifier", number}});
    return MakeDatabase(name);
  }
  void PriceDriven(bool on) { settings_.flags1 = on ? iApplicationSettings::kPriceDrivenOptions : 0; }

  iApplicationSettings settings_;
};

TEST_F(TopViewChoicesTest, OptionKeysOfPriceRecordsChooseTheUnitsInPairOrder) {
  zelvDatabase& db = MakeDatabase();
  const int32_t cls = AddClass(db, 3, 0x100);
  const int32_t u1202 = AddUnit(db, {{"id", 1202}}), u1201 = AddUnit(db, {{"id", 1201}});
  const int32_t u77 = AddUnit(db, {{"id", 77}}), own = AddUnit(db, {});
  const int32_t priced = AddPrice(db, own, kHundred, "3:1201 3:1202");
  AddPrice(db, own, ppMoney::kNoValue, "3:77");  // a record without a price names nothing
  auto element =
      MakeOwned(db, AddTopView(db, {}, {{"Units", {own, 0}}, {"options", {cls, 0, u1202, u1201, u77, 0}}}));

  EXPECT_EQ(OptionChoices(*element, cls), (Words{u1202, u1201, u77}));  // switch off: unchanged
  PriceDriven(true);
  element->options[0].changed = true;
  EXPECT_EQ(OptionChoices(*element, cls), (Words{u1201, u1202}));
  // The option keeps its answer until its changed flag is set, whatever the catalogue does.
  db.PriceFile().DeleteRecord(priced);
  FileSelection::Set(db.UnitFile(), {});
  EXPECT_EQ(OptionChoices(*element, cls), (Words{u1201, u1202}));
  element->options[0].changed = true;
  EXPECT_EQ(OptionChoices(*element, cls), Words{});
  // A class no option has leaves the selection alone.
  FileSelection::Set(db.UnitFile(), {u77});
  EXPECT_EQ(OptionChoices(*element, cls + 100), Words{u77});
}

TEST_F(TopViewChoicesTest, PricedOnlyOptionsDropUnitsWithoutAPriceAndExcludesDropTheirUnits) {
  zelvDatabase& db = MakeDatabase();
  PriceDriven(true);
  const int32_t cls = AddClass(db, 4, 0x10000), plain = AddClass(db, 5, 0);
  const int32_t zero = AddUnit(db, {}), noValue = AddUnit(db, {}), priced = AddUnit(db, {}),
                unpriced = AddUnit(db, {});
  AddPrice(db, zero, 0);
  AddPrice(db, noValue, ppMoney::kNoValue);
  AddPrice(db, priced, kHundred);
  const int32_t chosen = AddUnit(db, {}), p = AddUnit(db, {}), q = AddUnit(db, {}), r = AddUnit(db, {});
  // The first group's trigger is the chosen unit of the first option; the second's is chosen by none.
  const Words excludes = {chosen, q, 0, unpriced, r, 0};
  auto element = MakeOwned(
      db,
      AddTopView(db, {},
                 {{"excludes", excludes},
                  {"options",
                   {plain, 0, chosen, 0, cls, 0, zero, noValue, priced, unpriced, 0, 7, 0, p, q, r, 0}}}));
  ASSERT_EQ(element->options.size(), 3u);
  EXPECT_EQ(OptionChoices(*element, cls), (Words{noValue, priced}));
  EXPECT_EQ(OptionChoices(*element, 7), (Words{p, r}));
}

TEST_F(TopViewChoicesTest, OptionKeyTextsAreReadPairByPair) {
  const struct {
    const char* text;
    std::vector<OptionKeyPairs::Pair> pairs;
  } cases[] = {
      {"3:1201 3:1202 5:77", {{3, 1201}, {3, 1202}, {5, 77}}},
      {"3:1\r\n4:2\r\n", {{3, 1}, {4, 2}}},  // pairs on lines of their own
      {"x:1 3:y 3: 4:5 6", {{4, 5}}},        // broken pairs do not hide the next one
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(OptionKeyPairs::Read(Vcon::String(c.text)), c.pairs) << c.text;
}

TEST_F(TopViewChoicesTest, AllowedColoursFollowTheMaskTheDepthAndTheUnitAndAreCached) {
  zelvDatabase& db = MakeDatabase();
  const int32_t c1 = AddColour(db, 11), c2 = AddColour(db, 12), c3 = AddColour(db, 13);
  AddColourCode(db, 1, 0);
  const int32_t code2 = AddColourCode(db, 2, 0);
  const int32_t unit = AddUnit(db, {});
  const int32_t item = AddTopView(db, {{"colorCode", code2}}, {{"Units", {unit, 0}}});
  const Words all = {c1, c2, c3};

  auto element = MakeOwned(db, item);
  element->SetLinkedRecord(0);
  EXPECT_EQ(ColourChoices(*element, 2), all);      // no settings list, no other restriction
  EXPECT_EQ(ColourChoices(*element, 1), Words{});  // outside the mask (0x2)
  EXPECT_EQ(ColorChoiceCache::KeyCount(), 2u);
  EXPECT_EQ(ColorChoiceCache::ListCount(), 2u);
  const int32_t c4 = AddColour(db, 14);  // the cache is never emptied
  EXPECT_EQ(ColourChoices(*element, 2), all);
  EXPECT_EQ(ColourChoices(*MakeOwned(db, item), 1), Words{});
  EXPECT_EQ(ColorChoiceCache::KeyCount(), 2u);

  // A depth restricts only the positions its "colorFlags" name.
  const Words allNow = {c1, c2, c3, c4};
  for (const auto& [flags, expected] : {std::pair{0x1, allNow}, std::pair{0x2, Words{c1}}}) {
    db.DepthFile().ClearRecordBuffer(nullptr);
    cattest::SetField(db.DepthFile(), "flags", 1);
    cattest::SetField(db.DepthFile(), "colorFlags", flags);
    cattest::SetWords(db.DepthFile(), "colors", {1, 1, c1});
    int32_t depth = 0;
    db.DepthFile().AddRecord(&depth, nullptr);
    auto deep = MakeOwned(db, item);
    deep->SetLinkedRecord(depth);
    EXPECT_EQ(ColourChoices(*deep, 2), expected) << flags;
  }
  EXPECT_EQ(ColorChoiceCache::KeyCount(), 4u);
  EXPECT_EQ(ColorChoiceCache::ListCount(), 4u);
  EXPECT_EQ(ColourChoices(*MakeOwned(db, item), 1, true), Words{});  // a key of its own, a list shared
  EXPECT_EQ(ColorChoiceCache::ListCount(), 4u);

  // Units of one item whose top views allow different colours get their own answers; a top view
  // flagged 0x100000 names colour groups, and then an empty list allows nothing.
  const int32_t group = cattest::AddRecord(db.ColorGroupFile(), {{"id", 1}});
  const int32_t c5 = cattest::AddRecord(db.ColorCatalogFile(), {{"id", 15}, {"colorGroup", group}});
  auto unitOf = [&](cattest::Fields fields, Words colours) {
    return AddUnit(db, {{"topView", AddTopView(db, fields, {{"Colors", colours}})}});
  };
  const std::pair<int32_t, Words> cases[] = {
      {unitOf({}, {0, c2}), Words{c2}},
      {unitOf({}, {c3}), Words{c3}},
      {unitOf({{"flags", 0x100000}}, {group}), Words{c5}},
      {unitOf({{"flags", 0x100000}}, {}), Words{}},
  };
  const int32_t units = AddTopView(db, {{"colorCode", code2}}, {{"Units", {cases[0].first, 0}}});
  for (const auto& [unit, expected] : cases) {
    auto choosing = MakeOwned(db, units);
    choosing->unitRecordId = unit;
    EXPECT_EQ(ColourChoices(*choosing, 2), expected) << unit;
  }
}

TEST_F(TopViewChoicesTest, PricedColourClassesOfferTheColoursThePriceRecordsName) {
  zelvDatabase& db = MakeDatabase();
  const int32_t c12 = AddColour(db, 12), c13 = AddColour(db, 13);
  const int32_t code =
      cattest::AddRecord(db.ColorCodeFile(), {{"id", 1}, {"class", AddClass(db, 40, 0x100)}});
  const int32_t priced = AddUnit(db, {}), unpriced = AddUnit(db, {});
  AddPrice(db, priced, kHundred, "40:13 41:12");
  AddPrice(db, priced, 0, "40:12");  // a zero price names nothing
  auto element = MakeOwned(db, AddTopView(db, {{"colorCode", code}}, {{"Units", {priced, 0}}}));
  EXPECT_EQ(ColourChoices(*element, 1), (Words{c12, c13}));
  ColorChoiceCache::Clear();
  PriceDriven(true);
  EXPECT_EQ(ColourChoices(*element, 1), Words{c13});
  // Without price records the colours are not narrowed.
  auto other = MakeOwned(db, AddTopView(db, {{"colorCode", code}}, {{"Units", {unpriced, 0}}}));
  EXPECT_EQ(ColourChoices(*other, 1), (Words{c12, c13}));
}

TEST_F(TopViewChoicesTest, AnswersWithChildrenAreKeptApartFromThoseWithout) {
  zelvDatabase& db = MakeDatabase();
  const int32_t c1 = AddColour(db, 11), c2 = AddColour(db, 12);
  const int32_t code1 = AddColourCode(db, 1, 0, {c1}), code2 = AddColourCode(db, 2, 0, {c2});
  const int32_t unit = AddUnit(db, {});
  const int32_t part = AddTopView(db, {{"colorCode", code1}}, {{"Units", {unit, 0}}});
  // A child without a unit answers nothing and adds nothing.
  const Words children =
      Join({SubItemEntry(AddTopView(db, {}), 0, 0, 0, 0, 0), SubItemEntry(part, 0, 0, 0, 0, 0)});
  auto parent =
      MakeOwned(db, AddTopView(db, {{"colorCode", code2}}, {{"Units", {unit, 0}}, {"subItems", children}}));
  EXPECT_EQ(ColourChoices(*parent, 1, false), Words{});
  EXPECT_EQ(ColourChoices(*parent, 1, true), Words{c1});
  EXPECT_EQ(ColourChoices(*parent, 2, true), Words{c2});
  EXPECT_EQ(ColourChoices(*parent, 1, false), Words{});
}

TEST_F(TopViewChoicesTest, MergingColoursKeepsCommonOnesAndMarksDifferences) {
  zelvDatabase& db = MakeDatabase();
  const int32_t code1 = AddColourCode(db, 1, 0);
  AddColourCode(db, 2, 0);
  const int32_t item = AddTopView(db, {{"colorCode", code1}}, {{"Units", {AddUnit(db, {}), 0}}});
  auto a = MakeOwned(db, item), b = MakeOwned(db, item);
  const struct { int32_t first, second, merged; } cases[] = {{5, 7, -1}, {5, 5, 5}};
  for (const auto& c : cases) {
    a->colours = {c.first, 99};
    b->colours = {c.second, 98};
    Words list = {0, 0};
    a->MergeColorChoices(list);
    b->MergeColorChoices(list);
    EXPECT_EQ(list, (Words{c.merged, 0})) << c.first << "/" << c.second;  // position 2 is in no mask
  }
}

TEST_F(TopViewChoicesTest, UnitChoicesAndAccessoriesComeFromTheTopViewRecord) {
  zelvDatabase& db = MakeDatabase();
  const Words units = {3, 0, 4, 1, 3, 0};
  auto element = MakeOwned(db, AddTopView(db, {}, {{"Units", units}, {"DropItems", {10, 4, 12, 0}}}));
  EXPECT_EQ(element->CollectUnitChoices(false), Words{3});
  EXPECT_EQ(element->CollectUnitChoices(true), (Words{3, 4}));
  auto mainOnly = MakeOwned(db, AddTopView(db, {{"flags", 0x800000}}, {{"Units", units}}));
  EXPECT_EQ(mainOnly->CollectUnitChoices(true), Words{3});

  EXPECT_TRUE(element->AcceptsAccessory(10));
  EXPECT_FALSE(element->AcceptsAccessory(12));  // listed without the drop flag
  EXPECT_FALSE(mainOnly->AcceptsAccessory(10));
  zelvproTopViewElement* loose = Make(db, AddTopView(db, {}));
  EXPECT_TRUE(element->AttachAccessory(loose));
  EXPECT_EQ(loose->GetSupervisor(), element.get());
  EXPECT_TRUE(loose->AttachAccessory(element.get()));  // its own container is not taken in
  EXPECT_EQ(element->GetSupervisor(), nullptr);
  EXPECT_FALSE(element->zelvproElement::AttachAccessory(loose));
}

TEST_F(TopViewChoicesTest, AGroupColourReachesTheGroupsThatFollowItInItsOwnCatalogueOnly) {
  {
    auto setup = Open("groups.cdb");
    zelvproColorCodeFil& codes = setup->ColorCodeFile();
    int32_t records[5] = {};
    for (int32_t id = 1; id <= 5; ++id) {
      // Group 4 follows group 3; group 5 follows group 1.
      codes.ClearRecordBuffer(nullptr);
      cattest::SetField(codes, "id", id);
      cattest::SetField(codes, "defaultColor", 20);
      cattest::SetField(codes, "follow", id == 4 ? records[2] : id == 5 ? records[0] : 0);
      cattest::SetWords(codes, "colors", {12, 20});
      codes.AddRecord(&records[id - 1], nullptr);
    }
  }
  zelvDatabase& db = MakeNumberedDatabase("groups.cdb", 7);
  ASSERT_EQ(db.Identifier(), 7);
  const int32_t unit =
      AddUnit(db, {{"useParametrics", 2}},
              {{"shapes3D", Join({Shape3DEntry(1, 3), Shape3DEntry(1, 4), Shape3DEntry(1, 5)})}});
  auto element = MakeOwned(db, AddTopView(db, {}, {{"Units", {unit, 0}}}));
  ASSERT_EQ(element->colours, (Words{20, 20, 20, 20, 20}));
  element->SetGroupColor(3, 12 * 10000 + 8);
  EXPECT_EQ(element->colours, (Words{20, 20, 20, 20, 20}));
  element->needsRedraw = 0;
  element->SetGroupColor(3, 12 * 10000 + 7);
  EXPECT_EQ(element->colours, (Words{20, 20, 12, 12, 20}));
  EXPECT_EQ(element->needsRedraw, 1);
  EXPECT_EQ(element->GetGroupColorValue(3), 12 * 10000 + 7);
}

TEST_F(TopViewChoicesTest, AnOptionTakesTheAllowedUnitOfTheSameOptionValueAndTheOthersFollow) {
  zelvDatabase& db = MakeNumberedDatabase("options.cdb", 3);
  const int32_t five = cattest::AddRecord(db.OptionValueFile(), {{"id", 5}});
  const int32_t seven = cattest::AddRecord(db.OptionValueFile(), {{"id", 7}});
  const int32_t x = AddClass(db, 1, 0), y = AddClass(db, 2, 0);
  const int32_t a = AddUnit(db, {{"optionValue", five}}), b = AddUnit(db, {{"optionValue", seven}});
  const int32_t requested = AddUnit(db, {{"optionValue", seven}});
  const int32_t p = AddUnit(db, {}), q = AddUnit(db, {});
  // Choosing b rules p out of the second option.
  auto element = MakeOwned(
      db, AddTopView(db, {}, {{"excludes", {b, p, 0}}, {"options", {x, 0, a, b, 0, y, 0, p, q, 0}}}));
  ASSERT_EQ(element->options[0].chosenUnit, a);
  ASSERT_EQ(element->options[1].chosenUnit, p);
  const int32_t d = db.Identifier();

  element->colourMask = 0x1;
  element->SetOption(x, requested * 10000 + d + 1);  // another catalogue's unit
  EXPECT_EQ(element->options[0].chosenUnit, a);
  EXPECT_EQ(element->colourMask, 0u);

  element->SetOption(x, requested * 10000 + d);
  EXPECT_EQ(element->options[0].chosenUnit, b);
  EXPECT_EQ(element->options[1].chosenUnit, q);
  EXPECT_EQ(db.ClassFile().CacheGet(x), seven);
  EXPECT_EQ(db.ClassFile().CacheGet(y), seven);
  EXPECT_EQ(element->GetOptionUnitValue(x), b * 10000 + d);
  EXPECT_EQ(element->GetOptionClassAt(1), y);
  EXPECT_EQ(element->GetOwnPropertyCount(), 39 + 0 + 2);
}

TEST_F(TopViewChoicesTest, MasksCountGroupsFromBitZeroToThirty) {
  zelvDatabase& db = MakeDatabase();
  auto element = MakeOwned(db, AddTopView(db, {}));
  EXPECT_EQ(element->CountMaskGroups(0x5), 2);
  EXPECT_EQ(element->CountMaskGroups(int32_t(0x80000000)), 0);
  EXPECT_EQ(element->CountMaskGroups(-1), 0);  // an element without colour codes has no groups
  const struct {
    int32_t j, mask, group;
  } cases[] = {{0, 0x5, 1}, {1, 0x5, 3}, {2, 0x5, -1}, {0, int32_t(0x80000000), -1}, {0, 0x40000000, 31}};
  for (const auto& c : cases)
    EXPECT_EQ(element->GroupOfMaskIndex(c.j, c.mask), c.group) << c.j << "/" << c.mask;
}

TEST_F(TopViewChoicesTest, ListChecksums) {
  const struct {
    std::string bytes;
    uint32_t sum;
  } cases[] = {{"abc", 0x00005749}, {"", 0xFFFFFFFF}, {"\x80", 0xFFFFE041}};
  for (const auto& c : cases)
    EXPECT_EQ(ListChecksum(reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size()), c.sum)
        << c.bytes;
}

}  // namespace
