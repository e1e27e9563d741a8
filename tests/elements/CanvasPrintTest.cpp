// The printed page frame of the canvases: the page record read from the printer, the plan's layout
// below the header, the header's texts and places, the title block and the document's base name.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "elements/ElementTestSupport.h"
#include "elements/base/PlanAnnotation.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/topview/iPrintSettings.h"
#include "foundation/UserPreferences.h"
#include "framework/ppDC.h"
#include "platform/HeadlessDriver.h"
#include "platform/LocalDate.h"
#include "platform/Printing.h"
#include "platform/TextLog.h"
#include "scene3d/panes/i3DPaneHost.h"
#include "scene3d/panes/qxPrintPage.h"

namespace {

using eltest::Rect;

// An element whose plan extent is given.
class ExtentElement : public zelvproElement {
 public:
  ExtentElement(ppView* parent, ppVector2 low, ppVector2 high)
      : zelvproElement(0, parent, Rect(0, 0, 10, 10), nullptr, 0, 0), low_(low), high_(high) {}
  void ExtendBounds2D(ppVector2& min, ppVector2& max) override {
    min = ppVector2(std::min(min.x, low_.x), std::min(min.y, low_.y));
    max = ppVector2(std::max(max.x, high_.x), std::max(max.y, high_.y));
  }

 private:
  ppVector2 low_, high_;
};

// Records what the print settings answer while it prints.
class PrintingElement : public zelvproElement {
 public:
  explicit PrintingElement(ppView* parent) : zelvproElement(0, parent, Rect(0, 0, 10, 10), nullptr, 0, 0) {}
  int32_t Print(ppDC& /*dc*/, int32_t page) override {
    seen.push_back(iPrintSettings::Current().PageFields(page));
    return 0;
  }
  std::vector<PrintPageFields> seen;
};

class DocumentDouble : public i3DPaneHost {
 public:
  std::string path;
  bool DocumentNamed() override { return !path.empty(); }
  std::string DocumentPath() override { return path; }
  void FloorExtent(float* x, float* z) override {
    *x = 4000;
    *z = 3000;
  }
};

class SettingsDouble : public iPrintSettings {
 public:
  int32_t scale = 0;
  DocumentDouble document;
  PrintTitleFields title;
  int32_t DrawingScale() override { return scale; }
  i3DPaneHost* DocumentHost() override { return &document; }
  PrintTitleFields TitleFields() override { return title; }
};

class CanvasPrintTest : public eltest::ElementTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    ElementTest::SetUp();
    plat::PrinterSetup setup;
    setup.orientation = 2;
    printer_ = plat::CreatePrinterDC(setup);
    ASSERT_NE(printer_, nullptr);
    dc_ = std::make_unique<ppDC>(printer_);
    iPrintSettings::Install(&settings_);
    plat::SetLocalDateForTests(2026, 3, 4);
    const char* saved = std::getenv("LC_ALL");
    savedLocale_ = saved ? saved : "";
    hadLocale_ = saved != nullptr;
    setenv("LC_ALL", "C", 1);
  }
  void TearDown() override {
    if (hadLocale_) {
      setenv("LC_ALL", savedLocale_.c_str(), 1);
    } else {
      unsetenv("LC_ALL");
    }
    iPrintSettings::Install(nullptr);
    dc_.reset();
    plat::DeletePrinterDC(printer_);
    ElementTest::TearDown();
    plat::HeadlessDriver::Reset();
  }

  std::vector<plat::TextLogRecord> HeaderTexts(const qxPrintPage& page) {
    plat::ClearDrawnTextLog();
    plat::RecordDrawnTexts(true);
    zelvproCanvas::BuildPrintHeaderText(*dc_, page);
    plat::RecordDrawnTexts(false);
    return plat::DrawnTextLog();
  }

  plat::HDC printer_ = nullptr;
  std::unique_ptr<ppDC> dc_;
  SettingsDouble settings_;
  std::string savedLocale_;
  bool hadLocale_ = false;
};

TEST_F(CanvasPrintTest, PageRecordFromTheA4LandscapePrinter) {
  qxPrintPage page(*dc_);
  EXPECT_FLOAT_EQ(page.paperWidthMm, 297);
  EXPECT_FLOAT_EQ(page.paperHeightMm, 209);
  EXPECT_FLOAT_EQ(page.pageWidth, 3508);
  EXPECT_FLOAT_EQ(page.pageHeight, 2480);
  EXPECT_NEAR(page.pixelsPerMmX, 11.811448f, 1e-5f);
  EXPECT_NEAR(page.dotsPerMmX, 11.811024f, 1e-5f);
  EXPECT_NEAR(page.textScale, 4.1666665f, 1e-6f);
  EXPECT_FLOAT_EQ(page.imageScale, 1.0f);
  EXPECT_EQ(page.image.left, 0);
  EXPECT_EQ(page.image.top, 0);
  EXPECT_EQ(page.image.right, 11);
  EXPECT_EQ(page.image.bottom, 11);
  const float margins[] = {page.leftMargin, page.rightMargin,  page.topMargin,   page.bottomMargin,
                           page.headerGap,  page.headerHeight, page.footerHeight};
  const float expected[] = {20, 10, 10, 0, 5, 20, 20};
  for (size_t i = 0; i < 7; ++i) EXPECT_FLOAT_EQ(margins[i], expected[i]) << i;
  const uint8_t options[] = {0, 1, 1, 0, 0, 0};
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(page.options[i], options[i]) << i;
  EXPECT_EQ(page.morePages, 0);
  qxPrintPage copy = page;
  EXPECT_EQ(std::memcmp(&copy, &page, sizeof page), 0);
}

TEST_F(CanvasPrintTest, LayoutFitsThePlanOrUsesTheDrawingScale) {
  eltest::RecordingCanvas canvas(Rect(0, 0, 1000, 1000));
  qxPrintPage page(*dc_);
  canvas.LayoutPrintPage(page);
  EXPECT_FLOAT_EQ(page.imageScale, 1.0f);
  EXPECT_EQ(page.image.left, 0);
  EXPECT_EQ(page.image.right, 0);
  EXPECT_EQ(page.image.bottom, 0);

  new ExtentElement(&canvas, ppVector2(500, 500), ppVector2(4500, 3500));
  struct Case {
    int32_t scale;
    float imageScale;
    plat::RECT rect;
  };
  // 1:20 gets a rectangle sized at 1:20: sizing it at 1:50 cut the plan off.
  const Case cases[] = {{0, 0.63026118f, {236, 533, 2761, 2456}},
                        {50, 0.23622048f, {236, 533, 1183, 1254}},
                        {20, 0.5905512f, {236, 533, 2602, 2335}}};
  for (const Case& c : cases) {
    settings_.scale = c.scale;
    qxPrintPage fresh(*dc_);
    canvas.LayoutPrintPage(fresh);
    EXPECT_NEAR(fresh.imageScale, c.imageScale, 1e-6f) << c.scale;
    EXPECT_EQ(fresh.image.left, c.rect.left) << c.scale;
    EXPECT_EQ(fresh.image.top, c.rect.top) << c.scale;
    EXPECT_EQ(fresh.image.right, c.rect.right) << c.scale;
    EXPECT_EQ(fresh.image.bottom, c.rect.bottom) << c.scale;
    EXPECT_FLOAT_EQ(fresh.zero[0], 500);
    EXPECT_FLOAT_EQ(fresh.zero[1], 500);
  }
}

TEST_F(CanvasPrintTest, HeaderPlacesItsTextsAndFallsBackToNumbers) {
  qxPrintPage page(*dc_);
  std::vector<plat::TextLogRecord> texts = HeaderTexts(page);
  ASSERT_EQ(texts.size(), 5u);
  EXPECT_EQ(texts[0].text, u"6201");
  EXPECT_EQ(texts[1].text, u"61976203");  // never saved
  EXPECT_EQ(texts[2].text, u"619803/04/26");
  EXPECT_EQ(texts[3].text.substr(0, 4), u"6199");
  EXPECT_EQ(texts[4].text, u"62004000 mm x 3000 mm");
  const int32_t left = texts[1].x;
  for (size_t i = 1; i < 5; ++i) {
    EXPECT_EQ(texts[i].height, 41) << i;
    EXPECT_EQ(texts[i].x, left) << i;
    EXPECT_EQ(texts[i].y, 148 + 41 * int32_t(i - 1)) << i;
  }
  // The heading stands 20 pixels right of the rule, which is 20 right of the widest line.
  const int32_t widest = texts[0].x - 40 - left;
  EXPECT_GT(widest, 0);
  EXPECT_EQ(left, int32_t(float(3424 - widest) - 120.0f * page.textScale));

  settings_.document.path = "C:\\plans\\kitchen.v2.qxf";
  EXPECT_EQ(HeaderTexts(page)[1].text, u"6197kitchen.v2");
}

TEST_F(CanvasPrintTest, ImperialAtOneToTwentyHasNoScaleText) {
  const uint32_t units = Preferences().unitSystem;
  Preferences().unitSystem = kUnitImperial;
  settings_.scale = 20;
  qxPrintPage page(*dc_);
  EXPECT_EQ(HeaderTexts(page)[3].text, u"6199");
  Preferences().unitSystem = units;
}

TEST_F(CanvasPrintTest, DocumentBaseNameAndPictureFit) {
  const std::pair<std::u16string, std::string> cases[] = {
      {u"C:\\a\\plan.v2.qxf", "plan"}, {u"docs/room.qxf", "room"}, {u"plain", "plain"}, {u"C:\\dir\\", ""}};
  for (const auto& [path, name] : cases) {
    std::string out = "old";
    zelvproCanvas::GetDocumentBaseName(out, Vcon::WString(path));
    EXPECT_EQ(out, name);
  }
  std::string kept = "kept";
  zelvproCanvas::GetDocumentBaseName(kept, Vcon::WString(u""));
  EXPECT_EQ(kept, "kept");

  plat::RECT box = zelvproCanvas::FitPicture(Rect(10, 20, 110, 120), 200, 100);
  EXPECT_EQ(box.left, 10);
  EXPECT_EQ(box.top, 20);
  EXPECT_EQ(box.right - box.left, 100);
  EXPECT_EQ(box.bottom - box.top, 50);
}

TEST_F(CanvasPrintTest, TitleBlockSkipsEmptyCustomerLines) {
  qxPrintPage page(*dc_);
  page.image = Rect(236, 415, 3389, 2242);
  settings_.title.customerName = "Name";
  settings_.title.customerAddress = "Street";
  plat::ClearDrawnTextLog();
  plat::RecordDrawnTexts(true);
  zelvproCanvas::PrintTitleBlock(*dc_, page);
  plat::RecordDrawnTexts(false);
  std::vector<plat::TextLogRecord> texts = plat::DrawnTextLog();
  const plat::TextLogRecord* name = nullptr;
  const plat::TextLogRecord* street = nullptr;
  for (const auto& t : texts) {
    if (t.text == u"Name") name = &t;
    if (t.text == u"Street") street = &t;
  }
  ASSERT_NE(name, nullptr);
  ASSERT_NE(street, nullptr);
  EXPECT_EQ(street->y - name->y, int32_t(page.textScale * 12.0f));
  EXPECT_EQ(street->x, name->x);
  EXPECT_EQ(name->height, int32_t(page.textScale * 11.0f));
  // The block's foot stands on the page's bottom edge (no footer gap on a fresh page).
  const int32_t boxTop = int32_t(page.pageHeight) - int32_t(20 * page.pixelsPerMmY);
  EXPECT_EQ(texts[0].y, boxTop + 3);
}

TEST_F(CanvasPrintTest, PlanMeasuresSkipHiddenOnesAndReadUpright) {
  qxPrintPage page(*dc_);
  page.image = Rect(100, 100, 1100, 900);
  page.imageScale = 1.0f;
  struct Case {
    float degrees;
    int32_t kind;
    bool hidden;
    size_t texts;
    int32_t escapement;
  };
  // A first angle of 100 degrees is past the upright limit: the text turns by 100 - 180 = -80 degrees,
  // so its font turns by 80. Every kind reads along its own line: kind 2 (a part's measure) only
  // stands nearer its wall, so 190 degrees reads as 10 and its font turns by -10.
  const Case cases[] = {{0, 1, false, 1, 0},
                        {100, 1, false, 1, 800},
                        {190, 2, false, 1, -100},
                        {45, 1, true, 0, 0},
                        {100, 2, false, 1, 800}};
  for (const Case& c : cases) {
    PlanAnnotation m;
    m.second = ppVector3(200, 0, -300);
    m.x = -1200.0;
    m.angle = c.degrees * 3.14159265f / 180.0f;
    m.kind = c.kind;
    m.hidden = c.hidden;
    plat::ClearDrawnTextLog();
    plat::RecordDrawnTexts(true);
    zelvproTopCanvas::DrawPlanMeasures(*dc_, page, {m}, 1.0f, 1.0f);
    plat::RecordDrawnTexts(false);
    std::vector<plat::TextLogRecord> texts = plat::DrawnTextLog();
    ASSERT_EQ(texts.size(), c.texts) << c.degrees;
    if (texts.empty()) continue;
    EXPECT_EQ(texts[0].text, u"1200 mm") << c.degrees;  // unsigned
    EXPECT_EQ(texts[0].height, 7) << c.degrees;
    EXPECT_NEAR(texts[0].escapement, c.escapement, 1) << c.degrees;
  }
}

TEST_F(CanvasPrintTest, ElementsPrintThroughThePageWhileTheCanvasPrints) {
  eltest::RecordingCanvas canvas(Rect(0, 0, 1000, 1000));
  auto* element = new PrintingElement(&canvas);
  qxPrintPage page(*dc_);
  page.image = Rect(236, 533, 2761, 2456);
  page.zero[0] = 500;
  page.zero[1] = 400;
  page.imageScale = 0.63f;
  plat::ClearDrawnTextLog();
  plat::RecordDrawnTexts(true);
  EXPECT_FALSE(canvas.Print(*dc_, page));
  EXPECT_FALSE(canvas.Print(*dc_, page));  // the header once per page
  plat::RecordDrawnTexts(false);
  EXPECT_EQ(plat::DrawnTextLog().size(), 5u);
  ASSERT_EQ(element->seen.size(), 2u);
  const PrintPageFields& fields = element->seen[0];
  EXPECT_EQ(fields.clip.left, 236);
  EXPECT_EQ(fields.clip.bottom, 2456);
  EXPECT_FLOAT_EQ(fields.origin.x, 500);
  EXPECT_FLOAT_EQ(fields.origin.y, 400);
  EXPECT_FLOAT_EQ(fields.pixelsPerMillimetre, 0.63f);
  EXPECT_EQ(fields.offset.x, 236);
  EXPECT_EQ(iPrintSettings::Installed(), &settings_);  // the earlier settings are back
  iPrintSettings::Install(nullptr);
  EXPECT_EQ(canvas.Print(*dc_, page), false);
  EXPECT_EQ(iPrintSettings::Installed(), nullptr);
}

// A canvas that has nothing for this page says so before anything is drawn.
class PageSkippingCanvas : public eltest::RecordingCanvas {
 public:
  using eltest::RecordingCanvas::RecordingCanvas;
  bool needed = false;
  int begun = 0;
  void PrintBegin(ppDC& /*dc*/, int32_t /*page*/) override { ++begun; }
  bool PrintNeeded(ppDC& /*dc*/, int32_t /*page*/) override { return needed; }
};

TEST_F(CanvasPrintTest, ACanvasPrintsOnlyAfterItsBeginAndWhenItIsNeeded) {
  PageSkippingCanvas canvas(Rect(0, 0, 1000, 1000));
  auto* element = new PrintingElement(&canvas);
  qxPrintPage page(*dc_);
  plat::ClearDrawnTextLog();
  plat::RecordDrawnTexts(true);
  canvas.Print(*dc_, page);
  EXPECT_EQ(canvas.begun, 1);
  EXPECT_TRUE(plat::DrawnTextLog().empty());
  EXPECT_TRUE(element->seen.empty());
  canvas.needed = true;
  canvas.Print(*dc_, page);
  plat::RecordDrawnTexts(false);
  EXPECT_EQ(canvas.begun, 2);
  EXPECT_FALSE(plat::DrawnTextLog().empty());
  EXPECT_EQ(element->seen.size(), 1u);
}

TEST_F(CanvasPrintTest, SwapIntsExchanges) {
  int32_t a = 3, b = -4;
  zelvproTopCanvas::SwapInts(a, b);
  EXPECT_EQ(a, -4);
  EXPECT_EQ(b, 3);
}

}  // namespace
