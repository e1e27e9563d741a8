#include <gtest/gtest.h>

#include <vector>

#include "platform/Accelerator.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/Menu.h"
#include "platform/WindowApi.h"

namespace plat {
namespace {

std::vector<MSG> gCommands;

MSG Message(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG msg;
  msg.hwnd = window;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  return msg;
}
bool gReenableUndo = false;
HMENU gMenu = nullptr;

LRESULT Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND || message == WM_INITMENU || message == WM_INITMENUPOPUP) {
    gCommands.push_back(Message(window, message, wParam, lParam));
  }
  if (message == WM_INITMENUPOPUP && gReenableUndo) EnableMenuItem(gMenu, 31, MF_ENABLED);
  return DefWindowProcW(window, message, wParam, lParam);
}

class Accelerators : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    gCommands.clear();
    gReenableUndo = false;
    WNDCLASSA wc;
    wc.lpfnWndProc = Proc;
    wc.lpszClassName = "AccelFrame";
    ASSERT_NE(RegisterClassA(&wc), 0);
    gMenu = LoadMenuA(nullptr, "MAIN");
    frame_ = CreateWindowExA(0, "AccelFrame", "f", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                             gMenu, nullptr, nullptr);
    SetFocus(frame_);
    table_ = LoadAcceleratorsA(nullptr, "AppXAccelerators");
    ASSERT_NE(table_, nullptr);
    HeadlessDriver::RunUntilIdle();
  }
  void TearDown() override {
    DestroyAcceleratorTable(table_);
    HeadlessDriver::Reset();
    DestroyMenu(gMenu);
  }

  // The application's loop: accelerators first, then the usual translation and dispatch.
  int32_t Pump() {
    int32_t translated = 0;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_PAINT) {
        DispatchMessageW(&msg);
        ValidateRect(msg.hwnd, nullptr);
        continue;
      }
      if (TranslateAcceleratorA(frame_, table_, &msg)) {
        ++translated;
        continue;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    return translated;
  }

  // Presses `key` with the modifiers held, releases everything, and answers the commands sent.
  std::vector<WPARAM> Press(int32_t key, std::initializer_list<int32_t> modifiers) {
    gCommands.clear();
    for (int32_t m : modifiers) Desktop::Key(m, true);
    Desktop::Key(key, true);
    Pump();  // while the keys are down, as the user holds them
    Desktop::Key(key, false);
    for (int32_t m : modifiers) Desktop::Key(m, false);
    Pump();
    std::vector<WPARAM> out;
    for (const MSG& m : gCommands) {
      if (m.message == WM_COMMAND) out.push_back(m.wParam);
    }
    return out;
  }

  HWND frame_ = nullptr;
  HACCEL table_ = nullptr;
};

TEST_F(Accelerators, TheMainTableSendsCommandsWithHighWordOneOnExactModifiers) {
  EXPECT_EQ(Press('Z', {VK_CONTROL}), std::vector<WPARAM>{MAKEWPARAM(31, 1)});
  EXPECT_EQ(Press('Z', {VK_CONTROL, VK_SHIFT}), std::vector<WPARAM>{MAKEWPARAM(32, 1)});
  EXPECT_TRUE(Press('Z', {}).empty());
  EXPECT_TRUE(Press('Z', {VK_CONTROL, VK_MENU}).empty());  // Alt more than the entry asks
  EXPECT_EQ(Press(0x70, {}), std::vector<WPARAM>{MAKEWPARAM(49, 1)});
  EXPECT_EQ(Press(VK_ADD, {VK_CONTROL}), std::vector<WPARAM>{MAKEWPARAM(3009, 1)});
  EXPECT_EQ(Press(kVkOemPlus, {VK_CONTROL}), std::vector<WPARAM>{MAKEWPARAM(3009, 1)});
  EXPECT_EQ(Press(kVkOemMinus, {VK_CONTROL, VK_SHIFT}), std::vector<WPARAM>{MAKEWPARAM(3010, 1)});
  EXPECT_TRUE(Press(kVkOemMinus, {VK_CONTROL}).empty());
  EXPECT_EQ(Press('W', {VK_CONTROL}), std::vector<WPARAM>{MAKEWPARAM(304, 1)});  // the last entry
}

// A busy program reads a whole chord (Ctrl down, Z down, Z up, Ctrl up) before its loop takes the
// first key: the keys count as they stood when each message was sent, not as they stand now.
TEST_F(Accelerators, AChordReadWholeBeforeTheLoopTakesItStillSendsItsCommand) {
  gCommands.clear();
  Desktop::Key(VK_CONTROL, true);
  Desktop::Key('Z', true);
  Desktop::Key('Z', false);
  Desktop::Key(VK_CONTROL, false);
  EXPECT_GE(GetAsyncKeyState(VK_CONTROL), 0) << "the backend has read the release";
  EXPECT_EQ(Pump(), 1);
  ASSERT_FALSE(gCommands.empty());
  EXPECT_EQ(gCommands.back().message, static_cast<UINT>(WM_COMMAND));
  EXPECT_EQ(gCommands.back().wParam, MAKEWPARAM(31, 1));
  EXPECT_GE(GetKeyState(VK_CONTROL), 0) << "once taken, the release counts";

  // Shift+A typed the same way is a capital, and Caps Lock pressed ahead counts only once taken.
  std::vector<WPARAM> typed;
  Desktop::Key(VK_SHIFT, true);
  Desktop::Key('A', true);
  Desktop::Key('A', false);
  Desktop::Key(VK_SHIFT, false);
  Desktop::Key(VK_CAPITAL, true);
  Desktop::Key(VK_CAPITAL, false);
  Desktop::Key('A', true);
  Desktop::Key('A', false);
  EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 0);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_CHAR) typed.push_back(msg.wParam);
    TranslateMessage(&msg);
  }
  EXPECT_EQ(typed, (std::vector<WPARAM>{'A', 'A'}));
  EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 1);
}

TEST_F(Accelerators, AGreyedMenuItemHoldsItsCommandBackUnlessTheOwnerEnablesIt) {
  EnableMenuItem(gMenu, 31, MF_GRAYED);
  EXPECT_TRUE(Press('Z', {VK_CONTROL}).empty());
  // The owner was asked first: menu, then the Edit popup that holds Undo.
  ASSERT_EQ(gCommands.size(), 2u);
  EXPECT_EQ(gCommands[0].message, static_cast<UINT>(WM_INITMENU));
  EXPECT_EQ(gCommands[1].wParam, reinterpret_cast<WPARAM>(GetSubMenu(gMenu, 1)));
  EXPECT_EQ(gCommands[1].lParam, MAKELPARAM(1, 0));

  EnableMenuItem(gMenu, 32, MF_DISABLED);
  EXPECT_TRUE(Press('Z', {VK_CONTROL, VK_SHIFT}).empty());
  gReenableUndo = true;
  EXPECT_EQ(Press('Z', {VK_CONTROL}), std::vector<WPARAM>{MAKEWPARAM(31, 1)});
  // Commands that are no menu item are never held back.
  EXPECT_EQ(Press('R', {VK_CONTROL}), std::vector<WPARAM>{MAKEWPARAM(3022, 1)});
}

TEST_F(Accelerators, CharacterEntriesAndBadTables) {
  ACCEL entries[] = {{0, '+', 500}, {FVIRTKEY | FALT, 'K', 501}};
  HACCEL own = CreateAcceleratorTableA(entries, 2);
  MSG plus = Message(frame_, WM_CHAR, '+', 0);
  EXPECT_EQ(TranslateAcceleratorA(frame_, own, &plus), 1);
  MSG keyK = Message(frame_, WM_KEYDOWN, 'K', 0);
  EXPECT_EQ(TranslateAcceleratorA(frame_, own, &keyK), 0);  // Alt is not down
  EXPECT_TRUE(DestroyAcceleratorTable(own));
  EXPECT_FALSE(DestroyAcceleratorTable(own));
  EXPECT_EQ(TranslateAcceleratorA(frame_, own, &plus), 0);  // a destroyed table translates nothing
  EXPECT_EQ(TranslateAcceleratorA(frame_, nullptr, &plus), 0);

  const uint8_t noEnd[] = {1, 0, 0x70, 0, 49, 0, 0, 0};
  const uint8_t cut[] = {0x81, 0, 0x70, 0, 49, 0, 0};
  const uint8_t trailing[] = {0x81, 0, 0x70, 0, 49, 0, 0, 0, 1, 0, 0x71, 0, 50, 0, 0, 0};
  EXPECT_EQ(ParseAcceleratorResource(noEnd), nullptr);
  EXPECT_EQ(ParseAcceleratorResource(cut), nullptr);
  EXPECT_EQ(ParseAcceleratorResource(trailing), nullptr);
  EXPECT_EQ(LoadAcceleratorsA(nullptr, "Missing"), nullptr);
}

}  // namespace
}  // namespace plat
