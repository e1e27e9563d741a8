// The price list printed from the calculation view as a user prints it (Ctrl+P, OK in the print
// dialog), in both of its layouts: while the pages print, the "Print" box stands over the window and
// says what prints, and the window under it repaints; Cancel in the box stops the print at the next
// page and leaves no file, half-written or whole, and no word about the print.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "app/shell/iShellServices.h"
#include "app/shell/zelvProApp.h"
#include "calculation/PriceListTable.h"
#include "calculation/iPriceListPrintRecorder.h"
#include "calculation/zelvproCalculatorFil.h"
#include "calculation/zelvproCalculatorList.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/window/zelvproWindow.h"
#include "catalogue/databases/CatalogDatabaseList.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "foundation/TextsById.h"
#include "framework/ppPrintingAbortDialog.h"
#include "platform/CommonDialogs.h"
#include "platform/Desktop.h"
#include "platform/Dialog.h"
#include "platform/HeadlessDriver.h"
#include "platform/MessageBox.h"
#include "platform/WindowApi.h"
#include "StartedProgram.h"

namespace {

namespace fs = std::filesystem;
using Line = zelvproCalculatorFil;

// Counts the print's page breaks and lets a test act at each, as a user would while a page prints.
class PageBreaks : public iPriceListPrintRecorder {
 public:
  void Font(const char*, int32_t, bool) override {}
  void Text(const Vcon::WString&, const plat::RECT&, uint32_t) override {
    if (texts++ == 0 && onFirstText) onFirstText();
  }
  void Rule(int32_t, int32_t, int32_t, int32_t) override {}
  void Frame(const plat::RECT&) override {}
  void Ellipse(const plat::RECT&, const ppRGBColor&) override {}
  void Square(const plat::RECT&, const ppRGBColor&) override {}
  void Picture(const plat::RECT&) override {}
  void PageBreak() override {
    ++breaks;
    if (onBreak) onBreak(breaks);
  }
  int32_t breaks = 0, texts = 0;
  std::function<void(int32_t)> onBreak;
  // Runs while the first page prints, before it ends.
  std::function<void()> onFirstText;
};

// Whether `window` and every window in it have painted all they were asked to.
bool Painted(plat::HWND window) {
  plat::RECT stale{};
  if (plat::GetUpdateRect(window, &stale, 0) != 0) return false;
  for (plat::HWND child = plat::GetWindow(window, plat::GW_CHILD); child != nullptr;
       child = plat::GetWindow(child, plat::GW_HWNDNEXT))
    if (!Painted(child)) return false;
  return true;
}

class PrintCancelTest : public apptest::StartedProgramTest {
 protected:
  void SetUp() override {
    StartedProgramTest::SetUp();
    documents_ = demo_.Root() / "documents";
    fs::create_directories(documents_);
    const char* previous = std::getenv("XDG_DOCUMENTS_DIR");
    hadDocuments_ = previous != nullptr;
    if (previous) previousDocuments_ = previous;
    ::setenv("XDG_DOCUMENTS_DIR", documents_.c_str(), 1);
    plat::ClearMessageBoxLog();
  }
  void TearDown() override {
    iShellServices::Current().SetAlternativePriceLayout(false);
    StartedProgramTest::TearDown();
    if (hadDocuments_)
      ::setenv("XDG_DOCUMENTS_DIR", previousDocuments_.c_str(), 1);
    else
      ::unsetenv("XDG_DOCUMENTS_DIR");
  }

  // A list of many pages: a row of demo units and a run of text lines.
  void FillThePlan() {
    zelvproTopViewFil& views = MainCatalogDatabase->TopViewFile();
    views.SelectAll();
    const RecordField nameField(views, "Name");
    int32_t x = 0;
    for (int32_t i = 0; i < views.GetSelectedCount(); ++i) {
      views.ReadRecordAt(i, nullptr);
      const std::string name = nameField.Text(views.GetRecordBuffer()).c_str();
      if (name != "B40" && name != "W60" && name != "D60") continue;
      views.CreateElement(views.RecordIdAt(i), plat::RECT{x, 0, x + 60, 60},
                          app_->DocumentWindow()->TopCanvas());
      x += 100;
    }
    zelvproCalculatorFil& lines = *PriceListTable();
    lines.BeginAccess();
    for (int32_t i = 0; i < 30; ++i) {
      lines.ClearRecordBuffer(nullptr);
      lines.SetFieldValue(Line::kType, ppParameter(int32_t(Line::kTextLine)), nullptr);
      lines.SetFieldValue(Line::kOtherText, ppParameter(u"Delivered on Monday"), nullptr);
      lines.InsertRecordAt(-1, nullptr);
    }
    lines.SaveToBlob();
    app_->DocumentWindow()->ViewBar()->SelectViewByIndex(5);
    plat::HeadlessDriver::RunUntilIdle();
  }

  // The print dialog, when it waits, is answered with OK; nothing else is answered.
  void AnswerPrintDialogWithOk() {
    plat::HeadlessDriver::SetIdleScript([] {
      plat::HWND dialog = plat::FindWindowA(plat::kDialogClassName, "Print");
      if (dialog == nullptr || dialog == ppPrintingAbortDialog::Instance().Window()) return false;
      return plat::PostMessageA(dialog, plat::WM_COMMAND, plat::IDOK, 0) != 0;
    });
  }

  // Whatever the documents folder holds: the printed file, or what a job left of it.
  int32_t FilesInDocuments() const {
    int32_t n = 0;
    for ([[maybe_unused]] const fs::directory_entry& entry : fs::directory_iterator(documents_)) ++n;
    return n;
  }

  fs::path documents_;
  std::string previousDocuments_;
  bool hadDocuments_ = false;
};

TEST_F(PrintCancelTest, ThePrintBoxStandsOverTheRepaintedWindowAndItsCancelStopsThePrintAtTheNextPage) {
  Start();
  FillThePlan();
  zelvproCalculatorList* pane = zelvproCalculatorList::Current();
  ASSERT_NE(pane, nullptr);
  const plat::HWND window = app_->DocumentWindow()->GetHWND();
  AnswerPrintDialogWithOk();

  for (const bool sheet : {false, true}) {
    SCOPED_TRACE(sheet ? "item sheet" : "list");
    iShellServices::Current().SetAlternativePriceLayout(sheet);
    // The whole print, as long as the list is.
    PageBreaks whole;
    pane->SetPrintRecorder(&whole);
    Send(zelvproWindow::kPrint);
    ASSERT_GE(whole.breaks, 4) << "the list is too short to be cancelled before its end";
    ASSERT_EQ(FilesInDocuments(), 1);
    fs::remove_all(documents_);
    fs::create_directories(documents_);

    // The same print cancelled while its second page prints.
    PageBreaks cancelled;
    bool shown = false, painted = false, ownerHeld = false;
    std::string caption;
    std::u16string message;
    cancelled.onBreak = [&](int32_t page) {
      const plat::HWND box = ppPrintingAbortDialog::Instance().Window();
      ASSERT_NE(box, nullptr) << "no Print box while page " << page << " prints";
      if (page == 1) {
        shown = plat::IsWindowVisible(box) != 0;
        // The window and its frame, menus and keys with it, wait for the job.
        ownerHeld = plat::IsWindowEnabled(window) == 0 && plat::IsWindowEnabled(app_->Frame()) == 0;
        char text[64] = {};
        plat::GetWindowTextA(box, text, 64);
        caption = text;
        char16_t said[128] = {};
        plat::GetDlgItemTextW(box, ppPrintingAbortDialog::kMessageItem, said, 128);
        message = said;
        // Something covered the window and went: it must be drawn again while the pages print.
        plat::InvalidateRect(window, nullptr, 1);
      } else if (page == 2) {
        plat::RECT stale{};
        painted = plat::GetUpdateRect(window, &stale, 0) == 0;
        // The user clicks Cancel.
        plat::RECT button{};
        plat::GetWindowRect(plat::GetDlgItem(box, plat::IDCANCEL), &button);
        plat::Desktop::Click(plat::POINT{(button.left + button.right) / 2, (button.top + button.bottom) / 2});
      }
    };
    pane->SetPrintRecorder(&cancelled);
    Send(zelvproWindow::kPrint);
    pane->SetPrintRecorder(nullptr);

    EXPECT_TRUE(shown) << "the Print box is not on the screen";
    EXPECT_TRUE(ownerHeld);
    EXPECT_EQ(caption, "Print");
    // "Printing" and the job's name (the demo's text 6245).
    EXPECT_EQ(message, u"Printing " + std::u16string(TextById(6245, "").c_str()));
    EXPECT_TRUE(painted) << "the window was not drawn again while the pages printed";
    // The click is read when the next page ends: the print stops there.
    EXPECT_EQ(cancelled.breaks, 3) << "of " << whole.breaks + 1 << " pages";
    EXPECT_TRUE(pane->PrintStopped());
    EXPECT_EQ(FilesInDocuments(), 0) << "a cancelled print left a file";
    EXPECT_TRUE(plat::MessageBoxLog().empty()) << "a cancelled print was reported";
    EXPECT_EQ(ppPrintingAbortDialog::Instance().Window(), nullptr);
    EXPECT_TRUE(plat::IsWindowEnabled(window));
    EXPECT_TRUE(plat::IsWindowEnabled(app_->Frame()));
    // The keys go to the window again.
    EXPECT_EQ(plat::GetActiveWindow(), app_->Frame());
  }
}

// A first page that takes long (a big list, a slow disk) prints under a Print box that is already
// drawn, its text and its Cancel button too, and a click on Cancel made then stops the print when
// that page ends: one page break, no file.
TEST_F(PrintCancelTest, ThePrintBoxIsDrawnAndAnswersWhileTheFirstPagePrints) {
  Start();
  FillThePlan();
  zelvproCalculatorList* pane = zelvproCalculatorList::Current();
  ASSERT_NE(pane, nullptr);
  AnswerPrintDialogWithOk();
  PageBreaks first;
  bool drawn = false, visible = false;
  first.onFirstText = [&] {
    const plat::HWND box = ppPrintingAbortDialog::Instance().Window();
    ASSERT_NE(box, nullptr) << "no Print box while the first page prints";
    visible = plat::IsWindowVisible(box) != 0;
    drawn = Painted(box);
    plat::RECT button{};
    plat::GetWindowRect(plat::GetDlgItem(box, plat::IDCANCEL), &button);
    plat::Desktop::Click(plat::POINT{(button.left + button.right) / 2, (button.top + button.bottom) / 2});
  };
  pane->SetPrintRecorder(&first);
  Send(zelvproWindow::kPrint);
  pane->SetPrintRecorder(nullptr);
  EXPECT_TRUE(visible);
  EXPECT_TRUE(drawn) << "the Print box was not drawn before the first page ended";
  EXPECT_EQ(first.breaks, 1) << "Cancel did not stop the print when the first page ended";
  EXPECT_TRUE(pane->PrintStopped());
  EXPECT_EQ(FilesInDocuments(), 0) << "a cancelled print left a file";
  EXPECT_TRUE(plat::MessageBoxLog().empty()) << "a cancelled print was reported";
}

}  // namespace
