// Reading calculation lines: the recalculation after every read, the display values of the lists and
// the display texts built from the catalogue.
#include <gtest/gtest.h>

#include "calculation/CalculationTestSupport.h"
#include "catalogue/records/zelvproPriceFil.h"
#include "foundation/UserPreferences.h"

namespace {

using calctest::Amount;
using calctest::CalculationTest;

std::string Shown(zelvproCalculatorFil& calc, int32_t line, const char* field) {
  calc.BeginAccess();
  calc.ReadRecordAt(line, nullptr);
  ppParameter value;
  calc.GetFieldValue(calc.IndexOf(field), value, nullptr);
  return value.AsWString().Narrow();
}

TEST_F(CalculationTest, TheListsShowZeroAsNothingAndTotalsWithAFixedComma) {
  const int32_t empty = AddLine({{"type", 9}});
  const int32_t full = AddLine({{"type", 9},
                                {"volumeTotal", 1500},
                                {"weightTotal", 1234567},
                                {"discountPct", 7.5f},
                                {"number", 12},
                                {"missing", 2},
                                {"pcs", DecimalNumber(2)},
                                {"_pcs", 2},
                                {"discount", Amount(-3.0)}});
  for (const char* field : {"volumeTotal", "weightTotal", "discountPct", "number", "missing", "_pcs",
                            "pcsAndMissing", "discount"})
    EXPECT_EQ(Shown(Calc(), empty, field), "") << field;
  EXPECT_EQ(Shown(Calc(), full, "volumeTotal"), "1,50");
  EXPECT_EQ(Shown(Calc(), full, "weightTotal"), "1234,57");
  EXPECT_EQ(Shown(Calc(), full, "discountPct"), "7.50");
  EXPECT_EQ(Shown(Calc(), full, "number"), "12");
  EXPECT_EQ(Shown(Calc(), full, "missing"), "2");
  EXPECT_EQ(Shown(Calc(), full, "_pcs"), "2");
  EXPECT_EQ(Shown(Calc(), full, "discount"), Amount(-3.0).ToString().Narrow());
  SetLocaleNumberChars(',', '.', '-');
  EXPECT_EQ(Shown(Calc(), full, "volumeTotal"), "1,50");
  EXPECT_EQ(Shown(Calc(), full, "discountPct"), "7,50");
  // A user whose preferences write numbers with a point still reads volumes and weights with a comma;
  // the money beside them follows the preferences.
  const UserPreferences saved = Preferences();
  SetPreferenceText(Preferences().decimalSeparator, ".");
  SetPreferenceText(Preferences().thousandsSeparator, ",");
  ApplyNumberFormats();
  EXPECT_EQ(Shown(Calc(), full, "volumeTotal"), "1,50");
  EXPECT_EQ(Shown(Calc(), full, "weightTotal"), "1234,57");
  EXPECT_EQ(Shown(Calc(), full, "discount"), Amount(-3.0).ToString().Narrow());
  Preferences() = saved;
  ApplyNumberFormats();
}

TEST_F(CalculationTest, ReadingALineConvertsOldFieldsAndRecomputesItsTotals) {
  const int32_t oldPieces = AddLine({{"type", 1}, {"_pcs", 3}, {"price", Amount(10.0)}});
  EXPECT_DOUBLE_EQ(Read(oldPieces, "pcs").ToQuantity().ToDouble(), 3.0);
  EXPECT_EQ(RawMoney(oldPieces, "total"), Amount(30.0).Raw());
  EXPECT_EQ(Read(oldPieces, "pcsAndMissing").ToLong(), 3);

  const int32_t oldPercent = AddLine({{"type", 9}, {"xdiscountPct", 15}});
  EXPECT_FLOAT_EQ(Read(oldPercent, "discountPct").ToFloat(), 15.0f);
  EXPECT_EQ(Read(oldPercent, "xdiscountPct").ToLong(), 0);
  const int32_t bothPercents = AddLine({{"type", 9}, {"xdiscountPct", 15}, {"discountPct", 5.0f}});
  EXPECT_FLOAT_EQ(Read(bothPercents, "discountPct").ToFloat(), 5.0f);
  EXPECT_EQ(Read(bothPercents, "xdiscountPct").ToLong(), 15);

  const int32_t priced = AddLine({{"type", 1},
                                  {"pcs", DecimalNumber(2.5)},
                                  {"price", Amount(100.0)},
                                  {"price2", Amount(50.0)},
                                  {"discount", Amount(-10.0)},
                                  {"weight", 3},
                                  {"volume", 1000},
                                  {"tunitText", Vcon::WString("B30 Base 30")},
                                  {"dimensions", Vcon::WString("60 x 56")},
                                  {"totherText", Vcon::WString("other")}});
  EXPECT_EQ(RawMoney(priced, "total"), Amount(225.0).Raw());
  EXPECT_EQ(RawMoney(priced, "total2"), Amount(100.0).Raw());
  EXPECT_EQ(Read(priced, "weightTotal").ToLong(), 7);
  EXPECT_EQ(Read(priced, "volumeTotal").ToLong(), 2500);
  EXPECT_EQ(Read(priced, "pcsAndMissing").ToLong(), 2);
  EXPECT_EQ(Text(priced, "unitAndDimensions"), "B30 Base 30 (60 x 56)");
  EXPECT_EQ(Read(priced, "unitDescription").AsString(), "");  // a calculation item keeps its own
  EXPECT_FALSE(Read(priced, "totalText2").AsString().empty());

  const int32_t noDimensions =
      AddLine({{"type", 2}, {"tunitText", Vcon::WString("W60")}, {"totherText", Vcon::WString("o")}});
  EXPECT_EQ(Text(noDimensions, "unitAndDimensions"), "W60");
  EXPECT_EQ(Read(noDimensions, "unitDescription").AsString(), "o");
}

TEST_F(CalculationTest, AnItemLineTakesTheCataloguePriceOnEveryRead) {
  const int32_t line = AddLine({{"type", 8},
                                {"databaseID", 1},
                                {"unitID", first_.unit},
                                {"priceID", first_.price},
                                {"price", Amount(1.0)},
                                {"pcs", DecimalNumber(2)}});
  EXPECT_EQ(RawMoney(line, "price"), Amount(200.0).Raw());
  EXPECT_EQ(RawMoney(line, "total"), Amount(400.0).Raw());
  EXPECT_EQ(Read(line, "pict").ToLong(), first_.preview);

  zelvproPriceFil& prices = Db(1).PriceFile();
  prices.ReadRecord(first_.price, nullptr);
  cattest::SetField(prices, "price", Amount(210.0));
  prices.BeginTransaction();
  prices.WriteRecord(first_.price, nullptr);
  prices.EndTransaction();
  EXPECT_EQ(RawMoney(line, "total"), Amount(420.0).Raw());

  const int32_t unpriced =
      AddLine({{"type", 8}, {"unitID", first_.unit}, {"price", Amount(1.0)}, {"total", Amount(77.0)}});
  EXPECT_EQ(RawMoney(unpriced, "total"), Amount(77.0).Raw());
}

TEST_F(CalculationTest, BuildingTextsTwiceLeavesOneNoteMarkerInEachColumn) {
  const int32_t line = AddLine({{"type", 1},
                                {"databaseID", 1},
                                {"unitID", first_.unit},
                                {"priceID", first_.price},
                                {"colorID", first_.colour},
                                {"noteIndex", 2},
                                {"unitDescription", "Base"},
                                {"unitText", "B30"},
                                {"tdbText", Vcon::WString("First")},
                                {"tOptions", Vcon::WString("left\r\nglass")},
                                {"tag", 9}});
  Calc().BeginAccess();
  Calc().ReadRecordAt(line, nullptr);
  Calc().BuildLineTexts(nullptr);
  Calc().BuildLineTexts(nullptr);
  char* b = Calc().GetRecordBuffer();
  auto text = [&](const char* name) {
    ppParameter value;
    Calc().ppDatafile::GetFieldValue(Calc().IndexOf(name), value, b);
    return std::string(value.AsWString().Narrow());
  };
  EXPECT_EQ(text("unitDescription"), "Base  2)");
  EXPECT_EQ(text("unitText"), "B30  2)");
  EXPECT_EQ(text("tunitText"), "B30 Base 30");
  EXPECT_EQ(text("tunitName"), "Base 30");
  EXPECT_EQ(text("tcorpusColor"), "B30");
  EXPECT_EQ(text("tcolorText"), "Oak");
  EXPECT_EQ(text("tunitDescription"), "First B30 Base 30 (Oak)");
  EXPECT_EQ(text("tCompleteUnit"), "First B30 Base 30 left / glass");
  EXPECT_EQ(text("torderID"), "A-100");
  EXPECT_EQ(text("tSKU"), "SKU-1");
  EXPECT_EQ(text("ttagText"), "Utility");
  EXPECT_EQ(text("weight"), "3000");
  EXPECT_EQ(text("volume"), "2000");
}

TEST_F(CalculationTest, TextsFollowTheLineTypeAndTheFreezeFlag) {
  const Vcon::WString kept("kept");
  struct Case {
    const char* what;
    int32_t type, sort5, database;
    bool frozen;
    const char* unitText;  // expected "tunitText"; null: every text untouched
  } cases[] = {
      {"sort key", 1, 1, 1, false, "B30 Base 30    "},
      {"element line 3 takes its own text", 3, 0, 1, false, "own"},
      {"frozen", 1, 0, 1, true, nullptr},
      {"unused type", 6, 0, 1, false, nullptr},
      {"note line", 13, 0, 1, false, nullptr},
      {"catalogue not open", 1, 0, 7, false, nullptr},
  };
  for (const Case& c : cases) {
    const int32_t line = AddLine({{"type", c.type},
                                  {"databaseID", c.database},
                                  {"unitID", first_.unit},
                                  {"sort5", c.sort5},
                                  {"tag", 5},
                                  {"ttext", Vcon::WString("own")},
                                  {"tunitText", kept},
                                  {"tcolorText", kept},
                                  {"ttagText", kept},
                                  {"torderID", kept}});
    Calc().SetTextsFrozen(c.frozen);
    Calc().BeginAccess();
    Calc().ReadRecordAt(line, nullptr);
    Calc().BuildLineTexts(nullptr);
    char* b = Calc().GetRecordBuffer();
    auto text = [&](const char* name) {
      ppParameter value;
      Calc().ppDatafile::GetFieldValue(Calc().IndexOf(name), value, b);
      return std::string(value.AsWString().Narrow());
    };
    if (c.unitText == nullptr) {
      for (const char* name : {"tunitText", "tcolorText", "ttagText", "torderID"})
        EXPECT_EQ(text(name), "kept") << c.what << " " << name;
    } else {
      EXPECT_EQ(text("tunitText"), c.unitText) << c.what;
      EXPECT_EQ(text("ttagText"), "Kitchen") << c.what;
    }
  }
  Calc().SetTextsFrozen(false);
}

TEST_F(CalculationTest, LinesWithoutACatalogueGetOnlyTheirTagText) {
  const int32_t line = AddLine({{"type", 8}, {"tag", 42}, {"tunitText", Vcon::WString("kept")}});
  Calc().BeginAccess();
  Calc().ReadRecordAt(line, nullptr);
  Calc().BuildLineTexts(nullptr);
  ppParameter tag, unit;
  Calc().ppDatafile::GetFieldValue(Calc().IndexOf("ttagText"), tag, nullptr);
  Calc().ppDatafile::GetFieldValue(Calc().IndexOf("tunitText"), unit, nullptr);
  tags_->ReadRecordAt(0, nullptr);  // no tag has id 42: the default tag's text
  EXPECT_EQ(tag.AsWString(), RecordField(*tags_, "ttext").WideText(tags_->GetRecordBuffer()));
  EXPECT_EQ(std::string(unit.AsWString().Narrow()), "kept");
}

}  // namespace
