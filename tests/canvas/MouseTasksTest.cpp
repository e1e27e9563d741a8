// The plan's mouse task base and the rubber band on the headless desktop: the mouse injected, the
// layer's clock set by hand, and the window's pixels compared before, during and after a drag.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

#include "CanvasTestSupport.h"
#include "canvas/tasks/CanvasTaskFactory.h"
#include "canvas/tasks/zelvproMouseTask.h"
#include "canvas/tasks/zelvproPointerTask.h"
#include "elements/PlanCanvasTestSupport.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/topview/TopViewTestSupport.h"
#include "framework/AdornerTestPictures.h"
#include "framework/ppPane.h"
#include "framework/ppWindow.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/LayerClock.h"
#include "platform/WindowApi.h"

namespace {

using eltest::Rect;

// Counts what the base asks of it; the feedback stays the base's.
class CountingTask : public zelvproMouseTask {
 public:
  CountingTask(ppView* view, int32_t* alive) : zelvproMouseTask(view, view), alive_(alive) { ++*alive_; }
  ~CountingTask() override { --*alive_; }
  void Track() override {
    ++tracks;
    zelvproMouseTask::Track();
  }
  void SetTrackCursor() override {
    ++cursors;
    zelvproMouseTask::SetTrackCursor();
  }
  void Click() override { ++*clicks; }
  void Do() override { ++*dones; }
  bool IsEmpty() override { return true; }
  int32_t tracks = 0, cursors = 0;
  int32_t* clicks = nullptr;
  int32_t* dones = nullptr;

 private:
  int32_t* alive_;
};

// A pane over the window whose press starts a counting task through the factory, with a 60 x 40
// feedback box at the press, as an element's press does.
class Starter : public ppPane {
 public:
  Starter(ppView* supervisor, int32_t* alive, int32_t* clicks, int32_t* dones)
      : ppPane(supervisor, Rect(0, 0, 400, 300), kStay, kStay),
        alive_(alive),
        clicks_(clicks),
        dones_(dones) {}
  bool MouseDown(int32_t x, int32_t y) override {
    task = new CountingTask(this, alive_);
    task->clicks = clicks_, task->dones = dones_;
    iElementTaskFactory::Current().StartWithElement(task, x, y,
                                                    std::make_unique<ppRegion>(Rect(x, y, x + 60, y + 40)));
    return true;
  }
  CountingTask* task = nullptr;

 private:
  int32_t *alive_, *clicks_, *dones_;
};

class MouseTasksTest : public tvtest::TopViewTest, protected canvastest::DesktopInput {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    TopViewTest::SetUp();
    plat::LayerClock::SetManual(100'000);
    host_.palette = std::make_unique<zelvproLayerPalette>();
    canvasHost_.palette = std::move(host_.palette);
    iElementHost::Install(&canvasHost_);
    CanvasTaskFactory::InstallDefault();
    app_ = std::make_unique<adorner_tests::TestApplication>();
    window_ = new ppWindow();
    hwnd_ = adorner_tests::MakeObjectWindow(window_, 400, 300);
    canvas_ = std::make_unique<zelvproTopCanvas>(window_, Rect(0, 0, 400, 300), nullptr);
    canvasHost_.topCanvas = canvas_.get();
    canvasHost_.viewId = iElementHost::kPlanViewC;
    plat::HeadlessDriver::RunUntilIdle();
  }
  void TearDown() override {
    canvas_.reset();
    delete window_;
    app_.reset();
    TopViewTest::TearDown();
    plat::HeadlessDriver::Reset();
  }

  std::vector<uint32_t> Pixels() const { return canvastest::WindowPixels(hwnd_); }

  // A counting task started by a press at `at`.
  CountingTask* StartCounting(plat::POINT at) {
    if (starter_ == nullptr) {
      starter_ = new Starter(window_, &alive_, &clicks_, &dones_);
      plat::HeadlessDriver::RunUntilIdle();
    }
    starter_->task = nullptr;
    Down(at);
    return starter_->task;
  }

  pctest::CanvasHost canvasHost_;
  std::unique_ptr<adorner_tests::TestApplication> app_;
  ppWindow* window_ = nullptr;
  plat::HWND hwnd_ = nullptr;
  std::unique_ptr<zelvproTopCanvas> canvas_;
  Starter* starter_ = nullptr;  // owned by the window
  int32_t alive_ = 0, clicks_ = 0, dones_ = 0;
};

TEST_F(MouseTasksTest, APressAndReleaseInPlaceLeavesThePixelsAndNeverTracks) {
  StartCounting({0, 0});
  Up({0, 0});
  const std::vector<uint32_t> before = Pixels();
  CountingTask* task = StartCounting({100, 100});
  ASSERT_NE(task, nullptr);
  clicks_ = 0;
  EXPECT_NE(Pixels(), before);  // the outline shows while the button is down
  const int32_t tracks = task->tracks;
  Up({100, 100});
  EXPECT_EQ(tracks, 0);
  EXPECT_EQ(alive_, 0);  // a click finishes the task
  EXPECT_EQ(clicks_, 1);
  EXPECT_EQ(Pixels(), before);
}

TEST_F(MouseTasksTest, EveryOutlineIsOnScreenOnceWhateverTheMoves) {
  StartCounting({0, 0});
  Up({0, 0});
  const std::vector<uint32_t> before = Pixels();
  const int32_t regions = ppRegion::LiveCount();
  CountingTask* task = StartCounting({100, 100});
  const plat::POINT path[] = {{101, 100}, {101, 100}, {130, 120}, {90, 60}, {200, 150}, {200, 150}};
  int32_t tracks = 0;
  for (plat::POINT p : path) {
    const int32_t cursors = task->cursors;
    const bool same = p.x == task->Current().x && p.y == task->Current().y;
    MoveTo(p);
    if (same) {
      EXPECT_EQ(task->tracks, tracks) << p.x << "," << p.y;
      EXPECT_EQ(task->cursors, cursors) << p.x << "," << p.y;
    } else {
      ++tracks;
    }
    EXPECT_EQ(task->tracks, tracks);
    const std::vector<uint32_t> during = Pixels();
    EXPECT_NE(during, before);
    // One drawing more (exclusive-or) at the region's place leaves the untouched picture: exactly one
    // outline was on screen, where the region now is.
    task->DrawFeedback(0, 0);
    EXPECT_EQ(Pixels(), before) << p.x << "," << p.y;
    task->DrawFeedback(0, 0);
    EXPECT_EQ(Pixels(), during);
  }
  ASSERT_NE(task->FeedbackRegion(), nullptr);
  plat::RECT bounds{};
  task->FeedbackRegion()->GetBounds(&bounds);
  EXPECT_EQ(bounds.left, 200);
  plat::LayerClock::Advance(1000);
  Up({200, 150});
  EXPECT_EQ(dones_, 1);
  EXPECT_EQ(Pixels(), before);
  EXPECT_EQ(alive_, 0);
  EXPECT_EQ(ppRegion::LiveCount(), regions);
}

TEST_F(MouseTasksTest, ATaskDestroyedUnreleasedFreesItsRegionAndAPlainStartDropsIt) {
  const int32_t regions = ppRegion::LiveCount();
  auto* task = new CountingTask(window_, &alive_);
  task->StartWithElement(10, 10, std::make_unique<ppRegion>(Rect(10, 10, 20, 20)));
  // Started again without a region: the one still held goes (it leaked before).
  task->Start(10, 10);
  EXPECT_EQ(task->FeedbackRegion(), nullptr);
  EXPECT_EQ(ppRegion::LiveCount(), regions);
  task->StartWithElement(10, 10, std::make_unique<ppRegion>(Rect(10, 10, 20, 20)));
  delete task;
  EXPECT_EQ(ppRegion::LiveCount(), regions);
  window_->CaptureMouse(nullptr);
}

TEST_F(MouseTasksTest, AReleaseWithinTwelveTicksIsAClickEvenAfterAOnePixelJitter) {
  const struct {
    uint32_t ms;
    bool click;
  } cases[] = {{0, true}, {183, true}, {200, false}, {1000, false}};
  for (const auto& c : cases) {
    clicks_ = dones_ = 0;
    plat::LayerClock::SetManual(100'000);
    StartCounting({100, 100});
    MoveTo({101, 100});
    plat::LayerClock::Advance(c.ms);
    Up({101, 100});
    EXPECT_EQ(clicks_, c.click ? 1 : 0) << c.ms;
    EXPECT_EQ(dones_, c.click ? 0 : 1) << c.ms;
    EXPECT_EQ(alive_, 0);
  }
}

TEST_F(MouseTasksTest, StartingWithTheElementSetsTheClickDeadlineAndTheCursorAsAPlainStartDoes) {
  auto* task = new CountingTask(window_, &alive_);
  task->clicks = &clicks_, task->dones = &dones_;
  plat::LayerClock::Advance(5000);  // made well before the press
  task->StartWithElement(10, 10, std::make_unique<ppRegion>(Rect(10, 10, 20, 20)));
  EXPECT_EQ(task->cursors, 1);
  plat::POINT jitter{11, 10};
  task->Move(&jitter);
  plat::LayerClock::Advance(100);
  task->MouseUp(&jitter);
  EXPECT_EQ(clicks_, 1);
  EXPECT_EQ(dones_, 0);
  EXPECT_EQ(alive_, 0);
  window_->CaptureMouse(nullptr);
}

// ---- The rubber band.

class RubberBandTest : public MouseTasksTest {
 protected:
  void SetUp() override {
    MouseTasksTest::SetUp();
    const plat::POINT at[] = {{60, 50}, {120, 100}, {199, 149}, {30, 100}, {120, 160}, {250, 20}};
    for (plat::POINT p : at) {
      auto* e = new zelvproElement(0, canvas_.get(), Rect(0, 0, 2, 2), nullptr, 0, 0);
      e->SetPositionFromScreen(p.x, p.y);
      elements_.push_back(e);
    }
  }
  std::set<zelvproElement*> Selected() const {
    std::set<zelvproElement*> out;
    for (zelvproElement* e : elements_)
      if (e->IsSelected()) out.insert(e);
    return out;
  }
  std::set<zelvproElement*> Band(plat::POINT from, plat::POINT to) {
    canvas_->DeselectAll(false);
    Down(from);
    MoveTo(plat::POINT{(from.x + to.x) / 2, (from.y + to.y) / 2});
    MoveTo(to);
    plat::LayerClock::Advance(1000);
    Up(to);
    return Selected();
  }
  std::vector<zelvproElement*> elements_;
};

TEST_F(RubberBandTest, EitherDirectionSelectsTheSameAndNothingReachesTheHistory) {
  const std::vector<uint32_t> before = Pixels();
  const ppTask* top = canvas_->DoneTop();
  const std::set<zelvproElement*> forward = Band({50, 40}, {200, 150});
  EXPECT_EQ(forward, (std::set<zelvproElement*>{elements_[0], elements_[1], elements_[2]}));
  EXPECT_EQ(Band({200, 150}, {50, 40}), forward);
  EXPECT_EQ(Band({200, 40}, {50, 150}), forward);
  EXPECT_EQ(canvas_->DoneTop(), top);
  EXPECT_EQ(Pixels(), before);
  // A band around nothing selects nothing.
  EXPECT_TRUE(Band({300, 200}, {390, 290}).empty());
}

TEST_F(RubberBandTest, AClickSelectsNothing) {
  Down({120, 100});
  Up({120, 100});
  EXPECT_TRUE(Selected().empty());
  EXPECT_EQ(canvas_->DoneTop(), nullptr);
}

TEST_F(RubberBandTest, TheBandIsFramedOnceWhileDragged) {
  const std::vector<uint32_t> before = Pixels();
  Down({50, 40});
  MoveTo({120, 90});
  MoveTo({200, 150});
  EXPECT_NE(Pixels(), before);
  plat::LayerClock::Advance(1000);
  Up({200, 150});
  EXPECT_EQ(Pixels(), before);
}

}  // namespace
