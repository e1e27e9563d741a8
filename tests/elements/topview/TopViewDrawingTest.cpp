// The top-view element on screen (pixels of a memory bitmap), on a printed page (the printer's PNG
// page) and in the DXF drawing export (the real writer's file, parsed back).
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "elements/topview/TopViewTestSupport.h"
#include "elements/topview/iNumberLabelOption.h"
#include "elements/topview/iPrintSettings.h"
#include "elements/units/zelvproParametricElement.h"
#include "framework/TestCanvas.h"
#include "framework/ppApplication.h"
#include "framework/ppDC.h"
#include "platform/PngFile.h"
#include "platform/Printing.h"
#include "support/PrintedPage.h"

namespace {

using picture_tests::Canvas;
using tvtest::TopViewTest;

// Byte values that survive the drawing context's percent conversion unchanged.
const std::map<int32_t, ppRGBColor> kPlanColours = {
    {0x400, {128, 0, 0}}, {0x401, {0, 128, 0}}, {0x402, {0, 0, 192}}, {0x403, {64, 192, 64}}};

plat::COLORREF Ref(int32_t code) {
  const ppRGBColor& c = kPlanColours.at(code);
  return plat::RGB(c.red, c.green, c.blue);
}

class PlanColours : public ppApplication {
 public:
  PlanColours() : ppApplication(nullptr, nullptr) { gApplication = this; }
  ~PlanColours() override { gApplication = nullptr; }
  ppRGBColor GetColor(int32_t id) override {
    auto found = kPlanColours.find(id);
    return found != kPlanColours.end() ? found->second : ppRGBColor{255, 255, 255};
  }
};

class TestPrintSettings : public iPrintSettings {
 public:
  bool OutlineOnly() override { return outlineOnly; }
  PrintPageFields PageFields(int32_t /*page*/) override { return page; }
  bool outlineOnly = false;
  PrintPageFields page;
};

class LabelsOn : public iNumberLabelOption {
 public:
  bool IsOn() override { return on; }
  bool on = true;
};

// A top-view element whose "EnumNumber" the test sets.
class NumberedElement : public zelvproTopViewElement {
 public:
  using zelvproTopViewElement::zelvproTopViewElement;
  int32_t IndexOf(const Vcon::String& name) override {
    return name == "EnumNumber" ? kNumberIndex : zelvproTopViewElement::IndexOf(name);
  }
  ppParameter GetValue(int32_t index) override {
    return index == kNumberIndex ? ppParameter(number) : zelvproTopViewElement::GetValue(index);
  }
  static constexpr int32_t kNumberIndex = 9999;
  int32_t number = 0;
};

class TopViewDrawingTest : public TopViewTest {
 protected:
  void SetUp() override {
    TopViewTest::SetUp();
    host_.palette = std::make_unique<zelvproLayerPalette>();
    host_.palette->SetScale(10.0);  // millimetres per pixel
    iPrintSettings::Install(&settings_);
    iNumberLabelOption::Install(&labels_);
  }
  void TearDown() override {
    iPrintSettings::Install(nullptr);
    iNumberLabelOption::Install(nullptr);
    TopViewTest::TearDown();
  }

  // An element at `position` (millimetres) with one outline per point list (x, y pairs).
  std::unique_ptr<NumberedElement> Element(zelvDatabase& db, const std::vector<std::vector<float>>& outlines,
                                           ppVector3 position = ppVector3()) {
    const int32_t topView = AddTopView(db, {});
    db.TopViewFile().ReadRecord(topView, nullptr);
    auto element = std::make_unique<NumberedElement>(topView, nullptr, eltest::Rect(0, 0, 100, 100),
                                                     db.TopViewFile().GetRecordBuffer(), db.ShapeFile());
    std::unique_ptr<zelvproShape> chain;
    for (auto it = outlines.rbegin(); it != outlines.rend(); ++it) chain = Outline(db, *it, std::move(chain));
    element->outlines = std::move(chain);
    element->SetPosition(position);
    return element;
  }

  // A made-to-measure item 400 x 300 mm whose unit has one piece, (300, 100)-(500, 200), standing out
  // on the right; the element, at the plan's origin, is stretched to 600 mm wide.
  static std::unique_ptr<zelvproParametricElement> StretchedElement(zelvDatabase& db) {
    const int32_t outline = AddShape(db, {0, 0, 400, 0, 400, 300, 0, 300});
    const int32_t piece = AddShape(db, {300, 100, 500, 100, 500, 200, 300, 200});
    const int32_t unit = AddUnit(db, {{"id", 903}}, {{"shapes", eltest::PieceEntry(piece, 0, 0)}});
    const int32_t item = AddTopView(db,
                                    {{"Type", zelvproParametricElement::kType},
                                     {"flags", int32_t(zelvproParametricElement::kStretchWidth)},
                                     {"width", 400.0},
                                     {"height", 720.0},
                                     {"depth", 300.0}},
                                    {{"Subelements", eltest::PieceEntry(outline, 0, 0)}});
    std::unique_ptr<zelvproParametricElement> element(dynamic_cast<zelvproParametricElement*>(
        db.TopViewFile().CreateElement(item, eltest::Rect(0, 0, 100, 100), nullptr)));
    if (element == nullptr) return nullptr;
    element->dimensions.x = 600.0f;
    element->InvalidateGeometry();
    element->unitRecordId = unit;
    return element;
  }

  PlanColours colours_;
  TestPrintSettings settings_;
  LabelsOn labels_;
};

// A 400 by 300 millimetre box at (100, 100): pixels (10, 10) to (50, 40) at 10 millimetres a pixel.
const std::vector<float> kBox = {0, 0, 400, 0, 400, 300, 0, 300};

TEST_F(TopViewDrawingTest, ScreenFillsWithoutUnitAndEdgesByStateAndStyle) {
  zelvDatabase& db = MakeDatabase();
  // A unit whose one piece is the box (100, 100)-(200, 200) of the element: pixels (20, 20)-(30, 30).
  const int32_t pieceShape = AddShape(db, {100, 100, 200, 100, 200, 200, 100, 200});
  const int32_t unit = AddUnit(db, {{"id", 900}}, {{"shapes", {pieceShape, 0, 0, 0, 0, 0}}});
  const plat::COLORREF white = plat::RGB(255, 255, 255);
  struct Case {
    bool selected, hasUnit, outlineOnly;
    plat::COLORREF edge, inside, piece;
  } cases[] = {
      {false, false, false, Ref(0x400), Ref(0x403), Ref(0x403)},
      {true, false, false, Ref(0x402), Ref(0x403), Ref(0x403)},
      {false, true, false, Ref(0x400), white, white},
      {false, true, true, Ref(0x400), white, Ref(0x401)},
  };
  for (const Case& c : cases) {
    auto element = Element(db, {kBox}, ppVector3(100, 0, 100));
    element->selected = c.selected;
    element->unitRecordId = c.hasUnit ? unit : 0;
    settings_.outlineOnly = c.outlineOnly;
    Canvas canvas(64, 64);
    ppDC dc(canvas.dc());
    element->DrawContent(dc);
    SCOPED_TRACE(testing::Message() << c.selected << c.hasUnit << c.outlineOnly);
    EXPECT_EQ(canvas.At(30, 10), c.edge);
    EXPECT_EQ(canvas.At(10, 25), c.edge);
    EXPECT_EQ(canvas.At(40, 35), c.inside);
    EXPECT_EQ(canvas.At(25, 20), c.piece);
    EXPECT_EQ(canvas.At(5, 5), white);
    EXPECT_EQ(canvas.At(55, 45), white);
  }
}

TEST_F(TopViewDrawingTest, NumberLabelIsAFramedWhiteBoxOnlyForPositiveNumbers) {
  zelvDatabase& db = MakeDatabase();
  const plat::COLORREF grey = plat::RGB(128, 128, 128), white = plat::RGB(255, 255, 255);
  const plat::COLORREF black = plat::RGB(0, 0, 0);
  struct Case {
    int32_t number;
    bool option, drawn;
  } cases[] = {{7, true, true}, {0, true, false}, {-3, true, false}, {7, false, false}};
  for (const Case& c : cases) {
    // 200 wide and 300 deep at (100, 100): centred at x 20 pixels, 8 pixels above the front edge at 40.
    auto element = Element(db, {kBox}, ppVector3(100, 0, 100));
    element->dimensions = ppVector3(200, 0, 300);
    element->number = c.number;
    labels_.on = c.option;
    Canvas canvas(64, 64, grey), blank(64, 64, grey);
    ppDC dc(canvas.dc());
    element->UpdateAnnotations(dc);
    SCOPED_TRACE(c.number);
    if (!c.drawn) {
      EXPECT_TRUE(canvas.SamePixels(blank, 64, 64));
      continue;
    }
    EXPECT_EQ(element->NumberLabelBox(), (plat::RECT{10, 24, 30, 40}));
    for (auto [x, y] : {std::pair{10, 24}, {29, 24}, {10, 39}, {29, 39}, {20, 24}, {10, 32}}) {
      EXPECT_EQ(canvas.At(x, y), black) << x << "," << y;
    }
    for (auto [x, y] : {std::pair{11, 25}, {28, 38}, {12, 37}})
      EXPECT_EQ(canvas.At(x, y), white) << x << "," << y;
    for (auto [x, y] : {std::pair{9, 24}, {30, 30}, {20, 23}, {20, 40}})
      EXPECT_EQ(canvas.At(x, y), grey) << x << "," << y;
  }
}

TEST_F(TopViewDrawingTest, DraggedOutlineDrawnTwiceLeavesNoTrace) {
  zelvDatabase& db = MakeDatabase();
  auto element = Element(db, {kBox, {50, 50, 150, 250}}, ppVector3(100, 0, 100));
  Canvas canvas(64, 64), blank(64, 64);
  ppDC dc(canvas.dc());
  element->DrawOutlineAt(5, 3, 0.0f, 0.0f, 0.0f, dc);
  EXPECT_FALSE(canvas.SamePixels(blank, 64, 64));
  EXPECT_NE(canvas.At(35, 13), plat::RGB(255, 255, 255));  // the top edge, moved by (5, 3)
  element->DrawOutlineAt(5, 3, 0.0f, 0.0f, 0.0f, dc);
  EXPECT_TRUE(canvas.SamePixels(blank, 64, 64));
}

// ---- Printing into the printer's pages.

// Prints `element` on one 10 by 10 centimetre page in the printer's PNG form and reads it back.
std::unique_ptr<plat::Surface> PrintPage(zelvproTopViewElement& element) {
  const std::filesystem::path dir =
      std::filesystem::path(::testing::TempDir()) / ("topview-print-" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  plat::PrinterSetup setup;
  setup.paperWidth = setup.paperHeight = 1000;
  std::unique_ptr<plat::Surface> page =
      testprint::PrintOnePage(setup, dir, [&](ppDC& dc) { element.PrintContent(dc, 1); });
  std::filesystem::remove_all(dir);
  return page;
}

int32_t DarkPixels(const plat::Surface& page, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  int32_t n = 0;
  for (int32_t y = top; y < bottom; ++y)
    for (int32_t x = left; x < right; ++x) n += page.Pixel(x, y) != 0xFFFFFFu;
  return n;
}

TEST_F(TopViewDrawingTest, PrintedPageShowsOutlinesAndTheUnitNumber) {
  zelvDatabase& db = MakeDatabase();
  // The number comes from the unit the element's unit refers to; the two refer to each other.
  const int32_t first = AddUnit(db, {{"id", 901}, {"number1", "A1"}});
  const int32_t second = AddUnit(db, {{"id", 902}, {"number1", "B22"}, {"refTo", first}});
  db.UnitFile().ReadRecord(first, nullptr);
  cattest::SetField(db.UnitFile(), "refTo", second);
  db.UnitFile().WriteRecord(first, nullptr);
  settings_.page.pixelsPerMillimetre = 1.0f;
  settings_.page.offset = plat::POINT{100, 100};
  settings_.page.fontSizeFactor = 300.0f / 72.0f;
  for (bool numbers : {false, true}) {
    // The box lands on (100, 100)-(500, 400); the number in the box's lower half.
    auto element = Element(db, {kBox});
    element->unitRecordId = first;
    element->printNumbers = numbers;
    std::unique_ptr<plat::Surface> page = PrintPage(*element);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->Pixel(300, 100), 0x000000u);
    EXPECT_EQ(page->Pixel(100, 250), 0x000000u);
    EXPECT_EQ(page->Pixel(300, 400), 0x000000u);
    EXPECT_EQ(page->Pixel(300, 50), 0xFFFFFFu);
    EXPECT_EQ(DarkPixels(*page, 200, 250, 400, 330) > 0, numbers) << numbers;
    EXPECT_EQ(DarkPixels(*page, 110, 110, 490, 240), 0);
  }
}

// In outline style the unit's piece is stretched with the element, 1.5 times: (450, 100)-(750, 200)
// mm, where the drawing, the printed page and the hit region all have it.
TEST_F(TopViewDrawingTest, AStretchedElementsUnitPiecesAreDrawnPrintedAndHitAtItsSize) {
  zelvDatabase& db = MakeDatabase();
  auto element = StretchedElement(db);
  ASSERT_NE(element, nullptr);
  settings_.outlineOnly = true;
  const plat::COLORREF white = plat::RGB(255, 255, 255);

  // On screen at 10 mm a pixel: the piece's top edge from x 45 to 75, at y 10.
  Canvas canvas(96, 64);
  {
    ppDC dc(canvas.dc());
    element->DrawContent(dc);
  }
  EXPECT_EQ(canvas.At(60, 25), Ref(0x400)) << "the outline is stretched";
  EXPECT_EQ(canvas.At(70, 10), Ref(0x401));
  EXPECT_EQ(canvas.At(75, 15), Ref(0x401));
  EXPECT_EQ(canvas.At(40, 10), white) << "the piece drawn at its catalogue width";

  plat::RECT hit{};
  element->NewFrameRegion()->GetBounds(&hit);
  EXPECT_GE(hit.right, 75) << "the piece is hit where it is drawn";
  EXPECT_LE(hit.right, 77);

  // On the page at a pixel a millimetre from (100, 100): the top edge from x 550 to 850, at y 200.
  settings_.page.pixelsPerMillimetre = 1.0f;
  settings_.page.offset = plat::POINT{100, 100};
  settings_.page.outlinePage = true;
  std::unique_ptr<plat::Surface> page = PrintPage(*element);
  ASSERT_TRUE(page);
  EXPECT_GT(DarkPixels(*page, 780, 196, 790, 205), 0) << "the piece's top edge";
  EXPECT_GT(DarkPixels(*page, 846, 240, 855, 260), 0) << "the piece's right edge";
  EXPECT_EQ(DarkPixels(*page, 440, 196, 460, 205), 0) << "the piece printed at its catalogue width";
}

// ---- The drawing export.

// The entities of a DXF file's BLOCKS and ENTITIES sections, one line each: the type, then the values
// of the groups that matter here (numbers as %g).
std::vector<std::string> DxfSummary(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> out;
  std::string code, value, type, section;
  while (std::getline(in, code) && std::getline(in, value)) {
    const int32_t c = std::stoi(code);
    value.erase(0, value.find_first_not_of(' '));
    if (c == 0) type = value;
    const bool kept = (section == "BLOCKS" || section == "ENTITIES") && type != "SECTION" && type != "ENDSEC";
    if (type == "SECTION" && c == 2) {
      section = value;
    } else if (kept && c == 0) {
      out.push_back(value);
    } else if (kept && (c == 2 || c == 8 || c == 70)) {
      out.back() += " " + value;
    } else if (kept && ((c >= 10 && c <= 50) || c == 67)) {
      char text[32];
      std::snprintf(text, sizeof text, " %g", std::stod(value));
      out.back() += text;
    }
  }
  return out;
}

TEST_F(TopViewDrawingTest, ExportWritesABlockOfClosedPolylinesAndAnInsertPerElement) {
  zelvDatabase& db = MakeDatabase();
  std::vector<float> long150;
  for (int32_t i = 0; i < 150; ++i) long150.insert(long150.end(), {float(i), float(2 * i)});
  auto a = Element(db, {{10, 20, 110, 20, 60, 90}, {5, 5}});
  auto b = Element(db, {long150});
  settings_.page.outlinePage = true;  // the export prints the plan as outlines

  const std::vector<std::string> entities =
      DxfSummary(eltest::PrintToDxf(1000.0f, {{"FURNITURE", "2"}}, [&](ppDC& dc) {
        a->PrintContent(dc, 1);
        b->PrintContent(dc, 1);
      }));

  // Vertices (x, 1000 - y); the polyline's flag closes it, so no point is repeated.
  std::vector<std::string> expected = {"BLOCK 0 *MODEL_SPACE 0 0 0 0",
                                       "ENDBLK 0",
                                       "BLOCK 1 0 *PAPER_SPACE 0 0 0 0",
                                       "ENDBLK 1 0",
                                       "BLOCK 0 ZELVO-1 0 0 0 0",
                                       "POLYLINE FURNITURE 0 0 0 1",
                                       "VERTEX FURNITURE 10 980 0",
                                       "VERTEX FURNITURE 110 980 0",
                                       "VERTEX FURNITURE 60 910 0",
                                       "SEQEND FURNITURE",
                                       "POLYLINE FURNITURE 0 0 0 1",
                                       "VERTEX FURNITURE 5 995 0",
                                       "SEQEND FURNITURE",
                                       "ENDBLK 0",
                                       "BLOCK 0 ZELVO-2 0 0 0 0",
                                       "POLYLINE FURNITURE 0 0 0 1"};
  for (int32_t i = 0; i < 150; ++i) {
    expected.push_back("VERTEX FURNITURE " + std::to_string(i) + " " + std::to_string(1000 - 2 * i) + " 0");
  }
  for (const char* line : {"SEQEND FURNITURE", "ENDBLK 0", "INSERT FURNITURE ZELVO-1 0 0 0 1 1 1 0",
                           "INSERT FURNITURE ZELVO-2 0 0 0 1 1 1 0"}) {
    expected.push_back(line);
  }
  EXPECT_EQ(entities, expected);
}

}  // namespace
