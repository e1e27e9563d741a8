// The editor's views off screen: a view saved as a BMP file read back byte by byte, a view drawn
// through a memory bitmap onto screen and printer contexts, and the view-mode switch over a logging
// scroller of plain views.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "framework/ppDC.h"
#include "framework/ppView.h"
#include "platform/Gdi.h"
#include "platform/HeadlessDriver.h"
#include "scene3d/panes/iEditorScroller.h"
#include "scene3d/panes/qx3DPane.h"
#include "scene3d/panes/qxDibSurface.h"
#include "scene3d/panes/qxEditorViews.h"

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kRed = 0xFF0000, kBlue = 0x0000FF, kGreen = 0x00FF00;

void Fill(ppDC& dc, const plat::RECT& r, uint32_t rgb) {
  dc.SetColorRGB(int32_t(rgb >> 16), int32_t(rgb >> 8 & 0xFF), int32_t(rgb & 0xFF));
  dc.FillRect(r);
}

// A plain view that paints its left half red and its right half blue and logs its commands.
class PatternView : public ppView {
 public:
  PatternView(int32_t number, std::string* log) : number_(number), log_(log) {}
  void Draw(ppDC& dc) override {
    const int32_t w = GetFrame().right - GetFrame().left, h = GetFrame().bottom - GetFrame().top;
    Fill(dc, plat::RECT{0, 0, w / 2, h}, kRed);
    Fill(dc, plat::RECT{w / 2, 0, w, h}, kBlue);
  }
  void DoCommand(int32_t command, intptr_t argument) override {
    *log_ +=
        "v" + std::to_string(number_) + " " + std::to_string(command) + " " + std::to_string(argument) + ";";
  }

 private:
  int32_t number_;
  std::string* log_;
};

class TestScroller : public iEditorScroller {
 public:
  TestScroller() : one(1, &log), two(2, &log), three(3, &log) {}
  ppView* View(int32_t n) override { return n == 1 ? &one : n == 2 ? &two : n == 3 ? &three : nullptr; }
  void DetachView(ppView* v) override { log += "detach " + Name(v) + ";"; }
  void InsertView(ppView* v) override { log += "insert " + Name(v) + ";"; }
  void SetKeyTarget(ppView* v) override { log += "key " + Name(v) + ";"; }
  void SetCurrentView(ppView* v) override { log += "current " + Name(v) + ";"; }
  void BroadcastRulers(ppView* v, int32_t flag) override {
    log += "rulers " + Name(v) + " " + std::to_string(flag) + ";";
  }
  void Invalidate() override { log += "invalidate;"; }
  bool PlanOption() override { return planOption; }
  int32_t CurrentMode() override { return mode; }
  void SetCurrentMode(int32_t m) override { mode = m; }
  // Red everywhere but a green row 1 (the first row a screen copy shows).
  void DrawView(ppDC& dc, const qxViewSettings& s) override {
    drawn = s;
    const int32_t w = s.frame.right - s.frame.left, h = s.frame.bottom - s.frame.top + 1;
    Fill(dc, plat::RECT{0, 0, w, h}, kRed);
    Fill(dc, plat::RECT{0, 1, w, 2}, kGreen);
  }
  std::string Name(ppView* v) { return v == &one ? "1" : v == &two ? "2" : v == &three ? "3" : "?"; }

  std::string log;
  PatternView one, two, three;
  bool planOption = false;
  int32_t mode = 0;
  qxViewSettings drawn;
};

uint32_t PixelOf(const qxDibSurface& s, int32_t x, int32_t y) {
  const uint8_t* p = s.Bits() +
                     size_t(s.Header().biHeight - 1 - y) * size_t(qxDibSurface::Stride(s.Header().biWidth)) +
                     size_t(x) * 3;
  return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

class EditorViewsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    folder_ = fs::temp_directory_path() / ("editor-views-" + std::to_string(getpid()));
    fs::create_directories(folder_);
  }
  void TearDown() override {
    fs::remove_all(folder_);
    plat::HeadlessDriver::Reset();
  }
  fs::path folder_;
  TestScroller scroller_;
  qx3DPane pane_{nullptr, plat::RECT{0, 0, 10, 10}, nullptr};
};

TEST_F(EditorViewsTest, SavedViewRowsArePaddedToFourBytes) {
  scroller_.one.ResizeTo(101, 7);
  const fs::path file = folder_ / "view.bmp";
  ASSERT_TRUE(qxEditorViews::SaveViewAsBitmap(WideFromNarrow(file.c_str()), scroller_.one, &pane_));
  EXPECT_FALSE(pane_.OffscreenBusy());
  std::ifstream in(file, std::ios::binary);
  const std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(b.size(), 304u * 7 + 54);
  auto u32 = [&](size_t at) {
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
  };
  EXPECT_EQ(b.substr(0, 2), "BM");
  EXPECT_EQ(u32(2), 304u * 7 + 54);
  EXPECT_EQ(u32(10), 54u);
  EXPECT_EQ(u32(18), 101u);
  EXPECT_EQ(u32(22), 7u);
  EXPECT_EQ(u32(34), 304u * 7);
  // Row 3 from the bottom: red on the left, blue on the right, zero padding.
  const size_t row = 54 + 3 * 304;
  EXPECT_EQ(uint8_t(b[row + 2]), 0xFF);
  EXPECT_EQ(uint8_t(b[row + 100 * 3]), 0xFF);
  EXPECT_EQ(b[row + 303], 0);
  EXPECT_EQ(qxDibSurface::Stride(1), 4);
}

TEST_F(EditorViewsTest, FileErrorPassesOnAfterCleanUp) {
  scroller_.one.ResizeTo(20, 10);
  const fs::path file = folder_ / "missing" / "view.bmp";
  EXPECT_THROW(qxEditorViews::SaveViewAsBitmap(WideFromNarrow(file.c_str()), scroller_.one, &pane_), int32_t);
  EXPECT_FALSE(pane_.OffscreenBusy());
  scroller_.one.ResizeTo(0, 10);
  EXPECT_FALSE(
      qxEditorViews::SaveViewAsBitmap(WideFromNarrow((folder_ / "b.bmp").c_str()), scroller_.one, &pane_));
  EXPECT_FALSE(fs::exists(folder_ / "b.bmp"));
}

TEST_F(EditorViewsTest, ScreenCopiesOneToOneFromRowOnePrinterStretches) {
  qxDibSurface screen(120, 80);
  ppDC target(screen.DC());
  plat::SetDCRasterCaps(screen.DC(), plat::RC_BITBLT);
  Fill(target, plat::RECT{0, 0, 120, 80}, kBlue);
  qxViewSettings settings;
  settings.frame = plat::RECT{10, 20, 60, 50};
  settings.zoom = qxEditorViews::kPrinterFactor / 2;
  settings.scale = 2;
  qxEditorViews::DrawViewThroughBitmap(scroller_, target, settings, &pane_);
  plat::GdiFlush();
  EXPECT_EQ(PixelOf(screen, 10, 20), kGreen);
  EXPECT_EQ(PixelOf(screen, 30, 21), kRed);
  EXPECT_EQ(PixelOf(screen, 10, 19), kBlue);
  EXPECT_EQ(PixelOf(screen, 60, 30), kBlue);
  EXPECT_FALSE(pane_.OffscreenBusy());

  // A device that stretches bitmaps gets the view at twice the resolution, scaled back down.
  plat::SetDCRasterCaps(screen.DC(), plat::RC_BITBLT | plat::RC_STRETCHDIB);
  Fill(target, plat::RECT{0, 0, 120, 80}, kBlue);
  qxEditorViews::DrawViewThroughBitmap(scroller_, target, settings, &pane_);
  plat::GdiFlush();
  const plat::RECT& f = scroller_.drawn.frame;
  EXPECT_EQ(f.left, 20);
  EXPECT_EQ(f.top, 40);
  EXPECT_EQ(f.right, 124);
  EXPECT_EQ(f.bottom, 104);
  EXPECT_FLOAT_EQ(scroller_.drawn.scale, 4);
  EXPECT_FLOAT_EQ(scroller_.drawn.originX, 5);
  EXPECT_FLOAT_EQ(scroller_.drawn.originY, 10);
  EXPECT_EQ(PixelOf(screen, 35, 35), kRed);
  EXPECT_EQ(PixelOf(screen, 9, 35), kBlue);
  EXPECT_EQ(PixelOf(screen, 60, 35), kBlue);
}

TEST_F(EditorViewsTest, ViewModesAttachFocusAndTellTheViews) {
  struct Case {
    int32_t from, to;
    bool option;
    const char* log;
  } cases[] = {
      {2004, 2016, false, "detach 1;detach 2;insert 1;key 1;current 1;v1 3052 -1;invalidate;invalidate;"},
      {2016, 2020, false,
       "rulers 1 1;detach 1;insert 1;insert 2;key 2;current 2;v2 3052 1;v1 3052 1;invalidate;invalidate;"},
      {2020, 2024, false, "detach 1;detach 2;insert 3;current 3;invalidate;invalidate;"},
      {2012, 2004, true,
       "rulers 1 1;detach 3;insert 1;insert 2;key 2;current 2;v2 3052 1;invalidate;invalidate;"},
      {2024, 2004, false,
       "rulers 1 1;detach 3;insert 1;insert 2;key 2;current 2;v2 3052 -1;invalidate;invalidate;"},
      {2016, 2016, false, ""},
      {2016, 2017, false, ""},
  };
  for (const Case& c : cases) {
    scroller_.log.clear();
    scroller_.mode = c.from;
    scroller_.planOption = c.option;
    qxEditorViews::SetViewMode(scroller_, c.to);
    EXPECT_EQ(scroller_.log, c.log) << c.from << " -> " << c.to;
    EXPECT_EQ(scroller_.mode, c.to == 2017 ? c.from : c.to);
  }
}

}  // namespace
