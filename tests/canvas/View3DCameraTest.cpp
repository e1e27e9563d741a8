// The 3D view as a user steers it, on the headless desktop with the real OSMesa pane, by presses on
// the pane, its sliders and its buttons: a plain press on a unit leaves it the only one selected
// (Shift still adds), the home button ends Zoom to Object, and the sliders orbit the eye at the
// distance it stands from the room's centre after Home, a key move or an earlier press. Plan
// millimetres; screen pixels.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "PaletteTestSupport.h"
#include "canvas/editor/zelvproEditor.h"
#include "canvas/editor/zelvproEditorScroller.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/view3d/zelvpro3DCanvas.h"
#include "canvas/view3d/zelvproButtonSlider.h"
#include "canvas/view3d/zelvproSliderButton.h"
#include "canvas/view3d/zelvproViewPointButton.h"
#include "canvas/window/zelvproEditorCanvas.h"
#include "canvas/window/zelvproWindow.h"
#include "catalogue/records/zelvproDocFil.h"
#include "database/ScopedRecordBuffer.h"
#include "framework/ppButton.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"
#include "scene3d/panes/Shared3DContext.h"
#include "scene3d/panes/qx3DPicking.h"
#include "scene3d/panes/qxCameraRecords.h"
#include "scene3d/panes/zelvpro3DPane.h"

namespace {

class View3DCameraTest : public palettetest::PaletteTest {
 protected:
  void SetUp() override {
    PaletteTest::SetUp();
    delete window_;
    window_ = nullptr;
    zelvpro3DPane::RegisterClass();
    qxCameraRecords::CopyPresets();
    qxCameraRecords::SetCurrent(0);
    doc_ = std::make_unique<zelvproDocFil>(*db_);
    zelvproWindow::Parts parts;
    parts.application = application_.get();
    parts.catalogue = db_;
    parts.make3DCanvas = zelvpro3DCanvas::Maker(db_);
    document_ = new zelvproWindow(plat::RECT{0, 0, 1000, 700}, std::move(parts));
    plat::HeadlessDriver::RunUntilIdle();
    BuildRoom();
  }
  void TearDown() override {
    delete document_;
    document_ = nullptr;
    doc_.reset();
    Shared3DContext::Delete();
    PaletteTest::TearDown();
  }

  // Four walls 150 thick and 2350 high round the plan rectangle 1000..5000 by 1000..4500: the inner
  // faces stand at 1075 and 4925 (x), 1075 and 4425 (z).
  void BuildRoom() {
    qxNewRoomCanvas* room = document_->EditorCanvasView()->Editor()->EditorScroller()->NewRoomCanvas();
    zelvproTopViewFil& file = db_->TopViewFile();
    ScopedRecordBuffer<ppDatafile> record(file);
    const ppVector3 corners[4] = {{1000, 0, 1000}, {5000, 0, 1000}, {5000, 0, 4500}, {1000, 0, 4500}};
    for (int32_t i = 0; i < 4; ++i) {
      auto* wall = new qxRoomSegment(0, room, plat::RECT{0, 0, 0, 0}, record.Get(), file.ShapeFile());
      wall->SetThickness(150);
      wall->SetHeight(2350);
      wall->SetEnds(corners[i], corners[(i + 1) % 4]);
    }
    room->DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
    plat::HeadlessDriver::RunUntilIdle();
  }
  // A 400 wide base unit against the back wall from plan x `x`, not selected.
  zelvproElement* Unit(int32_t x) {
    zelvproTopCanvas* top = document_->EditorCanvasView()->Editor()->EditorScroller()->TopCanvas();
    zelvproElement* e =
        db_->TopViewFile().CreateElement(palettetest::RecordNamed(db_->TopViewFile(), "Name", "B40"),
                                         eltest::Rect(x, 1075, x + 400, 1675), top);
    if (e == nullptr) return nullptr;
    e->SetPosition(ppVector3(float(x), e->HeightAboveFloor(), 1075.1f));
    e->Deselect(false);
    return e;
  }
  zelvpro3DCanvas* Show3D() {
    document_->ViewBar()->SelectViewByIndex(4);
    plat::HeadlessDriver::RunUntilIdle();
    return dynamic_cast<zelvpro3DCanvas*>(document_->Canvas3DView());
  }

  // The screen point of the middle of a view, and of a plan point as the pane shows it.
  static plat::POINT Middle(ppView& view) {
    plat::RECT r;
    view.GetWindowFrame(&r);
    plat::POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    plat::ClientToScreen(view.GetHWND(), &p);
    return p;
  }
  static plat::POINT Shown(zelvpro3DPane& pane, const ppVector3& plan) {
    plat::POINT p = qx3DPicking::ProjectToWindow(pane, plan);
    plat::ClientToScreen(pane.GetHWND(), &p);
    return p;
  }
  // The middle of a unit's front, where a user presses it.
  static ppVector3 Front(zelvproElement* unit) {
    ppVector3 at;
    unit->GetAbsolutePosition(at);
    return ppVector3(at.x + 200.0f, 400.0f, at.z + 560.0f);
  }
  // A short click, well apart from the one before (never a double click): released before the
  // press is handled, as a button's press loop needs it.
  void Press(plat::POINT p, int32_t modifier = 0) {
    plat::LayerClock::Advance(2000);
    if (modifier != 0) Key(modifier, true);
    plat::Desktop::MouseButton(plat::VK_LBUTTON, true, p);
    plat::Desktop::MouseButton(plat::VK_LBUTTON, false, p);
    plat::HeadlessDriver::RunUntilIdle();
    if (modifier != 0) Key(modifier, false);
  }
  static bool Selected(zelvproElement* e) { return e->IsSelected(); }

  // The eye's distance from the middle of what the view shows, millimetres.
  static float EyeDistance(zelvpro3DCanvas& canvas) {
    return (qxCameraRecords::Current()->position - canvas.CanvasBounds(1.0f).centre).Length();
  }

  std::unique_ptr<zelvproDocFil> doc_;
  zelvproWindow* document_ = nullptr;
};

// Clicking one unit and then pressing another leaves only the pressed one selected, so the move that
// the press starts carries it alone; Shift adds a unit, and a press on a unit of a selection keeps the
// whole selection, so several still move together.
TEST_F(View3DCameraTest, APlainPressSelectsThePressedUnitAloneAndShiftAddsOne) {
  zelvproElement* left = Unit(1500);
  zelvproElement* right = Unit(3500);
  ASSERT_TRUE(left != nullptr && right != nullptr);
  zelvpro3DCanvas* canvas = Show3D();
  canvas->KeyDown(static_cast<signed char>(plat::VK_HOME), 0);
  plat::HeadlessDriver::RunUntilIdle();
  zelvpro3DPane& pane = *canvas->Pane();
  const plat::POINT a = Shown(pane, Front(left)), b = Shown(pane, Front(right));

  Press(a);
  ASSERT_TRUE(Selected(left));
  ASSERT_FALSE(Selected(right));
  Press(b);
  EXPECT_TRUE(Selected(right));
  EXPECT_FALSE(Selected(left)) << "the unit clicked before stays selected";
  EXPECT_EQ(document_->Selection().size(), 1u);

  Press(a, plat::VK_SHIFT);
  EXPECT_TRUE(Selected(left) && Selected(right));
  Press(b);
  EXPECT_TRUE(Selected(left) && Selected(right)) << "a press on a selected unit keeps the selection";
  Press(b, plat::VK_SHIFT);
  EXPECT_TRUE(Selected(left));
  EXPECT_FALSE(Selected(right));
}

// Zoom to Object pressed with nothing selected, then the home button: the mode ends and its button
// comes up, so the next press on a unit selects it instead of zooming the camera onto it.
TEST_F(View3DCameraTest, TheHomeButtonEndsZoomToObject) {
  zelvproElement* unit = Unit(2800);
  ASSERT_NE(unit, nullptr);
  zelvpro3DCanvas* canvas = Show3D();
  Press(Middle(*canvas->ZoomModeButton()));
  ASSERT_TRUE(canvas->ZoomToObject());
  ASSERT_EQ(canvas->ZoomModeButton()->GetState(), 1);

  Press(Middle(*canvas->ViewPointButton()));
  EXPECT_FALSE(canvas->ZoomToObject());
  EXPECT_EQ(canvas->ZoomModeButton()->GetState(), 0);
  EXPECT_FALSE(document_->ToolModeActive());

  const qxCamera home = *qxCameraRecords::Current();
  Press(Shown(*canvas->Pane(), Front(unit)));
  EXPECT_TRUE(Selected(unit));
  EXPECT_EQ(qxCameraRecords::Current()->position, home.position) << "the press zoomed the camera";
  EXPECT_EQ(qxCameraRecords::Current()->pitch, home.pitch);
}

// After Home the eye stands where the fit put it; the first turn, tilt or step of a slider keeps that
// distance from the room's centre (the forward step shortens it by one fiftieth, as the distance
// slider's 250 to 245 says), and so does a turn after the arrow keys moved the eye. The forward
// button is the distance slider's left one; at Home the eye is as far back as the slider goes.
TEST_F(View3DCameraTest, TurnsAfterHomeKeepTheEyesDistanceFromTheCentre) {
  ASSERT_NE(Unit(2800), nullptr);
  zelvpro3DCanvas* canvas = Show3D();
  Press(Middle(*canvas->ViewPointButton()));
  const float home = EyeDistance(*canvas);
  ASSERT_GT(home, 1000.0f);

  Press(Middle(*canvas->RotationSlider()->IncreaseButton()));
  EXPECT_EQ(canvas->RotationSlider()->Value(), 5);
  EXPECT_EQ(qxCameraRecords::Current()->yaw, 5.0f);
  EXPECT_NEAR(EyeDistance(*canvas), home, home * 0.01f) << "first turn after Home";

  Press(Middle(*canvas->TiltSlider()->DecreaseButton()));
  EXPECT_EQ(qxCameraRecords::Current()->pitch, -5.0f);
  EXPECT_NEAR(EyeDistance(*canvas), home, home * 0.01f) << "first tilt";

  // Back to Home, then a step forward: the eye comes one fiftieth nearer.
  Press(Middle(*canvas->ViewPointButton()));
  Press(Middle(*canvas->DistanceSlider()->DecreaseButton()));
  EXPECT_EQ(canvas->DistanceSlider()->Value(), 245);
  EXPECT_NEAR(EyeDistance(*canvas), home * 245.0f / 250.0f, home * 0.01f) << "first step forward";
  // The step back returns it; a further one is refused at the slider's end.
  Press(Middle(*canvas->DistanceSlider()->IncreaseButton()));
  EXPECT_NEAR(EyeDistance(*canvas), home, home * 0.01f);
  Press(Middle(*canvas->DistanceSlider()->IncreaseButton()));
  EXPECT_EQ(canvas->DistanceSlider()->Value(), 250);
  EXPECT_EQ(canvas->DistanceSlider()->IncreaseButton()->GetState(), ppButton::kDisabled);

  // An arrow key moves the eye forward; the next turn keeps the distance the key left.
  canvas->KeyDown(static_cast<signed char>(plat::VK_UP), 0);
  plat::HeadlessDriver::RunUntilIdle();
  const float moved = EyeDistance(*canvas);
  ASSERT_LT(moved, home - 100.0f);
  Press(Middle(*canvas->RotationSlider()->DecreaseButton()));
  EXPECT_NEAR(EyeDistance(*canvas), moved, moved * 0.01f) << "turn after a key move";
}

}  // namespace
