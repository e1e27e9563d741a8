#pragma once
// The print job calls over printer devices (Printer.h): a printer context is made from a setup (what
// the print dialog decides), documents and pages run through StartDoc / StartPage / EndPage / EndDoc
// or AbortDoc, and EndPage gives the job's abort procedure its turn (it dispatches the queued
// messages; answering false stops the job and drops what was written).

#include <cstdint>
#include <string>

#include "platform/Printer.h"

namespace plat {

struct DEVMODEA;

constexpr int32_t SP_ERROR = -1;
constexpr int32_t SP_APPABORT = -2;

// Device capabilities of printers, besides those of Gdi.h.
constexpr int32_t TECHNOLOGY = 2;
constexpr int32_t HORZSIZE = 4;  // millimetres
constexpr int32_t VERTSIZE = 6;  // millimetres
constexpr int32_t PHYSICALWIDTH = 110;
constexpr int32_t PHYSICALHEIGHT = 111;
constexpr int32_t PHYSICALOFFSETX = 112;
constexpr int32_t PHYSICALOFFSETY = 113;
constexpr int32_t DT_RASPRINTER = 2;

// The record size 32-bit callers put into cbSize; sizeof is accepted too.
constexpr int32_t kDocInfoSize = 20;

template <class Char>
struct DocInfoOf {
  int32_t cbSize = 0;
  const Char* lpszDocName = nullptr;
  const Char* lpszOutput = nullptr;  // a file to print to instead of the printer's own output
  const Char* lpszDatatype = nullptr;
  DWORD fwType = 0;
};
using DOCINFOA = DocInfoOf<char>;
using DOCINFOW = DocInfoOf<char16_t>;

// The printer's setup for a device mode: its paper (PaperSizes), orientation and copies.
PrinterSetup PrinterSetupFor(const DEVMODEA& mode);

// A printer context, or null for a setup without paper. Freed by DeletePrinterDC.
HDC CreatePrinterDC(const PrinterSetup& setup);
// Ends a running document as AbortDoc does, then frees the device and its context.
BOOL DeletePrinterDC(HDC dc);
// The device behind a printer context, or null for any other context.
PrinterDevice* PrinterOf(HDC dc);

// A job number above 0, or SP_ERROR (not a printer, a document already running, or a file that
// cannot be made). The output is the record's output, else the setup's, else DefaultPrintPath.
int32_t StartDocA(HDC dc, const DOCINFOA* info);
int32_t StartDocW(HDC dc, const DOCINFOW* info);
int32_t StartPage(HDC dc);  // > 0 on success; the page starts white
int32_t EndPage(HDC dc);    // > 0 on success; SP_APPABORT when the abort procedure stopped the job
int32_t EndDoc(HDC dc);     // > 0 once the file is complete under its name
int32_t AbortDoc(HDC dc);
int32_t SetAbortProc(HDC dc, ABORTPROC proc);

// GetDeviceCaps for printer contexts (300 dots per inch, the paper in pixels, no unprintable edge);
// any other context is answered by GetDeviceCaps.
int32_t GetPrinterDeviceCaps(HDC dc, int32_t index);

// A free name in the user's documents folder ($XDG_DOCUMENTS_DIR, else ~/Documents when it exists,
// else the home folder): the document name with the characters a file name cannot hold replaced,
// ".pdf" added, and " (2)", " (3)" ... before it when the name is taken.
std::string DefaultPrintPath(const std::string& documentName);

// What the print dialog offers as the file to print to. The job's name is told before the dialog
// runs (the document name StartDoc will get; "Print" until told); the offer is a free name for it,
// by DefaultPrintPath's rule, in the folder of the file chosen last in this run, else in the
// documents folder. User-interface thread; a desktop reset forgets both.
void SetPrintJobName(const std::string& name);
std::string OfferedPrintPath();
void RememberPrintPath(const std::string& path);

}  // namespace plat
