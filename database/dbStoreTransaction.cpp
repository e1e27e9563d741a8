// dbStore's transactions: commit through the redo journal, rollback, and the repair of a commit
// that a crash interrupted.
//
// Commit order on disk: changed records go to fresh extents (old bytes are never overwritten), and
// pages made in this transaction, which lie past the file's size at its start, are written at their
// place with them; the commit record says 3 and the other changed pages (and the header, when it
// changed) are appended as journal entries {i32 position, 2048 bytes}; after a flush the commit
// record says 4 and is flushed;
// then the header and the pages are written in place and flushed, the journal is cut off and the
// commit record says 0 (flushed too). A crash before state 4 leaves the old pages untouched (the file is cut
// back to its size at the transaction's start); a crash at state 4 is finished by replaying the journal.
//
// The commit record keeps the journal start's low 16 bits in bytes 8-9 and, while the state is 3 or
// 4, its high 16 bits in bytes 2-3; at state 4 the zero bytes after it (file offset 1546) hold the
// number of journal entries plus one, so that recovery replays that many and no bytes a power cut
// left after them (0 in older files: the journal runs to the file's end). At rest (state 0) bytes 2-3 hold
// kRestMark and bytes 4-7 the file's size at rest; older files have zero there and keep their size at open.
//
// Power cuts: a write not yet flushed may be lost or torn. The state 0 at the end of a commit is
// flushed, because the next commit writes its records and journal over the space of this journal;
// were state 4 still on disk then, recovery would replay those bytes as this journal. Nor may the
// file grow back over the cut journal before then: recovery would read its zeros as entries. A state 0 that
// reached the disk while the cut-off of the journal, or the next Begin's state 1, was lost leaves
// bytes past the size at rest that nothing references; recovery cuts them away.
#include <algorithm>
#include <cstring>
#include <exception>
#include <utility>
#include <vector>

#include "database/dbBytes.h"
#include "database/dbErrors.h"
#include "database/dbStore.h"
#include "database/dbZeroStretch.h"
#include "platform/ResetList.h"

namespace {

// A journal entry at this position holds the 512-byte store header rather than a page.
constexpr int32_t kHeaderEntryPosition = dbStore::kHeaderOffset;

// Bytes 2-3 of a commit record at state 0 whose bytes 4-7 give the file's size at rest.
constexpr uint16_t kRestMark = 0x5253;

// The commit record as written: the 10 bytes every version reads and the journal's entry count.
constexpr int32_t kCommitWritten = dbStore::kCommitSize + 4;

}  // namespace

void dbStore::WriteCommitRecord() {
  unsigned char record[kCommitWritten] = {};
  db::PutI16(record, 0, int16_t(state_));
  if (state_ == kJournalWriting || state_ == kJournalComplete)
    db::PutI16(record, 2, int16_t(uint32_t(journalStart_) >> 16));
  if (state_ == kIdle) db::PutI16(record, 2, int16_t(kRestMark));
  db::PutI32(record, 4, txStartSize_);
  db::PutI16(record, 8, int16_t(journalStart_ & 0xFFFF));
  if (state_ == kJournalComplete)
    db::PutI32(record, kCommitSize, (journalEnd_ - journalStart_) / kJournalEntrySize + 1);
  diskRestSize_ = -1;  // until the write is known to have succeeded
  file_.Write(kCommitOffset, record, kCommitWritten);
  if (state_ == kIdle) diskRestSize_ = txStartSize_;
}

void dbStore::Begin() {
  if (nesting_ == 0) {
    // A commit whose journal could not be replayed is finished before anything else changes.
    if (state_ == kJournalComplete) FinishCommit();
    pendingAbort_ = 0;
    // Recovery cuts the file back to this size, so the system must hold at least as much.
    file_.SyncSize();
    txStartSize_ = file_.Size();
    state_ = kOpen;
    // A record at rest with this size already tells recovery to cut the file back to it, as state 1
    // would: a transaction that writes nothing then leaves the file untouched, its time included.
    if (diskRestSize_ != txStartSize_) WriteCommitRecord();
  }
  ++nesting_;
}

void dbStore::End() {
  if (nesting_ < 1) db::Fail(db::kBadCall);
  if (nesting_ == 1 && pendingAbort_ != 0) {
    Abort();
    return;
  }
  if (nesting_ == 1) {
    try {
      Commit();
    } catch (...) {
      const std::exception_ptr failure = std::current_exception();
      const bool completed = state_ == kJournalComplete;
      nesting_ = 0;
      if (completed) {
        FinishCommit();  // when this fails too, the next Begin tries again
        return;
      }
      try {
        RollBack();
        ComeToRest(txStartSize_);
      } catch (...) {
        // The old pages were never overwritten: the file still holds the state before the commit.
      }
      // A rolled-back commit is a failed save and is reported as such.
      std::rethrow_exception(failure);
    }
  }
  --nesting_;
}

// The journal is complete: replaying it puts every changed page and the header in place, which
// completes the commit. Once they are on disk the journal is cut off, as a commit does.
void dbStore::FinishCommit() {
  ReplayJournal(journalStart_, journalEnd_);
  file_.Write(kHeaderOffset, header_.data(), kHeaderSize);
  file_.Flush();
  const auto clean = [](dbCacheEntry& e) {
    e.dirty = false;
    return false;
  };
  pages_.Walk(clean);
  records_.Walk(clean);
  ComeToRest(journalStart_);
  file_.Flush();
}

// Cuts the file to `size` and writes state 0 with that size at rest. The state in memory turns
// idle only once the record is written, so that a failure here still counts as a complete commit.
void dbStore::ComeToRest(int32_t size) {
  file_.SetSize(size);
  const uint16_t state = state_;
  const int32_t startSize = txStartSize_;
  state_ = kIdle;
  txStartSize_ = size;
  try {
    WriteCommitRecord();
  } catch (...) {
    state_ = state;
    txStartSize_ = startSize;
    throw;
  }
}

bool dbStore::AnyPageChanged() {
  bool changed = false;
  pages_.Walk([&changed](dbCacheEntry& e) {
    changed = changed || e.dirty;
    return false;
  });
  return changed;
}

void dbStore::Abort() {
  if (nesting_ < 2)
    RollBack();
  else
    pendingAbort_ = db::kAbortPending;
  if (nesting_ > 0) --nesting_;
}

dbStore::CommitLists& dbStore::CommitListsOfThisThread() {
  // Owned by the thread that commits; each thread has its own.
  thread_local CommitLists gCommitLists;
  return gCommitLists;
}

void dbStore::FreeCommitListsOfThisThread() { CommitListsOfThisThread() = CommitLists{}; }

namespace {

[[maybe_unused]] const bool kReset = plat::ResetList::Add("database: the lists a commit keeps for the next",
                                                          [] { dbStore::FreeCommitListsOfThisThread(); });

}  // namespace

void dbStore::Commit() {
  CommitLists& lists = CommitListsOfThisThread();
  std::vector<Placed>& placed = lists.placed;
  placed.clear();
  placed.reserve(records_.Size() + pages_.Size());
  std::vector<dbCacheEntry*>& changed = lists.changed;
  changed.clear();
  PlaceChangedRecords(changed, placed);
  const auto written = int32_t(changed.size());
  while (!numbersToFree_.empty()) {
    const int32_t number = numbersToFree_.back();
    numbersToFree_.pop_back();
    FreeRecordNumber(number);
  }
  while (!extentsToFree_.empty()) {
    const dbExtent extent = extentsToFree_.back();
    extentsToFree_.pop_back();
    Release(extent);
  }
  if (written == 0 && header_ == diskHeader_ && file_.Size() == txStartSize_ && !AnyPageChanged()) {
    // Nothing to write: the file stays as it was, the commit record at rest included.
    if (diskRestSize_ == txStartSize_)
      state_ = kIdle;
    else
      ComeToRest(txStartSize_);
    return;
  }
  const int32_t appended = WriteRecordsAndNewPages(placed);
  const int32_t journaled = WriteJournal();
  // A commit that wrote nothing has nothing to make durable: whatever state a crash leaves in the
  // commit record, recovery finds the file as it was.
  const bool flush = written > 0 || appended > 0 || journaled > 0;
  // The journal must be on disk before state 4 says it is complete.
  if (flush) file_.Flush();
  state_ = kJournalComplete;
  WriteCommitRecord();
  // State 4 must be on disk before any page, or the header, is overwritten in place: a header
  // that reached the disk while state 4 did not would describe pages the rollback throws away.
  if (flush) file_.Flush();
  file_.Write(kHeaderOffset, header_.data(), kHeaderSize);
  diskHeader_ = header_;
  CopyPagesIntoPlace();
  // The pages must be on disk before the journal that could repair them is cut off. Losing the
  // cut or the state 0 after this point is harmless: the journal replays to the same pages.
  if (flush) file_.Flush();
  ComeToRest(journalStart_);
  // The next commit writes over this journal's space: state 4 must not be on disk by then.
  if (flush) file_.Flush();
  // From the list rather than another walk of the cache's chains, whose loads wait on each other.
  for (dbCacheEntry* e : changed) e->dirty = false;
  const size_t kept =
      lists.changed.capacity() * sizeof(dbCacheEntry*) + lists.placed.capacity() * sizeof(Placed) +
      (lists.order.capacity() + lists.sorted.capacity()) * sizeof(PlacedOrder) + lists.run.capacity();
  if (kept > kKeptListBytes) lists = CommitLists{};
}

// Every changed record gets a newly allocated extent (old bytes are never overwritten) and its map
// entry; its old extent is freed afterwards. The extents are handed out in cache-walk order, which
// first fit scatters over the free space. `changed` receives the cache entries of the records
// placed, `placed` those with bytes to write.
void dbStore::PlaceChangedRecords(std::vector<dbCacheEntry*>& changed, std::vector<Placed>& placed) {
  // The walk gathers the dirty records first, so that their sizes can be read with their blocks
  // fetched ahead: each lies behind three dependent loads (cache entry, master pointer, block
  // header), spread over the zone. No other list is made: fresh memory costs a page fault for every
  // 4 KB, more than the walk itself.
  changed.reserve(records_.Size());
  records_.Walk([&](dbCacheEntry& e) {
    if (e.dirty) changed.push_back(&e);
    return false;
  });
  constexpr size_t kAhead = 8;  // records between fetching one load and the next
  const size_t n = changed.size();
  for (size_t i = 0; i < n; ++i) {
    if (i + 3 * kAhead < n) __builtin_prefetch(changed[i + 3 * kAhead]);
    if (i + 2 * kAhead < n) __builtin_prefetch(changed[i + 2 * kAhead]->data);
    if (i + kAhead < n) {
      const dbCacheEntry& ahead = *changed[i + kAhead];
      if (ahead.data != nullptr && *ahead.data != nullptr) __builtin_prefetch(*ahead.data - 16);
      // The walk visits record numbers 256 apart, so each lies in another map page.
      const auto mapSlot = size_t(ahead.key) >> 8;
      if (mapSlot < mapPages_.size() && mapPages_[mapSlot] != nullptr)
        __builtin_prefetch(*mapPages_[mapSlot]->data + 8 * (ahead.key & 0xFF), 1);
    }
    const int32_t number = changed[i]->key;
    const Handle data = changed[i]->data;
    const dbExtent old = MapEntry(number);
    if (old.position > 0 && old.length > 0) extentsToFree_.push_back(old);
    const int32_t length = MemGetSize(data);
    const int32_t position = Allocate(length);
    WriteMapEntry(number, {position, length});
    if (length > 0) placed.push_back({position, length, data});
  }
}

// The order of `placed` by position, keeping the order of equal positions: a radix sort of 12 bits
// a pass, as a commit hands out tens of thousands of extents. Passes where every position has the
// same digit are left out, so files under 16 MB take two. Sorts {position, index} pairs, half the
// size of the extents, so that less fresh memory is touched.
void dbStore::SortByPosition(const std::vector<Placed>& placed, std::vector<PlacedOrder>& order,
                             std::vector<PlacedOrder>& sorted) {
  order.resize(placed.size());
  for (size_t i = 0; i < placed.size(); ++i) order[i] = {uint32_t(placed[i].position), uint32_t(i)};
  const auto before = [](const PlacedOrder& a, const PlacedOrder& b) { return a.position < b.position; };
  // First fit from a growing file mostly hands out rising positions: often there is nothing to sort.
  if (std::is_sorted(order.begin(), order.end(), before)) return;
  if (order.size() < 256) {
    std::stable_sort(order.begin(), order.end(), before);
    return;
  }
  constexpr int32_t kBits = 12;
  constexpr size_t kDigits = size_t(1) << kBits;
  sorted.resize(order.size());
  std::vector<size_t> start(kDigits);
  for (int32_t shift = 0; shift < 32; shift += kBits) {
    const auto digit = [shift](const PlacedOrder& p) { return (p.position >> shift) & (kDigits - 1); };
    std::fill(start.begin(), start.end(), 0);
    for (const PlacedOrder& p : order) ++start[digit(p)];
    if (start[digit(order.front())] == order.size()) continue;
    size_t at = 0;
    for (size_t& count : start) at += std::exchange(count, at);
    for (const PlacedOrder& p : order) sorted[start[digit(p)]++] = p;
    order.swap(sorted);
  }
}

// Writes the placed records and every dirty page that lies past the file's size at Begin; returns
// how many pages it wrote. Such pages are new: nothing on disk refers to them before the header and
// the old pages change, and a crash before the journal is complete cuts them off with the rest of
// the transaction's space, so they need no journal entry and are written once, at their place.
//
// The bytes go to the file in position order, neighbours in one call. Space past the size at Begin
// has never been written since the file was last cut back, so it reads as zeros: there, stretches of
// zeros (the unused tables of index nodes, what records leave between them) are not written, unless
// they are so short that another call would cost more than the bytes.
int32_t dbStore::WriteRecordsAndNewPages(std::vector<Placed>& placed) {
  const size_t records = placed.size();
  pages_.Walk([&](dbCacheEntry& e) {
    if (e.dirty && e.key >= txStartSize_) {
      placed.push_back({e.key, kPageSize, e.data});
      e.dirty = false;
    }
    return false;
  });
  const auto pages = int32_t(placed.size() - records);
  CommitLists& lists = CommitListsOfThisThread();
  std::vector<PlacedOrder>& order = lists.order;
  SortByPosition(placed, order, lists.sorted);
  for (size_t i = 1; i < order.size(); ++i) {
    // Overlapping extents come only from a damaged free-extent table: keep the walk's write order.
    const Placed& previous = placed[order[i - 1].index];
    if (int64_t(previous.position) + previous.length > placed[order[i].index].position) {
      for (size_t j = 0; j < order.size(); ++j) order[j].index = uint32_t(j);
      break;
    }
  }
  // Runs of a megabyte: the system spends less a page on long writes.
  constexpr size_t kMaxRun = 1 << 20;
  std::vector<char>& run = lists.run;
  run.clear();
  run.reserve(kMaxRun + kPageSize);
  int32_t runAt = 0;
  const auto writeRun = [&] {
    WriteSkippingZeros(runAt, run.data(), int32_t(run.size()));
    run.clear();
  };
  // The records lie scattered over the handle zone, each behind its master pointer: both are
  // fetched ahead, as in PlaceChangedRecords.
  constexpr size_t kAhead = 8;
  for (size_t i = 0; i < order.size(); ++i) {
    if (i + 2 * kAhead < order.size()) __builtin_prefetch(placed[order[i + 2 * kAhead].index].data);
    if (i + kAhead < order.size()) {
      const char* ahead = *placed[order[i + kAhead].index].data;
      __builtin_prefetch(ahead);
      __builtin_prefetch(ahead + 64);
    }
    const Placed& p = placed[order[i].index];
    if (!run.empty()) {
      const int64_t end = int64_t(runAt) + int64_t(run.size());
      const int64_t gap = p.position - end;
      if (gap > 0 && gap < kZeroStretch && end >= txStartSize_ && run.size() < kMaxRun)
        run.resize(run.size() + size_t(gap), 0);  // zeros already, but one call is cheaper
      else if (gap != 0 || run.size() >= kMaxRun)
        writeRun();
    }
    if (run.empty()) runAt = p.position;
    run.insert(run.end(), *p.data, *p.data + p.length);
  }
  if (!run.empty()) writeRun();
  return pages;
}

// Writes n bytes at `at`, leaving out each stretch of at least kZeroStretch zeros that lies past the
// file's size at Begin. The file's size still covers all n bytes.
void dbStore::WriteSkippingZeros(int32_t at, const char* bytes, int32_t n) {
  int32_t from = std::clamp(txStartSize_ - at, 0, n);  // first byte that may be left out
  int32_t unwritten = 0;                               // first byte not written yet
  for (;;) {
    const dbZeroStretch zeros = dbZeroStretch::Find(bytes, from, n, kZeroStretch);
    if (zeros.begin == zeros.end) break;
    file_.Write(at + unwritten, bytes + unwritten, zeros.begin - unwritten);
    unwritten = zeros.end;
    from = zeros.end;
  }
  file_.Write(at + unwritten, bytes + unwritten, n - unwritten);
  if (int64_t(at) + n > file_.Size()) file_.SetSize(at + n);
}

// Appends the journal entries in page-cache walk order, the header's last; returns their number.
// Entries go to the file in runs of up to a megabyte.
int32_t dbStore::WriteJournal() {
  state_ = kJournalWriting;
  journalStart_ = file_.Size();
  WriteCommitRecord();
  constexpr size_t kMaxRun = (1 << 20) / kJournalEntrySize * kJournalEntrySize;
  std::vector<unsigned char> run;
  int32_t at = journalStart_;
  int32_t entries = 0;
  const auto writeRun = [&] {
    file_.Write(at, run.data(), int32_t(run.size()));
    at += int32_t(run.size());
    run.clear();
  };
  const auto append = [&](int32_t position, const void* bytes, size_t size) {
    if (run.size() >= kMaxRun) writeRun();
    const size_t from = run.size();
    run.resize(from + kJournalEntrySize, 0);
    db::PutI32(run.data() + from, 0, position);
    std::memcpy(run.data() + from + 4, bytes, size);
    ++entries;
  };
  pages_.Walk([&](dbCacheEntry& e) {
    if (e.dirty) append(e.key, *e.data, kPageSize);
    return false;
  });
  if (header_ != diskHeader_) append(kHeaderEntryPosition, header_.data(), kHeaderSize);
  if (!run.empty()) writeRun();
  journalEnd_ = journalStart_ + entries * kJournalEntrySize;
  return entries;
}

// Writes every dirty page at its place, in position order so that neighbouring pages share a call.
void dbStore::CopyPagesIntoPlace() {
  std::vector<dbCacheEntry*> dirty;
  pages_.Walk([&dirty](dbCacheEntry& e) {
    if (e.dirty) dirty.push_back(&e);
    return false;
  });
  std::sort(dirty.begin(), dirty.end(),
            [](const dbCacheEntry* a, const dbCacheEntry* b) { return a->key < b->key; });
  constexpr size_t kMaxRun = 1 << 20;
  std::vector<char> run;
  int32_t runAt = 0;
  const auto writeRun = [&] {
    file_.Write(runAt, run.data(), int32_t(run.size()));
    run.clear();
  };
  for (dbCacheEntry* e : dirty) {
    if (!run.empty() && (int64_t(runAt) + int64_t(run.size()) != e->key || run.size() >= kMaxRun)) writeRun();
    if (run.empty()) runAt = e->key;
    run.insert(run.end(), *e->data, *e->data + kPageSize);
    e->dirty = false;
  }
  if (!run.empty()) writeRun();
}

// Undoes everything since Begin: pages and header come back from the file, queued frees are
// forgotten, unpinned records leave the cache and pinned changed records get their stored bytes.
void dbStore::RollBack() {
  ForgetPageShortcuts();
  pages_.Walk([](dbCacheEntry& e) {
    MemDispose(e.data);
    return true;
  });
  numbersToFree_.clear();
  extentsToFree_.clear();
  ReadHeader();
  records_.Walk([this](dbCacheEntry& e) {
    if (!e.pinned) {
      MemDispose(e.data);
      return true;
    }
    if (!e.dirty) return false;
    e.dirty = false;
    e.checkedAs = 0;
    const dbExtent stored = e.key <= LastRecordNumber() ? MapEntry(e.key) : dbExtent{-1, 0};
    if (stored.position == -1 || stored.length <= 0 || !file_.Holds(stored.position, stored.length)) {
      MemSetSize(e.data, 0);  // the record did not exist before this transaction
      return false;
    }
    MemSetSize(e.data, uint32_t(stored.length));
    file_.Read(stored.position, *e.data, stored.length);
    return false;
  });
  pendingAbort_ = 0;
}

// ---- Replay and recovery ----

// A journal must consist of whole entries, each naming the header or a page before the journal.
void dbStore::CheckJournal(int32_t journalStart, int32_t journalEnd) const {
  if (journalStart < kFirstPageOffset || journalStart > journalEnd || journalEnd > file_.Size() ||
      (journalEnd - journalStart) % kJournalEntrySize != 0)
    db::Fail(db::kDamagedFile);
  for (int32_t at = journalStart; at < journalEnd; at += kJournalEntrySize) {
    unsigned char word[4];
    const_cast<dbStoreFile&>(file_).Read(at, word, 4);
    const int32_t pos = db::GetI32(word, 0);
    const bool isPage = pos >= kFirstPageOffset && int64_t(pos) + kPageSize <= journalStart;
    if (pos != kHeaderEntryPosition && !isPage) db::Fail(db::kDamagedFile);
  }
}

// For files whose commit record lacks the high bits: the journal start is the one position, a
// whole number of entries before the end, that has the recorded low 16 bits and holds a valid
// journal. More than one candidate (or none) is refused rather than guessed.
int32_t dbStore::FindJournalStart(uint16_t low16) const {
  int32_t found = -1;
  for (int64_t start = file_.Size(); start >= kFirstPageOffset; start -= kJournalEntrySize) {
    if ((start & 0xFFFF) != low16) continue;
    try {
      CheckJournal(int32_t(start), file_.Size());
    } catch (int32_t) {
      continue;
    }
    if (found != -1) db::Fail(db::kDamagedFile);
    found = int32_t(start);
  }
  if (found == -1) db::Fail(db::kDamagedFile);
  return found;
}

void dbStore::ReplayJournal(int32_t journalStart, int32_t journalEnd) {
  std::vector<unsigned char> entry(kJournalEntrySize);
  const int32_t end = std::min(journalEnd, file_.Size());
  for (int32_t at = journalStart; at + kJournalEntrySize <= end; at += kJournalEntrySize) {
    file_.Read(at, entry.data(), kJournalEntrySize);
    const int32_t pos = db::GetI32(entry.data(), 0);
    const int32_t bytes = pos == kHeaderEntryPosition ? kHeaderSize : kPageSize;
    file_.Write(pos, entry.data() + 4, bytes);
  }
}

// The journal's end from the entry count a state 4 record holds (0: not recorded, to the file's end).
// A file that ends inside the journal had it cut off after the pages were flushed in place: the
// entries still whole replay the same pages again, the rest are gone and not needed.
int32_t dbStore::JournalEndFrom(int32_t countPlusOne) const {
  const int32_t size = file_.Size();
  if (countPlusOne == 0) return size;
  if (countPlusOne < 0 || journalStart_ < kFirstPageOffset || journalStart_ > size)
    db::Fail(db::kDamagedFile);
  const int64_t end = int64_t(journalStart_) + int64_t(countPlusOne - 1) * kJournalEntrySize;
  if (end <= size) return int32_t(end);
  return journalStart_ + (size - journalStart_) / kJournalEntrySize * kJournalEntrySize;
}

// Runs once at open, before the header is read: finishes or undoes a commit left by a crash.
void dbStore::Recover() {
  unsigned char record[kCommitWritten];
  file_.Read(kCommitOffset, record, kCommitWritten);
  const auto state = uint16_t(db::GetI16(record, 0));
  const auto high = uint16_t(db::GetI16(record, 2));
  const auto low = uint16_t(db::GetI16(record, 8));
  txStartSize_ = db::GetI32(record, 4);
  journalStart_ = int32_t(uint32_t(high) << 16 | low);
  switch (state) {
    case kIdle:
      // Bytes past the size at rest belong to a transaction that never reached its journal.
      if (high == kRestMark && txStartSize_ >= kFirstPageOffset && txStartSize_ < file_.Size()) {
        file_.SetSize(txStartSize_);
        file_.Flush();
      }
      if (high == kRestMark && txStartSize_ == file_.Size()) diskRestSize_ = txStartSize_;
      return;
    case kOpen:
    case kJournalWriting:
      if (txStartSize_ < kFirstPageOffset || txStartSize_ > file_.Size()) db::Fail(db::kDamagedFile);
      ComeToRest(txStartSize_);
      break;
    case kJournalComplete:
      // Files that record the entry count record the high bits too, zero or not.
      if (high == 0 && db::GetI32(record, kCommitSize) == 0) journalStart_ = FindJournalStart(low);
      journalEnd_ = JournalEndFrom(db::GetI32(record, kCommitSize));
      CheckJournal(journalStart_, journalEnd_);
      ReplayJournal(journalStart_, journalEnd_);
      file_.Flush();
      ComeToRest(journalStart_);
      break;
    default:
      db::Fail(db::kDamagedFile);
  }
  file_.Flush();
}
