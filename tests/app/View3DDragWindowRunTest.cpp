// Dragging a unit in the 3D view of the built program in a window (Xvfb, no window manager), driven
// through XTEST as a user does it: on the demo's start plan, from the start view, the drawer unit that
// stands against the back wall is pressed on its front and dragged 40 pixels to the right. While it
// moves its outline is drawn where the mouse takes it, at its own size and depth; released, it stands
// against the back wall as before, on its plinth, moved right by what 40 pixels make at the wall, and
// inside the room. The plan is saved and read back here for the exact place.
//
// Where the unit shows in the 3D view is learnt from the same start-up in this process, headless, on a
// screen of the display's size. Plan millimetres; pixels of the frame's client area.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "CursorShot.h"
#include "View3DWindowRunFixture.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/palette/zelvproElementPalette.h"
#include "canvas/palette/zelvproElementPane.h"
#include "canvas/palette/zelvproElementScroller.h"
#include "catalogue/browser/qxNode.h"
#include "canvas/window/zelvproWindow.h"
#include "canvas/tasks/PlanFrames.h"
#include "canvas/view3d/zelvpro3DCanvas.h"
#include "canvas/view3d/zelvpro3DTask.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/units/zelvproDoor.h"
#include "framework/ppWindow.h"
#include "platform/Desktop.h"
#include "platform/LayerClock.h"
#include "canvas/view3d/zelvpro3DTask.h"
#include "platform/LayerClock.h"
#include "elements/base/ElementChildren.h"
#include "room/qxFloorElement.h"
#include "room/qxNewRoomCanvas.h"
#include "scene3d/gl/qxCamera.h"
#include "scene3d/panes/qxCameraRecords.h"
#include "scene3d/panes/zelvpro3DPane.h"

namespace {

namespace fs = std::filesystem;
using apptest::ReadCursorShot;
using apptest::SameCursor;
using windowrun::Grab;

// The drawer unit's box from its origin (its plinth stands below it), and the back wall's inner face.
constexpr float kWidth = 600.0f, kHeight = 720.0f, kDepth = 585.0f;
constexpr float kBackFace = 2000.0f;
constexpr int32_t kStep = 40;  // pixels to the right

class View3DDragWindowRunTest : public apptest::View3DWindowRunFixture {
 protected:
  // Whether the grab has a dark pixel (an outline) within two pixels of `p`.
  bool Outlined(const Grab& g, plat::POINT p) const {
    for (int dy = -2; dy <= 2; ++dy)
      for (int dx = -2; dx <= 2; ++dx) {
        const uint32_t c = At(g, {p.x + dx, p.y + dy});
        if (((c >> 16) & 0xFF) < 90 && ((c >> 8) & 0xFF) < 90 && (c & 0xFF) < 90) return true;
      }
    return false;
  }
};

TEST_F(View3DDragWindowRunTest, AUnitDraggedAlongTheBackWallFollowsTheMouseAndStaysInTheRoom) {
  const fs::path plan = DemoPlan();
  Begin(plan.string());
  zelvproElement* drawers = Named("D60");
  ASSERT_NE(drawers, nullptr) << "the start plan has one drawer unit";
  const ppVector3 before = PlanPoint(drawers, ppVector3());
  ASSERT_NEAR(before.z, kBackFace + 0.1f, 0.01f) << "the drawer unit stands against the back wall";
  ASSERT_EQ(before.y, 100.0f) << "the drawer unit stands on its plinth";
  float rightFace = 0.0f;
  for (qxWallElement* wall : Walls(*Window().NewRoomCanvas())) {
    const WallEdge& e = wall->Edge();
    if (e.start.x == e.end.x && e.end.z > e.start.z) rightFace = e.start.x;
  }
  ASSERT_GT(rightFace, before.x + kWidth);

  Send(zelvproViewBar::k3DCommand);
  auto* canvas = dynamic_cast<zelvpro3DCanvas*>(Window().Canvas3DView());
  ASSERT_NE(canvas, nullptr);
  pane_ = canvas->Pane();
  ASSERT_NE(pane_, nullptr);
  // The front's middle is pressed. At the back wall 40 pixels make `step` millimetres to the right.
  const ppVector3 front(before.x + kWidth / 2, before.y + kHeight / 2, before.z + kDepth);
  const plat::POINT press = Shown(front);
  const plat::POINT release{press.x + kStep, press.y};
  const float pixelsPerMillimetre =
      (InPane(before + ppVector3(1000.0f, 0.0f, 0.0f)).x - InPane(before).x) / 1000.0f;
  ASSERT_GT(pixelsPerMillimetre, 0.05f);
  const float step = float(kStep) / pixelsPerMillimetre;
  const ppVector3 after = before + ppVector3(step, 0.0f, 0.0f);
  // Where the moved unit's corners show: its front top right and its back top right (seen over it).
  const plat::POINT frontCorner = Shown(after + ppVector3(kWidth, kHeight, kDepth));
  const plat::POINT backCorner = Shown(after + ppVector3(kWidth, kHeight, 0.0f));
  // The middle of the moved unit's front, right of where the unit stood: the back wall before.
  const plat::POINT newFront = Shown(after + ppVector3(kWidth - 60.0f, kHeight / 2, kDepth));
  const plat::POINT oldFront = Shown(before + ppVector3(kWidth - 60.0f, kHeight / 2, kDepth));
  ASSERT_GT(newFront.x - oldFront.x, kStep - 2);
  Stop();

  const std::string environment = "XDG_DOCUMENTS_DIR='" + (demo_.Root() / "documents").string() + "'";
  fs::create_directories(demo_.Root() / "documents");
  const windowrun::Outcome outcome =
      Run({"key:F7", GrabStep("before.ppm"), "down:" + Place(press), "move:" + Place(release),
           GrabStep("moving.ppm"), "up", GrabStep("after.ppm"), "chord:Control_L+s", "close"},
          60, Quoted(plan), environment);
  ASSERT_TRUE(outcome.Passed()) << outcome.log;

  // While it moves, its outline stands at its own size and depth where the mouse took it.
  const Grab shown = Grabbed("before.ppm"), moving = Grabbed("moving.ppm"), dropped = Grabbed("after.ppm");
  ASSERT_GT(moving.width, 0);
  EXPECT_FALSE(Outlined(shown, frontCorner)) << "the wall behind the moved unit's corner is plain";
  EXPECT_TRUE(Outlined(moving, frontCorner))
      << "the outline's front top right corner is not under the mouse's step";
  EXPECT_TRUE(Outlined(moving, backCorner)) << "the outline's back top right corner is not at the back wall";
  // Dropped, the unit is drawn there.
  EXPECT_GT(Differing(shown, dropped, Grown({newFront.x, newFront.y, newFront.x + 1, newFront.y + 1}, 3)), 0)
      << "the moved unit is not drawn right of where it stood";

  // The saved plan: the unit moved right by the step, against the back wall, on its plinth, in the room.
  Begin(plan.string());
  drawers = Named("D60");
  ASSERT_NE(drawers, nullptr);
  const ppVector3 saved = PlanPoint(drawers, ppVector3());
  EXPECT_NEAR(saved.x, after.x, 2.0f);
  EXPECT_EQ(saved.y, 100.0f);
  EXPECT_NEAR(saved.z, kBackFace + 0.1f, 0.5f);
  EXPECT_GE(saved.z, kBackFace);
  EXPECT_LE(saved.x + kWidth, rightFace);
  EXPECT_EQ(drawers->GetAbsoluteAngle(), 0.0f);
}

// ---- From Home, each drag on a fresh copy of the start plan.
//
// The start plan's room has inner faces at x 2000 and 5850, z 2000 (back) and 5350 (front), walls
// 2350 high; the eye at Home stands in front of the room at about 1456 mm, below the wall unit's top.
// Every drag is read back from the saved plan: every unit stands inside the inner faces, the units
// not pressed stay where they were (an Alt drag adds one copy and leaves the original), and the
// moved unit went the way the mouse went. What each drag left is printed in millimetres.

// A unit of the plan as it was read: its top view's name, its place, angle and plan box.
struct Seen {
  std::string name;
  ppVector3 at;
  float angle = 0.0f;
  ppBounds3 box;
};

class View3DDragScenarioTest : public View3DDragWindowRunTest {
 protected:
  // The middle of the item strip's cell that shows `group`'s item named `article`, in frame pixels.
  bool StripItem(qxNode& group, const char* article, plat::POINT* at) {
    zelvproElementScroller& strip = *Window().Palette()->Pane()->Strip();
    int32_t column = 0;
    for (qxNode* child = group.FirstChild(); child != nullptr; child = child->NextSibling(), ++column)
      if (std::string(child->Name().c_str()).find(article) != std::string::npos) break;
    if (column >= strip.ItemCount()) return false;
    plat::RECT cell{};
    strip.GetCellRect(column, 0, &cell);
    *at =
        InFrame(strip.GetRootView()->GetHWND(), {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2});
    return true;
  }
  std::vector<Seen> Units() const {
    std::vector<Seen> out;
    ForEachChildElement(Plan(), [&](zelvproElement* unit) {
      out.push_back(Seen{apptest::TopViewName(*unit), PlanPoint(unit, ppVector3()), unit->GetAbsoluteAngle(),
                         ppBounds3::Transformed(PlanMatrix(unit), unit->GetBounds(0, 0x240))});
    });
    return out;
  }
  // The room's inner faces: left, right (x), back, front (z).
  void Faces(float& left, float& right, float& back, float& front) const {
    left = back = 1e9f, right = front = -1e9f;
    for (qxWallElement* wall : Walls(*Window().NewRoomCanvas())) {
      const WallEdge& e = wall->Edge();
      left = std::min({left, e.start.x, e.end.x}), right = std::max({right, e.start.x, e.end.x});
      back = std::min({back, e.start.z, e.end.z}), front = std::max({front, e.start.z, e.end.z});
    }
  }
  void ShowHome() {
    Send(zelvproViewBar::k3DCommand);
    auto* canvas = dynamic_cast<zelvpro3DCanvas*>(Window().Canvas3DView());
    ASSERT_NE(canvas, nullptr);
    pane_ = canvas->Pane();
    ASSERT_NE(pane_, nullptr);
  }

  // One drag in the program's window from Home: `steps` between showing the 3D view and saving. The
  // plan is then read back: every unit inside the faces, the units other than `moved` where they
  // were; `added` units more than before (an Alt copy, a unit from the strip). Returns the pressed
  // unit, found by its name (or the added one), as read back.
  Seen Walk(const fs::path& plan, const std::vector<Seen>& before, const std::string& moved,
            const std::vector<std::string>& steps, size_t added, const char* what) {
    std::vector<std::string> all{"key:F7"};
    all.insert(all.end(), steps.begin(), steps.end());
    all.insert(all.end(), {"chord:Control_L+s", "close"});
    const std::string environment = "XDG_DOCUMENTS_DIR='" + (demo_.Root() / "documents").string() + "'";
    fs::create_directories(demo_.Root() / "documents");
    const windowrun::Outcome outcome = Run(all, 60, Quoted(plan), environment);
    EXPECT_TRUE(outcome.Passed()) << what << ": " << outcome.log;
    Begin(plan.string());
    const std::vector<Seen> after = Units();
    float left = 0, right = 0, back = 0, front = 0;
    Faces(left, right, back, front);
    EXPECT_EQ(after.size(), before.size() + added) << what;
    Seen result;
    std::vector<bool> matched(before.size(), false);
    for (const Seen& unit : after) {
      const ppVector3 lo = unit.box.centre - unit.box.half, hi = unit.box.centre + unit.box.half;
      EXPECT_TRUE(lo.x >= left && hi.x <= right && lo.z >= back && hi.z <= front)
          << what << ": " << unit.name << " spans x " << lo.x << " to " << hi.x << ", z " << lo.z << " to "
          << hi.z << " outside the room's faces";
      // A unit that stands where one stood before is that one (the first not yet matched).
      bool found = false;
      for (size_t i = 0; i < before.size() && !found; ++i)
        if (!matched[i] && before[i].name == unit.name && Distance(before[i].at, unit.at) < 0.01f &&
            before[i].angle == unit.angle)
          matched[i] = found = true;
      if (!found) {
        EXPECT_EQ(unit.name, moved) << what << ": a unit moved that was not pressed";
        result = unit;
      }
    }
    // Without a unit added the pressed unit is the one of its name, moved or not.
    if (added == 0)
      if (const Seen* pressed = Find(after, moved)) result = *pressed;
    for (size_t i = 0; i < before.size(); ++i)
      if (!matched[i] && added > 0) ADD_FAILURE() << what << ": the original " << before[i].name << " moved";
    std::printf("%s: %s at (%.1f, %.1f, %.1f) mm, angle %.4f\n", what, result.name.c_str(), result.at.x,
                result.at.y, result.at.z, result.angle);
    return result;
  }
  static float Distance(const ppVector3& a, const ppVector3& b) {
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
  }
  static const Seen* Find(const std::vector<Seen>& units, const std::string& name) {
    for (const Seen& unit : units)
      if (unit.name == name) return &unit;
    return nullptr;
  }
  // The pane pixel of the front middle of `unit` (its box's face towards the eye).
  plat::POINT FrontMiddle(const Seen& unit) const {
    return Shown(unit.box.centre + ppVector3(0.0f, 0.0f, unit.box.half.z));
  }
  // Where the 3D view at Home shows the plan point, in the read-back program: unrounded frame pixels.
  ppVector3 AtHome(const ppVector3& plan) {
    ShowHome();
    const ppVector3 w = InPane(plan);
    const plat::POINT corner = InFrame(pane_->GetHWND(), {0, 0});
    return ppVector3(w.x + float(corner.x), w.y + float(corner.y), 0.0f);
  }
  std::string Offset(plat::POINT p, int dx, int dy) const { return Place(plat::POINT{p.x + dx, p.y + dy}); }
};

TEST_F(View3DDragScenarioTest, DragsFromHomeStayInTheRoomMoveOnlyThePressedUnitAndGoWhereTheMouseWent) {
  // The drawer unit 60 pixels up: it is against the back wall already, and stays there.
  {
    const fs::path plan = DemoPlan();
    Begin(plan.string());
    const std::vector<Seen> before = Units();
    ShowHome();
    const Seen d60 = *Find(before, "D60");
    const plat::POINT press = FrontMiddle(d60);
    Stop();
    const Seen up = Walk(plan, before, "D60", {"down:" + Place(press), "move:" + Offset(press, 0, -60), "up"},
                         0, "60 px up");
    EXPECT_GE(up.at.z, d60.at.z - 0.01f) << "it went behind the back wall";
    EXPECT_LT(up.at.z, d60.at.z + 1.0f) << "it came forward";
    EXPECT_NEAR(up.at.x, d60.at.x, 60.0f);
    EXPECT_EQ(up.at.y, 100.0f);
  }
  // 60 pixels down: it comes forward, at its height.
  {
    const fs::path plan = DemoPlan();
    Begin(plan.string());
    const std::vector<Seen> before = Units();
    ShowHome();
    const Seen d60 = *Find(before, "D60");
    const plat::POINT press = FrontMiddle(d60);
    const ppVector3 shown = AtHome(d60.at);
    Stop();
    const Seen down = Walk(plan, before, "D60",
                           {"down:" + Place(press), "move:" + Offset(press, 0, 60), "up"}, 0, "60 px down");
    EXPECT_GT(down.at.z, d60.at.z + 200.0f) << "it did not come forward";
    EXPECT_EQ(down.at.y, 100.0f);
    // Its corner is drawn 60 pixels below where it was, at its own height.
    const ppVector3 now = AtHome(down.at);
    EXPECT_NEAR(now.x, shown.x, 0.5f);
    EXPECT_NEAR(now.y, shown.y + 60.0f, 0.5f);
  }
  // 250 pixels left and right: past the side wall on the left it stands against the left wall's face;
  // to the right it goes right along the back wall.
  for (const int dx : {-250, 250}) {
    const fs::path plan = DemoPlan();
    Begin(plan.string());
    const std::vector<Seen> before = Units();
    ShowHome();
    const Seen d60 = *Find(before, "D60");
    const plat::POINT press = FrontMiddle(d60);
    Stop();
    const std::string what = std::to_string(std::abs(dx)) + (dx < 0 ? " px left" : " px right");
    const Seen side = Walk(plan, before, "D60",
                           {"down:" + Place(press), "move:" + Offset(press, dx, 0), "up"}, 0, what.c_str());
    if (dx < 0) {
      EXPECT_LT(side.at.x, d60.at.x - 300.0f) << what;
    } else {
      EXPECT_GT(side.at.x, d60.at.x + 300.0f) << what;
    }
    EXPECT_EQ(side.at.y, 100.0f) << what;
    EXPECT_GE(side.at.z, d60.at.z - 0.01f) << what;
  }
  // A base unit turned 90 degrees in the plan first (1 m from the right wall, saved), dragged 250
  // pixels right, past the right wall: it stops against the right wall, still turned.
  {
    const fs::path plan = DemoPlan();
    Begin(plan.string());
    zelvproElement* drawers = Named("D60");
    ASSERT_NE(drawers, nullptr);
    drawers->SetPosition(ppVector3(4850.0f, 100.0f, 3000.0f));
    drawers->SetAngle(float(M_PI / 2));
    Send(zelvproWindow::kSave);
    const std::vector<Seen> before = Units();
    const Seen turned = *Find(before, "D60");
    ASSERT_NEAR(turned.angle, float(M_PI / 2), 1e-4f) << "the unit was not turned";
    std::printf("turned: D60 at (%.1f, %.1f, %.1f) mm, box x %.1f to %.1f, z %.1f to %.1f\n", turned.at.x,
                turned.at.y, turned.at.z, turned.box.centre.x - turned.box.half.x,
                turned.box.centre.x + turned.box.half.x, turned.box.centre.z - turned.box.half.z,
                turned.box.centre.z + turned.box.half.z);
    ASSERT_LT(turned.box.centre.x + turned.box.half.x, 5850.0f - 500.0f);
    ShowHome();
    const plat::POINT press = FrontMiddle(turned);
    Stop();
    const Seen right =
        Walk(plan, before, "D60", {"down:" + Place(press), "move:" + Offset(press, 250, 0), "up"}, 0,
             "turned, 250 px right");
    EXPECT_GT(right.box.centre.x, turned.box.centre.x + 300.0f);
    EXPECT_NEAR(right.angle, turned.angle, 1e-4f);
    EXPECT_EQ(right.at.y, 100.0f);
  }
  // The wall unit, above the eye, 60 pixels right along the back wall: it follows the mouse there.
  {
    const fs::path plan = DemoPlan();
    Begin(plan.string());
    const std::vector<Seen> before = Units();
    ShowHome();
    const Seen w60 = *Find(before, "W60");
    const plat::POINT press = FrontMiddle(w60);
    ASSERT_GT(w60.box.centre.y, qxCameraRecords::Current()->position.y)
        << "the wall unit's middle is above the eye";
    const ppVector3 shown = AtHome(w60.at);
    Stop();
    const Seen along =
        Walk(plan, before, "W60", {"down:" + Place(press), "move:" + Offset(press, 60, 0), "up"}, 0,
             "wall unit 60 px right");
    EXPECT_GT(along.at.x, w60.at.x + 300.0f);
    EXPECT_EQ(along.at.y, w60.at.y);
    EXPECT_NEAR(along.at.z, w60.at.z, 0.5f) << "it left the back wall";
    const ppVector3 now = AtHome(along.at);
    EXPECT_NEAR(now.x, shown.x + 60.0f, 1.0f);
    EXPECT_NEAR(now.y, shown.y, 1.0f);
  }
  // Alt held: the drawer unit's copy goes 250 pixels right; the original stays.
  {
    const fs::path plan = DemoPlan();
    Begin(plan.string());
    const std::vector<Seen> before = Units();
    ShowHome();
    const Seen d60 = *Find(before, "D60");
    const plat::POINT press = FrontMiddle(d60);
    Stop();
    const Seen copy = Walk(plan, before, "D60",
                           {"click:" + Place(press), "hold:Alt_L", "down:" + Place(press),
                            "move:" + Offset(press, 250, 0), "up", "let:Alt_L"},
                           1, "Alt, 250 px right");
    EXPECT_GT(copy.at.x, d60.at.x + 600.0f) << "the copy did not go right of the original";
    EXPECT_EQ(copy.at.y, 100.0f);
    EXPECT_NEAR(copy.at.z, d60.at.z, 1.0f) << "the copy left the back wall";
  }
  // A base unit pulled from the item strip to the floor by the back wall, right of the drawer unit:
  // the mouse, just above the floor's edge, is on the wall's face. The unit lands against the wall,
  // its back left corner (its anchor) under the mouse, at its plinth height.
  {
    const fs::path plan = DemoPlan();
    Begin(plan.string());
    const std::vector<Seen> before = Units();
    ShowHome();
    std::vector<plat::POINT> clicks;
    qxNode* group = OpenGroup("Base", clicks);
    ASSERT_NE(group, nullptr);
    std::vector<std::string> steps;
    for (const plat::POINT& at : clicks) steps.push_back("press:" + Place(at) + ",100");
    plat::POINT from{};
    ASSERT_TRUE(StripItem(*group, "VH-B60", &from)) << "the strip shows no VH-B60";
    const ppVector3 aim(4300.0f, 250.0f, 2000.0f);
    const plat::POINT to = Shown(aim);
    Stop();
    steps.push_back("drag:" + Place(from) + "," + Place(to));
    const Seen dropped = Walk(plan, before, "B60", steps, 1, "from the strip");
    EXPECT_EQ(dropped.name, "B60");
    EXPECT_EQ(dropped.at.y, 100.0f);
    EXPECT_NEAR(dropped.at.x, aim.x, 10.0f);
    EXPECT_NEAR(dropped.at.z, kBackFace + 0.1f, 0.5f) << "it is not against the back wall";
    // Its corner is drawn in the mouse's column.
    EXPECT_NEAR(AtHome(dropped.at).x, float(to.x), 1.0f);
  }
}

// In the L-shaped room (saved so) a base unit pulled from the strip: from its first move over the view
// on, the view shows what it showed before the press, with only the unit's outline over it, not the
// new unit where the strip made it. The outline's places are learnt from the same drag here: the
// moved unit's box at the tracked place, on the screen, and a margin for its snap mark.
TEST_F(View3DDragScenarioTest, AUnitFromTheStripIntoAnLRoomShowsOnlyItsOutlineOverTheViewAsItWas) {
  {
    const fs::path plan = DemoPlan();
    Begin(plan.string());
    Send(zelvproViewBar::kRoomDesignCommand);
    auto* room = dynamic_cast<qxNewRoomCanvas*>(Window().NewRoomCanvas());
    ASSERT_NE(room, nullptr);
    auto* floor = dynamic_cast<qxFloorElement*>(room->FindFloor());
    ASSERT_NE(floor, nullptr);
    floor->SetValue(floor->IndexOf(Vcon::String("RoomType")), ppParameter(int32_t(2)));  // the L
    plat::HeadlessDriver::RunUntilIdle();
    ASSERT_EQ(Walls(*room).size(), 6u) << "the room is not the L";
    Send(zelvproWindow::kSave);
    const std::vector<Seen> before = Units();
    ShowHome();
    std::vector<plat::POINT> clicks;
    qxNode* group = OpenGroup("Base", clicks);
    ASSERT_NE(group, nullptr);
    std::vector<std::string> steps;
    for (const plat::POINT& at : clicks) steps.push_back("press:" + Place(at) + ",100");
    plat::POINT from{};
    ASSERT_TRUE(StripItem(*group, "VH-B60", &from)) << "the strip shows no VH-B60";
    // The floor of the L's arm along the back wall, then of its leg towards the eye.
    const plat::POINT first = Shown(ppVector3(4600.0f, 0.0f, 3200.0f));
    const plat::POINT last = Shown(ppVector3(2900.0f, 0.0f, 4900.0f));
    const plat::RECT view = WindowInFrame(pane_->GetHWND());
    // The same drag here: where the outline stands after each of the two moves.
    std::vector<plat::RECT> outlines;
    {
      auto desktop = [&](plat::POINT p) {
        plat::POINT origin{0, 0};
        plat::ClientToScreen(app_->Frame(), &origin);
        return plat::POINT{p.x + origin.x, p.y + origin.y};
      };
      auto go = [&](plat::POINT a, plat::POINT b) {
        for (int i = 1; i <= 10; ++i) {
          plat::LayerClock::Advance(30);
          plat::Desktop::MouseMove(desktop({a.x + (b.x - a.x) * i / 10, a.y + (b.y - a.y) * i / 10}));
          plat::HeadlessDriver::RunUntilIdle();
        }
      };
      plat::LayerClock::Advance(2000);
      plat::Desktop::MouseMove(desktop(from));
      plat::Desktop::MouseButton(plat::VK_LBUTTON, true, desktop(from));
      plat::HeadlessDriver::RunUntilIdle();
      auto* window = dynamic_cast<ppWindow*>(pane_->GetRootView());
      zelvpro3DTask* task = window != nullptr ? dynamic_cast<zelvpro3DTask*>(window->MouseTask()) : nullptr;
      ASSERT_NE(task, nullptr) << "the strip started no 3D task";
      zelvproElement* unit = task->Reference();
      const ppBounds3 box = ppBounds3::Transformed(PlanMatrix(unit), unit->GetBounds(0, 0x240));
      const ppVector3 at = PlanPoint(unit, ppVector3());
      for (const plat::POINT& to : {first, last}) {
        go(outlines.empty() ? from : first, to);
        const ppVector3 step = task->Target() - at;
        plat::RECT r{1 << 20, 1 << 20, -(1 << 20), -(1 << 20)};
        for (float sx : {-1.0f, 1.0f})
          for (float sy : {-1.0f, 1.0f})
            for (float sz : {-1.0f, 1.0f}) {
              const plat::POINT p =
                  Shown(box.centre + step + ppVector3(sx * box.half.x, sy * box.half.y, sz * box.half.z));
              r = {std::min(r.left, p.x), std::min(r.top, p.y), std::max(r.right, p.x + 1),
                   std::max(r.bottom, p.y + 1)};
            }
        outlines.push_back(Grown(r, 6));
      }
      plat::LayerClock::Advance(1000);
      plat::Desktop::MouseButton(plat::VK_LBUTTON, false, desktop(last));
      plat::HeadlessDriver::RunUntilIdle();
    }
    Stop();
    // The first moves stay over the strip: the view shows what it showed before, with no outline.
    const plat::POINT overStrip{from.x + 40, from.y};
    steps.insert(steps.end(), {GrabStep("L-before.ppm"), "down:" + Place(from), "move:" + Place(overStrip),
                               GrabStep("L-strip.ppm"), "move:" + Place(first), GrabStep("L-first.ppm"),
                               "move:" + Place(last), GrabStep("L-last.ppm"), "up"});
    const Seen dropped = Walk(plan, before, "B60", steps, 1, "from the strip into the L");
    EXPECT_EQ(dropped.name, "B60");
    const Grab shown = Grabbed("L-before.ppm");
    const int64_t overTheStrip = Differing(shown, Grabbed("L-strip.ppm"), view);
    std::printf("L-strip.ppm: %lld pixels of the view changed\n", static_cast<long long>(overTheStrip));
    EXPECT_EQ(overTheStrip, 0) << "the view changed while the mouse was over the strip";
    const char* names[] = {"L-first.ppm", "L-last.ppm"};
    for (size_t i = 0; i < outlines.size(); ++i) {
      const Grab moving = Grabbed(names[i]);
      ASSERT_EQ(moving.width, shown.width);
      // The view's pixels outside the outline's box, as they were before the press.
      int64_t changed = 0, inside = 0;
      for (int32_t y = view.top; y < view.bottom; ++y)
        for (int32_t x = view.left; x < view.right; ++x) {
          const plat::RECT& o = outlines[i];
          const bool near = x >= o.left && x < o.right && y >= o.top && y < o.bottom;
          const bool differs = At(shown, {x, y}) != At(moving, {x, y});
          if (near)
            inside += differs;
          else
            changed += differs;
        }
      std::printf("%s: %lld pixels of the view changed away from the outline, %lld at it\n", names[i],
                  static_cast<long long>(changed), static_cast<long long>(inside));
      EXPECT_EQ(changed, 0) << names[i] << ": the view changed away from the outline";
      EXPECT_GT(inside, 0) << names[i] << ": no outline is drawn";
    }
  }
}
// ---- Towards the eye, and the places a release is refused, in one run of the program.
//
// From Home the drawer unit is pressed by its front and dragged 160, 200 and 250 pixels down, towards
// the eye (the display is tall enough that the pane reaches below the room's front); each time the
// plan is saved (and copied aside) and the drag undone. Then it is dragged over the sky above the
// walls, below the pane, along the back wall onto a door, and with Ctrl (no anchor snap) onto the
// other base unit, released each time. The same walk in this process gives what the tracking showed
// at the last move: where the outline stood, whether the place was placeable and its cursor. The
// saved plans show the unit where the tracking put it; every refused place showed the forbidden-drop
// cursor and left the plan as it was.

class View3DDragTrackingTest : public View3DDragScenarioTest {
 protected:
  // What the tracking showed at the last move of a drag made in this process, and where the
  // pressed unit stood after the release.
  struct Tracked {
    ppVector3 target;
    bool placeable = false;
    int32_t cursor = -1;
    ppVector3 dropped;
  };
  plat::POINT OnDesktop(plat::HWND window, plat::POINT p) const {
    plat::ClientToScreen(window, &p);
    return p;
  }
  plat::POINT Desktop(plat::POINT inFrame) const { return OnDesktop(app_->Frame(), inFrame); }
  static void Settle() { plat::HeadlessDriver::RunUntilIdle(); }
  // Pressed at `from`, moved in ten steps to `to` (with Ctrl held from the first step when `ctrl`),
  // released there: frame client pixels.
  Tracked DragHere(zelvproElement* unit, plat::POINT from, plat::POINT to, bool ctrl) {
    Tracked out;
    plat::LayerClock::Advance(2000);
    plat::Desktop::MouseMove(Desktop(from));
    Settle();
    plat::Desktop::MouseButton(plat::VK_LBUTTON, true, Desktop(from));
    Settle();
    auto* window = dynamic_cast<ppWindow*>(pane_->GetRootView());
    zelvpro3DTask* task = window != nullptr ? dynamic_cast<zelvpro3DTask*>(window->MouseTask()) : nullptr;
    EXPECT_NE(task, nullptr) << "the press started no 3D task";
    if (ctrl) plat::Desktop::Key(plat::VK_CONTROL, true);
    for (int i = 1; i <= 10; ++i) {
      plat::LayerClock::Advance(30);
      plat::Desktop::MouseMove(
          Desktop({from.x + (to.x - from.x) * i / 10, from.y + (to.y - from.y) * i / 10}));
      Settle();
    }
    if (task != nullptr) {
      out.target = task->Target();
      out.placeable = task->PlacementOk();
      out.cursor = task->TrackCursor();
    }
    plat::LayerClock::Advance(1000);
    plat::Desktop::MouseButton(plat::VK_LBUTTON, false, Desktop(to));
    Settle();
    if (ctrl) plat::Desktop::Key(plat::VK_CONTROL, false);
    Settle();
    out.dropped = PlanPoint(unit, ppVector3());
    return out;
  }
  // The demo's door pulled from the palette in Room Design and dropped 300 mm in front of the back
  // wall's face, `along` millimetres from its left end; its plan box.
  ppBounds3 DoorOnBackWall(float along) {
    Send(zelvproViewBar::kRoomDesignCommand);
    qxNode* openings = nullptr;
    std::vector<plat::POINT> clicks;
    openings = OpenGroup("Openings", clicks);
    EXPECT_NE(openings, nullptr);
    if (openings == nullptr) return ppBounds3();
    zelvproElementScroller& strip = *Window().Palette()->Pane()->Strip();
    int32_t column = 0;
    for (qxNode* child = openings->FirstChild(); child != nullptr; child = child->NextSibling(), ++column)
      if (std::string(child->Name().c_str()).find("VH-DR90") != std::string::npos) break;
    EXPECT_LT(column, strip.ItemCount());
    plat::RECT cell{};
    strip.GetCellRect(column, 0, &cell);
    const plat::POINT from = OnDesktop(strip.GetRootView()->GetHWND(),
                                       {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2});
    plat::POINT to{};
    PlanPointToScreen(ppVector3(2000.0f + along, 0.0f, 2300.0f), to);
    to = OnDesktop(Window().GetHWND(), to);
    plat::Desktop::MouseMove(from);
    Settle();
    plat::Desktop::MouseButton(plat::VK_LBUTTON, true, from);
    Settle();
    plat::LayerClock::Advance(1000);
    plat::Desktop::MouseMove({(from.x + to.x) / 2, (from.y + to.y) / 2});
    Settle();
    plat::Desktop::MouseMove(to);
    Settle();
    plat::Desktop::MouseButton(plat::VK_LBUTTON, false, to);
    Settle();
    ppBounds3 box;
    std::function<void(zelvproElement&)> walk = [&](zelvproElement& e) {
      ForEachChildElement(e, [&](zelvproElement* child) {
        if (dynamic_cast<zelvproDoor*>(child) != nullptr)
          box = ppBounds3::Transformed(PlanMatrix(child), child->GetBounds(0, 0x240));
        walk(*child);
      });
    };
    walk(*Window().NewRoomCanvas());
    return box;
  }
};

TEST_F(View3DDragTrackingTest, TheDropLandsWhereTheOutlineStoodAndARefusedPlaceShowsTheForbiddenCursor) {
#if !defined(PLANNER_DRIVE_XFIXES)
  GTEST_SKIP() << "the driver cannot read the cursor (no XFIXES development files)";
#endif
  ScreenSize(1280, 1400);
  const fs::path plan = DemoPlan();
  zelvProApp& app = Begin(plan.string());
  plat::CursorPicture blocked;
  ASSERT_TRUE(plat::ReadCursorPicture(
      plat::LoadCursorA(app.GetInstance(), plat::MAKEINTRESOURCEA(zelvpro3DTask::kBlockedCursor)), blocked));
  // A door on the back wall, right of the drawer unit, saved with the plan.
  const ppBounds3 door = DoorOnBackWall(1700.0f);
  ASSERT_FALSE(door.IsEmpty()) << "no door was seated on the back wall";
  Send(zelvproWindow::kSave);
  const std::vector<Seen> before = Units();
  ShowHome();
  const Seen d60 = *Find(before, "D60");
  const Seen b40 = *Find(before, "B40");
  zelvproElement* pressed = Named("D60");
  const plat::POINT press = FrontMiddle(d60);
  const plat::RECT pane = WindowInFrame(pane_->GetHWND());
  ASSERT_LT(press.y + 250, pane.bottom - 1) << "250 pixels down leave the pane";
  // The drawer unit's front middle where it would stand centred on the door, against the back wall.
  const plat::POINT onDoor =
      Shown(ppVector3(door.centre.x, d60.box.centre.y, d60.box.centre.z + d60.box.half.z));
  // Its front middle where it would stand against the back wall halfway over the other base unit.
  const plat::POINT overB40 = Shown(
      ppVector3(b40.box.centre.x + d60.box.half.x, d60.box.centre.y, d60.box.centre.z + d60.box.half.z));
  struct Refusal {
    const char* name;
    plat::POINT to;
    bool ctrl;
  };
  const Refusal refusals[] = {
      {"sky", {press.x, pane.top + 30}, false},
      {"off the pane", {press.x, pane.bottom + 15}, false},
      {"door", onDoor, false},
      {"collision", overB40, true},
  };
  const int kDowns[] = {160, 200, 250};

  // The walk in this process: what the tracking showed, and what the release did.
  std::vector<Tracked> down;
  for (int dy : kDowns) {
    down.push_back(DragHere(pressed, press, {press.x, press.y + dy}, false));
    const Tracked& t = down.back();
    EXPECT_TRUE(t.placeable) << dy << " px down: the tracking refuses a place over the floor";
    EXPECT_EQ(t.cursor, 0) << dy << " px down";
    EXPECT_LT(Distance(t.dropped, t.target), 0.01f) << dy
                                                    << " px down: the release did not put the unit "
                                                       "where the outline stood";
    EXPECT_GT(t.dropped.z, d60.at.z + 2000.0f) << dy << " px down: the unit did not come forward";
    Window().TopCanvas()->DoCommand(zelvproCanvas::kUndo, 0);
    Settle();
    ASSERT_LT(Distance(PlanPoint(pressed, ppVector3()), d60.at), 0.01f);
  }
  const ppTask* history = dynamic_cast<zelvproTopCanvas&>(Plan()).DoneTop();
  for (const Refusal& r : refusals) {
    const Tracked t = DragHere(pressed, press, r.to, r.ctrl);
    std::printf("%s: outline at (%.1f, %.1f, %.1f), placeable %d, dropped at (%.1f, %.1f, %.1f) mm\n", r.name,
                t.target.x, t.target.y, t.target.z, int(t.placeable), t.dropped.x, t.dropped.y, t.dropped.z);
    EXPECT_FALSE(t.placeable) << r.name << ": shown as placeable";
    EXPECT_EQ(t.cursor, zelvpro3DTask::kBlockedCursor) << r.name;
    EXPECT_LT(Distance(t.dropped, d60.at), 0.01f) << r.name << ": the refused drop moved the unit";
    EXPECT_EQ(Plan().DoneTop(), history) << r.name << ": the refused drop is on the history";
  }
  Stop();

  // The same walk in the program's window.
  const fs::path aside = demo_.Root() / "documents";
  fs::create_directories(aside);
  std::vector<std::string> steps{"key:F7"};
  for (int dy : kDowns) {
    const fs::path copy = aside / ("down" + std::to_string(dy) + ".qxf");
    steps.insert(steps.end(), {"down:" + Place(press), "move:" + Offset(press, 0, dy)});
    if (dy == kDowns[0]) steps.push_back("cursor:" + (demo_.Root() / "placeable.pam").string());
    steps.insert(steps.end(), {"up", "chord:Control_L+s", "spawn:cp " + Quoted(plan) + " " + Quoted(copy),
                               "chord:Control_L+z"});
  }
  for (const Refusal& r : refusals) {
    steps.push_back("down:" + Place(press));
    if (r.ctrl) steps.push_back("hold:Control_L");
    steps.insert(steps.end(), {"move:" + Place(r.to),
                               "cursor:" + (demo_.Root() / (std::string(r.name) + ".pam")).string(), "up"});
    if (r.ctrl) steps.push_back("let:Control_L");
  }
  steps.insert(steps.end(), {"chord:Control_L+s", "close"});
  const std::string environment = "XDG_DOCUMENTS_DIR='" + aside.string() + "'";
  const windowrun::Outcome outcome = Run(steps, 120, Quoted(plan), environment);
  ASSERT_TRUE(outcome.Passed()) << outcome.log;

  EXPECT_FALSE(SameCursor(ReadCursorShot(demo_.Root() / "placeable.pam"), blocked))
      << "a placeable place showed the forbidden-drop cursor";
  for (const Refusal& r : refusals)
    EXPECT_TRUE(SameCursor(ReadCursorShot(demo_.Root() / (std::string(r.name) + ".pam")), blocked))
        << r.name << ": not the forbidden-drop cursor";
  for (size_t i = 0; i < down.size(); ++i) {
    Begin((aside / ("down" + std::to_string(kDowns[i]) + ".qxf")).string());
    zelvproElement* unit = Named("D60");
    ASSERT_NE(unit, nullptr) << kDowns[i] << " px down: the saved plan has no one drawer unit";
    const ppVector3 at = PlanPoint(unit, ppVector3());
    std::printf("%d px down: outline at (%.1f, %.1f, %.1f), saved at (%.1f, %.1f, %.1f) mm\n", kDowns[i],
                down[i].target.x, down[i].target.y, down[i].target.z, at.x, at.y, at.z);
    EXPECT_LT(Distance(at, down[i].target), 0.5f) << kDowns[i] << " px down: not where the outline stood";
    Stop();
  }
  // Every refused release left the plan as the undone drags left it.
  Begin(plan.string());
  const std::vector<Seen> after = Units();
  EXPECT_EQ(after.size(), before.size());
  const Seen* stayed = Find(after, "D60");
  ASSERT_NE(stayed, nullptr);
  EXPECT_LT(Distance(stayed->at, d60.at), 0.01f) << "a refused drop moved the drawer unit";
}
}  // namespace
