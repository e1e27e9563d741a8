// The colours view on the demo's start plan as a user works it: a unit clicked there is selected and
// the element panel lists the finishes it takes; the palette's finishes group lists the catalogue's
// finishes, one dragged onto the unit paints it, the plan draws it in that finish, and Undo brings
// the old one back. Pixels are read from the window as the idle loop left them.
#include <gtest/gtest.h>

#include <memory>
#include <set>
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
#include "controls/ppConfigPanel.h"
#include "controls/ppConfigTab.h"
#include "controls/ppConfigurator.h"
#include "controls/ppPopupSelector.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproTopCanvas.h"
#include "framework/ppSelectorQuery.h"
#include "platform/Controls.h"
#include "platform/Desktop.h"
#include "platform/LayerClock.h"
#include "platform/PngFile.h"
#include "platform/Surface.h"
#include "room/qxNewRoomCanvas.h"

namespace {

constexpr int32_t kUndo = 31, kRedo = 32;
// The demo's textures of the snow and midnight finishes, plain colours that fill a unit's outline.
constexpr uint32_t kSnowTexture = 0xF4F3EF, kMidnightTexture = 0x1E2E52;
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
};

TEST_F(ColoursViewTest, ASelectedUnitListsItsFinishesAndTakesTheOneDraggedOntoIt) {
  zelvProApp& app = StartOnThePlan();
  Send(zelvproViewBar::kTopColourCommand);
  zelvproTopCanvas* plan = zelvproEditorScroller::MainCanvas();
  ASSERT_NE(plan, nullptr);
  // A unit whose middle no other unit covers: the one a click there selects.
  zelvproElement* unit = nullptr;
  for (int32_t i = 0; i < plan->Subviews().Count() && unit == nullptr; ++i) {
    unit = static_cast<zelvproElement*>(plan->Subviews().At(i));
    const plat::POINT p = Middle(*unit);
    for (int32_t j = 0; j < plan->Subviews().Count() && unit != nullptr; ++j)
      if (j != i &&
          static_cast<zelvproElement*>(plan->Subviews().At(j))->NewFrameRegion()->Contains(p.x, p.y))
        unit = nullptr;
  }
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
  zelvproElementPalette* palette = app.DocumentWindow()->Palette();
  ASSERT_NE(palette, nullptr);
  qxNode* group = nullptr;
  for (int32_t i = 0; i < qxCatalog::kTreeCount && group == nullptr; ++i)
    group = FindGroup(palette->Browser()->Top(i), "Finishes");
  ASSERT_NE(group, nullptr);
  palette->Browser()->SelectCatalogNode(group);
  plat::HeadlessDriver::RunUntilIdle();
  zelvproElementScroller& strip = *palette->Pane()->Strip();
  ASSERT_EQ(strip.ItemCount(), 10);

  // Midnight, the strip's fifth cell, pressed, dragged over the unit and released there: it suits
  // the fronts and the handles.
  plat::RECT cell{};
  strip.GetCellRect(4, 0, &cell);
  const plat::POINT midnight{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
  Mouse(midnight, true);
  plat::LayerClock::Advance(1000);
  Mouse(middle, false);
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

}  // namespace
