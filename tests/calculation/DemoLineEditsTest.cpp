// What a user does to the demo kitchen's price list and expects to keep: a percentage emptied on a
// Discount or VAT line is no percentage, a discount typed on a unit's own line stays through every
// rebuild and through a save and a reopen, and a worktop priced through its parts is named by its
// own unit on its line and in the order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DemoCalculationTest.h"
#include "calculation/PriceListTable.h"
#include "calculation/ShoppingListXml.h"
#include "foundation/LocaleNumbers.h"

namespace {

using demotest::DemoCalculationTest;
using Calc = zelvproCalculatorFil;

class DemoLineEditsTest : public DemoCalculationTest {
 protected:
  void TearDown() override {
    SetPriceListTable(nullptr);
    DemoCalculationTest::TearDown();
  }
  // A numbered unit placed, as the plan's numbering leaves it.
  zelvproTopViewElement& PlaceNumbered(const char* name, int32_t number) {
    zelvproTopViewElement& unit = Place(name);
    unit.enumNumber = number;
    return unit;
  }
  // The first line of `type` (and, for unit lines, of `unit` and `number`); -1 when none.
  int32_t LineOf(int32_t type, int32_t unit = 0, int32_t number = 0) {
    calc_->BeginAccess();
    for (int32_t i = 0; i < calc_->GetRecordCount(); ++i) {
      calc_->ReadRecordAt(i, nullptr);
      const char* b = calc_->GetRecordBuffer();
      if (Long(b, "type") != type) continue;
      if (type != Calc::kCalculationItem || (Long(b, "unitID") == unit && Long(b, "number") == number))
        return i;
    }
    return -1;
  }
  int32_t Long(const char* b, const char* field) { return RecordField(*calc_, field).Long(b); }
  double Money(int32_t line, const char* field) {
    calc_->ReadRecordAt(line, nullptr);
    return ppMoney::FromRaw(RecordField(*calc_, field).MoneyRaw(calc_->GetRecordBuffer())).ToDouble();
  }
  double Total() { return Money(LineOf(Calc::kTotalLine), "total"); }
  // What the line panel's field does with typed text: the line's property written.
  void Type(int32_t line, const char* field, const char16_t* text) {
    ASSERT_GE(line, 0) << field;
    calc_->BeginAccess();
    calc_->GoToItem(line);
    calc_->SetValue(calc_->IndexOf(field), ppParameter(Vcon::WString(text)));
  }
  // The percentage as the line panel's field shows it.
  std::string PercentShown(int32_t line) {
    calc_->GoToItem(line);
    return calc_->GetValue(calc_->IndexOf("discountPct")).AsString().c_str();
  }
  // A line the price list's buttons add: its type and a fresh id, at the end.
  void AddUserLine(int32_t type, int32_t id) {
    calc_->BeginAccess();
    calc_->ClearRecordBuffer(nullptr);
    calc_->SetFieldValue(Calc::kType, ppParameter(type), nullptr);
    calc_->SetFieldValue(Calc::kRecordId, ppParameter(id), nullptr);
    calc_->InsertRecordAt(-1, nullptr);
    calc_->SaveToBlob();
  }
  static std::string Zero() { return std::string("0") + LocaleDecimalChar() + "00"; }
};

TEST_F(DemoLineEditsTest, AnEmptiedOrUnreadableDiscountOrVatPercentageIsNoneAndTheTotalStays) {
  Place("B40");
  Place("B60");
  Lines();
  const double items = Total();
  ASSERT_GT(items, 0.0);
  AddUserLine(Calc::kDiscountLine, 9001);
  AddUserLine(Calc::kVatLine, 9002);
  Type(LineOf(Calc::kDiscountLine), "discountPct", u"-10");
  Type(LineOf(Calc::kVatLine), "discountPct", u"25");
  Lines();
  EXPECT_DOUBLE_EQ(Total(), items * 0.9 * 1.25);

  // The user clears the discount's field and leaves it; then the VAT's, then types letters there.
  Type(LineOf(Calc::kDiscountLine), "discountPct", u"");
  Lines();
  EXPECT_EQ(PercentShown(LineOf(Calc::kDiscountLine)), Zero());
  EXPECT_DOUBLE_EQ(Money(LineOf(Calc::kDiscountLine), "total"), 0.0);
  EXPECT_DOUBLE_EQ(Total(), items * 1.25);
  for (const char16_t* typed : {u"", u"abc"}) {
    Type(LineOf(Calc::kVatLine), "discountPct", typed);
    Lines();
    EXPECT_EQ(PercentShown(LineOf(Calc::kVatLine)), Zero());
    EXPECT_DOUBLE_EQ(Total(), items) << "the Total is the items' sum again";
  }
}

TEST_F(DemoLineEditsTest, APercentageTypedWithTheShownDecimalCommaReadsWhole) {
  Place("B40");
  Place("B60");
  Lines();
  const double items = Total();
  AddUserLine(Calc::kDiscountLine, 9001);
  AddUserLine(Calc::kVatLine, 9002);
  // The lists show percentages with the system's decimal character; what they show reads back.
  SetLocaleNumberChars(',', '.', '-');
  Type(LineOf(Calc::kDiscountLine), "discountPct", u"-10,5");
  Type(LineOf(Calc::kVatLine), "discountPct", u"25.5");
  Lines();
  EXPECT_EQ(PercentShown(LineOf(Calc::kDiscountLine)), "-10,50");
  EXPECT_EQ(PercentShown(LineOf(Calc::kVatLine)), "25,50");
  EXPECT_NEAR(Total(), items * 0.895 * 1.255, 0.02);
  // Written back as shown, it stays.
  Type(LineOf(Calc::kDiscountLine), "discountPct", u"-10,50");
  Lines();
  EXPECT_EQ(PercentShown(LineOf(Calc::kDiscountLine)), "-10,50");
  SetLocaleNumberChars('.', ',', '-');
}

TEST_F(DemoLineEditsTest, ADiscountTypedOnAUnitsOwnLineStaysThroughRebuildsAndASaveAndReopen) {
  const int32_t b40 = UnitId("VH-B40"), b60 = UnitId("VH-B60");
  PlaceNumbered("B40", 1);
  PlaceNumbered("B60", 2);
  PlaceNumbered("B40", 3);
  Lines();
  const int32_t line = LineOf(Calc::kCalculationItem, b40, 3);
  ASSERT_GE(line, 0);
  const double price = Money(line, "price");
  const double items = Total();

  // The panel's write asks for a rebuild, and more rebuilds follow as the user works.
  Type(line, "discountPct", u"-10");
  for (int rebuild = 0; rebuild < 3; ++rebuild) {
    Lines();
    SCOPED_TRACE(rebuild);
    const int32_t now = LineOf(Calc::kCalculationItem, b40, 3);
    ASSERT_GE(now, 0);
    EXPECT_EQ(PercentShown(now), std::string("-10") + LocaleDecimalChar() + "00");
    EXPECT_DOUBLE_EQ(Money(now, "total"), price * 0.9);
    EXPECT_DOUBLE_EQ(Total(), items - price * 0.1);
    EXPECT_EQ(PercentShown(LineOf(Calc::kCalculationItem, b40, 1)), Zero()) << "the other Base unit 40";
  }

  // Renumbered (a unit placed before it): the unit keeps its line and the line its discount.
  placed_[2]->enumNumber = 4;
  Lines();
  EXPECT_DOUBLE_EQ(Money(LineOf(Calc::kCalculationItem, b40, 4), "total"), price * 0.9);
  placed_[2]->enumNumber = 3;
  Lines();

  // Saved with the document and opened again: the plan is made anew, its list starts empty but for
  // the user's own lines, and the first rebuild gives the unit's line its discount back.
  AddUserLine(Calc::kTextLine, 9001);
  Handle kept = nullptr;
  Vcon_HandleManager::MemNew(&kept, 0);
  calc_->PackUserLines(kept);
  placed_.clear();
  calc_->DeleteAllLines();
  PlaceNumbered("B40", 1);
  PlaceNumbered("B60", 2);
  PlaceNumbered("B40", 3);
  calc_->DeleteAllLines();  // the load builds no lines; the window's first rebuild does
  EXPECT_EQ(calc_->AppendUserLines(kept), 1) << "the Text line; the unit line waits for its unit";
  EXPECT_EQ(calc_->KeptDiscounts(), 1);
  Lines();
  EXPECT_EQ(calc_->KeptDiscounts(), 0);
  EXPECT_DOUBLE_EQ(Money(LineOf(Calc::kCalculationItem, b40, 3), "total"), price * 0.9);
  EXPECT_DOUBLE_EQ(Money(LineOf(Calc::kCalculationItem, b40, 1), "total"), price);
  EXPECT_GT(Money(LineOf(Calc::kCalculationItem, b60, 2), "total"), 0.0);
  EXPECT_DOUBLE_EQ(Total(), items - price * 0.1);

  // A reader that takes only the user's line types (as older versions do) finds them first, as
  // before; the unit line follows them.
  ppEmbeddedData stored(Calc::kLayout, *db_, kept, nullptr);
  stored.LoadFromBlob();
  ASSERT_EQ(stored.GetRecordCount(), 2);
  stored.ReadRecordAt(0, nullptr);
  EXPECT_EQ(RecordField(stored, "type").Long(stored.GetRecordBuffer()), Calc::kTextLine);
  stored.ReadRecordAt(1, nullptr);
  EXPECT_EQ(RecordField(stored, "type").Long(stored.GetRecordBuffer()), Calc::kCalculationItem);
  EXPECT_TRUE(RecordField(stored, "elements").Words(stored.GetRecordBuffer()).empty());

  // A kept discount whose unit is gone from the plan is dropped by the first rebuild.
  placed_.pop_back();
  calc_->DeleteAllLines();
  calc_->AppendUserLines(kept);
  Lines();
  EXPECT_EQ(calc_->KeptDiscounts(), 0);
  EXPECT_DOUBLE_EQ(Money(LineOf(Calc::kCalculationItem, b40, 1), "total"), price);
  MemDispose(kept);
}

TEST_F(DemoLineEditsTest, AWorktopPricedThroughItsPartsIsNamedByItsUnitOnItsLineAndInTheOrder) {
  const int32_t unit = UnitId("VH-WT300");
  Place("WT300");
  Place("B40");
  Lines();
  const int32_t line = LineOf(Calc::kCalculationItem, unit, 0);
  ASSERT_GE(line, 0);
  EXPECT_EQ(Shown(line, "ttext"), "Worktop 300 cm");
  EXPECT_EQ(Shown(line, "torderID"), "VH-WT300");
  // Its price link is still the board's, the last part priced.
  calc_->ReadRecordAt(line, nullptr);
  const int32_t priceId = Long(calc_->GetRecordBuffer(), "priceID");
  db_->PriceFile().ReadRecord(priceId, nullptr);
  EXPECT_EQ(RecordField(db_->PriceFile(), "orderno").Text(db_->PriceFile().GetRecordBuffer()), "VH-10058");

  SetPriceListTable(calc_.get());
  const std::string xml = BuildShoppingListXml().Narrow();
  EXPECT_NE(xml.find("<SalesItemName>Worktop 300 cm</SalesItemName><SalesItemNo>VH-WT300</SalesItemNo>"),
            std::string::npos)
      << xml;
  EXPECT_NE(xml.find("<SalesItemName>Base unit 40 cm</SalesItemName><SalesItemNo>VH-10002</SalesItemNo>"),
            std::string::npos)
      << "a unit with a price of its own is named by its price as before";
}

// A discount typed on a numbered unit's own line stays with the unit when a finish of the unit is
// painted over, on the unit's own rebuild and on the whole list's, and the line names the new finish;
// the old finish painted back (Undo) shows the line with its discount still.
TEST_F(DemoLineEditsTest, ANumberedUnitsLineKeepsItsDiscountAndNamesTheFinishesPaintedOnIt) {
  const int32_t b40 = UnitId("VH-B40");
  const auto colour = [&](const char* name) { return RecordWith(db_->ColorCatalogFile(), "name", name); };
  zelvproTopViewElement& unit = PlaceNumbered("B40", 1);
  PlaceNumbered("B60", 2);
  Lines();
  Type(LineOf(Calc::kCalculationItem, b40, 1), "discountPct", u"-10");
  Lines();
  const double items = Total();
  const auto expectLine = [&](const char* front, const char* carcase, const char* step) {
    SCOPED_TRACE(step);
    const int32_t line = LineOf(Calc::kCalculationItem, b40, 1);
    ASSERT_GE(line, 0);
    int32_t lines = 0;
    for (int32_t i = 0; i < calc_->GetRecordCount(); ++i) {
      calc_->ReadRecordAt(i, nullptr);
      if (Long(calc_->GetRecordBuffer(), "unitID") == b40) ++lines;
    }
    EXPECT_EQ(lines, 1) << "one line for the unit";
    EXPECT_EQ(PercentShown(line), std::string("-10") + LocaleDecimalChar() + "00");
    const double price = Money(line, "price");
    EXPECT_DOUBLE_EQ(Money(line, "total"), price * 0.9);
    const std::string options = Shown(line, "tOptions");
    EXPECT_NE(options.find(front), std::string::npos) << options;
    EXPECT_NE(options.find(carcase), std::string::npos) << options;
    EXPECT_EQ(Shown(line, "tcolorText"), std::string(front).substr(4));
  };
  expectLine("101 Snow", "201 Oak", "as placed");

  // Painted as the Colors view paints: the unit's own rebuild first, then the whole list's.
  const auto paint = [&](const char* name) {
    unit.ApplyColorRecord(colour(name), db_.get(), -1);
    unit.AddToCalculation();
    calc_->BuildLines();
  };
  paint("Midnight");
  expectLine("105 Midnight", "201 Oak", "front painted, its own rebuild");
  Lines();
  expectLine("105 Midnight", "201 Oak", "front painted, the whole list rebuilt");
  paint("Walnut");
  expectLine("105 Midnight", "202 Walnut", "carcase painted");
  Lines();
  expectLine("105 Midnight", "202 Walnut", "carcase painted, the whole list rebuilt");
  paint("Oak");
  paint("Snow");
  expectLine("101 Snow", "201 Oak", "painted back");
  Lines();
  EXPECT_DOUBLE_EQ(Total(), items);
}

// Opened and saved again before the list was rebuilt, a discount waiting for its unit's line is
// written with the user's lines all the same, and the next opening gives it back.
TEST_F(DemoLineEditsTest, ADiscountWaitingAfterAnOpenSurvivesASaveMadeBeforeTheListIsRebuilt) {
  const int32_t b40 = UnitId("VH-B40");
  PlaceNumbered("B40", 1);
  Lines();
  const double price = Money(LineOf(Calc::kCalculationItem, b40, 1), "price");
  Type(LineOf(Calc::kCalculationItem, b40, 1), "discountPct", u"-10");
  Lines();
  Handle first = nullptr, second = nullptr;
  Vcon_HandleManager::MemNew(&first, 0);
  Vcon_HandleManager::MemNew(&second, 0);
  calc_->PackUserLines(first);

  calc_->DeleteAllLines();  // opened: the plan's lines wait for the first rebuild
  calc_->AppendUserLines(first);
  ASSERT_EQ(calc_->KeptDiscounts(), 1);
  calc_->PackUserLines(second);  // saved at once
  calc_->DeleteAllLines();       // and opened again
  calc_->AppendUserLines(second);
  EXPECT_EQ(calc_->KeptDiscounts(), 1);
  Lines();
  EXPECT_DOUBLE_EQ(Money(LineOf(Calc::kCalculationItem, b40, 1), "total"), price * 0.9);
  EXPECT_DOUBLE_EQ(Total(), price * 0.9);
  MemDispose(first);
  MemDispose(second);
}

// A Discount line that a document holds without a percentage (an empty or unreadable one, whatever
// amount it was saved with) takes nothing off: the Total is the items' sum.
TEST_F(DemoLineEditsTest, ADiscountLineStoredWithNoPercentageLeavesTheTotalAsItWas) {
  Place("B40");
  Place("B60");
  Lines();
  const double items = Total();
  ASSERT_GT(items, 0.0);
  for (const bool tagged : {false, true}) {
    for (const bool stale : {false, true}) {
      SCOPED_TRACE(std::string(tagged ? "tagged " : "untagged ") + (stale ? "with an amount" : "no amount"));
      // The document's line as a file holds it.
      Handle stored = nullptr;
      Vcon_HandleManager::MemNew(&stored, 0);
      {
        ppEmbeddedData lines(Calc::kLayout, *db_, stored, nullptr);
        lines.ClearRecordBuffer(nullptr);
        char* b = lines.GetRecordBuffer();
        RecordField(lines, "type").SetLong(b, Calc::kDiscountLine);
        RecordField(lines, "id").SetLong(b, 9001);
        if (tagged) RecordField(lines, "tag").SetLong(b, 5);
        lines.SetFieldValue(lines.IndexOf("discountPct"), ppParameter(ppFloat()), nullptr);
        lines.SetFieldValue(lines.IndexOf("total"),
                            ppParameter(stale ? ppMoney::FromRaw(-500000) : ppMoney()), nullptr);
        lines.InsertRecordAt(-1, nullptr);
        lines.SaveToBlob();
      }
      calc_->DeleteAllLines();
      ASSERT_EQ(calc_->AppendUserLines(stored), 1);
      Lines();
      EXPECT_DOUBLE_EQ(Total(), items);
      EXPECT_GE(LineOf(Calc::kDiscountLine), 0) << "the line stays";
      MemDispose(stored);
    }
  }
}

}  // namespace
