// The dialog keys that must pass over items nobody can use: Tab and Shift+Tab, and Enter on a
// default button that is disabled.
#include <gtest/gtest.h>

#include <vector>

#include "platform/Controls.h"
#include "platform/Dialog.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"

namespace plat {
namespace {

std::vector<int32_t> gClicked;  // ids of the buttons pressed, in order

INT_PTR RecordingProc(HWND, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) return 1;
  if (message != WM_COMMAND) return 0;
  if (HIWORD(wParam) == BN_CLICKED) gClicked.push_back(LOWORD(wParam));
  return 1;
}

constexpr DWORD kStop = WS_VISIBLE | WS_TABSTOP;

class DialogKeyboard : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    gClicked.clear();
  }
  void TearDown() override { HeadlessDriver::Reset(); }

  HWND Open(DialogTemplate t) {
    t.style |= WS_VISIBLE;
    HWND dialog = CreateDialogIndirectParamW(nullptr, &t, nullptr, RecordingProc, 0);
    HeadlessDriver::RunUntilIdle();
    return dialog;
  }
  // Presses `key` (with Shift when asked) in the focused item and lets the dialog manager see it, as
  // a modeless dialog's loop does.
  static void Press(HWND dialog, int32_t key, bool shift = false) {
    if (shift) Desktop::Key(VK_SHIFT, true);
    Desktop::Key(key, true);
    Desktop::Key(key, false);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_KEYDOWN, WM_SYSCHAR, PM_REMOVE)) {
      if (!IsDialogMessageW(dialog, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
    if (shift) {
      Desktop::Key(VK_SHIFT, false);
      PeekMessageW(&msg, nullptr, WM_KEYDOWN, WM_SYSCHAR, PM_REMOVE);
    }
    HeadlessDriver::RunUntilIdle();
  }
};

TEST_F(DialogKeyboard, TabAndShiftTabPassOverDisabledAndHiddenItems) {
  DialogTemplate t;
  t.cx = 200, t.cy = 120;
  t.Add("EDIT", u"", 1, 4, 4, 80, 12, kStop | WS_BORDER);
  t.Add("EDIT", u"", 2, 4, 18, 80, 12, kStop | WS_DISABLED);  // disabled in the template
  t.Add("EDIT", u"", 3, 4, 32, 80, 12, WS_TABSTOP);           // hidden in the template
  t.Add("BUTTON", u"Four", 4, 4, 46, 50, 14, kStop);
  t.Add("EDIT", u"", 5, 4, 62, 80, 12, kStop);  // disabled once open
  t.Add("EDIT", u"", 6, 4, 76, 80, 12, kStop);  // hidden once open
  t.Add("BUTTON", u"Seven", 7, 4, 90, 50, 14, kStop);
  HWND dialog = Open(t);
  ASSERT_NE(dialog, nullptr);
  EnableWindow(GetDlgItem(dialog, 5), 0);
  ShowWindow(GetDlgItem(dialog, 6), SW_HIDE);
  // A hidden page whose own items are usable is passed over as a whole.
  DialogTemplate page;
  page.style = WS_CHILD;
  page.x = 100, page.cx = 90, page.cy = 40;
  page.Add("EDIT", u"", 50, 4, 4, 80, 12, kStop);
  ASSERT_NE(CreateDialogIndirectParamW(nullptr, &page, dialog, RecordingProc, 0), nullptr);

  struct Case {
    int32_t from;
    bool shift;
    int32_t to;
  } cases[] = {{1, false, 4}, {4, false, 7}, {7, false, 1},  // forwards, round the end
               {1, true, 7},  {7, true, 4},  {4, true, 1}};  // backwards, round the start
  for (const Case& c : cases) {
    SetFocus(GetDlgItem(dialog, c.from));
    Press(dialog, VK_TAB, c.shift);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), c.to) << (c.shift ? "Shift+Tab from " : "Tab from ") << c.from;
  }
}

TEST_F(DialogKeyboard, EnterDoesNotPressADisabledDefaultButton) {
  // Focus in a field; the default button is Apply (7), or OK when no button is the default.
  struct Case {
    const char* what;
    bool applyIsDefault, applyEnabled, okEnabled;
    std::vector<int32_t> pressed;
  } cases[] = {{"enabled default", true, true, true, {7}},
               {"disabled default", true, false, true, {}},
               {"OK stands in, enabled", false, true, true, {IDOK}},
               {"OK stands in, disabled", false, true, false, {}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    gClicked.clear();
    DialogTemplate t;
    t.cx = 200, t.cy = 80;
    t.Add("EDIT", u"", 10, 4, 4, 80, 12, kStop | WS_BORDER);
    t.Add("BUTTON", u"OK", IDOK, 140, 4, 50, 14, kStop | (c.okEnabled ? 0 : WS_DISABLED));
    t.Add("BUTTON", u"Apply", 7, 140, 22, 50, 14,
          kStop | (c.applyIsDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | (c.applyEnabled ? 0 : WS_DISABLED));
    HWND dialog = Open(t);
    ASSERT_NE(dialog, nullptr);
    SetFocus(GetDlgItem(dialog, 10));
    Press(dialog, VK_RETURN);
    EXPECT_EQ(gClicked, c.pressed);
    DestroyWindow(dialog);
  }
}

}  // namespace
}  // namespace plat
