#include "platform/CommonDialogs.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

#include "platform/AnsiCodePage.h"
#include "platform/FileDialog.h"
#include "platform/ResetList.h"

namespace plat {

namespace {
// The last common dialog's error; set on the user-interface thread, read from any.
std::atomic<DWORD> gLastError{0};
[[maybe_unused]] const bool kReset = ResetList::Add("common dialogs: last error", [] { gLastError = 0; });

// A narrow NUL-separated list (ending in two NULs) widened whole.
std::u16string WidenList(const char* list) {
  std::u16string out;
  if (!list) return out;
  const char* p = list;
  while (*p) {
    out += WidenAnsi(p);
    out += u'\0';
    p += std::strlen(p) + 1;
  }
  out += u'\0';
  return out;
}

// Runs the wide dialog for a narrow record and copies the results back narrowed.
BOOL NarrowFileDialog(OPENFILENAMEA* info, bool save) {
  if (!info) return 0;
  if (info->lStructSize != 76 && info->lStructSize != sizeof(OPENFILENAMEA)) {
    SetCommDlgExtendedError(CDERR_STRUCTSIZE);
    return 0;
  }
  std::u16string filter = WidenList(info->lpstrFilter);
  std::u16string initialDir = WidenAnsi(info->lpstrInitialDir ? info->lpstrInitialDir : "");
  std::u16string title = WidenAnsi(info->lpstrTitle ? info->lpstrTitle : "");
  std::u16string defExt = WidenAnsi(info->lpstrDefExt ? info->lpstrDefExt : "");
  std::vector<char16_t> file(std::max<DWORD>(info->nMaxFile, 1), u'\0');
  std::u16string start = WidenAnsi(info->lpstrFile ? info->lpstrFile : "");
  std::copy_n(start.begin(), std::min(start.size(), file.size() - 1), file.begin());
  std::vector<char16_t> fileTitle(std::max<DWORD>(info->nMaxFileTitle, 1), u'\0');

  OPENFILENAMEW wide;
  wide.hwndOwner = info->hwndOwner;
  wide.hInstance = info->hInstance;
  wide.lpstrFilter = info->lpstrFilter ? filter.c_str() : nullptr;
  wide.nFilterIndex = info->nFilterIndex;
  wide.lpstrFile = file.data();
  wide.nMaxFile = info->nMaxFile;
  wide.lpstrFileTitle = info->lpstrFileTitle ? fileTitle.data() : nullptr;
  wide.nMaxFileTitle = info->nMaxFileTitle;
  wide.lpstrInitialDir = info->lpstrInitialDir ? initialDir.c_str() : nullptr;
  wide.lpstrTitle = info->lpstrTitle ? title.c_str() : nullptr;
  wide.Flags = info->Flags;
  wide.lpstrDefExt = info->lpstrDefExt ? defExt.c_str() : nullptr;
  wide.lCustData = info->lCustData;
  wide.lpfnHook = info->lpfnHook;
  BOOL chosen = FileDialog(wide, save).Run() ? 1 : 0;
  if (!chosen) return 0;
  // Offsets count characters of the narrow text; Windows-1252 keeps one byte per character.
  std::string path = NarrowToAnsi(wide.lpstrFile);
  if (path.size() + 1 > info->nMaxFile || !info->lpstrFile) {
    SetCommDlgExtendedError(FNERR_BUFFERTOOSMALL);
    return 0;
  }
  std::memcpy(info->lpstrFile, path.c_str(), path.size() + 1);
  info->nFileOffset = wide.nFileOffset;
  info->nFileExtension = wide.nFileExtension;
  info->nFilterIndex = wide.nFilterIndex;
  if (info->lpstrFileTitle && info->nMaxFileTitle > 0) {
    std::string t = NarrowToAnsi(wide.lpstrFileTitle);
    size_t n = std::min<size_t>(t.size(), info->nMaxFileTitle - 1);
    std::memcpy(info->lpstrFileTitle, t.data(), n);
    info->lpstrFileTitle[n] = 0;
  }
  return 1;
}
}  // namespace

DWORD CommDlgExtendedError() { return gLastError.load(); }
void SetCommDlgExtendedError(DWORD error) { gLastError.store(error); }

BOOL GetOpenFileNameW(OPENFILENAMEW* info) { return info && FileDialog(*info, false).Run() ? 1 : 0; }
BOOL GetSaveFileNameW(OPENFILENAMEW* info) { return info && FileDialog(*info, true).Run() ? 1 : 0; }
BOOL GetOpenFileNameA(OPENFILENAMEA* info) { return NarrowFileDialog(info, false); }
BOOL GetSaveFileNameA(OPENFILENAMEA* info) { return NarrowFileDialog(info, true); }

INT_PTR RunCommonDialogLayout(const DialogTemplate& layout, HWND owner, DLGPROC proc, void* object) {
  INT_PTR result = DialogBoxIndirectParamW(nullptr, &layout, owner, proc, reinterpret_cast<LPARAM>(object));
  if (result == -1) SetCommDlgExtendedError(CDERR_DIALOGFAILURE);
  return result;
}

DEVMODEA* AllocDevMode() {
  auto* mode = new DEVMODEA();
  std::strncpy(mode->dmDeviceName, kDefaultPrinterName, sizeof mode->dmDeviceName - 1);
  return mode;
}

void FreeDevMode(DEVMODEA* mode) { delete mode; }

}  // namespace plat
