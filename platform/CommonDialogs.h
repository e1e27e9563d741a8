#pragma once
// The common dialogs, with our own layouts: open and save a file, choose a colour, page set-up and
// print. The records and flags carry the platform's names and values; each dialog is a modal dialog of
// the layer, answered in tests through the idle script like any other (the item ids below let a
// script fill them in).

#include <cstdint>

#include "platform/WindowApi.h"

#include "platform/Controls.h"
#include "platform/Dialog.h"
#include "platform/PaperSizes.h"

namespace plat {

using LPOFNHOOKPROC = uintptr_t (*)(HWND, UINT, WPARAM, LPARAM);

// ---- Open and save (OPENFILENAME). Filters are "description\0pattern[;pattern]\0...\0\0".
constexpr DWORD OFN_READONLY = 0x1;
constexpr DWORD OFN_OVERWRITEPROMPT = 0x2;
constexpr DWORD OFN_HIDEREADONLY = 0x4;
constexpr DWORD OFN_NOCHANGEDIR = 0x8;
constexpr DWORD OFN_ENABLEHOOK = 0x20;
constexpr DWORD OFN_PATHMUSTEXIST = 0x800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x1000;
constexpr DWORD OFN_CREATEPROMPT = 0x2000;
constexpr DWORD OFN_EXPLORER = 0x80000;

struct OPENFILENAMEW {
  DWORD lStructSize = sizeof(OPENFILENAMEW);
  HWND hwndOwner = nullptr;
  HINSTANCE hInstance = nullptr;
  const char16_t* lpstrFilter = nullptr;
  char16_t* lpstrCustomFilter = nullptr;
  DWORD nMaxCustFilter = 0;
  DWORD nFilterIndex = 0;              // 1-based; 0 = the first filter; set to the chosen one on return
  char16_t* lpstrFile = nullptr;       // in: initial name or path; out: the chosen full path
  DWORD nMaxFile = 0;                  // characters of lpstrFile, its NUL included
  char16_t* lpstrFileTitle = nullptr;  // out, when given: the chosen name without folder
  DWORD nMaxFileTitle = 0;
  const char16_t* lpstrInitialDir = nullptr;
  const char16_t* lpstrTitle = nullptr;
  DWORD Flags = 0;
  WORD nFileOffset = 0;                   // out: where the name starts in lpstrFile
  WORD nFileExtension = 0;                // out: where the extension starts (0 without one)
  const char16_t* lpstrDefExt = nullptr;  // appended (after a dot) to a name without extension
  LPARAM lCustData = 0;
  LPOFNHOOKPROC lpfnHook = nullptr;
  const char16_t* lpTemplateName = nullptr;
};

// The same with Windows-1252 texts.
struct OPENFILENAMEA {
  DWORD lStructSize = 76;
  HWND hwndOwner = nullptr;
  HINSTANCE hInstance = nullptr;
  const char* lpstrFilter = nullptr;
  char* lpstrCustomFilter = nullptr;
  DWORD nMaxCustFilter = 0;
  DWORD nFilterIndex = 0;
  char* lpstrFile = nullptr;
  DWORD nMaxFile = 0;
  char* lpstrFileTitle = nullptr;
  DWORD nMaxFileTitle = 0;
  const char* lpstrInitialDir = nullptr;
  const char* lpstrTitle = nullptr;
  DWORD Flags = 0;
  WORD nFileOffset = 0;
  WORD nFileExtension = 0;
  const char* lpstrDefExt = nullptr;
  LPARAM lCustData = 0;
  LPOFNHOOKPROC lpfnHook = nullptr;
  const char* lpTemplateName = nullptr;
};

BOOL GetOpenFileNameW(OPENFILENAMEW* info);
BOOL GetSaveFileNameW(OPENFILENAMEW* info);
BOOL GetOpenFileNameA(OPENFILENAMEA* info);
BOOL GetSaveFileNameA(OPENFILENAMEA* info);

// Why the last common dialog failed; 0 after a cancel or a success.
constexpr DWORD CDERR_STRUCTSIZE = 0x0001;
constexpr DWORD CDERR_DIALOGFAILURE = 0xFFFF;
constexpr DWORD FNERR_BUFFERTOOSMALL = 0x3003;
DWORD CommDlgExtendedError();
void SetCommDlgExtendedError(DWORD error);  // for the dialogs themselves

// Items of the open and save dialogs.
constexpr int32_t kFileFolderItem = 1152;  // the folder shown (an edit; Enter there goes to it)
constexpr int32_t kFileListItem = 1120;    // the folders and matching files of the folder (a drop list)
constexpr int32_t kFileNameItem = 1148;    // the file name (an edit)
constexpr int32_t kFileTypeItem = 1136;    // the filters (a drop list)

// ---- Colour (CHOOSECOLOR).
constexpr DWORD CC_RGBINIT = 0x1;
constexpr DWORD CC_FULLOPEN = 0x2;
constexpr DWORD CC_PREVENTFULLOPEN = 0x4;

struct CHOOSECOLORA {
  DWORD lStructSize = 36;
  HWND hwndOwner = nullptr;
  HINSTANCE hInstance = nullptr;
  COLORREF rgbResult = 0;            // in with CC_RGBINIT: the initial colour; out: the chosen one
  COLORREF* lpCustColors = nullptr;  // 16 custom colours, read and written back
  DWORD Flags = 0;
  LPARAM lCustData = 0;
  LPOFNHOOKPROC lpfnHook = nullptr;
  const char* lpTemplateName = nullptr;
};
using CHOOSECOLORW = CHOOSECOLORA;
BOOL ChooseColorA(CHOOSECOLORA* info);
inline BOOL ChooseColorW(CHOOSECOLORW* info) { return ChooseColorA(info); }

// Items of the colour dialog: red, green and blue edits (0 to 255), the custom colour buttons
// (kColorCustomItem + 0 .. 15, owner-drawn) and "Add to custom colours".
constexpr int32_t kColorRedItem = 706;
constexpr int32_t kColorGreenItem = 707;
constexpr int32_t kColorBlueItem = 708;
constexpr int32_t kColorAddItem = 712;
constexpr int32_t kColorCustomItem = 720;

// ---- Printer settings shared by page set-up and print: one program-wide "default printer" of the
// layer (there is no print spooler). A device mode block belongs to the record that holds it and is
// freed with FreeDevMode.
constexpr int16_t DMORIENT_PORTRAIT = 1;
constexpr int16_t DMORIENT_LANDSCAPE = 2;
struct DEVMODEA {
  char dmDeviceName[32] = {};
  int16_t dmOrientation = DMORIENT_PORTRAIT;
  int16_t dmPaperSize = DMPAPER_A4;  // PaperSizes
  int16_t dmCopies = 1;
};
DEVMODEA* AllocDevMode();  // the default printer's settings
void FreeDevMode(DEVMODEA* mode);
// The name of the layer's printer.
inline constexpr const char* kDefaultPrinterName = "Planner PDF printer";

// ---- Page set-up (PAGESETUPDLG). Margins and paper in hundredths of a millimetre with
// PSD_INHUNDREDTHSOFMILLIMETERS, thousandths of an inch otherwise.
constexpr DWORD PSD_MARGINS = 0x2;
constexpr DWORD PSD_INTHOUSANDTHSOFINCHES = 0x4;
constexpr DWORD PSD_INHUNDREDTHSOFMILLIMETERS = 0x8;
constexpr DWORD PSD_DISABLEPAPER = 0x200;  // the paper size is shown but cannot be changed
constexpr DWORD PSD_RETURNDEFAULT = 0x400;

struct PAGESETUPDLGA {
  DWORD lStructSize = sizeof(PAGESETUPDLGA);
  HWND hwndOwner = nullptr;
  DEVMODEA* hDevMode = nullptr;  // in/out; made when null
  void* hDevNames = nullptr;
  DWORD Flags = 0;
  POINT ptPaperSize;
  RECT rtMinMargin;
  RECT rtMargin;  // left, top, right, bottom margins
};
BOOL PageSetupDlgA(PAGESETUPDLGA* info);

// Items of the page set-up dialog: the paper size (a drop list of PaperSizes::All, in that order), the
// four margins (edits, in millimetres), portrait and landscape. The device mode's dmPaperSize and
// ptPaperSize come back with the chosen paper.
constexpr int32_t kPagePaperItem = 1137;
constexpr int32_t kPageLeftItem = 1155;
constexpr int32_t kPageTopItem = 1156;
constexpr int32_t kPageRightItem = 1157;
constexpr int32_t kPageBottomItem = 1158;
constexpr int32_t kPagePortraitItem = 1056;
constexpr int32_t kPageLandscapeItem = 1057;

// ---- Print (PRINTDLG).
constexpr DWORD PD_RETURNDC = 0x100;
constexpr DWORD PD_RETURNDEFAULT = 0x400;
constexpr DWORD PD_NOPAGENUMS = 0x8;

struct PRINTDLGA {
  DWORD lStructSize = 66;
  HWND hwndOwner = nullptr;
  DEVMODEA* hDevMode = nullptr;  // in/out; made when null
  void* hDevNames = nullptr;
  HDC hDC = nullptr;  // out with PD_RETURNDC: a context on the printer's page (the caller deletes it)
  DWORD Flags = 0;
  WORD nFromPage = 1, nToPage = 1, nMinPage = 1, nMaxPage = 1;
  WORD nCopies = 1;
};
BOOL PrintDlgA(PRINTDLGA* info);

// Items of the print dialog: the printer (a static), copies (an edit), portrait and landscape, the file.
constexpr int32_t kPrintNameItem = 1139;
constexpr int32_t kPrintCopiesItem = 1154;
constexpr int32_t kPrintFileItem = 1155;    // the PDF file the pages go to (an edit)
constexpr int32_t kPrintBrowseItem = 1156;  // "Browse...": a save dialog for that file

// With PD_RETURNDC the dialog answers a context on the layer's printer (the device mode's paper at
// 300 dots per inch, turned for landscape); the caller deletes it with DeleteDC.

// ---- Shared by the dialogs above.
// Runs a common dialog's layout modally with `object` as its creation parameter; sets the extended
// error when the dialog could not be made. Answers what the dialog ended with (-1 on failure).
INT_PTR RunCommonDialogLayout(const DialogTemplate& layout, HWND owner, DLGPROC proc, void* object);

// The procedure of a dialog object with `Init (dialog)` on WM_INITDIALOG and `Accept (dialog)` on OK
// (false keeps the dialog up); Cancel ends it. The object is kept in the window property
// Object::kProperty.
template <class Object>
INT_PTR OkCancelProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetPropA(dialog, Object::kProperty, reinterpret_cast<void*>(lParam));
    reinterpret_cast<Object*>(lParam)->Init(dialog);
    return 1;
  }
  auto* self = static_cast<Object*>(GetPropA(dialog, Object::kProperty));
  if (!self || message != WM_COMMAND) return 0;
  auto id = static_cast<int32_t>(LOWORD(wParam));
  if (id == IDOK && self->Accept(dialog)) EndDialog(dialog, IDOK);
  if (id == IDCANCEL) EndDialog(dialog, IDCANCEL);
  return id == IDOK || id == IDCANCEL ? 1 : 0;
}

}  // namespace plat
