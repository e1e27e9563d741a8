// Plan elements adding and removing their own lines through the real line table.
#include <gtest/gtest.h>

#include "calculation/zelvproCalculatorFil.h"
#include "catalogue/records/zelvproPriceFil.h"
#include "elements/topview/TopViewTestSupport.h"

namespace {

class CalculatorElementsTest : public tvtest::TopViewTest {
 protected:
  void TearDown() override {
    iCalculationList::Install(nullptr);
    calc_.reset();
    if (blob_ != nullptr) MemDispose(blob_);
    TopViewTest::TearDown();
  }
  zelvproCalculatorFil& Table(zelvDatabase& db) {
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

}  // namespace
