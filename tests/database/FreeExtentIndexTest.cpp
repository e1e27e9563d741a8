// The summary of free-extent pages may only let a walk pass over a page when the plain scan of its
// 126 slots would choose nothing there; right after a scan, first fit passes over every page too
// short for it and release over a page without empty slots when the extent lies past all of them
// (the tail of a growth).
// The lead a first fit leaves (the slots before the one it chose, all shorter) lets the next fit
// start past them only while none of them has grown to the length asked.
// Random pages, changed slot by slot as first fit and release change them, are checked against the
// plain scan after every change.
// Along a chain of pages, first fit starting where the index says must choose the slot the plain
// walk from the chain's first page chooses, while fits, releases, appended pages, rescans and
// forgotten pages change the chain under it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "database/dbBytes.h"
#include "database/dbFreeExtentIndex.h"

namespace {

constexpr int32_t kPage = 4096;  // the page's position; its next page is 6144
constexpr int32_t kNext = 6144;

class Page {
 public:
  Page() : bytes_(2048, 0) { SetNext(kNext); }
  void SetNext(int32_t next) { db::PutI32(bytes_.data(), dbFreeExtentIndex::kNextOffset, next); }
  int32_t Next() const { return db::GetI32(bytes_.data(), dbFreeExtentIndex::kNextOffset); }
  int32_t Position(int32_t i) const { return db::GetI32(bytes_.data(), At(i)); }
  int32_t Length(int32_t i) const { return db::GetI32(bytes_.data(), At(i) + 4); }
  void Set(int32_t i, int32_t position, int32_t length) {
    db::PutI32(bytes_.data(), At(i), position);
    db::PutI32(bytes_.data(), At(i) + 4, length);
  }
  const char* Data() const { return bytes_.data(); }

  // What the plain scans would choose in this page.
  bool AllocateFits(int32_t length) const {
    for (int32_t i = 0; i < dbFreeExtentIndex::kSlots; ++i)
      if (Length(i) >= length) return true;
    return false;
  }
  bool ReleaseApplies(int32_t position, int32_t length) const {
    for (int32_t i = 0; i < dbFreeExtentIndex::kSlots; ++i)
      if (Length(i) == 0 || Position(i) == position + length || position == Position(i) + Length(i))
        return true;
    return false;
  }

 private:
  static uint32_t At(int32_t i) { return dbFreeExtentIndex::kSlot0 + 8 * uint32_t(i); }
  std::vector<char> bytes_;
};

TEST(FreeExtentIndexTest, PassesOverAPageOnlyWhenNoSlotOfItWouldBeChosen) {
  std::mt19937 random(20261206);
  const auto below = [&](int32_t n) { return int32_t(random() % uint32_t(n)); };
  for (int round = 0; round < 200; ++round) {
    Page page;
    // Mostly full pages of small leftovers, as a long run of appended records leaves them.
    const int32_t empties = below(3);
    for (int32_t i = 0; i < dbFreeExtentIndex::kSlots; ++i)
      page.Set(i, 2048 + below(1 << 20), i < dbFreeExtentIndex::kSlots - empties ? 1 + below(300) : 0);
    dbFreeExtentIndex index;
    EXPECT_EQ(index.SkipForAllocate(kPage, 1), -1) << "an unknown page is always scanned";
    index.Scanned(kPage, page.Data());
    bool exact = true;  // no slot changed since the last scan
    for (int step = 0; step < 300; ++step) {
      const int32_t length = below(400);
      const int32_t skipAllocate = index.SkipForAllocate(kPage, length);
      if (exact || skipAllocate != -1)
        ASSERT_EQ(skipAllocate == -1, page.AllocateFits(length)) << "round " << round << " step " << step;
      if (skipAllocate != -1) EXPECT_EQ(skipAllocate, kNext);
      // A first fit starts where the index says, and notes the lead it passed now and then.
      int32_t leadMax = std::numeric_limits<int32_t>::min();
      const int32_t first = index.FirstSlotFor(kPage, length, leadMax);
      for (int32_t i = 0; i < first; ++i) {
        ASSERT_LT(page.Length(i), length) << "round " << round << " step " << step << " slot " << i;
        ASSERT_LE(page.Length(i), leadMax) << "round " << round << " step " << step << " slot " << i;
      }
      int32_t fit = first, most = leadMax;
      while (fit < dbFreeExtentIndex::kSlots && page.Length(fit) < length)
        most = std::max(most, page.Length(fit++));
      if (fit < dbFreeExtentIndex::kSlots && below(2) == 0) index.Fitted(kPage, fit, most);
      // A neighbour of an existing slot now and then, else anywhere.
      const int32_t slot = below(dbFreeExtentIndex::kSlots);
      int32_t position = 2048 + below(1 << 20);
      if (below(4) == 0) position = page.Position(slot) + page.Length(slot);
      if (below(4) == 0) position = page.Position(slot) - length;
      const int32_t skipRelease = index.SkipForRelease(kPage, position, length);
      if (skipRelease != -1)
        ASSERT_FALSE(page.ReleaseApplies(position, length)) << "round " << round << " step " << step;
      if (exact) {
        bool anyEmpty = false;
        for (int32_t i = 0; i < dbFreeExtentIndex::kSlots; ++i) anyEmpty = anyEmpty || page.Length(i) == 0;
        EXPECT_EQ(index.SkipForRelease(kPage, 1 << 22, 100), anyEmpty ? -1 : kNext);
      }
      // Change one slot as first fit (shrinking) or release (filling, merging) would.
      if (below(2) == 0) {
        const int32_t taken = below(page.Length(slot) + 1);
        page.Set(slot, page.Position(slot) + taken, page.Length(slot) - taken);
      } else if (page.Length(slot) == 0) {
        page.Set(slot, position, 1 + below(300));
      } else {
        page.Set(slot, page.Position(slot) - length, page.Length(slot) + length);
      }
      index.SlotChanged(kPage, slot, page.Position(slot), page.Length(slot));
      exact = below(50) == 0;
      if (exact) index.Scanned(kPage, page.Data());
    }
    // A page made afresh at the same place is scanned from its first slot.
    index.Forget(kPage);
    int32_t leadMax = 0;
    EXPECT_EQ(index.SkipForAllocate(kPage, 1000), -1);
    EXPECT_EQ(index.FirstSlotFor(kPage, 1000, leadMax), 0);
  }
}

// A chain of free-extent pages at 2048, 4096, ... linked in that order; first fit over it as the
// store walks it, with and without the index.
class Chain {
 public:
  explicit Chain(int32_t pages) {
    for (int32_t i = 0; i < pages; ++i) Append();
  }
  static int32_t PositionOf(size_t page) { return 2048 * int32_t(page + 1); }
  size_t Size() const { return pages_.size(); }
  Page& At(size_t page) { return pages_[page]; }

  // Links a new page after the last one; returns it.
  size_t Append() {
    pages_.emplace_back();
    const size_t added = pages_.size() - 1;
    pages_[added].SetNext(0);
    if (added > 0) pages_[added - 1].SetNext(PositionOf(added));
    return added;
  }

  // The first slot of `length` or more: {page, slot}, or {-1, -1} when none.
  std::pair<int32_t, int32_t> PlainFit(int32_t length) const {
    for (size_t p = 0; p < pages_.size(); ++p)
      for (int32_t i = 0; i < dbFreeExtentIndex::kSlots; ++i)
        if (pages_[p].Length(i) >= length) return {int32_t(p), i};
    return {-1, -1};
  }

  // The store's walk: from where the index says, passing over what the summaries allow and
  // scanning the rest.
  std::pair<int32_t, int32_t> IndexedFit(dbFreeExtentIndex& index, int32_t length) const {
    const int32_t root = PositionOf(0);
    int32_t position = index.StartForAllocate(root, length);
    while (position != 0) {
      const size_t p = size_t(position / 2048 - 1);
      const int32_t skipTo = index.SkipForAllocate(position, length);
      if (skipTo >= 0) {
        index.PassedForAllocate(root, position);
        position = skipTo;
        continue;
      }
      for (int32_t i = 0; i < dbFreeExtentIndex::kSlots; ++i)
        if (pages_[p].Length(i) >= length) return {int32_t(p), i};
      index.Scanned(position, pages_[p].Data());
      index.PassedForAllocate(root, position);
      position = pages_[p].Next();
    }
    return {-1, -1};
  }

 private:
  std::vector<Page> pages_;
};

TEST(FreeExtentIndexTest, FirstFitAlongTheChainChoosesWhatThePlainWalkChooses) {
  std::mt19937 random(20261207);
  const auto below = [&](int32_t n) { return int32_t(random() % uint32_t(n)); };
  for (int round = 0; round < 60; ++round) {
    Chain chain(1 + below(6));
    for (size_t p = 0; p < chain.Size(); ++p)
      for (int32_t i = 0; i < dbFreeExtentIndex::kSlots; ++i)
        chain.At(p).Set(i, 2048 + below(1 << 20), below(8) == 0 ? 0 : 1 + below(120));
    dbFreeExtentIndex index;
    for (int step = 0; step < 400; ++step) {
      SCOPED_TRACE("round " + std::to_string(round) + " step " + std::to_string(step));
      // Mostly short records, now and then an index node's length.
      const int32_t length = below(5) == 0 ? 200 + below(1800) : 40 + below(80);
      const auto plain = chain.PlainFit(length);
      ASSERT_EQ(chain.IndexedFit(index, length), plain);
      if (plain.first >= 0) {
        // Take the bytes as first fit does.
        Page& page = chain.At(size_t(plain.first));
        page.Set(plain.second, page.Position(plain.second) + length, page.Length(plain.second) - length);
        index.SlotChanged(Chain::PositionOf(size_t(plain.first)), plain.second, page.Position(plain.second),
                          page.Length(plain.second));
      }
      switch (below(10)) {
        case 0: {  // a release grows a slot anywhere, often in a page the walks pass over
          const auto p = size_t(below(int32_t(chain.Size())));
          const int32_t slot = below(dbFreeExtentIndex::kSlots);
          Page& page = chain.At(p);
          page.Set(slot, page.Position(slot), page.Length(slot) + 1 + below(2000));
          index.SlotChanged(Chain::PositionOf(p), slot, page.Position(slot), page.Length(slot));
          break;
        }
        case 1: {  // the file grew and a new page holds the leftover
          const size_t added = chain.Append();
          chain.At(added).Set(0, 1 << 22, 1 + below(2000));
          index.Forget(Chain::PositionOf(added));
          index.NextChanged(Chain::PositionOf(added - 1), Chain::PositionOf(added));
          break;
        }
        case 2: {  // a release's walk scans a page exactly
          const auto p = size_t(below(int32_t(chain.Size())));
          index.Scanned(Chain::PositionOf(p), chain.At(p).Data());
          break;
        }
        case 3:
          if (below(4) == 0) index.Clear();  // the page cache was trimmed
          break;
        default:
          break;
      }
    }
  }
}

}  // namespace
