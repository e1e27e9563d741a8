// A new database file gets its name only once it is whole: what an interrupted creation left under
// the temporary name goes, and a creation that fails leaves neither name behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "DbTestSupport.h"
#include "StoreConsistency.h"
#include "database/dbStore.h"
#include "foundation/FileFaultHook.h"
#include "foundation/FileOperations.h"

namespace {

void FailTheFlush(Vcon::FileOp op, const char*) {
  if (op == Vcon::FileOp::Flush) throw int32_t{kFileErrBadCall};
}

TEST(StoreCreationTest, ANewFileIsMadeWholeOverWhatAnEarlierCreationLeft) {
  dbtest::TempFolder folder;
  const std::string path = folder.Path("new.db"), temporary = path + ".new";
  dbtest::WriteFileBytes(temporary, std::vector<unsigned char>(700, 0xEE));  // a cut-short creation
  ppFileSpec fileSpec = dbtest::SpecFor(path);
  dbStore::Open(fileSpec).reset();
  EXPECT_EQ(dbtest::FileSize(path), 3 * dbStore::kPageSize);
  EXPECT_FALSE(std::filesystem::exists(temporary));

  // The file's flush fails: no file of either name is left, and the next open makes it.
  const std::string second = folder.Path("second.db");
  ppFileSpec secondSpec = dbtest::SpecFor(second);
  Vcon::SetFileFaultHook(&FailTheFlush);
  int32_t error = 0;
  try {
    dbStore::Open(secondSpec).reset();
  } catch (int32_t e) {
    error = e;
  }
  Vcon::SetFileFaultHook(nullptr);
  EXPECT_EQ(error, kFileErrBadCall);
  EXPECT_FALSE(std::filesystem::exists(second));
  EXPECT_FALSE(std::filesystem::exists(second + ".new"));
  dbStore::Open(secondSpec).reset();
  EXPECT_EQ(dbtest::FileSize(second), 3 * dbStore::kPageSize);
}

// Stops the first change after the new file got its name, as a power cut right after its creation.
bool gRenamed = false;
void StopAfterTheRename(Vcon::FileOp op, const char*) {
  if (gRenamed && op != Vcon::FileOp::Close) throw int32_t{kFileErrBadCall};
  if (op == Vcon::FileOp::Rename) gRenamed = true;
}

// A new file says how long it is at rest, as every commit leaves it: bytes that a power cut kept
// past that end while the first transaction's opening record was lost are cut away at the next
// open instead of lying there unreferenced.
TEST(StoreCreationTest, BytesPastANewFilesEndThatNothingNamesAreCutAtOpen) {
  dbtest::TempFolder folder;
  const std::string path = folder.Path("new.db");
  ppFileSpec file = dbtest::SpecFor(path);
  gRenamed = false;
  Vcon::SetFileFaultHook(&StopAfterTheRename);
  try {
    dbStore::Open(file).reset();
  } catch (int32_t) {
    // Stopped as asked, or the open went on without changing the file.
  }
  Vcon::SetFileFaultHook(nullptr);
  ASSERT_TRUE(gRenamed);
  std::vector<unsigned char> bytes = dbtest::FileBytes(path);
  const size_t size = bytes.size();
  bytes.push_back(0x12);  // a write of the first transaction that reached the disk alone
  bytes.push_back(0x34);
  dbtest::WriteFileBytes(path, bytes);
  {
    std::unique_ptr<dbStore> store = dbStore::Open(file);
    EXPECT_EQ(dbtest::CheckStoreConsistency(*store), "");
  }
  EXPECT_EQ(dbtest::FileSize(path), int64_t(size));
}

}  // namespace
