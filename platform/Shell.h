#pragma once
// Handing documents, folders and web links to the desktop: ShellExecute with the verb "open" (or
// "explore", or none) runs xdg-open on the target. Every call is recorded in the shell log that tests
// read; nothing is started unless launching was switched on (the interactive backend does that), so
// tests never open anything on the machine that runs them. When the desktop cannot open the target
// (no opener, no program for it, a missing file), the user is told in an error box over the owner.

#include <string>
#include <vector>

#include "platform/WindowTypes.h"

namespace plat {

struct ShellExecuteRecord {
  HWND owner = nullptr;
  std::u16string verb;
  std::u16string file;
  std::u16string parameters;
  std::u16string directory;
  int32_t show = 0;
};

// Answers a value above 32 on success, as the platform does; 2 (file not found) for an empty target,
// 31 (no program for the verb) for a verb other than open or explore, or when the opener could not be
// started.
constexpr intptr_t SE_ERR_FNF = 2;
constexpr intptr_t SE_ERR_NOASSOC = 31;
HINSTANCE ShellExecuteW(HWND owner, const char16_t* verb, const char16_t* file, const char16_t* parameters,
                        const char16_t* directory, int32_t show);
HINSTANCE ShellExecuteA(HWND owner, const char* verb, const char* file, const char* parameters,
                        const char* directory, int32_t show);

std::vector<ShellExecuteRecord> ShellExecuteLog();
void ClearShellExecuteLog();
void SetShellLaunching(bool on);

}  // namespace plat
