// The floor's slab outline, the nearest-wall search of door placement, the lowest wall height and the
// dimension letters drawn on a selected floor.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "framework/ShapeRecorderLog.h"
#include "framework/ppDC.h"
#include "platform/HeadlessDriver.h"
#include "room/RoomTestSupport.h"
#include "room/qxFloorElement.h"
#include "room/qxLineCycle.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxWallElement.h"
#include "scene3d/objects/qx3DObject.h"

namespace {

constexpr float kPi = 3.14159265f;

// A floor bound to a cycle alone: no wall bodies, no outline path.
class BareFloor : public qxFloorElement {
 public:
  using qxFloorElement::BindCycleForShape;
  using qxFloorElement::qxFloorElement;
};

class FloorDrawingTest : public roomtest::RoomTest {
 protected:
  void SetUp() override {
    RoomTest::SetUp();
    room_ = std::make_unique<qxNewRoomCanvas>(nullptr, plat::RECT{0, 0, 800, 600}, db_);
  }
  void TearDown() override {
    if (floor_ != nullptr) floor_->BindCycleForShape(nullptr);
    room_.reset();
    cycle_.reset();
    RoomTest::TearDown();
  }

  // A face from `start` to `end` on a wall segment of its own.
  WallEdge Face(const ppVector3& start, const ppVector3& end) {
    WallEdge e;
    e.start = start;
    e.end = end;
    e.segment = MakeSegment(start, end);
    return e;
  }

  // A wall body on `face`, a child of the room canvas.
  qxWallElement* MakeWall(const WallEdge& face) {
    db_->TopViewFile().ReadRecord(topView_, nullptr);
    return new qxWallElement(topView_, room_.get(), plat::RECT{0, 0, 10, 10},
                             db_->TopViewFile().GetRecordBuffer(), db_->ShapeFile(), face);
  }

  // The floor on the room canvas over a closed cycle through `corners`, turning right at each.
  qxFloorElement* MakeFloor(const std::vector<ppVector3>& corners) {
    std::vector<WallEdge> faces;
    for (size_t i = 0; i < corners.size(); ++i)
      faces.push_back(Face(corners[i], corners[(i + 1) % corners.size()]));
    return MakeFloorOn(faces);
  }
  qxFloorElement* MakeFloorOn(const std::vector<WallEdge>& faces) {
    cycle_ = std::make_unique<qxLineCycle>(nullptr, 1);
    cycle_->flags = qxLineCycle::kClosed;
    cycle_->depth = qxLineCycle::kInside;
    for (const WallEdge& e : faces) cycle_->AppendEdge(e);
    db_->TopViewFile().ReadRecord(topView_, nullptr);
    floor_ = new BareFloor(topView_, room_.get(), plat::RECT{0, 0, 800, 600},
                           db_->TopViewFile().GetRecordBuffer(), db_->ShapeFile());
    floor_->BindCycleForShape(cycle_.get());
    return floor_;
  }

  // The rectangle (0, 0) - (w, d) in the order that turns right at every corner.
  static std::vector<ppVector3> Rectangle(float w, float d) {
    return {ppVector3(0, 0, 0), ppVector3(w, 0, 0), ppVector3(w, 0, d), ppVector3(0, 0, d)};
  }

  std::unique_ptr<qxNewRoomCanvas> room_;
  std::unique_ptr<qxLineCycle> cycle_;
  BareFloor* floor_ = nullptr;  // the room canvas owns it
};

TEST_F(FloorDrawingTest, SlabTakesOnePointPerStraightFaceAndTenPerArc) {
  std::unique_ptr<qx3DObject> rect(MakeFloor(Rectangle(4000, 3000))->BuildFloorObject(nullptr, nullptr));
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->outline.size(), 4u);
  EXPECT_EQ(rect->colorCode, 256);  // untextured: the layer takes the floor colour

  // A half circle of radius 1000 over (0, 0) - (2000, 0), closed by the straight face back.
  floor_->BindCycleForShape(nullptr);
  WallEdge arc = Face(ppVector3(0, 0, 0), ppVector3(2000, 0, 0));
  arc.arched = true;
  arc.radius = 1000.0f;
  arc.centre = ppVector3(1000, 0, 0);
  std::unique_ptr<qx3DObject> half(MakeFloorOn({arc, Face(ppVector3(2000, 0, 0), ppVector3(0, 0, 0))})
                                       ->BuildFloorObject(nullptr, nullptr));
  ASSERT_NE(half, nullptr);
  ASSERT_EQ(half->outline.size(), 11u);
  for (size_t i = 0; i < 10; ++i)
    EXPECT_NEAR(std::hypot(half->outline[i].x - 1000.0f, half->outline[i].y), 1000.0f, 0.1f) << i;
  // Half way round the arc stands at its top, not back at a chord end.
  EXPECT_NEAR(half->outline[5].x, 1000.0f, 0.1f);
  EXPECT_NEAR(std::fabs(half->outline[5].y), 1000.0f, 0.1f);
}

TEST_F(FloorDrawingTest, NearestWallEdgeFindsTheFootAndLeavesRoomForTheWidth) {
  MakeFloor(Rectangle(2400, 2400));
  struct Case {
    ppVector3 point;
    bool found;
    ppVector3 foot;
    float angle;
  };
  const Case cases[] = {
      // 1200 from every wall is out of reach.
      {ppVector3(1200, 0, 1200), false, {}, 0.0f},
      // The foot (2100, 0) lies 300 before the end of the wall along +x: pulled 600 back.
      {ppVector3(2100, 0, 100), true, ppVector3(1500, 0, 0), 0.0f},
      // The same on the wall running toward -z: foot (0, 300), 300 before its end.
      {ppVector3(100, 0, 300), true, ppVector3(0, 0, 900), -kPi / 2},
      // Far enough from the end: the foot stays.
      {ppVector3(1200, 0, 100), true, ppVector3(1200, 0, 0), 0.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.point.x << "," << c.point.z);
    ppVector3 foot(-1, -1, -1);
    float angle = 7.0f;
    floor_->NearestWallEdge(foot, angle, c.point, 900.0f);
    EXPECT_NEAR(angle, c.angle, 1e-5f);
    const ppVector3 want = c.found ? c.foot : ppVector3(-1, -1, -1);  // not written when none is near
    EXPECT_NEAR(foot.x, want.x, 0.01f);
    EXPECT_NEAR(foot.z, want.z, 0.01f);
  }
}

TEST_F(FloorDrawingTest, RebuildLaysTheSlabUnderTheRoomAndTakesTheLowestWallBody) {
  EXPECT_FLOAT_EQ(LowestWallHeight(), -1.0f);
  qxFloorElement* floor = MakeFloor(Rectangle(4000, 3000));
  // Wall bodies on two faces, none on the others.
  for (auto [face, height] : {std::pair{0, 2600.0f}, std::pair{2, 2000.0f}}) {
    qxWallElement* wall = MakeWall(*cycle_->EdgeAt(face));
    wall->SetHeight(height);
    cycle_->EdgeAt(face)->wall = wall;
  }
  EXPECT_FLOAT_EQ(LowestWallHeight(), -1.0f);
  floor->RebuildGeometry();
  ASSERT_NE(floor->CachedObject(), nullptr);
  ASSERT_EQ(floor->Parts().size(), 1u);
  const ppBounds3 slab = floor->CachedObject()->RecordAt(0)->layers.at(0).faces.GetBounds();
  // The slab lies under the room's outline (plan z along 3D z), its top at floor level.
  EXPECT_EQ(slab.centre, ppVector3(2000, -0.5f, 1500));
  EXPECT_EQ(slab.half, ppVector3(2000, 0.5f, 1500));
  EXPECT_FLOAT_EQ(LowestWallHeight(), 2000.0f);
  // The door search hands over the wall body of the face it found.
  ppVector3 foot;
  float angle = 0.0f;
  EXPECT_EQ(floor->NearestWallEdge(foot, angle, ppVector3(1000, 0, 100), 900.0f), cycle_->EdgeAt(0)->wall);
  plat::HeadlessDriver::Reset();
  EXPECT_FLOAT_EQ(LowestWallHeight(), -1.0f);
}

TEST_F(FloorDrawingTest, OnlyASelectedFloorDrawsItsDimensionLetters) {
  qxFloorElement* floor = MakeFloor(Rectangle(4000, 3000));
  auto letters = [&] {
    ShapeRecorderLog log;
    ppDC dc;
    dc.AttachShape(&log);
    floor->DrawContent(dc);
    std::vector<std::string> texts;
    for (const std::string& call : log.calls)
      if (call.rfind("Text ", 0) == 0) texts.push_back(call.substr(5));
    return texts;
  };
  EXPECT_TRUE(letters().empty());
  floor->selected = 1;
  EXPECT_EQ(letters(), (std::vector<std::string>{"A", "B"}));
}

}  // namespace
