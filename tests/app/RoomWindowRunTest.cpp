// The room design of the built program in a window (Xvfb, no window manager), driven through XTEST as
// a user works on the demo's room: a wall dragged moves, a length typed in the Canvas panel is undone
// by Undo, a wall drawn in the Draw Walls mode appears and Undo takes it away, and a room shape chosen
// in "Room Shape" replaces the room. Every check reads the window's pixels as the display shows them.
//
// Where the walls, fields and buttons lie is learnt from the same start-up in this process, headless,
// on a screen of the display's size.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "StartedProgram.h"
#include "WindowRun.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/window/zelvproEditorCanvas.h"
#include "controls/ppEditTextField.h"
#include "controls/ppPopupSelector.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/PlanPixels.h"
#include "framework/ppButton.h"
#include "platform/ScreenMetrics.h"
#include "platform/WindowApi.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"
#include "room/zelvproRoomButtons.h"

namespace {

namespace fs = std::filesystem;
using windowrun::Grab;

constexpr int kWidth = 1280, kHeight = 1024;

// A place of the frame's client area, as the grabs show it (below the menu bar).
struct Place {
  int x = 0, y = 0;
};

class RoomWindowRunTest : public apptest::StartedProgramTest {
 protected:
  void SetUp() override {
    std::string why;
    if (!windowrun::Available(&why)) GTEST_SKIP() << why << ": the room design in a window is not tested";
    StartedProgramTest::SetUp();
    plat::SetVirtualScreenSize(kWidth, kHeight);
  }

  // A point of the document window (where the plan's pixels are counted) in the frame's client area.
  Place InClient(plat::POINT p) const {
    plat::ClientToScreen(app_->DocumentWindow()->GetHWND(), &p);
    plat::POINT origin{0, 0};
    plat::ClientToScreen(app_->Frame(), &origin);
    return {p.x - origin.x, p.y - origin.y};
  }
  Place PlanPlace(const ppVector3& p) const {
    plat::POINT pixel{};
    PlanPointToScreen(p, pixel);
    return InClient(pixel);
  }
  Place Centre(const plat::RECT& r) const { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
  // The driver's x,y: y counted up from the window's bottom edge, which is the client area's.
  std::string Step(const char* verb, Place p) const {
    return std::string(verb) + ":" + std::to_string(p.x) + "," + std::to_string(p.y - client_.bottom);
  }
  std::string Drag(Place from, Place to) const {
    return "drag:" + std::to_string(from.x) + "," + std::to_string(from.y - client_.bottom) + "," +
           std::to_string(to.x) + "," + std::to_string(to.y - client_.bottom);
  }
  std::string GrabStep(const std::string& name) const { return "grab:" + (demo_.Root() / name).string(); }

  // Whether the grab shows ink (anything darker than the plan's white) within two pixels of `p`.
  bool Inked(const Grab& g, Place p) const {
    const int menu = g.height - client_.bottom;
    for (int dy = -2; dy <= 2; ++dy)
      for (int dx = -2; dx <= 2; ++dx) {
        const int x = p.x + dx, y = p.y + menu + dy;
        if (x < 0 || y < 0 || x >= g.width || y >= g.height) continue;
        const uint32_t c = g.At(x, y);
        if (((c >> 16) & 0xFF) < 160 || ((c >> 8) & 0xFF) < 160 || (c & 0xFF) < 160) return true;
      }
    return false;
  }

  plat::RECT client_{};
};

qxRoomSegment* WallWhere(qxNewRoomCanvas& room, const std::function<float(const qxRoomSegment&)>& key) {
  qxRoomSegment* best = nullptr;
  ForEachChildElement(room, [&](zelvproElement* e) {
    auto* s = dynamic_cast<qxRoomSegment*>(e);
    if (s != nullptr && (best == nullptr || key(*s) > key(*best))) best = s;
  });
  return best;
}

TEST_F(RoomWindowRunTest, WallsAreDraggedTypedDrawnAndUndoneAndARoomShapeReplacesTheRoom) {
  // ---- Learnt headless: the demo's room in the room design, its walls, fields and buttons.
  StartOnThePlan();
  Send(zelvproViewBar::kRoomDesignCommand);
  plat::GetClientRect(app_->Frame(), &client_);
  auto* room = dynamic_cast<qxNewRoomCanvas*>(app_->DocumentWindow()->NewRoomCanvas());
  ASSERT_NE(room, nullptr);
  qxRoomSegment* right = WallWhere(*room, [](const qxRoomSegment& s) { return s.Start().x + s.End().x; });
  qxRoomSegment* bottom = WallWhere(*room, [](const qxRoomSegment& s) { return s.Start().z + s.End().z; });
  qxRoomSegment* top = WallWhere(*room, [](const qxRoomSegment& s) { return -(s.Start().z + s.End().z); });
  ASSERT_TRUE(right != nullptr && bottom != nullptr && top != nullptr);
  const float half = right->GetThickness() / 2.0f;
  const float midX = (top->Start().x + top->End().x) / 2.0f,
              midZ = (right->Start().z + right->End().z) / 2.0f;
  // The outer faces of the right and the bottom wall, halfway along them.
  const Place rightFace = PlanPlace(ppVector3(right->Start().x + half, 0, midZ));
  const Place bottomFace = PlanPlace(ppVector3(midX, 0, bottom->Start().z + half));
  const Place rightWall = PlanPlace(ppVector3(right->Start().x, 0, midZ));
  // Where a wall drawn down the room's middle shows its face.
  const Place drawnFrom = PlanPlace(ppVector3(midX + 300, 0, top->Start().z));
  const Place drawnTo = PlanPlace(ppVector3(midX + 300, 0, bottom->Start().z));
  const Place drawnFace = PlanPlace(ppVector3(midX + 300 + half, 0, midZ));
  ASSERT_GT(rightFace.x - drawnFace.x, 60) << "the room is drawn too small to tell its walls apart";

  // The room panel's first dimension field, the Draw Walls and Select buttons, Room Shape's button.
  std::vector<ppEditTextField*> fields;
  ppPopupSelector* shapes = nullptr;
  std::function<void(ppView&)> walk = [&](ppView& v) {
    if (!v.IsShown()) return;
    if (auto* f = dynamic_cast<ppEditTextField*>(&v)) fields.push_back(f);
    if (auto* s = dynamic_cast<ppPopupSelector*>(&v)) shapes = s;
    for (int32_t i = 0; i < v.Subviews().Count(); ++i) walk(*v.Subviews().At(i));
  };
  walk(*app_->DocumentWindow());
  auto dimension = std::find_if(fields.begin(), fields.end(), [](ppEditTextField* f) {
    return Vcon::Utf8FromUtf16(f->GetControlText()).find("3350") == 0;
  });
  ASSERT_NE(dimension, fields.end()) << "the room panel shows no dimension of 3350 mm";
  plat::RECT edit{};
  plat::GetWindowRect((*dimension)->EditControl(), &edit);
  plat::POINT origin{0, 0};
  plat::ClientToScreen(app_->Frame(), &origin);
  const Place dimensionField{(edit.left + edit.right) / 2 - origin.x,
                             (edit.top + edit.bottom) / 2 - origin.y};
  zelvproRoomButtons* buttons = zelvproEditorCanvas::Current()->RoomButtons();
  ASSERT_NE(buttons, nullptr);
  ASSERT_NE(shapes, nullptr);
  ASSERT_NE(shapes->DropButton(), nullptr);
  const Place drawWalls = Centre(windowrun::InFrame(*buttons->DrawWallsButton(), app_->Frame()));
  const Place select = Centre(windowrun::InFrame(*buttons->SelectButton(), app_->Frame()));
  const Place dropShapes = Centre(windowrun::InFrame(*shapes->DropButton(), app_->Frame()));
  const fs::path plan = DemoPlan();
  app_.reset();
  gApplication = nullptr;

  // ---- The program on a display.
  const std::vector<std::string> steps = {
      "tap:F2", "alive", GrabStep("before.ppm"),
      // A wall dragged 60 pixels out, then put back.
      Drag(rightWall, {rightWall.x + 60, rightWall.y}), GrabStep("moved.ppm"), "chord:Control_L+z",
      GrabStep("moved-undone.ppm"),
      // A length typed for the room's first dimension, then undone.
      // (The keys go where the display's focus is: the click gives it to the program's window first.)
      Step("click", dimensionField), "focused", "alive", "tap:4", "tap:0", "tap:0", "tap:0", "tap:Return",
      "alive", GrabStep("typed.ppm"), "chord:Control_L+z", GrabStep("typed-undone.ppm"),
      // A wall drawn from the top wall to the bottom one in the Draw Walls mode, then undone.
      Step("click", drawWalls), Drag(drawnFrom, drawnTo), GrabStep("drawn.ppm"), "chord:Control_L+z",
      GrabStep("drawn-undone.ppm"), Step("click", select),
      // The second room shape of the list, an L-shaped room.
      Step("click", dropShapes), "popup", "popclick:30,60", "nopopup", GrabStep("shaped.ppm"), "close"};
  const windowrun::Outcome outcome =
      windowrun::Run(demo_.Root(), "'" + plan.string() + "'", steps, 60, kWidth, kHeight);
  ASSERT_TRUE(outcome.Passed()) << outcome.log;

  auto grab = [&](const char* name) { return windowrun::ReadPpm(demo_.Root() / name); };
  const Grab before = grab("before.ppm");
  ASSERT_EQ(before.width, client_.right) << outcome.log;
  EXPECT_TRUE(Inked(before, rightFace) && Inked(before, bottomFace))
      << "the room's walls are not where learnt";
  EXPECT_FALSE(Inked(before, drawnFace));

  const Grab moved = grab("moved.ppm");
  EXPECT_FALSE(Inked(moved, rightFace)) << "the dragged wall did not move";
  bool movedOut = false;
  for (int dx = 10; dx <= 70 && !movedOut; dx += 2) movedOut = Inked(moved, {rightFace.x + dx, rightFace.y});
  EXPECT_TRUE(movedOut) << "the dragged wall is not beside its old place";
  EXPECT_TRUE(Inked(grab("moved-undone.ppm"), rightFace)) << "Undo did not bring the wall back";

  EXPECT_FALSE(Inked(grab("typed.ppm"), bottomFace)) << "the typed length moved no wall";
  EXPECT_TRUE(Inked(grab("typed-undone.ppm"), bottomFace)) << "Undo did not take the typed length back";

  EXPECT_TRUE(Inked(grab("drawn.ppm"), drawnFace)) << "the drawn wall does not show";
  EXPECT_FALSE(Inked(grab("drawn-undone.ppm"), drawnFace)) << "Undo did not take the drawn wall away";

  const Grab shaped = grab("shaped.ppm");
  EXPECT_FALSE(Inked(shaped, rightFace) && Inked(shaped, bottomFace))
      << "the room shape did not replace the room";
}

}  // namespace
