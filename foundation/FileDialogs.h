// Asking the user for file names with the open and save dialogs, centred over their owner, starting in
// the folder of the file chosen last, and putting the program folder back as the current folder
// afterwards (every settings path is relative to it).
#pragma once

#include <string>

#include "foundation/VconString.h"
#include "foundation/Vcon_HandleManager.h"
#include "foundation/FileRecord.h"
#include "platform/WindowTypes.h"

// The folder that holds the program, ending in a backslash; set once at start-up, then only read.
extern Vcon::WString ProgramFolder;
// The folder of the file chosen last in either dialog (with its trailing backslash); empty at first.
extern Vcon::WString LastDialogFolder;

// The open dialog: `fileSpec.path` the initial and chosen full path, `fileSpec.filter` the filter text,
// `fileSpec.name` the default extension on entry and the chosen name (without folder) on return,
// `fileSpec.owner` the owner window. True when the user chose a file.
bool RunOpenFileDialog(ppFileSpec& fileSpec);
// The save dialog, owned by the foreground window; `fileSpec.path` is emptied, so a cancel leaves it empty.
bool RunSaveFileDialog(ppFileSpec& fileSpec);

// A filter text ("Text files {*.txt}\0*.txt\0\0" with the two characters backslash and zero as
// separators) as the NUL-separated list of the dialogs, with its terminating NUL: "\0" becomes a NUL,
// a backslash with any other character is dropped with it, every other character is copied.
void FileFilterFromString(const Vcon::WString& filter, std::string& list);  // narrowed
void FileFilterFromWString(const Vcon::WString& filter, std::u16string& list);

// Replaces the last component of `path` by `name`: cut after its last backslash and append the name,
// or become the name when the path has no backslash. With an empty name: the folder of a path.
void DirectoryOfPath(const Vcon::WString& name, Vcon::WString& path);

// The dialogs' hook: on WM_INITDIALOG centres the dialog (the hook window's parent) over its owner, or
// over the screen when it has none. Always answers 0.
uintptr_t CenterDialogHook(plat::HWND hookWindow, plat::UINT message, plat::WPARAM wParam,
                           plat::LPARAM lParam);

// Runs the open dialog with the filter text resource `filterId` and the default extension "txt" and
// reads the chosen file whole into a new handle (null for an empty file, and after a cancel). Open
// failures pass on (-38).
Handle ReadFileWithOpenDialog(uint16_t filterId);
// Runs the save dialog for a text file; when a file is chosen it is created when missing, opened into
// `out` for reading and writing and emptied. False after a cancel (no file is touched).
bool CreateFileWithSaveDialog(ppFileSpec& out, ppFileSpec& fileSpec);
