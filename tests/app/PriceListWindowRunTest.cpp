// The price list as a user meets it in the built program on a display (Xvfb, no window manager),
// driven through XTEST: the list scrolled to its Total, a Discount line added through the bar, the
// plan saved, opened again and printed. Where the list and the bar's buttons lie is learnt from the
// same start-up in this process, headless, on a screen of the display's size.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "WindowRunFixture.h"
#include "calculation/zelvproCalculatorButtons.h"
#include "calculation/zelvproCalculatorFil.h"
#include "calculation/zelvproCalculatorList.h"
#include "canvas/editor/zelvproViewBar.h"
#include "controls/ppConfigurator.h"
#include "controls/ppEditTextField.h"
#include "foundation/TextsById.h"
#include "framework/ppButton.h"
#include "framework/ppScrollBar.h"
#include "platform/HeadlessDriver.h"
#include "platform/PngFile.h"
#include "platform/Surface.h"

namespace {

namespace fs = std::filesystem;
using windowrun::Grab;

// The first page of a printed PDF: the printer writes each page as one picture, a Flate-compressed
// stream of RGB bytes. Null when the file holds no such picture.
std::unique_ptr<plat::Surface> FirstPdfPage(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string pdf((std::istreambuf_iterator<char>(in)), {});
  const size_t image = pdf.find("/Subtype /Image");
  if (image == std::string::npos) return nullptr;
  const size_t open = pdf.rfind("<<", image);
  const size_t stream = pdf.find("stream", image);
  if (open == std::string::npos || stream == std::string::npos) return nullptr;
  const std::string dictionary = pdf.substr(open, stream - open);
  const auto number = [&](const char* key) {
    const size_t at = dictionary.find(key);
    return at == std::string::npos ? 0 : std::atoi(dictionary.c_str() + at + std::strlen(key));
  };
  const int width = number("/Width "), height = number("/Height ");
  size_t data = pdf.find('\n', stream) + 1;
  const size_t end = pdf.find("endstream", data);
  if (width <= 0 || height <= 0 || end == std::string::npos) return nullptr;
  std::vector<unsigned char> rgb(size_t(width) * size_t(height) * 3);
  uLongf size = uLongf(rgb.size());
  if (uncompress(rgb.data(), &size, reinterpret_cast<const Bytef*>(pdf.data() + data), uLong(end - data)) !=
          Z_OK ||
      size != rgb.size())
    return nullptr;
  auto page = std::make_unique<plat::Surface>(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const unsigned char* p = &rgb[(size_t(y) * size_t(width) + size_t(x)) * 3];
      page->SetPixel(x, y, uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]);
    }
  return page;
}

class PriceListWindowRunTest : public apptest::WindowRunFixture {
 protected:
  // The edit field of the configurator's panel whose caption is `caption`, or null.
  static ppEditTextField* FieldCaptioned(const Vcon::WString& caption) {
    ppEditTextField* found = nullptr;
    std::function<void(ppView&)> walk = [&](ppView& view) {
      if (auto* field = dynamic_cast<ppEditTextField*>(&view);
          field != nullptr && field->Caption() == caption)
        found = field;
      for (int32_t i = 0; i < view.Subviews().Count(); ++i) walk(*view.Subviews().At(i));
    };
    if (ppConfigurator* host = ppConfigurator::Host()) walk(*host);
    return found;
  }

  // What the calculation view lists for the plan at `plan`, opened in this process: the lines' types,
  // the Total line's amount (raw money) and the Discount line's percentage.
  struct Listed {
    std::vector<int32_t> types;
    int64_t total = 0;
    double percent = 0;
  };
  Listed List(const fs::path& plan) {
    Start(plan.string()).DocumentWindow()->ViewBar()->SelectViewByIndex(5);
    plat::HeadlessDriver::RunUntilIdle();
    Listed listed;
    if (zelvproCalculatorList* pane = zelvproCalculatorList::Current()) {
      zelvproCalculatorFil& lines = pane->LineFile();
      for (int32_t i = 0; i < lines.GetSelectedCount(); ++i) {
        lines.GoTo(i);
        const int32_t type = lines.GetValue(zelvproCalculatorFil::kType).ToLong();
        listed.types.push_back(type);
        if (type == zelvproCalculatorFil::kTotalLine)
          listed.total = lines.GetValue(zelvproCalculatorFil::kTotal).ToMoney().Raw();
        if (type == zelvproCalculatorFil::kDiscountLine)
          listed.percent = lines.GetValueByName("discountPct").ToDouble();
      }
    }
    Stop();
    return listed;
  }
};

// On a screen too low for the demo's list: the scroll bar's thumb dragged to the bar's end scrolls the list
// to its Total, the bar's Discount button adds a line, -10 typed into its percentage takes a tenth off,
// Ctrl+S saves the plan; the program starts again on the saved plan (in the calculation view it was saved
// in), the thumb dragged down again shows the Discount line before the Total, and Ctrl+P prints the list. The
// saved plan holds the Discount line, and the printed page matches the kept one (to renew it after a
// deliberate change run with PLANNER_WRITE_FIXTURES=1 and look at tests/fixtures/app/price_list_printed.png);
// its header's date may differ by a few pixels.
TEST_F(PriceListWindowRunTest, TheListScrollsToItsTotalAndADiscountIsSavedReopenedAndPrinted) {
  ScreenSize(1280, 480);
  const fs::path plan = DemoPlan();
  const Listed listedBefore = List(plan);
  const std::vector<int32_t>& before = listedBefore.types;
  ASSERT_FALSE(before.empty());
  EXPECT_NE(std::find(before.begin(), before.end(), int32_t(zelvproCalculatorFil::kTotalLine)), before.end());
  EXPECT_EQ(std::count(before.begin(), before.end(), int32_t(zelvproCalculatorFil::kDiscountLine)), 0);

  plat::RECT list{};
  std::string discount, percent, toEnd;
  {
    zelvProApp& app = Begin();
    app.DocumentWindow()->ViewBar()->SelectViewByIndex(5);
    plat::HeadlessDriver::RunUntilIdle();
    zelvproCalculatorList* pane = zelvproCalculatorList::Current();
    zelvproCalculatorButtons* bar = zelvproCalculatorButtons::Current();
    ASSERT_NE(pane, nullptr);
    ASSERT_NE(bar, nullptr) << "the demo's flags1 have no button bar";
    ASSERT_LT(pane->VisibleLines(), int32_t(before.size()))
        << "the screen is not low enough for the list to scroll";
    list = Frame(*pane);
    list.top += zelvproCalculatorList::kHeaderHeight;
    list.right -= 20;  // the scroll bar
    // The thumb stands at the top of its track, below the upper arrow (as long as the bar is wide);
    // dragged past the bar's lower end it shows the last rows.
    const plat::RECT scrollBar = WindowInFrame(pane->VerticalBar()->Control());
    const int32_t x = (scrollBar.left + scrollBar.right) / 2;
    toEnd = "drag:" + Place(plat::POINT{x, scrollBar.top + (scrollBar.right - scrollBar.left) + 3}) + "," +
            Place(plat::POINT{x, scrollBar.bottom + 40});
    discount = Place(Frame(*bar->Button(2)));
    // The new line's panel, and in it the percentage's edit box.
    bar->DoCommand(ppButton::kPressedCommand, reinterpret_cast<intptr_t>(bar->Button(2)));
    plat::HeadlessDriver::RunUntilIdle();
    ppEditTextField* field = FieldCaptioned(TextById(8064, "discountPct"));
    ASSERT_NE(field, nullptr) << "the Discount line's panel has no percentage";
    percent = Place(WindowInFrame(field->EditControl()));
    Stop();
  }
  const fs::path documents = demo_.Root() / "documents";
  fs::create_directories(documents);
  // Two runs of the program on the plan: the second opens what the first saved.
  const std::string environment = "XDG_DOCUMENTS_DIR='" + documents.string() + "'";
  const std::string arguments = Quoted(plan);
  const windowrun::Outcome saved =
      Run({"key:F8", "grab:top.ppm", toEnd, "grab:end.ppm", "click:" + discount, "changed", "grab:added.ppm",
           "click:" + percent, "changed", "tap:minus", "tap:1", "tap:0", "tap:Return", "changed",
           "grab:reduced.ppm", "chord:Control_L+s", "close"},
          40, arguments, environment);
  ASSERT_TRUE(saved.Passed()) << saved.log;

  // End moved the rows, the Discount line showed in the list, and its percentage changed the list.
  const Grab top = Grabbed("top.ppm"), end = Grabbed("end.ppm"), added = Grabbed("added.ppm");
  ASSERT_EQ(top.width, client_.right) << saved.log;
  EXPECT_GT(Differing(top, end, list), 0) << "the scroll bar did not scroll the list";
  EXPECT_GT(Differing(end, added, list), 0) << "the new line did not show in the list";
  const Grab reduced = Grabbed("reduced.ppm");
  EXPECT_GT(Differing(added, reduced, list), 0) << "the percentage did not change the list";
  // The column captions stay where they were, however the list was scrolled when it was drawn anew.
  const plat::RECT header{list.left, list.top - zelvproCalculatorList::kHeaderHeight, list.right, list.top};
  EXPECT_EQ(Differing(top, added, header), 0) << "the captions changed with the new line";

  // The saved plan lists the Discount line the user added (with the empty line that parts it from
  // the Total), before its Total.
  const Listed listedAfter = List(plan);
  const std::vector<int32_t>& after = listedAfter.types;
  const auto discountLine =
      std::find(after.begin(), after.end(), int32_t(zelvproCalculatorFil::kDiscountLine));
  ASSERT_NE(discountLine, after.end()) << "the saved plan lost the Discount line";
  EXPECT_EQ(std::count(after.begin(), after.end(), int32_t(zelvproCalculatorFil::kDiscountLine)), 1);
  EXPECT_NE(std::find(discountLine, after.end(), int32_t(zelvproCalculatorFil::kTotalLine)), after.end());
  // -10 % takes a tenth off the Total, to the cent whatever the list shows (5.285 becomes 4.756,50).
  EXPECT_EQ(listedAfter.percent, -10.0);
  EXPECT_EQ(listedAfter.total, listedBefore.total / 10 * 9);

  // The list's pages are printed in one go, three rows each at the printer's resolution: on a busy
  // machine that takes minutes, and the run is given them. Return is pressed once, when the print
  // dialog shows: the job repaints nothing until its first page is done, and a second Return would
  // press the Cancel button of the "Printing" box. The close box is clicked until the program ends:
  // while the job runs, the "Printing" box holds the window, which ignores it.
  const windowrun::Outcome reopened =
      Run({toEnd, "grab:reopened.ppm", "chord:Control_L+p", "title:Print", "tap:Return", "closed"}, 240,
          arguments, environment);
  ASSERT_TRUE(reopened.Passed()) << reopened.log;
  // The reopened list is a line longer than before the line was added: at its end its scroll bar's
  // thumb stands elsewhere (its last rows, the Total and the note, look the same).
  const Grab again = Grabbed("reopened.ppm");
  const plat::RECT bar{list.right, list.top, list.right + 20, list.bottom};
  EXPECT_GT(Differing(end, again, bar), 0) << "the reopened list is as long as before the new line";

  // The printed page of the reopened plan, with the Discount line the first run added.
  fs::path printed;
  for (const fs::directory_entry& entry : fs::directory_iterator(documents))
    if (entry.path().extension() == ".pdf") printed = entry.path();
  ASSERT_FALSE(printed.empty()) << "nothing was printed\n" << reopened.log;
  const std::unique_ptr<plat::Surface> page = FirstPdfPage(printed);
  ASSERT_NE(page, nullptr) << printed;
  const std::string kept = std::string(PLANNER_SOURCE_DIR) + "/tests/fixtures/app/price_list_printed.png";
  const std::string actual = std::string(PLANNER_BINARY_DIR) + "/price_list_printed-actual.png";
  ASSERT_TRUE(plat::WritePng(*page, actual));
  if (std::getenv("PLANNER_WRITE_FIXTURES")) plat::WritePng(*page, kept);
  const std::unique_ptr<plat::Surface> expected = plat::ReadPng(kept);
  ASSERT_NE(expected, nullptr) << "missing " << kept << "; the page is in " << actual;
  const plat::PixelDifference diff = plat::ComparePixels(*expected, *page, 8);
  EXPECT_TRUE(diff.sameSize);
  EXPECT_LE(diff.pixels, 20000) << "first at " << diff.firstX << "," << diff.firstY << "; see " << actual;
}

}  // namespace
