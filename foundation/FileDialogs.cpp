#include "foundation/FileDialogs.h"

#include <algorithm>

#include "foundation/CurrentFolder.h"
#include "foundation/FileOperations.h"
#include "foundation/ResourceAccess.h"
#include "platform/CommonDialogs.h"
#include "platform/Controls.h"
#include "platform/ScreenMetrics.h"
#include "platform/WindowApi.h"

Vcon::WString ProgramFolder;
Vcon::WString LastDialogFolder;

namespace {
// The record's size without the later extension fields, as the program has always passed it.
constexpr plat::DWORD kRecordSize = 76;
constexpr plat::DWORD kOpenFlags =
    plat::OFN_EXPLORER | plat::OFN_FILEMUSTEXIST | plat::OFN_ENABLEHOOK | plat::OFN_NOCHANGEDIR;  // 0x81028
constexpr plat::DWORD kSaveFlags = plat::OFN_EXPLORER | plat::OFN_CREATEPROMPT | plat::OFN_ENABLEHOOK |
                                   plat::OFN_NOCHANGEDIR | plat::OFN_OVERWRITEPROMPT;  // 0x8202A
constexpr size_t kOpenBufferChars = 512;
constexpr size_t kSaveBufferChars = 260;
constexpr uint16_t kTextFileFilterId = 132;

template <class Char>
void CompactFilter(const std::basic_string<Char>& text, std::basic_string<Char>& list) {
  list.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != Char('\\')) {
      list.push_back(text[i]);
    } else if (i + 1 < text.size()) {
      if (text[i + 1] == Char('0')) list.push_back(Char(0));
      ++i;  // the character after a backslash goes with it
    }
  }
  list.push_back(Char(0));
}

// Copies at most `capacity - 1` characters of `text` into a NUL-filled buffer.
std::u16string Buffer(const Vcon::WString& text, size_t capacity) {
  std::u16string buffer(capacity, u'\0');
  std::copy_n(text.begin(), std::min(text.size(), capacity - 1), buffer.begin());
  return buffer;
}

// The chosen path and name from the record after a successful dialog.
void TakeChoice(const plat::OPENFILENAMEW& info, ppFileSpec& fileSpec) {
  fileSpec.path = Vcon::WString(info.lpstrFile);
  fileSpec.name = Vcon::WString(info.lpstrFile + info.nFileOffset);
}

void RestoreFolder() { SetCurrentDir(ProgramFolder); }
}  // namespace

void FileFilterFromString(const Vcon::WString& filter, std::string& list) {
  Vcon::String narrow = NarrowFromWide(filter);
  CompactFilter(std::string(narrow.c_str(), narrow.size()), list);
}

void FileFilterFromWString(const Vcon::WString& filter, std::u16string& list) {
  CompactFilter(std::u16string(filter), list);
}

void DirectoryOfPath(const Vcon::WString& name, Vcon::WString& path) {
  size_t slash = path.find_last_of(u'\\');
  if (slash == std::u16string::npos) {
    path = name;
  } else {
    path.resize(slash + 1);
    path += name;
  }
}

uintptr_t CenterDialogHook(plat::HWND hookWindow, plat::UINT message, plat::WPARAM, plat::LPARAM) {
  if (message != plat::WM_INITDIALOG) return 0;
  plat::HWND dialog = plat::GetParent(hookWindow);
  plat::HWND reference = dialog ? plat::GetParent(dialog) : nullptr;
  plat::RECT box{},
      ref{0, 0, plat::GetSystemMetrics(plat::SM_CXSCREEN), plat::GetSystemMetrics(plat::SM_CYSCREEN)};
  if (!dialog || !plat::GetWindowRect(dialog, &box)) return 0;
  if (reference) plat::GetWindowRect(reference, &ref);
  int32_t left = ref.left + ((ref.right - ref.left) - (box.right - box.left)) / 2;
  int32_t top = ref.top + ((ref.bottom - ref.top) - (box.bottom - box.top)) / 2;
  plat::SetWindowPos(dialog, plat::HWND_TOP, left, top, 0, 0, plat::SWP_NOSIZE);
  return 0;
}

bool RunOpenFileDialog(ppFileSpec& fileSpec) {
  std::u16string filter;
  FileFilterFromWString(fileSpec.filter, filter);
  std::u16string file = Buffer(fileSpec.path, kOpenBufferChars);
  Vcon::WString initialFolder = LastDialogFolder;
  plat::OPENFILENAMEW info;
  info.lStructSize = kRecordSize;
  info.hwndOwner = reinterpret_cast<plat::HWND>(static_cast<uintptr_t>(fileSpec.owner));
  // Without an owner the dialog would leave the document window usable behind it, so that a second
  // command (another Open, a print) could start under it: it belongs to the window in front.
  if (info.hwndOwner == nullptr) info.hwndOwner = plat::GetForegroundWindow();
  info.lpstrFilter = filter.c_str();
  info.lpstrFile = file.data();
  info.nMaxFile = static_cast<plat::DWORD>(file.size());
  info.lpstrInitialDir = initialFolder.c_str();
  info.lpstrDefExt = fileSpec.name.c_str();
  info.Flags = kOpenFlags;
  info.lpfnHook = &CenterDialogHook;
  bool chosen = plat::GetOpenFileNameW(&info) != 0;
  if (chosen) {
    TakeChoice(info, fileSpec);
    LastDialogFolder = fileSpec.path;
    DirectoryOfPath(Vcon::WString(), LastDialogFolder);
  } else {
    (void)plat::CommDlgExtendedError();  // read, as the platform expects, and not acted on
  }
  // The dialog does not move the current folder, but it is put back in every case, so relative
  // settings paths keep working whatever happened.
  RestoreFolder();
  return chosen;
}

bool RunSaveFileDialog(ppFileSpec& fileSpec) {
  std::u16string filter;
  FileFilterFromWString(fileSpec.filter, filter);
  std::u16string file = Buffer(fileSpec.path, kSaveBufferChars);
  fileSpec.path.clear();
  Vcon::WString initialFolder = LastDialogFolder;
  plat::OPENFILENAMEW info;
  info.lStructSize = kRecordSize;
  info.hwndOwner = plat::GetForegroundWindow();
  info.lpstrFilter = filter.c_str();
  info.lpstrFile = file.data();
  info.nMaxFile = static_cast<plat::DWORD>(file.size());
  info.nMaxFileTitle = static_cast<plat::DWORD>(kSaveBufferChars);
  info.lpstrInitialDir = initialFolder.c_str();
  info.lpstrDefExt = fileSpec.name.c_str();
  info.Flags = kSaveFlags;
  info.lpfnHook = &CenterDialogHook;
  bool chosen = plat::GetSaveFileNameW(&info) != 0;
  if (chosen) TakeChoice(info, fileSpec);
  LastDialogFolder = fileSpec.path;  // empty after a cancel
  DirectoryOfPath(Vcon::WString(), LastDialogFolder);
  RestoreFolder();
  return chosen;
}

Handle ReadFileWithOpenDialog(uint16_t filterId) {
  ppFileSpec fileSpec;
  fileSpec.filter = GetTextResource(filterId);
  fileSpec.name = Vcon::WString(u"txt");
  if (!RunOpenFileDialog(fileSpec)) return nullptr;
  // Read-only: the file is only read, so a write-protected file can still be loaded.
  Handle contents = ReadFileToHandle(fileSpec);
  RestoreFolder();
  return contents;
}

bool CreateFileWithSaveDialog(ppFileSpec& out, ppFileSpec& fileSpec) {
  fileSpec.path.clear();
  fileSpec.filter = GetTextResource(kTextFileFilterId);
  fileSpec.name = Vcon::WString(u"txt");
  if (!RunSaveFileDialog(fileSpec)) return false;
  try {
    FileCreate(fileSpec);
  } catch (int32_t) {
    // Most often the file exists already; opening it below tells the real failures.
  }
  FileOpen(out, fileSpec, false);
  const uint32_t empty = 0;
  FileSetSize(out, &empty);
  return true;
}
