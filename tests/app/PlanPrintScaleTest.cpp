// The demo plan printed from the plan view as a user prints it (Print, a scale chosen in the scale
// box, OK in the print dialog), at 1:50, at a quarter inch to the foot in inch mode and fitted to the
// paper: the page's plan measures the chosen scale (the room's 4150 mm outer width is 83 mm on paper
// at 1:50) and its header names the scale, "Fit To Paper" only when fitted; the pages are of the paper
// chosen in Print Setup.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <utility>
#include <memory>
#include <string>
#include <vector>

#include "canvas/editor/zelvproViewBar.h"
#include "canvas/window/zelvproWindow.h"
#include "controls/PrintScaleChoice.h"
#include "controls/zelvproInchScaleDialog.h"
#include "controls/zelvproMetricScaleDialog.h"
#include "foundation/TextsById.h"
#include "foundation/UserPreferences.h"
#include "framework/ppDC.h"
#include "framework/ppPrintingAbortDialog.h"
#include "platform/CommonDialogs.h"
#include "platform/Controls.h"
#include "platform/HeadlessDriver.h"
#include "platform/PngFile.h"
#include "platform/Printer.h"
#include "platform/Printing.h"
#include "platform/TextLog.h"
#include "platform/WindowApi.h"
#include "StartedProgram.h"
#include "support/PrintedPage.h"

namespace {

namespace fs = std::filesystem;

// The demo room's walls: centre lines 4000 mm apart across, 150 mm thick.
constexpr float kOuterWidthMm = 4150.0f;
constexpr float kDotsPerMm = float(plat::kPrinterDotsPerInch) / 25.4f;

// The first page's MediaBox of a PDF file: its width and height in points.
std::pair<double, double> PdfPageSize(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  const std::string pdf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const size_t at = pdf.find("/MediaBox");
  if (at == std::string::npos) return {0, 0};
  double box[4] = {};
  std::istringstream numbers(pdf.substr(pdf.find('[', at) + 1, 80));
  for (double& value : box) numbers >> value;
  return {box[2] - box[0], box[3] - box[1]};
}

class PlanPrintScaleTest : public apptest::StartedProgramTest {
 protected:
  void SetUp() override {
    StartedProgramTest::SetUp();
    dir_ = fs::path(::testing::TempDir()) / ("plan-scale-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    plat::RecordDrawnTexts(false);
    plat::ClearDrawnTextLog();
    StartedProgramTest::TearDown();
    fs::remove_all(dir_);
  }

  // Print as the menu sends it: the scale box answered with `radio` and OK, the print dialog with
  // OK and the file `pdf`. Answers the header's scale line the job printed.
  std::u16string PrintThroughTheBoxes(int32_t radio, const fs::path& pdf) {
    plat::HeadlessDriver::SetIdleScript([&] {
      const plat::HWND box = plat::GetActiveWindow();
      if (box == nullptr || box == app_->Frame() || box == ppPrintingAbortDialog::Instance().Window())
        return false;
      if (plat::GetDlgItem(box, controls::kFitToPaperItem) != nullptr) {
        plat::SendMessageA(plat::GetDlgItem(box, radio), plat::BM_CLICK, 0, 0);
        return plat::PostMessageA(box, plat::WM_COMMAND, plat::IDOK, 0) != 0;
      }
      if (plat::GetDlgItem(box, plat::kPrintFileItem) != nullptr) {
        plat::SetDlgItemTextA(box, plat::kPrintFileItem, pdf.string().c_str());
        return plat::PostMessageA(box, plat::WM_COMMAND, plat::IDOK, 0) != 0;
      }
      return plat::PostMessageA(box, plat::WM_COMMAND, plat::IDCANCEL, 0) != 0;
    });
    plat::ClearDrawnTextLog();
    plat::RecordDrawnTexts(true);
    Send(zelvproWindow::kPrint);
    plat::RecordDrawnTexts(false);
    plat::HeadlessDriver::SetIdleScript(CancelActiveWindow);
    const std::u16string caption = TextById(6302, "6199").c_str();
    for (const plat::TextLogRecord& text : plat::DrawnTextLog())
      if (text.text.rfind(caption, 0) == 0) return text.text;
    return u"(no scale line)";
  }

  // The window's page as the print job asks it, on A4 turned at 300 dpi, read back.
  std::unique_ptr<plat::Surface> PrintedPage(const std::string& name) {
    plat::PrinterSetup setup;
    setup.orientation = 2;
    return testprint::PrintOnePage(setup, dir_ / name, [&](ppDC& dc) {
      EXPECT_FALSE(app_->DocumentWindow()->PrintPage(1, &dc)) << "the plan is one page";
    });
  }

  // The room's outer width on the page in millimetres of paper: from the first to the last column
  // that is dark for at least half as many rows as the darkest column (the side walls), below the
  // header band.
  static float RoomWidthOnPaper(const plat::Surface& page) {
    const int32_t top = int32_t(45.0f * kDotsPerMm);
    std::vector<int32_t> dark(size_t(page.Width()), 0);
    for (int32_t y = top; y < page.Height(); ++y)
      for (int32_t x = 0; x < page.Width(); ++x) {
        const uint32_t p = page.Pixel(x, y);
        const uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        if (r + g + b < 3 * 128) ++dark[size_t(x)];
      }
    const int32_t most = *std::max_element(dark.begin(), dark.end());
    int32_t first = -1, last = -1;
    for (int32_t x = 0; x < page.Width(); ++x)
      if (most > 0 && dark[size_t(x)] * 2 >= most) {
        if (first < 0) first = x;
        last = x;
      }
    return first < 0 ? 0.0f : float(last + 1 - first) / kDotsPerMm;
  }

  // One print at a scale chosen in the scale box: the units, the box's button, the scale the page is
  // drawn at and the header's scale line.
  struct ScaleCase {
    const char* name;
    bool metric;
    int32_t radio;
    int32_t denominator;  // 0: fitted
    const char16_t* header;
  };
  // Prints the view shown through the boxes at `c`'s scale, checks the header's scale line and the
  // file, and measures the room's outer width on the page (millimetres of paper).
  float PrintedRoomWidth(const ScaleCase& c) {
    Preferences().unitSystem = c.metric ? kUnitMillimetres : kUnitImperial;
    ApplyDerivedSettings();
    const fs::path pdf = dir_ / (std::string(c.name) + ".pdf");
    EXPECT_EQ(Vcon::Utf8FromUtf16(PrintThroughTheBoxes(c.radio, pdf)), Vcon::Utf8FromUtf16(c.header));
    EXPECT_TRUE(fs::exists(pdf)) << "the print wrote no file";
    const std::unique_ptr<plat::Surface> page = PrintedPage(c.name);
    EXPECT_NE(page, nullptr);
    if (page == nullptr) return 0.0f;
    const float width = RoomWidthOnPaper(*page);
    std::printf("[ measured ] %s: the room's %.0f mm outer width is %.1f mm on paper\n", c.name,
                kOuterWidthMm, width);
    return width;
  }

  fs::path dir_;
};

TEST_F(PlanPrintScaleTest, ThePlanPagePrintsAtTheScaleChosenInTheBoxAndItsHeaderNamesIt) {
  StartOnThePlan();
  app_->DocumentWindow()->ViewBar()->SelectViewById(zelvproViewBar::kTopColourView);
  plat::HeadlessDriver::RunUntilIdle();
  ASSERT_EQ(CurrentView(), zelvproViewBar::kTopColourView);

  const ScaleCase cases[] = {
      {"one-to-fifty", true, zelvproMetricScaleDialog::kOneTo50, 50, u"Scale: 1:50"},
      {"quarter-inch", false, zelvproInchScaleDialog::kQuarterInch, 48, u"Scale: 1/4\" Scale"},
      {"fitted", true, zelvproMetricScaleDialog::kFitToPaper, 0, u"Scale: Fit To Paper"},
  };
  float fitted = 0.0f;
  for (const ScaleCase& c : cases) {
    SCOPED_TRACE(c.name);
    const float width = PrintedRoomWidth(c);
    EXPECT_EQ(app_->DocumentWindow()->DrawingScale(), c.denominator);
    if (c.denominator > 0) {
      EXPECT_NEAR(width, kOuterWidthMm / float(c.denominator), 0.5f);
    } else {
      fitted = width;
    }
  }
  // Fitted to A4 turned, the room is drawn far larger than at 1:50.
  EXPECT_GT(fitted, 1.5f * kOuterWidthMm / 50.0f);
}

TEST_F(PlanPrintScaleTest, RoomDesignPrintsTheRoomsOutlineUnderItsHeaderAtEachScale) {
  StartOnThePlan();
  app_->DocumentWindow()->ViewBar()->SelectViewById(zelvproViewBar::kRoomDesignView);
  plat::HeadlessDriver::RunUntilIdle();
  ASSERT_EQ(CurrentView(), zelvproViewBar::kRoomDesignView);

  const ScaleCase cases[] = {
      {"room-fitted", true, zelvproMetricScaleDialog::kFitToPaper, 0, u"Scale: Fit To Paper"},
      {"room-one-to-twenty", true, zelvproMetricScaleDialog::kOneTo20, 20, u"Scale: 1:20"},
      {"room-one-to-fifty", true, zelvproMetricScaleDialog::kOneTo50, 50, u"Scale: 1:50"},
      {"room-quarter-inch", false, zelvproInchScaleDialog::kQuarterInch, 48, u"Scale: 1/4\" Scale"},
  };
  for (const ScaleCase& c : cases) {
    SCOPED_TRACE(c.name);
    const float width = PrintedRoomWidth(c);
    if (c.denominator > 0) {
      EXPECT_NEAR(width, kOuterWidthMm / float(c.denominator), 0.5f);
    } else {
      // Fitted to A4 turned, the room fills most of the paper's height below the header.
      EXPECT_GT(width, 1.5f * kOuterWidthMm / 50.0f);
      EXPECT_LT(width, 297.0f);
    }
  }
}

// A retailer working in inches chooses Letter in File > Print Setup: the plan (landscape) and the
// price list (portrait) then print on 8.5 x 11 inch pages, and File > Print Setup shows Letter again
// after the program is started anew.
TEST_F(PlanPrintScaleTest, ThePaperChosenInPrintSetupIsThePageOfThePlanAndThePriceList) {
  StartOnThePlan();
  bool chosen = false;
  plat::HeadlessDriver::SetIdleScript([&] {
    const plat::HWND box = plat::GetActiveWindow();
    const plat::HWND papers = box != nullptr ? plat::GetDlgItem(box, plat::kPagePaperItem) : nullptr;
    if (papers == nullptr || chosen) return false;
    const auto all = plat::PaperSizes::All();
    for (size_t i = 0; i < all.size(); ++i)
      if (all[i].code == plat::DMPAPER_LETTER) plat::SendMessageW(papers, plat::CB_SETCURSEL, i, 0);
    chosen = true;
    return plat::PostMessageA(box, plat::WM_COMMAND, plat::IDOK, 0) != 0;
  });
  Send(zelvproWindow::kPrintSetup);
  ASSERT_TRUE(chosen) << "Print Setup showed no paper choice";

  app_->DocumentWindow()->ViewBar()->SelectViewById(zelvproViewBar::kTopColourView);
  plat::HeadlessDriver::RunUntilIdle();
  const fs::path plan = dir_ / "plan.pdf";
  PrintThroughTheBoxes(zelvproMetricScaleDialog::kOneTo50, plan);
  const auto planPage = PdfPageSize(plan);
  std::printf("[ measured ] the plan's Letter page: %.1f x %.1f pt\n", planPage.first, planPage.second);
  EXPECT_EQ(planPage, std::make_pair(792.0, 612.0)) << "11 x 8.5 inches, turned";

  app_->DocumentWindow()->ViewBar()->SelectViewById(zelvproViewBar::kItemListView);
  plat::HeadlessDriver::RunUntilIdle();
  const fs::path prices = dir_ / "prices.pdf";
  PrintThroughTheBoxes(0, prices);
  EXPECT_EQ(PdfPageSize(prices), std::make_pair(612.0, 792.0)) << "8.5 x 11 inches";

  // Started anew, the program's Print Setup shows the paper kept with the last print.
  app_.reset();
  gApplication = nullptr;
  plat::HeadlessDriver::Reset();
  StartOnThePlan();
  int16_t shown = 0;
  plat::HeadlessDriver::SetIdleScript([&] {
    const plat::HWND box = plat::GetActiveWindow();
    const plat::HWND papers = box != nullptr ? plat::GetDlgItem(box, plat::kPagePaperItem) : nullptr;
    if (papers == nullptr || shown != 0) return false;
    const auto at = plat::SendMessageW(papers, plat::CB_GETCURSEL, 0, 0);
    shown = at < 0 ? int16_t(-1) : plat::PaperSizes::All()[size_t(at)].code;
    return plat::PostMessageA(box, plat::WM_COMMAND, plat::IDCANCEL, 0) != 0;
  });
  Send(zelvproWindow::kPrintSetup);
  EXPECT_EQ(shown, plat::DMPAPER_LETTER) << "Print Setup after a restart shows another paper";
}

}  // namespace
