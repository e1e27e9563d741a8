#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "framework/ColorConversion.h"
#include "framework/FontCache.h"
#include "framework/ppBrushSaver.h"
#include "framework/ppClipSaver.h"
#include "framework/ppDC.h"
#include "framework/ppRegion.h"
#include "framework/ppShape.h"
#include "platform/HeadlessDriver.h"
#include "tests/framework/ShapeRecorderLog.h"
#include "tests/framework/TestCanvas.h"
#include "tests/framework/TestWindow.h"

namespace {

using picture_tests::Canvas;

class DrawingContextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    plat::SetTextAntialias(false);
  }
  void TearDown() override { plat::SetTextAntialias(true); }
};

TEST_F(DrawingContextTest, PercentColoursBecomeBytes) {
  EXPECT_EQ(PercentToByte(100), 255);
  EXPECT_EQ(PercentToByte(50), 128);
  EXPECT_EQ(PercentToByte(0), 0);
  EXPECT_EQ(ByteToPercent(255), 99);
  EXPECT_EQ(ByteToPercent(128), 50);

  Canvas canvas(6, 4);
  ppDC dc(canvas.dc());
  dc.SetColorRGB(100, 50, 0);
  EXPECT_EQ(dc.GetColorBytes(), (ppRGBColor{255, 128, 0}));
  dc.FillRect(plat::RECT{1, 1, 4, 3});
  const plat::COLORREF orange = plat::RGB(255, 128, 0);
  EXPECT_EQ(canvas.At(1, 1), orange);
  EXPECT_EQ(canvas.At(3, 2), orange);  // the whole rectangle, right and bottom exclusive
  EXPECT_EQ(canvas.At(4, 2), plat::RGB(255, 255, 255));
  EXPECT_EQ(canvas.At(3, 3), plat::RGB(255, 255, 255));
  EXPECT_EQ(canvas.Marked(6, 4).size(), 6u);
}

TEST_F(DrawingContextTest, DrawingModesOfFills) {
  Canvas checker(4, 4);
  ppDC dc(checker.dc());
  dc.SetColorRGB(0, 0, 100);
  dc.SetDrawingMode(ppDC::kModeChecker);
  dc.FillRect(plat::RECT{0, 0, 2, 2});
  EXPECT_EQ(checker.Marked(4, 4), (std::vector<std::pair<int, int>>{{1, 0}, {0, 1}}));
  EXPECT_EQ(checker.At(1, 0), plat::RGB(0, 0, 255));

  Canvas none(4, 4);
  ppDC quiet(none.dc());
  ppRegion area(plat::RECT{0, 0, 4, 4});
  for (int32_t mode : {ppDC::kModeNoFill1, ppDC::kModeNoFill2}) {
    quiet.SetDrawingMode(mode);
    quiet.FillRect(plat::RECT{0, 0, 4, 4});
    quiet.PaintRegion(area);
  }
  quiet.SetDrawingMode(ppDC::kModeChecker);
  quiet.PaintRegion(area);
  EXPECT_TRUE(none.Marked(4, 4).empty());

  quiet.SetCopyMode();
  quiet.PaintRegion(ppRegion(plat::RECT{1, 1, 2, 3}));
  EXPECT_EQ(none.Marked(4, 4), (std::vector<std::pair<int, int>>{{1, 1}, {1, 2}}));
  quiet.SetBackGray(0);
  {
    ppBrushSaver keep(quiet);
    quiet.ReplaceBrushes(plat::RGB(0, 255, 0), plat::RGB(0, 0, 255));
  }
  quiet.EraseRect(plat::RECT{0, 0, 1, 1});  // the background brush is white again
  EXPECT_EQ(none.At(0, 0), plat::RGB(255, 255, 255));
  quiet.FillRect(plat::RECT{3, 3, 4, 4});  // and the fill brush black
  EXPECT_EQ(none.At(3, 3), plat::RGB(0, 0, 0));
}

TEST_F(DrawingContextTest, XorModeDrawsAndErases) {
  Canvas canvas(10, 10, plat::RGB(10, 20, 30));
  Canvas before(10, 10, plat::RGB(10, 20, 30));
  ppDC dc(canvas.dc());
  dc.SetXorMode();
  dc.MoveTo(0, 5);
  dc.LineTo(9, 5);
  EXPECT_NE(canvas.At(4, 5), plat::RGB(10, 20, 30));
  dc.MoveTo(0, 5);
  dc.LineTo(9, 5);
  dc.DrawTextAt(u"Xy", 1, 1);
  EXPECT_FALSE(canvas.SamePixels(before, 10, 10));
  dc.DrawTextAt(u"Xy", 1, 1);
  EXPECT_TRUE(canvas.SamePixels(before, 10, 10));
}

TEST_F(DrawingContextTest, FontCacheKeepsOneFontPerDescription) {
  plat::HFONT a = GetCachedFont("Arial", 14, 1, 0.0f);
  EXPECT_EQ(GetCachedFont("Arial", 14, 1, 0.0f), a);
  plat::HFONT turned = GetCachedFont("Arial", 14, 1, 90.0f);
  EXPECT_NE(turned, a);
  EXPECT_NE(GetCachedFont("arial", 14, 1, 0.0f), a);  // face names compare exactly
  plat::LOGFONTA log;
  ASSERT_GT(plat::GetObjectA(turned, sizeof log, &log), 0);
  EXPECT_EQ(log.lfEscapement, 900);
  EXPECT_EQ(log.lfWeight, plat::FW_BOLD);
  EXPECT_EQ(log.lfCharSet, plat::DEFAULT_CHARSET);

  plat::LOGFONTA wanted;
  wanted.lfHeight = -20;
  std::snprintf(wanted.lfFaceName, sizeof wanted.lfFaceName, "Arial");
  plat::HFONT indirect = GetCachedFontIndirect(wanted);
  EXPECT_EQ(GetCachedFontIndirect(wanted), indirect);
  wanted.lfItalic = 1;
  EXPECT_NE(GetCachedFontIndirect(wanted), indirect);
}

TEST_F(DrawingContextTest, PathCommandsTruncateAndKeepTheFloatPoint) {
  Canvas canvas(8, 8);
  ppDC dc(canvas.dc());
  dc.MoveToF(1.9f, -1.9f);
  plat::POINT p;
  plat::GetCurrentPositionEx(canvas.dc(), &p);
  EXPECT_EQ(p, (plat::POINT{1, -1}));
  EXPECT_FLOAT_EQ(dc.CurrentX(), 1.9f);
  EXPECT_FLOAT_EQ(dc.CurrentY(), -1.9f);

  dc.MoveToF(4, 1);
  dc.ArcAroundTo(4, 4, 1, 4, 7);
  EXPECT_EQ(plat::GetArcDirection(canvas.dc()), plat::AD_COUNTERCLOCKWISE);
  EXPECT_FLOAT_EQ(dc.CurrentY(), 7);
  EXPECT_FALSE(canvas.Marked(8, 8).empty());
}

TEST_F(DrawingContextTest, AttachedRecorderSeesEveryShapeCommand) {
  Canvas canvas(20, 20);
  ppDC dc(canvas.dc());
  ShapeRecorderLog log;
  dc.AttachShape(&log);
  ppShape shape;
  shape.Reset();
  shape.MoveToF(1, 1);
  shape.LineToF(5, 1);
  shape.End();
  dc.DrawShape(shape, 2, 3, 2);
  EXPECT_EQ(log.calls, (std::vector<std::string>{"Reset", "MoveTo 4 5", "LineTo 12 5", "End"}));
  EXPECT_EQ(canvas.At(8, 5), plat::RGB(0, 0, 0));
  dc.SetFont("Arial", 12, 0, 0);
  EXPECT_EQ(log.calls.back(), "SetFont Arial 12");
  EXPECT_EQ(dc.GetFontHeight(), -12);
}

// "Hg" drawn straight with the platform's text call in the 12-pixel Arial at `angle`.
void PlainText(const Canvas& canvas, float angle, int32_t x, int32_t y) {
  plat::SelectObject(canvas.dc(), GetCachedFont("Arial", -12, 0, angle));
  plat::SetBkMode(canvas.dc(), plat::TRANSPARENT);
  plat::TextOutW(canvas.dc(), x, y, u"Hg", 2);
}

TEST_F(DrawingContextTest, TextIsPlacedByTheFontHeightAlongItsAngle) {
  // After the shape interface's SetFont(12) the remembered height is -12: text at (x, y) has its
  // top-left at (x, y + 12), and at 90 degrees its left at x + 12.
  Canvas mine(60, 60), expected(60, 60);
  ppDC dc(mine.dc());
  dc.SetFont("Arial", 12, 0, 0);
  dc.DrawTextAt(u"Hg", 5, 3);
  PlainText(expected, 0, 5, 15);
  EXPECT_FALSE(mine.Marked(60, 60).empty());
  EXPECT_TRUE(mine.SamePixels(expected, 60, 60));

  Canvas turned(60, 60), turnedExpected(60, 60);
  ppDC up(turned.dc());
  up.SetFont("Arial", 12, 0, 90);
  up.DrawTextAt(u"Hg", 20, 40);
  PlainText(turnedExpected, 90, 32, 40);
  EXPECT_TRUE(turned.SamePixels(turnedExpected, 60, 60));
}

TEST_F(DrawingContextTest, ClipRegionsAndSavers) {
  Canvas canvas(10, 10);
  ppDC dc(canvas.dc());
  {
    ppClipSaver keep(dc);
    dc.ClipToRect(plat::RECT{2, 2, 4, 4});
    dc.FillRect(plat::RECT{0, 0, 10, 10});
    std::unique_ptr<ppRegion> clip = dc.GetClipRegion();
    plat::RECT b;
    clip->GetBounds(&b);
    EXPECT_EQ(b, (plat::RECT{2, 2, 4, 4}));
  }
  EXPECT_EQ(canvas.Marked(10, 10).size(), 4u);
  dc.FillRect(plat::RECT{0, 0, 10, 10});  // the clip is gone again
  EXPECT_EQ(canvas.Marked(10, 10).size(), 100u);
}

TEST_F(DrawingContextTest, AContextWithoutDeviceDrawsNothing) {
  ppDC nothing;  // no active window
  EXPECT_EQ(nothing.GetHDC(), nullptr);
  EXPECT_EQ(nothing.GetTextWidth(u"abc"), 0);
  nothing.SetColorRGB(1, 2, 3);
  nothing.FillRect(plat::RECT{0, 0, 5, 5});
  nothing.LineToF(3, 3);
  nothing.DrawText("x");
  std::unique_ptr<ppRegion> clip = nothing.GetClipRegion();
  EXPECT_TRUE(clip->IsEmpty());

  Canvas canvas(4, 4);
  ppDC dc(canvas.dc());
  EXPECT_GT(dc.GetTextWidth(u"abc"), dc.GetTextWidth(u"a"));
}

TEST_F(DrawingContextTest, ContextsOnWindowsAndBorrowedDevices) {
  plat::Surface* surface = nullptr;
  plat::HWND window = picture_tests::MakeTestWindow(40, 30, 0xFFFFFF, &surface);
  ASSERT_NE(surface, nullptr);
  plat::SetActiveWindow(window);
  plat::RECT dirty{5, 5, 15, 10};
  plat::InvalidateRect(window, &dirty, 0);
  {
    ppDC active;  // the active window, clipped to what needs painting
    ASSERT_NE(active.GetHDC(), nullptr);
    plat::RECT box;
    plat::GetRgnBox(active.GetStoredClipRegion(), &box);
    EXPECT_EQ(box, dirty);
    active.SetColorRGB(100, 0, 0);
    active.FillRect(plat::RECT{0, 0, 3, 3});
  }
  EXPECT_EQ(surface->Pixel(1, 1), 0xFF0000u);
  {
    ppDC feedback(window);
    plat::RECT box;
    plat::GetRgnBox(feedback.GetStoredClipRegion(), &box);
    EXPECT_EQ(box, (plat::RECT{0, 0, 40, 30}));
  }
  // A shape's outline is made on the active window's device as well.
  ppShape triangle;
  triangle.Reset();
  triangle.MoveToF(0, 0);
  triangle.LineToF(20, 0);
  triangle.LineToF(0, 20);
  triangle.End();
  ppRegion area(triangle, 1, 1, 1);
  EXPECT_TRUE(area.Contains(3, 3));
  EXPECT_FALSE(area.Contains(18, 18));

  // A borrowed device gets back the tools it held.
  Canvas canvas(4, 4);
  const plat::HGDIOBJ pen = plat::GetCurrentObject(canvas.dc(), plat::OBJ_PEN);
  const plat::HGDIOBJ brush = plat::GetCurrentObject(canvas.dc(), plat::OBJ_BRUSH);
  const plat::HGDIOBJ font = plat::GetCurrentObject(canvas.dc(), plat::OBJ_FONT);
  {
    ppDC borrowed(canvas.dc(), nullptr, nullptr);
    borrowed.SetColorRGB(0, 100, 0);
    borrowed.SetPenSize(3, 3);
    borrowed.SetFont("Arial", 20, 2, 0);
  }
  EXPECT_EQ(plat::GetCurrentObject(canvas.dc(), plat::OBJ_PEN), pen);
  EXPECT_EQ(plat::GetCurrentObject(canvas.dc(), plat::OBJ_BRUSH), brush);
  EXPECT_EQ(plat::GetCurrentObject(canvas.dc(), plat::OBJ_FONT), font);
}

TEST_F(DrawingContextTest, PrintedPagesGoThroughTheContext) {
  const std::string pdf = (std::filesystem::temp_directory_path() / "framework_context_print.pdf").string();
  std::filesystem::remove(pdf);
  plat::PrinterSetup setup;
  setup.output = pdf;
  plat::HDC printer = plat::CreatePrinterDC(setup);
  ASSERT_NE(printer, nullptr);
  {
    ppDC dc(printer);
    plat::DOCINFOW info;
    info.cbSize = plat::kDocInfoSize;
    info.lpszDocName = u"Plan";
    EXPECT_GT(dc.StartDoc(info), 0);
    EXPECT_GT(dc.StartPage(), 0);
    dc.FillRect(plat::RECT{10, 10, 100, 100});
    EXPECT_GT(dc.EndPage(), 0);
    EXPECT_LE(dc.EndPage(), 0);  // no page is running
  }
  EXPECT_GT(plat::EndDoc(printer), 0);
  plat::DeletePrinterDC(printer);
  EXPECT_TRUE(std::filesystem::exists(pdf));
  std::filesystem::remove(pdf);

  ppDC none;
  EXPECT_EQ(none.StartPage(), plat::SP_ERROR);
}

}  // namespace
