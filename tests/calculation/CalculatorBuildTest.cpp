// Building the whole price list: discounts, subtotals, VAT, the Total, tag groups, unit notes, blank
// lines, sort keys and the two orders; and the top canvas's whole-plan rebuild steps.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "calculation/CalculationTestSupport.h"
#include "elements/base/zelvproElement.h"

namespace {

using calctest::Amount;
using Calc = zelvproCalculatorFil;

// What the list shows of a line: type, tag, "totherText", total (raw).
struct Row {
  int32_t type = 0, tag = 0;
  std::string text;
  int64_t total = 0;
  bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& r) {
  return out << "{" << r.type << ", " << r.tag << ", \"" << r.text << "\", " << r.total << "}";
}

int64_t Raw(double units) { return Amount(units).Raw(); }

// An element that adds one line of its own each time it is asked, as the plan's units do.
class PricedElement : public zelvproElement {
 public:
  PricedElement(ppView* parent, zelvDatabase* db, int32_t tag, double price)
      : zelvproElement(0, parent, plat::RECT{0, 0, 10, 10}, db, 0, 0), tag_(tag), price_(price) {}
  void AddToCalculation() override {
    iCalculationList& list = iCalculationList::Current();
    ppDatafile* file = list.LineFile();
    if (file == nullptr) return;
    list.RemoveElementLines(this);
    list.ClearBuffer();
    cattest::SetField(*file, "type", 1);
    cattest::SetField(*file, "tag", tag_);
    cattest::SetField(*file, "price", Amount(price_));
    cattest::SetField(*file, "pcs", DecimalNumber(1.0));
    cattest::SetField(*file, "topViewID", 1);
    list.FinishLine({this, nullptr});
    list.AddLine({this, nullptr});
    zelvproElement::AddToCalculation();
  }

 private:
  int32_t tag_;
  double price_;
};

class CalculatorBuildTest : public calctest::CalculationTest {
 protected:
  void TearDown() override {
    elements_.clear();
    CalculationTest::TearDown();
  }

  // An element line (type 1) of `pcs` pieces at `price`.
  int32_t Item(double price, double pcs = 1.0, int32_t tag = 0) {
    return AddLine(
        {{"type", 1}, {"id", ++id_}, {"price", Amount(price)}, {"pcs", DecimalNumber(pcs)}, {"tag", tag}});
  }
  // A line of `type` with a percentage (0 for none) and a stored total.
  int32_t Line(int32_t type, double percent = 0.0, int32_t tag = 0, double total = 0.0) {
    return AddLine({{"type", type},
                    {"id", ++id_},
                    {"discountPct", float(percent)},
                    {"tag", tag},
                    {"total", Amount(total)}});
  }
  std::vector<Row> Build() {
    Calc().BeginAccess();
    Calc().BuildLines();
    return Rows();
  }
  std::vector<Row> Rows() {
    std::vector<Row> rows;
    Calc().BeginAccess();
    for (int32_t i = 0; i < Calc().GetRecordCount(); ++i) {
      const int32_t type = Read(i, "type").ToLong();
      rows.push_back(Row{type, Read(i, "tag").ToLong(), Text(i, "totherText"), RawMoney(i, "total")});
    }
    return rows;
  }
  std::vector<int32_t> Types() {
    std::vector<int32_t> types;
    for (const Row& row : Rows()) types.push_back(row.type);
    return types;
  }
  std::string TagText(int32_t index) {
    tags_->ReadRecordAt(index, nullptr);
    return RecordField(*tags_, "ttext").WideText(tags_->GetRecordBuffer()).Narrow();
  }
  // An element of the first catalogue; one with a parent belongs to the parent.
  zelvproElement* NewElement(ppView* parent = nullptr) {
    if (parent != nullptr) return new zelvproElement(0, parent, plat::RECT{0, 0, 10, 10}, &Db(1), 0, 0);
    elements_.push_back(
        std::make_unique<zelvproElement>(0, parent, plat::RECT{0, 0, 10, 10}, &Db(1), int8_t(0), int8_t(0)));
    return elements_.back().get();
  }

  int32_t id_ = 0;
  std::vector<std::unique_ptr<zelvproElement>> elements_;
};

// ---- sums -------------------------------------------------------------------------------------

TEST_F(CalculatorBuildTest, AnUntaggedPercentDiscountTakesItsShareOfEverythingAboveIt) {
  for (auto [percent, share, total] : {std::tuple{10.0, 20.0, 220.0}, std::tuple{-10.0, -20.0, 180.0}}) {
    SCOPED_TRACE(percent);
    Calc().DeleteAllLines();
    Line(Calc::kDiscountLine, percent);  // sorted behind the items whatever its place
    Item(100.0, 2.0);
    EXPECT_EQ(
        Build(),
        (std::vector<Row>{
            {1, 0, "", Raw(200.0)}, {10, 0, "", Raw(share)}, {0, 0, "", 0}, {5, 0, "Total", Raw(total)}}));
  }
}

TEST_F(CalculatorBuildTest, VatAndSubTotalTakeTheSumsBeforeThemAndTheBlankLinesFallBetweenGroups) {
  Line(Calc::kVatLine, 25.0);
  Line(Calc::kSubtotalLine);
  Item(60.0);
  Item(40.0);
  // A SubTotal after an item gets a blank line before it; the VAT right after it none; no blank
  // line at the end.
  EXPECT_EQ(Build(), (std::vector<Row>{{1, 0, "", Raw(60.0)},
                                       {1, 0, "", Raw(40.0)},
                                       {0, 0, "", 0},
                                       {11, 0, "", Raw(100.0)},
                                       {12, 0, "", Raw(25.0)},
                                       {5, 0, "Total", Raw(125.0)}}));
  // A second build gives the same list: the generated lines are made anew, not added twice.
  EXPECT_EQ(Build(), Rows());
  EXPECT_EQ(Types(), (std::vector<int32_t>{1, 1, 0, 11, 12, 5}));
}

TEST_F(CalculatorBuildTest, ATagGetsAHeadingItsItemsASubtotalAndABlankLine) {
  Item(10.0, 1.0, 5);
  Item(7.0);
  Item(15.0, 1.0, 5);
  const std::vector<Row> rows = Build();
  EXPECT_EQ(rows, (std::vector<Row>{{7, 5, "Kitchen", 0},
                                    {1, 5, "", Raw(10.0)},
                                    {1, 5, "", Raw(15.0)},
                                    {4, 5, "Subtotal for Kitchen", Raw(25.0)},
                                    {0, 0, "", 0},
                                    {1, 0, "", Raw(7.0)},
                                    {0, 0, "", 0},
                                    {5, 0, "Total", Raw(32.0)}}));
}

TEST_F(CalculatorBuildTest, UntaggedItemsAloneGetNoHeadingAndATagWithoutRecordTakesTheFirstRecordsTexts) {
  Item(10.0);
  Item(15.0);
  EXPECT_EQ(Types(), (std::vector<int32_t>{1, 1}));
  EXPECT_EQ(Build(),
            (std::vector<Row>{
                {1, 0, "", Raw(10.0)}, {1, 0, "", Raw(15.0)}, {0, 0, "", 0}, {5, 0, "Total", Raw(25.0)}}));

  Calc().DeleteAllLines();
  Item(3.0, 1.0, 77);
  const std::string first = TagText(0);
  EXPECT_EQ(Build(), (std::vector<Row>{{7, 77, first, 0},
                                       {1, 77, "", Raw(3.0)},
                                       {4, 77, "Subtotal for " + first, Raw(3.0)},
                                       {0, 0, "", 0},
                                       {5, 0, "Total", Raw(3.0)}}));
}

TEST_F(CalculatorBuildTest, ATaggedPercentDiscountTakesItsShareOfItsOwnGroup) {
  Item(100.0, 1.0, 5);
  Line(Calc::kDiscountLine, 10.0, 5);
  Item(50.0, 1.0, 9);
  const std::vector<Row> rows = Build();
  ASSERT_EQ(Types(), (std::vector<int32_t>{7, 1, 10, 4, 0, 7, 1, 4, 0, 5}));
  EXPECT_EQ(rows[2].total, Raw(10.0));
  EXPECT_EQ(rows[3].total, Raw(110.0));
  EXPECT_EQ(rows[7].total, Raw(50.0));
  EXPECT_EQ(rows[9].total, Raw(160.0));
}

TEST_F(CalculatorBuildTest, AmountsKeepTheirCentsWhetherOrNotTheMoneyFormatShowsDecimals) {
  // Hiding the decimals is a display choice: the bill must come out the same either way.
  struct RestoreFormat {
    DecimalFormat saved = ppMoney::DefaultFormat();
    ~RestoreFormat() { ppMoney::SetDefaultFormat(saved); }
  } restore;
  const DecimalFormat saved = restore.saved;
  const int32_t unit = cattest::AddRecord(Db(1).UnitFile(), {{"number1", "S1"}, {"name1", "Shelf"}});
  const int32_t price = cattest::AddRecord(Db(1).PriceFile(), {{"module", unit}, {"price", Amount(77.70)}});
  for (bool decimals : {false, true}) {
    SCOPED_TRACE(decimals);
    DecimalFormat format = saved;
    format.decimalsOn = decimals;
    ppMoney::SetDefaultFormat(format);
    Calc().DeleteAllLines();
    Item(99.99);
    Line(Calc::kVatLine, 7.0);
    std::vector<Row> rows = Build();
    ASSERT_EQ(Types(), (std::vector<int32_t>{1, 0, 12, 5}));
    EXPECT_EQ(rows[0].total, 999900);
    EXPECT_EQ(rows[2].total, 69993);
    EXPECT_EQ(rows[3].total, 1069893);

    // Three items of 0.40 stay in the list and add up; a service line priced from the catalogue
    // keeps the record's cents, and so does the price the unit rule copies.
    Calc().DeleteAllLines();
    for (int32_t i = 0; i < 3; ++i) Item(0.40);
    const int32_t service = AddLine({{"type", 8},
                                     {"id", ++id_},
                                     {"unitID", unit},
                                     {"priceID", price},
                                     {"databaseID", 1},
                                     {"pcs", DecimalNumber(1.0)}},
                                    {nullptr, &Db(1)});
    EXPECT_EQ(RawMoney(service, "price"), 777000);
    const int32_t typed =
        AddLine({{"type", 8}, {"id", ++id_}, {"pcs", DecimalNumber(2.0)}}, {nullptr, &Db(1)});
    Write(typed, "unitID", unit);
    EXPECT_EQ(RawMoney(typed, "total"), 1554000);
    rows = Build();
    ASSERT_EQ(Types(), (std::vector<int32_t>{1, 1, 1, 8, 8, 0, 5}));
    EXPECT_EQ(rows[0].total, 4000);
    EXPECT_EQ(rows[3].total + rows[4].total, 2331000);
    EXPECT_EQ(rows[6].total, 2343000);
  }
}

TEST_F(CalculatorBuildTest, ALaterGroupsDiscountTakesOnlyItsOwnSumsAndSubtotalsCarryWeightAndVolume) {
  auto item = [&](double price, double pcs, int32_t tag, int32_t weight, int32_t volume) {
    AddLine({{"type", 1},
             {"id", ++id_},
             {"price", Amount(price)},
             {"pcs", DecimalNumber(pcs)},
             {"tag", tag},
             {"weight", weight},
             {"volume", volume}});
  };
  item(100.0, 2.0, 5, 3000, 2000);
  item(50.0, 1.0, 5, 1000, 500);
  item(80.0, 1.0, 9, 700, 300);
  Line(Calc::kDiscountLine, 10.0, 9);
  const std::vector<Row> rows = Build();
  ASSERT_EQ(Types(), (std::vector<int32_t>{7, 1, 1, 4, 0, 7, 1, 10, 4, 0, 5}));
  EXPECT_EQ(rows[7].total, Raw(8.0)) << "10 % of the Utility group alone";
  EXPECT_EQ(rows[8].total, Raw(88.0));
  EXPECT_EQ(rows[3].total, Raw(250.0));
  EXPECT_EQ(rows[10].total, Raw(338.0));
  auto measures = [&](int32_t line) {
    return std::pair{Read(line, "weightTotal").ToLong(), Read(line, "volumeTotal").ToLong()};
  };
  EXPECT_EQ(measures(3), std::pair(7000, 4500));
  EXPECT_EQ(measures(8), std::pair(700, 300));
  EXPECT_EQ(measures(10), std::pair(7700, 4800));
}

TEST_F(CalculatorBuildTest, ItemLinesOfNoOrNegativeQuantityAreGoneAndCountInNoSum) {
  // A quantity below 0 was counted in the Total and then removed: the Total held a line nobody saw.
  Item(100.0);
  Item(50.0, 0.0);
  Item(50.0, -1.0);
  Line(Calc::kSubtotalLine);
  EXPECT_EQ(
      Build(),
      (std::vector<Row>{
          {1, 0, "", Raw(100.0)}, {0, 0, "", 0}, {11, 0, "", Raw(100.0)}, {5, 0, "Total", Raw(100.0)}}));
}

// A Discount line's amount is its percentage of what stands above it: without a percentage it takes
// nothing off, whatever amount (none included) the line was stored with.
TEST_F(CalculatorBuildTest, ADiscountWithoutAPercentageTakesNothingWhateverAmountItHeld) {
  Item(10.0);
  Line(Calc::kDiscountLine);
  Calc().BeginAccess();
  Calc().ReadRecordAt(1, nullptr);
  RecordField(Calc(), "total").SetMoneyRaw(Calc().GetRecordBuffer(), ppMoney::kNoValue);
  Calc().WriteRecordAt(1, nullptr);
  Calc().SaveToBlob();
  const std::vector<Row> rows = Build();
  EXPECT_EQ(rows.back().type, 5);
  EXPECT_EQ(rows.back().total, Raw(10.0));
}

TEST_F(CalculatorBuildTest, ALineWithoutAnAmountStaysAndLeavesTheSumsToThePricedLines) {
  // A price written through the fields stores 0 when it has no value, so such a plan element line is
  // an empty one and goes; an Item/Service read with the no-value marker (as a stored list may hold
  // it) stays without an amount and takes the value from neither its tag's subtotal, a SubTotal nor
  // the Total.
  Item(10.0, 1.0, 5);
  const int32_t tagged = Line(Calc::kItemService, 0.0, 5);
  Item(7.0);
  const int32_t untagged = Line(Calc::kItemService);
  Line(Calc::kSubtotalLine);
  Calc().BeginAccess();
  for (int32_t line : {tagged, untagged}) {
    Calc().ReadRecordAt(line, nullptr);
    for (const char* field : {"price", "total", "total2"})
      RecordField(Calc(), field).SetMoneyRaw(Calc().GetRecordBuffer(), ppMoney::kNoValue);
    Calc().WriteRecordAt(line, nullptr);
  }
  Calc().SaveToBlob();
  EXPECT_EQ(Build(), (std::vector<Row>{{7, 5, "Kitchen", 0},
                                       {1, 5, "", Raw(10.0)},
                                       {8, 5, "", ppMoney::kNoValue},
                                       {4, 5, "Subtotal for Kitchen", Raw(10.0)},
                                       {0, 0, "", 0},
                                       {1, 0, "", Raw(7.0)},
                                       {8, 0, "", ppMoney::kNoValue},
                                       {0, 0, "", 0},
                                       {11, 0, "", Raw(17.0)},
                                       {5, 0, "Total", Raw(17.0)}}));
}

TEST_F(CalculatorBuildTest, LeadingLinesWithoutATotalStay) {
  // Only the grouping's own top line goes again: a stored Text and an Item/Service of no amount
  // before the first priced line keep their place.
  Line(Calc::kTextLine);
  Line(Calc::kItemService);
  Item(5.0);
  EXPECT_EQ(Types(), (std::vector<int32_t>{9, 8, 1}));
  Build();
  EXPECT_EQ(Types(), (std::vector<int32_t>{1, 8, 9, 0, 5}));
}

TEST_F(CalculatorBuildTest, AnEmptyListStaysEmpty) {
  Line(Calc::kTotalLine);
  Line(Calc::kEmptyLine);
  EXPECT_TRUE(Build().empty());
}

TEST_F(CalculatorBuildTest, TheSavedHandleHoldsTheBytesTheEmbeddedTableWrites) {
  // Lines of several packed lengths, so the padding differs from line to line.
  for (int32_t i = 0; i < 7; ++i)
    AddLine({{"type", 9},
             {"ttext", Vcon::WString(std::string(size_t(i), 'x'))},
             {"group", std::string(size_t(i * 3), 'g').c_str()}});
  Build();
  const std::string ours(*lineBlob_, MemGetSize(lineBlob_));
  ppEmbeddedData plain(Calc::kLayout, Db(1), lineBlob_, nullptr);
  plain.LoadFromBlob();
  EXPECT_EQ(plain.GetRecordCount(), Calc().GetRecordCount());
  plain.SaveToBlob();
  EXPECT_EQ(std::string(*lineBlob_, MemGetSize(lineBlob_)), ours);
}

// ---- notes --------------------------------------------------------------------------------------

TEST_F(CalculatorBuildTest, LinesOfOneUnitShareOneNoteLineAfterTheTotal) {
  zelvproElement* a = NewElement();
  zelvproElement* b = NewElement();
  for (zelvproElement* e : {a, b})
    AddLine({{"type", 1},
             {"id", ++id_},
             {"unitID", first_.unit},
             {"databaseID", 1},
             {"price", Amount(200.0)},
             {"pcs", DecimalNumber(1.0)}},
            {e, &Db(1)});
  const std::vector<Row> rows = Build();
  ASSERT_EQ(Types(), (std::vector<int32_t>{1, 1, 0, 5, 0, 13}));
  EXPECT_EQ(Read(0, "noteIndex").ToLong(), 1);
  EXPECT_EQ(Read(1, "noteIndex").ToLong(), 1);
  EXPECT_EQ(rows[5].text, "1) 600,720,560");
  EXPECT_EQ(Text(5, "tunitDescription"), "1) 600,720,560");
  EXPECT_EQ(rows[3].total, Raw(400.0));
}

// ---- sort keys ----------------------------------------------------------------------------------

TEST_F(CalculatorBuildTest, EveryLineTypeGetsItsSortKeys) {
  struct Case {
    int32_t type, tag, prim, sec;
  };
  const Case cases[] = {{1, 5, 200, 200}, {8, 5, 200, 250}, {9, 0, 300, 300}, {10, 9, 200, 275},
                        {7, 5, 200, 100}, {4, 5, 200, 400}, {11, 0, 400, 0},  {12, 0, 500, 0},
                        {5, 0, 600, 0},   {13, 0, 700, 0},  {6, 0, 100, 0},   {0, 0, 999, 0},
                        {42, 0, 999, 0}};
  for (const Case& c : cases) AddLine({{"type", c.type}, {"tag", c.tag}});
  Calc().BeginAccess();
  Calc().AssignSortKeys();
  std::map<int32_t, std::pair<int32_t, int32_t>> keys;
  for (int32_t i = 0; i < Calc().GetRecordCount(); ++i)
    keys[Read(i, "type").ToLong()] = {Read(i, "primSort").ToLong(), Read(i, "secSort").ToLong()};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    EXPECT_EQ(keys[c.type], std::make_pair(c.prim, c.sec));
  }
}

TEST_F(CalculatorBuildTest, AnElementUnderAFlaggedParentSortsByTheParentsSaveId) {
  zelvproElement* parent = NewElement();
  parent->flags = 4;
  parent->saveId = 70;
  zelvproElement* child = NewElement(parent);
  child->saveId = 71;
  child->flags = 1;
  zelvproElement* plainParent = NewElement();
  plainParent->saveId = 80;
  zelvproElement* flagged = NewElement(plainParent);
  flagged->flags = 2;
  flagged->saveId = 81;
  zelvproElement* alone = NewElement();
  alone->flags = 2;
  alone->saveId = 90;
  for (zelvproElement* e : {child, flagged, alone})
    AddLine({{"type", 1}, {"sort3", 5}, {"sort4", 5}, {"volume", e->GetSaveId()}}, {e, nullptr});
  Calc().BeginAccess();
  Calc().AssignSortKeys();
  std::map<int32_t, std::pair<int32_t, int32_t>> keys;
  for (int32_t i = 0; i < 3; ++i)
    keys[Read(i, "volume").ToLong()] = {Read(i, "sort3").ToLong(), Read(i, "sort4").ToLong()};
  EXPECT_EQ(keys[71], std::make_pair(70, 71));
  EXPECT_EQ(keys[81], std::make_pair(81, 0));
  // Without a parent the keys stay 0.
  EXPECT_EQ(keys[90], std::make_pair(0, 0));
}

TEST(CalculatorCompareTest, TextsCompareByTheirBytes) {
  EXPECT_TRUE(Calc::StringGreater("b", "a"));
  EXPECT_FALSE(Calc::StringGreater("a", "b"));
  EXPECT_FALSE(Calc::StringGreater("a", "a"));
  EXPECT_TRUE(Calc::StringGreater("a", "B"));
  EXPECT_TRUE(Calc::StringGreater("ab", "a"));
  EXPECT_TRUE(Calc::StringGreater("\xE6", "z"));  // above 127 counts as a high byte
  // Texts that differ only in letter case still have an order.
  Calc::DisplaySortKey upper, lower;
  upper.group = "ABC";
  lower.group = "abc";
  EXPECT_TRUE(Calc::CompareLinesForDisplay(upper, lower));
  EXPECT_FALSE(Calc::CompareLinesForDisplay(lower, upper));
}

TEST(CalculatorCompareTest, NumberedLinesGoFirstThenByNumber) {
  Calc::DisplaySortKey none, one, two;
  one.number = 1;
  two.number = 2;
  EXPECT_TRUE(Calc::CompareLinesForDisplay(two, none));
  EXPECT_FALSE(Calc::CompareLinesForDisplay(none, two));
  EXPECT_TRUE(Calc::CompareLinesForDisplay(one, two));
  EXPECT_FALSE(Calc::CompareLinesForDisplay(none, none));
}

// ---- the orders on random lists -----------------------------------------------------------------

// Random line sets sorted forward and reversed. Each line carries a marker (its position in the
// forward input, in "volume") and an element of its own, so where the records go the references
// must follow. Lines equal in every key are exact copies: they keep their input order, so they come
// out in opposite orders; every other line has one place.
class CalculatorSortTest : public CalculatorBuildTest {
 protected:
  struct Given {
    int32_t type, tag, id, number, sequence, sort3, unitId;
    std::string group;
  };
  void Load(const std::vector<Given>& lines, bool reversed) {
    Calc().DeleteAllLines();
    const int32_t n = int32_t(lines.size());
    for (int32_t k = 0; k < n; ++k) {
      const int32_t i = reversed ? n - 1 - k : k;
      const Given& s = lines[size_t(i)];
      AddLine({{"type", s.type},
               {"tag", s.tag},
               {"id", s.id},
               {"number", s.number},
               {"sequence", s.sequence},
               {"sort3", s.sort3},
               {"unitID", s.unitId},
               {"group", s.group.c_str()},
               {"volume", i}},
              {pool_[size_t(i)].get(), nullptr});
    }
  }
  // The markers in list order; checks that every line still has its own element.
  std::vector<int32_t> Markers() {
    std::vector<int32_t> markers;
    Calc().BeginAccess();
    const RecordField volume(Calc(), "volume");
    for (int32_t i = 0; i < Calc().GetRecordCount(); ++i) {
      Calc().ReadRecordAt(i, nullptr);
      const int32_t marker = volume.Long(Calc().GetRecordBuffer());
      markers.push_back(marker);
      EXPECT_EQ(Calc().LineRefsAt(i).element, pool_[size_t(marker)].get());
    }
    return markers;
  }
  void SetUp() override {
    CalculatorBuildTest::SetUp();
    for (int32_t i = 0; i < 40; ++i)
      pool_.push_back(std::make_unique<zelvproElement>(0, nullptr, plat::RECT{0, 0, 10, 10}, nullptr,
                                                       int8_t(0), int8_t(0)));
  }
  void TearDown() override {
    Calc().DeleteAllLines();
    pool_.clear();
    CalculatorBuildTest::TearDown();
  }
  std::vector<std::unique_ptr<zelvproElement>> pool_;
};

// Forward and reversed results agree but for copies, which swap.
void ExpectSameOrder(const std::vector<int32_t>& forward, const std::vector<int32_t>& backward,
                     const std::vector<int32_t>& copyOf) {
  ASSERT_EQ(forward.size(), backward.size());
  for (size_t k = 0; k < forward.size(); ++k)
    EXPECT_EQ(copyOf[size_t(forward[k])], copyOf[size_t(backward[k])]) << "at " << k;
  // Copies of one line: ascending forward, descending backward.
  for (size_t a = 0; a < forward.size(); ++a)
    for (size_t b = a + 1; b < forward.size(); ++b) {
      if (copyOf[size_t(forward[a])] != copyOf[size_t(forward[b])]) continue;
      EXPECT_LT(forward[a], forward[b]);
      EXPECT_GT(backward[a], backward[b]);
    }
}

TEST_F(CalculatorSortTest, BothOrdersAreFixedOnRandomLinesAndTheReferencesFollow) {
  std::mt19937 random(85);
  const int32_t types[] = {0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 10, 11, 11, 12, 12, 13};
  const char* groups[] = {"", "a", "B", "b"};
  for (int32_t set = 0; set < 2000; ++set) {
    SCOPED_TRACE(set);
    // Mostly short lists; every tenth long enough for a quick sort to partition.
    const int32_t n = 1 + int32_t(random() % (set % 10 == 0 ? 40 : 12));
    std::vector<Given> lines;
    std::vector<int32_t> copyOf;
    for (int32_t i = 0; i < n; ++i) {
      if (i > 0 && random() % 5 == 0) {
        const int32_t of = int32_t(random() % uint32_t(i));
        lines.push_back(lines[size_t(of)]);
        copyOf.push_back(copyOf[size_t(of)]);
        continue;
      }
      // Distinct ids: lines differ in the tag order's keys unless they are copies.
      lines.push_back(Given{types[random() % 16], int32_t(random() % 3) * 4, 100 + i, int32_t(random() % 3),
                            int32_t(random() % 2), int32_t(random() % 2), int32_t(random() % 3),
                            groups[random() % 4]});
      copyOf.push_back(i);
    }
    Load(lines, false);
    Calc().SortLinesForTags();
    const std::vector<int32_t> tagForward = Markers();
    Load(lines, true);
    Calc().SortLinesForTags();
    const std::vector<int32_t> tagBackward = Markers();
    ExpectSameOrder(tagForward, tagBackward, copyOf);
    // Ordinary lines, then untagged Discounts, SubTotals, VATs, Totals; ordinary lines by tag and type.
    auto rank = [&](const Given& s) {
      return s.type == 10 && s.tag == 0 ? 1 : s.type == 11 ? 2 : s.type == 12 ? 3 : s.type == 5 ? 4 : 0;
    };
    for (size_t k = 1; k < tagForward.size(); ++k) {
      const Given &a = lines[size_t(tagForward[k - 1])], &b = lines[size_t(tagForward[k])];
      EXPECT_LE(rank(a), rank(b));
      if (rank(a) == 0 && rank(b) == 0) EXPECT_LE(std::tie(a.tag, a.type), std::tie(b.tag, b.type));
      if (rank(a) == rank(b) && rank(a) != 0) EXPECT_LE(a.id, b.id);
    }

    // The display order over the keys the lines get; lines equal in all its keys are its copies.
    Load(lines, false);
    Calc().AssignSortKeys();
    const std::vector<int32_t> shownForward = Markers();
    using Key = std::tuple<int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, std::string, int32_t,
                           int32_t, int32_t>;
    std::vector<Key> keys{size_t(n)};
    for (int32_t i = 0; i < n; ++i) {
      const int32_t marker = Read(i, "volume").ToLong();
      const Given& s = lines[size_t(marker)];
      keys[size_t(marker)] = {Read(i, "primSort").ToLong(),
                              s.tag,
                              Read(i, "secSort").ToLong(),
                              s.number,
                              s.sequence,
                              s.type,
                              s.group,
                              Read(i, "sort3").ToLong(),
                              Read(i, "sort4").ToLong(),
                              s.unitId};
    }
    std::vector<int32_t> displayCopyOf(static_cast<size_t>(n), 0);
    for (int32_t i = 0; i < n; ++i)
      for (int32_t j = 0; j <= i; ++j)
        if (keys[size_t(j)] == keys[size_t(i)]) {
          displayCopyOf[size_t(i)] = j;
          break;
        }
    Load(lines, true);
    Calc().AssignSortKeys();
    ExpectSameOrder(shownForward, Markers(), displayCopyOf);
    for (size_t k = 1; k < shownForward.size(); ++k)
      EXPECT_LE(std::get<0>(keys[size_t(shownForward[k - 1])]), std::get<0>(keys[size_t(shownForward[k])]));
    if (HasFailure()) return;
  }
}

// ---- the whole-plan rebuild ---------------------------------------------------------------------

TEST_F(CalculatorBuildTest, TheRebuildStepsClearReleaseAndMakeTheListFromThePlan) {
  iCalculationList::Install(&Calc());
  zelvproElement* canvas = NewElement();
  new PricedElement(canvas, &Db(1), 5, 10.0);
  new PricedElement(canvas, &Db(1), 0, 4.0);
  Line(Calc::kVatLine, 25.0);
  Calc().RebuildLines(*canvas);
  EXPECT_EQ(Types(), (std::vector<int32_t>{7, 1, 4, 0, 1, 0, 12, 5}));
  EXPECT_EQ(Rows().back().total, Raw(17.5));

  // A second whole rebuild: released lines take their elements again, nothing doubles.
  Calc().ReleaseLineData();
  Calc().RebuildLines(*canvas);
  EXPECT_EQ(Types(), (std::vector<int32_t>{7, 1, 4, 0, 1, 0, 12, 5}));
  EXPECT_EQ(Rows().back().total, Raw(17.5));

  // Clear-all drops the user's lines too.
  Calc().DeleteAllLines();
  EXPECT_EQ(Calc().GetRecordCount(), 0);
  Calc().ReleaseLineData();
  Calc().RebuildLines(*canvas);
  EXPECT_EQ(Types(), (std::vector<int32_t>{7, 1, 4, 0, 1, 0, 5}));
  iCalculationList::Install(nullptr);
}

}  // namespace
