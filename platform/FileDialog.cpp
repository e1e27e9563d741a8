#include "platform/FileDialog.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/Controls.h"
#include "platform/ControlsDrawing.h"
#include "platform/MessageBox.h"
#include "platform/UserFolders.h"
#include "platform/WindowApi.h"

namespace plat {

namespace {
constexpr const char* kObjectProperty = "filedialog.object";
// The list's entries are written as the file system writes them: folders end in a slash.
std::u16string ParentMarker() { return u"../"; }

namespace fs = std::filesystem;
constexpr size_t kLongestName = 255;  // characters of one name; the file systems refuse longer ones

// The program's backslashed path as a path of the file system.
fs::path NativePath(std::u16string path) {
  std::replace(path.begin(), path.end(), u'\\', u'/');
  return fs::path(path);
}

std::u16string BackslashedPath(const fs::path& path) {
  std::u16string text = path.u16string();
  std::replace(text.begin(), text.end(), u'/', u'\\');
  return text;
}

bool IsFolder(const std::u16string& path) {
  std::error_code error;
  return fs::is_directory(NativePath(path), error);
}

bool Exists(const std::u16string& path) {
  std::error_code error;
  return fs::exists(NativePath(path), error);
}

std::u16string WithTrailingBackslash(std::u16string folder) {
  if (folder.empty() || folder.back() != u'\\') folder += u'\\';
  return folder;
}

bool IsFullPath(const std::u16string& name) {
  return (!name.empty() && (name[0] == u'\\' || name[0] == u'/')) || (name.size() > 1 && name[1] == u':');
}

char16_t Upper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

// A backslashed path of the program as the user's system writes it.
std::u16string Shown(std::u16string path) {
  std::replace(path.begin(), path.end(), u'\\', u'/');
  return path;
}

// Where a dialog without a usable initial folder starts: the user's documents folder.
std::u16string DocumentsFolder() {
  std::error_code error;
  fs::path folder = fs::absolute(fs::path(UserDocumentsFolder()), error);
  return WithTrailingBackslash(BackslashedPath(error ? fs::path(UserDocumentsFolder()) : folder));
}
}  // namespace

FileDialog::FileDialog(OPENFILENAMEW& info, bool save) : info_(info), save_(save) {
  filters_ = ParseFilters(info.lpstrFilter);
  filter_ = info.nFilterIndex > 0 && info.nFilterIndex <= filters_.size()
                ? static_cast<int32_t>(info.nFilterIndex) - 1
                : 0;
  // The caller's folder when it still exists; a first dialog (or one whose folder went away) starts
  // in the user's documents, never in the program's own folder.
  std::u16string initial = info.lpstrInitialDir ? std::u16string(info.lpstrInitialDir) : std::u16string();
  if (!initial.empty() && (initial[0] == u'.' || !IsFullPath(initial))) {
    std::error_code error;
    fs::path absolute = fs::absolute(NativePath(initial), error);
    if (!error) initial = BackslashedPath(absolute.lexically_normal());
  }
  folder_ = !initial.empty() && IsFolder(initial) ? WithTrailingBackslash(initial) : DocumentsFolder();
}

std::vector<FileDialog::Filter> FileDialog::ParseFilters(const char16_t* list) {
  std::vector<Filter> filters;
  if (!list) return filters;
  for (const char16_t* p = list; *p;) {
    Filter f;
    f.description = p;
    p += f.description.size() + 1;
    std::u16string patterns = p;
    p += patterns.size() + (patterns.empty() ? 0 : 1);
    size_t start = 0;
    while (start < patterns.size()) {
      size_t end = std::min(patterns.find(u';', start), patterns.size());
      if (end > start) f.patterns.push_back(patterns.substr(start, end - start));
      start = end + 1;
    }
    filters.push_back(std::move(f));
  }
  return filters;
}

bool FileDialog::Matches(const std::u16string& pattern, const std::u16string& name) {
  // Iterative wildcard match with one back-track point for the last '*'.
  size_t p = 0, n = 0, star = std::u16string::npos, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == u'?' || Upper(pattern[p]) == Upper(name[n]))) {
      ++p, ++n;
    } else if (p < pattern.size() && pattern[p] == u'*') {
      star = p++;
      mark = n;
    } else if (star != std::u16string::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

std::u16string FileDialog::Folder() const { return folder_; }

DialogTemplate FileDialog::Layout() const {
  DialogTemplate t;
  t.caption = info_.lpstrTitle && *info_.lpstrTitle ? info_.lpstrTitle : (save_ ? u"Save As" : u"Open");
  t.cx = 280, t.cy = 188;
  t.Add("STATIC", u"Look &in:", 0xFFFF, 7, 9, 40, 8, WS_VISIBLE);
  t.Add("EDIT", u"", kFileFolderItem, 50, 7, 223, 12, WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL);
  t.Add("STATIC", u"&Contents:", 0xFFFF, 7, 26, 40, 8, WS_VISIBLE);
  t.Add("LISTBOX", u"", kFileListItem, 50, 24, 223, 112, WS_VISIBLE | WS_TABSTOP | WS_BORDER | WS_VSCROLL);
  t.Add("STATIC", u"File &name:", 0xFFFF, 7, 145, 40, 8, WS_VISIBLE);
  t.Add("EDIT", u"", kFileNameItem, 50, 143, 166, 12, WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL);
  t.Add("STATIC", u"Files of &type:", 0xFFFF, 7, 162, 42, 8, WS_VISIBLE);
  t.Add("COMBOBOX", u"", kFileTypeItem, 50, 160, 166, 60, WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST);
  t.Add("BUTTON", save_ ? u"&Save" : u"&Open", IDOK, 223, 142, 50, 14,
        WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON);
  t.Add("BUTTON", u"Cancel", IDCANCEL, 223, 159, 50, 14, WS_VISIBLE | WS_TABSTOP);
  return t;
}

void FileDialog::Fill(HWND dialog) {
  SetDlgItemTextW(dialog, kFileFolderItem, Shown(folder_).c_str());
  HWND list = GetDlgItem(dialog, kFileListItem);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  std::vector<std::u16string> folders, files;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(NativePath(folder_), error)) {
    std::u16string name = entry.path().filename().u16string();
    std::error_code kindError;
    if (entry.is_directory(kindError)) {
      folders.push_back(name + u"/");
      continue;
    }
    const Filter* f =
        filter_ < static_cast<int32_t>(filters_.size()) ? &filters_[static_cast<size_t>(filter_)] : nullptr;
    bool shown = !f || f->patterns.empty();
    for (size_t i = 0; f && i < f->patterns.size() && !shown; ++i) shown = Matches(f->patterns[i], name);
    if (shown) files.push_back(name);
  }
  std::sort(folders.begin(), folders.end());
  std::sort(files.begin(), files.end());
  if (folder_ != u"\\") SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ParentMarker().c_str()));
  for (const auto& name : folders)
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  for (const auto& name : files) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
}

void FileDialog::Init(HWND dialog) {
  SetPropA(dialog, kObjectProperty, this);
  HWND types = GetDlgItem(dialog, kFileTypeItem);
  for (const Filter& f : filters_)
    SendMessageW(types, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f.description.c_str()));
  SendMessageW(types, CB_SETCURSEL, static_cast<WPARAM>(filter_), 0);
  // The initial file: a name, or a path whose folder becomes the folder shown.
  std::u16string initial = info_.lpstrFile ? std::u16string(info_.lpstrFile) : std::u16string();
  size_t cut = initial.find_last_of(u"\\/");
  if (cut != std::u16string::npos && IsFolder(initial.substr(0, cut + 1))) {
    folder_ = WithTrailingBackslash(initial.substr(0, cut));
    initial = initial.substr(cut + 1);
  }
  Fill(dialog);
  SetDlgItemTextW(dialog, kFileNameItem, initial.c_str());
  if ((info_.Flags & OFN_ENABLEHOOK) && info_.lpfnHook) {
    // The hook sees a child window of the dialog, as on the platform.
    hookWindow_ = CreateWindowExW(0, "STATIC", u"", WS_CHILD, 0, 0, 0, 0, dialog, nullptr, nullptr, nullptr);
    info_.lpfnHook(hookWindow_, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(&info_));
  }
  HWND name = GetDlgItem(dialog, kFileNameItem);
  SetFocus(name);
  SendMessageW(name, EM_SETSEL, 0, -1);
}

void FileDialog::OnListChoice(HWND dialog) {
  HWND list = GetDlgItem(dialog, kFileListItem);
  LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
  LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (index < 0 || length < 0) return;
  std::u16string entry(static_cast<size_t>(length) + 1, u'\0');
  SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(entry.data()));
  entry.resize(static_cast<size_t>(length));
  // The entry goes into the name field; Open (Enter, or a double click) then opens a folder or takes
  // a file, so moving through the list with the arrow keys never jumps into folders.
  if (entry == ParentMarker()) entry = u"..";
  SetDlgItemTextW(dialog, kFileNameItem, entry.c_str());
}

bool FileDialog::Deliver(const std::u16string& path) {
  size_t nameAt = path.find_last_of(u'\\') + 1;  // npos + 1 = 0
  size_t dot = path.find_last_of(u'.');
  if (!info_.lpstrFile || path.size() + 1 > info_.nMaxFile) {
    // Too long for the caller's buffer: the platform reports the size needed in its first word.
    if (info_.lpstrFile && info_.nMaxFile >= 2) {
      info_.lpstrFile[0] = static_cast<char16_t>((path.size() + 1) & 0xFFFF);
      info_.lpstrFile[1] = 0;
    }
    SetCommDlgExtendedError(FNERR_BUFFERTOOSMALL);
    return false;
  }
  std::copy(path.begin(), path.end(), info_.lpstrFile);
  info_.lpstrFile[path.size()] = 0;
  info_.nFileOffset = static_cast<WORD>(nameAt);
  info_.nFileExtension = dot != std::u16string::npos && dot >= nameAt ? static_cast<WORD>(dot + 1) : 0;
  info_.nFilterIndex = static_cast<DWORD>(filter_ + 1);
  if (info_.lpstrFileTitle && info_.nMaxFileTitle > 0) {
    std::u16string title = path.substr(nameAt);
    size_t n = std::min<size_t>(title.size(), info_.nMaxFileTitle - 1);
    std::copy(title.begin(), title.begin() + static_cast<ptrdiff_t>(n), info_.lpstrFileTitle);
    info_.lpstrFileTitle[n] = 0;
  }
  return true;
}

// OK: opens a folder, or checks and takes the file. False keeps the dialog up.
bool FileDialog::Accept(HWND dialog) {
  std::u16string name = WindowText(GetDlgItem(dialog, kFileNameItem));
  while (!name.empty() && name.back() == u' ') name.pop_back();
  while (!name.empty() && name.front() == u' ') name.erase(name.begin());
  std::replace(name.begin(), name.end(), u'/', u'\\');
  if (name.empty()) {
    MessageBeep(0xFFFFFFFF);
    return false;
  }
  std::u16string path = IsFullPath(name) ? name : folder_ + name;
  if (name == u"..") {
    std::u16string trimmed = folder_.substr(0, folder_.size() - 1);
    size_t cut = trimmed.find_last_of(u'\\');
    path = cut == std::u16string::npos ? folder_ : trimmed.substr(0, cut + 1);
  }
  if (IsFolder(path)) {
    folder_ = WithTrailingBackslash(BackslashedPath(NativePath(path).lexically_normal()));
    SetDlgItemTextW(dialog, kFileNameItem, u"");
    Fill(dialog);
    return false;
  }
  size_t nameAt = path.find_last_of(u'\\') + 1;
  if (info_.lpstrDefExt && *info_.lpstrDefExt && path.find(u'.', nameAt) == std::u16string::npos) {
    path += u".";
    path += info_.lpstrDefExt;
  }
  std::u16string shown = path.substr(nameAt);
  if (shown.size() > kLongestName) {
    std::u16string text =
        shown.substr(0, 40) + u"...\nThe file name is too long.\nUse a name of at most 255 characters.";
    MessageBoxW(dialog, text.c_str(), WindowText(dialog).c_str(), MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  if (!IsFolder(path.substr(0, nameAt))) {
    std::u16string text = Shown(path) + u"\nPath does not exist.\nCheck the path and try again.";
    MessageBoxW(dialog, text.c_str(), WindowText(dialog).c_str(), MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  bool exists = Exists(path);
  if (!save_ && (info_.Flags & OFN_FILEMUSTEXIST) && !exists) {
    std::u16string text = shown + u"\nFile not found.\nCheck the file name and try again.";
    MessageBoxW(dialog, text.c_str(), WindowText(dialog).c_str(), MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  if (save_ && (info_.Flags & OFN_OVERWRITEPROMPT) && exists) {
    std::u16string text = shown + u" already exists.\nDo you want to replace it?";
    if (MessageBoxW(dialog, text.c_str(), WindowText(dialog).c_str(), MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
      return false;
  }
  if (!save_ && (info_.Flags & OFN_CREATEPROMPT) && !exists) {
    std::u16string text = shown + u"\nThis file does not exist.\nDo you want to create it?";
    if (MessageBoxW(dialog, text.c_str(), WindowText(dialog).c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES)
      return false;
  }
  // A buffer too small for the path still ends the dialog: Run then fails with the error set.
  Deliver(path);
  return true;
}

INT_PTR FileDialog::Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<FileDialog*>(GetPropA(dialog, kObjectProperty));
  if (message == WM_INITDIALOG) {
    reinterpret_cast<FileDialog*>(lParam)->Init(dialog);
    return 0;  // the focus is set
  }
  if (!self) return 0;
  if (message == WM_DESTROY) {
    RemovePropA(dialog, kObjectProperty);
    return 0;
  }
  if (message != WM_COMMAND) return 0;
  auto id = static_cast<int32_t>(LOWORD(wParam));
  WORD code = HIWORD(wParam);
  if (id == IDOK) {
    // Enter in the folder field goes to that folder.
    if (GetFocus() == GetDlgItem(dialog, kFileFolderItem)) {
      std::u16string folder = WindowText(GetDlgItem(dialog, kFileFolderItem));
      std::replace(folder.begin(), folder.end(), u'/', u'\\');
      if (IsFolder(folder)) {
        self->folder_ = WithTrailingBackslash(BackslashedPath(NativePath(folder).lexically_normal()));
        self->Fill(dialog);
      } else {
        std::u16string text = Shown(folder) + u"\nThis folder does not exist.\nCheck the path and try again.";
        MessageBoxW(dialog, text.c_str(), WindowText(dialog).c_str(), MB_OK | MB_ICONEXCLAMATION);
      }
      return 1;
    }
    if (self->Accept(dialog)) EndDialog(dialog, IDOK);
    return 1;
  }
  if (id == IDCANCEL) {
    EndDialog(dialog, IDCANCEL);
    return 1;
  }
  if (id == kFileTypeItem && code == CBN_SELCHANGE) {
    self->filter_ = static_cast<int32_t>(SendDlgItemMessageW(dialog, kFileTypeItem, CB_GETCURSEL, 0, 0));
    self->Fill(dialog);
    return 1;
  }
  if (id == kFileListItem && code == LBN_SELCHANGE) {
    self->OnListChoice(dialog);
    return 1;
  }
  if (id == kFileListItem && code == LBN_DBLCLK) {
    // A double click opens the folder or takes the file, as Open does with the entry named.
    self->OnListChoice(dialog);
    if (self->Accept(dialog)) EndDialog(dialog, IDOK);
    return 1;
  }
  return 0;
}

bool FileDialog::Run() {
  SetCommDlgExtendedError(0);
  if (info_.lStructSize != sizeof(OPENFILENAMEW) && info_.lStructSize != 76) {
    SetCommDlgExtendedError(CDERR_STRUCTSIZE);
    return false;
  }
  INT_PTR result = RunCommonDialogLayout(Layout(), info_.hwndOwner, &FileDialog::Proc, this);
  return result == IDOK && CommDlgExtendedError() == 0;
}

}  // namespace plat
