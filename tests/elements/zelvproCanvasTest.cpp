// The canvas keeps the plan's history; an element deleted other than by its own task leaves no task
// behind that names it, in any history. The unit layer answers its render flags through its element.
#include <gtest/gtest.h>

#include "elements/ElementTestSupport.h"
#include "elements/base/zelvproTopCanvas.h"
#include "framework/ppTask.h"

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
