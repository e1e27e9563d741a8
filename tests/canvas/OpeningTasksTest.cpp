// Doors and windows moved along the room's walls and dropped onto them, wall pieces and configurable
// units moved with their anchors, and accessories put onto units, on the headless desktop: rooms built
// by the room canvas's rebuild (4033), units made from catalogue records, presses started as the units
// and the palette start them, moves and releases injected through the desktop (Shift and Ctrl held by
// the injected keyboard), then places, containers, the undo histories and the window's pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <tuple>
#include <vector>

#include "CanvasTestSupport.h"
#include "canvas/tasks/CanvasTaskFactory.h"
#include "canvas/tasks/PlanFrames.h"
#include "canvas/tasks/zelvproAccessoryTask.h"
#include "canvas/tasks/zelvproConfigTask.h"
#include "canvas/tasks/zelvproDoorDraggerTask.h"
#include "canvas/tasks/zelvproDoorTask.h"
#include "canvas/tasks/zelvproWallDraggerTask.h"
#include "canvas/tasks/zelvproWallTask.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproDocFil.h"
#include "catalogue/records/zelvproDocModuleFil.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/PlanPixels.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/topview/TopViewElementFactory.h"
#include "elements/topview/TopViewTestSupport.h"
#include "elements/units/zelvproDoor.h"
#include "foundation/UserPreferences.h"
#include "framework/AdornerTestPictures.h"
#include "framework/ppWindow.h"
#include "framework/zelvproAccDeleteTask.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/InputState.h"
#include "platform/LayerClock.h"
#include "platform/WindowApi.h"
#include "room/RoomTestSupport.h"
#include "room/qxFloorElement.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"
#include "room/qxWallElement.h"
#include "room/zelvproWall.h"

namespace {

using V = ppVector3;
using eltest::Rect;

// Scale 10: inner faces from x 1500 to 5500 and z 1500 to 4500 (150 mm walls about the corners'
// lines), pixels (150, 150) to (550, 450).
const std::vector<V> kRoom = {V(1425, 0, 1425), V(5575, 0, 1425), V(5575, 0, 4575), V(1425, 0, 4575)};

class OpeningTasksTest : public roomtest::RoomTest, protected canvastest::DesktopInput {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    RoomTest::SetUp();
    plat::LayerClock::SetManual(100'000);
    Preferences().unitSystem = kUnitMillimetres;
    ReleaseKeys();
    CanvasTaskFactory::InstallDefault();
    TopViewElementFactory::Install();
    iCalculationList::Install(&lines_);
    app_ = std::make_unique<adorner_tests::TestApplication>();
    window_ = new ppWindow();
    hwnd_ = adorner_tests::MakeObjectWindow(window_, 800, 600);
    room_ = std::make_unique<qxNewRoomCanvas>(window_, Rect(0, 0, 800, 600), db_);
    top_ = std::make_unique<zelvproTopCanvas>(window_, Rect(0, 0, 800, 600), nullptr);
    host_.topCanvas = top_.get();
    host_.newRoomCanvas = room_.get();
    host_.palette->SetScale(10.0);
    doc_ = std::make_unique<zelvproDocFil>(*db_);
    door_ = AddItem(5, 900, 150);
    window6_ = AddItem(6, 1200, 150);
    plat::HeadlessDriver::RunUntilIdle();
  }
  void TearDown() override {
    ReleaseKeys();
    plat::HeadlessDriver::RunUntilIdle();
    host_.topCanvas = nullptr;
    host_.newRoomCanvas = nullptr;
    top_.reset();
    room_.reset();
    doc_.reset();
    delete window_;
    app_.reset();
    iCalculationList::Install(nullptr);
    SetElementFactory(nullptr);
    RoomTest::TearDown();
    plat::HeadlessDriver::Reset();
  }
  static void ReleaseKeys() {
    for (int32_t key : {plat::VK_CONTROL, plat::VK_SHIFT}) plat::InputState::SetDown(key, false);
  }

  // A top-view item of `type`, `width` x 2000 x `depth` with one rectangular outline.
  int32_t AddItem(int32_t type, float width, float depth, eltest::Words extra = {}) {
    eltest::Words points;
    for (float p : {0.0f, 0.0f, width, 0.0f, width, depth, 0.0f, depth})
      points.push_back(eltest::FloatWord(p));
    const int32_t shape = eltest::AddRecordWith(db_->ShapeFile(), {}, {{"points", points}});
    return eltest::AddRecordWith(
        db_->TopViewFile(),
        {{"ID", 77}, {"Type", type}, {"width", double(width)}, {"height", 2000.0}, {"depth", double(depth)}},
        {{"Subelements", eltest::PieceEntry(shape, 0, 0)}, {"DropItems", extra}});
  }
  zelvproElement* Make(int32_t item, zelvproElement* parent) {
    return db_->TopViewFile().CreateElement(item, Rect(0, 0, 100, 100), parent);
  }

  void Rebuild() {
    room_->DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
    plat::HeadlessDriver::RunUntilIdle();
  }
  std::vector<qxRoomSegment*> Segments() const {
    std::vector<qxRoomSegment*> out;
    ForEachChildElement(*room_, [&](zelvproElement* e) {
      if (auto* s = dynamic_cast<qxRoomSegment*>(e)) out.push_back(s);
    });
    return out;
  }
  qxFloorElement* Floor() { return dynamic_cast<qxFloorElement*>(room_->FindFloor()); }
  // The wall the floor finds for a plan point, with its foot point and angle.
  qxWallElement* WallAt(const V& p, float width, V& foot, float& angle) {
    return Floor()->NearestWallEdge(foot, angle, p, width);
  }
  std::vector<qxRoomSegment*> Room() {
    std::vector<qxRoomSegment*> walls;
    for (size_t i = 0; i < kRoom.size(); ++i)
      walls.push_back(MakeSegment(kRoom[i], kRoom[(i + 1) % kRoom.size()], room_.get()));
    Rebuild();
    return walls;
  }
  static plat::POINT Pixel(const V& p) {
    plat::POINT out{};
    PlanPointToScreen(p, out);
    return out;
  }
  std::vector<uint32_t> Pixels() const { return canvastest::WindowPixels(hwnd_); }
  // An opening standing on `wall` with its origin at the plan point `foot`, turned as the wall.
  zelvproElement* Seat(int32_t item, qxWallElement* wall, const V& foot, float angle) {
    zelvproElement* opening = Make(item, wall->Edge().segment);
    const V body = wall->GetPosition();
    opening->SetPosition(V(foot.x - body.x, 0, foot.z - body.z));
    opening->StoreAngle(angle - wall->Edge().segment->GetAbsoluteAngle());
    return opening;
  }
  // Starts the door task of `opening` with the press on its origin's pixel.
  zelvproDoorTask* PressOpening(zelvproElement* opening) {
    auto* task = dynamic_cast<zelvproDoorTask*>(
        opening->CreateMoverTask(new qxViewHolder(opening, nullptr, true), top_.get(), nullptr));
    if (task == nullptr) return nullptr;
    Start(task, Pixel(PlanPoint(opening, V())));
    return task;
  }
  static void Start(ppTask* task, plat::POINT at) {
    plat::Desktop::MouseMove(at);
    iElementTaskFactory::Current().StartWithElement(task, at.x, at.y, nullptr);
    plat::HeadlessDriver::RunUntilIdle();
  }
  static void Up(plat::POINT p) { UpAfterClickTime(p); }  // never a click

  tvtest::RecordingCalculationList lines_;
  std::unique_ptr<adorner_tests::TestApplication> app_;
  ppWindow* window_ = nullptr;
  plat::HWND hwnd_ = nullptr;
  std::unique_ptr<qxNewRoomCanvas> room_;
  std::unique_ptr<zelvproTopCanvas> top_;
  std::unique_ptr<zelvproDocFil> doc_;
  int32_t door_ = 0, window6_ = 0;
};

int Bits(const V& a, const V& b) { return std::memcmp(&a, &b, sizeof(V)); }

void ExpectNear(const V& got, const V& want, const char* what, float tolerance = 0.01f) {
  EXPECT_NEAR(got.x, want.x, tolerance) << what;
  EXPECT_NEAR(got.z, want.z, tolerance) << what;
}

// ---- Doors and windows.

TEST_F(OpeningTasksTest, AnOpeningFollowsTheNearestWallAndIsSeatedUnderItsSegment) {
  Room();
  V foot;
  float angle = 0.0f;
  qxWallElement* top = WallAt(V(3500, 0, 1800), 900, foot, angle);
  ASSERT_NE(top, nullptr);
  const WallEdge& edge = top->Edge();
  ASSERT_NEAR(std::hypot(edge.end.x - edge.start.x, edge.end.z - edge.start.z), 4000.0f, 0.01f);
  const V u((edge.end.x - edge.start.x) / 4000.0f, 0, (edge.end.z - edge.start.z) / 4000.0f);
  zelvproElement* door = Seat(door_, top, edge.start + u * 2000.0f, angle);
  qxRoomSegment* segment = edge.segment;
  const int32_t before = segment->Subviews().Count();

  const std::vector<uint32_t> clean = Pixels();
  zelvproDoorTask* task = PressOpening(door);
  ASSERT_NE(task, nullptr);
  // 1200 from every face: no wall, no dimension lines.
  MoveTo(Pixel(V(3500, 0, 2700)));
  EXPECT_EQ(task->CurrentWall(), nullptr);
  EXPECT_TRUE(task->LeftText().empty());
  EXPECT_EQ(task->CursorShown(), zelvproDoorTask::kBlockedCursor) << "a release here is refused";
  // 300 inside, 1000 from the face's start: the two dimension lines.
  const V near = edge.start + u * 1000.0f + V(0, 0, 300);
  MoveTo(Pixel(near));
  ASSERT_EQ(task->CurrentWall(), top);
  EXPECT_EQ(task->CursorShown(), zelvproDoorTask::kTrackCursor);
  EXPECT_FLOAT_EQ(task->WallAngle(), angle);
  ExpectNear(task->WallPosition(), edge.start + u * 1000.0f, "foot");
  EXPECT_EQ(task->LeftText(), Vcon::String("1000 mm"));
  EXPECT_EQ(task->RightText(), Vcon::String("2100 mm"));
  // The outline, the marker and the lines go with the erase: every pixel as before.
  EXPECT_NE(Pixels(), clean);
  task->EraseFeedback(0, 0);
  EXPECT_EQ(Pixels(), clean);
  task->DrawFeedback(0, 0);
  // 300 before the face's end: pulled back so that the 900 fit.
  MoveTo(Pixel(edge.start + u * 3700.0f + V(0, 0, 300)));
  ExpectNear(task->WallPosition(), edge.start + u * 3100.0f, "pulled back");
  Up(Pixel(edge.start + u * 3700.0f + V(0, 0, 300)));
  EXPECT_EQ(door->GetSupervisor(), segment);
  EXPECT_EQ(segment->Subviews().Count(), before);
  const V body = top->GetPosition();
  const V rel = edge.start + u * 3100.0f - body;
  EXPECT_NEAR(door->GetPosition().x, rel.x, 0.01f);
  EXPECT_NEAR(door->GetPosition().z, rel.z, 0.01f);
  EXPECT_EQ(door->GetPosition().y, 0.0f);
  EXPECT_FLOAT_EQ(door->GetAbsoluteAngle(), angle);
  EXPECT_EQ(room_->DoneTop(), task);
}

TEST_F(OpeningTasksTest, AReleaseWithoutAWallPutsTheOpeningBackAndKeepsNothing) {
  Room();
  V foot;
  float angle = 0.0f;
  qxWallElement* top = WallAt(V(3500, 0, 1800), 900, foot, angle);
  ASSERT_NE(top, nullptr);
  zelvproElement* door = Seat(door_, top, foot, angle);
  const V position = door->GetPosition();
  const float own = door->GetAngle();
  const struct {
    const char* name;
    V to;
    bool ctrl;
  } kCases[] = {
      {"1200 from every face", V(3500, 0, 2700), false},
      {"Ctrl: no wall searched", V(3500, 0, 1700), true},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    if (c.ctrl) Key(plat::VK_CONTROL, true);
    zelvproDoorTask* task = PressOpening(door);
    ASSERT_NE(task, nullptr);
    MoveTo(Pixel(c.to));
    EXPECT_EQ(task->CurrentWall(), nullptr);
    Up(Pixel(c.to));
    if (c.ctrl) Key(plat::VK_CONTROL, false);
    EXPECT_EQ(door->GetSupervisor(), top->Edge().segment);
    EXPECT_EQ(Bits(position, door->GetPosition()), 0);
    EXPECT_EQ(door->GetAngle(), own);
    EXPECT_EQ(room_->DoneTop(), nullptr);
    EXPECT_EQ(top_->DoneTop(), nullptr);
  }
}

TEST_F(OpeningTasksTest, ShiftFixesTheAxisOnTheFirstMoveThatIsNotDiagonal) {
  Room();
  V foot;
  float angle = 0.0f;
  qxWallElement* top = WallAt(V(3500, 0, 1800), 900, foot, angle);
  zelvproElement* door = Seat(door_, top, foot, angle);
  Key(plat::VK_SHIFT, true);
  zelvproDoorTask* task = PressOpening(door);
  ASSERT_NE(task, nullptr);
  const plat::POINT start = task->StartPoint();
  MoveTo({start.x + 10, start.y + 10});
  EXPECT_FALSE(task->AxisLocked());
  EXPECT_EQ(task->Current().x, start.x + 10);
  MoveTo({start.x + 30, start.y + 15});
  EXPECT_TRUE(task->AxisLocked());
  EXPECT_EQ(task->Current().y, start.y);
  Key(plat::VK_SHIFT, false);
  Up({start.x + 30, start.y + 15});
}

TEST_F(OpeningTasksTest, AnAnchorOffTheFloorIsMarkedInRedAndTheReleaseIsRefused) {
  Room();
  V foot;
  float angle = 0.0f;
  qxWallElement* top = WallAt(V(3500, 0, 1800), 900, foot, angle);
  zelvproElement* door = Seat(door_, top, foot, angle);
  door->snapPoints.push_back(SnapAnchor{});
  door->snapPoints[0].code = 31;
  // A unit outside the room with a free anchor of the same code.
  zelvproElement* unit = Make(door_, top_.get());
  unit->SetPosition(V(6500, 0, 2000));
  unit->snapPoints.push_back(SnapAnchor{});
  unit->snapPoints[0].code = -31;  // anchors meet when their codes sum to 0
  const V before = door->GetPosition();
  const std::vector<uint32_t> clean = Pixels();
  zelvproDoorTask* task = PressOpening(door);
  ASSERT_NE(task, nullptr);
  MoveTo(Pixel(V(6700, 0, 2100)));
  EXPECT_EQ(task->CurrentWall(), nullptr);
  ASSERT_EQ(task->MarkerTarget(), unit);
  const plat::POINT m = task->MarkerPoint();
  EXPECT_EQ(m.x, 650);
  EXPECT_EQ(m.y, 200);
  // The marker's frame is drawn (its corner pixel changed) and erased.
  const std::vector<uint32_t> shown = Pixels();
  EXPECT_NE(shown[size_t(m.y - 3) * 800 + size_t(m.x - 3)], clean[size_t(m.y - 3) * 800 + size_t(m.x - 3)]);
  task->EraseFeedback(0, 0);
  EXPECT_EQ(Pixels(), clean);
  task->DrawFeedback(0, 0);
  Up(Pixel(V(6700, 0, 2100)));
  EXPECT_EQ(Bits(before, door->GetPosition()), 0);
  EXPECT_EQ(room_->DoneTop(), nullptr);
}

TEST_F(OpeningTasksTest, UndoPutsADoorBackOnItsFirstWallAndRedoOnTheSecond) {
  std::vector<qxRoomSegment*> walls = Room();
  V footA, footB;
  float angleA = 0.0f, angleB = 0.0f;
  qxWallElement* a = WallAt(V(3500, 0, 1800), 900, footA, angleA);
  qxWallElement* b = WallAt(V(5200, 0, 3000), 900, footB, angleB);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  ASSERT_NE(a->Edge().segment, b->Edge().segment);
  zelvproElement* door = Seat(door_, a, footA, angleA);
  const V position = door->GetPosition();
  const float own = door->GetAngle();
  zelvproDoorTask* task = PressOpening(door);
  ASSERT_NE(task, nullptr);
  MoveTo(Pixel(V(5200, 0, 3000)));
  Up(Pixel(V(5200, 0, 3000)));
  ASSERT_EQ(door->GetSupervisor(), b->Edge().segment);
  const V moved = door->GetPosition();
  const float movedAngle = door->GetAngle();
  EXPECT_NE(movedAngle, own);
  ASSERT_EQ(room_->DoneTop(), task);
  for (int32_t round = 0; round < 2; ++round) {
    room_->Undo();
    EXPECT_EQ(door->GetSupervisor(), a->Edge().segment);
    EXPECT_EQ(Bits(position, door->GetPosition()), 0);
    EXPECT_EQ(door->GetAngle(), own);
    if (round == 1) break;
    room_->Redo();
    EXPECT_EQ(door->GetSupervisor(), b->Edge().segment);
    EXPECT_EQ(Bits(moved, door->GetPosition()), 0);
    EXPECT_EQ(door->GetAngle(), movedAngle);
  }
}

TEST_F(OpeningTasksTest, ARelocatedRoomSeatsItsOpeningsAgainWithoutAnUndoEntry) {
  host_.documentWindow = eltest::OpenSweeperWindow("OpeningsDocumentWindow");
  // The room lies 200 too far left: the margin shifts it by 200 in x.
  for (size_t i = 0; i < kRoom.size(); ++i)
    MakeSegment(kRoom[i] - V(1125, 0, 0), kRoom[(i + 1) % kRoom.size()] - V(1125, 0, 0), room_.get());
  Rebuild();
  std::vector<zelvproElement*> openings;
  std::vector<qxWallElement*> walls;
  for (const V& p : {V(2000, 0, 1800), V(3000, 0, 4200), V(700, 0, 3000)}) {
    V foot;
    float angle = 0.0f;
    qxWallElement* wall = WallAt(p, 900, foot, angle);
    ASSERT_NE(wall, nullptr);
    openings.push_back(Seat(openings.size() == 2 ? window6_ : door_, wall, foot, angle));
    walls.push_back(wall);
  }
  const V offset = room_->KeepRoomInsideMargin();
  ASSERT_GT(offset.x, 0.0f);
  plat::HeadlessDriver::RunUntilIdle();
  for (size_t i = 0; i < openings.size(); ++i) {
    SCOPED_TRACE(i);
    // Seated: the floor finds its own foot point again, on the opening's segment.
    const V at = PlanPoint(openings[i], V());
    V foot;
    float angle = 0.0f;
    qxWallElement* wall = WallAt(at, 1.0f, foot, angle);
    ASSERT_NE(wall, nullptr);
    EXPECT_EQ(wall->Edge().segment, openings[i]->GetSupervisor());
    ExpectNear(at, foot, "on its face", 0.05f);
  }
  EXPECT_EQ(room_->DoneTop(), nullptr);
  EXPECT_EQ(top_->DoneTop(), nullptr);
}

TEST_F(OpeningTasksTest, ANewOpeningIsPlacedOnAWallOrDiesWithItsTask) {
  Room();
  V foot;
  float angle = 0.0f;
  qxWallElement* top = WallAt(V(3500, 0, 1800), 1200, foot, angle);
  ASSERT_NE(top, nullptr);
  qxRoomSegment* segment = top->Edge().segment;
  const int32_t children = top_->Subviews().Count();
  const int32_t onWall = segment->Subviews().Count();
  const auto drag = [&](int32_t item, const V& to) {
    zelvproElement* opening = Make(item, top_.get());
    opening->MoveTo(100, 500);
    ppTask* task = opening->CreateDraggerTask(new qxViewHolder(opening, nullptr, true), top_.get());
    EXPECT_NE(dynamic_cast<zelvproDoorDraggerTask*>(task), nullptr);
    Start(task, {100, 500});
    MoveTo(Pixel(to));
    Up(Pixel(to));
    return std::pair(opening, task);
  };
  // Far from every wall: nothing stays, nothing is posted.
  drag(window6_, V(3500, 0, 3000));
  EXPECT_EQ(top_->Subviews().Count(), children);
  EXPECT_EQ(segment->Subviews().Count(), onWall);
  EXPECT_EQ(top_->DoneTop(), nullptr);

  auto [window, task] = drag(window6_, V(3500, 0, 1800));
  EXPECT_EQ(window->GetSupervisor(), segment);
  EXPECT_TRUE(window->IsSelected());
  EXPECT_EQ(top_->DoneTop(), task);
  EXPECT_EQ(top_->Subviews().Count(), children);
  top_->Undo();
  EXPECT_EQ(window->GetSupervisor(), nullptr);
  top_->Redo();
  EXPECT_EQ(window->GetSupervisor(), segment);
  // Undone and then dropped from the redo stack: the task frees the window (LSan sees a leak else).
  top_->Undo();
  top_->Post(new ppTask);
  EXPECT_EQ(top_->Subviews().Count(), children);
}

// ---- Wall pieces and configurable units.

class PieceTasksTest : public OpeningTasksTest {
 protected:
  // A 2000 by 200 piece at `at` with anchors of `code` at the middle of its ends (anchors meet when
  // their codes sum to 0).
  zelvproWall* MakePiece(ppView* parent, const V& at, int32_t code = 999999) {
    ppDatafile& module = doc_->RoomTable();
    char* r = module.GetRecordBuffer();
    module.ClearRecordBuffer(r);
    RecordField(module, "type").SetLong(r, 9);
    RecordField(module, "database").SetLong(r, db_->Identifier());
    RecordField(module, "xposition").SetDouble(r, at.x);
    RecordField(module, "zposition").SetDouble(r, at.z);
    RecordField(module, "wallThickness").SetDouble(r, 200.0);
    RecordField(module, "height").SetDouble(r, 2400.0);
    const std::vector<float> points = {0, 0, 2000, 0, 2000, 200, 0, 200};
    Put(RecordField(module, "points").Data(r), points.data(), points.size() * 4);
    std::vector<int32_t> words;
    for (const float x : {0.0f, 2000.0f}) {
      const float zero = 0.0f, z = 100.0f;
      int32_t w[9] = {code, 0, 0, 0, 0, 0, 0, 0, 0};
      std::memcpy(&w[1], &x, 4), std::memcpy(&w[2], &zero, 4), std::memcpy(&w[3], &z, 4);
      words.insert(words.end(), w, w + 9);
    }
    Put(RecordField(module, "snappoints").Data(r), words.data(), words.size() * 4);
    auto* piece = new zelvproWall(parent, module, false);
    plat::HeadlessDriver::RunUntilIdle();
    return piece;
  }
  static void Put(Handle blob, const void* data, size_t size) {
    MemSetSize(blob, uint32_t(size));
    std::memcpy(*blob, data, size);
  }
  static V Anchor(const zelvproElement& e, int32_t i) { return PlanPoint(&e, e.snapPoints[size_t(i)].point); }
  template <typename Task>
  Task* PressPiece(zelvproElement* piece, plat::POINT at) {
    auto* task = dynamic_cast<Task*>(
        piece->CreateMoverTask(new qxViewHolder(piece, nullptr, true), top_.get(), nullptr));
    if (task != nullptr) Start(task, at);
    return task;
  }
};

TEST_F(PieceTasksTest, APieceSnapsItsAnchorOntoAnotherAndTakesItsDirection) {
  zelvproWall* target = MakePiece(top_.get(), V(1000, 0, 1000), -999999);
  target->StoreAngle(0.5f);
  zelvproWall* piece = MakePiece(top_.get(), V(1000, 0, 4000));
  const std::vector<uint32_t> clean = Pixels();
  auto* task = PressPiece<zelvproWallTask>(piece, Pixel(Anchor(*piece, 0)));
  ASSERT_NE(task, nullptr);
  // Near the target's far anchor.
  const V goal = Anchor(*target, 1);
  MoveTo(Pixel(goal + V(120, 0, 60)));
  ASSERT_EQ(task->SnapTarget(), target);
  task->EraseFeedback(0, 0);
  EXPECT_EQ(Pixels(), clean);
  task->DrawFeedback(0, 0);
  Up(Pixel(goal + V(120, 0, 60)));
  ExpectNear(Anchor(*piece, 0), goal, "the anchors coincide");
  EXPECT_NEAR(piece->GetAbsoluteAngle(),
              0.5f + target->snapPoints[1].direction - piece->snapPoints[0].direction, 1e-5f);
  EXPECT_EQ(top_->DoneTop(), task);
  top_->Undo();
  ExpectNear(piece->GetPosition(), V(1000, 0, 4000), "undone");
  EXPECT_EQ(piece->GetAngle(), 0.0f);

  // With Ctrl the piece moves by the plain pointer offset.
  Key(plat::VK_CONTROL, true);
  task = PressPiece<zelvproWallTask>(piece, {200, 400});
  MoveTo(Pixel(goal + V(120, 0, 60)));
  EXPECT_EQ(task->SnapTarget(), nullptr);
  const plat::POINT to = Pixel(goal + V(120, 0, 60));
  Up(to);
  Key(plat::VK_CONTROL, false);
  ExpectNear(piece->GetPosition(), V(1000 + (to.x - 200) * 10.0f, 0, 4000 + (to.y - 400) * 10.0f), "plain");
}

TEST_F(PieceTasksTest, ADoorInThePieceChainTakesAKindTwoTargetAsItsWallLink) {
  zelvproWall* target = MakePiece(top_.get(), V(1000, 0, 1000), -999999);
  target->kind = 2;
  auto* door = dynamic_cast<zelvproDoor*>(Make(door_, top_.get()));
  ASSERT_NE(door, nullptr);
  door->SetPosition(V(1000, 0, 4000));
  door->snapPoints.push_back(SnapAnchor{});
  door->snapPoints[0].code = 999999;
  auto* task = dynamic_cast<zelvproWallTask*>(
      iElementTaskFactory::Current().NewWallTask(new qxViewHolder(door, nullptr, true), top_.get()));
  ASSERT_NE(task, nullptr);
  Start(task, Pixel(V(1000, 0, 4000)));
  MoveTo(Pixel(Anchor(*target, 0) + V(50, 0, 50)));
  ASSERT_EQ(task->SnapTarget(), target);
  Up(Pixel(Anchor(*target, 0) + V(50, 0, 50)));
  EXPECT_EQ(door->wallLink, target);
}

TEST_F(PieceTasksTest, ANewPieceReleasedOutsideTheCanvasLeavesNothing) {
  // The canvas sits in a smaller frame, so that a release can lie outside it.
  auto* frame = new ppView(window_);
  frame->SetFrame(Rect(0, 0, 400, 300));
  top_->DetachFromSupervisor();
  frame->AddSubview(top_.get());
  const int32_t children = top_->Subviews().Count();
  zelvproWall* piece = MakePiece(top_.get(), V(1000, 0, 1000));
  auto* task = dynamic_cast<zelvproWallDraggerTask*>(
      piece->CreateDraggerTask(new qxViewHolder(piece, nullptr, true), top_.get()));
  ASSERT_NE(task, nullptr);
  Start(task, {110, 110});
  MoveTo({600, 500});
  Up({600, 500});
  EXPECT_EQ(top_->Subviews().Count(), children);
  EXPECT_EQ(top_->DoneTop(), nullptr);
  top_->DetachFromSupervisor();
  window_->AddSubview(top_.get());
  delete frame;
}

TEST_F(PieceTasksTest, AConfigurableUnitReleasedWhereItCollidesComesBack) {
  zelvproElement* other = Make(door_, top_.get());
  other->SetPosition(V(1500, 0, 1500));
  zelvproElement* unit = Make(door_, top_.get());
  unit->SetPosition(V(3000, 0, 1500));
  auto* task = dynamic_cast<zelvproConfigTask*>(
      iElementTaskFactory::Current().NewConfigTask(new qxViewHolder(unit, nullptr, true), top_.get(), unit));
  ASSERT_NE(task, nullptr);
  Key(plat::VK_CONTROL, true);
  Start(task, {300, 150});
  MoveTo({150, 150});  // exactly onto the other unit: the canvas's collision
  Up({150, 150});
  Key(plat::VK_CONTROL, false);
  EXPECT_EQ(unit->GetSupervisor(), top_.get());
  ExpectNear(unit->GetPosition(), V(3000, 0, 1500), "back");
  EXPECT_EQ(top_->DoneTop(), nullptr);
}

// ---- Accessories.

TEST_F(PieceTasksTest, AnAccessoryGoesOntoAUnitThatListsIt) {
  const int32_t handle = AddItem(10, 100, 20);
  const int32_t takes = AddItem(12, 600, 600, {handle, 4});
  const int32_t refuses = AddItem(12, 600, 600, {handle, 0});
  zelvproElement* cabinet = Make(takes, top_.get());
  cabinet->SetPosition(V(1000, 0, 1000));
  zelvproElement* plain = Make(refuses, top_.get());
  plain->SetPosition(V(3000, 0, 1000));
  const auto drag = [&](plat::POINT to) {
    zelvproElement* accessory = Make(handle, top_.get());
    ppTask* task = iElementTaskFactory::Current().NewAccessoryTask(top_.get(), accessory);
    auto* placing = dynamic_cast<zelvproAccessoryTask*>(task);
    EXPECT_NE(placing, nullptr);
    Start(task, {50, 50});
    MoveTo({to.x, to.y + 1});
    const int32_t cursor = placing->TrackCursor();
    MoveTo(to);
    Up(to);
    return std::tuple(accessory, task, cursor);
  };
  const int32_t children = top_->Subviews().Count();
  const int32_t marks = host_.modifiedMarks;
  [[maybe_unused]] auto [refused, gone, overPlain] = drag({330, 130});
  EXPECT_EQ(overPlain, zelvproAccessoryTask::kNoHostCursor);
  EXPECT_EQ(top_->DoneTop(), nullptr);
  [[maybe_unused]] auto [nothing, gone2, overFloor] = drag({600, 500});
  EXPECT_EQ(overFloor, zelvproAccessoryTask::kNoHostCursor);
  EXPECT_EQ(top_->Subviews().Count(), children);
  EXPECT_EQ(top_->DoneTop(), nullptr);
  EXPECT_EQ(host_.modifiedMarks, marks) << "nothing placed, nothing changed";

  auto [accessory, task, overHost] = drag({130, 130});
  EXPECT_EQ(overHost, zelvproAccessoryTask::kHostCursor);
  EXPECT_EQ(accessory->GetSupervisor(), cabinet);
  EXPECT_EQ(top_->DoneTop(), task);
  EXPECT_EQ(host_.modifiedMarks, marks + 1);
  top_->Undo();
  EXPECT_EQ(accessory->GetSupervisor(), nullptr);
  EXPECT_EQ(host_.modifiedMarks, marks + 2);
  top_->Redo();
  EXPECT_EQ(accessory->GetSupervisor(), cabinet);
  EXPECT_EQ(host_.modifiedMarks, marks + 3);
  // Undone and dropped from the redo stack: the task frees the accessory.
  top_->Undo();
  top_->Post(new ppTask);
  EXPECT_EQ(top_->Subviews().Count(), children);
}

// ---- Elements destroyed elsewhere while a step keeps them.

// Destroyed as a room that is replaced by another shape destroys its walls: off the plan, then
// deleted. The sanitizers report a second delete or a later touch of the freed element.
void DestroyInPlan(ppView* element) {
  element->DetachFromSupervisor();
  delete element;
}

TEST_F(OpeningTasksTest, AReplacedRoomTakesTheDropsOfItsOpeningsOffTheHistory) {
  const auto drop = [&](const V& to) {
    zelvproElement* opening = Make(window6_, top_.get());
    opening->MoveTo(100, 500);
    ppTask* task = opening->CreateDraggerTask(new qxViewHolder(opening, nullptr, true), top_.get());
    Start(task, {100, 500});
    MoveTo(Pixel(to));
    Up(Pixel(to));
    return std::pair(opening, task);
  };
  const auto replaceRoom = [&] {
    while (room_->Subviews().Count() > 0) DestroyInPlan(room_->Subviews().At(room_->Subviews().Count() - 1));
    room_->ClearRoom();
    Room();
  };
  // Standing on its wall, the window goes with the room; Undo and Redo pass it by.
  Room();
  auto [standing, task] = drop(V(3500, 0, 1800));
  ASSERT_NE(standing->GetSupervisor(), nullptr);
  ASSERT_EQ(top_->DoneTop(), task);
  replaceRoom();
  EXPECT_EQ(top_->DoneTop(), nullptr);
  top_->Undo();
  top_->Redo();
  // Undone, the window is its drop's: the wall it would go back onto destroyed, the drop goes and
  // frees it (LSan reports it otherwise).
  auto [undone, second] = drop(V(3500, 0, 1800));
  ASSERT_EQ(top_->DoneTop(), second);
  top_->Undo();
  ASSERT_EQ(undone->GetSupervisor(), nullptr);
  replaceRoom();
  EXPECT_EQ(top_->RedoTop(), nullptr);
  top_->Redo();
  for (qxRoomSegment* wall : Segments()) EXPECT_EQ(wall->Subviews().Count(), 0);
}

TEST_F(PieceTasksTest, APieceDestroyedWhileItsDropStandsTakesTheDropOffTheHistory) {
  zelvproWall* piece = MakePiece(top_.get(), V(1000, 0, 1000));
  auto* task = dynamic_cast<zelvproWallDraggerTask*>(
      piece->CreateDraggerTask(new qxViewHolder(piece, nullptr, true), top_.get()));
  ASSERT_NE(task, nullptr);
  Start(task, {110, 110});
  MoveTo({300, 300});
  Up({300, 300});
  ASSERT_EQ(top_->DoneTop(), task);
  DestroyInPlan(piece);
  EXPECT_EQ(top_->DoneTop(), nullptr);
  top_->Undo();
  top_->Redo();
  EXPECT_EQ(top_->Subviews().Find(piece), -1);
}

TEST_F(PieceTasksTest, AnAccessoryDestroyedElsewhereIsFreedOnlyOnce) {
  const int32_t handle = AddItem(10, 100, 20);
  const int32_t takes = AddItem(12, 600, 600, {handle, 4});
  zelvproElement* cabinet = Make(takes, top_.get());
  cabinet->SetPosition(V(1000, 0, 1000));
  const auto put = [&] {
    zelvproElement* accessory = Make(handle, top_.get());
    ppTask* task = iElementTaskFactory::Current().NewAccessoryTask(top_.get(), accessory);
    Start(task, {50, 50});
    MoveTo({130, 131});
    MoveTo({130, 130});
    Up({130, 130});
    EXPECT_EQ(top_->DoneTop(), task);
    EXPECT_EQ(accessory->GetSupervisor(), cabinet);
    return std::pair(accessory, task);
  };
  // Taken off its unit and deleted (the room's rebuild does so with the walls' children).
  auto [first, placing] = put();
  DestroyInPlan(first);
  EXPECT_EQ(top_->DoneTop(), nullptr);
  top_->Undo();
  top_->Redo();
  EXPECT_EQ(cabinet->Subviews().Count(), 0);

  // Removed by its own undoable delete, whose task frees it when the history is cleared: the step
  // that put it on the unit goes without freeing it again.
  auto [second, putting] = put();
  auto* removal = new zelvproAccDeleteTask(cabinet, second);
  top_->Post(removal);
  removal->Do();
  ASSERT_EQ(second->GetSupervisor(), nullptr);
  top_->Clear();
  EXPECT_EQ(top_->DoneTop(), nullptr);

  // The unit destroyed while the delete stands: the delete can never put the accessory back and
  // frees it; the step that put it there goes too.
  auto [third, again] = put();
  auto* gone = new zelvproAccDeleteTask(cabinet, third);
  top_->Post(gone);
  gone->Do();
  DestroyInPlan(cabinet);
  EXPECT_EQ(top_->DoneTop(), nullptr);
  top_->Undo();
  top_->Redo();
}

}  // namespace
