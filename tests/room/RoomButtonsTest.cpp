// The room editor's button strip: layout, the mode and button states through real presses and the
// document window's view switches, and the tips registered with the document window's control.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/TextsById.h"
#include "foundation/iTextSource.h"
#include "framework/AdornerTestPictures.h"
#include "framework/ToolTipControl.h"
#include "framework/ppButton.h"
#include "framework/ppPane.h"
#include "platform/Desktop.h"
#include "platform/LayerClock.h"
#include "platform/Tooltip.h"
#include "room/zelvproRoomButtons.h"

namespace {

using namespace plat;

// Texts of one language by number.
class Language : public iTextSource {
 public:
  Language(std::u16string select, std::u16string drawWalls) : select_(select), drawWalls_(drawWalls) {}
  bool GetString(int32_t number, Vcon::WString& text, int32_t) override {
    if (number == 1124) text = select_;
    if (number == 1125) text = drawWalls_;
    return number == 1124 || number == 1125;
  }

 private:
  std::u16string select_, drawWalls_;
};

// The strip's parent: records whatever the strip passes on.
class Editor : public ppPane {
 public:
  explicit Editor(ppView* supervisor) : ppPane(supervisor, {0, 0, 300, 200}, kStretch, kStretch) {}
  void DoCommand(int32_t command, intptr_t /*parameter*/) override { commands.push_back(command); }
  std::vector<int32_t> commands;
};

class RoomButtonsTest : public ::testing::Test {
 protected:
  static constexpr RECT kStrip{100, 50, 160, 74};

  void SetUp() override {
    HeadlessDriver::Reset();
    ppView::ResetClickPoint();
    app_ = std::make_unique<adorner_tests::TestApplication>();
    window_ = new ppWindow();
    hwnd_ = adorner_tests::MakeObjectWindow(window_, 300, 200);
    editor_ = new Editor(window_);
    tips_ = std::make_unique<ToolTipControl>(window_);
    ToolTipControl::SetDocumentTips(tips_.get());
    SetTextSource(&english_);
    strip_ = new zelvproRoomButtons(editor_, kStrip);
  }
  void TearDown() override {
    SetTextSource(nullptr);
    delete window_;
    tips_.reset();
    app_.reset();
    HeadlessDriver::Reset();
  }

  // A press and release at window pixel `at` (the window sits at the screen's origin).
  void Press(POINT at) {
    Desktop::MouseButton(VK_LBUTTON, true, at);
    Desktop::MouseButton(VK_LBUTTON, false, at);
    HeadlessDriver::RunUntilIdle();
  }
  std::u16string TipText(int32_t id) {
    char16_t buffer[80] = {};
    TOOLINFOW info;
    info.cbSize = kToolInfoSize;
    info.hwnd = hwnd_;
    info.uId = static_cast<uintptr_t>(id);
    info.lpszText = buffer;
    SendMessageW(tips_->Handle(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&info));
    return buffer;
  }
  // The tip the control shows when the pointer rests at window pixel `at`; empty when none shows.
  std::u16string TipShownAt(POINT at) {
    MSG move;
    move.hwnd = hwnd_;
    move.message = WM_MOUSEMOVE;
    move.lParam = MAKELPARAM(at.x, at.y);
    move.pt = at;
    tips_->RelayEvent(&move);
    LayerClock::Advance(600);
    tips_->RelayEvent(&move);
    UpdateToolTips();
    if (!IsWindowVisible(tips_->Handle())) return u"";
    char16_t text[80] = {};
    GetWindowTextW(tips_->Handle(), text, 80);
    return text;
  }
  std::pair<int32_t, int32_t> States() const {
    return {strip_->SelectButton()->GetState(), strip_->DrawWallsButton()->GetState()};
  }

  std::unique_ptr<adorner_tests::TestApplication> app_;
  ppWindow* window_ = nullptr;
  HWND hwnd_ = nullptr;
  Editor* editor_ = nullptr;
  std::unique_ptr<ToolTipControl> tips_;
  Language english_{u"Select", u"Draw Walls"};
  zelvproRoomButtons* strip_ = nullptr;
};

TEST_F(RoomButtonsTest, TwoButtonsThirtyPixelsApartStartInSelectModeWithTheirTips) {
  EXPECT_EQ(RoomButtonsInstance, strip_);
  EXPECT_FALSE(DrawWallsMode);
  EXPECT_EQ(strip_->GetFrame(), kStrip);
  EXPECT_EQ(strip_->SelectButton()->GetFrame(), (RECT{0, 0, 24, 24}));
  EXPECT_EQ(strip_->DrawWallsButton()->GetFrame(), (RECT{30, 0, 54, 24}));
  EXPECT_EQ(strip_->SelectButton()->GetPictureId(), 2452);
  EXPECT_EQ(strip_->DrawWallsButton()->GetPictureId(), 2448);
  EXPECT_EQ(States(), std::make_pair(1, 0));

  EXPECT_EQ(SendMessageW(tips_->Handle(), TTM_GETTOOLCOUNT, 0, 0), 2);
  EXPECT_EQ(TipText(2452), u"Select");
  EXPECT_EQ(TipText(2448), u"Draw Walls");
  // The tips lie over the buttons in the window, not at the strip's own origin.
  EXPECT_EQ(TipShownAt({140, 60}), u"Draw Walls");
}

TEST_F(RoomButtonsTest, PressesAndViewSwitchesSetTheModeAndTheButtonStates) {
  const POINT select{110, 60}, drawWalls{140, 60};
  struct Step {
    const char* what;
    POINT press;      // pressed when command is 0
    int32_t command;  // sent to the strip otherwise
    intptr_t parameter;
    std::pair<int32_t, int32_t> states;
    bool mode;
  };
  const Step steps[] = {
      {"Draw Walls", drawWalls, 0, 0, {0, 1}, true},
      {"Draw Walls again", drawWalls, 0, 0, {0, 1}, true},
      {"view 2004", {}, 2004, 0, {3, 3}, true},
      {"Select while disabled", select, 0, 0, {3, 3}, true},
      {"view 2012", {}, 2012, 0, {3, 3}, true},
      {"view 2024", {}, 2024, 0, {3, 3}, true},
      {"view 2016", {}, 2016, 0, {1, 0}, false},
      {"Draw Walls", drawWalls, 0, 0, {0, 1}, true},
      {"view 2020", {}, 2020, 0, {3, 3}, true},
      {"view 2016", {}, 2016, 0, {1, 0}, false},
      {"Draw Walls", drawWalls, 0, 0, {0, 1}, true},
      {"view 2056", {}, 2056, 0, {3, 3}, true},
      {"view 2016", {}, 2016, 0, {1, 0}, false},
      {"Draw Walls", drawWalls, 0, 0, {0, 1}, true},
      {"5000 from another view", {}, 5000, 1234, {0, 1}, true},
      {"Select", select, 0, 0, {1, 0}, false},
  };
  for (const Step& step : steps) {
    if (step.command == 0)
      Press(step.press);
    else
      strip_->DoCommand(step.command, step.parameter);
    EXPECT_EQ(States(), step.states) << step.what;
    EXPECT_EQ(DrawWallsMode, step.mode) << step.what;
  }
  EXPECT_TRUE(editor_->commands.empty()) << "the strip passes nothing on";
}

TEST_F(RoomButtonsTest, ALanguageChangeRegistersBothTipsAgainWithTheNewTexts) {
  Language german(u"Auswahl", u"W\u00e4nde zeichnen");
  SetTextSource(&german);
  editor_->UpdateTexts();
  EXPECT_EQ(SendMessageW(tips_->Handle(), TTM_GETTOOLCOUNT, 0, 0), 2);
  EXPECT_EQ(TipText(2452), u"Auswahl");
  EXPECT_EQ(TipText(2448), u"W\u00e4nde zeichnen");

  // A strip that goes takes its tips and its published pointer along.
  delete strip_;
  EXPECT_EQ(SendMessageW(tips_->Handle(), TTM_GETTOOLCOUNT, 0, 0), 0);
  EXPECT_EQ(RoomButtonsInstance, nullptr);
}

}  // namespace
