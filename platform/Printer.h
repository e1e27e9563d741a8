#pragma once
// A printer of this platform: a device that draws pages at 300 dots per inch into a page-sized
// surface and writes each finished page into a PDF file through cairo (and, when asked, as a PNG
// file, which is how tests look at pages). A document is written to "<output>.part" and renamed to
// the output path only when it ends, so an aborted or failed job leaves no half-written file.
//
// Ownership: the device owns its page surface, the context drawing into it and the open PDF.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Gdi.h"

typedef struct _cairo_surface cairo_surface_t;

namespace plat {

constexpr int32_t kPrinterDotsPerInch = 300;

// What a print dialog hands over: the paper, its orientation and where the pages go.
struct PrinterSetup {
  int32_t paperWidth = 2100;   // tenths of a millimetre, portrait (A4)
  int32_t paperHeight = 2970;  // tenths of a millimetre, portrait (A4)
  int32_t orientation = 1;     // 1 portrait, 2 landscape
  int32_t copies = 1;
  std::string output;     // the PDF file; empty: a file in the user's documents folder
  std::string pngFolder;  // when set, every page is also written there as page-<n>.png
};

using ABORTPROC = BOOL (*)(HDC, int32_t);

class PrinterDevice {
 public:
  explicit PrinterDevice(const PrinterSetup& setup);
  ~PrinterDevice();
  PrinterDevice(const PrinterDevice&) = delete;
  PrinterDevice& operator=(const PrinterDevice&) = delete;

  HDC Dc() const { return dc_; }
  const PrinterSetup& Setup() const { return setup_; }
  int32_t PageWidth() const { return width_; }    // pixels
  int32_t PageHeight() const { return height_; }  // pixels
  bool InDocument() const { return pdf_ != nullptr; }
  bool InPage() const { return inPage_; }

  // Each answers false (and changes nothing) when called out of order or when the file fails.
  bool StartDocument(const std::string& path);
  bool StartPage();
  bool EndPage();
  bool EndDocument();
  void AbortDocument();  // drops the part written so far
  void SetAbortProc(ABORTPROC proc) { abortProc_ = proc; }
  ABORTPROC AbortProc() const { return abortProc_; }
  int32_t PagesDone() const { return pages_; }
  const std::string& OutputPath() const { return path_; }

 private:
  PrinterSetup setup_;
  int32_t width_;
  int32_t height_;
  Surface page_;
  HDC dc_;
  cairo_surface_t* pdf_ = nullptr;
  std::string path_;
  std::string partPath_;
  bool inPage_ = false;
  int32_t pages_ = 0;
  ABORTPROC abortProc_ = nullptr;
};

}  // namespace plat
