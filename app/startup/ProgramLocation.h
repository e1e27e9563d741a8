#pragma once
// Where the program file lies, for the program folder that every settings path is relative to.
// Stateless; any thread.

#include <string_view>

#include "foundation/VconString.h"

class ProgramLocation {
 public:
  // The folder of the running program (/proc/self/exe), in the program's path form: backslashes and
  // a trailing backslash. Empty when the link cannot be read; the entry then keeps the start folder.
  static Vcon::WString ProgramFolder();
  // The folder of the program file `posixPath` (UTF-8), in the program's path form; empty for a path
  // without a slash.
  static Vcon::WString FolderOf(std::string_view posixPath);
};
