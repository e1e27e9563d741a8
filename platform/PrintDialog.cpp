#include "platform/PrintDialog.h"

#include "platform/Printing.h"

#include "platform/ControlsDrawing.h"
#include "platform/WindowApi.h"

namespace plat {

namespace {
constexpr int32_t kMostCopies = 999;
constexpr int32_t kPortraitItem = kPagePortraitItem, kLandscapeItem = kPageLandscapeItem;
}  // namespace

PrintDialog::PrintDialog(PRINTDLGA& info) : info_(info) {
  if (info.hDevMode) {
    orientation_ = info.hDevMode->dmOrientation;
    copies_ = info.hDevMode->dmCopies;
  }
  if (info.nCopies > 1) copies_ = info.nCopies;
  if (copies_ < 1 || copies_ > kMostCopies) copies_ = 1;
}

DialogTemplate PrintDialog::Layout() {
  DialogTemplate t;
  t.caption = u"Print";
  // Centred on its owner, as the system's print dialog stands, not at the owner's top-left corner.
  t.style |= DS_CENTER;
  t.cx = 220, t.cy = 96;
  t.Add("STATIC", u"Printer:", 0xFFFF, 7, 9, 40, 8, WS_VISIBLE);
  t.Add("STATIC", u"", kPrintNameItem, 50, 9, 163, 8, WS_VISIBLE | SS_NOPREFIX);
  t.Add("STATIC", u"Number of &copies:", 0xFFFF, 7, 28, 70, 8, WS_VISIBLE);
  t.Add("EDIT", u"", kPrintCopiesItem, 80, 26, 30, 12, WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_NUMBER);
  t.Add("BUTTON", u"Orientation", 0xFFFF, 120, 22, 93, 45, WS_VISIBLE | BS_GROUPBOX);
  t.Add("BUTTON", u"P&ortrait", kPortraitItem, 127, 35, 80, 10,
        WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON);
  t.Add("BUTTON", u"L&andscape", kLandscapeItem, 127, 49, 80, 10, WS_VISIBLE | BS_AUTORADIOBUTTON);
  t.Add("BUTTON", u"OK", IDOK, 108, 75, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON | WS_GROUP);
  t.Add("BUTTON", u"Cancel", IDCANCEL, 163, 75, 50, 14, WS_VISIBLE | WS_TABSTOP);
  return t;
}

void PrintDialog::Init(HWND dialog) {
  SetDlgItemTextA(dialog, kPrintNameItem, kDefaultPrinterName);
  SendDlgItemMessageW(dialog, kPrintCopiesItem, EM_LIMITTEXT, 3, 0);
  SetDlgItemInt(dialog, kPrintCopiesItem, static_cast<UINT>(copies_), 0);
  CheckDlgButton(dialog, orientation_ == DMORIENT_LANDSCAPE ? kLandscapeItem : kPortraitItem, BST_CHECKED);
}

bool PrintDialog::Accept(HWND dialog) {
  BOOL ok = 0;
  UINT copies = GetDlgItemInt(dialog, kPrintCopiesItem, &ok, 0);
  if (!ok || copies < 1 || copies > kMostCopies) {
    MessageBeep(0);
    HWND field = GetDlgItem(dialog, kPrintCopiesItem);
    SetFocus(field);
    SendMessageW(field, EM_SETSEL, 0, -1);
    return false;
  }
  copies_ = static_cast<int32_t>(copies);
  orientation_ = IsDlgButtonChecked(dialog, kLandscapeItem) ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
  return true;
}

void PrintDialog::Finish() {
  if (!info_.hDevMode) info_.hDevMode = AllocDevMode();
  info_.hDevMode->dmOrientation = orientation_;
  info_.hDevMode->dmCopies = static_cast<int16_t>(copies_);
  info_.nCopies = static_cast<WORD>(copies_);
  if (info_.Flags & PD_RETURNDC) {
    // A context on the printer itself, so StartDoc and the printer's device questions work on it.
    PrinterSetup setup;
    setup.orientation = orientation_;
    setup.copies = copies_;
    info_.hDC = CreatePrinterDC(setup);
  }
}

bool PrintDialog::Run() {
  SetCommDlgExtendedError(0);
  if (info_.lStructSize != 66 && info_.lStructSize != sizeof(PRINTDLGA)) {
    SetCommDlgExtendedError(CDERR_STRUCTSIZE);
    return false;
  }
  if (!(info_.Flags & PD_RETURNDEFAULT)) {
    if (RunCommonDialogLayout(Layout(), info_.hwndOwner, &OkCancelProc<PrintDialog>, this) != IDOK)
      return false;
  }
  Finish();
  return true;
}

BOOL PrintDlgA(PRINTDLGA* info) { return info && PrintDialog(*info).Run() ? 1 : 0; }

}  // namespace plat
