// Editing room segments: the wall length grid, which task a press on a wall starts, and the
// programmatic wall move. The wall move task is a double that moves the wall by its drag.
#include <gtest/gtest.h>

#include <vector>

#include "elements/base/iElementTaskFactory.h"
#include "elements/base/iMoveObjectTask.h"
#include "foundation/UserPreferences.h"
#include "framework/ppMouseTask.h"
#include "platform/HeadlessDriver.h"
#include "platform/InputState.h"
#include "platform/LayerClock.h"
#include "room/RoomTestSupport.h"
#include "room/qxRoundWallTask.h"
#include "room/zelvproRoomButtons.h"

namespace {

using roomtest::RoomTest;
using V = ppVector3;

// How each wall move task was made and started.
struct MadeMove {
  zelvproElement* segment;
  ppView* supervisor;
  ppMouseTask* task;
  bool started = false;
  plat::POINT startedAt{};
};

// Moves its wall by the drag (one pixel is one millimetre in these tests), back on undo.
class WallMoveDouble : public ppMouseTask, public iMoveObjectTask {
 public:
  WallMoveDouble(qxRoomSegment* segment, ppView* supervisor, MadeMove& record)
      : ppMouseTask(segment, supervisor), segment_(segment), record_(record) {}
  bool Start(int32_t x, int32_t y) override {
    record_.started = true, record_.startedAt = {x, y};
    return ppMouseTask::Start(x, y);
  }
  void DrawFeedback(int32_t, int32_t) override {}
  void EraseFeedback(int32_t, int32_t) override {}
  void Do() override {
    ppMouseTask::Do();
    ApplyMove(float(Current().x - StartPoint().x), float(Current().y - StartPoint().y), false);
  }
  void Undo() override {
    ppMouseTask::Undo();
    ApplyMove(-moved_.x, -moved_.z, true);
  }
  void ApplyMove(float dx, float dz, bool replay) override {
    if (!replay) moved_ = V(dx, 0, dz);
    segment_->Translate(V(dx, 0, dz));
  }
  ppTask* Task() override { return this; }

 private:
  qxRoomSegment* segment_;
  MadeMove& record_;
  V moved_;
};

class MoveFactory : public iElementTaskFactory {
 public:
  iMoveObjectTask* NewMoveObjectTask(zelvproElement* segment, ppView* supervisor) override {
    made.reserve(16);  // the doubles keep references to their records
    made.push_back({segment, supervisor, nullptr});
    auto* task = new WallMoveDouble(dynamic_cast<qxRoomSegment*>(segment), supervisor, made.back());
    made.back().task = task;
    return task;
  }
  std::vector<MadeMove> made;
};

// Takes the presses a wall hands on.
class PressCanvas : public roomtest::RoomCanvas {
 public:
  bool IsDoubleClick(int32_t x, int32_t y) override {
    presses.push_back({x, y});
    return true;
  }
  std::vector<plat::POINT> presses;
};

class SegmentEditingTest : public RoomTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    RoomTest::SetUp();
    canvas_ = std::make_unique<PressCanvas>();
    host_.palette->SetScale(1.0);
    iElementTaskFactory::Install(&factory_);
  }
  PressCanvas& Canvas() { return static_cast<PressCanvas&>(*canvas_); }
  int32_t Count(int32_t command) const {
    int32_t n = 0;
    for (const auto& [c, p] : canvas_->commands) n += c == command;
    return n;
  }

  MoveFactory factory_;
};

TEST_F(SegmentEditingTest, WallLengthsSnapDownToTheGridUnlessCtrlIsHeld) {
  const struct {
    uint32_t units;
    bool ctrl;
    float length, snapped;
  } kCases[] = {
      {kUnitMillimetres, false, 149.9f, 100.0f}, {kUnitMillimetres, false, 150.0f, 150.0f},
      {kUnitMillimetres, false, -49.0f, 0.0f},   {kUnitCentimetres, false, 149.9f, 100.0f},
      {kUnitImperial, false, 101.7f, 101.6f},    {kUnitImperial, false, 101.5f, 50.8f},
      {kUnitMillimetres, true, 149.9f, 149.9f},  {kUnitImperial, true, 149.9f, 149.9f},
  };
  for (const auto& c : kCases) {
    Preferences().unitSystem = c.units;
    plat::InputState::SetDown(plat::VK_CONTROL, c.ctrl);
    const float snapped = qxRoomSegment::snapWallLength(c.length);
    EXPECT_FLOAT_EQ(snapped, c.snapped) << c.units << " " << c.ctrl << " " << c.length;
    EXPECT_FALSE(std::signbit(snapped)) << c.length;
  }
}

TEST_F(SegmentEditingTest, APressStartsTheTaskItsWallAndModeCallFor) {
  enum Task { kNone, kMove, kRound };
  const struct {
    const char* name;
    bool locked, drawWalls, door, shift, arched;
    bool handled, selected, deselectsOthers, handedOn;
    Task task;
  } kCases[] = {
      {"locked", true, false, false, false, false, true, false, false, false, kNone},
      {"draw walls", false, true, false, false, false, false, false, false, false, kNone},
      {"holds a door", false, false, true, false, false, true, true, true, true, kNone},
      {"shift", false, false, false, true, false, true, true, false, false, kNone},
      {"plain", false, false, false, false, false, true, true, true, false, kMove},
      {"arc handle", false, false, false, false, true, true, false, false, false, kRound},
  };
  for (const auto& c : kCases) {
    canvas_->Clear();
    canvas_->commands.clear();
    Canvas().presses.clear();
    factory_.made.clear();
    qxRoomSegment* wall = MakeSegment(V(1000, 0, 1000), V(3000, 0, 1000));
    wall->locked = c.locked;
    DrawWallsMode = c.drawWalls;
    plat::InputState::SetDown(plat::VK_SHIFT, c.shift);
    if (c.door) new zelvproElement(0, wall, plat::RECT{0, 0, 5, 5}, nullptr, 0, 0);
    plat::POINT press{2000, 1000};
    if (c.arched) {
      wall->SetValue(wall->IndexOf(Vcon::String("RoundWall")), ppParameter(true));
      plat::RECT handle{};
      wall->GetArcHandleRect(handle);
      press = {(handle.left + handle.right) / 2, (handle.top + handle.bottom) / 2};
      canvas_->commands.clear();
    }

    EXPECT_EQ(wall->IsDoubleClick(press.x, press.y), c.handled) << c.name;
    EXPECT_EQ(wall->IsSelected(), c.selected) << c.name;
    EXPECT_EQ(Count(204), c.deselectsOthers ? 1 : 0) << c.name;
    EXPECT_EQ(Canvas().presses.size(), c.handedOn ? 1u : 0u) << c.name;
    ASSERT_EQ(factory_.made.size(), c.task == kMove ? 1u : 0u) << c.name;
    if (c.task == kMove) {
      const MadeMove& made = factory_.made[0];
      EXPECT_EQ(made.segment, wall);
      EXPECT_EQ(made.supervisor, canvas_.get());
      EXPECT_TRUE(made.started);
      EXPECT_EQ(made.startedAt, press);
      EXPECT_EQ(canvas_->DoneTop(), made.task);
    }
    EXPECT_EQ(dynamic_cast<qxRoundWallTask*>(canvas_->DoneTop()) != nullptr, c.task == kRound) << c.name;
    if (c.task == kNone) EXPECT_EQ(canvas_->DoneTop(), nullptr) << c.name;
  }
}

TEST_F(SegmentEditingTest, MoveByIsTheUndoableDragOfTheWholeWall) {
  for (const bool byCommand : {true, false}) {
    canvas_->Clear();
    factory_.made.clear();
    qxRoomSegment* wall = MakeSegment(V(1000, 0, 1000), V(3000, 0, 1000));
    if (byCommand) {
      wall->MoveBy(100, 0);
    } else {
      ASSERT_TRUE(wall->IsDoubleClick(2000, 1000));
      ASSERT_EQ(factory_.made.size(), 1u);
      plat::LayerClock::Advance(1000);
      plat::POINT to{2100, 1000};
      factory_.made[0].task->Move(&to);
      factory_.made[0].task->MouseUp(&to);
    }
    ASSERT_EQ(factory_.made.size(), 1u) << byCommand;
    EXPECT_EQ(factory_.made[0].segment, wall);
    EXPECT_EQ(factory_.made[0].supervisor, canvas_.get());
    EXPECT_EQ(canvas_->DoneTop(), factory_.made[0].task) << byCommand;
    EXPECT_EQ(wall->Start(), V(1100, 0, 1000)) << byCommand;
    EXPECT_EQ(wall->End(), V(3100, 0, 1000)) << byCommand;
    canvas_->Undo();
    EXPECT_EQ(wall->Start(), V(1000, 0, 1000)) << byCommand;
  }
  // No move at all is a click: nothing is kept.
  canvas_->Clear();
  MakeSegment(V(0, 0, 0), V(1000, 0, 0))->MoveBy(0, 0);
  EXPECT_EQ(canvas_->DoneTop(), nullptr);
}

}  // namespace
