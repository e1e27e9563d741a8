// The top canvas's printed pages: the elevation measures over a run's picture, the grouping of the
// plan into wall runs, and the page sequence printed on the platform printer (PDF pages, PNG copies
// read back) with a recording double for the 3D pane's pictures.
#include <unistd.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "catalogue/records/zelvproShape3DFil.h"
#include "elements/base/qxPrintPictures.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/topview/TopViewTestSupport.h"
#include "elements/topview/iPrintSettings.h"
#include "foundation/Geometry3D.h"
#include "framework/ppDC.h"
#include "framework/ppPicture.h"
#include "platform/Gdi.h"
#include "platform/HeadlessDriver.h"
#include "platform/PngFile.h"
#include "platform/Printing.h"
#include "platform/TextLog.h"
#include "scene3d/ColorApplication.h"
#include "scene3d/panes/Shared3DContext.h"
#include "scene3d/panes/i3DPaneHost.h"
#include "scene3d/panes/qxPrintPage.h"
#include "scene3d/panes/zelvpro3DPane.h"
#include "tests/framework/TestWindow.h"
#include "tests/scene3d/PaneTestDoubles.h"

namespace {

namespace fs = std::filesystem;
using eltest::Rect;

constexpr float kQuarter = std::numbers::pi_v<float> / 2.0f;
constexpr uint32_t kPictureColour = 0x00FF00;

// A plain plan element with a place, a turn, a size and anchors.
class RunElement : public zelvproElement {
 public:
  RunElement(ppView* parent, const ppVector3& at, float turn,
             const ppVector3& size = ppVector3(600, 720, 560))
      : zelvproElement(0, parent, Rect(0, 0, 10, 10), nullptr, 0, 0) {
    position = at;
    angle = turn;
    dimensions = size;
  }
  // Links both ways, as snapping does (a deleted element unlinks itself from its partners).
  void Link(RunElement* partner, float direction) {
    SnapAnchor a;
    a.code = 1;
    a.direction = direction;
    a.partner = partner;
    snapPoints.push_back(a);
    a.code = -1;
    a.partner = this;
    partner->snapPoints.push_back(a);
  }
};

// A solid picture of `width` x `height` pixels, 24 bits, bottom-up.
std::unique_ptr<ppPicture> SolidPicture(int32_t width, int32_t height, uint32_t rgb) {
  const int32_t row = (width * 3 + 3) & ~3;
  std::vector<uint8_t> packed(size_t(40 + row * height), 0);
  plat::BITMAPINFOHEADER header{};
  header.biSize = 40;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biSizeImage = uint32_t(row * height);
  std::memcpy(packed.data(), &header, 40);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      uint8_t* p = packed.data() + 40 + y * row + x * 3;
      p[0] = uint8_t(rgb), p[1] = uint8_t(rgb >> 8), p[2] = uint8_t(rgb >> 16);
    }
  }
  return std::make_unique<ppPicture>(reinterpret_cast<const plat::BITMAPINFOHEADER*>(packed.data()));
}

// Records what the pages ask of the 3D pane and answers a solid green picture of the size asked.
class RecordingPictures : public qxPrintPictures {
 public:
  struct Call {
    bool plan;
    plat::RECT target;
    int32_t items;
    PrintPageFields fields;  // what the print settings answered meanwhile
  };
  qxPictureResult Plan(qxPictureItem* items, std::vector<qxPictureMark>* /*marks*/,
                       const plat::RECT& target) override {
    return Answer(true, items, target);
  }
  qxPictureResult Group(qxPictureItem* items, const plat::RECT& target) override {
    return Answer(false, items, target);
  }
  std::vector<Call> calls;

 private:
  qxPictureResult Answer(bool plan, qxPictureItem* items, const plat::RECT& target) {
    int32_t count = 0;
    for (qxPictureItem* item = items; item != nullptr; item = item->next) ++count;
    calls.push_back({plan, target, count, iPrintSettings::Current().PageFields(1)});
    qxPictureResult result;
    result.picture = SolidPicture(target.right - target.left, target.bottom - target.top, kPictureColour);
    result.modelWidth = 4.0f * float(target.right - target.left);
    return result;
  }
};

class NeutralSettings : public iPrintSettings {};

class TopCanvasPagesTest : public tvtest::TopViewTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    TopViewTest::SetUp();
    iPrintSettings::Install(&settings_);
    canvas_ = std::make_unique<zelvproTopCanvas>(nullptr, Rect(0, 0, 800, 600), nullptr);
    host_.pictures = &pictures_;
    // One folder per test: tests of this file run side by side in separate processes.
    dir_ = fs::path(::testing::TempDir()) /
           (std::string("top-canvas-pages-") + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    canvas_.reset();
    iPrintSettings::Install(nullptr);
    fs::remove_all(dir_);
    TopViewTest::TearDown();
    plat::HeadlessDriver::Reset();
  }

  static int32_t Add3DShape(zelvDatabase& db, int32_t flags) {
    return cattest::AddRecord(db.Shape3DFile(), {{"flags", flags | zelvproShape3DFil::kCurrentForm}});
  }

  // A top-view unit at `at`, turned by `turn`, whose parts measure along the axes of `partFlags` with
  // the unit's own size (600 wide, 720 high, 560 deep).
  zelvproTopViewElement* Unit(zelvDatabase& db, zelvproElement* parent, const ppVector3& at, float turn,
                              std::initializer_list<int32_t> partFlags) {
    zelvproTopViewElement* unit = Make(db, AddTopView(db, {{"ID", 1}}), parent);
    unit->flags = 0xE0000000u;
    unit->dimensions = ppVector3(600, 720, 560);
    unit->position = at;
    unit->StoreAngle(turn);
    unit->partTable.clear();
    for (int32_t flags : partFlags)
      unit->partTable.push_back({0, Add3DShape(db, flags | zelvproTopViewElement::kTakesElementSize), 0});
    return unit;
  }

  // Runs DrawElevationMeasures (pen scale 1, factor 1, 1 millimetre per pixel, frame (100, 100, 1100,
  // 900), origin 0) over `run`; answers the texts drawn.
  std::vector<plat::TextLogRecord> ElevationTexts(ppDC& dc, const qxViewHolder* run) {
    qxPrintPage page(dc);
    page.image = Rect(100, 100, 1100, 900);
    page.imageScale = 1.0f;
    plat::ClearDrawnTextLog();
    plat::RecordDrawnTexts(true);
    zelvproTopCanvas::DrawElevationMeasures(dc, page, run, 1.0f, 1.0f, ppVector2(0, 0));
    plat::RecordDrawnTexts(false);
    return plat::DrawnTextLog();
  }

  // One print job on A4 landscape at 300 dpi: `page` is called for every page (from 1) with a fresh
  // page record whose drawing rectangle is the elevation print's, until it answers false or
  // `stopAfter` pages were printed (then the job is aborted). Answers the pages printed.
  int32_t PrintJob(const std::function<bool(ppDC&, qxPrintPage&, int32_t)>& print, int32_t stopAfter = 100,
                   bool stretch = true) {
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    plat::PrinterSetup setup;
    setup.orientation = 2;
    setup.output = (dir_ / "job.pdf").string();
    setup.pngFolder = dir_.string();
    plat::HDC printer = plat::CreatePrinterDC(setup);
    EXPECT_NE(printer, nullptr);
    if (!stretch)
      plat::SetDCRasterCaps(printer, plat::GetDeviceCaps(printer, plat::RASTERCAPS) & ~plat::RC_STRETCHDIB);
    plat::DOCINFOA info;
    info.cbSize = plat::kDocInfoSize;
    EXPECT_GT(plat::StartDocA(printer, &info), 0);
    int32_t pages = 0;
    bool more = true;
    while (more && pages < stopAfter) {
      EXPECT_GT(plat::StartPage(printer), 0);
      {
        ppDC dc(printer);
        qxPrintPage page(dc);
        page.image = Rect(236, 415, 3389, 2242);
        more = print(dc, page, ++pages);
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
  int32_t PrintCanvas(int32_t stopAfter = 100, bool stretch = true) {
    return PrintJob(
        [&](ppDC& dc, qxPrintPage& page, int32_t n) { return canvas_->PrintNextPage(dc, page, n); },
        stopAfter, stretch);
  }
  std::unique_ptr<plat::Surface> Png(int32_t page) {
    return plat::ReadPng((dir_ / ("page-" + std::to_string(page) + ".png")).string());
  }

  NeutralSettings settings_;
  RecordingPictures pictures_;
  std::unique_ptr<zelvproTopCanvas> canvas_;
  fs::path dir_;
};

// ---- The run points of a holder and the ends of a run.

TEST_F(TopCanvasPagesTest, HolderRunPointsAndRunEnds) {
  auto* left = new RunElement(canvas_.get(), ppVector3(0, 0, 0), 0.0f);
  auto* right = new RunElement(canvas_.get(), ppVector3(600, 0, 20), 0.0f);
  auto* turned = new RunElement(canvas_.get(), ppVector3(100, 0, 200), kQuarter);
  qxViewHolder run(left, new qxViewHolder(right, nullptr, true), true);
  EXPECT_EQ(run.mark, 0);
  EXPECT_FLOAT_EQ(run.runEnd.x, 600);
  EXPECT_FLOAT_EQ(run.runEnd.z, 0);
  qxViewHolder side(turned, nullptr, true);
  EXPECT_NEAR(Distance3(side.runStart, side.runEnd), 600, 1e-3);
  EXPECT_NEAR(side.runEnd.x, 100, 1e-3);  // a quarter turn: the width runs across x

  ppVector3 start, end;
  zelvproTopCanvas::ComputeRunEnds(&run, start, end);
  // The first unit's start, brought onto the line of the far end.
  EXPECT_NEAR(start.x, 0, 1e-3);
  EXPECT_NEAR(start.z, 20, 1e-3);
  EXPECT_NEAR(end.x, 1200, 1e-3);
  EXPECT_NEAR(end.z, 20, 1e-3);
}

// ---- Elevation measures.

TEST_F(TopCanvasPagesTest, ElevationMeasureLinesStandBelowAndLeftOfThePicture) {
  zelvDatabase& db = MakeDatabase();
  auto* first = Unit(db, canvas_.get(), ppVector3(0, 0, 0), 0.0f, {0x20, 0x40});
  auto* second = Unit(db, canvas_.get(), ppVector3(600, 0, 0), 0.0f, {0x40});
  second->dimensions.y = 300;
  qxViewHolder run(first, new qxViewHolder(second, nullptr, true), true);
  run.runStart = ppVector3(50, 0, 0);
  run.Next()->runStart = ppVector3(650, 100, 0);

  const fs::path pngs = dir_;
  int32_t printed = PrintJob([&](ppDC& dc, qxPrintPage&, int32_t) {
    std::vector<plat::TextLogRecord> texts = ElevationTexts(dc, &run);
    EXPECT_EQ(texts.size(), 3u);
    for (const plat::TextLogRecord& t : texts) {
      // The width measure's font is a cell height of 7, the upright ones' a character height of 7.
      if (t.text == u"600 mm") EXPECT_EQ(t.escapement, 0);
      if (t.text == u"600 mm") EXPECT_EQ(t.height, 7);
      if (t.text == u"720 mm" || t.text == u"300 mm") EXPECT_EQ(t.escapement, -900) << t.text.size();
      if (t.text == u"720 mm" || t.text == u"300 mm") EXPECT_EQ(t.height, -7) << t.text.size();
    }
    return false;
  });
  ASSERT_EQ(printed, 1);
  std::unique_ptr<plat::Surface> png = Png(1);
  ASSERT_NE(png, nullptr);
  auto dark = [&](int32_t x, int32_t y) { return png->Pixel(x, y) != 0xFFFFFFu; };
  // The width: a line at y 910 from x 150 to 750, ticks from 905 to 915 at both ends.
  EXPECT_TRUE(dark(400, 910));
  EXPECT_FALSE(dark(400, 908));
  EXPECT_FALSE(dark(400, 912));
  for (int32_t x : {150, 750}) {
    EXPECT_TRUE(dark(x, 905)) << x;
    EXPECT_TRUE(dark(x, 914)) << x;
    EXPECT_FALSE(dark(x, 917)) << x;
  }
  // The first unit's height at x 90 (level 0) from y 900 up to 180; the second's at x 70 (level 1)
  // from 800 up to 500.
  EXPECT_TRUE(dark(90, 600));
  EXPECT_FALSE(dark(92, 600));
  EXPECT_TRUE(dark(70, 700));
  EXPECT_FALSE(dark(70, 850));
  EXPECT_TRUE(dark(86, 180));  // the top tick, 5 pixels to either side
  EXPECT_TRUE(dark(94, 180));
}

TEST_F(TopCanvasPagesTest, ElevationMeasuresPerUnitTurnHeightAndKey) {
  zelvDatabase& db = MakeDatabase();
  plat::PrinterSetup setup;
  plat::HDC printer = plat::CreatePrinterDC(setup);
  ppDC dc(printer);
  auto count = [&](zelvproElement* lead, zelvproElement* unit, int32_t escapement) {
    qxViewHolder run(lead, new qxViewHolder(unit, nullptr, true), true);
    int32_t n = 0;
    for (const plat::TextLogRecord& t : ElevationTexts(dc, &run)) n += t.escapement == escapement;
    return n;
  };
  auto* lead = Unit(db, canvas_.get(), ppVector3(0, 0, 0), 0.0f, {});
  struct Case {
    const char* what;
    ppVector3 at;
    float turn;
    std::initializer_list<int32_t> parts;
    int32_t escapement;
    int32_t texts;
  };
  const Case cases[] = {
      {"a height", ppVector3(600, 0, 0), 0.0f, {0x40}, -900, 1},
      {"raised 10.0: no height above the floor", ppVector3(600, 10.0f, 0), 0.0f, {0x40}, -900, 1},
      {"raised 10.01: its height above the floor", ppVector3(600, 10.01f, 0), 0.0f, {0x40}, -900, 2},
      {"two parts on one key", ppVector3(600, 0, 0), 0.0f, {0x40, 0x40}, -900, 1},
      {"turned 0.6 from the run", ppVector3(600, 0, 0), 0.6f, {0x20, 0x40, 0x80}, 0, 0},
      {"turned 0.6 from the run", ppVector3(600, 0, 0), 0.6f, {0x20, 0x40, 0x80}, -900, 0},
      {"a quarter turn: its depth", ppVector3(600, 0, 0), kQuarter, {0x20, 0x80}, 0, 1},
      {"a width", ppVector3(600, 0, 0), 0.0f, {0x20}, 0, 1},
  };
  for (const Case& c : cases) {
    auto* unit = Unit(db, canvas_.get(), c.at, c.turn, c.parts);
    EXPECT_EQ(count(lead, unit, c.escapement), c.texts) << c.what;
  }
  // The depth of a unit turned the other way round prints unsigned like every length.
  auto* back = Unit(db, canvas_.get(), ppVector3(600, 0, 0), kQuarter, {0x80});
  qxViewHolder run(lead, new qxViewHolder(back, nullptr, true), true);
  std::vector<plat::TextLogRecord> texts = ElevationTexts(dc, &run);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, u"560 mm");
  // Elements that are no top-view units measure nothing.
  RunElement plain(nullptr, ppVector3(), 0.0f);
  RunElement other(nullptr, ppVector3(600, 0, 0), 0.0f);
  EXPECT_EQ(count(&plain, &other, 0), 0);
  plat::DeletePrinterDC(printer);
}

// ---- Wall runs.

TEST_F(TopCanvasPagesTest, ParallelUnitsJoinTheSeedsRunWithin300) {
  for (bool snapped : {false, true}) {
    canvas_ = std::make_unique<zelvproTopCanvas>(nullptr, Rect(0, 0, 800, 600), nullptr);
    auto* seed = new RunElement(canvas_.get(), ppVector3(0, 0, 0), 0.0f);
    auto* near = new RunElement(canvas_.get(), ppVector3(1000, 0, 250), 0.0f);
    auto* nearer = new RunElement(canvas_.get(), ppVector3(2000, 0, 290), 0.0f);
    auto* far = new RunElement(canvas_.get(), ppVector3(3000, 0, 310), 0.0f);
    if (snapped) far->Link(near, 1.0f);
    canvas_->BuildElevationQueue();
    std::vector<const qxViewHolder*> runs = canvas_->QueuedRuns();
    std::vector<std::vector<zelvproElement*>> members;
    for (const qxViewHolder* run : runs) {
      members.emplace_back();
      for (const qxViewHolder* h = run; h != nullptr; h = h->Next()) members.back().push_back(h->Element());
    }
    if (snapped) {
      // Its anchor links it to a unit of the run: it joins, in front.
      ASSERT_EQ(members.size(), 1u);
      EXPECT_EQ(members[0], (std::vector<zelvproElement*>{far, nearer, near, seed}));
    } else {
      // The run built last prints first: the far one alone, then the seed's run.
      ASSERT_EQ(members.size(), 2u);
      EXPECT_EQ(members[0], (std::vector<zelvproElement*>{far}));
      EXPECT_EQ(members[1], (std::vector<zelvproElement*>{nearer, near, seed}));
    }
  }
}

TEST_F(TopCanvasPagesTest, CornerNeighboursAndUnitsWithoutSize) {
  auto* seed = new RunElement(canvas_.get(), ppVector3(0, 0, 0), 0.0f);
  auto* flat = new RunElement(canvas_.get(), ppVector3(600, 0, 0), 0.0f, ppVector3(0.4f, 0, 0.3f));
  auto* corner = new RunElement(canvas_.get(), ppVector3(5000, 0, 5000), kQuarter);
  auto* angled = new RunElement(canvas_.get(), ppVector3(9000, 0, 9000), 0.3f + kQuarter);
  new RunElement(canvas_.get(), ppVector3(-9000, 0, 9000), 3.0f, ppVector3());  // alone and without size
  seed->Link(corner, 0.0f);
  seed->Link(angled, 0.7f);
  canvas_->BuildElevationQueue();
  std::vector<const qxViewHolder*> runs = canvas_->QueuedRuns();
  // The sizeless unit's run is dropped; the others: angled, corner, and the seed's run.
  ASSERT_EQ(runs.size(), 3u);
  const qxViewHolder* seedRun = runs[2];
  std::vector<std::pair<zelvproElement*, int32_t>> got;
  for (const qxViewHolder* h = seedRun; h != nullptr; h = h->Next()) got.emplace_back(h->Element(), h->mark);
  // `flat` left the run; the square corner neighbour is drawn at its end, marked 1; the joint at
  // an angle marks the seed.
  const std::vector<std::pair<zelvproElement*, int32_t>> expected{{seed, 1}, {corner, 1}};
  EXPECT_EQ(got, expected);
  EXPECT_FALSE(seedRun->Holds(flat));
}

// ---- The page sequence.

TEST_F(TopCanvasPagesTest, OneWallRunPrintsItsElevationThenThePlan) {
  new RunElement(canvas_.get(), ppVector3(0, 0, 0), 0.0f);
  new RunElement(canvas_.get(), ppVector3(600, 0, 0), 0.0f);
  std::vector<bool> answers;
  const int32_t pages = PrintJob([&](ppDC& dc, qxPrintPage& page, int32_t n) {
    answers.push_back(canvas_->PrintNextPage(dc, page, n));
    return answers.back();
  });
  EXPECT_EQ(pages, 2);
  EXPECT_EQ(answers, (std::vector<bool>{true, false}));
  EXPECT_TRUE(fs::exists(dir_ / "job.pdf"));
  EXPECT_TRUE(fs::exists(dir_ / "page-2.png"));
  EXPECT_FALSE(fs::exists(dir_ / "page-3.png"));
  ASSERT_EQ(pictures_.calls.size(), 2u);
  // The run's picture: 7.143 pixels per paper millimetre of the rectangle left after the measures'
  // room (40 points left, 20 above and below).
  const RecordingPictures::Call& group = pictures_.calls[0];
  EXPECT_FALSE(group.plan);
  EXPECT_EQ(group.items, 2);
  EXPECT_EQ(group.target.left, 243);
  EXPECT_EQ(group.target.top, 301);
  EXPECT_EQ(group.target.right, 2049);
  EXPECT_EQ(group.target.bottom, 1305);
  // The settings answer from the page while it prints; the job's settings are back afterwards.
  EXPECT_EQ(group.fields.clip.left, 402);
  EXPECT_EQ(group.fields.clip.top, 498);
  EXPECT_EQ(group.fields.clip.bottom, 2159);
  EXPECT_EQ(iPrintSettings::Installed(), &settings_);
  EXPECT_TRUE(pictures_.calls[1].plan);
  EXPECT_EQ(pictures_.calls[1].items, 2);

  // Stretched into (402, 498, 3389, 2159).
  std::unique_ptr<plat::Surface> png = Png(1);
  ASSERT_NE(png, nullptr);
  EXPECT_EQ(png->Pixel(404, 500), kPictureColour);
  EXPECT_EQ(png->Pixel(3386, 2156), kPictureColour);
  EXPECT_EQ(png->Pixel(399, 1000), 0xFFFFFFu);
  EXPECT_EQ(png->Pixel(1000, 2162), 0xFFFFFFu);
  EXPECT_EQ(png->Pixel(1000, 495), 0xFFFFFFu);
}

TEST_F(TopCanvasPagesTest, AnEmptyPlanPrintsTwoHeaderPages) {
  plat::ClearDrawnTextLog();
  plat::RecordDrawnTexts(true);
  EXPECT_EQ(PrintCanvas(), 2);
  plat::RecordDrawnTexts(false);
  EXPECT_TRUE(pictures_.calls.empty());
  std::vector<plat::TextLogRecord> texts = plat::DrawnTextLog();
  ASSERT_EQ(texts.size(), 10u);
  EXPECT_EQ(texts[0].text, u"6201");
  EXPECT_EQ(texts[5].text, u"6201");
  // The header's frame (TL - 20, 118, 3424, 355) and its rule 20 pixels right of the widest line
  // (TL: the lines' left, W: the widest line; the heading stands 20 pixels right of the rule).
  const int32_t left = texts[1].x;
  const int32_t rule = texts[0].x - 20;
  std::unique_ptr<plat::Surface> png = Png(2);
  ASSERT_NE(png, nullptr);
  auto dark = [&](int32_t x, int32_t y) { return png->Pixel(x, y) != 0xFFFFFFu; };
  EXPECT_TRUE(dark(left - 20, 200));
  EXPECT_FALSE(dark(left - 21, 200));
  EXPECT_TRUE(dark(3423, 200));
  EXPECT_FALSE(dark(3424, 200));
  EXPECT_TRUE(dark(left + 5, 118));
  EXPECT_FALSE(dark(left + 5, 117));
  EXPECT_TRUE(dark(left + 5, 354));
  EXPECT_FALSE(dark(left + 5, 355));
  EXPECT_TRUE(dark(rule, 130));
  EXPECT_FALSE(dark(rule + 2, 130));
  EXPECT_FALSE(dark(rule - 2, 130));
}

TEST_F(TopCanvasPagesTest, NumberLabelsAreFramedWhiteBoxesWithTheNumber) {
  zelvDatabase& db = MakeDatabase();
  zelvproTopViewElement* numbered = Unit(db, canvas_.get(), ppVector3(300, 0, 200), 0.0f, {});
  zelvproTopViewElement* unnumbered = Unit(db, canvas_.get(), ppVector3(300, 0, 600), 0.0f, {});
  numbered->SetValueByName("EnumNumber", ppParameter(int32_t(3)), false);
  unnumbered->SetValueByName("EnumNumber", ppParameter(int32_t(0)), false);
  qxViewHolder chain(numbered, new qxViewHolder(unnumbered, nullptr, true), true);
  std::vector<plat::TextLogRecord> texts;
  PrintJob([&](ppDC& dc, qxPrintPage& page, int32_t) {
    page.image = Rect(100, 100, 1100, 900);
    page.imageScale = 1.0f;
    plat::ClearDrawnTextLog();
    plat::RecordDrawnTexts(true);
    zelvproTopCanvas::DrawNumberLabels(dc, page, &chain, 1.0f, 1.0f, ppVector2(0, 0), ppVector2(1, 1));
    plat::RecordDrawnTexts(false);
    texts = plat::DrawnTextLog();
    return false;
  });
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, u"3");
  EXPECT_EQ(texts[0].height, 7);
  // The label stands at the middle of the unit's far edge, 5 pixels in: (693, 850)-(707, 860).
  std::unique_ptr<plat::Surface> png = Png(1);
  ASSERT_NE(png, nullptr);
  auto black = [&](int32_t x, int32_t y) { return png->Pixel(x, y) == 0u; };
  EXPECT_TRUE(black(693, 850));
  EXPECT_TRUE(black(706, 859));
  EXPECT_TRUE(black(693, 859));
  EXPECT_FALSE(black(692, 855));
  EXPECT_FALSE(black(707, 855));
  EXPECT_FALSE(black(700, 861));
  EXPECT_EQ(png->Pixel(694, 851), 0xFFFFFFu);
  // None for the unit numbered 0, whose label would stand at (693, 1250).
  EXPECT_FALSE(black(693, 1250));
}

TEST_F(TopCanvasPagesTest, WithoutStretchingThePrinterGetsEveryTextButNoPicture) {
  zelvDatabase& db = MakeDatabase();
  Unit(db, canvas_.get(), ppVector3(0, 0, 0), 0.0f, {0x20, 0x40});
  std::vector<std::vector<plat::TextLogRecord>> logs;
  for (bool stretch : {true, false}) {
    plat::ClearDrawnTextLog();
    plat::RecordDrawnTexts(true);
    EXPECT_EQ(PrintCanvas(100, stretch), 2);
    plat::RecordDrawnTexts(false);
    logs.push_back(plat::DrawnTextLog());
    std::unique_ptr<plat::Surface> png = Png(1);
    ASSERT_NE(png, nullptr);
    EXPECT_EQ(png->Pixel(1000, 1000) == kPictureColour, stretch);
  }
  ASSERT_EQ(logs[0].size(), logs[1].size());
  EXPECT_GT(logs[1].size(), 10u);  // the headers and the measures
  for (size_t i = 0; i < logs[0].size(); ++i) {
    EXPECT_EQ(logs[0][i].text, logs[1][i].text) << i;
    EXPECT_EQ(logs[0][i].x, logs[1][i].x) << i;
  }
}

TEST_F(TopCanvasPagesTest, AJobAbortedAfterPageOneLeavesNothingToTheNext) {
  new RunElement(canvas_.get(), ppVector3(0, 0, 0), 0.0f);
  new RunElement(canvas_.get(), ppVector3(0, 0, 2000), 0.0f);
  new RunElement(canvas_.get(), ppVector3(0, 0, 4000), 0.0f);
  EXPECT_EQ(PrintCanvas(), 4);  // three runs, then the plan
  const std::vector<RecordingPictures::Call> fresh = pictures_.calls;
  EXPECT_TRUE(canvas_->QueuedRuns().empty());
  EXPECT_EQ(canvas_->PrintPass(), 0);

  pictures_.calls.clear();
  EXPECT_EQ(PrintCanvas(1), 1);
  EXPECT_EQ(canvas_->QueuedRuns().size(), 2u);  // the printed run went with its page
  pictures_.calls.clear();
  EXPECT_EQ(PrintCanvas(), 4);
  ASSERT_EQ(pictures_.calls.size(), fresh.size());
  for (size_t i = 0; i < fresh.size(); ++i) {
    EXPECT_EQ(pictures_.calls[i].plan, fresh[i].plan) << i;
    EXPECT_EQ(pictures_.calls[i].items, fresh[i].items) << i;
  }
  EXPECT_TRUE(canvas_->QueuedRuns().empty());
}

// A whole job through the real 3D pane: the run's picture shows the settings' background (grey
// here), the plan's the white it is forced to.
class PaneHost : public i3DPaneHost {
 public:
  ColorApplication* app = nullptr;
  ppFloat4 SettingsColor(int32_t id) override { return app->GetColorF(id); }
  void SetSettingsColor(int32_t id, const ppFloat4& color) override { app->colors[id] = color; }
  float RoomHeight() override { return 2500; }
};

// A real 3D pane in a 400 by 300 pixel test window, drawing for `paneHost`; null when none opened.
zelvpro3DPane* OpenPane(PaneHost& paneHost) {
  plat::Surface* surface = nullptr;
  plat::HWND frame = picture_tests::MakeTestWindow(400, 300, 0x336699, &surface);
  zelvpro3DPane::RegisterClass();
  return zelvpro3DPane::Create(frame, plat::RECT{0, 0, 400, 300}, &paneHost);
}

TEST_F(TopCanvasPagesTest, AJobThroughTheRealPanePrintsItsPictures) {
  ColorApplication app;
  app.colors[1022] = ppFloat4(0.5f, 0.5f, 0.5f, 1);
  PaneHost paneHost;
  paneHost.app = &app;
  zelvpro3DPane* pane = OpenPane(paneHost);
  ASSERT_NE(pane, nullptr);
  ASSERT_EQ(zelvpro3DPane::Current(), pane);
  host_.pictures = nullptr;
  new RunElement(canvas_.get(), ppVector3(0, 0, 0), 0.0f);
  new RunElement(canvas_.get(), ppVector3(600, 0, 0), 0.0f);
  EXPECT_EQ(PrintCanvas(), 2);
  std::unique_ptr<plat::Surface> elevation = Png(1);
  ASSERT_NE(elevation, nullptr);
  const uint32_t grey = elevation->Pixel(1900, 1300);
  EXPECT_NE(grey, 0xFFFFFFu);
  EXPECT_NEAR(int32_t(grey & 0xFF), 0x80, 2);
  EXPECT_EQ(elevation->Pixel(399, 1300), 0xFFFFFFu);  // left of the picture: room for the heights
  EXPECT_FLOAT_EQ(app.colors[1022].v[0], 0.5f);       // the plan's white put back
  EXPECT_FALSE(pane->OffscreenBusy());
  plat::DestroyWindow(pane->GetHWND());
  Shared3DContext::Delete();
}

}  // namespace

// The room behind a run as the real pane draws it: a blue block 1200 mm wide and high standing
// square behind two units 600 mm wide, from x 0 to 1200 on the floor.
class BlockPaneHost : public PaneHost {
 public:
  pane_tests::BoxElement block{9, ppVector3(600, 600, -700), 600};
  void AddRoomSceneParts(ppScene& scene) override { scene.Add(&block); }
};

TEST_F(TopCanvasPagesTest, TheElevationPagesMeasureLinesStandUnderTheUnitsAtThePicturesScale) {
  ColorApplication app;
  app.colors[1022] = ppFloat4(1, 1, 1, 1);
  BlockPaneHost paneHost;
  paneHost.app = &app;
  zelvpro3DPane* pane = OpenPane(paneHost);
  ASSERT_NE(pane, nullptr);
  host_.pictures = nullptr;
  zelvDatabase& db = MakeDatabase();
  Unit(db, canvas_.get(), ppVector3(0, 0, 0), 0.0f, {0x20, 0x40});
  Unit(db, canvas_.get(), ppVector3(600, 0, 0), 0.0f, {0x20});
  plat::ClearDrawnTextLog();
  plat::RecordDrawnTexts(true);
  EXPECT_EQ(PrintCanvas(), 2);
  plat::RecordDrawnTexts(false);
  int32_t widths = 0, heights = 0;
  for (const plat::TextLogRecord& t : plat::DrawnTextLog()) {
    widths += t.text == u"600 mm" ? 1 : 0;
    heights += t.text == u"720 mm" ? 1 : 0;
  }
  EXPECT_EQ(widths, 2);
  EXPECT_EQ(heights, 1);
  std::unique_ptr<plat::Surface> page = Png(1);
  ASSERT_NE(page, nullptr);
  auto blue = [&](int32_t x, int32_t y) {
    const uint32_t p = page->Pixel(x, y);
    return int32_t(p & 0xFF) > int32_t((p >> 16) & 0xFF) + 40;
  };
  auto dark = [&](int32_t x, int32_t y) {
    const uint32_t p = page->Pixel(x, y);
    return ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 3 * 128;
  };
  // The block on the page: its left and right edges across its middle, its top and its foot.
  int32_t left = -1, right = -1, top = -1, foot = -1;
  int32_t middle = -1;
  for (int32_t y = 0; y < page->Height() && middle < 0; y += 8)
    for (int32_t x = 0; x < page->Width() && middle < 0; x += 8)
      if (blue(x, y)) middle = y + 40;
  ASSERT_GE(middle, 0) << "the block is not in the picture";
  for (int32_t x = 0; x < page->Width(); ++x)
    if (blue(x, middle)) (left < 0 ? left : right) = x;
  for (int32_t y = 0; y < page->Height(); ++y)
    if (blue((left + right) / 2, y)) (top < 0 ? top : foot) = y;
  const float perMm = float(right + 1 - left) / 1200.0f;
  std::printf("[ measured ] the block: x %d-%d, y %d-%d px on the page, %.4f px/mm\n", left, right, top, foot,
              perMm);
  EXPECT_NEAR(float(foot + 1 - top) / 1200.0f, perMm, 0.01f * perMm);
  // The widths' line below the picture: ticks at the block's left edge, its middle (where the units
  // meet) and its right edge.
  int32_t lineRow = -1, first = -1, last = -1;
  for (int32_t y = foot + 1; y < foot + 120 && lineRow < 0; ++y) {
    int32_t count = 0;
    for (int32_t x = left - 20; x < right + 20; ++x) count += dark(x, y) ? 1 : 0;
    if (count > (right - left) / 2) lineRow = y;
  }
  ASSERT_GE(lineRow, 0) << "no width line under the picture";
  for (int32_t x = left - 40; x < right + 40; ++x)
    if (dark(x, lineRow)) (first < 0 ? first : last) = x;
  std::vector<int32_t> ticks;
  for (int32_t x = left - 40; x < right + 40; ++x)
    if (dark(x, lineRow - 8) && (ticks.empty() || x > ticks.back() + 3)) ticks.push_back(x);
  std::printf("[ measured ] the widths' line: row %d, x %d-%d, ticks", lineRow, first, last);
  for (int32_t x : ticks) std::printf(" %d", x);
  std::printf("\n");
  EXPECT_NEAR(first, left, 3);
  EXPECT_NEAR(last, right, 3);
  ASSERT_EQ(ticks.size(), 3u);
  EXPECT_NEAR(ticks[1], (left + right) / 2, 3);
  // The first unit's height left of the picture: from the floor (the block's foot) up 720 mm.
  int32_t heightColumn = -1, low = -1, high = -1;
  for (int32_t x = left - 1; x > 0 && heightColumn < 0; --x) {
    int32_t count = 0;
    for (int32_t y = top; y <= foot; ++y) count += dark(x, y) ? 1 : 0;
    if (count > int32_t(500.0f * perMm)) heightColumn = x;
  }
  ASSERT_GE(heightColumn, 0) << "no height line left of the picture";
  for (int32_t y = 0; y < page->Height(); ++y)
    if (dark(heightColumn, y)) (high < 0 ? high : low) = y;
  std::printf("[ measured ] the height's line: column %d, y %d-%d (%.0f mm)\n", heightColumn, high, low,
              float(low - high) / perMm);
  EXPECT_NEAR(low, foot, 3);
  EXPECT_NEAR(float(low - high), 720.0f * perMm, 4.0f);
  plat::DestroyWindow(pane->GetHWND());
  Shared3DContext::Delete();
}
