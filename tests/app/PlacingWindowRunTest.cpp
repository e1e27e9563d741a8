// Placing on the demo's start plan in the built program's window (Xvfb, driven through XTEST), read
// back from the window's pixels: a base unit dragged near the room's right wall in the plan ends with
// its back against the wall, turned to face the room; in Room Design a door pulled out of the palette
// onto the top wall stands in the wall's thickness, and Undo takes it away.
//
// Where units, walls and palette cells lie is learnt from the same start-up in this process, headless,
// on a screen of the display's size: plan points go to pixels the way the program draws them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "WindowRunFixture.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/palette/zelvproElementPalette.h"
#include "canvas/palette/zelvproElementPane.h"
#include "canvas/palette/zelvproElementScroller.h"
#include "canvas/tasks/PlanFrames.h"
#include "catalogue/browser/qxCatalog.h"
#include "catalogue/browser/qxNode.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/PlanPixels.h"
#include "framework/ppButton.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"
#include "room/qxWallElement.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

class PlacingWindowRunTest : public apptest::WindowRunFixture {
 protected:
  // A plan point's client pixel in the view shown now.
  plat::POINT Client(const ppVector3& plan) const {
    plat::POINT p{};
    PlanPointToScreen(plan, p);
    return InFrame(canvasView_->GetRootView()->GetHWND(), p);
  }
  // The client pixels from `p` to `q`, both included.
  static plat::RECT Between(plat::POINT p, plat::POINT q) {
    return {std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x) + 1, std::max(p.y, q.y) + 1};
  }

  ppView* canvasView_ = nullptr;  // the canvas whose plan the pixels show
};

TEST_F(PlacingWindowRunTest, AUnitDraggedNearAWallTurnsAgainstItAndADoorDroppedOnAWallStandsInIt) {
  BeginOnThePlan();
  zelvproWindow& window = *app_->DocumentWindow();
  ASSERT_EQ(CurrentView(), zelvproViewBar::kTopColourView) << "the plan opens in the plan view";
  canvasView_ = window.TopCanvas();
  auto* room = dynamic_cast<qxNewRoomCanvas*>(window.NewRoomCanvas());
  ASSERT_NE(room, nullptr);

  // The room's right and top inner faces; the 60 cm base unit standing in the top left corner.
  qxWallElement *right = nullptr, *top = nullptr;
  for (qxWallElement* w : Walls(*room)) {
    const WallEdge& e = w->Edge();
    if (e.start.x == e.end.x && e.end.z > e.start.z) right = w;
    if (e.start.z == e.end.z && e.end.x > e.start.x) top = w;
  }
  ASSERT_NE(right, nullptr);
  ASSERT_NE(top, nullptr);
  const float faceX = right->Edge().start.x;
  zelvproElement* unit = nullptr;
  ForEachChildElement(*canvasView_, [&](zelvproElement* e) {
    if (e->dimensions.x == 600.0f && e->dimensions.y == 720.0f) unit = e;
  });
  ASSERT_NE(unit, nullptr) << "the start plan's base unit";
  const ppVector3 size = unit->dimensions;
  const ppVector3 origin = PlanPoint(unit, ppVector3());
  // Dragged so that, unturned, its back's middle would stop 400 mm before the right face, 1200 mm
  // below the top one: the wall takes its back.
  const double scale = PlanScale();
  const ppVector3 back(faceX - 400.0f, 0.0f, origin.z + 1200.0f);
  const plat::POINT press = Client(origin + ppVector3(size.x * 0.75f, 0.0f, size.z * 0.5f));
  const plat::POINT release{press.x + int32_t(std::lround((back.x - size.x / 2 - origin.x) / scale)),
                            press.y + int32_t(std::lround((back.z - origin.z) / scale))};
  // Where it stands then: back on the face, front 560 mm into the room, 600 mm along the face.
  const float footZ = origin.z + float(release.y - press.y) * float(scale);
  const plat::POINT frontTop = Client(ppVector3(faceX - size.z, 0.0f, footZ - size.x / 2));
  const plat::POINT frontBottom = Client(ppVector3(faceX - size.z, 0.0f, footZ + size.x / 2));
  // Where its unturned outline's left edge would have been.
  const plat::POINT unturned = Client(ppVector3(back.x - size.x / 2, 0.0f, footZ + size.z / 2));
  // Its right side where it stood.
  const plat::POINT oldSide = Client(origin + ppVector3(size.x, 0.0f, size.z * 0.5f));

  // Room Design: the palette shows the doors; the drop point lies 300 mm into the room from the top
  // face's middle.
  const plat::POINT roomButton = Middle(Frame(*Find<ppButton>(
      window, [](ppButton& b) { return b.GetPictureId() == zelvproViewBar::kRoomDesignView; })));
  Send(zelvproViewBar::kRoomDesignCommand);
  canvasView_ = room;
  zelvproElementPalette* palette = window.Palette();
  ASSERT_NE(palette, nullptr);
  zelvproElementScroller& strip = *palette->Pane()->Strip();
  qxNode* group = palette->Browser()->CurrentNode();
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
  const plat::POINT drop = Client(middle + ppVector3(0.0f, 0.0f, 300.0f));
  // The door runs 900 mm along the face from the foot: the wall's band along its middle, and the strip
  // of floor just in front of it, which its swing leaves alone.
  const plat::POINT band0 = Client(ppVector3(middle.x + 200.0f, 0.0f, face.start.z - thickness + 20.0f));
  const plat::POINT band1 = Client(ppVector3(middle.x + 700.0f, 0.0f, face.start.z - 20.0f));
  const plat::POINT strip0 = Client(ppVector3(middle.x + 200.0f, 0.0f, face.start.z + 15.0f));
  const plat::POINT strip1 = Client(ppVector3(middle.x + 700.0f, 0.0f, face.start.z + 60.0f));
  // The room with its walls and 250 mm about them.
  ppVector3 low(1e9f, 0.0f, 1e9f), high(-1e9f, 0.0f, -1e9f);
  for (qxWallElement* w : Walls(*room))
    for (const ppVector3& p : {w->Edge().start, w->Edge().end}) {
      low = ppVector3(std::min(low.x, p.x), 0.0f, std::min(low.z, p.z));
      high = ppVector3(std::max(high.x, p.x), 0.0f, std::max(high.z, p.z));
    }
  const plat::POINT room0 = Client(low - ppVector3(thickness + 250.0f, 0.0f, thickness + 250.0f));
  const plat::POINT room1 = Client(high + ppVector3(thickness + 250.0f, 0.0f, thickness + 250.0f));
  Stop();

  // Each drag starts on a program that answers (idle): a press it reads only once the release waits
  // behind it counts as a click.
  const std::vector<std::string> steps = {GrabStep("plan.ppm"),
                                          "alive",
                                          "drag:" + Place(press) + "," + Place(release),
                                          GrabStep("turned.ppm"),
                                          "press:" + Place(roomButton) + ",150",
                                          "changed",
                                          GrabStep("room.ppm"),
                                          "alive",
                                          "drag:" + Place(fromCell) + "," + Place(drop),
                                          GrabStep("door.ppm"),
                                          "chord:Control_L+z",
                                          GrabStep("undone.ppm"),
                                          "close"};
  const windowrun::Outcome outcome = Run(steps, 50, Quoted(DemoPlan()));
  ASSERT_TRUE(outcome.Passed()) << outcome.log;

  const windowrun::Grab plan = Grabbed("plan.ppm");
  const windowrun::Grab turned = Grabbed("turned.ppm");
  ASSERT_GT(turned.width, 0);
  auto drawn = [&](const windowrun::Grab& g, plat::POINT p) {
    int32_t n = 0;
    for (int32_t dx = -1; dx <= 1; ++dx) n += At(g, {p.x + dx, p.y}) != kWhite;
    return n > 0;
  };
  EXPECT_TRUE(drawn(plan, oldSide)) << "the unit stood in the corner";
  // Turned against the right wall: its front edge runs across the face's direction 560 mm from it,
  // over the unit's 600 mm, and nothing is drawn where its unturned outline would have stood.
  int32_t front = 0, span = 0;
  for (int32_t y = frontTop.y + 3; y <= frontBottom.y - 3; ++y, ++span)
    front += drawn(turned, {frontTop.x, y});
  EXPECT_EQ(front, span) << "the turned unit's front is drawn 560 mm from the wall";
  EXPECT_FALSE(drawn(turned, unturned)) << "no unturned unit where the mouse left it";
  EXPECT_FALSE(drawn(turned, oldSide)) << "the unit left the corner";

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
