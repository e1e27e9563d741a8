// Writing properties of calculation lines: the follow-up rules of price, discount, quantity, unit,
// article number, database and tag, and the "tag" and "discountPct" values read back.
#include <gtest/gtest.h>

#include "calculation/CalculationTestSupport.h"
#include "database/HandleList.h"
#include "elements/base/zelvproElement.h"

namespace {

using calctest::Amount;
using calctest::CalculationTest;

constexpr int32_t kItem = zelvproCalculatorFil::kItemService;

TEST_F(CalculationTest, WritingPriceDiscountOrPercentageRecomputesTheOthersAndTheTotal) {
  struct Case {
    const char* what;
    const char* field;
    ppParameter value;
    double price, percent, discount;
    int32_t pieces;
    double wantDiscount, wantPercent, wantTotal;
  } cases[] = {
      {"percentage on 200 x 2", "discountPct", ppParameter(10.0f), 200.0, 0.0, 0.0, 2, 20.0, 10.0, 440.0},
      {"negative percentage", "discountPct", ppParameter(-25.0f), 80.0, 0.0, 0.0, 1, -20.0, -25.0, 60.0},
      {"discount amount", "discount", ppParameter(Amount(-30.0)), 200.0, 0.0, 0.0, 3, -30.0, -15.0, 510.0},
      // Without a price there is no percentage: 0.0 is kept and the total is still recomputed.
      {"discount on price 0", "discount", ppParameter(Amount(5.0)), 0.0, 7.0, 0.0, 2, 5.0, 0.0, 10.0},
      {"price keeps percentage", "price", ppParameter(Amount(50.0)), 10.0, 10.0, 1.0, 2, 5.0, 10.0, 110.0},
  };
  for (const Case& c : cases) {
    changed_.clear();
    AddLine({{"type", 9}});  // a line before, so the index told is not 0 by chance
    const int32_t line = AddLine({{"type", kItem},
                                  {"price", Amount(c.price)},
                                  {"discountPct", float(c.percent)},
                                  {"discount", Amount(c.discount)},
                                  {"pcs", DecimalNumber(c.pieces)}});
    Write(line, c.field, c.value);
    EXPECT_EQ(RawMoney(line, "discount"), Amount(c.wantDiscount).Raw()) << c.what;
    EXPECT_FLOAT_EQ(Read(line, "discountPct").ToFloat(), float(c.wantPercent)) << c.what;
    EXPECT_EQ(RawMoney(line, "total"), Amount(c.wantTotal).Raw()) << c.what;
    EXPECT_EQ(changed_, std::vector<int32_t>{line}) << c.what;
  }
}

TEST_F(CalculationTest, APriceWithoutValueGivesNoPercentageButATotal) {
  const int32_t line = AddLine({{"type", kItem}, {"price", ppMoney()}, {"pcs", DecimalNumber(1)}});
  Write(line, "discount", ppParameter(Amount(4.0)));
  EXPECT_FLOAT_EQ(Stored(line, "discountPct").ToFloat(), 0.0f);
  EXPECT_EQ(changed_.size(), 1u);
}

TEST_F(CalculationTest, WritingAnEmptyTableDoesNothing) {
  Calc().SetValue(Calc().IndexOf("discountPct"), ppParameter(10.0f));
  EXPECT_EQ(Calc().GetRecordCount(), 0);
  EXPECT_TRUE(changed_.empty());
}

TEST_F(CalculationTest, WritingTheUnitPricesTheLineFromTheCatalogue) {
  const int32_t line = AddLine({{"type", kItem}, {"pcs", DecimalNumber(0)}, {"discountPct", 10.0f}});
  Write(line, "databaseID", ppParameter(1));
  EXPECT_EQ(Calc().LineRefsAt(line).db, &Db(1));
  Write(line, "unitID", ppParameter(first_.unit));
  EXPECT_EQ(Read(line, "priceID").ToLong(), first_.price);
  EXPECT_EQ(RawMoney(line, "price"), Amount(200.0).Raw());
  EXPECT_EQ(RawMoney(line, "price2"), Amount(150.0).Raw());
  EXPECT_EQ(Text(line, "tunitText"), "Base 30");
  EXPECT_EQ(Text(line, "tunitDescription"), "B30 Base 30");
  EXPECT_EQ(Text(line, "totherText"), "B30 Base 30");
  EXPECT_EQ(Text(line, "torderID"), "A-100");
  EXPECT_DOUBLE_EQ(Read(line, "pcs").ToQuantity().ToDouble(), 1.0);
  EXPECT_EQ(RawMoney(line, "discount"), Amount(20.0).Raw());
  EXPECT_EQ(Stored(line, "total").ToMoney().Raw(), Amount(220.0).Raw());  // 200 x 1 + 20
}

TEST_F(CalculationTest, AUnitWithoutAPriceChangesOnlyThePriceId) {
  // A text line: a priced line would take the catalogue's price on the write's own read.
  const int32_t line = AddLine({{"type", 9},
                                {"databaseID", 1},
                                {"priceID", 77},
                                {"price", Amount(50.0)},
                                {"total", Amount(50.0)},
                                {"pcs", DecimalNumber(0)},
                                {"tunitText", Vcon::WString("kept")}},
                               {nullptr, &Db(1)});
  Write(line, "unitID", ppParameter(first_.unpricedUnit));
  EXPECT_EQ(Stored(line, "priceID").ToLong(), 0);
  EXPECT_EQ(Stored(line, "price").ToMoney().Raw(), Amount(50.0).Raw());
  EXPECT_EQ(Stored(line, "total").ToMoney().Raw(), Amount(50.0).Raw());
  EXPECT_TRUE(Stored(line, "pcs").ToQuantity().IsZero());
  EXPECT_EQ(Stored(line, "tunitText").AsWString().Narrow(), "kept");
}

TEST_F(CalculationTest, AnArticleNumberIsTakenFromTheFirstCatalogueThatHasIt) {
  zelvproPriceFil& ownPrices = Db(1).PriceFile();
  ownPrices.SelectAll();
  auto selection = [&] {
    std::vector<int32_t> ids;
    for (int32_t i = 0; i < ownPrices.GetSelectedCount(); ++i) ids.push_back(ownPrices.RecordIdAt(i));
    return ids;
  };
  const std::vector<int32_t> before = selection();

  const int32_t line = AddLine(
      {{"type", kItem}, {"databaseID", 2}, {"unitID", 4}, {"discountPct", 50.0f}, {"pcs", DecimalNumber(0)}});
  Write(line, "torderID", ppParameter(Vcon::WString("BOTH")));
  EXPECT_EQ(Read(line, "priceID").ToLong(), first_.sharedArticle);
  EXPECT_EQ(Calc().LineRefsAt(line).db, &Db(1));
  EXPECT_EQ(Stored(line, "unitID").ToLong(), 4);
  EXPECT_EQ(Stored(line, "databaseID").ToLong(), 1);  // the price is named where it was found
  EXPECT_EQ(Text(line, "totherText"), "T10 Tall 10");
  EXPECT_DOUBLE_EQ(Stored(line, "pcs").ToQuantity().ToDouble(), 1.0);
  EXPECT_EQ(Stored(line, "discount").ToMoney().Raw(), Amount(6.0).Raw());
  EXPECT_EQ(Stored(line, "total").ToMoney().Raw(), Amount(18.0).Raw());

  Write(line, "torderID", ppParameter(Vcon::WString("ONLY2")));
  EXPECT_EQ(Calc().LineRefsAt(line).db, &Db(2));
  EXPECT_EQ(Stored(line, "price").ToMoney().Raw(), Amount(9.0).Raw());

  // Found nowhere: the price, its id, the database and the article stay; discount and total follow
  // the percentage and quantity.
  const int32_t priceId = Stored(line, "priceID").ToLong();
  Write(line, "discountPct", ppParameter(0.0f));
  Write(line, "pcs", ppParameter(DecimalNumber(3)));
  Write(line, "torderID", ppParameter(Vcon::WString("NOWHERE")));
  EXPECT_EQ(Stored(line, "priceID").ToLong(), priceId);
  EXPECT_EQ(Calc().LineRefsAt(line).db, &Db(2));
  EXPECT_EQ(Text(line, "torderID"), "ONLY2");
  EXPECT_EQ(Stored(line, "price").ToMoney().Raw(), Amount(9.0).Raw());
  EXPECT_EQ(Stored(line, "discount").ToMoney().Raw(), 0);
  EXPECT_EQ(Stored(line, "total").ToMoney().Raw(), Amount(27.0).Raw());

  EXPECT_EQ(selection(), before);
}

TEST_F(CalculationTest, TheTagReadsAndWritesAsItsPositionInTheTagTable) {
  const int32_t line = AddLine({{"type", kItem}, {"tag", 9}});
  Calc().GoToItem(line);
  EXPECT_EQ(Calc().GetValue(Calc().IndexOf("tag")).ToLong(), 20001);
  Write(line, "tag", ppParameter(10001));
  EXPECT_EQ(Stored(line, "tag").ToLong(), 5);
  Write(line, "tag", ppParameter(20001));
  EXPECT_EQ(Stored(line, "tag").ToLong(), 9);
  // A position past the table keeps the tag.
  Write(line, "tag", ppParameter(70001));
  EXPECT_EQ(Stored(line, "tag").ToLong(), 9);

  const int32_t unknown = AddLine({{"type", kItem}, {"tag", 42}});
  Calc().GoToItem(unknown);
  EXPECT_EQ(Calc().GetValue(Calc().IndexOf("tag")).ToLong(), 1);
}

TEST_F(CalculationTest, ThePercentageReadsAsTextInTheUsersNumberFormat) {
  const int32_t line = AddLine({{"type", kItem}, {"discountPct", 12.5f}});
  Calc().GoToItem(line);
  EXPECT_EQ(Calc().GetValue(Calc().IndexOf("discountPct")).AsString(), "12.50");
  SetLocaleNumberChars(',', '.', '-');
  EXPECT_EQ(Calc().GetValue(Calc().IndexOf("discountPct")).AsString(), "12,50");
}

TEST_F(CalculationTest, TheOldQuantityWriteRecomputesTheTotalAndReachesAnEditableElement) {
  zelvproElement editable(0, nullptr, plat::RECT{0, 0, 10, 10}, nullptr, 0, 0);
  zelvproElement fixed(0, nullptr, plat::RECT{0, 0, 10, 10}, nullptr, 0, 0);
  editable.SetQuantityEditable(true);
  for (zelvproElement* element : {&editable, &fixed}) {
    const int32_t line = AddLine(
        {{"type", kItem}, {"price", Amount(10.0)}, {"discount", Amount(-1.0)}, {"pcs", DecimalNumber(4)}},
        {element, nullptr});
    Write(line, "_pcs", ppParameter(4));
    EXPECT_EQ(Stored(line, "total").ToMoney().Raw(), Amount(36.0).Raw());
  }
  EXPECT_DOUBLE_EQ(editable.ElementQuantity().ToDouble(), 4.0);
  EXPECT_DOUBLE_EQ(fixed.ElementQuantity().ToDouble(), 1.0);
}

TEST_F(CalculationTest, TheElementBaseAnswersWhatTheCalculationReads) {
  zelvproElement element(0, nullptr, plat::RECT{0, 0, 10, 10}, nullptr, 0, 0);
  EXPECT_FALSE(element.QuantityEditable());
  EXPECT_FALSE(element.SeparateLine());
  EXPECT_DOUBLE_EQ(element.ElementQuantity().ToDouble(), 1.0);
  EXPECT_EQ(element.DiscountPercent(), 0);
  // A new element's discount is an amount of 0, not "no value" (which would empty every total).
  EXPECT_EQ(element.DiscountAmount().Raw(), 0);
  EXPECT_TRUE(element.LineText().empty());
  EXPECT_EQ(element.StatusFlags(), 0);
  element.SetSeparateLine(true);
  element.SetDiscountPercent(7);
  element.SetDiscountAmount(Amount(2.5));
  element.SetLineText("note");
  element.height = 720.0f;
  EXPECT_TRUE(element.SeparateLine());
  EXPECT_EQ(element.DiscountPercent(), 7);
  EXPECT_EQ(element.DiscountAmount().Raw(), 25000);
  EXPECT_EQ(element.LineText(), "note");
  EXPECT_FLOAT_EQ(element.SizeValue(), 720.0f);
}

}  // namespace
