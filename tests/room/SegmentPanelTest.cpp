// What a press on a wall shows and what it does to the pending canvas update: a room segment's panel
// is the room canvas's, and a press that a segment or a wall body takes lets the next canvas update
// be posted anew.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "elements/base/iApplicationSettings.h"
#include "elements/base/qxViewHolder.h"
#include "elements/topview/iConfigurator.h"
#include "platform/HeadlessDriver.h"
#include "platform/InputState.h"
#include "room/RoomTestSupport.h"
#include "room/qxWallElement.h"
#include "elements/base/zelvproTopCanvas.h"

namespace {

using roomtest::RoomTest;
using V = ppVector3;

// Records whose panel it was asked to show.
class PanelCanvas : public zelvproTopCanvas {
 public:
  PanelCanvas() : zelvproTopCanvas(nullptr, plat::RECT{0, 0, 800, 600}, nullptr) {}
  void BuildInfoPanel(qxViewHolder* source) override {
    shown.push_back(source != nullptr ? source->Element() : nullptr);
  }
  std::vector<zelvproElement*> shown;
};

class SegmentPanelTest : public RoomTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    RoomTest::SetUp();
    host_.palette->SetScale(1.0);
    host_.documentWindow = eltest::OpenSweeperWindow("SegmentPanelDoc");
    iApplicationSettings::Install(&settings_);
    iConfigurator::Install(&tabs_);
  }
  void TearDown() override {
    panelCanvas_.reset();
    tabs_.panels.clear();
    iConfigurator::Install(nullptr);
    iApplicationSettings::Install(nullptr);
    plat::InputState::SetDown(plat::VK_SHIFT, false);
    RoomTest::TearDown();
    plat::HeadlessDriver::Reset();
  }
  PanelCanvas& Canvas() { return *panelCanvas_; }
  // A canvas update is pending, as after any edit.
  void PendUpdate() {
    zelvproCanvas::ClearCanvasGlobal();
    panelCanvas_->RequestUpdate(false);
    ASSERT_TRUE(zelvproCanvas::UpdateScheduled());
  }

  iApplicationSettings settings_;
  eltest::TabRecorder tabs_;
  std::unique_ptr<PanelCanvas> panelCanvas_ = std::make_unique<PanelCanvas>();
};

TEST_F(SegmentPanelTest, ASegmentsPanelIsTheRoomCanvasPanel) {
  qxRoomSegment* wall = MakeSegment(V(1000, 0, 1000), V(3000, 0, 1000), panelCanvas_.get());
  qxViewHolder holder(wall, nullptr, false);
  wall->BuildInfoPanel(&holder);
  EXPECT_EQ(Canvas().shown, (std::vector<zelvproElement*>{wall}));
  EXPECT_TRUE(tabs_.panels.empty());  // no top-view panel of its own
}

TEST_F(SegmentPanelTest, APressTheSegmentTakesShowsTheCanvasPanelAndLetsTheNextUpdatePost) {
  const struct {
    const char* name;
    bool locked, door, shift;
    bool panelShown, flagCleared;
  } kCases[] = {
      {"plain", false, false, false, true, true},
      {"shift", false, false, true, true, true},
      // A locked wall ignores the press; a wall holding a door hands it to the canvas.
      {"locked", true, false, false, false, false},
      {"holds a door", false, true, false, false, false},
  };
  for (const auto& c : kCases) {
    Canvas().shown.clear();
    qxRoomSegment* wall = MakeSegment(V(1000, 0, 1000), V(3000, 0, 1000), panelCanvas_.get());
    wall->locked = c.locked;
    if (c.door) new zelvproElement(0, wall, plat::RECT{0, 0, 5, 5}, nullptr, 0, 0);
    plat::InputState::SetDown(plat::VK_SHIFT, c.shift);
    PendUpdate();
    wall->IsDoubleClick(2000, 1000);
    EXPECT_EQ(Canvas().shown.size(), c.panelShown ? 1u : 0u) << c.name;
    if (c.panelShown) {
      EXPECT_EQ(Canvas().shown[0], wall) << c.name;
    }
    EXPECT_TRUE(tabs_.panels.empty()) << c.name;
    EXPECT_EQ(zelvproCanvas::UpdateScheduled(), !c.flagCleared) << c.name;
  }
  plat::HeadlessDriver::RunUntilIdle();
}

TEST_F(SegmentPanelTest, APressOnAWallBodyLetsTheNextUpdatePostUnlessPanelsAreRouted) {
  for (bool routed : {false, true}) {
    settings_.panelRouting = routed;
    db_->TopViewFile().ReadRecord(topView_, nullptr);
    auto* body = new qxWallElement(topView_, panelCanvas_.get(), plat::RECT{0, 0, 10, 10},
                                   db_->TopViewFile().GetRecordBuffer(), db_->ShapeFile(), WallEdge{});
    PendUpdate();
    EXPECT_EQ(body->IsDoubleClick(5, 5), !routed) << routed;
    EXPECT_EQ(zelvproCanvas::UpdateScheduled(), routed) << routed;
  }
  plat::HeadlessDriver::RunUntilIdle();
}

}  // namespace
