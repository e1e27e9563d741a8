// The demo plan with the island set placed in the middle of the room, printed as a salesperson
// prints the full report (Print, "Full report" in the scale box, OK) and its wall runs exported as
// pictures (File > Export Wall Elevation Pictures): measured on the pages read back at 300 dpi and on
// the picture files. The plan page carries each numbered unit's label inside the unit and the walls'
// measure lines at the picture's own scale; each run's picture shows its cabinets whole, before the
// room's walls.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "PlanUnits.h"
#include "PrintJob.h"
#include "StartedProgram.h"
#include "canvas/editor/zelvproEditor.h"
#include "canvas/editor/zelvproEditorScroller.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/window/zelvproEditorCanvas.h"
#include "canvas/window/zelvproWindow.h"
#include "controls/PrintScaleChoice.h"
#include "controls/zelvproMetricScaleDialog.h"
#include "elements/base/PlanPixels.h"
#include "elements/base/iElementHost.h"
#include "elements/base/qxPrintPaneElement.h"
#include "elements/base/qxPrintPictures.h"
#include "framework/ppPicture.h"
#include "framework/ppPrintingAbortDialog.h"
#include "platform/CommonDialogs.h"
#include "platform/PngFile.h"
#include "platform/Printer.h"
#include "platform/Printing.h"
#include "platform/TextLog.h"
#include "catalogue/records/zelvproDocFil.h"
#include "room/qxNewRoomCanvas.h"

namespace {

namespace fs = std::filesystem;

constexpr float kDotsPerMm = float(plat::kPrinterDotsPerInch) / 25.4f;

bool Dark(uint32_t rgb) { return ((rgb >> 16) & 0xFF) + ((rgb >> 8) & 0xFF) + (rgb & 0xFF) < 3 * 128; }

// A 24-bit bottom-up BMP file as the export writes it: its pixels read top row first.
struct Bitmap {
  int32_t width = 0, height = 0;
  std::vector<uint8_t> bytes;
  uint32_t At(int32_t x, int32_t y) const {
    const size_t row = size_t((width * 3 + 3) & ~3);
    const size_t at = 54 + size_t(height - 1 - y) * row + size_t(x) * 3;
    return uint32_t(bytes[at + 2]) << 16 | uint32_t(bytes[at + 1]) << 8 | bytes[at];
  }
  static Bitmap Read(const fs::path& file) {
    Bitmap b;
    std::ifstream in(file, std::ios::binary);
    b.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (b.bytes.size() < 54 || b.bytes[0] != 'B' || b.bytes[1] != 'M') return Bitmap{};
    std::memcpy(&b.width, &b.bytes[18], 4);
    std::memcpy(&b.height, &b.bytes[22], 4);
    return b;
  }
};

class FullReportPrintTest : public apptest::StartedProgramTest {
 protected:
  void SetUp() override {
    StartedProgramTest::SetUp();
    dir_ = fs::path(::testing::TempDir()) / ("full-report-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "pages");
    fs::create_directories(dir_ / "pictures");
  }
  void TearDown() override {
    plat::RecordDrawnTexts(false);
    plat::ClearDrawnTextLog();
    StartedProgramTest::TearDown();
    fs::remove_all(dir_);
  }

  // The room's floor between the walls' inner faces (millimetres): x0, z0, x1, z1.
  static std::vector<float> Floor() {
    auto* room = dynamic_cast<qxNewRoomCanvas*>(iElementHost::Current().NewRoomCanvas());
    if (room == nullptr) return {0, 0, 0, 0};
    ppVector2 corners[4];
    room->ComputeBounds(corners);  // the walls' centre lines
    const ppVector2 size = room->GetFloorExtent();
    const float x0 = (corners[0].x + corners[2].x - size.x) / 2.0f;
    const float z0 = (corners[0].y + corners[2].y - size.y) / 2.0f;
    return {x0, z0, x0 + size.x, z0 + size.y};
  }
  static plat::POINT OnFloor(float fx, float fz) {
    const std::vector<float> f = Floor();
    plat::POINT at{};
    PlanPointToScreen(ppVector3(f[0] + (f[2] - f[0]) * fx, 0, f[1] + (f[3] - f[1]) * fz), at);
    return at;
  }

  // Print as the menu sends it, "Full report" chosen in the scale box and OK in the print dialog with
  // the file `pdf`; answers the pages the file holds.
  int32_t PrintFullReportThroughTheBoxes(const fs::path& pdf) {
    plat::HeadlessDriver::SetIdleScript([&] {
      const plat::HWND box = plat::GetActiveWindow();
      if (box == nullptr || box == app_->Frame() || box == ppPrintingAbortDialog::Instance().Window())
        return false;
      if (plat::GetDlgItem(box, controls::kFullReportItem) != nullptr) {
        plat::SendMessageA(plat::GetDlgItem(box, controls::kFullReportItem), plat::BM_CLICK, 0, 0);
        return plat::PostMessageA(box, plat::WM_COMMAND, plat::IDOK, 0) != 0;
      }
      if (plat::GetDlgItem(box, plat::kPrintFileItem) != nullptr) {
        plat::SetDlgItemTextA(box, plat::kPrintFileItem, pdf.string().c_str());
        return plat::PostMessageA(box, plat::WM_COMMAND, plat::IDOK, 0) != 0;
      }
      return plat::PostMessageA(box, plat::WM_COMMAND, plat::IDCANCEL, 0) != 0;
    });
    Send(zelvproWindow::kPrint);
    plat::HeadlessDriver::SetIdleScript(CancelActiveWindow);
    std::ifstream in(pdf, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    int32_t pages = 0;
    for (size_t at = text.find("/Type /Page"); at != std::string::npos; at = text.find("/Type /Page", at + 1))
      if (text.compare(at, 12, "/Type /Pages") != 0) ++pages;
    return pages;
  }

  // The same job once more on A4 turned at 300 dpi, every page read back as a PNG; the drawn texts
  // are recorded meanwhile.
  void PrintFullReportPages() {
    zelvproEditorScroller& scroller = *app_->DocumentWindow()->EditorCanvasView()->Editor()->EditorScroller();
    plat::PrinterSetup setup;
    setup.orientation = 2;
    setup.output = (dir_ / "pages.pdf").string();
    setup.pngFolder = (dir_ / "pages").string();
    scroller.SetElevationPrint(true);
    plat::ClearDrawnTextLog();
    plat::RecordDrawnTexts(true);
    apptest::PrintEveryPage(plat::CreatePrinterDC(setup), scroller);
    plat::RecordDrawnTexts(false);
    scroller.SetElevationPrint(false);
  }

  // File > Export Wall Elevation Pictures, the save dialog answered with the pictures folder and the
  // name "run".
  void ExportPictures() {
    std::u16string folder = (dir_ / "pictures").u16string() + u"/";
    for (char16_t& c : folder)
      if (c == u'/') c = u'\\';
    int32_t step = 0;
    plat::HeadlessDriver::SetIdleScript([&] {
      const plat::HWND dialog = plat::GetActiveWindow();
      if (dialog == nullptr || dialog == app_->Frame() || step > 1) return false;
      plat::SetDlgItemTextW(dialog, plat::kFileNameItem, step == 0 ? folder.c_str() : u"run");
      plat::SetFocus(plat::GetDlgItem(dialog, plat::kFileNameItem));
      plat::Desktop::Key(plat::VK_RETURN, true);
      ++step;
      return true;
    });
    Send(zelvproWindow::kExportElevationPictures);
    plat::HeadlessDriver::SetIdleScript(CancelActiveWindow);
  }

  // The full report printed on A4 turned at 300 dpi, every page read back as a PNG, the texts each
  // page drew kept apart.
  std::vector<std::vector<plat::TextLogRecord>> PrintPagesApart() {
    zelvproEditorScroller& scroller = *app_->DocumentWindow()->EditorCanvasView()->Editor()->EditorScroller();
    fs::remove_all(dir_ / "pages");
    fs::create_directories(dir_ / "pages");
    plat::PrinterSetup setup;
    setup.orientation = 2;
    setup.output = (dir_ / "pages.pdf").string();
    setup.pngFolder = (dir_ / "pages").string();
    scroller.SetElevationPrint(true);
    const plat::HDC printer = plat::CreatePrinterDC(setup);
    plat::DOCINFOA info;
    info.cbSize = plat::kDocInfoSize;
    EXPECT_GT(plat::StartDocA(printer, &info), 0);
    std::vector<std::vector<plat::TextLogRecord>> pages;
    for (bool more = true; more && pages.size() < 10;) {
      plat::ClearDrawnTextLog();
      plat::RecordDrawnTexts(true);
      EXPECT_GT(plat::StartPage(printer), 0);
      {
        ppDC dc(printer);
        more = scroller.Print(dc, int32_t(pages.size()) + 1) != 0;
      }
      EXPECT_GT(plat::EndPage(printer), 0);
      plat::RecordDrawnTexts(false);
      pages.push_back(plat::DrawnTextLog());
    }
    EXPECT_GT(plat::EndDoc(printer), 0);
    plat::DeletePrinterDC(printer);
    scroller.SetElevationPrint(false);
    return pages;
  }

  // Saves the plan under `name` beside the settings through the window's Save, and starts the program
  // again on it.
  void SaveAndReopen(const char* name) {
    const fs::path file = demo_.Root() / "user" / name;
    DocumentRecordFile->DocumentFile().path = Vcon::WString(Vcon::Utf16FromUtf8(file.string()));
    DocumentRecordFile->SetSavedOnce(true);
    Send(zelvproWindow::kSave);
    ASSERT_TRUE(fs::exists(file));
    app_.reset();
    gApplication = nullptr;
    Start(file.string());
  }

  fs::path dir_;
};

TEST_F(FullReportPrintTest, ThePlanPageLabelsEachUnitInsideItAndMeasuresTheWallsAndEachRunIsPicturedWhole) {
  StartOnThePlan();
  app_->DocumentWindow()->ViewBar()->SelectViewById(zelvproViewBar::kTopColourView);
  plat::HeadlessDriver::RunUntilIdle();
  DropFromPalette("Sets", "VH-GRP", OnFloor(0.5f, 0.6f));
  ppView& plan = *app_->DocumentWindow()->TopCanvas();
  zelvproElement* island = apptest::OnlyUnitNamed(plan, "GRP");
  ASSERT_NE(island, nullptr) << "the island set was not placed";
  const std::vector<float> floor = Floor();
  const float floorWidth = floor[2] - floor[0], floorDepth = floor[3] - floor[1];

  // Two elevation pages (the wall run, the island set), then the plan; no price list.
  EXPECT_EQ(PrintFullReportThroughTheBoxes(dir_ / "report.pdf"), 3);
  PrintFullReportPages();
  ASSERT_TRUE(fs::exists(dir_ / "pages" / "page-3.png"));
  EXPECT_FALSE(fs::exists(dir_ / "pages" / "page-4.png"));
  const std::unique_ptr<plat::Surface> page = plat::ReadPng((dir_ / "pages" / "page-3.png").string());
  ASSERT_NE(page, nullptr);

  // The floor's outline as the page shows it: the first dark pixels out from the page's middle, across
  // (no unit stands on that line) and down a column beyond the island set.
  auto firstDark = [&](int32_t x, int32_t y, int32_t dx, int32_t dy) {
    while (x > 0 && y > 0 && x < page->Width() - 1 && y < page->Height() - 1 && !Dark(page->Pixel(x, y)))
      x += dx, y += dy;
    return dx != 0 ? x : y;
  };
  const int32_t midRow = page->Height() / 2;
  const int32_t left = firstDark(page->Width() / 2, midRow, -1, 0);
  const int32_t right = firstDark(page->Width() / 2, midRow, 1, 0);
  const int32_t column = left + int32_t(0.95f * float(right - left));
  const int32_t top = firstDark(column, midRow, 0, -1);
  const int32_t bottom = firstDark(column, midRow, 0, 1);
  ASSERT_GT(right - left, 500) << "no floor on the plan page";
  const float scale = float(right - left) / floorWidth;  // page pixels per millimetre
  std::printf("[ measured ] the floor's outline: (%d, %d)-(%d, %d) px, %.4f px/mm across, %.4f down\n", left,
              top, right, bottom, scale, float(bottom - top) / floorDepth);
  EXPECT_NEAR(float(bottom - top) / floorDepth, scale, 0.005f * scale);

  // Each numbered unit's label: its number drawn inside the unit's outline on the page, on its white
  // box.
  const std::vector<plat::TextLogRecord> texts = plat::DrawnTextLog();
  int32_t labels = 0;
  for (const char* name : {"B40", "D60"}) {
    zelvproElement* unit = apptest::OnlyUnitNamed(plan, name);
    ASSERT_NE(unit, nullptr) << name;
    const int64_t number = unit->GetValueByName("EnumNumber").ToLong();
    ASSERT_GT(number, 0) << name;
    const float x0 = float(left) + (unit->position.x - floor[0]) * scale;
    const float z0 = float(top) + (unit->position.z - floor[1]) * scale;
    const float x1 = x0 + unit->dimensions.x * scale, z1 = z0 + unit->dimensions.z * scale;
    const std::u16string wanted(Vcon::Utf16FromUtf8(std::to_string(number)));
    const plat::TextLogRecord* label = nullptr;
    for (const plat::TextLogRecord& t : texts)
      if (t.text == wanted && t.y > top - 100) label = &t;
    ASSERT_NE(label, nullptr) << name << "'s number " << number << " is not printed";
    std::printf(
        "[ measured ] %s's label %lld at (%.1f, %.1f) mm on paper, its unit (%.1f, %.1f)-(%.1f, %.1f)\n",
        name, static_cast<long long>(number), float(label->x) / kDotsPerMm, float(label->y) / kDotsPerMm,
        x0 / kDotsPerMm, z0 / kDotsPerMm, x1 / kDotsPerMm, z1 / kDotsPerMm);
    EXPECT_GT(float(label->x), x0) << name;
    EXPECT_LT(float(label->x) + 20.0f, x1) << name;
    EXPECT_GT(float(label->y), z0) << name;
    EXPECT_LT(float(label->y), z1) << name;
    EXPECT_EQ(page->Pixel(label->x + 2, label->y), 0xFFFFFFu) << name << ": no white box under the number";
    ++labels;
  }
  EXPECT_EQ(labels, 2);

  // The back wall's measure line, along the units above the floor's outline: its longest unbroken
  // dark stretch as long as the floor is wide.
  int32_t lineRow = -1, lineFirst = -1, lineLast = -1;
  for (int32_t y = top - 40; y < top - 2; ++y) {
    for (int32_t x = left - 40, first = -1; x < right + 40; ++x) {
      if (!Dark(page->Pixel(x, y))) {
        first = -1;
        continue;
      }
      if (first < 0) first = x;
      if (x - first > lineLast - lineFirst) lineRow = y, lineFirst = first, lineLast = x;
    }
  }
  ASSERT_GE(lineRow, 0) << "no measure line above the units";
  std::printf(
      "[ measured ] the back wall's measure line: %d px above the floor's outline, %.1f mm long on "
      "paper (%.0f mm at the plan's %.4f px/mm), from %.1f mm\n",
      top - lineRow, float(lineLast - lineFirst) / kDotsPerMm, float(lineLast - lineFirst) / scale, scale,
      float(lineFirst) / kDotsPerMm);
  EXPECT_NEAR(float(lineLast - lineFirst), floorWidth * scale, 4.0f);
  EXPECT_NEAR(lineFirst, left, 4);
  bool lengthText = false;
  for (const plat::TextLogRecord& t : texts)
    lengthText = lengthText || (t.text == u"3850 mm" && t.escapement == 0 && t.y < lineRow);
  EXPECT_TRUE(lengthText) << "the back wall's length is not printed above its line";

  // ---- The runs' pictures: the wall run (B40, D60, W60) and the island set, one file each, named
  // without an extension.
  ExportPictures();
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(dir_ / "pictures")) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].filename(), "run");
  EXPECT_EQ(files[1].filename(), "run_2");

  // Where a run's units stand in its picture, as the pane draws it.
  struct Run {
    const char* name;
    std::vector<zelvproElement*> units;  // the base units, left to right
    std::vector<zelvproElement*> more;   // the run's other units (the wall unit above)
  };
  const std::vector<Run> runs = {{"wall run",
                                  {apptest::OnlyUnitNamed(plan, "B40"), apptest::OnlyUnitNamed(plan, "D60")},
                                  {apptest::OnlyUnitNamed(plan, "W60")}},
                                 {"island set", {island}, {}}};
  std::set<size_t> matched;
  for (const Run& run : runs) {
    std::vector<qxPrintPaneElement> elements;
    for (zelvproElement* unit : run.units) elements.emplace_back(unit);
    for (zelvproElement* unit : run.more) elements.emplace_back(unit);
    std::vector<qxPictureItem> items(elements.size());
    for (size_t i = 0; i < items.size(); ++i) {
      items[i].element = &elements[i];
      items[i].next = i + 1 < items.size() ? &items[i + 1] : nullptr;
    }
    const qxPictureResult drawn =
        iElementHost::Current().PrintPictures().Group(items.data(), {0, 0, 1024, 768});
    ASSERT_GT(drawn.modelWidth, 0.0f);
    const float perMm = 1024.0f / drawn.modelWidth;
    // The cabinets' fronts: from the first unit's left edge, on their plinth, 720 mm high.
    const int32_t x0 = int32_t(items[0].window1.x);
    float width = 0.0f;
    for (zelvproElement* unit : run.units) width += unit->dimensions.x;
    const int32_t x1 = int32_t(items[0].window1.x + width * perMm);
    const int32_t base = int32_t(items[0].window1.y);
    const int32_t cabinetTop = int32_t(items[0].window1.y - 720.0f * perMm);
    ASSERT_NE(drawn.picture, nullptr);
    const std::vector<uint8_t> bgr = drawn.picture->GetPixelsBGR();
    for (size_t f = 0; f < files.size(); ++f) {
      const Bitmap picture = Bitmap::Read(files[f]);
      ASSERT_EQ(picture.width, 1024) << files[f];
      ASSERT_EQ(picture.height, 768) << files[f];
      // The run's own file: the picture the pane draws of the run, pixel for pixel (nearly).
      int32_t same = 0, sampled = 0;
      for (int32_t y = 0; y < 768; y += 4)
        for (int32_t x = 0; x < 1024; x += 4, ++sampled) {
          const size_t at = size_t(767 - y) * 1024 * 3 + size_t(x) * 3;
          same += picture.At(x, y) == (uint32_t(bgr[at + 2]) << 16 | uint32_t(bgr[at + 1]) << 8 | bgr[at]);
        }
      if (same * 100 < sampled * 99) continue;
      const uint32_t background = picture.At(0, 0);
      int32_t shown = 0;
      for (int32_t y = 0; y < picture.height; y += 4)
        for (int32_t x = 0; x < picture.width; x += 4) shown += picture.At(x, y) != background ? 1 : 0;
      EXPECT_GT(shown, 256 * 192 / 20) << files[f] << " is blank";
      // The cabinets in each quarter of their height: most of the row's pixels neither the background
      // nor the wall behind; their handles, gaps and plinth dark.
      const uint32_t wall = picture.At((x0 + x1) / 2, cabinetTop - int32_t(150.0f * perMm));
      int32_t quarters = 0, dark = 0;
      for (int32_t q = 0; q < 4; ++q) {
        int32_t covered = 0, all = 0;
        for (int32_t y = cabinetTop + (base - cabinetTop) * q / 4 + 1;
             y < cabinetTop + (base - cabinetTop) * (q + 1) / 4; ++y)
          for (int32_t x = x0 + 2; x < x1 - 2; ++x, ++all) {
            const uint32_t p = picture.At(x, y);
            covered += p != background && p != wall ? 1 : 0;
            dark += Dark(p) ? 1 : 0;
          }
        quarters += covered * 10 >= all * 8 ? 1 : 0;
      }
      if (dark == 0) quarters = 0;
      EXPECT_EQ(quarters, 4) << run.name << " in " << files[f] << ": its cabinets are not shown whole";
      matched.insert(f);
      std::printf("[ measured ] the %s in %s: cabinets at x %d-%d, y %d-%d px, whole, %d dark pixels\n",
                  run.name, files[f].filename().c_str(), x0, x1, cabinetTop, base, dark);
      // Behind the units the room: the wall above and beside them, the floor's edge at their feet.
      EXPECT_NE(wall, background) << run.name << ": no wall above the units";
      const int32_t floorRow = int32_t(items[0].window1.y + 100.0f * perMm) - 1;
      bool floorEdge = false;
      for (int32_t x = std::max(0, x0 - 200); x < x0 - 4 && !floorEdge; ++x)
        floorEdge = picture.At(x, floorRow) != background;
      for (int32_t x = x1 + 4; x < std::min(1024, x1 + 200) && !floorEdge; ++x)
        floorEdge = picture.At(x, floorRow) != background;
      EXPECT_TRUE(floorEdge) << run.name << ": no wall or floor beside the units' feet";
    }
  }
  EXPECT_EQ(matched.size(), 2u) << "each run's picture shows its cabinets whole";
}

// The demo plan's wall run (a Base unit 40 and a Drawer unit 60 under a Wall unit 60) with a Base unit
// 60 dragged from the strip beside them, printed as the full report: the run's elevation page
// measures each unit's width under it (the wall unit's over the picture), the line as long as the
// units at the picture's own scale, measured on the page against the plinths' dark band; the same
// after the plan is saved and opened again.
TEST_F(FullReportPrintTest, TheElevationPageMeasuresEachUnitOfTheRunUnderItAlsoAfterAReopen) {
  StartOnThePlan();
  app_->DocumentWindow()->ViewBar()->SelectViewById(zelvproViewBar::kTopColourView);
  plat::HeadlessDriver::RunUntilIdle();
  ppView* plan = app_->DocumentWindow()->TopCanvas();
  zelvproElement* d60 = apptest::OnlyUnitNamed(*plan, "D60");
  ASSERT_NE(d60, nullptr);
  plat::POINT beside{};
  PlanPointToScreen(d60->position + ppVector3(d60->dimensions.x + 300.0f, 0.0f, 280.0f), beside);
  DropFromPalette("Base", "VH-B60", beside);
  ASSERT_NE(apptest::OnlyUnitNamed(*plan, "B60"), nullptr) << "the Base unit 60 was not placed";

  for (const char* when : {"placed", "reopened"}) {
    if (std::string(when) == "reopened") SaveAndReopen("measured.qxf");
    const std::vector<std::vector<plat::TextLogRecord>> pages = PrintPagesApart();
    ASSERT_EQ(pages.size(), 2u) << when << ": the run's elevation, then the plan";
    const std::unique_ptr<plat::Surface> page = plat::ReadPng((dir_ / "pages" / "page-1.png").string());
    ASSERT_NE(page, nullptr);
    // The widths measured, left to right: the base units' under the picture, the wall unit's over it.
    std::vector<plat::TextLogRecord> under, over;
    for (const plat::TextLogRecord& t : pages[0]) {
      const std::string text = Vcon::Utf8FromUtf16(t.text);
      if (t.escapement != 0 || text.size() < 4 || text.compare(text.size() - 3, 3, " mm") != 0 ||
          text.find_first_not_of("0123456789") != text.size() - 3)
        continue;
      (t.y > page->Height() / 2 ? under : over).push_back(t);
    }
    auto byX = [](const plat::TextLogRecord& a, const plat::TextLogRecord& b) { return a.x < b.x; };
    std::sort(under.begin(), under.end(), byX);
    ASSERT_EQ(under.size(), 3u) << when << ": a width under each base unit";
    ASSERT_EQ(over.size(), 1u) << when << ": the wall unit's width over the picture";
    EXPECT_EQ(under[0].text, u"400 mm");
    EXPECT_EQ(under[1].text, u"600 mm");
    EXPECT_EQ(under[2].text, u"600 mm");
    EXPECT_EQ(over[0].text, u"600 mm");

    // The longest dark stretch of row y (gaps of up to 3 pixels bridged, as where two lines meet).
    struct Stretch {
      int32_t row = -1, first = 0, last = -1;
      int32_t Length() const { return last - first; }
    };
    auto stretchAt = [&](int32_t y) {
      Stretch best;
      if (y < 0 || y >= page->Height()) return best;
      for (int32_t x = 0, first = -1, lastDark = -10; x < page->Width(); ++x) {
        if (!Dark(page->Pixel(x, y))) continue;
        if (x - lastDark > 4) first = x;
        lastDark = x;
        if (x - first > best.Length()) best = {y, first, x};
      }
      return best;
    };
    // The measure line: the longest stretch just over the texts.
    Stretch line;
    for (int32_t y = under[0].y - 20; y < under[0].y; ++y)
      if (const Stretch s = stretchAt(y); s.Length() > line.Length()) line = s;
    ASSERT_GE(line.row, 0) << when << ": no measure line over the widths";
    // The plinths: a dark band over the line in the picture, the same stretch 4 rows up and down (the
    // floor's thin edge is no band).
    Stretch plinths;
    for (int32_t y = line.row - 400; y < line.row - 4; ++y) {
      const Stretch s = stretchAt(y), up = stretchAt(y - 4), down = stretchAt(y + 4);
      const bool band = std::abs(up.first - s.first) <= 2 && std::abs(up.last - s.last) <= 2 &&
                        std::abs(down.first - s.first) <= 2 && std::abs(down.last - s.last) <= 2;
      if (band && s.Length() > plinths.Length()) plinths = s;
    }
    ASSERT_GE(plinths.row, 0) << when << ": no plinths in the picture";
    const float perMm = float(plinths.Length()) / 1600.0f;  // 400 + 600 + 600 mm of units
    std::printf(
        "[ measured ] %s: the widths' line x %d-%d px at row %d, the plinths x %d-%d px at row %d "
        "(%.4f px/mm); the texts at x %d, %d, %d, the wall unit's at (%d, %d)\n",
        when, line.first, line.last, line.row, plinths.first, plinths.last, plinths.row, perMm, under[0].x,
        under[1].x, under[2].x, over[0].x, over[0].y);
    ASSERT_GT(perMm, 0.2f) << when;
    EXPECT_NEAR(line.first, plinths.first, 4) << when;
    EXPECT_NEAR(line.last, plinths.last, 4) << when;
    // Each text starts within the left half of its unit (it is centred on the unit's line).
    const float starts[] = {0.0f, 400.0f, 1000.0f};
    const float widths[] = {400.0f, 600.0f, 600.0f};
    for (size_t i = 0; i < 3; ++i) {
      EXPECT_GT(float(under[i].x), float(line.first) + starts[i] * perMm) << when << " " << i;
      EXPECT_LT(float(under[i].x), float(line.first) + (starts[i] + widths[i] / 2.0f) * perMm)
          << when << " " << i;
    }
    // The wall unit hangs over the Base unit 40's left edge; its top stands 2100 mm over the floor.
    EXPECT_GT(float(over[0].x), float(line.first)) << when;
    EXPECT_LT(float(over[0].x), float(line.first) + 300.0f * perMm) << when;
    EXPECT_LT(float(over[0].y), float(plinths.row) - 2100.0f * perMm) << when << ": over the picture";
  }
}

}  // namespace
