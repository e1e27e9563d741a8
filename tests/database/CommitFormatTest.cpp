// The bytes a commit leaves on disk. A large commit of new indexed records, then a commit that
// deletes, rewrites and adds records, must leave exactly the file the engine has always written:
// the checksums below were taken from the engine before its commit path was made faster, so any
// change to the record map, the free-extent tables, the index pages or the record placement shows.
#include <gtest/gtest.h>

#include <cstdio>
#include <ios>
#include <memory>
#include <string>

#include "DbTestSupport.h"
#include "LayoutTestSupport.h"
#include "database/dbDatabase.h"
#include "database/dbDatafile.h"
#include "foundation/ppParameter.h"

namespace {

enum { kId, kName, kNote };

uint64_t Fnv1a(const std::vector<unsigned char>& bytes) {
  uint64_t hash = 0xcbf29ce484222325ull;
  for (const unsigned char b : bytes) hash = (hash ^ b) * 0x100000001b3ull;
  return hash;
}

// The workload's size and the checksums of the file after its first and its last commit.
struct Pinned {
  int32_t records;
  uint64_t afterAdds, afterChanges;
};

class CommitFormatTest : public ::testing::TestWithParam<Pinned> {
 protected:
  CommitFormatTest() {
    ppFileSpec fileSpec = dbtest::SpecFor(path_);
    db_ = std::make_unique<dbDatabase>(fileSpec);
    file_ = std::make_unique<dbDatafile>("bench", *db_,
                                         dbtest::MakeLayout(1, {{"id", 2, 1}, {"name", 1, 1}, {"note", 1}}));
    buffer_ = file_->NewRecordBuffer();
  }
  ~CommitFormatTest() override { file_->DisposeRecordBuffer(buffer_); }

  // The key of record i: unique ids in a scrambled order and names that repeat, as real tables have.
  int32_t IdOf(int32_t i) const { return i < records_ ? (i * 7919) % records_ * 3 + 1 : i * 3 + 2; }
  std::string NameOf(int32_t i) const {
    char name[32];
    std::snprintf(name, sizeof name, "item%05d", IdOf(i) * 13 % 4'001);
    return name;
  }

  void Fill(int32_t i, const std::string& note) {
    file_->Layout().SetField(kId, ppParameter(IdOf(i)), buffer_);
    file_->Layout().SetField(kName, ppParameter(NameOf(i).c_str()), buffer_);
    file_->Layout().SetField(kNote, ppParameter(note.c_str()), buffer_);
  }

  dbtest::TempFolder folder_;
  std::string path_ = folder_.Path("format.db");
  std::unique_ptr<dbDatabase> db_;
  std::unique_ptr<dbDatafile> file_;
  char* buffer_ = nullptr;
  const int32_t records_ = GetParam().records;
};

TEST_P(CommitFormatTest, CommitsWriteTheFileTheEngineAlwaysWrote) {
  db_->BeginTransaction();
  for (int32_t i = 0; i < records_; ++i) {
    Fill(i, "a note of some thirty characters");
    file_->AddRecord(buffer_);
  }
  db_->EndTransaction();
  const uint64_t afterAdds = Fnv1a(dbtest::FileBytes(path_));

  // Deleted records free numbers and extents, longer rewrites move records, and the new records
  // then take freed numbers and the free extents first fit finds.
  db_->BeginTransaction();
  for (int32_t i = 0; i < records_; i += 7) {
    const int32_t id = IdOf(i);
    file_->DeleteRecord(file_->FindByKey(kId, &id));
  }
  db_->EndTransaction();
  db_->BeginTransaction();
  for (int32_t i = 3; i < records_; i += 5) {
    const int32_t id = IdOf(i);
    const int32_t number = file_->FindByKey(kId, &id);
    if (number == 0) continue;
    file_->ReadRecord(number, buffer_);
    file_->Layout().SetField(kNote, ppParameter("a rewritten note that is rather longer than before"),
                             buffer_);
    file_->WriteRecord(number, buffer_);
  }
  for (int32_t i = 0; i < 600; ++i) {
    Fill(records_ + i, "new");
    file_->AddRecord(buffer_);
  }
  db_->EndTransaction();
  const uint64_t afterChanges = Fnv1a(dbtest::FileBytes(path_));

  EXPECT_EQ(afterAdds, GetParam().afterAdds) << std::hex << afterAdds;
  EXPECT_EQ(afterChanges, GetParam().afterChanges) << std::hex << afterChanges;
}

INSTANTIATE_TEST_SUITE_P(Sizes, CommitFormatTest,
                         ::testing::Values(Pinned{5'000, 0xf3a303803f37c7b2ull, 0x947ea0375e1a9109ull},
                                           Pinned{50'000, 0xce8c6eef09e02fc1ull, 0xb9207d6a60a4213eull}));

}  // namespace
