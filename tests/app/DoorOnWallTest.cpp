// A door pulled out of the element palette in Room Design and dropped by the room's wall, as a user
// does it on the demo's start plan: it stands in the wall's thickness turned with the wall, the plan
// shows it there with its leaf's swing once the queue is idle, and Undo takes both away again.
#include <gtest/gtest.h>

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
  // Every corner of its built body lies on the face or behind it, within the wall's thickness, and
  // along the face between its ends.
  const ppBounds3 body = door->GetBounds(0, 0);
  ASSERT_GT(body.half.x, 0.0f) << "the door has a body";
  const ppVector3 size(body.half.x * 2.0f, 0.0f, body.half.z * 2.0f);
  EXPECT_NEAR(size.z, 40.0f, 0.5f) << "the catalogue's 40 mm leaf";
  for (float x : {-1.0f, 1.0f})
    for (float z : {-1.0f, 1.0f}) {
      const ppVector3 local(body.centre.x + x * body.half.x, 0.0f, body.centre.z + z * body.half.z);
      const ppVector3 off = PlanPoint(door, local) - edge.start;
      const float depth = -(off.x * inward.x + off.z * inward.z);
      const float run = off.x * along.x + off.z * along.z;
      SCOPED_TRACE(testing::Message() << "corner " << local.x << "," << local.z);
      EXPECT_GE(depth, -0.5f) << "reaches into the room";
      EXPECT_LE(depth, thickness + 0.5f) << "stands out behind the wall";
      EXPECT_GE(run, -0.5f);
      EXPECT_LE(run, longest + 0.5f);
    }
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
  EXPECT_EQ(changed(*before, *dropped, doorStart + inward * 10.0f, doorEnd + inward * 100.0f), 0)
      << "nothing of the door stands in the room";
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

}  // namespace
