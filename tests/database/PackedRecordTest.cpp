// The packed record form: exact bytes, empty fields left out, every type through a round trip, and
// damaged packed data refused with an error number.
#include <gtest/gtest.h>

#include <memory>

#include "database/dbBasic8byteHandler.h"
#include "database/dbBasicmmHandler.h"
#include "database/dbErrors.h"
#include "database/dbQuantityHandler.h"
#include "database/dbStringHandler.h"
#include "database/dbUnicodeHandler.h"
#include "DbTestSupport.h"
#include "LayoutTestSupport.h"
#include "foundation/ppParameter.h"

using dbtest::ErrorOf;
using dbtest::PackedBytes;
using Bytes = std::vector<uint8_t>;

namespace {

// One field of every stored type.
enum Field {
  kText,
  kLong,
  kMoney,
  kCode,
  kDouble,
  kBool,
  kDate,
  kFloat,
  kWide,
  kBlob,
  kPict,
  kQuantity,
  kTime,
  kLink,
  kFieldCount
};

class PackedRecordTest : public ::testing::Test {
 protected:
  PackedRecordTest()
      : layout_(MakeBytes().data(), uint32_t(MakeBytes().size())), record_(layout_.NewRecord()) {}
  ~PackedRecordTest() override { layout_.DisposeRecord(record_); }

  static Bytes MakeBytes() {
    return dbtest::MakeLayout(1, {{"text", 1},
                                  {"long", 2},
                                  {"money", 3},
                                  {"code", 15},
                                  {"double", 4},
                                  {"bool", 7},
                                  {"date", 5},
                                  {"float", 13},
                                  {"wide", 14},
                                  {"blob", 10},
                                  {"pict", 11},
                                  {"quantity", 17},
                                  {"time", 6},
                                  {"link", 8}});
  }
  void Set(int32_t field, const ppParameter& value) { layout_.SetField(field, value, record_); }
  char* At(int32_t field) { return record_ + layout_.Handler(field).Offset(); }
  // Packs the record and unpacks it into a fresh one; the caller disposes it.
  char* RoundTrip() {
    const Bytes bytes = PackedBytes(layout_, record_);
    char* copy = layout_.NewRecord();
    layout_.Unpack(copy, bytes.data(), uint32_t(bytes.size()));
    return copy;
  }
  ppParameter Get(const char* record, int32_t field) {
    ppParameter value;
    layout_.GetField(field, &value, record);
    return value;
  }

  dbRecordLayout layout_;
  char* record_;
};

TEST_F(PackedRecordTest, EmptyRecordIsTheEndTagAlone) {
  EXPECT_EQ(PackedBytes(layout_, record_), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
  Set(kMoney, ppParameter(ppMoney::FromRaw(0)));
  Set(kDouble, ppParameter(0.0));
  Set(kBool, ppParameter(false));
  EXPECT_EQ(PackedBytes(layout_, record_), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST_F(PackedRecordTest, LongAndTextHaveTheirExactBytes) {
  Set(kCode, ppParameter(7));
  EXPECT_EQ(PackedBytes(layout_, record_), (Bytes{3, 0, 0, 0, 7, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
  Set(kCode, ppParameter(0));
  Set(kText, ppParameter("ab"));
  EXPECT_EQ(layout_.Handler(kText).PackedSize(At(kText)), 12);
  // The padding byte after the text's NUL is written as 0 whatever the buffer held.
  EXPECT_EQ(PackedBytes(layout_, record_),
            (Bytes{0, 0, 0, 0, 3, 0, 0, 0, 'a', 'b', 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST_F(PackedRecordTest, EveryTypeSurvivesTheRoundTrip) {
  Set(kText, ppParameter("Küche"));
  Set(kLong, ppParameter(-123456));
  dbBasic8byteHandler::SetRaw(At(kMoney), 123456);  // four decimals reach the field only directly
  Set(kCode, ppParameter(0x40000000));
  Set(kDouble, ppParameter(-2.5e10));
  Set(kBool, ppParameter(true));
  Set(kDate, ppParameter(DateTimeMs(24, 12, 2026)));
  Set(kFloat, ppParameter(1.5f));
  Set(kWide, ppParameter(u"Z\u00e9\u4e2d"));
  CStringToHandle("blob bytes", dbBasicmmHandler::Data(At(kBlob)));
  CStringToHandle("DIB", dbBasicmmHandler::Data(At(kPict)));
  DecimalNumber quantity;
  quantity.Set(42, 3);
  Set(kQuantity, ppParameter(quantity));
  std::memcpy(At(kTime), "\x10\x20\x30\x40", 4);
  Set(kLink, ppParameter(99));

  char* copy = RoundTrip();
  EXPECT_EQ(dbStringHandler::Text(copy + layout_.Handler(kText).Offset()), "Küche");
  EXPECT_EQ(Get(copy, kLong).ToLong(), -123456);
  EXPECT_EQ(Get(copy, kMoney).ToMoney().Raw(), 123456);
  EXPECT_EQ(Get(copy, kCode).ToLong(), 0x40000000);
  EXPECT_EQ(Get(copy, kDouble).ToDouble(), -2.5e10);
  EXPECT_EQ(Get(copy, kBool).Type(), ppParameter::kBool);
  EXPECT_TRUE(Get(copy, kBool).ToBool());
  EXPECT_EQ(Get(copy, kDate).ToDate().Value(), DateTimeMs(24, 12, 2026).Value());
  EXPECT_EQ(Get(copy, kFloat).ToFloat(), 1.5f);
  EXPECT_EQ(dbUnicodeHandler::Text(copy + layout_.Handler(kWide).Offset()), u"Z\u00e9\u4e2d");
  EXPECT_EQ(dbtest::TextOf(dbBasicmmHandler::Data(copy + layout_.Handler(kBlob).Offset())),
            std::string("blob bytes", 11));
  EXPECT_EQ(dbtest::TextOf(dbBasicmmHandler::Data(copy + layout_.Handler(kPict).Offset())),
            std::string("DIB", 4));
  EXPECT_EQ(Get(copy, kQuantity).ToQuantity().RawWord(), quantity.RawWord());
  EXPECT_EQ(std::memcmp(copy + layout_.Handler(kTime).Offset(), "\x10\x20\x30\x40", 4), 0);
  EXPECT_EQ(Get(copy, kLink).ToLong(), 99);
  // The same record always packs to the same bytes.
  EXPECT_EQ(PackedBytes(layout_, copy), PackedBytes(layout_, record_));
  layout_.DisposeRecord(copy);
}

TEST_F(PackedRecordTest, WideTextIsUtf16WithItsTerminator) {
  Set(kWide, ppParameter(u"\u00e9"));
  EXPECT_EQ(PackedBytes(layout_, record_),
            (Bytes{8, 0, 0, 0, 4, 0, 0, 0, 0xE9, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST_F(PackedRecordTest, AbsentFieldsAreEmptiedOnReading) {
  Set(kCode, ppParameter(7));
  const Bytes packed = PackedBytes(layout_, record_);
  char* target = layout_.NewRecord();
  layout_.SetField(kText, ppParameter("old"), target);
  layout_.SetField(kMoney, ppParameter(ppMoney::FromRaw(5)), target);
  layout_.SetField(kDouble, ppParameter(3.0), target);
  CStringToHandle("old", dbBasicmmHandler::Data(target + layout_.Handler(kBlob).Offset()));
  layout_.Unpack(target, packed.data(), uint32_t(packed.size()));
  EXPECT_EQ(Get(target, kCode).ToLong(), 7);
  EXPECT_EQ(PackedBytes(layout_, target), packed);  // every other field is empty again
  layout_.DisposeRecord(target);
}

TEST_F(PackedRecordTest, UnknownTagStopsNothingAndEmptiesTheRest) {
  // Field 1 = 5, then a tag no field has, then what would be field 13.
  const Bytes packed{1, 0, 0, 0, 5, 0, 0, 0, 99, 0, 0, 0, 1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
  Set(kLink, ppParameter(3));
  layout_.Unpack(record_, packed.data(), uint32_t(packed.size()));
  EXPECT_EQ(Get(record_, kLong).ToLong(), 5);
  EXPECT_EQ(Get(record_, kLink).ToLong(), 0);
}

TEST_F(PackedRecordTest, DamagedPayloadsAreRefused) {
  const auto unpack = [&](const Bytes& bytes) {
    return ErrorOf([&] { layout_.Unpack(record_, bytes.data(), uint32_t(bytes.size())); });
  };
  EXPECT_EQ(unpack({0, 0, 0, 0, 200, 0, 0, 0, 'a', 'b', 0, 0}),
            db::kDamagedFile);                                                      // text past the end
  EXPECT_EQ(unpack({1, 0, 0, 0, 7, 0}), db::kDamagedFile);                          // cut long
  EXPECT_EQ(unpack({4, 0, 0, 0, 1, 2, 3, 4}), db::kDamagedFile);                    // cut double
  EXPECT_EQ(unpack({9, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F, 1, 2}), db::kDamagedFile);  // huge blob
  EXPECT_EQ(unpack({8, 0, 0, 0, 9, 0, 0, 0, 'x', 0}), db::kDamagedFile);            // cut wide text
  // A text without its NUL ends at its count; a short record without the end tag is accepted.
  EXPECT_EQ(unpack({0, 0, 0, 0, 2, 0, 0, 0, 'o', 'k', 0, 0}), 0);
  EXPECT_EQ(dbStringHandler::Text(At(kText)), "ok");
  EXPECT_EQ(unpack({}), 0);
}

}  // namespace
