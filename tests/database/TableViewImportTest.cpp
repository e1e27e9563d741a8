// Tables moved as tab-separated text through field maps: keys that update or add, links written as
// the linked record's text, lines longer or shorter than the map, and export back to text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <filesystem>

#include "TableViewTestSupport.h"
#include "database/dbErrors.h"
#include "foundation/FileOperations.h"
#include "foundation/ppMoney.h"
#include "platform/CommonDialogs.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"

using namespace viewtest;

namespace {

Handle MapOf(const std::vector<ppFieldMapEntry>& entries) {
  Handle h = nullptr;
  Vcon_HandleManager::MemNew(&h, uint32_t(entries.size() * ppDatafile::kFieldMapEntrySize));
  for (size_t i = 0; i < entries.size(); ++i) {
    const int32_t words[3] = {entries[i].field, entries[i].linkedFileId, entries[i].third};
    std::memcpy(*h + i * ppDatafile::kFieldMapEntrySize, words, sizeof words);
  }
  return h;
}

class TableViewImportTest : public ::testing::Test {
 protected:
  TableViewImportTest() {
    towns_ = std::make_unique<ppDatafile>("towns", base_.Db());
    oslo_ = AddTown(*towns_, "Oslo", 150);
    bergen_ = AddTown(*towns_, "Bergen", 5003);
    people_ = std::make_unique<ppDatafile>("people", base_.Db());
  }
  ~TableViewImportTest() override {
    people_.reset();
    towns_.reset();
    for (Handle h : handles_) MemDispose(h);
  }
  Handle Map(const std::vector<ppFieldMapEntry>& entries) { return Keep(MapOf(entries)); }
  Handle Keep(Handle h) {
    handles_.push_back(h);
    return h;
  }
  void Import(const std::string& text, Handle map) { people_->ImportText(Keep(dbtest::HandleOf(text)), map); }
  std::string Export(Handle map) { return ExportFrom(*people_, map); }
  std::string ExportFrom(ppDatafile& view, Handle map) {
    const std::string path = folder_.Path("out.txt");
    std::filesystem::remove(path);
    ppFileSpec fileSpec = dbtest::SpecFor(path);
    FileCreate(fileSpec);
    FileOpen(fileSpec, fileSpec, false);
    view.ExportToFile(fileSpec, map);
    FileClose(fileSpec);
    const auto bytes = dbtest::FileBytes(path);
    return std::string(bytes.begin(), bytes.end());
  }
  // name, age, note and town of the person found by name; "" when none.
  std::string Person(const char* name) {
    const int32_t id = people_->FindRecordByKey(kName, name);
    if (id == 0) return "";
    people_->ReadRecord(id, nullptr);
    ppParameter age, note, town;
    people_->GetFieldValue(kAge, age, nullptr);
    people_->GetFieldValue(kNote, note, nullptr);
    people_->GetFieldValue(kTown, town, nullptr);
    return std::string(name) + "/" + Text(age) + "/" + Text(note) + "/" + Text(town);
  }

  dbtest::TempFolder folder_;
  ViewDatabase base_{folder_.Path("import.db")};
  std::unique_ptr<ppDatafile> towns_, people_;
  int32_t oslo_ = 0, bergen_ = 0;
  std::vector<Handle> handles_;
};

constexpr int32_t kKey = 1, kKeyNoAdd = 3;

TEST_F(TableViewImportTest, KeysUpdateFoundRecordsAndAddUnknownOnes) {
  Handle map = Map({{kName, 0, kKey}, {kAge, 0, 0}, {kNote, 0, 0}, {kTown, kTownsId, kTownName}});
  Import("Anna\t31\tfirst\tOslo\r\nBert\t45\t\tNowhere\r\n", map);
  EXPECT_EQ(people_->GetRecordCount(), 2);
  EXPECT_EQ(Person("Anna"), "Anna/31/first/" + std::to_string(oslo_));
  EXPECT_EQ(Person("Bert"), "Bert/45//0");  // an unknown town leaves the link unchanged

  Import("Anna\t32\tagain\tBergen\nCleo\t20\tnew\tOslo", map);
  EXPECT_EQ(people_->GetRecordCount(), 3);
  EXPECT_EQ(Person("Anna"), "Anna/32/again/" + std::to_string(bergen_));
  EXPECT_EQ(Person("Cleo"), "Cleo/20/new/" + std::to_string(oslo_));

  // Flags with 2 update but never add.
  Handle noAdd = Map({{kName, 0, kKeyNoAdd}, {kAge, 0, 0}});
  Import("Dora\t70\r\nBert\t46\r\n", noAdd);
  EXPECT_EQ(people_->GetRecordCount(), 3);
  EXPECT_EQ(Person("Dora"), "");
  EXPECT_EQ(Person("Bert"), "Bert/46//0");
}

TEST_F(TableViewImportTest, FieldsBeforeTheKeyGiveWayToTheStoredRecord) {
  Import("Anna\t31\tkept\r\n", Map({{kName, 0, kKey}, {kAge, 0, 0}, {kNote, 0, 0}}));
  Import("99\tAnna\tchanged\r\n", Map({{kAge, 0, 0}, {kName, 0, kKey}, {kNote, 0, 0}}));
  EXPECT_EQ(people_->GetRecordCount(), 1);
  EXPECT_EQ(Person("Anna"), "Anna/31/changed/0");
}

TEST_F(TableViewImportTest, LinesLongerOrShorterThanTheMap) {
  Handle map = Map({{kName, 0, kKey}, {kAge, 0, 0}});
  // The surplus fields of a line are skipped; they never start the next record.
  Import("Anna\t31\tsurplus\tmore\r\nBert\r\n\r\nCleo\t40\r\n", map);
  EXPECT_EQ(people_->GetRecordCount(), 3);
  EXPECT_EQ(Person("Anna"), "Anna/31//0");
  EXPECT_EQ(Person("Bert"), "Bert/0//0");
  EXPECT_EQ(Person("Cleo"), "Cleo/40//0");
  EXPECT_EQ(Person("surplus"), "");

  // A field longer than the reader's buffer is cut to 255 characters.
  Import(std::string(300, 'x') + "\t1\r\n", map);
  EXPECT_EQ(Person(std::string(255, 'x').c_str()), std::string(255, 'x') + "/1//0");

  // Entries for fields the layout does not have are passed over.
  Import("Dora\t5\t6\r\n", Map({{kName, 0, kKey}, {42, 0, 0}, {kAge, 0, 0}}));
  EXPECT_EQ(Person("Dora"), "Dora/6//0");
}

TEST_F(TableViewImportTest, ExportWritesOneLinePerSelectedRecord) {
  Handle map = Map({{kName, 0, kKey}, {kAge, 0, 0}, {kNote, 0, 0}, {kTown, kTownsId, kTownName}});
  Import("Bert\t45\ttab\\there\tOslo\r\nAnna\t31\t\\\"quoted\\\" \\\\ path\tBergen\r\nCleo\t20\t\t\r\n", map);
  people_->SelectAll();
  const std::string text = Export(map);
  EXPECT_EQ(text,
            "Anna\t31\t\\\"quoted\" \\\\ path\tBergen\r\n"
            "Bert\t45\ttab\\there\tOslo\r\n"
            "Cleo\t20\t\t\r\n");  // a link to record 0 is empty

  // What was exported imports back to the same records.
  people_->SelectAll();
  Import(text, map);
  EXPECT_EQ(people_->GetRecordCount(), 3);
  people_->SelectAll();
  EXPECT_EQ(Export(map), text);

  // A narrowed selection exports only its records; a map of nothing exports nothing.
  people_->Select(kName, 1, ppParameter("Cleo"), ppParameter("Cleo"), '#');
  EXPECT_EQ(Export(map), "Cleo\t20\t\t\r\n");
  EXPECT_EQ(Export(Map({})), "");
}

TEST_F(TableViewImportTest, FractionsSurviveExportAndImport) {
  ppDatafile parts("parts", base_.Db());
  Handle map = Map({{kPart, 0, kKey}, {kWidth, 0, 0}, {kDepth, 0, 0}, {kCount, 0, 0}});
  const std::string text = "leg\t0.5\t1.25\t4\r\ntop\t1234.75\t-0.5\t1\r\n";
  parts.ImportText(Keep(dbtest::HandleOf(text)), map);
  parts.SelectAll();
  EXPECT_DOUBLE_EQ(parts.GetValue(kWidth).ToDouble(), 0.5);
  EXPECT_FLOAT_EQ(parts.GetValue(kDepth).ToFloat(), 1.25f);
  EXPECT_EQ(ExportFrom(parts, map), text);
}

TEST_F(TableViewImportTest, LinksToMissingFilesOrRecordsExportEmpty) {
  Import("Anna\t31\tOslo\r\n", Map({{kName, 0, kKey}, {kAge, 0, 0}, {kTown, kTownsId, kTownName}}));
  towns_->DeleteRecord(oslo_);
  people_->SelectAll();
  EXPECT_EQ(Export(Map({{kName, 0, 0}, {kTown, kTownsId, kTownName}, {kTown, 7777, 0}})), "Anna\t\t\r\n");
}

TEST_F(TableViewImportTest, ImportFromFileReadsTheWholeFile) {
  const std::string path = folder_.Path("in.txt");
  const std::string text = "Zoe\t9\r\nYann\t12\r\nUte\t70";  // the last line has no line end
  dbtest::WriteFileBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
  Handle map = Map({{kName, 0, kKey}, {kAge, 0, 0}});
  people_->ImportFromFile(map, dbtest::SpecFor(path));
  EXPECT_EQ(Person("Zoe"), "Zoe/9//0");
  EXPECT_EQ(Person("Yann"), "Yann/12//0");
  EXPECT_EQ(Person("Ute"), "Ute/70//0");
  EXPECT_EQ(people_->GetRecordCount(), 3);
  people_->ImportFromFile(nullptr, dbtest::SpecFor(path));  // no map: nothing happens
  EXPECT_EQ(people_->GetRecordCount(), 3);
  EXPECT_EQ(dbtest::ErrorOf([&] { people_->ImportFromFile(map, dbtest::SpecFor(path + "x")); }),
            kFileErrCannotOpen);
}

// Notes the process-wide money format's affix at every value the import sets and every record the
// export writes: what another thread formatting money at that moment would see.
class MoneyWatchingView : public ppDatafile {
 public:
  using ppDatafile::ppDatafile;
  void SetFieldValue(int32_t field, const ppParameter& value, char* buffer) override {
    seen.push_back(ppMoney::DefaultFormat().affix);
    ppDatafile::SetFieldValue(field, value, buffer);
  }
  void ExportRecord(ppFileSpec& file, Handle fieldMap) override {
    seen.push_back(ppMoney::DefaultFormat().affix);
    ppDatafile::ExportRecord(file, fieldMap);
  }
  std::vector<std::string> seen;
};

TEST_F(TableViewImportTest, MoneyMovesInThePlainFormatWhileTheUsersFormatStays) {
  enum { kItem, kPrice };
  dbDatabase& db = base_.Db();
  db.RegisterFile(
      "prices",
      new dbDatafile("prices", db,
                     dbtest::MakeLayout(1000, {{"item", 1, 1}, {"price", 3}}, dbtest::kAsGiven, 6006)),
      [](dbDatafile* f) { delete f; });
  struct RestoreMoneyFormat {
    DecimalFormat saved = ppMoney::DefaultFormat();
    ~RestoreMoneyFormat() { ppMoney::SetDefaultFormat(saved); }
  } restore;
  DecimalFormat user;
  user.affixOn = user.affixBefore = user.grouping = true;
  user.affix = "CU ";
  user.decimalPoint = ",";
  user.thousandsSeparator = ".";
  ppMoney::SetDefaultFormat(user);

  MoneyWatchingView prices("prices", base_.Db());
  Handle map = Map({{kItem, 0, kKey}, {kPrice, 0, 0}});
  const std::string text = "chair\t1234.50\r\nlamp\t-7.05\r\n";
  prices.ImportText(Keep(dbtest::HandleOf(text)), map);
  prices.SelectAll();
  EXPECT_EQ(prices.GetValue(kPrice).ToMoney().Raw(), 12'345'000);
  prices.GoToItem(1);
  EXPECT_EQ(prices.GetValue(kPrice).ToMoney().Raw(), -70'500);
  EXPECT_EQ(ExportFrom(prices, map), text);

  ASSERT_EQ(prices.seen.size(), 6u);  // four values set, two records written
  for (const std::string& affix : prices.seen) EXPECT_EQ(affix, "CU ");
  // Outside a move the view reads money in the user's format again.
  EXPECT_EQ(prices.MoneyTextFormat(), nullptr);
  prices.SetValue(kPrice, ppParameter("CU 1.234,5"));
  EXPECT_EQ(prices.GetValue(kPrice).ToMoney().Raw(), 12'345'000);
}

// The user goes to the test's folder in the file dialog, then types `name` and presses Enter, or
// Esc when the name is empty.
void AnswerDialog(const std::string& folder, const char16_t* name) {
  static std::vector<std::function<void(plat::HWND)>> steps;
  static size_t next = 0;
  std::u16string path = std::filesystem::path(folder).u16string();
  std::replace(path.begin(), path.end(), u'/', u'\\');
  steps = {[path](plat::HWND d) {
             plat::SetDlgItemTextW(d, plat::kFileNameItem, path.c_str());
             plat::SetFocus(plat::GetDlgItem(d, plat::kFileNameItem));
             plat::Desktop::Key(plat::VK_RETURN, true);
           },
           [name](plat::HWND d) {
             plat::SetDlgItemTextW(d, plat::kFileNameItem, name);
             plat::Desktop::Key(*name ? plat::VK_RETURN : plat::VK_ESCAPE, true);
           }};
  next = 0;
  plat::HeadlessDriver::SetIdleScript([] {
    if (next == steps.size()) return false;
    steps[next++](plat::GetActiveWindow());
    return true;
  });
}

TEST_F(TableViewImportTest, DialogsChooseTheFiles) {
  plat::HeadlessDriver::Reset();
  const std::filesystem::path saved = std::filesystem::current_path();
  const std::string folder = folder_.Path("");
  dbtest::WriteFileBytes(folder_.Path("in.txt"), {'Z', 'o', 'e', '\t', '9', '\r', '\n'});
  Handle map = Map({{kName, 0, kKey}, {kAge, 0, 0}});
  AnswerDialog(folder, u"in.txt");
  people_->ImportWithFileDialog(map);
  EXPECT_EQ(Person("Zoe"), "Zoe/9//0");
  AnswerDialog(folder, u"");
  people_->ImportWithFileDialog(map);  // cancelled: nothing read
  EXPECT_EQ(people_->GetRecordCount(), 1);

  people_->SelectAll();
  AnswerDialog(folder, u"chosen.txt");
  people_->ExportWithFileDialog(map);
  const auto bytes = dbtest::FileBytes(folder_.Path("chosen.txt"));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "Zoe\t9\r\n");
  AnswerDialog(folder, u"");
  people_->ExportWithFileDialog(map);  // cancelled: no file is touched
  plat::HeadlessDriver::Reset();
  std::filesystem::current_path(saved);
}

}  // namespace
