#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <sstream>
#include <utility>
#include <string>
#include <vector>

#include "AdornerTestPictures.h"
#include "framework/ApplicationSettings.h"
#include "framework/PrintJobSettings.h"
#include "framework/ppApplication.h"
#include "framework/ppDC.h"
#include "framework/ppPrinting.h"
#include "framework/ppPrintingAbortDialog.h"
#include "framework/ppWindow.h"
#include "platform/CommonDialogs.h"
#include "platform/ControlsDrawing.h"
#include "platform/Controls.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/MessageBox.h"
#include "platform/Printing.h"
#include "platform/WindowApi.h"

namespace {

using namespace plat;
namespace fs = std::filesystem;

// Pages of a PDF file: its page objects.
int32_t PdfPageCount(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string pdf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  int32_t pages = 0;
  for (size_t at = pdf.find("/Type /Page"); at != std::string::npos; at = pdf.find("/Type /Page", at + 1)) {
    if (pdf.compare(at, 12, "/Type /Pages") != 0) ++pages;
  }
  return pages;
}

// The first page's MediaBox of a PDF file: its width and height in points.
std::pair<double, double> PdfPageSize(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string pdf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const size_t at = pdf.find("/MediaBox");
  if (at == std::string::npos) return {0, 0};
  double box[4] = {};
  std::istringstream numbers(pdf.substr(pdf.find('[', at) + 1, 80));
  for (double& value : box) numbers >> value;
  return {box[2] - box[0], box[3] - box[1]};
}

// A window's printing that logs its pages and what it sees while they print.
class PageLog : public ppPrinting {
 public:
  using ppPrinting::ppPrinting;
  bool PrintPage(int32_t page, ppDC* dc) override {
    pages.push_back(page);
    ownerEnabledDuringJob = IsWindowEnabled(Window()->GetHWND()) != 0;
    paperWidth = GetPrinterDeviceCaps(dc->GetHDC(), PHYSICALWIDTH);
    paperHeight = GetPrinterDeviceCaps(dc->GetHDC(), PHYSICALHEIGHT);
    HWND abort = ppPrintingAbortDialog::Instance().Window();
    if (abort) {
      char16_t text[128] = {};
      GetDlgItemTextW(abort, ppPrintingAbortDialog::kMessageItem, text, 128);
      abortMessage = text;
      char caption[64] = {};
      GetWindowTextA(abort, caption, 64);
      abortCaption = caption;
      abortShown = IsWindowVisible(abort) != 0;
      if (cancelAtPage == page) PostMessageW(abort, WM_COMMAND, IDCANCEL, 0);  // the user presses Cancel
    }
    if (onPage) onPage(page);
    return page < lastPage;
  }
  std::function<void(int32_t)> onPage;  // what else happens while page `page` prints
  std::vector<int32_t> pages;
  int32_t lastPage = 2;
  int32_t cancelAtPage = 0;
  bool ownerEnabledDuringJob = true;
  int32_t paperWidth = 0;
  int32_t paperHeight = 0;
  std::u16string abortMessage;
  std::string abortCaption;
  bool abortShown = false;
};

class Printing : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    ClearMessageBoxLog();
    folder_ = fs::temp_directory_path() / ("planner-print-" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    const char* previous = std::getenv("XDG_DOCUMENTS_DIR");
    previousDocuments_ = previous ? previous : "";
    hadDocuments_ = previous != nullptr;
    ::setenv("XDG_DOCUMENTS_DIR", folder_.c_str(), 1);
    window_ = new ppWindow();
    hwnd_ = adorner_tests::MakeObjectWindow(window_, 300, 200);
  }
  void TearDown() override {
    HeadlessDriver::SetIdleScript(nullptr);
    delete window_;
    HeadlessDriver::Reset();
    if (hadDocuments_) {
      ::setenv("XDG_DOCUMENTS_DIR", previousDocuments_.c_str(), 1);
    } else {
      ::unsetenv("XDG_DOCUMENTS_DIR");
    }
    fs::remove_all(folder_);
  }
  std::u16string SettingsPath() const { return (folder_ / "PrintSettings.dat").u16string(); }
  fs::path Output() const { return folder_ / "Zelvo Pro Opstilling.pdf"; }
  // Answers the print dialog once: `copies` (0 leaves them) then OK; the copies it showed are kept.
  void AnswerPrintDialog(int32_t copies, bool ok = true) {
    answered_ = false;
    HeadlessDriver::SetIdleScript([this, copies, ok]() {
      HWND dialog = FindWindowA(kDialogClassName, "Print");
      if (!dialog || answered_) return false;
      answered_ = true;
      BOOL translated = 0;
      shownCopies_ = static_cast<int32_t>(GetDlgItemInt(dialog, kPrintCopiesItem, &translated, 0));
      if (copies > 0) SetDlgItemInt(dialog, kPrintCopiesItem, static_cast<UINT>(copies), 0);
      SendMessageW(dialog, WM_COMMAND, ok ? IDOK : IDCANCEL, 0);
      return true;
    });
  }

  // Answers the page set-up box once: keeps the paper it showed, then chooses `paper` and OK, or
  // Cancel for 0.
  void AnswerPageSetup(int16_t paper) {
    answered_ = false;
    HeadlessDriver::SetIdleScript([this, paper]() {
      HWND dialog = FindWindowA(kDialogClassName, "Page Setup");
      if (!dialog || answered_) return false;
      answered_ = true;
      const auto papers = PaperSizes::All();
      const auto shown = SendDlgItemMessageW(dialog, kPagePaperItem, CB_GETCURSEL, 0, 0);
      shownPaper_ = shown < 0 ? int16_t(0) : papers[static_cast<size_t>(shown)].code;
      shownLeftMargin_ = WindowText(GetDlgItem(dialog, kPageLeftItem));
      for (size_t i = 0; i < papers.size(); ++i) {
        if (papers[i].code == paper) SendDlgItemMessageW(dialog, kPagePaperItem, CB_SETCURSEL, i, 0);
      }
      SendMessageW(dialog, WM_COMMAND, paper != 0 ? IDOK : IDCANCEL, 0);
      return true;
    });
  }
  // What a new start of the program finds: no window and no settings of the run, the kept file.
  void Restart() {
    delete window_;
    HeadlessDriver::Reset();
    window_ = new ppWindow();
    hwnd_ = adorner_tests::MakeObjectWindow(window_, 300, 200);
  }

  int16_t shownPaper_ = 0;
  std::u16string shownLeftMargin_;
  fs::path folder_;
  std::string previousDocuments_;
  bool hadDocuments_ = false;
  ppWindow* window_ = nullptr;
  HWND hwnd_ = nullptr;
  bool answered_ = false;
  int32_t shownCopies_ = 0;
};

TEST_F(Printing, EveryCopyRunsThePagesFromPageOneIntoOneDocumentWithinTheMargins) {
  PageLog printing(window_);
  printing.SetPrintSettingsPath(SettingsPath());
  AnswerPrintDialog(3);
  printing.PrintDocument(ppPrinting::kPortrait);
  EXPECT_TRUE(answered_);
  EXPECT_EQ(printing.pages, (std::vector<int32_t>{1, 2, 1, 2, 1, 2}));
  ASSERT_TRUE(fs::exists(Output()));
  EXPECT_EQ(PdfPageCount(Output()), 6);
  // The "Printing" dialog stood over the disabled window while the job ran, and is gone.
  EXPECT_FALSE(printing.ownerEnabledDuringJob);
  EXPECT_EQ(printing.abortMessage, u"Printing Zelvo Pro Opstilling");
  EXPECT_EQ(printing.abortCaption, "Print");
  EXPECT_TRUE(printing.abortShown) << "the Printing dialog is made but not shown";
  EXPECT_TRUE(IsWindowEnabled(hwnd_));
  EXPECT_EQ(ppPrintingAbortDialog::Instance().Window(), nullptr);
  EXPECT_TRUE(MessageBoxLog().empty());
  // The page set-up defaults: 25 mm at the sides, 30 mm at top and bottom, at 300 dots per inch.
  const RECT& r = printing.PrintableRect();
  EXPECT_EQ(r.left, 2500 * 300 / 2540);
  EXPECT_EQ(r.top, 3000 * 300 / 2540);
  EXPECT_EQ(r.right, printing.paperWidth - 2500 * 300 / 2540);
  EXPECT_EQ(r.bottom, printing.paperHeight - 3000 * 300 / 2540);
  EXPECT_LT(printing.paperWidth, printing.paperHeight);
}

TEST_F(Printing, ConfirmedSettingsAreKeptForTheNextPrint) {
  EXPECT_FALSE(fs::exists(SettingsPath()));
  PageLog first(window_);
  first.SetPrintSettingsPath(SettingsPath());
  first.lastPage = 1;
  AnswerPrintDialog(2);
  first.PrintDocument(ppPrinting::kLandscape);
  EXPECT_EQ(shownCopies_, 1);  // the default printer's settings
  ASSERT_TRUE(fs::exists(SettingsPath()));
  EXPECT_GT(first.paperWidth, first.paperHeight);

  PageLog second(window_);
  second.SetPrintSettingsPath(SettingsPath());
  second.lastPage = 1;
  AnswerPrintDialog(0);
  second.PrintDocument(0);  // keeps the printer's orientation
  EXPECT_EQ(shownCopies_, 2);
  EXPECT_EQ(second.pages, (std::vector<int32_t>{1, 1}));
  EXPECT_GT(second.paperWidth, second.paperHeight);
}

TEST_F(Printing, CancelInThePrintingDialogStopsTheJobAndLeavesNoDocument) {
  PageLog printing(window_);
  printing.SetPrintSettingsPath(SettingsPath());
  printing.lastPage = 100;
  printing.cancelAtPage = 2;
  AnswerPrintDialog(0);
  printing.PrintDocument(ppPrinting::kPortrait);
  ASSERT_FALSE(printing.pages.empty());
  EXPECT_LE(printing.pages.back(), 3);
  EXPECT_FALSE(fs::exists(Output()));
  EXPECT_TRUE(IsWindowEnabled(hwnd_));
  EXPECT_FALSE(ppPrintingAbortDialog::Instance().UserAborted());
}

TEST_F(Printing, ACancelledDialogPrintsNothingAndAMissingPrinterIsReported) {
  PageLog printing(window_);
  printing.SetPrintSettingsPath(SettingsPath());
  AnswerPrintDialog(0, false);
  printing.PrintDocument(ppPrinting::kPortrait);
  EXPECT_TRUE(printing.pages.empty());
  EXPECT_TRUE(MessageBoxLog().empty());
  EXPECT_FALSE(fs::exists(SettingsPath()));

  HeadlessDriver::SetIdleScript([]() {
    HWND dialog = FindWindowA(kDialogClassName, "Print");
    if (!dialog) return false;
    SetCommDlgExtendedError(ppPrinting::kNoDefaultPrinter);
    EndDialog(dialog, IDCANCEL);
    return true;
  });
  EXPECT_EQ(printing.BeginPrint(ppPrinting::kPortrait), nullptr);
  auto boxes = MessageBoxLog();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, u"No default printer selected.");
  EXPECT_EQ(boxes[0].caption, u"Print");
  EXPECT_EQ(boxes[0].style, MB_ICONHAND);

  AnswerPrintDialog(0);
  ppDC* dc = printing.BeginPrint(ppPrinting::kPortrait);
  ASSERT_NE(dc, nullptr);
  EXPECT_NE(PrinterOf(dc->GetHDC()), nullptr);
  printing.EndPrint(dc);
  EXPECT_EQ(printing.PrintRecord().hDC, nullptr);
  EXPECT_EQ(printing.PrintRecord().hDevMode, nullptr);
}

TEST_F(Printing, TheDefaultPageAnswerEndsAfterThePageCount) {
  ppPrinting printing(window_);
  printing.SetPrintSettingsPath(SettingsPath());
  EXPECT_EQ(printing.GetPageCount(), 1);
  AnswerPrintDialog(0);
  printing.PrintDocument(ppPrinting::kPortrait);
  ASSERT_TRUE(fs::exists(Output()));
  EXPECT_EQ(PdfPageCount(Output()), 1);
}

// The job dispatches what is queued between its pages, the program's end among it: the system asking
// the program to stop (a quit message) still ends the program's loop after the job, and the user's
// close box waits for the last page instead of closing the documents under the job.
TEST_F(Printing, AQuitOrACloseDuringTheJobEndsTheProgramOnceTheJobIsDone) {
  {
    PageLog printing(window_);
    printing.SetPrintSettingsPath(SettingsPath());
    printing.lastPage = 3;
    printing.onPage = [](int32_t page) {
      if (page == 1) PostQuitMessage(5);
    };
    AnswerPrintDialog(0);
    printing.PrintDocument(ppPrinting::kPortrait);
    EXPECT_EQ(printing.pages, (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(PdfPageCount(Output()), 3);
    MSG quit{};
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the job took the quit";
    EXPECT_EQ(quit.wParam, 5u);
    fs::remove(Output());
  }

  SetFrameLocked(false);  // the close box closes the program
  auto app = std::make_unique<ppApplication>(nullptr, nullptr);
  app->Startup();
  HeadlessDriver::RunUntilIdle();
  const HWND frame = app->Frame();
  ASSERT_TRUE(IsWindow(frame));
  PageLog printing(window_);
  printing.SetPrintSettingsPath(SettingsPath());
  printing.lastPage = 3;
  std::vector<bool> frameDuringPages;
  printing.onPage = [&](int32_t page) {
    if (page == 1) Desktop::RequestClose(frame);  // the frame's close box
    frameDuringPages.push_back(IsWindow(frame) != 0);
  };
  AnswerPrintDialog(0);
  printing.PrintDocument(ppPrinting::kPortrait);
  EXPECT_EQ(frameDuringPages, (std::vector<bool>{true, true, true}));
  EXPECT_EQ(PdfPageCount(Output()), 3);
  EXPECT_TRUE(MessageBoxLog().empty());
  // Back in the program's loop the held close is carried out, and the loop's end follows.
  HeadlessDriver::RunUntilIdle();
  EXPECT_FALSE(IsWindow(frame));
  MSG quit{};
  EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  // A close asked for with no job running is not held.
  EXPECT_FALSE(ppPrintingAbortDialog::Instance().HoldClose(window_->GetHWND()));
}

// A user who prints on Letter chooses it once in Page Setup: every print's page is then 8.5 x 11
// inches, turned for landscape, within the same margins; the box shows the choice again like the
// margins, and the prints and the box keep it after a restart through the kept print settings.
TEST_F(Printing, ThePaperChosenInPageSetupIsThePageOfEveryPrintAndIsKept) {
  {
    PageLog printing(window_);
    printing.SetPrintSettingsPath(SettingsPath());
    printing.lastPage = 1;
    AnswerPageSetup(DMPAPER_LETTER);
    EXPECT_TRUE(printing.RunPageSetup());
    EXPECT_EQ(shownPaper_, DMPAPER_A4) << "the first page set-up of a run without kept settings";

    AnswerPrintDialog(0);
    printing.PrintDocument(ppPrinting::kPortrait);
    EXPECT_EQ(PdfPageSize(Output()), std::make_pair(612.0, 792.0));
    EXPECT_EQ(printing.paperWidth, 2550) << "8.5 inches at 300 dots per inch";
    EXPECT_EQ(printing.paperHeight, 3300);
    EXPECT_EQ(printing.PrintableRect().right, 2550 - 2500 * 300 / 2540) << "25 mm at the right";
    EXPECT_EQ(printing.PrintableRect().bottom, 3300 - 3000 * 300 / 2540);
    fs::remove(Output());
    AnswerPrintDialog(0);
    printing.PrintDocument(ppPrinting::kLandscape);
    EXPECT_EQ(PdfPageSize(Output()), std::make_pair(792.0, 612.0));
    fs::remove(Output());

    AnswerPageSetup(0);
    EXPECT_FALSE(printing.RunPageSetup());
    EXPECT_EQ(shownPaper_, DMPAPER_LETTER);
    EXPECT_EQ(shownLeftMargin_, u"25");
  }

  // After a restart the first print is on the kept Letter, without a page set-up.
  Restart();
  {
    PageLog printing(window_);
    printing.SetPrintSettingsPath(SettingsPath());
    printing.lastPage = 1;
    AnswerPrintDialog(0);
    printing.PrintDocument(ppPrinting::kPortrait);
    EXPECT_EQ(PdfPageSize(Output()), std::make_pair(612.0, 792.0));
    fs::remove(Output());
  }
  // And Page Setup, opened first after a restart, shows it; A5 chosen there is the next page.
  Restart();
  PageLog printing(window_);
  printing.SetPrintSettingsPath(SettingsPath());
  printing.lastPage = 1;
  AnswerPageSetup(DMPAPER_A5);
  EXPECT_TRUE(printing.RunPageSetup());
  EXPECT_EQ(shownPaper_, DMPAPER_LETTER);
  AnswerPrintDialog(0);
  printing.PrintDocument(ppPrinting::kPortrait);
  const auto a5 = PdfPageSize(Output());
  EXPECT_NEAR(a5.first, 148 / 25.4 * 72, 0.01);
  EXPECT_NEAR(a5.second, 210 / 25.4 * 72, 0.01);
}

// Margins of 120 mm at the left and the right leave no paper on A4 held upright but fit it turned:
// Page Setup refuses them in portrait (the box stays) and takes them once Landscape is chosen, and the
// print's page is turned with them.
TEST_F(Printing, PageSetupInLandscapeTakesSideMarginsThatFitTheTurnedPaper) {
  PageLog printing(window_);
  printing.SetPrintSettingsPath(SettingsPath());
  printing.lastPage = 1;
  int32_t step = 0;
  bool stayedAfterPortrait = false;
  HeadlessDriver::SetIdleScript([&]() {
    HWND dialog = FindWindowA(kDialogClassName, "Page Setup");
    if (!dialog || step == 3) return false;
    if (step == 0) {
      SetDlgItemTextW(dialog, kPageLeftItem, u"120");
      SetDlgItemTextW(dialog, kPageRightItem, u"120");
      SendMessageW(dialog, WM_COMMAND, IDOK, 0);  // upright: 240 mm of 210
    } else if (step == 1) {
      stayedAfterPortrait = true;
      SendMessageW(GetDlgItem(dialog, kPageLandscapeItem), BM_CLICK, 0, 0);
      SendMessageW(dialog, WM_COMMAND, IDOK, 0);  // turned: 240 mm of 297
    } else {
      SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }
    ++step;
    return true;
  });
  EXPECT_TRUE(printing.RunPageSetup());
  EXPECT_TRUE(stayedAfterPortrait) << "the upright paper took margins wider than itself";
  EXPECT_EQ(step, 2) << "the turned paper refused margins that fit it";
  EXPECT_EQ(window_->PageSetupRecord().rtMargin.left, 12000);
  EXPECT_EQ(window_->PageSetupRecord().rtMargin.right, 12000);

  AnswerPrintDialog(0);
  printing.PrintDocument(ppPrinting::kLandscape);
  EXPECT_GT(printing.paperWidth, printing.paperHeight);
  EXPECT_EQ(printing.PrintableRect().left, 12000 * 300 / 2540);
  EXPECT_EQ(printing.PrintableRect().right, printing.paperWidth - 12000 * 300 / 2540);
}

// Letter chosen, and then A4 chosen again: the page is A4, and the box shows it next time.
TEST_F(Printing, APaperChosenAgainAfterAnotherIsThePage) {
  PageLog printing(window_);
  printing.SetPrintSettingsPath(SettingsPath());
  printing.lastPage = 1;
  AnswerPageSetup(DMPAPER_LETTER);
  ASSERT_TRUE(printing.RunPageSetup());
  AnswerPageSetup(DMPAPER_A4);
  ASSERT_TRUE(printing.RunPageSetup());
  EXPECT_EQ(shownPaper_, DMPAPER_LETTER);
  AnswerPrintDialog(0);
  printing.PrintDocument(ppPrinting::kPortrait);
  const auto a4 = PdfPageSize(Output());
  EXPECT_NEAR(a4.first, 210 / 25.4 * 72, 0.01);
  EXPECT_NEAR(a4.second, 297 / 25.4 * 72, 0.01);
  AnswerPageSetup(0);
  EXPECT_FALSE(printing.RunPageSetup());
  EXPECT_EQ(shownPaper_, DMPAPER_A4);
}

TEST(PrintRecords, TheRecordIsStoredInItsFixedLayoutWithoutHandles) {
  PRINTDLGA record;
  record.hwndOwner = reinterpret_cast<HWND>(0x1234);
  record.Flags = 0x01020304;
  record.nFromPage = 2;
  record.nToPage = 9;
  record.nMinPage = 1;
  record.nMaxPage = 12;
  record.nCopies = 3;
  PrintSettingsFile::Record bytes = StorePrintRecord(record);
  EXPECT_EQ(bytes[0], 66);
  for (int i = 4; i < 20; ++i) EXPECT_EQ(bytes[i], 0) << i;
  EXPECT_EQ(bytes[20], 0x04);
  EXPECT_EQ(bytes[23], 0x01);
  EXPECT_EQ(bytes[24], 2);
  EXPECT_EQ(bytes[26], 9);
  EXPECT_EQ(bytes[30], 12);
  EXPECT_EQ(bytes[32], 3);
  for (int i = 34; i < 66; ++i) EXPECT_EQ(bytes[i], 0) << i;
  PRINTDLGA back;
  back.lStructSize = 0;
  LoadPrintRecord(bytes, &back);
  EXPECT_EQ(back.lStructSize, 66u);
  EXPECT_EQ(back.Flags, 0x01020304u);
  EXPECT_EQ(back.nToPage, 9);
  EXPECT_EQ(back.nCopies, 3);
  EXPECT_EQ(back.hwndOwner, nullptr);
}

}  // namespace

namespace {

// The dialog shows the file it will write and the user may name another; a second print offers a free
// name beside the first; a file that cannot be written, or a folder that is not there, is said in a
// box and leaves no file.
TEST_F(Printing, TheDialogNamesTheFileThePagesGoToAndEveryFailureIsTold) {
  PageLog printing(window_);
  printing.SetPrintSettingsPath(SettingsPath());
  std::vector<std::u16string> offered;
  // Answers the dialog with `file` (empty: as offered), keeping what it offered.
  bool done = false;
  auto answer = [&](const std::u16string& file) {
    done = false;
    HeadlessDriver::SetIdleScript([&, file]() {
      HWND dialog = FindWindowA(kDialogClassName, "Print");
      if (!dialog || done) return false;
      done = true;
      offered.push_back(WindowText(GetDlgItem(dialog, kPrintFileItem)));
      if (!file.empty()) SetDlgItemTextW(dialog, kPrintFileItem, file.c_str());
      SendMessageW(dialog, WM_COMMAND, IDOK, 0);
      return true;
    });
  };
  answer(u"");
  printing.PrintDocument(ppPrinting::kPortrait);
  answer(u"");
  printing.PrintDocument(ppPrinting::kPortrait);
  ASSERT_EQ(offered.size(), 2u);
  EXPECT_EQ(offered[0], Output().u16string());
  EXPECT_EQ(offered[1], (folder_ / "Zelvo Pro Opstilling (2).pdf").u16string());
  EXPECT_TRUE(fs::exists(Output()));
  EXPECT_TRUE(fs::exists(folder_ / "Zelvo Pro Opstilling (2).pdf"));
  EXPECT_TRUE(MessageBoxLog().empty());

  // A name of the user's own, without extension, in another folder: ".pdf" is added.
  fs::create_directories(folder_ / "plans");
  answer((folder_ / "plans" / "kitchen").u16string());
  printing.PrintDocument(ppPrinting::kPortrait);
  EXPECT_EQ(PdfPageCount(folder_ / "plans" / "kitchen.pdf"), 2);
  EXPECT_TRUE(MessageBoxLog().empty());

  // A name the file system refuses (longer than a name may be): the job cannot start, and says so.
  const fs::path refused = folder_ / (std::string(300, 'x') + ".pdf");
  answer(refused.u16string());
  printing.PrintDocument(ppPrinting::kPortrait);
  ASSERT_EQ(MessageBoxLog().size(), 1u);
  EXPECT_NE(MessageBoxLog()[0].text.find(u"could not be started"), std::u16string::npos);
  EXPECT_NE(MessageBoxLog()[0].text.find(refused.u16string()), std::u16string::npos);
  ClearMessageBoxLog();

  // A folder that is not there: the dialog refuses the name in a box and stays up until Cancel.
  int32_t step = 0;
  HeadlessDriver::SetIdleScript([&]() {
    HWND dialog = FindWindowA(kDialogClassName, "Print");
    if (!dialog || step == 2) return false;
    if (step++ == 0) {
      SetDlgItemTextW(dialog, kPrintFileItem, (folder_ / "nowhere" / "x.pdf").u16string().c_str());
      SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    } else {
      SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }
    return true;
  });
  printing.PrintDocument(ppPrinting::kPortrait);
  ASSERT_EQ(MessageBoxLog().size(), 1u);
  EXPECT_NE(MessageBoxLog()[0].text.find(u"does not exist"), std::u16string::npos);
  EXPECT_FALSE(fs::exists(folder_ / "nowhere"));
}

}  // namespace
