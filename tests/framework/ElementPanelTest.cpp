#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "database/iProperty.h"
#include "AdornerTestPictures.h"
#include "framework/iElementServices.h"
#include "framework/ppPane.h"
#include "framework/ppSwitchBoard.h"
#include "framework/ppUndoer.h"
#include "framework/ppWindow.h"
#include "framework/qxWarningSweeper.h"
#include "framework/zelvproAccDeleteTask.h"
#include "framework/zelvproTopViewElementCollaborator.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"

namespace {

using namespace plat;

// An element with two properties, "Warning" and "ShowExtras" (which counts its writes).
class Element : public iProperty {
 public:
  int32_t IndexOf(const Vcon::String& name) override {
    return name == "Warning" ? 3 : name == "ShowExtras" ? 4 : kNoProperty;
  }
  ppParameter GetValue(int32_t index) override { return index == 3 ? ppParameter(warning) : ppParameter(); }
  void SetValue(int32_t index, const ppParameter& /*value*/) override { extrasShown += index == 4; }
  int32_t warning = 0;
  int32_t extrasShown = 0;
};

struct Shown {
  ppView* parent;
  RECT rect;
  int32_t warning;
  int32_t flag;
};

class ElementPanels : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    shown_.clear();
    SetPlacementWarningPresenter([this](ppView* parent, const RECT& rect, int32_t warning, int32_t flag) {
      shown_.push_back({parent, rect, warning, flag});
    });
    window_ = new ppWindow();
    adorner_tests::MakeObjectWindow(window_, 400, 300);
  }
  void TearDown() override {
    SetPlacementWarningPresenter(nullptr);
    SetConfiguratorHost(nullptr);
    delete window_;
    HeadlessDriver::Reset();
  }
  std::vector<Shown> shown_;
  ppWindow* window_ = nullptr;
};

TEST_F(ElementPanels, TheWarningButtonShowsTheElementsWarningBelowIt) {
  Element element;
  element.warning = 7;
  const int32_t before = ppSwitchBoard::Global().SubscriptionCount();
  {
    zelvproTopViewElementCollaborator link(&element);
    EXPECT_EQ(link.GetName(), "TopViewElementModulePanel");
    EXPECT_EQ(ppSwitchBoard::Global().SubscriptionCount(), before + 3);
    auto* panel = new ppPane(window_, {100, 50, 300, 250}, ppView::kStay, ppView::kStay);
    auto* button = new ppPane(panel, {150, 20, 174, 44}, ppView::kStay, ppView::kStay);
    const int32_t id = ppSwitchBoard::MessageIdByName("kWarningButton", false);
    ppCollaborator sender;
    sender.Broadcast(ppSwitchBoard::kNamedChannel, id, reinterpret_cast<intptr_t>(button));
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0].parent, button);
    // Button at (250, 70)-(274, 94) in the window: moved by (24 - 170, 24 + 10).
    EXPECT_EQ(shown_[0].rect, (RECT{104, 104, 128, 128}));
    EXPECT_EQ(shown_[0].warning, 7);
    EXPECT_EQ(shown_[0].flag, 1);

    sender.Broadcast(ppSwitchBoard::kNamedChannel, id, 0);  // no button
    sender.Broadcast(ppSwitchBoard::kNamedChannel, ppSwitchBoard::MessageIdByName("ShowTagDialog", false),
                     reinterpret_cast<intptr_t>(button));
    EXPECT_EQ(shown_.size(), 1u);
    EXPECT_EQ(element.extrasShown, 0);
    sender.Broadcast(ppSwitchBoard::kNamedChannel, ppSwitchBoard::MessageIdByName("ShowExtrasDialog", false),
                     0);
    EXPECT_EQ(element.extrasShown, 1);
  }
  EXPECT_EQ(ppSwitchBoard::Global().SubscriptionCount(), before);
}

TEST_F(ElementPanels, TheWarningSweeperShowsTheWarningAtTheHostsTopRightOnceTheQueueReachesIt) {
  auto* host = new ppPane(window_, {10, 20, 210, 120}, ppView::kStay, ppView::kStay);
  SetConfiguratorHost(host);
  new qxWarningSweeper(4);
  EXPECT_TRUE(shown_.empty());
  HeadlessDriver::RunUntilIdle();
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].parent, host);
  EXPECT_EQ(shown_[0].rect, (RECT{40, 54, 64, 78}));  // (186, 20, 210, 44) moved by (-146, 34)
  EXPECT_EQ(shown_[0].warning, 4);
  EXPECT_EQ(shown_[0].flag, 1);

  SetConfiguratorHost(nullptr);
  new qxWarningSweeper(5);  // nowhere to go: dropped unrun
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(shown_.size(), 1u);
  EXPECT_EQ(ppSweeper::PendingCount(), 0);
}

// A view that tells when it is deleted.
class Accessory : public ppPane {
 public:
  Accessory(ppView* container, bool* deleted)
      : ppPane(container, {0, 0, 10, 10}, kStay, kStay), deleted_(deleted) {}
  ~Accessory() override { *deleted_ = true; }

 private:
  bool* deleted_;
};

TEST_F(ElementPanels, ARemovalTaskDeletesItsElementOnlyWhileTheRemovalStands) {
  ppPane container(nullptr, {0, 0, 100, 100}, ppView::kStay, ppView::kStay);
  bool deleted = false;
  auto* accessory = new Accessory(&container, &deleted);

  auto* done = new zelvproAccDeleteTask(&container, accessory);
  done->Do();
  EXPECT_EQ(container.Subviews().Count(), 0);
  EXPECT_EQ(accessory->GetSupervisor(), nullptr);
  done->Undo();
  EXPECT_EQ(container.Subviews().Count(), 1);
  EXPECT_EQ(accessory->GetSupervisor(), &container);
  delete done;  // undone: the accessory stays in its container
  EXPECT_FALSE(deleted);
  EXPECT_EQ(container.Subviews().Count(), 1);

  auto* redone = new zelvproAccDeleteTask(&container, accessory);
  redone->SetTarget(nullptr);  // does the removal
  redone->Undo();
  redone->Redo();
  EXPECT_EQ(container.Subviews().Count(), 0);
  delete redone;
  EXPECT_TRUE(deleted);

  bool second = false;
  auto* kept = new Accessory(&container, &second);
  delete new zelvproAccDeleteTask(&container, kept);  // never done: the container keeps it
  EXPECT_FALSE(second);
  EXPECT_EQ(container.Subviews().Count(), 1);
}

TEST_F(ElementPanels, AnUndoHistoryOwnsTheRemovedElementThroughTheTask) {
  ppPane container(nullptr, {0, 0, 100, 100}, ppView::kStay, ppView::kStay);
  bool deleted = false;
  auto* accessory = new Accessory(&container, &deleted);
  {
    ppUndoer history;
    auto* task = new zelvproAccDeleteTask(&container, accessory);
    task->Do();
    history.Post(task);
  }
  EXPECT_TRUE(deleted);
}

}  // namespace
