// The zone against a block-by-block model of its rules: every block a search takes is the one a plain
// next-fit walk over the block list takes, and every compaction leaves the layout a plain sweep over
// the block list makes, with locked blocks in place and every handle's bytes intact.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "foundation/Vcon_HandleManager.h"
#include "foundation/Zone.h"

namespace {

using Blocks = std::vector<Vcon::BlockInfo>;

constexpr uint32_t kFirstBlock = 16;

bool IsFree(const Vcon::BlockInfo& b) { return (b.header.flags & Vcon::kBlockFree) != 0; }
bool IsLocked(const Vcon::BlockInfo& b) { return (b.header.flags & Vcon::kBlockLocked) != 0; }
uint32_t Length(const Vcon::BlockHeader& h) { return 16 + h.size + h.slack; }

// Next fit over the list: the first free block of at least `size` bytes from `start` on, wrapping;
// 0 when none.
uint32_t WalkChoice(const Blocks& blocks, uint32_t start, uint32_t size) {
  size_t first = 0;
  while (first < blocks.size() && blocks[first].offset < start) ++first;
  if (first == blocks.size()) first = 0;
  for (size_t i = 0; i < blocks.size(); ++i) {
    const Vcon::BlockInfo& b = blocks[(first + i) % blocks.size()];
    if (IsFree(b) && b.header.size >= size) return b.offset;
  }
  return 0;
}

// Compaction over the list: from each free block up to the next locked block, free blocks merge into
// it and used blocks slide down below it.
Blocks SweepModel(const Blocks& in) {
  Blocks out;
  size_t i = 0;
  while (i < in.size()) {
    if (!IsFree(in[i])) {
      out.push_back(in[i++]);
      continue;
    }
    Vcon::BlockHeader gap = in[i].header;
    uint32_t at = in[i].offset;
    for (++i; i < in.size() && !IsLocked(in[i]); ++i) {
      if (IsFree(in[i])) {
        gap.size += Length(in[i].header);
      } else {
        out.push_back({at, in[i].header});
        at += Length(in[i].header);
      }
    }
    out.push_back({at, gap});
  }
  return out;
}

// Where a search from `start` places `size` bytes: found by the walk, or after one compaction by a walk
// from the first block; 0 when the zone is full.
uint32_t ExpectedChoice(const Blocks& blocks, uint32_t start, uint32_t size) {
  const uint32_t found = WalkChoice(blocks, start, size);
  return found != 0 ? found : WalkChoice(SweepModel(blocks), kFirstBlock, size);
}

::testing::AssertionResult SameLayout(const Blocks& actual, const Blocks& expected) {
  if (actual.size() != expected.size()) {
    return ::testing::AssertionFailure() << actual.size() << " blocks, expected " << expected.size();
  }
  for (size_t i = 0; i < actual.size(); ++i) {
    const Vcon::BlockHeader& a = actual[i].header;
    const Vcon::BlockHeader& e = expected[i].header;
    if (actual[i].offset != expected[i].offset || a.back != e.back || a.size != e.size ||
        a.flags != e.flags || a.slack != e.slack) {
      return ::testing::AssertionFailure() << "block " << i << " at " << actual[i].offset << " differs";
    }
  }
  return ::testing::AssertionSuccess();
}

struct Slot {
  Handle h = nullptr;
  char fill = 0;
  bool locked = false;
};

bool Intact(const Slot& s) {
  const int32_t size = MemGetSize(s.h);
  for (int32_t i = 0; i < size; ++i)
    if ((*s.h)[i] != s.fill) return false;
  return true;
}

// The walk's blocks end exactly at the zone's end (its header's second word), and its used blocks are
// exactly those of the live handles. The walk steps over free blocks by the sizes the zone keeps for them
// (not by headers), and the model's choices are only as good as those sizes: a wrong one makes the walk
// land inside a block and lose the live handles after it.
::testing::AssertionResult TilesWithTheLiveHandles(const Vcon::Zone& zone, const Blocks& blocks,
                                                   const std::vector<Slot>& slots) {
  uint64_t next = kFirstBlock;
  std::vector<uint32_t> used;
  for (const Vcon::BlockInfo& b : blocks) {
    next = uint64_t(b.offset) + Length(b.header);
    if ((b.header.flags & (Vcon::kBlockFree | Vcon::kBlockTable)) == 0) used.push_back(b.offset);
  }
  uint32_t end = 0;
  std::memcpy(&end, zone.Base() + 4, sizeof end);
  if (next != end)
    return ::testing::AssertionFailure() << "the blocks end at " << next << ", the zone at " << end;
  std::vector<uint32_t> live;
  for (const Slot& s : slots)
    if (s.h != nullptr) live.push_back(uint32_t(*s.h - 16 - zone.Base()));
  std::sort(live.begin(), live.end());
  if (used != live)
    return ::testing::AssertionFailure() << used.size() << " used blocks, " << live.size() << " live";
  return ::testing::AssertionSuccess();
}

struct Workload {
  const char* name;
  uint32_t zoneBytes;
  uint32_t masterPointers;
  uint32_t slots;
  uint32_t smallBelow;  // four in five requests are smaller than this
  uint32_t largeFrom;   // the others lie in [largeFrom, largeFrom + largeSpan)
  uint32_t largeSpan;
  int steps;
};

// Many small blocks over many index chunks; and free blocks past a megabyte, whose sizes the index
// does not keep itself.
const Workload kWorkloads[] = {
    {"small blocks", 192 * 1024, 4000, 300, 200, 200, 2000, 10000},
    {"blocks past a megabyte", 8 * 1024 * 1024, 400, 8, 3000, 200'000, 1'200'000, 1500},
};

class ZoneAgainstModel : public ::testing::TestWithParam<Workload> {};

TEST_P(ZoneAgainstModel, SearchesAndCompactionsFollowThePlainRules) {
  const Workload& w = GetParam();
  std::unique_ptr<Vcon::Zone> owned = Vcon::Zone::Create(w.zoneBytes, w.masterPointers);
  ASSERT_NE(owned, nullptr);
  Vcon::Zone& zone = *owned;
  Vcon::Zone* const previous = Vcon::Zone::Install(&zone);
  std::vector<Slot> slots(w.slots);
  uint32_t seed = 2024;
  auto random = [&seed](uint32_t n) {
    seed = seed * 1103515245 + 12345;
    return (seed >> 8) % n;
  };
  auto offsetOf = [&zone](Handle h) { return uint32_t(*h - 16 - zone.Base()); };
  char nextFill = 1;
  int explicitCompactions = 0;
  for (int step = 0; step < w.steps; ++step) {
    Slot& s = slots[random(w.slots)];
    const uint32_t size = random(5) == 0 ? w.largeFrom + random(w.largeSpan) : random(w.smallBelow);
    const Blocks before = zone.Blocks();
    ASSERT_TRUE(TilesWithTheLiveHandles(zone, before, slots)) << "step " << step;
    const uint32_t compactions = zone.Compactions();
    if (s.h == nullptr) {
      const uint32_t expected = ExpectedChoice(before, zone.RoverOffset(), size);
      if (expected == 0) continue;  // the zone would be full: a fatal error, tested elsewhere
      Vcon_HandleManager::MemNew(&s.h, size);
      ASSERT_EQ(offsetOf(s.h), expected) << "new, step " << step;
      s.fill = nextFill++;
      std::memset(*s.h, s.fill, size);
    } else if (const uint32_t action = random(400); action < 80) {
      MemDispose(s.h);
      s = Slot{};
    } else if (action < 120) {
      s.locked ? MemUnlock(s.h) : MemLock(s.h);
      s.locked = !s.locked;
    } else if (action == 120) {
      std::vector<std::pair<const Slot*, const char*>> pinned;
      for (const Slot& other : slots)
        if (other.locked) pinned.emplace_back(&other, *other.h);
      zone.Compact();
      ++explicitCompactions;
      ASSERT_TRUE(SameLayout(zone.Blocks(), SweepModel(before))) << "step " << step;
      EXPECT_EQ(zone.RoverOffset(), kFirstBlock);
      for (const auto& [slot, data] : pinned) ASSERT_EQ(*slot->h, data);
    } else {
      const Vcon::BlockHeader& h = *reinterpret_cast<const Vcon::BlockHeader*>(*s.h - 16);
      const bool moves = size != h.size && uint64_t(h.size) + h.slack <= size;
      if (moves && s.locked) continue;  // refused loudly; tested with the handle operations
      const uint32_t expected = moves ? ExpectedChoice(before, offsetOf(s.h), size) : offsetOf(s.h);
      if (expected == 0) continue;
      const uint32_t kept = std::min<uint32_t>(h.size, size);
      MemSetSize(s.h, size);
      ASSERT_EQ(offsetOf(s.h), expected) << "resize, step " << step;
      for (uint32_t i = 0; i < kept; ++i) ASSERT_EQ((*s.h)[i], s.fill) << "resize kept bytes, step " << step;
      std::memset(*s.h, s.fill, size);
    }
    if (zone.Compactions() != compactions || (s.h != nullptr && random(50) == 0)) {
      for (const Slot& other : slots)
        if (other.h != nullptr) ASSERT_TRUE(Intact(other)) << "step " << step;
    }
  }
  EXPECT_GT(zone.Compactions(), 0u);
  EXPECT_GT(explicitCompactions, 0);
  for (Slot& s : slots) MemDispose(s.h);
  Vcon::Zone::Install(previous);
}

// Moving a handle to the rover places it as a new handle of its size would be placed, except that a
// full turn without a fit leaves everything as it was instead of compacting; locked handles stay.
TEST(ZoneMoveToRover, TakesTheNextFitBlockFromTheRoverAndNeverCompacts) {
  std::unique_ptr<Vcon::Zone> owned = Vcon::Zone::Create(64 * 1024, 400);
  ASSERT_NE(owned, nullptr);
  Vcon::Zone& zone = *owned;
  Vcon::Zone* const previous = Vcon::Zone::Install(&zone);
  std::vector<Slot> slots(120);
  uint32_t seed = 77;
  auto random = [&seed](uint32_t n) {
    seed = seed * 1103515245 + 12345;
    return (seed >> 8) % n;
  };
  auto offsetOf = [&zone](Handle h) { return uint32_t(*h - 16 - zone.Base()); };
  int moved = 0, refused = 0;
  char nextFill = 1;
  for (int step = 0; step < 6000; ++step) {
    Slot& s = slots[random(uint32_t(slots.size()))];
    const Blocks before = zone.Blocks();
    if (s.h == nullptr) {
      const uint32_t size = random(5) == 0 ? 1500 + random(3000) : random(300);
      if (ExpectedChoice(before, zone.RoverOffset(), size) == 0) continue;
      Vcon_HandleManager::MemNew(&s.h, size);
      s.fill = nextFill++;
      std::memset(*s.h, s.fill, size);
    } else if (const uint32_t action = random(10); action < 3) {
      MemDispose(s.h);
      s = Slot{};
    } else if (action < 4) {
      s.locked ? MemUnlock(s.h) : MemLock(s.h);
      s.locked = !s.locked;
    } else {
      const uint32_t expected =
          s.locked ? 0 : WalkChoice(before, zone.RoverOffset(), uint32_t(MemGetSize(s.h)));
      const uint32_t compactions = zone.Compactions();
      const Handle h = s.h;
      ASSERT_EQ(MemMoveToRover(s.h), expected != 0) << "step " << step;
      ASSERT_EQ(zone.Compactions(), compactions);
      if (expected == 0) {
        ASSERT_TRUE(SameLayout(zone.Blocks(), before)) << "step " << step;
        ++refused;
      } else {
        ASSERT_EQ(offsetOf(h), expected) << "step " << step;
        ++moved;
      }
      ASSERT_TRUE(Intact(s)) << "step " << step;
    }
  }
  EXPECT_GT(moved, 100);
  EXPECT_GT(refused, 10);
  for (Slot& s : slots) MemDispose(s.h);
  Vcon::Zone::Install(previous);
}

// A free block's bytes, its header included, are the zone's to forget: after they are scribbled over,
// the block walk, the searches and a compaction still follow the plain rules from what the zone knows.
TEST(ZoneFreeBlocks, NeedNoneOfTheirOwnBytes) {
  std::unique_ptr<Vcon::Zone> owned = Vcon::Zone::Create(64 * 1024, 200);
  ASSERT_NE(owned, nullptr);
  Vcon::Zone& zone = *owned;
  Vcon::Zone* const previous = Vcon::Zone::Install(&zone);
  std::vector<Slot> slots(48);
  for (size_t i = 0; i < slots.size(); ++i) {
    const uint32_t size = uint32_t(24 + 37 * i % 500);
    Vcon_HandleManager::MemNew(&slots[i].h, size);
    slots[i].fill = char(i + 1);
    std::memset(*slots[i].h, slots[i].fill, size);
  }
  // Every third handle freed, one shrunk (its split-off rest is free too) and one moved by growing.
  for (size_t i = 0; i < slots.size(); i += 3) {
    MemDispose(slots[i].h);
    slots[i] = Slot{};
  }
  MemSetSize(slots[4].h, 8);
  MemSetSize(slots[7].h, 700);
  std::memset(*slots[7].h, slots[7].fill, 700);
  const Blocks before = zone.Blocks();
  char* const base = const_cast<char*>(zone.Base());
  int scribbled = 0;
  for (const Vcon::BlockInfo& b : before) {
    if (!IsFree(b) || b.header.size >= 1024 * 1024) continue;
    std::memset(base + b.offset, 0xA5, 16 + b.header.size);
    ++scribbled;
  }
  ASSERT_GE(scribbled, 17);
  ASSERT_TRUE(SameLayout(zone.Blocks(), before));

  // Sizes that fit some of the scribbled blocks and not others, from the rover and from a handle.
  Blocks now = before;
  for (const uint32_t size : {40u, 300u, 16u, 520u}) {
    Slot s;
    const uint32_t expected = ExpectedChoice(now, zone.RoverOffset(), size);
    Vcon_HandleManager::MemNew(&s.h, size);
    EXPECT_EQ(uint32_t(*s.h - 16 - zone.Base()), expected) << size;
    now = zone.Blocks();
  }
  const uint32_t expected = ExpectedChoice(now, uint32_t(*slots[10].h - 16 - zone.Base()), 900);
  MemSetSize(slots[10].h, 900);
  EXPECT_EQ(uint32_t(*slots[10].h - 16 - zone.Base()), expected);
  std::memset(*slots[10].h, slots[10].fill, 900);

  now = zone.Blocks();
  zone.Compact();
  EXPECT_TRUE(SameLayout(zone.Blocks(), SweepModel(now)));
  for (const Slot& s : slots)
    if (s.h != nullptr) EXPECT_TRUE(Intact(s));
  Vcon::Zone::Install(previous);
}

// A free block of 2 GiB or more is found like any other: by a small request that wraps round to it, and
// by a request past 2 GiB only when it fits, or else after a compaction.
TEST(ZoneFreeBlocks, PastTwoGibibytesAreFoundLikeAnyOther) {
  constexpr uint32_t kHuge = 2'200'000'000u;  // past 2^31
  std::unique_ptr<Vcon::Zone> owned = Vcon::Zone::Create(kHuge + 64 * 1024, 8);
  if (owned == nullptr) GTEST_SKIP() << "no room for a 2.2 GB mapping here";
  Vcon::Zone& zone = *owned;
  Vcon::Zone* const previous = Vcon::Zone::Install(&zone);
  Handle huge = nullptr;
  Vcon_HandleManager::MemNew(&huge, kHuge);
  const char* const at = *huge;
  (*huge)[0] = 1;
  (*huge)[kHuge - 1] = 1;
  MemDispose(huge);
  // The rover stands at the small rest behind it: the search wraps round to the freed block.
  Handle small = nullptr;
  Vcon_HandleManager::MemNew(&small, 100'000);
  EXPECT_EQ(*small, at);
  EXPECT_EQ(zone.Compactions(), 0u);
  MemDispose(small);
  // No single free block holds this one; together they do.
  Handle larger = nullptr;
  Vcon_HandleManager::MemNew(&larger, kHuge + 32 * 1024);
  EXPECT_EQ(zone.Compactions(), 1u);
  EXPECT_EQ(*larger, at);
  Vcon::Zone::Install(previous);
}

INSTANTIATE_TEST_SUITE_P(Workloads, ZoneAgainstModel, ::testing::ValuesIn(kWorkloads),
                         [](const ::testing::TestParamInfo<Workload>& info) {
                           std::string name = info.param.name;
                           for (char& c : name)
                             if (c == ' ') c = '_';
                           return name;
                         });

}  // namespace
