// The application database on files the tests make: the application record and the default panels
// of a first start, texts by number with their cache, and the configurator layout records.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

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

  // A change of the table through the database's own table view shows at the next look-up.
  strings.ReadRecord(english, nullptr);
  SetField(strings, "string", u"Changed");
  strings.WriteRecord(english, nullptr);
  EXPECT_TRUE(db->GetString(5, text, 1033));
  EXPECT_EQ(text, u"Changed");

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

// Each language is read ahead whole; every way the program changes the table drops what was read,
// so no look-up answers another language's text or one the table no longer holds.
TEST_F(ApplicationDatabaseTest, TextsReadAheadFollowEveryChangeOfTheTable) {
  auto db = OpenApplication();
  ppDatafile& strings = db->StringFile();
  const int32_t one = AddRecord(strings, {{"id", 1}, {"languageCode", 1043}, {"string", u"One"}});
  const int32_t two = AddRecord(strings, {{"id", 2}, {"languageCode", 1043}, {"string", u"Two"}});
  AddRecord(strings, {{"id", 1}, {"languageCode", 1030}, {"string", u"En"}});
  AddRecord(strings, {{"id", 3}, {"languageCode", 1030}, {"string", u"Tre"}});
  auto propertyView = [&db] {
    return static_cast<ppDatafile*>(db->GetValue(db->IndexOf("qxString")).GetLink());
  };

  struct Step {
    const char* what;
    std::function<void()> change;
    int32_t number;
    const char16_t* expected;  // null: no text, the caller's default kept
  };
  const Step steps[] = {
      {"written by id",
       [&] {
         strings.ReadRecord(one, nullptr);
         SetField(strings, "string", u"Een");
         strings.WriteRecord(one, nullptr);
       },
       1, u"Een"},
      {"added",
       [&] {
         AddRecord(strings, {{"id", 3}, {"languageCode", 1043}, {"string", u"Drie"}});
       },
       3, u"Drie"},
      {"written by position",
       [&] {
         strings.SelectAll();
         const int32_t at = strings.IndexOfRecord(two);
         strings.ReadRecordAt(at, nullptr);
         SetField(strings, "string", u"Twee");
         strings.WriteRecordAt(at, nullptr);
       },
       2, u"Twee"},
      {"deleted by position",
       [&] {
         strings.SelectAll();
         strings.DeleteRecordAt(strings.IndexOfRecord(two));
       },
       2, nullptr},
      {"added through the property view",
       [&] {
         AddRecord(*propertyView(), {{"id", 2}, {"languageCode", 1043}, {"string", u"Zwei"}});
       },
       2, u"Zwei"},
      {"deleted through the property view",
       [&] {
         ppDatafile& view = *propertyView();
         view.SelectAll();
         view.DeleteRecordAt(view.IndexOfRecord(one));
       },
       1, nullptr},
  };

  Vcon::WString text;
  ASSERT_TRUE(db->GetString(1, text, 1043));
  ASSERT_EQ(text, u"One");
  ASSERT_NE(propertyView(), nullptr);
  for (const Step& step : steps) {
    step.change();
    // Asked twice: the first read fills the language again, the second answers from it.
    for (int pass = 0; pass < 2; ++pass) {
      text = u"default";
      EXPECT_EQ(db->GetString(step.number, text, 1043), step.expected != nullptr) << step.what;
      EXPECT_EQ(text, Vcon::WString(step.expected != nullptr ? step.expected : u"default")) << step.what;
    }
    // The other language keeps its own texts throughout.
    EXPECT_TRUE(db->GetString(1, text, 1030)) << step.what;
    EXPECT_EQ(text, u"En") << step.what;
    EXPECT_TRUE(db->GetString(3, text, 1030)) << step.what;
    EXPECT_EQ(text, u"Tre") << step.what;
  }

  // A language without texts answers false, and a text added for it later shows.
  text = u"default";
  EXPECT_FALSE(db->GetString(1, text, 1053));
  EXPECT_EQ(text, u"default");
  AddRecord(strings, {{"id", 1}, {"languageCode", 1053}, {"string", u"Ett"}});
  EXPECT_TRUE(db->GetString(1, text, 1053));
  EXPECT_EQ(text, u"Ett");
  EXPECT_FALSE(db->GetString(4, text, 1053));  // a number the language lacks
}

// Reopened, the database reads the texts the file holds then.
TEST_F(ApplicationDatabaseTest, AReopenedDatabaseReadsTheTextsAgain) {
  {
    auto db = OpenApplication();
    AddRecord(db->StringFile(), {{"id", 7}, {"languageCode", 1043}, {"string", u"Zeven"}});
  }
  auto db = OpenApplication();
  Vcon::WString text;
  ASSERT_TRUE(db->GetString(7, text, 1043));
  EXPECT_EQ(text, u"Zeven");
  db.reset();
  {
    // Changed by a plain table view, which the database is not told of while open.
    auto writer = OpenApplication();
    auto view = std::make_unique<ppDatafile>("qxString", *writer);
    view->SelectAll();
    view->ReadRecordAt(0, nullptr);
    SetField(*view, "string", u"Sieben");
    view->WriteRecordAt(0, nullptr);
  }
  db = OpenApplication();
  ASSERT_TRUE(db->GetString(7, text, 1043));
  EXPECT_EQ(text, u"Sieben");
}

}  // namespace
