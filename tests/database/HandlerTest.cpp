// Field handlers: the factory by type code, typed-value conversions per type, and operator queries
// on a numeric index.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "database/HandleList.h"
#include "database/dbBasicmmHandler.h"
#include "database/dbDatabase.h"
#include "database/dbErrors.h"
#include "database/dbHandlerFactory.h"
#include "database/dbLongHandler.h"
#include "database/dbMoneyHandler.h"
#include "database/dbPictHandler.h"
#include "database/dbQuantityHandler.h"
#include "DbTestSupport.h"
#include "foundation/ppParameter.h"

namespace {

// A field of one handler in a buffer of its own.
class Field {
 public:
  explicit Field(int32_t typeCode) : handler_(dbHandlerFactory::ForType(typeCode)) {
    handler_->InitField(data_);
  }
  ~Field() { handler_->DisposeField(data_); }
  dbHandler& Handler() { return *handler_; }
  char* Data() { return data_; }
  void Set(const ppParameter& value) { handler_->SetFromValue(value, data_); }
  ppParameter Get() {
    ppParameter value;
    handler_->GetAsValue(&value, data_);
    return value;
  }

 private:
  std::unique_ptr<dbHandler> handler_;
  alignas(16) char data_[64] = {};
};

TEST(HandlerTest, FactoryGivesLongHandlersForLongFlagsAndUnknownCodes) {
  for (int32_t code : {2, 15, 0, 18, 558, 1070, -3}) {
    Field field(code);
    EXPECT_NE(dynamic_cast<dbLongHandler*>(&field.Handler()), nullptr) << code;
    field.Set(ppParameter(-77));
    EXPECT_EQ(field.Get().Type(), ppParameter::kLong) << code;
    EXPECT_EQ(field.Get().ToLong(), -77) << code;
  }
  for (int32_t code : {9, 10, 12, 16}) {
    Field field(code);
    EXPECT_NE(dynamic_cast<dbBasicmmHandler*>(&field.Handler()), nullptr) << code;
    field.Set(ppParameter(5));  // blobs take no typed values
    EXPECT_TRUE(field.Handler().IsEmpty(field.Data()));
    EXPECT_EQ(field.Get().Type(), ppParameter::kNone);
  }
  EXPECT_EQ(dbHandlerFactory::ForType(17)->Align(4), 8);
  EXPECT_EQ(dbHandlerFactory::ForType(3)->Align(4), 4);
  EXPECT_EQ(dbHandlerFactory::ForType(3)->Width(), 8);
  EXPECT_EQ(dbHandlerFactory::ForType(13)->Width(), 4);
}

TEST(HandlerTest, MoneyTakesTheValueThroughItsText) {
  Field money(3);
  money.Set(ppParameter(2.75));  // a double's text has no decimals
  EXPECT_EQ(money.Get().ToMoney().Raw(), 20000);
  EXPECT_EQ(money.Get().Type(), ppParameter::kMoney);
  money.Set(ppParameter("12.345"));  // two decimals at most
  EXPECT_EQ(money.Get().ToMoney().Raw(), 123400);
  money.Set(ppParameter(ppLong()));  // no value
  EXPECT_EQ(money.Get().ToMoney().Raw(), 0);
  EXPECT_TRUE(money.Handler().IsEmpty(money.Data()));
  money.Set(ppParameter());
  EXPECT_EQ(money.Get().ToMoney().Raw(), 0);
}

TEST(HandlerTest, ValueConversionsByType) {
  Field boolean(7);
  boolean.Set(ppParameter(5));
  EXPECT_EQ(boolean.Get().Type(), ppParameter::kBool);
  EXPECT_TRUE(boolean.Get().ToBool());

  Field time(6);  // typed values do not reach a time field
  time.Set(ppParameter(1234));
  EXPECT_TRUE(time.Handler().IsEmpty(time.Data()));
  EXPECT_EQ(time.Get().Type(), ppParameter::kNone);

  Field number(13);
  number.Set(ppParameter(-0.0f));  // negative zero is empty too
  EXPECT_TRUE(number.Handler().IsEmpty(number.Data()));
  EXPECT_EQ(number.Handler().PackedSize(number.Data()), 0);

  Field quantity(17);
  DecimalNumber exact;
  exact.Set(1234, 3);
  quantity.Set(ppParameter(exact));  // a quantity keeps its places
  EXPECT_EQ(quantity.Get().ToQuantity().RawWord(), exact.RawWord());
  EXPECT_FALSE(quantity.Handler().IsEmpty(quantity.Data()));
  quantity.Handler().ClearField(quantity.Data());
  EXPECT_TRUE(quantity.Handler().IsEmpty(quantity.Data()));

  Field wide(14);
  wide.Set(ppParameter("narrow"));
  EXPECT_EQ(wide.Get().AsWString(), u"narrow");
  Field text(1);
  text.Set(ppParameter(42));
  EXPECT_EQ(text.Get().AsString(), "42");
}

TEST(HandlerTest, PictureFieldCopiesTheBytesItIsGiven) {
  Field picture(11);
  Handle source = dbtest::HandleOf("BM-bits");
  picture.Set(ppParameter(source));
  MemDispose(source);  // the field kept its own copy
  const Handle own = picture.Get().GetHandle();
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(dbtest::TextOf(own), "BM-bits");
  EXPECT_EQ(picture.Handler().PackedSize(picture.Data()), 16);  // 8 + 7 rounded up to 4
  picture.Set(ppParameter());
  EXPECT_TRUE(picture.Handler().IsEmpty(picture.Data()));
}

// A handle field's length comes from the packed bytes: one the zone cannot hold is damage, and the
// field keeps what it held; with room again the same bytes read whole.
TEST(HandlerTest, AHandleFieldLongerThanTheZoneCanHoldIsDamage) {
  Field full(11);
  Handle source = dbtest::HandleOf(std::string(2u << 20, 'x'));
  full.Set(ppParameter(source));
  MemDispose(source);
  std::vector<uint8_t> packed(size_t(full.Handler().PackedSize(full.Data())) + 4);
  const uint32_t size = full.Handler().Pack(packed.data(), 0, full.Data(), 0);
  Field read(11);
  {
    dbtest::ZoneFiller filler;
    EXPECT_EQ(dbtest::ErrorOf([&] { read.Handler().Unpack(read.Data(), packed.data(), 0, size, 0); }),
              db::kDamagedFile);
    EXPECT_TRUE(read.Handler().IsEmpty(read.Data()));
  }
  EXPECT_EQ(read.Handler().Unpack(read.Data(), packed.data(), 0, size, 0), size);
  EXPECT_EQ(MemGetSize(read.Get().GetHandle()), int32_t(2u << 20));
}

class HandlerSelectTest : public ::testing::Test {
 protected:
  HandlerSelectTest() {
    ppFileSpec fileSpec = dbtest::SpecFor(folder_.Path("select.db"));
    db_ = std::make_unique<dbDatabase>(fileSpec);
    db_->BeginTransaction();
    index_.reset(handler_.NewIndex(&entry_, *db_));
    entry_.index = index_.get();
    // Record n holds the key values[n - 1].
    const int32_t values[] = {10, 20, 20, 30, -5};
    for (int32_t n = 1; n <= 5; ++n) {
      int32_t record[1] = {values[n - 1]};
      handler_.AddKey(n, &entry_, reinterpret_cast<const char*>(record));
    }
  }
  ~HandlerSelectTest() override {
    index_.reset();
    db_->EndTransaction();
  }
  std::vector<int32_t> Query(uint8_t op, int32_t key, Handle previous = nullptr, uint8_t combine = '&') {
    Handle list = handler_.Select(index_.get(), {op, combine, &key}, previous);
    std::vector<int32_t> out;
    for (uint32_t i = 0; i < HandleList::Count(list); ++i) out.push_back(HandleList::At(list, i));
    HandleList::Dispose(list);
    std::sort(out.begin(), out.end());
    return out;
  }
  static Handle ListOf(std::initializer_list<int32_t> values) {
    Handle list = HandleList::New(0);
    for (int32_t v : values) HandleList::Insert(list, v);
    return list;
  }

  dbtest::TempFolder folder_;
  std::unique_ptr<dbDatabase> db_;
  dbLongHandler handler_;
  dbIndexEntry entry_;
  std::unique_ptr<dbIndex> index_;
};

TEST_F(HandlerSelectTest, OperatorsOnANumericIndex) {
  EXPECT_GT(entry_.headerRecord, 0);
  EXPECT_EQ(Query('=', 20), (std::vector<int32_t>{2, 3}));
  EXPECT_EQ(Query(0xC5, 20), (std::vector<int32_t>{2, 3}));
  EXPECT_EQ(Query(0xAD, 20), (std::vector<int32_t>{1, 4, 5}));
  EXPECT_EQ(Query(0xB2, 20), (std::vector<int32_t>{1, 2, 3, 5}));
  EXPECT_EQ(Query(0xB3, 20), (std::vector<int32_t>{2, 3, 4}));
  EXPECT_EQ(Query('<', 20), (std::vector<int32_t>{1, 5}));
  EXPECT_EQ(Query('>', 20), (std::vector<int32_t>{4}));
  EXPECT_EQ(Query(0xB2, INT32_MIN), (std::vector<int32_t>{}));
}

TEST_F(HandlerSelectTest, CombinesIntoThePreviousList) {
  EXPECT_EQ(Query('=', 20, ListOf({1, 2}), '&'), (std::vector<int32_t>{2}));
  EXPECT_EQ(Query('=', 20, ListOf({1, 2}), '+'), (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(Query('=', 20, ListOf({1, 2}), '-'), (std::vector<int32_t>{1}));
  EXPECT_EQ(Query('=', 20, ListOf({1, 2}), '?'), (std::vector<int32_t>{1, 2}));
  // Without an index the previous list comes back as it is.
  Handle previous = ListOf({4});
  int32_t key = 20;
  EXPECT_EQ(handler_.Select(nullptr, {'=', '&', &key}, previous), previous);
  HandleList::Dispose(previous);
  EXPECT_EQ(handler_.Select(nullptr, {'=', '&', &key}, nullptr), nullptr);
}

TEST_F(HandlerSelectTest, KeysFollowChangedValues) {
  int32_t before[1] = {30}, after[1] = {10};
  handler_.UpdateKey(4, &entry_, reinterpret_cast<const char*>(after), reinterpret_cast<const char*>(before));
  EXPECT_EQ(Query('=', 10), (std::vector<int32_t>{1, 4}));
  EXPECT_EQ(Query('=', 30), (std::vector<int32_t>{}));
  handler_.RemoveKey(4, &entry_, reinterpret_cast<const char*>(after));
  EXPECT_EQ(Query('=', 10), (std::vector<int32_t>{1}));
  EXPECT_EQ(index_->Count(), 4);
}

}  // namespace
