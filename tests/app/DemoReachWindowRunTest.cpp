// What the demo offers beyond its kitchen, walked as a user walks it in the built program's window: the
// induction hob dropped onto a base unit beside Worktop 200, the room shape with an arched wall whose arc
// handle is dragged out, the room shape with a wall piece, which is moved and stretched by its end, and
// the File menu's two writers: the plan printed with its DXF drawing and the order saved as text.
//
// The walk runs first in this process, headless, where the plan is read back exactly and each press,
// key and drag is noted in the driver's words; the window run then walks it again on the display and
// is read back from its pixels and the files it wrote. Plan millimetres; pixels of the frame's client
// area.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "WindowRunFixture.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/palette/zelvproElementPalette.h"
#include "canvas/palette/zelvproElementPane.h"
#include "canvas/palette/zelvproElementScroller.h"
#include "canvas/tasks/PlanFrames.h"
#include "catalogue/browser/qxNode.h"
#include "controls/ppConfigPanel.h"
#include "controls/ppConfigTab.h"
#include "controls/ppConfigurator.h"
#include "controls/ppEditTextField.h"
#include "controls/ppPopupSelector.h"
#include "framework/ppPropertyDataUnit.h"
#include "foundation/UserPreferences.h"
#include "elements/units/zelvproParametricElement.h"
#include "controls/ppPopupSelectorDialog.h"
#include "controls/ppPopupSelectorScrollPane.h"
#include "controls/ppPopupSelectorScroller.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/PlanPixels.h"
#include "framework/ppButton.h"
#include "platform/Desktop.h"
#include "platform/WindowApi.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"
#include "room/zelvproWall.h"

namespace {

namespace fs = std::filesystem;
using windowrun::Grab;

// The preferences' inch choice.
constexpr int32_t kInchButton = 1029;
// The start plan's room: inner faces at x 2000 and z 2000 (left and top).
constexpr float kFace = 2000.0f;
// The File menu's items of the function records: the plan printed with its drawing, the order as text.
constexpr uint32_t kPrintWithDrawing = 0xFFEA, kOrderAsText = 16;  // -22 as a menu item id
// File > Line Drawing, ticked before that print: the drawing is written only with it.
constexpr uint32_t kLineDrawing = 3052;
// The rows of Room Shape's list, from 0: the arched wall's shape (id 15) and the wall piece's (16),
// after the shapes of ids 1 to 9, 11, 13 and 14.
constexpr int32_t kArchedRow = 12, kPieceRow = 13;

std::string ReadWhole(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class DemoReachWindowRunTest : public apptest::WindowRunFixture {
 protected:
  zelvproWindow& Window() const { return *app_->DocumentWindow(); }
  zelvproElement& Plan() const { return *Window().TopCanvas(); }
  qxNewRoomCanvas& Room() const { return *dynamic_cast<qxNewRoomCanvas*>(Window().NewRoomCanvas()); }

  // Every element under `view`, at any depth.
  static std::vector<zelvproElement*> Everything(const ppView& view) {
    std::vector<zelvproElement*> all;
    std::function<void(const ppView&)> walk = [&](const ppView& v) {
      ForEachChildElement(v, [&](zelvproElement* e) {
        all.push_back(e);
        walk(*e);
      });
    };
    walk(view);
    return all;
  }

  // A drag made here as the driver makes it on the display, noted in its words.
  void Drag(plat::POINT from, plat::POINT to) {
    steps_.push_back("alive");
    DragInFrame(from, to);
    steps_.push_back("drag:" + Place(from) + "," + Place(to));
  }
  // Whether a palette item's name holds `item` as a word of its own ("VH-WT" is not "VH-WT200").
  static bool NamesItem(const std::string& name, const std::string& item) {
    for (size_t at = name.find(item); at != std::string::npos; at = name.find(item, at + 1)) {
      const size_t end = at + item.size();
      if (end == name.size() || !std::isalnum(static_cast<unsigned char>(name[end]))) return true;
    }
    return false;
  }

  // The element panel's edit field bound to `property`, or null.
  static ppEditTextField* PanelField(const char* property) {
    ppConfigurator* configurator = ppConfigurator::Host();
    if (configurator == nullptr) return nullptr;
    for (ppConfigTab* tab : configurator->Tabs())
      for (ppField* f = tab->Panel() != nullptr ? tab->Panel()->FirstField() : nullptr; f != nullptr;
           f = f->NextField()) {
        auto* unit = dynamic_cast<ppPropertyDataUnit*>(f->DataUnit());
        if (unit != nullptr && std::string(unit->Binding().Name().c_str()) == property)
          return dynamic_cast<ppEditTextField*>(f);
      }
    return nullptr;
  }
  // A key pressed and released here where the keys go, noted as the driver's tap.
  void Tap(int32_t key, const std::string& name) {
    plat::Desktop::Key(key, true);
    plat::Desktop::Key(key, false);
    plat::HeadlessDriver::RunUntilIdle();
    steps_.push_back("tap:" + name);
  }
  // `digits` typed into the panel's field bound to `property` over its text, then Enter.
  bool TypeInto(const char* property, const std::string& digits) {
    ppEditTextField* field = PanelField(property);
    if (field == nullptr) return false;
    const plat::POINT at = Middle(WindowInFrame(field->EditControl()));
    plat::LayerClock::Advance(1000);
    steps_.push_back("alive");
    ClickOnDesktop(app_->Frame(), at);
    steps_.push_back("click:" + Place(at));
    steps_.push_back("focused");
    Tap(plat::VK_END, "End");
    for (int i = 0; i < 12; ++i) Tap(plat::VK_BACK, "BackSpace");
    for (char c : digits) Tap(c, std::string(1, c));
    Tap(plat::VK_RETURN, "Return");
    return true;
  }

  // Pulls the palette's item `item` (its name holds it) of group `group` out and drops it on the plan
  // point `at`; the elements the drop added, at any depth.
  std::vector<zelvproElement*> DropFromPalette(const char* group, const char* item, const ppVector3& at) {
    std::vector<plat::POINT> clicks;
    qxNode* node = OpenGroup(group, clicks);
    EXPECT_NE(node, nullptr) << "the palette's group " << group << " does not open";
    if (node == nullptr) return {};
    for (const plat::POINT& c : clicks) steps_.push_back("press:" + Place(c) + ",100");
    zelvproElementScroller& strip = *Window().Palette()->Pane()->Strip();
    int32_t column = 0;
    for (qxNode* child = node->FirstChild(); child != nullptr; child = child->NextSibling(), ++column)
      if (NamesItem(child->Name().c_str(), item)) break;
    EXPECT_LT(column, strip.ItemCount()) << "no item " << item;
    plat::RECT cell{};
    strip.GetCellRect(column, 0, &cell);
    const plat::POINT from = InFrame(strip.GetRootView()->GetHWND(), Middle(cell));
    const std::vector<zelvproElement*> before = Everything(Plan());
    Drag(from, PlanPixel(at));
    std::vector<zelvproElement*> added;
    for (zelvproElement* e : Everything(Plan()))
      if (std::find(before.begin(), before.end(), e) == before.end()) added.push_back(e);
    return added;
  }

  // Room Shape's list opened with its button, scrolled with its bar's lower arrow until row `row`
  // shows whole, and the row clicked, as a user picks from a list longer than its window. False when
  // no list opened.
  bool ChooseRoomShape(int32_t row) {
    const std::vector<ppPopupSelector*> selectors = All<ppPopupSelector>(Window());
    if (selectors.empty() || selectors.back()->DropButton() == nullptr) return false;
    ppPopupSelector& shapes = *selectors.back();
    const plat::POINT drop = Middle(Frame(*shapes.DropButton()));
    steps_.push_back("alive");
    ClickOnDesktop(app_->Frame(), drop);
    steps_.push_back("click:" + Place(drop));
    steps_.push_back("popup");
    auto* list = dynamic_cast<ppPopupSelectorDialog*>(shapes.OpenPopupDialog());
    if (list == nullptr) return false;
    const plat::HWND popup = list->GetHWND();
    plat::RECT client{};
    plat::GetClientRect(popup, &client);
    constexpr int32_t kRow = 40;                            // the shapes' pictures' rows, in pixels
    ppPopupSelectorScroller& rows = *list->Pane()->List();  // its position counts rows
    for (int32_t i = 0; i < 40 && (row + 1 - rows.PositionY()) * kRow > client.bottom; ++i) {
      // Off by 4 pixels from the last, so that no two clicks make a double click.
      const int32_t x = i % 2 == 0 ? 8 : 4;
      plat::LayerClock::Advance(100);
      ClickOnDesktop(popup, {client.right - x, client.bottom - 8});
      steps_.push_back("poppress:-" + std::to_string(x) + ",-8");
    }
    const plat::POINT pick{30, (row - rows.PositionY()) * kRow + kRow / 2};
    steps_.push_back("popclick:" + std::to_string(pick.x) + "," + std::to_string(pick.y));
    steps_.push_back("nopopup");
    ClickOnDesktop(popup, pick);  // the list and the selector are gone after it
    return true;
  }
  // A click on `window`'s client point `p` here.
  static void ClickOnDesktop(plat::HWND window, plat::POINT p) {
    plat::ClientToScreen(window, &p);
    plat::Desktop::Click(p);
    plat::HeadlessDriver::RunUntilIdle();
  }

  // Anything but the plan's white within `reach` pixels of `p` (walls are drawn as their two faces, a
  // wall piece filled grey).
  bool Painted(const Grab& g, plat::POINT p, int reach) const {
    for (int dy = -reach; dy <= reach; ++dy)
      for (int dx = -reach; dx <= reach; ++dx) {
        const int x = p.x + dx, y = p.y + MenuBar(g) + dy;
        if (x >= 0 && y >= 0 && x < g.width && y < g.height && (g.At(x, y) & 0xFFFFFF) != 0xFFFFFF)
          return true;
      }
    return false;
  }

  std::vector<std::string> steps_;
};

TEST_F(DemoReachWindowRunTest, TheHobTheArchedWallTheWallPieceAndTheFileMenusWritersWorkInTheWindow) {
  // A retailer working in inches: the preferences' inch choice, kept for the run on the display too.
  BeginOnThePlan();
  bool inches = false;
  plat::HeadlessDriver::SetIdleScript([&] {
    if (inches) return false;
    inches = true;
    const plat::HWND dialog = plat::GetActiveWindow();
    plat::SendMessageW(plat::GetDlgItem(dialog, kInchButton), plat::BM_CLICK, 0, 0);
    return plat::PostMessageA(dialog, plat::WM_COMMAND, plat::IDOK, 0) != 0;
  });
  Send(zelvProApp::kPreferencesCommand);
  plat::HeadlessDriver::SetIdleScript(nullptr);
  ASSERT_EQ(Preferences().unitSystem, uint32_t(kUnitImperial));
  Stop();
  BeginOnThePlan();
  ASSERT_EQ(Preferences().unitSystem, uint32_t(kUnitImperial)) << "the inch choice was not kept";
  ASSERT_EQ(CurrentView(), zelvproViewBar::kTopColourView) << "the plan opens in the plan view";

  // ---- The plan: a base unit beside the drawer unit, the hob dropped onto it, Worktop 200 in the room.
  const std::vector<zelvproElement*> base =
      DropFromPalette("Base", "VH-B60", ppVector3(kFace + 1150.0f, 0.0f, kFace + 150.0f));
  ASSERT_EQ(base.size(), 1u) << "the base unit's drop";
  const ppVector3 baseAt = PlanPoint(base[0], ppVector3());
  const plat::POINT baseMiddle = PlanPixel(baseAt + ppVector3(300.0f, 0.0f, 280.0f));
  steps_.push_back(GrabStep("base.ppm"));
  const std::vector<zelvproElement*> hob =
      DropFromPalette("Appliances", "VH-AHB60", baseAt + ppVector3(300.0f, 0.0f, 280.0f));
  ASSERT_EQ(hob.size(), 1u) << "the hob's drop onto the base unit";
  EXPECT_EQ(hob[0]->GetSupervisor(), base[0]) << "the hob stands on the base unit it was dropped onto";
  steps_.push_back(GrabStep("hob.ppm"));
  const std::vector<zelvproElement*> worktop =
      DropFromPalette("Worktops", "VH-WT200", ppVector3(kFace + 500.0f, 0.0f, kFace + 1600.0f));
  ASSERT_EQ(worktop.size(), 1u) << "Worktop 200's drop";
  // The custom worktop, made to measure: five feet typed as 60 in its Width field.
  const std::vector<zelvproElement*> custom =
      DropFromPalette("Worktops", "VH-WT", ppVector3(kFace + 500.0f, 0.0f, kFace + 2400.0f));
  ASSERT_EQ(custom.size(), 1u) << "the custom worktop's drop";
  const plat::POINT customEnd = PlanPixel(PlanPoint(custom[0], ppVector3(1400.0f, 0.0f, 300.0f)));
  steps_.push_back(GrabStep("custom.ppm"));
  ASSERT_TRUE(TypeInto("XDim", "60")) << "the custom worktop's panel has no Width field";
  EXPECT_NEAR(custom[0]->dimensions.x, 1524.0f, 0.01f) << "60 inches";
  steps_.push_back(GrabStep("sized.ppm"));

  // ---- The File menu's writers, from the plan (Colors) view: Line Drawing ticked, the print with its
  // drawing, accepted with Enter, and the order as text under the name the box proposes.
  const std::vector<std::string> lines = Choose(kLineDrawing);
  const std::vector<std::string> print = Choose(kPrintWithDrawing);
  const std::vector<std::string> order = Choose(kOrderAsText);
  ASSERT_FALSE(lines.empty() || print.empty() || order.empty());
  steps_.insert(steps_.end(), lines.begin(), lines.end());
  steps_.insert(steps_.end(), print.begin(), print.end());
  steps_.insert(steps_.end(), {"popup", "tap:Return", "nopopup", "alive"});
  steps_.insert(steps_.end(), order.begin(), order.end());
  steps_.insert(steps_.end(), {"popup", "tap:Return", "nopopup", "alive"});

  // ---- Room Design: the arched room's arc handle dragged 40 pixels out, across the room's right.
  const plat::POINT roomButton = Middle(Frame(*Find<ppButton>(
      Window(), [](ppButton& b) { return b.GetPictureId() == zelvproViewBar::kRoomDesignView; })));
  steps_.push_back("press:" + Place(roomButton) + ",150");
  steps_.push_back("changed");
  Send(zelvproViewBar::kRoomDesignCommand);
  ASSERT_TRUE(ChooseRoomShape(kArchedRow)) << "Room Shape's list did not open";
  qxRoomSegment* arched = nullptr;
  for (zelvproElement* e : Everything(Room()))
    if (auto* s = dynamic_cast<qxRoomSegment*>(e); s != nullptr && s->IsArched()) arched = s;
  ASSERT_NE(arched, nullptr) << "the arched room shape was not chosen";
  const ppVector3 chordMiddle = (arched->Start() + arched->End()) * 0.5f;
  const float bulgeBefore = arched->GetRadius() - (chordMiddle.x - arched->GetCenter().x);
  EXPECT_NEAR(bulgeBefore, 600.0f, 1.0f);
  const plat::POINT handle = PlanPixel(chordMiddle + ppVector3(bulgeBefore, 0.0f, 0.0f));
  const plat::POINT out{handle.x + 40, handle.y};
  steps_.push_back(GrabStep("arched.ppm"));
  plat::LayerClock::Advance(1000);
  Drag(handle, out);
  const float bulgeAfter = arched->GetRadius() - (chordMiddle.x - arched->GetCenter().x);
  EXPECT_GT(bulgeAfter, bulgeBefore + 200.0f) << "the arc handle's drag did not bend the wall out";
  // Where the arc crossed the chord's normal before and after, for the window's pixels.
  const plat::POINT bentTo = PlanPixel(chordMiddle + ppVector3(bulgeAfter, 0.0f, 0.0f));
  steps_.push_back(GrabStep("bent.ppm"));

  // ---- The room shape with the wall piece: moved by its body, then stretched by its far end.
  ASSERT_TRUE(ChooseRoomShape(kPieceRow));
  zelvproWall* piece = nullptr;
  for (zelvproElement* e : Everything(Room()))
    if (auto* p = dynamic_cast<zelvproWall*>(e)) piece = p;
  ASSERT_NE(piece, nullptr) << "the room shape with the wall piece was not chosen";
  ASSERT_EQ(piece->snapPoints.size(), 2u);
  auto end = [&](int32_t i) { return PlanPoint(piece, piece->snapPoints[size_t(i)].point); };
  const ppVector3 start0 = end(0), end0 = end(1);
  const plat::POINT body = PlanPixel((start0 + end0) * 0.5f);
  steps_.push_back(GrabStep("piece.ppm"));
  plat::LayerClock::Advance(1000);
  Drag(body, {body.x + 30, body.y + 40});
  const ppVector3 start1 = end(0);
  EXPECT_GT(start1.z - start0.z, 100.0f) << "the wall piece did not move with its body";
  const plat::POINT farEnd = PlanPixel(end(1));
  plat::LayerClock::Advance(1000);
  Drag(farEnd, {farEnd.x + 20, farEnd.y - 60});
  EXPECT_LT(end(1).z, end0.z) << "the far end did not follow the pointer";
  EXPECT_NEAR(end(0).x, start1.x, 1.0f) << "the start stays where it was";
  const plat::POINT movedMiddle = PlanPixel((start1 + end(1)) * 0.5f);
  steps_.push_back(GrabStep("stretched.ppm"));

  const std::vector<std::string> closing = CloseWithoutSaving();
  const fs::path plan = DemoPlan();
  Stop();
  steps_.insert(steps_.end(), closing.begin(), closing.end());

  // ---- The same walk on the display, with a temporary folder of its own for the drawing.
  const fs::path temporary = demo_.Root() / "tmp";
  fs::create_directories(temporary);
  fs::remove(plan.parent_path() / "new.txt");
  // The desktop's opener, which shows the saved order, is one that notes what it was given.
  const fs::path bin = demo_.Root() / "bin", opened = demo_.Root() / "opened.txt";
  fs::create_directories(bin);
  std::ofstream(bin / "xdg-open") << "#!/bin/sh\necho \"$1\" > '" << opened.string() << "'\n";
  fs::permissions(bin / "xdg-open", fs::perms::owner_all);
  const windowrun::Outcome outcome = Run(
      steps_, 150, Quoted(plan), "TMPDIR='" + temporary.string() + "' PATH='" + bin.string() + "':\"$PATH\"");
  ASSERT_TRUE(outcome.Passed()) << outcome.log;
  EXPECT_GT(Differing(Grabbed("base.ppm"), Grabbed("hob.ppm"),
                      Grown(plat::RECT{baseMiddle.x, baseMiddle.y, baseMiddle.x + 1, baseMiddle.y + 1}, 60)),
            0)
      << "the hob is not drawn on the base unit";
  EXPECT_TRUE(!Painted(Grabbed("custom.ppm"), customEnd, 1) && Painted(Grabbed("sized.ppm"), customEnd, 1))
      << "the custom worktop is not drawn at its typed width";
  // The arc's faces lie either side of its centre line, a few pixels off.
  const Grab arched0 = Grabbed("arched.ppm"), bent = Grabbed("bent.ppm");
  EXPECT_TRUE(Painted(arched0, handle, 10) && !Painted(arched0, bentTo, 10))
      << "the arched wall is not where learnt";
  EXPECT_TRUE(Painted(bent, bentTo, 10)) << "the dragged arc is not drawn through the pointer";
  EXPECT_FALSE(Painted(bent, handle, 4)) << "the arc still crosses the chord's normal where it did";
  const Grab piece0 = Grabbed("piece.ppm"), stretched = Grabbed("stretched.ppm");
  EXPECT_TRUE(Painted(piece0, body, 1)) << "the wall piece is not drawn where learnt";
  EXPECT_TRUE(Painted(stretched, movedMiddle, 1)) << "the moved piece is not drawn where it was put";
  EXPECT_FALSE(Painted(stretched, body, 1)) << "the wall piece is still drawn where it was";

  // The drawing: the room's walls and the units, on their layers.
  const std::string dxf = ReadWhole(temporary / "zelvo.dxf");
  EXPECT_NE(dxf.find("ROOM"), std::string::npos) << "no drawing in the temporary folder:\n" << outcome.log;
  EXPECT_NE(dxf.find("FURNITURE"), std::string::npos);
  // The order: a module line per unit, the hob's among them, and Worktop 200's parts on lines of
  // their own.
  const std::string text = ReadWhole(plan.parent_path() / "new.txt");
  EXPECT_NE(text.find("VH-AHB60"), std::string::npos) << text;
  EXPECT_NE(text.find("KOMPONENT"), std::string::npos) << text;
  EXPECT_NE(text.find("VH-WB200"), std::string::npos) << text;
  EXPECT_NE(ReadWhole(opened).find("new.txt"), std::string::npos) << "the saved order was not opened";
}

}  // namespace
