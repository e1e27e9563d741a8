#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AdornerTestPictures.h"
#include "framework/ppButton.h"
#include "framework/ppPane.h"
#include "framework/ppWindow.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/Surface.h"
#include "platform/WindowApi.h"

namespace {

using namespace plat;
using adorner_tests::SolidPicture;
using adorner_tests::TestApplication;

constexpr int32_t kPictures = 700;  // base id; state s is drawn from picture 700 + s
constexpr uint32_t kStateColours[4] = {0x101010, 0x20A020, 0xA02020, 0x808080};

// The button's owner: logs the commands that reach it and may delete the button on a press.
class Owner : public ppPane {
 public:
  explicit Owner(ppView* supervisor) : ppPane(supervisor, {0, 0, 300, 200}, kStretch, kStretch) {}
  void DoCommand(int32_t command, intptr_t parameter) override {
    commands.push_back({command, parameter});
    if (deleteOnPress && command == ppButton::kPressedCommand) delete reinterpret_cast<ppButton*>(parameter);
  }
  std::vector<std::pair<int32_t, intptr_t>> commands;
  bool deleteOnPress = false;
};

class Buttons : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    ppView::ResetClickPoint();
    app_ = std::make_unique<TestApplication>();
    for (int s = 0; s < 4; ++s) app_->pictures[kPictures + s] = SolidPicture(20, 10, kStateColours[s]);
    window_ = new ppWindow();
    hwnd_ = adorner_tests::MakeObjectWindow(window_, 300, 200);
    owner_ = new Owner(window_);
    HeadlessDriver::RunUntilIdle();
  }
  void TearDown() override {
    delete window_;
    app_.reset();
    HeadlessDriver::Reset();
  }
  ppButton* MakeButton(int32_t kind) {
    RECT frame{40, 40, 60, 50};
    return new ppButton(owner_, &frame, kPictures, ppView::kStay, ppView::kStay, kind);
  }
  // A press on the button and its release at `release` (screen pixels), then the queue run dry.
  void Press(POINT release = {45, 45}) {
    Desktop::MouseButton(VK_LBUTTON, true, {45, 45});
    Desktop::MouseButton(VK_LBUTTON, false, release);
    HeadlessDriver::RunUntilIdle();
  }
  uint32_t PixelInButton() { return GetWindowSurface(hwnd_)->Pixel(50, 45) & 0xFFFFFF; }

  std::unique_ptr<TestApplication> app_;
  ppWindow* window_ = nullptr;
  Owner* owner_ = nullptr;
  HWND hwnd_ = nullptr;
};

TEST_F(Buttons, PushButtonReportsToItsOwnerAndEndsHighlightedShowingThatStatesPicture) {
  ppButton* button = MakeButton(ppButton::kPush);
  Press();
  ASSERT_EQ(owner_->commands.size(), 1u);
  EXPECT_EQ(owner_->commands[0].first, 5000);
  EXPECT_EQ(owner_->commands[0].second, reinterpret_cast<intptr_t>(button));
  EXPECT_EQ(button->GetState(), ppButton::kHighlighted);
  EXPECT_EQ(PixelInButton(), kStateColours[1]);
  EXPECT_EQ(GetFocus(), hwnd_);
}

TEST_F(Buttons, AReleaseOutsideTheButtonStillCounts) {
  MakeButton(ppButton::kPush);
  Press({250, 150});
  EXPECT_EQ(owner_->commands.size(), 1u);
}

TEST_F(Buttons, DisabledPushButtonsIgnorePressesButDisabledTogglesStillReport) {
  ppButton* push = MakeButton(ppButton::kPush);
  push->SetState(ppButton::kDisabled);
  Press();
  EXPECT_TRUE(owner_->commands.empty());
  EXPECT_EQ(push->GetState(), ppButton::kDisabled);
  delete push;

  ppButton* keeping = MakeButton(ppButton::kPushKeepingState);
  keeping->SetState(ppButton::kDisabled);
  Press();
  EXPECT_TRUE(owner_->commands.empty());
  delete keeping;

  ppButton* toggle = MakeButton(ppButton::kToggle);
  toggle->SetState(ppButton::kDisabled);
  Press();
  ASSERT_EQ(owner_->commands.size(), 1u);
  EXPECT_EQ(owner_->commands[0].first, 5000);
  EXPECT_EQ(toggle->GetState(), ppButton::kDisabled);
}

TEST_F(Buttons, ToggleButtonsSwitchOnAndOffAndKeepingButtonsReturnToTheirState) {
  ppButton* toggle = MakeButton(ppButton::kToggle);
  Press();
  EXPECT_EQ(toggle->GetState(), ppButton::kHighlighted);
  EXPECT_EQ(PixelInButton(), kStateColours[1]);
  Press();
  EXPECT_EQ(toggle->GetState(), ppButton::kNormal);
  EXPECT_EQ(PixelInButton(), kStateColours[0]);
  EXPECT_EQ(owner_->commands.size(), 2u);
  delete toggle;

  ppButton* keeping = MakeButton(ppButton::kPushKeepingState);
  Press();
  EXPECT_EQ(keeping->GetState(), ppButton::kNormal);
  EXPECT_EQ(owner_->commands.size(), 3u);
}

TEST_F(Buttons, AButtonItsOwnerDeletesOnThePressIsNotTouchedAfterwards) {
  owner_->deleteOnPress = true;
  MakeButton(ppButton::kPush);
  Press();  // AddressSanitizer reports any touch of the deleted button
  EXPECT_EQ(owner_->commands.size(), 1u);
  EXPECT_EQ(owner_->Subviews().Count(), 0);
  MakeButton(ppButton::kPushKeepingState);
  Press();
  EXPECT_EQ(owner_->Subviews().Count(), 0);
}

TEST_F(Buttons, FrameComesFromTheNormalPictureOrStaysSmallWithoutOne) {
  ppButton sized(owner_, nullptr, kPictures, ppView::kStay, ppView::kStay, ppButton::kPush);
  EXPECT_EQ(sized.GetFrame(), (RECT{0, 0, 20, 10}));
  ppButton missing(owner_, nullptr, 9999, ppView::kStay, ppView::kStay, ppButton::kPush);
  EXPECT_EQ(missing.GetFrame(), (RECT{0, 0, 5, 5}));
  app_->pictures[800] = std::make_unique<ppPicture>();  // present but empty
  ppButton empty(owner_, nullptr, 800, ppView::kStay, ppView::kStay, ppButton::kPush);
  EXPECT_EQ(empty.GetFrame(), (RECT{0, 0, 5, 5}));
}

TEST_F(Buttons, HoverMovesOnlyBetweenNormalAndHighlightedAndRepaintsTheStatePicture) {
  ppButton* button = MakeButton(ppButton::kPush);
  button->Invalidate();
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(PixelInButton(), kStateColours[0]);
  button->Highlight();
  EXPECT_EQ(button->GetState(), ppButton::kHighlighted);
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(PixelInButton(), kStateColours[1]);
  button->Unhighlight();
  EXPECT_EQ(button->GetState(), ppButton::kNormal);
  button->SetState(ppButton::kDisabled);
  button->Highlight();
  button->Unhighlight();
  EXPECT_EQ(button->GetState(), ppButton::kDisabled);
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(PixelInButton(), kStateColours[3]);
}

}  // namespace
