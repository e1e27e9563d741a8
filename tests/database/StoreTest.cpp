// The record store: file layout, extents, record numbers, and the commit journal as seen on disk.
#include <gtest/gtest.h>

#include <chrono>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "database/dbErrors.h"
#include "database/dbStore.h"
#include "DbTestSupport.h"
#include "StoreConsistency.h"
#include "foundation/FileFaultHook.h"
#include "foundation/Zone.h"

using dbtest::ErrorOf;
using dbtest::HandleOf;
using dbtest::TextOf;
using dbtest::WordAt;

namespace {

constexpr int32_t kHdr = dbStore::kHeaderOffset;

class StoreTest : public ::testing::Test {
 protected:
  std::unique_ptr<dbStore> OpenStore() {
    ppFileSpec fileSpec = dbtest::SpecFor(path_);
    return dbStore::Open(fileSpec);
  }
  int32_t AddCommitted(dbStore& store, const std::string& text) {
    store.Begin();
    const int32_t n = store.AddRecord(HandleOf(text));
    store.ReleaseRecord(n);
    store.End();
    return n;
  }
  std::string Read(dbStore& store, int32_t n) {
    const std::string text = TextOf(store.ReadRecord(n));
    store.ReleaseRecord(n);
    return text;
  }
  // Replaces a record's bytes inside the caller's transaction.
  void Change(dbStore& store, int32_t n, const std::string& text) {
    Handle h = store.ReadRecord(n);
    MemSetSize(h, uint32_t(text.size()));
    std::memcpy(*h, text.data(), text.size());
    store.MarkRecordChanged(n);
    store.ReleaseRecord(n);
  }

  dbtest::TempFolder folder_;
  std::string path_ = folder_.Path("store.db");
};

// Watches every disk-changing call of the file layer: the commit states seen on disk before each
// one and the largest size the file reached.
struct DiskWatch {
  static inline std::string path;
  static inline std::vector<int> states;
  static inline int64_t largest = 0;
  static void Hook(Vcon::FileOp, const char*) {
    const auto bytes = dbtest::FileBytes(path);
    largest = std::max<int64_t>(largest, int64_t(bytes.size()));
    if (bytes.size() < 1546) return;
    const int state = bytes[1536] | bytes[1537] << 8;
    if (states.empty() || states.back() != state) states.push_back(state);
  }
  static void Start(const std::string& p) {
    path = p;
    states.clear();
    largest = dbtest::FileSize(p);
    Vcon::SetFileFaultHook(&Hook);
  }
  static void Stop() {
    Vcon::SetFileFaultHook(nullptr);
    Hook(Vcon::FileOp::Write, "");
  }
};

TEST_F(StoreTest, NewFileHasHeaderAndTwoPages) {
  ppFileSpec fileSpec = dbtest::SpecFor(path_);
  fileSpec.word2 = 0x5A656C76;  // the code "Zelv", stored v, l, e, Z
  fileSpec.word3 = 7;
  fileSpec.word4 = 0x41424344;
  dbStore::Open(fileSpec).reset();
  const auto bytes = dbtest::FileBytes(path_);
  ASSERT_EQ(bytes.size(), 6144u);
  EXPECT_EQ(WordAt(bytes, 0), 7);
  EXPECT_EQ(std::string(bytes.begin() + 4, bytes.begin() + 8), "vleZ");
  EXPECT_EQ(WordAt(bytes, 8), 0x41424344);
  EXPECT_EQ(WordAt(bytes, kHdr + 0x38), 2048);
  EXPECT_EQ(WordAt(bytes, kHdr + 0x70), 3);
  EXPECT_EQ(WordAt(bytes, kHdr + 0x40), 0);
  EXPECT_EQ(WordAt(bytes, kHdr + 0x50), 2048);  // free-extent page first
  EXPECT_EQ(WordAt(bytes, kHdr + 0x48), 4096);  // then the record map's top page
  EXPECT_EQ(WordAt(bytes, 2048), 2048);         // a free-extent page names itself
  EXPECT_EQ(WordAt(bytes, 1536) & 0xFFFF, 0);   // at rest

  ppFileSpec again = dbtest::SpecFor(path_);
  dbStore::Open(again).reset();
  EXPECT_EQ(again.word2, 0x5A656C76u);
  EXPECT_EQ(again.word3, 7u);
  EXPECT_EQ(again.word4, 0x41424344u);
  EXPECT_EQ(dbtest::FileSize(path_), 6144);
}

TEST_F(StoreTest, RecordsSurviveReopenAndChangesGoToNewExtents) {
  int32_t a = 0, b = 0;
  {
    auto store = OpenStore();
    a = AddCommitted(*store, "first record");
    b = AddCommitted(*store, "");
    const dbExtent before = store->MapEntry(a);
    store->Begin();
    Change(*store, a, "first record, now longer");
    store->End();
    EXPECT_NE(store->MapEntry(a).position, before.position);
  }
  auto store = OpenStore();
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 2);
  EXPECT_EQ(Read(*store, a), "first record, now longer");
  EXPECT_EQ(Read(*store, b), "");
  EXPECT_EQ(store->LastRecordNumber(), 2);
}

// Committed records lie where they were added, among whatever else was allocated meanwhile, and a
// first read (a look-up) leaves them there. A second read moves each next to the record moved
// before it, so that later passes in that order (a view's sort order) walk memory forwards; records
// held pinned or locked stay put, and every handle keeps its bytes.
TEST_F(StoreTest, RecordsReadAgainAfterTheirCommitLieInTheOrderOfReading) {
  std::unique_ptr<Vcon::Zone> zone = Vcon::Zone::Create(4 << 20, 4000);
  Vcon::Zone* const previous = Vcon::Zone::Install(zone.get());
  {
    auto store = OpenStore();
    std::vector<int32_t> numbers;
    std::vector<Handle> handles, spacers;
    store->Begin();
    for (int i = 0; i < 12; ++i) {
      handles.push_back(HandleOf("record " + std::to_string(i)));
      numbers.push_back(store->AddRecord(handles.back()));
      if (i != 0) store->ReleaseRecord(numbers.back());  // record 0 stays pinned
      spacers.push_back(HandleOf(std::string(40, 's')));
    }
    store->End();
    MemLock(handles[1]);
    std::vector<const char*> added;
    for (const Handle h : handles) added.push_back(*h);
    const auto readAll = [&](std::initializer_list<int> order, bool placing) {
      const char* last = nullptr;
      for (const int i : order) {
        const Handle h = store->ReadRecord(numbers[size_t(i)]);
        ASSERT_EQ(h, handles[size_t(i)]);
        EXPECT_EQ(TextOf(h), "record " + std::to_string(i));
        if (!placing || i == 0 || i == 1) {
          EXPECT_EQ(*h, added[size_t(i)]) << "record " << i << " moved";
        } else {
          EXPECT_TRUE(last == nullptr || *h > last)
              << "record " << i << " lies before the one read before it";
          last = *h;
        }
        store->ReleaseRecord(numbers[size_t(i)]);
      }
    };
    readAll({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, false);
    readAll({7, 3, 10, 0, 5, 1, 11, 2, 9, 4, 8, 6}, true);
    MemUnlock(handles[1]);
    for (Handle h : spacers) MemDispose(h);
  }
  Vcon::Zone::Install(previous);
}

// A damaged record map may give a record an extent running far past the end of the file. Deleting
// that record must not list the extent free (summing it overflowed, and it would later be handed
// out): the commit goes on and the space handed out afterwards is the file's.
TEST_F(StoreTest, ExtentOfADamagedMapEntryIsNeverListedFree) {
  int32_t kept = 0, deleted = 0;
  dbExtent entry;
  {
    auto store = OpenStore();
    kept = AddCommitted(*store, "kept");
    deleted = AddCommitted(*store, "deleted later");
    entry = store->MapEntry(deleted);
  }
  auto bytes = dbtest::FileBytes(path_);
  size_t at = dbStore::kFirstPageOffset;
  while (at + 8 <= bytes.size() &&
         (WordAt(bytes, at) != entry.position || WordAt(bytes, at + 4) != entry.length))
    at += 8;
  ASSERT_LT(at, bytes.size());
  db::PutI32(bytes.data(), uint32_t(at + 4), INT32_MAX - 100);
  dbtest::WriteFileBytes(path_, bytes);
  {
    auto store = OpenStore();
    store->Begin();
    store->DeleteRecord(deleted);
    store->End();
    for (int i = 1; i < 20; ++i) {
      const std::string text(size_t(i) * 300, char('a' + i));
      EXPECT_EQ(Read(*store, AddCommitted(*store, text)), text);
    }
  }
  auto store = OpenStore();
  EXPECT_EQ(Read(*store, kept), "kept");
}

// A damaged free-extent table whose slots overlap hands out overlapping extents. The commit then
// writes the records in the order it placed them, not by position, so that the record placed last
// owns the shared bytes, as it always did.
TEST_F(StoreTest, OverlappingExtentsOfADamagedTableAreWrittenInPlacementOrder) {
  {
    auto store = OpenStore();
    AddCommitted(*store, "makes the record map's lower pages");
  }
  auto bytes = dbtest::FileBytes(path_);
  const int32_t page = WordAt(bytes, kHdr + 0x50);
  int32_t tail = 0;  // the free tail of the file's last growth
  for (int i = 0; i < 126 && tail == 0; ++i)
    if (WordAt(bytes, size_t(page + 8 + 8 * i + 4)) >= 200) tail = WordAt(bytes, size_t(page + 8 + 8 * i));
  ASSERT_GT(tail, 0);
  for (int i = 0; i < 126; ++i) {
    db::PutI32(bytes.data(), uint32_t(page + 8 + 8 * i), 0);
    db::PutI32(bytes.data(), uint32_t(page + 8 + 8 * i + 4), 0);
  }
  // Slot 0 lies 50 bytes into slot 1: the first record goes there, the second before it.
  db::PutI32(bytes.data(), uint32_t(page + 8), tail + 50);
  db::PutI32(bytes.data(), uint32_t(page + 12), 100);
  db::PutI32(bytes.data(), uint32_t(page + 16), tail);
  db::PutI32(bytes.data(), uint32_t(page + 20), 100);
  dbtest::WriteFileBytes(path_, bytes);
  auto store = OpenStore();
  store->Begin();
  const int32_t first = store->AddRecord(HandleOf(std::string(80, 'a')));
  const int32_t second = store->AddRecord(HandleOf(std::string(80, 'b')));
  store->ReleaseRecord(first);
  store->ReleaseRecord(second);
  store->End();
  ASSERT_EQ(store->MapEntry(first).position, tail + 50);
  ASSERT_EQ(store->MapEntry(second).position, tail);
  bytes = dbtest::FileBytes(path_);
  EXPECT_EQ(std::string(bytes.begin() + tail, bytes.begin() + tail + 80), std::string(80, 'b'));
  EXPECT_EQ(std::string(bytes.begin() + tail + 80, bytes.begin() + tail + 130), std::string(50, 'a'));
}

TEST_F(StoreTest, RecordThatFitsNoSlotGrowsFileAndFreesTheSpareTail) {
  auto store = OpenStore();
  AddCommitted(*store, "makes the record map's lower pages");  // leaves a tail under 2048 free
  const int32_t size = int32_t(dbtest::FileSize(path_));
  const int32_t n = AddCommitted(*store, std::string(2048, 'x'));
  EXPECT_EQ(dbtest::FileSize(path_), size + 4096);
  EXPECT_EQ(store->MapEntry(n).position, size);
  EXPECT_EQ(store->MapEntry(n).length, 2048);
  const auto bytes = dbtest::FileBytes(path_);
  EXPECT_EQ(WordAt(bytes, 2048 + 16), size + 2048);  // slot 1 of the free-extent page
  EXPECT_EQ(WordAt(bytes, 2048 + 20), 2048);
  EXPECT_EQ(Read(*store, n), std::string(2048, 'x'));
}

TEST_F(StoreTest, HundredTwentySeventhFreeExtentGoesToANewPage) {
  auto store = OpenStore();
  store->Begin();
  std::vector<int32_t> numbers;
  for (int i = 0; i < 300; ++i) {
    numbers.push_back(store->AddRecord(HandleOf(std::string(16, char('a' + i % 26)))));
    store->ReleaseRecord(numbers.back());
  }
  store->End();
  store->Begin();
  // Every other record: freed extents lie between live ones and never touch each other.
  for (int i = 0; i < 260; i += 2) store->DeleteRecord(numbers[size_t(i)]);
  store->End();
  const auto bytes = dbtest::FileBytes(path_);
  const int32_t first = WordAt(bytes, kHdr + 0x50);
  int used = 0;
  for (int i = 0; i < 126; ++i) used += WordAt(bytes, size_t(first + 8 + 8 * i + 4)) != 0;
  EXPECT_EQ(used, 126);
  const int32_t second = WordAt(bytes, size_t(first + 4));
  ASSERT_GT(second, 0);
  EXPECT_EQ(WordAt(bytes, size_t(second)), second);
  EXPECT_NE(WordAt(bytes, size_t(second + 12)), 0);
  EXPECT_EQ(Read(*store, numbers[1]), std::string(16, 'b'));
}

TEST_F(StoreTest, FreedNumbersAreReusedInOrderAndRangeIsChecked) {
  auto store = OpenStore();
  for (int i = 0; i < 10; ++i) AddCommitted(*store, "r" + std::to_string(i));
  store->Begin();
  store->DeleteRecord(5);
  store->DeleteRecord(7);
  store->End();
  EXPECT_EQ(AddCommitted(*store, "again"), 5);
  EXPECT_EQ(AddCommitted(*store, "again"), 7);
  EXPECT_EQ(AddCommitted(*store, "new"), 11);
  EXPECT_EQ(ErrorOf([&] { store->ReadRecord(0); }), db::kOutOfRange);
  EXPECT_EQ(ErrorOf([&] { store->ReadRecord(12); }), db::kOutOfRange);
  EXPECT_EQ(ErrorOf([&] { store->AddRecord(nullptr); }), db::kBadCall);
  Handle outside = HandleOf("x");
  EXPECT_EQ(store->AddRecord(outside), 0);  // no transaction: nothing added
  MemDispose(outside);
  store.reset();
  store = OpenStore();
  EXPECT_EQ(ErrorOf([&] { store->MarkRecordChanged(3); }), db::kNotFound);  // not cached
  EXPECT_EQ(ErrorOf([&] { store->ReleaseRecord(3); }), db::kNotFound);
  store->Begin();
  store->DeleteRecord(3);
  store->DeleteRecord(3);
  EXPECT_EQ(ErrorOf([&] { store->End(); }), db::kNotFound);  // freeing a free number fails the commit
  EXPECT_EQ(Read(*store, 3), "r2");
}

TEST_F(StoreTest, OwnerTagsAreChecked) {
  auto store = OpenStore();
  const int32_t n = AddCommitted(*store, "owned");
  store->ReadRecord(n, 42);
  EXPECT_EQ(ErrorOf([&] { store->CheckOwner(n, 41); }), db::kHeldByOther);
  EXPECT_EQ(ErrorOf([&] { store->CheckOwner(n, 42); }), 0);
  EXPECT_EQ(ErrorOf([&] { store->CheckOwner(n, 42); }), db::kHeldByOther);  // cleared
  store->ReleaseRecord(n);
}

// A transaction that only reads (as every look-up of a catalogue opened at start-up does) leaves the
// file as it was, its modification time included; the next one that writes walks the states.
TEST_F(StoreTest, ATransactionThatChangesNothingWritesNothing) {
  auto store = OpenStore();
  const int32_t n = AddCommitted(*store, "kept");
  store.reset();
  const auto past = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24);
  std::filesystem::last_write_time(path_, past);
  const auto bytes = dbtest::FileBytes(path_);
  static int writes = 0;
  writes = 0;
  Vcon::SetFileFaultHook([](Vcon::FileOp op, const char*) {
    if (op == Vcon::FileOp::Write || op == Vcon::FileOp::SetSize) ++writes;
  });
  store = OpenStore();
  for (int i = 0; i < 3; ++i) {
    store->Begin();
    EXPECT_EQ(Read(*store, n), "kept");
    store->End();
  }
  store.reset();
  Vcon::SetFileFaultHook(nullptr);
  EXPECT_EQ(writes, 0);
  EXPECT_TRUE(dbtest::FileBytes(path_) == bytes);
  EXPECT_EQ(std::filesystem::last_write_time(path_), past);

  store = OpenStore();
  DiskWatch::Start(path_);
  store->Begin();
  Change(*store, n, "changed");
  store->End();
  DiskWatch::Stop();
  EXPECT_EQ(DiskWatch::states, (std::vector<int>{0, 3, 4, 0}));
  EXPECT_EQ(Read(*store, n), "changed");
}

TEST_F(StoreTest, ChangedPagesAreJournaledAndCutOffAgain) {
  auto store = OpenStore();
  const int32_t n = AddCommitted(*store, std::string(100, 'a'));
  const int64_t size = dbtest::FileSize(path_);
  DiskWatch::Start(path_);
  store->Begin();
  // Same length: the header stays, the map page and the free-extent page change (k = 2).
  Change(*store, n, std::string(100, 'b'));
  store->End();
  DiskWatch::Stop();
  EXPECT_EQ(DiskWatch::largest, size + 2 * 2052);
  EXPECT_EQ(dbtest::FileSize(path_), size);
  EXPECT_EQ(Read(*store, n), std::string(100, 'b'));
}

TEST_F(StoreTest, AbortRollsBackAtTheOutermostLevel) {
  auto store = OpenStore();
  const int32_t kept = AddCommitted(*store, "kept");
  store->Begin();
  store->Begin();
  const int32_t added = store->AddRecord(HandleOf("added"));
  store->ReleaseRecord(added);
  Change(*store, kept, "changed");
  store->Abort();
  EXPECT_EQ(store->Nesting(), 1);
  EXPECT_EQ(store->PendingAbort(), db::kAbortPending);
  EXPECT_EQ(ErrorOf([&] { store->AddRecord(HandleOf("refused")); }), db::kAbortPending);
  EXPECT_EQ(ErrorOf([&] { store->End(); }), 0);
  EXPECT_EQ(store->Nesting(), 0);
  EXPECT_EQ(store->PendingAbort(), 0);
  EXPECT_EQ(Read(*store, kept), "kept");
  EXPECT_EQ(ErrorOf([&] { store->ReadRecord(added); }), db::kOutOfRange);
  EXPECT_EQ(ErrorOf([&] { store->End(); }), db::kBadCall);

  // A pinned record changed in an aborted transaction gets its stored bytes back.
  store->Begin();
  Handle h = store->ReadRecord(kept);
  MemSetSize(h, 3);
  std::memcpy(*h, "new", 3);
  store->MarkRecordChanged(kept);
  store->Abort();
  EXPECT_EQ(TextOf(h), "kept");
  store->ReleaseRecord(kept);
  EXPECT_EQ(AddCommitted(*store, "next"), added);
}

// A hook that throws the file layer's write error at a chosen point of a commit.
struct FailingDisk {
  static inline int flushesBefore = 0;  // fail at the first write after this many flushes
  static inline int flushes = 0;
  static inline int failures = 0;
  static void Start(int flushesBeforeFailing) {
    flushesBefore = flushesBeforeFailing;
    flushes = failures = 0;
  }
  static void Hook(Vcon::FileOp op, const char*) {
    if (op == Vcon::FileOp::Flush) ++flushes;
    if (op == Vcon::FileOp::Write && flushes >= flushesBefore) {
      ++failures;
      throw int32_t(-50);
    }
  }
};

TEST_F(StoreTest, CommitFailingBeforeTheJournalIsCompleteIsReported) {
  auto store = OpenStore();
  const int32_t n = AddCommitted(*store, "old");
  const int64_t size = dbtest::FileSize(path_);
  store->Begin();
  Change(*store, n, "new bytes");
  FailingDisk::Start(0);
  Vcon::SetFileFaultHook(&FailingDisk::Hook);
  const int32_t error = ErrorOf([&] { store->End(); });
  Vcon::SetFileFaultHook(nullptr);
  EXPECT_EQ(error, -50);
  EXPECT_EQ(store->Nesting(), 0);
  EXPECT_EQ(Read(*store, n), "old");
  store.reset();
  EXPECT_EQ(dbtest::FileSize(path_), size);
  auto reopened = OpenStore();
  EXPECT_EQ(Read(*reopened, n), "old");
}

TEST_F(StoreTest, CommitFailingAfterTheJournalIsCompleteIsFinished) {
  auto store = OpenStore();
  const int32_t n = AddCommitted(*store, "old");
  const int64_t size = dbtest::FileSize(path_);  // the changes below fit the free tail
  store->Begin();
  Change(*store, n, "new bytes");
  const int32_t added = store->AddRecord(HandleOf("added"));
  store->ReleaseRecord(added);
  FailingDisk::Start(2);  // the first page copied into place fails, once
  Vcon::SetFileFaultHook([](Vcon::FileOp op, const char* p) {
    try {
      FailingDisk::Hook(op, p);
    } catch (int32_t) {
      Vcon::SetFileFaultHook(nullptr);
      throw;
    }
  });
  EXPECT_EQ(ErrorOf([&] { store->End(); }), 0);
  Vcon::SetFileFaultHook(nullptr);
  EXPECT_EQ(FailingDisk::failures, 1);
  EXPECT_EQ(dbtest::FileSize(path_), size);  // the journal is cut off
  store.reset();
  auto reopened = OpenStore();
  EXPECT_EQ(Read(*reopened, n), "new bytes");
  EXPECT_EQ(Read(*reopened, added), "added");
}

TEST_F(StoreTest, CommitWhoseReplayFailsIsFinishedByTheNextBegin) {
  auto store = OpenStore();
  const int32_t n = AddCommitted(*store, "old");
  const int64_t size = dbtest::FileSize(path_);  // "new bytes" fits the free tail
  store->Begin();
  Change(*store, n, "new bytes");
  FailingDisk::Start(2);  // every write after the journal is complete fails
  Vcon::SetFileFaultHook(&FailingDisk::Hook);
  EXPECT_EQ(ErrorOf([&] { store->End(); }), -50);
  Vcon::SetFileFaultHook(nullptr);
  EXPECT_EQ(store->State(), dbStore::kJournalComplete);
  EXPECT_EQ(store->Nesting(), 0);
  EXPECT_EQ(dbtest::FileSize(path_), size + 2 * dbStore::kJournalEntrySize);
  EXPECT_EQ(dbtest::CheckStoreConsistency(*store), "");  // the waiting journal is accounted for
  store->Begin();
  EXPECT_EQ(store->State(), dbStore::kOpen);
  EXPECT_EQ(dbtest::FileSize(path_), size);
  EXPECT_EQ(dbtest::CheckStoreConsistency(*store), "");
  store.reset();  // given up inside the transaction, as a crash would
  auto reopened = OpenStore();
  EXPECT_EQ(Read(*reopened, n), "new bytes");
  EXPECT_EQ(dbtest::CheckStoreConsistency(*reopened), "");
}

// Copies of the file taken before each disk-changing call while the commit record says 1 or 3.
struct BeforeTheJournalIsComplete {
  static inline std::string path;
  static inline std::vector<std::vector<unsigned char>> moments;
  static inline bool journalComplete = false;
  // State 1 is not written when the record at rest already names the size to cut back to: the
  // moments at state 0 before the journal is complete count as well.
  static void Hook(Vcon::FileOp, const char*) {
    auto bytes = dbtest::FileBytes(path);
    const int state = bytes[1536] | bytes[1537] << 8;
    if (state == dbStore::kJournalComplete) journalComplete = true;
    if (state == dbStore::kOpen || state == dbStore::kJournalWriting ||
        (state == dbStore::kIdle && !journalComplete))
      moments.push_back(std::move(bytes));
  }
  static void Start(const std::string& p) {
    path = p;
    journalComplete = false;
    moments.clear();
    Vcon::SetFileFaultHook(&Hook);
  }
};

// Every moment of a commit before its journal is complete, as a crash would leave the file: the
// reopened store is cut back to the size it had when the transaction began.
TEST_F(StoreTest, RecoveryBeforeTheJournalIsCompleteCutsBackToTheTransactionsStart) {
  int32_t kept = 0;
  int64_t size = 0;
  {
    auto store = OpenStore();
    kept = AddCommitted(*store, "kept");
    size = dbtest::FileSize(path_);
    store->Begin();
    Change(*store, kept, "changed");
    store->ReleaseRecord(store->AddRecord(HandleOf(std::string(5000, 'g'))));  // grows the file
    BeforeTheJournalIsComplete::Start(path_);
    store->End();
    Vcon::SetFileFaultHook(nullptr);
  }
  const auto& moments = BeforeTheJournalIsComplete::moments;
  ASSERT_GE(moments.size(), 4u);  // records written, state 3, journal entries, before its flush
  for (size_t i = 0; i < moments.size(); ++i) {
    SCOPED_TRACE("moment " + std::to_string(i));
    dbtest::WriteFileBytes(path_, moments[i]);
    auto store = OpenStore();
    EXPECT_EQ(dbtest::FileSize(path_), size);
    EXPECT_EQ(store->LastRecordNumber(), kept);
    EXPECT_EQ(Read(*store, kept), "kept");
    EXPECT_EQ(dbtest::CheckStoreConsistency(*store), "");
  }
}

// A power cut can leave bytes past the file's size at rest (a journal whose cut-off was lost, or a
// transaction whose state 1 was lost). The state 0 a commit writes records that size, and recovery
// cuts back to it; an older file, whose state 0 records nothing, keeps its size.
TEST_F(StoreTest, RecoveryCutsBytesPastTheSizeAtRestThatTheCommitRecordGives) {
  for (const bool recorded : {true, false}) {
    SCOPED_TRACE(recorded ? "size at rest recorded" : "older file");
    std::filesystem::remove(path_);
    int32_t n = 0;
    {
      auto store = OpenStore();
      n = AddCommitted(*store, "kept");
    }
    auto bytes = dbtest::FileBytes(path_);
    const auto size = int32_t(bytes.size());
    EXPECT_EQ(dbtest::WordAt(bytes, 1540), size);
    if (!recorded) bytes[1538] = bytes[1539] = 0;
    bytes.resize(bytes.size() + 3000, 'z');
    dbtest::WriteFileBytes(path_, bytes);
    auto store = OpenStore();
    EXPECT_EQ(dbtest::FileSize(path_), recorded ? size : size + 3000);
    EXPECT_EQ(Read(*store, n), "kept");
    if (recorded) EXPECT_EQ(dbtest::CheckStoreConsistency(*store), "");
  }
}

// Copies of the file taken before each disk-changing call while the commit record says 4.
struct WhileTheJournalIsComplete {
  static inline std::string path;
  static inline std::vector<std::vector<unsigned char>> moments;
  static void Hook(Vcon::FileOp, const char*) {
    auto bytes = dbtest::FileBytes(path);
    if ((bytes[1536] | bytes[1537] << 8) == dbStore::kJournalComplete) moments.push_back(std::move(bytes));
  }
};

// Bytes after a complete journal (a later write that a power cut kept while it lost the state 0)
// are not replayed: the record says how many entries the journal has.
TEST_F(StoreTest, RecoveryReplaysTheRecordedEntriesAndNotWhatFollowsThem) {
  int32_t n = 0;
  {
    auto store = OpenStore();
    n = AddCommitted(*store, "old");
    store->Begin();
    Change(*store, n, "new bytes");
    store->ReleaseRecord(store->AddRecord(HandleOf(std::string(3000, 'g'))));
    WhileTheJournalIsComplete::path = path_;
    WhileTheJournalIsComplete::moments.clear();
    Vcon::SetFileFaultHook(&WhileTheJournalIsComplete::Hook);
    store->End();
    Vcon::SetFileFaultHook(nullptr);
  }
  const auto& moments = WhileTheJournalIsComplete::moments;
  ASSERT_GE(moments.size(), 3u);  // the header, the pages, their flush
  for (size_t i = 0; i < moments.size(); ++i) {
    SCOPED_TRACE("moment " + std::to_string(i));
    auto bytes = moments[i];
    bytes.resize(bytes.size() + 700, 'z');
    dbtest::WriteFileBytes(path_, bytes);
    auto store = OpenStore();
    EXPECT_EQ(Read(*store, n), "new bytes");
    EXPECT_EQ(dbtest::CheckStoreConsistency(*store), "");
  }
}

// Deletions are only queued until commit: an abort, at the outermost level or deferred from a
// nested one, must forget them all.
TEST_F(StoreTest, RecordsDeletedInAnAbortedTransactionAllSurvive) {
  auto store = OpenStore();
  std::vector<int32_t> numbers;
  for (int i = 1; i <= 12; ++i) numbers.push_back(AddCommitted(*store, "record " + std::to_string(i)));
  const auto expectAll = [&] {
    for (int i = 1; i <= 12; ++i)
      EXPECT_EQ(Read(*store, numbers[size_t(i - 1)]), "record " + std::to_string(i));
  };
  for (const bool nested : {false, true}) {
    SCOPED_TRACE(nested ? "nested" : "outermost");
    store->Begin();
    if (nested) store->Begin();
    Read(*store, numbers[4]);  // cached before it goes
    for (const size_t i : {1u, 4u, 6u, 10u}) store->DeleteRecord(numbers[i]);
    store->Abort();
    if (nested) store->End();
    EXPECT_EQ(store->Nesting(), 0);
    expectAll();
    // The next commit frees nothing, so the new record takes a number never used.
    const int32_t last = store->LastRecordNumber();
    EXPECT_EQ(AddCommitted(*store, "new"), last + 1);
    expectAll();
    EXPECT_EQ(dbtest::CheckStoreConsistency(*store), "");
  }
}

}  // namespace

namespace {

// The commit journal's entry order is the cache walk: buckets in order, newest first in each.
TEST(PageCacheTest, WalksBucketsInOrderNewestFirst) {
  dbPageCache cache(0);
  for (const int32_t key : {5, 3, 256 + 5, 512 + 3}) cache.Insert(key);
  std::vector<int32_t> order;
  cache.Walk([&](dbCacheEntry& e) {
    order.push_back(e.key);
    return e.key == 3;  // removes 3 on the way
  });
  EXPECT_EQ(order, (std::vector<int32_t>{512 + 3, 3, 256 + 5, 5}));
  EXPECT_EQ(cache.Find(3), nullptr);
  EXPECT_EQ(cache.Lookup(261).key, 261);
  EXPECT_EQ(ErrorOf([&] { cache.Lookup(3); }), db::kNotFound);
  EXPECT_EQ(ErrorOf([&] { cache.Insert(5); }), db::kBadCall);
  cache.Remove(5);
  cache.Remove(77);  // absent: nothing
  EXPECT_EQ(cache.Find(5), nullptr);
  dbPageCache pages(11);
  pages.Insert(2048 * 3);
  pages.Insert(2048 * 2);
  order.clear();
  pages.Walk([&](dbCacheEntry& e) {
    order.push_back(e.key);
    return false;
  });
  EXPECT_EQ(order, (std::vector<int32_t>{4096, 6144}));
}

// The count a commit sizes its lists by follows every way in and out, for dense keys (record
// numbers) and sparse ones (negative keys, page positions) alike.
TEST(PageCacheTest, CountsItsEntries) {
  for (const int32_t shift : {0, 11}) {
    dbPageCache cache(shift);
    for (const int32_t key : {1, 2, 3, -4, 2048, 1 << 20}) cache.Insert(key);
    EXPECT_EQ(cache.Size(), 6u);
    cache.Remove(2);
    cache.Remove(-4);
    cache.Remove(77);  // absent
    EXPECT_EQ(cache.Size(), 4u);
    cache.Walk([](dbCacheEntry& e) { return e.key == 2048; });
    EXPECT_EQ(cache.Size(), 3u);
    cache.Insert(2);
    cache.Clear();
    EXPECT_EQ(cache.Size(), 0u);
  }
}

}  // namespace

namespace {

// Bytes this process has handed to the system's write calls so far.
int64_t BytesWrittenSoFar() {
  std::ifstream io("/proc/self/io");
  std::string key;
  int64_t value = 0;
  while (io >> key >> value)
    if (key == "wchar:") return value;
  return 0;
}

int gFlushes = 0;
void CountFlushes(Vcon::FileOp op, const char*) { gFlushes += op == Vcon::FileOp::Flush; }

}  // namespace

// A commit writes the pages it made once, at their place and not through the journal, and leaves out
// the zero pages of the space it appended: a commit of many new records writes little more than
// the file grows by, with the same four flushes.
TEST_F(StoreTest, CommitWritesTheNewPagesOnceAndNotThroughTheJournal) {
  auto store = OpenStore();
  AddCommitted(*store, "first");
  const int64_t before = dbtest::FileSize(path_);
  const int64_t written = BytesWrittenSoFar();
  gFlushes = 0;
  Vcon::SetFileFaultHook(&CountFlushes);
  store->Begin();
  // 3,000 records need twelve new map pages and a new map page of the second level.
  for (int32_t i = 0; i < 3'000; ++i) store->ReleaseRecord(store->AddRecord(HandleOf(std::string(40, 'r'))));
  store->End();
  const int firstFlushes = gFlushes;
  const int64_t grown = dbtest::FileSize(path_) - before;
  const int64_t commitBytes = BytesWrittenSoFar() - written;
  gFlushes = 0;
  AddCommitted(*store, "second");
  const int secondFlushes = gFlushes;
  Vcon::SetFileFaultHook(nullptr);
  // Old pages changed: the map's second level, its first third-level page, the free-extent page;
  // and the header. Each is journaled and copied into place (room for six); the eleven new map
  // pages are not.
  EXPECT_LE(commitBytes, grown + 6 * (2052 + 2048));
  EXPECT_GE(commitBytes, 3'000 * 40);
  EXPECT_EQ(firstFlushes, 4);
  EXPECT_EQ(secondFlushes, 4);
  store.reset();
  store = OpenStore();
  EXPECT_EQ(Read(*store, 3'001), std::string(40, 'r'));
  EXPECT_EQ(Read(*store, 3'002), "second");
}
