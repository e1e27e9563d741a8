// Units of the built demo catalogue placed as the palette places them and priced into a price list of
// their own: the fixture of the tests that read the demo kitchen's price list.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "calculation/zelvproCalculatorFil.h"
#include "catalogue/records/zelvproPriceFil.h"
#include "elements/topview/TopViewTestSupport.h"
#include "support/DemoSettings.h"

namespace demotest {

class DemoCalculationTest : public tvtest::TopViewTest {
 protected:
  using Calc = zelvproCalculatorFil;

  // One line of the built list: its type, unit, line total (whole units), volume and weight (as
  // stored, in thousandths of what the list shows).
  struct Line {
    int32_t type, unit;
    double total;
    int32_t volume, weight;
  };

  void SetUp() override {
    TopViewTest::SetUp();
    ppFileSpec file{Vcon::WString(demo_.File("catalogs/kitchen.cdb").string().c_str())};
    db_ = std::make_unique<zelvDatabase>(file);
    host_.databases[db_->Identifier()] = db_.get();
    Vcon_HandleManager::MemNew(&blob_, 0);
    calc_ = std::make_unique<Calc>(*db_, blob_);
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

  // The record id of the record of `file` whose text field `field` is `value`; 0 when none is.
  static int32_t RecordWith(ppDatafile& file, const char* field, const std::string& value) {
    file.SelectAll();
    for (int32_t i = 0; i < file.GetSelectedCount(); ++i) {
      file.ReadRecordAt(i, nullptr);
      if (RecordField(file, field).Text(file.GetRecordBuffer()) == value) return file.RecordIdAt(i);
    }
    return 0;
  }
  int32_t UnitId(const char* number) { return RecordWith(db_->UnitFile(), "number1", number); }

  // The element of top-view record `topView`, made as the palette makes it, placed and priced.
  zelvproTopViewElement& Place(int32_t topView) {
    placed_.push_back(MakeOwned(*db_, topView));
    EXPECT_NE(placed_.back(), nullptr) << topView;
    placed_.back()->AddToCalculation();
    return *placed_.back();
  }
  // A unit of the catalogue by its top view's name.
  zelvproTopViewElement& Place(const std::string& name) {
    const int32_t id = RecordWith(db_->TopViewFile(), "Name", name);
    EXPECT_NE(id, 0) << name;
    return Place(id);
  }

  // Every line of the list the placed units make, rebuilt as the plan rebuilds it, but the blank
  // and note lines, in list order.
  std::vector<Line> Lines() {
    calc_->BeginAccess();
    calc_->ResetElementLines();
    for (const auto& unit : placed_) unit->AddToCalculation();
    calc_->SortLinesForTags();
    calc_->BuildLines();
    std::vector<Line> lines;
    const RecordField type(*calc_, "type"), unit(*calc_, "unitID"), total(*calc_, "total"),
        volume(*calc_, "volumeTotal"), weight(*calc_, "weightTotal");
    for (int32_t i = 0; i < calc_->GetRecordCount(); ++i) {
      calc_->ReadRecordAt(i, nullptr);
      calc_->BuildLineTexts(nullptr);  // as the list does before it shows a line
      const char* b = calc_->GetRecordBuffer();
      if (type.Long(b) == Calc::kEmptyLine || type.Long(b) == Calc::kNoteLine) continue;
      lines.push_back({type.Long(b), unit.Long(b), ppMoney::FromRaw(total.MoneyRaw(b)).ToDouble(),
                       volume.Long(b), weight.Long(b)});
    }
    return lines;
  }
  // (type, unit, total in whole units) of every line of the built list but the blank and note lines.
  std::vector<std::tuple<int32_t, int32_t, double>> Built() {
    std::vector<std::tuple<int32_t, int32_t, double>> out;
    for (const Line& l : Lines()) out.emplace_back(l.type, l.unit, l.total);
    return out;
  }
  // A field of line `index` of the list as the list shows it.
  std::string Shown(int32_t index, const char* field) {
    calc_->BeginAccess();
    calc_->ReadRecordAt(index, nullptr);
    calc_->BuildLineTexts(nullptr);
    ppParameter value;
    calc_->GetFieldValue(calc_->IndexOf(field), value, nullptr);
    return value.AsWString().Narrow();
  }

  DemoSettings demo_;
  std::unique_ptr<zelvDatabase> db_;
  Handle blob_ = nullptr;
  std::unique_ptr<Calc> calc_;
  std::vector<std::unique_ptr<zelvproTopViewElement>> placed_;
};

}  // namespace demotest
