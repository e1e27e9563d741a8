// The demo kitchen's "Island set 120 cm" in the price list, over the built demo catalogue: the set
// is sold at its own price, and its two base units, which stand in the plan as its parts, add no
// second price for the same cabinets.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "calculation/zelvproCalculatorFil.h"
#include "elements/topview/TopViewTestSupport.h"
#include "support/DemoSettings.h"

namespace {

using Calc = zelvproCalculatorFil;

class DemoSetPriceTest : public tvtest::TopViewTest {
 protected:
  void SetUp() override {
    TopViewTest::SetUp();
    ppFileSpec file{Vcon::WString(demo_.File("catalogs/kitchen.cdb").string().c_str())};
    db_ = std::make_unique<zelvDatabase>(file);
    host_.databases[db_->Identifier()] = db_.get();
    Vcon_HandleManager::MemNew(&blob_, 0);
    calc_ = std::make_unique<Calc>(*db_, blob_);
    calc_->SetTextsFrozen(true);
    iCalculationList::Install(calc_.get());
  }
  void TearDown() override {
    placed_.clear();
    iCalculationList::Install(nullptr);
    calc_.reset();
    if (blob_ != nullptr) MemDispose(blob_);
    host_.databases.clear();
    db_.reset();
    TopViewTest::TearDown();
  }

  // A unit of the catalogue by its top view's name, placed in the plan and priced.
  zelvproTopViewElement& Place(const std::string& name) {
    zelvproTopViewFil& items = db_->TopViewFile();
    items.SelectAll();
    int32_t id = 0;
    for (int32_t i = 0; i < items.GetSelectedCount() && id == 0; ++i) {
      items.ReadRecordAt(i, nullptr);
      if (RecordField(items, "Name").Text(items.GetRecordBuffer()) == name) id = items.RecordIdAt(i);
    }
    EXPECT_NE(id, 0) << name;
    placed_.push_back(MakeOwned(*db_, id));
    placed_.back()->AddToCalculation();
    return *placed_.back();
  }
  int32_t UnitId(const char* number) {
    zelvproUnitFil& units = db_->UnitFile();
    units.SelectAll();
    for (int32_t i = 0; i < units.GetSelectedCount(); ++i) {
      units.ReadRecordAt(i, nullptr);
      if (RecordField(units, "number1").Text(units.GetRecordBuffer()) == number) return units.RecordIdAt(i);
    }
    return 0;
  }

  // (type, unit, total in whole units) of every line of the built list but the blank and note lines.
  std::vector<std::tuple<int32_t, int32_t, double>> Built() {
    calc_->BeginAccess();
    calc_->BuildLines();
    std::vector<std::tuple<int32_t, int32_t, double>> lines;
    const RecordField type(*calc_, "type"), unit(*calc_, "unitID"), total(*calc_, "total");
    for (int32_t i = 0; i < calc_->GetRecordCount(); ++i) {
      calc_->ReadRecordAt(i, nullptr);
      const char* b = calc_->GetRecordBuffer();
      if (type.Long(b) == Calc::kEmptyLine || type.Long(b) == Calc::kNoteLine) continue;
      lines.emplace_back(type.Long(b), unit.Long(b), ppMoney::FromRaw(total.MoneyRaw(b)).ToDouble());
    }
    return lines;
  }

  DemoSettings demo_;
  std::unique_ptr<zelvDatabase> db_;
  Handle blob_ = nullptr;
  std::unique_ptr<Calc> calc_;
  std::vector<std::unique_ptr<zelvproTopViewElement>> placed_;
};

TEST_F(DemoSetPriceTest, TheIslandSetIsPricedOnceByItsOwnLine) {
  const int32_t set = UnitId("VH-GRP"), base = UnitId("VH-B60");
  ASSERT_NE(set, 0);
  ASSERT_NE(base, 0);
  zelvproTopViewElement& island = Place("GRP");
  // The set still stands in the plan as its two base units.
  int32_t parts = 0;
  const ppViewList& children = island.Subviews();
  for (int32_t i = 0; i < children.Count(); ++i) {
    auto* part = dynamic_cast<zelvproTopViewElement*>(children.At(i));
    if (part != nullptr && part->GetUnitRecordId() == base) ++parts;
  }
  EXPECT_EQ(parts, 2);
  using Line = std::tuple<int32_t, int32_t, double>;
  EXPECT_EQ(Built(),
            (std::vector<Line>{{Calc::kCalculationItem, set, 3390.0}, {Calc::kTotalLine, 0, 3390.0}}));

  // A base unit 60 cm of its own, next to the set, keeps its own line and price.
  Place("B60");
  EXPECT_EQ(Built(), (std::vector<Line>{{Calc::kCalculationItem, base, 1695.0},
                                        {Calc::kCalculationItem, set, 3390.0},
                                        {Calc::kTotalLine, 0, 5085.0}}));
}

}  // namespace
