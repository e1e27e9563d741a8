// The database object: directory of named records, nested transactions and the error box.
#include <gtest/gtest.h>

#include "database/ShowError.h"
#include "database/dbDatabase.h"
#include "database/dbErrors.h"
#include "DbTestSupport.h"
#include "foundation/FileFaultHook.h"
#include "platform/MessageBox.h"

using dbtest::ErrorOf;
using dbtest::HandleOf;
using dbtest::TextOf;

namespace {

class DatabaseTest : public ::testing::Test {
 protected:
  std::unique_ptr<dbDatabase> Open() {
    ppFileSpec fileSpec = dbtest::SpecFor(path_);
    return std::make_unique<dbDatabase>(fileSpec);
  }
  int32_t AddNamed(dbDatabase& db, const char* name, const std::string& text) {
    db.BeginTransaction();
    const int32_t n = db.AddNamedRecord(name, HandleOf(text));
    db.ReleaseRecord(n);
    db.EndTransaction();
    return n;
  }

  dbtest::TempFolder folder_;
  std::string path_ = folder_.Path("named.db");
};

TEST_F(DatabaseTest, NamedRecordsAreFoundAfterReopen) {
  int32_t shelves = 0;
  {
    auto db = Open();
    EXPECT_NE(db->Store().DirectoryRoot(), 0);
    shelves = AddNamed(*db, "Shelves", "shelf data");
    AddNamed(*db, "doors", "door data");
    AddNamed(*db, "Chairs", "chair data");
    db->BeginTransaction();
    EXPECT_EQ(ErrorOf([&] { db->AddNamedRecord("Shelves", HandleOf("again")); }), db::kAlreadyExists);
    db->EndTransaction();
  }
  auto db = Open();
  EXPECT_EQ(db->RecordNumberOfName("Shelves"), shelves);
  EXPECT_EQ(TextOf(db->ReadRecord(shelves)), "shelf data");
  db->ReleaseRecord(shelves);
  EXPECT_EQ(ErrorOf([&] { db->RecordNumberOfName("shelves"); }), db::kNotFound);
  EXPECT_EQ(ErrorOf([&] { db->RecordNumberOfName("Tables"); }), db::kNotFound);
  ASSERT_EQ(db->FileCount(), 3);
  EXPECT_EQ(db->FileNameAt(0), "Chairs");
  EXPECT_EQ(db->FileNameAt(1), "doors");
  EXPECT_EQ(db->FileNameAt(2), "Shelves");
}

TEST_F(DatabaseTest, InnerAbortRollsBackAtTheOutermostEnd) {
  auto db = Open();
  AddNamed(*db, "kept", "k");
  db->BeginTransaction();
  db->BeginTransaction();
  db->AddNamedRecord("lost", HandleOf("l"));
  db->AbortTransaction();
  EXPECT_EQ(db->TransactionNesting(), 1);
  EXPECT_EQ(ErrorOf([&] { db->EndTransaction(); }), 0);
  EXPECT_EQ(db->TransactionNesting(), 0);
  EXPECT_EQ(ErrorOf([&] { db->RecordNumberOfName("lost"); }), db::kNotFound);
  EXPECT_EQ(db->FileCount(), 1);
  EXPECT_EQ(ErrorOf([&] { db->EndTransaction(); }), db::kBadCall);
  // The database stays usable.
  AddNamed(*db, "after", "a");
  EXPECT_EQ(db->FileCount(), 2);
}

void FailEveryWrite(Vcon::FileOp op, const char*) {
  if (op == Vcon::FileOp::Write) throw int32_t(-50);
}

TEST_F(DatabaseTest, FailedSaveIsReportedAndNothingIsKept) {
  auto db = Open();
  db->BeginTransaction();
  db->BeginTransaction();
  db->AddNamedRecord("unsaved", HandleOf("u"));
  db->EndTransaction();
  Vcon::SetFileFaultHook(&FailEveryWrite);
  const int32_t error = ErrorOf([&] { db->EndTransaction(); });
  Vcon::SetFileFaultHook(nullptr);
  EXPECT_EQ(error, -50);
  EXPECT_EQ(db->TransactionNesting(), 0);
  EXPECT_EQ(db->Store().Nesting(), 0);
  EXPECT_EQ(ErrorOf([&] { db->RecordNumberOfName("unsaved"); }), db::kNotFound);
  db.reset();
  EXPECT_EQ(Open()->FileCount(), 0);
}

// The registry holds table files by exact name and frees them with the database.
int gDeletedFiles = 0;
dbDatafile* FakeFile(int tag) { return reinterpret_cast<dbDatafile*>(new int(tag)); }
void DeleteFake(dbDatafile* file) {
  delete reinterpret_cast<int*>(file);
  ++gDeletedFiles;
}

TEST_F(DatabaseTest, RegisteredFilesAreFoundByExactNameAndFreedWithTheDatabase) {
  gDeletedFiles = 0;
  auto db = Open();
  dbDatafile* parts = db->RegisterFile("Parts", FakeFile(1), &DeleteFake);
  db->RegisterFile("parts", FakeFile(2), &DeleteFake);
  EXPECT_EQ(db->RegisteredFile("Parts"), parts);
  EXPECT_NE(db->RegisteredFile("parts"), parts);
  EXPECT_EQ(db->RegisteredFile("Doors"), nullptr);
  EXPECT_EQ(ErrorOf([&] { db->RegisterFile("Parts", FakeFile(3), &DeleteFake); }), db::kBadCall);
  EXPECT_EQ(ErrorOf([&] { db->RegisterFile(std::string(36, 'n').c_str(), FakeFile(4), &DeleteFake); }),
            db::kBadCall);
  EXPECT_EQ(gDeletedFiles, 2);  // refused files are freed at once
  EXPECT_EQ(db->RegisteredFileCount(), 2);
  EXPECT_EQ(db->RegisteredFileAt(0), parts);
  db.reset();
  EXPECT_EQ(gDeletedFiles, 4);
}

TEST(ShowErrorTest, ShowsTheStringTableText) {
  plat::ClearMessageBoxLog();
  db::ShowError(128);
  db::ShowError(60999);  // no such text: an empty message
  const auto log = plat::MessageBoxLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_GT(log[0].text.size(), 20u);
  EXPECT_EQ(log[0].caption, u"Zelvo Pro");
  EXPECT_EQ(log[0].style, plat::MB_ICONHAND);
  EXPECT_EQ(log[0].owner, nullptr);
  EXPECT_TRUE(log[1].text.empty());
  plat::ClearMessageBoxLog();
}

}  // namespace
