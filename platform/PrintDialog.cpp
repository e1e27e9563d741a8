#include "platform/PrintDialog.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "platform/Controls.h"
#include "platform/ControlsDrawing.h"
#include "platform/MessageBox.h"
#include "platform/Printing.h"
#include "platform/SdlInput.h"
#include "platform/TextRenderer.h"
#include "platform/UserFolders.h"
#include "platform/WindowApi.h"

namespace plat {

namespace {
constexpr int32_t kMostCopies = 999;
constexpr int32_t kPortraitItem = kPagePortraitItem, kLandscapeItem = kPageLandscapeItem;

namespace fs = std::filesystem;

std::u16string Wide(const std::string& utf8) { return Utf16FromUtf8(utf8); }
std::string Utf8(const std::u16string& text) { return Utf16ToUtf8(text); }

void Complain(HWND dialog, const std::string& text) {
  MessageBoxW(dialog, Wide(text).c_str(), u"Print", MB_OK | MB_ICONEXCLAMATION);
}
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
  t.cx = 220, t.cy = 120;
  t.Add("STATIC", u"Printer:", 0xFFFF, 7, 9, 40, 8, WS_VISIBLE);
  t.Add("STATIC", u"", kPrintNameItem, 50, 9, 163, 8, WS_VISIBLE | SS_NOPREFIX);
  t.Add("STATIC", u"Number of &copies:", 0xFFFF, 7, 28, 70, 8, WS_VISIBLE);
  t.Add("EDIT", u"", kPrintCopiesItem, 80, 26, 30, 12, WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_NUMBER);
  t.Add("BUTTON", u"Orientation", 0xFFFF, 120, 22, 93, 45, WS_VISIBLE | BS_GROUPBOX);
  t.Add("BUTTON", u"P&ortrait", kPortraitItem, 127, 35, 80, 10,
        WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON);
  t.Add("BUTTON", u"L&andscape", kLandscapeItem, 127, 49, 80, 10, WS_VISIBLE | BS_AUTORADIOBUTTON);
  t.Add("STATIC", u"Print to &file:", 0xFFFF, 7, 79, 50, 8, WS_VISIBLE);
  t.Add("EDIT", u"", kPrintFileItem, 7, 89, 151, 12,
        WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL | WS_GROUP);
  t.Add("BUTTON", u"&Browse...", kPrintBrowseItem, 163, 88, 50, 14, WS_VISIBLE | WS_TABSTOP);
  t.Add("BUTTON", u"OK", IDOK, 108, 104, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON | WS_GROUP);
  t.Add("BUTTON", u"Cancel", IDCANCEL, 163, 104, 50, 14, WS_VISIBLE | WS_TABSTOP);
  return t;
}

void PrintDialog::Init(HWND dialog) {
  SetDlgItemTextA(dialog, kPrintNameItem, kDefaultPrinterName);
  SendDlgItemMessageW(dialog, kPrintCopiesItem, EM_LIMITTEXT, 3, 0);
  SetDlgItemInt(dialog, kPrintCopiesItem, static_cast<UINT>(copies_), 0);
  CheckDlgButton(dialog, orientation_ == DMORIENT_LANDSCAPE ? kLandscapeItem : kPortraitItem, BST_CHECKED);
  SetDlgItemTextW(dialog, kPrintFileItem, Wide(OfferedPrintPath()).c_str());
}

std::string PrintDialog::ChosenFile(HWND dialog) {
  std::u16string text = WindowText(GetDlgItem(dialog, kPrintFileItem));
  while (!text.empty() && text.back() == u' ') text.pop_back();
  while (!text.empty() && text.front() == u' ') text.erase(text.begin());
  if (text.empty()) return {};
  std::string name = Utf8(text);
  // "~/..." is the home folder; any other relative name lies in the documents folder.
  if (name.rfind("~/", 0) == 0) {
    const char* home = std::getenv("HOME");
    name = std::string(home && *home ? home : ".") + name.substr(1);
  }
  fs::path path(name);
  if (path.is_relative()) path = fs::path(UserDocumentsFolder()) / path;
  if (!path.has_extension()) path += ".pdf";
  return path.lexically_normal().string();
}

void PrintDialog::Browse(HWND dialog) {
  std::string current = ChosenFile(dialog);
  if (current.empty()) current = OfferedPrintPath();
  fs::path path(current);
  std::u16string folder = Wide(path.parent_path().string() + "/");
  std::u16string buffer(512, u'\0');
  std::u16string name = Wide(path.filename().string());
  std::copy_n(name.begin(), std::min<size_t>(name.size(), buffer.size() - 1), buffer.begin());
  OPENFILENAMEW info;
  info.hwndOwner = dialog;
  info.lpstrFilter = u"PDF files (*.pdf)\0*.pdf\0";
  info.lpstrFile = buffer.data();
  info.nMaxFile = static_cast<DWORD>(buffer.size());
  info.lpstrInitialDir = folder.c_str();
  info.lpstrDefExt = u"pdf";
  info.lpstrTitle = u"Print to File";
  // The replace question comes once, from OK.
  if (!GetSaveFileNameW(&info)) return;
  std::u16string chosen(buffer.c_str());
  std::replace(chosen.begin(), chosen.end(), u'\\', u'/');
  SetDlgItemTextW(dialog, kPrintFileItem, chosen.c_str());
}

INT_PTR PrintDialog::Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && LOWORD(wParam) == kPrintBrowseItem) {
    if (auto* self = static_cast<PrintDialog*>(GetPropA(dialog, kProperty))) self->Browse(dialog);
    return 1;
  }
  return OkCancelProc<PrintDialog>(dialog, message, wParam, lParam);
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
  std::string file = ChosenFile(dialog);
  HWND field = GetDlgItem(dialog, kPrintFileItem);
  std::error_code error;
  if (file.empty()) {
    Complain(dialog, "Enter the name of the PDF file to print to.");
    SetFocus(field);
    return false;
  }
  if (!fs::is_directory(fs::path(file).parent_path(), error)) {
    Complain(dialog, "The folder " + fs::path(file).parent_path().string() +
                         " does not exist.\nChoose an existing folder for the PDF file.");
    SetFocus(field);
    return false;
  }
  if (fs::is_directory(file, error)) {
    Complain(dialog, file + " is a folder.\nEnter the name of a file in it.");
    SetFocus(field);
    return false;
  }
  if (fs::exists(file, error)) {
    std::u16string question = Wide(file + " already exists.\nDo you want to replace it?");
    if (MessageBoxW(dialog, question.c_str(), u"Print", MB_YESNO | MB_ICONEXCLAMATION) != IDYES) {
      SetFocus(field);
      return false;
    }
  }
  copies_ = static_cast<int32_t>(copies);
  orientation_ = IsDlgButtonChecked(dialog, kLandscapeItem) ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
  output_ = file;
  return true;
}

void PrintDialog::Finish() {
  if (!info_.hDevMode) info_.hDevMode = AllocDevMode();
  info_.hDevMode->dmOrientation = orientation_;
  info_.hDevMode->dmCopies = static_cast<int16_t>(copies_);
  info_.nCopies = static_cast<WORD>(copies_);
  if (info_.Flags & PD_RETURNDC) {
    // A context on the printer itself, so StartDoc and the printer's device questions work on it.
    PrinterSetup setup = PrinterSetupFor(*info_.hDevMode);
    setup.output = output_;
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
    if (RunCommonDialogLayout(Layout(), info_.hwndOwner, &PrintDialog::Proc, this) != IDOK) return false;
    RememberPrintPath(output_);
  }
  Finish();
  return true;
}

BOOL PrintDlgA(PRINTDLGA* info) { return info && PrintDialog(*info).Run() ? 1 : 0; }

}  // namespace plat
