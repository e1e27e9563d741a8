#pragma once
// The open and save dialogs behind GetOpenFileName and GetSaveFileName: a folder field, a list of the
// folder's subfolders and of its files that match the chosen filter, the file name, the filter
// choice, and OK / Cancel. A name is taken relative to the folder unless it is a full path; a name
// without extension gets the default one; a folder name (or "..") opens that folder. Open with
// OFN_FILEMUSTEXIST refuses a missing file, save with OFN_OVERWRITEPROMPT asks before replacing one
// (both through a message box). The record gets paths with backslashes, like the program's own; the
// dialog shows them as the system writes them (slashes), and a folder that is missing or unknown
// makes it start in the user's documents folder.

#include <string>
#include <vector>

#include "platform/CommonDialogs.h"

namespace plat {

class FileDialog {
 public:
  FileDialog(OPENFILENAMEW& info, bool save);
  // Runs the dialog; true when a file was chosen (the record is then filled in).
  bool Run();

  // Helpers, public for tests.
  struct Filter {
    std::u16string description;
    std::vector<std::u16string> patterns;  // "*.txt" ...
  };
  static std::vector<Filter> ParseFilters(const char16_t* list);
  // Whether `name` matches `pattern` ('*' any run, '?' one character; letter case ignored).
  static bool Matches(const std::u16string& pattern, const std::u16string& name);

 private:
  static INT_PTR Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  DialogTemplate Layout() const;
  void Init(HWND dialog);
  void Fill(HWND dialog);
  void OnListChoice(HWND dialog);
  bool Accept(HWND dialog);
  bool Deliver(const std::u16string& path);
  std::u16string Folder() const;

  OPENFILENAMEW& info_;
  bool save_;
  std::u16string folder_;  // a full path, backslashed, ending in a backslash
  std::vector<Filter> filters_;
  int32_t filter_ = 0;
  HWND hookWindow_ = nullptr;
};

}  // namespace plat
