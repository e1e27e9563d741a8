#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "platform/Controls.h"
#include "platform/Dialog.h"
#include "platform/DialogMessageBox.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"
#include "platform/WindowManager.h"

namespace plat {
namespace {

// The procedure of the test dialogs: every button ends the dialog with its id; a test may look at
// messages first.
std::function<bool(HWND, UINT, WPARAM, LPARAM)> gHook;
std::vector<std::pair<int32_t, WORD>> gCommands;

INT_PTR TestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (gHook && gHook(dialog, message, wParam, lParam)) return 1;
  if (message == WM_INITDIALOG) return 1;
  if (message == WM_COMMAND) {
    gCommands.emplace_back(LOWORD(wParam), HIWORD(wParam));
    if (HIWORD(wParam) == BN_CLICKED) EndDialog(dialog, LOWORD(wParam));
    return 1;
  }
  return 0;
}

// OK and Cancel at the places of the view dialog, with a default button of id 7 and three fields.
DialogTemplate TestTemplate() {
  DialogTemplate t;
  t.caption = u"Test";
  t.cx = 532, t.cy = 325;
  t.Add("BUTTON", u"OK", IDOK, 475, 7, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON);
  t.Add("BUTTON", u"Cancel", IDCANCEL, 475, 24, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON);
  t.Add("EDIT", u"", 10, 7, 7, 100, 12, WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL);
  t.Add("EDIT", u"", 11, 7, 24, 100, 12, WS_VISIBLE | WS_TABSTOP | WS_BORDER);
  t.Add("BUTTON", u"&Apply", 7, 475, 41, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON);
  return t;
}

class Dialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    gHook = nullptr;
    gCommands.clear();
  }
  void TearDown() override {
    gHook = nullptr;
    HeadlessDriver::Reset();
  }
  // Runs the test dialog modally; each time the loop waits, the next step runs.
  INT_PTR RunSteps(std::vector<std::function<void(HWND)>> steps, HWND owner = nullptr,
                   const DialogTemplate& t = TestTemplate()) {
    size_t next = 0;
    HWND* seen = &dialog_;
    gHook = [seen](HWND dialog, UINT message, WPARAM, LPARAM) {
      if (message == WM_INITDIALOG) *seen = dialog;
      return false;
    };
    HeadlessDriver::SetIdleScript([&] {
      if (next == steps.size()) return false;
      steps[next++](dialog_);
      return true;
    });
    return DialogBoxIndirectParamW(nullptr, &t, owner, TestDialogProc, 0);
  }
  // A visible top-level window to own the test dialogs.
  static HWND MakeOwnerFrame() {
    WNDCLASSA wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = "OwnerFrame";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "OwnerFrame", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600,
                           nullptr, nullptr, nullptr, nullptr);
  }
  INT_PTR RunModal(std::function<void(HWND)> script, HWND owner = nullptr) {
    return RunSteps({script}, owner);
  }
  HWND dialog_ = nullptr;
};

TEST_F(Dialogs, KeyboardEndsModalDialogs) {
  // Esc answers IDCANCEL, Enter presses the default push button, the close box answers IDCANCEL.
  EXPECT_EQ(RunModal([](HWND) { Desktop::Key(VK_ESCAPE, true); }), IDCANCEL);
  EXPECT_EQ(RunModal([](HWND d) {
              SetFocus(GetDlgItem(d, 10));
              Desktop::Key(VK_RETURN, true);
            }),
            7);
  EXPECT_EQ(RunModal([](HWND d) { Desktop::RequestClose(d); }), IDCANCEL);
  // Enter while a push button has the focus presses that button.
  EXPECT_EQ(RunModal([](HWND d) {
              SetFocus(GetDlgItem(d, IDCANCEL));
              Desktop::Key(VK_RETURN, true);
            }),
            IDCANCEL);
}

TEST_F(Dialogs, QuitAndEarlyEndsDoNotHang) {
  // The program quits while the dialog is up: the dialog ends as cancelled and the quit message stays
  // for the program's own loop.
  EXPECT_EQ(RunModal([](HWND) { PostQuitMessage(3); }), IDCANCEL);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 3u);
  // A dialog that ends itself while it starts never waits for the user.
  gHook = [](HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) EndDialog(dialog, 9);
    return false;
  };
  HeadlessDriver::SetIdleScript(nullptr);
  DialogTemplate t = TestTemplate();
  EXPECT_EQ(DialogBoxIndirectParamW(nullptr, &t, nullptr, TestDialogProc, 0), 9);
}

TEST_F(Dialogs, MarkedLettersPressButtonsAndFocusLabelledFields) {
  // Alt+A presses "&Apply" (id 7); in a field the letter is typed, not taken as a mnemonic.
  EXPECT_EQ(RunModal([](HWND) {
              Desktop::Key(VK_MENU, true);
              Desktop::Key('A', true);
              Desktop::Key(VK_MENU, false);
            }),
            7);
  EXPECT_EQ(RunSteps({[](HWND d) {
                        SetFocus(GetDlgItem(d, 10));
                        Desktop::Key('A', true);
                      },
                      [](HWND d) {
                        char16_t text[8] = {};
                        GetDlgItemTextW(d, 10, text, 8);
                        EndDialog(d, text[0] == u'a' ? 100 : 0);
                      }}),
            100);
  // A plain letter on a button (which takes no characters) works as well; "&&" marks nothing.
  EXPECT_EQ(RunSteps({[](HWND d) {
                        SetDlgItemTextW(d, IDCANCEL, u"&&Cancel");
                        Desktop::Key('C', true);
                      },
                      [](HWND) { Desktop::Key('A', true); }, [](HWND d) { EndDialog(d, 55); }}),
            7);
}

TEST_F(Dialogs, ArrowsMoveWithinARadioGroupAndCheckAsTheyGo) {
  DialogTemplate t = TestTemplate();
  t.Add("BUTTON", u"One", 30, 7, 50, 60, 10, WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON);
  t.Add("BUTTON", u"Two", 31, 7, 62, 60, 10, WS_VISIBLE | BS_AUTORADIOBUTTON);
  t.Add("BUTTON", u"Three", 32, 7, 74, 60, 10, WS_VISIBLE | WS_DISABLED | BS_AUTORADIOBUTTON);
  t.Add("BUTTON", u"Next group", 33, 7, 86, 60, 10, WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON);
  std::vector<int32_t> focus;
  std::vector<UINT> checks;
  size_t step = 0;
  gHook = [](HWND, UINT message, WPARAM wParam, LPARAM) {
    return message == WM_COMMAND && LOWORD(wParam) >= 30 && LOWORD(wParam) <= 33;  // radios do not end it
  };
  std::vector<std::function<void(HWND)>> steps = {
      [](HWND d) {
        SetFocus(GetDlgItem(d, 30));
        Desktop::Key(VK_DOWN, true);
      },
      [&](HWND) { Desktop::Key(VK_DOWN, true); },  // past the disabled one, round to the first
      [&](HWND d) {
        focus.push_back(GetDlgCtrlID(GetFocus()));
        for (int32_t id : {30, 31, 33}) checks.push_back(IsDlgButtonChecked(d, id));
        EndDialog(d, 0);
      }};
  HeadlessDriver::SetIdleScript([&] {
    if (step == steps.size()) return false;
    steps[step++](GetActiveWindow());
    return true;
  });
  DialogBoxIndirectParamW(nullptr, &t, nullptr, TestDialogProc, 0);
  EXPECT_EQ(focus, (std::vector<int32_t>{30}));
  EXPECT_EQ(checks, (std::vector<UINT>{BST_CHECKED, BST_UNCHECKED, BST_UNCHECKED}));
}

TEST_F(Dialogs, EscClosesAnOpenedListBeforeTheDialog) {
  DialogTemplate t = TestTemplate();
  t.Add("COMBOBOX", u"", 40, 7, 41, 100, 60, WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST);
  bool closedFirst = false;
  INT_PTR result = RunSteps({[](HWND d) {
                               HWND combo = GetDlgItem(d, 40);
                               SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"one"));
                               SetFocus(combo);
                               SendMessageW(combo, CB_SHOWDROPDOWN, 1, 0);
                               Desktop::Key(VK_ESCAPE, true);
                             },
                             [&](HWND d) {
                               closedFirst = SendDlgItemMessageW(d, 40, CB_GETDROPPEDSTATE, 0, 0) == 0;
                               Desktop::Key(VK_ESCAPE, true);
                             }},
                            nullptr, t);
  EXPECT_TRUE(closedFirst);
  EXPECT_EQ(result, IDCANCEL);
}

TEST_F(Dialogs, ModalDialogDisablesItsOwnerUntilItEnds) {
  HWND owner = MakeOwnerFrame();
  bool disabledWhileShown = false;
  HWND ownerSeen = nullptr;
  INT_PTR result = RunModal(
      [&](HWND d) {
        disabledWhileShown = !IsWindowEnabled(owner);
        ownerSeen = GetParent(d);
        EndDialog(d, 42);
      },
      owner);
  EXPECT_EQ(result, 42);
  EXPECT_TRUE(disabledWhileShown);
  EXPECT_EQ(ownerSeen, owner);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_FALSE(IsWindow(dialog_));
}

// While a dialog holds its window, the program works on under it, as when a second start hands a
// document over: it shows its own boxes (a question over the window, a box that holds every window),
// then raises and activates the window, and a redraw focuses a pane of it. Each box opens above the
// dialog with the keys; afterwards the dialog still takes its clicks and its keys, back on the item
// that had them (OK, which Return then presses).
TEST_F(Dialogs, ABoxKeepsClicksAndKeysWhileTheProgramWorksUnderIt) {
  HWND owner = MakeOwnerFrame();
  HWND pane = CreateWindowExA(0, "OwnerFrame", "", WS_CHILD | WS_VISIBLE, 0, 0, 400, 300, owner, nullptr,
                              nullptr, nullptr);
  const auto press = [](int32_t key) {
    return [key](HWND) {
      Desktop::Key(key, true);
      Desktop::Key(key, false);
    };
  };
  const auto click = [](int32_t id) {
    return [id](HWND d) {
      RECT r{};
      GetWindowRect(GetDlgItem(d, id), &r);
      Desktop::Click({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    };
  };
  const struct {
    const char* what;
    std::function<void(HWND)> answer;
    INT_PTR result;
  } answers[] = {{"a click on Cancel", click(IDCANCEL), IDCANCEL},
                 {"Return", press(VK_RETURN), IDOK},
                 {"Escape", press(VK_ESCAPE), IDCANCEL}};
  const struct {
    const char* what;
    HWND owner;
    UINT style;
  } boxes[] = {{"no box", nullptr, 0},
               {"a question", owner, MB_YESNOCANCEL},
               {"a box holding every window", nullptr, MB_TASKMODAL | MB_ICONHAND}};
  for (const auto& box : boxes) {
    for (const auto& a : answers) {
      SCOPED_TRACE(std::string(box.what) + ", then " + a.what);
      HWND boxOnTop = nullptr, boxActive = nullptr, activeAfter = nullptr;
      bool keysInside = false;
      std::vector<std::function<void(HWND)>> steps = {[&](HWND d) {
        if (box.style != 0) RunMessageBoxDialog(box.owner, u"Box", u"Planner", box.style, std::nullopt);
        SetForegroundWindow(owner);
        ShowWindow(owner, SW_SHOW);
        SetFocus(pane);
        activeAfter = GetActiveWindow();
        keysInside = IsChild(d, GetFocus()) != 0;
      }};
      if (box.style != 0) {
        steps.push_back([&](HWND) {
          boxOnTop = WindowManager::Instance().TopLevels().back();
          boxActive = GetActiveWindow();
          press(VK_RETURN)(nullptr);
        });
      }
      steps.push_back(a.answer);
      steps.push_back([](HWND d) { EndDialog(d, -5); });  // only reached when the answer was lost
      EXPECT_EQ(RunSteps(steps, owner), a.result) << "the dialog did not take the answer";
      if (box.style != 0) {
        EXPECT_NE(boxOnTop, dialog_) << "the box opened under the dialog";
        EXPECT_NE(boxOnTop, owner) << "the box opened under the window";
        EXPECT_EQ(boxActive, boxOnTop) << "the box has no keys";
      }
      EXPECT_EQ(activeAfter, dialog_);
      EXPECT_TRUE(keysInside) << "the keys went out of the dialog";
    }
  }
}

TEST_F(Dialogs, TabMovesTheFocusAmongTabStopsBothWays) {
  std::vector<int32_t> focused;
  RunSteps({[&](HWND) {
              focused.push_back(GetDlgCtrlID(GetFocus()));
              Desktop::Key(VK_TAB, true);
            },
            [&](HWND) {
              focused.push_back(GetDlgCtrlID(GetFocus()));
              Desktop::Key(VK_SHIFT, true);
              Desktop::Key(VK_TAB, true);
            },
            [&](HWND) { Desktop::Key(VK_TAB, true); },
            [&](HWND d) {
              Desktop::Key(VK_SHIFT, false);
              focused.push_back(GetDlgCtrlID(GetFocus()));
              EndDialog(d, 0);
            }});
  // The first tab stop starts with the focus; Tab goes forward; Shift+Tab twice wraps backwards.
  // (Keys go to the window that has the focus when they are pressed, hence one key a step.)
  EXPECT_EQ(focused, (std::vector<int32_t>{IDOK, IDCANCEL, 7}));
}

TEST_F(Dialogs, TemplateItemsLandOnTheirBaseUnitRectangles) {
  DialogTemplate t = TestTemplate();
  HWND dialog = CreateDialogIndirectParamW(nullptr, &t, nullptr, TestDialogProc, 0);
  ASSERT_NE(dialog, nullptr);
  // Base units of the dialog font: a sans face at 8 points gives 5 to 7 pixels across, 11 to 16 down.
  RECT units = {0, 0, 4, 8};
  MapDialogRect(dialog, &units);
  EXPECT_GE(units.right, 5);
  EXPECT_LE(units.right, 7);
  EXPECT_GE(units.bottom, 11);
  EXPECT_LE(units.bottom, 16);

  RECT expected = {475, 7, 475 + 50, 7 + 14};
  MapDialogRect(dialog, &expected);
  // Rounded to the nearest pixel, as the platform's MulDiv does.
  EXPECT_EQ(expected.left, (475 * units.right + 2) / 4);
  EXPECT_EQ(expected.top, (7 * units.bottom + 4) / 8);
  EXPECT_EQ(expected.right, (525 * units.right + 2) / 4);
  RECT onScreen;
  GetWindowRect(GetDlgItem(dialog, IDOK), &onScreen);
  POINT origin{0, 0};
  ClientToScreen(dialog, &origin);
  EXPECT_EQ(onScreen.left - origin.x, expected.left);
  EXPECT_EQ(onScreen.top - origin.y, expected.top);
  EXPECT_EQ(onScreen.right - onScreen.left, expected.right - expected.left);
  EXPECT_EQ(onScreen.bottom - onScreen.top, expected.bottom - expected.top);
  // The client area is the template's size.
  RECT client, size = {0, 0, 532, 325};
  GetClientRect(dialog, &client);
  MapDialogRect(dialog, &size);
  EXPECT_EQ(client.right, size.right);
  EXPECT_EQ(client.bottom, size.bottom);
  DestroyWindow(dialog);
}

TEST_F(Dialogs, ItemHelpersReadAndWriteTexts) {
  DialogTemplate t = TestTemplate();
  HWND dialog = CreateDialogIndirectParamW(nullptr, &t, nullptr, TestDialogProc, 0);
  ASSERT_NE(dialog, nullptr);
  BOOL ok = 0;
  SetDlgItemTextA(dialog, 10, "-12");
  EXPECT_EQ(static_cast<int32_t>(GetDlgItemInt(dialog, 10, &ok, 1)), -12);
  EXPECT_TRUE(ok);
  GetDlgItemInt(dialog, 10, &ok, 0);
  EXPECT_FALSE(ok) << "no sign when unsigned";
  for (const char* bad : {"", "12a", "- 3", "2147483648", "1.5"}) {
    SetDlgItemTextA(dialog, 10, bad);
    EXPECT_EQ(GetDlgItemInt(dialog, 10, &ok, 1), 0u) << bad;
    EXPECT_FALSE(ok) << bad;
  }
  SetDlgItemTextA(dialog, 10, "  -2147483648 ");
  EXPECT_EQ(static_cast<int32_t>(GetDlgItemInt(dialog, 10, &ok, 1)), INT32_MIN);
  EXPECT_TRUE(ok);
  SetDlgItemInt(dialog, 11, static_cast<UINT>(-5), 1);
  char16_t buffer[16];
  EXPECT_EQ(GetDlgItemTextW(dialog, 11, buffer, 16), 2u);
  EXPECT_EQ(std::u16string(buffer), u"-5");
  EXPECT_EQ(GetDlgItemTextW(dialog, 99, buffer, 16), 0u);
  EXPECT_EQ(buffer[0], 0);
  // Setting an edit's text reports a change to the dialog.
  EXPECT_FALSE(gCommands.empty());
  EXPECT_EQ(gCommands.back(), (std::pair<int32_t, WORD>{11, EN_CHANGE}));
  // WM_NEXTDLGCTL moves the focus to an item, or along the tab order, selecting an edit's text.
  SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, 10)), 1);
  EXPECT_EQ(GetFocus(), GetDlgItem(dialog, 10));
  SendMessageW(dialog, WM_NEXTDLGCTL, 0, 0);
  EXPECT_EQ(GetFocus(), GetDlgItem(dialog, 11));
  DWORD from = 9, to = 9;
  SendDlgItemMessageW(dialog, 11, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 0u);
  EXPECT_EQ(to, 2u) << "the text \"-5\" is selected";
  SendMessageW(dialog, WM_NEXTDLGCTL, 1, 0);
  EXPECT_EQ(GetFocus(), GetDlgItem(dialog, 10));
  DestroyWindow(dialog);
}

TEST_F(Dialogs, ChildDialogsArePagesInsideTheirParent) {
  DialogTemplate frame = TestTemplate();
  frame.style |= WS_VISIBLE;
  HWND dialog = CreateDialogIndirectParamW(nullptr, &frame, nullptr, TestDialogProc, 0);
  DialogTemplate page;
  page.style = WS_CHILD | WS_VISIBLE;
  page.x = 10, page.y = 40, page.cx = 100, page.cy = 50;
  page.Add("EDIT", u"on the page", 50, 4, 4, 80, 12, WS_VISIBLE | WS_TABSTOP | WS_BORDER);
  HWND child = CreateDialogIndirectParamW(nullptr, &page, dialog, TestDialogProc, 0);
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(GetParent(child), dialog);
  RECT placed = {10, 40, 110, 90};
  MapDialogRect(dialog, &placed);
  RECT r;
  GetWindowRect(child, &r);
  POINT origin{0, 0};
  ClientToScreen(dialog, &origin);
  EXPECT_EQ(r.left - origin.x, placed.left);
  EXPECT_EQ(r.top - origin.y, placed.top);
  EXPECT_EQ(r.right - r.left, placed.right - placed.left) << "a page has no frame";
  EXPECT_NE(GetDlgItem(child, 50), nullptr);
  EXPECT_EQ(CreateDialogIndirectParamW(nullptr, &page, nullptr, TestDialogProc, 0), nullptr)
      << "a page needs a parent";
  // Tab goes into the page after the dialog's own items and out of it again.
  EXPECT_EQ(GetNextDlgTabItem(dialog, GetDlgItem(dialog, 7), 0), GetDlgItem(child, 50));
  EXPECT_EQ(GetNextDlgTabItem(dialog, GetDlgItem(child, 50), 0), GetDlgItem(dialog, IDOK));
  EXPECT_EQ(GetNextDlgTabItem(dialog, GetDlgItem(dialog, IDOK), 1), GetDlgItem(child, 50));
  DestroyWindow(dialog);
  EXPECT_FALSE(IsWindow(child));
}

TEST_F(Dialogs, BadTemplatesFailInsteadOfShowing) {
  EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(59999), nullptr, TestDialogProc, 0), -1);
  DialogTemplate t = TestTemplate();
  t.Add("NoSuchClass", u"", 20, 0, 0, 10, 10, WS_VISIBLE);
  EXPECT_EQ(DialogBoxIndirectParamW(nullptr, &t, nullptr, TestDialogProc, 0), -1);
  EXPECT_EQ(CreateDialogIndirectParamW(nullptr, &t, nullptr, TestDialogProc, 0), nullptr);
}

TEST_F(Dialogs, TemplateBytesRoundTripAndRejectDamage) {
  DialogTemplate t = TestTemplate();
  t.caption = u"Caf\u00e9";
  std::vector<uint8_t> bytes = t.Serialize();
  std::optional<DialogTemplate> back = DialogTemplate::Parse(bytes);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->caption, u"Caf\u00e9");
  ASSERT_EQ(back->items.size(), t.items.size());
  EXPECT_EQ(back->items[4].className, "BUTTON");
  EXPECT_EQ(back->items[4].id, 7);
  EXPECT_EQ(back->items[4].x, 475);
  EXPECT_EQ(back->items[4].style, t.items[4].style);
  for (size_t cut : {size_t(0), size_t(3), size_t(20), bytes.size() - 1}) {
    EXPECT_FALSE(DialogTemplate::Parse(std::span(bytes.data(), cut))) << cut;
  }
  bytes.push_back(0);
  EXPECT_FALSE(DialogTemplate::Parse(bytes)) << "trailing bytes";
}

TEST_F(Dialogs, ViewDialogTemplatesComeFromResources) {
  for (uint16_t id : {202, 1129, 201}) {
    std::optional<DialogTemplate> t = DialogTemplate::Load(MAKEINTRESOURCEA(id));
    ASSERT_TRUE(t) << id;
    EXPECT_EQ(t->fontFace, "MS Sans Serif");
    EXPECT_EQ(t->pointSize, 8);
  }
  std::optional<DialogTemplate> withButtons = DialogTemplate::Load(MAKEINTRESOURCEA(202));
  ASSERT_EQ(withButtons->items.size(), 3u);
  EXPECT_EQ(withButtons->items[0].id, IDOK);
  EXPECT_EQ(withButtons->items[0].style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(withButtons->items[2].className, "vcControlView");
  EXPECT_EQ(withButtons->items[2].id, 1524);
  EXPECT_EQ(withButtons->cx, 532);
  EXPECT_EQ(withButtons->cy, 325);

  // Made with a stand-in for the view class, its OK button lands on the base-unit rectangle.
  WNDCLASSA view;
  view.lpfnWndProc = DefWindowProcW;
  view.lpszClassName = "vcControlView";
  RegisterClassA(&view);
  HWND dialog = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(202), nullptr, TestDialogProc, 0);
  ASSERT_NE(dialog, nullptr);
  RECT expected = {475, 7, 525, 21};
  MapDialogRect(dialog, &expected);
  RECT ok;
  GetWindowRect(GetDlgItem(dialog, IDOK), &ok);
  POINT origin{0, 0};
  ClientToScreen(dialog, &origin);
  EXPECT_EQ(ok.left - origin.x, expected.left);
  EXPECT_EQ(ok.top - origin.y, expected.top);
  EXPECT_EQ(ok.right - origin.x, expected.right);
  EXPECT_EQ(ok.bottom - origin.y, expected.bottom);
  DestroyWindow(dialog);
}

TEST_F(Dialogs, ModelessDialogsRouteKeysThroughIsDialogMessage) {
  DialogTemplate t = TestTemplate();
  t.style |= WS_VISIBLE;
  HWND dialog = CreateDialogIndirectParamW(nullptr, &t, nullptr, TestDialogProc, 0);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(IsWindowVisible(dialog));
  Desktop::Key(VK_ESCAPE, true);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_TRUE(IsDialogMessageW(dialog, &msg));
  ASSERT_FALSE(gCommands.empty());
  EXPECT_EQ(gCommands.back().first, IDCANCEL);
  // A message for another window is left alone.
  msg.hwnd = nullptr;
  EXPECT_FALSE(IsDialogMessageW(dialog, &msg));
  DestroyWindow(dialog);
}

TEST_F(Dialogs, AnExceptionLeavingADialogTakesItsWindowAlongAndReachesTheCaller) {
  HWND owner = MakeOwnerFrame();
  struct Case {
    const char* name;
    bool modal;
    UINT throwOn;  // WM_INITDIALOG: while the dialog starts; WM_COMMAND: from a button once it runs
  };
  const Case cases[] = {
      {"modal, while starting", true, WM_INITDIALOG},
      {"modal, from its loop", true, WM_COMMAND},
      {"modeless, while starting", false, WM_INITDIALOG},
  };
  for (const Case& c : cases) {
    HWND seen = nullptr;
    gHook = [&](HWND dialog, UINT message, WPARAM, LPARAM) {
      if (message == WM_INITDIALOG) seen = dialog;
      if (message == c.throwOn) throw std::runtime_error(c.name);
      return false;
    };
    HeadlessDriver::SetIdleScript([&] {
      if (!IsWindow(seen)) return false;
      SendMessageW(GetDlgItem(seen, IDOK), BM_CLICK, 0, 0);
      return true;
    });
    DialogTemplate t = TestTemplate();
    std::string caught;
    try {
      if (c.modal)
        DialogBoxIndirectParamW(nullptr, &t, owner, TestDialogProc, 0);
      else
        CreateDialogIndirectParamW(nullptr, &t, owner, TestDialogProc, 0);
    } catch (const std::runtime_error& e) {
      caught = e.what();
    }
    gHook = nullptr;
    HeadlessDriver::SetIdleScript(nullptr);
    EXPECT_EQ(caught, c.name);
    ASSERT_NE(seen, nullptr) << c.name;
    EXPECT_FALSE(IsWindow(seen)) << c.name << ": the window must not outlive the dialog's state";
    EXPECT_TRUE(IsWindowEnabled(owner)) << c.name;
  }
  // The manager still works afterwards.
  EXPECT_EQ(RunModal([](HWND d) { EndDialog(d, 5); }, owner), 5);
  DestroyWindow(owner);
}

}  // namespace
}  // namespace plat
