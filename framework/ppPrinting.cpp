#include "framework/ppPrinting.h"

#include <algorithm>

#include "foundation/CurrentFolder.h"
#include "foundation/FileDialogs.h"
#include "foundation/PosixPath.h"
#include "foundation/TextsById.h"
#include "framework/PrintJobSettings.h"
#include "framework/ppDC.h"
#include "framework/ppPrintingAbortDialog.h"
#include "framework/ppWindow.h"
#include "platform/MessageBox.h"
#include "platform/Printing.h"

using namespace plat;

namespace {

// Back to the program folder after the dialog; relative settings paths rely on it.
void RestoreProgramFolder() {
  if (!ProgramFolder.empty()) SetCurrentDir(ProgramFolder);
}

// Hundredths of a millimetre (or thousandths of an inch) to printer pixels.
int32_t MarginPixels(int32_t margin, int32_t dotsPerInch, bool inches) {
  const int64_t per = inches ? 1000 : 2540;
  return static_cast<int32_t>(int64_t(margin) * dotsPerInch / per);
}

// The job's name, for the print dialog's offered file and the messages.
Vcon::WString DocumentName() {
  Vcon::WString name(u"Zelvo Pro Opstilling");
  GetTextById(ppPrinting::kDocumentNameText, name);
  return name;
}

// Where the job's pages go: the file the print dialog chose, else the documents folder's free name.
std::string OutputOf(HDC printer, const Vcon::WString& name) {
  PrinterDevice* device = PrinterOf(printer);
  if (device && !device->OutputPath().empty()) return device->OutputPath();
  if (device && !device->Setup().output.empty()) return device->Setup().output;
  return DefaultPrintPath(Vcon::Utf8FromUtf16(std::u16string_view(name)));
}

// Every print that does not end in its file says so; the user's own Cancel is no failure.
void TellPrintFailure(HWND owner, const std::string& text) {
  const std::u16string wide = Vcon::Utf16FromUtf8(text);
  MessageBoxW(owner, wide.c_str(), u"Print", MB_ICONHAND);
}

}  // namespace

ppPrinting::ppPrinting(ppWindow* window) : window_(window) {}

ppPrinting::~ppPrinting() { EndPrint(nullptr); }

int32_t ppPrinting::GetPageCount() { return 1; }

bool ppPrinting::PrintPage(int32_t page, ppDC* dc) {
  if (window_ && dc) window_->Print(*dc, page);
  return page < GetPageCount();
}

bool ppPrinting::RunPrintDialog(int32_t orientation) {
  EndPrint(nullptr);  // what a BeginPrint before left
  record_ = PRINTDLGA{};
  ReadPrintSettings(settingsPath_, &record_);
  record_.lStructSize = PrintSettingsFile::kRecordSize;
  record_.hwndOwner = window_ ? window_->GetHWND() : nullptr;
  if (!record_.hDevMode) {
    record_.Flags = PD_RETURNDEFAULT;
    PrintDlgA(&record_);
  }
  if (record_.hDevMode) FollowSharedPaper();
  if (record_.hDevMode && (orientation == kPortrait || orientation == kLandscape)) {
    record_.hDevMode->dmOrientation = static_cast<int16_t>(orientation);
  }
  record_.Flags = PD_RETURNDC;
  SetPrintJobName(Vcon::Utf8FromUtf16(std::u16string_view(DocumentName())));
  if (PrintDlgA(&record_)) return true;
  if (CommDlgExtendedError() == kNoDefaultPrinter) {
    MessageBoxA(record_.hwndOwner, "No default printer selected.", "Print", MB_ICONHAND);
  }
  return false;
}

void ppPrinting::FollowSharedPaper() {
  if (ppWindow::HasSharedPaper()) {
    record_.hDevMode->dmPaperSize = ppWindow::SharedPaper();
  } else {
    ppWindow::AdoptKeptPaper(record_.hDevMode->dmPaperSize);
  }
}

bool ppPrinting::RunPageSetup() {
  if (!window_) return false;
  if (!ppWindow::HasSharedPaper()) {
    PRINTDLGA kept{};
    if (ReadPrintSettings(settingsPath_, &kept) && kept.hDevMode)
      ppWindow::AdoptKeptPaper(kept.hDevMode->dmPaperSize);
    if (kept.hDevMode) FreeDevMode(kept.hDevMode);
  }
  return window_->PageSetup();
}

HDC ppPrinting::PrinterContext() {
  HDC chosen = record_.hDC;
  if (chosen && PrinterOf(chosen)) return chosen;
  // A dialog that answers a plain page context: make the printer context its choice stands for.
  if (chosen) DeleteDC(chosen);
  PrinterSetup setup = record_.hDevMode ? PrinterSetupFor(*record_.hDevMode) : PrinterSetup{};
  setup.copies = std::max<int32_t>(1, record_.nCopies);
  record_.hDC = CreatePrinterDC(setup);
  return record_.hDC;
}

void ppPrinting::ComputePrintableRect(HDC printer) {
  const int32_t dpiX = GetPrinterDeviceCaps(printer, LOGPIXELSX);
  const int32_t dpiY = GetPrinterDeviceCaps(printer, LOGPIXELSY);
  const int32_t offsetX = GetPrinterDeviceCaps(printer, PHYSICALOFFSETX);
  const int32_t offsetY = GetPrinterDeviceCaps(printer, PHYSICALOFFSETY);
  const int32_t paperWidth = GetPrinterDeviceCaps(printer, PHYSICALWIDTH);
  const int32_t paperHeight = GetPrinterDeviceCaps(printer, PHYSICALHEIGHT);
  RECT margins{0, 0, 0, 0};
  bool inches = false;
  if (window_) {
    margins = window_->PageSetupRecord().rtMargin;
    inches = (window_->PageSetupRecord().Flags & PSD_INTHOUSANDTHSOFINCHES) != 0;
  }
  printable_.left = MarginPixels(margins.left, dpiX, inches) - offsetX;
  printable_.top = MarginPixels(margins.top, dpiY, inches) - offsetY;
  printable_.right = paperWidth - MarginPixels(margins.right, dpiX, inches) - offsetX;
  printable_.bottom = paperHeight - MarginPixels(margins.bottom, dpiY, inches) - offsetY;
}

ppDC* ppPrinting::BeginPrint(int32_t orientation) {
  const bool chosen = RunPrintDialog(orientation);
  HDC printer = chosen ? PrinterContext() : nullptr;
  RestoreProgramFolder();
  if (!printer) {
    EndPrint(nullptr);
    return nullptr;
  }
  if (record_.hDevMode) {
    ComputePrintableRect(printer);
    WritePrintSettings(settingsPath_, record_);
  }
  // One logical unit per pixel: the scale of 1.0 over the isotropic mapping.
  constexpr int32_t kScale = 1;
  SetMapMode(printer, MM_ISOTROPIC);
  SetWindowExtEx(printer, 10, 10, nullptr);
  SetViewportExtEx(printer, 10 * kScale, 10 * kScale, nullptr);
  return new ppDC(printer);
}

void ppPrinting::PrintDocument(int32_t orientation) {
  ppDC* dc = BeginPrint(orientation);
  if (!dc) return;
  HDC printer = record_.hDC;
  HWND owner = window_ ? window_->GetHWND() : nullptr;
  Vcon::WString name = DocumentName();
  DOCINFOW info;
  info.cbSize = kDocInfoSize;
  info.lpszDocName = name.c_str();
  if (StartDocW(printer, &info) > 0) {
    RestoreProgramFolder();
    const std::string output = OutputOf(printer, name);
    ppPrintingAbortDialog& abort = ppPrintingAbortDialog::Instance();
    abort.Open(owner, name);
    // One turn of the abort procedure before the first page: the box and the window it covers are
    // drawn and on screen while that page is made, however long it takes.
    ppPrintingAbortDialog::AbortProc(printer, 0);
    const bool printed = RunCopies(dc, printer);
    abort.Close();
    if (!printed)
      TellPrintFailure(owner, "The print could not be written to " + output +
                                  ".\nNo file was made. Check that the disk has room and try again.");
  } else {
    TellPrintFailure(owner, "The print could not be started: " + OutputOf(printer, name) +
                                " cannot be written.\nChoose another file or folder in the Print dialog.");
  }
  EndPrint(dc);
  // A close the user asked for while the pages printed is carried out now.
  ppPrintingAbortDialog::Instance().AskHeldClose();
}

bool ppPrinting::RunCopies(ppDC* dc, HDC printer) {
  const int32_t copies = std::max<int32_t>(1, record_.nCopies);
  bool stopped = false;
  for (int32_t copy = 0; copy < copies && !stopped; ++copy) {
    if (StartPage(printer) <= 0) {
      stopped = true;
      break;
    }
    SetAbortProc(printer, &ppPrintingAbortDialog::AbortProc);
    int32_t page = 1;
    while (PrintPage(page, dc)) {
      ++page;
      if (EndPage(printer) <= 0 || StartPage(printer) <= 0) {
        stopped = true;
        break;
      }
    }
    if (!stopped && EndPage(printer) <= 0) stopped = true;
  }
  // Cancel in the "Printing" dialog (or a failing page) ends the job without a document.
  if (stopped) {
    const bool cancelled = ppPrintingAbortDialog::Instance().UserAborted();
    AbortDoc(printer);
    return cancelled;
  }
  return EndDoc(printer) > 0;
}

void ppPrinting::EndPrint(ppDC* dc) {
  delete dc;
  if (record_.hDC) {
    if (PrinterOf(record_.hDC)) {
      DeletePrinterDC(record_.hDC);
    } else {
      DeleteDC(record_.hDC);
    }
    record_.hDC = nullptr;
  }
  if (record_.hDevMode) FreeDevMode(record_.hDevMode);
  record_.hDevMode = nullptr;
}
