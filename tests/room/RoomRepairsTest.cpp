// The room canvas's repairs after an outline edit: the resnap of moved and removed walls, the shift
// that keeps the room 500 mm from the plan's origin (run through its posted sweepers), and the push
// of moved elements back inside the inner wall faces, and the faces as a ray from the 3D view meets
// them.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "elements/base/qxViewHolder.h"
#include "elements/units/zelvproDoor.h"
#include "framework/ppSweeper.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"
#include "room/RoomInnerFaces.h"
#include "room/RoomTestSupport.h"
#include "room/qxLineCycle.h"
#include "room/qxNewRoomCanvas.h"

namespace {

using V = ppVector3;
using Commands = std::vector<std::pair<int32_t, intptr_t>>;

// A room canvas that records its commands (the rebuild is tested elsewhere) and takes a test outline.
class RepairsCanvas : public qxNewRoomCanvas {
 public:
  explicit RepairsCanvas(zelvDatabase* db) : qxNewRoomCanvas(nullptr, plat::RECT{0, 0, 800, 600}, db) {}
  void DoCommand(int32_t command, intptr_t parameter) override { commands.emplace_back(command, parameter); }
  void SetOutline(qxJunction* chain, qxLineCycle* list) { junctions = chain, cycles = list; }
  Commands commands;
};

// Counts the door nudges: each asks for a door task, which this factory never makes.
class NudgeCounter : public iElementTaskFactory {
 public:
  ppMouseTask* NewDoorTask(qxViewHolder* /*selection*/, zelvproElement* /*element*/) override {
    ++nudges;
    return nullptr;
  }
  int32_t nudges = 0;
};

// A plan element with a fixed box about its position.
class Box : public zelvproElement {
 public:
  Box(ppView* parent, const V& position, const V& half)
      : zelvproElement(0, parent, plat::RECT{0, 0, 10, 10}, nullptr, 0, 0) {
    SetPosition(position);
    box.half = half;
  }
  ppBounds3 GetBounds(intptr_t /*a*/, int32_t /*flags*/) override { return box; }
  ppBounds3 box;
};

void ExpectNear(const V& got, const V& want, const char* what) {
  EXPECT_NEAR(got.x, want.x, 1e-3) << what;
  EXPECT_NEAR(got.y, want.y, 1e-3) << what;
  EXPECT_NEAR(got.z, want.z, 1e-3) << what;
}

class RoomRepairsTest : public roomtest::RoomTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    RoomTest::SetUp();
    host_.documentWindow = eltest::OpenSweeperWindow("RepairsDocumentWindow");
    host_.topCanvas = &top_;
    iElementTaskFactory::Install(&factory_);
    NewRoom();
  }
  // An empty room canvas, once the sweepers of the last one have run.
  void NewRoom() {
    plat::HeadlessDriver::RunUntilIdle();
    room_.reset();
    room_ = std::make_unique<RepairsCanvas>(db_);
    factory_.nudges = 0;
    top_.commands.clear();
  }
  void TearDown() override {
    plat::HeadlessDriver::RunUntilIdle();
    room_.reset();
    host_.topCanvas = nullptr;
    host_.documentWindow = nullptr;
    RoomTest::TearDown();
  }

  template <typename Element = qxRoomSegment>
  Element* Make(ppView* parent) {
    db_->TopViewFile().ReadRecord(topView_, nullptr);
    return new Element(topView_, parent, plat::RECT{0, 0, 10, 10}, db_->TopViewFile().GetRecordBuffer(),
                       db_->ShapeFile());
  }
  qxRoomSegment* Wall(const V& start, const V& end) {
    qxRoomSegment* wall = Make(room_.get());
    wall->SetEnds(start, end);
    return wall;
  }
  int32_t CornerCount() const {
    int32_t n = 0;
    for (qxJunction* j = room_->Junctions(); j != nullptr; j = j->GetNext()) ++n;
    return n;
  }

  eltest::RecordingCanvas top_{plat::RECT{0, 0, 800, 600}};
  NudgeCounter factory_;
  std::unique_ptr<RepairsCanvas> room_;
};

TEST_F(RoomRepairsTest, MarginShiftsOnlyTheAxesBelowFiveHundred) {
  const struct {
    V low;
    V shift;
  } cases[] = {
      {V(500, 0, 500), V(0, 0, 0)}, {V(200, 0, 800), V(300, 0, 0)}, {V(200, 0, -100), V(300, 0, 600)}};
  for (const auto& c : cases) {
    NewRoom();
    qxRoomSegment* wall = Wall(c.low + V(0, 0, 2000), c.low + V(3000, 0, 2500));
    Wall(c.low + V(1000, 0, 0), c.low + V(3000, 0, 2500));
    auto* door = Make<zelvproDoor>(wall);
    door->SetPosition(V(700, 0, 100));
    auto* floor = new Box(room_.get(), V(1000, 0, 1000), V(1, 1, 1));
    auto* unit = new Box(&top_, V(2000, 0, 2000), V(1, 1, 1));
    const bool shifts = c.shift.x != 0 || c.shift.z != 0;
    const int32_t pending = ppSweeper::PendingCount();

    room_->KeepRoomInsideMargin();
    EXPECT_EQ(ppSweeper::PendingCount() - pending, shifts ? 2 : 0);
    ExpectNear(wall->Start(), c.low + V(0, 0, 2000) + c.shift, "wall");
    ExpectNear(door->GetPosition(), V(700, 0, 100) + c.shift, "opening");
    plat::HeadlessDriver::RunUntilIdle();
    ExpectNear(floor->GetPosition(), V(1000, 0, 1000) + c.shift, "room canvas child");
    ExpectNear(unit->GetPosition(), V(2000, 0, 2000) + c.shift, "top-view plan");
    // Two relocators each post a door pass of four nudges per opening.
    EXPECT_EQ(factory_.nudges, shifts ? 8 : 0);
    const auto room = reinterpret_cast<intptr_t>(room_.get());
    EXPECT_EQ(room_->commands,
              shifts ? Commands({{4033, 0}, {4034, 0}, {4033, room}, {4034, 0}}) : Commands());
    EXPECT_EQ(top_.commands, shifts ? std::vector<int32_t>({4033, 4034}) : std::vector<int32_t>());
    delete unit;
  }
}

TEST_F(RoomRepairsTest, ResnapRunsOnceAfterReleaseAndAttachesListedWalls) {
  qxRoomSegment* wall = Wall(V(0, 0, 0), V(1000, 0, 0));
  ElementList list{wall};
  room_->ResnapList(list);
  EXPECT_EQ(room_->Junctions(), nullptr);
  EXPECT_TRUE(room_->commands.empty());

  room_->ReleaseOutsideSnaps(list);
  room_->ResnapList(list);
  ASSERT_EQ(JunctionsOf(*wall).size(), 2u);
  ExpectNear(JunctionsOf(*wall)[0]->Position(), V(0, 0, 0), "start corner");
  ExpectNear(JunctionsOf(*wall)[1]->Position(), V(1000, 0, 0), "end corner");
  EXPECT_EQ(room_->commands, Commands({{4033, reinterpret_cast<intptr_t>(wall)}, {4034, 0}}));

  room_->commands.clear();
  room_->ResnapList(list);  // the release holds for one resnap only
  EXPECT_TRUE(room_->commands.empty());
}

// A corner left with one wall stays only within 0.5 of one of its ends, in every coordinate; a
// deleted corner rebuilds the room, since the side faces name it.
TEST_F(RoomRepairsTest, LoneCornerAwayFromItsWallGoes) {
  const struct {
    V at;
    bool stays;
  } cases[] = {
      {V(1000.4f, 0, 0), true}, {V(1000.5f, 0, 0), false}, {V(0, 0, -0.5f), false}, {V(500, 0, 0), false}};
  for (const auto& c : cases) {
    NewRoom();
    qxRoomSegment* wall = Wall(V(0, 0, 0), V(1000, 0, 0));
    auto corner = MakeJunction(c.at, {wall});
    room_->SetOutline(corner.release(), nullptr);
    ElementList none;
    room_->ReleaseOutsideSnaps(none);
    room_->ResnapList(none);
    EXPECT_EQ(CornerCount(), c.stays ? 1 : 0) << c.at.x;
    EXPECT_EQ(JunctionsOf(*wall).size(), c.stays ? 1u : 0u) << c.at.x;
    EXPECT_EQ(room_->commands, c.stays ? Commands() : Commands({{4033, 0}, {4034, 0}})) << c.at.x;
  }
}

TEST_F(RoomRepairsTest, RemovedWallLosesItsLinksAndEmptyCornersGo) {
  qxRoomSegment* kept = Wall(V(0, 0, 0), V(1000, 0, 0));
  std::unique_ptr<qxRoomSegment> removed(Wall(V(1000, 0, 0), V(1000, 0, 1000)));
  auto far = MakeJunction(V(1000, 0, 1000), {removed.get()});
  auto shared = MakeJunction(V(1000, 0, 0), {kept, removed.get()});
  auto start = MakeJunction(V(0, 0, 0), {kept});
  far->SetNext(shared.release());
  start->SetNext(far.release());
  room_->SetOutline(start.release(), nullptr);
  room_->RemoveSubview(removed.get());

  ElementList none;
  room_->ReleaseOutsideSnaps(none);
  room_->ResnapList(none);
  EXPECT_EQ(CornerCount(), 2);
  EXPECT_TRUE(JunctionsOf(*removed).empty());
  ASSERT_EQ(JunctionsOf(*kept).size(), 2u);
  for (qxJunction* j : JunctionsOf(*kept)) EXPECT_EQ(j->GetLinkCount(), 1);
  EXPECT_EQ(room_->commands, Commands({{4033, 0}, {4034, 0}}));
}

// The inner faces of a 4000 x 4000 room, turning as the cycles of a room do.
qxLineCycle* SquareRoom(uint32_t flags, uint32_t depth, bool archedRightWall) {
  auto* cycle = new qxLineCycle(nullptr, 1);
  const V corners[] = {V(0, 0, 0), V(4000, 0, 0), V(4000, 0, 4000), V(0, 0, 4000)};
  for (int i = 0; i < 4; ++i) {
    WallEdge edge{};
    edge.start = corners[i];
    edge.end = corners[(i + 1) % 4];
    if (i == 1 && archedRightWall) edge.arched = true, edge.radius = 8000, edge.centre = V(-3000, 0, 2000);
    cycle->AppendEdge(edge);
  }
  cycle->flags = flags;
  cycle->depth = depth;
  return cycle;
}

TEST_F(RoomRepairsTest, MovedElementsComeBackInsideTheInnerFaces) {
  const uint32_t closed = qxLineCycle::kClosed, inside = qxLineCycle::kInside;
  const struct {
    const char* what;
    V centre;  // of a 600 x 600 cabinet
    uint32_t flags, depth;
    bool arched;
    V shift;
  } cases[] = {
      {"30 through the wall along z", V(3730, 0, 1300), closed, inside, false, V(-30.1f, 0, 0)},
      {"the same wall arched", V(3730, 0, 1300), closed, inside, true, V(-30.1f, 0, 0)},
      {"into a corner: one wall per pass", V(3730, 0, 3720), closed, inside, false, V(-30.1f, 0, -20.1f)},
      {"touching no face", V(1300, 0, 1300), closed, inside, false, V()},
      {"outer faces", V(3730, 0, 1300), closed, 0, false, V()},
      {"open chain", V(3730, 0, 1300), 0, inside, false, V()},
  };
  for (const auto& c : cases) {
    NewRoom();
    room_->SetOutline(nullptr, SquareRoom(c.flags, c.depth, c.arched));
    Box cabinet(&top_, c.centre, V(300, 360, 300));
    Box handle(&top_, c.centre, V(10, 10, 10));  // inside the cabinet's box: moves with it
    qxViewHolder selection(&cabinet, new qxViewHolder(&handle, nullptr, true), true);
    room_->SnapElementsToWalls(&selection);
    ExpectNear(cabinet.GetPosition(), c.centre + c.shift, c.what);
    ExpectNear(handle.GetPosition(), c.centre + c.shift, c.what);
    top_.RemoveSubview(&cabinet);
    top_.RemoveSubview(&handle);
  }
}

// An L: 4000 wide along the back, the right arm 2000 deep, the left arm 4000 deep; the notch at the
// front right lies outside.
qxLineCycle* LRoom() {
  auto* cycle = new qxLineCycle(nullptr, 1);
  const V corners[] = {V(0, 0, 0),       V(4000, 0, 0),    V(4000, 0, 2000),
                       V(2000, 0, 2000), V(2000, 0, 4000), V(0, 0, 4000)};
  for (int i = 0; i < 6; ++i) {
    WallEdge edge{};
    edge.start = corners[i];
    edge.end = corners[(i + 1) % 6];
    cycle->AppendEdge(edge);
  }
  cycle->flags = qxLineCycle::kClosed;
  cycle->depth = qxLineCycle::kInside;
  return cycle;
}

// A ray from the left arm, level, towards the right and the back, leaves through the left arm's
// right face into the notch, comes back in through the notch's back face and leaves again through
// the right arm's right face: the first of the two exits stops it. From in front of the notch the
// ray comes in through the notch's back face first.
TEST_F(RoomRepairsTest, ARayLeavesAnLShapedRoomThroughTheFirstFaceItCrossesOutwards) {
  room_->SetOutline(nullptr, LRoom());
  const RoomInnerFaces faces(room_.get());
  ASSERT_FALSE(faces.Empty());
  const float s = std::sqrt(0.5f);
  RoomInnerFaces::Exit exit;
  ASSERT_TRUE(faces.FirstExit(V(1500, 100, 3500), V(s, 0, -s), exit));
  ExpectNear(exit.point, V(2000, 100, 3000), "the first exit");
  ExpectNear(exit.outward, V(1, 0, 0), "its face's outward normal");
  EXPECT_NEAR(exit.t, 500.0f / s, 0.01f);
  // From the notch the same line leaves through the right arm's face only.
  ASSERT_TRUE(faces.FirstExit(V(2500, 100, 2500), V(s, 0, -s), exit));
  ExpectNear(exit.point, V(4000, 100, 1000), "the exit beyond the notch");
  RoomInnerFaces::Exit entry;
  ASSERT_TRUE(faces.FirstEntry(V(2500, 100, 2500), V(s, 0, -s), entry));
  ExpectNear(entry.point, V(3000, 100, 2000), "the way in from the notch");
  ExpectNear(entry.outward, V(0, 0, 1), "the notch's back face looks out of the room");
  EXPECT_FALSE(faces.FirstEntry(V(1500, 100, 3500), V(-s, 0, s), entry)) << "leaving, it comes in nowhere";
  EXPECT_TRUE(faces.Contains(V(1000, 0, 3000)));
  EXPECT_FALSE(faces.Contains(V(3000, 0, 3000))) << "the notch is outside";
}

}  // namespace
