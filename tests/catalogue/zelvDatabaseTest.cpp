#include <gtest/gtest.h>

#include "CatalogueTestSupport.h"
#include "catalogue/records/zelvproCatalogItemFil.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproColorCodeFil.h"
#include "catalogue/records/zelvproDepthFil.h"
#include "catalogue/records/zelvproPreferences.h"
#include "catalogue/records/zelvproTextureFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "database/HandleList.h"
#include "database/dbDatafile.h"

namespace {

using cattest::AddRecord;
using cattest::CatalogueTest;
using cattest::ChangeSettings;
using cattest::kLanguage;
using cattest::kOtherLanguage;
using Lines = std::vector<std::string>;

// The tables whose indexes a change of language rebuilds, and some that it leaves alone.
const char* const kRebuilt[] = {
    "qxGroup",        "qxType",   "qxCatalogItem", "qxTopView",   "qxShape",       "qxTexture",    "qxUnit",
    "qxColorCatalog", "qxPrice",  "qxParametric",  "qxPosSheet",  "qxColorCode",   "qxColorGroup", "qxNote",
    "qxDepth",        "qxPacket", "qxPreview",     "qxPartsList", "qxOptionValue", "qxMaterial"};
const char* const kKept[] = {"qxClass", "qx3DShape", "qxConfigurator"};

int32_t Count(Handle list) {
  const int32_t count = list != nullptr ? int32_t(HandleList::Count(list)) : 0;
  HandleList::Dispose(list);
  return count;
}

// Keys held by all indexes of a table together.
int32_t KeyCount(zelvDatabase& db, const char* layout) {
  dbDatafile& file = dbDatafile::FileByName(db, layout);
  int32_t keys = 0;
  for (const dbIndexEntry& entry : file.Indexes()) keys += Count(file.AllByIndex(entry.fieldNumber));
  return keys;
}

// Adds an empty record to the table and takes its keys out of every index but field 0's (through
// which the whole table is still found).
void AddRecordWithLostKeys(zelvDatabase& db, const char* layout) {
  ppDatafile table(layout, db);
  const int32_t id = AddRecord(table, {});
  for (const dbIndexEntry& entry : table.File().Indexes()) {
    if (entry.fieldNumber != 0)
      entry.handler->RemoveKey(id, const_cast<dbIndexEntry*>(&entry), table.GetRecordBuffer());
  }
  EXPECT_EQ(KeyCount(db, layout), 1) << layout;
}

TEST_F(CatalogueTest, OpeningShowsTheCatalogueNameAfterTheOpeningWord) {
  ChangeSettings(*Open(), {{"name", "Demo"}});
  Open();
  EXPECT_EQ(ProgressLines(), Lines{"Opening  Demo"});

  cattest::ProgramTexts texts;
  texts.texts[zelvDatabase::kOpeningText] = "Loading ";
  SetTextSource(&texts);
  Open();
  EXPECT_EQ(ProgressLines(), Lines{"Loading  Demo"});
}

TEST_F(CatalogueTest, AnotherLanguageRebuildsTheCatalogueIndexesOnce) {
  {
    auto db = Open();
    ChangeSettings(*db, {{"name", "Demo"}, {"languageID", 1030}});
    db->BeginTransaction();
    for (const char* layout : kRebuilt) AddRecordWithLostKeys(*db, layout);
    for (const char* layout : kKept) AddRecordWithLostKeys(*db, layout);
    db->EndTransaction();
  }
  auto db = Open();
  EXPECT_EQ(ProgressLines(), (Lines{"Preparing Demo for use on this computer", "Opening  Demo"}));
  for (const char* layout : kRebuilt) {
    EXPECT_EQ(KeyCount(*db, layout), int32_t(dbDatafile::FileByName(*db, layout).Indexes().size())) << layout;
  }
  for (const char* layout : kKept) EXPECT_EQ(KeyCount(*db, layout), 1) << layout;
  EXPECT_EQ(db->SettingsFile().LanguageId(), 1033);
  db.reset();

  Open();
  EXPECT_EQ(ProgressLines(), Lines{"Opening  Demo"});
  plat::SetUserDefaultLangID(1053);
  Open();
  EXPECT_EQ(ProgressLines(), (Lines{"Preparing Demo for use on this computer", "Opening  Demo"}));
}

TEST_F(CatalogueTest, TheLastCatalogueOpenedWithoutTopViewsServesTheExtras) {
  {
    auto withTopView = Open("b.cdb");
    AddRecord(withTopView->TopViewFile(), {});
  }
  auto first = Open("a.cdb");
  EXPECT_EQ(ExtrasCatalogDatabase, first.get());
  auto withTopView = Open("b.cdb");
  EXPECT_EQ(ExtrasCatalogDatabase, first.get());
  auto last = Open("c.cdb");
  EXPECT_EQ(ExtrasCatalogDatabase, last.get());
  last.reset();
  EXPECT_EQ(ExtrasCatalogDatabase, nullptr);  // never left pointing at a closed catalogue
}

TEST_F(CatalogueTest, TheCurrentDepthIsTheFirstDepthInIdOrder) {
  EXPECT_EQ(Open()->CurrentDepthId(), 0);
  int32_t second = 0;
  {
    auto db = Open();
    AddRecord(db->DepthFile(), {{"id", 20}});
    second = AddRecord(db->DepthFile(), {{"id", 10}});
  }
  EXPECT_EQ(Open()->CurrentDepthId(), second);
}

TEST_F(CatalogueTest, ColourCodeDefaultsFollowIdOrderOnlyWithTheExtendedColourSystem) {
  {
    auto db = Open();
    AddRecord(db->ColorCodeFile(), {{"id", 3}, {"defaultColor", 13}});
    AddRecord(db->ColorCodeFile(), {{"id", 1}, {"defaultColor", 11}});
    AddRecord(db->ColorCodeFile(), {{"id", 2}, {"defaultColor", 12}});
    ChangeSettings(*db, {{"useExtendedColorSystem", 2}});
  }
  {
    auto db = Open();
    EXPECT_FALSE(db->ExtendedColorSystem());
    EXPECT_EQ(db->ColorCodeDefaults(), nullptr);
    ChangeSettings(*db, {{"useExtendedColorSystem", 3}});
  }
  auto db = Open();
  EXPECT_TRUE(db->ExtendedColorSystem());
  ASSERT_NE(db->ColorCodeDefaults(), nullptr);
  EXPECT_EQ(*db->ColorCodeDefaults(), (std::vector<int32_t>{11, 12, 13}));
}

TEST_F(CatalogueTest, EachLanguageIsReadFromTheStringTableOnce) {
  {
    auto db = Open();
    ppDatafile& strings = db->StringFile();
    AddRecord(strings, {{"id", 7}, {"languageCode", kLanguage}, {"string", u"Sieben"}});
    AddRecord(strings, {{"id", 8}, {"languageCode", kOtherLanguage}, {"string", u"Otte"}});
    AddRecord(strings, {{"id", 7}, {"languageCode", kOtherLanguage}, {"string", u"Syv"}});
  }
  // Opening has read the current language for the settings texts.
  auto db = Open();
  ppDatafile& strings = db->StringFile();

  Vcon::WString text(u"default");
  EXPECT_FALSE(db->GetString(8, text, kLanguage));  // a text of another language
  EXPECT_EQ(text, u"default");
  EXPECT_TRUE(db->GetString(7, text, kLanguage));
  EXPECT_EQ(text, u"Sieben");

  // Texts added after a language was read do not show: its texts were read once.
  AddRecord(strings, {{"id", 9}, {"languageCode", kLanguage}, {"string", u"Neun"}});
  text = u"default";
  EXPECT_FALSE(db->GetString(9, text, kLanguage));
  EXPECT_EQ(text, u"default");
  // The same for a language that had no texts at all.
  EXPECT_FALSE(db->GetString(1, text, 4));
  AddRecord(strings, {{"id", 1}, {"languageCode", 4}, {"string", u"Eins"}});
  EXPECT_FALSE(db->GetString(1, text, 4));
  EXPECT_EQ(text, u"default");
}

TEST_F(CatalogueTest, RecordsStillNamedElsewhereCannotBeDeleted) {
  auto db = Open();
  const int32_t used = 5, unused = 6;
  zelvproCatalogItemFil& items = db->CatalogItemFile();
  AddRecord(items, {{"Name", "Base unit"},
                    {"Group", used},
                    {"TopView", used},
                    {"finishLink", used},
                    {"previewLink", used}});
  const int32_t shown = AddRecord(items, {{"Name", "Shown"}});
  items.ReadRecord(shown, nullptr);
  items.Select(items.IndexOf("Name"), 1, ppParameter("Shown"), ppParameter("Shown"), '#');
  const struct {
    int32_t fileId;
    int32_t id;
    bool allowed;
  } cases[] = {
      {5400, used, false}, {5400, unused, true}, {5405, used, false}, {5405, unused, true},
      {5408, used, false}, {5408, unused, true}, {5423, used, false}, {5423, unused, true},
      {5409, used, true},  {5402, used, true},   {9999, used, true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(db->CanDeleteRecord(c.fileId, c.id), c.allowed) << c.fileId << "/" << c.id;
  // The checks read the items aside: what the item view shows stays.
  EXPECT_EQ(items.GetSelectedCount(), 1);
  EXPECT_EQ(items.CurrentRecordId(), shown);
  EXPECT_EQ(cattest::WideField(items, "tname"), "Shown");
}

TEST_F(CatalogueTest, AGroupThatAnItemNamesStaysWhenDeletedThroughTheCheck) {
  auto db = Open();
  zelvproGroupFil& groups = db->GroupFile();
  const int32_t group = AddRecord(groups, {{"Name", "Cabinets"}});
  const int32_t item = AddRecord(db->CatalogItemFile(), {{"Name", "Base unit"}, {"Group", group}});

  EXPECT_FALSE(groups.DeleteRecordIfAllowed(0, group));
  groups.ReadRecord(group, nullptr);  // still there

  db->CatalogItemFile().ReadRecord(item, nullptr);
  cattest::SetField(db->CatalogItemFile(), "Group", 0);
  db->CatalogItemFile().WriteRecord(item, nullptr);
  EXPECT_TRUE(groups.DeleteRecordIfAllowed(0, group));
  EXPECT_NE(dbtest::ErrorOf([&] { groups.ReadRecord(group, nullptr); }), 0);
}

TEST_F(CatalogueTest, AFileThatIsNoDatabaseGivesAnErrorNumber) {
  dbtest::WriteFileBytes(Path(), std::vector<unsigned char>(3000, 0x5A));
  EXPECT_NE(dbtest::ErrorOf([&] { Open(); }), 0);
  EXPECT_EQ(ExtrasCatalogDatabase, nullptr);
  EXPECT_EQ(dbtest::FileBytes(Path()), std::vector<unsigned char>(3000, 0x5A));
}

}  // namespace
