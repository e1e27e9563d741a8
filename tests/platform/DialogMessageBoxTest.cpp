#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "platform/Controls.h"
#include "platform/DialogMessageBox.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/MessageBox.h"
#include "platform/WindowApi.h"

namespace plat {
namespace {

class DrawnMessageBoxes : public ::testing::Test {
 protected:
  void SetUp() override { HeadlessDriver::Reset(); }
  void TearDown() override { HeadlessDriver::Reset(); }
  // Runs a box; `key` is pressed when its loop first waits (0: none), and the box is looked at then.
  int32_t Run(uint32_t style, int32_t key, std::optional<int32_t> scripted = std::nullopt) {
    bool pressed = false;
    HeadlessDriver::SetIdleScript([&] {
      if (pressed || key == 0) return false;
      pressed = true;
      box_ = GetActiveWindow();
      char16_t caption[64];
      GetWindowTextW(box_, caption, 64);
      caption_ = caption;
      focusId_ = GetDlgCtrlID(GetFocus());
      Desktop::Key(key, true);
      return true;
    });
    return RunMessageBoxDialog(owner_, u"Save the changes to the plan?", u"Planner", style, scripted);
  }
  HWND owner_ = nullptr;
  HWND box_ = nullptr;
  std::u16string caption_;
  int32_t focusId_ = 0;
};

TEST_F(DrawnMessageBoxes, KeysAnswerWithTheStylesButtons) {
  EXPECT_EQ(Run(MB_YESNOCANCEL | MB_ICONQUESTION, VK_RETURN), IDYES);
  EXPECT_EQ(caption_, u"Planner");
  EXPECT_EQ(focusId_, IDYES);
  EXPECT_EQ(Run(MB_YESNO | MB_DEFBUTTON2, VK_RETURN), IDNO) << "Enter presses the MB_DEFBUTTON2 button";
  EXPECT_EQ(Run(MB_OKCANCEL, VK_ESCAPE), IDCANCEL);
  EXPECT_EQ(Run(MB_OK, VK_ESCAPE), IDOK) << "a box with only OK answers Esc with OK";
}

TEST_F(DrawnMessageBoxes, ScriptedAnswersPressTheirButton) {
  EXPECT_EQ(Run(MB_YESNOCANCEL, 0, IDNO), IDNO);
  EXPECT_EQ(Run(MB_RETRYCANCEL, 0, IDCANCEL), IDCANCEL);
  EXPECT_EQ(Run(MB_OKCANCEL | MB_DEFBUTTON2, 0, IDYES), IDCANCEL)
      << "an answer the box lacks presses its default";
}

TEST_F(DrawnMessageBoxes, TemplatesHoldIconTextAndButtonsInsideTheBox) {
  DialogTemplate t =
      MessageBoxTemplate(u"A longer text that has to wrap onto a second line because it is long.", u"Caption",
                         MB_ABORTRETRYIGNORE | MB_ICONHAND | MB_DEFBUTTON3);
  ASSERT_EQ(t.items.size(), 5u);
  EXPECT_EQ(t.items[0].style & SS_TYPEMASK, SS_ICON);
  EXPECT_EQ(t.items[0].text, u"#32513");
  EXPECT_EQ(t.items[4].id, IDIGNORE);
  EXPECT_EQ(t.items[4].style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  for (const DialogItemTemplate& item : t.items) {
    EXPECT_GE(item.x, 0);
    EXPECT_LE(item.x + item.cx, t.cx) << item.className;
    EXPECT_LE(item.y + item.cy, t.cy) << item.className;
  }
  EXPECT_GT(t.items[1].cy, 8) << "the text wraps";
}

TEST_F(DrawnMessageBoxes, TaskModalBoxesHoldEveryOtherWindow) {
  WNDCLASSA wc;
  wc.lpfnWndProc = DefWindowProcW;
  wc.lpszClassName = "Other";
  RegisterClassA(&wc);
  HWND other = CreateWindowExA(0, "Other", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                               nullptr, nullptr, nullptr);
  bool heldWhileUp = false;
  HeadlessDriver::SetIdleScript([&] {
    if (heldWhileUp) return false;
    heldWhileUp = !IsWindowEnabled(other);
    Desktop::Key(VK_RETURN, true);
    return true;
  });
  EXPECT_EQ(RunMessageBoxDialog(nullptr, u"Stop", u"", MB_OK | MB_TASKMODAL), IDOK);
  EXPECT_TRUE(heldWhileUp);
  EXPECT_TRUE(IsWindowEnabled(other));
}

TEST_F(DrawnMessageBoxes, AnExceptionLeavingATaskModalBoxGivesTheHeldWindowsBack) {
  WNDCLASSA wc;
  wc.lpfnWndProc = DefWindowProcW;
  wc.lpszClassName = "HeldByTheBox";
  RegisterClassA(&wc);
  HWND other = CreateWindowExA(0, "HeldByTheBox", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                               nullptr, nullptr, nullptr, nullptr);
  HWND box = nullptr;
  // Work done while the box waits (a timer, a repaint of another window) fails.
  HeadlessDriver::SetIdleScript([&]() -> bool {
    box = GetActiveWindow();
    throw std::runtime_error("failed while the box waited");
  });
  EXPECT_THROW(RunMessageBoxDialog(nullptr, u"Stop", u"", MB_OK | MB_TASKMODAL), std::runtime_error);
  HeadlessDriver::SetIdleScript(nullptr);
  EXPECT_TRUE(IsWindowEnabled(other));
  ASSERT_NE(box, nullptr);
  EXPECT_FALSE(IsWindow(box));
}

TEST_F(DrawnMessageBoxes, MessageBoxCallsDrawTheirBoxesWhenAskedAndStayLogged) {
  ClearMessageBoxLog();
  UseDrawnMessageBoxes(true);
  std::u16string seenText;
  HeadlessDriver::SetIdleScript([&] {
    if (!seenText.empty()) return false;
    HWND box = GetActiveWindow();
    char16_t text[128] = {};
    for (HWND item = GetWindow(box, GW_CHILD); item; item = GetWindow(item, GW_HWNDNEXT)) {
      if (GetDlgCtrlID(item) == 0xFFFF) GetWindowTextW(item, text, 128);
    }
    seenText = text;
    Desktop::Key(VK_RETURN, true);
    return true;
  });
  EXPECT_EQ(MessageBoxW(nullptr, u"Delete the wall?", u"Room", MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION),
            IDNO);
  EXPECT_EQ(seenText, u"Delete the wall?") << "the box was drawn and waited for the user";
  QueueMessageBoxAnswer(IDYES);
  EXPECT_EQ(MessageBoxExA(nullptr, "Again?", "Room", MB_YESNO, 0x0400), IDYES);
  UseDrawnMessageBoxes(false);
  auto log = MessageBoxLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].text, u"Delete the wall?");
  EXPECT_EQ(log[0].caption, u"Room");
  EXPECT_EQ(log[0].style, MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION);
  EXPECT_EQ(log[0].answer, IDNO);
  EXPECT_EQ(log[1].answer, IDYES);
  ClearMessageBoxLog();
}

}  // namespace
}  // namespace plat
