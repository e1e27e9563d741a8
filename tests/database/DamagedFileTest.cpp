// Damaged files: truncated, zero-filled and garbled copies of a valid database are opened, read and
// written under the sanitizers. Each must give an error number or work; nothing may crash or hang.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "database/HandleList.h"
#include "database/dbDatabase.h"
#include "database/dbErrors.h"
#include "database/dbNumIndex.h"
#include "DbTestSupport.h"

using dbtest::HandleOf;
using dbtest::TextOf;

namespace {

using Bytes = std::vector<unsigned char>;

class DamagedFileTest : public ::testing::Test {
 protected:
  // A database with named records of many sizes, a two-level numeric index, deleted records and
  // an aborted transaction (so the commit record rests at state 1).
  void SetUp() override {
    ppFileSpec fileSpec = dbtest::SpecFor(path_);
    dbDatabase db(fileSpec);
    db.BeginTransaction();
    int32_t header = 0;
    dbNumIndex numbers(&header, dbIndex::kNumericKeys, db.Store());
    db.ReleaseRecord(db.AddNamedRecord("numbers", HandleOf(std::to_string(header))));
    for (int32_t i = 0; i < 60; ++i) {
      const std::string name = "item" + std::to_string(i);
      const int32_t n = db.AddNamedRecord(name.c_str(), HandleOf(std::string(size_t(i * 53 % 900), 'q')));
      db.ReleaseRecord(n);
      for (int32_t k = 0; k < 6; ++k) {
        const int32_t key = i * 6 + k;
        numbers.Insert(n, key, &key);
      }
    }
    db.EndTransaction();
    db.BeginTransaction();
    db.Directory().Remove(0, db.RecordNumberOfName("item7"), "item7");
    db.DeleteRecord(db.RecordNumberOfName("item8"));
    db.Directory().Remove(0, db.RecordNumberOfName("item8"), "item8");
    db.EndTransaction();
    db.BeginTransaction();
    db.ReleaseRecord(db.AddRecord(HandleOf("aborted")));
    db.AbortTransaction();
    original_ = dbtest::FileBytes(path_);
    // A transaction that writes nothing leaves the record at rest; an older program left state 1
    // with the size at its start, as a crash inside a transaction does.
    db::PutI16(original_.data(), 1536, int16_t(dbStore::kOpen));
    db::PutI16(original_.data(), 1538, 0);
    db::PutI32(original_.data(), 1540, int32_t(original_.size()));
    dbtest::WriteFileBytes(path_, original_);
  }

  // Opens the file and uses everything in it; returns the first error number (0 when none).
  int32_t Exercise() {
    try {
      ppFileSpec fileSpec = dbtest::SpecFor(path_);
      dbDatabase db(fileSpec);
      const int32_t count = db.FileCount();
      for (int32_t i = 0; i < count; ++i) {
        const std::string name = db.FileNameAt(i);
        const int32_t n = db.RecordNumberOfName(name.c_str());
        TextOf(db.ReadRecord(n));
        db.ReleaseRecord(n);
      }
      dbNumIndex numbers(std::stoi("0" + TextOf(db.ReadRecord(db.RecordNumberOfName("numbers")))),
                         db.Store());
      HandleList::Dispose(numbers.AllValues());
      int32_t low = 50, high = 200, value = 0;
      HandleList::Dispose(numbers.Range(&low, &high));
      numbers.Find(&high, &value);
      db.BeginTransaction();
      db.ReleaseRecord(db.AddNamedRecord("added", HandleOf("new")));
      numbers.Insert(1, 1, &low);
      numbers.Remove(value, high, &high);
      db.EndTransaction();
    } catch (int32_t error) {
      return error;
    }
    return 0;
  }

  Bytes Mutate(std::mt19937& random, int kind) {
    Bytes bytes = original_;
    const auto pick = [&](size_t below) { return size_t(random() % below); };
    switch (kind) {
      case 0:  // truncated
        bytes.resize(pick(bytes.size()));
        break;
      case 1:  // a few flipped bytes anywhere
        for (size_t i = 0, n = 1 + pick(8); i < n; ++i) bytes[pick(bytes.size())] ^= uint8_t(1 + pick(255));
        break;
      case 2:  // flipped bytes in the header, commit record and first pages
        for (size_t i = 0, n = 1 + pick(4); i < n; ++i) bytes[1024 + pick(5120)] ^= uint8_t(1 << pick(8));
        break;
      case 3: {  // a zeroed page-sized run
        const size_t at = 2048 + pick(bytes.size() - 2048);
        std::fill(bytes.begin() + long(at), bytes.begin() + long(std::min(bytes.size(), at + 2048)), 0);
        break;
      }
      default: {  // an interrupted commit with a made-up journal
        const uint16_t states[] = {1, 3, 4, 4, uint16_t(random())};
        db::PutI16(bytes.data(), 1536, int16_t(states[pick(5)]));
        db::PutI16(bytes.data(), 1538, int16_t(pick(2) ? 0 : random()));
        db::PutI32(bytes.data(), 1540, int32_t(pick(2) ? random() : bytes.size() - pick(5000)));
        db::PutI16(bytes.data(), 1544, int16_t(random()));
        break;
      }
    }
    return bytes;
  }

  dbtest::TempFolder folder_;
  std::string path_ = folder_.Path("damaged.db");
  Bytes original_;
};

TEST_F(DamagedFileTest, ValidFileWorksAndAbortedStateStaysReadable) {
  ASSERT_EQ(dbtest::WordAt(original_, 1536) & 0xFFFF, 1);
  EXPECT_EQ(Exercise(), 0);
  EXPECT_EQ(Exercise(), db::kAlreadyExists);  // the first run's record is there
}

TEST_F(DamagedFileTest, TruncatedOrGarbledFilesGiveErrorNumbers) {
  for (const size_t size : {size_t(0), size_t(100), size_t(2047), size_t(2048), size_t(5000)}) {
    Bytes bytes = original_;
    bytes.resize(size);
    dbtest::WriteFileBytes(path_, bytes);
    EXPECT_NE(Exercise(), 0) << "truncated to " << size;
  }
  Bytes zeroed(original_.size(), 0);
  dbtest::WriteFileBytes(path_, zeroed);
  EXPECT_EQ(Exercise(), db::kDamagedFile);
}

TEST_F(DamagedFileTest, MutatedFilesNeverCrash) {
  std::mt19937 random(20261206);
  int failures = 0;
  for (int i = 0; i < 400; ++i) {
    dbtest::WriteFileBytes(path_, Mutate(random, i % 5));
    failures += Exercise() != 0;
  }
  // Most mutations must be noticed; some land in free space or unused bytes.
  EXPECT_GT(failures, 100);
}

}  // namespace
