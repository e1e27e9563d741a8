#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

#include "CatalogueTestSupport.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproPriceFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "database/HandleList.h"
#include "foundation/PriceRounding.h"
#include "foundation/iDocumentPriceSettings.h"
#include "support/DemoSettings.h"

namespace {

using cattest::AddRecord;
using cattest::CatalogueTest;

// A document without price settings of its own: the preferences' factors apply.
class PlainDocument : public iDocumentPriceSettings {
 public:
  bool HasOwnPriceSettings() const override { return false; }
  double ExchangeFactor() const override { return 1.0; }
  double ProfitFactor() const override { return 1.0; }
  uint32_t RoundingMode() const override { return 0; }
  int64_t RoundingStepRaw() const override { return 0; }
};

class PriceTest : public CatalogueTest {
 protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    db_ = Open();
  }
  void TearDown() override {
    SetCurrentDocumentPriceSettings(nullptr);
    db_.reset();
    CatalogueTest::TearDown();
  }

  zelvproPriceFil& Prices() { return db_->PriceFile(); }
  int32_t AddPrice(int32_t module, int32_t color, const char* optionKey = "", int32_t xprice = 100) {
    return AddRecord(Prices(),
                     {{"module", module}, {"color", color}, {"optionKey", optionKey}, {"xprice", xprice}});
  }
  int64_t RawOf(const char* field) {
    return RecordField(Prices(), field).MoneyRaw(Prices().GetRecordBuffer());
  }
  std::vector<int32_t> Selection() {
    std::vector<int32_t> ids;
    for (int32_t i = 0; i < Prices().GetSelectedCount(); ++i) ids.push_back(Prices().RecordIdAt(i));
    return ids;
  }

  std::unique_ptr<zelvDatabase> db_;
};

TEST_F(PriceTest, WholeHundredthsAndTheExchangeFactorApplyOnRead) {
  PlainDocument document;
  const int32_t whole = AddRecord(Prices(), {{"xprice", 12345}, {"xprice2", 500}});
  Prices().ClearRecordBuffer(nullptr);
  RecordField(Prices(), "price").SetMoneyRaw(Prices().GetRecordBuffer(), 75000);
  cattest::SetField(Prices(), "xprice", 12345);
  int32_t money = 0;
  Prices().AddRecord(&money, nullptr);
  Preferences().useFactors = 1;
  Preferences().exchangeFactor = 2.0f;
  const struct {
    const iDocumentPriceSettings* document;
    int32_t id;
    int64_t price, price2;
  } cases[] = {
      {nullptr, whole, 1234500, 50000},  // no document record file: no factor
      {&document, whole, 2469000, 100000},
      {nullptr, money, 75000, 0},  // a money price wins over the hundredths
      {&document, money, 150000, 0},
  };
  for (const auto& c : cases) {
    SetCurrentDocumentPriceSettings(c.document);
    Prices().ReadRecord(c.id, nullptr);
    EXPECT_EQ(RawOf("price"), c.price) << c.id;
    EXPECT_EQ(RawOf("price2"), c.price2) << c.id;
  }
}

TEST_F(PriceTest, LookupsAreAnsweredFromTheCacheUntilThisTableChangesPrices) {
  const int32_t one = AddPrice(5, 0), two = AddPrice(5, 0), other = AddPrice(6, 0);
  const int32_t first = Prices().LookupPrice(5, 0, 0, 0, nullptr);
  const std::vector<int32_t> selection = Selection();
  ASSERT_EQ(selection.size(), 2u);
  EXPECT_EQ(std::set<int32_t>(selection.begin(), selection.end()), (std::set<int32_t>{one, two}));
  EXPECT_EQ(first, selection[0]);
  const int32_t second = selection[1];
  // Deleted through another view: the cached answer shows that no query was made.
  ppDatafile raw("qxPrice", *db_);
  raw.DeleteRecord(first);
  Prices().SelectAll();
  EXPECT_EQ(Prices().LookupPrice(5, 0, 0, 0, nullptr), first);
  EXPECT_EQ(Selection(), selection);
  EXPECT_EQ(Prices().LookupPrice(5, 0, 0, 0, ""), first);  // null and "" share one entry
  EXPECT_EQ(Prices().CachedKeys(), 1u);
  // A change through this table drops the cache.
  Prices().DeleteRecord(other);
  EXPECT_EQ(Prices().CachedKeys(), 0u);
  EXPECT_EQ(Prices().LookupPrice(5, 0, 0, 0, nullptr), second);
}

TEST_F(PriceTest, AMissIsAskedAgainAndZeroMatchesAnyValue) {
  EXPECT_EQ(Prices().LookupPrice(9, 0, 0, 0, nullptr), 0);
  ppDatafile raw("qxPrice", *db_);
  const int32_t added = AddRecord(raw, {{"module", 9}, {"color", 7}, {"optionKey", "A"}, {"xprice", 1}});
  const struct {
    int32_t color;
    const char* optionKey;
    int32_t found;
  } cases[] = {{0, nullptr, added}, {7, nullptr, added}, {8, nullptr, 0},
               {7, "A", added},     {0, "B", 0},         {0, "", added}};
  for (const auto& c : cases)
    EXPECT_EQ(Prices().LookupPrice(9, c.color, 0, 0, c.optionKey), c.found)
        << c.color << (c.optionKey ? c.optionKey : "-");
}

TEST_F(PriceTest, TheRecordTextNamesUnitColourAndOptionAndLeavesThePricesAlone) {
  PlainDocument document;
  Preferences().useFactors = 1;
  Preferences().exchangeFactor = 2.0f;
  SetCurrentDocumentPriceSettings(&document);
  const int32_t unit = AddRecord(db_->UnitFile(), {{"name1", "Base 60"}, {"number1", "B60"}});
  const int32_t colour = AddRecord(db_->ColorCatalogFile(), {{"number", "12"}, {"name", "Oak"}});
  const int32_t price = AddPrice(unit, colour, "A", 12345);
  Prices().ReadRecord(price, nullptr);
  ASSERT_EQ(RawOf("price"), 2469000);
  Vcon::String text;
  Prices().GetDisplayText(text, nullptr);
  EXPECT_EQ(text, "B60 Base 60, 12 Oak, A");
  EXPECT_EQ(RawOf("price"), 2469000);  // the factor is not applied a second time
  const int32_t named = AddRecord(Prices(), {{"name", "Delivery"}});
  Prices().ReadRecord(named, nullptr);
  Prices().GetDisplayText(text, nullptr);
  EXPECT_EQ(text, "Delivery");
}

TEST_F(PriceTest, RecordsThatAPriceNamesCannotBeDeleted) {
  AddRecord(Prices(), {{"module", 3}, {"color", 4}, {"colorGroup", 5}, {"depth", 6}});
  const struct {
    int32_t fileId, id;
    bool allowed;
  } cases[] = {{5413, 3, false}, {5408, 4, false}, {5425, 5, false}, {5420, 6, false},
               {5413, 4, true},  {5408, 3, true},  {5406, 3, true}};
  for (const auto& c : cases)
    EXPECT_EQ(Prices().AllowsDeleteOf(c.fileId, c.id), c.allowed) << c.fileId << "/" << c.id;
}

TEST_F(PriceTest, ImportingPriceTextThroughTheProgramMapAddsAndChangesRecords) {
  // With a price factor in force the import still keeps the stored prices it does not change.
  PlainDocument document;
  Preferences().useFactors = 1;
  Preferences().exchangeFactor = 2.0f;
  SetCurrentDocumentPriceSettings(&document);
  ppDatafile raw("qxPrice", *db_);
  raw.ClearRecordBuffer(nullptr);
  cattest::SetField(raw, "id", 1);
  cattest::SetField(raw, "module", 5);
  RecordField(raw, "price2").SetMoneyRaw(raw.GetRecordBuffer(), 50000);
  int32_t existing = 0;
  raw.AddRecord(&existing, nullptr);
  ASSERT_EQ(Prices().LookupPrice(5, 0, 0, 0, nullptr), existing);
  const std::string path = (std::filesystem::temp_directory_path() / "planner_prices_import.txt").string();
  {
    std::ofstream text(path, std::ios::binary);
    text << "1\tnew\tVH-1\t5\t0\t2500\n";
    text << "2\tadded\tVH-2\t8\t0\t990\t\t\t\t\t\t\t\tA\n";
  }
  Prices().ImportFromFile(nullptr, dbtest::SpecFor(path));
  std::filesystem::remove(path);
  EXPECT_EQ(Prices().GetRecordCount(), 2);
  EXPECT_EQ(Prices().LookupPrice(5, 0, 0, 0, nullptr), existing);
  raw.ReadRecord(existing, nullptr);
  EXPECT_EQ(cattest::LongField(raw, "xprice"), 2500);
  EXPECT_EQ(RecordField(raw, "price2").MoneyRaw(raw.GetRecordBuffer()), 50000);  // stored as it was
  const int32_t added = Prices().LookupPrice(8, 0, 0, 0, "A");
  ASSERT_NE(added, 0);
  Prices().ReadRecord(added, nullptr);
  EXPECT_EQ(RawOf("price"), 198000);
}

class DemoPriceTest : public CatalogueTest {
 protected:
  DemoSettings demo_;
};

// Every demo unit has a price above 0, but a unit priced through its parts (unit flag 1): it has none
// of its own, and every part its parts list names has one.
TEST_F(DemoPriceTest, EveryDemoUnitHasAPrice) {
  Preferences().languageCode = 1033;
  ppFileSpec file(Vcon::WString(demo_.File("catalogs/kitchen.cdb").string().c_str()));
  zelvDatabase db(file);
  zelvproUnitFil& units = db.UnitFile();
  units.SelectAll();
  ASSERT_GT(units.GetSelectedCount(), 0);
  std::vector<int32_t> priced, throughParts;
  for (int32_t i = 0; i < units.GetSelectedCount(); ++i) {
    const int32_t unit = units.RecordIdAt(i);
    units.ReadRecord(unit, nullptr);
    const char* b = units.GetRecordBuffer();
    if ((RecordField(units, "flags").Long(b) & 1) == 0) {
      priced.push_back(unit);
      continue;
    }
    throughParts.push_back(unit);
    const std::vector<int32_t> parts = RecordField(units, "partsList").Words(b);
    ASSERT_FALSE(parts.empty()) << unit;
    for (size_t at = 0; at + 3 <= parts.size(); at += 3) {
      EXPECT_GT(parts[at + 1], 0) << unit << ": a part's count";
      priced.push_back(parts[at]);
    }
    EXPECT_EQ(db.PriceFile().LookupPrice(unit, 0, 0, 0, nullptr), 0) << unit << " has a price of its own";
  }
  EXPECT_GE(throughParts.size(), 1u);
  for (const int32_t unit : priced) {
    const int32_t price = db.PriceFile().LookupPrice(unit, 0, 0, 0, nullptr);
    ASSERT_NE(price, 0) << unit;
    db.PriceFile().ReadRecord(price, nullptr);
    EXPECT_GT(RecordField(db.PriceFile(), "price").MoneyRaw(db.PriceFile().GetRecordBuffer()), 0) << unit;
  }
}

}  // namespace
