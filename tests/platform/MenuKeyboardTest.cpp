// The menu keys: arrows pass over separators and items that cannot be chosen, and Enter always ends
// what it was pressed on (a command chosen, a submenu opened, or the menu closed).
#include <gtest/gtest.h>

#include <vector>

#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/Menu.h"
#include "platform/MenuBar.h"
#include "platform/MenuTracker.h"
#include "platform/WindowApi.h"
#include "platform/WindowManager.h"

namespace plat {
namespace {

std::vector<WPARAM> gCommands;  // WM_COMMAND wParams the frame received

LRESULT FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) gCommands.push_back(wParam);
  return DefWindowProcW(window, message, wParam, lParam);
}

class MenuKeyboard : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    gCommands.clear();
    WNDCLASSA wc;
    wc.lpfnWndProc = FrameProc;
    wc.lpszClassName = "KeyMenuFrame";
    ASSERT_NE(RegisterClassA(&wc), 0);
    // A popup: A, separator, B greyed, C disabled, D, separator.
    popup_ = CreatePopupMenu();
    AppendMenuA(popup_, MF_STRING, 101, "A");
    AppendMenuA(popup_, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(popup_, MF_STRING | MF_GRAYED, 102, "B");
    AppendMenuA(popup_, MF_STRING | MF_DISABLED, 103, "C");
    AppendMenuA(popup_, MF_STRING, 104, "D");
    AppendMenuA(popup_, MF_SEPARATOR, 0, nullptr);
    // A bar: the popup, a command of its own and a greyed command.
    bar_ = CreateMenu();
    AppendMenuA(bar_, MF_POPUP, reinterpret_cast<uintptr_t>(popup_), "&Items");
    AppendMenuA(bar_, MF_STRING, 201, "&Go");
    AppendMenuA(bar_, MF_STRING | MF_GRAYED, 202, "&Off");
    frame_ = CreateWindowExA(0, "KeyMenuFrame", "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 40, 600, 400,
                             nullptr, bar_, nullptr, nullptr);
    ASSERT_NE(frame_, nullptr);
    SetFocus(frame_);
    HeadlessDriver::RunUntilIdle();
    // Once the queued keys are used up, the loop waits: that means the menu was left open. Each wait
    // notes it and closes one level, so the test ends either way.
    HeadlessDriver::SetIdleScript([this] {
      ++leftOpen_;
      Desktop::Key(VK_ESCAPE, true);
      return true;
    });
  }
  void TearDown() override { HeadlessDriver::Reset(); }

  static void Keys(std::initializer_list<int32_t> keys) {
    for (int32_t k : keys) {
      Desktop::Key(k, true, k == VK_UP || k == VK_DOWN || k == VK_LEFT || k == VK_RIGHT);
      Desktop::Key(k, false);
    }
  }
  // Runs the popup with `keys` queued; answers the chosen id (0: none).
  int32_t TrackWith(std::initializer_list<int32_t> keys) {
    Keys(keys);
    return TrackPopupMenu(popup_, TPM_RETURNCMD, 100, 100, 0, frame_, nullptr);
  }
  // The middle of the popup item at `position`, on screen (the popup stands at 100, 100).
  POINT OnItem(int32_t position) {
    RECT item = PopupItemRect(popup_, position);
    return {100 + (item.left + item.right) / 2, 100 + (item.top + item.bottom) / 2};
  }

  HMENU popup_ = nullptr, bar_ = nullptr;
  HWND frame_ = nullptr;
  int leftOpen_ = 0;
};

TEST_F(MenuKeyboard, ArrowsPassOverSeparatorsAndItemsThatCannotBeChosen) {
  struct Case {
    std::initializer_list<int32_t> keys;
    int32_t chosen;
  } cases[] = {
      {{VK_DOWN, VK_RETURN}, 101},                    // the first item
      {{VK_DOWN, VK_DOWN, VK_RETURN}, 104},           // past the separator, B and C
      {{VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, 101},  // past the last separator, round to the top
      {{VK_UP, VK_RETURN}, 104},                      // from nothing upwards: the last that can be chosen
      {{VK_UP, VK_UP, VK_RETURN}, 101},
      {{VK_DOWN, VK_UP, VK_RETURN}, 104},  // round the top upwards
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TrackWith(c.keys), c.chosen) << "case " << (&c - cases);
  }
  EXPECT_EQ(leftOpen_, 0);
}

TEST_F(MenuKeyboard, EnterOnAPopupChoosesOrCloses) {
  // Enter with nothing highlighted closes the menu.
  EXPECT_EQ(TrackWith({VK_RETURN}), 0);
  EXPECT_EQ(leftOpen_, 0) << "Enter with nothing highlighted left the menu open";
  // Enter on an item the mouse highlighted but that cannot be chosen closes the menu too.
  for (int32_t position : {1, 2, 3}) {
    Desktop::MouseMove(OnItem(position));
    Keys({VK_RETURN});
    EXPECT_EQ(TrackPopupMenu(popup_, TPM_RETURNCMD, 100, 100, 0, frame_, nullptr), 0) << position;
    EXPECT_EQ(leftOpen_, 0) << "Enter on item " << position << " left the menu open";
  }
  EXPECT_EQ(WindowManager::Instance().TopLevels().size(), 1u) << "a popup window stayed";
}

TEST_F(MenuKeyboard, EnterOnTheBarOpensChoosesOrCloses) {
  // Alt enters the bar on "Items"; Enter opens its popup with the first item highlighted, and a
  // second Enter chooses it.
  Keys({VK_MENU, VK_RETURN, VK_RETURN});
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(gCommands, (std::vector<WPARAM>{MAKEWPARAM(101, 0)}));
  EXPECT_EQ(leftOpen_, 0);
  // Enter on a command of the bar itself chooses it.
  gCommands.clear();
  Keys({VK_MENU, VK_RIGHT, VK_RETURN});
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(gCommands, (std::vector<WPARAM>{MAKEWPARAM(201, 0)}));
  EXPECT_EQ(leftOpen_, 0) << "Enter on a command of the bar left the menu open";
  // Enter on a greyed command of the bar closes the menu and chooses nothing.
  gCommands.clear();
  Keys({VK_MENU, VK_RIGHT, VK_RIGHT, VK_RETURN});
  HeadlessDriver::RunUntilIdle();
  EXPECT_TRUE(gCommands.empty());
  EXPECT_EQ(leftOpen_, 0) << "Enter on a greyed command of the bar left the menu open";
}

}  // namespace
}  // namespace plat
