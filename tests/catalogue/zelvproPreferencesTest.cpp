#include <gtest/gtest.h>

#include "CatalogueTestSupport.h"
#include "catalogue/records/zelvproPreferences.h"
#include "database/ppDatabase.h"

namespace {

using cattest::AddRecord;
using cattest::CatalogueTest;
using cattest::kLanguage;
using cattest::kOtherLanguage;

// Settings that note each upgrade instead of converting.
class CountingPreferences : public zelvproPreferences {
 public:
  using zelvproPreferences::zelvproPreferences;
  void UpgradeCatalog(int32_t from, int32_t to) override { upgrades.emplace_back(from, to); }
  std::vector<std::pair<int32_t, int32_t>> upgrades;
};

TEST_F(CatalogueTest, ANewCatalogueGetsOneSettingsRecordOfTheCurrentVersion) {
  Open();
  {
    auto db = Open();
    ppDatafile settings("qxSettings", *db);
    settings.SelectAll();
    ASSERT_EQ(settings.GetSelectedCount(), 1);
    EXPECT_EQ(cattest::LongField(settings, "version"), zelvproPreferences::kCatalogVersion);
    cattest::ChangeSettings(*db, {{"version", 5}});
  }
  EXPECT_EQ(Open()->SettingsFile().Version(), 5);  // a newer catalogue is left as it is
}

TEST_F(CatalogueTest, OnlyCataloguesBeforeVersionFourAreUpgraded) {
  ppFileSpec file = dbtest::SpecFor(Path());
  ppDatabase db(file);
  const struct {
    int32_t version;
    std::vector<std::pair<int32_t, int32_t>> upgrades;
  } cases[] = {{2, {{2, 4}}}, {3, {{3, 4}}}, {4, {}}, {5, {}}};
  for (const auto& c : cases) {
    {
      ppDatafile raw("qxSettings", db);
      raw.SelectAll();
      if (raw.GetSelectedCount() > 0) raw.DeleteRecordAt(0);
      AddRecord(raw, {{"version", c.version}});
    }
    CountingPreferences settings(db);
    settings.InitDefaults();
    EXPECT_EQ(settings.upgrades, c.upgrades) << c.version;
    EXPECT_EQ(settings.Version(), c.version);
  }
}

TEST_F(CatalogueTest, SettingsTextsAreTheRecordsTextsInTheCurrentLanguage) {
  int32_t record = 0;
  {
    auto db = Open();
    record = db->SettingsFile().CurrentRecordId();
    cattest::ChangeSettings(*db, {{"name", "Demo"}, {"helpText", "Help"}, {"printNote", "Note"}});
    AddRecord(db->StringFile(), {{"id", record * 10}, {"languageCode", kLanguage}, {"string", u"Demo DK"}});
    AddRecord(db->StringFile(),
              {{"id", record * 10 + 2}, {"languageCode", kLanguage}, {"string", u"Note DK"}});
    AddRecord(db->StringFile(),
              {{"id", record * 10 + 1}, {"languageCode", kOtherLanguage}, {"string", u"Help SE"}});
  }
  auto db = Open();
  EXPECT_EQ(db->SettingsFile().LocalName(), u"Demo DK");
  EXPECT_EQ(db->SettingsFile().LocalHelpText(), u"Help");  // only in another language
  EXPECT_EQ(db->SettingsFile().LocalPrintNote(), u"Note DK");
  Vcon::String shown;
  db->SettingsFile().GetDisplayText(shown, nullptr);
  EXPECT_EQ(shown, "Demo");
}

TEST_F(CatalogueTest, ColoursTheSettingsNameCannotBeDeleted) {
  auto db = Open();
  zelvproPreferences& settings = db->SettingsFile();
  cattest::SetField(settings, "colorCatalogLink", 40);
  cattest::SetWords(settings, "colors", {41, 42});
  settings.WriteRecordAt(0, nullptr);
  const struct {
    int32_t fileId;
    int32_t id;
    bool allowed;
  } cases[] = {{5408, 40, false}, {5408, 41, false}, {5408, 42, false}, {5408, 43, true}, {5400, 40, true}};
  for (const auto& c : cases) {
    EXPECT_EQ(settings.AllowsDeleteOf(c.fileId, c.id), c.allowed) << c.fileId << "/" << c.id;
    EXPECT_EQ(db->CanDeleteRecord(c.fileId, c.id), c.allowed) << c.fileId << "/" << c.id;
  }
}

}  // namespace
