#include "platform/Printing.h"

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>

#include "platform/AnsiCodePage.h"
#include "platform/CommonDialogs.h"
#include "platform/PrinterContextHook.h"
#include "platform/ResetList.h"
#include "platform/UserFolders.h"

namespace plat {
namespace {

// The live printer devices by their context, and the next job number; user-interface thread.
std::map<HDC, std::unique_ptr<PrinterDevice>>& Devices() {
  static std::map<HDC, std::unique_ptr<PrinterDevice>> devices;
  return devices;
}

int32_t gNextJob = 1;
std::string gJobName;          // the name the next job will have, for the print dialog's offer
std::string gLastPrintFolder;  // the folder of the file the print dialog chose last

// Devices a reset finds are ended as AbortDoc would end them. The map is emptied before they go: a
// device deletes its context, which by then must no longer count as a printer's.
[[maybe_unused]] const bool kReset =
    ResetList::Add("printing: printer devices, job numbers, offered print file", [] {
      std::map<HDC, std::unique_ptr<PrinterDevice>> doomed;
      doomed.swap(Devices());
      doomed.clear();
      gNextJob = 1;
      gJobName.clear();
      gLastPrintFolder.clear();
    });

void InstallContextHook() {
  PrinterContextHook hook;
  hook.isPrinter = [](HDC dc) { return PrinterOf(dc) != nullptr; };
  hook.deleteDc = DeletePrinterDC;
  hook.deviceCaps = GetPrinterDeviceCaps;
  SetPrinterContextHook(hook);
}

std::string SafeFileName(const std::string& name) {
  std::string out;
  for (char c : name) {
    bool bad = static_cast<unsigned char>(c) < 0x20 || c == '/' || c == '\\' || c == ':' || c == '*' ||
               c == '?' || c == '"' || c == '<' || c == '>' || c == '|';
    out.push_back(bad ? '_' : c);
  }
  return out.empty() || out == "." || out == ".." ? "Print" : out;
}

template <class Char>
std::string Utf8(const Char* text) {
  if (!text) return {};
  std::u16string wide;
  if constexpr (sizeof(Char) == 1) {
    wide = WidenAnsi(text);
  } else {
    wide = text;
  }
  std::string out;  // UTF-16 to UTF-8, for file names
  for (size_t i = 0; i < wide.size(); ++i) {
    uint32_t c = wide[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < wide.size())
      c = 0x10000 + ((c - 0xD800) << 10) + (wide[++i] - 0xDC00);
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out += {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
    } else if (c < 0x10000) {
      out += {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
              static_cast<char>(0x80 | (c & 0x3F))};
    } else {
      out += {static_cast<char>(0xF0 | (c >> 18)), static_cast<char>(0x80 | ((c >> 12) & 0x3F)),
              static_cast<char>(0x80 | ((c >> 6) & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
    }
  }
  return out;
}

template <class Char>
int32_t StartDocument(HDC dc, const DocInfoOf<Char>* info) {
  PrinterDevice* device = PrinterOf(dc);
  if (!device || !info || (info->cbSize != kDocInfoSize && info->cbSize != sizeof(DocInfoOf<Char>)))
    return SP_ERROR;
  std::string path = Utf8(info->lpszOutput);
  if (path.empty()) path = device->Setup().output;
  if (path.empty()) path = DefaultPrintPath(Utf8(info->lpszDocName));
  if (!device->StartDocument(path)) return SP_ERROR;
  return gNextJob++;
}

}  // namespace

PrinterSetup PrinterSetupFor(const DEVMODEA& mode) {
  const PaperSize& paper = PaperSizes::Of(mode.dmPaperSize);
  PrinterSetup setup;
  setup.paperWidth = paper.width / 10;  // hundredths to tenths of a millimetre; every size is whole
  setup.paperHeight = paper.height / 10;
  setup.orientation = mode.dmOrientation == DMORIENT_LANDSCAPE ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
  setup.copies = mode.dmCopies > 0 ? mode.dmCopies : 1;
  return setup;
}

HDC CreatePrinterDC(const PrinterSetup& setup) {
  if (setup.paperWidth <= 0 || setup.paperHeight <= 0) return nullptr;
  InstallContextHook();
  auto device = std::make_unique<PrinterDevice>(setup);
  HDC dc = device->Dc();
  if (!dc) return nullptr;
  Devices()[dc] = std::move(device);
  return dc;
}

BOOL DeletePrinterDC(HDC dc) {
  auto it = Devices().find(dc);
  if (it == Devices().end()) return 0;
  // The entry goes first: the device deletes its context, and that context must no longer count as
  // a printer's by then.
  std::unique_ptr<PrinterDevice> device = std::move(it->second);
  Devices().erase(it);
  return 1;
}

PrinterDevice* PrinterOf(HDC dc) {
  auto it = Devices().find(dc);
  return it == Devices().end() ? nullptr : it->second.get();
}

int32_t StartDocA(HDC dc, const DOCINFOA* info) { return StartDocument(dc, info); }
int32_t StartDocW(HDC dc, const DOCINFOW* info) { return StartDocument(dc, info); }

int32_t StartPage(HDC dc) {
  PrinterDevice* device = PrinterOf(dc);
  return device && device->StartPage() ? 1 : SP_ERROR;
}

int32_t EndPage(HDC dc) {
  PrinterDevice* device = PrinterOf(dc);
  if (!device || !device->EndPage()) return SP_ERROR;
  if (ABORTPROC proc = device->AbortProc(); proc && !proc(dc, 0)) {
    if ((device = PrinterOf(dc))) device->AbortDocument();  // the procedure may have freed the device
    return SP_APPABORT;
  }
  return 1;
}

int32_t EndDoc(HDC dc) {
  PrinterDevice* device = PrinterOf(dc);
  return device && device->EndDocument() ? 1 : SP_ERROR;
}

int32_t AbortDoc(HDC dc) {
  PrinterDevice* device = PrinterOf(dc);
  if (!device || !device->InDocument()) return SP_ERROR;
  device->AbortDocument();
  return 1;
}

int32_t SetAbortProc(HDC dc, ABORTPROC proc) {
  PrinterDevice* device = PrinterOf(dc);
  if (!device) return SP_ERROR;
  device->SetAbortProc(proc);
  return 1;
}

int32_t GetPrinterDeviceCaps(HDC dc, int32_t index) {
  PrinterDevice* device = PrinterOf(dc);
  if (!device) return GetRasterDeviceCaps(dc, index);
  constexpr double kMillimetresPerInch = 25.4;
  switch (index) {
    case TECHNOLOGY:
      return DT_RASPRINTER;
    case LOGPIXELSX:
    case LOGPIXELSY:
      return kPrinterDotsPerInch;
    case HORZRES:
    case PHYSICALWIDTH:
      return device->PageWidth();
    case VERTRES:
    case PHYSICALHEIGHT:
      return device->PageHeight();
    case PHYSICALOFFSETX:
    case PHYSICALOFFSETY:
      return 0;
    case HORZSIZE:
      return static_cast<int32_t>(device->PageWidth() * kMillimetresPerInch / kPrinterDotsPerInch);
    case VERTSIZE:
      return static_cast<int32_t>(device->PageHeight() * kMillimetresPerInch / kPrinterDotsPerInch);
    default:
      return GetRasterDeviceCaps(dc, index);
  }
}

namespace {
std::string FreePrintPath(const std::string& folder, const std::string& documentName) {
  std::string stem = SafeFileName(documentName);
  std::error_code error;
  std::string path = folder + "/" + stem + ".pdf";
  for (int32_t n = 2; std::filesystem::exists(path, error) && n < 10000; ++n) {
    path = folder + "/" + stem + " (" + std::to_string(n) + ").pdf";
  }
  return path;
}
}  // namespace

std::string DefaultPrintPath(const std::string& documentName) {
  return FreePrintPath(UserDocumentsFolder(), documentName);
}

void SetPrintJobName(const std::string& name) { gJobName = name; }

std::string OfferedPrintPath() {
  std::error_code error;
  bool folderLeft = !gLastPrintFolder.empty() && std::filesystem::is_directory(gLastPrintFolder, error);
  return FreePrintPath(folderLeft ? gLastPrintFolder : UserDocumentsFolder(),
                       gJobName.empty() ? "Print" : gJobName);
}

void RememberPrintPath(const std::string& path) {
  gLastPrintFolder = std::filesystem::path(path).parent_path().string();
}

}  // namespace plat
