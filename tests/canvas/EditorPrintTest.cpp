// The editor scroller's printing on the platform printer (A4 landscape, 300 dpi; PNG pages read back):
// the elevation print, each view mode, the merged plan layout, the DXF dump beside the direct plan
// print, the raster plan with its outline layer, and the view bitmap read back byte by byte.
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "calculation/zelvproCalculatorFil.h"
#include "calculation/zelvproCalculatorList.h"
#include "canvas/editor/iEditorListPrint.h"
#include "canvas/editor/zelvproEditor.h"
#include "canvas/editor/zelvproEditorScroller.h"
#include "canvas/tasks/CanvasTaskFactory.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/base/qxPrintPictures.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/topview/iPrintSettings.h"
#include "elements/topview/zelvproTopViewElement.h"
#include "foundation/FileRecord.h"
#include "foundation/UserPreferences.h"
#include "framework/AdornerTestPictures.h"
#include "framework/ppDC.h"
#include "framework/ppPicture.h"
#include "framework/ppWindow.h"
#include "platform/HeadlessDriver.h"
#include "platform/LayerClock.h"
#include "platform/PngFile.h"
#include "platform/Printing.h"
#include "room/RoomTestSupport.h"
#include "room/qxNewRoomCanvas.h"
#include "scene3d/dxf/DxfWriter.h"
#include "scene3d/panes/qxEditorViews.h"
#include "scene3d/panes/qxPrintPage.h"

namespace {

namespace fs = std::filesystem;
using V = ppVector3;

// A plan element that records the page fields it is printed with and covers a box for the bounds.
class Probe : public zelvproElement {
 public:
  Probe(ppView* parent, std::unique_ptr<zelvproShape> box)
      : zelvproElement(0, parent, plat::RECT{0, 0, 10, 10}, nullptr, 0, 0) {
    outlines = std::move(box);
  }
  void PrintContent(ppDC& /*dc*/, int32_t page) override {
    printed.push_back(iPrintSettings::Current().PageFields(page));
  }
  std::vector<PrintPageFields> printed;
};

class ScaleSettings : public iPrintSettings {
 public:
  int32_t DrawingScale() override { return scale; }
  int32_t scale = 0;
};

// A price list of `pages` pages.
class ListDouble : public iEditorListPrint {
 public:
  void PreparePrint(qxPrintPage& page, int32_t kind) override {
    kinds.push_back(kind);
    page.image = plat::RECT{1, 2, 3, 4};
  }
  bool PrintPage(ppDC&, qxPrintPage& page) override {
    EXPECT_EQ(page.image.right, 3);
    return ++printed < pages;
  }
  int32_t pages = 3, printed = 0;
  std::vector<int32_t> kinds;
};

// Records the elevation pictures asked for and the page scale answered meanwhile; no picture.
class PictureRecorder : public qxPrintPictures {
 public:
  qxPictureResult Plan(qxPictureItem*, std::vector<qxPictureMark>*, const plat::RECT&) override { return {}; }
  qxPictureResult Group(qxPictureItem*, const plat::RECT& target) override {
    targets.push_back(target);
    scales.push_back(iPrintSettings::Current().PageFields(1).pixelsPerMillimetre);
    return {};
  }
  std::vector<plat::RECT> targets;
  std::vector<float> scales;
};

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The DXF text as (code, value) pairs with the values' blanks trimmed.
std::vector<std::pair<int32_t, std::string>> DxfPairs(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::pair<int32_t, std::string>> out;
  std::string code, value;
  while (std::getline(in, code) && std::getline(in, value)) {
    value.erase(0, value.find_first_not_of(' '));
    out.emplace_back(std::stoi(code), value);
  }
  return out;
}

class EditorPrintTest : public roomtest::RoomTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    RoomTest::SetUp();
    plat::LayerClock::SetManual(100'000);
    Preferences().unitSystem = kUnitMillimetres;
    iApplicationSettings::Install(&settings_);
    iPrintSettings::Install(&print_);
    CanvasTaskFactory::InstallDefault();
    app_ = std::make_unique<adorner_tests::TestApplication>();
    window_ = new ppWindow();
    hwnd_ = adorner_tests::MakeObjectWindow(window_, 900, 700);
    editor_ = new zelvproEditor(window_, plat::RECT{0, 0, 800, 600}, db_);
    host_.topCanvas = Scroller().TopCanvas();
    host_.newRoomCanvas = Scroller().NewRoomCanvas();
    host_.pictures = &pictures_;
    // The process id keeps two build trees running this test at once out of each other's folder.
    dir_ = fs::path(::testing::TempDir()) / (std::string("editor-print-") + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    DxfWriter::SetOutputPath(Vcon::WString((dir_ / "dump.dxf").string().c_str()));
  }
  void TearDown() override {
    DxfWriter::SetOutputPath(Vcon::WString());
    host_.topCanvas = host_.newRoomCanvas = nullptr;
    host_.pictures = nullptr;
    delete editor_;
    delete window_;
    app_.reset();
    iPrintSettings::Install(nullptr);
    iApplicationSettings::Install(nullptr);
    RoomTest::TearDown();
    fs::remove_all(dir_);
    plat::HeadlessDriver::Reset();
  }

  zelvproEditorScroller& Scroller() { return *editor_->EditorScroller(); }
  zelvproTopCanvas& Top() { return *Scroller().TopCanvas(); }
  qxNewRoomCanvas& Room() { return *Scroller().NewRoomCanvas(); }

  void Walls(float x0, float z0, float x1, float z1) {
    const V corners[] = {V(x0, 0, z0), V(x1, 0, z0), V(x1, 0, z1), V(x0, 0, z1)};
    for (int32_t i = 0; i < 4; ++i) MakeSegment(corners[i], corners[(i + 1) % 4], &Room());
    Room().DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
    plat::HeadlessDriver::RunUntilIdle();
  }
  std::unique_ptr<zelvproShape> Box(float x0, float z0, float x1, float z1) {
    return Outline(*db_, {x0, z0, x1, z0, x1, z1, x0, z1});
  }
  // A unit of the plan whose outline is a 600 x 560 box at (x, z).
  zelvproTopViewElement* Unit(float x, float z) {
    db_->TopViewFile().ReadRecord(topView_, nullptr);
    auto* unit = new zelvproTopViewElement(topView_, &Top(), plat::RECT{0, 0, 10, 10},
                                           db_->TopViewFile().GetRecordBuffer(), db_->ShapeFile());
    unit->outlines = Outline(*db_, {0, 0, 600, 0, 600, 560, 0, 560});
    unit->dimensions = V(600, 720, 560);
    unit->SetPosition(V(x, 0, z));
    return unit;
  }

  // One job on A4 landscape at 300 dpi through the scroller's print; answers the pages printed.
  int32_t PrintJob(int32_t stopAfter = 20) {
    plat::PrinterSetup setup;
    setup.orientation = 2;
    setup.output = (dir_ / "job.pdf").string();
    setup.pngFolder = dir_.string();
    plat::HDC printer = plat::CreatePrinterDC(setup);
    EXPECT_NE(printer, nullptr);
    plat::DOCINFOA info;
    info.cbSize = plat::kDocInfoSize;
    EXPECT_GT(plat::StartDocA(printer, &info), 0);
    int32_t pages = 0;
    bool more = true;
    while (more && pages < stopAfter) {
      EXPECT_GT(plat::StartPage(printer), 0);
      {
        ppDC dc(printer);
        more = Scroller().Print(dc, ++pages) != 0;
      }
      EXPECT_GT(plat::EndPage(printer), 0);
    }
    if (more) {
      plat::AbortDoc(printer);
    } else {
      EXPECT_GT(plat::EndDoc(printer), 0);
    }
    plat::DeletePrinterDC(printer);
    return pages;
  }
  std::unique_ptr<plat::Surface> Png(int32_t page) {
    return plat::ReadPng((dir_ / ("page-" + std::to_string(page) + ".png")).string());
  }
  // The page record of that printer, laid out by `canvas`.
  qxPrintPage LaidOut(zelvproCanvas& canvas) {
    plat::PrinterSetup setup;
    setup.orientation = 2;
    setup.output = (dir_ / "layout.pdf").string();
    plat::HDC printer = plat::CreatePrinterDC(setup);
    ppDC dc(printer);
    qxPrintPage page(dc);
    canvas.LayoutPrintPage(page);
    plat::DeletePrinterDC(printer);
    return page;
  }

  iApplicationSettings settings_;
  ScaleSettings print_;
  PictureRecorder pictures_;
  std::unique_ptr<adorner_tests::TestApplication> app_;
  ppWindow* window_ = nullptr;
  plat::HWND hwnd_ = nullptr;
  zelvproEditor* editor_ = nullptr;
  fs::path dir_;
};

// ---- The elevation print and the view modes.

TEST_F(EditorPrintTest, ElevationPrintUsesItsOwnPageAndPrintsWhatTheTopCanvasAnswers) {
  Scroller().SetViewMode(qxEditorViews::kOnePlan);  // the view mode is not consulted
  Unit(0, 0);
  Unit(600, 0);
  Scroller().SetElevationPrint(true);
  EXPECT_EQ(PrintJob(), 2);  // one wall run: its page, then the plan page
  ASSERT_EQ(pictures_.targets.size(), 1u);
  // The picture of the run on the drawing rectangle (236, 415, 3389, 2242) less the measures' room.
  const plat::RECT& r = pictures_.targets[0];
  EXPECT_EQ((std::vector<int32_t>{r.left, r.top, r.right, r.bottom}),
            (std::vector<int32_t>{243, 301, 2049, 1305}));
  EXPECT_NEAR(pictures_.scales[0], 4.1342134f, 1e-5f);
}

TEST_F(EditorPrintTest, EachViewModePrintsItsOwnCanvasesAndPageCount) {
  auto* room = new Probe(&Room(), Box(0, 0, 3000, 2000));
  auto* unit = new Probe(&Top(), Box(500, 500, 1100, 1060));
  ListDouble list;
  Scroller().SetListPrint(&list);
  struct Case {
    int32_t mode;
    int32_t pages;
    size_t roomPrints, unitPrints;
  } cases[] = {
      {qxEditorViews::kOnePlan, 1, 1, 0},
      {qxEditorViews::k3DOnly, 1, 0, 0},  // no 3D pane here: a blank page
      {qxEditorViews::kPlanAnd3D, 3, 0, 0},
      {zelvproEditorScroller::kExtraViewMode, 1, 0, 0},
      {qxEditorViews::kTwoPlansLinked, 1, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    Scroller().SetViewMode(c.mode);
    room->printed.clear();
    unit->printed.clear();
    list.printed = 0;
    EXPECT_EQ(PrintJob(), c.pages);
    EXPECT_EQ(room->printed.size(), c.roomPrints);
    EXPECT_EQ(unit->printed.size(), c.unitPrints);
  }
  EXPECT_EQ(list.kinds, (std::vector<int32_t>{2, 2, 2}));
  Scroller().SetListPrint(nullptr);
}

TEST_F(EditorPrintTest, PlanWithAnEmptyTopCanvasPrintsOnTheRoomCanvasLayout) {
  auto* room = new Probe(&Room(), Box(500, 500, 4500, 3500));
  Scroller().SetViewMode(qxEditorViews::kTwoPlansLinked);
  const qxPrintPage expected = LaidOut(Room());
  EXPECT_EQ(PrintJob(), 1);
  ASSERT_EQ(room->printed.size(), 1u);
  const PrintPageFields& f = room->printed[0];
  EXPECT_EQ(f.clip.left, expected.image.left);
  EXPECT_EQ(f.clip.bottom, expected.image.bottom);
  EXPECT_FLOAT_EQ(f.pixelsPerMillimetre, expected.imageScale);
  EXPECT_FLOAT_EQ(f.origin.x, 500);
}

TEST_F(EditorPrintTest, TwoLayoutsMergeIntoTheUnionAndAScaleSettingWins) {
  auto* room = new Probe(&Room(), Box(500, 800, 4500, 3500));
  auto* unit = new Probe(&Top(), Box(300, 1000, 2000, 4000));
  Scroller().SetViewMode(qxEditorViews::kTwoPlansLinked);
  struct Case {
    int32_t scale;
    float expected;
  } cases[] = {{0, 0.0f}, {50, 0.23622048f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scale);
    print_.scale = c.scale;
    const qxPrintPage n = LaidOut(Room());
    const qxPrintPage t = LaidOut(Top());
    room->printed.clear();
    unit->printed.clear();
    EXPECT_EQ(PrintJob(), 1);
    ASSERT_EQ(unit->printed.size(), 1u);
    ASSERT_EQ(room->printed.size(), 1u);
    const PrintPageFields& f = unit->printed[0];
    EXPECT_EQ(f.clip.left, std::min(n.image.left, t.image.left));
    EXPECT_EQ(f.clip.top, std::min(n.image.top, t.image.top));
    EXPECT_EQ(f.clip.right, std::max(n.image.right, t.image.right));
    EXPECT_EQ(f.clip.bottom, std::max(n.image.bottom, t.image.bottom));
    EXPECT_FLOAT_EQ(f.origin.x, 300);
    EXPECT_FLOAT_EQ(f.origin.y, 800);
    // Fitted: the smaller of the two fits of the union's bounds (4500 + 5 - 300, 4000 + 50 - 800).
    const float fitX = (n.pageWidth - 30 * n.pixelsPerMmX) / 4205.0f;
    const float fitY = (n.pageHeight - (10 + 0 + 2 + 15 + 20) * n.pixelsPerMmY) / 3250.0f;
    EXPECT_FLOAT_EQ(f.pixelsPerMillimetre, c.scale == 0 ? std::min(fitX, fitY) : c.expected);
    EXPECT_FLOAT_EQ(room->printed[0].pixelsPerMillimetre, f.pixelsPerMillimetre);
  }
}

// ---- The DXF dump and the raster plan.

TEST_F(EditorPrintTest, TheDumpOptionLeavesADxfOfTheRoomAndOneInsertPerUnit) {
  Walls(0, 0, 3000, 2000);
  Unit(100, 100);
  Unit(1000, 100);
  Scroller().SetViewMode(qxEditorViews::kTwoPlansLinked);
  const fs::path dump = dir_ / "dump.dxf";
  // Without the option no file.
  EXPECT_EQ(PrintJob(), 1);
  EXPECT_FALSE(fs::exists(dump));

  settings_.flags2 = zelvproEditorScroller::kDxfDumpFlag;
  for (int32_t round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);  // printing again overwrites the file
    EXPECT_EQ(PrintJob(), 1);
    EXPECT_EQ(DxfWriter::Current(), nullptr);
    const auto pairs = DxfPairs(Slurp(dump));
    std::vector<std::string> layers;
    std::string section, type, table, version, title;
    int32_t roomLines = 0, inserts = 0;
    for (size_t i = 0; i < pairs.size(); ++i) {
      const auto& [code, value] = pairs[i];
      if (code == 999 && title.empty()) title = value;
      if (code == 0) type = value;
      if (type == "SECTION" && code == 2) section = value;
      if (type == "TABLE" && code == 2) table = value;
      if (code == 9 && value == "$ACADVER" && i + 1 < pairs.size()) version = pairs[i + 1].second;
      if (section == "TABLES" && table == "LAYER" && type == "LAYER" && code == 2) layers.push_back(value);
      if (section == "TABLES" && table == "LAYER" && type == "LAYER" && code == 62)
        layers.back() += ":" + value;
      if (section == "ENTITIES" && type == "LINE" && code == 8 && value == "ROOM") ++roomLines;
      if (section == "ENTITIES" && type == "INSERT" && code == 8 && value == "FURNITURE") ++inserts;
    }
    EXPECT_EQ(title, "Zelvo Demonstration");
    EXPECT_EQ(version, "AC1014");
    EXPECT_EQ(layers, (std::vector<std::string>{"0:7", "ROOM:1", "FURNITURE:2"}));
    EXPECT_EQ(roomLines, 8);  // the inner and the outer face of four walls
    EXPECT_EQ(inserts, 2);
  }
}

TEST_F(EditorPrintTest, AnUnwritableDumpLeavesThePagePrintedAndNoWriterCurrent) {
  auto* unit = new Probe(&Top(), Box(500, 500, 1100, 1060));
  Scroller().SetViewMode(qxEditorViews::kTwoPlansLinked);
  settings_.flags2 = zelvproEditorScroller::kDxfDumpFlag;
  DxfWriter::SetOutputPath(Vcon::WString((dir_ / "missing" / "dump.dxf").string().c_str()));
  EXPECT_EQ(PrintJob(), 1);
  EXPECT_EQ(unit->printed.size(), 1u);
  EXPECT_TRUE(unit->printed[0].outlinePage);  // the dump prints outlines
  EXPECT_EQ(DxfWriter::Current(), nullptr);
  EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

TEST_F(EditorPrintTest, TheRasterPlanDrawsTheUnitsThroughABitmapAndTheRoomOutlineOverIt) {
  Walls(0, 0, 3000, 2000);
  auto* unit = new Probe(&Top(), Box(500, 500, 1100, 1060));
  auto* inRoom = new Probe(&Room(), Box(200, 200, 400, 400));
  Scroller().SetViewMode(qxEditorViews::kTwoPlans);
  Top().DoCommand(zelvproTopCanvas::kTransparentCommand, -1);
  ASSERT_FALSE(Top().Transparent());
  EXPECT_EQ(PrintJob(), 1);
  // The units once, into the bitmap: its drawing rectangle starts at the bitmap's corner.
  ASSERT_EQ(unit->printed.size(), 1u);
  EXPECT_EQ(unit->printed[0].clip.left, 0);
  EXPECT_EQ(unit->printed[0].clip.top, 0);
  // The room canvas's elements too; the vector layer over the bitmap prints no element again.
  ASSERT_EQ(inRoom->printed.size(), 1u);
  EXPECT_EQ(inRoom->printed[0].clip.left, 0);
  EXPECT_FLOAT_EQ(inRoom->printed[0].pixelsPerMillimetre, unit->printed[0].pixelsPerMillimetre);
  // The plan is on the page where the room canvas lays it out.
  std::unique_ptr<plat::Surface> page = Png(1);
  ASSERT_NE(page, nullptr);
  const qxPrintPage layout = LaidOut(Room());
  int32_t dark = 0;
  for (int32_t x = layout.image.left; x < layout.image.right; ++x)
    for (int32_t y = layout.image.top; y < layout.image.bottom; ++y) dark += page->Pixel(x, y) == 0;
  EXPECT_GT(dark, 1000);
}

// ---- The view bitmap.

TEST_F(EditorPrintTest, SaveViewBitmapWritesThePlanAtOneToFiftyAndRefusesAViewWithoutBounds) {
  new Probe(&Top(), Box(500, 500, 5500, 3500));
  const fs::path file = dir_ / "view.bmp";
  ppFileSpec record(Vcon::WString(file.string().c_str()));
  Scroller().SetViewMode(qxEditorViews::kPlanAnd3D);
  EXPECT_FALSE(Scroller().SaveViewBitmap(record));
  EXPECT_FALSE(fs::exists(file));

  Scroller().SetViewMode(qxEditorViews::kTwoPlansLinked);
  ASSERT_TRUE(Scroller().SaveViewBitmap(record));
  const std::string bytes = Slurp(file);
  ASSERT_EQ(bytes.size(), 578054u);
  auto word = [&](size_t at) {
    uint32_t v = 0;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
  };
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(word(2), 578054u);
  EXPECT_EQ(word(6), 0u);
  EXPECT_EQ(word(10), 54u);
  EXPECT_EQ(word(14), 40u);
  EXPECT_EQ(word(18), 566u);
  EXPECT_EQ(word(22), 340u);
  EXPECT_EQ(word(26) & 0xFFFF, 1u);
  EXPECT_EQ(word(26) >> 16, 24u);
  EXPECT_EQ(word(30), 0u);
  EXPECT_EQ(word(34), 578000u);  // 340 rows of 1700 bytes
  // A white picture with the unit's outline on it.
  size_t white = 0;
  for (size_t i = 54; i < bytes.size(); ++i) white += uint8_t(bytes[i]) == 255;
  EXPECT_GT(white, 500000u);
  EXPECT_LT(white, 578000u);
}

TEST_F(EditorPrintTest, SaveViewBitmapOfAnEmptyPlanWritesNothing) {
  const fs::path file = dir_ / "empty.bmp";
  ppFileSpec record(Vcon::WString(file.string().c_str()));
  for (int32_t mode : {qxEditorViews::kTwoPlansLinked, qxEditorViews::kOnePlan}) {
    Scroller().SetViewMode(mode);
    EXPECT_FALSE(Scroller().SaveViewBitmap(record)) << mode;
  }
  EXPECT_FALSE(fs::exists(file));
}

TEST_F(EditorPrintTest, TheBitmapPageCoversTheModelAreaAtOneToFiftyAnd144Dpi) {
  const qxPrintPage page(ppVector2(500, 500), ppVector2(5500, 3500));
  EXPECT_EQ(page.image.right, 566);
  EXPECT_EQ(page.image.bottom, 340);
  EXPECT_FLOAT_EQ(page.imageScale, 5.6692915f / 50);
  EXPECT_FLOAT_EQ(page.pixelsPerMmX, page.pageWidth / 5000);
  EXPECT_FLOAT_EQ(page.textScale, 2.0f);
  EXPECT_FLOAT_EQ(page.zero[0], 500);
  EXPECT_FLOAT_EQ(page.leftMargin + page.rightMargin + page.topMargin + page.footerHeight, 0);
  EXPECT_EQ((std::vector<int32_t>{page.options[0], page.options[1], page.options[2], page.options[3],
                                  page.options[4]}),
            (std::vector<int32_t>{0, 0, 1, 0, 0}));
  EXPECT_EQ(page.spare2[0], 1);
}

}  // namespace

// View 2012 without a list handed over prints the document's price list pane: every page of it in
// one call, as many PDF pages as its footers count.
TEST_F(EditorPrintTest, ThePlanAnd3DViewPrintsThePriceListPaneOnAllItsPages) {
  auto* pane = new zelvproCalculatorList(window_, plat::RECT{0, 0, 600, 400}, *db_);
  zelvproCalculatorFil& table = pane->LineFile();
  table.BeginAccess();
  for (int32_t i = 0; i < 25; ++i) {
    table.ClearRecordBuffer(nullptr);
    table.SetFieldValue(zelvproCalculatorFil::kType, ppParameter(zelvproCalculatorFil::kItemService),
                        nullptr);
    table.SetFieldValue(zelvproCalculatorFil::kRecordId, ppParameter(i + 1), nullptr);
    table.InsertRecordAt(-1, nullptr);
  }
  table.SaveToBlob();
  pane->ShowLastLine();
  Scroller().SetViewMode(qxEditorViews::kPlanAnd3D);
  EXPECT_EQ(PrintJob(), 1) << "one call prints every page";
  // A4 landscape at 300 dpi: the list's rows of 96 × 11.81 / 2.857 device pixels below a header one and
  // a half rows high, 3 a page; 25 lines: 9 pages.
  EXPECT_EQ(pane->PrintRowsPerPage(), 3);
  EXPECT_EQ(pane->PrintPageCount(), 9);
  int32_t pngs = 0;
  for (const auto& entry : fs::directory_iterator(dir_))
    if (entry.path().extension() == ".png") ++pngs;
  EXPECT_EQ(pngs, 9);
  EXPECT_TRUE(fs::exists(dir_ / "job.pdf"));
}
