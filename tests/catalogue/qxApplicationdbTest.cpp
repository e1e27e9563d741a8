// The application database on files the tests make: the application record and the default panels
// of a first start, texts by number with their cache, and the configurator layout records.
#include <gtest/gtest.h>

#include "CatalogueTestSupport.h"
#include "catalogue/databases/qxApplicationdb.h"
#include "catalogue/records/qxApplicationFil.h"
#include "catalogue/records/zelvproConfigFieldFil.h"
#include "catalogue/records/zelvproConfiguratorFil.h"

namespace {

using cattest::AddRecord;
using cattest::kLanguage;
using cattest::SetField;

// Appends one field record per type to the panel table's field table and writes the table into
// the current buffer's "data".
void SetFieldLayout(zelvproConfiguratorFil& panels, std::initializer_list<int32_t> types) {
  zelvproConfigFieldFil& fields = panels.FieldFile();
  fields.DisposeRecords();
  for (int32_t type : types) {
    fields.ClearRecordBuffer(nullptr);
    SetField(fields, "type", type);
    SetField(fields, "text", "field");
    fields.InsertRecordAt(-1, nullptr);
  }
  fields.SaveToBlob();
}

class ApplicationDatabaseTest : public cattest::CatalogueTest {
 protected:
  std::unique_ptr<qxApplicationdb> OpenApplication() {
    ppFileSpec file = dbtest::SpecFor(Path("zadezodid.cdb"));
    return std::make_unique<qxApplicationdb>(file);
  }

  // id -> name of every configurator record, in id order.
  static std::vector<std::pair<int32_t, std::string>> Panels(qxApplicationdb& db) {
    zelvproConfiguratorFil& panels = db.ConfiguratorFile();
    panels.SelectAll();
    std::vector<std::pair<int32_t, std::string>> all;
    for (int32_t i = 0; i < panels.GetSelectedCount(); ++i) {
      panels.ReadRecordAt(i, nullptr);
      all.emplace_back(cattest::LongField(panels, "id"),
                       RecordField(panels, "name").Text(panels.GetRecordBuffer()).c_str());
    }
    return all;
  }

  static int32_t ReadPanel(qxApplicationdb& db, int32_t id) {
    zelvproConfiguratorFil& panels = db.ConfiguratorFile();
    const int32_t record = panels.FindRecordByKey(0, &id);
    if (record != 0) panels.ReadRecord(record, nullptr);
    return record;
  }
};

const std::vector<std::pair<int32_t, std::string>> kDefaultPanels = {
    {1000, "Room Design Default Panel"},    {1001, "Top View Default Panel"},
    {1002, "Top View Color Default Panel"}, {1003, "Annotation Default Panel"},
    {1004, "3D View Default Panel"},        {1005, "Calculation Default Panel"}};

TEST_F(ApplicationDatabaseTest, AFirstStartAddsTheApplicationRecordAndTheDefaultPanelsOnce) {
  {
    auto db = OpenApplication();
    EXPECT_EQ(ApplicationRecordFile, &db->ApplicationFile());
    EXPECT_EQ(ApplicationRecord, db->ApplicationFile().GetRecordBuffer());
  }
  EXPECT_EQ(ApplicationRecordFile, nullptr);  // never left naming a closed database
  EXPECT_EQ(ApplicationRecord, nullptr);
  auto db = OpenApplication();  // what the first start committed, and nothing more
  db->ApplicationFile().SelectAll();
  EXPECT_EQ(db->ApplicationFile().GetSelectedCount(), 1);
  EXPECT_EQ(Panels(*db), kDefaultPanels);
}

TEST_F(ApplicationDatabaseTest, AnExistingPanelKeepsItsNameAndFieldLayout) {
  {
    ppFileSpec file = dbtest::SpecFor(Path("zadezodid.cdb"));
    ppDatabase plain(file);
    zelvproConfiguratorFil panels(plain);
    panels.ClearRecordBuffer(nullptr);
    SetField(panels, "id", 1003);
    SetField(panels, "name", "Notes");
    SetFieldLayout(panels, {0, 1, 2});
    panels.AddRecord(nullptr, nullptr);
  }
  OpenApplication();
  auto db = OpenApplication();
  auto expected = kDefaultPanels;
  expected[3].second = "Notes";
  EXPECT_EQ(Panels(*db), expected);
  ASSERT_NE(ReadPanel(*db, 1003), 0);
  EXPECT_EQ(db->ConfiguratorFile().FieldFile().GetSelectedCount(), 3);
}

TEST_F(ApplicationDatabaseTest, PanelRecordsNameThemselvesAndFollowTheirFieldLayout) {
  auto db = OpenApplication();
  zelvproConfiguratorFil& panels = db->ConfiguratorFile();
  ASSERT_NE(ReadPanel(*db, 1001), 0);
  Vcon::String text;
  panels.GetDisplayText(text, nullptr);
  EXPECT_EQ(text, "1001 Top View Default Panel");

  // A record whose id exists is not added, and the out id stays as it was.
  int32_t outId = -7;
  panels.ClearRecordBuffer(nullptr);
  SetField(panels, "id", 1001);
  SetField(panels, "name", "Twin");
  panels.AddRecord(&outId, nullptr);
  EXPECT_EQ(outId, -7);
  EXPECT_EQ(Panels(*db), kDefaultPanels);

  // Two layouts written, then read in turn: the field table follows each read.
  ReadPanel(*db, 1000);
  SetFieldLayout(panels, {0, 1});
  ReadPanel(*db, 1002);
  SetFieldLayout(panels, {0, 1, 3, 2});
  for (auto [id, count] : {std::pair{1000, 2}, std::pair{1002, 4}, std::pair{1001, 0}, std::pair{1000, 2}}) {
    ReadPanel(*db, id);
    EXPECT_EQ(panels.FieldFile().GetSelectedCount(), count) << id;
  }
}

TEST_F(ApplicationDatabaseTest, TextsAreCachedPerLanguageAndIdAndServeTextsByNumber) {
  auto db = OpenApplication();
  ppDatafile& strings = db->StringFile();
  const int32_t english = AddRecord(strings, {{"id", 5}, {"languageCode", 1033}, {"string", u"Five"}});
  AddRecord(strings, {{"id", 5}, {"languageCode", 1030}, {"string", u"Fem"}});
  AddRecord(strings, {{"id", 6}, {"languageCode", 1030}, {"string", u"Seks"}});

  Vcon::WString text;
  EXPECT_TRUE(db->GetString(5, text, 1033));
  EXPECT_EQ(text, u"Five");
  EXPECT_TRUE(db->GetString(5, text, 1030));
  EXPECT_EQ(text, u"Fem");

  // A text found once is not read again: a change of the table does not show.
  strings.ReadRecord(english, nullptr);
  SetField(strings, "string", u"Changed");
  strings.WriteRecord(english, nullptr);
  EXPECT_TRUE(db->GetString(5, text, 1033));
  EXPECT_EQ(text, u"Five");

  // A text of another language only: false, the caller's default kept.
  text = u"default";
  EXPECT_FALSE(db->GetString(6, text, 1033));
  EXPECT_EQ(text, u"default");

  // While open the database answers texts by number in the current language; closed, it does not.
  AddRecord(strings, {{"id", 8}, {"languageCode", kLanguage}, {"string", u"Acht"}});
  EXPECT_TRUE(GetTextById(8, text));
  EXPECT_EQ(text, u"Acht");
  db.reset();
  text = u"default";
  EXPECT_FALSE(GetTextById(8, text));
  EXPECT_EQ(text, u"default");
}

}  // namespace
