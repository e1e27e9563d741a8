// The canvas keeps the plan's history; an element deleted other than by its own task leaves no task
// behind that names it, in any history. The unit layer answers its render flags through its element.
#include <gtest/gtest.h>

#include <memory>

#include "elements/ElementTestSupport.h"
#include "elements/base/zelvproTopCanvas.h"
#include "framework/ppSweeper.h"
#include "framework/ppTask.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"

namespace {

using eltest::Rect;

// A task that writes to its element when undone or redone.
class TouchTask : public ppTask {
 public:
  explicit TouchTask(zelvproElement* element) : ppTask(element) {}
  void Undo() override { static_cast<zelvproElement*>(Target())->mark += 1; }
  void Redo() override { static_cast<zelvproElement*>(Target())->mark += 1; }
};

// A task that owns an element taken out of the plan, as a delete task does until it is dropped.
class HoldingTask : public ppTask {
 public:
  HoldingTask(zelvproElement* target, zelvproElement* held) : ppTask(target), held_(held) {}
  ~HoldingTask() override { delete held_; }

 private:
  zelvproElement* held_;
};

class zelvproCanvasTest : public eltest::ElementTest {};

plat::LRESULT RunsSweepers(plat::HWND window, plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam) {
  if (message == ppSweeper::kMessage) {
    ppSweeper::RunAndDelete(lParam);
    return 0;
  }
  return plat::DefWindowProcA(window, message, wParam, lParam);
}

// Counts the deferred updates that ran.
class CountingCanvas : public zelvproCanvas {
 public:
  CountingCanvas() : zelvproCanvas(nullptr, Rect(0, 0, 100, 100), nullptr) {}
  void RunScheduledUpdate(bool /*configuratorFocus*/) override { ++ran; }
  int32_t ran = 0;
};

class CanvasUpdateTest : public eltest::ElementTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    ElementTest::SetUp();
  }
  void TearDown() override {
    host_.documentWindow = nullptr;
    ElementTest::TearDown();
    plat::HeadlessDriver::Reset();
  }
};

TEST_F(CanvasUpdateTest, RequestsOfABurstRunOnceAndACanvasGoneFirstIsNotUpdated) {
  plat::WNDCLASSA wc{};
  wc.lpfnWndProc = RunsSweepers;
  wc.lpszClassName = "CanvasWindow";
  plat::RegisterClassA(&wc);
  CountingCanvas canvas;
  canvas.ScheduleUpdate();  // no window at all: nothing is posted
  EXPECT_FALSE(canvas.UpdateScheduled());
  host_.documentWindow = plat::CreateWindowExA(0, "CanvasWindow", "", plat::WS_VISIBLE, 0, 0, 10, 10, nullptr,
                                               nullptr, nullptr, nullptr);
  for (int32_t burst = 1; burst <= 2; ++burst) {
    for (int32_t i = 0; i < 3; ++i) canvas.ScheduleUpdate();
    EXPECT_EQ(ppSweeper::PendingCount(), 1);
    plat::HeadlessDriver::RunUntilIdle();
    EXPECT_EQ(canvas.ran, burst);
    EXPECT_FALSE(canvas.UpdateScheduled());
  }
  auto doomed = std::make_unique<CountingCanvas>();
  doomed->ScheduleUpdate();
  doomed.reset();
  plat::HeadlessDriver::RunUntilIdle();  // the sweeper runs without its canvas
  EXPECT_EQ(ppSweeper::PendingCount(), 0);
}

TEST_F(zelvproCanvasTest, Command204DeselectsEveryChild) {
  zelvproTopCanvas canvas(nullptr, Rect(0, 0, 100, 100), nullptr);
  auto* a = new zelvproElement(0, &canvas, Rect(0, 0, 1, 1), nullptr, 0, 0);
  auto* b = new zelvproElement(0, &canvas, Rect(0, 0, 1, 1), nullptr, 0, 0);
  a->Select(false), b->Select(false);
  canvas.DoCommand(zelvproCanvas::kDeselectAll, 0);
  EXPECT_FALSE(a->IsSelected());
  EXPECT_FALSE(b->IsSelected());
}

TEST_F(zelvproCanvasTest, ATaskFreeingAnElementWhileTheHistoryClearsPurgesSafely) {
  zelvproCanvas canvas(nullptr, Rect(0, 0, 100, 100), nullptr);
  auto* target = new zelvproElement(0, &canvas, Rect(0, 0, 1, 1), nullptr, 0, 0);
  auto* held = new zelvproElement(0, nullptr, Rect(0, 0, 1, 1), nullptr, 0, 0);
  canvas.Post(new TouchTask(held));
  canvas.Post(new HoldingTask(target, held));
  canvas.Post(new TouchTask(held));
  canvas.Clear();  // the holding task frees `held`, whose tasks leave the stack being cleared
  EXPECT_EQ(canvas.DoneTop(), nullptr);
}

TEST_F(zelvproCanvasTest, DeletingAnElementPurgesItsTasksFromEveryHistory) {
  zelvproTopCanvas canvas(nullptr, Rect(0, 0, 100, 100), nullptr);
  zelvproCanvas other(nullptr, Rect(0, 0, 100, 100), nullptr);
  auto* kept = new zelvproElement(0, &canvas, Rect(0, 0, 1, 1), nullptr, 0, 0);
  auto* doomed = new zelvproElement(0, &canvas, Rect(0, 0, 1, 1), nullptr, 0, 0);
  EXPECT_EQ(doomed->GetUndoer(), &canvas);
  canvas.Post(new TouchTask(kept));
  canvas.Post(new TouchTask(doomed));
  canvas.Undo();  // the doomed element's task now waits on the redo stack
  canvas.Post(new TouchTask(doomed));
  other.Post(new TouchTask(doomed));
  delete doomed;
  EXPECT_EQ(other.DoneTop(), nullptr);
  EXPECT_EQ(canvas.RedoTop(), nullptr);
  ASSERT_NE(canvas.DoneTop(), nullptr);
  EXPECT_EQ(canvas.DoneTop()->Target(), kept);
  canvas.Undo();
  EXPECT_EQ(kept->mark, 1);
  EXPECT_EQ(canvas.DoneTop(), nullptr);
}

TEST_F(zelvproCanvasTest, UnitLayersReportTheirElementsStateBits) {
  qxUnitLayer3D standalone;
  standalone.renderFlags = 0x10000;
  EXPECT_EQ(standalone.GetRenderFlags(), 0x1FFFFu);
  zelvproCanvas canvas(nullptr, Rect(0, 0, 100, 100), nullptr);
  auto* element = new zelvproElement(0, &canvas, Rect(0, 0, 1, 1), nullptr, 0, 0);
  element->UnitLayer().renderFlags = 0x100;
  EXPECT_EQ(element->UnitLayer().GetRenderFlags(), 0x100u);
  canvas.SetStateBitsTree(zelvproElement::kSelectedState);
  EXPECT_EQ(element->UnitLayer().GetRenderFlags(), 0x102u);
}

}  // namespace
