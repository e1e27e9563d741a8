// The dbId form, one rule for every value that names a record of a database by its number: id x
// 10000 + number when the number is above 0, the bare id when it is 0 or below. A table view gives
// that form and finds by it, whatever the size of the record id.
#include <gtest/gtest.h>

#include "TableViewTestSupport.h"

using namespace viewtest;

namespace {

TEST(RecordIdFormTest, ValuesNameRecordsOfTheirOwnDatabaseOnly) {
  const struct {
    int32_t id, number, value;
  } forms[] = {
      {12, 3, 120003}, {12, 0, 12},        {12, -1, 12},          {0, 3, 3},
      {0, 0, 0},       {12345, -1, 12345}, {12345, 7, 123450007},
  };
  for (const auto& f : forms) {
    EXPECT_EQ(ppDatafile::DbIdValue(f.id, f.number).ToLong(), f.value) << f.id << " in " << f.number;
    EXPECT_EQ(ppDatafile::RecordIdOfDbId(f.value, f.number), f.id) << f.value << " in " << f.number;
  }
  // A form that does not fit 32 bits is no value.
  EXPECT_EQ(ppDatafile::DbIdValue(300000, 3).Type(), ppParameter::kLong);
  EXPECT_EQ(ppDatafile::DbIdValue(300000, 3).ToLong(), ppLong::kNoValue);
  const struct {
    int32_t value, number, id;
  } reads[] = {
      {120004, 3, -1},  // a record of database 4
      {12, 3, -1},      // a bare id in a numbered database
      {-120003, 3, -1}, {-12, 0, -1},
      {-12, -1, -1},    {120003, 0, 120003},  // a database without a number names its records bare
  };
  for (const auto& r : reads) EXPECT_EQ(ppDatafile::RecordIdOfDbId(r.value, r.number), r.id) << r.value;
}

class RecordIdFormViewTest : public ::testing::TestWithParam<int32_t> {
 protected:
  dbtest::TempFolder folder_;
};

// Record ids above 10000 are common in a catalogue (every record of every table counts): the value a
// view gives finds its record again.
TEST_P(RecordIdFormViewTest, AViewFindsTheRecordItsValueNames) {
  const int32_t number = GetParam();
  ViewDatabase base(folder_.Path("ids.db"));
  if (number >= 0) {
    base.SetNumber(number);
    base.Open();
  }
  ASSERT_EQ(base.Db().Identifier(), number);
  base.Db().BeginTransaction();
  for (int32_t i = 0; i < 10050; ++i) base.Db().ReleaseRecord(base.Db().AddRecord(dbtest::HandleOf("x")));
  base.Db().EndTransaction();
  ppDatafile people("people", base.Db());
  const int32_t anna = AddPerson(people, "Anna", 31), bert = AddPerson(people, "Bert", 45);
  ASSERT_GT(anna, 10000);
  people.SelectAll();
  people.GoToItem(1);
  const ppParameter value = people.GetValue(5);
  EXPECT_EQ(value.ToLong(), ppDatafile::DbIdValue(bert, number).ToLong());
  people.Select(5, 1, value, ppParameter(), '+');
  ASSERT_EQ(people.GetSelectedCount(), 1);
  EXPECT_EQ(people.CurrentRecordId(), bert);
  EXPECT_EQ(people.GetValue(kName).AsString(), "Bert");
}

INSTANTIATE_TEST_SUITE_P(Numbers, RecordIdFormViewTest, ::testing::Values(-1, 0, 3));

}  // namespace
