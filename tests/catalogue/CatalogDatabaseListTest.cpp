// The catalogue list on files the tests make: which files the function records name, which of
// them are listed by the code in their head, lookups by identifier and place, and ownership.
#include <gtest/gtest.h>

#include "CatalogueTestSupport.h"
#include "catalogue/databases/CatalogDatabaseList.h"
#include "catalogue/databases/qxApplicationdb.h"
#include "catalogue/records/qxApplicationFil.h"
#include "catalogue/records/qxFunctionFil.h"

namespace {

using cattest::ChangeSettings;
using cattest::SetField;
using Lines = std::vector<std::string>;

constexpr uint32_t kCode = CatalogDatabaseList::kCatalogueCode;
constexpr uint32_t kTypeCode = 0x56484B54;  // "VHKT"

class CatalogListTest : public cattest::CatalogueTest {
 protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    ppFileSpec file = dbtest::SpecFor(Path("zadezodid.cdb"));
    application_ = std::make_unique<qxApplicationdb>(file);
    gStartupWindow = &progress_;
  }
  void TearDown() override {
    application_.reset();
    CatalogueTest::TearDown();
  }

  // A catalogue file with the words at bytes 4 and 8, its settings "name" and "identifier".
  void MakeCatalogue(const std::string& file, uint32_t atByte4, uint32_t atByte8, const char* name,
                     int32_t identifier) {
    ppFileSpec fileRecord = dbtest::SpecFor(Path(file));
    fileRecord.word2 = atByte4;
    fileRecord.word4 = atByte8;
    zelvDatabase db(fileRecord);
    ChangeSettings(db, {{"name", name}, {"identifier", identifier}});
  }

  // The application record's function records: {type, file name}, stored with the record.
  void SetFunctions(std::initializer_list<std::pair<int32_t, std::string>> functions) {
    qxFunctionFil& table = application_->ApplicationFile().FunctionFile();
    table.DisposeRecords();
    for (const auto& [type, file] : functions) {
      table.ClearRecordBuffer(nullptr);
      SetField(table, "type", type);
      SetField(table, "path", Path(file).c_str());
      table.InsertRecordAt(-1, nullptr);
    }
    table.SaveToBlob();
    application_->ApplicationFile().WriteRecord(0, nullptr);
  }

  static std::string NameOf(zelvDatabase* db) {
    return db != nullptr ? db->SettingsFile().LocalName().Narrow().c_str() : "(none)";
  }

  std::unique_ptr<qxApplicationdb> application_;
  cattest::ProgressLog progress_;
};

TEST_F(CatalogListTest, OnlyFilesWithTheCodeAtByte8AreListed) {
  MakeCatalogue("listed.cdb", kTypeCode, kCode, "Listed", 1);
  MakeCatalogue("unlisted.cdb", kCode, 0, "Unlisted", 5);
  MakeCatalogue("plain.cdb", kTypeCode, 0, "Plain", 6);
  MakeCatalogue("other.cdb", kTypeCode, kCode, "Other type", 3);
  dbtest::WriteFileBytes(Path("short.cdb"), {0, 0, 0, 0, 'v', 'l', 'e', 'Z'});  // the code, no database
  SetFunctions({{4, "listed.cdb"},
                {4, "missing.cdb"},
                {4, "unlisted.cdb"},
                {4, "plain.cdb"},
                {3, "other.cdb"},
                {4, "short.cdb"}});
  progress_.lines.clear();
  {
    CatalogDatabaseList list;
    EXPECT_EQ(CatalogDatabases, &list);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(NameOf(list.DatabaseAt(0)), "Listed");
    EXPECT_EQ(list.EntryAt(0)->fileTypeCode, kTypeCode);
    EXPECT_EQ(list.DatabaseAt(0)->FileTypeCode(), kTypeCode);
    for (int32_t index : {-1, 1, 2}) EXPECT_EQ(list.DatabaseAt(index), nullptr) << index;
    EXPECT_EQ(list.FindById(1), list.DatabaseAt(0));
    // Neither the unlisted nor the plain file, nor one a record of another type names, is found.
    for (int32_t identifier : {5, 6, 3}) EXPECT_EQ(list.FindById(identifier), nullptr) << identifier;
    EXPECT_EQ(MainCatalogDatabase, list.DatabaseAt(0));
    // The unlisted catalogue was opened; without top views it serves the extras.
    EXPECT_EQ(progress_.lines, (Lines{"Opening  Listed", "Opening  Unlisted"}));
    EXPECT_EQ(NameOf(ExtrasCatalogDatabase), "Unlisted");
    EXPECT_FALSE(std::filesystem::exists(Path("missing.cdb")));
  }
  // Nothing is left naming a closed database.
  EXPECT_EQ(CatalogDatabases, nullptr);
  EXPECT_EQ(MainCatalogDatabase, nullptr);
  EXPECT_EQ(ExtrasCatalogDatabase, nullptr);
}

TEST_F(CatalogListTest, TheFirstNamedOfTwoWithOneIdentifierIsFound) {
  MakeCatalogue("a.cdb", kTypeCode, kCode, "A", 2);
  MakeCatalogue("b.cdb", kTypeCode, kCode, "B", 1);
  MakeCatalogue("c.cdb", kTypeCode, kCode, "C", 1);
  SetFunctions({{4, "a.cdb"}, {4, "c.cdb"}, {4, "b.cdb"}});
  {
    CatalogDatabaseList list;
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(NameOf(list.DatabaseAt(0)), "A");  // the order of the function records
    EXPECT_EQ(NameOf(list.FindById(1)), "C");
    EXPECT_EQ(NameOf(MainCatalogDatabase), "C");
    EXPECT_EQ(NameOf(list.FindById(2)), "A");
  }

  SetFunctions({{3, "a.cdb"}, {0, "b.cdb"}});
  CatalogDatabaseList list;
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.DatabaseAt(0), nullptr);
  EXPECT_EQ(MainCatalogDatabase, nullptr);
}

}  // namespace
