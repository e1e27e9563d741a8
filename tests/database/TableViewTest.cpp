// Table views: fields as properties with the record id, selections and finds, links into other
// files, and the settings view that stands on its first record.
#include <gtest/gtest.h>

#include "TableViewTestSupport.h"
#include "database/HandleList.h"
#include "database/ppItemfile.h"

using namespace viewtest;

namespace {

class TableViewTest : public ::testing::Test {
 protected:
  dbtest::TempFolder folder_;
  ViewDatabase base_{folder_.Path("views.db")};
};

TEST_F(TableViewTest, FieldsArePropertiesFollowedByTheRecordId) {
  ppDatafile people("people", base_.Db());
  EXPECT_EQ(people.GetPropertyCount(), 6);
  EXPECT_EQ(people.IndexOf("age"), kAge);
  EXPECT_EQ(people.IndexOf("dbId"), 5);
  EXPECT_EQ(people.NameAt(5), "dbId");
  EXPECT_EQ(people.NameAt(4), "town");
  EXPECT_EQ(people.NameAt(6), "");
  EXPECT_EQ(people.NameAt(-1), "");
  EXPECT_EQ(people.IndexOf("Age"), -1);
  EXPECT_EQ(people.IndexOf("DBID"), -1);
  // A table view answers only its own names, so "this" is not one of them.
  EXPECT_EQ(people.IndexOf("this"), -1);
  EXPECT_EQ(people.GetValue(iProperty::kThis).Type(), ppParameter::kNone);
}

TEST_F(TableViewTest, NothingIsReadOrWrittenWithoutASelection) {
  ppDatafile people("people", base_.Db());
  const int32_t anna = AddPerson(people, "Anna", 31);
  people.SetCurrentRecordId(anna);  // a current id alone does not make a current record
  EXPECT_EQ(people.GetValue(kName).Type(), ppParameter::kNone);
  people.SetValue(kAge, ppParameter(99));
  ppDatafile check("people", base_.Db());
  check.SelectAll();
  EXPECT_EQ(check.GetValue(kAge).ToLong(), 31);
}

TEST_F(TableViewTest, ValuesFollowTheCurrentItemAndAreStoredAtOnce) {
  {
    ppDatafile people("people", base_.Db());
    AddPerson(people, "Cleo", 52);
    const int32_t anna = AddPerson(people, "Anna", 31, "first");
    AddPerson(people, "Bert", 45);
    people.SelectAll();  // field 0's index order
    ASSERT_EQ(people.GetItemCount(), 3);
    EXPECT_EQ(people.CurrentRecordId(), anna);
    EXPECT_EQ(Text(people.GetValueByName("name")), "Anna");
    EXPECT_EQ(Text(people.GetValue(kNote)), "first");
    people.GoTo(2);
    EXPECT_EQ(people.GetCurrentItem(), 2);
    EXPECT_EQ(Text(people.GetValue(kName)), "Cleo");
    people.GoTo(3);  // outside the selection: nothing moves
    people.GoTo(-1);
    EXPECT_EQ(people.GetCurrentItem(), 2);
    EXPECT_EQ(Text(people.GetValue(kName)), "Cleo");

    people.SetValueAt(kAge, ppParameter(53), true);
    const ppParameter before = people.GetValue(5);
    people.SetValue(5, ppParameter(777));  // the record id cannot be set
    people.SetValue(-1, ppParameter(1));
    EXPECT_EQ(people.GetValue(5).ToLong(), before.ToLong());
    EXPECT_EQ(people.GetValueByName("nothing").Type(), ppParameter::kNone);
    EXPECT_EQ(people.GetValue(6).Type(), ppParameter::kNone);
  }
  base_.Open();
  ppDatafile people("people", base_.Db());
  people.SelectAll();
  people.GoTo(2);
  EXPECT_EQ(people.GetValue(kAge).ToLong(), 53);
}

TEST_F(TableViewTest, ValuesAreReadAgainFromTheStoredRecord) {
  ppDatafile reader("people", base_.Db());
  ppDatafile writer("people", base_.Db());
  AddPerson(writer, "Anna", 31);
  reader.SelectAll();
  writer.SelectAll();
  writer.SetValue(kAge, ppParameter(32));
  EXPECT_EQ(reader.GetValue(kAge).ToLong(), 32);
}

TEST_F(TableViewTest, RecordIdCarriesTheDatabaseNumber) {
  int32_t anna = 0;
  {
    ppDatafile people("people", base_.Db());
    anna = AddPerson(people, "Anna", 31);
    people.SelectAll();
    EXPECT_EQ(base_.Db().Identifier(), -1);
    EXPECT_EQ(people.GetValue(5).ToLong(), anna);  // no number: the bare id
    base_.SetNumber(3);
  }
  base_.Open();
  ASSERT_EQ(base_.Db().Identifier(), 3);
  ppDatafile people("people", base_.Db());
  const int32_t bert = AddPerson(people, "Bert", 45);
  people.SelectAll();
  EXPECT_EQ(people.GetValue(5).ToLong(), anna * 10000 + 3);

  // Finding by the record id: the number in the low four digits is dropped; small values are ids.
  people.Select(5, 1, ppParameter(bert * 10000 + 3), ppParameter(), '+');
  ASSERT_EQ(people.GetSelectedCount(), 1);
  EXPECT_EQ(people.CurrentRecordId(), bert);
  EXPECT_EQ(Text(people.GetValue(kName)), "Bert");
  people.Select(5, 1, ppParameter(anna), ppParameter(), '+');
  EXPECT_EQ(people.CurrentRecordId(), anna);
  EXPECT_EQ(Text(people.GetValue(kName)), "Anna");
  people.Select(5, 1, ppParameter(0), ppParameter(), '+');
  EXPECT_EQ(people.GetSelectedCount(), 0);
}

TEST_F(TableViewTest, HandleFieldsReadEmptyAndLinksLeadIntoTheLinkedFile) {
  ppDatafile towns("towns", base_.Db());
  const int32_t oslo = AddTown(towns, "Oslo", 150);
  ppDatafile people("people", base_.Db());
  AddPerson(people, "Anna", 31, "", oslo);
  AddPerson(people, "Bert", 45, "", 0);
  people.SelectAll();
  EXPECT_EQ(people.GetValue(kPicture).Type(), ppParameter::kNone);

  const ppParameter link = people.GetValue(kTown);
  ASSERT_EQ(link.Type(), ppParameter::kLink);
  iProperty* town = link.GetLink();
  ASSERT_NE(town, nullptr);
  EXPECT_NE(town, &people);
  EXPECT_EQ(Text(town->GetValueByName("tname")), "Oslo");
  EXPECT_EQ(town->GetValueByName("zip").ToLong(), 150);

  // A link to record 0 gives the same linked view (opened once), standing on no record: reads
  // are empty and writes reach no town.
  people.GoTo(1);
  const ppParameter zero = people.GetValue(kTown);
  ASSERT_EQ(zero.Type(), ppParameter::kLink);
  EXPECT_EQ(zero.GetLink(), town);
  EXPECT_EQ(town->GetValueByName("tname").Type(), ppParameter::kNone);
  town->SetValueByName("tname", ppParameter("Bergen"), false);
  towns.SelectAll();
  EXPECT_EQ(Text(towns.GetValue(kTownName)), "Oslo");

  // A link without a value is no link at all.
  people.SetValue(kTown, ppParameter(ppLong::NoValue()));
  EXPECT_EQ(people.GetValue(kTown).Type(), ppParameter::kNone);
  EXPECT_EQ(people.GetLinkedDatafile(kPeopleId), &people);
  EXPECT_EQ(people.GetLinkedDatafile(999999), &people);
}

// A link into a table that no view has opened in this run is read through that table's own layout
// (found among the compiled layouts), never through the linking table's.
TEST_F(TableViewTest, ALinkReachesATableNoViewHasOpenedYet) {
  int32_t oslo = 0;
  {
    ppDatafile towns("towns", base_.Db());
    oslo = AddTown(towns, "Oslo", 150);
  }
  ppDatafile::ForgetLayoutNames();
  ppDatafile people("people", base_.Db());
  AddPerson(people, "Anna", 31, "", oslo);
  people.SelectAll();
  iProperty* town = people.GetValue(kTown).GetLink();
  ASSERT_NE(town, nullptr);
  EXPECT_NE(town, &people);
  EXPECT_EQ(Text(town->GetValueByName("tname")), "Oslo");
}

TEST_F(TableViewTest, FindsCombineWithTheSelectionOrSearchEverything) {
  ppDatafile people("people", base_.Db());
  AddPerson(people, "Anna", 31);
  AddPerson(people, "Bert", 45);
  AddPerson(people, "Cleo", 31);
  people.Select(kAge, 1, ppParameter(31), ppParameter(31), '#');
  EXPECT_EQ(people.GetSelectedCount(), 2);
  people.Select(kName, 1, ppParameter("Cleo"), ppParameter("Cleo"), '&');
  ASSERT_EQ(people.GetSelectedCount(), 1);
  EXPECT_EQ(Text(people.GetValue(kName)), "Cleo");
  // '#' starts again from every record instead of the narrowed selection.
  people.Select(kName, 1, ppParameter("Bert"), ppParameter("Bert"), '#');
  ASSERT_EQ(people.GetSelectedCount(), 1);
  EXPECT_EQ(Text(people.GetValue(kName)), "Bert");
  people.SelectAllItems();
  EXPECT_EQ(people.GetSelectedCount(), 3);
  people.SelectMatching("cl");
  ASSERT_EQ(people.GetSelectedCount(), 1);

  const int32_t bert = people.FindRecordByKey(kName, "Bert");
  EXPECT_NE(bert, 0);
  EXPECT_EQ(people.FindRecordByKey(kNote, ""), 0);
  EXPECT_TRUE(people.IsValueUnique(kName, ppParameter("Bert"), bert));
  EXPECT_FALSE(people.IsValueUnique(kName, ppParameter("Bert"), bert + 1));
  EXPECT_TRUE(people.IsValueUnique(kName, ppParameter("Dora"), 0));
  EXPECT_FALSE(people.IsValueUnique(kAge, ppParameter(31), 0));
}

TEST_F(TableViewTest, PositionsWorkOnTheSelection) {
  ppDatafile people("people", base_.Db());
  AddPerson(people, "Anna", 31);
  AddPerson(people, "Bert", 45);
  people.SelectAll();
  people.ClearRecordBuffer(nullptr);
  people.SetFieldValue(kName, ppParameter("Aaron"), nullptr);
  people.InsertRecordAt(-1, nullptr);
  ASSERT_EQ(people.GetSelectedCount(), 3);
  EXPECT_EQ(people.IndexOfRecord(people.CurrentRecordId()), 2);
  people.DeleteRecordAt(0);
  people.DeleteRecordAt(7);  // outside: nothing is deleted
  EXPECT_EQ(people.GetSelectedCount(), 2);
  EXPECT_EQ(people.GetRecordCount(), 2);
  EXPECT_EQ(people.RecordIdAt(2), 0);
  EXPECT_EQ(people.RecordIdAt(-1), 0);
}

class RefusingDatabase : public ppDatabase {
 public:
  using ppDatabase::ppDatabase;
  bool CanDeleteRecord(int32_t, int32_t) override { return false; }
};

TEST_F(TableViewTest, GuardedDeleteAsksTheDatabase) {
  {
    ppDatafile people("people", base_.Db());
    const int32_t anna = AddPerson(people, "Anna", 31);
    EXPECT_TRUE(people.DeleteRecordIfAllowed(0, anna));
    EXPECT_EQ(people.GetRecordCount(), 0);
  }
  base_.Close();

  ppFileSpec fileSpec = dbtest::SpecFor(folder_.Path("views.db"));
  RefusingDatabase refusing(fileSpec);
  refusing.RegisterFile("people", new dbDatafile("people", refusing, PeopleLayout()),
                        [](dbDatafile* f) { delete f; });
  ppDatafile guarded("people", refusing);
  const int32_t bert = AddPerson(guarded, "Bert", 45);
  EXPECT_FALSE(guarded.DeleteRecordIfAllowed(0, bert));
  EXPECT_EQ(guarded.GetRecordCount(), 1);
}

TEST_F(TableViewTest, RebuiltIndexesFindEveryRecord) {
  ppDatafile people("people", base_.Db());
  AddPerson(people, "Anna", 31);
  const int32_t bert = AddPerson(people, "Bert", 45);
  people.RebuildIndexes();
  EXPECT_EQ(people.FindRecordByKey(kName, "Bert"), bert);
  const int32_t age = 45;
  EXPECT_EQ(people.FindRecordByKey(kAge, &age), bert);
  people.SelectAll();
  EXPECT_EQ(people.GetSelectedCount(), 2);
}

TEST_F(TableViewTest, SettingsViewStandsOnItsFirstRecord) {
  {
    ppItemfile empty("people", base_.Db());
    EXPECT_EQ(empty.CurrentRecordId(), 0);
    EXPECT_EQ(empty.GetValue(kName).Type(), ppParameter::kNone);
    AddPerson(empty, "Cleo", 52);
    AddPerson(empty, "Anna", 31);
  }
  ppItemfile settings("people", base_.Db());
  EXPECT_EQ(Text(settings.GetValue(kName)), "Anna");
}

}  // namespace
