// The memory owned surfaces keep their pixels in, and the plain fills and copies that write whole
// rows of it.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "platform/PixelMemory.h"
#include "tests/platform/RasterTest.h"

namespace plat {
namespace {

using testing::Canvas;

constexpr size_t kHugePixels = PixelMemory::kHugeBytes / 4;

TEST(PixelMemory, ComesZeroedWritableAndLargeBlocksOnHugePageBoundaries) {
  const struct {
    size_t count;
    bool mapped;
  } cases[] = {
      {1, false},          {640 * 480, false},      {kHugePixels - 1, false},
      {kHugePixels, true}, {1280 * 1024 + 3, true},  // a full screen, not a whole number of huge pages
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.count);
    PixelMemory memory(c.count);
    ASSERT_NE(memory.Data(), nullptr);
    EXPECT_EQ(memory.Count(), c.count);
    EXPECT_EQ(memory.Mapped(), c.mapped);
    if (c.mapped) EXPECT_EQ(reinterpret_cast<uintptr_t>(memory.Data()) % PixelMemory::kHugeBytes, 0u);
    size_t nonZero = 0;
    for (size_t i = 0; i < c.count; i += 997) nonZero += memory.Data()[i] != 0;
    EXPECT_EQ(nonZero, 0u);
    EXPECT_EQ(memory.Data()[c.count - 1], 0u);
    memory.Data()[0] = 1;
    memory.Data()[c.count - 1] = 2;
    // Moving hands the block over without copying it.
    uint32_t* data = memory.Data();
    PixelMemory moved(std::move(memory));
    EXPECT_EQ(memory.Data(), nullptr);
    EXPECT_EQ(memory.Count(), 0u);
    EXPECT_EQ(moved.Data(), data);
    EXPECT_EQ(moved.Data()[c.count - 1], 2u);
    PixelMemory assigned;
    assigned = std::move(moved);
    EXPECT_EQ(assigned.Data(), data);
    EXPECT_EQ(assigned.Mapped(), c.mapped);
  }
  EXPECT_EQ(PixelMemory(0).Data(), nullptr);
}

// A mapped block comes with its pages already there (asked for at once, not faulted in one by one as
// the first paint reads and writes them); heap blocks are left to the allocator.
TEST(PixelMemory, AMappedBlockHasEveryPageInPlaceBeforeItIsTouched) {
  const size_t count = 1280 * 1024 + 3;
  PixelMemory memory(count);
  ASSERT_TRUE(memory.Mapped());
  const size_t page = size_t(sysconf(_SC_PAGESIZE));
  const size_t pages = (count * 4 + page - 1) / page;
  std::vector<unsigned char> resident(pages);
  ASSERT_EQ(mincore(memory.Data(), pages * page, resident.data()), 0);
  size_t absent = 0;
  for (unsigned char r : resident) absent += (r & 1) == 0;
#ifdef MADV_POPULATE_WRITE
  // A kernel that does not know the request (before Linux 5.14) refuses it; then pages come on touch.
  if (madvise(memory.Data(), page, MADV_POPULATE_WRITE) == 0) EXPECT_EQ(absent, 0u);
#endif
  EXPECT_EQ(memory.Data()[count - 1], 0u);
}

TEST(PixelMemory, ASurfaceKeepsItsPixelsWhenResizedAcrossTheHugePageSize) {
  Surface surface(64, 48);
  surface.SetPixel(63, 47, 0x123456);
  surface.SetPixel(0, 0, 0x654321);
  // Up to a full screen (mapped memory), then back down to heap memory.
  surface.Resize(1280, 1024);
  EXPECT_EQ(surface.Pixel(63, 47), 0x123456u);
  EXPECT_EQ(surface.Pixel(0, 0), 0x654321u);
  EXPECT_EQ(surface.Pixel(64, 47), 0u);
  EXPECT_EQ(surface.Pixel(1279, 1023), 0u);
  surface.SetPixel(1279, 1023, 0xABCDEF);
  surface.Resize(1280, 1023);
  EXPECT_EQ(surface.Pixel(1279, 1022), 0u);
  EXPECT_EQ(surface.Pixel(63, 47), 0x123456u);
  surface.Resize(10, 10);
  EXPECT_EQ(surface.Pixel(0, 0), 0x654321u);
  surface.Resize(0, 0);
  EXPECT_EQ(surface.Width(), 0);
}

// A surface grown from written pixels: the kept ones unchanged to their fourth byte, every new one 0
// (black, fourth byte too) beside and below them, on the heap and in a mapped block; shrunk, the rest.
TEST(PixelMemory, AResizedSurfaceKeepsItsPixelsAndClearsOnlyTheNewOnes) {
  constexpr uint32_t kKept = 0xA5123456;
  for (const auto& [width, height] : {std::pair{40, 30}, std::pair{1280, 1024}}) {
    SCOPED_TRACE(width);
    Surface surface(7, 5, PixelMemory::Start::kWrittenByCaller);
    for (int32_t y = 0; y < 5; ++y)
      for (int32_t x = 0; x < 7; ++x) surface.Row32(y)[x] = kKept + uint32_t(x + 7 * y);
    surface.Resize(width, height);
    size_t wrong = 0;
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x)
        wrong += surface.Row32(y)[x] != (x < 7 && y < 5 ? kKept + uint32_t(x + 7 * y) : 0u);
    EXPECT_EQ(wrong, 0u);
    surface.Resize(3, 2);
    EXPECT_EQ(surface.Row32(1)[2], kKept + 9);
  }
}

// Solid fills, pattern copies and source copies replace a pixel's colour and keep its fourth byte;
// a copy from beyond the source's pixels leaves the destination alone.
TEST(PixelMemory, PlainFillsAndCopiesKeepTheFourthByte) {
  constexpr uint32_t kMark = 0xAB000000, kOld = 0x3C3C3C;
  Canvas source(8, 8, 0x00F0F0);
  const struct {
    const char* name;
    uint32_t want;
    bool (*draw)(HDC dest, HDC source);
  } cases[] = {
      {"FillRect", 0xFF0000,
       [](HDC dest, HDC) {
         HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
         RECT r{0, 0, 4, 4};
         FillRect(dest, &r, brush);
         DeleteObject(brush);
         return true;
       }},
      {"PATCOPY", 0x00FF00,
       [](HDC dest, HDC) {
         HBRUSH brush = CreateSolidBrush(RGB(0, 255, 0));
         HGDIOBJ old = SelectObject(dest, brush);
         const bool done = PatBlt(dest, 0, 0, 4, 4, PATCOPY) != 0;
         SelectObject(dest, old);
         DeleteObject(brush);
         return done;
       }},
      {"SRCCOPY", 0x00F0F0,
       [](HDC dest, HDC from) { return BitBlt(dest, 0, 0, 4, 4, from, 0, 0, SRCCOPY) != 0; }},
      {"SRCCOPY stretched", 0x00F0F0,
       [](HDC dest, HDC from) { return StretchBlt(dest, 0, 0, 4, 4, from, 0, 0, 2, 2, SRCCOPY) != 0; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Canvas dest(6, 6, kOld);
    for (int32_t y = 0; y < 6; ++y)
      for (int32_t x = 0; x < 6; ++x) dest.surface.Row32(y)[x] |= kMark;
    ASSERT_TRUE(c.draw(dest.dc, source.dc));
    EXPECT_EQ(dest.surface.Row32(0)[0], kMark | c.want);
    EXPECT_EQ(dest.surface.Row32(3)[3], kMark | c.want);
    EXPECT_EQ(dest.surface.Row32(4)[4], kMark | kOld) << "outside the rectangle";
  }
  // The source rectangle's right half lies beyond the source: those destination pixels stay.
  Canvas dest(6, 6, kOld);
  ASSERT_TRUE(BitBlt(dest.dc, 0, 0, 4, 2, source.dc, 6, 0, SRCCOPY));
  EXPECT_EQ(dest.At(1, 1), 0x00F0F0u);
  EXPECT_EQ(dest.At(2, 1), kOld);
  EXPECT_EQ(dest.At(3, 0), kOld);
}

}  // namespace
}  // namespace plat
