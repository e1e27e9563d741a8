// The calculation lines of top-view elements, built in a real line buffer and kept by a recording
// calculation list, the price sums, and the worktop pass of the top canvas.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproColorGroupFil.h"
#include "catalogue/records/zelvproPriceFil.h"
#include "elements/base/ElementKinds.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/base/iWorktopBuilder.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/topview/CalculationLine.h"
#include "elements/topview/TopViewTestSupport.h"

namespace {

using cattest::AddRecord;
using eltest::Rect;
using eltest::SubItemEntry;
using tvtest::TopViewTest;
using Words = std::vector<int32_t>;

struct Line {
  int32_t type, number, topViewID, unitID, priceID;
  double pcs;
  int64_t price;
  std::string dimensions, options, text;
  zelvproElement* element;
};

// A calculation list over a real "qxCalculator" buffer that keeps every line added.
class LineRecorder : public iCalculationList {
 public:
  explicit LineRecorder(ppDatabase& db) : file_(std::make_unique<ppDatafile>("qxCalculator", db)) {}
  ppDatafile* LineFile() override { return file_.get(); }
  void AddLine(const LineRefs& refs) override {
    const char* b = file_->GetRecordBuffer();
    auto longOf = [&](const char* name) { return RecordField(*file_, name).Long(b); };
    lines.push_back({longOf("type"), longOf("number"), longOf("topViewID"), longOf("unitID"),
                     longOf("priceID"), RecordField(*file_, "pcs").Quantity(b).ToDouble(),
                     RecordField(*file_, "price").MoneyRaw(b), Wide("dimensions"), Wide("tOptions"),
                     Wide("ttext"), refs.element});
  }
  std::string Wide(const char* name) const {
    return RecordField(*file_, name).WideText(file_->GetRecordBuffer()).Narrow().c_str();
  }
  void RemoveElementLines(zelvproElement* element) override {
    std::erase_if(lines, [&](const Line& l) { return l.element == element; });
  }
  std::vector<Line> lines;

 private:
  std::unique_ptr<ppDatafile> file_;
};

// A top-view element that answers its number ("EnumNumber") by itself.
class NumberedElement : public zelvproTopViewElement {
 public:
  static constexpr int32_t kNumberIndex = 30;
  NumberedElement(zelvDatabase& db, int32_t topView, ppView* parent, int32_t number)
      : zelvproTopViewElement(topView, parent, Rect(0, 0, 10, 10), Record(db, topView), db.ShapeFile()),
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

class TopViewCalculationTest : public TopViewTest {
 protected:
  zelvDatabase& Catalogue() {
    zelvDatabase& db = MakeDatabase();
    recorder_ = std::make_unique<LineRecorder>(db);
    iCalculationList::Install(recorder_.get());
    return db;
  }
  void TearDown() override {
    iCalculationList::Install(nullptr);
    iWorktopBuilder::Install(nullptr);
    recorder_.reset();
    TopViewTest::TearDown();
  }
  static int32_t Price(zelvDatabase& db, int32_t unit, int32_t hundredths, int32_t group = 0) {
    return AddRecord(db.PriceFile(), {{"module", unit}, {"xprice", hundredths}, {"colorGroup", group}});
  }
  static int32_t Item(zelvDatabase& db, Words units, cattest::Fields fields = {}, Words subItems = {}) {
    return AddTopView(db, fields, {{"Units", units}, {"subItems", subItems}});
  }
  std::vector<Line>& Lines() { return recorder_->lines; }
  std::unique_ptr<LineRecorder> recorder_;
};

TEST_F(TopViewCalculationTest, StretchBitsGiveTheQuantityAndTheDimensionsText) {
  zelvDatabase& db = Catalogue();
  const int32_t unit = AddUnit(db, {});
  struct Case {
    int32_t flags, flags2, quantityFunc;
    double width, depth, pcs;
    const char* dimensions;
  } cases[] = {{0, 0x10, 3, 2400.0, 560.0, 2.4, ""},
               {int32_t(0x20000000u | 0x80000000u), 0, 0, 600.0, 560.0, 1.0, "W: 600 mm, D: 560 mm"}};
  for (const Case& c : cases) {
    auto element = MakeOwned(db, Item(db, {unit, 0},
                                      {{"flags", c.flags},
                                       {"flags2", c.flags2},
                                       {"quantityFunc", c.quantityFunc},
                                       {"width", c.width},
                                       {"depth", c.depth}}));
    Lines().clear();
    element->AddToCalculation();
    ASSERT_EQ(Lines().size(), 1u);
    EXPECT_DOUBLE_EQ(Lines()[0].pcs, c.pcs);
    EXPECT_EQ(Lines()[0].dimensions, c.dimensions);
  }
}

TEST_F(TopViewCalculationTest, FlagsDecideWhichLinesAnElementAdds) {
  zelvDatabase& db = Catalogue();
  const int32_t included = AddUnit(db, {});
  const int32_t unit = AddUnit(db, {}, {{"pricingIncludes", {included, 0}}});
  const int32_t childUnit = AddUnit(db, {});
  const int32_t child = Item(db, {childUnit, 0});
  struct Case {
    const char* name;
    Words units;
    void (*prepare)(zelvproTopViewElement&);
    std::vector<int32_t> lineUnits;  // of the lines added, in order
  } cases[] = {
      {"calculate flag clear", {unit, 0}, [](zelvproTopViewElement& e) { e.calculate = 0; }, {}},
      {"interior lock",
       {unit, 0},
       [](zelvproTopViewElement& e) { e.interiorLocked = true; },
       {included, childUnit}},
      {"no unit", {}, [](zelvproTopViewElement& e) { e.calculate = 1; }, {childUnit}},
      {"plain", {unit, 0}, [](zelvproTopViewElement&) {}, {unit, included, childUnit}},
  };
  for (const Case& c : cases) {
    auto element = MakeOwned(db, Item(db, c.units, {}, SubItemEntry(child, 0, 0, 0, 0, 0)));
    c.prepare(*element);
    Lines().clear();
    element->AddToCalculation();
    std::vector<int32_t> units;
    for (const Line& line : Lines()) units.push_back(line.unitID);
    EXPECT_EQ(units, c.lineUnits) << c.name;
  }
}

TEST_F(TopViewCalculationTest, ANumberedElementsOwnLineCarriesItsNumber) {
  zelvDatabase& db = Catalogue();
  const int32_t included = AddUnit(db, {});
  const int32_t unit = AddUnit(db, {}, {{"pricingIncludes", {included, 0, included, 0}}});
  NumberedElement element(db, Item(db, {unit, 0}), nullptr, 12);
  element.AddToCalculation();
  ASSERT_EQ(Lines().size(), 3u);
  EXPECT_EQ(Lines()[0].number, 12);
  EXPECT_EQ(Lines()[1].number, 0);
  EXPECT_EQ(Lines()[2].number, 0);
  EXPECT_EQ(Lines()[1].topViewID, 0);
  // Lines are rebuilt, never added twice.
  element.AddToCalculation();
  EXPECT_EQ(Lines().size(), 3u);
}

TEST_F(TopViewCalculationTest, TheDearestColourGroupPricesAnElementThatTakesItsChildren) {
  zelvDatabase& db = Catalogue();
  cattest::ChangeSettings(db, {{"useExtendedColorSystem", 1}});
  const int32_t groupA = AddRecord(db.ColorGroupFile(), {{"id", 1}});
  const int32_t groupB = AddRecord(db.ColorGroupFile(), {{"id", 2}});
  const int32_t colourA = AddRecord(db.ColorCatalogFile(), {{"id", 1}, {"colorGroup", groupA}});
  const int32_t colourB = AddRecord(db.ColorCatalogFile(), {{"id", 2}, {"colorGroup", groupB}});
  AddColourCode(db, 1, colourA);
  AddColourCode(db, 2, colourB);
  struct Case {
    int32_t priceA, priceB;
    bool expectB;
  } cases[] = {{10000, 30000, true}, {30000, 10000, false}, {20000, 20000, false}};
  for (const Case& c : cases) {
    const int32_t unit = AddUnit(db, {});
    const int32_t a = Price(db, unit, c.priceA, groupA), b = Price(db, unit, c.priceB, groupB);
    auto element = MakeOwned(db, Item(db, {unit, 0}, {{"flags", 0x80000}}));
    ASSERT_EQ(element->colours, (std::vector<int32_t>{colourA, colourB}));
    Lines().clear();
    element->AddToCalculation();
    ASSERT_EQ(Lines().size(), 1u);
    EXPECT_EQ(Lines()[0].priceID, c.expectB ? b : a) << c.priceA << " " << c.priceB;
  }
}

TEST_F(TopViewCalculationTest, InteriorPartsArePricedIntoTheirParentsLine) {
  zelvDatabase& db = Catalogue();
  cattest::ChangeSettings(db, {{"useExtendedColorSystem", 1}});
  const int32_t childUnit = AddUnit(db, {}), unit = AddUnit(db, {});
  Price(db, childUnit, 5000);
  Price(db, unit, 90000);
  auto element =
      MakeOwned(db, Item(db, {unit, 0}, {}, SubItemEntry(Item(db, {childUnit, 0}), 0, 0, 0, 0, 0)));
  dynamic_cast<zelvproTopViewElement*>(element->Subviews().At(0))->interiorLocked = true;
  element->AddToCalculation();
  ASSERT_EQ(Lines().size(), 1u);
  EXPECT_EQ(Lines()[0].unitID, unit);
  EXPECT_EQ(Lines()[0].price, ppMoney::FromInteger(950).Raw());
}

TEST_F(TopViewCalculationTest, AnUnpricedElementTotalsItsChildrenOnly) {
  zelvDatabase& db = Catalogue();
  const int32_t childUnit = AddUnit(db, {}), unit = AddUnit(db, {});
  Price(db, childUnit, 5000);
  Price(db, unit, 90000);
  auto element =
      MakeOwned(db, Item(db, {unit, 0}, {}, SubItemEntry(Item(db, {childUnit, 0}), 0, 0, 0, 0, 0)));
  EXPECT_EQ(element->GetTotalPrice(), ppMoney::FromInteger(950));
  // The line buffer still holds the price of the last line built; the element adds none of it.
  element->AddToCalculation();
  element->calculate = 0;
  EXPECT_EQ(element->GetTotalPrice(), ppMoney::FromInteger(50));
}

TEST_F(TopViewCalculationTest, APartsListUnitIsPricedByItsParts) {
  zelvDatabase& db = Catalogue();
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
    auto element = MakeOwned(db, Item(db, {unit, 0}));
    element->positionedWord = c.positioned;
    Lines().clear();
    element->AddToCalculation();
    ASSERT_EQ(Lines().size(), 1u);
    EXPECT_EQ(Lines()[0].price, ppMoney::FromInteger(c.price).Raw());
    EXPECT_EQ(RecordField(*recorder_->LineFile(), "tbackCoverColor")
                  .WideText(recorder_->LineFile()->GetRecordBuffer())
                  .Narrow(),
              c.namingPart);
    EXPECT_EQ((element->deviationBits & 0x10000) != 0, c.positioned != 0);
  }
}

TEST_F(TopViewCalculationTest, OptionUnitsGetLinesOfTheirOwnOrArePricedIntoTheOwnLine) {
  zelvDatabase& db = Catalogue();
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
    const int32_t cls =
        AddRecord(db.ClassFile(), {{"id", ++classId}, {"flags", c.classFlags}, {"name", "Greb"}});
    auto element = MakeOwned(
        db, AddTopView(db, {}, {{"Units", {unit, 0}}, {"options", {cls, c.optionFlags, drawer, 0}}}));
    Lines().clear();
    element->AddToCalculation();
    std::vector<std::pair<int32_t, int64_t>> lines;
    for (const Line& line : Lines()) lines.emplace_back(line.unitID, line.price / ppMoney::kScale);
    EXPECT_EQ(lines, c.lines) << c.classFlags << " " << c.optionFlags;
    ASSERT_FALSE(Lines().empty());
    EXPECT_EQ(Lines()[0].options, c.options);
  }
}

TEST_F(TopViewCalculationTest, TheLongItemTextNamesTheUnitAndTheSize) {
  zelvDatabase& db = Catalogue();
  const int32_t unit = AddUnit(db, {{"number1", "U1"}});
  AddRecord(db.PriceFile(), {{"module", unit}, {"xprice", 100}, {"SKU", "Skab"}});
  auto element = MakeOwned(db, Item(db, {unit, 0}, {{"width", 600.0}, {"height", 720.0}, {"depth", 560.0}}));
  iApplicationSettings settings;
  iApplicationSettings::Install(&settings);
  for (uint32_t flags2 : {0u, 0x200u}) {
    settings.flags2 = flags2;
    Lines().clear();
    element->AddToCalculation();
    ASSERT_EQ(Lines().size(), 1u);
    EXPECT_EQ(Lines()[0].text, flags2 == 0 ? "Skab" : "U1\r\nSkab\r\n600 mm x 720 mm x 560 mm");
  }
  iApplicationSettings::Install(nullptr);
}

// ---- The worktop pass.

class RecordingWorktops : public iWorktopBuilder {
 public:
  void RemoveGeneratedElements(zelvproCanvas& /*canvas*/) override { ++removals; }
  zelvproElement* NewWorktop() override {
    auto* run = new zelvproElement(0, nullptr, Rect(0, 0, 0, 0), nullptr, 0, 0);
    run->kind = ElementKinds::kWorkTop;
    run->dimensions.x = -1.0f;
    return run;
  }
  zelvproElement* BuildWorktopsOfUnit(zelvproElement& unit, zelvproElement* run) override {
    visited.push_back(unit.GetValueByName("EnumNumber").ToInt());
    run->dimensions.x = 600.0f;
    return run;
  }
  int32_t removals = 0;
  std::vector<int32_t> visited;
};

int32_t CountWorktops(const zelvproElement& canvas) {
  int32_t n = 0;
  for (int32_t i = 0; i < canvas.Subviews().Count(); ++i)
    n += static_cast<zelvproElement*>(canvas.Subviews().At(i))->kind == ElementKinds::kWorkTop;
  return n;
}

TEST_F(TopViewCalculationTest, TheWorktopPassVisitsUnitsInNumberingOrderAndReplacesItsRuns) {
  zelvDatabase& db = Catalogue();
  RecordingWorktops worktops;
  iWorktopBuilder::Install(&worktops);
  zelvproTopCanvas canvas(nullptr, Rect(0, 0, 500, 500), nullptr);
  new zelvproElement(0, &canvas, Rect(0, 0, 5, 5), nullptr, 0, 0);
  canvas.GenerateWorktops();
  EXPECT_EQ(CountWorktops(canvas), 0);  // no top-view element: the run never got a length

  const int32_t item = Item(db, {AddUnit(db, {}), 0});
  for (int32_t number : {3, 1, 2}) new NumberedElement(db, item, &canvas, number);
  canvas.GenerateWorktops();
  EXPECT_EQ(worktops.visited, (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(CountWorktops(canvas), 1);
  canvas.GenerateWorktops();
  EXPECT_EQ(CountWorktops(canvas), 1);
  EXPECT_EQ(worktops.removals, 3);
}

}  // namespace
