// The colours view on the demo's start plan as a user works it: a unit clicked there is selected and
// the element panel lists the finishes it takes; the palette's finishes group lists the catalogue's
// finishes, one dragged onto the unit paints it, the plan draws it in that finish, and Undo brings
// the old one back. Pixels are read from the window as the idle loop left them. Printed from there,
// the plan shows the finishes on paper; File > Line Drawing, ticked, prints it as lines and lets
// "Print with DXF Drawing" write the drawing, and a view switch clears it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "StartedProgram.h"
#include "canvas/editor/zelvproEditorScroller.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/palette/zelvproElementPalette.h"
#include "canvas/palette/zelvproElementPane.h"
#include "canvas/palette/zelvproElementScroller.h"
#include "catalogue/browser/qxCatalog.h"
#include "catalogue/browser/qxNode.h"
#include "catalogue/browser/qxTopNode.h"
#include "canvas/window/zelvproWindow.h"
#include "controls/ppConfigPanel.h"
#include "controls/ppConfigTab.h"
#include "controls/ppConfigurator.h"
#include "controls/ppPopupSelector.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproTopCanvas.h"
#include "framework/ppDC.h"
#include "framework/ppPrintingAbortDialog.h"
#include "framework/ppSelectorQuery.h"
#include "platform/CommonDialogs.h"
#include "platform/Controls.h"
#include "platform/Desktop.h"
#include "platform/LayerClock.h"
#include "platform/Menu.h"
#include "platform/PngFile.h"
#include "platform/Printer.h"
#include "platform/Printing.h"
#include "platform/Surface.h"
#include "room/qxNewRoomCanvas.h"
#include "support/PrintedPage.h"

namespace {

namespace fs = std::filesystem;

constexpr int32_t kUndo = 31, kRedo = 32;
// File > Line Drawing (the function record's item) and File > Print with DXF Drawing.
constexpr int32_t kLineDrawing = 3052, kPrintWithDrawing = -22;
// The demo's textures of the snow and midnight finishes, plain colours that fill a unit's outline.
constexpr uint32_t kSnowTexture = 0xF4F3EF, kMidnightTexture = 0x1E2E52;
// Midnight's cell in the palette's strip of finishes.
constexpr int32_t kMidnightCell = 4;
// The finishes the demo's fronts and handles take.
const std::set<std::string> kFronts{"Snow", "Linen", "Sage", "Graphite", "Midnight"},
    kHandles{"Graphite", "Midnight"};

qxNode* FindGroup(const qxNode& node, const std::string& name) {
  for (qxNode* child = node.FirstChild(); child != nullptr; child = child->NextSibling()) {
    if (child->Name() == name) return child;
    if (qxNode* found = FindGroup(*child, name)) return found;
  }
  return nullptr;
}

class ColoursViewTest : public apptest::StartedProgramTest {
 protected:
  // A press (or release) at a point of the document window's client area.
  void Mouse(plat::POINT p, bool down) {
    plat::ClientToScreen(app_->DocumentWindow()->GetHWND(), &p);
    plat::Desktop::MouseButton(plat::VK_LBUTTON, down, p);
    plat::HeadlessDriver::RunUntilIdle();
  }
  // The middle of a unit's outline, window pixels.
  static plat::POINT Middle(zelvproElement& unit) {
    plat::RECT r{};
    unit.NewFrameRegion()->GetBounds(&r);
    return plat::POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  // The document window's pixel as 0xRRGGBB, as the last paint left it.
  uint32_t Pixel(plat::POINT p) {
    const std::string shot = (demo_.Root() / "window.png").string();
    if (!plat::HeadlessDriver::DumpPng(app_->DocumentWindow()->GetHWND(), shot)) return 0xFFFFFFFF;
    return plat::ReadPng(shot)->Pixel(p.x, p.y) & 0xFFFFFF;
  }
  // Each selector of the element panel's colour tab: the finishes it lists and the one it shows.
  struct Choices {
    std::set<std::string> names;
    std::string shown;
  };
  std::vector<Choices> Listed() {
    std::vector<Choices> lists;
    ppConfigurator* configurator = ppConfigurator::Host();
    if (configurator == nullptr) return lists;
    for (ppConfigTab* tab : configurator->Tabs()) {
      ppConfigPanel* panel = tab->Panel();
      if (panel == nullptr || Vcon::Utf8FromUtf16(panel->Caption()) != "Colors") continue;
      for (int32_t i = 0; i < panel->Subviews().Count(); ++i) {
        auto* selector = dynamic_cast<ppPopupSelector*>(panel->Subviews().At(i));
        if (selector == nullptr || selector->Query() == nullptr) continue;
        Choices& choices = lists.emplace_back();
        for (int32_t item = 0; item < selector->Query()->GetItemCount(); ++item) {
          ppParameter name;  // the third shown column: the finish's name
          selector->Query()->GetColumn3(item, name);
          choices.names.insert(Vcon::Utf8FromUtf16(name.AsWString()));
          if (item == selector->CurrentIndex()) choices.shown = Vcon::Utf8FromUtf16(name.AsWString());
        }
      }
    }
    return lists;
  }
  // What the selector that lists `names` shows; "none" without one.
  std::string Shown(const std::set<std::string>& names) {
    for (const Choices& choices : Listed())
      if (choices.names == names) return choices.shown;
    return "none";
  }

  // A unit of the plan whose middle no other unit covers: the one a click there selects.
  static zelvproElement* UncoveredUnit(zelvproTopCanvas& plan) {
    zelvproElement* unit = nullptr;
    for (int32_t i = 0; i < plan.Subviews().Count() && unit == nullptr; ++i) {
      unit = static_cast<zelvproElement*>(plan.Subviews().At(i));
      const plat::POINT p = Middle(*unit);
      for (int32_t j = 0; j < plan.Subviews().Count() && unit != nullptr; ++j)
        if (j != i &&
            static_cast<zelvproElement*>(plan.Subviews().At(j))->NewFrameRegion()->Contains(p.x, p.y))
          unit = nullptr;
    }
    return unit;
  }
  // The palette's finishes group shown in the strip; false without one.
  bool ShowFinishes() {
    zelvproElementPalette* palette = app_->DocumentWindow()->Palette();
    if (palette == nullptr) return false;
    qxNode* group = nullptr;
    for (int32_t i = 0; i < qxCatalog::kTreeCount && group == nullptr; ++i)
      group = FindGroup(palette->Browser()->Top(i), "Finishes");
    if (group == nullptr) return false;
    palette->Browser()->SelectCatalogNode(group);
    plat::HeadlessDriver::RunUntilIdle();
    return true;
  }
  // The strip's finish in cell `column` pressed, dragged and released at `at`, as the user paints.
  void DropFinish(int32_t column, plat::POINT at) {
    plat::RECT cell{};
    app_->DocumentWindow()->Palette()->Pane()->Strip()->GetCellRect(column, 0, &cell);
    Mouse(plat::POINT{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2}, true);
    plat::LayerClock::Advance(1000);
    Mouse(at, false);
  }
  // `command` (Print or Print with DXF Drawing) as the menu sends it: the scale box answered with
  // Fit To Paper and OK, the print dialog with OK and the file `pdf`.
  void PrintThroughTheBoxes(int32_t command, const fs::path& pdf) {
    plat::HeadlessDriver::SetIdleScript([&] {
      const plat::HWND box = plat::GetActiveWindow();
      if (box == nullptr || box == app_->Frame() || box == ppPrintingAbortDialog::Instance().Window())
        return false;
      if (plat::GetDlgItem(box, plat::kPrintFileItem) != nullptr)
        plat::SetDlgItemTextA(box, plat::kPrintFileItem, pdf.string().c_str());
      return plat::PostMessageA(box, plat::WM_COMMAND, plat::IDOK, 0) != 0;
    });
    Send(command);
    plat::HeadlessDriver::SetIdleScript(CancelActiveWindow);
  }
  // The window's plan page as the print job asks it, on A4 turned at 300 dpi, read back.
  std::unique_ptr<plat::Surface> PrintedPage(const std::string& name) {
    plat::PrinterSetup setup;
    setup.orientation = 2;
    return testprint::PrintOnePage(setup, demo_.Root() / "pages" / name,
                                   [&](ppDC& dc) { app_->DocumentWindow()->PrintPage(1, &dc); });
  }
  // The document window as the last paint left it.
  std::unique_ptr<plat::Surface> Window(const std::string& name) {
    const std::string shot = (demo_.Root() / (name + ".png")).string();
    if (!plat::HeadlessDriver::DumpPng(app_->DocumentWindow()->GetHWND(), shot)) return nullptr;
    return plat::ReadPng(shot);
  }

  // The File menu's state of `command`: its MF_CHECKED and MF_GRAYED bits; -1 without the item.
  int32_t MenuState(int32_t command) {
    const plat::UINT state =
        plat::GetMenuState(plat::GetMenu(app_->Frame()), plat::UINT(uint16_t(command)), plat::MF_BYCOMMAND);
    return state == 0xFFFFFFFF ? -1 : int32_t(state & (plat::MF_CHECKED | plat::MF_GRAYED));
  }
};

// Pixels of `page` within `tolerance` of `colour` in each channel.
int32_t PixelsOf(const plat::Surface& page, uint32_t colour, int32_t tolerance = 6) {
  int32_t n = 0;
  for (int32_t y = 0; y < page.Height(); ++y)
    for (int32_t x = 0; x < page.Width(); ++x) {
      const uint32_t p = page.Pixel(x, y);
      bool near = true;
      for (int32_t shift : {0, 8, 16})
        near =
            near && std::abs(int32_t((p >> shift) & 0xFF) - int32_t((colour >> shift) & 0xFF)) <= tolerance;
      if (near) ++n;
    }
  return n;
}

std::string ReadWhole(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST_F(ColoursViewTest, ASelectedUnitListsItsFinishesAndTakesTheOneDraggedOntoIt) {
  zelvProApp& app = StartOnThePlan();
  Send(zelvproViewBar::kTopColourCommand);
  zelvproTopCanvas* plan = zelvproEditorScroller::MainCanvas();
  ASSERT_NE(plan, nullptr);
  zelvproElement* unit = UncoveredUnit(*plan);
  ASSERT_NE(unit, nullptr);
  const plat::POINT middle = Middle(*unit);
  EXPECT_EQ(Pixel(middle), kSnowTexture) << "the plan draws the unit in its finish";

  Mouse(middle, true);
  Mouse(middle, false);
  ASSERT_TRUE(unit->IsSelected());
  // One list per finished part of the unit: carcase, fronts, handles.
  EXPECT_EQ(Listed().size(), 3u);
  EXPECT_EQ(Shown(kFronts), "Snow");
  EXPECT_EQ(Shown(kHandles), "Graphite");

  // The finishes group of the palette's trees fills the strip with the catalogue's finishes.
  ASSERT_TRUE(ShowFinishes());
  ASSERT_EQ(app.DocumentWindow()->Palette()->Pane()->Strip()->ItemCount(), 10);

  // Midnight, the strip's fifth cell, pressed, dragged over the unit and released there: it suits
  // the fronts and the handles.
  DropFinish(kMidnightCell, middle);
  EXPECT_EQ(Pixel(middle), kMidnightTexture);
  EXPECT_EQ(Shown(kFronts), "Midnight") << "the panel shows the new finish";
  EXPECT_EQ(Shown(kHandles), "Midnight");

  // Undo gives each part its own finish back.
  Send(kUndo);
  EXPECT_EQ(Pixel(middle), kSnowTexture);
  EXPECT_EQ(Shown(kFronts), "Snow");
  EXPECT_EQ(Shown(kHandles), "Graphite");
  Send(kRedo);
  EXPECT_EQ(Pixel(middle), kMidnightTexture);
  EXPECT_EQ(Shown(kHandles), "Midnight");
}

// Preferences confirmed in the Colors view, unchanged and then with another language: the side
// panel shows the top canvas's own panel, or the unit selected on it, and its edits go to the history
// Undo there reaches, not to the room's shown under it; the catalogue shows its tree's first entry.
// In Room Design the room's panel stays.
TEST_F(ColoursViewTest, PreferencesConfirmedShowTheColoursViewsCanvasInThePanel) {
  zelvProApp& app = StartOnThePlan();
  Send(zelvproViewBar::kTopColourCommand);
  zelvproTopCanvas* plan = zelvproEditorScroller::MainCanvas();
  ASSERT_NE(plan, nullptr);
  // Confirms the preferences with the language list's entry `language` chosen (-1: none) and answers
  // the element and the history of the panel then shown.
  using Panel = std::pair<zelvproElement*, ppUndoer*>;
  bool answered = false;
  const auto confirm = [&](int32_t language) {
    answered = false;
    plat::HeadlessDriver::SetIdleScript([&, language] {
      plat::HWND dialog = plat::GetActiveWindow();
      if (answered || dialog == nullptr || dialog == app.Frame()) return false;
      answered = true;
      if (language >= 0) plat::SendMessageW(plat::GetDlgItem(dialog, 1072), plat::CB_SETCURSEL, language, 0);
      return plat::PostMessageA(dialog, plat::WM_COMMAND, plat::IDOK, 0) != 0;
    });
    Send(zelvProApp::kPreferencesCommand);
    EXPECT_TRUE(answered);
    qxViewHolder* shown = qxViewHolder::Current();
    return shown != nullptr ? Panel(shown->Element(), shown->GetUndoer()) : Panel();
  };
  EXPECT_EQ(confirm(-1), Panel(plan, plan)) << "nothing selected";

  auto* unit = static_cast<zelvproElement*>(plan->Subviews().At(plan->Subviews().Count() - 1));
  Mouse(Middle(*unit), true);
  Mouse(Middle(*unit), false);
  ASSERT_TRUE(unit->IsSelected());
  EXPECT_EQ(confirm(1), Panel(unit, plan)) << "Danish chosen";
  EXPECT_EQ(CurrentLanguageCode(), 1030u);
  qxCatalog* browser = app.DocumentWindow()->Palette()->Browser();
  EXPECT_EQ(browser->CurrentNode(), browser->Top(browser->CurrentTreeIndex()).FirstChild());

  Send(zelvproViewBar::kRoomDesignCommand);
  auto* room = dynamic_cast<qxNewRoomCanvas*>(zelvproEditorScroller::Current()->View(1));
  EXPECT_EQ(confirm(0).second, static_cast<ppUndoer*>(room)) << "Room Design keeps the room's panel";
}

// A salesperson prints the plan of the Colors view: the paper shows the finishes chosen there. File >
// Line Drawing, ticked, changes nothing on screen; then the plan prints as lines and "Print with DXF
// Drawing" also writes the drawing. Going to Room Design or the Colors view clears it, the 3D view
// greys it, and with it clear "Print with DXF Drawing" writes no drawing.
TEST_F(ColoursViewTest, ThePrintShowsTheFinishesAndTheLineDrawingIsTheUsersChoice) {
  const fs::path out = demo_.Root() / "out";
  fs::create_directories(out);
  const char* previous = std::getenv("TMPDIR");
  const std::string kept = previous != nullptr ? previous : "";
  ::setenv("TMPDIR", out.c_str(), 1);
  struct PutBack {
    bool had;
    std::string value;
    ~PutBack() { had ? ::setenv("TMPDIR", value.c_str(), 1) : ::unsetenv("TMPDIR"); }
  } putBack{previous != nullptr, kept};
  const fs::path drawing = out / "zelvo.dxf";

  StartOnThePlan();
  Send(zelvproViewBar::kTopColourCommand);
  zelvproTopCanvas* plan = zelvproEditorScroller::MainCanvas();
  ASSERT_NE(plan, nullptr);
  EXPECT_EQ(MenuState(kLineDrawing), 0) << "File > Line Drawing: offered, not ticked";
  EXPECT_FALSE(plan->Transparent());
  zelvproElement* unit = UncoveredUnit(*plan);
  ASSERT_NE(unit, nullptr);
  ASSERT_TRUE(ShowFinishes());
  DropFinish(kMidnightCell, Middle(*unit));
  ASSERT_EQ(Pixel(Middle(*unit)), kMidnightTexture);

  // Print: the page shows the Midnight front, and no drawing is written.
  PrintThroughTheBoxes(zelvproWindow::kPrint, out / "finishes.pdf");
  EXPECT_TRUE(fs::exists(out / "finishes.pdf")) << "the plan was not printed";
  EXPECT_FALSE(fs::exists(drawing));
  std::unique_ptr<plat::Surface> page = PrintedPage("finishes");
  ASSERT_NE(page, nullptr);
  const int32_t finished = PixelsOf(*page, kMidnightTexture);
  std::printf("[ measured ] Midnight pixels on the printed page: %d\n", finished);
  EXPECT_GT(finished, 2000) << "the front's colour is not on paper";

  // Line Drawing ticked: the check mark, the same window, a page of lines and the drawing.
  const std::unique_ptr<plat::Surface> before = Window("before");
  Send(kLineDrawing);
  EXPECT_EQ(MenuState(kLineDrawing), int32_t(plat::MF_CHECKED));
  EXPECT_TRUE(plan->Transparent());
  const std::unique_ptr<plat::Surface> after = Window("after");
  ASSERT_TRUE(before != nullptr && after != nullptr);
  ASSERT_EQ(before->Width(), after->Width());
  int32_t changed = 0;
  for (int32_t y = 0; y < before->Height(); ++y)
    for (int32_t x = 0; x < before->Width(); ++x) changed += before->Pixel(x, y) != after->Pixel(x, y);
  EXPECT_EQ(changed, 0) << "ticking Line Drawing changed the screen";
  PrintThroughTheBoxes(kPrintWithDrawing, out / "lines.pdf");
  EXPECT_TRUE(fs::exists(out / "lines.pdf")) << "the plan was not printed";
  ASSERT_TRUE(fs::exists(drawing)) << "no drawing in " << out;
  const std::string dxf = ReadWhole(drawing);
  EXPECT_NE(dxf.find("AcDbLayerTableRecord\n  2\nROOM\n"), std::string::npos);
  EXPECT_NE(dxf.find("AcDbLayerTableRecord\n  2\nFURNITURE\n"), std::string::npos);
  EXPECT_NE(dxf.find("\n  8\nFURNITURE\n"), std::string::npos) << "no unit on the furniture layer";
  page = PrintedPage("lines");
  ASSERT_NE(page, nullptr);
  const int32_t lines = PixelsOf(*page, kMidnightTexture);
  std::printf("[ measured ] Midnight pixels on the line drawing: %d\n", lines);
  EXPECT_EQ(lines, 0) << "the line drawing is filled";

  // Room Design clears it and offers it; so does the Colors view; the 3D view greys it.
  Send(zelvproViewBar::kRoomDesignCommand);
  EXPECT_EQ(MenuState(kLineDrawing), 0);
  EXPECT_FALSE(plan->Transparent());
  Send(kLineDrawing);
  EXPECT_EQ(MenuState(kLineDrawing), int32_t(plat::MF_CHECKED));
  Send(zelvproViewBar::kTopColourCommand);
  EXPECT_EQ(MenuState(kLineDrawing), 0);
  EXPECT_FALSE(plan->Transparent());
  Send(zelvproViewBar::k3DCommand);
  EXPECT_EQ(MenuState(kLineDrawing), int32_t(plat::MF_GRAYED));
  Send(zelvproViewBar::kTopColourCommand);
  EXPECT_EQ(MenuState(kLineDrawing), 0);

  // With it clear, "Print with DXF Drawing" prints the finishes and writes no drawing.
  fs::remove(drawing);
  PrintThroughTheBoxes(kPrintWithDrawing, out / "clear.pdf");
  EXPECT_TRUE(fs::exists(out / "clear.pdf")) << "the plan was not printed";
  EXPECT_FALSE(fs::exists(drawing));
  page = PrintedPage("clear");
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(PixelsOf(*page, kMidnightTexture), finished);
}

}  // namespace
