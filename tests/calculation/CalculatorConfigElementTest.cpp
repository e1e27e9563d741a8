// A configurable element's own price line and its children's lines, through the real line table
// (the elements' own case runs against a recording list).
#include <gtest/gtest.h>

#include <memory>

#include "calculation/zelvproCalculatorFil.h"
#include "elements/units/GroupsTestSupport.h"
#include "elements/units/zelvproConfigElement.h"

namespace {

class CalculatorConfigElementTest : public unittest::SweepingUnitsTest {
 protected:
  void SetUp() override {
    SweepingUnitsTest::SetUp();
    Vcon_HandleManager::MemNew(&blob_, 0);
    calc_ = std::make_unique<zelvproCalculatorFil>(*db_, blob_);
    calc_->SetTextsFrozen(true);
    iCalculationList::Install(calc_.get());
  }
  void TearDown() override {
    iCalculationList::Install(nullptr);
    calc_.reset();
    MemDispose(blob_);
    SweepingUnitsTest::TearDown();
  }
  int32_t ConfigRecord() {
    const int32_t a = AddShape(*db_, {0, 0, 100, 0, 100, 50});
    return AddTopView(*db_, {{"Type", 4}, {"ID", 900}},
                      {{"Subelements", eltest::Join({eltest::PieceEntry(a, 0, 0)})}});
  }
  zelvproConfigElement* MakeConfig(int32_t record) {
    auto* element = dynamic_cast<zelvproConfigElement*>(Make(*db_, record));
    EXPECT_NE(element, nullptr);
    return element;
  }
  struct Line {
    zelvproElement* element;
    int32_t type, topViewID;
    double pcs;
    int64_t price;
    friend bool operator==(const Line&, const Line&) = default;
  };
  // The lines with a quantity (those a rebuild keeps).
  std::vector<Line> Billed() {
    std::vector<Line> lines;
    for (int32_t i = 0; i < calc_->GetRecordCount(); ++i) {
      calc_->ReadRecordAt(i, nullptr);
      const char* b = calc_->GetRecordBuffer();
      const double pcs = RecordField(*calc_, "pcs").Quantity(b).ToDouble();
      if (pcs == 0.0) continue;
      lines.push_back({calc_->LineRefsAt(i).element, RecordField(*calc_, "type").Long(b),
                       RecordField(*calc_, "topViewID").Long(b), pcs,
                       RecordField(*calc_, "price").MoneyRaw(b)});
    }
    return lines;
  }

  Handle blob_ = nullptr;
  std::unique_ptr<zelvproCalculatorFil> calc_;
};

TEST_F(CalculatorConfigElementTest, ItsOwnLineCarriesItsPriceAndAnUnpricedElementStillPricesItsChildren) {
  const int32_t record = ConfigRecord();
  std::unique_ptr<zelvproConfigElement> element(MakeConfig(record));
  zelvproConfigElement* child = MakeConfig(record);
  element->AddSubview(child);
  element->calculate = child->calculate = 1;
  element->price = ppMoney::FromRaw(1234500);
  child->price = ppMoney::FromRaw(10000);

  element->AddToCalculation();
  // Different prices: two lines.
  EXPECT_EQ(Billed(),
            (std::vector<Line>{{element.get(), 2, record, 1.0, 1234500}, {child, 2, record, 1.0, 10000}}));

  // Unpriced and rebuilt: the own line drops to 0 pieces (it stays until the list is rebuilt) and
  // the child's line is counted again.
  element->calculate = 0;
  element->AddToCalculation();
  EXPECT_EQ(Billed(), (std::vector<Line>{{child, 2, record, 1.0, 10000}}));
  EXPECT_EQ(calc_->GetRecordCount(), 2);
}

}  // namespace
