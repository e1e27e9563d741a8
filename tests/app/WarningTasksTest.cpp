// The plan's edit tasks run the placement-warning check: a move done, undone and redone, a command
// turn and a deletion each clear every number of the plan and set them again, as a fresh check
// would. Demo units on a top canvas in a headless window at 15 mm a pixel.
#include <map>
#include <vector>

#include "WarningTestSupport.h"
#include "canvas/CanvasTestSupport.h"
#include "canvas/tasks/CanvasTaskFactory.h"
#include "canvas/tasks/zelvproMoverTask.h"
#include "elements/base/iElementTaskFactory.h"
#include "elements/base/qxViewHolder.h"
#include "framework/AdornerTestPictures.h"
#include "framework/ppPane.h"
#include "framework/ppWindow.h"

namespace {

using namespace plat;

// A pane over the window whose press starts the task the test hands it, as a unit's press does.
class Starter : public ppPane {
 public:
  explicit Starter(ppView* supervisor) : ppPane(supervisor, RECT{0, 0, 640, 480}, kStay, kStay) {}
  bool MouseDown(int32_t x, int32_t y) override {
    if (next == nullptr) return false;
    iElementTaskFactory::Current().StartWithElement(next, x, y, nullptr);
    next = nullptr;
    return true;
  }
  ppTask* next = nullptr;
};

class WarningTasksTest : public warntest::DemoPlanTest, protected canvastest::DesktopInput {
 protected:
  void SetUp() override {
    DemoPlanTest::SetUp();
    LayerClock::SetManual(100'000);
    CanvasTaskFactory::InstallDefault();
    app_ = std::make_unique<adorner_tests::TestApplication>();
    window_ = new ppWindow();
    adorner_tests::MakeObjectWindow(window_, 640, 480);
    top_.reset();
    canvas_ = new zelvproTopCanvas(window_, RECT{0, 0, 640, 480}, db_.get());
    host_.top = canvas_;
    starter_ = new Starter(window_);
    HeadlessDriver::RunUntilIdle();
    WriteRules("i o:9,o:10 s w:1\n");
    WarningRules::ReadAtStartup();
    base_ = Place(canvas_, "B60S", 0.0f);
    washer_ = Place(canvas_, "ADW60C", 3000.0f);
    plain_ = Place(canvas_, "B60", 4500.0f);
  }
  void TearDown() override {
    host_.top = nullptr;
    delete window_;  // and the canvas with it
    app_.reset();
    DemoPlanTest::TearDown();
  }

  std::vector<int32_t> Numbers() const {
    return {base_->warningNumber, washer_->warningNumber, plain_->warningNumber};
  }
  // Stale numbers on every unit, so that a task that forgot to clear shows them.
  void Stale() {
    for (zelvproTopViewElement* e : {base_, washer_, plain_}) e->warningNumber = 9;
  }
  // What a fresh check gives for the plan as it stands.
  std::vector<int32_t> Fresh() {
    const std::vector<int32_t> now = Numbers();
    canvas_->ClearTreeMark();
    host_.CheckPlanWarnings();
    const std::vector<int32_t> fresh = Numbers();
    for (size_t i = 0; i < now.size(); ++i)
      (i == 0 ? base_ : i == 1 ? washer_ : plain_)->warningNumber = now[i];
    return fresh;
  }

  std::unique_ptr<adorner_tests::TestApplication> app_;
  ppWindow* window_ = nullptr;
  zelvproTopCanvas* canvas_ = nullptr;  // owned by the window
  Starter* starter_ = nullptr;          // owned by the window
  zelvproTopViewElement *base_ = nullptr, *washer_ = nullptr, *plain_ = nullptr;
};

TEST_F(WarningTasksTest, AMoveDoneUndoneAndRedoneChecksThePlanEachTime) {
  Stale();
  auto* chain = new qxViewHolder(washer_, nullptr, true);
  auto* task =
      dynamic_cast<zelvproMoverTask*>(iElementTaskFactory::Current().NewMoverTask(chain, canvas_, nullptr));
  ASSERT_NE(task, nullptr);
  starter_->next = task;
  // From 3000 mm to about 650 mm: beside the base unit, the zones in front of them meet.
  Down({205, 10});
  MoveTo({150, 10});
  MoveTo({48, 10});
  UpAfterClickTime({48, 10});
  ASSERT_EQ(canvas_->DoneTop(), task);
  ASSERT_LT(washer_->GetPosition().x, 900.0f);
  EXPECT_EQ(Numbers(), (std::vector<int32_t>{1, 1, 0}));

  Stale();
  canvas_->DoCommand(zelvproCanvas::kUndo, 0);
  EXPECT_EQ(washer_->GetPosition().x, 3000.0f);
  EXPECT_EQ(Numbers(), (std::vector<int32_t>{0, 0, 0}));
  Stale();
  canvas_->DoCommand(zelvproCanvas::kRedo, 0);
  EXPECT_EQ(Numbers(), (std::vector<int32_t>{1, 1, 0}));
}

TEST_F(WarningTasksTest, ACommandTurnAndItsUndoCheckThePlan) {
  washer_->SetPosition(ppVector3(600.0f, 0.0f, 0.0f));
  Stale();
  washer_->Select(false);
  canvas_->DoCommand(zelvproCanvas::kTurnCounterclockwise, 0);
  EXPECT_NE(Numbers()[2], 9);
  EXPECT_EQ(Numbers(), Fresh());
  Stale();
  canvas_->DoCommand(zelvproCanvas::kUndo, 0);
  EXPECT_EQ(Numbers(), (std::vector<int32_t>{1, 1, 0}));
}

TEST_F(WarningTasksTest, AMouseTurnAndItsUndoAndRedoCheckThePlan) {
  Stale();
  auto* chain = new qxViewHolder(washer_, nullptr, true);
  ppTask* task = iElementTaskFactory::Current().NewRotateTask(reinterpret_cast<intptr_t>(chain),
                                                              reinterpret_cast<intptr_t>(canvas_));
  ASSERT_NE(task, nullptr);
  starter_->next = task;
  Down({220, 20});
  MoveTo({230, 30});
  MoveTo({240, 60});
  UpAfterClickTime({240, 60});
  ASSERT_EQ(canvas_->DoneTop(), task);
  EXPECT_NE(washer_->GetAngle(), 0.0f);
  EXPECT_EQ(Numbers(), (std::vector<int32_t>{0, 0, 0}));
  Stale();
  canvas_->DoCommand(zelvproCanvas::kUndo, 0);
  EXPECT_EQ(washer_->GetAngle(), 0.0f);
  EXPECT_EQ(Numbers(), (std::vector<int32_t>{0, 0, 0}));
  Stale();
  canvas_->DoCommand(zelvproCanvas::kRedo, 0);
  EXPECT_EQ(Numbers(), (std::vector<int32_t>{0, 0, 0}));
}

TEST_F(WarningTasksTest, ADeletionDoneUndoneAndRedoneChecksThePlan) {
  washer_->SetPosition(ppVector3(600.0f, 0.0f, 0.0f));
  washer_->Select(false);
  Stale();
  canvas_->DoCommand(zelvproCanvas::kDelete, 0);
  EXPECT_EQ(base_->warningNumber, 0);
  EXPECT_EQ(plain_->warningNumber, 0);
  Stale();
  canvas_->DoCommand(zelvproCanvas::kUndo, 0);
  EXPECT_EQ(Numbers(), (std::vector<int32_t>{1, 1, 0}));
  base_->warningNumber = 9;
  canvas_->DoCommand(zelvproCanvas::kRedo, 0);
  EXPECT_EQ(base_->warningNumber, 0);
}

}  // namespace
