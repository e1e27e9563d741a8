// The free-standing plan wall piece: its saved record, its pixels, the press that starts its tasks
// after the drag delay on the layer's clock, the drag of either end, the edge search of snapping, and
// the room canvas making one from a module table.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproDocFil.h"
#include "catalogue/records/zelvproDocModuleFil.h"
#include "elements/base/iElementTaskFactory.h"
#include "elements/base/qxViewHolder.h"
#include "elements/units/PointToSegmentDistance.h"
#include "framework/TestCanvas.h"
#include "framework/ppDC.h"
#include "framework/ppTask.h"
#include "platform/HeadlessDriver.h"
#include "platform/LayerClock.h"
#include "room/RoomTestSupport.h"
#include "room/qxNewRoomCanvas.h"
#include "room/zelvproWall.h"

namespace {

using V2 = ppVector2;
constexpr float kFar = std::numeric_limits<float>::max();
constexpr float kPi = 3.14159265f;

// Records which wall task was asked for and when (layer clock, milliseconds).
class WallTasks : public iElementTaskFactory {
 public:
  ppTask* NewWallTask(qxViewHolder* selection, zelvproCanvas*) override {
    walls.push_back(selection->Element());
    delete selection;
    at.push_back(plat::LayerClock::Now());
    return new ppTask;
  }
  ppTask* NewWallEndTask(zelvproElement* wall, int32_t end) override {
    ends.emplace_back(wall, end);
    at.push_back(plat::LayerClock::Now());
    return new ppTask;
  }
  std::vector<zelvproElement*> walls;
  std::vector<std::pair<zelvproElement*, int32_t>> ends;
  std::vector<uint32_t> at;
};

struct Entry {
  int32_t code;
  float x, z;
  int32_t word7;
};

class PlanWallTest : public roomtest::RoomTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    RoomTest::SetUp();
    host_.palette->SetScale(10.0);  // millimetres per pixel
    doc_ = std::make_unique<zelvproDocFil>(*db_);
    iElementTaskFactory::Install(&tasks_);
  }
  void TearDown() override {
    iElementTaskFactory::Install(nullptr);
    canvas_.reset();
    doc_.reset();
    RoomTest::TearDown();
  }

  // A 2000 by 200 wall at `at` with end handles on its centre line and one entry without a handle,
  // loaded from a module record as a child of `parent`.
  zelvproWall* MakeWall(ppView* parent, const ppVector3& at, bool plainFill = false) {
    FillRecord(doc_->RoomTable(), at, plainFill);
    return new zelvproWall(parent, doc_->RoomTable(), false);
  }
  void FillRecord(ppDatafile& module, const ppVector3& at, bool plainFill) {
    char* r = module.GetRecordBuffer();
    module.ClearRecordBuffer(r);
    RecordField(module, "type").SetLong(r, 9);
    RecordField(module, "database").SetLong(r, db_->Identifier());
    RecordField(module, "xposition").SetDouble(r, at.x);
    RecordField(module, "zposition").SetDouble(r, at.z);
    RecordField(module, "wallThickness").SetDouble(r, 200.0);
    RecordField(module, "height").SetDouble(r, 2400.0);
    RecordField(module, "xcostumPrice").SetLong(r, plainFill ? 0 : 1);
    RecordField(module, "under").SetLong(r, plainFill ? 1 : 0);
    RecordField(module, "colorAred").SetLong(r, 0);
    RecordField(module, "colorAgreen").SetLong(r, 0);
    RecordField(module, "colorAblue").SetLong(r, 100);
    const std::vector<float> points = {0, 0, 2000, 0, 2000, 200, 0, 200};
    Put(RecordField(module, "points").Data(r), points.data(), points.size() * 4);
    std::vector<int32_t> words;
    for (const Entry& e : kEntries) {
      const float x = e.x, z = e.z, zero = 0.0f;
      int32_t w[9] = {e.code, 0, 0, 0, 0, 0, 0, e.word7, 0x1234};
      std::memcpy(&w[1], &x, 4), std::memcpy(&w[2], &zero, 4), std::memcpy(&w[3], &z, 4);
      words.insert(words.end(), w, w + 9);
    }
    Put(RecordField(module, "snappoints").Data(r), words.data(), words.size() * 4);
  }
  static void Put(Handle blob, const void* data, size_t size) {
    MemSetSize(blob, uint32_t(size));
    std::memcpy(*blob, data, size);
  }
  // Entry `i`'s point in the plan.
  static V2 Placed(const zelvproWall& wall, int32_t i) {
    ppVector3 p = wall.snapPoints[size_t(i)].point;
    wall.LocalToWorld(p);
    return V2(p.x, p.z);
  }

  static constexpr Entry kEntries[] = {{999999, 0, 100, 77}, {999999, 2000, 100, 0}, {5, 1000, 0, 88}};
  std::unique_ptr<zelvproDocFil> doc_;
  WallTasks tasks_;
};

TEST_F(PlanWallTest, SavedAndLoadedWallKeepsItsFieldsAndClearsTheSnappedWord) {
  for (const bool plainFill : {false, true}) {
    std::unique_ptr<zelvproWall> first(MakeWall(nullptr, ppVector3(500, 0, 700), plainFill));
    // The saved snapped-to word is cleared on loading.
    EXPECT_EQ(first->snapPoints.at(0).word7, 0);
    EXPECT_EQ(first->snapPoints.at(2).word7, 0);
    zelvproDocModuleFil& table = doc_->RoomTable();
    while (table.GetRecordCount() > 0) table.DeleteRecordAt(0);
    first->SaveTree(table, false, 0);
    ASSERT_EQ(table.GetRecordCount(), 1);
    table.ReadRecordAt(0, nullptr);
    EXPECT_EQ(RecordField(table, "type").Long(table.GetRecordBuffer()), 9);
    zelvproWall second(nullptr, table, false);
    SCOPED_TRACE(plainFill);
    EXPECT_EQ(second.kind, 9);
    EXPECT_EQ(second.thickness, 200.0f);
    EXPECT_EQ(second.wallHeight, 2400.0f);
    EXPECT_EQ(second.priceFlag, !plainFill);
    EXPECT_EQ(second.plain, plainFill);
    EXPECT_EQ(second.colour, (ppRGBColor{0, 0, 100}));
    EXPECT_EQ(second.GetPosition(), ppVector3(500, 0, 700));
    EXPECT_EQ(second.OutlinePoints(), (std::vector<V2>{{0, 0}, {2000, 0}, {2000, 200}, {0, 200}}));
    ASSERT_EQ(second.snapPoints.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
      EXPECT_EQ(second.snapPoints[i].code, kEntries[i].code);
      EXPECT_EQ(second.snapPoints[i].point, ppVector3(kEntries[i].x, 0, kEntries[i].z));
      EXPECT_EQ(second.snapPoints[i].word7, 0);
      EXPECT_EQ(second.snapPoints[i].partner, nullptr);
    }
  }
}

TEST_F(PlanWallTest, DrawsFillOutlineAndSevenPixelHandlesAndFollowsTheColourCommands) {
  // At 10 mm a pixel the wall at (100, 100) covers pixels (10, 10) - (210, 30); its child, a second
  // wall, (10, 40) - (210, 60). Start handle around (10, 20).
  zelvproWall* wall = MakeWall(canvas_.get(), ppVector3(100, 0, 100));
  zelvproWall* child = MakeWall(wall, ppVector3(0, 0, 300));
  const plat::COLORREF white = plat::RGB(255, 255, 255), black = plat::RGB(0, 0, 0);
  const plat::COLORREF blue = plat::RGB(0, 0, 255), green = plat::RGB(0, 255, 0);
  auto paint = [&](zelvproWall* which) {
    auto canvas = std::make_unique<picture_tests::Canvas>(240, 80, plat::RGB(200, 200, 200));
    ppDC dc(canvas->dc());
    which->DrawContent(dc);
    return canvas;
  };
  auto drawn = paint(wall);
  EXPECT_EQ(drawn->At(100, 20), blue);
  EXPECT_EQ(drawn->At(100, 10), black);
  EXPECT_EQ(drawn->At(7, 17), plat::RGB(200, 200, 200));  // no handles while unselected

  wall->selected = 1;
  drawn = paint(wall);
  EXPECT_EQ(plat::GetRValue(drawn->At(100, 10)), 128u);  // half red edges
  EXPECT_EQ(plat::GetGValue(drawn->At(100, 10)), 0u);
  for (auto [x, y] : {std::pair{7, 17}, {13, 23}, {7, 23}, {207, 17}, {213, 23}})
    EXPECT_EQ(drawn->At(x, y), black) << x << "," << y;
  EXPECT_EQ(drawn->At(6, 20), plat::RGB(200, 200, 200));  // left of the box
  EXPECT_EQ(drawn->At(14, 20), blue);                     // right and bottom edges are exclusive
  EXPECT_EQ(drawn->At(12, 24), blue);
  EXPECT_EQ(wall->GetHandleRect(0), (plat::RECT{7, 17, 14, 24}));
  EXPECT_EQ(wall->GetHandleRect(2), (plat::RECT{0, 0, 0, 0}));
  EXPECT_EQ(wall->FindHandleAt(13, 23), 0);
  EXPECT_EQ(wall->FindHandleAt(14, 23), -1);
  wall->selected = 0;

  wall->DoCommand(zelvproWall::kSetPlain, 0);
  EXPECT_EQ(paint(wall)->At(100, 20), white);
  EXPECT_EQ(paint(child)->At(100, 50), white);
  const ppRGBColor greenPercent{0, 100, 0};
  wall->DoCommand(zelvproWall::kSetColour, reinterpret_cast<intptr_t>(&greenPercent));
  EXPECT_EQ(paint(wall)->At(100, 20), green);
  EXPECT_EQ(paint(child)->At(100, 50), green);
}

TEST_F(PlanWallTest, PressStartsTheEndDraggerOrTheWallTaskAfterFiveTicksOfTheLayerClock) {
  zelvproWall* wall = MakeWall(canvas_.get(), ppVector3(100, 0, 100));
  plat::LayerClock::SetManual(100000);
  struct Case {
    int32_t x, y;
    bool taken;
    int32_t end;  // -1: the wall task
  } const kCases[] = {{50, 20, true, -1}, {211, 21, true, 1}, {8, 22, true, 0}, {100, 50, false, -1}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    wall->selected = 0;
    canvas_->commands.clear();
    tasks_.walls.clear(), tasks_.ends.clear(), tasks_.at.clear();
    plat::LayerClock::Advance(1000);  // no double click
    const uint32_t pressed = plat::LayerClock::Now();
    EXPECT_EQ(wall->MouseDown(c.x, c.y), c.taken);
    if (!c.taken) {
      EXPECT_TRUE(tasks_.at.empty());
      EXPECT_EQ(wall->selected, 0);
      continue;
    }
    EXPECT_EQ(wall->selected, 1);
    ASSERT_FALSE(canvas_->commands.empty());
    EXPECT_EQ(canvas_->commands.front().first, 204);
    ASSERT_EQ(tasks_.at.size(), 1u);
    // Five ticks of 1/60 second passed on the layer's clock before the task was asked for.
    EXPECT_GE(tasks_.at[0] - pressed, 5u * 1000u / 60u);
    if (c.end < 0) {
      EXPECT_EQ(tasks_.walls, (std::vector<zelvproElement*>{wall}));
    } else {
      ASSERT_EQ(tasks_.ends.size(), 1u);
      EXPECT_EQ(tasks_.ends[0], (std::pair<zelvproElement*, int32_t>{wall, c.end}));
    }
  }
  // A second press within the double-click time does nothing more.
  plat::LayerClock::Advance(1000);
  EXPECT_TRUE(wall->MouseDown(50, 20));
  tasks_.at.clear();
  plat::LayerClock::Advance(100);
  EXPECT_TRUE(wall->MouseDown(50, 20));
  EXPECT_TRUE(tasks_.at.empty());
}

TEST_F(PlanWallTest, DraggingEitherEndKeepsTheOtherEndAndTurnsTheWallTowardsIt) {
  // The wall runs from (1000, 1100) to (3000, 1100) on its centre line; mouse points in pixels.
  struct Case {
    const char* what;
    int32_t end, x, y;
    bool frozen;
    V2 start, far;
    bool stretched;
  } const kCases[] = {
      {"far end up", 1, 100, 260, false, {1000, 1100}, {1000, 2600}, true},
      {"far end back along", 1, 250, 110, false, {1000, 1100}, {2500, 1100}, true},
      {"start past the far end", 0, 400, 110, false, {4000, 1100}, {3000, 1100}, true},
      {"start below the far end", 0, 300, 210, false, {3000, 2100}, {3000, 1100}, true},
      {"frozen", 1, 100, 260, true, {1000, 1100}, {3000, 1100}, false},
      {"onto the other end", 0, 300, 110, false, {1000, 1100}, {3000, 1100}, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    std::unique_ptr<zelvproWall> wall(MakeWall(canvas_.get(), ppVector3(1000, 0, 1000)));
    wall->DragEnd(c.end, c.x, c.y, c.frozen);
    const V2 start = Placed(*wall, 0), far = Placed(*wall, 1);
    EXPECT_NEAR(start.x, c.start.x, 0.05f);
    EXPECT_NEAR(start.y, c.start.y, 0.05f);
    EXPECT_NEAR(far.x, c.far.x, 0.05f);
    EXPECT_NEAR(far.y, c.far.y, 0.05f);
    const float length = std::hypot(c.far.x - c.start.x, c.far.y - c.start.y);
    const std::vector<V2> outline = wall->OutlinePoints();
    EXPECT_NEAR(outline[1].x, length, 0.05f);
    EXPECT_NEAR(outline[2].x, length, 0.05f);
    EXPECT_EQ(outline[0].x, 0.0f);
    // The entry without a handle lies beyond the start: it follows the far end too.
    EXPECT_NEAR(wall->snapPoints[2].point.x, c.stretched ? length : 1000.0f, 0.05f);
  }
}

TEST_F(PlanWallTest, EdgeSearchMeasuresOnlyWhereTheFootFallsOnAnEdge) {
  struct Distance {
    V2 p, a, b;
    float distance;
  } const kDistances[] = {
      {{50, 30}, {0, 0}, {100, 0}, 30},    // foot inside
      {{0, 30}, {0, 0}, {100, 0}, 30},     // foot on the start
      {{100, -20}, {0, 0}, {100, 0}, 20},  // foot on the end
      {{-1, 5}, {0, 0}, {100, 0}, kFar},   // before the start
      {{150, 0}, {0, 0}, {100, 0}, kFar},  // on the line, beyond the end
      {{35, 5}, {0, 0}, {30, 40}, 25},     // a slanted segment
  };
  for (const Distance& c : kDistances)
    EXPECT_NEAR(PointToSegmentDistance(c.p, c.a, c.b), c.distance, 0.01f) << c.p.x << "," << c.p.y;

  // Placed outline: (1000, 1000) (3000, 1000) (3000, 1200) (1000, 1200); edge 3 closes back.
  std::unique_ptr<zelvproWall> wall(MakeWall(canvas_.get(), ppVector3(1000, 0, 1000)));
  struct Case {
    V2 p;
    float tolerance;
    int32_t edge;
    float distance;
  } const kCases[] = {
      {{990, 1100}, kFar, 3, 10},    // beside the closing edge
      {{1005, 1150}, kFar, 3, 5},    // inside, nearest the closing edge
      {{2000, 950}, kFar, 0, 50},    // before the first edge
      {{2000, 950}, 40, -1, 50},     // ... but farther than the tolerance
      {{900, 900}, kFar, -1, kFar},  // beyond a corner: no foot on any edge
  };
  for (const Case& c : kCases) {
    float distance = 0.0f;
    EXPECT_EQ(wall->NearestOutlineEdge(c.p, c.tolerance, distance), c.edge) << c.p.x << "," << c.p.y;
    EXPECT_NEAR(distance, c.distance, 0.01f);
  }
  // A request of code 0 snaps onto the edge's line; past a corner nothing answers.
  SnapAnchor query, out;
  query.point = ppVector3(1500, 0, 990);
  float best = kFar;
  int32_t index = -1;
  EXPECT_EQ(wall->NearestSnap(query, out, best, index, nullptr, 0), wall.get());
  EXPECT_EQ(index, 0);
  EXPECT_NEAR(out.point.z, 1000.0f, 0.01f);
  query.point = ppVector3(900, 0, 900);
  best = kFar;
  EXPECT_EQ(wall->NearestSnap(query, out, best, index, nullptr, 0), nullptr);
}

TEST_F(PlanWallTest, RoomCanvasMakesAWallFromAModuleRecordOfTypeNine) {
  qxNewRoomCanvas room(nullptr, plat::RECT{0, 0, 800, 600}, db_);
  zelvproDocModuleFil& table = doc_->RoomTable();
  FillRecord(table, ppVector3(600, 0, 600), false);
  table.InsertRecordAt(-1, nullptr);
  room.LoadPlanModules(table);
  ASSERT_EQ(room.Subviews().Count(), 1);
  auto* wall = dynamic_cast<zelvproWall*>(room.Subviews().At(0));
  ASSERT_NE(wall, nullptr);
  EXPECT_EQ(wall->thickness, 200.0f);
  EXPECT_EQ(wall->OutlinePoints().size(), 4u);
}

}  // namespace
