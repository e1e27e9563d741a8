// A door pulled out of the element palette in Room Design and dropped by the room's wall, as a user
// does it on the demo's start plan: it stands in the wall's thickness turned with the wall, the plan
// shows it there with its leaf's swing once the queue is idle, and Undo takes both away again. In the
// 3D view the door's leaf and a window on the wall the view faces are drawn whole, before a turn and
// after it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <memory>
#include <vector>

#include "StartedProgram.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/palette/zelvproElementPalette.h"
#include "canvas/palette/zelvproElementPane.h"
#include "canvas/palette/zelvproElementScroller.h"
#include "canvas/tasks/PlanFrames.h"
#include "canvas/view3d/zelvpro3DCanvas.h"
#include "canvas/view3d/zelvproButtonSlider.h"
#include "canvas/view3d/zelvproSliderButton.h"
#include "catalogue/browser/qxCatalog.h"
#include "catalogue/browser/qxNode.h"
#include "catalogue/browser/qxTopNode.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/PlanPixels.h"
#include "elements/units/zelvproDoor.h"
#include "platform/Desktop.h"
#include "platform/LayerClock.h"
#include "platform/PngFile.h"
#include "platform/Surface.h"
#include "room/qxFloorElement.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"
#include "room/qxWallElement.h"
#include "scene3d/panes/zelvpro3DPane.h"

namespace {

constexpr int32_t kUndo = 31;

class DoorOnWallTest : public apptest::StartedProgramTest {
 protected:
  plat::HWND Window() const { return app_->DocumentWindow()->GetHWND(); }
  // A point of the document window on the desktop, where the pointer goes.
  plat::POINT OnDesktop(plat::POINT p) const {
    plat::ClientToScreen(Window(), &p);
    return p;
  }
  // A point of the window's client area in its picture, which begins at its frame's corner.
  plat::POINT InShot(plat::POINT p) const {
    plat::RECT frame{};
    plat::GetWindowRect(Window(), &frame);
    const plat::POINT onDesktop = OnDesktop(p);
    return plat::POINT{onDesktop.x - frame.left, onDesktop.y - frame.top};
  }
  static void Settle() { plat::HeadlessDriver::RunUntilIdle(); }
  // The window's pixels as it shows them now, nothing repainted for the test.
  std::unique_ptr<plat::Surface> Shown() {
    const std::string shot = (demo_.Root() / "room.png").string();
    if (!plat::HeadlessDriver::DumpPng(Window(), shot)) return nullptr;
    return plat::ReadPng(shot);
  }
  // Pulls the palette's item named `name` out of its group `group` and releases it on `to` (window).
  void DropFromPalette(const char* group, const char* item, plat::POINT to) {
    zelvproElementPalette* palette = app_->DocumentWindow()->Palette();
    ASSERT_NE(palette, nullptr);
    qxNode* node = FindNode(*palette, group);
    ASSERT_NE(node, nullptr) << group;
    palette->Browser()->SelectCatalogNode(node);
    Settle();
    zelvproElementScroller& strip = *palette->Pane()->Strip();
    int32_t column = -1;
    for (qxNode* child = node->FirstChild(); child != nullptr; child = child->NextSibling()) {
      ++column;
      if (std::string(child->Name().c_str()).find(item) != std::string::npos) break;
    }
    ASSERT_GE(column, 0);
    ASSERT_LT(column, strip.ItemCount());
    plat::RECT cell{};
    strip.GetCellRect(column, 0, &cell);
    const plat::POINT from{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    plat::Desktop::MouseMove(OnDesktop(from));
    Settle();
    plat::Desktop::MouseButton(plat::VK_LBUTTON, true, OnDesktop(from));
    Settle();
    plat::LayerClock::Advance(1000);
    plat::Desktop::MouseMove(OnDesktop(plat::POINT{(from.x + to.x) / 2, (from.y + to.y) / 2}));
    Settle();
    plat::Desktop::MouseMove(OnDesktop(to));
    Settle();
    plat::Desktop::MouseButton(plat::VK_LBUTTON, false, OnDesktop(to));
    Settle();
  }
  static qxNode* FindNode(zelvproElementPalette& palette, const char* name) {
    std::function<qxNode*(qxNode&)> find = [&](qxNode& node) -> qxNode* {
      for (qxNode* child = node.FirstChild(); child != nullptr; child = child->NextSibling()) {
        if (child->ItemRecordId() == 0 && std::string(child->Name().c_str()) == name) return child;
        if (qxNode* deeper = find(*child)) return deeper;
      }
      return nullptr;
    };
    for (int32_t i = 0; i < qxCatalog::kTreeCount; ++i)
      if (qxNode* found = find(palette.Browser()->Top(i))) return found;
    return nullptr;
  }
  // Every element of the room's tree, of type T.
  template <typename T>
  static std::vector<T*> All(const ppView& view) {
    std::vector<T*> out;
    ForEachChildElement(view, [&](zelvproElement* e) {
      if (auto* t = dynamic_cast<T*>(e)) out.push_back(t);
      for (T* deeper : All<T>(*e)) out.push_back(deeper);
    });
    return out;
  }
  static std::vector<zelvproDoor*> Doors(qxNewRoomCanvas& room) { return All<zelvproDoor>(room); }
  // The 3D pane's part of the window as it shows it now; null when the 3D view was not made.
  std::unique_ptr<plat::Surface> Scene() {
    auto* canvas = dynamic_cast<zelvpro3DCanvas*>(app_->DocumentWindow()->Made3DCanvas());
    if (canvas == nullptr || canvas->Pane() == nullptr) return nullptr;
    const std::unique_ptr<plat::Surface> shown = Shown();
    if (shown == nullptr) return nullptr;
    plat::RECT pane{}, frame{};
    plat::GetWindowRect(canvas->Pane()->GetHWND(), &pane);
    plat::GetWindowRect(Window(), &frame);
    auto scene = std::make_unique<plat::Surface>(pane.right - pane.left, pane.bottom - pane.top);
    for (int32_t y = 0; y < scene->Height(); ++y)
      for (int32_t x = 0; x < scene->Width(); ++x)
        scene->SetPixel(x, y, shown->Pixel(pane.left - frame.left + x, pane.top - frame.top + y));
    return scene;
  }
  // A click in the middle of `view`, as the user gives it.
  void ClickOn(ppView& view) {
    plat::RECT r{};
    view.GetWindowFrame(&r);
    plat::POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    plat::ClientToScreen(view.GetRootView()->GetHWND(), &p);
    plat::Desktop::Click(p);
    Settle();
  }
  static plat::POINT Pixel(const ppVector3& p) {
    plat::POINT out{};
    PlanPointToScreen(p, out);
    return out;
  }
};

TEST_F(DoorOnWallTest, ADoorDroppedByAWallStandsInItTurnedWithItAndUndoTakesItAway) {
  plat::SetVirtualScreenSize(1280, 1024);
  StartOnThePlan();
  Send(zelvproViewBar::kRoomDesignCommand);
  auto* room = dynamic_cast<qxNewRoomCanvas*>(app_->DocumentWindow()->NewRoomCanvas());
  ASSERT_NE(room, nullptr);
  auto* floor = dynamic_cast<qxFloorElement*>(room->FindFloor());
  ASSERT_NE(floor, nullptr);
  ASSERT_TRUE(Doors(*room).empty());

  // The longest straight face of the room; the pointer goes 300 mm into the room from its middle.
  qxWallElement* wall = nullptr;
  float longest = 0.0f;
  for (qxWallElement* w : All<qxWallElement>(*room)) {
    if (w->Edge().segment == nullptr || w->Edge().arched) continue;
    const float length = std::hypot(w->Edge().end.x - w->Edge().start.x, w->Edge().end.z - w->Edge().start.z);
    if (length > longest) longest = length, wall = w;
  }
  ASSERT_NE(wall, nullptr);
  const WallEdge edge = wall->Edge();
  const ppVector3 along((edge.end.x - edge.start.x) / longest, 0.0f, (edge.end.z - edge.start.z) / longest);
  // The room lies to the faces' right on the plan (its outline turns that way).
  const ppVector3 inward(-along.z, 0.0f, along.x);
  const ppVector3 middle = edge.start + along * (longest / 2.0f);
  ppVector3 foot;
  float faceAngle = 0.0f;
  ASSERT_EQ(floor->NearestWallEdge(foot, faceAngle, middle + inward * 300.0f, 900.0f), wall)
      << "the face chosen is the one the door will find";
  const float thickness = edge.segment->GetThickness();
  ASSERT_GT(thickness, 40.0f);

  const std::unique_ptr<plat::Surface> before = Shown();
  ASSERT_NE(before, nullptr);
  DropFromPalette("Openings", "VH-DR90", Pixel(middle + inward * 300.0f));

  const std::vector<zelvproDoor*> doors = Doors(*room);
  ASSERT_EQ(doors.size(), 1u) << "the door was seated on a wall";
  zelvproDoor* door = doors.front();
  EXPECT_EQ(door->GetSupervisor(), edge.segment);
  EXPECT_NEAR(std::remainder(door->GetAbsoluteAngle() - faceAngle, 2.0f * float(M_PI)), 0.0f, 1e-4f)
      << "turned with the wall";
  // Its built body stands in the wall's thickness but for the leaf's room side, which the catalogue
  // stands 10 mm proud of the face (the face is not cut: the leaf sharing its plane would be drawn
  // through it in 3D), and the lever on it, whose tip stands 14 mm before the leaf; along the face it
  // lies between the face's ends.
  const ppBounds3 body = door->GetBounds(0, 0);
  ASSERT_GT(body.half.x, 0.0f) << "the door has a body";
  const ppVector3 size(body.half.x * 2.0f, 0.0f, body.half.z * 2.0f);
  EXPECT_NEAR(size.z, 40.0f + 14.0f, 0.5f) << "the catalogue's 40 mm leaf and its lever";
  float roomSide = 1e9f;
  for (float x : {-1.0f, 1.0f})
    for (float z : {-1.0f, 1.0f}) {
      const ppVector3 local(body.centre.x + x * body.half.x, 0.0f, body.centre.z + z * body.half.z);
      const ppVector3 off = PlanPoint(door, local) - edge.start;
      const float depth = -(off.x * inward.x + off.z * inward.z);
      const float run = off.x * along.x + off.z * along.z;
      SCOPED_TRACE(testing::Message() << "corner " << local.x << "," << local.z);
      roomSide = std::min(roomSide, depth);
      EXPECT_LE(depth, thickness + 0.5f) << "stands out behind the wall";
      EXPECT_GE(run, -0.5f);
      EXPECT_LE(run, longest + 0.5f);
    }
  EXPECT_NEAR(roomSide, -10.0f - 14.0f, 0.5f) << "the lever's tip is not 14 mm before the leaf's room side";
  // The plan shows it: in the wall's band along the door the pixels changed, in the strip of floor
  // before it none (a door standing in the room would cover it).
  const std::unique_ptr<plat::Surface> dropped = Shown();
  ASSERT_NE(dropped, nullptr);
  const auto changed = [&](const plat::Surface& a, const plat::Surface& b, const ppVector3& from,
                           const ppVector3& to) {
    int32_t count = 0;
    const plat::POINT p = InShot(Pixel(from)), q = InShot(Pixel(to));
    for (int32_t y = std::min(p.y, q.y); y <= std::max(p.y, q.y); ++y)
      for (int32_t x = std::min(p.x, q.x); x <= std::max(p.x, q.x); ++x)
        count += a.Pixel(x, y) != b.Pixel(x, y);
    return count;
  };
  const ppVector3 doorStart = PlanPoint(door, ppVector3(size.x * 0.25f, 0.0f, 0.0f));
  const ppVector3 doorEnd = PlanPoint(door, ppVector3(size.x * 0.75f, 0.0f, 0.0f));
  const ppVector3 wallFrom = doorStart - inward * (thickness - 10.0f), wallTo = doorEnd - inward * 10.0f;
  EXPECT_GT(changed(*before, *dropped, wallFrom, wallTo), 0) << "the door is drawn in the wall";
  EXPECT_EQ(changed(*before, *dropped, doorStart + inward * 30.0f, doorEnd + inward * 100.0f), 0)
      << "the door stands further into the room than its leaf's 10 mm";
  // Its leaf's swing is drawn on the floor: the arc passes its 45 degree point.
  const ppVector3 swingFrom = PlanPoint(door, ppVector3(0.66f, 0.0f, 0.66f) * size.x),
                  swingTo = PlanPoint(door, ppVector3(0.76f, 0.0f, 0.76f) * size.x);
  EXPECT_GT(changed(*before, *dropped, swingFrom, swingTo), 0) << "no swing on the floor";

  Send(kUndo);
  EXPECT_EQ(door->GetSupervisor(), nullptr) << "Undo took the door away";
  EXPECT_TRUE(Doors(*room).empty());
  const std::unique_ptr<plat::Surface> undone = Shown();
  ASSERT_NE(undone, nullptr);
  EXPECT_EQ(changed(*before, *undone, wallFrom, wallTo), 0) << "the wall is drawn as before";
}

// What one opening added to a picture of the 3D view: the pixels that differ from the picture
// without it, within the columns the opening took.
struct Drawn {
  int32_t left = 0, right = -1;  // columns, inclusive
  int32_t pixels = 0;            // pixels that differ
  // Pixels left as they were between the first and the last that differ on their row: a surface
  // drawn through the opening (its own face in the same plane shows in specks or not at all).
  int32_t holes = 0;
  int64_t red = 0, blue = 0;  // sums over the pixels that differ
};

// The runs of columns in which `with` differs from `without`, each with what it added.
std::vector<Drawn> DrawnRuns(const plat::Surface& without, const plat::Surface& with) {
  std::vector<Drawn> runs;
  const auto differs = [&](int32_t x, int32_t y) { return without.Pixel(x, y) != with.Pixel(x, y); };
  for (int32_t x = 0; x < with.Width(); ++x) {
    bool any = false;
    for (int32_t y = 0; y < with.Height() && !any; ++y) any = differs(x, y);
    if (!any) continue;
    if (runs.empty() || runs.back().right != x - 1) runs.push_back(Drawn{x, x});
    runs.back().right = x;
  }
  for (Drawn& run : runs)
    for (int32_t y = 0; y < with.Height(); ++y) {
      int32_t first = -1, last = -1;
      for (int32_t x = run.left; x <= run.right; ++x)
        if (differs(x, y)) {
          if (first < 0) first = x;
          last = x;
          ++run.pixels;
          run.red += (with.Pixel(x, y) >> 16) & 0xff;
          run.blue += with.Pixel(x, y) & 0xff;
        }
      for (int32_t x = first + 1; x < last; ++x) run.holes += differs(x, y) ? 0 : 1;
    }
  return runs;
}

// The demo's doors and windows stand their room side 10 mm before the wall's face, which no opening
// cuts: the 3D view draws the leaf and the window whole over the wall, not speckled by the face in
// the same plane, from the view the 3D view starts with and after the user turned it.
TEST_F(DoorOnWallTest, ADoorAndAWindowOnTheFacingWallAreDrawnWholeIn3DBeforeAndAfterATurn) {
  plat::SetVirtualScreenSize(1280, 1024);
  StartOnThePlan();
  Send(zelvproViewBar::k3DCommand);
  auto* canvas = dynamic_cast<zelvpro3DCanvas*>(app_->DocumentWindow()->Made3DCanvas());
  ASSERT_NE(canvas, nullptr);
  const std::unique_ptr<plat::Surface> bare = Scene();
  ASSERT_NE(bare, nullptr);

  // The start view faces the room's back wall: the straight face across the plan's top.
  Send(zelvproViewBar::kRoomDesignCommand);
  auto* room = dynamic_cast<qxNewRoomCanvas*>(app_->DocumentWindow()->NewRoomCanvas());
  ASSERT_NE(room, nullptr);
  qxWallElement* back = nullptr;
  for (qxWallElement* w : All<qxWallElement>(*room)) {
    const WallEdge& e = w->Edge();
    if (e.segment != nullptr && !e.arched && e.start.z == e.end.z && e.end.x > e.start.x &&
        (back == nullptr || e.start.z < back->Edge().start.z))
      back = w;
  }
  ASSERT_NE(back, nullptr);
  const WallEdge face = back->Edge();
  ASSERT_GT(face.end.x - face.start.x, 3800.0f);
  // Right of the start plan's units (which stand at the face's left end): the door 1300 mm along
  // the face, the window 2500 mm, 300 mm apart; the pointer 300 mm into the room.
  DropFromPalette("Openings", "VH-DR90", Pixel(face.start + ppVector3(1300.0f, 0.0f, 300.0f)));
  DropFromPalette("Openings", "VH-WN120", Pixel(face.start + ppVector3(2500.0f, 0.0f, 300.0f)));
  ASSERT_EQ(All<zelvproDoor>(*room).size(), 2u) << "the door and the window were seated on the wall";
  for (zelvproDoor* opening : All<zelvproDoor>(*room)) EXPECT_EQ(opening->GetSupervisor(), face.segment);

  Send(zelvproViewBar::k3DCommand);
  const std::unique_ptr<plat::Surface> start = Scene();
  ASSERT_NE(start, nullptr);
  // A few clicks on the button that turns the view.
  for (int32_t click = 0; click < 4; ++click) ClickOn(*canvas->RotationSlider()->IncreaseButton());
  const std::unique_ptr<plat::Surface> turned = Scene();
  ASSERT_NE(turned, nullptr);
  // The same turned view without the openings, which Undo takes away in Room Design.
  Send(zelvproViewBar::kRoomDesignCommand);
  Send(kUndo);
  Send(kUndo);
  ASSERT_TRUE(All<zelvproDoor>(*room).empty());
  Send(zelvproViewBar::k3DCommand);
  const std::unique_ptr<plat::Surface> turnedBare = Scene();
  ASSERT_NE(turnedBare, nullptr);
  int32_t moved = 0;
  for (const Drawn& run : DrawnRuns(*start, *turned)) moved += run.pixels;
  EXPECT_GT(moved, 10000) << "the view did not turn";

  const struct {
    const char* what;
    const plat::Surface& without;
    const plat::Surface& with;
  } views[] = {{"the start view", *bare, *start}, {"the turned view", *turnedBare, *turned}};
  for (const auto& view : views) {
    SCOPED_TRACE(view.what);
    const std::vector<Drawn> runs = DrawnRuns(view.without, view.with);
    ASSERT_EQ(runs.size(), 2u) << "the door and the window are not two shapes side by side";
    const char* const openings[] = {"the door", "the window"};  // left to right
    for (size_t i = 0; i < runs.size(); ++i) {
      const Drawn& run = runs[i];
      SCOPED_TRACE(openings[i]);
      EXPECT_GT(run.pixels, 2000) << "hardly drawn";
      EXPECT_LE(run.holes, run.pixels / 200) << "the wall shows through";
      // Not the wall's grey: the door is the catalogue's wood; the window mostly its pane, a cool
      // pale glass inside the wood frame.
      if (i == 0)
        EXPECT_GT(run.red - run.blue, 40 * int64_t(run.pixels)) << "not the door's colour";
      else
        EXPECT_GT(run.blue - run.red, 5 * int64_t(run.pixels)) << "not the window's glass";
    }
  }
}

}  // namespace
