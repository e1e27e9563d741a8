#pragma once
// Printing of a window: the print dialog with the kept print settings, a drawing context on the
// chosen printer, and the job that runs the pages of every copy while the "Printing" dialog keeps
// the user interface alive. A window that prints derives from this beside ppWindow and overrides
// PrintPage (and GetPageCount for its own paging).
//
// Page margins come from the window's page set-up record, in hundredths of a millimetre; the
// printable rectangle is in printer pixels.

#include <cstdint>
#include <string>

#include "platform/CommonDialogs.h"
#include "platform/GdiTypes.h"

class ppDC;
class ppWindow;

class ppPrinting {
 public:
  static constexpr int32_t kPortrait = 1;
  static constexpr int32_t kLandscape = 2;
  static constexpr int32_t kDocumentNameText = 6245;        // "Zelvo Pro Opstilling"
  static constexpr plat::DWORD kNoDefaultPrinter = 0x1008;  // the print dialog's "no default printer"

  explicit ppPrinting(ppWindow* window);
  virtual ~ppPrinting();
  ppPrinting(const ppPrinting&) = delete;
  ppPrinting& operator=(const ppPrinting&) = delete;

  // Runs the print dialog; a printing context, or null when the user cancelled or there is no
  // printer. Orientation 1 portrait, 2 landscape, anything else the printer's own. The context is
  // handed back to EndPrint, which deletes it and releases the printer.
  ppDC* BeginPrint(int32_t orientation);
  // Deletes `dc` (may be null) and releases the printer context and the device mode of the last
  // BeginPrint.
  void EndPrint(ppDC* dc);
  // The whole job: every copy from page 1 for as long as PrintPage answers that a page follows.
  virtual void PrintDocument(int32_t orientation);
  // Prints page `page` (from 1) into `dc`; answers whether a further page follows. The default
  // prints the window's views and answers whether `page` is below GetPageCount.
  virtual bool PrintPage(int32_t page, ppDC* dc);
  virtual int32_t GetPageCount();

  const plat::RECT& PrintableRect() const { return printable_; }
  const plat::PRINTDLGA& PrintRecord() const { return record_; }
  ppWindow* Window() const { return window_; }
  // The window's page set-up. Before the run's first page set-up or print it starts from the paper
  // of the kept print settings, which is the paper the prints would use.
  bool RunPageSetup();
  // Where the print settings are kept (".\settings\PrintSettings.dat" unless told otherwise).
  void SetPrintSettingsPath(const std::u16string& path) { settingsPath_ = path; }

 private:
  bool RunPrintDialog(int32_t orientation);
  // The print's device mode takes the page set-up's paper; without one the print's (kept) paper
  // becomes the shared paper.
  void FollowSharedPaper();
  void ComputePrintableRect(plat::HDC printer);
  // The printer context the dialog's choice stands for.
  plat::HDC PrinterContext();
  // Prints every copy; false when a page or the file failed (a cancel by the user is no failure).
  bool RunCopies(ppDC* dc, plat::HDC printer);

  ppWindow* window_;  // not owned
  plat::PRINTDLGA record_{};
  plat::RECT printable_{};
  std::u16string settingsPath_ = u".\\settings\\PrintSettings.dat";
};
