// What the user did is what the built program's window shows, on a display (Xvfb), driven through
// XTEST and read from the display's own pixels with nothing repainted on the test's behalf: edits on
// the demo's start plan are drawn as soon as the program is idle, the Edit and View menus grey and
// check their items as the edits change them, the cursor tells a free place from a blocked one,
// inches chosen in the preferences reach the rulers, and the document server's boxes show as dialogs
// over the plan.
//
// Where the palette, the buttons, the fields and the menu items lie is learnt from the same start-up
// in this process, headless, on a screen of the display's size.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "CursorShot.h"
#include "WindowRunFixture.h"
#include "canvas/editor/zelvproEditor.h"
#include "canvas/editor/zelvproEditorScroller.h"
#include "canvas/editor/zelvproRuler.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/palette/zelvproElementPalette.h"
#include "canvas/palette/zelvproElementPane.h"
#include "canvas/palette/zelvproElementScroller.h"
#include "canvas/window/zelvproEditorCanvas.h"
#include "canvas/window/zelvproRotatePanel.h"
#include "catalogue/browser/qxCatalog.h"
#include "catalogue/browser/qxNode.h"
#include "catalogue/browser/qxTopNode.h"
#include "controls/ppEditTextField.h"
#include "controls/ppField.h"
#include "elements/base/PlanPixels.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/units/zelvproConfigElement.h"
#include "exchange/qxErrorMessage.h"
#include "exchange/qxServerDialog.h"
#include "exchange/qxServerLoginDialog.h"
#include "foundation/TextsById.h"
#include "framework/ColorConversion.h"
#include "framework/ppButton.h"
#include "framework/ppScrollBar.h"
#include "framework/ppTextButton.h"
#include "framework/qxAdornerColors.h"
#include "platform/Cursors.h"
#include "platform/Desktop.h"
#include "platform/MenuBar.h"
#include "platform/TreeView.h"
#include "room/qxWallElement.h"

namespace {

namespace fs = std::filesystem;

constexpr int32_t kUndo = 31, kRedo = 32, kCut = 33, kCopy = 34, kPaste = 35, kDelete = 36, kSelectAll = 203;
constexpr int32_t kEditMenu = 1, kViewMenu = 2;
constexpr int32_t kFreeCursor = 145, kBlockedCursor = 140;
constexpr int32_t kInchButton = 1029;

using apptest::CursorShot;
using apptest::ReadCursorShot;
using apptest::SameCursor;

class EditsWindowRunTest : public apptest::WindowRunFixture {
 protected:
  // Opens the palette's group `name` as the user does; the clicks, as the driver makes them, are added
  // to `steps`.
  qxNode* OpenGroup(const char* name, std::vector<std::string>& steps) {
    std::vector<plat::POINT> clicks;
    qxNode* group = StartedProgramTest::OpenGroup(name, clicks);
    for (const plat::POINT& at : clicks) steps.push_back("press:" + Place(at) + ",100");
    return group;
  }
  // The strip cell of the open group's item whose name holds `item`, in frame client pixels.
  plat::POINT StripItem(qxNode& group, const char* item) {
    zelvproElementScroller& strip = *app_->DocumentWindow()->Palette()->Pane()->Strip();
    int32_t column = 0;
    for (qxNode* child = group.FirstChild(); child != nullptr; child = child->NextSibling(), ++column)
      if (std::string(child->Name().c_str()).find(item) != std::string::npos) break;
    EXPECT_LT(column, strip.ItemCount()) << "no item " << item;
    plat::RECT cell{};
    strip.GetCellRect(column, 0, &cell);
    return InFrame(app_->DocumentWindow()->GetHWND(), Middle(cell));
  }
  // Drags with the mouse from `from` to `to` (frame client pixels) in this process, as the driver does.
  void Drag(plat::POINT from, plat::POINT to) { DragInFrame(from, to); }

  // The room's walls' faces, as a rectangle of frame client pixels around them.
  plat::RECT RoomBox() {
    plat::RECT box{1 << 20, 1 << 20, -(1 << 20), -(1 << 20)};
    for (qxWallElement* wall : Walls(*app_->DocumentWindow()->NewRoomCanvas()))
      for (const ppVector3& p : {wall->Edge().start, wall->Edge().end}) {
        const plat::POINT px = PlanPixel(p);
        box = {std::min(box.left, px.x), std::min(box.top, px.y), std::max(box.right, px.x),
               std::max(box.bottom, px.y)};
      }
    return box;
  }

  // The places of menu `index`'s items in its popup's pixels, by command id, and its title's place.
  std::map<uint32_t, plat::RECT> MenuItems(int32_t index, std::string* title) {
    plat::POINT middle = Middle(plat::MenuBarItemRects(app_->Frame())[size_t(index)]);
    plat::ScreenToClient(app_->Frame(), &middle);
    *title = Place(middle);
    return WindowRunFixture::MenuItems(index);
  }

  // Steps that open menu `title`, grab its popup to `name` and close it again.
  std::vector<std::string> ReadMenu(const std::string& title, const std::string& name) {
    return {"click:" + title, "popup", "grabpopup:" + (demo_.Root() / name).string(), "tap:Escape",
            "nopopup"};
  }

  // How a menu item reads in a grab of its popup: black text, grey text, and a tick before it (the
  // platform's menu draws the text 18 pixels in, the tick left of it).
  enum class Looks { kBlack, kGrey, kMissing };
  static int Brightest(uint32_t pixel) {
    return std::max({int((pixel >> 16) & 0xFF), int((pixel >> 8) & 0xFF), int(pixel & 0xFF)});
  }
  static Looks TextOf(const windowrun::Grab& popup, const plat::RECT& item) {
    bool black = false, grey = false;
    for (int y = item.top; y < item.bottom && y < popup.height; ++y)
      for (int x = item.left + 18; x < item.right && x < popup.width; ++x) {
        black = black || Brightest(popup.At(x, y)) < 0x40;
        grey = grey || Brightest(popup.At(x, y)) < 0xB0;
      }
    return black ? Looks::kBlack : grey ? Looks::kGrey : Looks::kMissing;
  }
  static bool Ticked(const windowrun::Grab& popup, const plat::RECT& item) {
    for (int y = item.top; y < item.bottom && y < popup.height; ++y)
      for (int x = item.left; x < item.left + 16 && x < popup.width; ++x)
        if (Brightest(popup.At(x, y)) < 0x40) return true;
    return false;
  }

  // On the plan the start-up in this process opened.
  windowrun::Outcome Run(const std::vector<std::string>& steps, int seconds) {
    return WindowRunFixture::Run(steps, seconds, Quoted(demo_.Root() / "user" / "new.qxf"));
  }
};

// A base unit pulled from the palette into the room, moved, turned, the turn undone and redone, the
// plan zoomed in and out by its buttons and by the keys, the turned unit moved back, and a wall made
// shorter in Room Design: each is drawn in the window as soon as the program is idle, where it
// happened, and reads as the whole plan drawn anew.
TEST_F(EditsWindowRunTest, EveryEditIsDrawnWhereItHappenedOnceTheProgramIsIdle) {
  BeginOnThePlan();
  std::vector<std::string> steps = {"alive"};
  qxNode* group = OpenGroup("Base", steps);
  ASSERT_NE(group, nullptr);
  const plat::POINT cell = StripItem(*group, "VH-B60");
  const plat::POINT centre = Middle(RoomBox());
  zelvproTopCanvas* plan = zelvproEditorScroller::MainCanvas();
  ASSERT_NE(plan, nullptr);
  std::vector<ppView*> before;
  for (int32_t i = 0; i < plan->Subviews().Count(); ++i) before.push_back(plan->Subviews().At(i));
  Drag(cell, centre);
  ASSERT_EQ(plan->Subviews().Count(), static_cast<int32_t>(before.size()) + 1)
      << "the drop added no unit here either";
  // A floor unit is put under the units already there, so it is found by what is new.
  ppView* added = nullptr;
  for (int32_t i = 0; i < plan->Subviews().Count(); ++i)
    if (std::find(before.begin(), before.end(), plan->Subviews().At(i)) == before.end())
      added = plan->Subviews().At(i);
  ASSERT_NE(added, nullptr);
  const plat::RECT dropped = Frame(*added);
  // The move, in pixels: clear of where the unit was and of every wall, so the unit stays where it is
  // put.
  constexpr int kDx = 110, kDy = -110;
  const plat::RECT moved = Moved(dropped, kDx, kDy);
  auto* editor = zelvproEditorCanvas::Current();
  ASSERT_NE(editor, nullptr);
  const plat::RECT planArea = Frame(*editor);
  const std::string zoomIn = Place(Frame(*editor->ZoomInButton())),
                    zoomOut = Place(Frame(*editor->ZoomOutButton()));
  auto* turner = Find<zelvproRotatePanel>(*app_->DocumentWindow());
  ASSERT_NE(turner, nullptr);
  const std::string turn = Place(Frame(*turner->CounterclockwiseButton()));
  Send(zelvproViewBar::kRoomDesignCommand);
  const plat::RECT walls = RoomBox();
  ppField* sideA =
      Find<ppField>(*app_->DocumentWindow(), [](ppField& f) { return f.GetName() == "Measurement0"; });
  ASSERT_NE(sideA, nullptr) << "Room Design shows no field for side A";
  const plat::RECT a = Frame(*sideA);
  const plat::POINT typeAt{a.left + (a.right - a.left) * 3 / 4, (a.top + a.bottom) / 2};
  const std::vector<std::string> closing = CloseWithoutSaving();
  Stop();

  // Each action, then the wait until the window changes, then its grab.
  auto then = [&](const char* name, std::initializer_list<std::string> actions) {
    steps.insert(steps.end(), actions);
    steps.push_back("changed");
    steps.push_back(GrabStep(name));
  };
  steps.push_back(GrabStep("start.ppm"));
  then("dropped.ppm", {"drag:" + Place(cell) + "," + Place(centre)});
  then("moved.ppm", {"drag:" + Place(Middle(dropped)) + "," + Place(Middle(moved))});
  then("turned.ppm", {"press:" + turn + ",100"});
  then("undone.ppm", {"tap:Control_L+z"});
  then("redone.ppm", {"tap:Control_L+Shift_L+z"});
  then("zoomed.ppm", {"press:" + zoomIn + ",100"});
  then("unzoomed.ppm", {"press:" + zoomOut + ",100"});
  then("zoomedbykey.ppm", {"tap:Control_L+equal"});
  then("unzoomedbykey.ppm", {"tap:Control_L+KP_Subtract"});
  then("back.ppm", {"drag:" + Place(Middle(moved)) + "," + Place(Middle(dropped))});
  then("roomdesign.ppm", {"tap:F2"});
  // Side A typed anew: 2800 mm in place of 3350.
  steps.insert(steps.end(), {"press:" + Place(typeAt) + ",100", "tap:End"});
  for (int i = 0; i < 10; ++i) steps.push_back("tap:BackSpace");
  then("shorter.ppm", {"tap:2", "tap:8", "tap:0", "tap:0", "tap:Return"});
  steps.insert(steps.end(), closing.begin(), closing.end());
  const windowrun::Outcome outcome = Run(steps, 150);
  ASSERT_TRUE(outcome.Passed()) << outcome.log;

  const windowrun::Grab start = Grabbed("start.ppm"), drop = Grabbed("dropped.ppm"),
                        move = Grabbed("moved.ppm"), turned = Grabbed("turned.ppm"),
                        undone = Grabbed("undone.ppm"), redone = Grabbed("redone.ppm"),
                        back = Grabbed("back.ppm"), zoomed = Grabbed("zoomed.ppm"),
                        unzoomed = Grabbed("unzoomed.ppm"), byKey = Grabbed("zoomedbykey.ppm"),
                        unzoomedByKey = Grabbed("unzoomedbykey.ppm"), design = Grabbed("roomdesign.ppm"),
                        shorter = Grabbed("shorter.ppm");
  EXPECT_GT(Differing(start, drop, Grown(dropped, 2)), 100) << "the dropped unit is not drawn";
  EXPECT_EQ(Differing(start, move, Grown(dropped, 2)), 0) << "the moved unit still shows where it was";
  EXPECT_GT(Differing(start, move, Grown(moved, 2)), 100) << "the moved unit is not drawn where it went";
  EXPECT_GT(Differing(move, turned, Grown(moved, 20)), 100) << "the turn is not drawn";
  EXPECT_EQ(Differing(move, undone, Grown(moved, 20)), 0) << "Undo does not draw the unit unturned";
  EXPECT_EQ(Differing(turned, redone, Grown(moved, 20)), 0) << "Redo does not draw the unit turned";
  // The whole plan drawn anew at each zoom step reads as the edits drew it piece by piece, every
  // smoothed pixel of the turned unit's slanted edges too.
  EXPECT_GT(Differing(redone, zoomed, planArea), 500) << "the plan is not drawn at the new scale";
  EXPECT_EQ(Differing(redone, unzoomed, planArea), 0) << "zoomed out, the plan is not as the edits drew it";
  EXPECT_EQ(Differing(zoomed, byKey, planArea), 0) << "Ctrl+= does not zoom as the button does";
  EXPECT_EQ(Differing(redone, unzoomedByKey, planArea), 0) << "Ctrl+- does not zoom out";
  // The turned unit moved back leaves the floor where it stood as it was.
  EXPECT_EQ(Differing(start, back, Grown(moved, 20)), 0) << "the turned unit left pixels behind";
  EXPECT_GT(Differing(start, back, Grown(dropped, 2)), 100) << "the unit moved back is not drawn";
  EXPECT_GT(Differing(design, shorter, Grown(walls, 20)), 200) << "the shorter wall is not drawn";
  EXPECT_EQ(Differing(design, shorter,
                      {walls.left - 20, walls.top - 20, walls.right + 20, (walls.top + walls.bottom) / 3}),
            0)
      << "the room's far side moved too";
}

// A configurable unit (the demo's "Hinged base 60" made one) saved in the room and moved there with the
// mouse: as soon as the program is idle the window shows it where it went and the floor where it stood.
TEST_F(EditsWindowRunTest, AMovedConfigurableUnitIsDrawnWhereItWentAtOnce) {
  MakeConfigurable("CFG");
  BeginOnThePlan();
  zelvproTopCanvas* plan = zelvproEditorScroller::MainCanvas();
  ASSERT_NE(plan, nullptr);
  const int32_t units = plan->Subviews().Count();
  plat::POINT centre = Middle(RoomBox());
  plat::ClientToScreen(app_->Frame(), &centre);
  plat::ScreenToClient(app_->DocumentWindow()->GetHWND(), &centre);
  DropFromPalette("Base", "VH-CFG", centre);
  ASSERT_EQ(plan->Subviews().Count(), units + 1);
  zelvproConfigElement* unit = nullptr;  // the start plan has none; a floor unit goes under the others
  for (int32_t i = 0; i < plan->Subviews().Count() && unit == nullptr; ++i)
    unit = dynamic_cast<zelvproConfigElement*>(plan->Subviews().At(i));
  ASSERT_NE(unit, nullptr);
  const plat::RECT dropped = Frame(*unit);
  const plat::RECT moved = Moved(dropped, 110, -110);  // clear of the walls, as in the run above
  const std::vector<std::string> closing = CloseWithoutSaving();
  Send(zelvproWindow::kSave);
  Stop();
  // Zoomed in and out again, the plan is drawn anew: the reference for what the move left on screen.
  std::vector<std::string> steps = {"alive",
                                    GrabStep("start.ppm"),
                                    "drag:" + Place(Middle(dropped)) + "," + Place(Middle(moved)),
                                    "changed",
                                    GrabStep("moved.ppm"),
                                    "tap:Control_L+equal",
                                    "changed",
                                    "tap:Control_L+KP_Subtract",
                                    "changed",
                                    GrabStep("redrawn.ppm")};
  steps.insert(steps.end(), closing.begin(), closing.end());
  const windowrun::Outcome outcome = Run(steps, 90);
  ASSERT_TRUE(outcome.Passed()) << outcome.log;
  const windowrun::Grab start = Grabbed("start.ppm"), move = Grabbed("moved.ppm"),
                        redrawn = Grabbed("redrawn.ppm");
  EXPECT_GT(Differing(start, move, Grown(moved, 2)), 100) << "the unit is not drawn where it went";
  EXPECT_EQ(Differing(move, redrawn, Grown(dropped, 2)), 0) << "the unit still shows where it stood";
  EXPECT_EQ(Differing(move, redrawn, Grown(moved, 2)), 0) << "the unit is not drawn as the plan draws it";
}

// The Edit menu greys what cannot be done and the View menu ticks the view shown, as the platform's
// menu draws them, after each action that changes them: at the start, with every unit selected, with
// a copy to paste, after a deletion, after its Undo, after a new action, and in two other views.
TEST_F(EditsWindowRunTest, TheEditAndViewMenusGreyAndTickTheirItemsAsTheEditsChangeThem) {
  BeginOnThePlan();
  std::string editTitle, viewTitle;
  const std::map<uint32_t, plat::RECT> edit = MenuItems(kEditMenu, &editTitle);
  const std::map<uint32_t, plat::RECT> view = MenuItems(kViewMenu, &viewTitle);
  const std::vector<std::string> closing = CloseWithoutSaving();
  Stop();
  for (uint32_t id : {kUndo, kRedo, kCut, kCopy, kPaste, kDelete, kSelectAll})
    ASSERT_TRUE(edit.count(id)) << "the Edit menu has no item " << id;
  for (uint32_t id : {3001, 3003, 3005, 3006, 3009})
    ASSERT_TRUE(view.count(id)) << "the View menu has no item " << id;

  struct Moment {
    const char* name;
    std::vector<std::string> doing;  // driver steps before the menus are read
  };
  const std::vector<Moment> moments = {{"start", {}},
                                       {"selected", {"tap:Control_L+a", "changed"}},
                                       {"copied", {"tap:Control_L+c"}},
                                       {"deleted", {"tap:Delete", "changed"}},
                                       {"undone", {"tap:Control_L+z", "changed"}},
                                       {"again", {"tap:Control_L+a", "tap:Delete", "changed"}},
                                       {"room", {"tap:F2", "changed"}},
                                       {"prices", {"tap:F8", "changed"}}};
  std::vector<std::string> steps = {"alive"};
  for (const Moment& m : moments) {
    steps.insert(steps.end(), m.doing.begin(), m.doing.end());
    for (const std::string& s : ReadMenu(editTitle, std::string(m.name) + ".edit.ppm")) steps.push_back(s);
    for (const std::string& s : ReadMenu(viewTitle, std::string(m.name) + ".view.ppm")) steps.push_back(s);
  }
  steps.insert(steps.end(), closing.begin(), closing.end());
  const windowrun::Outcome outcome = Run(steps, 150);
  ASSERT_TRUE(outcome.Passed()) << outcome.log;

  // Black (1) or grey (0) for Undo, Redo, Cut, Copy, Paste, Delete, Select All (-1: not read); the
  // view ticked. The plan opens in the Colours view.
  const struct {
    const char* moment;
    int undo, redo, cut, copy, paste, remove, all;
    uint32_t ticked;
  } expected[] = {{"start", 0, 0, 0, 0, 0, 0, 1, 3003},       {"selected", 0, 0, 1, 1, 0, 1, 1, 3003},
                  {"copied", 0, 0, 1, 1, 1, 1, 1, 3003},      {"deleted", 1, 0, 0, 0, 1, 0, 0, 3003},
                  {"undone", 0, 1, 1, 1, 1, 1, 1, 3003},      {"again", 1, 0, 0, 0, 1, 0, 0, 3003},
                  {"room", -1, -1, -1, -1, -1, -1, -1, 3001}, {"prices", -1, -1, -1, -1, -1, -1, -1, 3006}};
  for (const auto& e : expected) {
    SCOPED_TRACE(e.moment);
    const windowrun::Grab menu = Grabbed(std::string(e.moment) + ".edit.ppm");
    ASSERT_GT(menu.width, 0);
    const std::pair<int32_t, int> items[] = {{kUndo, e.undo},    {kRedo, e.redo},   {kCut, e.cut},
                                             {kCopy, e.copy},    {kPaste, e.paste}, {kDelete, e.remove},
                                             {kSelectAll, e.all}};
    for (const auto& [id, black] : items) {
      if (black >= 0) {
        EXPECT_EQ(TextOf(menu, edit.at(uint32_t(id))), black ? Looks::kBlack : Looks::kGrey)
            << "Edit item " << id;
      }
    }
    const windowrun::Grab views = Grabbed(std::string(e.moment) + ".view.ppm");
    ASSERT_GT(views.width, 0);
    for (uint32_t id : {3001u, 3003u, 3005u, 3006u})
      EXPECT_EQ(Ticked(views, view.at(id)), id == e.ticked) << "View item " << id;
    // The price list has nothing to zoom.
    EXPECT_EQ(TextOf(views, view.at(3009)), e.ticked == 3006 ? Looks::kGrey : Looks::kBlack);
  }
}

// The cursor shows what a drop would do: over the plan's floor, a unit and a wall the arrow; a unit
// pulled from the palette shows the free cursor over free floor and the blocked one over another
// unit, where its release is refused and leaves the plan as it was, after which the arrow is back; a
// door pulled over the floor shows the blocked cursor and by a wall the free one.
TEST_F(EditsWindowRunTest, TheCursorTellsAFreePlaceFromABlockedOneAndARefusedDropChangesNothing) {
#if !defined(PLANNER_DRIVE_XFIXES)
  GTEST_SKIP() << "the driver cannot read the cursor (no XFIXES development files)";
#endif
  zelvProApp& app = BeginOnThePlan();
  plat::CursorPicture free, blocked;
  ASSERT_TRUE(plat::ReadCursorPicture(
      plat::LoadCursorA(app.GetInstance(), plat::MAKEINTRESOURCEA(kFreeCursor)), free));
  ASSERT_TRUE(plat::ReadCursorPicture(
      plat::LoadCursorA(app.GetInstance(), plat::MAKEINTRESOURCEA(kBlockedCursor)), blocked));
  zelvproTopCanvas* plan = zelvproEditorScroller::MainCanvas();
  ASSERT_NE(plan, nullptr);
  ASSERT_GT(plan->Subviews().Count(), 1);
  const plat::POINT unit = Middle(Frame(*plan->Subviews().At(plan->Subviews().Count() - 1)));
  const plat::RECT room = RoomBox();
  const plat::POINT centre = Middle(room);
  const plat::POINT onWall{centre.x, room.top};
  auto* editor = zelvproEditorCanvas::Current();
  ASSERT_NE(editor, nullptr);
  const plat::RECT planArea = Frame(*editor);
  auto cursor = [&](const char* name) { return "cursor:" + (demo_.Root() / name).string(); };
  std::vector<std::string> steps = {"alive",
                                    "move:" + Place(centre),
                                    cursor("floor.pam"),
                                    "move:" + Place(unit),
                                    cursor("unit.pam"),
                                    "move:" + Place(onWall),
                                    cursor("wall.pam")};
  qxNode* base = OpenGroup("Base", steps);
  ASSERT_NE(base, nullptr);
  const plat::POINT unitCell = StripItem(*base, "VH-B60");
  // After a click on the floor beside the room, the first pull takes the room's selection away and
  // the window then reads as the plan drawn anew (a zoom step in and out) with no measure line
  // left; the second, refused as well, leaves it as it was.
  const plat::POINT beside{(planArea.left + room.left) / 2, centre.y};
  steps.insert(steps.end(), {"press:" + Place(beside) + ",100",
                             "down:" + Place(unitCell),
                             "move:" + Place(centre),
                             cursor("free.pam"),
                             "move:" + Place(unit),
                             cursor("blocked.pam"),
                             "up",
                             GrabStep("refused.ppm"),
                             "tap:Control_L+equal",
                             "changed",
                             "tap:Control_L+KP_Subtract",
                             "changed",
                             GrabStep("redrawn.ppm"),
                             "down:" + Place(unitCell),
                             "move:" + Place(centre),
                             "move:" + Place(unit),
                             "up",
                             GrabStep("again.ppm"),
                             "move:" + Place(centre),
                             cursor("after.pam"),
                             "tap:F2",
                             "changed"});
  Send(zelvproViewBar::kRoomDesignCommand);
  qxNode* openings = OpenGroup("Openings", steps);
  ASSERT_NE(openings, nullptr);
  const plat::POINT doorCell = StripItem(*openings, "VH-DR90");
  // 300 mm into the room from the middle of its far wall's face.
  const plat::POINT byWall{centre.x, room.top + int32_t(300.0 / PlanScale())};
  steps.insert(steps.end(), {"down:" + Place(doorCell), "move:" + Place(centre), cursor("doorfloor.pam"),
                             "move:" + Place(byWall), cursor("doorwall.pam"), "up", "changed"});
  const std::vector<std::string> closing = CloseWithoutSaving();
  steps.insert(steps.end(), closing.begin(), closing.end());
  Stop();
  const windowrun::Outcome outcome = Run(steps, 120);
  ASSERT_TRUE(outcome.Passed()) << outcome.log;

  auto shot = [&](const char* name) { return ReadCursorShot(demo_.Root() / name); };
  const CursorShot arrow = shot("floor.pam");
  ASSERT_GT(arrow.width, 0);
  EXPECT_FALSE(SameCursor(arrow, free) || SameCursor(arrow, blocked))
      << "the plan shows a task's cursor at rest";
  for (const char* name : {"unit.pam", "wall.pam", "after.pam"}) {
    const CursorShot seen = shot(name);
    EXPECT_TRUE(seen.width == arrow.width && seen.height == arrow.height && seen.pixels == arrow.pixels)
        << name << ": not the arrow";
  }
  EXPECT_TRUE(SameCursor(shot("free.pam"), free)) << "a unit over free floor does not show the free cursor";
  EXPECT_TRUE(SameCursor(shot("blocked.pam"), blocked))
      << "a unit over another does not show the blocked cursor";
  const windowrun::Grab redrawn = Grabbed("redrawn.ppm");
  EXPECT_EQ(Differing(Grabbed("refused.ppm"), redrawn, planArea), 0)
      << "after a refused drop the window does not show the plan as it is";
  EXPECT_EQ(Differing(Grabbed("again.ppm"), redrawn, planArea), 0) << "the refused drop changed the plan";
  EXPECT_TRUE(SameCursor(shot("doorfloor.pam"), blocked))
      << "a door away from the walls is not shown blocked";
  EXPECT_TRUE(SameCursor(shot("doorwall.pam"), free)) << "a door by a wall is not shown free";
}

// Inches chosen in the preferences, opened from the File menu and confirmed with OK, change the
// rulers' labels at once and leave the plan as it was.
TEST_F(EditsWindowRunTest, InchesChosenInThePreferencesRelabelTheRulers) {
  BeginOnThePlan();
  std::string fileTitle;
  const std::map<uint32_t, plat::RECT> file = MenuItems(0, &fileTitle);
  ASSERT_TRUE(file.count(zelvProApp::kPreferencesCommand)) << "the File menu offers no preferences";
  const plat::RECT item = file.at(zelvProApp::kPreferencesCommand);
  // The dialog as it opens: its title and where its inch button and OK lie in its client area.
  std::string title, inches, ok;
  plat::HeadlessDriver::SetIdleScript([&] {
    const plat::HWND dialog = plat::GetActiveWindow();
    if (dialog == nullptr || dialog == app_->Frame()) return false;
    char16_t text[256] = {};
    plat::GetWindowTextW(dialog, text, 256);
    title = Vcon::Utf8FromUtf16(text);
    for (auto [id, place] : {std::pair{kInchButton, &inches}, std::pair{int32_t(plat::IDOK), &ok}})
      *place = PopupPlace(WindowIn(plat::GetDlgItem(dialog, id), dialog));
    return plat::PostMessageA(dialog, plat::WM_COMMAND, plat::IDCANCEL, 0) != 0;
  });
  Send(zelvProApp::kPreferencesCommand);
  plat::HeadlessDriver::SetIdleScript(nullptr);
  ASSERT_FALSE(title.empty()) << "the preferences did not open";
  zelvproEditorScroller* scroller = Find<zelvproEditorScroller>(*app_->DocumentWindow());
  ASSERT_NE(scroller, nullptr);
  const plat::RECT across = Frame(*scroller->GetHorizontalRuler()),
                   down = Frame(*scroller->GetVerticalRuler());
  auto* editor = zelvproEditorCanvas::Current();
  ASSERT_NE(editor, nullptr);
  const plat::RECT editorArea = Frame(*editor);
  const plat::RECT planArea{down.right, across.bottom, editorArea.right, editorArea.bottom};
  Stop();

  const windowrun::Outcome outcome =
      Run({GrabStep("metric.ppm"), "click:" + fileTitle, "popup", "popclick:" + PopupPlace(item),
           "title:" + title, "poppress:" + inches, "popclick:" + ok, "nopopup", "changed",
           GrabStep("inches.ppm"), "close"},
          60);
  ASSERT_TRUE(outcome.Passed()) << outcome.log;
  const windowrun::Grab metric = Grabbed("metric.ppm"), imperial = Grabbed("inches.ppm");
  EXPECT_GT(Differing(metric, imperial, across), 50) << "the ruler across still reads in metres";
  EXPECT_GT(Differing(metric, imperial, down), 50) << "the ruler down still reads in metres";
  EXPECT_EQ(Differing(metric, imperial, planArea), 0) << "the plan changed with the unit";
}

// The plan zoomed in by the keys is moved by its scroll bars: a few clicks on the arrow at the right
// end of the bar across move the plan and the ruler across and leave the ruler down as it was; the
// arrow at the foot of the bar down moves the plan and the ruler down alone.
TEST_F(EditsWindowRunTest, TheScrollBarsMoveAZoomedInPlanAndItsRulersFollow) {
  BeginOnThePlan();
  zelvproEditor* editor = zelvproEditor::Current();
  ASSERT_NE(editor, nullptr);
  ASSERT_NE(editor->HorizontalBar(), nullptr) << "the demo's plan has no scroll bar across";
  ASSERT_NE(editor->VerticalBar(), nullptr) << "the demo's plan has no scroll bar down";
  const plat::RECT across = Frame(*editor->HorizontalBar()), down = Frame(*editor->VerticalBar());
  const plat::RECT acrossRuler = Frame(*editor->HorizontalRuler()),
                   downRuler = Frame(*editor->VerticalRuler());
  const plat::RECT plan = Frame(*editor->EditorScroller());
  Stop();
  EXPECT_GE(across.top, plan.bottom) << "the bar across lies over the plan";
  EXPECT_GE(down.left, plan.right) << "the bar down lies over the plan";

  // The arrows lie at the bars' ends, each as long as its bar is thick.
  const plat::POINT right{across.right - (across.bottom - across.top) / 2, (across.top + across.bottom) / 2};
  const plat::POINT foot{(down.left + down.right) / 2, down.bottom - (down.right - down.left) / 2};
  std::vector<std::string> steps = {GrabStep("whole.ppm"), "chord:Control_L+equal", GrabStep("zoomed.ppm")};
  for (int i = 0; i < 3; ++i) steps.push_back("click:" + Place(right));
  steps.push_back(GrabStep("across.ppm"));
  for (int i = 0; i < 3; ++i) steps.push_back("click:" + Place(foot));
  steps.insert(steps.end(), {GrabStep("down.ppm"), "close"});
  const windowrun::Outcome outcome = Run(steps, 60);
  ASSERT_TRUE(outcome.Passed()) << outcome.log;

  const windowrun::Grab whole = Grabbed("whole.ppm"), zoomed = Grabbed("zoomed.ppm"),
                        movedAcross = Grabbed("across.ppm"), movedDown = Grabbed("down.ppm");
  ASSERT_GT(Differing(whole, zoomed, plan), 1000) << "the plan did not zoom in";
  EXPECT_GT(Differing(zoomed, movedAcross, plan), 1000) << "the bar across did not move the plan";
  EXPECT_GT(Differing(zoomed, movedAcross, acrossRuler), 20) << "the ruler across did not follow";
  EXPECT_EQ(Differing(zoomed, movedAcross, downRuler), 0) << "the ruler down moved with the bar across";
  EXPECT_GT(Differing(movedAcross, movedDown, plan), 1000) << "the bar down did not move the plan";
  EXPECT_GT(Differing(movedAcross, movedDown, downRuler), 20) << "the ruler down did not follow";
  EXPECT_EQ(Differing(movedAcross, movedDown, acrossRuler), 0) << "the ruler across moved with the bar down";
}

// The File menu offers the document server: "Save to Server..." opens the server's login box, which
// Cancel closes with the plan as it was; "Open from Server..." stands beside it.
TEST_F(EditsWindowRunTest, FileSaveToServerOpensTheServersLoginBox) {
  BeginOnThePlan();
  std::string fileTitle;
  const std::map<uint32_t, plat::RECT> file = MenuItems(0, &fileTitle);
  // A menu item keeps its command as 16 bits, as the command message carries it.
  const auto save = uint32_t(uint16_t(zelvProApp::kSaveToServer)),
             open = uint32_t(uint16_t(zelvProApp::kOpenFromServer));
  ASSERT_TRUE(file.count(save)) << "the File menu offers no save to the server";
  ASSERT_TRUE(file.count(open)) << "the File menu offers no open from the server";
  const plat::HMENU fileMenu = plat::GetSubMenu(plat::GetMenu(app_->Frame()), 0);
  for (const auto& [id, text] :
       {std::pair{save, "Save to Server..."}, std::pair{open, "Open from Server..."}}) {
    char item[128] = {};
    plat::GetMenuStringA(fileMenu, id, item, sizeof item, plat::MF_BYCOMMAND);
    EXPECT_STREQ(item, text);
  }
  // The login box's title in the demo's texts (this process has no server services to open it).
  const std::string title =
      Vcon::Utf8FromUtf16(TextById(qxServerLoginDialog::kTitleText, "Log in to Server").c_str());
  const plat::RECT client = client_;
  Stop();

  const windowrun::Outcome outcome =
      Run({GrabStep("before.ppm"), "click:" + fileTitle, "popup", "popclick:" + PopupPlace(file.at(save)),
           "title:" + title, "grabpopup:" + (demo_.Root() / "login.ppm").string(), "dismiss",
           GrabStep("after.ppm"), "close"},
          60);
  ASSERT_TRUE(outcome.Passed()) << outcome.log;
  const windowrun::Grab login = windowrun::ReadPpm(demo_.Root() / "login.ppm");
  EXPECT_GT(login.width, 100) << "the login box did not show";
  EXPECT_EQ(Differing(Grabbed("before.ppm"), Grabbed("after.ppm"), client), 0)
      << "the cancelled login changed the window";
}

// Where a server box of this process lays out its content (content pixels, which the display's window
// of the captioned box shows as they stand): its size and place on the screen, its buttons by number
// and, for the login, the frames of its two fields. The box runs modally and ends at its first idle.
struct BoxLayout {
  plat::RECT content{};
  plat::POINT onScreen{};
  std::map<int32_t, plat::RECT> buttons;
  plat::RECT name{}, password{};
};
BoxLayout LearnBox(ppViewDialog& box) {
  BoxLayout layout;
  plat::HeadlessDriver::SetIdleScript([&] {
    layout.content = box.ContentView()->GetFrame();
    plat::ClientToScreen(box.ContentView()->GetHWND(), &layout.onScreen);
    const ppViewList& views = box.ContentView()->Subviews();
    for (int32_t i = 0; i < views.Count(); ++i)
      if (auto* button = dynamic_cast<ppTextButton*>(views.At(i)))
        layout.buttons[button->AlternatePicture()] = button->GetFrame();
    if (auto* login = dynamic_cast<qxServerLoginDialog*>(&box)) {
      login->UserNameField()->GetWindowFrame(&layout.name);
      login->PasswordField()->GetWindowFrame(&layout.password);
    }
    plat::EndDialog(box.GetWindow(), qxServerDialog::kCancel);
    return true;
  });
  box.RunModal();
  plat::HeadlessDriver::SetIdleScript(nullptr);
  return layout;
}

// The document server's boxes are dialogs over the plan, not texts on it: the login box and the
// message of its failed login, as the display shows them, are their face where nothing else lies (the
// corners, and the row between the login's two fields, under which the plan's wall lines pass: a box
// the plan showed through would show them there), and every button stands out from that face by a
// face and an edge of its own, the skin's pictures of the text buttons.
TEST_F(EditsWindowRunTest, TheServersLoginBoxAndItsFailureMessageAreDialogsOverThePlan) {
  BeginOnThePlan();
  std::string fileTitle;
  const std::map<uint32_t, plat::RECT> file = MenuItems(0, &fileTitle);
  const auto save = uint32_t(uint16_t(zelvProApp::kSaveToServer));
  ASSERT_TRUE(file.count(save));
  const std::string loginTitle =
      Vcon::Utf8FromUtf16(TextById(qxServerLoginDialog::kTitleText, "Log in to Server").c_str());
  const std::string errorTitle = Vcon::Utf8FromUtf16(TextById(qxErrorMessage::kTitleText, "Error").c_str());
  // The face: the document window's shade for these boxes, in bytes.
  const ppRGBColor shade = DocumentColorTable()[qxServerDialog::kBackgroundColour];
  const uint32_t face = uint32_t(PercentToByte(shade.red)) << 16 | uint32_t(PercentToByte(shade.green)) << 8 |
                        PercentToByte(shade.blue);
  const ppRGBColor background = app_->GetColor(1022);  // the plan's, bytes
  const uint32_t plan = uint32_t(background.red) << 16 | uint32_t(background.green) << 8 | background.blue;
  Vcon::WString name, password;
  qxServerLoginDialog loginBox(app_->DocumentWindow(), &name, &password, u"");
  const BoxLayout login = LearnBox(loginBox);
  qxErrorMessage errorBox(app_->Frame(), qxErrorMessage::kTitleText, u"\nx");
  const BoxLayout error = LearnBox(errorBox);
  const plat::RECT client = client_;
  plat::POINT frame{0, 0};
  plat::ClientToScreen(app_->Frame(), &frame);
  Stop();
  ASSERT_TRUE(login.buttons.count(qxServerDialog::kAccept) && error.buttons.count(qxServerDialog::kAccept));

  // The login goes to this machine's HTTPS port, where nothing answers: it fails at once.
  std::ofstream(demo_.File("ip.txt"), std::ios::binary) << "127.0.0.1\t/store";
  const windowrun::Outcome outcome =
      Run({GrabStep("before.ppm"), "click:" + fileTitle, "popup", "popclick:" + PopupPlace(file.at(save)),
           "title:" + loginTitle, "grabpopup:" + (demo_.Root() / "login.ppm").string(),
           "popclick:" + PopupPlace(login.buttons.at(qxServerDialog::kAccept)), "title:" + errorTitle,
           "grabpopup:" + (demo_.Root() / "error.ppm").string(),
           "popclick:" + PopupPlace(error.buttons.at(qxServerDialog::kAccept)), "title:" + loginTitle,
           "dismiss", GrabStep("after.ppm"), "close"},
          90);
  ASSERT_TRUE(outcome.Passed()) << outcome.log;

  // The row between the login's fields lies over the plan's wall lines, or a box the plan showed
  // through could not be told from its face, which is as white as the plan.
  const windowrun::Grab before = Grabbed("before.ppm");
  const int32_t between = (login.name.bottom + 1 + login.password.top) / 2;
  int32_t linesUnder = 0;
  for (int32_t x = login.name.left; x < login.name.right; ++x)
    linesUnder += At(before, {login.onScreen.x - frame.x + x, login.onScreen.y - frame.y + between}) != plan;
  ASSERT_GT(linesUnder, 0) << "no plan line lies under the login box's fields";
  for (const auto& [grab, layout] : {std::pair{"login.ppm", login}, std::pair{"error.ppm", error}}) {
    SCOPED_TRACE(grab);
    const windowrun::Grab box = Grabbed(grab);
    const plat::RECT& c = layout.content;
    ASSERT_EQ(box.width, c.right - c.left);
    ASSERT_EQ(box.height, c.bottom - c.top);
    std::vector<plat::POINT> empty = {{2, 2}, {2, box.height - 3}};
    if (layout.name.bottom > 0)
      for (int32_t x = layout.name.left; x < layout.name.right; ++x) empty.push_back({x, between});
    int64_t notFace = 0;
    for (const plat::POINT p : empty) notFace += box.At(p.x, p.y) != face;
    EXPECT_EQ(notFace, 0) << "the box is not its face where nothing lies on it";
    // The button's edge, at two opposite corners, and its face just inside the edge, above the label.
    for (const auto& [number, r] : layout.buttons) {
      SCOPED_TRACE(number);
      const uint32_t edge = box.At(r.left, r.top), inside = box.At(r.left + 2, r.top + 2);
      EXPECT_NE(edge, face) << "the button has no edge";
      EXPECT_EQ(box.At(r.right - 1, r.bottom - 1), edge) << "the button's edge does not go round it";
      EXPECT_NE(inside, face) << "the button has no face of its own";
      EXPECT_NE(inside, edge) << "the button's edge does not stand out from its face";
    }
  }
  EXPECT_EQ(Differing(before, Grabbed("after.ppm"), client), 0) << "the failed login changed the window";
}

}  // namespace
