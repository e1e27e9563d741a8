// Units made to measure as a user plans them: the custom worktop and the filler panel, pulled from
// the plan views' catalogue, show size fields in their panel; a size typed there, in millimetres or
// in inches, becomes the unit's size within the bounds its catalogue gives, and its outline on the
// plan, its 3D body and its price by the metre follow. A cabinet of fixed size shows no size field.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "PlanUnits.h"
#include "StartedProgram.h"
#include "calculation/zelvproCalculatorFil.h"
#include "calculation/zelvproCalculatorList.h"
#include "canvas/editor/zelvproEditorScroller.h"
#include "canvas/editor/zelvproViewBar.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproDocFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "controls/ppConfigPanel.h"
#include "controls/ppConfigTab.h"
#include "controls/ppConfigurator.h"
#include "controls/ppEditTextField.h"
#include "controls/ppTextField.h"
#include "elements/base/ElementKinds.h"
#include "elements/base/PlanPixels.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/topview/iPrintSettings.h"
#include "elements/units/zelvproParametricElement.h"
#include "exchange/DocumentFileOperations.h"
#include "exchange/MailMessage.h"
#include "exchange/MailOrder.h"
#include "exchange/MailProvider.h"
#include "exchange/OrderDocument.h"
#include "exchange/WindowPlanSteps.h"
#include "catalogue/records/zelvproDocFil.h"
#include "foundation/UserPreferences.h"
#include "foundation/Geometry2D.h"
#include "framework/ppDC.h"
#include "framework/ppPropertyDataUnit.h"
#include "framework/ppRegion.h"
#include "platform/Accelerator.h"
#include "platform/Desktop.h"
#include "platform/LayerClock.h"
#include "platform/PngFile.h"
#include "platform/Printer.h"
#include "platform/Printing.h"
#include "room/qxNewRoomCanvas.h"
#include "support/PrintedPage.h"

namespace {

constexpr int32_t kInchButton = 1029, kLanguageList = 1072;
constexpr int32_t kUndo = 31, kRedo = 32;

// The line print's settings (the plan drawn as outlines, the unit's pieces in dark green), its page
// given by the test.
class LinePrintSettings : public iPrintSettings {
 public:
  LinePrintSettings() : previous_(iPrintSettings::Installed()) { iPrintSettings::Install(this); }
  ~LinePrintSettings() override { iPrintSettings::Install(previous_); }
  LinePrintSettings(const LinePrintSettings&) = delete;
  LinePrintSettings& operator=(const LinePrintSettings&) = delete;
  bool OutlineOnly() override { return true; }
  PrintPageFields PageFields(int32_t /*page*/) override { return page; }
  PrintPageFields page;

 private:
  iPrintSettings* previous_;
};

// The width (millimetres) of the dark green the unit's pieces leave when the unit is printed alone as
// the line print prints it, at 5 mm a pixel on a 20 cm page.
float PrintedPiecesWidth(zelvproElement& unit) {
  constexpr float kPixelsPerMm = 0.2f;
  const std::filesystem::path dir =
      std::filesystem::path(::testing::TempDir()) / ("line-print-" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  plat::PrinterSetup setup;
  setup.paperWidth = setup.paperHeight = 2000;
  LinePrintSettings settings;
  ppVector3 at;
  unit.GetAbsolutePosition(at);
  settings.page.origin = ppVector2(at.x, at.z);
  settings.page.pixelsPerMillimetre = kPixelsPerMm;
  settings.page.offset = plat::POINT{100, 100};
  settings.page.outlinePage = true;
  const std::unique_ptr<plat::Surface> page =
      testprint::PrintOnePage(setup, dir, [&](ppDC& dc) { unit.PrintContent(dc, 1); });
  std::filesystem::remove_all(dir);
  if (page == nullptr) return 0.0f;
  int32_t first = -1, last = -1;
  for (int32_t y = 0; y < page->Height(); ++y)
    for (int32_t x = 0; x < page->Width(); ++x) {
      const uint32_t p = page->Pixel(x, y);
      const int32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
      if (g < 90 || r > 60 || b > 60) continue;
      if (first < 0 || x < first) first = x;
      last = std::max(last, x);
    }
  return first < 0 ? 0.0f : float(last - first) / kPixelsPerMm;
}

class MadeToMeasureTest : public apptest::StartedProgramTest {
 protected:
  // A point of the room's floor, `fx` and `fz` of the way across, in document window pixels of the
  // current plan view.
  static plat::POINT OnFloor(float fx, float fz) {
    auto* room = dynamic_cast<qxNewRoomCanvas*>(zelvproEditorScroller::Current()->View(1));
    if (room == nullptr) return {};
    ppVector2 corners[4];
    room->ComputeBounds(corners);
    plat::POINT at{};
    PlanPointToScreen(ppVector3(corners[0].x + (corners[2].x - corners[0].x) * fx, 0,
                                corners[0].y + (corners[2].y - corners[0].y) * fz),
                      at);
    return at;
  }

  // Pulls `item` of palette group `group` onto the floor where the plan has room for it (the middle,
  // else a quarter of the way in from a corner); the unit it placed, selected.
  zelvproParametricElement* Place(const char* group, const char* item) {
    zelvproTopCanvas* plan = zelvproEditorScroller::MainCanvas();
    if (plan == nullptr) return nullptr;
    std::set<ppView*> before;
    for (int32_t i = 0; i < plan->Subviews().Count(); ++i) before.insert(plan->Subviews().At(i));
    for (auto [fx, fz] :
         {std::pair{0.5f, 0.5f}, {0.25f, 0.25f}, {0.75f, 0.25f}, {0.25f, 0.75f}, {0.75f, 0.75f}}) {
      DropFromPalette(group, item, OnFloor(fx, fz));
      if (size_t(plan->Subviews().Count()) > before.size()) break;
    }
    zelvproParametricElement* unit = nullptr;
    for (int32_t i = 0; i < plan->Subviews().Count(); ++i)
      if (before.count(plan->Subviews().At(i)) == 0)
        unit = dynamic_cast<zelvproParametricElement*>(plan->Subviews().At(i));
    if (unit != nullptr && !unit->IsSelected()) Click(*unit);
    return unit;
  }

  static void Click(zelvproElement& unit) { apptest::ClickUnit(unit); }

  // The edit field of the element panel bound to `property`, with the tab that holds it; null when
  // the panel has none.
  static ppEditTextField* Field(const char* property, ppConfigTab** holder = nullptr) {
    ppConfigurator* configurator = ppConfigurator::Host();
    if (configurator == nullptr) return nullptr;
    for (ppConfigTab* tab : configurator->Tabs()) {
      ppConfigPanel* panel = tab->Panel();
      for (ppField* f = panel != nullptr ? panel->FirstField() : nullptr; f != nullptr; f = f->NextField()) {
        auto* unit = dynamic_cast<ppPropertyDataUnit*>(f->DataUnit());
        if (unit == nullptr || std::string(unit->Binding().Name().c_str()) != property) continue;
        if (holder != nullptr) *holder = tab;
        return dynamic_cast<ppEditTextField*>(f);
      }
    }
    return nullptr;
  }
  static std::vector<std::string> SizeFields() {
    std::vector<std::string> found;
    for (const char* name : {"XDim", "YDim", "ZDim"})
      if (Field(name) != nullptr) found.push_back(name);
    return found;
  }

  // Types `text` into the size field bound to `property` and presses Enter, as the user does: a click
  // in the field, its text selected, the keys.
  static void Type(const char* property, const char* text) {
    ppConfigTab* tab = nullptr;
    ppEditTextField* field = Field(property, &tab);
    ASSERT_NE(field, nullptr) << property;
    ppConfigurator::Host()->Select(tab);  // its tab in front
    plat::HeadlessDriver::RunUntilIdle();
    plat::RECT frame{};
    field->GetWindowFrame(&frame);
    plat::POINT at{frame.right - 10, (frame.top + frame.bottom) / 2};
    plat::ClientToScreen(field->GetHWND(), &at);
    plat::Desktop::MouseButton(plat::VK_LBUTTON, true, at);
    plat::Desktop::MouseButton(plat::VK_LBUTTON, false, at);
    plat::HeadlessDriver::RunUntilIdle();
    plat::SendMessageA(field->EditControl(), plat::EM_SETSEL, 0, -1);
    for (const char* c = text; *c != 0; ++c) {
      if (std::isdigit(static_cast<unsigned char>(*c))) {
        Press(*c);
        continue;
      }
      // Punctuation: a key, and the character the keyboard's text input gives for it.
      plat::Desktop::Key(plat::kVkOemMinus, true);
      plat::Desktop::Char(char16_t(*c));
      plat::Desktop::Key(plat::kVkOemMinus, false);
      plat::HeadlessDriver::RunUntilIdle();
    }
    Press(plat::VK_RETURN);
    plat::LayerClock::Advance(2000);  // typing takes a while: the next click pairs with no earlier one
  }
  static void Press(int32_t key) {
    plat::Desktop::Key(key, true);
    plat::Desktop::Key(key, false);
    plat::HeadlessDriver::RunUntilIdle();
  }

  // The extent of the unit's 3D body (millimetres) along x, y and z.
  static ppVector3 Body(zelvproElement& unit) {
    const ppBounds3 box = unit.GetBounds(0, 0xC0);
    return ppVector3(2 * box.half.x, 2 * box.half.y, 2 * box.half.z);
  }
  // The extent of the unit's outline on the plan (millimetres) along its width and its depth.
  static ppVector2 Outline(zelvproParametricElement& unit) {
    unit.GetBounds(0, 0xC0);  // brings the geometry up to date
    ppVector2 lo(1e9f, 1e9f), hi(-1e9f, -1e9f);
    for (const ppVector2& p : PointListToVector(unit.outlines->cached)) {
      lo = ppVector2(std::min(lo.x, p.x), std::min(lo.y, p.y));
      hi = ppVector2(std::max(hi.x, p.x), std::max(hi.y, p.y));
    }
    return ppVector2(hi.x - lo.x, hi.y - lo.y);
  }

  // The width of the unit's outline on the plan, window pixels (its hit region less 2 pixels a side).
  static int32_t OutlinePixels(zelvproElement& unit) {
    plat::RECT r{};
    unit.NewFrameRegion()->GetBounds(&r);
    return r.right - r.left - 4;
  }

  struct Line {
    int32_t count = 0;  // lines of the unit
    double pcs = 0, total = 0;
  };
  // The unit's line of the price list, read in the price list view; the plan view comes back with
  // the unit selected again.
  Line PriceLine(zelvproElement& unit) {
    Line line;
    Send(zelvproViewBar::kItemListCommand);
    if (zelvproCalculatorList* list = zelvproCalculatorList::Current()) {
      zelvproCalculatorFil& lines = list->LineFile();
      lines.BeginAccess();
      for (int32_t i = 0; i < lines.GetRecordCount(); ++i) {
        lines.ReadRecordAt(i, nullptr);
        const char* b = lines.GetRecordBuffer();
        if (RecordField(lines, "unitID").Long(b) != unit.GetUnitRecordId()) continue;
        ++line.count;
        line.total = ppMoney::FromRaw(RecordField(lines, "total").MoneyRaw(b)).ToDouble();
        line.pcs = RecordField(lines, "pcs").Quantity(b).ToDouble();
      }
    }
    // Back on the plan the unit is chosen afresh, as its panel gave way to the price list's.
    Send(zelvproViewBar::kTopColourCommand);
    Send(zelvproCanvas::kDeselectAll);
    Click(unit);
    return line;
  }

  // Danish chosen in the preferences' language list and confirmed, as the user does.
  void ChooseDanish() {
    bool answered = false;
    plat::HeadlessDriver::SetIdleScript([&] {
      if (answered) return false;
      answered = true;
      plat::HWND dialog = plat::GetActiveWindow();
      plat::SendMessageW(plat::GetDlgItem(dialog, kLanguageList), plat::CB_SELECTSTRING, plat::WPARAM(-1),
                         plat::LPARAM(u"1030 "));
      return plat::PostMessageA(dialog, plat::WM_COMMAND, plat::IDOK, 0) != 0;
    });
    Send(zelvProApp::kPreferencesCommand);
    plat::HeadlessDriver::SetIdleScript(nullptr);
    ASSERT_TRUE(answered);
    ASSERT_EQ(CurrentLanguageCode(), 1030u);
  }
  // The caption of the size field bound to `property`; "none" without the field.
  static std::string Caption(const char* property) {
    ppEditTextField* field = Field(property);
    return field != nullptr ? Vcon::Utf8FromUtf16(std::u16string(field->Caption().c_str())) : "none";
  }

  // The text row under the size caption of the element panel's first tab: "w x h x d".
  static std::string SizeLine() {
    ppConfigurator* configurator = ppConfigurator::Host();
    if (configurator == nullptr || configurator->Tabs().empty()) return "(no panel)";
    ppConfigPanel* panel = configurator->Tabs().front()->Panel();
    bool caption = false;
    for (ppField* f = panel != nullptr ? panel->FirstField() : nullptr; f != nullptr; f = f->NextField()) {
      auto* text = dynamic_cast<ppTextField*>(f);
      if (text == nullptr) continue;
      const std::string row = Vcon::Utf8FromUtf16(text->Text());
      if (caption) return row;
      caption = row.rfind("Dimensions", 0) == 0;
    }
    return "(no size line)";
  }

  // The plan's units made to measure of catalogue item `name` ("WT200").
  static std::vector<zelvproParametricElement*> UnitsNamed(const char* name) {
    std::vector<zelvproParametricElement*> found;
    zelvproTopCanvas* plan = zelvproEditorScroller::MainCanvas();
    for (int32_t i = 0; plan != nullptr && i < plan->Subviews().Count(); ++i) {
      auto* unit = dynamic_cast<zelvproParametricElement*>(plan->Subviews().At(i));
      if (unit == nullptr || unit->database == nullptr) continue;
      zelvproTopViewFil& items = unit->database->TopViewFile();
      items.ReadRecord(unit->recordId, nullptr);
      if (RecordField(items, "Name").Text(items.GetRecordBuffer()) == name) found.push_back(unit);
    }
    return found;
  }

  // Saves the plan under `name` beside the settings through the window's Save, and starts the program
  // again on it.
  void SaveAndReopen(const char* name) {
    const std::filesystem::path file = demo_.Root() / "user" / name;
    DocumentRecordFile->DocumentFile().path = Vcon::WString(Vcon::Utf16FromUtf8(file.string()));
    DocumentRecordFile->SetSavedOnce(true);
    Send(zelvproWindow::kSave);
    ASSERT_TRUE(std::filesystem::exists(file));
    app_.reset();
    gApplication = nullptr;
    Start(file.string());
  }

  // Inches chosen in the preferences dialog and confirmed, as the user does.
  void ChooseInches() {
    bool answered = false;
    plat::HeadlessDriver::SetIdleScript([&] {
      if (answered) return false;
      answered = true;
      plat::HWND dialog = plat::GetActiveWindow();
      plat::SendMessageW(plat::GetDlgItem(dialog, kInchButton), plat::BM_CLICK, 0, 0);
      return plat::PostMessageA(dialog, plat::WM_COMMAND, plat::IDOK, 0) != 0;
    });
    Send(zelvProApp::kPreferencesCommand);
    plat::HeadlessDriver::SetIdleScript(nullptr);
    ASSERT_TRUE(answered);
    ASSERT_EQ(Preferences().unitSystem, uint32_t(kUnitImperial));
  }
};

TEST_F(MadeToMeasureTest, TheCustomWorktopTakesTheSizeTypedInItsPanelInItsOutlineBodyAndPrice) {
  StartOnThePlan();
  Send(zelvproViewBar::kTopColourCommand);
  zelvproParametricElement* worktop = Place("Worktops", "VH-WT");
  ASSERT_NE(worktop, nullptr) << "the custom worktop was not placed";
  ASSERT_TRUE(worktop->IsSelected());
  EXPECT_EQ(SizeFields(), std::vector<std::string>{"XDim"});

  // As the catalogue has it: a metre long, priced for one metre.
  EXPECT_NEAR(PrintedPiecesWidth(*worktop), 1000.0f, 10.0f);
  ppVector3 body = Body(*worktop);
  EXPECT_NEAR(body.x, 1000.0f, 0.5f);
  EXPECT_NEAR(body.y, 40.0f, 0.5f);
  EXPECT_NEAR(body.z, 600.0f, 0.5f);
  EXPECT_NEAR(Outline(*worktop).x, 1000.0f, 0.5f);
  const int32_t metre = OutlinePixels(*worktop);
  EXPECT_NEAR(Outline(*worktop).y, 600.0f, 0.5f) << "the outline is as deep as the body";
  Line line = PriceLine(*worktop);
  EXPECT_EQ(line.count, 1);
  EXPECT_DOUBLE_EQ(line.pcs, 1.0);
  EXPECT_DOUBLE_EQ(line.total, 895.0);

  Type("XDim", "1500");
  EXPECT_FLOAT_EQ(worktop->dimensions.x, 1500.0f);
  body = Body(*worktop);
  EXPECT_NEAR(body.x, 1500.0f, 0.5f) << "the 3D body follows the width";
  EXPECT_NEAR(body.y, 40.0f, 0.5f);
  EXPECT_NEAR(body.z, 600.0f, 0.5f);
  EXPECT_NEAR(Outline(*worktop).x, 1500.0f, 0.5f) << "the outline follows the width";
  EXPECT_NEAR(OutlinePixels(*worktop), metre * 1.5, 4.0) << "drawn at its new width";
  EXPECT_NEAR(Outline(*worktop).y, 600.0f, 0.5f);
  const float pieces = PrintedPiecesWidth(*worktop);
  std::printf("[ measured ] the 1500 mm worktop's pieces on the line print: %.0f mm\n", pieces);
  EXPECT_NEAR(pieces, 1500.0f, 10.0f) << "its pieces printed at its width, not the catalogue's";
  line = PriceLine(*worktop);
  EXPECT_DOUBLE_EQ(line.pcs, 1.5);
  EXPECT_DOUBLE_EQ(line.total, 1342.5);

  // Held within the catalogue's bounds: 200 mm to 4 m.
  Type("XDim", "120");
  EXPECT_FLOAT_EQ(worktop->dimensions.x, 200.0f);
  EXPECT_NEAR(Body(*worktop).x, 200.0f, 0.5f);
  Type("XDim", "5000");
  EXPECT_FLOAT_EQ(worktop->dimensions.x, 4000.0f);
  EXPECT_NEAR(Body(*worktop).x, 4000.0f, 0.5f);
  EXPECT_DOUBLE_EQ(PriceLine(*worktop).total, 3580.0);

  // In inches: five feet are 1524 mm.
  ChooseInches();
  ASSERT_TRUE(worktop->IsSelected() || (Click(*worktop), worktop->IsSelected()));
  Type("XDim", "60\"");
  EXPECT_NEAR(worktop->dimensions.x, 1524.0f, 0.01f);
  EXPECT_NEAR(Body(*worktop).x, 1524.0f, 0.5f);
  EXPECT_NEAR(Outline(*worktop).x, 1524.0f, 0.5f);
  EXPECT_NEAR(OutlinePixels(*worktop), metre * 1.524, 4.0) << "drawn at its new width";
  line = PriceLine(*worktop);
  EXPECT_EQ(Vcon::Utf8FromUtf16(worktop->GetValueByName("XDim").AsWString()), "60\"")
      << "the field's text: whole inches";
  EXPECT_NEAR(line.pcs, 1.524, 1e-6);
  EXPECT_NEAR(line.total, 1363.98, 0.005);
}

TEST_F(MadeToMeasureTest, TheFillerPanelTakesItsWidthAndACabinetTakesNone) {
  StartOnThePlan();
  Send(zelvproViewBar::kTopColourCommand);
  zelvproTopCanvas* plan = zelvproEditorScroller::MainCanvas();
  ASSERT_NE(plan, nullptr);
  zelvproParametricElement* filler = Place("Base", "VH-FP");
  ASSERT_NE(filler, nullptr) << "the filler panel was not placed";
  ASSERT_TRUE(filler->IsSelected());
  EXPECT_EQ(SizeFields(), std::vector<std::string>{"XDim"});
  EXPECT_EQ(Caption("XDim"), "Width");
  ppVector3 body = Body(*filler);
  EXPECT_NEAR(body.x, 100.0f, 0.5f);
  const float height = body.y;  // the board and the plinth under it
  EXPECT_NEAR(height, 820.0f, 0.5f);
  EXPECT_DOUBLE_EQ(PriceLine(*filler).total, 95.0);

  Type("XDim", "150");
  body = Body(*filler);
  EXPECT_NEAR(body.x, 150.0f, 0.5f);
  EXPECT_NEAR(Outline(*filler).x, 150.0f, 0.5f);
  EXPECT_NEAR(Outline(*filler).y, 560.0f, 0.5f);
  EXPECT_NEAR(body.y, height, 0.5f);
  Line line = PriceLine(*filler);
  EXPECT_EQ(line.count, 1);
  EXPECT_DOUBLE_EQ(line.pcs, 0.15);
  EXPECT_DOUBLE_EQ(line.total, 142.5);
  Type("XDim", "10");
  EXPECT_FLOAT_EQ(filler->dimensions.x, 30.0f);
  Type("XDim", "450");
  EXPECT_FLOAT_EQ(filler->dimensions.x, 300.0f);
  EXPECT_NEAR(Body(*filler).x, 300.0f, 0.5f);

  // In Danish the field reads "Bredde".
  ChooseDanish();
  if (!filler->IsSelected()) Click(*filler);
  ASSERT_TRUE(filler->IsSelected());
  EXPECT_EQ(Caption("XDim"), "Bredde");

  // A base unit of the start plan: no size field, and a width written by name changes nothing.
  zelvproElement* cabinet = nullptr;
  for (int32_t i = 0; i < plan->Subviews().Count() && cabinet == nullptr; ++i) {
    auto* unit = static_cast<zelvproElement*>(plan->Subviews().At(i));
    if (unit->kind != ElementKinds::kParametric && unit->GetUnitRecordId() != 0) cabinet = unit;
  }
  ASSERT_NE(cabinet, nullptr);
  Click(*cabinet);
  ASSERT_TRUE(cabinet->IsSelected());
  EXPECT_TRUE(SizeFields().empty());
  const float width = cabinet->dimensions.x;
  cabinet->SetValueByName("XDim", ppParameter(Vcon::WString(u"900")), true);
  EXPECT_FLOAT_EQ(cabinet->dimensions.x, width);
}

// A worktop typed to 1500 mm is priced for its 1.5 metres through everything that builds the price
// list again as a salesperson works: another unit placed, the worktop dragged elsewhere, Undo and Redo
// of the move, the autosave, a save and the plan opened again, and the e-mail order, whose shopping
// list orders the 1.5 metres.
TEST_F(MadeToMeasureTest, TheCustomWorktopKeepsItsPriceByTheMetreThroughEveryRebuild) {
  const std::filesystem::path plan = DemoPlan();
  Start(plan.string());
  Send(zelvproViewBar::kTopColourCommand);
  zelvproParametricElement* worktop = Place("Worktops", "VH-WT");
  ASSERT_NE(worktop, nullptr) << "the custom worktop was not placed";
  const int32_t unit = worktop->GetUnitRecordId();
  Type("XDim", "1500");
  const auto expectMetres = [&](const char* step) {
    ASSERT_NE(worktop, nullptr) << step;
    const Line line = PriceLine(*worktop);
    EXPECT_EQ(line.count, 1) << step;
    EXPECT_DOUBLE_EQ(line.pcs, 1.5) << step;
    EXPECT_DOUBLE_EQ(line.total, 1342.5) << step;
  };
  expectMetres("typed");

  zelvproTopCanvas* top = zelvproEditorScroller::MainCanvas();
  ASSERT_NE(top, nullptr);
  const int32_t units = top->Subviews().Count();
  for (auto [fx, fz] : {std::pair{0.25f, 0.25f}, {0.75f, 0.25f}, {0.25f, 0.75f}})
    if (top->Subviews().Count() == units) DropFromPalette("Base", "VH-B40", OnFloor(fx, fz));
  ASSERT_GT(top->Subviews().Count(), units) << "the base unit was not placed";
  Click(*worktop);
  expectMetres("another unit placed");

  const ppVector3 before = worktop->GetPosition();
  plat::RECT r{};
  worktop->NewFrameRegion()->GetBounds(&r);
  DragInFrame(DocumentPointInFrame({(r.left + r.right) / 2, (r.top + r.bottom) / 2}),
              DocumentPointInFrame(OnFloor(0.5f, 0.8f)));
  ASSERT_NE(worktop->GetPosition().z, before.z) << "the worktop was not moved";
  expectMetres("moved");
  Send(kUndo);
  EXPECT_FLOAT_EQ(worktop->GetPosition().z, before.z);
  expectMetres("the move undone");
  Send(kRedo);
  EXPECT_NE(worktop->GetPosition().z, before.z);
  expectMetres("the move redone");

  ASSERT_TRUE(DocumentRecordFile->IsModified());
  Send(zelvproWindow::kWriteAutoSave);
  EXPECT_TRUE(std::filesystem::exists(demo_.Folder() / "AutoSave.qxf"));
  expectMetres("autosaved");
  Send(zelvproWindow::kSave);
  EXPECT_FALSE(DocumentRecordFile->IsModified());
  expectMetres("saved");

  ASSERT_TRUE(app_->HandOver("\"" + plan.string() + "\""));
  plat::HeadlessDriver::RunUntilIdle();
  worktop = nullptr;
  top = zelvproEditorScroller::MainCanvas();  // the opened plan's
  ASSERT_NE(top, nullptr);
  for (int32_t i = 0; i < top->Subviews().Count(); ++i)
    if (auto* found = dynamic_cast<zelvproParametricElement*>(top->Subviews().At(i));
        found != nullptr && found->GetUnitRecordId() == unit)
      worktop = found;
  ASSERT_NE(worktop, nullptr) << "the worktop came back";
  EXPECT_FLOAT_EQ(worktop->dimensions.x, 1500.0f);
  expectMetres("opened again");

  // The order by e-mail saves the plan into its order file, shopping list included.
  class Mail : public MailProvider {
   public:
    bool Hand(const MailMessage&, plat::HWND) override {
      shoppingList = RecordField(*DocumentRecordFile, "xmlExport").WideText(DocumentRecordFile->Record());
      return true;
    }
    Vcon::WString shoppingList;
  } mail;
  WindowPlanSteps steps(*app_->DocumentWindow());
  DocumentFileOperations operations(*DocumentRecordFile, steps);
  OrderDocument order(operations, *DocumentRecordFile, app_->DocumentWindow()->GetHWND());
  ASSERT_TRUE(MailOrder(order, app_->Frame(), &mail));
  const std::string xml = Vcon::Utf8FromUtf16(mail.shoppingList);
  EXPECT_NE(xml.find("<Qty>1.5</Qty><QtyType>PIECES</QtyType><SalesItemName>"), std::string::npos) << xml;
  expectMetres("ordered by e-mail");
}

// The panel's size line follows a width typed in it; the worktop's far anchor goes to its new end,
// where a second worktop pulled near it snaps.
TEST_F(MadeToMeasureTest, AWidthTypedInThePanelShowsInItsSizeLineAndMovesItsFarAnchor) {
  StartOnThePlan();
  Send(zelvproViewBar::kTopColourCommand);
  zelvproTopCanvas* plan = zelvproEditorScroller::MainCanvas();
  ASSERT_NE(plan, nullptr);
  std::set<ppView*> before;
  for (int32_t i = 0; i < plan->Subviews().Count(); ++i) before.insert(plan->Subviews().At(i));
  // Near the room's left wall, so that 2.5 m of worktops fit across it.
  DropFromPalette("Worktops", "VH-WT", OnFloor(0.2f, 0.5f));
  zelvproParametricElement* worktop = nullptr;
  for (int32_t i = 0; i < plan->Subviews().Count(); ++i)
    if (before.count(plan->Subviews().At(i)) == 0)
      worktop = dynamic_cast<zelvproParametricElement*>(plan->Subviews().At(i));
  ASSERT_NE(worktop, nullptr) << "the custom worktop was not placed";
  if (!worktop->IsSelected()) Click(*worktop);
  EXPECT_EQ(SizeLine(), "1000 mm x 40 mm x 600 mm");

  Type("XDim", "1500");
  EXPECT_EQ(SizeLine(), "1500 mm x 40 mm x 600 mm") << "without another click";
  Type("XDim", "1200");
  EXPECT_EQ(SizeLine(), "1200 mm x 40 mm x 600 mm");
  Type("XDim", "1500");

  ASSERT_FLOAT_EQ(worktop->GetAngle(), 0.0f);
  float farEnd = 0.0f;
  for (const SnapAnchor& anchor : worktop->snapPoints)
    if (anchor.code < 0) farEnd = anchor.point.x;
  EXPECT_FLOAT_EQ(farEnd, 1500.0f);

  // A second one, pulled so that its start lies a few pixels off the first one's end.
  before.clear();
  for (int32_t i = 0; i < plan->Subviews().Count(); ++i) before.insert(plan->Subviews().At(i));
  zelvproParametricElement* next = Place("Worktops", "VH-WT");
  ASSERT_NE(next, nullptr);
  ASSERT_NE(next, worktop);
  ASSERT_FLOAT_EQ(next->GetAngle(), 0.0f);
  plat::RECT r{};
  next->NewFrameRegion()->GetBounds(&r);
  const plat::POINT grab{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  plat::POINT start{}, end{};
  PlanPointToScreen(next->GetPosition(), start);
  PlanPointToScreen(worktop->GetPosition() + ppVector3(1500.0f, 0.0f, 0.0f), end);
  const plat::POINT drop{grab.x + end.x - start.x + 4, grab.y + end.y - start.y + 3};
  DragInFrame(DocumentPointInFrame(grab), DocumentPointInFrame(drop));
  const ppVector3 gap = next->GetPosition() - worktop->GetPosition();
  std::printf("[ measured ] the second worktop stands %.1f mm along and %.1f mm across from the first\n",
              gap.x, gap.z);
  EXPECT_NEAR(gap.x, 1500.0f, 0.5f) << "snapped to the far end";
  EXPECT_NEAR(gap.z, 0.0f, 0.5f);
}

// Worktop 200 and Worktop 300 keep their 600 mm depth on the plan through a save and a reopen, as
// they are placed and as their panel and their 3D body give it.
TEST_F(MadeToMeasureTest, TheFixedWorktopsKeepTheirDepthAfterAReopen) {
  StartOnThePlan();
  Send(zelvproViewBar::kTopColourCommand);
  for (const char* item : {"VH-WT200", "VH-WT300"}) {
    zelvproParametricElement* worktop = Place("Worktops", item);
    ASSERT_NE(worktop, nullptr) << item;
    EXPECT_NEAR(Outline(*worktop).y, 600.0f, 0.5f) << item << " placed";
    EXPECT_NEAR(Body(*worktop).z, 600.0f, 0.5f) << item << " placed";
  }
  SaveAndReopen("worktops.qxf");
  for (const auto& [name, width] : {std::pair{"WT200", 2000.0f}, {"WT300", 3000.0f}}) {
    const std::vector<zelvproParametricElement*> found = UnitsNamed(name);
    ASSERT_EQ(found.size(), 1u) << name;
    zelvproParametricElement& worktop = *found.front();
    const ppVector2 outline = Outline(worktop);
    std::printf("[ measured ] %s reopened: its plan outline %.1f x %.1f mm\n", name, outline.x, outline.y);
    EXPECT_NEAR(outline.x, width, 0.5f) << name;
    EXPECT_NEAR(outline.y, 600.0f, 0.5f) << name << " reopened";
    EXPECT_NEAR(Body(worktop).z, 600.0f, 0.5f) << name << " reopened";
  }
}

}  // namespace
