// Pixel memory made ready ahead of the surface of a window about to be maximised: who takes it, what
// it holds when taken, and that its worker never outlives the block it works in.
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/Gdi.h"
#include "platform/HeadlessDriver.h"
#include "platform/ScreenMetrics.h"
#include "platform/Surface.h"
#include "platform/SurfaceReserve.h"
#include "platform/WindowApi.h"

namespace plat {
namespace {

class SurfaceReserveTest : public ::testing::Test {
 protected:
  void SetUp() override { HeadlessDriver::Reset(); }
  void TearDown() override { HeadlessDriver::Reset(); }
};

// Every pixel of the surface is 0; a surface that took memory somebody wrote into first would not be.
size_t NonZeroPixels(const Surface& surface) {
  size_t count = 0;
  for (int32_t y = 0; y < surface.Height(); ++y)
    for (int32_t x = 0; x < surface.Width(); ++x) count += surface.Pixel(x, y) != 0;
  return count;
}

TEST_F(SurfaceReserveTest, OnlyASurfaceOfThePreparedSizeTakesTheBlockAndFindsItZero) {
  SurfaceReserve::Prepare(1280, 1024);
  ASSERT_TRUE(SurfaceReserve::Holding());
  {
    // Another size leaves the block where it is.
    Surface other(1280, 1023, PixelMemory::Start::kWrittenByCaller);
    EXPECT_TRUE(SurfaceReserve::Holding());
  }
  Surface frame(1280, 1024, PixelMemory::Start::kWrittenByCaller);
  EXPECT_FALSE(SurfaceReserve::Holding());
  EXPECT_EQ(NonZeroPixels(frame), 0u);
  frame.Fill(0x336699);
  EXPECT_EQ(frame.Pixel(0, 0), 0x336699u);
  EXPECT_EQ(frame.Pixel(1279, 1023), 0x336699u);
  // Taken once: the next surface of that size gets memory of its own.
  Surface second(1280, 1024);
  EXPECT_NE(second.Row(0), frame.Row(0));
  EXPECT_EQ(second.Pixel(640, 512), 0u);
}

TEST_F(SurfaceReserveTest, AGrowingSurfaceTakesTheBlockAndKeepsItsPixels) {
  Surface surface(3, 2);
  surface.SetPixel(2, 1, 0xABCDEF);
  SurfaceReserve::Prepare(1280, 1024);
  surface.Resize(1280, 1024);
  EXPECT_FALSE(SurfaceReserve::Holding());
  EXPECT_EQ(surface.Pixel(2, 1), 0xABCDEFu);
  EXPECT_EQ(surface.Pixel(3, 1), 0u);
  EXPECT_EQ(surface.Pixel(1279, 1023), 0u);
}

TEST_F(SurfaceReserveTest, SmallOrEmptySizesHoldNothingAndReplaceAnEarlierBlock) {
  SurfaceReserve::Prepare(1280, 1024);
  ASSERT_TRUE(SurfaceReserve::Holding());
  SurfaceReserve::Prepare(100, 100);  // far below a huge page: not worth a thread
  EXPECT_FALSE(SurfaceReserve::Holding());
  for (const auto& [width, height] : {std::pair{0, 1024}, std::pair{1280, -1}, std::pair{-5, -5}}) {
    SurfaceReserve::Prepare(width, height);
    EXPECT_FALSE(SurfaceReserve::Holding());
  }
  SurfaceReserve::Prepare(1280, 1024);
  SurfaceReserve::Release();
  EXPECT_FALSE(SurfaceReserve::Holding());
  SurfaceReserve::Prepare(1280, 1024);
  HeadlessDriver::Reset();  // the desktop's reset lets go of it too
  EXPECT_FALSE(SurfaceReserve::Holding());
}

// Taken and dropped at once, while the job is most likely still asking for its pages, or replaced
// before anybody took it: each block is freed once, after its job (the sanitizers watch the frees).
TEST_F(SurfaceReserveTest, BlocksDroppedAtOnceOrReplacedUnusedAreFreedCleanly) {
  for (int32_t round = 0; round < 20; ++round) {
    SurfaceReserve::Prepare(1920, 1200);
    {
      Surface taken(1920, 1200, PixelMemory::Start::kWrittenByCaller);
      taken.SetPixel(1919, 1199, 0x010203);
      EXPECT_EQ(taken.Pixel(1919, 1199), 0x010203u);
    }
    SurfaceReserve::Prepare(1920, 1200);
    SurfaceReserve::Prepare(1280, 1024);  // replaced before anybody took it
  }
  SurfaceReserve::Release();
  EXPECT_FALSE(SurfaceReserve::Holding());
}

TEST_F(SurfaceReserveTest, AMaximisedTopLevelWindowTakesTheBlockMadeReadyForTheWorkArea) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "Reserved";
  wc.hbrBackground = CreateSolidBrush(RGB(10, 20, 30));
  RegisterClassA(&wc);
  HWND frame = CreateWindowExA(0, "Reserved", "frame", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, CW_USEDEFAULT,
                               0, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(frame, nullptr);
  PrepareMaximizedWindowSurface();
  ASSERT_TRUE(SurfaceReserve::Holding());
  ShowWindow(frame, SW_SHOWMAXIMIZED);
  EXPECT_FALSE(SurfaceReserve::Holding());
  UpdateWindow(frame);
  RECT client;
  GetClientRect(frame, &client);
  HDC dc = GetDC(frame);
  EXPECT_EQ(GetPixel(dc, client.right - 1, client.bottom - 1), RGB(10, 20, 30));
  ReleaseDC(frame, dc);
  DestroyWindow(frame);
  DeleteObject(wc.hbrBackground);
}

}  // namespace
}  // namespace plat
