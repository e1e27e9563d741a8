// Plan elements adding and removing their own lines through the real line table, and the top-view
// elements' own calculation cases (first run against a recording list) run against it.
#include <gtest/gtest.h>

#include <string>

#include "calculation/zelvproCalculatorFil.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproColorGroupFil.h"
#include "catalogue/records/zelvproPriceFil.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/topview/TopViewTestSupport.h"

namespace {

using eltest::Words;

// A top-view element that answers its number ("EnumNumber") by itself.
class NumberedElement : public zelvproTopViewElement {
 public:
  static constexpr int32_t kNumberIndex = 30;
  NumberedElement(zelvDatabase& db, int32_t topView, int32_t number)
      : zelvproTopViewElement(topView, nullptr, eltest::Rect(0, 0, 10, 10), Record(db, topView),
                              db.ShapeFile()),
        number(number) {}
  int32_t IndexOf(const Vcon::String& name) override {
    return name == "EnumNumber" ? kNumberIndex : zelvproTopViewElement::IndexOf(name);
  }
  ppParameter GetValue(int32_t index) override {
    return index == kNumberIndex ? ppParameter(number) : zelvproTopViewElement::GetValue(index);
  }
  static const char* Record(zelvDatabase& db, int32_t topView) {
    db.TopViewFile().ReadRecord(topView, nullptr);
    return db.TopViewFile().GetRecordBuffer();
  }
  int32_t number;
};

class CalculatorElementsTest : public tvtest::TopViewTest {
 protected:
  void TearDown() override {
    iCalculationList::Install(nullptr);
    calc_.reset();
    if (blob_ != nullptr) MemDispose(blob_);
    TopViewTest::TearDown();
  }
  // A new, empty line table (the one before is dropped).
  zelvproCalculatorFil& Table(zelvDatabase& db) {
    iCalculationList::Install(nullptr);
    calc_.reset();
    if (blob_ != nullptr) MemDispose(blob_);
    Vcon_HandleManager::MemNew(&blob_, 0);
    calc_ = std::make_unique<zelvproCalculatorFil>(db, blob_);
    calc_->SetTextsFrozen(true);
    iCalculationList::Install(calc_.get());
    return *calc_;
  }
  // (unit, quantity, number of elements listed) of every line.
  std::vector<std::tuple<int32_t, double, size_t>> Lines() {
    std::vector<std::tuple<int32_t, double, size_t>> lines;
    const RecordField unit(*calc_, "unitID"), pcs(*calc_, "pcs"), listed(*calc_, "elements");
    for (int32_t i = 0; i < calc_->GetRecordCount(); ++i) {
      calc_->ReadRecordAt(i, nullptr);
      const char* b = calc_->GetRecordBuffer();
      lines.emplace_back(unit.Long(b), pcs.Quantity(b).ToDouble(), listed.Words(b).size());
    }
    return lines;
  }

  // Field `name` of every line with a quantity (the lines a rebuild keeps), in list order.
  std::vector<std::string> Billed(const char* name) {
    std::vector<std::string> values;
    const RecordField pcs(*calc_, "pcs"), field(*calc_, name);
    for (int32_t i = 0; i < calc_->GetRecordCount(); ++i) {
      calc_->ReadRecordAt(i, nullptr);
      const char* b = calc_->GetRecordBuffer();
      if (pcs.Quantity(b).IsZero()) continue;
      ppParameter value;
      calc_->ppDatafile::GetFieldValue(field.Index(), value, nullptr);
      values.push_back(value.AsString().c_str());
    }
    return values;
  }
  static std::vector<std::string> Texts(std::initializer_list<int64_t> numbers) {
    std::vector<std::string> texts;
    for (int64_t n : numbers) texts.push_back(std::to_string(n));
    return texts;
  }
  static int32_t Item(zelvDatabase& db, Words units, cattest::Fields fields = {}, Words subItems = {}) {
    return AddTopView(db, fields, {{"Units", units}, {"subItems", subItems}});
  }
  static void Price(zelvDatabase& db, int32_t unit, int32_t hundredths) {
    cattest::AddRecord(db.PriceFile(), {{"module", unit}, {"xprice", hundredths}});
  }

  Handle blob_ = nullptr;
  std::unique_ptr<zelvproCalculatorFil> calc_;
};

TEST_F(CalculatorElementsTest, ElementsOfOneUnitShareTheirOwnAndIncludedLines) {
  zelvDatabase& db = MakeDatabase();
  const int32_t included = AddUnit(db, {});
  const int32_t unit = AddUnit(db, {}, {{"pricingIncludes", {included, 0}}});
  cattest::AddRecord(db.PriceFile(), {{"module", unit}, {"xprice", 10000}});
  cattest::AddRecord(db.PriceFile(), {{"module", included}, {"xprice", 500}});
  zelvproCalculatorFil& calc = Table(db);
  const int32_t item = AddTopView(db, {}, {{"Units", {unit, 0}}});
  auto a = MakeOwned(db, item), b = MakeOwned(db, item);
  a->AddToCalculation();
  b->AddToCalculation();
  a->AddToCalculation();  // a rebuilt element takes its lines out first
  using Line = std::tuple<int32_t, double, size_t>;
  EXPECT_EQ(Lines(), (std::vector<Line>{{unit, 2.0, 2}, {included, 2.0, 2}}));
  a->RemoveFromCalculation();
  EXPECT_EQ(Lines(), (std::vector<Line>{{unit, 1.0, 1}, {included, 1.0, 1}}));
  calc.ResetElementLines();
  EXPECT_EQ(Lines(), (std::vector<Line>{{unit, 0.0, 0}, {included, 0.0, 0}}));
}

TEST_F(CalculatorElementsTest, AnEqualElementAddedAfterAnotherWasDestroyedMergesSafely) {
  zelvDatabase& db = MakeDatabase();
  const int32_t unit = AddUnit(db, {});
  cattest::AddRecord(db.PriceFile(), {{"module", unit}, {"xprice", 10000}});
  zelvproCalculatorFil& calc = Table(db);
  const int32_t item = AddTopView(db, {}, {{"Units", {unit, 0}}});
  auto a = MakeOwned(db, item);
  a->AddToCalculation();
  // The destroyed element's line stays (quantity 0) until the next rebuild; an equal element then
  // merges into it and must not ask the destroyed element whether the two differ.
  a.reset();
  EXPECT_EQ(calc.LineRefsAt(0).element, nullptr);
  auto b = MakeOwned(db, item);
  b->AddToCalculation();
  using Line = std::tuple<int32_t, double, size_t>;
  EXPECT_EQ(Lines(), (std::vector<Line>{{unit, 1.0, 1}}));
  b->RemoveFromCalculation();
  EXPECT_EQ(Lines(), (std::vector<Line>{{unit, 0.0, 0}}));
}

// ---- The top-view elements' own cases against the real table. Where the table merges what a
// recording list keeps apart, the expectations say so.

TEST_F(CalculatorElementsTest, StretchBitsGiveTheQuantityAndTheDimensionsText) {
  zelvDatabase& db = MakeDatabase();
  const int32_t unit = AddUnit(db, {});
  struct Case {
    int32_t flags, flags2, quantityFunc;
    double width, depth;
    double pcs;
    const char* dimensions;
  } cases[] = {{0, 0x10, 3, 2400.0, 560.0, 2.4, ""},
               {int32_t(0x20000000u | 0x80000000u), 0, 0, 600.0, 560.0, 1.0, "W: 600 mm, D: 560 mm"}};
  for (const Case& c : cases) {
    Table(db);
    auto element = MakeOwned(db, Item(db, {unit, 0},
                                      {{"flags", c.flags},
                                       {"flags2", c.flags2},
                                       {"quantityFunc", c.quantityFunc},
                                       {"width", c.width},
                                       {"depth", c.depth}}));
    element->AddToCalculation();
    ASSERT_EQ(calc_->GetRecordCount(), 1) << c.dimensions;
    calc_->ReadRecordAt(0, nullptr);
    EXPECT_DOUBLE_EQ(RecordField(*calc_, "pcs").Quantity(calc_->GetRecordBuffer()).ToDouble(), c.pcs);
    EXPECT_EQ(Billed("dimensions"), (std::vector<std::string>{c.dimensions}));
  }
}

TEST_F(CalculatorElementsTest, FlagsDecideWhichLinesAnElementAdds) {
  zelvDatabase& db = MakeDatabase();
  const int32_t included = AddUnit(db, {});
  const int32_t unit = AddUnit(db, {}, {{"pricingIncludes", {included, 0}}});
  const int32_t childUnit = AddUnit(db, {});
  const int32_t child = Item(db, {childUnit, 0});
  struct Case {
    const char* name;
    Words units;
    void (*prepare)(zelvproTopViewElement&);
    std::vector<std::string> lineUnits;
  } cases[] = {
      {"calculate flag clear", {unit, 0}, [](zelvproTopViewElement& e) { e.calculate = 0; }, {}},
      {"interior lock",
       {unit, 0},
       [](zelvproTopViewElement& e) { e.interiorLocked = true; },
       Texts({included, childUnit})},
      {"no unit", {}, [](zelvproTopViewElement& e) { e.calculate = 1; }, Texts({childUnit})},
      {"plain", {unit, 0}, [](zelvproTopViewElement&) {}, Texts({unit, included, childUnit})},
  };
  for (const Case& c : cases) {
    Table(db);
    auto element = MakeOwned(db, Item(db, c.units, {}, eltest::SubItemEntry(child, 0, 0, 0, 0, 0)));
    c.prepare(*element);
    element->AddToCalculation();
    EXPECT_EQ(Billed("unitID"), c.lineUnits) << c.name;
  }
}

TEST_F(CalculatorElementsTest, ANumberedElementsOwnLineIsNeverMergedIntoButStaysItsOwn) {
  zelvDatabase& db = MakeDatabase();
  const int32_t included = AddUnit(db, {});
  const int32_t unit = AddUnit(db, {}, {{"pricingIncludes", {included, 0, included, 0}}});
  zelvproCalculatorFil& calc = Table(db);
  auto element = std::make_unique<NumberedElement>(db, Item(db, {unit, 0}), 12);
  element->AddToCalculation();
  // The two equal included lines share one line (a recording list keeps both).
  EXPECT_EQ(Billed("number"), (std::vector<std::string>{"12", "0"}));
  EXPECT_EQ(Billed("pcs"), (std::vector<std::string>{"1", "2"}));
  // Added again (moved, rebuilt): the element takes its own line back rather than a new one, so the
  // line keeps what the user gave it.
  element->AddToCalculation();
  EXPECT_EQ(Billed("number"), (std::vector<std::string>{"12", "0"}));
  EXPECT_EQ(calc.GetRecordCount(), 2);
  // Another numbered element of the unit is never merged into that line, taken or not.
  auto other = std::make_unique<NumberedElement>(db, Item(db, {unit, 0}), 13);
  other->AddToCalculation();
  calc.ResetElementLines();
  other->AddToCalculation();
  EXPECT_EQ(Billed("number"), (std::vector<std::string>{"0", "13"}));
  EXPECT_EQ(calc.GetRecordCount(), 3);
  other.reset();
}

TEST_F(CalculatorElementsTest, InteriorPartsArePricedIntoTheirParentsLine) {
  zelvDatabase& db = MakeDatabase();
  cattest::ChangeSettings(db, {{"useExtendedColorSystem", 1}});
  const int32_t childUnit = AddUnit(db, {}), unit = AddUnit(db, {});
  Price(db, childUnit, 5000);
  Price(db, unit, 90000);
  Table(db);
  auto element =
      MakeOwned(db, Item(db, {unit, 0}, {}, eltest::SubItemEntry(Item(db, {childUnit, 0}), 0, 0, 0, 0, 0)));
  dynamic_cast<zelvproTopViewElement*>(element->Subviews().At(0))->interiorLocked = true;
  element->AddToCalculation();
  EXPECT_EQ(Billed("unitID"), Texts({unit}));
  ASSERT_EQ(calc_->GetRecordCount(), 1);
  calc_->ReadRecordAt(0, nullptr);
  EXPECT_EQ(RecordField(*calc_, "price").MoneyRaw(calc_->GetRecordBuffer()), ppMoney::FromInteger(950).Raw());
}

TEST_F(CalculatorElementsTest, OptionUnitsGetLinesOfTheirOwnOrArePricedIntoTheOwnLine) {
  zelvDatabase& db = MakeDatabase();
  const int32_t unit = AddUnit(db, {});
  const int32_t drawer = AddUnit(db, {{"name1", "Skuffe"}, {"number1", "S1"}});
  Price(db, unit, 10000);
  Price(db, drawer, 2500);
  struct Case {
    int32_t classFlags, optionFlags;
    std::vector<std::pair<int32_t, int64_t>> lines;  // unit and price of each line
    const char* options;
  } cases[] = {
      {0x4, 0, {{unit, 100}, {drawer, 25}}, ""},
      {0x0, 0, {{unit, 125}}, "Greb: S1 Skuffe"},
      {0x8, 0, {{unit, 100}}, ""},
      {0x4, 0x4, {{unit, 100}}, ""},
  };
  int32_t classId = 50;
  for (const Case& c : cases) {
    zelvproCalculatorFil& calc = Table(db);
    const int32_t cls =
        cattest::AddRecord(db.ClassFile(), {{"id", ++classId}, {"flags", c.classFlags}, {"name", "Greb"}});
    auto element = MakeOwned(
        db, AddTopView(db, {}, {{"Units", {unit, 0}}, {"options", {cls, c.optionFlags, drawer, 0}}}));
    element->AddToCalculation();
    std::vector<std::pair<int32_t, int64_t>> lines;
    for (int32_t i = 0; i < calc.GetRecordCount(); ++i) {
      calc.ReadRecordAt(i, nullptr);
      const char* b = calc.GetRecordBuffer();
      lines.emplace_back(RecordField(calc, "unitID").Long(b),
                         RecordField(calc, "price").MoneyRaw(b) / ppMoney::kScale);
    }
    EXPECT_EQ(lines, c.lines) << c.classFlags << " " << c.optionFlags;
    ASSERT_GT(calc.GetRecordCount(), 0);
    calc.ReadRecordAt(0, nullptr);
    EXPECT_EQ(RecordField(calc, "tOptions").WideText(calc.GetRecordBuffer()).Narrow(), c.options);
  }
}

TEST_F(CalculatorElementsTest, TheLongItemTextNamesTheUnitAndTheSize) {
  zelvDatabase& db = MakeDatabase();
  const int32_t unit = AddUnit(db, {{"number1", "U1"}});
  cattest::AddRecord(db.PriceFile(), {{"module", unit}, {"xprice", 100}, {"SKU", "Skab"}});
  auto element = MakeOwned(db, Item(db, {unit, 0}, {{"width", 600.0}, {"height", 720.0}, {"depth", 560.0}}));
  iApplicationSettings settings;
  iApplicationSettings::Install(&settings);
  for (uint32_t flags2 : {0u, 0x200u}) {
    settings.flags2 = flags2;
    Table(db);
    element->AddToCalculation();
    EXPECT_EQ(Billed("ttext"),
              (std::vector<std::string>{flags2 == 0 ? "Skab" : "U1\r\nSkab\r\n600 mm x 720 mm x 560 mm"}));
  }
  iApplicationSettings::Install(nullptr);
}

TEST_F(CalculatorElementsTest, TheDearestColourGroupPricesAnElementThatTakesItsChildren) {
  zelvDatabase& db = MakeDatabase();
  cattest::ChangeSettings(db, {{"useExtendedColorSystem", 1}});
  const int32_t groupA = cattest::AddRecord(db.ColorGroupFile(), {{"id", 1}});
  const int32_t groupB = cattest::AddRecord(db.ColorGroupFile(), {{"id", 2}});
  const int32_t colourA = cattest::AddRecord(db.ColorCatalogFile(), {{"id", 1}, {"colorGroup", groupA}});
  const int32_t colourB = cattest::AddRecord(db.ColorCatalogFile(), {{"id", 2}, {"colorGroup", groupB}});
  AddColourCode(db, 1, colourA);
  AddColourCode(db, 2, colourB);
  struct Case {
    int32_t priceA, priceB;
    bool expectB;
  } cases[] = {{10000, 30000, true}, {30000, 10000, false}, {20000, 20000, false}};
  for (const Case& c : cases) {
    const int32_t unit = AddUnit(db, {});
    const int32_t a =
        cattest::AddRecord(db.PriceFile(), {{"module", unit}, {"xprice", c.priceA}, {"colorGroup", groupA}});
    const int32_t b =
        cattest::AddRecord(db.PriceFile(), {{"module", unit}, {"xprice", c.priceB}, {"colorGroup", groupB}});
    Table(db);
    auto element = MakeOwned(db, Item(db, {unit, 0}, {{"flags", 0x80000}}));
    element->AddToCalculation();
    EXPECT_EQ(Billed("priceID"), Texts({c.expectB ? b : a})) << c.priceA << " " << c.priceB;
  }
}

TEST_F(CalculatorElementsTest, APartsListUnitIsPricedByItsParts) {
  zelvDatabase& db = MakeDatabase();
  const int32_t a = AddUnit(db, {}), named = AddUnit(db, {{"number1", "N7"}});
  Price(db, a, 1000);
  Price(db, named, 500);
  const int32_t unit = AddUnit(db, {{"flags", 0x1}}, {{"partsList", {a, 2, 0, named, 1, 0x8}}});
  struct Case {
    int32_t positioned;
    int64_t price;
    const char* namingPart;
  } cases[] = {{0, 20, ""}, {0x2, 25, "N7"}};
  for (const Case& c : cases) {
    zelvproCalculatorFil& calc = Table(db);
    auto element = MakeOwned(db, Item(db, {unit, 0}));
    element->positionedWord = c.positioned;
    element->AddToCalculation();
    ASSERT_EQ(calc.GetRecordCount(), 1);
    calc.ReadRecordAt(0, nullptr);
    const char* line = calc.GetRecordBuffer();
    EXPECT_EQ(RecordField(calc, "price").MoneyRaw(line), ppMoney::FromInteger(c.price).Raw());
    EXPECT_EQ(RecordField(calc, "tbackCoverColor").WideText(line).Narrow(), c.namingPart);
  }
}

}  // namespace
