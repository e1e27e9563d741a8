// Merging plan contributions into calculation lines, taking elements out again, emptying the element
// lines before a rebuild, and the article list.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>

#include "CalculationTestSupport.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/base/zelvproElement.h"
#include "foundation/FileFaultHook.h"

namespace {

using calctest::Amount;
using calctest::CalculationTest;
using cattest::Fields;

void SetFields(ppDatafile& table, Fields fields) {
  for (const auto& [name, value] : fields) cattest::SetField(table, name, value);
}

std::unique_ptr<zelvproElement> NewElement() {
  return std::make_unique<zelvproElement>(0, nullptr, plat::RECT{0, 0, 10, 10}, nullptr, 0, 0);
}

class CalculatorMergeTest : public CalculationTest {
 protected:
  void SetUp() override {
    CalculationTest::SetUp();
    iApplicationSettings::Install(&settings_);
    Calc().BeginAccess();
  }
  void TearDown() override {
    iApplicationSettings::Install(nullptr);
    CalculationTest::TearDown();
  }

  // One contribution as an element hands it over: a priced item line of the first catalogue's unit.
  void Contribute(zelvproElement* element, double pieces, Fields extra = {}) {
    zelvproCalculatorFil& calc = Calc();
    calc.ClearBuffer();
    SetFields(calc, {{"type", 1},
                     {"unitID", first_.unit},
                     {"priceID", first_.price},
                     {"colorID", first_.colour},
                     {"topViewID", 7},
                     {"price", Amount(200.0)},
                     {"price2", Amount(150.0)},
                     {"pcs", DecimalNumber(pieces)}});
    SetFields(calc, extra);
    calc.AddLine({element, &Db(1)});
  }

  double Pieces(int32_t line) { return Read(line, "pcs").ToQuantity().ToDouble(); }
  std::vector<int32_t> Listed(int32_t line) {
    Calc().ReadRecordAt(line, nullptr);
    return RecordField(Calc(), "elements").Words(Calc().GetRecordBuffer());
  }
  int32_t Count() { return Calc().GetRecordCount(); }

  iApplicationSettings settings_;
};

TEST_F(CalculatorMergeTest, EqualContributionsShareALineByEveryKey) {
  auto a = NewElement(), b = NewElement();
  Contribute(a.get(), 2.0);
  Contribute(b.get(), 5.0);
  ASSERT_EQ(Count(), 1);
  // The second element adds its own quantity (a unit priced by the metre adds its metres).
  EXPECT_DOUBLE_EQ(Pieces(0), 7.0);
  EXPECT_EQ(Listed(0), (std::vector<int32_t>{Calc().ElementKey(a.get()), Calc().ElementKey(b.get())}));

  // Any other merge key, or a numbered contribution, makes a line of its own.
  struct Case {
    const char* field;
    int32_t value;
  };
  for (const Case& c : {Case{"delivery", 4}, Case{"sort5", 2}, Case{"number", 3}}) {
    SCOPED_TRACE(c.field);
    Calc().ResetElementLines();
    const int32_t before = Count();
    auto other = NewElement();
    Contribute(other.get(), 1.0, {{c.field, c.value}});
    EXPECT_EQ(Count(), before + 1);
  }
}

// Equal contributions of 1.5 (a worktop 1500 mm long priced by the metre) share a line of 3; each
// element taken out takes its 1.5 again, also after the list was emptied and filled again.
TEST_F(CalculatorMergeTest, AnElementTakenOutTakesTheQuantityItAdded) {
  auto a = NewElement(), b = NewElement(), c = NewElement();
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    Calc().ResetElementLines();
    Contribute(a.get(), 1.5);
    Contribute(b.get(), 1.5);
    ASSERT_EQ(Count(), 1);
    EXPECT_DOUBLE_EQ(Pieces(0), 3.0);
  }
  Calc().RemoveElementLines(a.get());
  EXPECT_DOUBLE_EQ(Pieces(0), 1.5);
  Contribute(a.get(), 1.5);
  Contribute(c.get(), 1.5);
  EXPECT_DOUBLE_EQ(Pieces(0), 4.5);
  Calc().RemoveElementLines(b.get());
  Calc().RemoveElementLines(c.get());
  EXPECT_DOUBLE_EQ(Pieces(0), 1.5);
  Calc().RemoveElementLines(a.get());
  EXPECT_DOUBLE_EQ(Pieces(0), 0.0);
  EXPECT_TRUE(Listed(0).empty());
}

TEST_F(CalculatorMergeTest, MergeModeMatchesByArticleAndTakesTheNewerPrices) {
  settings_.flags1 = zelvproCalculatorFil::kMergeByArticle;
  auto a = NewElement(), b = NewElement(), c = NewElement();
  Contribute(a.get(), 2.0, {{"delivery", 1}});
  Contribute(b.get(), 5.0,
             {{"delivery", 2}, {"sort5", 9}, {"price", Amount(210.0)}, {"price2", Amount(160.0)}});
  ASSERT_EQ(Count(), 1);
  EXPECT_DOUBLE_EQ(Pieces(0), 7.0);
  EXPECT_EQ(RawMoney(0, "price"), Amount(210.0).Raw());
  EXPECT_EQ(RawMoney(0, "price2"), Amount(160.0).Raw());
  // A different dimensions text, a numbered contribution and one without a price link stay apart.
  Contribute(c.get(), 1.0, {{"dimensions", Vcon::WString(u"60 x 72")}});
  Contribute(c.get(), 1.0, {{"number", 3}});
  Contribute(c.get(), 1.0, {{"priceID", 0}});
  Contribute(c.get(), 1.0, {{"priceID", 0}});
  EXPECT_EQ(Count(), 5);
}

TEST_F(CalculatorMergeTest, SeparateLineElementKeepsOneLineOfItsQuantity) {
  auto a = NewElement(), other = NewElement();
  a->SetSeparateLine(true);
  a->SetElementQuantity(DecimalNumber(4.0));
  EXPECT_TRUE(a->DiffersFromRecord(other.get()));
  EXPECT_FALSE(other->DiffersFromRecord(NewElement().get()));
  Contribute(other.get(), 1.0);
  Contribute(a.get(), 1.0);
  Contribute(a.get(), 1.0);
  ASSERT_EQ(Count(), 2);
  EXPECT_DOUBLE_EQ(Pieces(0), 1.0);
  EXPECT_DOUBLE_EQ(Pieces(1), 4.0);
  // The discount the user gives the line stays when the next rebuild rewrites it.
  Write(1, "discountPct", ppParameter(-10.0f));
  Calc().ResetElementLines();
  Contribute(a.get(), 1.0);
  EXPECT_FLOAT_EQ(Read(1, "discountPct").ToFloat(), -10.0f);
  EXPECT_EQ(RawMoney(1, "discount"), Amount(-20.0).Raw());
}

TEST_F(CalculatorMergeTest, ASeparateLineAddedAgainStillListsItsElementAndLeavesWithIt) {
  auto a = NewElement();
  a->SetSeparateLine(true);
  a->SetElementQuantity(DecimalNumber(3.0));
  // Added, added again over its own line, and added again after the list was emptied by a reset.
  Contribute(a.get(), 1.0);
  Contribute(a.get(), 1.0);
  EXPECT_EQ(Listed(0), (std::vector<int32_t>{Calc().ElementKey(a.get())}));
  EXPECT_EQ(Calc().FindLineOfElement(a.get()), 0);
  Calc().ResetElementLines();
  Contribute(a.get(), 1.0);
  ASSERT_EQ(Count(), 1);
  EXPECT_EQ(Calc().FindLineOfElement(a.get()), 0);
  // Taking the element out takes its whole quantity: nothing of it stays on the bill.
  Calc().RemoveElementLines(a.get());
  EXPECT_DOUBLE_EQ(Pieces(0), 0.0);
  EXPECT_TRUE(Listed(0).empty());
}

TEST_F(CalculatorMergeTest, ADestroyedElementLeavesNoReferenceInTheLines) {
  iCalculationList::Install(&Calc());
  auto a = NewElement();
  Contribute(a.get(), 1.0);
  const int32_t key = Calc().ElementKey(a.get());
  a.reset();
  iCalculationList::Install(nullptr);
  EXPECT_EQ(Calc().LineRefsAt(0).element, nullptr);
  EXPECT_EQ(Calc().ElementOfKey(key), nullptr);
  // A later element, whatever its address, is in no line until it contributes.
  auto b = NewElement();
  EXPECT_EQ(Calc().FindLineOfElement(b.get()), -1);
  EXPECT_NE(Calc().ElementKey(b.get()), key);
}

TEST_F(CalculatorMergeTest, NewLineTakesTheElementsDiscountAndText) {
  struct Case {
    int32_t percent;
    double amount;
    double discount;
  };
  for (const Case& c : {Case{10, 3.0, 20.0}, Case{0, 7.5, 7.5}}) {
    auto element = NewElement();
    element->SetDiscountPercent(c.percent);
    element->SetDiscountAmount(Amount(c.amount));
    element->SetLineText("Left hinged");
    Contribute(element.get(), 1.0, {{"sort5", c.percent + 1}});
    const int32_t line = Count() - 1;
    EXPECT_EQ(RawMoney(line, "discount"), Amount(c.discount).Raw()) << c.percent;
    EXPECT_EQ(Text(line, "ttext"), "Left hinged");
    EXPECT_EQ(Read(line, "databaseID").ToLong(), 1);
  }
}

TEST_F(CalculatorMergeTest, RemovingAndResettingElementLines) {
  auto a = NewElement(), b = NewElement(), stranger = NewElement();
  Contribute(a.get(), 1.0);
  Contribute(b.get(), 1.0);
  Contribute(a.get(), 1.0);
  Contribute(a.get(), 1.0, {{"sort5", 5}});
  AddLine({{"type", 8}, {"pcs", DecimalNumber(6.0)}});  // the user's own line
  ASSERT_EQ(Count(), 3);
  EXPECT_DOUBLE_EQ(Pieces(0), 3.0);

  Calc().RemoveElementLines(stranger.get());
  EXPECT_DOUBLE_EQ(Pieces(0), 3.0);
  EXPECT_EQ(Calc().FindLineOfElement(stranger.get()), -1);

  EXPECT_EQ(Calc().FindLineOfElement(a.get()), 0);
  Calc().RemoveElementLines(a.get());
  EXPECT_DOUBLE_EQ(Pieces(0), 1.0);
  EXPECT_EQ(Listed(0), std::vector<int32_t>{Calc().ElementKey(b.get())});
  EXPECT_DOUBLE_EQ(Pieces(1), 0.0);  // stays until the next line building
  EXPECT_EQ(Calc().FindLineOfElement(a.get()), -1);

  Calc().ResetElementLines();
  EXPECT_DOUBLE_EQ(Pieces(0), 0.0);
  EXPECT_TRUE(Listed(0).empty());
  EXPECT_DOUBLE_EQ(Pieces(2), 6.0);
}

TEST_F(CalculatorMergeTest, ArticleListWritesWholeQuantitiesOverTheOldFile) {
  const int32_t second =
      cattest::AddRecord(Db(1).PriceFile(), {{"module", first_.unpricedUnit}, {"orderno", "B2"}});
  const int32_t a1 = cattest::AddRecord(Db(1).PriceFile(), {{"module", first_.unit}, {"orderno", "A1"}});
  AddLine(
      {{"type", 1}, {"unitID", first_.unit}, {"priceID", a1}, {"databaseID", 1}, {"pcs", DecimalNumber(3.0)}},
      {nullptr, &Db(1)});
  AddLine({{"type", 9}, {"pcs", DecimalNumber(2.0)}});  // unpriced: not listed
  AddLine({{"type", 1},
           {"unitID", first_.unpricedUnit},
           {"priceID", second},
           {"databaseID", 1},
           {"pcs", DecimalNumber(1.5)}},
          {nullptr, &Db(1)});
  const std::string path = Path("articles.txt");
  std::ofstream(path, std::ios::binary) << "a much longer file that was here before\r\n";
  ppFileSpec file = dbtest::SpecFor(path);
  Calc().ExportArticleList(file);
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  EXPECT_EQ(bytes.str(), "A1\t3\r\nB2\t1\r\n");
  // A missing file is made.
  std::remove(path.c_str());
  Calc().ExportArticleList(file);
  EXPECT_EQ(std::ifstream(path, std::ios::binary).peek(), 'A');
  // A write that fails (a full disk) reports it and leaves the previous list whole, with no leftover.
  std::ofstream(path, std::ios::binary) << "the previous list\r\n";
  Vcon::SetFileFaultHook([](Vcon::FileOp op, const char*) {
    if (op == Vcon::FileOp::Write) throw int32_t(-34);
  });
  EXPECT_THROW(Calc().ExportArticleList(file), int32_t);
  Vcon::SetFileFaultHook(nullptr);
  std::ifstream again(path, std::ios::binary);
  std::stringstream kept;
  kept << again.rdbuf();
  EXPECT_EQ(kept.str(), "the previous list\r\n");
  EXPECT_FALSE(std::filesystem::exists(path + ".saving"));
}

// The index must answer what reading every line answers: the same plan merged both ways leaves the
// same lines, in the same order, after additions and removals.
TEST_F(CalculatorMergeTest, IndexedMergingEqualsTheWalkOnRandomPlans) {
  for (uint32_t flags : {0u, zelvproCalculatorFil::kMergeByArticle}) {
    settings_.flags1 = flags;
    std::vector<std::unique_ptr<zelvproElement>> elements;
    for (int32_t i = 0; i < 300; ++i) elements.push_back(NewElement());
    Handle walkBlob = NewHandle();
    {
      zelvproCalculatorFil walk(Db(1), walkBlob);
      walk.SetPlainWalk(true);
      std::mt19937 random(83 + flags);
      auto contribute = [&](zelvproCalculatorFil& calc, zelvproElement* element, int32_t variant) {
        calc.ClearBuffer();
        SetFields(calc, {{"type", 1},
                         {"unitID", first_.unit},
                         {"priceID", variant % 3 == 0 ? 0 : first_.price},
                         {"topViewID", variant % 2},
                         {"sort5", variant % 5},
                         {"tag", variant % 4 == 0 ? 5 : 0},
                         {"pcs", DecimalNumber(double(1 + variant % 3))}});
        calc.AddLine({element, &Db(1)});
      };
      for (int32_t step = 0; step < 1200; ++step) {
        zelvproElement* element = elements[random() % elements.size()].get();
        const int32_t variant = int32_t(random() % 30);
        if (step == 600) {
          walk.ResetElementLines();
          Calc().ResetElementLines();
        }
        if (random() % 4 == 0) {
          walk.RemoveElementLines(element);
          Calc().RemoveElementLines(element);
        } else {
          if (variant == 7) element->SetSeparateLine(!element->SeparateLine());
          contribute(walk, element, variant);
          contribute(Calc(), element, variant);
        }
      }
      ASSERT_EQ(walk.GetRecordCount(), Calc().GetRecordCount());
      const RecordField sort5(walk, "sort5"), tag(walk, "tag");
      for (int32_t i = 0; i < walk.GetRecordCount(); ++i) {
        walk.ReadRecordAt(i, nullptr);
        Calc().ReadRecordAt(i, nullptr);
        char* w = walk.GetRecordBuffer();
        char* c = Calc().GetRecordBuffer();
        EXPECT_EQ(RecordField(walk, "pcs").Quantity(w), RecordField(walk, "pcs").Quantity(c)) << i;
        EXPECT_EQ(sort5.Long(w), sort5.Long(c)) << i;
        EXPECT_EQ(tag.Long(w), tag.Long(c)) << i;
        std::vector<zelvproElement*> listedWalk, listedIndexed;
        for (int32_t key : RecordField(walk, "elements").Words(w))
          listedWalk.push_back(walk.ElementOfKey(key));
        for (int32_t key : RecordField(walk, "elements").Words(c))
          listedIndexed.push_back(Calc().ElementOfKey(key));
        EXPECT_EQ(listedWalk, listedIndexed) << i;
      }
      EXPECT_LT(Calc().LinesRead() * 3, walk.LinesRead());
      while (Calc().GetRecordCount() > 0) Calc().DeleteRecordAt(0);
    }
    MemDispose(walkBlob);
  }
}

}  // namespace
