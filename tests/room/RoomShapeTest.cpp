// The room-shape classifier, the room dimensions and their editing, on floors of a real room canvas
// whose cycles are built by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>
#include <vector>

#include "RoomTestSupport.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/iMoveObjectTask.h"
#include "framework/ppTask.h"
#include "room/qxFloorElement.h"
#include "room/qxLineCycle.h"
#include "room/qxNewRoomCanvas.h"

namespace {

using Points = std::vector<std::pair<float, float>>;  // plan (x, z), millimetres

// A room canvas that records its commands instead of rebuilding the room.
class CommandCanvas : public qxNewRoomCanvas {
 public:
  using qxNewRoomCanvas::qxNewRoomCanvas;
  void DoCommand(int32_t command, intptr_t /*parameter*/) override { commands.push_back(command); }
  std::vector<int32_t> commands;
};

class ShapeFloor : public qxFloorElement {
 public:
  using qxFloorElement::qxFloorElement;
  void Bind(qxLineCycle* cycle) { BindCycleForShape(cycle); }
};

// Moves a wall by the offset it is given, with every segment end of the canvas joined to its ends;
// walls in `blocked` do not move, and with `startOnly` a wall's end stays where it is.
class WallMoveTask : public ppTask, public iMoveObjectTask {
 public:
  WallMoveTask(qxRoomSegment* segment, ppView* canvas, const std::set<qxRoomSegment*>& blocked,
               bool startOnly)
      : segment_(segment), canvas_(canvas), blocked_(blocked), startOnly_(startOnly) {}
  void ApplyMove(float dx, float dz, bool /*replay*/) override {
    if (blocked_.count(segment_) != 0) return;
    const ppVector3 start = segment_->Start(), end = segment_->End(), offset(dx, 0.0f, dz);
    ForEachChildElement(*canvas_, [&](zelvproElement* child) {
      if (auto* wall = dynamic_cast<qxRoomSegment*>(child)) {
        wall->MoveEndPoint(start, start + offset);
        if (!startOnly_) wall->MoveEndPoint(end, end + offset);
      }
    });
  }
  ppTask* Task() override { return this; }

 private:
  qxRoomSegment* segment_;
  ppView* canvas_;
  const std::set<qxRoomSegment*>& blocked_;
  bool startOnly_;
};

class WallMoveFactory : public iElementTaskFactory {
 public:
  iMoveObjectTask* NewMoveObjectTask(zelvproElement* segment, ppView* supervisor) override {
    return new WallMoveTask(dynamic_cast<qxRoomSegment*>(segment), supervisor, blocked, startOnly);
  }
  std::set<qxRoomSegment*> blocked;
  bool startOnly = false;
};

class RoomShapeTest : public roomtest::RoomTest {
 protected:
  void SetUp() override {
    RoomTest::SetUp();
    NewRoom();
  }
  void TearDown() override {
    room_.reset();  // the floors and segments go before the cycles and the catalogue
    cycles_.clear();
    RoomTest::TearDown();
  }

  // A floor on the room canvas over the closed outline through `points`, face i from point i to
  // point i + 1; with `walls`, each face lies on a segment of its own.
  ShapeFloor* MakeFloor(const Points& points, bool walls = false) {
    auto cycle = std::make_unique<qxLineCycle>(nullptr, int32_t(cycles_.size()));
    for (size_t i = 0; i < points.size(); ++i) {
      const auto [x0, z0] = points[i];
      const auto [x1, z1] = points[(i + 1) % points.size()];
      WallEdge edge;
      edge.start = ppVector3(x0, 0, z0), edge.end = ppVector3(x1, 0, z1);
      if (walls) edge.segment = MakeWall(edge.start, edge.end);
      cycle->AppendEdge(edge);
    }
    db_->TopViewFile().ReadRecord(topView_, nullptr);
    auto* floor = new ShapeFloor(topView_, room_.get(), plat::RECT{0, 0, 10, 10},
                                 db_->TopViewFile().GetRecordBuffer(), db_->ShapeFile());
    floor->Bind(cycle.get());
    cycles_.push_back(std::move(cycle));
    return floor;
  }

  qxRoomSegment* MakeWall(const ppVector3& start, const ppVector3& end) {
    return MakeSegment(start, end, room_.get());
  }

  void NewRoom() { room_ = std::make_unique<CommandCanvas>(nullptr, plat::RECT{0, 0, 800, 600}, db_); }

  std::unique_ptr<CommandCanvas> room_;
  std::vector<std::unique_ptr<qxLineCycle>> cycles_;
};

// Turning right in plan (x, z): the first corner turns from +x to +z.
const Points kRectangle = {{0, 0}, {4000, 0}, {4000, 3000}, {0, 3000}};

Points Reversed(Points points) {
  std::reverse(points.begin(), points.end());
  return points;
}

// Each point turned by a multiple of a quarter turn about the origin (the turn sense is kept).
Points Turned(const Points& points, int32_t quarters) {
  Points out;
  for (auto [x, z] : points) {
    for (int32_t q = 0; q < quarters; ++q) std::tie(x, z) = std::pair(-z, x);
    out.emplace_back(x, z);
  }
  return out;
}

// The rectangle with the corner `corner` cut by a 45-degree bevel 500 long on each wall.
Points Bevelled(int32_t corner) {
  Points out;
  for (int32_t i = 0; i < 4; ++i) {
    if (i != corner) {
      out.push_back(kRectangle[i]);
      continue;
    }
    const auto [x, z] = kRectangle[i];
    const auto [px, pz] = kRectangle[(i + 3) % 4];
    const auto [nx, nz] = kRectangle[(i + 1) % 4];
    const auto toward = [](float from, float to) {
      return from + (to > from ? 500.0f : to < from ? -500.0f : 0);
    };
    out.emplace_back(toward(x, px), toward(z, pz));
    out.emplace_back(toward(x, nx), toward(z, nz));
  }
  return out;
}

// A parallelogram whose first corner is 90 degrees + `skew`.
Points Skewed(float skew) {
  const float shift = 3000.0f * std::tan(skew * 3.14159265f / 180.0f);
  return {{0, 0}, {4000, 0}, {4000 + shift, 3000}, {shift, 3000}};
}

// An L room: the rectangle 4000 x 3000 without the quarter at its far corner; the inner corner sits
// at (2000, 1500).
const Points kLRoom = {{0, 0}, {4000, 0}, {4000, 3000}, {2000, 3000}, {2000, 1500}, {0, 1500}};
// A U room: a notch 2000 wide and 2500 deep cut into the side at z = 4000.
const Points kURoom = {{0, 0},       {6000, 0},    {6000, 4000}, {4000, 4000},
                       {4000, 1500}, {2000, 1500}, {2000, 4000}, {0, 4000}};

TEST_F(RoomShapeTest, ClassifiesOutlinesByTheirTurns) {
  struct Case {
    const char* name;
    Points points;
    bool secondFloor;
    int32_t shape, roomType, startCorner, rotation;  // -1: not checked
  };
  const Case cases[] = {
      {"rectangle turning right", kRectangle, false, 1, 1, 3, 0},
      {"rectangle turning left", Reversed(kRectangle), false, 0, 10, -1, 0},
      {"rectangle beside another floor", kRectangle, true, 0, 10, -1, 0},
      {"bevel at corner 0", Bevelled(0), false, 5, -1, -1, -1},
      {"bevel at corner 1", Bevelled(1), false, 5, -1, -1, -1},
      {"bevel at corner 2", Bevelled(2), false, 5, -1, -1, -1},
      {"bevel at corner 3", Bevelled(3), false, 5, -1, -1, -1},
      {"corners of 90.4 degrees", Skewed(0.4f), false, 1, 1, -1, 0},
      {"corners of 90.6 degrees", Skewed(0.6f), false, 0, 10, -1, 0},
      {"L room, start wall along -z", kLRoom, false, 2, 3, 3, 90},
      {"L room turned a quarter", Turned(kLRoom, 1), false, 2, 4, 3, 180},
      {"L room turned half round", Turned(kLRoom, 2), false, 2, 5, 3, 270},
      {"L room turned three quarters", Turned(kLRoom, 3), false, 2, 2, 3, 0},
      {"U room", kURoom, false, 3, 6, 3, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NewRoom();
    ShapeFloor* floor = MakeFloor(c.points);
    if (c.secondFloor) MakeFloor(Turned(kRectangle, 2));
    EXPECT_EQ(floor->ClassifyRoomShape(), c.shape);
    if (c.roomType >= 0) {
      EXPECT_EQ(floor->RoomType(), c.roomType);
    }
    if (c.startCorner >= 0) {
      EXPECT_EQ(floor->StartCorner(), c.startCorner);
    }
    if (c.rotation >= 0) {
      EXPECT_EQ(floor->GetShapeRotation(), c.rotation);
    }
  }
}

TEST(RoomTypeNumberTest, NumbersShapeAndRotation) {
  struct Case {
    int32_t shape, rotation, number;
  };
  const Case cases[] = {{0, 0, 10}, {1, 0, 1},  {2, 0, 2},   {2, 90, 3},  {3, 180, 8}, {5, 270, 14},
                        {4, 0, 0},  {4, 90, 0}, {4, 180, 0}, {4, 270, 0}, {2, 45, 0},  {6, 0, 0}};
  for (const Case& c : cases)
    EXPECT_EQ(RoomTypeNumber(c.shape, c.rotation), c.number) << c.shape << " " << c.rotation;
}

TEST_F(RoomShapeTest, UDimensionSubtractsTheNotchDepth) {
  ShapeFloor* floor = MakeFloor(kURoom);
  floor->ComputeMeasurements();
  // Wall 6 from the start corner is the far side (4000), wall 0 the notch's side (2500).
  EXPECT_FLOAT_EQ(floor->Measurement(floor->CanonicalWallIndex(4)), 1500.0f);
  EXPECT_EQ(floor->GetMeasurementCount(), 6);
}

// Dimension 0 of the rectangle is its 3000 depth along z: the wall at z = 3000 moves; when it cannot,
// the wall at z = 0 moves the other way. The figure itself is the rebuild's to recompute.
TEST_F(RoomShapeTest, SetMeasurementMovesAWallAndRebuildsTheRoom) {
  struct Case {
    const char* name;
    float value;
    std::set<int32_t> blocked;  // faces whose walls cannot move
    float minZ, maxZ, figure;
    bool rebuilt;
    bool startOnly = false;  // the move shifts only the wall's start
  };
  const Case cases[] = {
      {"10.0 is refused", 10.0f, {}, 0, 3000, 3000, false},
      {"moved wall", 3500.0f, {}, 0, 3500, 3000, true},
      {"second wall when the first cannot move", 3500.0f, {2}, -500, 3000, 3000, true},
      {"nothing when neither can move", 3500.0f, {0, 2}, 0, 3000, 3000, false},
      // The plan changed: the room is rebuilt and the move can be undone.
      {"one end moved is kept", 3500.0f, {}, 0, 3500, 3000, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NewRoom();
    WallMoveFactory factory;
    factory.startOnly = c.startOnly;
    iElementTaskFactory::Install(&factory);
    ShapeFloor* floor = MakeFloor(kRectangle, true);
    for (int32_t face : c.blocked) factory.blocked.insert(floor->Cycle()->EdgeAt(face)->segment);
    floor->ComputeMeasurements();
    ASSERT_FLOAT_EQ(floor->Measurement(0), 3000.0f);

    host_.modifiedMarks = 0;
    floor->SetMeasurement(0, c.value, false);
    EXPECT_EQ(host_.modifiedMarks, c.rebuilt ? 1 : 0) << "a kept move is a change to ask about";
    float minZ = 1e9f, maxZ = -1e9f;
    for (int32_t i = 0; i < 4; ++i) {
      const qxRoomSegment* wall = floor->Cycle()->EdgeAt(i)->segment;
      for (const ppVector3& p : {wall->Start(), wall->End()}) {
        minZ = std::min(minZ, p.z), maxZ = std::max(maxZ, p.z);
        EXPECT_TRUE(p.x == 0.0f || p.x == 4000.0f);
      }
    }
    EXPECT_FLOAT_EQ(minZ, c.minZ);
    EXPECT_FLOAT_EQ(maxZ, c.maxZ);
    EXPECT_FLOAT_EQ(floor->Measurement(0), c.figure);
    const std::vector<int32_t> rebuild = {4033, 4034};
    EXPECT_EQ(room_->commands, c.rebuilt ? rebuild : std::vector<int32_t>());
    EXPECT_EQ(room_->DoneTop() != nullptr, c.rebuilt);  // kept moves can be undone
    iElementTaskFactory::Install(nullptr);
  }
}

}  // namespace
