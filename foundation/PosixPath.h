// Translation of the program's Windows-style paths into POSIX paths.
//
// The program names files the way it always has: ".\settings\x.cdb", backslashes, folders with a
// trailing backslash, names in any letter case. At the file layer such a path becomes a POSIX path:
// backslashes become slashes, UTF-16 becomes UTF-8, and when the exact name does not exist each
// component is looked up in its folder without regard to ASCII letter case.
#pragma once

#include <string>
#include <string_view>

namespace Vcon {

// UTF-16 text to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf8FromUtf16(std::u16string_view text);
// UTF-8 text (such as a name the file system gives) to UTF-16; a byte that starts no valid sequence
// becomes U+FFFD.
std::u16string Utf16FromUtf8(std::string_view text);

// Backslashes to slashes; nothing else changes. The result need not exist.
std::string SlashedPath(std::string_view windowsPath);
// The same for a UTF-16 path: the form in which a path is shown to the user in a box, as the user's
// system writes it and as the user gave it.
std::u16string SlashedPath(std::u16string_view windowsPath);

// The POSIX path of an existing file or folder for `windowsPath` (UTF-8, either slash): the path
// itself when it exists, else the path found component by component, each component matched exactly
// or, failing that, ignoring ASCII case (the first match in byte order when several differ only in
// case). Components from the first one that cannot be found on are kept as given, so the result also
// names a file about to be created in an existing folder.
std::string ResolvePosixPath(std::string_view windowsPath);

// Both steps for a UTF-16 path.
std::string ResolvePosixPath(std::u16string_view windowsPath);

}  // namespace Vcon
