#pragma once
// UTF-8 to Windows-1252, the code page of every narrow text the program stores.

#include <optional>
#include <string>
#include <string_view>

namespace rescomp {

// The Windows-1252 bytes of a UTF-8 text, or nothing when a character has no place in the code page
// or the UTF-8 is malformed.
std::optional<std::string> Utf8ToAnsi(std::string_view utf8);

}  // namespace rescomp
