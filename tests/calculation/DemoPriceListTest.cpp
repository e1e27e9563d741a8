// The demo kitchen's price list over the built demo catalogue, as a user meets it: every unit the
// views' catalogue trees offer reaches the list priced, with its volume and weight, and the Total sums
// them; the hinged base is a plain unit priced from its unit; a worktop priced through its parts has
// one line at its parts' prices and writes one order line per part; in Danish every line's names read Danish.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "DemoCalculationTest.h"
#include "catalogue/records/zelvproCatalogItemFil.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "database/DbTestSupport.h"
#include "elements/base/iOrderWriter.h"
#include "elements/units/zelvproConfigElement.h"
#include "foundation/FileOperations.h"
#include "foundation/UserPreferences.h"

namespace {

namespace fs = std::filesystem;
using demotest::DemoCalculationTest;
using Calc = zelvproCalculatorFil;

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::stringstream in(text);
  for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
  return parts;
}

// The item IDs of the browser trees a view shows, in the order of the built texts: the Room design
// view shows ROOM, the plan views and the 3D view ZELVO, the price list CALCULATION; no view shows
// COMPONENTS or ANNOTATION.
std::vector<std::string> ItemsTheViewsShow(const fs::path& catalogs) {
  std::map<std::string, std::string> parentOf;
  std::vector<std::pair<std::string, std::string>> items;  // ID, group
  std::set<fs::path> texts;
  for (const fs::directory_entry& entry : fs::directory_iterator(catalogs))
    if (entry.path().extension() == ".txt") texts.insert(entry.path());
  for (const fs::path& text : texts) {
    std::ifstream in(text, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const std::vector<std::string> fields = Split(line, '\t');
      if (fields.size() != 5) continue;
      if (fields[0] == "GROUP") parentOf[fields[1]] = fields[4];
      if (fields[0] == "ITEM") items.emplace_back(fields[1], fields[4]);
    }
  }
  std::vector<std::string> shown;
  for (const auto& [id, group] : items) {
    std::string top = group;
    while (parentOf.count(top) != 0) top = parentOf[top];
    if (top == "ROOM" || top == "ZELVO" || top == "CALCULATION") shown.push_back(id);
  }
  return shown;
}

// The order writer's part over a new file.
class OrderFile : public iOrderWriter {
 public:
  explicit OrderFile(const fs::path& path) : path_(path) {
    ppFileSpec where{Vcon::WString(path.string().c_str())};
    FileCreate(where);
    FileOpen(file_, where, false);
  }
  ~OrderFile() override { Close(); }
  ppFileSpec& File() override { return file_; }
  int32_t OrderNumber() override { return 7; }
  int32_t CurrentModule() override { return module_; }
  int32_t NextModule() override { return ++module_; }
  // The lines written, the file closed.
  std::vector<std::string> Lines() {
    Close();
    std::ifstream in(path_, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return Split(text.str(), '\n');
  }

 private:
  void Close() {
    if (file_.handle != kInvalidFileHandle) FileClose(file_);
  }
  fs::path path_;
  ppFileSpec file_;
  int32_t module_ = 0;
};

class DemoPriceListTest : public DemoCalculationTest {
 protected:
  // The money of the price of unit `unit` in colour `colour`, as the catalogue prices it.
  double PriceOf(int32_t unit, int32_t colour) {
    zelvproPriceFil& prices = db_->PriceFile();
    const int32_t record = prices.LookupPrice(unit, colour, 0, 0, nullptr);
    EXPECT_NE(record, 0) << unit;
    if (record == 0) return 0;
    prices.ReadRecord(record, nullptr);
    return ppMoney::FromRaw(RecordField(prices, "price").MoneyRaw(prices.GetRecordBuffer())).ToDouble();
  }

  dbtest::TempFolder folder_;
};

TEST_F(DemoPriceListTest, EveryUnitTheViewsOfferIsPricedWithAVolumeAndAWeightThatTheTotalSums) {
  const std::vector<std::string> shown = ItemsTheViewsShow(demo_.File("catalogs"));
  zelvproCatalogItemFil& items = db_->CatalogItemFile();
  std::vector<int32_t> topViews;
  std::set<std::string> worktops;
  for (const std::string& id : shown) {
    const int32_t item = RecordWith(items, "ID", id);
    ASSERT_NE(item, 0) << id;
    items.ReadRecord(item, nullptr);
    if (RecordField(items, "isColor").Long(items.GetRecordBuffer()) != 0) continue;  // a finish
    topViews.push_back(RecordField(items, "TopView").Long(items.GetRecordBuffer()));
    if (id.rfind("VH-WT", 0) == 0) worktops.insert(id);
  }
  ASSERT_GE(topViews.size(), 40u);
  EXPECT_EQ(worktops, (std::set<std::string>{"VH-WT", "VH-WT200", "VH-WT300"})) << "worktops in reach";

  // Each unit on its own: at least one priced line, every one with a volume and a weight.
  double total = 0;
  int64_t volume = 0, weight = 0;
  for (size_t i = 0; i < topViews.size(); ++i) {
    SCOPED_TRACE(shown[i]);
    placed_.clear();
    Place(topViews[i]);
    int32_t own = 0;
    for (const Line& line : Lines()) {
      if (line.type != Calc::kCalculationItem) continue;
      ++own;
      EXPECT_GT(line.total, 0.0);
      EXPECT_GT(line.volume, 0);
      EXPECT_GT(line.weight, 0);
      total += line.total, volume += line.volume, weight += line.weight;
    }
    EXPECT_GE(own, 1) << "no line in the price list";
  }

  // All of them in one plan: the Total sums the money, the volumes and the weights of its lines.
  placed_.clear();
  for (int32_t topView : topViews) Place(topView);
  const std::vector<Line> lines = Lines();
  ASSERT_FALSE(lines.empty());
  const Line& sum = lines.back();
  ASSERT_EQ(sum.type, Calc::kTotalLine);
  double listed = 0;
  int64_t listedVolume = 0, listedWeight = 0;
  for (const Line& line : lines)
    if (line.type == Calc::kCalculationItem)
      listed += line.total, listedVolume += line.volume, listedWeight += line.weight;
  EXPECT_DOUBLE_EQ(sum.total, listed);
  EXPECT_EQ(sum.volume, listedVolume);
  EXPECT_EQ(sum.weight, listedWeight);
  EXPECT_DOUBLE_EQ(sum.total, total);
  EXPECT_EQ(sum.volume, volume);
  EXPECT_EQ(sum.weight, weight);
}

// The hinged base is a plain unit that keeps its choice of hinge; its line is its unit's price, as
// the list writes it with Danish separators.
TEST_F(DemoPriceListTest, TheHingedBaseIsAPlainUnitPricedFromItsUnit) {
  const int32_t unit = UnitId("VH-CFG");
  zelvproTopViewElement& hinged = Place("CFG");
  EXPECT_EQ(dynamic_cast<zelvproConfigElement*>(&hinged), nullptr);
  ASSERT_EQ(hinged.GetOptionCount(), 1);
  EXPECT_EQ(hinged.options[0].chosenUnit, UnitId("VH-CFGL"));
  EXPECT_EQ(hinged.options[0].units, (std::vector<int32_t>{UnitId("VH-CFGL"), UnitId("VH-CFGR")}));
  const std::vector<Line> lines = Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].type, Calc::kCalculationItem);
  EXPECT_EQ(lines[0].unit, unit);
  EXPECT_DOUBLE_EQ(lines[0].total, 1795.0);
  EXPECT_EQ(lines[1].type, Calc::kTotalLine);

  const UserPreferences saved = Preferences();
  Preferences().moneyDecimals = 1;
  SetPreferenceText(Preferences().decimalSeparator, ",");
  SetPreferenceText(Preferences().thousandsSeparator, ".");
  ApplyNumberFormats();
  calc_->BeginAccess();
  int32_t itemLine = -1;
  for (int32_t i = 0; i < calc_->GetRecordCount() && itemLine < 0; ++i) {
    calc_->ReadRecordAt(i, nullptr);
    if (RecordField(*calc_, "type").Long(calc_->GetRecordBuffer()) == Calc::kCalculationItem) itemLine = i;
  }
  ASSERT_GE(itemLine, 0);
  EXPECT_EQ(Shown(itemLine, "total"), "1.795,00");
  Preferences() = saved;
  ApplyNumberFormats();
}

// The 300 cm worktop has no price of its own: its one line costs its three metres of front edging and
// its board, in the worktop's colour, and the order names each part on a line of its own.
TEST_F(DemoPriceListTest, AWorktopPricedThroughItsPartsHasOneLineAndAnOrderLinePerPart) {
  const int32_t unit = UnitId("VH-WT300"), board = UnitId("VH-WB300"), edging = UnitId("VH-WE100");
  EXPECT_EQ(db_->PriceFile().LookupPrice(unit, 0, 0, 0, nullptr), 0);
  const int32_t slate = RecordWith(db_->ColorCatalogFile(), "name", "Slate");
  const double parts = PriceOf(board, slate) + 3 * PriceOf(edging, slate);
  EXPECT_DOUBLE_EQ(parts, 2195.0);

  zelvproTopViewElement& worktop = Place("WT300");
  EXPECT_EQ(worktop.colorRecordId, slate);
  const std::vector<Line> lines = Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].type, Calc::kCalculationItem);
  EXPECT_EQ(lines[0].unit, unit);
  EXPECT_DOUBLE_EQ(lines[0].total, parts);
  EXPECT_EQ(lines[0].volume, 72);
  EXPECT_EQ(lines[0].weight, 50000);

  OrderFile order(folder_.Path("order.txt"));
  worktop.WriteOrderModule(order);
  std::vector<std::string> components;
  for (const std::string& line : order.Lines())
    if (line.rfind("KOMPONENT", 0) == 0) components.push_back(line);
  // Order 7, module 1, the part's number, no depth, the worktop's colour number, the cell (0, 0).
  EXPECT_EQ(components, (std::vector<std::string>{"KOMPONENT\t7\t1\tVH-WE100\t-\t301\t0\t0\r",
                                                  "KOMPONENT\t7\t1\tVH-WB300\t-\t301\t0\t0\r"}));
}

// A user who plans in Danish reads the list's names in Danish: the unit and its colour of a base unit,
// the hob on it and a worktop priced through its parts, whose item text is its unit's name.
TEST_F(DemoPriceListTest, InDanishEveryLineNamesItsUnitAndColourInDanish) {
  const UserPreferences saved = Preferences();
  Preferences().languageCode = 1030;
  ApplyDerivedSettings();
  Place("B60");
  Place("AHB60");
  Place("WT200");
  Lines();
  std::map<int32_t, std::vector<std::string>> shown;  // unit -> item text, unit text, colour text
  calc_->BeginAccess();
  for (int32_t i = 0; i < calc_->GetRecordCount(); ++i) {
    calc_->ReadRecordAt(i, nullptr);
    if (RecordField(*calc_, "type").Long(calc_->GetRecordBuffer()) != Calc::kCalculationItem) continue;
    const int32_t unit = RecordField(*calc_, "unitID").Long(calc_->GetRecordBuffer());
    shown[unit] = {Shown(i, "ttext"), Shown(i, "tunitText"), Shown(i, "tcolorText")};
  }
  Preferences() = saved;
  ApplyDerivedSettings();
  // The item text of a priced unit is its price record's own text, which has one language.
  EXPECT_EQ(shown[UnitId("VH-B60")][1], "VH-B60 Underskab 60 cm");
  EXPECT_EQ(shown[UnitId("VH-B60")][2], "Sne");
  EXPECT_EQ(shown[UnitId("VH-AHB60")][1], "VH-AHB60 Induktionskogeplade");
  // A unit priced through its parts has no price of its own: its item text is its name.
  EXPECT_EQ(shown[UnitId("VH-WT200")][0], "Bordplade 200 cm");
  EXPECT_EQ(shown[UnitId("VH-WT200")][1], "VH-WT200 Bordplade 200 cm");
}

// Units made to measure keep their price by the metre however the list is built again: the custom
// worktop typed to 1500 mm is 1.5 metres on its own rebuild and on every whole rebuild after it; a
// second one of the same length shares its line (3 metres) and, taken away again, takes its own 1.5;
// the filler panel at 150 mm is 0.15 of a metre. The article list still writes whole pieces.
TEST_F(DemoPriceListTest, UnitsMadeToMeasureKeepTheirLengthsThroughEveryRebuild) {
  const int32_t worktopUnit = UnitId("VH-WT"), fillerUnit = UnitId("VH-FP");
  // The quantity and total of the one line of `unit` (-1 and 0 when it has none or several).
  const auto line = [&](int32_t unit) {
    std::pair<double, double> found{-1.0, 0.0};
    int32_t count = 0;
    calc_->BeginAccess();
    for (int32_t i = 0; i < calc_->GetRecordCount(); ++i) {
      calc_->ReadRecordAt(i, nullptr);
      const char* b = calc_->GetRecordBuffer();
      if (RecordField(*calc_, "unitID").Long(b) != unit || RecordField(*calc_, "pcs").Quantity(b).IsZero())
        continue;
      ++count;
      found = {RecordField(*calc_, "pcs").Quantity(b).ToDouble(),
               ppMoney::FromRaw(RecordField(*calc_, "total").MoneyRaw(b)).ToDouble()};
    }
    return count == 1 ? found : std::pair<double, double>{-1.0, 0.0};
  };
  const auto typeWidth = [](zelvproTopViewElement& unit, const char16_t* width) {
    unit.SetValueByName("XDim", ppParameter(Vcon::WString(width)), true);
    unit.AddToCalculation();  // the unit's own rebuild, as its size field asks for
  };

  zelvproTopViewElement& first = Place("WT");
  typeWidth(first, u"1500");
  EXPECT_EQ(line(worktopUnit), (std::pair{1.5, 1342.5})) << "its own rebuild";
  for (int rebuild = 0; rebuild < 2; ++rebuild) {
    Lines();
    EXPECT_EQ(line(worktopUnit), (std::pair{1.5, 1342.5})) << "whole rebuild " << rebuild;
  }

  zelvproTopViewElement& second = Place("WT");
  typeWidth(second, u"1500");
  EXPECT_EQ(line(worktopUnit), (std::pair{3.0, 2685.0}));
  Lines();
  EXPECT_EQ(line(worktopUnit), (std::pair{3.0, 2685.0})) << "two equal worktops, one line";
  second.RemoveFromCalculation();
  EXPECT_EQ(line(worktopUnit), (std::pair{1.5, 1342.5})) << "the second takes its own metres away";
  second.AddToCalculation();
  typeWidth(second, u"2350");
  Lines();
  int32_t worktopLines = 0;
  for (const Line& l : Lines())
    if (l.unit == worktopUnit) ++worktopLines;
  EXPECT_EQ(worktopLines, 2) << "another length, another line";

  zelvproTopViewElement& filler = Place("FP");
  typeWidth(filler, u"150");
  Lines();
  EXPECT_EQ(line(fillerUnit), (std::pair{0.15, 142.5}));
  EXPECT_EQ(Shown(calc_->FindLineOfElement(&filler), "pcs"),
            "0" + std::string(ppParameter::PlainNumberFormat().decimalPoint.c_str()) + "15");

  const std::string path = folder_.Path("articles.txt");
  ppFileSpec file{Vcon::WString(path.c_str())};
  calc_->ExportArticleList(file);
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("\t0\r\n"), std::string::npos)
      << "the filler's 0.15 written whole: " << text.str();
  for (const char* fraction : {"\t0.15", "\t0,15", "\t1.5", "\t1,5"})
    EXPECT_EQ(text.str().find(fraction), std::string::npos) << text.str();
}

}  // namespace
