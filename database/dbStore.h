// The paged database file: variable-length records addressed by positive 32-bit record numbers,
// kept in one file with fixed 2048-byte pages of the store's own bookkeeping (the three-level record
// map and the chain of free-extent pages). Changes happen inside transactions and reach the file
// only at commit, through a redo journal appended to the file's end (dbStoreTransaction.cpp).
//
// File layout (little-endian, byte offsets): 0-11 the file record's third, second and fourth
// word; 1024-1535 the store header; 1536-1545 the commit record; 2048- pages and record extents.
//
// Ownership: the store owns its file, both caches and every data handle in them. A record handle
// returned by ReadRecord belongs to the record cache: callers change it in place, mark it changed,
// release it, and never dispose it. A handle given to AddRecord passes to the cache. The second read
// of a record added or changed since it was last placed may move its data (never while it is
// pinned, owned, dirty or locked), so that records read repeatedly lie in the order they are read.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "database/dbFreeExtentIndex.h"
#include "database/dbPageCache.h"
#include "database/dbStoreFile.h"
#include "foundation/Vcon_HandleManager.h"

class ppFileSpec;

// Where a record's bytes lie: {position, length}; {-1, next} marks a free record number.
struct dbExtent {
  int32_t position = 0;
  int32_t length = 0;
};

class dbStore {
 public:
  static constexpr int32_t kPageSize = 2048;
  static constexpr int32_t kHeaderOffset = 1024;
  static constexpr int32_t kHeaderSize = 512;
  static constexpr int32_t kCommitOffset = 1536;
  static constexpr int32_t kCommitSize = 10;
  static constexpr int32_t kFirstPageOffset = 2048;
  static constexpr int32_t kJournalEntrySize = 4 + kPageSize;
  static constexpr int32_t kExtentSlots = 126;                  // slots of a free-extent page
  static constexpr int32_t kMaxRecordNumber = (512 << 17) - 1;  // what the record map can address
  // Longest record the store loads: a longer map entry can only come from a damaged file, and
  // loading it would exhaust the handle zone.
  static constexpr int32_t kMaxRecordBytes = 16 << 20;

  // Header offsets (bytes from the header's start).
  static constexpr uint32_t kGrowthUnit = 0x38;
  static constexpr uint32_t kLastRecordNumber = 0x40;
  static constexpr uint32_t kFreeRecordHead = 0x44;
  static constexpr uint32_t kRecordMapRoot = 0x48;
  static constexpr uint32_t kDirectoryRoot = 0x4c;
  static constexpr uint32_t kFreeExtentRoot = 0x50;
  static constexpr uint32_t kFormatWord = 0x70;

  // Commit states.
  static constexpr uint16_t kIdle = 0;
  static constexpr uint16_t kOpen = 1;
  static constexpr uint16_t kJournalWriting = 3;
  static constexpr uint16_t kJournalComplete = 4;

  // Opens the file named by `fileSpec`, creating it when it cannot be opened; repairs an interrupted
  // commit; reads the words at bytes 0, 4 and 8 into fileSpec.word3, word2 and word4.
  static std::unique_ptr<dbStore> Open(ppFileSpec& fileSpec);
  ~dbStore();
  dbStore(const dbStore&) = delete;
  dbStore& operator=(const dbStore&) = delete;

  // Records. `owner` is a caller's tag (0 = none) that CheckOwner tests.
  Handle ReadRecord(int32_t number, int32_t owner = 0);
  int32_t AddRecord(Handle data);  // 0 outside a transaction
  void MarkRecordChanged(int32_t number);
  void ReleaseRecord(int32_t number);
  void CheckOwner(int32_t number, int32_t owner);
  void DeleteRecord(int32_t number);
  // A reader that checks a cached record's bytes (an index its nodes' keys) notes the check with a
  // tag of its own, so that the same bytes need not be checked again. Loading the bytes from the
  // file and MarkRecordChanged forget the note. Both throw db::kNotFound for an uncached record.
  uint8_t CheckedAs(int32_t number) const { return records_.Lookup(number).checkedAs; }
  void SetCheckedAs(int32_t number, uint8_t tag) { records_.Lookup(number).checkedAs = tag; }

  // Pages. GetPage(0) appends a new page and returns its position through `position`.
  Handle GetPage(int32_t& position);
  void MarkPageDirty(int32_t position);
  void PinPage(int32_t position);
  void TrimCaches();
  // Frees every cache and closes the file; writes nothing.
  void Close();

  // Transactions (dbStoreTransaction.cpp).
  void Begin();
  void End();
  void Abort();

  int32_t Header(uint32_t offset) const;
  void SetHeader(uint32_t offset, int32_t value);
  int32_t LastRecordNumber() const { return Header(kLastRecordNumber); }
  int32_t DirectoryRoot() const { return Header(kDirectoryRoot); }
  void SetDirectoryRoot(int32_t number) { SetHeader(kDirectoryRoot, number); }
  int32_t Nesting() const { return nesting_; }
  int32_t PendingAbort() const { return pendingAbort_; }
  uint16_t State() const { return state_; }
  int32_t FileSize() const { return file_.Size(); }
  // Where the journal of the last commit began; it lies at the file's end only while the state is
  // kJournalWriting or kJournalComplete.
  int32_t JournalStart() const { return journalStart_; }
  // How many cached records callers hold pinned (read or added and not yet released).
  int32_t PinnedRecordCount();
  // The map entry of a record number as the store sees it now (pages not yet committed included).
  dbExtent MapEntry(int32_t number);
  // Frees the lists the calling thread's commits keep for the next one (the reset list does).
  static void FreeCommitListsOfThisThread();

 private:
  dbStore();

  // Makes the file named by `fileSpec` and opens it (dbStoreCreation.cpp). The new file is written
  // whole (first 2048 bytes with fileSpec's words and the header, then both root pages) under a
  // temporary name, flushed, and only then given its name: a power cut while a file is made leaves
  // no file of that name, never one that cannot open.
  void CreateFile(ppFileSpec& fileSpec);
  void WriteNewFile(const ppFileSpec& fileSpec);
  // The cache entry of the page at `position` (not 0), read from the file when it is not cached.
  dbCacheEntry& PageEntry(int32_t position);
  void ReadHeader();
  void CheckHeader() const;
  int32_t EnsureRootPage(uint32_t headerOffset, bool freeExtentPage);

  // Record map.
  int32_t MapPageFor(int32_t number, bool create);  // level-3 page position, 0 when absent
  dbCacheEntry* MapPageEntry(int32_t number, bool create);
  void WriteMapEntry(int32_t number, dbExtent entry);
  int32_t NewRecordNumber();
  void FreeRecordNumber(int32_t number);
  void CheckNumber(int32_t number) const;  // db::kOutOfRange unless 1 <= number <= last

  // Free extents.
  int32_t Allocate(int32_t length);
  void Release(dbExtent extent);
  int32_t MaxChainPages() const { return file_.Size() / kPageSize + 1; }

  Handle LoadRecordBytes(dbExtent entry);
  void DisposeAll();
  // Forgets what is known about cached pages; called whenever pages leave the cache.
  void ForgetPageShortcuts();

  // Transactions.
  void WriteCommitRecord();
  void Commit();
  // A record's new extent and its bytes, or a new page, on its way to the file.
  struct Placed {
    int32_t position;
    int32_t length;
    Handle data;
  };
  // Zeros in space the transaction appended are left out of the writes in stretches of this many
  // bytes or more; shorter ones cost less to write than the extra call.
  static constexpr int32_t kZeroStretch = 1024;
  void PlaceChangedRecords(std::vector<dbCacheEntry*>& changed, std::vector<Placed>& placed);
  // An extent's place in position order: its position and its index in the list placed.
  struct PlacedOrder {
    uint32_t position;
    uint32_t index;
  };
  // `sorted`: a buffer the sort may use.
  static void SortByPosition(const std::vector<Placed>& placed, std::vector<PlacedOrder>& order,
                             std::vector<PlacedOrder>& sorted);
  // The lists a commit builds, kept by each thread for its next commit: a large commit lists tens of
  // thousands of extents, and memory the allocator has given back to the system costs a page fault
  // for every 4 KB taken again (about 3 microseconds each in a virtual machine), some 900 faults for
  // a commit of 50,000 records. Each commit empties them first; they are freed when they grew past
  // kKeptListBytes, and by the reset list.
  struct CommitLists {
    std::vector<dbCacheEntry*> changed;
    std::vector<Placed> placed;
    std::vector<PlacedOrder> order, sorted;
    std::vector<char> run;
  };
  static constexpr size_t kKeptListBytes = size_t(16) << 20;
  static CommitLists& CommitListsOfThisThread();
  int32_t WriteRecordsAndNewPages(std::vector<Placed>& placed);
  void WriteSkippingZeros(int32_t at, const char* bytes, int32_t n);
  int32_t WriteJournal();
  void FinishCommit();
  void ComeToRest(int32_t size);
  bool AnyPageChanged();
  void CopyPagesIntoPlace();
  void RollBack();
  void ReplayJournal(int32_t journalStart, int32_t journalEnd);
  void Recover();
  int32_t FindJournalStart(uint16_t low16) const;
  void CheckJournal(int32_t journalStart, int32_t journalEnd) const;
  int32_t JournalEndFrom(int32_t countPlusOne) const;

  std::array<unsigned char, kHeaderSize> header_{};
  std::array<unsigned char, kHeaderSize> diskHeader_{};  // the header as the file holds it
  uint16_t state_ = kIdle;
  int32_t txStartSize_ = 0;  // file size when the outermost transaction began
  // The size at rest that the file's commit record states, or -1 when it states something else or
  // is not known: a transaction that begins at that size leaves the record as it is.
  int32_t diskRestSize_ = -1;
  int32_t journalStart_ = 0;  // file size when the journal began
  int32_t journalEnd_ = 0;    // file size after its last entry
  int16_t nesting_ = 0;
  int32_t pendingAbort_ = 0;  // 0 or db::kAbortPending
  dbStoreFile file_;
  dbPageCache pages_{11};
  dbPageCache records_{0};
  std::vector<int32_t> numbersToFree_;   // emptied last in, first out at commit
  std::vector<dbExtent> extentsToFree_;  // likewise
  dbFreeExtentIndex freeExtents_;        // describes cached free-extent pages only
  std::vector<dbCacheEntry*> mapPages_;  // by record number >> 8: cached level-3 map pages
};
