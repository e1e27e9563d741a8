// A database shows its tables as properties and reads its number from its settings table.
#include <gtest/gtest.h>

#include "TableViewTestSupport.h"

using namespace viewtest;

namespace {

TEST(DatabasePropertyTest, TablesAreItsProperties) {
  dbtest::TempFolder folder;
  ViewDatabase base(folder.Path("tables.db"));
  {
    ppDatafile people("people", base.Db());
    AddPerson(people, "Anna", 31);
  }
  ppDatabase& db = base.Db();
  EXPECT_EQ(db.Identifier(), -1);  // no settings record yet
  ASSERT_EQ(db.GetPropertyCount(), 5);
  const int32_t people = db.IndexOf("people");
  ASSERT_GE(people, 0);
  EXPECT_EQ(db.NameAt(people), "people");
  EXPECT_EQ(db.IndexOf("People"), -1);
  EXPECT_EQ(db.IndexOf("this"), -1);
  EXPECT_EQ(db.NameAt(-1), "");
  EXPECT_EQ(db.NameAt(db.GetPropertyCount()), "");
  EXPECT_EQ(db.GetValue(17).Type(), ppParameter::kNone);

  const ppParameter table = db.GetValue(people);
  ASSERT_EQ(table.Type(), ppParameter::kLink);
  EXPECT_EQ(db.GetValue(people).GetLink(), table.GetLink());  // made once
  EXPECT_EQ(Text(table.GetLink()->GetValueByName("name")), "Anna");
  EXPECT_TRUE(db.CanDeleteRecord(kPeopleId, 1));
  db.FlushCaches();
  EXPECT_EQ(Text(table.GetLink()->GetValueByName("name")), "Anna");
}

TEST(DatabasePropertyTest, NumberComesFromTheSettingsRecord) {
  dbtest::TempFolder folder;
  ViewDatabase base(folder.Path("number.db"));
  base.SetNumber(42);
  EXPECT_EQ(base.Db().Identifier(), -1);  // read when the database opens
  base.Open();
  EXPECT_EQ(base.Db().Identifier(), 42);
}

}  // namespace
