// The 3D view's mover, dragger and colour task in the document window on the headless desktop with
// the real OSMesa pane: units with box bodies in the top canvas (so the collision test meets real
// faces), wall bodies in the room canvas, the mouse and the keys injected through the desktop, the
// layer clock, the pane's pixels and the plan's undo stack. Pane points are found by projecting plan
// points through the pane's camera.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "PaletteTestSupport.h"
#include "canvas/editor/zelvproEditor.h"
#include "canvas/editor/zelvproEditorScroller.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/tasks/PlanFrames.h"
#include "canvas/tasks/zelvproBasicMoverTask.h"
#include "canvas/tasks/NearUnitIndex.h"
#include "canvas/view3d/zelvpro3DCanvas.h"
#include "canvas/view3d/zelvpro3DColorTask.h"
#include "canvas/view3d/zelvpro3DDraggerTask.h"
#include "canvas/view3d/zelvpro3DMoverTask.h"
#include "canvas/window/zelvproEditorCanvas.h"
#include "canvas/window/zelvproWindow.h"
#include "catalogue/records/zelvproDocFil.h"
#include "catalogue/records/zelvproPosSheetFil.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/ElementKinds.h"
#include "elements/topview/CatalogReads.h"
#include "room/qxFloorElement.h"
#include "room/qxNewRoomCanvas.h"
#include "scene3d/context/ppShape3D.h"
#include "scene3d/gl/glContext.h"
#include "scene3d/panes/Shared3DContext.h"
#include "scene3d/panes/qx3DPicking.h"
#include "scene3d/gl/qxCamera.h"
#include "scene3d/panes/qxCameraRecords.h"
#include "scene3d/panes/zelvpro3DPane.h"

namespace {

using plat::POINT;
using plat::RECT;

ppShape3D Box(const ppVector3& size) {
  ppShape3D shape;
  const float x = size.x, y = size.y, z = size.z;
  const float faces[6][4][3] = {
      {{0, 0, 0}, {x, 0, 0}, {x, y, 0}, {0, y, 0}}, {{0, 0, z}, {0, y, z}, {x, y, z}, {x, 0, z}},
      {{0, 0, 0}, {0, y, 0}, {0, y, z}, {0, 0, z}}, {{x, 0, 0}, {x, 0, z}, {x, y, z}, {x, y, 0}},
      {{0, 0, 0}, {0, 0, z}, {x, 0, z}, {x, 0, 0}}, {{0, y, 0}, {x, y, 0}, {x, y, z}, {0, y, z}}};
  for (const auto& face : faces) {
    shape.Begin(9);
    for (const auto& p : face) shape.Vertex(p[0], p[1], p[2]);
    shape.End();
  }
  return shape;
}

// A unit whose body is a box from its position to its size, with an "XDim" property.
class BoxUnit : public zelvproElement {
 public:
  BoxUnit(ppView* parent, const ppVector3& at, const ppVector3& size, int32_t unitKind = 0,
          uint32_t flagWord = 0, zelvDatabase* db = nullptr)
      : zelvproElement(0, parent, eltest::Rect(0, 0, 4, 4), db, 0, 0) {
    position = at;
    dimensions = size;
    kind = unitKind;
    flags = flagWord;
    UnitLayer().faces = Box(size);
  }
  ppBounds3 GetBounds(intptr_t /*a*/, int32_t /*flags*/) override {
    ppBounds3 box;
    box.centre = ppVector3(dimensions.x / 2, dimensions.y / 2, dimensions.z / 2);
    box.half = box.centre;
    return box;
  }
  bool AcceptsChild(int32_t /*kind*/, zelvproElement* /*element*/) override { return acceptsChildren; }
  int32_t IndexOf(const Vcon::String& name) override { return name == "XDim" ? 0 : -1; }
  ppParameter GetValue(int32_t index) override {
    return index == 0 ? ppParameter(dimensions.x) : ppParameter();
  }
  void SetValue(int32_t index, const ppParameter& value) override {
    if (index != 0) return;
    dimensions.x = value.ToFloat();
    UnitLayer().faces = Box(dimensions);
  }
  void AddAnchor(int32_t code, const ppVector3& at, float direction = 0.0f) {
    SnapAnchor a;
    a.code = code, a.point = at, a.direction = direction;
    snapPoints.push_back(a);
  }
  bool acceptsChildren = false;
};

uint32_t Bits(float f) {
  uint32_t b;
  std::memcpy(&b, &f, 4);
  return b;
}

class View3DTaskTest : public palettetest::PaletteTest {
 protected:
  static constexpr float kPitch = -45.0f;  // degrees
  void SetUp() override {
    PaletteTest::SetUp();
    delete window_;
    window_ = nullptr;
    zelvpro3DPane::RegisterClass();
    qxCameraRecords::CopyPresets();
    qxCameraRecords::SetCurrent(0);
    SetLowestWallHeight(-1.0f);
    doc_ = std::make_unique<zelvproDocFil>(*db_);
    zelvproWindow::Parts parts;
    parts.application = application_.get();
    parts.catalogue = db_;
    parts.make3DCanvas = zelvpro3DCanvas::Maker(db_);
    document_ = new zelvproWindow(RECT{0, 0, 1000, 700}, std::move(parts));
    plat::HeadlessDriver::RunUntilIdle();
    top_ = document_->EditorCanvasView()->Editor()->EditorScroller()->TopCanvas();
    room_ = dynamic_cast<qxNewRoomCanvas*>(document_->NewRoomCanvas());
  }
  void TearDown() override {
    Key(plat::VK_SHIFT, false);
    Key(plat::VK_CONTROL, false);
    delete document_;
    document_ = nullptr;
    doc_.reset();
    Shared3DContext::Delete();
    SetLowestWallHeight(-1.0f);
    PaletteTest::TearDown();
  }
  // The 3D view shown, the camera fitted to the plan (the Home key).
  zelvpro3DCanvas* Show3D() {
    document_->ViewBar()->SelectViewByIndex(4);
    plat::HeadlessDriver::RunUntilIdle();
    auto* canvas = dynamic_cast<zelvpro3DCanvas*>(document_->Canvas3DView());
    canvas->KeyDown(static_cast<signed char>(36), 0);
    plat::HeadlessDriver::RunUntilIdle();
    // Looking down on the plan from above its front, so that tops of units are seen.
    qxCamera& camera = *qxCameraRecords::Current();
    camera.pitch = kPitch;
    camera.position = ppVector3(2000, 6000, 8000);
    pane_ = canvas->Pane();
    plat::GetWindowRect(pane_->GetHWND(), &paneRect_);
    return canvas;
  }
  // The pane point (client pixels) where the camera shows the plan point, and the screen point.
  POINT PaneAt(const ppVector3& plan) { return qx3DPicking::ProjectToWindow(*pane_, plan); }
  POINT Screen(POINT client) const { return POINT{client.x + paneRect_.left, client.y + paneRect_.top}; }
  // A task started by the canvas at the plan point `at` over `units` (the first one picked).
  zelvpro3DTask* Press(std::vector<zelvproElement*> units, const ppVector3& at, bool dragger = false) {
    zelvpro3DCanvas* canvas = dynamic_cast<zelvpro3DCanvas*>(document_->Canvas3DView());
    std::vector<i3DPaneElement*> selection;
    for (zelvproElement* e : units) selection.push_back(canvas->PaneElementFor(e));
    const POINT p = PaneAt(at);
    canvas->StartMoveTask(selection, selection.front(), p.x, p.y, dragger);
    auto* window = dynamic_cast<ppWindow*>(pane_->GetRootView());
    return window != nullptr ? dynamic_cast<zelvpro3DTask*>(window->MouseTask()) : nullptr;
  }
  void MoveOnPlan(const ppVector3& at) {
    plat::LayerClock::Advance(20);
    MoveTo(Screen(PaneAt(at)));
  }
  void Release(const ppVector3& at) { UpAfterClickTime(Screen(PaneAt(at))); }
  const ppTask* DoneTop() { return top_->DoneTop(); }
  std::vector<uint8_t> PanePixels() {
    glContext* context = Shared3DContext::Get();
    context->MakeCurrent(true);
    std::vector<uint8_t> out(size_t(pane_->FrameWidth()) * size_t(pane_->FrameHeight()) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, pane_->FrameWidth(), pane_->FrameHeight(), GL_RGBA, GL_UNSIGNED_BYTE, out.data());
    return out;
  }

  std::unique_ptr<zelvproDocFil> doc_;
  zelvproWindow* document_ = nullptr;
  zelvproTopCanvas* top_ = nullptr;
  qxNewRoomCanvas* room_ = nullptr;
  zelvpro3DPane* pane_ = nullptr;
  RECT paneRect_{};
};

// ---- Reference, Shift and the pane's edge.

TEST_F(View3DTaskTest, TheLowestUnitLeadsShiftWaitsOutADiagonalAndThePaneEdgeHoldsThePoint) {
  auto* a = new BoxUnit(top_, ppVector3(1000, 300, 1000), ppVector3(600, 720, 600));
  auto* b = new BoxUnit(top_, ppVector3(2000, 0, 1000), ppVector3(600, 720, 600));
  auto* c = new BoxUnit(top_, ppVector3(3000, 0, 1000), ppVector3(600, 720, 600));
  Show3D();
  zelvpro3DTask* task = Press({a, b, c}, ppVector3(1300, 0, 1300));
  ASSERT_NE(task, nullptr);
  EXPECT_EQ(task->Reference(), b);  // lower than a; c as low but later
  const POINT start = task->StartPoint();
  Key(plat::VK_SHIFT, true);
  MoveTo(Screen(POINT{start.x + 10, start.y + 10}));
  EXPECT_FALSE(task->AxisLocked());
  EXPECT_EQ(task->Current().y, start.y + 10);
  MoveTo(Screen(POINT{start.x + 30, start.y + 5}));
  EXPECT_TRUE(task->AxisLocked());
  EXPECT_EQ(task->Current().y, start.y);
  Key(plat::VK_SHIFT, false);
  // Outside the pane less one pixel the current point stays.
  const POINT inside = task->Current();
  MoveTo(Screen(POINT{pane_->FrameWidth() - 1, inside.y}));
  EXPECT_EQ(task->Current().x, inside.x);
  MoveTo(Screen(POINT{-20, inside.y}));
  EXPECT_EQ(task->Current().x, inside.x);
  UpAfterClickTime(Screen(task->Current()));
}

// ---- The ceiling.

TEST_F(View3DTaskTest, WithoutARoomAGroupStaysOnTheFloorUnderWallsItStaysBelowTheLowest) {
  auto* a = new BoxUnit(top_, ppVector3(1000, 0, 1000), ppVector3(600, 720, 600));
  auto* b = new BoxUnit(top_, ppVector3(1700, 0, 1000), ppVector3(600, 720, 600));
  auto* tall = new BoxUnit(top_, ppVector3(3000, 0, 3000), ppVector3(800, 2000, 800));
  Show3D();
  zelvpro3DTask* task = Press({a, b}, ppVector3(1300, 0, 1300));
  MoveOnPlan(ppVector3(1300, 0, 2300));
  EXPECT_EQ(task->Target().y, 0.0f);
  Release(ppVector3(1300, 0, 2300));
  ASSERT_EQ(DoneTop(), task);
  EXPECT_EQ(a->GetPosition().y, 0.0f);
  EXPECT_EQ(b->GetPosition().y, 0.0f);
  EXPECT_NEAR(b->GetPosition().x - a->GetPosition().x, 700.0f, 0.01f);

  // Walls 2500 high: on top of the 2000 mm unit the 720 mm unit would reach 2720.
  SetLowestWallHeight(2500.0f);
  task = Press({a}, a->GetPosition());  // the origin follows the mouse
  MoveOnPlan(ppVector3(3400, 2000, 3400));
  EXPECT_LE(task->Target().y, 1780.0f);
  EXPECT_GT(task->Target().y, 1000.0f);
  Release(ppVector3(3400, 2000, 3400));
  ASSERT_EQ(DoneTop(), task);
  EXPECT_LE(a->GetPosition().y, 1779.9f);
  EXPECT_GT(a->GetPosition().y, 1000.0f);
  (void)tall;
}

// ---- The anchor under the mouse.

// A unit standing on its 100 mm plinth: its anchor (its origin, above the floor) stays under the
// pixel the mouse took it from, at its own height. Before, the ray through that pixel was met with
// the floor, so the unit jumped back by the plinth's height times the view's slope and down onto the
// floor. A unit set on another's top comes down to its catalogue height over the floor.
TEST_F(View3DTaskTest, TheAnchorStaysUnderTheMouseAtItsHeightAndAUnitOffATopComesDownToItsPlinth) {
  auto* unit = new BoxUnit(top_, ppVector3(1000, 100, 1000), ppVector3(600, 720, 600));
  auto* lower = new BoxUnit(top_, ppVector3(3000, 0, 1000), ppVector3(600, 720, 600));
  auto* upper = new BoxUnit(top_, ppVector3(3100, 720.1f, 1100), ppVector3(400, 720, 400));
  upper->height = 100.0f;
  SetLowestWallHeight(2500.0f);
  Show3D();
  // Pressed on its front; the press itself puts it nowhere else.
  zelvpro3DTask* task = Press({unit}, ppVector3(1300, 460, 1600));
  ASSERT_NE(task, nullptr);
  EXPECT_EQ(task->FloorHeight(), 100.0f);
  ppVector3 at;
  zelvproElement* under = nullptr;
  ASSERT_TRUE(task->PlacementAt(task->StartPoint(), at, under));
  EXPECT_EQ(under, nullptr);
  EXPECT_NEAR(at.x, 1000.0f, 0.5f);
  EXPECT_EQ(at.y, 100.0f);
  EXPECT_NEAR(at.z, 1000.0f, 0.5f);
  // Along the pixel row: only x changes, and the anchor is drawn 40 pixels right of where it was.
  const ppVector3 before = qx3DPicking::WindowPosition(*pane_, unit->GetPosition());
  const POINT start = task->StartPoint();
  plat::LayerClock::Advance(20);
  MoveTo(Screen(POINT{start.x + 40, start.y}));
  const ppVector3 moved = task->Target();
  EXPECT_GT(moved.x, 1200.0f);
  EXPECT_EQ(moved.y, 100.0f);
  EXPECT_NEAR(moved.z, 1000.0f, 0.5f);
  const ppVector3 drawn = qx3DPicking::WindowPosition(*pane_, moved);
  EXPECT_NEAR(drawn.x - before.x, 40.0f, 0.01f);
  EXPECT_NEAR(drawn.y, before.y, 0.01f);
  UpAfterClickTime(Screen(POINT{start.x + 40, start.y}));
  ASSERT_EQ(DoneTop(), task);
  EXPECT_EQ(Bits(unit->GetPosition().x), Bits(moved.x));
  EXPECT_EQ(unit->GetPosition().y, 100.0f);
  EXPECT_NEAR(unit->GetPosition().z, 1000.0f, 0.5f);

  // Off the lower unit's top and over the floor in front of it: at 100 mm, not at 720.1.
  task = Press({upper}, ppVector3(3300, 1000, 1500));
  ASSERT_NE(task, nullptr);
  EXPECT_EQ(task->FloorHeight(), 100.0f);
  ASSERT_TRUE(task->PlacementAt(task->StartPoint(), at, under));
  EXPECT_EQ(under, lower);
  EXPECT_NEAR(at.y, 720.1f, 0.01f);
  plat::LayerClock::Advance(20);
  const POINT front = PaneAt(ppVector3(3300, 0, 2500));
  MoveTo(Screen(POINT{front.x, front.y}));
  EXPECT_EQ(task->Target().y, 100.0f);
  UpAfterClickTime(Screen(front));
  ASSERT_EQ(DoneTop(), task);
  EXPECT_EQ(upper->GetPosition().y, 100.0f);
}

// The near-unit index gives the collision test every unit within 50 mm of a moved one, from each
// side: a unit reaching a little into its neighbour from the left is found as well as one from the
// right, and one 60 mm off on either side is left out.
TEST_F(View3DTaskTest, TheNearUnitIndexFindsNeighboursWithinFiftyMillimetresOnEitherSide) {
  auto* neighbour = new BoxUnit(top_, ppVector3(6000, 0, 6000), ppVector3(600, 720, 600));
  struct Case {
    float x;  // the moved unit's left side; it is 600 wide
    bool near;
  } cases[] = {{5430, true}, {5360, true}, {5340, false},  // from the left: 30 mm in, 40 and 60 mm off
               {6570, true}, {6640, true}, {6660, false},  // from the right
               {6000, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    auto* moved = new BoxUnit(top_, ppVector3(c.x, 0, 6000), ppVector3(600, 720, 600));
    const NearUnitIndex index(*top_);
    const std::vector<zelvproElement*> near = index.Near({moved});
    EXPECT_EQ(std::count(near.begin(), near.end(), neighbour), c.near ? 1 : 0);
    delete moved;
  }
}

// ---- Snap, stretch and the per-position caches. M (kind 0xc, stretchable) snaps with its origin
// anchor onto T's anchor 1 mm right of T; the wall body W stands 400 mm further right.
class View3DStretchTest : public View3DTaskTest {
 protected:
  void SetUp() override {
    View3DTaskTest::SetUp();
    target_ = new BoxUnit(top_, ppVector3(1500, 0, 900), ppVector3(600, 720, 600));
    target_->AddAnchor(-5, ppVector3(601, 0, 0));
    wall_ = new BoxUnit(room_, ppVector3(2501, 0, 0), ppVector3(10, 2000, 3000), ElementKinds::kWallBody);
    wall_->pointA = ppVector3(2501, 0, 0);
    wall_->pointB = ppVector3(2501, 0, 3000);
    moved_ = new BoxUnit(top_, ppVector3(3000, 0, 2400), ppVector3(600, 720, 600), ElementKinds::kParametric,
                         zelvpro3DTask::kStretchToFit);
    moved_->AddAnchor(5, ppVector3(0, 0, 0));
    Show3D();
  }
  const ppVector3 kGrip{3300, 0, 2700};
  const ppVector3 kAtSnap{2400, 0, 1200};  // M's origin then 1 mm from T's anchor
  const ppVector3 kAway{3300, 0, 4000};
  BoxUnit *target_, *wall_, *moved_;
};

TEST_F(View3DStretchTest, AUnitBesideAWallBodyIsNarrowedTheAnswerIsKeptAndTheCommitUndoesBitForBit) {
  zelvpro3DTask* task = Press({moved_}, kGrip);
  MoveOnPlan(kAtSnap);
  ASSERT_EQ(task->SnapTarget(), target_);
  EXPECT_TRUE(task->PlacementOk());
  EXPECT_EQ(moved_->dimensions.x, 0.99f * 400.0f);
  EXPECT_EQ(moved_->GetPosition().x, 3000.0f);  // tracking leaves the place
  MoveOnPlan(kAway);
  EXPECT_EQ(task->SnapTarget(), nullptr);
  EXPECT_EQ(moved_->dimensions.x, 600.0f);
  // (Away from the anchor the floor drop there was tried.)
  const int32_t runs = task->CollisionRuns();
  MoveOnPlan(kAtSnap);
  EXPECT_EQ(task->CollisionRuns(), runs);  // the tried anchor's answer is reused
  EXPECT_EQ(moved_->dimensions.x, 0.99f * 400.0f);
  Release(kAtSnap);
  ASSERT_EQ(DoneTop(), task);
  const ppVector3 placed = moved_->GetPosition();
  const float width = moved_->dimensions.x;
  EXPECT_EQ(placed.x, 2101.0f);
  top_->DoCommand(zelvproCanvas::kUndo, 0);
  EXPECT_EQ(moved_->dimensions.x, 600.0f);
  EXPECT_EQ(moved_->GetPosition().x, 3000.0f);
  EXPECT_EQ(moved_->GetPosition().z, 2400.0f);
  top_->DoCommand(zelvproCanvas::kRedo, 0);
  EXPECT_EQ(Bits(moved_->dimensions.x), Bits(width));
  EXPECT_EQ(Bits(moved_->GetPosition().x), Bits(placed.x));
  EXPECT_EQ(Bits(moved_->GetPosition().z), Bits(placed.z));
}

// The same fit mirrored, with M's anchor 1 mm off its back line: the wall lies straight left of the
// snap point (direction pi) and M's origin a hair behind it (just past -pi). Both point the same
// way, so M is narrowed and moved off the wall along it.
TEST_F(View3DStretchTest, AWallStraightLeftOfTheSnapPointShiftsTheNarrowedUnitAcrossTheHalfTurn) {
  target_->SetPosition(ppVector3(3000, 0, 900));
  target_->snapPoints.clear();
  target_->AddAnchor(-5, ppVector3(-1, 0, 0));
  wall_->SetPosition(ppVector3(2589, 0, 0));
  wall_->pointA = ppVector3(2599, 0, 0), wall_->pointB = ppVector3(2599, 0, 3000);
  moved_->snapPoints.clear();
  moved_->AddAnchor(5, ppVector3(600, 0, 1));
  zelvpro3DTask* task = Press({moved_}, kGrip);
  const ppVector3 atSnap(2699, 0, 1198);  // M's anchor then at T's
  MoveOnPlan(atSnap);
  ASSERT_EQ(task->SnapTarget(), target_);
  EXPECT_TRUE(task->PlacementOk());
  EXPECT_EQ(moved_->dimensions.x, 0.99f * 400.0f);
  Release(atSnap);
  ASSERT_EQ(DoneTop(), task);
  EXPECT_GT(moved_->GetPosition().x, 2599.0f) << "moved off the wall, keeping its right side at the anchor";
}

TEST_F(View3DStretchTest, AUnitThatStillCollidesGetsItsWidthBackAndTheDropIsForbidden) {
  new BoxUnit(top_, ppVector3(2300, 0, 1000), ppVector3(50, 720, 50));  // inside the narrowed M too
  zelvpro3DTask* task = Press({moved_}, kGrip);
  MoveOnPlan(kAtSnap);
  ASSERT_EQ(task->SnapTarget(), target_);
  EXPECT_FALSE(task->PlacementOk());
  EXPECT_EQ(task->TrackCursor(), zelvpro3DTask::kBlockedCursor);
  EXPECT_EQ(moved_->dimensions.x, 600.0f);
  EXPECT_EQ(moved_->GetPosition().x, 3000.0f);
  Release(kAtSnap);
  EXPECT_EQ(DoneTop(), nullptr);
  EXPECT_EQ(moved_->GetPosition().x, 3000.0f);
}

TEST_F(View3DStretchTest, AWallBodyWithoutLengthGivesNoStretch) {
  wall_->pointB = wall_->pointA;
  zelvpro3DTask* task = Press({moved_}, kGrip);
  MoveOnPlan(kAtSnap);
  ASSERT_EQ(task->SnapTarget(), target_);
  EXPECT_FALSE(task->PlacementOk());
  EXPECT_EQ(moved_->dimensions.x, 600.0f);
  UpAfterClickTime(Screen(task->Current()));
}

TEST_F(View3DStretchTest, CtrlOnTheLastMoveDropsOnTheFloor) {
  // The wall body far off: M fits at the anchor and on the floor beside it.
  wall_->SetPosition(ppVector3(9000, 0, 0));
  wall_->pointA = ppVector3(9000, 0, 0), wall_->pointB = ppVector3(9000, 0, 3000);
  const ppVector3 beside(kAtSnap.x + 150, 0, kAtSnap.z);  // M's origin about 150 mm right of the anchor
  zelvpro3DTask* task = Press({moved_}, kGrip);
  MoveOnPlan(beside);
  ASSERT_EQ(task->SnapTarget(), target_);
  Key(plat::VK_CONTROL, true);
  MoveOnPlan(ppVector3(beside.x + 10, 0, beside.z));
  EXPECT_EQ(task->SnapTarget(), nullptr);
  Release(ppVector3(beside.x + 10, 0, beside.z));
  Key(plat::VK_CONTROL, false);
  ASSERT_EQ(DoneTop(), task);
  EXPECT_GT(moved_->GetPosition().x, 2150.0f);  // the floor placement, well right of the anchor (2101)
  EXPECT_EQ(moved_->GetSupervisor(), top_);
}

// ---- Re-parenting: Undo puts the unit back into its old container, Redo into the new one.

TEST_F(View3DTaskTest, ASnapIntoAnotherContainerUndoesIntoTheOldOneAndRedoesIntoTheNew) {
  // A group at the origin turned by 0.5; the search compares a member's anchor one level up.
  auto* group = new BoxUnit(top_, ppVector3(0, 0, 0), ppVector3(10, 10, 10));
  auto* inner = new BoxUnit(group, ppVector3(1500, 0, 900), ppVector3(600, 720, 600));
  inner->AddAnchor(-5, ppVector3(601, 0, 0));
  group->StoreAngle(0.5f);
  auto* moved = new BoxUnit(top_, ppVector3(3000, 0, 2400), ppVector3(600, 720, 600));
  moved->AddAnchor(5, ppVector3(0, 0, 0));
  new BoxUnit(top_, ppVector3(5000, 0, 5000), ppVector3(100, 100, 100));
  Show3D();
  ppVector3 searched(601, 0, 0);
  inner->LocalToWorld(searched);
  const int32_t index = top_->IndexOfSubview(moved);
  const ppVector3 position = moved->GetPosition();
  const float angle = moved->GetAngle();
  zelvpro3DTask* task = Press({moved}, ppVector3(3200, 0, 2600));
  const ppVector3 there(searched.x + 200, 0, searched.z + 200);
  MoveOnPlan(there);
  ASSERT_EQ(task->SnapTarget(), inner);
  // The trial placement went back: own container, own index.
  EXPECT_EQ(moved->GetSupervisor(), top_);
  EXPECT_EQ(top_->IndexOfSubview(moved), index);
  Release(there);
  ASSERT_EQ(DoneTop(), task);
  EXPECT_EQ(moved->GetSupervisor(), group);
  // Turned with the target: its absolute angle is the target's, not the group's twice.
  EXPECT_NEAR(moved->GetAbsoluteAngle(), inner->GetAbsoluteAngle(), 1e-6);
  const ppVector3 dropped = moved->GetPosition();
  const float droppedAngle = moved->GetAngle();
  top_->DoCommand(zelvproCanvas::kUndo, 0);
  EXPECT_EQ(moved->GetSupervisor(), top_);
  EXPECT_EQ(top_->IndexOfSubview(moved), index);
  EXPECT_EQ(Bits(moved->GetPosition().x), Bits(position.x));
  EXPECT_EQ(Bits(moved->GetPosition().z), Bits(position.z));
  EXPECT_EQ(Bits(moved->GetAngle()), Bits(angle));
  top_->DoCommand(zelvproCanvas::kRedo, 0);
  EXPECT_EQ(moved->GetSupervisor(), group);
  EXPECT_EQ(Bits(moved->GetPosition().x), Bits(dropped.x));
  EXPECT_EQ(Bits(moved->GetAngle()), Bits(droppedAngle));
}

// ---- The dragger.

TEST_F(View3DTaskTest, ADragReleasedOutsideThePaneFailsAndADropUndoesOutOfThePlan) {
  Show3D();
  auto* unit = new BoxUnit(top_, ppVector3(0, 0, 0), ppVector3(600, 720, 600));
  auto* chain = new qxViewHolder(unit, nullptr, true);
  ppTask* made = iElementTaskFactory::Current().New3DDraggerTask(chain, nullptr, 0);
  auto* task = dynamic_cast<zelvpro3DDraggerTask*>(made);
  ASSERT_NE(task, nullptr);
  // Pressed below the pane (the item strip) and released there: never entered.
  const POINT outside{pane_->FrameWidth() / 2, pane_->FrameHeight() + 40};
  task->StartWithElement(outside.x, outside.y, nullptr);
  MoveTo(Screen(POINT{outside.x + 10, outside.y}));
  UpAfterClickTime(Screen(POINT{outside.x + 10, outside.y}));
  EXPECT_EQ(DoneTop(), nullptr);
  EXPECT_EQ(top_->Subviews().Find(unit), -1);  // deleted (the sanitizers watch for twice)

  auto* fresh = new BoxUnit(top_, ppVector3(0, 0, 0), ppVector3(600, 720, 600));
  auto* dragger = dynamic_cast<zelvpro3DDraggerTask*>(
      iElementTaskFactory::Current().New3DDraggerTask(new qxViewHolder(fresh, nullptr, true), nullptr, 0));
  ASSERT_NE(dragger, nullptr);
  const POINT in = PaneAt(ppVector3(2000, 0, 2000));
  dragger->StartWithElement(in.x, in.y, nullptr);
  MoveOnPlan(ppVector3(2500, 0, 2500));
  Release(ppVector3(2500, 0, 2500));
  ASSERT_EQ(DoneTop(), dragger);
  EXPECT_EQ(fresh->GetSupervisor(), top_);
  const ppVector3 placed = fresh->GetPosition();
  top_->DoCommand(zelvproCanvas::kUndo, 0);
  EXPECT_EQ(fresh->GetSupervisor(), nullptr);
  top_->DoCommand(zelvproCanvas::kRedo, 0);
  EXPECT_EQ(fresh->GetSupervisor(), top_);
  EXPECT_EQ(Bits(fresh->GetPosition().x), Bits(placed.x));
}

TEST_F(View3DTaskTest, ADraggerRedoesIntoTheContainerTheDropChose) {
  SetLowestWallHeight(2500.0f);  // without walls every unit stays on the floor
  auto* shelf = new BoxUnit(top_, ppVector3(1000, 0, 1000), ppVector3(3000, 10, 3000));
  shelf->acceptsChildren = true;
  Show3D();
  auto* fresh = new BoxUnit(top_, ppVector3(0, 0, 0), ppVector3(300, 300, 300));
  auto* dragger = dynamic_cast<zelvpro3DDraggerTask*>(
      iElementTaskFactory::Current().New3DDraggerTask(new qxViewHolder(fresh, nullptr, true), nullptr, 0));
  const POINT in = PaneAt(ppVector3(2000, 10, 2000));
  dragger->StartWithElement(in.x, in.y, nullptr);
  MoveOnPlan(ppVector3(2200, 10, 2200));
  Release(ppVector3(2200, 10, 2200));
  ASSERT_EQ(DoneTop(), dragger);
  ASSERT_EQ(fresh->GetSupervisor(), shelf);
  top_->DoCommand(zelvproCanvas::kUndo, 0);
  EXPECT_EQ(fresh->GetSupervisor(), nullptr);
  top_->DoCommand(zelvproCanvas::kRedo, 0);
  EXPECT_EQ(fresh->GetSupervisor(), shelf);
}

TEST_F(View3DTaskTest, AUnitOrItsContainerDestroyedElsewhereTakesTheDropOffTheHistory) {
  SetLowestWallHeight(2500.0f);  // without walls every unit stays on the floor
  auto* shelf = new BoxUnit(top_, ppVector3(1000, 0, 1000), ppVector3(3000, 10, 3000));
  shelf->acceptsChildren = true;
  Show3D();
  // Destroyed as a plan that is replaced destroys its elements: off the plan, then deleted.
  const auto destroy = [](zelvproElement* e) {
    e->DetachFromSupervisor();
    delete e;
  };
  const auto drop = [&](zelvproElement* unit) {
    auto* dragger = dynamic_cast<zelvpro3DDraggerTask*>(
        iElementTaskFactory::Current().New3DDraggerTask(new qxViewHolder(unit, nullptr, true), nullptr, 0));
    const POINT in = PaneAt(ppVector3(2000, 10, 2000));
    dragger->StartWithElement(in.x, in.y, nullptr);
    MoveOnPlan(ppVector3(2200, 10, 2200));
    Release(ppVector3(2200, 10, 2200));
    return dragger;
  };
  // The dropped unit destroyed while its drop stands: freed once, and Undo and Redo pass it by.
  auto* unit = new BoxUnit(top_, ppVector3(0, 0, 0), ppVector3(300, 300, 300));
  ppTask* task = drop(unit);
  ASSERT_EQ(DoneTop(), task);
  ASSERT_EQ(unit->GetSupervisor(), shelf);
  destroy(unit);
  EXPECT_FALSE(top_->Holds(task));
  top_->DoCommand(zelvproCanvas::kUndo, 0);
  top_->DoCommand(zelvproCanvas::kRedo, 0);
  EXPECT_EQ(shelf->Subviews().Count(), 0);

  // The container a drop undone would go back into destroyed: the drop goes and frees its unit.
  auto* again = new BoxUnit(top_, ppVector3(0, 0, 0), ppVector3(300, 300, 300));
  task = drop(again);
  ASSERT_EQ(again->GetSupervisor(), shelf);
  top_->DoCommand(zelvproCanvas::kUndo, 0);
  ASSERT_EQ(top_->RedoTop(), task);
  destroy(shelf);
  EXPECT_EQ(top_->RedoTop(), nullptr);
  top_->DoCommand(zelvproCanvas::kRedo, 0);
  EXPECT_EQ(top_->Subviews().Find(again), -1) << "freed with its drop (the sanitizers watch for twice)";
}

// ---- The feedback.

TEST_F(View3DTaskTest, TheFeedbackWaitsSevenTicksAndPutsThePressPictureBackEachTime) {
  auto* unit = new BoxUnit(top_, ppVector3(1000, 0, 1000), ppVector3(600, 720, 600));
  Show3D();
  plat::InvalidateRect(pane_->GetHWND(), nullptr, 0);
  plat::HeadlessDriver::RunUntilIdle();
  zelvpro3DTask* task = Press({unit}, ppVector3(1300, 0, 1300));
  const std::vector<uint8_t> before = PanePixels();
  plat::LayerClock::Advance(100);  // 6 ticks
  MoveTo(Screen(PaneAt(ppVector3(1400, 0, 1400))));
  EXPECT_EQ(task->FeedbackDraws(), 0);
  plat::LayerClock::Advance(34);  // 8 ticks
  MoveTo(Screen(PaneAt(ppVector3(1450, 0, 1400))));
  EXPECT_EQ(task->FeedbackDraws(), 1);
  for (int i = 0; i < 10; ++i) MoveOnPlan(ppVector3(1500 + 200 * i, 0, 1500));
  EXPECT_GT(task->FeedbackDraws(), 0);
  const std::vector<uint8_t> after = PanePixels();
  // Away from the unit's last place (a box round its projected corners) nothing differs.
  int32_t minX = 1 << 20, maxX = -1, minY = 1 << 20, maxY = -1;
  for (float x : {3300.0f, 3900.0f})
    for (float y : {0.0f, 720.0f})
      for (float z : {1200.0f, 1800.0f}) {
        const POINT p = PaneAt(ppVector3(x, y, z));
        minX = std::min(minX, p.x), maxX = std::max(maxX, p.x), minY = std::min(minY, p.y),
        maxY = std::max(maxY, p.y);
      }
  const int32_t w = pane_->FrameWidth(), h = pane_->FrameHeight();
  int32_t differing = 0;
  for (int32_t row = 0; row < h; ++row)
    for (int32_t x = 0; x < w; ++x) {
      const int32_t y = h - 1 - row;
      if (x >= minX - 3 && x <= maxX + 3 && y >= minY - 3 && y <= maxY + 3) continue;
      const size_t i = (size_t(row) * size_t(w) + size_t(x)) * 4;
      if (std::memcmp(&before[i], &after[i], 3) != 0) ++differing;
    }
  EXPECT_EQ(differing, 0);
  UpAfterClickTime(Screen(task->Current()));
}

// ---- The colour task.

TEST_F(View3DTaskTest, AColourPaintsTheClickedUnitOrTheSelectionOnlyInItsCatalogue) {
  auto* a = new BoxUnit(top_, ppVector3(1000, 0, 1000), ppVector3(600, 720, 600), 0, 0, db_);
  auto* b = new BoxUnit(top_, ppVector3(2000, 0, 1000), ppVector3(600, 720, 600), 0, 0, db_);
  auto* foreign = new BoxUnit(top_, ppVector3(3000, 0, 1000), ppVector3(600, 720, 600));
  a->colorRecordId = added_.graphite, b->colorRecordId = added_.graphite;
  Show3D();
  b->Select(false);
  auto click = [&](const ppVector3& at) {
    ppTask* made = iElementTaskFactory::Current().New3DColorTask(added_.snow, db_, nullptr);
    auto* task = dynamic_cast<zelvpro3DColorTask*>(made);
    const POINT p = PaneAt(at);
    task->StartWithElement(p.x, p.y, nullptr);
    MoveTo(Screen(POINT{p.x + 1, p.y}));
    UpAfterClickTime(Screen(POINT{p.x + 1, p.y}));
    return task;
  };
  // a is not selected: only a, though b is.
  zelvpro3DColorTask* task = click(ppVector3(1300, 720, 1300));
  ASSERT_EQ(DoneTop(), task);
  EXPECT_EQ(a->colorRecordId, added_.snow);
  EXPECT_EQ(b->colorRecordId, added_.graphite);
  top_->DoCommand(zelvproCanvas::kUndo, 0);
  EXPECT_EQ(a->colorRecordId, added_.graphite);
  top_->DoCommand(zelvproCanvas::kRedo, 0);
  EXPECT_EQ(a->colorRecordId, added_.snow);
  // A selected unit paints the selection, but only its catalogue's units take the colour.
  foreign->Select(false);
  zelvpro3DColorTask* selected = click(ppVector3(2300, 720, 1300));
  ASSERT_EQ(DoneTop(), selected);
  EXPECT_EQ(b->colorRecordId, added_.snow);
  EXPECT_EQ(foreign->colorRecordId, 0);
  EXPECT_EQ(selected->Painted(), std::vector<zelvproElement*>{b});
  EXPECT_EQ(selected->PreviousColours(), std::vector<int32_t>{added_.graphite});
  foreign->Deselect(false);
  b->Deselect(false);
  // Another catalogue's unit takes nothing: no undo entry.
  const ppTask* before = DoneTop();
  click(ppVector3(3300, 720, 1300));
  EXPECT_EQ(DoneTop(), before);
  EXPECT_EQ(foreign->colorRecordId, 0);
  // Nothing under the click and nothing selected: no undo entry (and nothing left behind).
  top_->DeselectAll(false);
  click(ppVector3(8000, 0, 8000));
  EXPECT_EQ(DoneTop(), before);
}

TEST_F(View3DTaskTest, UndoOfAColourGivesEveryColourGroupOfEachPartItsOwnFinishBack) {
  // The demo's B30: its fronts are Snow, its handles Graphite; Midnight suits both.
  const int32_t b30 = palettetest::RecordNamed(db_->TopViewFile(), "Name", "B30");
  const int32_t midnight = palettetest::RecordNamed(db_->ColorCatalogFile(), "name", "Midnight");
  zelvproElement* unit = db_->TopViewFile().CreateElement(b30, RECT{0, 0, 4, 4}, top_);
  ASSERT_NE(unit, nullptr);
  unit->SetPosition(ppVector3(1000, 0, 1000));
  // The finish of every colour group of the unit and of each of its parts.
  std::function<void(zelvproElement*, std::vector<int32_t>&)> finishes = [&](zelvproElement* e,
                                                                             std::vector<int32_t>& out) {
    for (int32_t group = 1; group <= CatalogReads::ColourCodeCount(*db_); ++group)
      out.push_back(e->GetColorRecordId(group));
    ForEachChildElement(*e, [&](zelvproElement* child) { finishes(child, out); });
  };
  std::vector<int32_t> before, painted, undone, redone;
  finishes(unit, before);
  ASSERT_GT(std::count(before.begin(), before.end(), added_.graphite), 0) << "graphite handles";
  Show3D();
  unit->Select(false);
  ppTask* made = iElementTaskFactory::Current().New3DColorTask(midnight, db_, nullptr);
  auto* task = dynamic_cast<zelvpro3DColorTask*>(made);
  ASSERT_NE(task, nullptr);
  // A click on nothing paints the selection.
  const POINT p = PaneAt(ppVector3(8000, 0, 8000));
  task->StartWithElement(p.x, p.y, nullptr);
  UpAfterClickTime(Screen(POINT{p.x + 1, p.y}));
  ASSERT_EQ(DoneTop(), task);
  finishes(unit, painted);
  EXPECT_EQ(std::count(painted.begin(), painted.end(), added_.graphite), 0) << "the handles took Midnight";
  top_->DoCommand(zelvproCanvas::kUndo, 0);
  finishes(unit, undone);
  EXPECT_EQ(undone, before);
  top_->DoCommand(zelvproCanvas::kRedo, 0);
  finishes(unit, redone);
  EXPECT_EQ(redone, painted);
}

// ---- Through the pane: a press picks the unit, the pane starts the mover.

TEST_F(View3DTaskTest, APressOnAUnitInThePaneMovesItAndUndoPutsItBack) {
  zelvproElement* e =
      db_->TopViewFile().CreateElement(palettetest::RecordNamed(db_->TopViewFile(), "Name", "B40"),
                                       eltest::Rect(1000, 1000, 1600, 1600), top_);
  ASSERT_NE(e, nullptr);
  Show3D();
  const ppBounds3 box = ppBounds3::Transformed(PlanMatrix(e), e->GetBounds(0, 0x240));
  const ppVector3 top(box.centre.x, box.centre.y + box.half.y, box.centre.z);
  const ppVector3 before = e->GetPosition();
  plat::LayerClock::Advance(2000);
  Down(Screen(PaneAt(top)));
  auto* window = dynamic_cast<ppWindow*>(pane_->GetRootView());
  auto* task = dynamic_cast<zelvpro3DMoverTask*>(window->MouseTask());
  ASSERT_NE(task, nullptr);
  EXPECT_TRUE(e->IsSelected());
  EXPECT_EQ(task->Reference(), e);
  const ppVector3 there(top.x + 1500, top.y, top.z + 300);
  MoveOnPlan(ppVector3(top.x + 700, top.y, top.z + 100));
  MoveOnPlan(there);
  Release(there);
  ASSERT_EQ(DoneTop(), task);
  // The unit's anchor pixel follows the mouse: grabbed on its top, the floor step differs a little.
  EXPECT_NEAR(e->GetPosition().x - before.x, 1500.0f, 200.0f);
  EXPECT_NEAR(e->GetPosition().z - before.z, 300.0f, 200.0f);
  EXPECT_EQ(e->GetPosition().y, 0.0f);
  top_->DoCommand(zelvproCanvas::kUndo, 0);
  EXPECT_EQ(Bits(e->GetPosition().x), Bits(before.x));
  EXPECT_EQ(Bits(e->GetPosition().z), Bits(before.z));
}

// ---- Wall mode: parts hang in the cells of a grid container.

TEST_F(View3DTaskTest,
       APartDroppedOnAGridContainerHangsInTheChosenCellCtrlRefusesItAsShownAndAnInsetStandsOff) {
  // A container of 4 columns by 5 rows of 100 mm cells (sheet offset (30, 20)), 100 mm deep.
  const int32_t sheet = cattest::AddRecord(
      db_->PosSheetFile(),
      {{"xoffset", 30.0}, {"yoffset", 20.0}, {"xraster", 100.0}, {"yraster", 100.0}, {"zraster", 100.0}});
  zelvproTopViewElement* wall = Make(
      *db_, AddTopView(*db_, {{"flags", 0x80}, {"posSheet", sheet}, {"xpos", 4}, {"ypos", 5}, {"zpos", 1}}),
      top_);
  ASSERT_NE(wall, nullptr);
  auto shaped = [](zelvproElement* e, const ppVector3& at, const ppVector3& size) {
    e->SetPosition(at);
    e->GetBounds(0, 0x240);  // the catalogue's rebuild first, then the test's body
    e->dimensions = size;
    e->UnitLayer().faces = Box(size);
    e->changed = 0;
    e->boundsA.centre = e->boundsA.half = ppVector3(size.x / 2, size.y / 2, size.z / 2);
  };
  shaped(wall, ppVector3(1000, 0, 500), ppVector3(460, 540, 160));
  auto part = [&](uint32_t flagWord, float x) {
    zelvproTopViewElement* p = Make(
        *db_,
        AddTopView(
            *db_, {{"positioning", 10}, {"flags", int32_t(flagWord)}, {"xpos", 1}, {"ypos", 1}, {"zpos", 1}}),
        top_);
    shaped(p, ppVector3(x, 0, 3000), ppVector3(100, 100, 100));
    return p;
  };
  zelvproTopViewElement* plain = part(zelvpro3DTask::kWallMounted, 2500);
  plain->StoreAngle(0.7f);  // hangs unturned all the same
  zelvproTopViewElement* inset = part(zelvpro3DTask::kWallMounted | zelvpro3DTask::kInsetSide, 3500);
  Show3D();
  // The front face of the container at column 1, row 2.
  const ppVector3 face(1000 + 30 + 150, 20 + 250, 660);
  // Ctrl held over the wall lets the wall go: the tracking shows the refusal the release then makes.
  {
    const ppVector3 was = plain->GetPosition();
    const ppView* parent = plain->GetSupervisor();
    zelvpro3DTask* task = Press({plain}, was);
    ASSERT_NE(task, nullptr);
    MoveOnPlan(ppVector3(face.x - 30, face.y, face.z));
    ASSERT_EQ(task->SnapTarget(), wall);
    EXPECT_TRUE(task->PlacementOk());
    Key(plat::VK_CONTROL, true);
    MoveOnPlan(face);
    EXPECT_EQ(task->SnapTarget(), nullptr);
    EXPECT_FALSE(task->PlacementOk()) << "shown as placeable where the release is refused";
    EXPECT_EQ(task->TrackCursor(), zelvpro3DTask::kBlockedCursor);
    Release(face);
    Key(plat::VK_CONTROL, false);
    EXPECT_EQ(DoneTop(), nullptr) << "the refused drop is on the history";
    EXPECT_EQ(plain->GetSupervisor(), parent);
    EXPECT_EQ(plain->GetPosition().x, was.x);
    EXPECT_EQ(plain->GetPosition().z, was.z);
  }
  std::vector<ppVector3> dropped;
  for (zelvproTopViewElement* p : {plain, inset}) {
    zelvpro3DTask* task = Press({p}, p->GetPosition());
    ASSERT_NE(task, nullptr);
    EXPECT_TRUE(task->WallMode());
    MoveOnPlan(ppVector3(face.x - 30, face.y, face.z));
    MoveOnPlan(face);
    ASSERT_EQ(task->SnapTarget(), wall);
    const int32_t cell[3] = {task->WallAttach()[0], task->WallAttach()[1], task->WallAttach()[2]};
    Release(face);
    ASSERT_EQ(DoneTop(), task);
    EXPECT_EQ(p->GetSupervisor(), wall);
    EXPECT_EQ(p->GetAngle(), 0.0f);
    EXPECT_EQ(p->cellX, cell[0]);
    EXPECT_EQ(p->cellY, cell[1]);
    EXPECT_EQ(cell[0], 1);
    EXPECT_EQ(cell[1], 2);
    EXPECT_FLOAT_EQ(p->GetPosition().x, cell[0] * 100.0f + 30.0f);
    EXPECT_FLOAT_EQ(p->GetPosition().y, cell[1] * 100.0f + 20.0f);
    dropped.push_back(p->GetPosition());
    EXPECT_EQ(cell[2], 0);
  }
  EXPECT_FLOAT_EQ(dropped[1].z - dropped[0].z, wall->GetDepth());
}

}  // namespace
