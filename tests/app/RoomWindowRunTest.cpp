// The room design of the built program in a window (Xvfb, no window manager), driven through XTEST as
// a user works on the demo's room: a wall dragged moves, a length typed in the Canvas panel is undone
// by Undo, a wall drawn in the Draw Walls mode appears and Undo takes it away, and a room shape chosen
// in "Room Shape" replaces the room in the room's own place. Every check reads the window's pixels as the
// display shows them.
//
// Where the walls, fields and buttons lie is learnt from the same start-up in this process, headless,
// on a screen of the display's size.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "WindowRunFixture.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/window/zelvproEditorCanvas.h"
#include "controls/ppEditTextField.h"
#include "controls/ppPopupSelector.h"
#include "elements/base/ElementChildren.h"
#include "framework/ppButton.h"
#include "platform/WindowApi.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"
#include "room/zelvproRoomButtons.h"

namespace {

namespace fs = std::filesystem;
using windowrun::Grab;

class RoomWindowRunTest : public apptest::WindowRunFixture {
 protected:
  std::string Step(const char* verb, plat::POINT p) const { return std::string(verb) + ":" + Place(p); }
  std::string Drag(plat::POINT from, plat::POINT to) const { return "drag:" + Place(from) + "," + Place(to); }

  // Whether the grab shows ink (anything darker than the plan's white) within two pixels of `p`.
  bool Inked(const Grab& g, plat::POINT p) const {
    const int menu = MenuBar(g);
    for (int dy = -2; dy <= 2; ++dy)
      for (int dx = -2; dx <= 2; ++dx) {
        const int x = p.x + dx, y = p.y + menu + dy;
        if (x < 0 || y < 0 || x >= g.width || y >= g.height) continue;
        const uint32_t c = g.At(x, y);
        if (((c >> 16) & 0xFF) < 160 || ((c >> 8) & 0xFF) < 160 || (c & 0xFF) < 160) return true;
      }
    return false;
  }
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
  BeginOnThePlan();
  Send(zelvproViewBar::kRoomDesignCommand);
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
  const plat::POINT rightFace = PlanPixel(ppVector3(right->Start().x + half, 0, midZ));
  const plat::POINT bottomFace = PlanPixel(ppVector3(midX, 0, bottom->Start().z + half));
  const plat::POINT rightWall = PlanPixel(ppVector3(right->Start().x, 0, midZ));
  // Where a wall drawn down the room's middle shows its face.
  const plat::POINT drawnFrom = PlanPixel(ppVector3(midX + 300, 0, top->Start().z));
  const plat::POINT drawnTo = PlanPixel(ppVector3(midX + 300, 0, bottom->Start().z));
  const plat::POINT drawnFace = PlanPixel(ppVector3(midX + 300 + half, 0, midZ));
  ASSERT_GT(rightFace.x - drawnFace.x, 60) << "the room is drawn too small to tell its walls apart";
  // The L-shaped room of the room shapes stands where the room stands (its top and left walls are
  // the room's): its inner corner's lower face lies 3000 mm right of the left wall's centre line and
  // 2000 mm below the top wall's, where the room has open floor; right of it the room's bottom wall
  // is gone.
  const float left = top->Start().x < top->End().x ? top->Start().x : top->End().x;
  const plat::POINT innerFace = PlanPixel(ppVector3(left + 3000, 0, top->Start().z + 2000 + half));
  const plat::POINT bottomGone = PlanPixel(ppVector3(left + 3000, 0, bottom->Start().z + half));

  // The room panel's first dimension field, the Draw Walls and Select buttons, Room Shape's button.
  const std::vector<ppEditTextField*> fields = All<ppEditTextField>(*app_->DocumentWindow());
  const std::vector<ppPopupSelector*> selectors = All<ppPopupSelector>(*app_->DocumentWindow());
  ppPopupSelector* shapes = selectors.empty() ? nullptr : selectors.back();
  auto dimension = std::find_if(fields.begin(), fields.end(), [](ppEditTextField* f) {
    return Vcon::Utf8FromUtf16(f->GetControlText()).find("3350") == 0;
  });
  ASSERT_NE(dimension, fields.end()) << "the room panel shows no dimension of 3350 mm";
  const plat::POINT dimensionField = Middle(WindowInFrame((*dimension)->EditControl()));
  zelvproRoomButtons* buttons = zelvproEditorCanvas::Current()->RoomButtons();
  ASSERT_NE(buttons, nullptr);
  ASSERT_NE(shapes, nullptr);
  ASSERT_NE(shapes->DropButton(), nullptr);
  const plat::POINT drawWalls = Middle(Frame(*buttons->DrawWallsButton()));
  const plat::POINT select = Middle(Frame(*buttons->SelectButton()));
  const plat::POINT dropShapes = Middle(Frame(*shapes->DropButton()));
  const fs::path plan = DemoPlan();
  const std::vector<std::string> closing = CloseWithoutSaving();
  Stop();

  // ---- The program on a display.
  std::vector<std::string> steps = {
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
      Step("click", dropShapes), "popup", "popclick:30,60", "nopopup", GrabStep("shaped.ppm")};
  steps.insert(steps.end(), closing.begin(), closing.end());
  const windowrun::Outcome outcome = Run(steps, 60, Quoted(plan));
  ASSERT_TRUE(outcome.Passed()) << outcome.log;

  const Grab before = Grabbed("before.ppm");
  ASSERT_EQ(before.width, client_.right) << outcome.log;
  EXPECT_TRUE(Inked(before, rightFace) && Inked(before, bottomFace))
      << "the room's walls are not where learnt";
  EXPECT_FALSE(Inked(before, drawnFace));

  const Grab moved = Grabbed("moved.ppm");
  EXPECT_FALSE(Inked(moved, rightFace)) << "the dragged wall did not move";
  bool movedOut = false;
  for (int dx = 10; dx <= 70 && !movedOut; dx += 2) movedOut = Inked(moved, {rightFace.x + dx, rightFace.y});
  EXPECT_TRUE(movedOut) << "the dragged wall is not beside its old place";
  EXPECT_TRUE(Inked(Grabbed("moved-undone.ppm"), rightFace)) << "Undo did not bring the wall back";

  EXPECT_FALSE(Inked(Grabbed("typed.ppm"), bottomFace)) << "the typed length moved no wall";
  EXPECT_TRUE(Inked(Grabbed("typed-undone.ppm"), bottomFace)) << "Undo did not take the typed length back";

  EXPECT_TRUE(Inked(Grabbed("drawn.ppm"), drawnFace)) << "the drawn wall does not show";
  EXPECT_FALSE(Inked(Grabbed("drawn-undone.ppm"), drawnFace)) << "Undo did not take the drawn wall away";

  EXPECT_FALSE(Inked(before, innerFace));
  const Grab shaped = Grabbed("shaped.ppm");
  EXPECT_TRUE(Inked(shaped, innerFace)) << "the L-shaped room does not stand where the room stood";
  EXPECT_FALSE(Inked(shaped, bottomGone)) << "the room shape did not replace the room";
}

TEST_F(RoomWindowRunTest, FreeWallsDrawnThenAnotherRoomShapeAndUndoAndRedoKeepTheProgramUp) {
  // ---- Learnt headless: the room design's buttons and Room Shape's button.
  BeginOnThePlan();
  Send(zelvproViewBar::kRoomDesignCommand);
  const std::vector<ppPopupSelector*> selectors = All<ppPopupSelector>(*app_->DocumentWindow());
  ppPopupSelector* shapes = selectors.empty() ? nullptr : selectors.back();
  zelvproRoomButtons* buttons = zelvproEditorCanvas::Current()->RoomButtons();
  ASSERT_NE(buttons, nullptr);
  ASSERT_NE(shapes, nullptr);
  ASSERT_NE(shapes->DropButton(), nullptr);
  const plat::POINT drawWalls = Middle(Frame(*buttons->DrawWallsButton()));
  const plat::POINT select = Middle(Frame(*buttons->SelectButton()));
  const plat::POINT dropShapes = Middle(Frame(*shapes->DropButton()));
  // The room shapes stand where the room stands, their walls' centre lines from 1925 mm on. The L's
  // top wall runs at z 1925 to x 5925, its left leg's bottom wall at z 5925 to x 3925, its right
  // wall at x 5925 down to z 3925; the rectangle's walls run at x 6425 and z 5425.
  const float half = 75.0f;
  // Two free walls across the L, each from one of its walls to the one facing it: down the left leg
  // and along the top arm; they cross.
  const plat::POINT downFrom = PlanPixel(ppVector3(2900, 0, 1925)),
                    downTo = PlanPixel(ppVector3(2900, 0, 5925));
  const plat::POINT alongFrom = PlanPixel(ppVector3(1925, 0, 2900)),
                    alongTo = PlanPixel(ppVector3(5925, 0, 2900));
  // Their faces, where the rectangle has open floor.
  const plat::POINT downFace = PlanPixel(ppVector3(2900 + half, 0, 4700));
  const plat::POINT alongFace = PlanPixel(ppVector3(4800, 0, 2900 + half));
  // The rectangle's right wall, where the L has none.
  const plat::POINT rectangleRight = PlanPixel(ppVector3(6425 + half, 0, 3000));
  ASSERT_GT(rectangleRight.x - downFace.x, 60) << "the room is drawn too small to tell its walls apart";
  const fs::path plan = DemoPlan();
  const std::vector<std::string> closing = CloseWithoutSaving();
  Stop();

  // ---- The program on a display: the steps of the crash the room rebuild had.
  // The room shapes' list: one row of 40 pixels per shape, the rectangle first, the L second.
  std::vector<std::string> steps = {
      "tap:F2", "alive",
      // Room Shape: the L.
      Step("click", dropShapes), "popup", "popclick:30,60", "nopopup", GrabStep("L.ppm"),
      // Draw Walls, two free walls from one wall to the other, Select.
      Step("click", drawWalls), Drag(downFrom, downTo), "alive", Drag(alongFrom, alongTo), "alive",
      GrabStep("drawn.ppm"), Step("click", select),
      // Room Shape: the rectangle; the L and its walls go.
      Step("click", dropShapes), "popup", "popclick:30,20", "nopopup", "alive", GrabStep("rectangle.ppm"),
      // Undo and Redo afterwards.
      "chord:Control_L+z", "alive", GrabStep("undone.ppm"), "chord:Control_L+z", "alive",
      "chord:Control_L+Shift_L+z", "alive", "chord:Control_L+Shift_L+z", "alive", GrabStep("redone.ppm")};
  steps.insert(steps.end(), closing.begin(), closing.end());
  const windowrun::Outcome outcome = Run(steps, 90, Quoted(plan));
  ASSERT_TRUE(outcome.Passed()) << outcome.log;
  EXPECT_EQ(outcome.log.find("AddressSanitizer"), std::string::npos) << outcome.log;
  EXPECT_EQ(outcome.log.find("runtime error"), std::string::npos) << outcome.log;

  const Grab shapedL = Grabbed("L.ppm");
  ASSERT_EQ(shapedL.width, client_.right) << outcome.log;
  EXPECT_FALSE(Inked(shapedL, downFace) || Inked(shapedL, alongFace));
  EXPECT_FALSE(Inked(shapedL, rectangleRight)) << "the L did not replace the room";
  const Grab drawn = Grabbed("drawn.ppm");
  EXPECT_TRUE(Inked(drawn, downFace) && Inked(drawn, alongFace)) << "the free walls do not show";
  // The rectangle as its template gives it, and Undo and Redo bring none of the destroyed walls back.
  for (const char* name : {"rectangle.ppm", "undone.ppm", "redone.ppm"}) {
    SCOPED_TRACE(name);
    const Grab g = Grabbed(name);
    EXPECT_TRUE(Inked(g, rectangleRight)) << "the rectangle does not stand";
    EXPECT_FALSE(Inked(g, downFace)) << "a destroyed wall shows";
    EXPECT_FALSE(Inked(g, alongFace)) << "a destroyed wall shows";
  }
}

}  // namespace
