// The resources database on files the tests make: the header record of a new file, the record
// texts of its three tables and the one-line import with keys, links and long resource texts.
#include <gtest/gtest.h>

#include <algorithm>

#include "CatalogueTestSupport.h"
#include "catalogue/databases/qxResourcedb.h"
#include "catalogue/records/qxLangCodeFile.h"
#include "catalogue/records/qxResTypeFile.h"
#include "catalogue/records/qxResourceFile.h"

namespace {

using cattest::AddRecord;
using cattest::LongField;
using cattest::SetWords;

constexpr int32_t kResId = 1, kLanguageCode = 3, kName = 4, kResource = 5;
constexpr int32_t kKey = 1, kKeyNoAdd = 3;

Handle FieldMap(std::initializer_list<ppFieldMapEntry> entries) {
  std::vector<int32_t> words;
  for (const ppFieldMapEntry& e : entries) words.insert(words.end(), {e.field, e.linkedFileId, e.third});
  Handle map = nullptr;
  Vcon_HandleManager::MemNew(&map, uint32_t(words.size() * 4));
  std::memcpy(*map, words.data(), words.size() * 4);
  return map;
}

class ResourceDatabaseTest : public cattest::CatalogueTest {
 protected:
  std::unique_ptr<qxResourcedb> OpenResources() {
    ppFileSpec file = dbtest::SpecFor(Path("resources.cdb"));
    return std::make_unique<qxResourcedb>(file);
  }

  // Imports `text` with `map` (both disposed here).
  static void Import(qxResourceFile& resources, const std::string& text, Handle map) {
    Handle h = dbtest::HandleOf(text);
    resources.ImportText(h, map);
    MemDispose(h);
    MemDispose(map);
  }

  // The record text of every record, sorted.
  static std::vector<std::string> Texts(qxResourceFile& resources) {
    std::vector<std::string> texts;
    resources.SelectAll();
    for (int32_t i = 0; i < resources.GetSelectedCount(); ++i) {
      resources.ReadRecordAt(i, nullptr);
      Vcon::String text;
      resources.GetDisplayText(text, nullptr);
      texts.push_back(text.c_str());
    }
    std::sort(texts.begin(), texts.end());
    return texts;
  }

  // Reads the first record whose indexed `field` holds `key`; false when none.
  static bool ReadByKey(qxResourceFile& resources, int32_t field, const void* key) {
    const int32_t id = resources.FindRecordByKey(field, key);
    if (id != 0) resources.ReadRecord(id, nullptr);
    return id != 0;
  }
};

const std::string kHeaderText("0  \x01");  // the header's words 1 and 0 as text: one byte

TEST_F(ResourceDatabaseTest, ANewFileHoldsOnlyTheHeaderRecord) {
  OpenResources();
  auto db = OpenResources();
  qxResourceFile& resources = db->ResourceFile();
  resources.SelectAll();
  ASSERT_EQ(resources.GetSelectedCount(), 1);
  resources.ReadRecordAt(0, nullptr);
  EXPECT_EQ(LongField(resources, "id"), 0);
  EXPECT_EQ(RecordField(resources, "resource").Words(resources.GetRecordBuffer()),
            (std::vector<int32_t>{1, 0}));
  EXPECT_EQ(db->ResourceFile().HeaderWord(0), 1);
  EXPECT_EQ(db->ResourceFile().HeaderWord(1), 0);
  EXPECT_EQ(db->ResourceFile().HeaderWord(2), 0);  // beyond the blob
}

TEST_F(ResourceDatabaseTest, RecordTextsJoinTheirFieldsWithOneBlank) {
  auto db = OpenResources();
  qxResourceFile& resources = db->ResourceFile();
  AddRecord(resources, {{"resID", 5}, {"name", "logo"}});
  Vcon::String text;
  resources.GetDisplayText(text, nullptr);
  EXPECT_EQ(text, "5 logo ");  // no resource bytes
  // Resource bytes without a NUL end at the blob's end.
  SetWords(resources, "resource", {0x41414141});
  resources.GetDisplayText(text, nullptr);
  EXPECT_EQ(text, "5 logo AAAA");

  qxResTypeFile& types = resources.ResTypeFile();
  EXPECT_EQ(types.FieldCount(), 2);  // its layout resource holds a third entry
  AddRecord(types, {{"id", 3}, {"resType", "PNG"}});
  types.GetDisplayText(text, nullptr);
  EXPECT_EQ(text, "3 PNG");
  qxLangCodeFile& languages = resources.LangCodeFile();
  AddRecord(
      languages,
      {{"langCode", 1033}, {"langShortName", "en"}, {"langLongName", "English"}, {"langCountryCode", "US"}});
  languages.GetDisplayText(text, nullptr);
  EXPECT_EQ(text, "1033 en English US");
}

TEST_F(ResourceDatabaseTest, ImportUpdatesTheOneRecordItsKeyNamesAndAddsOtherLines) {
  auto db = OpenResources();
  qxResourceFile& resources = db->ResourceFile();
  AddRecord(resources, {{"resID", 7}, {"name", "a"}});
  AddRecord(resources, {{"resID", 7}, {"name", "b"}});
  AddRecord(resources, {{"resID", 8}, {"name", "c"}});
  const int32_t danish = AddRecord(resources.LangCodeFile(), {{"langCode", 1030}});
  AddRecord(resources.LangCodeFile(), {{"langCode", 1033}});

  Import(resources, "7\tnew\tone\t1030\n8\trenamed\ttwo\t2000\n\n9\tnine\tthree\n",
         FieldMap({{kResId, 0, kKey}, {kName, 0, 0}, {kResource, 0, 0}, {kLanguageCode, 5002, 1}}));
  EXPECT_EQ(Texts(resources), (std::vector<std::string>{kHeaderText, "7 a ", "7 b ", "7 new one",
                                                        "8 renamed two", "9 nine three"}));
  ASSERT_TRUE(ReadByKey(resources, kName, "new"));
  EXPECT_EQ(LongField(resources, "languageCode"), danish);
  ASSERT_TRUE(ReadByKey(resources, kName, "renamed"));
  EXPECT_EQ(LongField(resources, "languageCode"), 0);  // no language 2000

  // With key flag 2 a line that names no record adds nothing; a key matching two names none.
  Import(resources, "7\tseven\tx\n10\tten\ty\n8\teight\tz\n",
         FieldMap({{kResId, 0, kKeyNoAdd}, {kName, 0, 0}, {kResource, 0, 0}}));
  EXPECT_EQ(Texts(resources), (std::vector<std::string>{kHeaderText, "7 a ", "7 b ", "7 new one", "8 eight z",
                                                        "9 nine three"}));
}

TEST_F(ResourceDatabaseTest, ImportedResourceTextsKeepTheirBytesUpToTheFieldBuffer) {
  auto db = OpenResources();
  qxResourceFile& resources = db->ResourceFile();
  const std::string longText(1000, 'r'), tooLong(40000, 's');
  Import(resources, "1\t" + longText + "\n2\t" + tooLong + "\n",
         FieldMap({{kResId, 0, 0}, {kResource, 0, 0}}));
  for (auto [resId, expected] : {std::pair{1, longText}, std::pair{2, tooLong.substr(0, 32767)}}) {
    ASSERT_TRUE(ReadByKey(resources, kResId, &resId));
    Handle data = RecordField(resources, "resource").Data(resources.GetRecordBuffer());
    ASSERT_EQ(MemGetSize(data), expected.size() + 1) << resId;
    EXPECT_EQ(std::string(*data), expected) << resId;  // the text and its NUL
  }
}

}  // namespace
