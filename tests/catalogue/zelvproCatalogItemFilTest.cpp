#include <gtest/gtest.h>

#include "CatalogueTestSupport.h"
#include "catalogue/records/zelvproCatalogItemFil.h"
#include "catalogue/records/zelvproGroupFil.h"
#include "catalogue/records/zelvproPreferences.h"
#include "catalogue/records/zelvproTypeFil.h"

namespace {

using cattest::AddRecord;
using cattest::CatalogueTest;
using cattest::kLanguage;
using cattest::WideField;

TEST_F(CatalogueTest, AnItemReadsWithItsNameInTheCurrentLanguage) {
  int32_t translated = 0, plain = 0;
  {
    auto db = Open();
    translated = AddRecord(db->CatalogItemFile(), {{"Name", "Base unit"}});
    plain = AddRecord(db->CatalogItemFile(), {{"Name", "Wall unit \xE6"}});
    AddRecord(db->StringFile(),
              {{"id", translated * 10}, {"languageCode", kLanguage}, {"string", u"Underskab"}});
    AddRecord(db->StringFile(),
              {{"id", plain * 10}, {"languageCode", cattest::kOtherLanguage}, {"string", u"x"}});
  }
  auto db = Open();
  zelvproCatalogItemFil& items = db->CatalogItemFile();
  items.ReadRecord(translated, nullptr);
  EXPECT_EQ(WideField(items, "tname"), "Underskab");
  items.ReadRecord(plain, nullptr);
  EXPECT_EQ(RecordField(items, "tname").WideText(items.GetRecordBuffer()), u"Wall unit \u00E6");
}

TEST_F(CatalogueTest, TheTwoItemViewsKeepTheirOwnRecordAndSelection) {
  auto db = Open();
  zelvproCatalogItemFil& first = db->CatalogItemFile();
  zelvproCatalogItemFil& second = db->CatalogItemFile2();
  const int32_t a = AddRecord(first, {{"ID", "A"}, {"Name", "Alpha"}});
  const int32_t b = AddRecord(first, {{"ID", "B"}, {"Name", "Beta"}});

  first.SelectAll();
  second.Select(second.IndexOf("ID"), 1, ppParameter("B"), ppParameter("B"), '#');
  first.ReadRecordAt(0, nullptr);
  EXPECT_EQ(first.GetSelectedCount(), 2);
  EXPECT_EQ(second.GetSelectedCount(), 1);
  EXPECT_EQ(first.CurrentRecordId(), a);
  EXPECT_EQ(second.CurrentRecordId(), b);
  EXPECT_EQ(WideField(first, "tname"), "Alpha");
  EXPECT_EQ(WideField(second, "tname"), "Beta");
}

TEST_F(CatalogueTest, CatalogueTablesShowTheirNameAndAnswerTheRecordWalk) {
  auto db = Open();
  AddRecord(db->GroupFile(), {{"Name", "Cabinets"}});
  AddRecord(db->TypeFile(), {{"Name", "Door"}});
  AddRecord(db->CatalogItemFile(), {{"Name", "Base unit"}});
  cattest::ChangeSettings(*db, {{"name", "Demo"}});
  const struct {
    ppDatafile* table;
    const char* text;
    bool recordClass;
  } cases[] = {{&db->GroupFile(), "Cabinets", true},
               {&db->TypeFile(), "Door", false},
               {&db->CatalogItemFile(), "Base unit", true},
               {&db->SettingsFile(), "Demo", false}};
  for (const auto& c : cases) {
    c.table->SelectAll();
    Vcon::String text;
    c.table->GetDisplayText(text, nullptr);
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(c.table->VisitRecord(nullptr, 0), 1) << c.text;
    EXPECT_TRUE(c.table->AnswersRecordQuery(nullptr, 0, 0)) << c.text;
    EXPECT_EQ(c.table->IsRecordClass(), c.recordClass) << c.text;
  }
}

}  // namespace
