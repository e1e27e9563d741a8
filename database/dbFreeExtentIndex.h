// What the store knows about the free-extent pages it has read through, so that first fit and
// release can pass over a page none of whose 126 slots could be chosen without scanning it again.
// Every figure is a bound that holds for the page's current slots (slots changed since the page was
// last scanned only widen it), so skipping a page never changes which slot is chosen.
//
// Only pages the store's page cache holds may be described: the store forgets everything whenever
// pages leave the cache (trim, rollback, close), so a skipped page is one the walk would have found
// in the cache anyway.
//
// First fit also remembers the chain's leading pages it passed over, in chain order, with the
// longest slot each may hold, and starts a fit at the first of them that may hold it. Appending
// records leaves a short leftover in every page-sized growth, so the chain fills with pages of
// leftovers that every fit would otherwise step through one summary at a time (tens of pages for
// each of tens of thousands of records in one commit).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class dbFreeExtentIndex {
 public:
  static constexpr int32_t kSlots = 126;
  static constexpr uint32_t kNextOffset = 4;  // page offset of the next page's position
  static constexpr uint32_t kSlot0 = 8;       // page offset of slot 0 {position, length}

  // The next page's position when the page may be skipped by a first fit for `length`; -1 when the
  // page must be scanned.
  int32_t SkipForAllocate(int32_t page, int32_t length) const;
  // Likewise for releasing {position, length}: no slot is empty or a neighbour of the extent.
  int32_t SkipForRelease(int32_t page, int32_t position, int32_t length) const;

  // The slot a first fit for `length` on `page` may start at: every slot before it is shorter, at
  // most `leadMax` long (left alone when the answer is 0).
  int32_t FirstSlotFor(int32_t page, int32_t length, int32_t& leadMax) const;
  // A first fit chose `slot` on `page`; every slot before it was at most `leadMax` long.
  void Fitted(int32_t page, int32_t slot, int32_t leadMax);

  // Where a first fit for `length` along the chain from `root` may start: at the first of the
  // leading pages passed over before that may hold `length` bytes, else after them (0: past the
  // chain's last page).
  int32_t StartForAllocate(int32_t root, int32_t length) const;
  // A first fit walking the chain from `root` passed over `page`, which is described (skipped by its
  // summary, or scanned just now without a fit).
  void PassedForAllocate(int32_t root, int32_t page);

  void Scanned(int32_t page, const char* data);  // describes the page exactly
  void SlotChanged(int32_t page, int32_t slot, int32_t position, int32_t length);
  void NextChanged(int32_t page, int32_t next);
  // `page` was made afresh: nothing known of an earlier page at its place holds.
  void Forget(int32_t page);
  void Clear() {
    pages_.clear();
    leads_.clear();
    DropPrefix();
  }

 private:
  // Bounds over the page's slots; start and end only over non-empty slots. Ends wrap like the
  // 32-bit sums the walks compare.
  struct Summary {
    int32_t page = 0;  // the page described; 0 for none
    int32_t next = 0;
    int32_t maxLength = 0;
    bool mayHaveEmpty = false;
    int32_t minStart = 0, maxStart = -1, minEnd = 0, maxEnd = -1;
    uint32_t prefixMark = 0;  // equal to prefixMark_ while the page belongs to the prefix
    int32_t prefixAt = 0;     // its place in the prefix then
  };
  static int32_t End(int32_t position, int32_t length) {
    return static_cast<int32_t>(static_cast<uint32_t>(position) + static_cast<uint32_t>(length));
  }
  // The leading slots of a page where a first fit last chose: a page that keeps a fitting slot is
  // never described, and a new record would otherwise scan its short leftovers every time (a
  // commit places tens of thousands). Bounds only widen, like the summaries'.
  struct Lead {
    int32_t page = 0;  // 0 for none
    int32_t slots = 0;
    int32_t max = 0;  // the longest of those slots
  };
  static void Widen(Summary& s, int32_t position, int32_t length);
  // The summary of `page`, null when the page is not described.
  const Summary* Find(int32_t page) const;
  Summary* Find(int32_t page) {
    return const_cast<Summary*>(static_cast<const dbFreeExtentIndex*>(this)->Find(page));
  }

  // Pages lie 2048 bytes apart, so a page's position / 2048 names its summary; pages of damaged
  // files that overlap share a place, and only the last scanned of them is described. Files past
  // kMaxDescribed pages describe only the pages below that.
  static constexpr uint32_t kPageShift = 11;
  static constexpr size_t kMaxDescribed = size_t(1) << 18;
  std::vector<Summary> pages_;
  std::vector<Lead> leads_;  // placed like pages_

  // The leading pages of the chain from `root` that first fit passed over, in chain order, up to
  // `end` (the page after them; 0 past the chain's last page). Each is described and marked;
  // prefixLongest_[i] is the longest slot of pages 0..i, as their summaries bound it (so it never
  // falls along the prefix). A change to a marked page's summary updates it or drops the prefix.
  bool InPrefix(const Summary& s) const { return prefixValid_ && s.prefixMark == prefixMark_; }
  void PrefixPageChanged(const Summary& s);
  void DropPrefix();
  bool prefixValid_ = false;
  int32_t prefixRoot_ = 0;
  int32_t prefixEnd_ = 0;
  std::vector<int32_t> prefixPages_;
  std::vector<int32_t> pageLongest_;  // each prefix page's own bound
  std::vector<int32_t> prefixLongest_;
  uint32_t prefixMark_ = 1;
};
