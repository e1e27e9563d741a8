// Table files: creation, record upkeep with indexes, the layout upgrade, queries, and stored tables
// that contradict themselves.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "database/HandleList.h"
#include "database/dbDatabase.h"
#include "database/dbDatafile.h"
#include "database/dbErrors.h"
#include "database/dbStringHandler.h"
#include "DbTestSupport.h"
#include "LayoutTestSupport.h"
#include "foundation/ppParameter.h"

using dbtest::ErrorOf;
using dbtest::MakeLayout;
using Numbers = std::vector<int32_t>;

namespace {

// People: 0 name (text, indexed), 1 age (long, indexed), 2 note (text), 3 code (long, indexed),
// 4 city (text, not indexed until version 2).
enum { kName, kAge, kNote, kCode, kCity };

std::vector<uint8_t> PeopleV1() {
  return MakeLayout(1, {{"name", 1, 1}, {"age", 2, 1}, {"note", 1}, {"code", 2, 1}, {"city", 1}});
}

// Version 2: code lost its index, city gained one.
std::vector<uint8_t> PeopleV2() {
  return MakeLayout(2, {{"name", 1, 1}, {"age", 2, 1}, {"note", 1}, {"code", 2}, {"city", 1, 1}});
}

Numbers Sorted(Handle list) {
  Numbers out;
  for (uint32_t i = 0; list != nullptr && i < HandleList::Count(list); ++i)
    out.push_back(HandleList::At(list, i));
  HandleList::Dispose(list);
  std::sort(out.begin(), out.end());
  return out;
}

class DatafileTest : public ::testing::Test {
 protected:
  DatafileTest() { OpenDatabase(); }

  void OpenDatabase() {
    file_.reset();
    db_.reset();
    ppFileSpec fileSpec = dbtest::SpecFor(path_);
    db_ = std::make_unique<dbDatabase>(fileSpec);
  }
  void OpenFile(const std::vector<uint8_t>& layout) {
    file_.reset();
    file_ = std::make_unique<dbDatafile>("people", *db_, layout);
  }
  int32_t Add(const char* name, int32_t age, int32_t code = 0, const char* city = "") {
    char* buffer = file_->NewRecordBuffer();
    file_->Layout().SetField(kName, ppParameter(name), buffer);
    file_->Layout().SetField(kAge, ppParameter(age), buffer);
    file_->Layout().SetField(kCode, ppParameter(code), buffer);
    file_->Layout().SetField(kCity, ppParameter(city), buffer);
    db_->BeginTransaction();
    const int32_t number = file_->AddRecord(buffer);
    db_->EndTransaction();
    file_->DisposeRecordBuffer(buffer);
    return number;
  }
  std::string NameOf(int32_t number) {
    char* buffer = file_->NewRecordBuffer();
    file_->ReadRecord(number, buffer);
    std::string name = dbStringHandler::Text(buffer + file_->Layout().Handler(kName).Offset());
    file_->DisposeRecordBuffer(buffer);
    return name;
  }
  std::vector<uint8_t> StoredRecord(int32_t number) {
    Handle h = db_->ReadRecord(number);
    std::vector<uint8_t> bytes(*h, *h + MemGetSize(h));
    db_->ReleaseRecord(number);
    return bytes;
  }
  void ReplaceStoredRecord(int32_t number, const std::vector<uint8_t>& bytes) {
    db_->BeginTransaction();
    Handle h = db_->ReadRecord(number);
    MemSetSize(h, uint32_t(bytes.size()));
    std::memcpy(*h, bytes.data(), bytes.size());
    db_->MarkRecordChanged(number);
    db_->ReleaseRecord(number);
    db_->EndTransaction();
  }
  std::vector<uint8_t> Descriptor() { return StoredRecord(db_->RecordNumberOfName("people")); }

  dbtest::TempFolder folder_;
  std::string path_ = folder_.Path("people.db");
  std::unique_ptr<dbDatabase> db_;
  std::unique_ptr<dbDatafile> file_;
};

TEST_F(DatafileTest, NewFileStoresItsLayoutAndOneIndexPerFlaggedField) {
  OpenFile(PeopleV1());
  const auto descriptor = Descriptor();
  ASSERT_EQ(descriptor.size(), 24u);
  EXPECT_EQ(dbtest::WordAt(descriptor, 0), db_->RecordNumberOfName("people"));
  EXPECT_EQ(dbtest::WordAt(descriptor, 8), 0);
  EXPECT_EQ(dbtest::WordAt(descriptor, 16), 0);
  EXPECT_EQ(dbtest::WordAt(descriptor, 20), 0);
  // The layout copy is the resource itself: its version 0 was replaced at once by the upgrade.
  EXPECT_EQ(StoredRecord(dbtest::WordAt(descriptor, 4)), PeopleV1());
  const auto list = StoredRecord(dbtest::WordAt(descriptor, 12));
  ASSERT_EQ(list.size(), 4u + 3u * 20u);
  EXPECT_EQ(dbtest::WordAt(list, 0), 3);
  EXPECT_EQ(dbtest::WordAt(list, 8), kName);
  EXPECT_EQ(dbtest::WordAt(list, 28), kAge);
  EXPECT_EQ(dbtest::WordAt(list, 48), kCode);
  for (size_t entry = 0; entry < 3; ++entry) EXPECT_GT(dbtest::WordAt(list, 4 + 20 * entry), 0);
  EXPECT_EQ(file_->IndexKind(kName), 1);
  EXPECT_EQ(file_->IndexKind(kAge), 0);
  EXPECT_EQ(file_->IndexKind(kNote), -1);
  EXPECT_EQ(file_->RecordCount(), 0);
  EXPECT_EQ(Sorted(file_->QuickSearch("")), Numbers{});
}

TEST_F(DatafileTest, RecordChangesKeepEveryIndexCurrent) {
  OpenFile(PeopleV1());
  const int32_t anna = Add("Anna", 31, 7);
  const int32_t bert = Add("Bert", 45, 7);
  const int32_t cleo = Add("Cleo", 31, 9);
  EXPECT_EQ(file_->RecordCount(), 3);
  const int32_t age45 = 45;
  EXPECT_EQ(file_->FindByKey(kAge, &age45), bert);
  EXPECT_EQ(file_->FindByKey(kName, "Cleo"), cleo);
  EXPECT_EQ(file_->FindByKey(kNote, "x"), 0);  // no index
  EXPECT_EQ(Sorted(file_->AllByIndex(kNote)), Numbers{});

  char* buffer = file_->NewRecordBuffer();
  file_->ReadRecord(anna, buffer);
  file_->Layout().SetField(kName, ppParameter("Ada"), buffer);
  db_->BeginTransaction();
  file_->WriteRecord(anna, buffer);
  file_->DeleteRecord(bert);
  db_->EndTransaction();
  file_->DisposeRecordBuffer(buffer);

  EXPECT_EQ(NameOf(anna), "Ada");
  EXPECT_EQ(file_->FindByKey(kName, "Anna"), 0);
  EXPECT_EQ(file_->FindByKey(kName, "Ada"), anna);
  EXPECT_EQ(file_->FindByKey(kAge, &age45), 0);
  EXPECT_EQ(file_->RecordCount(), 2);
  const int32_t code7 = 7;
  EXPECT_EQ(Sorted(file_->Select(kCode, '+', dbDatafile::kEqual, &code7, nullptr, nullptr)), Numbers{anna});
  // Everything survives a reopen.
  OpenDatabase();
  OpenFile(PeopleV1());
  EXPECT_EQ(file_->RecordCount(), 2);
  EXPECT_EQ(file_->FindByKey(kName, "Ada"), anna);
  EXPECT_EQ(Sorted(file_->AllByIndex(kAge)), (Numbers{anna, cleo}));
}

TEST_F(DatafileTest, AddingOutsideATransactionIsRefused) {
  OpenFile(PeopleV1());
  char* buffer = file_->NewRecordBuffer();
  EXPECT_EQ(ErrorOf([&] { file_->AddRecord(buffer); }), db::kBadCall);
  file_->DisposeRecordBuffer(buffer);
  EXPECT_EQ(file_->RecordCount(), 0);
}

TEST_F(DatafileTest, ReopeningWithTheSameVersionChangesNothing) {
  OpenFile(PeopleV1());
  for (int32_t i = 0; i < 40; ++i) Add(("p" + std::to_string(i)).c_str(), i, i % 3);
  OpenDatabase();
  file_.reset();
  db_.reset();
  const auto before = dbtest::FileBytes(path_);
  OpenDatabase();
  OpenFile(PeopleV1());
  EXPECT_EQ(file_->RecordCount(), 40);
  file_.reset();
  db_.reset();
  auto after = dbtest::FileBytes(path_);
  ASSERT_EQ(after.size(), before.size());
  std::copy(before.begin() + 1536, before.begin() + 1546, after.begin() + 1536);
  EXPECT_TRUE(after == before);
}

TEST_F(DatafileTest, UpgradeDropsLostIndexesAndBuildsNewOnes) {
  OpenFile(PeopleV1());
  const int32_t anna = Add("Anna", 31, 7, "Oslo");
  const int32_t bert = Add("Bert", 45, 7, "Bergen");
  const int32_t cleo = Add("Cleo", 31, 9, "oslo");
  const int32_t codeHeader = file_->Indexes()[2].headerRecord;
  OpenDatabase();
  OpenFile(PeopleV2());
  EXPECT_EQ(StoredRecord(dbtest::WordAt(Descriptor(), 4)), PeopleV2());
  ASSERT_EQ(file_->Indexes().size(), 3u);
  EXPECT_EQ(file_->Indexes()[2].fieldNumber, kCity);
  EXPECT_EQ(file_->IndexKind(kCode), -1);
  EXPECT_EQ(file_->IndexKind(kCity), 1);
  // The dropped index's records are gone; the new index lists the records already there.
  EXPECT_EQ(ErrorOf([&] { db_->ReadRecord(codeHeader); }), db::kNotFound);
  EXPECT_EQ(Sorted(file_->Select(kCity, '+', dbDatafile::kEqual, "OSLO", nullptr, nullptr)),
            (Numbers{anna, cleo}));
  EXPECT_EQ(Sorted(file_->AllByIndex(kCity)), (Numbers{anna, bert, cleo}));
  // Records added afterwards go into the new index only.
  const int32_t dora = Add("Dora", 20, 7, "Bergen");
  EXPECT_EQ(Sorted(file_->Select(kCity, '+', dbDatafile::kEqual, "bergen", nullptr, nullptr)),
            (Numbers{std::min(bert, dora), std::max(bert, dora)}));
  // An older resource does not take the stored layout back.
  OpenDatabase();
  OpenFile(PeopleV1());
  EXPECT_EQ(file_->IndexKind(kCity), 1);
  EXPECT_EQ(file_->IndexKind(kCode), -1);
}

TEST_F(DatafileTest, NewIndexWithoutACompleteSourceIsReported) {
  OpenFile(MakeLayout(1, {{"name", 1}, {"age", 2}, {"note", 1}, {"code", 2}, {"city", 1}}));
  Add("Anna", 31);
  Add("Bert", 45);
  OpenDatabase();
  ::testing::internal::CaptureStderr();
  OpenFile(MakeLayout(2, {{"name", 1, 1}, {"age", 2}, {"note", 1}, {"code", 2}, {"city", 1}}));
  const std::string log = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(log.find("\"people\""), std::string::npos) << log;
  EXPECT_NE(log.find("starts empty"), std::string::npos) << log;
  EXPECT_EQ(file_->IndexKind(kName), 1);
  EXPECT_EQ(file_->RecordCount(), 2);
}

TEST_F(DatafileTest, SelectComparisonsAndCombinations) {
  OpenFile(PeopleV1());
  Numbers n;
  for (int32_t age : {10, 20, 20, 30, 40}) n.push_back(Add("x", age));
  const int32_t k20 = 20, k30 = 30;
  const auto select = [&](int32_t comparison, Handle current = nullptr, int32_t combine = '+') {
    return Sorted(file_->Select(kAge, combine, comparison, &k20, &k30, current));
  };
  EXPECT_EQ(select(dbDatafile::kEqual), (Numbers{n[1], n[2]}));
  EXPECT_EQ(select(dbDatafile::kNotEqual), (Numbers{n[0], n[3], n[4]}));
  EXPECT_EQ(select(dbDatafile::kAbove), (Numbers{n[3], n[4]}));
  EXPECT_EQ(select(dbDatafile::kBelow), (Numbers{n[0]}));
  EXPECT_EQ(select(dbDatafile::kAtLeast), (Numbers{n[1], n[2], n[3], n[4]}));
  EXPECT_EQ(select(dbDatafile::kAtMost), (Numbers{n[0], n[1], n[2]}));
  EXPECT_EQ(select(dbDatafile::kOutside), (Numbers{n[0], n[4]}));
  EXPECT_EQ(select(dbDatafile::kOutsideOrOnBound), (Numbers{n[0], n[1], n[2], n[3], n[4]}));
  EXPECT_EQ(select(dbDatafile::kInsideExclusive), Numbers{});
  EXPECT_EQ(select(dbDatafile::kInside), (Numbers{n[1], n[2], n[3]}));
  // '-' and '&' start from every record when there is no current list.
  EXPECT_EQ(select(dbDatafile::kEqual, nullptr, '-'), (Numbers{n[0], n[3], n[4]}));
  EXPECT_EQ(select(dbDatafile::kAtLeast, nullptr, '&'), (Numbers{n[1], n[2], n[3], n[4]}));
  Handle current = HandleList::New(0);
  HandleList::Insert(current, n[0]);
  HandleList::Insert(current, n[1]);
  EXPECT_EQ(select(dbDatafile::kEqual, current, '&'), (Numbers{n[1]}));
  // A field without an index, or an unknown comparison, leaves the current list as it is.
  EXPECT_EQ(file_->Select(kNote, '+', dbDatafile::kEqual, "x", nullptr, nullptr), nullptr);
  current = HandleList::New(0);
  EXPECT_EQ(file_->Select(kAge, '+', 42, &k20, nullptr, current), current);
  HandleList::Dispose(current);
}

TEST_F(DatafileTest, TextComparisonsUseTheCollation) {
  OpenFile(PeopleV1());
  const int32_t a = Add("apple", 1), b = Add("Banana", 2), c = Add("cherry", 3);
  const auto select = [&](int32_t comparison, const char* key) {
    return Sorted(file_->Select(kName, '+', comparison, key, nullptr, nullptr));
  };
  EXPECT_EQ(select(dbDatafile::kAtLeast, "banana"), (Numbers{b, c}));
  EXPECT_EQ(select(dbDatafile::kAtMost, "banana"), (Numbers{a}));  // "Banana" sorts after "banana"
  EXPECT_EQ(select(dbDatafile::kAbove, "b"), (Numbers{c}));        // prefix "b" matches Banana
  EXPECT_EQ(select(dbDatafile::kBelow, "c"), (Numbers{a, b}));
}

TEST_F(DatafileTest, QuickSearchMatchesTextPrefixesAndWholeNumbers) {
  OpenFile(PeopleV1());
  const int32_t a = Add("12ab", 1);
  const int32_t b = Add("12", 5);
  Add("1", 7);  // shorter than the text searched for: no match
  const int32_t d = Add("Abc", 12, 12);
  Add("x12", 3);
  const int32_t f = Add("120x", 0);
  EXPECT_EQ(Sorted(file_->QuickSearch("12")), (Numbers{a, b, d, f}));
  EXPECT_EQ(Sorted(file_->QuickSearch("aB")), (Numbers{d}));
  EXPECT_EQ(Sorted(file_->QuickSearch("0")), Numbers{});  // 0 matches no long field
  EXPECT_EQ(Sorted(file_->QuickSearch("99999999999")), Numbers{});
  EXPECT_EQ(Sorted(file_->QuickSearch("")).size(), 6u);
  const auto unindexed = MakeLayout(1, {{"name", 1}});
  dbDatafile plain("plain", *db_, unindexed);
  EXPECT_EQ(plain.QuickSearch(""), nullptr);
  EXPECT_EQ(plain.QuickSearch("12"), nullptr);
}

TEST_F(DatafileTest, StoredTablesThatContradictThemselvesAreRefused) {
  OpenFile(PeopleV1());
  Add("Anna", 31);
  const auto descriptor = Descriptor();
  const int32_t self = db_->RecordNumberOfName("people");
  const int32_t layoutRecord = dbtest::WordAt(descriptor, 4);
  const int32_t listRecord = dbtest::WordAt(descriptor, 12);
  const auto layout = StoredRecord(layoutRecord);
  const auto list = StoredRecord(listRecord);
  file_.reset();
  const auto reopen = [&] { return ErrorOf([&] { OpenFile(PeopleV1()); }); };

  ReplaceStoredRecord(listRecord, std::vector<uint8_t>(list.begin(), list.end() - 20));
  EXPECT_EQ(reopen(), db::kDamagedFile);  // three entries counted, two held
  ReplaceStoredRecord(listRecord, {1, 0});
  EXPECT_EQ(reopen(), db::kDamagedFile);
  ReplaceStoredRecord(listRecord, list);

  ReplaceStoredRecord(layoutRecord, std::vector<uint8_t>(layout.begin(), layout.begin() + 40));
  EXPECT_EQ(reopen(), db::kDamagedFile);
  ReplaceStoredRecord(layoutRecord, layout);

  ReplaceStoredRecord(self, std::vector<uint8_t>(descriptor.begin(), descriptor.begin() + 12));
  EXPECT_EQ(reopen(), db::kDamagedFile);
  ReplaceStoredRecord(self, descriptor);

  EXPECT_EQ(reopen(), 0);
  EXPECT_EQ(file_->RecordCount(), 1);
  // A new file cannot be made without its layout.
  EXPECT_EQ(ErrorOf([&] { dbDatafile("NOSUCHLAYOUT", *db_); }), -1);
}

TEST_F(DatafileTest, ProgramLayoutOpensByItsRecordClassName) {
  dbDatafile strings("qxString", *db_);
  EXPECT_EQ(strings.FieldCount(), 3);
  EXPECT_EQ(strings.IndexKind(0), 0);
  EXPECT_EQ(strings.IndexKind(1), 0);
  EXPECT_EQ(strings.IndexKind(2), -1);
  char* buffer = strings.NewRecordBuffer();
  strings.Layout().SetField(0, ppParameter(5107), buffer);
  strings.Layout().SetField(2, ppParameter(u"\u00d6ffnen"), buffer);
  db_->BeginTransaction();
  const int32_t number = strings.AddRecord(buffer);
  db_->EndTransaction();
  strings.Layout().ClearRecord(buffer);
  strings.ReadRecord(number, buffer);
  ppParameter text;
  strings.Layout().GetField(2, &text, buffer);
  EXPECT_EQ(text.AsWString(), u"\u00d6ffnen");
  strings.DisposeRecordBuffer(buffer);
}

TEST_F(DatafileTest, DatabaseHandsOutOneFilePerName) {
  dbDatafile& first = dbDatafile::FileByName(*db_, "qxGroup");
  EXPECT_EQ(&dbDatafile::FileByName(*db_, "qxGroup"), &first);
  dbDatafile& document = dbDatafile::FileByName(*db_, "qxDocument");
  dbDatafile& calculator = dbDatafile::FileByName(*db_, "qxCalculator");
  EXPECT_EQ(first.FileId(), 5400);
  EXPECT_EQ(dbDatafile::FileById(*db_, 5400), &first);
  EXPECT_EQ(dbDatafile::FileById(*db_, 5417), &document);  // the first of the two with 5417
  EXPECT_EQ(calculator.FileId(), 5417);
  EXPECT_EQ(dbDatafile::FileById(*db_, 1), nullptr);
  EXPECT_EQ(document.FieldCount(), 76);
  EXPECT_EQ(ErrorOf([&] { dbDatafile::FileByName(*db_, std::string(36, 'x').c_str()); }), db::kBadCall);
}

TEST_F(DatafileTest, ClearedIndexesListNothing) {
  OpenFile(PeopleV1());
  Add("Anna", 31);
  db_->BeginTransaction();
  file_->ClearIndexes();
  db_->EndTransaction();
  EXPECT_EQ(Sorted(file_->AllByIndex(kName)), Numbers{});
  EXPECT_EQ(file_->FindByKey(kName, "Anna"), 0);
}

}  // namespace
