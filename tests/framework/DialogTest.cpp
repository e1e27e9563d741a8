#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "AdornerTestPictures.h"
#include "TestCanvas.h"
#include "foundation/TextsById.h"
#include "foundation/iTextSource.h"
#include "framework/ppControlView.h"
#include "framework/ppDC.h"
#include "framework/ppSweeper.h"
#include "framework/ppTabPages.h"
#include "framework/ppTextButton.h"
#include "framework/ppViewDialog.h"
#include "framework/ppWindow.h"
#include "platform/Controls.h"
#include "platform/DialogTemplate.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/ResourceRegistry.h"
#include "platform/ScreenMetrics.h"
#include "platform/Surface.h"
#include "platform/TabControl.h"
#include "platform/WindowApi.h"

namespace {

using namespace plat;

constexpr int32_t kTemplate = 60500;
constexpr int32_t kList = 60501;
constexpr int32_t kEdit = 100;
constexpr int32_t kCombo = 101;
constexpr int32_t kCheck = 102;
constexpr int32_t kButton = 103;
constexpr int32_t kDrawn = 104;

// The test's dialog template and string list, registered once for the process.
void RegisterTestResources() {
  static bool done = false;
  if (done) return;
  done = true;
  DialogTemplate dialog;
  dialog.cx = 150;
  dialog.cy = 80;
  dialog.caption = u"Test";
  dialog.Add("EDIT", u"", kEdit, 5, 5, 100, 12, WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL);
  dialog.Add("COMBOBOX", u"", kCombo, 5, 20, 100, 60, WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST);
  dialog.Add("BUTTON", u"Check", kCheck, 5, 35, 100, 12, WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX);
  dialog.Add("BUTTON", u"Go", kButton, 5, 50, 40, 14, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON);
  dialog.Add("BUTTON", u"", kDrawn, 60, 50, 30, 14, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW);
  dialog.Add("BUTTON", u"OK", IDOK, 100, 60, 40, 14, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON);
  static const std::vector<uint8_t> bytes = dialog.Serialize();
  ResourceRegistry::Instance().Add("DIALOG", kTemplate, {bytes.data(), bytes.size()});
  static const char list[] = "Too small\0Too large\0Missing\0";
  ResourceRegistry::Instance().Add("STRINGARRAY", kList,
                                   {reinterpret_cast<const uint8_t*>(list), sizeof list - 1});
}

std::vector<std::string> gLog;

// A dialog that logs its overridable operations; with a set size it takes that size before it is
// centred.
class TestDialog : public ppDialog {
 public:
  explicit TestDialog(HWND owner, int32_t width = 0, int32_t height = 0)
      : ppDialog(kTemplate, owner), width_(width), height_(height) {}
  INT_PTR HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_INITDIALOG && width_ > 0)
      SetWindowPos(GetWindow(), nullptr, 0, 0, width_, height_, SWP_NOMOVE);
    return ppDialog::HandleDialogMessage(message, wParam, lParam);
  }
  void OnInitDialog() override { gLog.push_back("init"); }
  void AfterInitDialog() override { gLog.push_back("after init"); }
  bool ValidateOK() override {
    gLog.push_back("validate");
    return acceptOK;
  }
  void Cancel() override { gLog.push_back("cancel"); }
  void Command(int32_t id, int32_t page) override {
    gLog.push_back("command " + std::to_string(id) + " page " + std::to_string(page));
  }
  bool acceptOK = true;

 private:
  int32_t width_;
  int32_t height_;
};

class Dialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    ClearMessageBoxLog();
    RegisterTestResources();
    gLog.clear();
  }
  void TearDown() override {
    HeadlessDriver::SetIdleScript(nullptr);
    HeadlessDriver::Reset();
  }
  static HWND MakeOwner(RECT r) {
    WNDCLASSA wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "DialogOwner";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "DialogOwner", "", WS_POPUP | WS_VISIBLE, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
  }
  static std::u16string ItemText(ppDialog& dialog, int32_t id) {
    Vcon::WString text;
    dialog.GetItemText(text, id, ppDialog::kSelf);
    return text;
  }
};

TEST_F(Dialogs, OpensCentredOnItsOwnerOrOnTheScreen) {
  HWND owner = MakeOwner({100, 100, 701, 401});
  TestDialog dialog(owner, 200, 100);
  dialog.CreateModeless();
  ASSERT_NE(dialog.GetWindow(), nullptr);
  RECT r;
  GetWindowRect(dialog.GetWindow(), &r);
  EXPECT_EQ(r, (RECT{300, 200, 500, 300}));
  EXPECT_EQ(gLog, (std::vector<std::string>{"init", "after init"}));
  EXPECT_EQ(GetPropA(dialog.GetWindow(), ppDialog::kProperty), &dialog);
  dialog.Destroy();
  EXPECT_EQ(dialog.GetWindow(), nullptr);

  DestroyWindow(owner);
  SetActiveWindow(nullptr);
  TestDialog alone(nullptr, 200, 100);
  EXPECT_EQ(alone.GetOwnerWindow(), nullptr);
  alone.CreateModeless();
  GetWindowRect(alone.GetWindow(), &r);
  const int32_t cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_EQ(r.left, (cx - 200) / 2);
  EXPECT_EQ(r.top, (cy - 100) / 2);
}

TEST_F(Dialogs, OkThatDoesNotValidateKeepsTheDialogOpenAndCancelEndsIt) {
  HWND owner = MakeOwner({0, 0, 300, 300});
  TestDialog dialog(owner);
  dialog.acceptOK = false;
  int32_t step = 0;
  int32_t resultAfterRefusedOK = -1;
  bool openAfterRefusedOK = false;
  HeadlessDriver::SetIdleScript([&]() {
    if (step == 0) {
      SendMessageW(dialog.GetWindow(), WM_COMMAND, IDOK, 0);
      resultAfterRefusedOK = dialog.GetResult();
      openAfterRefusedOK = IsWindowVisible(dialog.GetWindow()) != 0;
    } else if (step == 1) {
      SendMessageW(dialog.GetWindow(), WM_COMMAND, IDCANCEL, 0);
    } else {
      return false;
    }
    ++step;
    return true;
  });
  EXPECT_EQ(dialog.RunModal(), 2);
  EXPECT_EQ(resultAfterRefusedOK, 0);
  EXPECT_TRUE(openAfterRefusedOK);
  EXPECT_EQ(dialog.GetResult(), ppDialog::kCancelled);
  EXPECT_EQ(gLog, (std::vector<std::string>{"init", "after init", "validate", "cancel"}));
  EXPECT_EQ(GetActiveWindow(), owner);

  gLog.clear();
  TestDialog accepting(owner);
  HeadlessDriver::SetIdleScript(
      [&]() { return SendMessageW(accepting.GetWindow(), WM_COMMAND, IDOK, 0), true; });
  EXPECT_EQ(accepting.RunModal(), 1);
  EXPECT_EQ(accepting.GetResult(), ppDialog::kConfirmed);
}

TEST_F(Dialogs, NumbersGoInAndOutOfItemsAsText) {
  TestDialog dialog(nullptr);
  dialog.CreateModeless();
  dialog.SetItemFloat(3.14159f, 2, kEdit, ppDialog::kSelf);
  EXPECT_EQ(ItemText(dialog, kEdit), u"3.14");
  dialog.SetItemFloat(3.14159f, 0, kEdit, ppDialog::kSelf);
  EXPECT_EQ(ItemText(dialog, kEdit), u"3");
  dialog.SetItemFloat(2.5f, 7, kEdit, ppDialog::kSelf);
  EXPECT_EQ(ItemText(dialog, kEdit), u"2.500000");
  dialog.SetItemFloat(-1.25f, -1, kEdit, ppDialog::kSelf);
  EXPECT_EQ(ItemText(dialog, kEdit), u"-1.250000");

  float f = 9;
  dialog.SetItemText(u"2.5abc", kEdit, ppDialog::kSelf);
  dialog.GetItemFloat(f, kEdit, ppDialog::kSelf);
  EXPECT_FLOAT_EQ(f, 2.5f);
  dialog.SetItemText(u"abc", kEdit, ppDialog::kSelf);
  dialog.GetItemFloat(f, kEdit, ppDialog::kSelf);
  EXPECT_EQ(f, 0.0f);

  int32_t i = 0;
  dialog.SetItemInt(-42, kEdit, ppDialog::kSelf);
  EXPECT_TRUE(dialog.GetItemInt(i, kEdit, ppDialog::kSelf));
  EXPECT_EQ(i, -42);
  dialog.SetItemText(u"x1", kEdit, ppDialog::kSelf);
  EXPECT_FALSE(dialog.GetItemInt(i, kEdit, ppDialog::kSelf));
}

TEST_F(Dialogs, TextsComeBackWholeAndTitlesAreCutAt256) {
  TestDialog dialog(nullptr);
  dialog.CreateModeless();
  Vcon::WString longText(std::u16string(1000, u'x') + u"end");
  dialog.SetItemText(longText, kEdit, ppDialog::kSelf);
  EXPECT_EQ(ItemText(dialog, kEdit), longText);

  dialog.SetTitle(Vcon::WString(std::u16string(300, u't')));
  Vcon::WString title;
  dialog.GetTitle(title, 1000);
  EXPECT_EQ(title.size(), 256u);
  dialog.GetTitle(title, 5);
  EXPECT_EQ(title, u"ttttt");
}

TEST_F(Dialogs, CombosChecksAndEnablingReachTheItems) {
  TestDialog dialog(nullptr);
  dialog.CreateModeless();
  dialog.FillComboFromStrings(kCombo, kList, 0, ppDialog::kSelf);
  EXPECT_EQ(SendDlgItemMessageW(dialog.GetWindow(), kCombo, CB_GETCOUNT, 0, 0), 0);
  dialog.FillComboFromStrings(kCombo, kList, 2, ppDialog::kSelf);
  dialog.AddComboString(kCombo, u"Extra", ppDialog::kSelf);
  EXPECT_EQ(SendDlgItemMessageW(dialog.GetWindow(), kCombo, CB_GETCOUNT, 0, 0), 3);
  char16_t entry[64] = {};
  SendDlgItemMessageW(dialog.GetWindow(), kCombo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(entry));
  EXPECT_EQ(std::u16string(entry), u"Too large");
  dialog.SetComboSelection(2, kCombo, ppDialog::kSelf);
  EXPECT_EQ(dialog.GetComboSelection(kCombo, ppDialog::kSelf), 2);

  dialog.CheckItem(kCheck, ppDialog::kSelf);
  EXPECT_TRUE(dialog.IsItemChecked(kCheck, ppDialog::kSelf));
  dialog.UncheckItem(kCheck, ppDialog::kSelf);
  EXPECT_FALSE(dialog.IsItemChecked(kCheck, ppDialog::kSelf));
  dialog.DisableItem(kButton, ppDialog::kSelf);
  EXPECT_FALSE(IsWindowEnabled(dialog.GetItem(kButton, ppDialog::kSelf)));
  dialog.EnableItem(kButton, ppDialog::kSelf);
  EXPECT_TRUE(IsWindowEnabled(dialog.GetItem(kButton, ppDialog::kSelf)));
  EXPECT_EQ(dialog.PageOfControl(dialog.GetItem(kEdit, ppDialog::kSelf)), -1);
}

TEST_F(Dialogs, AFieldErrorIsShownFromTheListAndTheFieldIsSelected) {
  TestDialog dialog(nullptr);
  dialog.CreateModeless();
  dialog.SetItemText(u"12345", kEdit, ppDialog::kSelf);
  const size_t beeps = Desktop::Beeps().size();
  dialog.ReportFieldError(kEdit, kList, 2, ppDialog::kSelf);
  EXPECT_EQ(Desktop::Beeps().size(), beeps + 1);
  auto boxes = MessageBoxLog();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, u"Too large");
  EXPECT_EQ(boxes[0].caption, u"");
  EXPECT_EQ(boxes[0].style, MB_ICONHAND | MB_TASKMODAL);
  HWND edit = dialog.GetItem(kEdit, ppDialog::kSelf);
  EXPECT_EQ(GetFocus(), edit);
  DWORD start = 0, end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 5u);
}

TEST_F(Dialogs, ItemCommandsEditsAndDeferredWorkReachTheDialog) {
  TestDialog dialog(nullptr);
  dialog.CreateModeless();
  HWND button = dialog.GetItem(kButton, ppDialog::kSelf);
  SendMessageW(dialog.GetWindow(), WM_COMMAND, kButton, reinterpret_cast<LPARAM>(button));
  dialog.SetItemText(u"typed", kEdit, ppDialog::kSelf);  // the edit reports the change
  SendMessageW(dialog.GetWindow(), WM_COMMAND, MAKEWPARAM(kButton, 5), reinterpret_cast<LPARAM>(button));
  struct Note : ppSweeper {
    explicit Note(HWND w) : ppSweeper(w) {}
    void Sweep() override { gLog.push_back("swept"); }
  };
  new Note(dialog.GetWindow());
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(gLog, (std::vector<std::string>{"init", "after init", "command 103 page -1",
                                            "command 100 page -1", "swept"}));
}

// Owner-drawn items: the default paints white; an override gets the item's id and rectangle.
class DrawingDialog : public TestDialog {
 public:
  using TestDialog::TestDialog;
  void DrawItem(int32_t id, const RECT* rect, ppDC* dc) override {
    drawnId = id;
    drawnRect = *rect;
    dc->SetColorBytes({0, 0, 0});
    dc->FillRect(*rect);  // black, unless the default then paints over it
    ppDialog::DrawItem(id, rect, dc);
  }
  int32_t drawnId = 0;
  RECT drawnRect{};
};

TEST_F(Dialogs, OwnerDrawnItemsAreFilledWhiteByDefault) {
  DrawingDialog dialog(nullptr);
  dialog.CreateModeless();
  HWND item = dialog.GetItem(kDrawn, ppDialog::kSelf);
  InvalidateRect(item, nullptr, 1);
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(dialog.drawnId, kDrawn);
  RECT client;
  GetClientRect(item, &client);
  EXPECT_EQ(dialog.drawnRect, client);
  POINT middle{client.right / 2, client.bottom / 2};
  ClientToScreen(item, &middle);
  RECT outer;
  GetWindowRect(dialog.GetWindow(), &outer);
  Surface* surface = GetWindowSurface(dialog.GetWindow());
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ(surface->Pixel(middle.x - outer.left, middle.y - outer.top) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(Dialogs, ItemsOnTabPagesAreReachedByPageAndTheChosenTabShowsItsPage) {
  TestDialog dialog(nullptr);
  dialog.CreateModeless();
  HWND window = dialog.GetWindow();
  RegisterTabControlClass();
  HWND tabs = CreateWindowExA(0, kTabControlClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100, window, nullptr,
                              nullptr, nullptr);
  auto* pages = new ppTabPages(tabs);
  for (int32_t i = 0; i < 2; ++i) {
    char16_t name[] = u"Tab";
    TCITEMW tab;
    tab.mask = TCIF_TEXT;
    tab.pszText = name;
    SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&tab));
    HWND page = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 20, 200, 80, window, nullptr, nullptr, nullptr);
    CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 12, page,
                    reinterpret_cast<HMENU>(intptr_t(kEdit)), nullptr, nullptr);
    pages->AddPage(std::make_unique<ppTabPage>(page, 10 + i), 10 + i);
  }
  dialog.SetTabPages(pages);
  pages->SelectPage(0);

  dialog.SetItemText(u"second", kEdit, 1);
  EXPECT_EQ(ItemText(dialog, kEdit), u"");  // the dialog's own edit is another item
  Vcon::WString text;
  dialog.GetItemText(text, kEdit, 1);
  EXPECT_EQ(text, u"second");
  EXPECT_EQ(dialog.PageOfControl(dialog.GetItem(kEdit, 1)), 11);
  SendMessageW(window, WM_COMMAND, MAKEWPARAM(kEdit, EN_CHANGE),
               reinterpret_cast<LPARAM>(dialog.GetItem(kEdit, 1)));
  EXPECT_EQ(gLog.back(), "command 100 page 11");

  SendMessageW(tabs, TCM_SETCURSEL, 1, 0);
  NMHDR change;
  change.hwndFrom = tabs;
  change.code = TCN_SELCHANGE;
  SendMessageW(window, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&change));
  EXPECT_EQ(pages->Current(), pages->PageAt(1));
  EXPECT_TRUE(IsWindowVisible(dialog.GetPageWindow(1)));
  EXPECT_FALSE(IsWindowVisible(dialog.GetPageWindow(0)));
}

TEST_F(Dialogs, DeletingAModelessDialogTakesItsWindowAlong) {
  auto* dialog = new TestDialog(nullptr);
  dialog->CreateModeless();
  HWND window = dialog->GetWindow();
  delete dialog;
  EXPECT_FALSE(IsWindow(window));
  HeadlessDriver::RunUntilIdle();
}

TEST_F(Dialogs, AnExceptionFromAModalDialogReachesTheCallerAndLeavesNoWindow) {
  // The dialog's work throws from a button while the modal loop runs: the caller sees the exception,
  // the owner is usable again and the object's end does not reach a window that is gone.
  class Throwing : public TestDialog {
   public:
    using TestDialog::TestDialog;
    void Command(int32_t id, int32_t) override {
      if (id == kButton) throw std::runtime_error("refused");
    }
  };
  HWND owner = MakeOwner({0, 0, 300, 300});
  HWND window = nullptr;
  std::string caught;
  try {
    Throwing dialog(owner);
    HeadlessDriver::SetIdleScript([&] {
      window = dialog.GetWindow();
      SendMessageW(dialog.GetItem(kButton, ppDialog::kSelf), BM_CLICK, 0, 0);
      return true;
    });
    dialog.RunModal();
  } catch (const std::runtime_error& e) {
    caught = e.what();
  }
  HeadlessDriver::SetIdleScript(nullptr);
  EXPECT_EQ(caught, "refused");
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_TRUE(IsWindowEnabled(owner));
  HeadlessDriver::RunUntilIdle();
}

// ---- View dialogs.

class LoggingViewDialog : public ppViewDialog {
 public:
  using ppViewDialog::ppViewDialog;
  void Activate() override { gLog.push_back("activate"); }
  void Deactivate() override { gLog.push_back("deactivate"); }
};

class ViewDialogs : public Dialogs {
 protected:
  void SetUp() override {
    Dialogs::SetUp();
    RegisterControlViewClass();
  }
};

TEST_F(ViewDialogs, TheContentFillsTheDialogWithoutButtons) {
  LoggingViewDialog dialog(nullptr, false);
  EXPECT_EQ(dialog.GetTemplateId(), 1129);
  dialog.CreateModeless();
  ASSERT_NE(dialog.ContentView(), nullptr);
  EXPECT_EQ(dialog.ContentView()->GetFrame().left, 0);
  EXPECT_EQ(dialog.ContentView()->GetFrame().top, 0);
  dialog.SetContentSize(300, 200);
  RECT client;
  GetClientRect(dialog.GetWindow(), &client);
  EXPECT_EQ(client, (RECT{0, 0, 300, 200}));
  RECT control;
  GetClientRect(dialog.GetItem(ppViewDialog::kContentItem, ppDialog::kSelf), &control);
  EXPECT_EQ(control, (RECT{0, 0, 300, 200}));
  EXPECT_EQ(dialog.ContentView()->GetFrame(), (RECT{0, 0, 300, 200}));
}

TEST_F(ViewDialogs, ButtonsKeepTheirDistanceToTheRightEdge) {
  LoggingViewDialog dialog(nullptr, true);
  EXPECT_EQ(dialog.GetTemplateId(), 202);
  dialog.CreateModeless();
  auto rightGap = [&](int32_t id) {
    RECT item, client;
    GetWindowRect(dialog.GetItem(id, ppDialog::kSelf), &item);
    GetClientRect(dialog.GetWindow(), &client);
    POINT p{client.right, 0};
    ClientToScreen(dialog.GetWindow(), &p);
    return p.x - item.right;
  };
  const int32_t okGap = rightGap(IDOK);
  const int32_t viewGap = rightGap(ppViewDialog::kContentItem);
  dialog.SetContentSize(900, 500);
  RECT client;
  GetClientRect(dialog.GetWindow(), &client);
  EXPECT_EQ(client, (RECT{0, 0, 900, 500}));
  EXPECT_EQ(rightGap(IDOK), okGap);
  EXPECT_EQ(rightGap(IDCANCEL), okGap);
  EXPECT_EQ(rightGap(ppViewDialog::kContentItem), viewGap);
}

TEST_F(ViewDialogs, ActivationAndEditsAreTracked) {
  LoggingViewDialog dialog(nullptr, true);
  dialog.CreateModeless();
  gLog.clear();
  SendMessageW(dialog.GetWindow(), WM_ACTIVATE, WA_INACTIVE, 0);
  SendMessageW(dialog.GetWindow(), WM_ACTIVATE, WA_CLICKACTIVE, 0);
  SendMessageW(dialog.GetWindow(), WM_COMMAND, MAKEWPARAM(77, EN_CHANGE), 0);
  EXPECT_EQ(dialog.LastEditedItem(), 77);
  EXPECT_EQ(gLog, (std::vector<std::string>{"deactivate", "activate"}));
}

// ---- Text buttons.

TEST_F(Dialogs, TextButtonsArePushButtonsOverTheStandardPicturesWithACentredLabel) {
  adorner_tests::TestApplication app;
  for (int s = 0; s < 4; ++s) app.pictures[2096 + s] = adorner_tests::SolidPicture(80, 24, 0xFFFFFF);
  ppWindow root;
  RECT frame{10, 10, 90, 34};
  auto* button = new ppTextButton(&root, &frame, 3000, u"Save", 0, ppView::kStay, ppView::kStay);
  EXPECT_EQ(button->GetKind(), ppButton::kPush);
  EXPECT_EQ(button->GetPictureId(), 2096);
  EXPECT_EQ(button->GetInitialPictureId(), 3000);
  EXPECT_EQ(button->Text(), u"Save");

  picture_tests::Canvas canvas(100, 44, RGB(128, 128, 128));
  {
    ppDC context(canvas.dc());
    button->DrawContent(context);
  }
  int32_t dark = 0;
  for (int y = 10; y < 34; ++y)
    for (int x = 10; x < 90; ++x)
      if (canvas.At(x, y) == RGB(0, 0, 0)) ++dark;
  EXPECT_GT(dark, 10);  // the label, in black over the white picture
  EXPECT_EQ(canvas.At(5, 5), RGB(128, 128, 128));
}

TEST_F(Dialogs, ATextButtonsLabelComesFromItsTextNumberInTheCurrentLanguage) {
  struct Texts : iTextSource {
    bool GetString(int32_t number, Vcon::WString& text, int32_t) override {
      if (number != 6500) return false;
      text = u"Gem";
      return true;
    }
  } texts;
  SetTextSource(&texts);
  ppWindow root;
  RECT frame{0, 0, 80, 24};
  auto* translated = new ppTextButton(&root, &frame, 0, u"Save", 6500, ppView::kStay, ppView::kStay);
  auto* untranslated = new ppTextButton(&root, &frame, 0, u"Open", 6501, ppView::kStay, ppView::kStay);
  SetTextSource(nullptr);
  EXPECT_EQ(translated->Text(), u"Gem");
  EXPECT_EQ(untranslated->Text(), u"Open");
}

}  // namespace
