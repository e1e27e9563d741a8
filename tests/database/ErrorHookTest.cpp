// Every error the database raises passes the process's error hook before it is thrown, also where the
// layout bytes, a packed value or a table's own records are damaged, and for calls out of order.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "DbTestSupport.h"
#include "LayoutTestSupport.h"
#include "database/dbDatabase.h"
#include "database/dbDatafile.h"
#include "database/dbErrors.h"
#include "database/dbRecordPacking.h"
#include "foundation/ProcessServices.h"

namespace {

std::vector<int32_t>& Seen() {
  static std::vector<int32_t> seen;
  return seen;
}

void Record(int32_t code) { Seen().push_back(code); }

class ErrorHookTest : public ::testing::Test {
 protected:
  ErrorHookTest() {
    Seen().clear();
    previous_ = SetErrorObserver(Record);
  }
  ~ErrorHookTest() override { SetErrorObserver(previous_); }

  std::vector<uint8_t> Layout() const { return dbtest::MakeLayout(1, {{"name", 1, 1}, {"age", 2}}); }

  dbtest::TempFolder folder_;
  std::string path_ = folder_.Path("errors.db");
  ErrorObserver previous_ = nullptr;
};

TEST_F(ErrorHookTest, TheHookSeesEachErrorBeforeItIsThrown) {
  ppFileSpec fileRecord = dbtest::SpecFor(path_);
  dbDatabase db(fileRecord);
  dbDatafile file("people", db, Layout());  // opening looks names up, which raises kNotFound inside
  const std::vector<uint8_t> negativeCount = dbtest::MakeLayout(1, {{"name", 1}}, -1);
  const uint8_t packed[12] = {};
  struct Case {
    const char* what;
    std::function<void()> call;
    int32_t error;
  };
  const Case cases[] = {
      {"layout shorter than its header", [&] { dbRecordLayout::UsableFieldCount(negativeCount.data(), 8); },
       db::kDamagedFile},
      {"layout with a negative field count",
       [&] { dbRecordLayout::UsableFieldCount(negativeCount.data(), uint32_t(negativeCount.size())); },
       db::kDamagedFile},
      {"packed value running past the record",
       [&] {
         uint32_t value = 0;
         db::GetU32(packed, 10, sizeof packed, value);
       },
       db::kDamagedFile},
      {"table without a name", [&] { dbDatafile::FileByName(db, nullptr); }, db::kBadCall},
      {"table name too long", [&] { dbDatafile::FileByName(db, std::string(40, 'n').c_str()); },
       db::kBadCall},
      {"record added outside a transaction",
       [&] {
         std::unique_ptr<char, std::function<void(char*)>> buffer(
             file.NewRecordBuffer(), [&](char* b) { file.DisposeRecordBuffer(b); });
         file.AddRecord(buffer.get());
       },
       db::kBadCall},
  };
  for (const Case& c : cases) {
    Seen().clear();
    EXPECT_EQ(dbtest::ErrorOf(c.call), c.error) << c.what;
    EXPECT_EQ(Seen(), std::vector<int32_t>{c.error}) << c.what;
  }
}

TEST_F(ErrorHookTest, ATableWhoseDescriptorIsCutShortFailsThroughTheHook) {
  {
    ppFileSpec fileRecord = dbtest::SpecFor(path_);
    dbDatabase db(fileRecord);
    dbDatafile file("people", db, Layout());
    db.BeginTransaction();
    const int32_t descriptor = db.RecordNumberOfName("people");
    Handle h = db.ReadRecord(descriptor);
    MemSetSize(h, 6);
    db.MarkRecordChanged(descriptor);
    db.ReleaseRecord(descriptor);
    db.EndTransaction();
  }
  ppFileSpec fileRecord = dbtest::SpecFor(path_);
  dbDatabase db(fileRecord);
  Seen().clear();
  EXPECT_EQ(dbtest::ErrorOf([&] { dbDatafile file("people", db, Layout()); }), db::kDamagedFile);
  EXPECT_EQ(Seen(), std::vector<int32_t>{db::kDamagedFile});
}

}  // namespace
