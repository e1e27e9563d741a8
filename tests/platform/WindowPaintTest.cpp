#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "platform/Gdi.h"
#include "platform/HeadlessDriver.h"
#include "platform/PngFile.h"
#include "platform/ScreenMetrics.h"
#include "platform/WindowApi.h"

namespace plat {
namespace {

// Each painting window fills what it is asked to paint with its own colour (the window's user data)
// and counts its paints and the area it was given.
std::map<HWND, int> gPaints;
std::map<HWND, RECT> gPainted;

LRESULT ColourProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT) return DefWindowProcA(window, message, wParam, lParam);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  if (dc) {
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrA(window, GWLP_USERDATA)));
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, brush);  // clipped to the invalid area by the context
    DeleteObject(brush);
  }
  ++gPaints[window];
  gPainted[window] = ps.rcPaint;
  EndPaint(window, &ps);
  return 0;
}

class WindowPaint : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    gPaints.clear();
    gPainted.clear();
    WNDCLASSA wc;
    wc.lpfnWndProc = ColourProc;
    wc.lpszClassName = "Colour";
    RegisterClassA(&wc);
    frame_ = Make(0, nullptr, {0, 0, 300, 200}, RGB(255, 255, 255));
    left_ = Make(WS_CHILD, frame_, {10, 10, 110, 110}, RGB(255, 0, 0));
    right_ = Make(WS_CHILD, frame_, {150, 10, 250, 110}, RGB(0, 0, 255));
  }
  void TearDown() override { HeadlessDriver::Reset(); }

  HWND Make(DWORD style, HWND parent, RECT r, COLORREF colour) {
    HWND w = CreateWindowExA(0, "Colour", "", style | WS_VISIBLE | (parent ? 0 : WS_CLIPCHILDREN), r.left,
                             r.top, r.right - r.left, r.bottom - r.top, parent, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(w, GWLP_USERDATA, static_cast<LONG_PTR>(colour));
    return w;
  }
  uint32_t PixelAt(HWND window, int32_t x, int32_t y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    RECT top;
    GetWindowRect(frame_, &top);
    return GetWindowSurface(frame_)->Pixel(p.x - top.left, p.y - top.top);
  }

  HWND frame_ = nullptr, left_ = nullptr, right_ = nullptr;
};

TEST_F(WindowPaint, ChildrenPaintTheirOwnColoursAndTheDumpShowsThem) {
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(PixelAt(left_, 50, 50), 0xFF0000u);
  EXPECT_EQ(PixelAt(right_, 50, 50), 0x0000FFu);
  EXPECT_EQ(PixelAt(frame_, 5, 5), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(frame_, 130, 50), 0xFFFFFFu);

  auto path = std::filesystem::temp_directory_path() / "window_paint_dump.png";
  ASSERT_TRUE(HeadlessDriver::DumpPng(frame_, path.string()));
  auto dump = ReadPng(path.string());
  ASSERT_TRUE(dump);
  EXPECT_EQ(dump->Width(), 300);
  EXPECT_EQ(dump->Pixel(60, 60), 0xFF0000u);
  EXPECT_EQ(dump->Pixel(200, 60), 0x0000FFu);
  std::filesystem::remove(path);
}

TEST_F(WindowPaint, InvalidatingOneChildRepaintsOnlyItsArea) {
  HeadlessDriver::RunUntilIdle();
  auto before = gPaints;
  RECT part{20, 30, 40, 50};
  InvalidateRect(left_, &part, 1);
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(gPaints[left_], before[left_] + 1);
  EXPECT_EQ(gPaints[right_], before[right_]);
  EXPECT_EQ(gPaints[frame_], before[frame_]);
  EXPECT_EQ(gPainted[left_], part);
}

TEST_F(WindowPaint, InvalidAreasGatherWithinTheClientAreaAndReachChildrenOfAParentThatDoesNotClipThem) {
  // Rectangles inside what is already invalid, partly outside the client area, a region of two
  // rectangles, and the whole client area of a window that had nothing invalid: the invalid area is
  // their union within the client area. The left child does not clip its own child, so what it gets
  // reaches the grandchild too, in the grandchild's coordinates.
  HWND inner = Make(WS_CHILD, left_, {5, 5, 15, 15}, RGB(0, 255, 0));
  HeadlessDriver::RunUntilIdle();
  const auto rect = [](int32_t l, int32_t t, int32_t r, int32_t b) {
    return OwnedRegion(CreateRectRgn(l, t, r, b));
  };
  const auto add = [](OwnedRegion& to, int32_t l, int32_t t, int32_t r, int32_t b) {
    OwnedRegion part(CreateRectRgn(l, t, r, b));
    CombineRgn(to.get(), to.get(), part.get(), RGN_OR);
  };
  const RECT first{20, 30, 40, 50}, within{25, 35, 30, 40}, across{90, 90, 150, 150}, corner{0, 0, 12, 12};
  InvalidateRect(left_, &first, 0);
  InvalidateRect(left_, &within, 0);
  InvalidateRect(left_, &across, 0);
  OwnedRegion two = rect(50, -20, 60, 10);
  add(two, 70, 60, 80, 70);
  InvalidateRgn(left_, two.get(), 0);
  InvalidateRect(left_, &corner, 0);
  OwnedRegion expected = rect(20, 30, 40, 50);
  add(expected, 90, 90, 100, 100);
  add(expected, 50, 0, 60, 10);
  add(expected, 70, 60, 80, 70);
  add(expected, 0, 0, 12, 12);
  OwnedRegion invalid = rect(0, 0, 0, 0), innerInvalid = rect(0, 0, 0, 0);
  ASSERT_EQ(GetUpdateRgn(left_, invalid.get(), 0), COMPLEXREGION);
  EXPECT_TRUE(EqualRgn(invalid.get(), expected.get()));
  ASSERT_EQ(GetUpdateRgn(inner, innerInvalid.get(), 0), SIMPLEREGION);
  OwnedRegion innerExpected = rect(0, 0, 7, 7);
  EXPECT_TRUE(EqualRgn(innerInvalid.get(), innerExpected.get()));

  RECT whole;
  GetClientRect(right_, &whole);
  InvalidateRect(right_, nullptr, 0);
  InvalidateRect(right_, &first, 0);
  OwnedRegion rightInvalid = rect(0, 0, 0, 0),
              rightExpected = rect(whole.left, whole.top, whole.right, whole.bottom);
  ASSERT_EQ(GetUpdateRgn(right_, rightInvalid.get(), 0), SIMPLEREGION);
  EXPECT_TRUE(EqualRgn(rightInvalid.get(), rightExpected.get()));
}

TEST_F(WindowPaint, PaintIsClippedToTheInvalidArea) {
  HeadlessDriver::RunUntilIdle();
  SetWindowLongPtrA(left_, GWLP_USERDATA, static_cast<LONG_PTR>(RGB(0, 255, 0)));
  RECT part{0, 0, 10, 10};
  InvalidateRect(left_, &part, 0);
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(PixelAt(left_, 5, 5), 0x00FF00u);
  EXPECT_EQ(PixelAt(left_, 10, 10), 0xFF0000u);
}

TEST_F(WindowPaint, HidingAChildRepaintsTheParentBeneathIt) {
  HeadlessDriver::RunUntilIdle();
  ShowWindow(left_, SW_HIDE);
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(PixelAt(frame_, 60, 60), 0xFFFFFFu);
  EXPECT_FALSE(IsWindowVisible(left_));
}

}  // namespace
}  // namespace plat

namespace plat {
namespace {

// The screen's and the windows' contexts answer the screen's colour depth; at 256 colours or fewer
// they report a palette display, which a program that needs true colour refuses. Memory contexts
// keep their own 32 bits, and a reset desktop is true colour again.
TEST_F(WindowPaint, DisplayContextsReportThePaletteOfAShallowScreen) {
  struct Case {
    int32_t depth;
    bool palette;
  } cases[] = {{32, false}, {16, false}, {8, true}, {4, true}, {0, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.depth);
    if (c.depth != 32) SetScreenColorDepth(c.depth);
    for (HWND window : {static_cast<HWND>(nullptr), frame_, left_}) {
      HDC dc = GetDC(window);
      ASSERT_NE(dc, nullptr);
      EXPECT_EQ((GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0, c.palette);
      EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), std::max(c.depth, 1));
      EXPECT_NE(GetDeviceCaps(dc, RASTERCAPS) & RC_BITBLT, 0) << "the other capabilities stay";
      ReleaseDC(window, dc);
    }
    HDC memory = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(memory, RASTERCAPS) & RC_PALETTE, 0);
    EXPECT_EQ(GetDeviceCaps(memory, BITSPIXEL), 32);
    DeleteDC(memory);
  }
  HeadlessDriver::Reset();
  EXPECT_EQ(ScreenColorDepth(), 32);
}

}  // namespace
}  // namespace plat
