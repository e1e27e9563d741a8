// The price lookup narrows by unit, colour, colour group, depth and option key, each on its own, and
// keeps one cache entry per whole key; every change made through the table is seen by the next lookup.
#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <set>
#include <string>

#include "CatalogueTestSupport.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproColorGroupFil.h"
#include "catalogue/records/zelvproDepthFil.h"
#include "catalogue/records/zelvproPriceFil.h"

namespace {

using cattest::AddRecord;
using Ids = std::set<int32_t>;

class PriceLookupTest : public cattest::CatalogueTest {
 protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    db_ = Open();
  }
  void TearDown() override {
    db_.reset();
    CatalogueTest::TearDown();
  }

 public:
  zelvproPriceFil& Prices() { return db_->PriceFile(); }
  int32_t Add(int32_t module, int32_t color, int32_t group, int32_t depth, const char* option = "") {
    return AddRecord(Prices(), {{"module", module},
                                {"color", color},
                                {"colorGroup", group},
                                {"depth", depth},
                                {"optionKey", option},
                                {"xprice", 100}});
  }
  // The lookup's selection as a set, and its answer, which must be the selection's first id.
  Ids Lookup(int32_t module, int32_t color, int32_t group, int32_t depth, const char* option = nullptr) {
    const int32_t first = Prices().LookupPrice(module, color, group, depth, option);
    Ids ids;
    for (int32_t i = 0; i < Prices().GetSelectedCount(); ++i) ids.insert(Prices().RecordIdAt(i));
    EXPECT_EQ(first, ids.empty() ? 0 : Prices().RecordIdAt(0));
    return ids;
  }

  std::unique_ptr<zelvDatabase> db_;
};

TEST_F(PriceLookupTest, EveryKeyNarrowsOnItsOwnFieldAndKeepsItsOwnCacheEntry) {
  const int32_t depth10 = Add(5, 1, 0, 10), depth11 = Add(5, 1, 0, 11);
  const int32_t colour2 = Add(5, 2, 0, 10);
  const int32_t group3 = Add(5, 0, 3, 10), group4 = Add(5, 0, 4, 10);
  const int32_t optionX = Add(5, 1, 0, 10, "X");
  const int32_t otherUnit = Add(6, 1, 0, 10);
  const struct {
    int32_t color, group, depth;
    const char* option;
    Ids found;
  } cases[] = {
      {1, 0, 10, nullptr, {depth10, optionX}},  // no option key narrows nothing
      {1, 0, 11, nullptr, {depth11}},           // differs from the first only in depth
      {0, 0, 11, nullptr, {depth11}},
      {0, 0, 12, nullptr, {}},
      {2, 0, 10, nullptr, {colour2}},
      {2, 0, 11, nullptr, {}},
      {0, 3, 10, nullptr, {group3}},
      {0, 4, 0, nullptr, {group4}},
      {0, 3, 11, nullptr, {}},
      {1, 0, 10, "X", {optionX}},
      {1, 0, 11, "X", {}},
      {0, 0, 0, nullptr, {depth10, depth11, colour2, group3, group4, optionX}},
  };
  // Twice over: the second round is answered from the cache and must give the same answers.
  for (int round = 0; round < 2; ++round) {
    for (const auto& c : cases)
      EXPECT_EQ(Lookup(5, c.color, c.group, c.depth, c.option), c.found)
          << round << ": " << c.color << "/" << c.group << "/" << c.depth << "/"
          << (c.option ? c.option : "-");
  }
  EXPECT_EQ(Prices().CachedKeys(), std::size(cases));  // one entry per key asked
  EXPECT_EQ(Lookup(6, 1, 0, 10), Ids{otherUnit});
  EXPECT_EQ(Lookup(6, 1, 0, 11), Ids{});
}

TEST_F(PriceLookupTest, EveryChangeThroughTheTableIsSeenByTheNextLookup) {
  // What a lookup of unit 5 or unit 7 finds after the change: how many prices, and whether the
  // first price is one of them.
  struct Finds {
    size_t count;
    bool thePrice;
  };
  const Finds nothing{0, false}, thePrice{1, true}, both{2, true};
  struct Change {
    const char* name;
    std::function<void(PriceLookupTest&, int32_t price)> apply;
    Finds unit5, unit7;
  };
  const Change changes[] = {
      {"rewritten to unit 7",
       [](PriceLookupTest& t, int32_t price) {
         t.Prices().ReadRecord(price, nullptr);
         cattest::SetField(t.Prices(), "module", 7);
         t.Prices().WriteRecord(price, nullptr);
       },
       nothing, thePrice},
      {"rewritten at its position",
       [](PriceLookupTest& t, int32_t price) {
         t.Prices().SelectAll();
         const int32_t at = t.Prices().IndexOfRecord(price);
         t.Prices().ReadRecordAt(at, nullptr);
         cattest::SetField(t.Prices(), "module", 7);
         t.Prices().WriteRecordAt(at, nullptr);
       },
       nothing, thePrice},
      {"deleted", [](PriceLookupTest& t, int32_t price) { t.Prices().DeleteRecord(price); }, nothing,
       nothing},
      {"deleted at its position",
       [](PriceLookupTest& t, int32_t price) {
         t.Prices().SelectAll();
         t.Prices().DeleteRecordAt(t.Prices().IndexOfRecord(price));
       },
       nothing, nothing},
      {"another added", [](PriceLookupTest& t, int32_t) { t.Add(5, 0, 0, 0); }, both, nothing},
      {"another inserted",
       [](PriceLookupTest& t, int32_t) {
         t.Prices().SelectAll();
         t.Prices().ClearRecordBuffer(nullptr);
         cattest::SetField(t.Prices(), "module", 5);
         t.Prices().InsertRecordAt(0, nullptr);
       },
       both, nothing},
  };
  for (const Change& change : changes) {
    const int32_t price = Add(5, 0, 0, 0);
    // Both keys are asked first, so that a stale answer would come from the cache.
    ASSERT_EQ(Lookup(5, 0, 0, 0), Ids{price}) << change.name;
    ASSERT_EQ(Lookup(7, 0, 0, 0), Ids{}) << change.name;
    change.apply(*this, price);
    for (const auto& [unit, finds] : {std::pair{5, change.unit5}, std::pair{7, change.unit7}}) {
      const Ids found = Lookup(unit, 0, 0, 0);
      EXPECT_EQ(found.size(), finds.count) << change.name << ", unit " << unit;
      EXPECT_EQ(found.count(price) != 0, finds.thePrice) << change.name << ", unit " << unit;
    }
    // No price of unit 5 or 7 is left for the next change.
    Prices().SelectAll();
    for (int32_t i = Prices().GetSelectedCount() - 1; i >= 0; --i) Prices().DeleteRecordAt(i);
  }
}

TEST_F(PriceLookupTest, TheRecordTextNamesColourColourGroupDepthAndOptionInThatOrder) {
  const int32_t colour = AddRecord(db_->ColorCatalogFile(), {{"number", "12"}, {"name", "Oak"}});
  const int32_t group = AddRecord(db_->ColorGroupFile(), {{"name", "Woods"}});
  const int32_t depth = AddRecord(db_->DepthFile(), {{"name", "Deep"}});
  const struct {
    int32_t color, group, depth;
    const char* option;
    const char* text;
  } cases[] = {
      {colour, group, depth, "A", "P, 12 Oak, Woods, Deep, A"},
      {0, group, depth, "", "P, Woods, Deep"},
      {0, 0, depth, "", "P, Deep"},
      {colour, 0, 0, "", "P, 12 Oak"},
      {0, group, 0, "B", "P, Woods, B"},
      {0, 999, 999, "", "P"},  // links to records that are gone name nothing
  };
  for (const auto& c : cases) {
    const int32_t price = AddRecord(Prices(), {{"name", "P"},
                                               {"color", c.color},
                                               {"colorGroup", c.group},
                                               {"depth", c.depth},
                                               {"optionKey", c.option}});
    Prices().ReadRecord(price, nullptr);
    Vcon::String text;
    Prices().GetDisplayText(text, nullptr);
    EXPECT_EQ(text, c.text);
  }
}

}  // namespace
