// Placing on the demo's start plan as a user does it: a base unit pulled out of the palette and dropped
// beside the drawer unit at the end of the corner run joins it, a wall unit dropped beside the corner's
// wall unit joins that one (the start plan's units stand 0.1 mm off the wall faces, so a unit joined to
// them stands clear of the wall too); the new base unit then dragged near the room's right wall lands
// where the mouse put it, unturned, since no wall is a snap target; in Room Design a door pulled out
// of the palette onto the top wall stands in the wall's thickness, and Undo takes it away.
//
// The walk runs in this process, headless, where the plan is read back exactly; the window-run test
// then walks it again in the built program's window (Xvfb, driven through XTEST) and reads it back from
// the window's pixels. Plan millimetres; pixels of the frame's client area.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "PlanUnits.h"
#include "WindowRunFixture.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/palette/zelvproElementPalette.h"
#include "canvas/palette/zelvproElementPane.h"
#include "canvas/palette/zelvproElementScroller.h"
#include "canvas/tasks/PlanFrames.h"
#include "catalogue/browser/qxCatalog.h"
#include "catalogue/browser/qxNode.h"
#include "catalogue/browser/qxTopNode.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/PlanPixels.h"
#include "framework/ppButton.h"
#include "platform/Desktop.h"
#include "platform/TreeView.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"
#include "room/qxWallElement.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
// The Edit menu's Undo and Redo.
constexpr int32_t kUndo = 31, kRedo = 32;

// The start plan's room: inner faces at x 2000 and z 2000 (left and top); the units' sizes.
constexpr float kFace = 2000.0f;
constexpr float kBaseDepth = 560.0f, kWallDepth = 350.0f;

// The walk, over the started program of either fixture. Each press and drag is made here through the
// desktop as the driver makes it on the display, and added to `steps` in the driver's words.
template <typename Fixture>
class Placing : public Fixture {
 protected:
  zelvproWindow& Window() const { return *this->app_->DocumentWindow(); }
  zelvproTopCanvas& Plan() const { return *dynamic_cast<zelvproTopCanvas*>(Window().TopCanvas()); }

  // A point of `window`'s client area in the frame's client pixels.
  plat::POINT Framed(plat::HWND window, plat::POINT p) const {
    plat::ClientToScreen(window, &p);
    plat::POINT origin{0, 0};
    plat::ClientToScreen(this->app_->Frame(), &origin);
    return {p.x - origin.x, p.y - origin.y};
  }
  // A plan point where the view shown now draws it.
  plat::POINT Pixel(const ppVector3& plan) const {
    plat::POINT p{};
    PlanPointToScreen(plan, p);
    return Framed(Window().GetHWND(), p);
  }
  // A place in the driver's words: x, and y counted up from the client area's bottom edge (noted while
  // the program runs here, so that places can be made after it stopped).
  std::string Place(plat::POINT p) {
    if (this->app_ != nullptr) {
      plat::RECT client{};
      plat::GetClientRect(this->app_->Frame(), &client);
      clientBottom_ = client.bottom;
    }
    return std::to_string(p.x) + "," + std::to_string(p.y - clientBottom_);
  }
  int32_t clientBottom_ = 0;

  // The plan's units by their top view's name, in plan order.
  std::vector<zelvproElement*> Named(const std::string& name) const {
    return apptest::UnitsNamed(Plan(), name);
  }

  // Opens the palette's group `name` as the user does; the clicks, as the driver makes them, are added
  // to `steps`.
  qxNode* OpenGroup(const char* name, std::vector<std::string>& steps) {
    std::vector<plat::POINT> clicks;
    qxNode* group = Fixture::OpenGroup(name, clicks);
    for (const plat::POINT& at : clicks) steps.push_back("press:" + Place(at) + ",100");
    return group;
  }
  // The strip cell of the open group's item whose name holds `item`.
  plat::POINT Cell(qxNode& group, const char* item) const {
    zelvproElementScroller& strip = *Window().Palette()->Pane()->Strip();
    int32_t column = 0;
    for (qxNode* child = group.FirstChild(); child != nullptr; child = child->NextSibling(), ++column)
      if (std::string(child->Name().c_str()).find(item) != std::string::npos) break;
    EXPECT_LT(column, strip.ItemCount()) << "no item " << item;
    plat::RECT cell{};
    strip.GetCellRect(column, 0, &cell);
    return Framed(strip.GetRootView()->GetHWND(),
                  {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2});
  }
  // Drags from `from` to `to` as the driver does: on a program that answers, through a halfway move.
  void Drag(plat::POINT from, plat::POINT to, std::vector<std::string>& steps) {
    this->DragInFrame(from, to);
    steps.push_back("alive");
    steps.push_back("drag:" + Place(from) + "," + Place(to));
  }
  // Pulls the palette's item `item` of group `group` out and drops it with its back left corner on the
  // plan point `at`; the one unit the drop added to the plan, or null.
  zelvproElement* DropFromPalette(const char* group, const char* item, const ppVector3& at,
                                  std::vector<std::string>& steps) {
    qxNode* node = OpenGroup(group, steps);
    EXPECT_NE(node, nullptr) << "the palette's group " << group << " does not open";
    if (node == nullptr) return nullptr;
    std::vector<zelvproElement*> before;
    ForEachChildElement(Plan(), [&](zelvproElement* e) { before.push_back(e); });
    Drag(Cell(*node, item), Pixel(at), steps);
    std::vector<zelvproElement*> added;
    ForEachChildElement(Plan(), [&](zelvproElement* e) {
      if (std::find(before.begin(), before.end(), e) == before.end()) added.push_back(e);
    });
    return added.size() == 1 ? added.front() : nullptr;
  }

  // Where a unit stands, to a tenth of a millimetre.
  static void ExpectAt(zelvproElement* unit, const ppVector3& at, const char* what) {
    ASSERT_NE(unit, nullptr) << what << ": the drop added no unit";
    const ppVector3 p = PlanPoint(unit, ppVector3());
    EXPECT_NEAR(p.x, at.x, 0.02) << what;
    EXPECT_NEAR(p.y, at.y, 0.02) << what;
    EXPECT_NEAR(p.z, at.z, 0.02) << what;
    EXPECT_NEAR(unit->GetAbsoluteAngle(), 0.0f, 1e-6) << what;
  }

  // The walk on the plan view of the start plan; what it placed.
  struct Walked {
    zelvproElement *base = nullptr, *wall = nullptr;
    float rightFace = 0.0f;  // x of the room's right inner face
    ppVector3 baseBeside;    // where the new base unit stood beside the drawer unit
    ppVector3 dropped;       // where the mouse left it by the right wall
  };
  Walked WalkThePlan(std::vector<std::string>& steps) {
    Walked w;
    EXPECT_EQ(this->CurrentView(), zelvproViewBar::kTopColourView) << "the plan opens in the plan view";
    for (qxWallElement* wall : apptest::WallsUnder(*Window().NewRoomCanvas())) {
      const WallEdge& e = wall->Edge();
      if (e.start.x == e.end.x && e.end.z > e.start.z) w.rightFace = e.start.x;
    }
    EXPECT_GT(w.rightFace, 4000.0f) << "the room's right wall";
    // The start plan's units stand 0.1 mm off the faces, as a user's drop leaves a unit.
    const std::vector<zelvproElement*> corner = Named("B40"), drawers = Named("D60"), hanging = Named("W60");
    EXPECT_EQ(corner.size(), 1u);
    EXPECT_EQ(drawers.size(), 1u);
    EXPECT_EQ(hanging.size(), 1u);
    if (corner.size() != 1 || drawers.size() != 1 || hanging.size() != 1) return w;
    ExpectAt(corner[0], ppVector3(kFace + 0.1f, 100.0f, kFace + 0.1f), "the corner's base unit");
    ExpectAt(hanging[0], ppVector3(kFace + 0.1f, 1400.0f, kFace + 0.1f), "the corner's wall unit");
    ExpectAt(drawers[0], ppVector3(kFace + 400.1f, 100.0f, kFace + 0.1f), "the drawer unit");

    // Dropped 150 mm right of the drawer unit's free side and 150 mm into the room, the base unit joins
    // it: its back 0.1 mm off the top face, like the unit it joins.
    w.baseBeside = ppVector3(kFace + 1000.1f, 100.0f, kFace + 0.1f);
    w.base = DropFromPalette("Base", "VH-B60", ppVector3(kFace + 1150.0f, 0.0f, kFace + 150.0f), steps);
    ExpectAt(w.base, w.baseBeside, "the base unit dropped beside the drawer unit");
    // The wall unit likewise beside the corner's wall unit, where it hangs.
    w.wall = DropFromPalette("Wall", "VH-W60", ppVector3(kFace + 750.0f, 0.0f, kFace + 150.0f), steps);
    ExpectAt(w.wall, ppVector3(kFace + 600.1f, 1400.0f, kFace + 0.1f),
             "the wall unit dropped beside the corner's wall unit");
    if (w.base == nullptr || w.wall == nullptr) return w;

    // The new base unit pressed at its front's middle and dragged so that its right side stops 300 mm
    // before the right face, 1200 mm below the top one: far from every other unit's anchor, it lands
    // where the mouse put it, unturned.
    const double scale = PlanScale();
    const plat::POINT press = Pixel(w.baseBeside + ppVector3(300.0f, 0.0f, kBaseDepth - 60.0f));
    const ppVector3 target(w.rightFace - 300.0f - 600.0f, 0.0f, w.baseBeside.z + 1200.0f);
    const plat::POINT release{press.x + int32_t(std::lround((target.x - w.baseBeside.x) / scale)),
                              press.y + int32_t(std::lround((target.z - w.baseBeside.z) / scale))};
    Drag(press, release, steps);
    w.dropped = w.baseBeside +
                ppVector3(float((release.x - press.x) * scale), 0.0f, float((release.y - press.y) * scale));
    ExpectAt(w.base, w.dropped, "the base unit moved near the right wall");
    ExpectAt(drawers[0], ppVector3(kFace + 400.1f, 100.0f, kFace + 0.1f), "the drawer unit stays");
    return w;
  }
};

class PlacingOnTheStartPlanTest : public Placing<apptest::StartedProgramTest> {};

TEST_F(PlacingOnTheStartPlanTest, UnitsDroppedBesideTheCornerUnitsJoinThemAndAUnitByAWallStaysWhereItIsPut) {
  plat::SetVirtualScreenSize(1280, 1024);
  StartOnThePlan();
  std::vector<std::string> steps;
  const Walked w = WalkThePlan(steps);
  ASSERT_NE(w.base, nullptr);
  ASSERT_NE(w.wall, nullptr);
  // Each placing is one step of the history: Undo takes the move back, then the two drops.
  Send(kUndo);
  ExpectAt(w.base, w.baseBeside, "the move undone");
  Send(kUndo);
  EXPECT_EQ(w.wall->GetSupervisor(), nullptr) << "the wall unit's drop undone";
  Send(kRedo);
  EXPECT_EQ(w.wall->GetSupervisor(), &Plan());
  Send(kRedo);
  ExpectAt(w.base, w.dropped, "the move redone");

  // In front of the corner's base unit, dropped 100 mm through the left wall and 50 mm clear of the
  // unit: no anchor within reach, it is pushed back to 0.1 mm off the left face and stands there.
  zelvproElement* front = DropFromPalette(
      "Base", "VH-B60", ppVector3(kFace - 100.0f, 0.0f, kFace + 0.1f + kBaseDepth + 50.0f), steps);
  ASSERT_NE(front, nullptr) << "the drop in front of the corner's base unit was refused";
  // Pushed back in x; in z where the mouse left it, to a pixel of the plan.
  const ppVector3 at = PlanPoint(front, ppVector3());
  EXPECT_NEAR(at.x, kFace + 0.1f, 0.02);
  EXPECT_NEAR(at.z, kFace + 0.1f + kBaseDepth + 50.0f, PlanScale());
  EXPECT_EQ(front->GetAbsoluteAngle(), 0.0f);
}

class PlacingWindowRunTest : public Placing<apptest::WindowRunFixture> {
 protected:
  // The client pixels from `p` to `q`, both included.
  static plat::RECT Between(plat::POINT p, plat::POINT q) {
    return {std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x) + 1, std::max(p.y, q.y) + 1};
  }
};

TEST_F(PlacingWindowRunTest,
       UnitsJoinTheCornerUnitsAUnitByAWallStaysUnturnedAndADoorDroppedOnAWallStandsInIt) {
  BeginOnThePlan();
  std::vector<std::string> steps = {GrabStep("plan.ppm")};
  const Walked w = WalkThePlan(steps);
  ASSERT_FALSE(HasFailure()) << "the walk does not go as it should in this process";
  // Learnt in the plan view: where the new units' lines lie. The base unit beside the drawer unit: its
  // right side's middle; the wall unit beside the corner's: its front's middle, over the base units.
  const plat::POINT baseSide = Pixel(w.baseBeside + ppVector3(600.0f, 0.0f, kBaseDepth / 2));
  const plat::POINT wallFront0 = Pixel(ppVector3(kFace + 700.0f, 0.0f, kFace + kWallDepth - 8.0f));
  const plat::POINT wallFront1 = Pixel(ppVector3(kFace + 1100.0f, 0.0f, kFace + kWallDepth + 8.0f));
  // The moved unit: its left side's middle where it was put, and the floor between its right side and
  // the right face, where a unit turned against the wall would stand.
  const plat::POINT movedSide = Pixel(w.dropped + ppVector3(0.0f, 0.0f, kBaseDepth / 2));
  const plat::POINT gap0 = Pixel(ppVector3(w.rightFace - 280.0f, 0.0f, w.dropped.z - 100.0f));
  const plat::POINT gap1 = Pixel(ppVector3(w.rightFace - 20.0f, 0.0f, w.dropped.z + kBaseDepth + 100.0f));
  // The grabs after each drop and the move: the steps so far hold three drags.
  std::vector<std::string> walk;
  int drags = 0;
  for (const std::string& step : steps) {
    walk.push_back(step);
    if (step.rfind("drag:", 0) == 0) walk.push_back(GrabStep("drag" + std::to_string(++drags) + ".ppm"));
  }
  ASSERT_EQ(drags, 3);

  // Room Design: the palette shows the doors; the drop point lies 300 mm into the room from the top
  // face's middle.
  zelvproWindow& window = Window();
  const plat::POINT roomButton = Middle(Frame(*Find<ppButton>(
      window, [](ppButton& b) { return b.GetPictureId() == zelvproViewBar::kRoomDesignView; })));
  Send(zelvproViewBar::kRoomDesignCommand);
  auto* room = dynamic_cast<qxNewRoomCanvas*>(window.NewRoomCanvas());
  ASSERT_NE(room, nullptr);
  qxWallElement* top = nullptr;
  for (qxWallElement* wall : Walls(*room)) {
    const WallEdge& e = wall->Edge();
    if (e.start.z == e.end.z && e.end.x > e.start.x) top = wall;
  }
  ASSERT_NE(top, nullptr);
  zelvproElementScroller& strip = *window.Palette()->Pane()->Strip();
  qxNode* group = window.Palette()->Browser()->CurrentNode();
  ASSERT_NE(group, nullptr);
  ASSERT_NE(group->FirstChild(), nullptr);
  ASSERT_NE(std::string(group->FirstChild()->Name().c_str()).find("DR90"), std::string::npos)
      << "the first cell is the 90 cm door";
  plat::RECT cell{};
  strip.GetCellRect(0, 0, &cell);
  const plat::POINT fromCell = InFrame(strip.GetRootView()->GetHWND(), Middle(cell));
  const WallEdge face = top->Edge();
  const float thickness = face.segment != nullptr ? face.segment->GetThickness() : 150.0f;
  const ppVector3 middle((face.start.x + face.end.x) / 2, 0.0f, face.start.z);
  const plat::POINT drop = Pixel(middle + ppVector3(0.0f, 0.0f, 300.0f));
  // The door runs 900 mm along the face from the foot: the wall's band along its middle, and the strip
  // of floor just in front of its leaf (which stands 10 mm proud of the face), which its swing leaves
  // alone.
  const plat::POINT band0 = Pixel(ppVector3(middle.x + 200.0f, 0.0f, face.start.z - thickness + 20.0f));
  const plat::POINT band1 = Pixel(ppVector3(middle.x + 700.0f, 0.0f, face.start.z - 20.0f));
  const plat::POINT strip0 = Pixel(ppVector3(middle.x + 200.0f, 0.0f, face.start.z + 30.0f));
  const plat::POINT strip1 = Pixel(ppVector3(middle.x + 700.0f, 0.0f, face.start.z + 60.0f));
  // The room with its walls and 250 mm about them.
  ppVector3 low(1e9f, 0.0f, 1e9f), high(-1e9f, 0.0f, -1e9f);
  for (qxWallElement* wall : Walls(*room))
    for (const ppVector3& p : {wall->Edge().start, wall->Edge().end}) {
      low = ppVector3(std::min(low.x, p.x), 0.0f, std::min(low.z, p.z));
      high = ppVector3(std::max(high.x, p.x), 0.0f, std::max(high.z, p.z));
    }
  const plat::POINT room0 = Pixel(low - ppVector3(thickness + 250.0f, 0.0f, thickness + 250.0f));
  const plat::POINT room1 = Pixel(high + ppVector3(thickness + 250.0f, 0.0f, thickness + 250.0f));
  const std::vector<std::string> closing = CloseWithoutSaving();
  Stop();

  // Each drag starts on a program that answers (idle): a press it reads only once the release waits
  // behind it counts as a click.
  const std::vector<std::string> rest = {"press:" + Place(roomButton) + ",150",
                                         "changed",
                                         GrabStep("room.ppm"),
                                         "alive",
                                         "drag:" + Place(fromCell) + "," + Place(drop),
                                         GrabStep("door.ppm"),
                                         "chord:Control_L+z",
                                         GrabStep("undone.ppm")};
  walk.insert(walk.end(), rest.begin(), rest.end());
  walk.insert(walk.end(), closing.begin(), closing.end());
  const windowrun::Outcome outcome = Run(walk, 60, Quoted(DemoPlan()));
  ASSERT_TRUE(outcome.Passed()) << outcome.log;

  const windowrun::Grab plan = Grabbed("plan.ppm");
  const windowrun::Grab base = Grabbed("drag1.ppm");
  const windowrun::Grab wall = Grabbed("drag2.ppm");
  const windowrun::Grab moved = Grabbed("drag3.ppm");
  ASSERT_GT(moved.width, 0);
  auto drawn = [&](const windowrun::Grab& g, plat::POINT p) {
    int32_t n = 0;
    for (int32_t dx = -1; dx <= 1; ++dx) n += At(g, {p.x + dx, p.y}) != kWhite;
    return n > 0;
  };
  EXPECT_FALSE(drawn(plan, baseSide)) << "nothing stood right of the drawer unit";
  EXPECT_TRUE(drawn(base, baseSide)) << "the base unit dropped beside the drawer unit is drawn there";
  EXPECT_GT(Differing(base, wall, Between(wallFront0, wallFront1)), 0)
      << "the wall unit dropped beside the corner's wall unit is drawn there";
  EXPECT_TRUE(drawn(moved, movedSide)) << "the moved unit stands where the mouse put it";
  EXPECT_FALSE(drawn(moved, baseSide)) << "the moved unit left the drawer unit's side";
  EXPECT_EQ(Differing(plan, moved, Between(gap0, gap1)), 0) << "no unit turned against the right wall";

  // The door: the wall's band along it changes, and after Undo the room is drawn as before the drop.
  const windowrun::Grab before = Grabbed("room.ppm");
  const windowrun::Grab door = Grabbed("door.ppm");
  const windowrun::Grab undone = Grabbed("undone.ppm");
  ASSERT_GT(undone.width, 0);
  EXPECT_GT(Differing(before, door, Between(band0, band1)), 0) << "the door is drawn in the wall";
  EXPECT_EQ(Differing(before, door, Between(strip0, strip1)), 0) << "nothing of the door stands in the room";
  EXPECT_EQ(Differing(before, undone, Between(room0, room1)), 0)
      << "Undo took the door away and the room is drawn as before";
}

}  // namespace
