#include <gtest/gtest.h>

#include <unistd.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <cstring>
#include <fstream>
#include <iterator>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "foundation/HandleRoom.h"
#include "foundation/Vcon_HandleManager.h"
#include "foundation/Zone.h"
#include "platform/MessageBox.h"

namespace {

// A small zone made current for one test; the process's own zone and its handles are left untouched
// and current again afterwards.
class TestZone {
 public:
  TestZone(uint32_t size, uint32_t masterPointers)
      : zone_(Vcon::Zone::Create(size, masterPointers)), previous_(Vcon::Zone::Install(zone_.get())) {}
  ~TestZone() { Vcon::Zone::Install(previous_); }
  Vcon::Zone& operator*() { return *zone_; }
  Vcon::Zone* operator->() { return zone_.get(); }

 private:
  std::unique_ptr<Vcon::Zone> zone_;
  Vcon::Zone* previous_;
};

// 1024 data bytes and 4 master pointers: the first free block starts at 80 with 944 usable bytes.
constexpr uint32_t kSmallZone = 1024;
constexpr uint32_t kFirstFree = 80;

Handle New(uint32_t size) {
  Handle h = nullptr;
  Vcon_HandleManager::MemNew(&h, size);
  return h;
}

Handle NewFilled(uint32_t size, char fill) {
  Handle h = New(size);
  std::memset(*h, fill, size);
  return h;
}

const Vcon::BlockHeader& Header(Handle h) { return *reinterpret_cast<Vcon::BlockHeader*>(*h - 16); }

std::string Text(Handle h) { return std::string(*h, MemGetSize(h)); }

bool AllBytes(Handle h, uint32_t from, uint32_t to, char c) {
  for (uint32_t i = from; i < to; ++i)
    if ((*h)[i] != c) return false;
  return true;
}

// Offset of a handle's block header in the zone.
uint32_t BlockOffset(Vcon::Zone& zone, Handle h) { return uint32_t(*h - 16 - zone.Base()); }

// The header of the block at `offset` as the zone's block walk shows it (a free block's header need not
// be in the zone's memory); all bits set when no block starts there.
Vcon::BlockHeader BlockAt(Vcon::Zone& zone, uint32_t offset) {
  for (const Vcon::BlockInfo& b : zone.Blocks())
    if (b.offset == offset) return b.header;
  return {~0u, ~0u, ~0u, ~0u};
}

// The block walk ends exactly at the zone's end and every used block is named by its master pointer.
void ExpectConsistent(Vcon::Zone& zone) {
  uint32_t used = 0;
  uint32_t next = 16;
  for (const Vcon::BlockInfo& b : zone.Blocks()) {
    EXPECT_EQ(b.offset, next);
    next = b.offset + 16 + b.header.size + b.header.slack;
    EXPECT_EQ(next % 16, 0u);
    if (b.header.flags & (Vcon::kBlockFree | Vcon::kBlockTable)) continue;
    ++used;
    const auto master = reinterpret_cast<char* const*>(zone.Base() + b.header.back);
    EXPECT_EQ(*master, zone.Base() + b.offset + 16);
  }
  EXPECT_EQ(used + zone.FreeMasterPointerCount(), zone.MasterPointerCount());
}

TEST(HandleZoneLayout, TableThenOneFreeBlockKeepingTheRequestedDataArea) {
  TestZone zone(1000, 10);  // rounded to 1008 bytes; (10 / 4 + 1) * 4 = 12 master pointers
  ASSERT_NE(zone.operator->(), nullptr);
  EXPECT_EQ(zone->MasterPointerCount(), 12u);
  EXPECT_EQ(zone->FreeMasterPointerCount(), 12u);
  const std::vector<Vcon::BlockInfo> blocks = zone->Blocks();
  ASSERT_EQ(blocks.size(), 2u);
  EXPECT_EQ(blocks[0].offset, 16u);
  EXPECT_EQ(blocks[0].header.flags, 10u);
  EXPECT_EQ(blocks[0].header.size, 8u * 12 + 16);
  EXPECT_EQ(blocks[1].header.flags, Vcon::kBlockFree);
  // A 32-bit zone of 1008 bytes keeps 1008 - 16 - 16 - (16 + 4 * 12) - 16 bytes for data.
  EXPECT_EQ(blocks[1].header.size, 1008u - 16 - 16 - (16 + 4 * 12) - 16);
  EXPECT_EQ(zone->RoverOffset(), blocks[1].offset);
}

// The process's resident memory in bytes.
int64_t ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  int64_t pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * int64_t(sysconf(_SC_PAGESIZE));
}

// A zone's memory comes zeroed from the system: making one writes its header, table counts and free
// block, not its bytes, so a zone is resident only where it has been used. Master pointers handed out
// in order, then last freed first, as when they were all linked at the start.
TEST(HandleZoneLayout, AFreshZoneIsResidentOnlyWhereItWasWritten) {
  const int64_t before = ResidentBytes();
  TestZone zone(40'000'000, 400'000);
  ASSERT_NE(zone.operator->(), nullptr);
  EXPECT_LT(ResidentBytes() - before, 8 << 20);
  EXPECT_EQ(zone->FreeMasterPointerCount(), 400'004u);
  Handle a = NewFilled(10, 'a');
  Handle b = NewFilled(10, 'b');
  Handle c = NewFilled(10, 'c');
  EXPECT_EQ(b, a + 1);
  EXPECT_EQ(c, b + 1);
  MemDispose(a);
  MemDispose(c);
  EXPECT_EQ(zone->FreeMasterPointerCount(), 400'003u);
  Handle d = NewFilled(10, 'd');
  Handle e = NewFilled(10, 'e');
  Handle f = NewFilled(10, 'f');
  EXPECT_EQ(d, c);
  EXPECT_EQ(e, a);
  EXPECT_EQ(f, c + 1);
  EXPECT_EQ(Text(b) + Text(d) + Text(e) + Text(f), std::string("bbbbbbbbbbddddddddddeeeeeeeeeeffffffffff"));
  for (Handle h : {b, d, e, f}) MemDispose(h);
}

// Faulting a zone's pages in up front backs all of it with memory and changes none of its bytes: the
// blocks, the handles' data and the searches' answers stay as they were.
TEST(HandleZoneLayout, PrefaultingBacksTheWholeZoneAndKeepsItsContents) {
  TestZone zone(40'000'000, 400'000);
  ASSERT_NE(zone.operator->(), nullptr);
  Handle a = NewFilled(3000, 'a');
  Handle b = NewFilled(20, 'b');
  MemDispose(a);
  const std::vector<Vcon::BlockInfo> before = zone->Blocks();
  const int64_t resident = ResidentBytes();
  zone->Prefault();
  EXPECT_GE(ResidentBytes() - resident, 39'000'000);
  const std::vector<Vcon::BlockInfo> after = zone->Blocks();
  ASSERT_EQ(after.size(), before.size());
  for (size_t i = 0; i < after.size(); ++i) {
    EXPECT_EQ(after[i].offset, before[i].offset);
    EXPECT_EQ(std::memcmp(&after[i].header, &before[i].header, sizeof(Vcon::BlockHeader)), 0) << i;
  }
  EXPECT_TRUE(AllBytes(b, 0, 20, 'b'));
  Handle c = New(2000);  // next fit from the rover, past b
  EXPECT_EQ(BlockOffset(*zone, c), BlockOffset(*zone, b) + 16 + 32);
  for (Handle h : {b, c}) MemDispose(h);
}

TEST(HandleZoneLayout, ZonesThatCannotBeMadeAreRefusedAndLeaveTheCurrentZone) {
  Handle keep = NewFilled(10, 'k');
  EXPECT_EQ(MemInit(0xFFFFFFF0u, 400'000), 1);  // beyond what 32-bit offsets can address
  EXPECT_EQ(MemInit(64, 0), 1);                 // too small for its own table
  EXPECT_EQ(Text(keep), "kkkkkkkkkk");
  MemDispose(keep);
}

#if defined(__GLIBC__)
// glibc's own allocator, called directly: in a sanitizer build malloc is the sanitizer's.
extern "C" void* __libc_malloc(size_t bytes);
extern "C" void __libc_free(void* block);

// The C heap keeps what it took once the zone has been made (as at start-up, here by the test
// environment; this binary makes no GL context): blocks of 1 MiB, the size of a unit's 3D record that
// every resize frees and rebuilds, come from the heap rather than from mappings of their own, and
// freeing 4 MiB of them at the top of the heap gives nothing back to the kernel.
TEST(HandleZoneStart, FreedMegabyteBlocksStayWithTheHeap) {
  ASSERT_NE(Vcon::Zone::Current(), nullptr);
  const struct mallinfo2 before = mallinfo2();
  std::vector<void*> blocks;
  for (int i = 0; i < 4; ++i) {
    blocks.push_back(__libc_malloc(1 << 20));
    ASSERT_NE(blocks.back(), nullptr);
    std::memset(blocks.back(), i, 1 << 20);
  }
  const struct mallinfo2 taken = mallinfo2();
  EXPECT_EQ(taken.hblkhd, before.hblkhd) << "each block got a mapping of its own";
  for (auto block = blocks.rbegin(); block != blocks.rend(); ++block) __libc_free(*block);
  const struct mallinfo2 freed = mallinfo2();
  EXPECT_GE(freed.arena + freed.hblkhd, taken.arena + taken.hblkhd) << "freed memory went back to the kernel";
}
#endif

TEST(HandleAllocation, ZeroBytesAndTheSplitThreshold) {
  {
    TestZone zone(kSmallZone, 0);
    Handle empty = New(0);
    EXPECT_EQ(MemGetSize(empty), 0);
    EXPECT_EQ(Header(empty).slack, 0u);  // rounded size 0: split, the rest stays free
    EXPECT_EQ(zone->Blocks().size(), 3u);
  }
  {
    TestZone zone(kSmallZone, 0);
    Handle h = New(944 - 16);  // 16 bytes would remain: the whole block is taken
    EXPECT_EQ(Header(h).slack, 16u);
    EXPECT_EQ(zone->Blocks().size(), 2u);
  }
  {
    TestZone zone(kSmallZone, 0);
    Handle h = New(944 - 32 - 3);  // rounded up, 32 bytes remain: split
    EXPECT_EQ(Header(h).slack, 3u);
    const std::vector<Vcon::BlockInfo> blocks = zone->Blocks();
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(blocks[2].header.flags, Vcon::kBlockFree);
    EXPECT_EQ(blocks[2].header.size, 16u);
    EXPECT_EQ(zone->RoverOffset(), blocks[2].offset);
  }
}

TEST(HandleAllocation, NextFitFromTheRoverAndMasterPointersLastFreedFirst) {
  TestZone zone(kSmallZone, 0);
  Handle a = New(100);
  Handle b = New(100);
  const char* aData = *a;
  MemDispose(a);
  Handle c = New(50);
  EXPECT_EQ(c, a);    // the master pointer freed last is handed out first
  EXPECT_GT(*c, *b);  // the search went on from the rover, not back to the hole
  EXPECT_NE(*c, aData);
  ExpectConsistent(*zone);
}

TEST(HandleDisposal, NullTwiceAndStaleHandlesAreIgnored) {
  TestZone zone(kSmallZone, 0);
  MemDispose(nullptr);
  EXPECT_EQ(MemGetSize(nullptr), 0);
  Handle a = New(10);
  Handle b = New(20);
  MemDispose(a);
  MemDispose(a);  // its master pointer now links the free list
  EXPECT_EQ(zone->FreeMasterPointerCount(), 3u);
  EXPECT_EQ(MemGetSize(a), 0);
  MemDispose(b);
  MemDispose(b);  // the last free master pointer holds null
  EXPECT_EQ(zone->FreeMasterPointerCount(), 4u);
  ExpectConsistent(*zone);
}

// Addresses that are not live master pointers of the zone, whether below, inside or past its table, or
// outside the zone altogether, are refused by every operation: nothing is freed, resized or read.
TEST(HandleDisposal, AddressesThatAreNoLiveMasterPointersAreRefused) {
  TestZone zone(kSmallZone, 8);  // 12 master pointers
  Handle live = NewFilled(40, 'x');
  Handle freed = New(8);
  MemDispose(freed);
  char* outsideCopy = *live;  // names the live data, but from outside the table
  char* const base = const_cast<char*>(zone->Base());
  const uint32_t tableEnd = 48 + 8 * zone->MasterPointerCount();
  struct Foreign {
    const char* what;
    Handle h;
  };
  const Foreign foreign[] = {
      {"the zone header", reinterpret_cast<Handle>(base)},
      {"the table's counts", reinterpret_cast<Handle>(base + 32)},
      {"half way into a live master pointer", reinterpret_cast<Handle>(reinterpret_cast<char*>(live) + 4)},
      {"a freed master pointer", freed},
      {"a master pointer never handed out", reinterpret_cast<Handle>(base + tableEnd - 8)},
      {"just past the table", reinterpret_cast<Handle>(base + tableEnd)},
      {"the live handle's data", reinterpret_cast<Handle>(*live)},
      {"a pointer outside the zone", &outsideCopy},
  };
  const std::vector<Vcon::BlockInfo> before = zone->Blocks();
  const uint32_t freeCount = zone->FreeMasterPointerCount();
  for (const Foreign& f : foreign) {
    EXPECT_EQ(zone->HeaderOf(f.h), nullptr) << f.what;
    EXPECT_EQ(MemGetSize(f.h), 0) << f.what;
    MemSetSize(f.h, 200);
    MemDispose(f.h);
    EXPECT_EQ(zone->FreeMasterPointerCount(), freeCount) << f.what;
    EXPECT_EQ(zone->Blocks().size(), before.size()) << f.what;
  }
  EXPECT_EQ(outsideCopy, *live);
  EXPECT_EQ(MemGetSize(live), 40);
  EXPECT_TRUE(AllBytes(live, 0, 40, 'x'));
  ExpectConsistent(*zone);
  MemDispose(live);
}

TEST(HandleResize, ShrinkingKeepsTheAddressAndSplitsOnlyLargeRemainders) {
  TestZone zone(4096, 0);
  Handle small = NewFilled(100, 's');
  char* smallData = *small;
  MemSetSize(small, 90);
  EXPECT_EQ(*small, smallData);
  EXPECT_EQ(Header(small).size, 90u);
  EXPECT_EQ(Header(small).slack, 22u);

  Handle big = NewFilled(1000, 'b');
  char* bigData = *big;
  const size_t before = zone->Blocks().size();
  MemSetSize(big, 10);
  EXPECT_EQ(*big, bigData);
  EXPECT_EQ(Header(big).slack, 6u);
  const std::vector<Vcon::BlockInfo> blocks = zone->Blocks();
  ASSERT_EQ(blocks.size(), before + 1);
  const Vcon::BlockInfo& split = blocks[blocks.size() - 2];
  EXPECT_EQ(split.offset, BlockOffset(*zone, big) + 16 + 16);  // right after the kept 16 bytes
  EXPECT_EQ(split.header.flags, Vcon::kBlockFree);
  EXPECT_EQ(split.header.size, 1008u - 16 - 16);
  EXPECT_TRUE(AllBytes(big, 0, 10, 'b'));
  ExpectConsistent(*zone);
}

TEST(HandleResize, GrowingStaysInPlaceBelowTheCapacityAndMovesAtIt) {
  TestZone zone(4096, 0);
  Handle h = NewFilled(100, 'x');  // capacity 112
  char* data = *h;
  MemSetSize(h, 111);
  EXPECT_EQ(*h, data);
  EXPECT_EQ(Header(h).slack, 1u);
  MemSetSize(h, 112);
  EXPECT_NE(*h, data);
  EXPECT_EQ(MemGetSize(h), 112);
  EXPECT_TRUE(AllBytes(h, 0, 100, 'x'));
  const Vcon::BlockHeader old = BlockAt(*zone, uint32_t(data - 16 - zone->Base()));
  EXPECT_EQ(old.flags, Vcon::kBlockFree);
  EXPECT_EQ(old.size, 112u);
  EXPECT_EQ(old.back, 0u);
  ExpectConsistent(*zone);
}

TEST(HandleResize, LockedHandleThatMustMoveShowsTheBoxAndThrows) {
  TestZone zone(4096, 0);
  plat::ClearMessageBoxLog();
  Handle h = NewFilled(100, 'l');
  char* data = *h;
  MemLock(h);
  MemLock(h);
  MemSetSize(h, 111);  // fits its capacity: allowed while locked
  EXPECT_EQ(*h, data);
  EXPECT_THROW(MemSetSize(h, 200), Vcon::MemError);
  EXPECT_EQ(*h, data);
  EXPECT_EQ(MemGetSize(h), 111);
  const std::vector<plat::MessageBoxRecord> boxes = plat::MessageBoxLog();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, u"A Memory Error occured : 1027");
  EXPECT_EQ(boxes[0].caption, u"Memory Error");
  MemUnlock(h);  // one unlock clears both locks
  MemSetSize(h, 200);
  EXPECT_NE(*h, data);
  EXPECT_TRUE(AllBytes(h, 0, 100, 'l'));
}

// Resizing and disposing take a handle's size, slack and lock from a table of their own rather than
// from the block's header: after every kind of change the freed block must cover exactly the bytes the
// handle's block held, and a lock must still keep the block from moving.
TEST(HandleResize, DisposeFreesExactlyTheBlockEveryEarlierChangeLeft) {
  enum class Step { Resize, Lock, Unlock, Compact };
  const struct {
    Step step;
    uint32_t size;
  } steps[] = {
      {Step::Resize, 40},   // shrinks and splits off a free block
      {Step::Resize, 47},   // grows into its slack
      {Step::Lock, 0},      //
      {Step::Resize, 33},   // shrinks while locked, no split
      {Step::Resize, 47},   // grows into its slack while locked
      {Step::Unlock, 0},    //
      {Step::Resize, 300},  // moves
      {Step::Compact, 0},   // slides it down
      {Step::Resize, 290},  // shrinks, too little left to split
  };
  for (size_t last = 0; last < std::size(steps); ++last) {
    SCOPED_TRACE(last);
    TestZone zone(4096, 8);
    Handle gap = New(64);
    Handle h = NewFilled(200, 'd');
    Handle after = New(16);  // keeps h's block from ending at the zone's free tail
    MemDispose(gap);
    for (size_t i = 0; i <= last; ++i) {
      if (steps[i].step == Step::Resize) MemSetSize(h, steps[i].size);
      if (steps[i].step == Step::Lock) MemLock(h);
      if (steps[i].step == Step::Unlock) MemUnlock(h);
      if (steps[i].step == Step::Compact) zone->Compact();
    }
    const Vcon::BlockHeader held = Header(h);
    const uint32_t at = BlockOffset(*zone, h);
    EXPECT_TRUE(AllBytes(h, 0, std::min<uint32_t>(MemGetSize(h), 33), 'd'));
    if ((held.flags & Vcon::kBlockLocked) != 0) {
      EXPECT_THROW(MemSetSize(h, 1000), Vcon::MemError);
      MemUnlock(h);
    }
    MemDispose(h);
    const Vcon::BlockHeader freed = BlockAt(*zone, at);
    EXPECT_EQ(freed.flags, Vcon::kBlockFree);
    EXPECT_EQ(freed.size, held.size + held.slack);
    EXPECT_EQ(freed.slack, 0u);
    ExpectConsistent(*zone);
    MemDispose(after);
  }
}

TEST(HandleEditing, InsertAndDeleteBytes) {
  Handle h = New(0);
  MemInsertBytes("cd", 2, h, kMemAppend);
  MemInsertBytes("ab", 2, h, 0);
  MemInsertBytes("XY", 2, h, 2);
  EXPECT_EQ(Text(h), "abXYcd");
  MemInsertBytes("!", 1, h, 99);  // past the end appends
  EXPECT_EQ(Text(h), "abXYcd!");
  MemInsertBytes(*h, 2, h, 0);  // a source inside the handle itself survives the growth
  EXPECT_EQ(Text(h), "ababXYcd!");
  MemDeleteBytes(h, 2, 4);
  EXPECT_EQ(Text(h), "abcd!");
  MemDeleteBytes(h, 4, 1);  // the last byte: nothing moves
  EXPECT_EQ(Text(h), "abcd");
  MemDeleteBytes(h, 3, 10);  // more than remain: only the rest goes
  EXPECT_EQ(Text(h), "abc");
  MemDeleteBytes(h, 7, 1);  // past the end: nothing
  EXPECT_EQ(Text(h), "abc");
  MemDispose(h);
}

TEST(HandleEditing, InsertHandleDuplicateCopyAndClear) {
  Handle a = New(0);
  MemInsertBytes("1234", 4, a, kMemAppend);
  Handle b = New(0);
  MemInsertBytes("ab", 2, b, kMemAppend);
  MemInsertHandle(a, b, 1);
  EXPECT_EQ(Text(b), "a1234b");
  MemInsertHandle(b, b, kMemAppend);
  EXPECT_EQ(Text(b), "a1234ba1234b");
  Handle d = nullptr;
  MemDuplicate(a, &d);
  EXPECT_NE(*d, *a);
  EXPECT_EQ(Text(d), "1234");
  MemCopy(b, d);
  EXPECT_EQ(Text(d), "a1234ba1234b");
  Handle empty = New(0);
  MemCopy(empty, d);
  EXPECT_EQ(MemGetSize(d), 0);
  MemClear(a);
  EXPECT_EQ(std::string(*a, 4), std::string(4, '\0'));
  for (Handle h : {a, b, d, empty}) MemDispose(h);
}

// Four 200-byte handles (208 bytes of capacity each) fill the small zone, leaving 48 free bytes.
struct FourBlocks {
  Handle h[4];
  FourBlocks() {
    for (int i = 0; i < 4; ++i) h[i] = NewFilled(200, char('A' + i));
  }
};

TEST(HandleCompaction, GatheredSpaceServesARequestNoGapCouldHold) {
  TestZone zone(kSmallZone, 0);
  FourBlocks f;
  MemDispose(f.h[0]);
  MemDispose(f.h[2]);
  Handle big = New(400);  // gaps of 208, 208 and 48: only their sum fits
  EXPECT_EQ(zone->Compactions(), 1u);
  EXPECT_EQ(BlockOffset(*zone, f.h[1]), kFirstFree);  // slid to the bottom
  EXPECT_EQ(BlockOffset(*zone, f.h[3]), kFirstFree + 224);
  EXPECT_TRUE(AllBytes(f.h[1], 0, 200, 'B'));
  EXPECT_TRUE(AllBytes(f.h[3], 0, 200, 'D'));
  EXPECT_EQ(MemGetSize(big), 400);
  ExpectConsistent(*zone);
}

TEST(HandleCompaction, LockedBlockAndPointersIntoItStayPut) {
  TestZone zone(kSmallZone, 0);
  FourBlocks f;
  MemLock(f.h[1]);
  char* inside = *f.h[1] + 50;
  MemDispose(f.h[0]);
  MemDispose(f.h[2]);
  Handle h = New(250);  // fits only once the gap above the locked block joins the tail
  EXPECT_EQ(zone->Compactions(), 1u);
  EXPECT_EQ(*f.h[1] + 50, inside);
  EXPECT_EQ(*inside, 'B');
  EXPECT_TRUE(AllBytes(f.h[3], 0, 200, 'D'));
  const std::vector<Vcon::BlockInfo> blocks = zone->Blocks();
  EXPECT_EQ(blocks[1].offset, kFirstFree);  // the gap below the locked block stays free there
  EXPECT_EQ(blocks[1].header.flags, Vcon::kBlockFree);
  EXPECT_EQ(MemGetSize(h), 250);
  ExpectConsistent(*zone);
}

TEST(HandleCompaction, GrowingAHandleThatCompactionSlidesKeepsItsData) {
  TestZone zone(kSmallZone, 0);
  FourBlocks f;
  MemDispose(f.h[0]);
  MemDispose(f.h[1]);
  MemSetSize(f.h[2], 400);  // the search compacts: the handle slides down before it is copied
  EXPECT_EQ(zone->Compactions(), 1u);
  EXPECT_EQ(MemGetSize(f.h[2]), 400);
  EXPECT_TRUE(AllBytes(f.h[2], 0, 200, 'C'));
  EXPECT_TRUE(AllBytes(f.h[3], 0, 200, 'D'));
  ExpectConsistent(*zone);
}

// The destination must move to grow, and only the compaction that makes room for it, sliding the
// source down, frees enough: the bytes must be read from where the source lies after the growth.
TEST(HandleCompaction, InsertingAnotherHandlesBytesCopiesThemFromWhereCompactionMovedThem) {
  const std::pair<const char*, void (*)(Handle, Handle)> inserts[] = {
      {"MemInsertHandle", [](Handle src, Handle dst) { MemInsertHandle(src, dst, 100); }},
      {"MemInsertBytes", [](Handle src, Handle dst) { MemInsertBytes(*src, 200, dst, 100); }},
  };
  for (const auto& [name, insert] : inserts) {
    SCOPED_TRACE(name);
    TestZone zone(kSmallZone, 0);
    FourBlocks f;
    MemDispose(f.h[0]);
    MemDispose(f.h[2]);
    insert(f.h[1], f.h[3]);  // gaps of 208, 208 and 48: no block holds 400 bytes before compaction
    EXPECT_EQ(zone->Compactions(), 1u);
    EXPECT_EQ(BlockOffset(*zone, f.h[1]), kFirstFree);  // the source moved
    EXPECT_EQ(Text(f.h[3]), std::string(100, 'D') + std::string(200, 'B') + std::string(100, 'D'));
    EXPECT_TRUE(AllBytes(f.h[1], 0, 200, 'B'));
    ExpectConsistent(*zone);
  }
}

// Where a plain block-by-block next-fit walk from `start` would place `size` bytes; 0 when it would
// find nothing and compact.
uint32_t WalkChoice(Vcon::Zone& zone, uint32_t start, uint32_t size) {
  const std::vector<Vcon::BlockInfo> blocks = zone.Blocks();
  size_t first = 0;
  while (first < blocks.size() && blocks[first].offset < start) ++first;
  if (first == blocks.size()) first = 0;
  for (size_t i = 0; i < blocks.size(); ++i) {
    const Vcon::BlockInfo& b = blocks[(first + i) % blocks.size()];
    if ((b.header.flags & Vcon::kBlockFree) && b.header.size >= size) return b.offset;
  }
  return 0;
}

TEST(HandleCompaction, SearchesChooseTheBlockAPlainWalkWouldChoose) {
  TestZone zone(256 * 1024, 4000);  // many index chunks; compactions now and then
  std::vector<Handle> slots(300, nullptr);
  uint32_t seed = 12345;
  auto random = [&seed](uint32_t n) {
    seed = seed * 1103515245 + 12345;
    return (seed >> 8) % n;
  };
  int checked = 0;
  for (int i = 0; i < 8000; ++i) {
    Handle& h = slots[random(uint32_t(slots.size()))];
    const uint32_t size = random(5) == 0 ? 200 + random(2000) : random(200);
    const uint32_t compactions = zone->Compactions();
    if (h == nullptr) {
      const uint32_t expected = WalkChoice(*zone, zone->RoverOffset(), size);
      h = New(size);
      if (zone->Compactions() == compactions) {
        ASSERT_EQ(BlockOffset(*zone, h), expected) << i;
        ++checked;
      }
    } else if (random(3) == 0) {
      MemDispose(h);
      h = nullptr;
    } else {
      const bool moves = size != Header(h).size && uint64_t(Header(h).size) + Header(h).slack <= size;
      const uint32_t expected =
          moves ? WalkChoice(*zone, BlockOffset(*zone, h), size) : BlockOffset(*zone, h);
      MemSetSize(h, size);
      if (zone->Compactions() == compactions) {
        ASSERT_EQ(BlockOffset(*zone, h), expected) << i;
        ++checked;
      }
    }
  }
  EXPECT_GT(zone->Compactions(), 0u);
  EXPECT_GT(checked, 4000);
  ExpectConsistent(*zone);
}

// The zone's blocks and free master pointers, to show that a refused request took nothing.
struct ZoneState {
  std::vector<std::pair<uint32_t, uint32_t>> blocks;  // offset, flags
  uint32_t freeMasterPointers;
  bool operator==(const ZoneState&) const = default;
};

ZoneState StateOf(Vcon::Zone& zone) {
  ZoneState state{{}, zone.FreeMasterPointerCount()};
  for (const Vcon::BlockInfo& b : zone.Blocks()) state.blocks.emplace_back(b.offset, b.header.flags);
  return state;
}

// Sizes that come from outside (a file's length, a length in a file's bytes) are asked for with the
// trying calls: what the zone can hold, after a compaction if need be, is made as MemNew would make
// it; what it cannot hold is refused with nothing taken, where MemNew would end the program.
TEST(HandleExhaustion, TryingCallsRefuseWhatTheZoneCannotHoldAndTakeNothing) {
  TestZone zone(kSmallZone, 0);
  FourBlocks f;
  MemDispose(f.h[0]);
  MemDispose(f.h[2]);
  const ZoneState before = StateOf(*zone);
  EXPECT_FALSE(MemCanHold(500));  // gaps of 208, 208 and 48: 464 at most, even gathered
  EXPECT_EQ(MemTryNew(500), nullptr);
  EXPECT_EQ(MemTryNew(UINT32_MAX), nullptr);
  EXPECT_FALSE(MemTrySetSize(f.h[1], 700));
  EXPECT_EQ(MemGetSize(f.h[1]), 200);
  EXPECT_TRUE(AllBytes(f.h[1], 0, 200, 'B'));
  EXPECT_GE(zone->Compactions(), 1u);  // the zone compacted to look; nothing was kept
  EXPECT_EQ(StateOf(*zone).freeMasterPointers, before.freeMasterPointers);
  ExpectConsistent(*zone);

  // What fits only in the gathered space is made, as MemNew makes it.
  EXPECT_TRUE(MemCanHold(400));
  Handle h = MemTryNew(400);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(MemGetSize(h), 400);
  EXPECT_TRUE(AllBytes(f.h[1], 0, 200, 'B'));
  EXPECT_TRUE(AllBytes(f.h[3], 0, 200, 'D'));
  ExpectConsistent(*zone);
  // Growing in place or shrinking needs no room; growing by a move takes the block next fit finds.
  EXPECT_TRUE(MemTrySetSize(h, 30));
  EXPECT_TRUE(MemTrySetSize(f.h[1], 250));
  EXPECT_EQ(MemGetSize(f.h[1]), 250);
  EXPECT_TRUE(AllBytes(f.h[1], 0, 200, 'B'));
  ExpectConsistent(*zone);
}

TEST(HandleExhaustion, WithoutAFreeMasterPointerOrAZoneNothingIsMadeEither) {
  {
    TestZone zone(4096, 0);
    Handle h[4];
    for (Handle& one : h) one = New(1);
    const ZoneState before = StateOf(*zone);
    EXPECT_FALSE(MemCanHold(1));
    EXPECT_EQ(MemTryNew(1), nullptr);
    EXPECT_EQ(StateOf(*zone), before);
    MemDispose(h[2]);
    EXPECT_EQ(MemTryNew(1), h[2]);  // the freed master pointer serves the next handle
  }
  Vcon::Zone* kept = Vcon::Zone::Install(nullptr);
  EXPECT_FALSE(MemCanHold(0));
  EXPECT_EQ(MemTryNew(0), nullptr);
  Vcon::Zone::Install(kept);
}

// The program's own zone: the largest block a fresh one hands out, and a request one byte larger.
TEST(HandleExhaustion, AFreshProgramZoneHoldsItsOneFreeBlockAndNotOneByteMore) {
  TestZone zone(40'000'000, 400'000);
  const std::vector<Vcon::BlockInfo> blocks = zone->Blocks();
  ASSERT_EQ(blocks.size(), 2u);
  const uint32_t largest = blocks[1].header.size;
  EXPECT_EQ(MemTryNew(largest + 1), nullptr);
  EXPECT_EQ(zone->Compactions(), 1u);
  EXPECT_EQ(MemTryNew(50'000'000), nullptr);  // larger than the whole zone: refused without compacting
  EXPECT_EQ(zone->Compactions(), 1u);
  Handle h = MemTryNew(largest);
  ASSERT_NE(h, nullptr);
  MemDispose(h);
}

using HandleExhaustionDeathTest = ::testing::Test;

// A full zone: a handle grown to its block's capacity (size + slack) moves as MemSetSize moves it, and
// with no room to move to, the trying call refuses it as it refuses one byte more, leaving the handle as
// it was; one byte less stays in place. Each refusal is first asked in a child process, where a fatal
// memory box would end the child rather than the test.
TEST_F(HandleExhaustionDeathTest, GrowingToTheBlocksCapacityOrOneByteMoreInAFullZoneIsAnsweredNotFatal) {
  TestZone zone(kSmallZone, 0);
  Handle a = NewFilled(100, 'A');  // capacity 112: a free block of 816 bytes follows
  Handle b = NewFilled(811, 'B');  // takes that block whole: slack 5, nothing free
  ASSERT_EQ(Header(a).size + Header(a).slack, 112u);
  ASSERT_EQ(Header(b).size + Header(b).slack, 816u);
  const ZoneState full = StateOf(*zone);
  EXPECT_FALSE(MemCanHold(1));
  for (const uint32_t size : {112u, 113u}) {
    SCOPED_TRACE(size);
    ASSERT_EXIT(std::_Exit(MemTrySetSize(a, size) ? 1 : 0), ::testing::ExitedWithCode(0), "");
    EXPECT_FALSE(MemTrySetSize(a, size));
    EXPECT_EQ(MemGetSize(a), 100);
    EXPECT_EQ(BlockOffset(*zone, a), kFirstFree);
    EXPECT_TRUE(AllBytes(a, 0, 100, 'A'));
    EXPECT_EQ(StateOf(*zone), full);
  }
  ASSERT_EXIT(std::_Exit(MemTrySetSize(b, 816) ? 1 : 0), ::testing::ExitedWithCode(0), "");
  EXPECT_FALSE(MemTrySetSize(b, 816));
  EXPECT_TRUE(MemTrySetSize(a, 111));
  EXPECT_EQ(BlockOffset(*zone, a), kFirstFree);
  EXPECT_EQ(Header(a).slack, 1u);

  // With the second block free, the zone holds exactly its 816 bytes, and the capacity growth moves there.
  MemDispose(b);
  EXPECT_TRUE(MemCanHold(816));
  EXPECT_FALSE(MemCanHold(817));
  EXPECT_TRUE(MemTrySetSize(a, 112));
  EXPECT_EQ(BlockOffset(*zone, a), kFirstFree + 128);
  EXPECT_TRUE(AllBytes(a, 0, 100, 'A'));
  ExpectConsistent(*zone);
}

TEST_F(HandleExhaustionDeathTest, FatalBoxesEndTheProcess) {
  EXPECT_DEATH(
      {
        TestZone zone(kSmallZone, 0);
        FourBlocks f;
        MemDispose(f.h[0]);
        New(500);  // still too big after one compaction
      },
      "Memory error: 1026: Memory full in GetNewDataBlock");
  EXPECT_DEATH(
      {
        TestZone zone(4096, 0);
        for (int i = 0; i < 5; ++i) New(1);
      },
      "Memory error: 1025: Memory full in GetNewMasterPtr");
  EXPECT_DEATH(
      {
        Vcon::Zone::Install(nullptr);
        New(1);
      },
      "Memory error: 1017: Memory full in Vcon_HandleManager::MemNew");
}

}  // namespace
