#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "foundation/TextsById.h"
#include "foundation/iTextSource.h"
#include "framework/ToolTipControl.h"
#include "framework/ppWindow.h"
#include "platform/HeadlessDriver.h"
#include "platform/LayerClock.h"
#include "platform/Tooltip.h"
#include "platform/WindowApi.h"
#include "platform/WindowManager.h"

namespace {

using namespace plat;

constexpr uint16_t kTipList = 61000;  // "First tip", "Second tip"

// Knows one text, number 900, in every language.
class OneText : public iTextSource {
 public:
  bool GetString(int32_t number, Vcon::WString& text, int32_t) override {
    if (number != 900) return false;
    text = u"Translated tip";
    return true;
  }
};

class ToolTips : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    WNDCLASSA wc;
    wc.lpfnWndProc = ppWindow::ChildProc;
    wc.lpszClassName = "ZelvCtrl";
    RegisterClassA(&wc);
    owner_ = std::make_unique<ppWindow>();
    ppWindow::SetObjectUnderConstruction(owner_.get());
    CreateWindowExA(0, "ZelvCtrl", "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr, nullptr,
                    nullptr);
    owner_->SetOwnsWindow(true);
  }
  void TearDown() override {
    SetTextSource(nullptr);
    owner_.reset();
    HeadlessDriver::Reset();
  }
  std::u16string TipText(ToolTipControl& tips, int32_t id) {
    char16_t buffer[80] = {};
    TOOLINFOW info;
    info.cbSize = kToolInfoSize;
    info.hwnd = owner_->GetHWND();
    info.uId = static_cast<uintptr_t>(id);
    info.lpszText = buffer;
    SendMessageW(tips.Handle(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&info));
    return buffer;
  }
  int32_t ToolCount(ToolTipControl& tips) {
    return static_cast<int32_t>(SendMessageW(tips.Handle(), TTM_GETTOOLCOUNT, 0, 0));
  }
  std::unique_ptr<ppWindow> owner_;
};

TEST_F(ToolTips, ToolsAreAddedAndRemovedOnTheOwnersWindow) {
  ToolTipControl tips(owner_.get());
  ASSERT_TRUE(IsWindow(tips.Handle()));
  EXPECT_EQ(GetParent(tips.Handle()), owner_->GetHWND());
  tips.AddTool(owner_.get(), 1, {0, 0, 100, 50}, u"Walls \u00e0 l'angle");
  tips.AddTool(owner_.get(), 2, {100, 0, 200, 50}, u"Doors");
  EXPECT_EQ(ToolCount(tips), 2);
  EXPECT_EQ(TipText(tips, 1), u"Walls \u00e0 l'angle");
  tips.RemoveTool(owner_.get(), 1);
  EXPECT_EQ(ToolCount(tips), 1);
  EXPECT_EQ(TipText(tips, 2), u"Doors");
}

TEST_F(ToolTips, TextsComeFromTheLanguageWithTheStringListAsFallback) {
  ToolTipControl tips(owner_.get());
  tips.AddToolByTextId(owner_.get(), 1, {0, 0, 10, 10}, kTipList, 2, 900);
  OneText texts;
  SetTextSource(&texts);
  tips.AddToolByTextId(owner_.get(), 2, {0, 10, 10, 20}, kTipList, 1, 900);
  tips.AddToolByTextId(owner_.get(), 3, {0, 20, 10, 30}, kTipList, 1, 901);
  EXPECT_EQ(TipText(tips, 1), u"Second tip");
  EXPECT_EQ(TipText(tips, 2), u"Translated tip");
  EXPECT_EQ(TipText(tips, 3), u"First tip");
}

TEST_F(ToolTips, RelayedRestShowsTheTipAndTheControlGoesWithItsObject) {
  HWND control = nullptr;
  {
    ToolTipControl tips(owner_.get());
    control = tips.Handle();
    tips.AddTool(owner_.get(), 1, {0, 0, 100, 50}, u"Walls");
    MSG move;
    move.hwnd = owner_->GetHWND();
    move.message = WM_MOUSEMOVE;
    move.lParam = MAKELPARAM(20, 20);
    move.pt = {20, 20};
    tips.RelayEvent(&move);
    LayerClock::Advance(600);
    tips.RelayEvent(&move);
    UpdateToolTips();
    EXPECT_TRUE(IsWindowVisible(control));
  }
  EXPECT_FALSE(IsWindow(control));
}

TEST_F(ToolTips, OperationsOnAVanishedControlDoNothing) {
  ToolTipControl tips(owner_.get());
  HWND gone = tips.Handle();
  DestroyWindow(gone);
  size_t windows = WindowManager::Instance().AllWindows().size();
  tips.AddTool(owner_.get(), 1, {0, 0, 10, 10}, u"Gone");
  tips.RemoveTool(owner_.get(), 1);
  MSG move;
  move.message = WM_MOUSEMOVE;
  move.hwnd = owner_->GetHWND();
  tips.RelayEvent(&move);
  LayerClock::Advance(2000);
  UpdateToolTips();
  // No tip window is made again and none shows.
  EXPECT_EQ(tips.Handle(), gone);
  EXPECT_EQ(WindowManager::Instance().AllWindows().size(), windows);
}

}  // namespace
