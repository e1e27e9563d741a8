#include <gtest/gtest.h>

#include <vector>

#include "platform/Clipboard.h"
#include "platform/Controls.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"

namespace plat {
namespace {

// The parent of the controls logs the commands, scroll messages, notifications and item drawings it
// receives; a test may answer WM_NOTIFY.
struct Notice {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<Notice> gNotices;
LRESULT gNotifyAnswer = 0;
std::vector<DRAWITEMSTRUCT> gDrawn;

LRESULT ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
      gNotices.push_back({message, wParam, lParam});
      return 0;
    case WM_NOTIFY:
      gNotices.push_back({message, wParam, reinterpret_cast<const MSGFILTER*>(lParam)->msg});
      return gNotifyAnswer;
    case WM_DRAWITEM:
      gDrawn.push_back(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return 1;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

class Controls : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    gNotices.clear();
    gDrawn.clear();
    gNotifyAnswer = 0;
    WNDCLASSA wc;
    wc.lpfnWndProc = ParentProc;
    wc.lpszClassName = "ControlParent";
    RegisterClassA(&wc);
    parent_ = CreateWindowExA(0, "ControlParent", "parent", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                              nullptr, nullptr, nullptr);
  }
  void TearDown() override { HeadlessDriver::Reset(); }

  HWND Make(const char* cls, const char16_t* text, DWORD style, RECT r, int32_t id = 100) {
    return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, parent_, reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)),
                           nullptr, nullptr);
  }
  // Clicks at a point of a control's client area and handles what that queued.
  void ClickAt(HWND control, POINT local) {
    ClientToScreen(control, &local);
    Desktop::Click(local);
    HeadlessDriver::RunUntilIdle();
  }
  void Type(const std::u16string& text) {
    for (char16_t c : text) Desktop::Char(c);
    HeadlessDriver::RunUntilIdle();
  }
  void Press(int32_t key) {
    Desktop::Key(key, true);
    Desktop::Key(key, false);
    HeadlessDriver::RunUntilIdle();
  }
  std::vector<WORD> Codes(UINT message) {
    std::vector<WORD> out;
    for (const Notice& n : gNotices) {
      if (n.message == message) out.push_back(HIWORD(n.wParam));
    }
    return out;
  }
  std::vector<WORD> ScrollCodes() {
    std::vector<WORD> out;
    for (const Notice& n : gNotices) {
      if (n.message == WM_HSCROLL || n.message == WM_VSCROLL) out.push_back(LOWORD(n.wParam));
    }
    return out;
  }
  static std::u16string Text(HWND w) {
    char16_t buffer[256];
    int32_t n = GetWindowTextW(w, buffer, 256);
    return std::u16string(buffer, static_cast<size_t>(n));
  }
  HWND parent_ = nullptr;
};

TEST_F(Controls, CheckBoxesToggleAndRadioGroupsKeepOneChecked) {
  HWND check = Make("BUTTON", u"Check", BS_AUTOCHECKBOX | WS_TABSTOP, {10, 10, 110, 30}, 1);
  HWND a = Make("BUTTON", u"A", BS_AUTORADIOBUTTON | WS_GROUP, {10, 40, 110, 60}, 2);
  HWND b = Make("BUTTON", u"B", BS_AUTORADIOBUTTON, {10, 70, 110, 90}, 3);
  HWND other = Make("BUTTON", u"Other group", BS_AUTORADIOBUTTON | WS_GROUP, {10, 100, 110, 120}, 4);
  HWND frame = Make("BUTTON", u"Frame", BS_GROUPBOX, {200, 10, 300, 100}, 5);
  ClickAt(frame, {50, 50});  // a group box is no button: nothing is reported
  ClickAt(check, {5, 5});
  EXPECT_EQ(SendMessageW(check, BM_GETCHECK, 0, 0), LRESULT(BST_CHECKED));
  ClickAt(check, {5, 5});
  EXPECT_EQ(SendMessageW(check, BM_GETCHECK, 0, 0), LRESULT(BST_UNCHECKED));
  SendMessageW(other, BM_SETCHECK, BST_CHECKED, 0);
  ClickAt(a, {5, 5});
  ClickAt(b, {5, 5});
  EXPECT_EQ(SendMessageW(a, BM_GETCHECK, 0, 0), LRESULT(BST_UNCHECKED));
  EXPECT_EQ(SendMessageW(b, BM_GETCHECK, 0, 0), LRESULT(BST_CHECKED));
  EXPECT_EQ(SendMessageW(other, BM_GETCHECK, 0, 0), LRESULT(BST_CHECKED)) << "another group is left alone";
  EXPECT_EQ(Codes(WM_COMMAND), (std::vector<WORD>{BN_CLICKED, BN_CLICKED, BN_CLICKED, BN_CLICKED}));
  EXPECT_EQ(reinterpret_cast<HWND>(gNotices.back().lParam), b);
}

TEST_F(Controls, ButtonsClickOnlyWhenReleasedInsideAndWhenEnabled) {
  HWND push = Make("BUTTON", u"Push", BS_PUSHBUTTON, {10, 10, 90, 40}, 7);
  POINT inside{20, 20}, outside{200, 200};
  ClientToScreen(parent_, &inside);
  ClientToScreen(parent_, &outside);
  Desktop::MouseButton(VK_LBUTTON, true, inside);
  HeadlessDriver::RunUntilIdle();
  Desktop::MouseMove(outside);
  Desktop::MouseButton(VK_LBUTTON, false, outside);
  HeadlessDriver::RunUntilIdle();
  EXPECT_TRUE(gNotices.empty()) << "dragged off before release";
  EXPECT_EQ(GetCapture(), nullptr);
  EnableWindow(push, 0);
  ClickAt(push, {5, 5});
  EXPECT_TRUE(gNotices.empty());
  EnableWindow(push, 1);
  SetFocus(push);
  Press(VK_SPACE);
  EXPECT_EQ(Codes(WM_COMMAND), (std::vector<WORD>{BN_CLICKED}));
  EXPECT_EQ(LOWORD(gNotices[0].wParam), 7);
}

TEST_F(Controls, OwnerDrawnButtonsAskTheirParentToDraw) {
  HWND drawn = Make("BUTTON", u"", BS_OWNERDRAW, {10, 10, 60, 40}, 9);
  HeadlessDriver::RunUntilIdle();
  ASSERT_FALSE(gDrawn.empty());
  EXPECT_EQ(gDrawn.back().CtlType, ODT_BUTTON);
  EXPECT_EQ(gDrawn.back().CtlID, 9u);
  EXPECT_EQ(gDrawn.back().hwndItem, drawn);
  EXPECT_EQ(gDrawn.back().rcItem.right, 50);
  EXPECT_EQ(gDrawn.back().rcItem.bottom, 30);
}

TEST_F(Controls, EditsTypeSelectCutAndPaste) {
  HWND edit = Make("EDIT", u"", WS_BORDER | ES_AUTOHSCROLL, {10, 10, 200, 30});
  SetFocus(edit);
  Type(u"hello");
  EXPECT_EQ(Text(edit), u"hello");
  EXPECT_EQ(Codes(WM_COMMAND),
            (std::vector<WORD>{EN_SETFOCUS, EN_CHANGE, EN_CHANGE, EN_CHANGE, EN_CHANGE, EN_CHANGE}));
  // Shift+Home selects back to the start; cut takes it to the clipboard.
  Desktop::Key(VK_SHIFT, true);
  Press(VK_LEFT);
  Press(VK_LEFT);
  Desktop::Key(VK_SHIFT, false);
  DWORD from = 0, to = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 3u);
  EXPECT_EQ(to, 5u);
  Type(u"\x18");  // Ctrl+X
  EXPECT_EQ(Text(edit), u"hel");
  EXPECT_EQ(Clipboard::Text(), u"lo");
  Press(VK_HOME);
  SendMessageW(edit, WM_PASTE, 0, 0);
  EXPECT_EQ(Text(edit), u"lohel");
  Type(u"\b");
  EXPECT_EQ(Text(edit), u"lhel");
  Press(VK_DELETE);
  EXPECT_EQ(Text(edit), u"lel");
  // Ctrl+arrows go by words; a double click selects the word under the pointer.
  SetWindowTextW(edit, u"oak  beech walnut");
  Desktop::Key(VK_CONTROL, true);
  Press(VK_RIGHT);
  Press(VK_RIGHT);
  Desktop::Key(VK_CONTROL, false);
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 10u);
  Desktop::Key(VK_CONTROL, true);
  Press(VK_LEFT);
  Desktop::Key(VK_CONTROL, false);
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 5u);
  SendMessageW(edit, WM_LBUTTONDBLCLK, 0, MAKELPARAM(6, 5));  // within "oak"
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 0u);
  EXPECT_EQ(to, 3u);
  // A long text scrolls sideways to show the caret at its end, quickly.
  SendMessageW(edit, EM_LIMITTEXT, 0, 0);
  SetWindowTextW(edit, std::u16string(20000, u'w').c_str());
  Press(VK_END);
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 20000u);
  // A single line keeps pasted text to its first line.
  Clipboard::SetText(u"ab\r\ncd");
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SendMessageW(edit, WM_PASTE, 0, 0);
  EXPECT_EQ(Text(edit), u"ab");
}

TEST_F(Controls, EditsHonourLimitsReadOnlyPasswordsAndLines) {
  HWND edit = Make("EDIT", u"", 0, {10, 10, 200, 30});
  SetFocus(edit);
  SendMessageW(edit, EM_LIMITTEXT, 3, 0);
  Type(u"abcd");
  EXPECT_EQ(Text(edit), u"abc");
  EXPECT_FALSE(Desktop::Beeps().empty()) << "a refused key beeps";
  SendMessageW(edit, EM_SETREADONLY, 1, 0);
  Type(u"\bx");
  EXPECT_EQ(Text(edit), u"abc");
  SendMessageW(edit, EM_SETREADONLY, 0, 0);
  SendMessageW(edit, EM_SETPASSWORDCHAR, '*', 0);
  Clipboard::SetText(u"kept");
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SendMessageW(edit, WM_COPY, 0, 0);
  EXPECT_EQ(Clipboard::Text(), u"kept") << "a password is never copied";

  HWND memo = Make("EDIT", u"", ES_MULTILINE | ES_WANTRETURN, {10, 40, 200, 140}, 101);
  SetFocus(memo);
  Type(u"one\rone");
  EXPECT_EQ(Text(memo), u"one\r\none");
  EXPECT_EQ(SendMessageW(memo, EM_GETLINECOUNT, 0, 0), 2);
  Press(VK_UP);
  Type(u"!");
  EXPECT_EQ(Text(memo), u"one!\r\none");
  Press(VK_RIGHT);  // over the line break as one step
  Press(VK_RIGHT);
  Type(u"\b\b");
  EXPECT_EQ(Text(memo), u"one!ne");
}

TEST_F(Controls, RichEditsFilterKeysAndKeepWideText) {
  HWND rich = Make("RichEdit20A", u"", ES_AUTOHSCROLL, {10, 10, 200, 30});
  SendMessageW(rich, EM_SETEVENTMASK, 0, ENM_KEYEVENTS);
  SetFocus(rich);
  gNotifyAnswer = 1;  // the parent drops every key
  Type(u"x");
  EXPECT_EQ(Text(rich), u"");
  ASSERT_FALSE(gNotices.empty());
  EXPECT_EQ(gNotices.back().message, UINT(WM_NOTIFY));
  EXPECT_EQ(gNotices.back().lParam, LPARAM(WM_CHAR));
  gNotifyAnswer = 0;
  SETTEXTEX how{ST_DEFAULT, 1200};
  SendMessageW(rich, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how),
               reinterpret_cast<LPARAM>(u"\u0141\u00f3d\u017a"));
  GETTEXTLENGTHEX lengthHow{GTL_NUMBYTES, 1200};
  LRESULT bytes = SendMessageW(rich, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lengthHow), 0);
  EXPECT_EQ(bytes, 8);
  std::vector<char16_t> buffer(static_cast<size_t>(bytes) / 2 + 2);
  GETTEXTEX get{static_cast<DWORD>(buffer.size() * 2), GT_DEFAULT, 1200};
  SendMessageW(rich, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(buffer.data()));
  EXPECT_EQ(std::u16string(buffer.data()), u"\u0141\u00f3d\u017a");
  SendMessageW(rich, EM_EXLIMITTEXT, 0, 5);
  SendMessageW(rich, EM_SETSEL, 4, 4);
  Type(u"12");
  EXPECT_EQ(Text(rich), u"\u0141\u00f3d\u017a1");
  for (WORD code : Codes(WM_COMMAND)) EXPECT_NE(code, EN_CHANGE) << "no change events unless asked for";
  SendMessageW(rich, EM_SETEVENTMASK, 0, ENM_KEYEVENTS | ENM_CHANGE);
  Type(u"\b");
  EXPECT_EQ(Codes(WM_COMMAND).back(), EN_CHANGE);
  // A tiny buffer gets what fits, always terminated.
  char16_t two[2] = {u'?', u'?'};
  GETTEXTEX small{4, GT_DEFAULT, 1200};
  EXPECT_EQ(SendMessageW(rich, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&small), reinterpret_cast<LPARAM>(two)),
            1);
  EXPECT_EQ(two[1], 0);
}

TEST_F(Controls, ComboBoxesListChooseAndNotify) {
  HWND combo = Make("COMBOBOX", u"", CBS_DROPDOWNLIST, {10, 10, 150, 32});
  for (const char16_t* s : {u"red", u"green", u"blue"})
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_EQ(SendMessageW(combo, CB_SETCURSEL, 1, 0), 1);
  EXPECT_EQ(SendMessageW(combo, CB_SETCURSEL, 7, 0), CB_ERR);
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR) << "an index out of range clears the choice";
  EXPECT_TRUE(Codes(WM_COMMAND).empty()) << "the program's own choices are not notified";
  EXPECT_EQ(SendMessageW(combo, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(u"BLUE")), 2);
  EXPECT_EQ(SendMessageW(combo, CB_GETLBTEXT, 5, 0), CB_ERR);

  SetFocus(combo);
  SendMessageW(combo, CB_SETCURSEL, 0, 0);
  Press(VK_DOWN);
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
  Press(VK_UP);
  Press(VK_UP);  // already at the first entry: nothing changes
  EXPECT_EQ(Codes(WM_COMMAND), (std::vector<WORD>{CBN_SELCHANGE, CBN_SELCHANGE}));

  // Open the list with a click and choose the third entry with a second click.
  gNotices.clear();
  ClickAt(combo, {130, 10});
  EXPECT_EQ(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0), 1);
  RECT field;
  GetWindowRect(combo, &field);
  Desktop::Click({field.left + 20, field.bottom + 2 + 2 * 15 + 5});
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0), 0);
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(GetCapture(), nullptr) << "the closed list still holds the mouse";
  EXPECT_EQ(Codes(WM_COMMAND), (std::vector<WORD>{CBN_DROPDOWN, CBN_CLOSEUP, CBN_SELCHANGE}));
  char16_t chosen[16];
  EXPECT_EQ(SendMessageW(combo, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(chosen)), 4);
  EXPECT_EQ(std::u16string(chosen), u"blue");
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
}

TEST_F(Controls, OpenedListsShowTheChoiceAndStayStillUnderTheMouse) {
  HWND combo = Make("COMBOBOX", u"", CBS_DROPDOWNLIST, {10, 10, 150, 32});
  for (int32_t i = 0; i < 20; ++i) {
    std::u16string entry = u"entry " + std::u16string(1, char16_t(u'a' + i));
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  }
  SendMessageW(combo, CB_SETCURSEL, 15, 0);
  SendMessageW(combo, CB_SHOWDROPDOWN, 1, 0);
  RECT field;
  GetWindowRect(combo, &field);
  HWND list = WindowFromPoint({field.left + 5, field.bottom + 5});
  ASSERT_NE(list, nullptr);
  ASSERT_NE(list, parent_);
  RECT box;
  GetWindowRect(list, &box);
  int32_t row = (box.bottom - box.top - 2) / 8;
  // Entries 8 to 15 are shown, the choice last; moving over them does not scroll the list.
  for (int32_t r = 7; r >= 0; --r) Desktop::MouseMove({box.left + 10, box.top + 1 + r * row + row / 2});
  HeadlessDriver::RunUntilIdle();
  Desktop::Click({box.left + 10, box.top + 1 + row / 2});
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 8);
}

TEST_F(Controls, ScrollBarsClampAndReportArrowsPagesAndThumb) {
  // A vertical bar 17 pixels wide and 200 high: arrows of 17, a track of 166.
  HWND bar = Make("SCROLLBAR", u"", SBS_VERT, {100, 10, 117, 210});
  SCROLLINFO info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = 0, info.nMax = 99, info.nPage = 10, info.nPos = 500;
  EXPECT_EQ(SetScrollInfo(bar, SB_CTL, &info, 1), 90) << "the position stops at max - page + 1";
  EXPECT_EQ(SetScrollPos(bar, SB_CTL, -4, 1), 90);
  EXPECT_EQ(GetScrollPos(bar, SB_CTL), 0);
  EXPECT_EQ(SetScrollInfo(bar, SB_HORZ, &info, 1), 0) << "the layer has bar controls only";

  ClickAt(bar, {8, 5});
  ClickAt(bar, {8, 195});
  ClickAt(bar, {8, 150});
  EXPECT_EQ(ScrollCodes(), (std::vector<WORD>{SB_LINEUP, SB_ENDSCROLL, SB_LINEDOWN, SB_ENDSCROLL, SB_PAGEDOWN,
                                              SB_ENDSCROLL}));
  EXPECT_EQ(gNotices[0].message, UINT(WM_VSCROLL));
  EXPECT_EQ(reinterpret_cast<HWND>(gNotices[0].lParam), bar);

  // Drag the thumb (at the top, position 0) down by half the free track.
  gNotices.clear();
  POINT grab{8, 20}, drop{8, 20 + (166 - 16) / 2};
  ClientToScreen(bar, &grab);
  ClientToScreen(bar, &drop);
  Desktop::MouseButton(VK_LBUTTON, true, grab);
  HeadlessDriver::RunUntilIdle();
  Desktop::MouseMove(drop);
  Desktop::MouseButton(VK_LBUTTON, false, drop);
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(ScrollCodes(), (std::vector<WORD>{SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL}));
  EXPECT_EQ(HIWORD(gNotices[0].wParam), 45);
  EXPECT_EQ(HIWORD(gNotices[1].wParam), 45);
  EXPECT_EQ(GetScrollPos(bar, SB_CTL), 0) << "the parent moves the bar, not the drag";

  // A disabled bar reports nothing.
  gNotices.clear();
  EnableScrollBar(bar, SB_CTL, ESB_DISABLE_BOTH);
  ClickAt(bar, {8, 5});
  EXPECT_TRUE(gNotices.empty());
}

}  // namespace
}  // namespace plat
