// The demo's price list printed as a user prints it from the calculation view: a plan of three demo
// units and the lines a user adds (an Item/Service, a Text, a Discount, a SubTotal, a VAT/Tax), in the
// list layout and on the item sheet, on A4 upright and turned, at the printer's 300 dots per inch. The
// side pictures (the skin's price list side, the user folder's logo) stand in the sheet's margins and
// no printed text meets them.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/shell/ShellSettings.h"
#include "app/shell/iShellServices.h"
#include "app/shell/zelvProApp.h"
#include "calculation/PriceListTable.h"
#include "calculation/iPriceListPrintRecorder.h"
#include "calculation/zelvproCalculatorFil.h"
#include "calculation/zelvproCalculatorList.h"
#include "canvas/editor/zelvproEditor.h"
#include "canvas/editor/zelvproEditorScroller.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/window/zelvproEditorCanvas.h"
#include "canvas/window/zelvproWindow.h"
#include "catalogue/databases/CatalogDatabaseList.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "elements/base/zelvproElement.h"
#include "foundation/FileDialogs.h"
#include "foundation/PosixPath.h"
#include "foundation/ProcessServices.h"
#include "foundation/UserPreferences.h"
#include "framework/ppApplication.h"
#include "framework/ppDC.h"
#include "platform/HeadlessDriver.h"
#include "platform/Printer.h"
#include "platform/Printing.h"
#include "platform/ScreenMetrics.h"
#include "platform/UserLanguage.h"
#include "PrintJob.h"
#include "StartedProgram.h"
#include "support/DemoSettings.h"

namespace {

namespace fs = std::filesystem;
using Line = zelvproCalculatorFil;

// The texts and pictures of a print, each with its page (from 1); a text keeps the font it was drawn in.
class PageLog : public iPriceListPrintRecorder {
 public:
  struct Printed {
    int32_t page;
    Vcon::WString text;
    plat::RECT r;
    uint32_t flags;
    int32_t height;
    bool bold;
  };
  void Font(const char*, int32_t height, bool bold) override { font_ = {height, bold}; }
  void Text(const Vcon::WString& text, const plat::RECT& r, uint32_t flags) override {
    if (!text.empty()) texts.push_back({page, text, r, flags, font_.first, font_.second});
  }
  void Rule(int32_t, int32_t, int32_t, int32_t) override {}
  void Frame(const plat::RECT&) override {}
  void Ellipse(const plat::RECT&, const ppRGBColor&) override {}
  void Square(const plat::RECT&, const ppRGBColor&) override {}
  void Picture(const plat::RECT& r) override { pictures.emplace_back(page, r); }
  void PageBreak() override { ++page; }

  int32_t page = 1;
  std::vector<Printed> texts;
  std::vector<std::pair<int32_t, plat::RECT>> pictures;

 private:
  std::pair<int32_t, bool> font_{0, false};
};

class PriceListPrintPagesTest : public apptest::StartedProgramTest {
 protected:
  void SetUp() override {
    StartedProgramTest::SetUp();
    // The build puts the logo into the user folder beside the program; so does this copy.
    fs::create_directories(demo_.Root() / "user");
    fs::copy_file(demo_.File("user/logo.bmp"), demo_.Root() / "user" / "logo.bmp");
  }
  void TearDown() override {
    iShellServices::Current().SetAlternativePriceLayout(false);
    StartedProgramTest::TearDown();
  }
  // A demo unit placed in the plan by its top-view record's name.
  void Place(const char* name, int32_t x) {
    zelvproTopViewFil& views = MainCatalogDatabase->TopViewFile();
    views.SelectAll();
    const RecordField nameField(views, "Name");
    for (int32_t i = 0; i < views.GetSelectedCount(); ++i) {
      views.ReadRecordAt(i, nullptr);
      if (std::string(nameField.Text(views.GetRecordBuffer()).c_str()) != name) continue;
      views.CreateElement(views.RecordIdAt(i), plat::RECT{x, 0, x + 60, 60},
                          app_->DocumentWindow()->TopCanvas());
      return;
    }
    ADD_FAILURE() << "no top view " << name;
  }
  // A line the user adds, with its panel's words and amounts.
  static void AddLine(int32_t type, const char16_t* words, double pieces, double price, float percent) {
    zelvproCalculatorFil& lines = *PriceListTable();
    lines.BeginAccess();
    lines.ClearRecordBuffer(nullptr);
    lines.SetFieldValue(Line::kType, ppParameter(type), nullptr);
    lines.SetFieldValue(Line::kOtherText, ppParameter(words), nullptr);
    lines.SetFieldValue(Line::kPieces, ppParameter(pieces), nullptr);
    lines.SetFieldValue(Line::kPrice, ppParameter(ppMoney::FromRaw(int64_t(price * ppMoney::kScale))),
                        nullptr);
    lines.SetFieldValue(lines.IndexOf("discountPct"), ppParameter(percent), nullptr);
    lines.InsertRecordAt(-1, nullptr);
    lines.SaveToBlob();
  }

  // Prints the price list in one job on A4 of `orientation` (1 upright, 2 turned); answers the log and
  // the paper's width in pixels.
  PageLog Print(int32_t orientation, int32_t& paperWidth) {
    zelvproCalculatorList* pane = zelvproCalculatorList::Current();
    PageLog log;
    if (pane == nullptr) return log;
    pane->SetPrintRecorder(&log);
    plat::PrinterSetup setup;
    setup.orientation = orientation;
    setup.output = (demo_.Root() / "list.pdf").string();
    plat::HDC printer = plat::CreatePrinterDC(setup);
    paperWidth = plat::PrinterOf(printer)->PageWidth();
    apptest::PrintEveryPage(printer, *app_->DocumentWindow()->EditorCanvasView()->Editor()->EditorScroller());
    pane->SetPrintRecorder(nullptr);
    return log;
  }
  // Where the words of `t` stand: the text measured in its font and placed in its rectangle by its
  // alignment, from the rectangle's top.
  static plat::RECT Ink(ppDC& dc, const PageLog::Printed& t) {
    dc.RestoreFont();
    dc.SetFont(Vcon::String("Arial"), t.height, t.bold ? 1 : 0, 0);
    dc.SelectFont();
    plat::RECT m{0, 0, t.r.right - t.r.left, 0};
    dc.MeasureText(t.text, &m, t.flags & ~uint32_t(plat::DT_RIGHT | plat::DT_CENTER));
    dc.RestoreFont();
    const int32_t w = m.right - m.left, h = m.bottom - m.top;
    int32_t left = t.r.left;
    if ((t.flags & plat::DT_RIGHT) != 0) left = t.r.right - w;
    if ((t.flags & plat::DT_CENTER) != 0) left = (t.r.left + t.r.right - w) / 2;
    return {left, t.r.top, left + w, t.r.top + h};
  }
  static bool Meet(const plat::RECT& a, const plat::RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
  }
};

TEST_F(PriceListPrintPagesTest, TheSidePicturesStandInTheMarginsAndNoTextMeetsThem) {
  Start();
  Place("B40", 0);
  Place("W60", 100);
  Place("D60", 200);
  AddLine(Line::kItemService, u"Fitting", 2, 150, 0);
  AddLine(Line::kTextLine, u"Delivered on Monday", 0, 0, 0);
  AddLine(Line::kDiscountLine, u"Loyalty", 0, 0, -10);
  AddLine(Line::kSubtotalLine, u"Sum so far", 0, 0, 0);
  AddLine(Line::kVatLine, u"VAT 25 %", 0, 0, 25);
  // Showing the calculation view rebuilds the list from the plan.
  app_->DocumentWindow()->ViewBar()->SelectViewByIndex(5);
  plat::HeadlessDriver::RunUntilIdle();
  ASSERT_NE(zelvproCalculatorList::Current(), nullptr);

  plat::PrinterSetup measuring;
  measuring.output = (demo_.Root() / "measure.pdf").string();
  plat::HDC measurer = plat::CreatePrinterDC(measuring);
  auto dc = std::make_unique<ppDC>(measurer);
  // The list's margins: 20 mm at the left, 10 mm at the right.
  const float perMm = float(plat::kPrinterDotsPerInch) / 25.4f;
  for (const bool sheet : {false, true})
    for (const int32_t orientation : {1, 2}) {
      SCOPED_TRACE(std::string(sheet ? "item sheet" : "list") +
                   (orientation == 1 ? ", upright" : ", turned"));
      iShellServices::Current().SetAlternativePriceLayout(sheet);
      int32_t paperWidth = 0;
      const PageLog log = Print(orientation, paperWidth);
      iShellServices::Current().SetAlternativePriceLayout(false);
      ASSERT_GE(log.page, 2);
      // Every page has its side picture, the item sheet its logo too.
      ASSERT_EQ(log.pictures.size(), size_t(log.page) * (sheet ? 2 : 1));
      for (const auto& [page, r] : log.pictures) {
        const bool right = r.left > paperWidth / 2;
        SCOPED_TRACE(std::to_string(page) + (right ? " right" : " left"));
        if (!sheet) {
          EXPECT_FALSE(right) << "the list layout's picture stands at the left";
        }
        EXPECT_GT(r.right - r.left, 0);
        if (right) {
          EXPECT_GE(float(r.left), float(paperWidth) - 10 * perMm) << "inside the right margin";
        } else {
          EXPECT_LE(float(r.right), 20 * perMm) << "inside the left margin";
        }
        for (const PageLog::Printed& t : log.texts)
          if (t.page == page) {
            EXPECT_FALSE(Meet(Ink(*dc, t), r)) << Vcon::Utf8FromUtf16(t.text);
          }
      }
    }
  dc.reset();
  plat::DeletePrinterDC(measurer);
}

}  // namespace
