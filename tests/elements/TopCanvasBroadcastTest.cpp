// The top canvas hands two element calls on to its children: the tag goes to the selected children
// only, the last first, and the canvas keeps none; the drawing export's call goes to every child,
// first to last. A canvas shown in an editor asks for its panel again when the texts change.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "elements/ElementTestSupport.h"
#include "elements/base/zelvproTopCanvas.h"
#include "framework/ppSweeper.h"
#include "framework/ppView.h"
#include "platform/HeadlessDriver.h"

namespace {

using eltest::Rect;

// Records the calls it is handed into a log shared by the test's elements.
class LoggingElement : public zelvproElement {
 public:
  LoggingElement(ppView* parent, std::vector<std::pair<LoggingElement*, intptr_t>>& log)
      : zelvproElement(0, parent, Rect(0, 0, 10, 10), nullptr, 0, 0), log_(log) {}
  void SetTagTree(int32_t value) override {
    log_.push_back({this, value});
    zelvproElement::SetTagTree(value);
  }
  void ExportHook(intptr_t value) override { log_.push_back({this, value}); }

 private:
  std::vector<std::pair<LoggingElement*, intptr_t>>& log_;
};

class TopCanvasBroadcastTest : public eltest::ElementTest {
 protected:
  void SetUp() override {
    ElementTest::SetUp();
    canvas_ = std::make_unique<zelvproTopCanvas>(nullptr, Rect(0, 0, 800, 600), nullptr);
    for (int32_t i = 0; i < 4; ++i) children_.push_back(new LoggingElement(canvas_.get(), log_));
    inner_ = new LoggingElement(children_[1], log_);
  }
  void TearDown() override {
    canvas_.reset();
    ElementTest::TearDown();
  }
  std::vector<std::pair<LoggingElement*, intptr_t>> log_;
  std::unique_ptr<zelvproTopCanvas> canvas_;
  std::vector<LoggingElement*> children_;
  LoggingElement* inner_ = nullptr;
};

TEST_F(TopCanvasBroadcastTest, TheTagReachesTheSelectedChildrenLastFirstAndTheirTrees) {
  children_[1]->Select(false);
  children_[3]->Select(false);
  canvas_->SetTagTree(7);
  using Log = std::vector<std::pair<LoggingElement*, intptr_t>>;
  EXPECT_EQ(log_, (Log{{children_[3], 7}, {children_[1], 7}, {inner_, 7}}));
  EXPECT_EQ(canvas_->tag, 0);
  EXPECT_EQ(children_[0]->tag, 0);
  EXPECT_EQ(children_[2]->tag, 0);
  EXPECT_EQ(inner_->tag, 7);

  // Nothing selected: nothing is tagged.
  log_.clear();
  canvas_->DeselectAll(false);
  canvas_->SetTagTree(9);
  EXPECT_TRUE(log_.empty());
}

TEST_F(TopCanvasBroadcastTest, TheExportCallReachesEveryChildFirstToLast) {
  children_[2]->Select(false);  // the selection plays no part
  canvas_->ExportHook(42);
  using Log = std::vector<std::pair<LoggingElement*, intptr_t>>;
  EXPECT_EQ(log_, (Log{{children_[0], 42}, {children_[1], 42}, {children_[2], 42}, {children_[3], 42}}));
}

}  // namespace

namespace {

// ---- Texts changed: only the canvas an editor shows asks for its panel again.

class CanvasTextsTest : public eltest::ElementTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    ElementTest::SetUp();
    host_.documentWindow = eltest::OpenSweeperWindow("CanvasTextsDoc");
  }
  void TearDown() override {
    plat::HeadlessDriver::RunUntilIdle();
    ElementTest::TearDown();
    plat::HeadlessDriver::Reset();
  }
};

// The editor's current canvas is its scrolled view's key target; a canvas shown beside it (the room
// under the Colors view's top canvas) leaves the panel to it.
TEST_F(CanvasTextsTest, NewTextsScheduleAnUpdateOnlyForTheEditorsCurrentCanvas) {
  zelvproTopCanvas canvas(nullptr, Rect(0, 0, 400, 300), nullptr);
  const int32_t before = ppSweeper::PendingCount();
  canvas.UpdateTexts();
  EXPECT_EQ(ppSweeper::PendingCount(), before);
  EXPECT_FALSE(zelvproCanvas::UpdateScheduled());

  ppView scroller(nullptr, 0, 0);
  canvas.SetScrollView(&scroller);
  canvas.UpdateTexts();
  EXPECT_EQ(ppSweeper::PendingCount(), before) << "shown, but not the current canvas";
  scroller.SetTarget(&canvas);
  canvas.UpdateTexts();
  canvas.UpdateTexts();  // one update pending at a time
  EXPECT_EQ(ppSweeper::PendingCount(), before + 1);
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_FALSE(zelvproCanvas::UpdateScheduled());
  scroller.SetTarget(nullptr);
  canvas.SetScrollView(nullptr);
}

}  // namespace
